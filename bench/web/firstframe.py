"""How long the page takes to its first frame that shows the curve, in headless Chromium with a
fresh profile (nothing cached), at one device pixel ratio: each step's end in seconds from the
request, the median of a few loads."""

import statistics

from host import chromium

# Stamps, on the page's clock and before the page's own scripts run, when the WebAssembly
# instance is made, the first canvas paint and the animation frame after it, the one that shows
# that paint.
PROBE = """
for (const name of ["instantiate", "instantiateStreaming"]) {
  const original = WebAssembly[name];
  WebAssembly[name] = (...args) => original(...args).then((result) => {
    window.__instance ??= performance.now();
    return result;
  });
}
const fillRect = CanvasRenderingContext2D.prototype.fillRect;
CanvasRenderingContext2D.prototype.fillRect = function (...args) {
  if (!window.__paint) {
    window.__paint = performance.now();
    requestAnimationFrame(() => { window.__frame = performance.now(); });
  }
  return fillRect.apply(this, args);
};
"""

STEPS = ["page", "js", "wasm", "instance", "paint", "frame", "own"]


def load(base, ratio):
    with chromium(ratio) as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        driver.get(base)
        driver.set_script_timeout(30)
        return driver.execute_async_script("""
            const done = arguments[0];
            const poll = () => {
              if (!window.__frame)
                return setTimeout(poll, 20);
              const end = (name) => performance.getEntriesByType("resource")
                .find((entry) => entry.name.endsWith(name)).responseEnd;
              const page = performance.getEntriesByType("navigation")[0];
              const start = page.requestStart;
              const steps = { page: page.responseEnd, js: end("/bezier7.js"), wasm: end("/bezier7.wasm"),
                              instance: __instance, paint: __paint, frame: __frame };
              for (const step in steps)
                steps[step] = (steps[step] - start) / 1000;
              // The program's own: from its runtime's arrival, when the browser runs it.
              steps.own = steps.frame - steps.js;
              done(steps);
            };
            poll();""")


def measure(base, ratio, runs=5):
    """Returns the median of each step over runs loads, in seconds: the page, js and wasm
    downloaded, the instance made, the first paint, its frame, and own (frame less js)."""
    loads = [load(base, ratio) for _ in range(runs)]
    return {step: statistics.median(run[step] for run in loads) for step in STEPS}
