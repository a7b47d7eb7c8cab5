"""How long a page takes to its first frame that shows the curve, in headless Chromium with a
fresh profile (nothing cached), at one device pixel ratio: each step's end in seconds from the
request, the median of a few loads. The program and the peer are loaded in turn."""

import statistics

from host import chromium

MARK = "bezier7-frame"

# Stamps, on the page's clock and before the page's own scripts run, when the WebAssembly
# instance is made, the first canvas paint (a filled run or a stroked path) and the end of the
# frame that shows it: a paint inside an animation frame callback is in that frame, any other in
# the next one, and a message posted from the frame's callbacks arrives once it is rendered.
PROBE = """
for (const name of ["instantiate", "instantiateStreaming"]) {
  const original = WebAssembly[name];
  WebAssembly[name] = (...args) => original(...args).then((result) => {
    window.__instance ??= performance.now();
    return result;
  });
}
let inFrame = false;
const nextFrame = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = (callback) => nextFrame((time) => {
  inFrame = true;
  try { callback(time); } finally { inFrame = false; }
});
const rendered = () => {
  const channel = new MessageChannel();
  channel.port1.onmessage = () => { window.__frame = performance.now(); performance.mark("%s"); };
  channel.port2.postMessage(0);
};
for (const name of ["fillRect", "stroke"]) {
  const original = CanvasRenderingContext2D.prototype[name];
  CanvasRenderingContext2D.prototype[name] = function (...args) {
    if (!window.__paint) {
      window.__paint = performance.now();
      inFrame ? rendered() : nextFrame(rendered);
    }
    return original.apply(this, args);
  };
}
""" % MARK

STEPS = ["page", "js", "wasm", "instance", "paint", "frame", "own"]


def load(url, ratio):
    with chromium(ratio) as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        driver.get(url)
        driver.set_script_timeout(30)
        return driver.execute_async_script("""
            const done = arguments[0];
            const poll = () => {
              if (!window.__frame)
                return setTimeout(poll, 20);
              const end = (name) => performance.getEntriesByType("resource")
                .find((entry) => entry.name.endsWith(name))?.responseEnd;
              const page = performance.getEntriesByType("navigation")[0];
              const start = page.requestStart;
              const steps = { page: page.responseEnd, js: end("/bezier7.js"), wasm: end("/bezier7.wasm"),
                              instance: window.__instance, paint: __paint, frame: __frame };
              for (const step in steps)
                steps[step] = steps[step] === undefined ? null : (steps[step] - start) / 1000;
              // The page's own: from its script's arrival, bezier7.js or the page itself, when
              // the browser runs it.
              steps.own = steps.frame - (steps.js ?? steps.page);
              done(steps);
            };
            poll();""")


def measure(pages, ratio, runs=5):
    """Loads each of pages ({name: url}) runs times, in turn; returns for each the median of each
    step in seconds (None where the page has no such step): the page, js and wasm downloaded,
    the instance made, the first paint, its frame, and own (the frame less the script's arrival)."""
    loads = {name: [] for name in pages}
    for _ in range(runs):
        for name, url in pages.items():
            loads[name].append(load(url, ratio))
    return {name: {step: None if runs[0][step] is None else statistics.median(run[step] for run in runs)
                   for step in STEPS} for name, runs in loads.items()}
