"""A folder restored by an outside driver on the accessibility bus alone:
Restore From Backup, the drive window and the folder window, each checked
for controls without a name.

Argument: the TarnwickBackup program."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_driver import Failure, Program, find, press, select  # noqa: E402
from editors import (APP, answer, check_named, dismiss_splash, make_drives,  # noqa: E402
                     run_unattended)

PROGRAM = sys.argv[1]


def main():
    c, _, env = make_drives("a11y-restore-", {
        "Docs/a.txt": "a", "Docs/Sub/b.txt": "b", "Other/c.txt": "c",
        "Daily.BDF": "IncludeFamily\r\n"})
    cfg = os.path.join(env["XDG_CONFIG_HOME"], "TarnwickBackup")
    os.makedirs(cfg)
    with open(os.path.join(cfg, "settings.ini"), "w") as f:
        f.write("[Destinations]\nDest0=E:\\bk\\\n[General]\nCurrentDestination=E:\\bk\\\n")
    run_unattended(env, "Daily").check_returncode()
    # Lost since the backup.
    os.remove(os.path.join(c, "Docs/Sub/b.txt"))
    os.remove(os.path.join(c, "Docs/a.txt"))

    prog = Program([PROGRAM], APP, env)
    try:
        main_window = dismiss_splash(prog)
        press(find(main_window, "push button", "Restore From Backup..."))
        answer(prog, "Restore Now", "Yes")
        drives_win = prog.window("Select Drive Originally Backed Up")
        check_named(drives_win, "restore drive window")
        select(find(drives_win, "tree"), "C:")
        press(find(drives_win, "push button", "Restore Part/All Of Selected Drive..."))
        folders_win = prog.window('Select Folder To Restore From Backup Of "C:"')
        check_named(folders_win, "restore folder window")
        tree = find(folders_win, "tree")
        select(tree, "Docs")
        press(find(folders_win, "push button", "Restore..."))
        answer(prog, "Confirm", "Yes")
        answer(prog, "Destination", "OK")
        answer(prog, APP, "OK")  # "Restore complete!"
        prog.gone('Select Folder To Restore From Backup Of "C:"')
        press(find(drives_win, "push button", "Close"))
        prog.gone("Select Drive Originally Backed Up")
    finally:
        prog.close()
    for rel, data in (("Docs/a.txt", "a"), ("Docs/Sub/b.txt", "b")):
        path = os.path.join(c, rel)
        if not os.path.exists(path) or open(path).read() != data:
            raise Failure(rel + " was not restored")
    print("ok: a folder restored through the accessibility bus")


if __name__ == "__main__":
    main()
