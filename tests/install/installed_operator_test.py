#!/usr/bin/python3
"""The installed Operator as a clerk runs it: started from the PATH by an ordinary user, on a
desktop of its own (Xvfb, openbox, a private D-Bus session; the desktop test's machinery),
its settings file in the user's settings home. Run by deb_install_test.sh as that user.

Usage: installed_operator_test.py --server URL   (the bundled queue-server, already running)
"""

import argparse
import os
import re
import shutil
import signal
import stat
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop_test as desktop  # noqa: E402  (copied beside this file)

HOME = os.path.expanduser("~")
SETTINGS = os.path.join(HOME, ".config", "queue-operator", "Operator.ini")


def start(desk, environment=None):
    return desktop.Program(desk, HOME, 1, command=["Operator"], environment=environment)


def read(path):
    with open(path, newline="") as f:
        return f.read()


def answer_shown(program, previous=None):
    """The answer in the big list, as a screen reader reads it, once it is a ticket."""
    def probe():
        app = desktop._application(program)
        node = desktop._find(app, lambda n: n.getRoleName() == "combo box")
        name = node.name if node is not None else ""
        return name if re.fullmatch(r"A\d{3}", name or "") and name != previous else None
    return desktop.wait_for("a ticket in the big list", probe)


class Scenarios:
    def __init__(self, desk, server):
        self.desk = desk
        self.server = server

    # A fresh account has no ~/.config: the first close makes the folders (private to the
    # user) and writes the six entries there; nothing lands in the working folder.
    def test_1_first_close_writes_the_users_file(self):
        desktop.check(not os.path.exists(os.path.join(HOME, ".config")), "~/.config exists")
        before = set(os.listdir(HOME))
        program = start(self.desk)
        try:
            program.close()
        finally:
            program.kill()
        values = desktop.form_values(read(SETTINGS))
        desktop.check(values == {"Top": 0, "left": 0, "Width": 420, "Height": 112},
                      "first close wrote %s" % values)
        text = read(SETTINGS)
        desktop.check("Host=http://localhost\r\n" in text and "Window=-1\r\n" in text,
                      "server entries: %r" % text)
        for folder in (os.path.dirname(SETTINGS), os.path.dirname(os.path.dirname(SETTINGS))):
            mode = stat.S_IMODE(os.stat(folder).st_mode)
            desktop.check(mode == 0o700, "%s has mode %o" % (folder, mode))
        desktop.check(set(os.listdir(HOME)) == before | {".config"},
                      "new in the home folder: %s" % (set(os.listdir(HOME)) - before))
        print("    wrote %s" % SETTINGS)

    # The IT person pre-sets the desk by copying a file there: the program talks to that
    # server for that window, Next shows the server's tickets, and the close keeps the values.
    def test_2_preset_desk_shows_the_servers_answer(self):
        os.makedirs(os.path.dirname(SETTINGS), exist_ok=True)
        with open(SETTINGS, "w", newline="") as f:
            f.write(desktop.settings_text(100, 200, 420, 112, self.server, 1))
        program = start(self.desk)
        try:
            frame = program.main.frame()
            desktop.check(frame == (200, 100, 420, 112), "frame %s, stored 200,100 420x112"
                          % (frame,))
            program.click_button("Следующий")
            first = answer_shown(program)
            program.click_button("Следующий")
            second = answer_shown(program, first)
            desktop.check(int(second[1:]) == int(first[1:]) + 1,
                          "the second press showed %s after %s" % (second, first))
            print("    Next showed %s, then %s" % (first, second))
            program.close()
        finally:
            program.kill()
        desktop.check(read(SETTINGS) == desktop.settings_text(100, 200, 420, 112, self.server, 1),
                      "after the close the file holds %r" % read(SETTINGS))

    # XDG_CONFIG_HOME names another settings home: the file goes there.
    def test_3_config_home_from_the_environment(self):
        config_home = os.path.join(HOME, "desk-settings")
        program = start(self.desk, {"XDG_CONFIG_HOME": config_home})
        try:
            program.close()
        finally:
            program.kill()
        path = os.path.join(config_home, "queue-operator", "Operator.ini")
        desktop.check(desktop.form_values(read(path))["Width"] == 420, "nothing in %s" % path)
        shutil.rmtree(config_home)


    # An IT person's machine-wide file (in the first folder of XDG_CONFIG_DIRS that holds one)
    # presets a user who has no file of their own: Next asks its server, and the close writes
    # the user's own file with its values, leaving the machine-wide one as it was.
    def test_4_machine_wide_preset(self):
        config_home = os.path.join(HOME, "fresh-settings")
        machine = os.path.join(HOME, "machine")
        preset = desktop.settings_text(100, 200, 420, 112, self.server, 2)
        os.makedirs(os.path.join(machine, "b", "queue-operator"))
        with open(os.path.join(machine, "b", "queue-operator", "Operator.ini"), "w",
                  newline="") as f:
            f.write(preset)
        environment = {"XDG_CONFIG_HOME": config_home,
                       "XDG_CONFIG_DIRS": os.path.join(machine, "a") + ":" +
                       os.path.join(machine, "b")}
        program = start(self.desk, environment)
        try:
            program.click_button("Следующий")
            print("    Next, preset by %s/b, showed %s" % (machine, answer_shown(program)))
            program.close()
        finally:
            program.kill()
        own = read(os.path.join(config_home, "queue-operator", "Operator.ini"))
        desktop.check("Host=%s\r\n" % self.server in own and "Window=2\r\n" in own,
                      "the user's own file holds %r" % own)
        desktop.check(read(os.path.join(machine, "b", "queue-operator", "Operator.ini")) == preset,
                      "the machine-wide file changed")
        shutil.rmtree(config_home)
        shutil.rmtree(machine)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    args = parser.parse_args()
    desk = desktop.Desktop()
    passed, failed = 0, 0
    try:
        desk.start()
        scenarios = Scenarios(desk, args.server)
        passed, failed = desktop.run_scenarios(scenarios)
    finally:
        desk.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
