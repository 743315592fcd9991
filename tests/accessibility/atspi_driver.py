"""Drives a program's windows through the desktop's accessibility bus, as a
screen reader or an outside test driver does: finds windows and controls by
role and name, presses buttons, selects rows and reads what is shown."""
import os
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402,F401


class Failure(Exception):
    pass


def _children(obj):
    try:
        count = obj.get_child_count()
    except Exception:
        return []
    out = []
    for i in range(count):
        try:
            child = obj.get_child_at_index(i)
        except Exception:
            child = None
        if child is not None:
            out.append(child)
    return out


def walk(obj, depth=0, limit=40):
    """Every accessible below obj, depth first (obj included)."""
    yield obj
    if depth >= limit:
        return
    for child in _children(obj):
        yield from walk(child, depth + 1, limit)


def role(obj):
    try:
        return obj.get_role_name()
    except Exception:
        return ""


def name(obj):
    try:
        return obj.get_name() or ""
    except Exception:
        return ""


def showing(obj):
    try:
        return obj.get_state_set().contains(Atspi.StateType.SHOWING)
    except Exception:
        return False


def wait_until(what, fn, timeout=60.0):
    end = time.time() + timeout
    while True:
        value = fn()
        if value:
            return value
        if time.time() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


def display_state():
    """Whether the display in DISPLAY takes a connection now, and why not."""
    import ctypes
    auth = os.environ.get("XAUTHORITY", "")
    xcb = ctypes.CDLL("libxcb.so.1")
    xcb.xcb_connect.restype = ctypes.c_void_p
    conn = ctypes.c_void_p(xcb.xcb_connect(None, None))
    error = xcb.xcb_connection_has_error(conn)
    xcb.xcb_disconnect(conn)
    return "display %s: %s; XAUTHORITY %s %s" % (
        os.environ.get("DISPLAY"), "connects" if error == 0 else "connection error %d" % error,
        auth, "exists" if auth and os.path.exists(auth) else "missing")


class Program:
    """The program under test, started with env and found on the bus by its
    application name."""

    def __init__(self, argv, app_name, env=None):
        self.app_name = app_name
        self.proc = subprocess.Popen(argv, env=env)
        self.app = wait_until("application " + app_name, self._found_or_ended)

    def _found_or_ended(self):
        if self.proc.poll() is not None:
            raise Failure("the program ended with %s before it showed a window (%s)"
                          % (self.proc.returncode, display_state()))
        return self._find_app()

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in _children(desktop):
            if name(app) == self.app_name:
                return app
        return None

    def close(self, timeout=10):
        if self.proc.poll() is None:
            self.proc.terminate()
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return self.proc.wait()

    def window(self, title, timeout=60.0):
        """The shown top-level window whose name is title."""
        def look():
            for win in _children(self.app):
                if name(win) == title and showing(win):
                    return win
            return None
        return wait_until("window " + repr(title), look, timeout)

    def gone(self, title, timeout=60.0):
        def look():
            return not any(name(w) == title and showing(w) for w in _children(self.app))
        wait_until("window " + repr(title) + " to close", look, timeout)


def find(root, role_name, text=None, timeout=30.0, startswith=False):
    """The first control below root with the role and (optionally) name."""
    def look():
        for obj in walk(root):
            if role(obj) != role_name:
                continue
            n = name(obj)
            if text is None or n == text or (startswith and n.startswith(text)):
                return obj
        return None
    return wait_until(role_name + " " + repr(text), look, timeout)


def press(obj):
    """The control's first action (press, toggle, click)."""
    action = obj.get_action_iface()
    if action is None:
        raise Failure("no action on " + role(obj) + " " + repr(name(obj)))
    action.do_action(0)


def rows(view):
    """The names of the cells of the first column of a list or tree view,
    in the order the view shows them."""
    out = []
    for obj in walk(view, limit=3):
        if obj is not view and role(obj) in ("table cell", "tree item", "list item"):
            out.append(obj)
    return out


def select(view, text):
    """Selects the row whose first cell reads text, as a click would."""
    for cell in rows(view):
        if name(cell) != text:
            continue
        table = view.get_table_iface()
        if table is not None:
            table.add_row_selection(table.get_row_at_index(cell.get_index_in_parent()))
        else:
            view.get_selection_iface().select_child(cell.get_index_in_parent())
        return cell
    raise Failure("no row " + repr(text) + " in " + repr([name(c) for c in rows(view)]))


def unnamed_controls(window):
    """Controls a screen reader could not name."""
    wanted = {"push button", "check box", "radio button", "combo box", "text", "tree table",
              "table", "list", "tree", "spin button", "toggle button"}
    missing = []
    for obj in walk(window):
        if role(obj) in wanted and not name(obj) and showing(obj):
            # A combo box's own popup list is named through its box.
            parent = obj.get_parent()
            if role(obj) == "list" and parent is not None and role(parent) == "combo box":
                continue
            missing.append(role(obj))
    return missing
