#!/usr/bin/env python3
"""How long the page takes to its first frame in headless Chromium, at device pixel ratios 1, 1.5
and 2, with a fresh profile each time (nothing cached), served from 127.0.0.1. Prints, for each
ratio, the median of a few loads of each step's end, in seconds from the request:

  js, wasm     the program's runtime and its WebAssembly downloaded
  compiled     the WebAssembly compiled (the browser compiles it while it downloads)
  started      the instance made: Qt's start begins
  first paint  the first WebGL draw call: Qt has started and made the editor's picture
  frame        the next animation frame after it: the picture is on the page

With --link MBITS, the page comes over a link of that many megabits a second with 20 ms of latency,
at ratio 1, first as the files stand and then as a host sends the compressed copies beside them.

Usage: bench/firstframe.py SITE [--runs N] [--link MBITS]
"""

import argparse
import functools
import http.server
import os
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


class Host(http.server.SimpleHTTPRequestHandler):
    """A static host; with compressed set, one that sends a file's .br or .gz copy, where there is
    one, to a browser that accepts its encoding."""
    compressed = False

    def send_head(self):
        path = self.translate_path(self.path)
        accepted = self.headers.get("Accept-Encoding", "")
        for encoding, suffix in (("br", ".br"), ("gzip", ".gz")):
            if self.compressed and encoding in accepted and os.path.isfile(path + suffix):
                body = open(path + suffix, "rb")
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", encoding)
                self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
                self.end_headers()
                return body
        return super().send_head()

    def log_message(self, *_):
        pass


def load(base, ratio, link=None):
    profile = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--no-first-run", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", "--window-size=800,600",
                 f"--force-device-scale-factor={ratio}", f"--user-data-dir={profile.name}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        if link:
            driver.execute_cdp_cmd("Network.enable", {})
            driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
                "offline": False, "latency": 20, "downloadThroughput": link * 125000,
                "uploadThroughput": link * 125000})
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
    parser.add_argument("--link", type=float)
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Host, directory=args.site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}/"
    print(f"first frame in headless Chromium, median of {args.runs} loads, seconds from the request")
    if args.link:
        print(f"over a link of {args.link:g} Mbit/s, as the files stand and compressed")
    print(f"{'ratio':>6}" + "".join(f"{step:>13}" for step in STEPS))
    cases = [(ratio, False) for ratio in (1, 1.5, 2)] if not args.link else [(1, False), (1, True)]
    for ratio, compressed in cases:
        Host.compressed = compressed
        runs = [load(base, ratio, args.link) for _ in range(args.runs)]
        print(f"{ratio:>6}" + "".join(f"{statistics.median(run[step] for run in runs):>13.2f}" for step in STEPS)
              + ("  compressed" if compressed else ""))
    server.shutdown()


if __name__ == "__main__":
    main()
