#!/usr/bin/python3
"""The page in three browser engines, served from 127.0.0.1, driven with real input and judged from
screenshots by the real-window tests' picture checks: headless Chromium through chromium-driver
(touches through the DevTools protocol), Firefox ESR over the WebDriver BiDi it speaks itself, and
WebKitGTK's MiniBrowser through WebKitWebDriver. Firefox and WebKit draw through WebGL only on a
display: run this under xvfb-run."""
import asyncio, base64, functools, http.server, itertools, json, os, re, subprocess, tempfile
import threading, time, unittest
from pathlib import Path

import websockets
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder

SITE, SHOTS = os.environ["BEZIER7_WEB_SITE"], os.environ["BEZIER7_WEB_SITE"] + "/screenshots"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


def picture(*args):
    run = subprocess.run([os.environ["BEZIER7_PICTURE"], *map(str, args)], capture_output=True, text=True)
    if run.returncode:
        raise AssertionError(run.stdout + run.stderr)
    return [int(value) if value.is_integer() else value for value in map(float, run.stdout.split())]


DESIGN = picture("design")  # the control points x0 y0 ... x7 y7 in twips, 15 a CSS pixel


class Page:
    """The page in one engine's browser, as the checks use it, in CSS pixels: open(), shot(),
    mouse(), keys(), evaluate() and errors(); the browser quits when the test ends."""
    ratio = 1

    def open(self):
        self.started = time.monotonic()
        self.navigate(BASE)

    def shot(self, name, *args, patience=20, scale=1):
        """Waits until a check of the screenshot passes, the page shown at this scale; its output."""
        deadline, path = time.monotonic() + patience, f"{SHOTS}/{self.name}-{name}.png"
        while True:
            self.screenshot(path)
            try:
                return picture(args[0], path, self.ratio * scale, *args[1:])
            except AssertionError:
                if time.monotonic() > deadline:
                    raise


class SeleniumPage(Page):
    def navigate(self, url):
        self.driver.get(url)

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def mouse(self, *steps):
        """(x, y) moves there, 1 presses the left button, 0 lets it go."""
        actions = ActionBuilder(self.driver)
        pointer = actions.pointer_action
        for step in steps:
            if step in (0, 1):
                pointer.pointer_down() if step else pointer.pointer_up()
            else:
                pointer.move_to_location(*map(round, step))
        actions.perform()

    def keys(self, text, held=""):
        """The keys of text pressed in turn, with held (such as Keys.CONTROL) down throughout."""
        chain = ActionChains(self.driver)
        (chain.key_down(held).send_keys(text).key_up(held) if held else chain.send_keys(text)).perform()

    def evaluate(self, expression):
        return self.driver.execute_script("return " + expression)


class Chromium(SeleniumPage):
    name = "chromium"

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
        self.cdp("Browser.grantPermissions", {"origin": BASE, "permissions": [
            "clipboardReadWrite", "clipboardSanitizedWrite"]})

    def touch(self, kind, *points):
        self.cdp("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": finger} for finger, (x, y) in enumerate(points)]})

    def text_at(self, x, y):
        """A read-out's text as a user copies it: a click into it, Ctrl+A, Ctrl+C."""
        self.mouse((x, y), 1, 0)
        self.keys("ac", Keys.CONTROL)
        return self.driver.execute_async_script("navigator.clipboard.readText().then(arguments[0])")

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]


class WebKit(SeleniumPage):
    """WebKitGTK's MiniBrowser; its driver keeps no console log, so the page's errors are
    gathered from the moment it has opened."""
    name = "webkit"

    def __init__(self, test):
        self.test, options = test, webdriver.WebKitGTKOptions()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        self.driver = webdriver.WebKitGTK("/usr/bin/WebKitWebDriver", options=options)
        test.addCleanup(self.driver.quit)
        self.driver.set_window_size(800, 640)

    def open(self):
        super().open()
        self.driver.execute_script("""window.seen = [];
            addEventListener("error", (event) => seen.push(event.message));
            addEventListener("unhandledrejection", (event) =>
                seen.push(`${event.reason} at ${event.reason?.stack?.split("\\n", 2)}`));
            const error = console.error;
            console.error = (...words) => { seen.push(words.join(" ")); error(...words); };""")

    def errors(self):
        return self.evaluate("seen")


class Firefox(Page):
    """Firefox ESR over WebDriver BiDi on a socket: commands by number, answers and the console's
    entries read as they come by a loop of its own."""
    name = "firefox"

    def __init__(self, test):
        self.test, profile = test, tempfile.TemporaryDirectory()
        test.addCleanup(profile.cleanup)
        log = f"{profile.name}/log"
        with open(f"{profile.name}/user.js", "w") as prefs:  # a CSS pixel a display pixel, whatever its dpi
            prefs.write('user_pref("layout.css.devPixelsPerPx", "1.0");\n')
        with open(log, "w") as output:  # port 0: a free one, which it names in its output
            self.process = subprocess.Popen(["firefox-esr", "--remote-debugging-port", "0", "--no-remote",
                                             "-profile", profile.name], stdout=output, stderr=output)
        test.addCleanup(self.quit)
        deadline = time.monotonic() + 60
        while not (found := re.search(r"WebDriver BiDi listening on (ws://\S+)\n", Path(log).read_text())):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise AssertionError("Firefox did not start: " + Path(log).read_text())
            time.sleep(0.1)
        self.loop, self.answers, self.logged, self.numbers = asyncio.new_event_loop(), {}, [], itertools.count()
        threading.Thread(target=self.loop.run_forever, daemon=True).start()
        self.socket = self.run(lambda: websockets.connect(found[1] + "/session", max_size=None))
        asyncio.run_coroutine_threadsafe(self.listen(), self.loop)
        self.command("session.new", capabilities={})
        self.command("session.subscribe", events=["log.entryAdded"])
        self.context = self.command("browsingContext.getTree")["contexts"][0]["context"]
        self.command("browsingContext.setViewport", context=self.context, viewport={"width": 800, "height": 600})

    def run(self, start, timeout=60):
        """What start() gives, awaited in the socket's loop."""
        async def wait():
            return await start()
        return asyncio.run_coroutine_threadsafe(wait(), self.loop).result(timeout)

    async def listen(self):
        async for text in self.socket:
            message = json.loads(text)
            if "id" in message:
                self.answers.pop(message["id"]).set_result(message)
            elif message.get("method") == "log.entryAdded":
                self.logged.append(message["params"])

    async def send(self, method, params):
        number = next(self.numbers)
        self.answers[number] = answer = self.loop.create_future()
        await self.socket.send(json.dumps({"id": number, "method": method, "params": params}))
        return await answer

    def command(self, method, **params):
        answer = self.run(lambda: self.send(method, params))
        if "error" in answer:
            raise AssertionError(f"{method}: {answer['error']}: {answer.get('message')}")
        return answer["result"]

    def quit(self):
        try:
            if hasattr(self, "socket"):
                self.run(lambda: self.send("browser.close", {}), 20)
                self.process.wait(20)
        finally:
            if self.process.poll() is None:
                self.process.kill()
                self.process.wait()
            self.loop.call_soon_threadsafe(self.loop.stop)

    def navigate(self, url):
        self.command("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def screenshot(self, path):
        with open(path, "wb") as file:
            file.write(base64.b64decode(self.command("browsingContext.captureScreenshot", context=self.context)["data"]))

    def perform(self, kind, *actions):
        self.command("input.performActions", context=self.context, actions=[
            {"type": kind, "id": kind, "actions": list(actions)} | ({"parameters": {"pointerType": "mouse"}} if kind == "pointer" else {})])

    def mouse(self, *steps):
        self.perform("pointer", *({"type": ("pointerUp", "pointerDown")[step], "button": 0} if step in (0, 1)
                                  else {"type": "pointerMove", "x": step[0], "y": step[1]} for step in steps))

    def keys(self, text, held=""):
        presses = [(key, kind) for key in text for kind in ("keyDown", "keyUp")]
        presses = [(held, "keyDown"), *presses, (held, "keyUp")] if held else presses
        self.perform("key", *({"type": kind, "value": key} for key, kind in presses))

    def evaluate(self, expression):
        result = self.command("script.evaluate", expression=expression, target={"context": self.context}, awaitPromise=True)
        if result["type"] != "success":
            raise AssertionError(result["exceptionDetails"]["text"])
        value = result["result"].get("value")
        return [item.get("value") for item in value] if result["result"]["type"] == "array" else value

    def errors(self):
        return [entry["text"] for entry in self.logged if entry["level"] == "error"]


class Editor:
    """The editor on a page just opened, and where its markers are to be: each change judged from
    a screenshot."""

    def __init__(self, page):
        self.page, self.points = page, list(DESIGN)
        page.open()
        self.top = page.shot("editor", "curve", *self.points)[0]

    def corner(self, i):
        """A point on marker i, 8 pixels into it."""
        return self.points[2 * i] // 15 + 8, self.top + self.points[2 * i + 1] // 15 + 8

    def moved(self, i, x, y, name):
        """Marker i's corner now at the client point (x, y), and nothing else changed."""
        self.points[2 * i:2 * i + 2] = [x * 15, y * 15]
        self.page.shot(name, "curve", *self.points)

    def about(self, name):
        """The About window opened from the menu and closed by its close box."""
        self.page.mouse((24, self.top // 2), 1, 0)
        left, upper, width, height = self.page.shot(name, "box", "ffffc0")
        self.page.test.assertEqual((width, height), (196, 203))  # 2940 x 3045 twips
        self.page.mouse((left + width - 9, upper - 9), 1, 0)
        self.page.shot(name + "-closed", "none", "ffffc0")


def fitted(page, name, points, patience=20):
    """The scale of the editor that a screenshot shows whole, the curve over these points in it, at
    some whole number of eighths of a device pixel a pixel; and its client area's top."""
    deadline, path = time.monotonic() + patience, f"{SHOTS}/{page.name}-{name}.png"
    while True:
        page.screenshot(path)
        for eighths in range(int(8 * page.ratio), 0, -1):
            try:
                return eighths / 8 / page.ratio, picture("curve", path, eighths / 8, *points)[0]
            except AssertionError:
                pass
        if time.monotonic() > deadline:
            raise AssertionError(f"{path}: no whole editor with the curve over {points}")


def setUpModule():
    os.makedirs(SHOTS, exist_ok=True)
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
    global BASE
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    BASE = f"http://127.0.0.1:{server.server_address[1]}/"


class EveryEngine:
    def test_first_curve_a_mouse_drag_and_the_about_window(self):
        editor = Editor(self.Page(self))
        x, y = editor.corner(2)
        editor.page.mouse((x, y), 1, (x + 30, y - 20), (260, editor.top + 150), 0)
        editor.moved(2, 260, 150, "dragged")
        editor.about("about")
        self.assertEqual(editor.page.errors(), [])


    def test_the_keyboard_alone_moves_the_markers(self):
        """Focus starts on marker 5; arrows move it, by ten pixels with Shift; Tab walks on to
        marker 4 and keeps the focus in the program."""
        editor = Editor(self.Page(self))
        page = editor.page
        page.keys(Keys.ARROW_RIGHT * 3)
        page.keys(Keys.ARROW_DOWN, Keys.SHIFT)
        editor.moved(5, 175 + 3, 105 + 10, "keyboard")
        page.keys(Keys.TAB + Keys.ARROW_LEFT)
        editor.moved(4, 84 - 1, 133, "keyboard-tab")
        page.keys(Keys.TAB * 12)
        self.assertEqual(page.evaluate("document.activeElement.id"), "screen")
        self.assertEqual(page.errors(), [])


class InFirefox(EveryEngine, unittest.TestCase):
    Page = Firefox


class InWebKit(EveryEngine, unittest.TestCase):
    Page = WebKit


class InChromium(EveryEngine, unittest.TestCase):
    Page = Chromium

    def test_first_curve_crisp_at_each_ratio(self):
        for ratio in (1, 1.5, 2):
            page = Chromium(self, ratio)
            page.open()
            page.shot(f"page-{ratio}", "curve", *DESIGN)
            print(f"ratio {ratio}: curve shown {time.monotonic() - page.started:.1f} s after the request")
            self.assertEqual(page.errors(), [])

    def test_drags_by_mouse_and_finger_and_the_about_window(self):
        editor = Editor(Chromium(self))
        page, top = editor.page, editor.top
        x, y = editor.corner(2)
        page.mouse((x, y), 1, (x + 30, y - 20), (260, top + 150), 0)
        editor.moved(2, 260, 150, "dragged")
        self.assertEqual([page.text_at(572, top + row) for row in (9, 33, 57)], ["2", "3900", "2250"])
        x, y = editor.corner(5)
        page.touch("touchStart", (x, y))
        page.touch("touchMove", (x - 20, y - 10))
        page.touch("touchMove", (90, top + 60))
        page.touch("touchEnd")
        editor.moved(5, 90, 60, "touched")
        # Let go outside the page, where the marker stops at the page's edge, it then stays.
        x, y = editor.corner(3)
        page.mouse((x, y), 1, (x, y + 40))
        for kind in ("mouseMoved", "mouseReleased"):
            page.cdp("Input.dispatchMouseEvent", {"type": kind, "x": -40, "y": y + 40, "button": "left", "buttons": 1})
        page.mouse((300, top + 80), (320, top + 90))
        editor.moved(3, 0, y + 40 - top, "released-outside")
        editor.about("about")
        editor.about("about-again")
        x, y = editor.corner(1)
        page.mouse((x, y), 1, (400, top + 40), 0)
        editor.moved(1, 400, 40, "after-about")
        self.assertEqual(page.errors(), [])

    def test_a_second_finger_moves_nothing(self):
        editor = Editor(Chromium(self))
        page, top = editor.page, editor.top
        (x, y), other = editor.corner(5), editor.corner(1)
        page.touch("touchStart", (x, y))
        page.touch("touchMove", (x - 20, y - 10))
        # The second finger lands on marker 1, and both move.
        page.touch("touchStart", (x - 20, y - 10), other)
        page.touch("touchMove", (100, top + 70), (other[0] + 40, other[1] + 30))
        page.touch("touchMove", (110, top + 80), (other[0] + 60, other[1] - 50))
        editor.moved(5, 110, 80, "second-finger")
        page.touch("touchEnd")
        page.mouse((300, top + 250), (420, top + 40), (200, top + 300))
        editor.moved(5, 110, 80, "second-finger-lifted")
        self.assertEqual(page.errors(), [])

    def test_a_cancelled_touch_ends_the_drag(self):
        editor = Editor(Chromium(self))
        page, top = editor.page, editor.top
        x, y = editor.corner(6)
        page.touch("touchStart", (x, y))
        page.touch("touchMove", (x + 20, y + 30))
        page.touch("touchCancel")
        editor.moved(6, x + 20, y + 30 - top, "cancelled")
        page.mouse((300, top + 250), (420, top + 40), (200, top + 300))
        page.touch("touchStart", (450, top + 300))  # a new touch where no marker is
        page.touch("touchMove", (400, top + 200))
        page.touch("touchEnd")
        editor.moved(6, x + 20, y + 30 - top, "cancelled-then-moved")
        self.assertEqual(page.errors(), [])

    def test_a_page_hidden_while_dragging_lets_the_marker_go(self):
        editor = Editor(Chromium(self))
        page, top, driver = editor.page, editor.top, editor.page.driver
        driver.execute_script("""window.seen = [];
            document.addEventListener("visibilitychange", () => seen.push(document.visibilityState))""")
        x, y = editor.corner(3)
        page.mouse((x, y), 1, (x + 20, y + 30))
        # Another tab in front, where the button is let go; the page never sees it.
        editor_tab = driver.current_window_handle
        driver.switch_to.new_window("tab")
        page.mouse(0)
        driver.close()
        driver.switch_to.window(editor_tab)
        self.assertEqual(page.evaluate("seen"), ["hidden", "visible"])
        page.mouse((300, top + 250), (420, top + 40))
        editor.moved(3, x + 20, y + 30 - top, "hidden-while-dragging")
        self.assertEqual(page.errors(), [])

    def test_a_very_small_window(self):
        page = Chromium(self)
        page.cdp("Emulation.setDeviceMetricsOverride", {"width": 200, "height": 150, "deviceScaleFactor": 1, "mobile": False})
        page.open()
        deadline = time.monotonic() + 20
        while page.evaluate("getComputedStyle(document.getElementById('status')).display") != "none":
            self.assertLess(time.monotonic(), deadline, page.evaluate("document.getElementById('status').textContent"))
            time.sleep(0.2)
        page.screenshot(f"{SHOTS}/chromium-small.png")  # the editor at a quarter of its size
        page.cdp("Emulation.clearDeviceMetricsOverride", {})
        page.shot("small-then-large", "curve", *DESIGN)
        self.assertEqual(page.errors(), [])

    def test_phones_and_a_small_window_show_the_whole_editor(self):
        """The editor fitted to the screen, its lines crisp at the device's resolution, a finger's
        drag exact in the program's twips, and the dragged curve kept when the phone turns."""
        upright, sideways, window = (390, 844, 3, True), (844, 390, 3, True), (480, 360, 2, False)
        for case, turned in ((upright, sideways), (sideways, upright), (window, None)):
            page, (width, height, page.ratio, mobile) = Chromium(self), case
            metrics = lambda w, h, r, m: page.cdp("Emulation.setDeviceMetricsOverride", {
                "width": w, "height": h, "deviceScaleFactor": r, "mobile": m})
            metrics(*case)
            page.open()
            name, points = f"{width}x{height}", list(DESIGN)
            scale, top = fitted(page, name, points)
            # As large as the page allows, held either way, give or take what whole device pixels take.
            self.assertGreater(scale, 0.8 * min(1, width / 605, height / 385, height / 605, width / 385))
            if not turned:
                continue  # a desktop window: the mouse is checked at the design's size
            # A finger takes marker 2 by its middle and puts its corner at (240, 144) pixels.
            at = lambda x, y: (x * scale, (top + y) * scale)  # the client area's pixels in CSS pixels
            page.touch("touchStart", at(points[4] / 15 + 8, points[5] / 15 + 8))
            page.touch("touchMove", at(200, 100))
            page.touch("touchMove", at(240, 144))
            page.touch("touchEnd")
            points[4:6] = [3600, 2160]
            fitted(page, name + "-dragged", points)
            self.assertEqual([page.text_at(*at(572, row)) for row in (9, 33, 57)], ["2", "3600", "2160"])
            metrics(*turned)
            width, height, page.ratio, _ = turned
            scale, top = fitted(page, name + "-turned", points)
            # The About window, opened with a tap on the menu: at the editor's scale, whole on the
            # screen, its 196 x 203 pixels grown to whole device pixels.
            page.touch("touchStart", at(24, -top / 2))
            page.touch("touchEnd")
            left, upper, wide, high = box = page.shot(name + "-turned-about", "box", "ffffc0", scale=scale)
            self.assertTrue(196 <= wide < 204 and 203 <= high < 211 and left >= 0
                            and left + wide <= width / scale and upper + high <= height / scale, box)
            self.assertEqual(page.errors(), [])

    def test_a_screen_reader_finds_the_application_and_hears_a_move(self):
        editor = Editor(Chromium(self))
        tree = lambda: [(node.get("role", {}).get("value"), node.get("name", {}).get("value"))
                        for node in editor.page.cdp("Accessibility.getFullAXTree", {})["nodes"]]
        self.assertIn(("application", "Bezier curve editor: Tab moves between the eight control points, "
                       "the arrow keys move the focused one by a pixel, by ten with Shift"), tree())
        editor.page.keys(Keys.ARROW_UP)
        editor.moved(5, 175, 105 - 1, "heard")
        self.assertIn(("StaticText", "x 2625, y 1560 twips"), tree())

    def test_installable_and_offline_after_the_first_visit(self):
        page = Chromium(self)
        page.open()
        page.shot("online", "curve", *DESIGN)
        self.assertEqual(page.cdp("Page.getInstallabilityErrors", {})["installabilityErrors"], [])
        page.driver.set_script_timeout(30)
        page.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        page.cdp("Network.enable", {})
        page.cdp("Network.emulateNetworkConditions", {
            "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.open()
        page.shot("offline", "curve", *DESIGN)
        self.assertEqual(page.errors(), [])

    def test_a_clear_message_where_the_program_cannot_run(self):
        for flags, words in ((("--js-flags=--jitless",), "needs WebAssembly"),
                             (("--disable-webgl", "--disable-3d-apis"), "draws through WebGL"), ((), "could not be downloaded")):
            page = Chromium(self, flags=flags)
            page.cdp("Network.enable", {})
            page.cdp("Network.setBlockedURLs", {"urls": [] if flags else ["*.wasm"]})
            page.open()
            time.sleep(1)
            self.assertIn(words, page.driver.find_element("id", "status").text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
