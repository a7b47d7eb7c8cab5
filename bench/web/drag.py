"""A drag's cost on the page's main thread: the left button pressed on a marker, moved in many
small steps, each awaited, and released, at a given CPU slowdown; the main thread's busy time over
it divided by the pointer events sent. The same number of moves of the pointer alone, over no
control, gives the floor that the browser and the driving take without the program."""

import math

from host import chromium, start

MARKER = "Command1(2)"
STEPS = 300

# Counts the moves the page was handed.
PROBE = "window.__moves = 0; addEventListener('pointermove', () => __moves++, true);"

# The main thread's busy time, in seconds: all of it, and what went to script, style and layout.
SHARES = {"busy": "TaskDuration", "script": "ScriptDuration", "style": "RecalcStyleDuration",
          "layout": "LayoutDuration"}


def spent(driver):
    metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return {metric["name"]: metric["value"] for metric in metrics}


def send(driver, events, buttons):
    """Sends the events, each awaited; returns the main thread's ms per event by share."""
    first = spent(driver)
    for kind, x, y in events:
        driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
            "type": kind, "x": x, "y": y, "button": "left" if buttons else "none", "clickCount": 1,
            "buttons": 0 if kind == "mouseReleased" else buttons})
    last = spent(driver)
    return {share: 1000 * (last[name] - first[name]) / len(events) for share, name in SHARES.items()}


def measure(base, slowdown):
    """Returns the events sent, the moves the page handled, the main thread's ms per event for the
    drag and for the pointer alone, and Text_x's value before and after the drag; raises when the
    marker did not move."""
    with chromium() as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        start(driver, base)
        x, y, before = driver.execute_script(f"""
            const box = document.getElementById("{MARKER}").getBoundingClientRect();
            return [box.x + box.width / 2, box.y + box.height / 2, document.getElementById("Text_x").value];""")
        driver.execute_cdp_cmd("Performance.enable", {})
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": slowdown})
        alone = send(driver, [("mouseMoved", 2, 2 + i % 2) for i in range(STEPS + 2)], 0)
        driver.execute_script("__moves = 0")
        # 80 CSS pixels to the right, over a hump 40 high.
        path = [(x + 80 * i / STEPS, y - 40 * math.sin(math.pi * i / STEPS)) for i in range(1, STEPS + 1)]
        events = [("mousePressed", x, y), *(("mouseMoved", *point) for point in path), ("mouseReleased", *path[-1])]
        dragged = send(driver, events, 1)
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
        moves, after = driver.execute_script("return [__moves, document.getElementById('Text_x').value]")
    if after == before:
        raise RuntimeError(f"the drag did not move {MARKER}: Text_x stayed {before!r}")
    return len(events), moves, dragged, alone, before, after
