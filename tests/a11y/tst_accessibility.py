#!/usr/bin/python3
"""The editor as a screen reader meets it on Linux: its accessible tree read over AT-SPI.

Starts what a desktop session would have (a session bus and the accessibility bus with its
registry), then build/bezier7 (BEZIER7_PROGRAM) on the X display this runs on, and reads the tree
with pyatspi, as a screen reader does: the names, roles and descriptions, and what changes when an
arrow key moves the focused marker. Prints the tree before and after.
"""

import os
import signal
import subprocess
import sys
import time
import unittest
import warnings

PATIENCE = 10  # seconds to wait for the program or a service

# The editor's design, written out: markers' corners and the read-outs' names.
MARKERS = {0: (7455, 2625), 1: (4830, 2940), 2: (2625, 3150), 3: (1260, 2835),
           4: (1260, 1995), 5: (2625, 1575), 6: (4830, 1890), 7: (7455, 2310)}
INDEX = "Index of the control point under the pointer"
LEFT = "Left of the dragged control point, in twips"
TOP = "Top of the dragged control point, in twips"
EDITOR = "Bezier curve with 7 points"
DESCRIPTION = ("A Bézier curve of degree 7 shaped by the eight control points, "
               "drawn with the tangents at its two ends")
ABOUT_LABELS = ["This program generates a Bezier curve with 7 control points", "developed by",
                "bezier7 team", "bezier7@example.org"]


def start_session():
    """A session bus and, on it, the accessibility bus: CI has neither."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    bus.stdout.close()
    if not os.environ["DBUS_SESSION_BUS_ADDRESS"]:
        sys.exit("no session bus")
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    return [launcher, bus]


SERVICES = start_session()
import pyatspi  # noqa: E402 (reads the bus address when imported)
from gi.repository import GLib  # noqa: E402

# pyatspi's own calls into the library are what is deprecated, not the test's.
warnings.filterwarnings("ignore", category=DeprecationWarning)


def wait_for(find, what):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("never found: " + what)


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, text.characterCount)


def tree(root):
    """The tree as a screen reader has it: role, name, description, text, focus; one a line."""
    lines = []

    def visit(node, depth):
        line = f'{"  " * depth}{node.getRoleName()} "{node.name}"'
        if node.description:
            line += f" ({node.description})"
        text = text_of(node)
        if text is not None and node.getRole() == pyatspi.ROLE_TEXT:
            line += f': "{text}"'
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            line += " [focused]"
        lines.append(line)
        for child in node:
            if child is not None:
                visit(child, depth + 1)

    visit(root, 0)
    return "\n".join(lines)


def frame(title):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "bezier7":
            for window in app:
                if window is not None and window.name == title:
                    return window
    return None


def named(root, name):
    return next((node for node in nodes(root) if node.name == name), None)


def described(x, y):
    return f"x {x}, y {y} twips"


class Accessibility(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        cls.program = subprocess.Popen([os.environ["BEZIER7_PROGRAM"]], env=environment)
        cls.editor = wait_for(lambda: frame(EDITOR), "the editor's window")
        # The focus starts on marker 5, once the window has it.
        wait_for(lambda: named(cls.editor, "Control point 5").getState()
                 .contains(pyatspi.STATE_FOCUSED), "the focus on marker 5")

    @classmethod
    def tearDownClass(cls):
        cls.program.terminate()
        cls.program.wait()

    def test_1_editor_names_everything(self):
        print("The editor's tree at start-up:\n" + tree(self.editor), flush=True)
        self.assertEqual(self.editor.getRole(), pyatspi.ROLE_FRAME)
        self.assertEqual(self.editor.description, DESCRIPTION)
        for i, (x, y) in MARKERS.items():
            marker = named(self.editor, f"Control point {i}")
            self.assertIsNotNone(marker, i)
            role = pyatspi.ROLE_RADIO_BUTTON if i in (0, 7) else pyatspi.ROLE_PUSH_BUTTON
            self.assertEqual(marker.getRole(), role, i)
            self.assertEqual(marker.description, described(x, y))
        for name, text in ((INDEX, "Index"), (LEFT, "x"), (TOP, "y")):
            readout = named(self.editor, name)
            self.assertEqual(readout.getRole(), pyatspi.ROLE_TEXT, name)
            self.assertEqual(text_of(readout), text)
        self.assertIsNotNone(named(self.editor, "About"))

    def test_2_arrow_keys_are_heard(self):
        heard = []
        listener = heard.append
        pyatspi.Registry.registerEventListener(
            listener, "object:property-change:accessible-description", "object:text-changed")
        marker = named(self.editor, "Control point 5")
        subprocess.run(["xdotool", "key", "Right"], check=True)
        wait_for(lambda: marker.description == described(2640, 1575), "the move to the right")
        subprocess.run(["xdotool", "key", "shift+Down"], check=True)
        wait_for(lambda: marker.description == described(2640, 1725), "the move down")
        wait_for(lambda: any(event.source == marker and "description" in event.type
                             for event in heard), "the event for the new description")
        pyatspi.Registry.deregisterEventListener(
            listener, "object:property-change:accessible-description", "object:text-changed")
        print("After Right and Shift+Down on marker 5:\n" + tree(self.editor), flush=True)
        self.assertEqual(text_of(named(self.editor, INDEX)), "5")
        self.assertEqual(text_of(named(self.editor, LEFT)), "2640")
        self.assertEqual(text_of(named(self.editor, TOP)), "1725")
        readouts = {named(self.editor, name) for name in (LEFT, TOP)}
        self.assertTrue(any(event.source in readouts and "text-changed" in event.type
                            for event in heard))
        self.assertTrue(named(self.editor, "Control point 5").getState()
                        .contains(pyatspi.STATE_FOCUSED))

    def test_3_about_labels_read_as_they_show(self):
        named(self.editor, "About").queryAction().doAction(0)
        about = wait_for(lambda: frame("About"), "the About window")
        print("The About window's tree:\n" + tree(about), flush=True)
        labels = [node for node in nodes(about) if node.getRole() == pyatspi.ROLE_LABEL]
        self.assertCountEqual([label.name for label in labels], ABOUT_LABELS)


if __name__ == "__main__":
    try:
        result = unittest.main(exit=False, verbosity=2).result
    finally:
        for service in SERVICES:
            service.send_signal(signal.SIGTERM)
            service.wait()
    sys.exit(0 if result.wasSuccessful() else 1)
