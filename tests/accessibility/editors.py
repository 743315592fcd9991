"""A backup type made through the windows by an outside driver on the
accessibility bus alone: New Type, the drive editor, the folder editor and
the advanced window; then the type is checked on disk and by a backup.

Argument: the TarnwickBackup program."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_driver import (Failure, Program, find, name, press, role, rows,  # noqa: E402
                          select, showing, unnamed_controls, wait_until, walk)

PROGRAM = sys.argv[1]
APP = "Tarnwick Backup"


def answer(prog, title, button, text=None):
    """Answers the box titled title: types text into its field, if given,
    then presses button."""
    box = prog.window(title)
    if text is not None:
        field = find(box, "text")
        field.get_editable_text_iface().set_text_contents(text)
    press(find(box, "push button", button))
    # The next box may have the same title: this one must be gone first.
    wait_until("box " + repr(title) + " to close", lambda: not showing(box))
    return box


def check_named(window, what):
    missing = unnamed_controls(window)
    if missing:
        raise Failure(what + ": controls without a name: " + ", ".join(missing))


def dismiss_splash(prog):
    """Presses Continue on the start-up window and returns the main window.
    The start-up window always shows, modal, and closes by itself after six
    seconds: the main window is usable only once it is gone."""
    seen = [False]
    start = time.time()

    def ready():
        button = next((b for w in walk(prog.app, limit=1) if role(w) == "dialog" and showing(w)
                       for b in walk(w) if role(b) == "push button" and name(b) == "Continue"),
                      None)
        if button is not None:
            seen[0] = True
            try:
                press(button)
            except Exception:
                pass  # closed by itself meanwhile
            return None
        if not seen[0] and time.time() - start < 10:
            return None
        return next((w for w in walk(prog.app, limit=1) if role(w) in ("filler", "frame")
                     and any(name(b) == "New Type..." for b in walk(w, limit=2))), None)
    return wait_until("main window", ready, 60)


def make_drives(prefix, files):
    """A fixed drive C: holding files (name: contents) and a removable E:
    with an empty folder bk, in a new temporary folder; returns the host
    folders of C: and E: and the program's environment."""
    base = os.environ.get("TARNWICK_TEST_TMP") or None
    if base:
        os.makedirs(base, exist_ok=True)
    work = tempfile.mkdtemp(prefix=prefix, dir=base)
    c, e = os.path.join(work, "c"), os.path.join(work, "e")
    for rel, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(c, rel)), exist_ok=True)
        with open(os.path.join(c, rel), "w") as f:
            f.write(data)
    os.makedirs(os.path.join(e, "bk"))
    drives = os.path.join(work, "drives.ini")
    with open(drives, "w") as f:
        f.write(f"[C]\nPath={c}\nType=2\nVolume=SYSTEM\n[E]\nPath={e}\nType=1\nVolume=STICK\n")
    env = dict(os.environ, TARNWICK_DRIVES=drives, XDG_CONFIG_HOME=os.path.join(work, "cfg"),
               XDG_STATE_HOME=os.path.join(work, "state"))
    return c, e, env


def run_unattended(env, backup_type):
    """An unattended backup of the type to E:\\bk\\, without a display."""
    headless = {k: v for k, v in env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    return subprocess.run([PROGRAM, "/ub", backup_type, "E:\\bk\\"], env=headless,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)


def main():
    c, e, env = make_drives("a11y-", {
        "Docs/a.txt": "a", "Docs/Letters/b.doc": "b", "Docs/Letters/c.tmp": "c",
        "Music/song.mp3": "m", "Temp/x.tmp": "x"})
    prog = Program([PROGRAM], APP, env)
    try:
        main_window = dismiss_splash(prog)
        check_named(main_window, "main window")

        press(find(main_window, "push button", "New Type..."))
        answer(prog, "Enter Name", "OK", text="Reader")
        answer(prog, "Confirm", "Yes")

        drives_win = prog.window("Select Drive To Give Instructions For")
        check_named(drives_win, "drive editor")
        drive_list = find(drives_win, "tree", "Drives")
        c_row = next(name(r) for r in rows(drive_list) if name(r).startswith("C:"))
        select(drive_list, c_row)
        press(find(drives_win, "push button", "Instructions For Selected Drive..."))

        folders_win = prog.window('Select Folders and Files For "Reader" On ' + c_row)
        check_named(folders_win, "folder editor")
        tree = find(folders_win, "tree", "Folders")
        wait_until("the tree", lambda: any(name(r) == "Docs" for r in rows(tree)))
        shown = [name(r) for r in rows(tree)]
        if shown[:1] != ["\\"] or "Music" not in shown:
            raise Failure("folder tree shows " + repr(shown))
        select(tree, "Docs")
        press(find(folders_win, "push button", "Backup everything in this folder."))
        press(find(folders_win, "push button", "Show/Hide Subfolders"))
        wait_until("Letters", lambda: any(name(r) == "Letters" for r in rows(tree)))
        select(tree, "Letters")
        press(find(folders_win, "push button", "Do NOT backup anything in this folder."))
        press(find(folders_win, "push button", "Advanced..."))

        advanced = prog.window("Advanced Instr. For " + "C:\\Docs\\Letters")
        check_named(advanced, "advanced window")
        press(find(advanced, "push button", "Add Name..."))  # the list of files to back up
        answer(prog, "Wildcard To Add", "OK", text="*.doc")
        press(find(advanced, "push button", "Close"))
        answer(prog, "Confirm", "Yes")
        prog.gone("Advanced Instr. For " + "C:\\Docs\\Letters")

        press(find(folders_win, "push button", "Close"))
        answer(prog, APP, "Yes")  # save the changed instructions
        answer(prog, APP, "No")  # no space calculation
        press(find(drives_win, "push button", "Close"))
        prog.gone("Select Drive To Give Instructions For")
    finally:
        prog.close()

    # What the windows saved, as a backup of the type takes it.
    result = run_unattended(env, "Reader")
    got = sorted(os.path.relpath(os.path.join(d, f), os.path.join(e, "bk"))
                 for d, _, fs in os.walk(os.path.join(e, "bk")) for f in fs)
    want = ["C$/Docs/Letters/b.doc", "C$/Docs/Reader.BDF", "C$/Docs/a.txt"]
    if got != want:
        raise Failure("the backup holds %r, not %r (stderr: %s)" % (got, want, result.stderr))
    print("ok: type made through the accessibility bus backs up", want)


if __name__ == "__main__":
    main()
