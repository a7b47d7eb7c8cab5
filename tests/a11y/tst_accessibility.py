#!/usr/bin/python3
"""The editor as a screen reader meets it on Linux: a session bus and the accessibility registry
started here, as CI has neither; build/bezier7 (BEZIER7_PROGRAM) on this X display; its tree read
over AT-SPI with pyatspi and printed, before and after arrow keys on the focused marker."""

import os
import subprocess
import time
import warnings

bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                       stdout=subprocess.PIPE, text=True)
os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
services = [subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"]), bus]
import pyatspi  # noqa: E402 (finds the accessibility bus when imported)

warnings.filterwarnings("ignore", category=DeprecationWarning)  # pyatspi's own calls


def wait_for(find):
    for _ in range(200):  # ten seconds
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("never came")


def nodes(node, depth=0):
    yield node, depth
    for child in node:
        yield from nodes(child, depth + 1)


def window(title):
    return next((window for app in pyatspi.Registry.getDesktop(0) if app.name == "bezier7"
                 for window in app if window.name == title), None)


def read(root, heading):
    """Name to (role, description or text) of every node, printed as a screen reader lists them."""
    print(heading)
    seen = {}
    for node, depth in nodes(root):
        said = node.queryText().getText(0, -1) if node.getRole() == pyatspi.ROLE_TEXT else \
            node.description
        focus = " [focused]" if node.getState().contains(pyatspi.STATE_FOCUSED) else ""
        print(f'{"  " * depth}{node.getRoleName()} "{node.name}": {said}{focus}', flush=True)
        seen[node.name] = (node.getRoleName(), said)
    return seen


def marker(i, x, y):
    return f"Control point {i}", ("radio button" if i in (0, 7) else "push button",
                                  f"x {x}, y {y} twips")


EXPECTED = dict([marker(0, 7455, 2625), marker(1, 4830, 2940), marker(2, 2625, 3150),
                 marker(3, 1260, 2835), marker(4, 1260, 1995), marker(5, 2625, 1575),
                 marker(6, 4830, 1890), marker(7, 7455, 2310)], **{
    "Bezier curve with 7 points": ("frame", "A Bézier curve of degree 7 shaped by the eight "
                                   "control points, drawn with the tangents at its two ends"),
    "Index of the control point under the pointer": ("text", "Index"),
    "Left of the dragged control point, in twips": ("text", "x"),
    "Top of the dragged control point, in twips": ("text", "y"),
    "About": ("menu item", "")})
MOVED = dict(EXPECTED, **dict([marker(5, 2640, 1725)]), **{
    "Index of the control point under the pointer": ("text", "5"),
    "Left of the dragged control point, in twips": ("text", "2640"),
    "Top of the dragged control point, in twips": ("text", "1725")})
ABOUT = {text: ("label", "") for text in (
    "This program generates a Bezier curve with 7 control points", "developed by",
    "bezier7 team", "bezier7@example.org")}

program = subprocess.Popen([os.environ["BEZIER7_PROGRAM"]], env=dict(
    os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
try:
    editor = wait_for(lambda: window("Bezier curve with 7 points"))
    five = next(node for node, _ in nodes(editor) if node.name == "Control point 5")
    wait_for(lambda: five.getState().contains(pyatspi.STATE_FOCUSED))  # where the keys go
    seen = read(editor, "At start-up:")
    assert {name: seen.get(name) for name in EXPECTED} == EXPECTED
    subprocess.run(["xdotool", "key", "Right", "shift+Down"], check=True)
    wait_for(lambda: five.description == MOVED["Control point 5"][1])
    seen = read(editor, "After Right and Shift+Down on the focused marker:")
    assert {name: seen.get(name) for name in MOVED} == MOVED
    next(node for node, _ in nodes(editor) if node.name == "About").queryAction().doAction(0)
    seen = read(wait_for(lambda: window("About")), "The About window:")
    assert {name: seen.get(name) for name in ABOUT} == ABOUT
finally:
    for process in [program] + services:
        process.terminate()
        process.wait()
