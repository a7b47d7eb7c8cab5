#!/usr/bin/env python3
"""How long the page takes to its first frame in headless Chromium, at device pixel ratios 1, 1.5
and 2, with a fresh profile each time (nothing cached), served from 127.0.0.1. Prints, for each
ratio, the median of a few loads of each step's end, in seconds from the request:

  js, wasm     the program's runtime and its WebAssembly downloaded
  compiled     the WebAssembly compiled (the browser compiles it while it downloads)
  started      the instance made: Qt's start begins
  first paint  the first WebGL draw call: Qt has started and made the editor's picture
  frame        the next animation frame after it: the picture is on the page

Usage: bench/firstframe.py SITE [--runs N]
"""

import argparse
import functools
import http.server
import statistics
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# Stamps each step on the page's clock, from before the page's own scripts run.
PROBE = """
window.__steps = {};
const stamp = (name) => { if (!(name in __steps)) __steps[name] = performance.now(); };
const wrap = (owner, name, step) => {
  const original = owner[name];
  owner[name] = function (...args) {
    return original.apply(this, args).then((result) => { stamp(step); return result; });
  };
};
wrap(WebAssembly, "compileStreaming", "compiled");
wrap(WebAssembly, "compile", "compiled");
wrap(WebAssembly, "instantiate", "started");
for (const context of [WebGLRenderingContext, window.WebGL2RenderingContext].filter(Boolean))
  for (const draw of ["drawArrays", "drawElements"]) {
    const original = context.prototype[draw];
    context.prototype[draw] = function (...args) {
      if (!("first paint" in __steps)) {
        stamp("first paint");
        requestAnimationFrame(() => stamp("frame"));
      }
      return original.apply(this, args);
    };
  }
"""

STEPS = ["js", "wasm", "compiled", "started", "first paint", "frame"]


def load(base, ratio):
    profile = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--no-first-run", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", "--window-size=800,600",
                 f"--force-device-scale-factor={ratio}", f"--user-data-dir={profile.name}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        driver.get(base)
        driver.set_script_timeout(30)
        steps = driver.execute_async_script("""
            const done = arguments[0];
            const poll = () => "frame" in __steps ? done(__steps) : setTimeout(poll, 20);
            poll();""")
        for entry in driver.execute_script("return performance.getEntriesByType('resource')"):
            for name in ("js", "wasm"):
                if entry["name"].endswith("bezier7." + name):
                    steps[name] = entry["responseEnd"]
        start = driver.execute_script("return performance.timing.requestStart - performance.timing.navigationStart")
        return {step: (steps[step] - start) / 1000 for step in STEPS}
    finally:
        driver.quit()
        profile.cleanup()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=args.site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}/"
    print(f"first frame in headless Chromium, median of {args.runs} loads, seconds from the request")
    print(f"{'ratio':>6}" + "".join(f"{step:>13}" for step in STEPS))
    for ratio in (1, 1.5, 2):
        runs = [load(base, ratio) for _ in range(args.runs)]
        print(f"{ratio:>6}" + "".join(f"{statistics.median(run[step] for run in runs):>13.2f}" for step in STEPS))
    server.shutdown()


if __name__ == "__main__":
    main()
