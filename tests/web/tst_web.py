#!/usr/bin/python3
"""The page in three browser engines, served from 127.0.0.1, driven with real input and judged from
screenshots by the real-window tests' picture checks and by axe-core: headless Chromium through
chromium-driver (touches, screen sizes, colour schemes and the accessibility tree through the
DevTools protocol), Firefox ESR over the WebDriver BiDi it speaks itself, and WebKitGTK's
MiniBrowser through WebKitWebDriver. Firefox and WebKit need a display: run this under xvfb-run."""
import asyncio, base64, functools, http.server, itertools, json, os, re, subprocess, tempfile, threading, time, unittest
from pathlib import Path

import websockets
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver import ActionChains, Keys
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.support.wait import WebDriverWait

SITE, SHOTS = os.environ["BEZIER7_WEB_SITE"], os.environ["BEZIER7_WEB_SITE"] + "/screenshots"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
AXE = (Path(__file__).parent / "node_modules/axe-core/axe.min.js").read_text()
# The controls in the design's tab order, each with its accessible role and name.
CONTROLS = {**{f"Command1({i})": ("button", f"Control point {i}") for i in (5, 4, 3, 2, 1)},
            "Text_x": ("textbox", "Left of the dragged control point, in twips"),
            "Text_y": ("textbox", "Top of the dragged control point, in twips"),
            "Text_Ind": ("textbox", "Index of the control point under the pointer"), "Command1(6)": ("button", "Control point 6"),
            "Option1(0)": ("radio", "Control point 0"), "Option1(7)": ("radio", "Control point 7")}


def picture(*args):
    run = subprocess.run([os.environ["BEZIER7_PICTURE"], *map(str, args)], capture_output=True, text=True)
    if run.returncode:
        raise AssertionError(run.stdout + run.stderr)
    return [int(value) if value.is_integer() else value for value in map(float, run.stdout.split())]


DESIGN = picture("design")  # the control points x0 y0 ... x7 y7 in twips, 15 a CSS pixel


class Page:
    """The page in one engine's browser, as the checks use it, in CSS pixels: open(), shot(), mouse(),
    keys(), evaluate() and errors(); quits when the test ends. The editor shows at scale CSS pixels a design pixel."""
    ratio, scale = 1, 1

    def shot(self, name, *args, patience=20):
        """Waits until a check of the screenshot passes; its output, in design pixels."""
        deadline, path = time.monotonic() + patience, f"{SHOTS}/{self.name}-{name}.png"
        while True:
            self.screenshot(path)
            try:
                return picture(args[0], path, self.ratio * self.scale, *args[1:])
            except AssertionError:
                if time.monotonic() > deadline:
                    raise

    def axe(self):
        """axe-core's violations on the page as it is, one a line with the elements at fault."""
        self.evaluate(f"(0, eval)({json.dumps(AXE)} + ';0')")
        return self.evaluate("axe.run(document).then((result) => result.violations.map((v) => "
                             "`${v.id}: ${v.help}: ${v.nodes.map((n) => n.failureSummary + ' at ' + n.target)}`)"
                             ".join('\\n'))")

    def focused(self):
        """The id of the control that has the focus (a marker's label for its radio button)."""
        return self.evaluate("document.activeElement.closest('[id]')?.id ?? document.activeElement.tagName")


class SeleniumPage(Page):
    def open(self):
        self.driver.get(BASE)

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def mouse(self, *steps):
        """(x, y) moves there; "L" and "R" press the left and right buttons, "l" and "r" let go."""
        actions = ActionBuilder(self.driver)
        pointer = actions.pointer_action
        for step in steps:
            if isinstance(step, str):
                (pointer.pointer_down if step.isupper() else pointer.pointer_up)(button=2 * (step in "Rr"))
            else:
                pointer.move_to_location(*map(round, step))
        actions.perform()

    def keys(self, text, held=""):
        """The keys of text pressed in turn, with held (such as Keys.SHIFT) down throughout."""
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
                     "--disable-background-networking", "--disable-component-update", "--window-size=800,600",
                     f"--force-device-scale-factor={ratio}", f"--user-data-dir={profile.name}", *flags):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        test.addCleanup(profile.cleanup)
        test.addCleanup(self.driver.quit)
        self.cdp = self.driver.execute_cdp_cmd
        self.cdp("Browser.grantPermissions", {"origin": BASE, "permissions": [
            "clipboardReadWrite", "clipboardSanitizedWrite"]})

    def metrics(self, width, height, ratio, mobile=False):
        """The page on a screen of that size in CSS pixels; the editor fitted to it by design."""
        self.cdp("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": mobile})
        self.ratio, self.scale = ratio, min(1, width / 605, height / 381)

    def touch(self, kind, *points):
        self.cdp("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": finger} for finger, (x, y) in enumerate(points)]})

    def swipe(self, *points, end="touchEnd"):
        """A finger put down at the first point, moved through the others and lifted."""
        self.touch("touchStart", points[0])
        for point in points[1:]:
            self.touch("touchMove", point)
        self.touch(end)

    def read_outs(self, editor):
        """The read-outs Index, x and y as a user copies them: a click into each, Ctrl+A, Ctrl+C."""
        return [self.mouse(editor.at(572, row), "L", "l") or self.keys("ac", Keys.CONTROL) or self.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0])") for row in (9, 33, 57)]

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
        self.driver.execute_script("""window.seen = []; addEventListener("error", (event) => seen.push(event.message));
            addEventListener("unhandledrejection", (event) => seen.push(`${event.reason} at ${event.reason?.stack}`));
            const error = console.error; console.error = (...words) => { seen.push(words.join(" ")); error(...words); };""")

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
        self.loop, self.answers, self.logged, self.numbers = asyncio.new_event_loop(), {}, [], itertools.count()
        Path(profile.name, "user.js").write_text('user_pref("layout.css.devPixelsPerPx", "1.0");')  # whatever the dpi
        with open(log, "w") as output:  # port 0: a free one, which it names in its output
            self.process = subprocess.Popen(["firefox-esr", "--remote-debugging-port", "0", "--no-remote",
                                             "-profile", profile.name], stdout=output, stderr=output)
        test.addCleanup(self.quit)
        deadline = time.monotonic() + 60
        while not (found := re.search(r"WebDriver BiDi listening on (ws://\S+)\n", Path(log).read_text())):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise AssertionError("Firefox did not start: " + Path(log).read_text())
            time.sleep(0.1)
        threading.Thread(target=self.loop.run_forever, daemon=True).start()
        self.socket = self.run(lambda: websockets.connect(found[1] + "/session", max_size=None))
        asyncio.run_coroutine_threadsafe(self.listen(), self.loop)
        self.command("session.new", capabilities={})
        self.command("session.subscribe", events=["log.entryAdded"])
        self.context = self.command("browsingContext.getTree")["contexts"][0]["context"]
        self.command("browsingContext.setViewport", context=self.context, viewport={"width": 800, "height": 600})

    def run(self, start, timeout=60):
        """What start() gives, made and awaited in the socket's loop."""
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
            self.process.kill()  # nothing once it has ended
            self.process.wait()
            self.loop.call_soon_threadsafe(self.loop.stop)

    def open(self):
        self.command("browsingContext.navigate", context=self.context, url=BASE, wait="complete")

    def screenshot(self, path):
        with open(path, "wb") as file:
            file.write(base64.b64decode(self.command("browsingContext.captureScreenshot", context=self.context)["data"]))

    def perform(self, kind, *actions):
        self.command("input.performActions", context=self.context, actions=[
            {"type": kind, "id": kind, "actions": list(actions)} | ({"parameters": {"pointerType": "mouse"}} if kind == "pointer" else {})])

    def mouse(self, *steps):
        self.perform("pointer", *({"type": ("pointerUp", "pointerDown")[step.isupper()], "button": 2 * (step in "Rr")}
                                  if isinstance(step, str) else {"type": "pointerMove", "x": round(step[0]), "y": round(step[1])}
                                  for step in steps))

    def keys(self, text, held=""):
        presses = [(key, kind) for key in text for kind in ("keyDown", "keyUp")]
        presses = [(held, "keyDown"), *presses, (held, "keyUp")] if held else presses
        self.perform("key", *({"type": kind, "value": key} for key, kind in presses))

    def evaluate(self, expression):
        result = self.command("script.evaluate", expression=expression, target={"context": self.context}, awaitPromise=True)
        if result["type"] != "success":
            raise AssertionError(result["exceptionDetails"]["text"])
        return result["result"].get("value")

    def errors(self):
        return [entry["text"] for entry in self.logged if entry["level"] == "error"]


class Editor:
    """The editor on a page just opened, where its client area lies and where its markers are to
    be: each change judged from a screenshot."""

    def __init__(self, page, name="editor"):
        self.page, self.points = page, list(DESIGN)
        page.open()
        self.judge(name)

    def judge(self, name):
        """The whole curve over the points and nothing else, crisp, in a client area of the design's size."""
        self.left, self.top = self.page.shot(name, "curve", *self.points)

    def at(self, x, y):
        """The client area's design pixel (x, y) in the page's CSS pixels."""
        return (self.left + x) * self.page.scale, (self.top + y) * self.page.scale

    def corner(self, i):
        """A point on marker i, 8 design pixels into it."""
        return self.at(self.points[2 * i] / 15 + 8, self.points[2 * i + 1] / 15 + 8)

    def moved(self, i, x, y, name):
        """Marker i's corner now at the client point (x, y), and nothing else changed."""
        self.points[2 * i:2 * i + 2] = [x * 15, y * 15]
        self.judge(name)

    def drag(self, i, x, y, name):
        """Marker i dragged by mouse by its middle, the long way round, to put its corner at (x, y)."""
        self.page.mouse(self.corner(i), "L", self.at(x - 70, y - 10), self.at(x, y), "l")
        self.moved(i, x, y, name)

    def about(self, name, width=None, height=None):
        """The About window chosen from the menu: its client area 196 x 203 pixels at the editor's scale
        to a device pixel, whole on a screen of that size; closed by its close box. Returns axe-core's findings."""
        test, page, scale = self.page.test, self.page, self.page.scale
        page.mouse(self.at(24, -10), "L", "l")
        left, upper, wide, high = box = page.shot(name, "box", "ffffc0")
        test.assertTrue(abs(wide - 196) * page.ratio * scale <= 1 and abs(high - 203) * page.ratio * scale <= 1, box)
        if width:
            test.assertTrue(left >= 0 and (left + wide) * scale <= width and (upper + high) * scale <= height, box)
        found = page.axe()
        page.mouse(((left + wide - 9) * scale, (upper - 9) * scale), "L", "l")
        page.shot(name + "-closed", "none", "ffffc0")
        return found


def setUpModule():
    os.makedirs(SHOTS, exist_ok=True)
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
    global BASE
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    BASE = f"http://127.0.0.1:{server.server_address[1]}/"


class EveryEngine:
    maxDiff = None

    def test_first_curve_the_mouse_and_the_about_window(self):
        """No stale ink after a drag; a capture lost mid-drag leaves the marker where the pointer had
        it; the right button moves nothing (last: WebKit's driver then holds it down for good); no
        finding of axe-core's, on the editor or with About open."""
        editor = Editor(self.Page(self))
        page = editor.page
        self.assertEqual(page.axe(), "")
        editor.drag(2, 260, 150, "dragged")
        page.evaluate("!!addEventListener('pointerdown', (event) => window.grab = event, true)")
        page.mouse(editor.corner(3), "L", editor.at(100, 250))
        page.evaluate("!grab.target.releasePointerCapture(grab.pointerId)")
        page.mouse(editor.at(102, 252), editor.at(300, 250), "l", editor.corner(1), editor.at(103, 253), editor.at(500, 300))
        editor.moved(3, 102, 252, "capture-lost")
        found = editor.about("about")
        page.mouse(editor.corner(4), "R", editor.at(300, 250), "r", editor.corner(2), "L", "R", editor.at(400, 60), "l", "r")
        editor.judge("wrong-buttons")
        self.assertEqual(page.errors(), [])
        # The one finding is the design's own: "bezier7 team" in red on light yellow (3.86:1).
        self.assertRegex(found, re.compile(r"\Acolor-contrast: .* at #Label3\Z", re.S), "with About open")

    def test_the_keyboard_alone_moves_the_markers(self):
        """Focus starts on marker 5; arrows move it, by ten pixels with Shift; Tab walks the design's
        tab order, then leaves the editor; the About menu item comes first. In Chromium's tree the
        controls are real ones with their names, and marker 5's description follows it."""
        editor = Editor(self.Page(self))
        page = editor.page
        tree = lambda: {(node["role"]["value"], node["name"]["value"]): node.get("description", {}).get("value")
                        for node in page.cdp("Accessibility.getFullAXTree", {})["nodes"] if "name" in node}
        if self.Page is Chromium:
            self.assertLessEqual(set(CONTROLS.values()), set(tree()))
            self.assertEqual(tree()["button", "Control point 5"], "x 2625, y 1575 twips")
        self.assertEqual(page.focused(), "Command1(5)")
        page.keys(Keys.TAB, Keys.SHIFT)
        self.assertEqual(page.focused(), "Mn_About")
        page.keys(Keys.TAB + Keys.ARROW_UP)
        if self.Page is Chromium:
            self.assertEqual(tree()["button", "Control point 5"], "x 2625, y 1560 twips")
        page.keys(Keys.ARROW_RIGHT * 3)
        page.keys(Keys.ARROW_DOWN, Keys.SHIFT)
        editor.moved(5, 175 + 3, 105 - 1 + 10, "keyboard")
        page.keys(Keys.TAB + Keys.ARROW_LEFT)
        editor.moved(4, 84 - 1, 133, "keyboard-tab")
        walked = [page.focused()] + [page.keys(Keys.TAB) or page.focused() for _ in range(10)]
        self.assertIn(walked.pop(), ("BODY", "Mn_About"))  # out of the page, or round to its start
        self.assertEqual(walked, list(CONTROLS)[1:])
        self.assertEqual(page.errors(), [])


class InFirefox(EveryEngine, unittest.TestCase):
    Page = Firefox


class InWebKit(EveryEngine, unittest.TestCase):
    Page = WebKit


class InChromium(EveryEngine, unittest.TestCase):
    Page = Chromium

    def test_drags_by_mouse_and_finger_and_bad_input(self):
        """The read-outs as a user copies them; a release outside the page, a cancelled touch and a
        page hidden mid-drag end the drag; a second finger moves nothing; text typed and pasted into
        a read-out, however long, changes nothing else."""
        editor = Editor(Chromium(self))
        page, driver = editor.page, editor.page.driver
        editor.drag(2, 260, 150, "dragged")
        self.assertEqual(page.read_outs(editor), ["2", "3900", "2250"])
        page.swipe(editor.corner(5), editor.at(100, 110), editor.at(90, 60))
        editor.moved(5, 90, 60, "touched")
        # Let go outside the page: the marker stays where the pointer left it.
        x, y = editor.corner(3)
        page.mouse((x, y), "L", (x, y + 40))
        for kind in ("mouseMoved", "mouseReleased"):
            page.cdp("Input.dispatchMouseEvent", {"type": kind, "x": -40, "y": y + 40, "button": "left", "buttons": 1})
        page.mouse(editor.at(300, 80), editor.at(320, 90))
        editor.moved(3, -40 - editor.left, y + 40 - editor.top, "released-outside")
        page.mouse(editor.at(572, 33), "L", "l")
        driver.execute_async_script("navigator.clipboard.writeText('9'.repeat(5000)).then(arguments[0])")
        page.keys("a", Keys.CONTROL)
        page.keys("-123,4e+38 xyz")
        page.keys("vv", Keys.CONTROL)
        self.assertEqual(page.evaluate("document.getElementById('Text_x').value"), "-123,4e+38 xyz" + "9" * 10000)
        self.assertEqual(page.read_outs(editor)[::2], ["3", str(round(editor.points[7]))])
        editor.judge("typed")
        editor.drag(1, 400, 40, "after-typing")
        self.assertEqual(page.read_outs(editor), ["1", "6000", "600"])
        # A second finger lands on marker 1 while the first drags marker 5, and both move.
        (x, y), other = editor.corner(5), editor.corner(1)
        page.touch("touchStart", (x, y))
        page.touch("touchStart", (x, y), other)
        page.touch("touchMove", editor.at(110, 80), (other[0] + 60, other[1] - 50))
        page.touch("touchEnd")
        editor.moved(5, 110, 80, "second-finger")
        page.swipe(editor.corner(6), editor.at(340, 170), end="touchCancel")
        page.swipe(editor.at(450, 300), editor.at(400, 200))  # a new touch where no marker is
        page.mouse(editor.at(300, 250), editor.at(420, 40), editor.at(200, 300))
        editor.moved(6, 340, 170, "cancelled")
        driver.execute_script("window.shown = []; document.onvisibilitychange = () => shown.push(document.visibilityState)")
        page.mouse(editor.corner(4), "L", editor.at(110, 230))
        # Another tab in front, where the button is let go; the page never sees it.
        driver.switch_to.new_window("tab")
        page.mouse("l")
        driver.close()
        driver.switch_to.window(driver.window_handles[0])
        self.assertEqual(page.evaluate("shown"), ["hidden", "visible"])
        page.mouse(editor.at(300, 250), editor.at(420, 40))
        editor.moved(4, 110, 230, "hidden-while-dragging")
        self.assertEqual(page.errors(), [])

    def test_screens_ratios_and_zoom(self):
        """Desktops at ratios 1.5 and 2, phones held upright and sideways, small windows and browser
        zoom at 25 and 500 %: the whole editor at min(1, w/605, h/381) of its size, crisp at the
        device's resolution; a finger's drag exact in twips, leaving nothing where the marker was;
        turned or enlarged, the dragged curve stays, and the About window fits."""
        upright, sideways = (390, 844, 3, True), (844, 390, 3, True)
        for name, screen, turned in (
                ("desktop-1.5", (800, 600, 1.5), None), ("desktop-2", (800, 600, 2), None),
                ("phone-upright", upright, sideways), ("phone-sideways", sideways, upright),
                ("window-480x360", (480, 360, 2), None), ("window-200x150", (200, 150, 1), (800, 600, 1)),
                ("zoom-25", (3200, 2400, 0.25), None), ("zoom-500", (160, 120, 5), None)):
            page = Chromium(self, screen[2])  # at the device's own ratio, as a phone lays out
            page.metrics(*screen)
            editor = Editor(page, name)
            page.swipe(editor.corner(2), editor.at(200, 100), editor.at(240, 144))
            editor.moved(2, 240, 144, name + "-dragged")
            self.assertEqual(page.read_outs(editor), ["2", "3600", "2160"], name)
            if turned:
                page.metrics(*turned)
                editor.judge(name + "-turned")
                editor.about(name + "-turned-about", *turned[:2])
            self.assertEqual(page.errors(), [])

    def test_offline_after_the_first_visit_dark_scheme_forced_colours_and_clear_messages(self):
        """Installable and kept for use offline; in the dark scheme and in forced colours the curve
        shows whole and axe-core finds all text (the read-outs' too) readable; a clear message where
        the program cannot run."""
        page = Editor(Chromium(self), "online").page
        self.assertEqual(page.cdp("Page.getInstallabilityErrors", {})["installabilityErrors"], [])
        page.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        page.cdp("Network.enable", {})
        page.cdp("Network.emulateNetworkConditions", {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.open()
        page.shot("offline", "curve", *DESIGN)
        for name, feature, value in (("dark", "prefers-color-scheme", "dark"), ("forced-colours", "forced-colors", "active")):
            page.cdp("Emulation.setEmulatedMedia", {"features": [{"name": feature, "value": value}]})
            page.shot(name, "curve", *DESIGN)
            self.assertEqual(page.axe(), "", name)
        self.assertEqual(page.errors(), [])
        for flags, words in ((("--js-flags=--jitless",), "needs WebAssembly"), ((), "could not be downloaded")):
            page = Chromium(self, flags=flags)
            page.cdp("Network.enable", {})
            page.cdp("Network.setBlockedURLs", {"urls": [] if flags else ["*.wasm"]})
            page.open()
            WebDriverWait(page.driver, 10).until(lambda driver: words in driver.find_element("id", "status").text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
