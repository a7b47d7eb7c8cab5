"""A drag's cost on a page's main thread: the left button pressed on a marker, moved in many small
steps, each awaited, and released, at a given CPU slowdown; the main thread's busy time over it
divided by the pointer events sent, in all and by kind. Run on the peer page with ?idle, whose
markers take the pointer but handle none of its moves, it gives what the browser alone pays."""

import math

import timeline
from host import chromium, start

MARKER = "Command1(2)"
STEPS = 300
MARK = "bezier7-drag"

# Counts the moves the page was handed.
PROBE = "window.__moves = 0; addEventListener('pointermove', () => __moves++, true);"

# The main thread's busy time, in seconds, by the browser's own counters: all of it, and what went
# to script, style and layout.
SHARES = {"busy": "TaskDuration", "script": "ScriptDuration", "style": "RecalcStyleDuration",
          "layout": "LayoutDuration"}
# Painting, which those counters leave out, from a trace recorded beside them.
PAINT = ["PrePaint", "Paint", "Layerize", "Commit"]


def spent(driver):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return {metric["name"]: metric["value"] for metric in metrics}


def measure(url, slowdown):
    """Returns the events sent, the moves the page handled, the main thread's ms per event by kind
    (busy, script, style, layout, paint) and Text_x's value before and after the drag."""
    with chromium() as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        start(driver, url)
        x, y, before = driver.execute_script(f"""
            const box = document.getElementById("{MARKER}").getBoundingClientRect();
            return [box.x + box.width / 2, box.y + box.height / 2, document.getElementById("Text_x").value];""")
        driver.execute_cdp_cmd("Performance.enable", {})
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": slowdown})
        # 80 CSS pixels to the right, over a hump 40 high.
        path = [(x + 80 * i / STEPS, y - 40 * math.sin(math.pi * i / STEPS)) for i in range(1, STEPS + 1)]
        events = [("mousePressed", x, y), *(("mouseMoved", *point) for point in path), ("mouseReleased", *path[-1])]
        with timeline.recording(driver, ["devtools.timeline", "disabled-by-default-devtools.timeline",
                                         "blink.user_timing"]) as trace:
            driver.execute_script(f"performance.mark('{MARK}')")
            first = spent(driver)
            for kind, px, py in events:
                driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
                    "type": kind, "x": px, "y": py, "button": "left", "clickCount": 1,
                    "buttons": 0 if kind == "mouseReleased" else 1})
            last = spent(driver)
            driver.execute_script(f"performance.mark('{MARK}')")
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
        moves, after = driver.execute_script("return [__moves, document.getElementById('Text_x').value]")
    main = timeline.MainThread(trace, MARK)
    begin, end = main.marks[MARK][:2]
    painted = main.spent(begin, end)
    shares = {share: 1000 * (last[name] - first[name]) / len(events) for share, name in SHARES.items()}
    shares["paint"] = sum(painted.get(name, 0) for name in PAINT) / len(events)
    return len(events), moves, shares, before, after
