"""The page's start on the main thread with the processor slowed down, from a trace: each task
from the navigation to the first frame that shows the curve, and where the longest one's time
went. The task that commits the navigation, the browser's own for any page, is told apart."""

import firstframe
import timeline
from host import chromium

# Counts the program's calls from WebAssembly into the page (embind's among them): each import
# of its instance is wrapped in a counter.
COUNTER = """
window.__calls = 0;
const streaming = WebAssembly.instantiateStreaming;
WebAssembly.instantiateStreaming = (source, imports) => {
  for (const module of Object.values(imports))
    for (const [name, value] of Object.entries(module))
      if (typeof value === "function")
        module[name] = function (...args) { __calls++; return value.apply(this, args); };
  return streaming(source, imports);
};
"""

# The kinds of work in a task, by the trace's event names.
KINDS = {
    "compile": ["wasm.CompileLazy", "v8.wasm.compileConsume", "v8.compile", "v8.compileModule"],
    "instantiate": ["wasm.SyncInstantiate"],
    "style": ["UpdateLayoutTree", "ParseAuthorStyleSheet"],
    "layout": ["Layout"],
    "paint": ["PrePaint", "Paint", "Layerize", "Commit"],
    "GC": ["MinorGC", "MajorGC", "V8.GCScavenger", "V8.GC_MARK_COMPACTOR"],
}


def trace(url, slowdown, profile=False):
    """Loads url in a fresh browser with the processor slowed down; returns the page's main thread,
    the first frame's time on the trace's clock, and the calls the program made into the page."""
    with chromium() as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                               {"source": firstframe.PROBE + COUNTER})
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": slowdown})
        categories = timeline.CATEGORIES + ([timeline.PROFILER] if profile else [])
        with timeline.recording(driver, categories) as events:
            driver.get(url)
            driver.set_script_timeout(60)
            calls = driver.execute_async_script("""
                const done = arguments[0];
                const poll = () => window.__frame ? done(__calls) : setTimeout(poll, 20);
                poll();""")
    main = timeline.MainThread(events, firstframe.MARK)
    return main, main.marks[firstframe.MARK][0], calls


def tasks(main, frame):
    """The tasks after the navigation's commit up to the frame, as (start ms, ms, {name: ms}), and
    the commit's own task."""
    found, commit = [], None
    for task in main.tasks(end=frame):
        if "DocumentLoader::CommitNavigation" in task[2]:
            commit = task
        elif commit:
            found.append(task)
    return found, commit


def measure(url, slowdown=4):
    """Returns the tasks from the navigation's commit to the first frame that shows the curve, as
    (start ms, ms, {kind: ms}) in order, the commit's task apart, and the calls into the page."""
    main, frame, calls = trace(url, slowdown)
    found, commit = tasks(main, frame)
    return [(begin, length, {kind: sum(spent.get(name, 0) for name in names) for kind, names in KINDS.items()})
            for begin, length, spent in found], commit, calls


def split(url, slowdown=4):
    """Where the longest task of the start went by the sampling profiler: ms of wasm code, of
    embind's and the runtime's script, of the page's own functions it calls, of the browser's
    work (style, layout, compiling) and of the rest of the page's script."""
    main, frame, _ = trace(url, slowdown, profile=True)
    begin, length, _ = max(tasks(main, frame)[0], key=lambda task: task[1])
    shares = {}
    for leaf, time in main.samples.within(begin, begin + length):
        shares[kind(leaf)] = shares.get(kind(leaf), 0) + time
    return length, shares


def kind(frame):
    name, url = frame["functionName"], frame.get("url", "")
    if frame.get("codeType") == "wasm" or url.endswith(".wasm"):
        return "wasm"
    if name.startswith("methodCaller") or name in ("wasm-to-js", "js-to-wasm") or "emval" in name \
            or url.endswith("bezier7.js") and name != "Module.paintRuns":
        return "embind"
    if name in ("(program)", "(garbage collector)", "(idle)"):
        return "browser"
    if not url:
        return "page calls"
    return "script"
