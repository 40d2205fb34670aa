#!/usr/bin/python3
"""The Windows program, Operator.exe, under Wine on a real X desktop, driven as a clerk does.

Starts its own Xvfb (a free display) and openbox (desktop_test.py's Desktop), a Wine prefix of
its own at the density asked for (the prefix's LogPixels), the reference queue server on the
Linux side, and ui_probe.exe under Wine beside the program: the probe finds the program's
windows by caption, reads their texts (WM_GETTEXT) and rectangles and closes them (WM_CLOSE, as
the close button does); clicks go through X with xdotool at the places the windows report.
The settings file is read from disk. Everything started here is stopped at the end; every
wait is bounded.

The theme's cases read the screen's pixels from a screenshot, and take the theme out of a copy
of the program with resource_edit.exe.

Usage: operator_ui_test.py --operator EXE --probe EXE --resource-edit EXE --queue-server PATH
                           --make-theme PATH --prefix DIR [--density 96|144|192]
                           [--screenshots DIR] [--only NAME]
"""

import argparse
import contextlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
from desktop_test import (Desktop, check, form_values, free_port, run,  # noqa: E402
                          run_scenarios, settings_text, wait_for)

START_TIMEOUT = 30.0   # a start under Wine, until the operator window is shown
STEP_TIMEOUT = 10.0    # any other step
PROBE_WAIT_MS = 20000  # the probe's own wait for a window (a first start under load is slow)

OPERATOR_TITLE = "Оператор"
SETTINGS_TITLE = "Настройка"
ABOUT_TITLE = "О программе"
BOX_TITLE = "Operator"
BOX_CLASS = "#32770"
BOX_TEXT_ID = 0xFFFF  # the message box's text
THEME_NOT_FOUND_TITLE = "Error"
# The operator window's own background, which the theme's replaces.
CREAM = (255, 251, 240)
PALETTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources",
                       "theme", "palette.txt")


def theme_window_colour():
    """The theme's window background, from the theme's own palette."""
    with open(PALETTE, encoding="utf-8") as f:
        for line in f:
            key, _, value = line.partition("=")
            if key.strip() == "Window":
                value = value.strip()
                return tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    raise Failed("no Window colour in " + PALETTE)


class Rect:
    def __init__(self, numbers):
        self.left, self.top, self.right, self.bottom = numbers[0:4]
        self.client = numbers[4:8]

    @property
    def size(self):
        return self.right - self.left, self.bottom - self.top

    @property
    def client_size(self):
        return self.client[2] - self.client[0], self.client[3] - self.client[1]

    def centre(self):
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2


class Wine:
    """A Wine prefix of this test's own at one density, and its Wine server for the run."""

    def __init__(self, desktop, prefix, density):
        self.env = dict(desktop.env)
        self.env["WINEPREFIX"] = prefix
        self.env["WINEDEBUG"] = "-all"
        self.density = density
        # The Wine server outlives these commands and keeps whatever output it was given: none.
        quiet = {"env": self.env, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            os.makedirs(prefix, exist_ok=True)
            subprocess.run(["wineboot", "-i"], timeout=180, **quiet)
        subprocess.run(["wineserver", "-p"], timeout=STEP_TIMEOUT, **quiet)
        # Wine takes the density from the prefix's registry; both places it has looked at.
        for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
            subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                            str(density), "/f"], timeout=60, **quiet)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)


class Probe:
    """ui_probe.exe under Wine: one command, one answer line, each within a bound."""

    def __init__(self, wine, probe):
        self.process = subprocess.Popen(["wine", probe], env=wine.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""

    def ask(self, line, timeout=STEP_TIMEOUT + PROBE_WAIT_MS / 1000):
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            check(left > 0, "the probe did not answer " + line)
            ready, _, _ = select.select([self.process.stdout], [], [], left)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                check(chunk, "the probe ended")
                self.buffer += chunk
        answer, self.buffer = self.buffer.split(b"\n", 1)
        return answer.decode().strip()

    def find(self, title, window_class="-", wait_ms=PROBE_WAIT_MS):
        answer = self.ask("find %s %d %s" % (window_class, wait_ms, json.dumps(title)),
                          STEP_TIMEOUT + wait_ms / 1000)
        check(answer.startswith("ok "), "no window " + title)
        words = answer.split()
        return int(words[1]), Rect([int(v) for v in words[2:10]])

    def child(self, parent, window_class, index):
        answer = self.ask("child %d %s %d" % (parent, window_class, index))
        check(answer.startswith("ok "), "no %s %d in %d" % (window_class, index, parent))
        words = answer.split()
        return int(words[1]), Rect([int(v) for v in words[2:10]])

    def item(self, parent, item_id):
        answer = self.ask("item %d %d" % (parent, item_id))
        check(answer.startswith("ok "), "no item %d in %d" % (item_id, parent))
        return int(answer.split()[1])

    def rect(self, window):
        answer = self.ask("rect %d" % window)
        check(answer.startswith("ok "), "no window %d" % window)
        return Rect([int(v) for v in answer.split()[1:9]])

    def settled_rect(self, window):
        """The rectangle once the window stands still: the window manager may still move a
        window that has just been shown, and a click at its old place would miss."""
        seen = []

        def settled():
            seen.append(self.rect(window).__dict__)
            time.sleep(0.1)
            return len(seen) >= 3 and seen[-1] == seen[-2] == seen[-3]
        wait_for("the window %d to stand still" % window, settled)
        return self.rect(window)

    def button(self, window, index):
        """A button of a window that has just been shown, where it stands once it stands still."""
        self.settled_rect(window)
        return self.child(window, "Button", index)

    def text(self, window):
        answer = self.ask("text %d" % window)
        check(answer.startswith("ok "), "no text of %d" % window)
        return json.loads(answer[3:])

    def visible(self, window):
        return self.ask("visible %d" % window) == "ok"

    def gone(self, window):
        return self.ask("gone %d %d" % (window, PROBE_WAIT_MS)) == "ok"

    def close(self, window):
        check(self.ask("close %d" % window) == "ok", "WM_CLOSE not posted")

    def state(self, window):
        return self.ask("state %d" % window).split()[-1]

    def focus(self, window):
        answer = self.ask("focus %d" % window)
        check(answer.startswith("ok "), "no focus in the thread of %d" % window)
        return int(answer.split()[1])

    def dropped(self, window):
        return self.ask("dropped %d" % window) == "ok"

    def stop(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(timeout=STEP_TIMEOUT)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()


class QueueServer:
    """The reference queue server on loopback; what it answered is read from its log."""

    def __init__(self, path, delay_ms=0):
        self.process = subprocess.Popen([path, "--port", "0", "--delay", str(delay_ms)],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.lines = []
        self.pending = b""
        first = self._read_lines(STEP_TIMEOUT)
        check(first and first[0].startswith("listening on "), "queue-server said %s" % first)
        self.url = first[0].split()[-1]

    def _read_lines(self, timeout):
        """The whole lines the server has written so far, waiting up to `timeout` for one."""
        deadline = time.monotonic() + timeout
        while True:
            ready, _, _ = select.select([self.process.stdout], [], [],
                                        max(0.0, deadline - time.monotonic()))
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                self.pending += chunk
                if not chunk or b"\n" in self.pending:
                    *lines, self.pending = self.pending.split(b"\n")
                    return [line.decode().strip() for line in lines]
            elif time.monotonic() >= deadline:
                return []

    def calls(self):
        """The calls answered so far: "window N: TICKET" lines."""
        while True:
            lines = self._read_lines(0)
            if not lines:
                return self.lines
            self.lines.extend(lines)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=STEP_TIMEOUT)


class Program:
    """One run of Operator.exe in its folder, with its settings file beside it: started by Wine,
    or by the probe with a show command in its start-up information, as a shortcut starts it."""

    def __init__(self, scenarios, show_command=None, shows_main_window=True):
        self.scenarios = scenarios
        self.probe = scenarios.probe
        self.process = None
        self.launched = None
        if show_command is None:
            self.process = subprocess.Popen(["wine", scenarios.exe], cwd=scenarios.folder,
                                            env=scenarios.wine.env, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
        else:
            answer = self.probe.ask("launch %d %s" % (show_command, scenarios.windows_exe))
            check(answer.startswith("ok "), "not launched: " + answer)
            self.launched = int(answer.split()[1])
        if shows_main_window:
            self.find_main_window()

    def find_main_window(self):
        self.main, self.main_rect = self.probe.find(OPERATOR_TITLE, "TMainForm",
                                                    int(START_TIMEOUT * 1000))

    def control(self, window_class, index, parent=None):
        return self.probe.child(self.main if parent is None else parent, window_class, index)

    def click(self, rect):
        x, y = rect.centre()
        run(["xdotool", "mousemove", str(x), str(y), "click", "1"],
            self.scenarios.desktop.env, check_status=True)

    def keys(self, *names):
        run(["xdotool", "key", "--delay", "50"] + list(names), self.scenarios.desktop.env,
            check_status=True)

    def exit_code(self):
        """The exit code once the program has ended, else None."""
        if self.process is not None:
            return self.process.poll()
        answer = self.probe.ask("exit-code %d 0" % self.launched)
        return int(answer.split()[1]) if answer.startswith("ok ") else None

    def ended(self):
        return self.exit_code() is not None

    def close(self):
        self.probe.close(self.main)
        wait_for("the program's end", self.ended, STEP_TIMEOUT)
        check(self.exit_code() == 0, "exit code %s" % self.exit_code())

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=STEP_TIMEOUT)
        if self.launched is not None and not self.ended():
            self.probe.ask("kill %d" % self.launched)


class Scenarios:
    def __init__(self, desktop, wine, probe, args):
        self.desktop = desktop
        self.wine = wine
        self.probe = probe
        self.args = args
        self.density = args.density
        self.folder = tempfile.mkdtemp(prefix="operator-ui-test-")
        self.exe = os.path.join(self.folder, "Operator.exe")
        shutil.copy2(args.operator, self.exe)
        self.ini = os.path.join(self.folder, "Operator.ini")
        # The program sees the folder through Wine's drive Z:, the root of the Linux files.
        self.windows_ini = "Z:" + self.ini.replace("/", "\\")
        self.windows_exe = "Z:" + self.exe.replace("/", "\\")
        self.programs = []
        self.launched = []  # processes the probe started without a Program

    def after_each(self):
        """Ends what a scenario left running and puts the folder back as it was."""
        for program in self.programs:
            program.kill()
        self.programs.clear()
        for number in self.launched:
            if not self.probe.ask("exit-code %d 0" % number).startswith("ok"):
                self.probe.ask("kill %d" % number)
        self.launched.clear()
        shutil.copy2(self.args.operator, self.exe)  # a scenario may have changed its resources
        if os.path.exists(self.ini):
            os.chmod(self.ini, 0o644)
            os.remove(self.ini)

    def cleanup(self):
        for program in self.programs:
            program.kill()
        if os.path.exists(self.ini):
            os.chmod(self.ini, 0o644)
        shutil.rmtree(self.folder, ignore_errors=True)

    def scale(self, design):
        return (design * self.density + 48) // 96

    def start(self, show_command=None, shows_main_window=True):
        program = Program(self, show_command, shows_main_window)
        self.programs.append(program)
        return program

    def pixel(self, x, y):
        """The colour on the screen at (x, y), as (red, green, blue)."""
        out = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y),
                              "-depth", "8", "txt:-"], env=self.desktop.env, capture_output=True,
                             text=True, timeout=STEP_TIMEOUT, check=True).stdout
        colour = out.split("#", 2)[-1][:6]
        return tuple(int(colour[i:i + 2], 16) for i in (0, 2, 4))

    def check_background(self, what, x, y, expected=None):
        # A window just shown may not be drawn yet under Wine: its pixels are awaited.
        expected = expected or theme_window_colour()
        seen = [None]

        def drawn():
            seen[0] = self.pixel(x, y)
            return seen[0] == expected

        try:
            wait_for(what + " drawn", drawn, STEP_TIMEOUT)
        except Failed:
            raise Failed("%s's background at (%d, %d) is %s, not %s"
                         % (what, x, y, seen[0], expected))

    def remove_resource(self, resource_type, name):
        """Takes a resource out of the program's copy (put back after the scenario)."""
        status = subprocess.run(["wine", self.args.resource_edit, "remove", self.windows_exe,
                                 resource_type, name], env=self.wine.env, timeout=60,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        check(status == 0, "resource_edit remove: status %d" % status)

    def launch(self):
        """Starts the program through the probe without waiting for its window: its number."""
        answer = self.probe.ask("launch 1 %s" % self.windows_exe)
        check(answer.startswith("ok "), "not launched: " + answer)
        self.launched.append(int(answer.split()[1]))
        return self.launched[-1]

    def write_settings(self, text):
        if os.path.exists(self.ini):
            os.chmod(self.ini, 0o644)
        with open(self.ini, "w", newline="") as f:
            f.write(text)

    def read_settings(self):
        with open(self.ini, newline="") as f:
            return f.read()

    def shot(self, name):
        if self.args.screenshots:
            os.makedirs(self.args.screenshots, exist_ok=True)
            path = os.path.join(self.args.screenshots, "dpi%d-%s.png" % (self.density, name))
            run(["import", "-window", "root", path], self.desktop.env, check_status=True)

    def error_box(self):
        """The error box now open: its handle and its text."""
        box, _ = self.probe.find(BOX_TITLE, BOX_CLASS)
        return box, self.probe.text(self.probe.item(box, BOX_TEXT_ID))

    def dismiss(self, program, box):
        _, ok = self.probe.button(box, 0)
        program.click(ok)
        check(self.probe.gone(box), "the error box stays open")

    def press_next(self, program):
        _, next_button = program.control("Button", 4)
        program.click(next_button)

    def list_text(self, program):
        return self.probe.text(program.control("ComboBox", 0)[0])

    # A first start without a settings file opens at the origin with the default size, and
    # the first close writes the six defaults in their order.
    def test_fresh_start_writes_the_defaults(self):
        check(not os.path.exists(self.ini), "a settings file before the first start")
        program = self.start()
        check(program.main_rect.size == (420, 112), "outer size %s" % (program.main_rect.size,))
        self.shot("operator-window")
        program.close()
        check(self.read_settings() == settings_text(0, 0, 420, 112),
              "defaults written: %r" % self.read_settings())

    # The stored number and address make the request; the answer shows in the list and as the
    # log's second line; the caption after a start is the role alone.
    def test_next_uses_the_stored_number_and_address(self):
        server = QueueServer(self.args.queue_server)
        try:
            self.write_settings(settings_text(40, 60, 420, 112, server.url, 2))
            program = self.start()
            check(self.probe.text(program.main) == OPERATOR_TITLE, "caption after a start")
            queue_list = program.control("ComboBox", 0)[0]
            wait_for("the focus on the list", lambda: self.probe.focus(program.main) == queue_list)
            self.press_next(program)
            wait_for("the answer in the list", lambda: self.list_text(program) == "A001")
            # The Next button never takes the focus: it stays where it was.
            check(self.probe.focus(program.main) == queue_list, "the focus moved")
            log = self.probe.text(program.control("Edit", 0)[0])
            check(log == "mmo1\r\nA001", "the log reads %r" % log)
            check(server.calls() == ["window 3: A001"], "calls %s" % server.calls())
            self.shot("operator-answer")
            program.close()
        finally:
            server.stop()

    # A refused connection shows its message in a box captioned with the application title,
    # and the program goes on.
    def test_refused_connection_shows_the_error_box(self):
        self.write_settings(settings_text(40, 60, 420, 112, "http://127.0.0.1:%d" % free_port(), 0))
        program = self.start()
        self.press_next(program)
        box, text = self.error_box()
        check(text == "Socket Error # 10061\r\nConnection refused.", "box text %r" % text)
        self.shot("error-box")
        self.dismiss(program, box)
        check(self.probe.visible(program.main), "the operator window went away")
        program.close()

    # A settings file that may not be written keeps the window open with the message; once it
    # may be written, the next close succeeds.
    def test_unwritable_settings_file_keeps_the_window_open(self):
        self.write_settings(settings_text(40, 60, 420, 112))
        os.chmod(self.ini, 0o444)
        program = self.start()
        self.probe.close(program.main)
        box, text = self.error_box()
        check(text == "Unable to write to %s." % self.windows_ini, "box text %r" % text)
        self.dismiss(program, box)
        check(self.probe.visible(program.main) and not program.ended(),
              "the window closed although the settings were not written")
        os.chmod(self.ini, 0o644)
        program.close()

    # Save in the settings window writes the number into the operator window's caption; the
    # window and its button have their design sizes at the density.
    def test_save_sets_the_caption(self):
        # Stored at the density's size, so the small buttons are within the client area.
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112),
                                          "http://localhost", 2))
        program = self.start()
        _, settings_button = program.control("Button", 1)
        program.click(settings_button)
        setup, setup_rect = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        check(setup_rect.client_size == (self.scale(343), self.scale(129)),
              "settings client area %s" % (setup_rect.client_size,))
        save, save_rect = self.probe.child(setup, "Button", 0)
        check(self.probe.text(save) == "Сохранить", "first button %r" % self.probe.text(save))
        at = (save_rect.left - setup_rect.client[0], save_rect.top - setup_rect.client[1])
        check(at == (self.scale(112), self.scale(86)) and
              save_rect.size == (self.scale(105), self.scale(35)),
              "Сохранить at %s, %s" % (at, save_rect.size))
        self.shot("settings-window")
        program.click(save_rect)
        wait_for("the caption with the number",
                 lambda: self.probe.text(program.main) == OPERATOR_TITLE + " - 3")
        check(self.probe.visible(setup), "Save closed the settings window")
        # "Закрыть" hides the window; shown again, it stands where it was left.
        _, close_rect = self.probe.child(setup, "Button", 1)
        shown_at = self.probe.rect(setup).__dict__
        program.click(close_rect)
        check(self.probe.gone(setup), "the settings window stays")
        program.click(settings_button)
        setup_again, _ = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        check(setup_again == setup and self.probe.settled_rect(setup).__dict__ == shown_at,
              "shown again elsewhere: %s, not %s" % (self.probe.rect(setup).__dict__, shown_at))
        self.probe.close(setup)
        check(self.probe.gone(setup), "the settings window stays")
        _, about_button = program.control("Button", 3)
        program.click(about_button)
        about, _ = self.probe.find(ABOUT_TITLE, "TAboutForm")
        self.shot("about-window")
        self.probe.close(about)
        check(self.probe.gone(about), "the About window stays")
        program.close()

    # Three starts and closes leave the stored rectangle byte for byte as it was.
    def test_restarts_keep_the_stored_rectangle(self):
        stored = settings_text(100, 200, 500, 160)
        self.write_settings(stored)
        for start in range(3):
            program = self.start()
            program.close()
            check(self.read_settings() == stored,
                  "start %d stored %r" % (start + 1, self.read_settings()))

    # A stored size of 99999999 opens no window larger than the desktop and its frame.
    def test_huge_stored_size_stays_on_the_desktop(self):
        self.write_settings(settings_text(0, 0, 99999999, 99999999))
        program = self.start()
        width, height = self.probe.rect(program.main).size
        check(0 < width <= 1280 + 64 and 0 < height <= 800 + 64, "size %d x %d" % (width, height))
        program.close()
        stored = form_values(self.read_settings())
        check(stored["Width"] <= 1280 + 64 and stored["Height"] <= 800 + 64, "stored %s" % stored)

    # Clicks made while a slow answer holds the window call one visitor, not three: the next
    # click after the answer gets the second ticket.
    def test_clicks_during_a_slow_answer_call_one_visitor(self):
        server = QueueServer(self.args.queue_server, delay_ms=1500)
        try:
            self.write_settings(settings_text(40, 60, 420, 112, server.url, 0))
            program = self.start()
            _, next_button = program.control("Button", 4)
            x, y = next_button.centre()
            run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", "3",
                 "--delay", "300", "1"], self.desktop.env, check_status=True)
            wait_for("the first answer", lambda: self.list_text(program) == "A001")
            program.click(next_button)
            wait_for("the second answer", lambda: self.list_text(program) != "A001")
            check(self.list_text(program) == "A002", "second answer %r" % self.list_text(program))
            check(server.calls() == ["window 1: A001", "window 1: A002"],
                  "calls %s" % server.calls())
            program.close()
        finally:
            server.stop()

    # Every window, and the error box the system makes for the program, shows the theme's
    # background: not the operator window's cream, not the system's button face.
    def test_windows_and_error_box_wear_the_theme(self):
        # Tall enough that the background shows below the list, beside the log.
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(300),
                                          "http://127.0.0.1:%d" % free_port(), 0))
        program = self.start()
        client = self.probe.rect(program.main).client
        self.check_background("the operator window", client[0] + self.scale(250),
                              client[3] - self.scale(10))
        _, settings_button = program.control("Button", 1)
        program.click(settings_button)
        setup, setup_rect = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        self.check_background("the settings window", setup_rect.client[0] + 3,
                              setup_rect.client[1] + 3)
        _, save_rect = self.probe.child(setup, "Button", 0)
        face = self.pixel(save_rect.left + 4, (save_rect.top + save_rect.bottom) // 2)
        check(face != self.pixel(setup_rect.client[0] + 3, setup_rect.client[1] + 3),
              "the Save button has no face of its own")
        self.probe.close(setup)
        check(self.probe.gone(setup), "the settings window stays")
        _, about_button = program.control("Button", 3)
        program.click(about_button)
        about, about_rect = self.probe.find(ABOUT_TITLE, "TAboutForm")
        self.check_background("the About window", about_rect.client[2] - 3,
                              about_rect.client[3] - 3)
        # The logo's transparent corner shows the window's background too.
        _, logo = self.probe.child(about, "Static", 0)
        self.check_background("the logo's corner", logo.left + 1, logo.top + 1)
        self.probe.close(about)
        check(self.probe.gone(about), "the About window stays")
        self.press_next(program)
        box, _ = self.error_box()
        box_rect = self.probe.rect(box)
        self.check_background("the error box", box_rect.client[0] + 3, box_rect.client[1] + 3)
        self.dismiss(program, box)
        program.close()

    # The About window and the settings window's controls where the layout puts them, scaled
    # from 96 pixels per inch; the logo keeps its 150 by 150 pixels in the middle of its box.
    def test_windows_are_laid_out_at_the_density(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112)))
        program = self.start()
        _, settings_button = program.control("Button", 1)
        program.click(settings_button)
        setup, setup_rect = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        origin = setup_rect.client[0:2]

        def at(rect):
            return (rect.left - origin[0], rect.top - origin[1], rect.size[0], rect.size[1])

        _, close = self.probe.child(setup, "Button", 1)
        check(at(close) == (self.scale(230), self.scale(88), self.scale(335) - self.scale(230),
                            self.scale(121) - self.scale(88)), "Закрыть at %s" % (at(close),))
        _, edit = self.probe.child(setup, "Edit", 0)
        check(at(edit)[0] == self.scale(160) and at(edit)[2] == self.scale(335) - self.scale(160),
              "the address field at %s" % (at(edit),))
        _, select = self.probe.child(setup, "ComboBox", 0)
        check(at(select)[0:3] == (self.scale(160), self.scale(8),
                                  self.scale(335) - self.scale(160)),
              "the number list at %s" % (at(select),))
        # Its height comes from its font, not from the 27 pixels at 96 multiplied.
        check(abs(at(select)[3] - at(edit)[3]) <= 2, "list %s, field %s" % (at(select), at(edit)))
        self.probe.close(setup)
        check(self.probe.gone(setup), "the settings window stays")

        _, about_button = program.control("Button", 3)
        program.click(about_button)
        about, about_rect = self.probe.find(ABOUT_TITLE, "TAboutForm")
        check(about_rect.client_size == (self.scale(585), self.scale(161)),
              "About client area %s" % (about_rect.client_size,))
        origin = about_rect.client[0:2]
        _, logo = self.probe.child(about, "Static", 0)
        box = self.scale(155) - self.scale(5)
        check(at(logo) == (self.scale(5), self.scale(5), box, box), "the logo box at %s" % (at(logo),))
        _, title = self.probe.child(about, "Static", 1)
        check(at(title)[0:2] == (self.scale(161), self.scale(8)), "the title at %s" % (at(title),))
        middle_y = (logo.top + logo.bottom) // 2
        check(self.pixel((logo.left + logo.right) // 2, middle_y) != theme_window_colour(),
              "no logo in the middle of its box")
        if box > 150 + 8:
            # Beside the picture, inside the grown box: the background, not an enlarged logo.
            self.check_background("the logo box beside the picture",
                                  logo.left + (box - 150) // 2 - 3, middle_y)
        self.shot("about-layout")
        self.probe.close(about)
        check(self.probe.gone(about), "the About window stays")
        program.close()

    # The About window's two links are its tab stops: the first has the focus when the window
    # opens, Tab goes from one to the other, and the link with the focus wears a focus
    # rectangle (its top row, otherwise the background above the text, is dotted).
    def test_about_links_are_reached_by_tab(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112)))
        program = self.start()
        _, about_button = program.control("Button", 3)
        program.click(about_button)
        about, _ = self.probe.find(ABOUT_TITLE, "TAboutForm")
        site, site_rect = self.probe.child(about, "Static", 5)
        mail, mail_rect = self.probe.child(about, "Static", 7)
        wait_for("the focus on the site link", lambda: self.probe.focus(about) == site)
        program.keys("Tab")
        wait_for("the focus on the e-mail link", lambda: self.probe.focus(about) == mail)

        def top_row(rect):
            """The colours of the rectangle's top row of pixels, read in one screenshot."""
            out = subprocess.run(["import", "-window", "root", "-crop",
                                  "%dx1+%d+%d" % (rect.right - rect.left, rect.left, rect.top),
                                  "-depth", "8", "txt:-"], env=self.desktop.env,
                                 capture_output=True, text=True, timeout=STEP_TIMEOUT,
                                 check=True).stdout
            return {tuple(int(line.split("#")[1][i:i + 2], 16) for i in (0, 2, 4))
                    for line in out.splitlines() if "#" in line and not line.startswith("#")}

        background = theme_window_colour()
        wait_for("a focus rectangle on the e-mail link",
                 lambda: top_row(mail_rect) - {background})
        check(top_row(site_rect) == {background}, "the site link still shows a focus rectangle")
        self.shot("about-link-focused")
        program.keys("Tab")
        wait_for("the focus back on the site link", lambda: self.probe.focus(about) == site)
        self.probe.close(about)
        check(self.probe.gone(about), "the About window stays")
        program.close()

    # Without the theme resource the box "Style 'Iceberg Classico' not found" with its one
    # "&Close" button comes first; then the program runs in the system's look.
    def test_missing_theme_shows_the_not_found_box(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(300)))
        self.remove_resource("APPSTYLE", "ICEBERGCLASSICO")
        program = self.start(shows_main_window=False)
        box, _ = self.probe.find(THEME_NOT_FOUND_TITLE, BOX_CLASS)
        text = self.probe.text(self.probe.item(box, BOX_TEXT_ID))
        check(text == "Style 'Iceberg Classico' not found", "box text %r" % text)
        button, close = self.probe.child(box, "Button", 0)
        check(self.probe.text(button) == "&Close", "button %r" % self.probe.text(button))
        second = self.probe.ask("child %d Button 1" % box).split()
        check(second[0] != "ok" or not self.probe.visible(int(second[1])),
              "a second button in the box")
        self.shot("theme-not-found")
        program.click(close)
        check(self.probe.gone(box), "the box stays open")
        program.find_main_window()
        client = self.probe.rect(program.main).client
        self.check_background("the unthemed operator window", client[0] + self.scale(250),
                              client[3] - self.scale(10), CREAM)
        program.close()

    # At log-off the program is told that the session ends: it agrees, writes the settings as a
    # close would (nothing is lost), and ends with exit code 0.
    def test_session_end_writes_the_settings(self):
        self.write_settings(settings_text(40, 60, 420, 112, "http://queue.example", 4))
        program = self.start()
        os.remove(self.ini)
        answer = self.probe.ask("end-session %d" % program.main)
        check(answer == "ok 1", "the session end was answered %r" % answer)
        wait_for("the program's end", program.ended, STEP_TIMEOUT)
        check(program.exit_code() == 0, "exit code %s" % program.exit_code())
        check(self.read_settings() == settings_text(40, 60, 420, 112, "http://queue.example", 4),
              "settings at the session end: %r" % self.read_settings())

    # Started maximised (show command 3) the window is maximised although it has no maximise
    # button, and its close stores the restored rectangle; started minimised without activation
    # (7) it is minimised; any other show command (2, minimised with activation) is normal.
    def test_show_commands_and_the_restored_rectangle(self):
        stored = settings_text(100, 200, 500, 160)
        for show_command, state in ((3, "maximized"), (7, "minimized"), (2, "normal")):
            self.write_settings(stored)
            program = self.start(show_command)
            wait_for("the window %s" % state, lambda: self.probe.state(program.main) == state)
            program.close()
            check(self.read_settings() == stored,
                  "closed %s, stored %r" % (state, self.read_settings()))

    # The settings window's tab order begins with the address field, and Enter and Esc there
    # neither close it nor save; the operator window's list opens when a character is typed.
    def test_keyboard_in_the_settings_window_and_the_list(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112)))
        program = self.start()
        _, settings_button = program.control("Button", 1)
        program.click(settings_button)
        setup, _ = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        server_edit, _ = self.probe.child(setup, "Edit", 0)
        number_list, _ = self.probe.child(setup, "ComboBox", 0)
        wait_for("the focus in the address field", lambda: self.probe.focus(setup) == server_edit)
        program.keys("Tab")
        wait_for("the focus on the number list", lambda: self.probe.focus(setup) == number_list)
        program.keys("Return", "Escape")
        check(self.probe.visible(setup), "Enter or Esc closed the settings window")
        check(self.probe.text(program.main) == OPERATOR_TITLE, "Enter or Esc saved")
        self.probe.close(setup)
        check(self.probe.gone(setup), "the settings window stays")
        queue_list, list_rect = program.control("ComboBox", 0)
        program.click(list_rect)  # opens the list, and a second click closes it again
        program.click(list_rect)
        wait_for("the list closed", lambda: not self.probe.dropped(queue_list))
        program.keys("a")
        wait_for("the list opened by typing", lambda: self.probe.dropped(queue_list))
        program.keys("Tab")
        wait_for("the list closed by Tab", lambda: not self.probe.dropped(queue_list))
        program.close()


    # The Next button shows pressed while the mouse is held on it, and a release away from it
    # drops the press: no request, no box.
    def test_next_button_shows_pressed_while_held(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112),
                                          "http://127.0.0.1:%d" % free_port(), 0))
        program = self.start()
        _, next_button = program.control("Button", 4)
        # A point of the face above the caption.
        x, y = next_button.left + self.scale(6), next_button.top + self.scale(6)
        away = (next_button.left - self.scale(60), y)
        run(["xdotool", "mousemove", str(away[0]), str(away[1])], self.desktop.env,
            check_status=True)
        resting = self.pixel(x, y)
        run(["xdotool", "mousemove", str(x), str(y)], self.desktop.env, check_status=True)
        wait_for("the hot look", lambda: self.pixel(x, y) != resting)
        hot = self.pixel(x, y)
        run(["xdotool", "mousedown", "1"], self.desktop.env, check_status=True)
        try:
            wait_for("the pressed look", lambda: self.pixel(x, y) not in (resting, hot))
            self.shot("next-pressed")
        finally:
            run(["xdotool", "mousemove", str(away[0]), str(away[1]), "mouseup", "1"],
                self.desktop.env, check_status=True)
        wait_for("the resting look again", lambda: self.pixel(x, y) == resting)
        found = self.probe.ask("find %s 1000 %s" % (BOX_CLASS, json.dumps(BOX_TITLE)))
        check(not found.startswith("ok"), "the press was not dropped: an error box opened")
        program.close()

    # A theme resource that is present but no theme stops the start-up: the start-up failure
    # box, with no owner, then exit code 1.
    def test_damaged_theme_resource_is_a_start_up_failure(self):
        answer = self.probe.ask("resource %s APPSTYLE ICEBERGCLASSICO 4150505f5354594c45" %
                                self.windows_exe)
        check(answer == "ok", "the resource was not replaced: " + answer)
        launched = self.launch()
        box, _ = self.probe.find("Application Error", BOX_CLASS, int(START_TIMEOUT * 1000))
        text = self.probe.text(self.probe.item(box, BOX_TEXT_ID))
        check(text == "Exception Failure in module Operator.exe at 00000000.\r\n"
                      "Unable to load style 'ICEBERGCLASSICO'.\r\n", "box text %r" % text)
        self.shot("start-up-failure-box")
        _, ok = self.probe.button(box, 0)
        run(["xdotool", "mousemove", str(ok.centre()[0]), str(ok.centre()[1]), "click", "1"],
            self.desktop.env, check_status=True)
        answer = self.probe.ask("exit-code %d %d" % (launched, STEP_TIMEOUT * 1000))
        check(answer == "ok 1", "the start-up failure ended with %r" % answer)

    # A theme is found by the name in its header, not by the resource's: with another theme in
    # the resource the start-up shows "Style 'Iceberg Classico' not found" with a single
    # "&Close" button and goes on in the standard look.
    def test_missing_theme_is_reported_and_the_program_goes_on(self):
        other = os.path.join(self.folder, "other.theme")
        # A whole theme, palette and style sheet, so that it is one the program can prepare.
        theme_sources = os.path.dirname(PALETTE)
        subprocess.run([self.args.make_theme, "--name", "Other Theme", "--version", "1.0",
                        "--section", "palette=" + os.path.join(theme_sources, "palette.txt"),
                        "--section", "stylesheet=" + os.path.join(theme_sources, "style.qss"),
                        "--output", other], check=True, capture_output=True, timeout=STEP_TIMEOUT)
        with open(other, "rb") as f:
            container = f.read().hex()
        answer = self.probe.ask("resource %s APPSTYLE ICEBERGCLASSICO %s" %
                                (self.windows_exe, container))
        check(answer == "ok", "the resource was not replaced: " + answer)
        launched = self.launch()
        box, _ = self.probe.find("Error", BOX_CLASS, int(START_TIMEOUT * 1000))
        text = self.probe.text(self.probe.item(box, BOX_TEXT_ID))
        check(text == "Style 'Iceberg Classico' not found", "box text %r" % text)
        close, close_rect = self.probe.button(box, 0)
        check(self.probe.text(close) == "&Close", "its button %r" % self.probe.text(close))
        self.shot("theme-not-found-box")
        run(["xdotool", "mousemove", str(close_rect.centre()[0]), str(close_rect.centre()[1]),
             "click", "1"], self.desktop.env, check_status=True)
        main, _ = self.probe.find(OPERATOR_TITLE, "TMainForm", int(START_TIMEOUT * 1000))
        self.probe.close(main)
        answer = self.probe.ask("exit-code %d %d" % (launched, STEP_TIMEOUT * 1000))
        check(answer == "ok 0", "the program ended with %r" % answer)

    # --- The operator window through a clerk's day -------------------------------------------

    @contextlib.contextmanager
    def program_with_server(self):
        """The queue server, and the program started at the density's design size with the
        server's address and window 1; the server is stopped afterwards."""
        server = QueueServer(self.args.queue_server)
        try:
            self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112),
                                              server.url, 0))
            yield server, self.start()
        finally:
            server.stop()

    def usage(self, program):
        """What the program's process holds, as the probe reads it: private bytes, working set,
        handles, GDI objects, USER objects, windows; then, read from Linux, the resident set of
        the Wine process and its open files. Wine answers 0 for the handles and the GDI and USER
        objects: the windows, the resident set and the files stand for them here."""
        answer = self.probe.ask("usage %d" % program.main)
        check(answer.startswith("ok "), "no usage of the program: " + answer)
        numbers = [int(v) for v in answer.split()[1:7]]
        pid = program.process.pid
        with open("/proc/%d/status" % pid) as f:
            rss = re.search(r"^VmRSS:\s+(\d+) kB", f.read(), re.M)
        check(rss, "no resident set of process %d" % pid)
        return numbers + [int(rss.group(1)) * 1024, len(os.listdir("/proc/%d/fd" % pid))]

    def press_for(self, program, next_button, ticket):
        """One click on Next through X, and the answer awaited in the list."""
        program.click(next_button)
        wait_for("the answer %s in the list" % ticket, lambda: self.list_text(program) == ticket)

    def log_text(self, program):
        return self.probe.text(program.control("Edit", 0)[0])

    def focus_after_tab(self, program, window, expected, what):
        program.keys("Tab")
        wait_for("the focus on " + what, lambda: self.probe.focus(window) == expected)

    # Eight answers are more lines than the log shows: it keeps every one of them, in order.
    def test_log_keeps_every_answer(self):
        with self.program_with_server() as (server, program):
            _, next_button = program.control("Button", 4)
            tickets = ["A%03d" % n for n in range(1, 9)]
            for ticket in tickets:
                self.press_for(program, next_button, ticket)
            log = self.log_text(program)
            check(log == "\r\n".join(["mmo1"] + tickets), "the log reads %r" % log)
            program.close()

    # Esc typed in the answer log closes nothing: the program goes on, the settings unwritten,
    # and what is typed after it still goes into the log.
    def test_esc_in_the_log_ends_nothing(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112)))
        program = self.start()
        queue_list = program.control("ComboBox", 0)[0]
        log = program.control("Edit", 0)[0]
        wait_for("the focus on the list", lambda: self.probe.focus(program.main) == queue_list)
        os.remove(self.ini)
        self.focus_after_tab(program, program.main, log, "the log")
        program.keys("Escape", "y")
        # The key typed after Esc is there once everything Esc set off has been handled; a
        # closed window answers no text, and the wait ends with the program instead.
        wait_for("the key typed after Esc",
                 lambda: program.ended() or "y" in self.probe.text(log))
        check(not program.ended() and self.probe.visible(program.main), "Esc ended the program")
        check(not os.path.exists(self.ini), "Esc wrote the settings")
        program.close()

    # Tab into the log keeps its text: a key typed there adds to the log, never replaces it.
    def test_tab_into_the_log_keeps_it(self):
        with self.program_with_server() as (server, program):
            queue_list = program.control("ComboBox", 0)[0]
            log = program.control("Edit", 0)[0]
            _, next_button = program.control("Button", 4)
            self.press_for(program, next_button, "A001")
            wait_for("the focus on the list", lambda: self.probe.focus(program.main) == queue_list)
            self.focus_after_tab(program, program.main, log, "the log")
            program.keys("z")
            wait_for("the key in the log", lambda: "z" in self.log_text(program))
            text = self.log_text(program)
            check(text.startswith("mmo1") and "A001" in text, "the log became %r" % text)
            program.close()

    # A press of Next outlives the focus leaving the button (the system's WM_KILLFOCUS, as
    # Windows sends it while the mouse is held): released on the button, it calls one visitor.
    # A press whose capture is taken away (WM_CAPTURECHANGED) is dropped, and the next click
    # calls the next visitor: no click lost, none doubled.
    def test_next_press_outlives_the_focus_and_drops_with_the_capture(self):
        with self.program_with_server() as (server, program):
            button, next_button = program.control("Button", 4)
            queue_list = program.control("ComboBox", 0)[0]
            wait_for("the focus on the list", lambda: self.probe.focus(program.main) == queue_list)
            x, y = next_button.centre()
            for message, lparam, answers in ((0x0008, 0, ["A001"]),      # WM_KILLFOCUS
                                             (0x0215, 0, ["A001"])):     # WM_CAPTURECHANGED
                run(["xdotool", "mousemove", str(x), str(y), "mousedown", "1"], self.desktop.env,
                    check_status=True)
                try:
                    wait_for("the pressed look",
                             lambda: self.probe.ask("pushed %d" % button) == "ok")
                    answer = self.probe.ask("send %d %d 0 %d" % (button, message, lparam))
                    check(answer.startswith("ok"), "message %#x not sent: %s" % (message, answer))
                    if message == 0x0215:
                        wait_for("the press dropped",
                                 lambda: self.probe.ask("pushed %d" % button) == "no")
                finally:
                    run(["xdotool", "mouseup", "1"], self.desktop.env, check_status=True)
                # A key typed after the release opens the list once the release has been
                # handled, with whatever request it made: then the calls are counted.
                program.keys("a")
                wait_for("the list opened", lambda: self.probe.dropped(queue_list))
                program.keys("Escape")
                wait_for("the list closed", lambda: not self.probe.dropped(queue_list))
                check(server.calls() == ["window 1: " + a for a in answers],
                      "after %#x: calls %s" % (message, server.calls()))
                check(self.list_text(program) == answers[-1],
                      "the list shows %r" % self.list_text(program))
            self.press_for(program, next_button, "A002")
            check(server.calls() == ["window 1: A001", "window 1: A002"],
                  "calls %s" % server.calls())
            program.close()

    # A close sent by another program to the settings window ends its showing at once, and the
    # operator window takes input again.
    def test_close_sent_to_the_settings_window_ends_its_showing(self):
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112)))
        program = self.start()
        _, settings_button = program.control("Button", 1)
        program.click(settings_button)
        setup, _ = self.probe.find(SETTINGS_TITLE, "TSetupForm")
        check(self.probe.ask("send %d 16 0 0" % setup) == "ok 0", "WM_CLOSE not sent")
        check(self.probe.gone(setup), "the settings window stays after a sent close")
        wait_for("the operator window enabled",
                 lambda: self.probe.ask("enabled %d" % program.main) == "ok")
        program.close()

    # With another program's window open behind it, the operator window is in front again once
    # the error box is closed, and takes input.
    def test_error_box_gives_the_window_back_with_another_program_open(self):
        answer = self.probe.ask("launch 1 C:\\windows\\system32\\notepad.exe")
        check(answer.startswith("ok "), "Notepad not launched: " + answer)
        self.launched.append(int(answer.split()[1]))
        self.probe.find("Untitled - Notepad", "Notepad", int(START_TIMEOUT * 1000))
        self.write_settings(settings_text(40, 60, self.scale(420), self.scale(112),
                                          "http://127.0.0.1:%d" % free_port(), 0))
        program = self.start()
        wait_for("the operator window in front",
                 lambda: self.probe.ask("foreground") == "ok %d" % program.main)
        self.press_next(program)
        box, _ = self.error_box()
        program.keys("Return")
        check(self.probe.gone(box), "Enter left the error box open")
        wait_for("the operator window in front after the box",
                 lambda: self.probe.ask("foreground") == "ok %d" % program.main)
        check(self.probe.ask("enabled %d" % program.main) == "ok",
              "the operator window takes no input after the box")
        program.close()

    # A clerk's day: 300 presses, the window worked by keyboard alone, three refused
    # connections, the settings and About windows by keyboard, and the close writing the file.
    def test_a_clerks_day(self):
        with self.program_with_server() as (server, program):
            main = program.main
            queue_list = program.control("ComboBox", 0)[0]
            log = program.control("Edit", 0)[0]
            settings_button, _ = program.control("Button", 1)
            unused_button, _ = program.control("Button", 2)
            about_button, _ = program.control("Button", 3)
            _, next_button = program.control("Button", 4)

            tickets = []
            started = time.monotonic()
            for number in range(1, 301):
                tickets.append("A%03d" % number)
                self.press_for(program, next_button, tickets[-1])
                if number == 50:
                    at_50 = self.usage(program)
            at_300 = self.usage(program)
            print("300 presses in %.1f s; usage at 50 %s, at 300 %s"
                  % (time.monotonic() - started, at_50, at_300), flush=True)
            log_text = self.log_text(program)
            check(log_text == "\r\n".join(["mmo1"] + tickets),
                  "the log holds %d lines, ending %r" % (log_text.count("\r\n"), log_text[-40:]))
            check(self.list_text(program) == "A300", "the list shows %r" % self.list_text(program))
            # 300 answers are 1.8 KB of text: between press 50 and 300 the memory may move by
            # what the allocators keep in reserve, 2 MiB (8 KiB a press), and no handle, object,
            # window or file may stay behind.
            for index, what in ((0, "private bytes"), (1, "the working set"),
                                (6, "the resident set")):
                check(at_300[index] - at_50[index] <= 2 << 20, "%s grew %d to %d"
                      % (what, at_50[index], at_300[index]))
            for index, what in ((2, "handles"), (3, "GDI objects"), (4, "USER objects"),
                                (5, "windows"), (7, "open files")):
                check(at_300[index] - at_50[index] <= 2, "%s grew %d to %d"
                      % (what, at_50[index], at_300[index]))

            # The keyboard alone: Tab runs list, log, S, H, ? and back to the list; Enter and
            # Esc in the list and on H do nothing; in the log Enter starts a line, Esc does
            # nothing and a key typed adds to the log.
            wait_for("the focus on the list", lambda: self.probe.focus(main) == queue_list)
            program.keys("Return", "Escape")
            self.focus_after_tab(program, main, log, "the log")
            program.keys("Return", "Escape", "x")
            wait_for("the keys in the log", lambda: self.log_text(program) != log_text)
            check(self.log_text(program) == log_text + "\r\nx",
                  "the log after Enter, Esc, x ends %r" % self.log_text(program)[-40:])
            self.focus_after_tab(program, main, settings_button, "S")
            program.keys("Escape")
            # S by Enter: the settings window; Enter and Esc there do nothing; the address is
            # typed anew, and the window is closed from its "Закрыть" button by Space.
            refused = "http://127.0.0.1:%d" % free_port()
            program.keys("Return")
            setup, _ = self.probe.find(SETTINGS_TITLE, "TSetupForm")
            server_edit, _ = self.probe.child(setup, "Edit", 0)
            close_button, _ = self.probe.child(setup, "Button", 1)
            wait_for("the focus in the address field",
                     lambda: self.probe.focus(setup) == server_edit)
            program.keys("Return", "Escape", "Home", "shift+End", "BackSpace")
            run(["xdotool", "type", "--delay", "30", refused], self.desktop.env,
                check_status=True)
            wait_for("the address typed", lambda: self.probe.text(server_edit) == refused)
            check(self.probe.visible(setup), "Enter or Esc closed the settings window")
            for _ in range(3):
                program.keys("Tab")
            wait_for("the focus on Закрыть", lambda: self.probe.focus(setup) == close_button)
            program.keys("space")
            check(self.probe.gone(setup), "Space on Закрыть left the settings window open")
            wait_for("the focus back on S", lambda: self.probe.focus(main) == settings_button)
            self.focus_after_tab(program, main, unused_button, "H")
            program.keys("Return", "Escape", "space")
            self.focus_after_tab(program, main, about_button, "?")
            program.keys("Escape", "Return")
            about, _ = self.probe.find(ABOUT_TITLE, "TAboutForm")
            program.keys("Return", "Escape")
            check(self.probe.visible(about), "Enter or Esc closed the About window")
            program.keys("alt+F4")
            check(self.probe.gone(about), "Alt+F4 left the About window open")
            wait_for("the focus back on ?", lambda: self.probe.focus(main) == about_button)
            self.focus_after_tab(program, main, queue_list, "the list again")
            check(not program.ended() and self.probe.visible(main),
                  "a key ended the program")
            self.shot("clerks-day-keyboard")

            # Three refused connections: after each box the operator window is in front again.
            for attempt in range(3):
                program.click(next_button)
                box, text = self.error_box()
                check(text == "Socket Error # 10061\r\nConnection refused.", "box text %r" % text)
                check(self.probe.ask("enabled %d" % main) == "no",
                      "the operator window takes input behind the box")
                program.keys("Return")
                check(self.probe.gone(box), "Enter left the error box open")
                wait_for("the operator window in front after box %d" % (attempt + 1),
                         lambda: self.probe.ask("foreground") == "ok %d" % main)
                check(self.probe.ask("enabled %d" % main) == "ok",
                      "the operator window takes no input after the box")
            check(self.list_text(program) == "A300", "a refused press changed the list")
            check(server.calls()[-1] == "window 1: A300" and len(server.calls()) == 300,
                  "the server was called %d times" % len(server.calls()))

            os.remove(self.ini)
            program.close()
            stored = self.read_settings()
            check("Host=%s\r\n" % refused in stored and "Window=0\r\n" in stored,
                  "the close stored %r" % stored)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--operator", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--resource-edit", required=True)
    parser.add_argument("--queue-server", required=True)
    parser.add_argument("--make-theme", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--density", type=int, default=96)
    parser.add_argument("--screenshots")
    parser.add_argument("--only")
    args = parser.parse_args()

    desktop = Desktop()
    wine = probe = scenarios = None
    passed, failed = 0, 0
    try:
        desktop.start()
        wine = Wine(desktop, args.prefix, args.density)
        probe = Probe(wine, args.probe)
        scenarios = Scenarios(desktop, wine, probe, args)
        passed, failed = run_scenarios(scenarios, args.only, scenarios.after_each)
    finally:
        if scenarios is not None:
            scenarios.cleanup()
        if probe is not None:
            probe.stop()
        if wine is not None:
            wine.stop()
        desktop.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
