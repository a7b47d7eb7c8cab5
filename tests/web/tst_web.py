#!/usr/bin/python3
"""The page in headless Chromium, served from 127.0.0.1, driven with real input (WebDriver's mouse
and keys, touches through the DevTools protocol) and judged from screenshots by the real-window
tests' picture checks."""
import functools, http.server, os, subprocess, tempfile, threading, time, unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder

SITE, SHOTS = os.environ["BEZIER7_WEB_SITE"], os.environ["BEZIER7_WEB_SITE"] + "/screenshots"


def picture(*args):
    run = subprocess.run([os.environ["BEZIER7_PICTURE"], *map(str, args)], capture_output=True, text=True)
    if run.returncode:
        raise AssertionError(run.stdout + run.stderr)
    return [int(word) for word in run.stdout.split()]


DESIGN = picture("design")  # the control points x0 y0 ... x7 y7 in twips, 15 a CSS pixel


class Page:
    def __init__(self, test, ratio=1, flags=()):
        self.test, self.ratio, profile = test, ratio, tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        # Without the background services, which a closed network refuses.
        for flag in ("--headless=new", "--no-sandbox", "--no-first-run", "--disable-sync",
                     "--disable-background-networking", "--disable-component-update",
                     "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--window-size=800,600",
                     f"--force-device-scale-factor={ratio}", f"--user-data-dir={profile.name}", *flags):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        test.addCleanup(profile.cleanup)
        test.addCleanup(self.driver.quit)
        self.cdp = self.driver.execute_cdp_cmd
        self.cdp("Browser.grantPermissions", {"origin": test.base, "permissions": [
            "clipboardReadWrite", "clipboardSanitizedWrite"]})

    def open(self):
        self.started = time.monotonic()
        self.driver.get(self.test.base)

    def shot(self, name, *args, patience=20):
        """Waits until a check of the screenshot passes; its output."""
        deadline = time.monotonic() + patience
        while True:
            self.driver.save_screenshot(f"{SHOTS}/{name}.png")
            try:
                return picture(args[0], f"{SHOTS}/{name}.png", self.ratio, *args[1:])
            except AssertionError:
                if time.monotonic() > deadline:
                    raise

    def mouse(self, *steps):
        """(x, y) in CSS pixels moves there, 1 presses the left button, 0 lets it go."""
        actions = ActionBuilder(self.driver)
        pointer = actions.pointer_action
        for step in steps:
            if step in (0, 1):
                pointer.pointer_down() if step else pointer.pointer_up()
            else:
                pointer.move_to_location(*step)
        actions.perform()

    def text_at(self, x, y):
        """A read-out's text as a user copies it: a click into it, Ctrl+A, Ctrl+C."""
        self.mouse((x, y), 1, 0)
        ActionChains(self.driver).key_down(Keys.CONTROL).send_keys("ac").key_up(Keys.CONTROL).perform()
        return self.driver.execute_async_script("navigator.clipboard.readText().then(arguments[0])")

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]


class WebPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(SHOTS, exist_ok=True)
        quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
        handler = functools.partial(quiet, directory=SITE)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.base = f"http://127.0.0.1:{cls.server.server_address[1]}/"

    def test_first_curve_crisp_at_each_ratio(self):
        for ratio in (1, 1.5, 2):
            page = Page(self, ratio)
            page.open()
            page.shot(f"page-{ratio}", "curve", *DESIGN)
            print(f"ratio {ratio}: curve shown {time.monotonic() - page.started:.1f} s after the request")
            self.assertEqual(page.errors(), [])

    def test_drags_by_mouse_and_finger_and_the_about_window(self):
        page, points = Page(self), list(DESIGN)
        page.open()
        top = page.shot("editor", "curve", *points)[0]

        def corner(i):  # a point on marker i, 8 pixels into it
            return points[2 * i] // 15 + 8, top + points[2 * i + 1] // 15 + 8

        def moved(i, x, y, name):  # marker i's corner now at the client point (x, y)
            points[2 * i:2 * i + 2] = [x * 15, y * 15]
            page.shot(name, "curve", *points)

        x, y = corner(2)
        page.mouse((x, y), 1, (x + 30, y - 20), (260, top + 150), 0)
        moved(2, 260, 150, "dragged")
        self.assertEqual([page.text_at(572, top + row) for row in (9, 33, 57)], ["2", "3900", "2250"])
        x, y = corner(5)
        for kind, at in (("touchStart", (x, y)), ("touchMove", (x - 20, y - 10)), ("touchMove", (90, top + 60))):
            page.cdp("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [{"x": at[0], "y": at[1]}]})
        page.cdp("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
        moved(5, 90, 60, "touched")
        # Let go outside the page, where the marker stops at the page's edge, it then stays.
        x, y = corner(3)
        page.mouse((x, y), 1, (x, y + 40))
        for kind in ("mouseMoved", "mouseReleased"):
            page.cdp("Input.dispatchMouseEvent", {"type": kind, "x": -40, "y": y + 40, "button": "left", "buttons": 1})
        page.mouse((300, top + 80), (320, top + 90))
        moved(3, 0, y + 40 - top, "released-outside")
        for name in ("about", "about-again"):
            page.mouse((24, top // 2), 1, 0)
            left, upper, width, height = page.shot(name, "box", "ffffc0")
            self.assertEqual((width, height), (196, 203))  # 2940 x 3045 twips
            page.mouse((left + width - 9, upper - 9), 1, 0)  # its close box
            page.shot(name + "-closed", "none", "ffffc0")
        x, y = corner(1)
        page.mouse((x, y), 1, (400, top + 40), 0)
        moved(1, 400, 40, "after-about")
        self.assertEqual(page.errors(), [])

    def test_a_clear_message_where_the_program_cannot_run(self):
        for flags, words in ((("--js-flags=--jitless",), "needs WebAssembly"),
                             (("--disable-webgl", "--disable-3d-apis"), "draws through WebGL"), ((), "could not be downloaded")):
            page = Page(self, flags=flags)
            page.cdp("Network.enable", {})
            page.cdp("Network.setBlockedURLs", {"urls": [] if flags else ["*.wasm"]})
            page.open()
            time.sleep(1)
            self.assertIn(words, page.driver.find_element("id", "status").text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
