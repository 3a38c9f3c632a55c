"""A user at an X display: sees windows through the accessibility bus (AT-SPI,
as a screen reader does) and works with mouse and keyboard through xdotool.

The program under test runs on the xcb platform with its accessibility
bridge on; no window manager runs, so keyboard focus is given by clicking and
by `xdotool windowfocus`.
"""

import os
import re
import subprocess
import sys
import time

import gi

SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

sys.path.insert(0, SUPPORT)
from close_request import send_close_request  # noqa: E402


class Failed(Exception):
    """What the user saw differs from what was expected."""


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=False, capture_output=True,
                          text=True).stdout


def visible_windows(title_pattern):
    """X window ids of the visible windows whose title matches, popups left
    out: the shell roads' function of the same name, so that all roads see
    the same windows."""
    return subprocess.run(["bash", "-c", '. "$0/xvfb.sh" && visible_windows "$1"', SUPPORT,
                           title_pattern], check=False, capture_output=True,
                          text=True).stdout.split()


def wait_until(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it gives something true; gives that."""
    end = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > end:
            raise Failed(f"timed out waiting for {what}")
        time.sleep(interval)


def name_of(node):
    try:
        return node.get_name() or ""
    except gi.repository.GLib.Error:
        return ""


def role_of(node):
    try:
        return node.get_role_name()
    except gi.repository.GLib.Error:
        return ""


def children(node):
    try:
        count = node.get_child_count()
    except gi.repository.GLib.Error:
        return []
    found = []
    for i in range(count):
        try:
            child = node.get_child_at_index(i)
        except gi.repository.GLib.Error:
            continue
        if child is not None:
            found.append(child)
    return found


# Their rows are read through the Table interface; walking their cells one by
# one would take seconds for a catalogue of a few hundred foods.
LISTS = ("table", "tree", "tree table", "list")


def descendants(root):
    """The node and everything below it, except the cells of lists below it."""
    stack = [root]
    while stack:
        current = stack.pop()
        yield current
        if current is root or role_of(current) not in LISTS:
            stack.extend(reversed(children(current)))


def is_showing(node):
    try:
        return node.get_state_set().contains(Atspi.StateType.SHOWING)
    except gi.repository.GLib.Error:
        return False


def text_of(node):
    """The text a control shows: its Text interface, else its name."""
    try:
        if "Text" in node.get_interfaces():
            return Atspi.Text.get_text(node, 0, -1)
    except gi.repository.GLib.Error:
        pass
    return name_of(node)


class Program:
    """The program's accessible tree, read afresh on every look."""

    def __init__(self, process, application_name, timeout=10.0):
        self.process = process
        self.application = wait_until(
            f"the application '{application_name}' on the accessibility bus",
            lambda: self._find_application(application_name), timeout)

    def _find_application(self, name):
        self.check_running()
        desktop = Atspi.get_desktop(0)
        for application in children(desktop):
            if name_of(application) == name:
                return application
        return None

    def check_running(self):
        if self.process.poll() is not None:
            raise Failed(f"the program ended with exit code {self.process.returncode}")

    def top_level(self, role, name_pattern):
        """A showing window (frame or dialog) whose name matches."""
        for window in children(self.application):
            if role_of(window) == role and re.search(name_pattern, name_of(window)) \
                    and is_showing(window):
                return window
        return None

    def wait_window(self, role, name_pattern, timeout=10.0):
        def probe():
            self.check_running()
            return self.top_level(role, name_pattern)
        return wait_until(f"{role} '{name_pattern}'", probe, timeout)

    def wait_gone(self, role, name_pattern, timeout=10.0):
        def probe():
            self.check_running()
            return self.top_level(role, name_pattern) is None
        wait_until(f"{role} '{name_pattern}' to close", probe, timeout)


def find(root, role, name=None, showing=True):
    """The first descendant of the role, with the name when one is given."""
    for node in descendants(root):
        if role_of(node) == role and (name is None or name_of(node) == name) \
                and (not showing or is_showing(node)):
            return node
    return None


def need(root, role, name=None):
    node = wait_until(f"{role} '{name}' in '{name_of(root)}'",
                      lambda: find(root, role, name), 5.0)
    return node


def centre(node):
    extents = node.get_extents(Atspi.CoordType.SCREEN)
    if extents.width <= 0 or extents.height <= 0:
        raise Failed(f"'{name_of(node)}' has no area on the screen")
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def click_at(x, y, button=1, repeat=1):
    xdotool("mousemove", "--sync", str(x), str(y))
    xdotool("click", "--repeat", str(repeat), "--delay", "80", str(button))


def click(node, repeat=1):
    x, y = centre(node)
    click_at(x, y, repeat=repeat)


def type_text(text):
    xdotool("type", "--delay", "15", text)


def key(*names):
    xdotool("key", "--delay", "30", *names)


def focus_window(title_pattern):
    """Gives the keyboard to the visible X window whose title matches."""
    ids = wait_until(f"visible window '{title_pattern}'",
                     lambda: visible_windows(title_pattern), 10.0)
    xdotool("windowfocus", "--sync", ids[0])
    return ids[0]


def focused(root):
    """The control inside root that has the keyboard focus: the deepest
    focused node, a list itself rather than one of its cells. Qt marks the
    current page tab focused whether its tab bar has the focus or not, so
    the tab bar ("page tab list") stands for the tabs."""
    found = None
    for node in descendants(root):
        if role_of(node) == "page tab":
            continue
        try:
            if node.get_state_set().contains(Atspi.StateType.FOCUSED):
                found = node
        except gi.repository.GLib.Error:
            continue
    return found


def close_request(title_pattern):
    """Sends the window manager's close request (WM_DELETE_WINDOW) to the
    visible X window whose title matches, as a close box does."""
    window = int(wait_until(f"visible window '{title_pattern}'",
                            lambda: visible_windows(title_pattern), 10.0)[0])
    send_close_request(window)


def table_cell(table, row, column):
    return Atspi.Table.get_accessible_at(table, row, column)


def table_column(table, column=0):
    """The texts of one column of a list, top to bottom."""
    return [text_of(table_cell(table, row, column))
            for row in range(Atspi.Table.get_n_rows(table))]


def table_rows(table):
    """The rows of a list as lists of cell texts."""
    columns = Atspi.Table.get_n_columns(table)
    return [[text_of(table_cell(table, row, column)) for column in range(columns)]
            for row in range(Atspi.Table.get_n_rows(table))]


def selected_rows(table):
    return list(Atspi.Table.get_selected_rows(table))


class ToldScreenReader:
    """What controls tell a screen reader: the texts they now show
    (object:text-changed:insert), as (control name, text) pairs, the
    notifications shown (object:state-changed:showing), by name, and what
    became focused (object:state-changed:focused), as (role, name) pairs,
    which is what the reader then reads."""

    def __init__(self):
        self.inserted = []
        self.announced = []
        self.focused = []
        self._listener = Atspi.EventListener.new(self._heard)
        self._listener.register("object:text-changed:insert")
        self._listener.register("object:state-changed:showing")
        self._listener.register("object:state-changed:focused")

    def _heard(self, event):
        if event.type.startswith("object:text-changed:insert"):
            if isinstance(event.any_data, str):
                self.inserted.append((name_of(event.source), event.any_data))
        elif not event.detail1:
            pass
        elif event.type.startswith("object:state-changed:focused"):
            self.focused.append((role_of(event.source), name_of(event.source)))
        elif role_of(event.source) == "notification":
            self.announced.append(name_of(event.source))

    def update(self):
        """Events wait until the main context runs."""
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        return self


def start_accessibility_bus():
    """Starts the accessibility bus of the session, so that a program started
    after it finds the bus at once and registers its tree."""
    subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply",
                    "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                   check=True, capture_output=True)


def program_environment(locale="de_DE.UTF-8"):
    environment = dict(os.environ)
    environment.update({
        "LC_ALL": locale,
        "LANG": locale,
        "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
    })
    return environment
