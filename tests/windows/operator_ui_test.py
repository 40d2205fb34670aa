#!/usr/bin/python3
"""The Windows program, Operator.exe, under Wine on a real X desktop, driven as a clerk does.

Starts its own Xvfb (a free display) and openbox (desktop_test.py's Desktop), a Wine prefix of
its own at the density asked for (the prefix's LogPixels), the reference queue server on the
Linux side, and ui_probe.exe under Wine beside the program: the probe finds the program's
windows by caption, reads their texts (WM_GETTEXT) and rectangles and closes them (WM_CLOSE, as
the close button does); clicks go through X with xdotool at the places the windows report.
The settings file is read from disk. Everything started here is stopped at the end; every
wait is bounded.

Usage: operator_ui_test.py --operator EXE --probe EXE --queue-server PATH --prefix DIR
                           [--density 96|192] [--screenshots DIR] [--only NAME]
"""

import argparse
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
from desktop_test import (Desktop, Failed, check, form_values, free_port, run,  # noqa: E402
                          settings_text, wait_for)

START_TIMEOUT = 30.0   # a start under Wine, until the operator window is shown
STEP_TIMEOUT = 10.0    # any other step
PROBE_WAIT_MS = 10000  # the probe's own wait for a window

OPERATOR_TITLE = "Оператор"
SETTINGS_TITLE = "Настройка"
ABOUT_TITLE = "О программе"
BOX_TITLE = "Operator"
BOX_CLASS = "#32770"
BOX_TEXT_ID = 0xFFFF  # the message box's text


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
        answer = self.ask("find %s %d %s" % (window_class, wait_ms, json.dumps(title)))
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
    """One run of Operator.exe in its folder, with its settings file beside it."""

    def __init__(self, scenarios):
        self.scenarios = scenarios
        self.probe = scenarios.probe
        self.process = subprocess.Popen(["wine", scenarios.exe], cwd=scenarios.folder,
                                        env=scenarios.wine.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.main, self.main_rect = self.probe.find(OPERATOR_TITLE, "TMainForm",
                                                    int(START_TIMEOUT * 1000))

    def control(self, window_class, index, parent=None):
        return self.probe.child(self.main if parent is None else parent, window_class, index)

    def click(self, rect):
        x, y = rect.centre()
        run(["xdotool", "mousemove", str(x), str(y), "click", "1"],
            self.scenarios.desktop.env, check_status=True)

    def ended(self):
        return self.process.poll() is not None

    def close(self):
        self.probe.close(self.main)
        wait_for("the program's end", self.ended, STEP_TIMEOUT)
        check(self.process.returncode == 0, "exit code %d" % self.process.returncode)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=STEP_TIMEOUT)


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
        self.programs = []

    def cleanup(self):
        for program in self.programs:
            program.kill()
        if os.path.exists(self.ini):
            os.chmod(self.ini, 0o644)
        shutil.rmtree(self.folder, ignore_errors=True)

    def scale(self, design):
        return (design * self.density + 48) // 96

    def start(self):
        program = Program(self)
        self.programs.append(program)
        return program

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
        _, ok = self.probe.child(box, "Button", 0)
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
            self.press_next(program)
            wait_for("the answer in the list", lambda: self.list_text(program) == "A001")
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--operator", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--queue-server", required=True)
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
        for name in sorted(n for n in dir(scenarios) if n.startswith("test_")):
            if args.only and args.only not in name:
                continue
            started = time.monotonic()
            try:
                getattr(scenarios, name)()
                passed += 1
                print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
            except Exception as error:  # a failed check, a timeout, a tool that broke
                failed += 1
                print("FAIL %s: %s" % (name, error), flush=True)
                if not isinstance(error, Failed):
                    traceback.print_exc()
            finally:
                for program in scenarios.programs:
                    program.kill()
                scenarios.programs.clear()
                if os.path.exists(scenarios.ini):
                    os.chmod(scenarios.ini, 0o644)
                    os.remove(scenarios.ini)
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
