#!/usr/bin/python3
"""The real Operator program on a real X desktop whose window manager draws frames.

Starts its own Xvfb (on a free display), openbox, a private D-Bus session with the
accessibility bus, then runs the program as a clerk would: windows found and clicked with
xdotool, closed through the window manager (wmctrl -c, as the frame's close button does),
texts read as a screen reader reads them (AT-SPI), the settings file read back from disk.
Everything started here is stopped at the end; every wait is bounded.

Usage: desktop_test.py --operator PATH [--scale 1|2] [--screenshots DIR] [--only WORD]
"""

import argparse
import http.server
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import traceback

SCREEN = (1280, 800)
START_TIMEOUT = 20.0   # a start of the program, until its window is mapped and framed
STEP_TIMEOUT = 10.0    # any other step: a window appearing, closing, a process ending
POLL = 0.05
MEMORY_LIMIT_KIB = 300 * 1024

OPERATOR_TITLE = "Оператор"
SETTINGS_TITLE = "Настройка"
ABOUT_TITLE = "О программе"
BOX_TITLE = "Operator"

TOOLS = ["Xvfb", "openbox", "xdotool", "wmctrl", "xprop", "xwininfo", "dbus-daemon", "import"]


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def wait_for(what, probe, timeout=STEP_TIMEOUT):
    """Polls probe() until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failed("timed out waiting for " + what)
        time.sleep(POLL)


def run(args, env, timeout=STEP_TIMEOUT, check_status=False):
    result = subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout)
    if check_status and result.returncode != 0:
        raise Failed("%s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


class Desktop:
    """Xvfb, openbox and a D-Bus session with the accessibility bus, all private to this run."""

    def __init__(self):
        self.processes = []
        self.env = dict(os.environ)

    def start(self):
        missing = [tool for tool in TOOLS if shutil.which(tool) is None]
        check(not missing, "missing desktop tools (scripts/install-deps installs them): " +
              ", ".join(missing))
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % SCREEN, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        os.close(write_end)
        display = self._read_display(read_end)
        self.env["DISPLAY"] = ":" + display
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"):
            self.env.pop(name, None)
        self.runtime = tempfile.mkdtemp(prefix="desktop-test-runtime-")
        os.chmod(self.runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = self.runtime
        self._start_dbus()
        wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        self.processes.append(wm)
        wait_for("the window manager", self._window_manager_running, START_TIMEOUT)
        # The accessibility bus is started before any program, so each one finds it.
        run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"], self.env, check_status=True)

    def _read_display(self, read_end):
        deadline = time.monotonic() + START_TIMEOUT
        data = b""
        os.set_blocking(read_end, False)
        while not data.endswith(b"\n"):
            check(time.monotonic() < deadline, "Xvfb did not start")
            try:
                chunk = os.read(read_end, 64)
                if chunk:
                    data += chunk
                    continue
                check(False, "Xvfb ended before it opened a display")
            except BlockingIOError:
                time.sleep(POLL)
        os.close(read_end)
        return data.decode().strip()

    def _start_dbus(self):
        dbus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                text=True)
        self.processes.append(dbus)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = dbus.stdout.readline().strip()
        check(self.env["DBUS_SESSION_BUS_ADDRESS"], "no D-Bus session")

    def _window_manager_running(self):
        out = run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env)
        return "window id" in out

    def stop(self):
        # at-spi's own daemons were started on our private bus; they end with it.
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        for process in self.processes:
            try:
                process.wait(timeout=STEP_TIMEOUT)
            except subprocess.TimeoutExpired:
                process.kill()
        subprocess.run(["pkill", "-f", "at-spi.*" + self.env.get("DBUS_SESSION_BUS_ADDRESS", "-")],
                       capture_output=True)
        shutil.rmtree(getattr(self, "runtime", ""), ignore_errors=True)


class Window:
    def __init__(self, desktop, wid):
        self.desktop = desktop
        self.wid = wid

    def client(self):
        """The client area on the screen: x, y, width, height."""
        out = run(["xwininfo", "-id", self.wid], self.desktop.env)
        values = {}
        for key, name in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                          ("w", "Width"), ("h", "Height")):
            values[key] = int(re.search(name + r":\s+(-?\d+)", out).group(1))
        return values["x"], values["y"], values["w"], values["h"]

    def extents(self):
        """The frame's margins: left, right, top, bottom (None before the manager framed it)."""
        out = run(["xprop", "-id", self.wid, "_NET_FRAME_EXTENTS"], self.desktop.env)
        match = re.search(r"=\s*(\d+), (\d+), (\d+), (\d+)", out)
        return tuple(int(v) for v in match.groups()) if match else None

    def frame(self):
        left, right, top, bottom = self.extents()
        x, y, w, h = self.client()
        return x - left, y - top, w + left + right, h + top + bottom

    def prop(self, name):
        return run(["xprop", "-id", self.wid, name], self.desktop.env)

    def close_by_window_manager(self):
        run(["wmctrl", "-i", "-c", self.wid], self.desktop.env, check_status=True)


class AnswerServer:
    """A queue server on loopback that answers every request with one text; it records the
    request targets."""

    def __init__(self, answer):
        body = answer.encode("utf-8")
        targets = self.targets = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                targets.append(self.path)
                self.send_response(200)
                self.send_header("Content-Type", "text/plain; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.server.timeout = STEP_TIMEOUT
        self.url = "http://127.0.0.1:%d" % self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join(timeout=STEP_TIMEOUT)


def make_unreplaceable(path):
    """A settings file the program cannot replace: immutable for root (whom permissions do not
    stop), read-only for anyone else."""
    if os.geteuid() == 0:
        run(["chattr", "+i", path], {"PATH": os.environ.get("PATH", "/usr/bin:/bin")},
            check_status=True)
    else:
        os.chmod(path, 0o444)


def make_replaceable(path):
    if os.geteuid() == 0:
        run(["chattr", "-i", path], {"PATH": os.environ.get("PATH", "/usr/bin:/bin")})
    else:
        os.chmod(path, 0o644)


class Program:
    """One run of the Operator program in its own folder with its settings file beside it."""

    def __init__(self, desktop, folder, scale):
        self.desktop = desktop
        self.folder = folder
        self.env = dict(desktop.env)
        self.scale = scale
        self.env["QT_QPA_PLATFORM"] = "xcb"
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        if scale != 1:
            self.env["QT_SCALE_FACTOR"] = str(scale)
        self.process = subprocess.Popen([os.path.join(folder, "Operator")], cwd=folder,
                                        env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.main = self.window(OPERATOR_TITLE, START_TIMEOUT)

    def window(self, title, timeout=STEP_TIMEOUT):
        """The program's visible top-level window of that title, once the manager framed it."""
        def probe():
            out = run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                       "--name", "^" + re.escape(title) + "$"], self.env)
            for wid in out.split():
                window = Window(self.desktop, wid)
                if window.extents() is not None:
                    return window
            return None
        return wait_for("the window " + title, probe, timeout)

    def gone(self, title):
        out = run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                   "--name", "^" + re.escape(title) + "$"], self.env)
        return not out.split()

    def click(self, x, y):
        # A move with --sync waits for the pointer to arrive, forever when it stands there
        # already.
        here = run(["xdotool", "getmouselocation", "--shell"], self.env, check_status=True)
        if "X=%d\nY=%d\n" % (x, y) in here:
            run(["xdotool", "click", "1"], self.env, check_status=True)
        else:
            run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], self.env,
                check_status=True)

    def click_button(self, name, window_role=None):
        x, y, w, h = accessible_extents(self, name, "push button", window_role)
        self.click(x + w // 2, y + h // 2)

    def peak_memory_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            return int(re.search(r"VmHWM:\s+(\d+) kB", status.read()).group(1))

    def ended(self):
        return self.process.poll() is not None

    def close(self):
        self.main.close_by_window_manager()
        wait_for("the program's end", self.ended)
        check(self.process.returncode == 0, "exit code %d" % self.process.returncode)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=STEP_TIMEOUT)


# ---- accessibility ---------------------------------------------------------------------------

def _atspi(on):
    # pyatspi finds the session bus through the environment of this process.
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = on.env["DBUS_SESSION_BUS_ADDRESS"]
    os.environ["DISPLAY"] = on.env["DISPLAY"]
    import pyatspi
    return pyatspi


def _application(program):
    pyatspi = _atspi(program)
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == program.process.pid:
                return app
        except Exception:
            continue
    return None


def _find(node, predicate, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if predicate(node):
            return node
        for child in node:
            found = _find(child, predicate, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def accessible_extents(program, name, role, window_role=None):
    pyatspi = _atspi(program)

    def probe():
        app = _application(program)
        root = app
        if app is not None and window_role is not None:
            root = _find(app, lambda n: n.getRoleName() == window_role)
        node = _find(root, lambda n: n.getRoleName() == role and n.name == name)
        if node is None:
            return None
        extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if not extents.width:
            return None
        # Qt tells device-independent pixels; the pointer moves in physical ones.
        return tuple(int(v * program.scale) for v in
                     (extents.x, extents.y, extents.width, extents.height))

    # A window that has just come up may still be moved by the window manager (onto the
    # screen, say): the place counts once two readings a moment apart agree.
    last = [None]

    def settled():
        now = probe()
        agreed = now is not None and now == last[0]
        last[0] = now
        return now if agreed else None
    return wait_for("the %s %r" % (role, name), settled)


def accessible_window(program, role, name):
    """The program's top-level accessible of that role and name (a frame or a dialog)."""
    return wait_for("the %s %r through the accessibility bus" % (role, name), lambda: _find(
        _application(program), lambda n: n.getRoleName() == role and n.name == name))


def controls_of(window):
    """The controls a clerk meets in a window: its children, and the children of its panels
    (the operator window's small buttons stand in a group box). Qt's own parts of a control
    (a field's scroll bars, a list's popup) are the control's business, not the window's."""
    controls = []
    for child in window:
        controls.append(child)
        if child.getRoleName() == "panel":
            controls.extend(child)
    return controls


def relation_targets(node, relation_name):
    """The names of the accessibles that `node` is in the named relation with."""
    names = []
    for relation in node.getRelationSet():
        if relation_name in str(relation.getRelationType()):
            names.extend(relation.getTarget(i).name for i in range(relation.getNTargets()))
    return names


class AccessibleEvents:
    """Events of the accessibility bus as a screen reader receives them, from the moment it is
    made; every wait for one is bounded. Made before a program starts, so that the program
    knows from its start that someone listens."""

    def __init__(self, desktop, *event_types):
        self.pyatspi = _atspi(desktop)
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.event_types = event_types
        self.received = []
        self.pyatspi.Registry.registerEventListener(self._record, *event_types)

    def _record(self, event):
        try:
            self.received.append((event.type, event.source.getRoleName(), str(event.any_data)))
        except Exception:
            pass  # the source went away before it could be read

    def wait_for(self, what, predicate, timeout=STEP_TIMEOUT):
        def probe():
            for _ in range(1000):  # what has arrived, in bounded portions
                if not self.context.iteration(False):
                    break
            return [e for e in self.received if predicate(e)]
        try:
            return wait_for(what, probe, timeout)
        except Failed:
            raise Failed("timed out waiting for %s; received %s" % (what, self.received))

    def close(self):
        self.pyatspi.Registry.deregisterEventListener(self._record, *self.event_types)


def read_alert(program):
    """What a screen reader reads of the open error box: its caption and its text."""
    def probe():
        app = _application(program)
        alert = _find(app, lambda n: n.getRoleName() == "alert")
        if alert is None:
            return None
        label = _find(alert, lambda n: n.getRoleName() == "label" and n.name)
        return (alert.name, label.name) if label is not None else None
    return wait_for("the error box through the accessibility bus", probe)


# ---- the scenarios ---------------------------------------------------------------------------

def settings_text(top, left, width, height, host="http://localhost", window=-1):
    return ("[Form]\r\nTop=%d\r\nleft=%d\r\nWidth=%d\r\nHeight=%d\r\n"
            "[Server]\r\nHost=%s\r\nWindow=%d\r\n" % (top, left, width, height, host, window))


def form_values(text):
    values = {}
    for key in ("Top", "left", "Width", "Height"):
        match = re.search(r"^%s=(-?\d+)\r?$" % key, text, re.M | re.I)
        values[key] = int(match.group(1)) if match else None
    return values


class Scenarios:
    def __init__(self, desktop, operator, scale, screenshots):
        self.desktop = desktop
        self.scale = scale
        self.screenshots = screenshots
        self.folder = tempfile.mkdtemp(prefix="desktop-test-")
        shutil.copy2(operator, os.path.join(self.folder, "Operator"))
        self.ini = os.path.join(self.folder, "Operator.ini")
        # A scale of 2 cannot place a frame of odd size on every physical pixel.
        self.slack = 0 if scale == 1 else 1

    def cleanup(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def write_settings(self, text):
        with open(self.ini, "w", newline="") as f:
            f.write(text)

    def read_settings(self):
        with open(self.ini, newline="") as f:
            return f.read()

    def start(self):
        return Program(self.desktop, self.folder, self.scale)

    def shot(self, name):
        if self.screenshots:
            os.makedirs(self.screenshots, exist_ok=True)
            path = os.path.join(self.screenshots, "scale%s-%s.png" % (self.scale, name))
            run(["import", "-window", "root", path], self.desktop.env, check_status=True)

    def near(self, actual, expected, slack):
        return all(abs(a - e) <= slack for a, e in zip(actual, expected))

    # Three starts and closes in a row leave the stored rectangle exactly as it was, and at
    # scale 1 the frame stands exactly on it.
    def test_restarts_keep_the_stored_rectangle(self):
        stored = settings_text(100, 200, 420, 112)
        self.write_settings(stored)
        for start in range(3):
            program = self.start()
            try:
                frame = program.main.frame()
                check(self.near(frame[:2], (200, 100), self.slack),
                      "start %d: frame at %s, stored 200,100" % (start + 1, frame[:2]))
                if self.scale == 1:
                    check(frame == (200, 100, 420, 112), "frame %s, stored 200,100 420x112"
                          % (frame,))
                if start == 0:
                    self.shot("operator-window")
                program.close()
            finally:
                program.kill()
            check(self.read_settings() == stored, "after close %d the file holds %r"
                  % (start + 1, self.read_settings()))

    # Without a settings file the defaults are 0, 0: the frame's corner goes there, and the
    # first close writes them.
    def test_no_file_puts_the_frame_at_the_origin(self):
        if os.path.exists(self.ini):
            os.remove(self.ini)
        program = self.start()
        try:
            frame = program.main.frame()
            check(self.near(frame[:2], (0, 0), self.slack), "frame at %s" % (frame[:2],))
            program.close()
        finally:
            program.kill()
        values = form_values(self.read_settings())
        check(values == {"Top": 0, "left": 0, "Width": 420, "Height": 112},
              "first close wrote %s" % values)

    # Closed while minimised, the window stores where it stands when restored.
    def test_minimised_close_stores_the_restored_placement(self):
        self.write_settings(settings_text(100, 200, 420, 112))
        program = self.start()
        try:
            run(["xdotool", "windowmove", program.main.wid, "300", "250"], self.desktop.env,
                check_status=True)
            moved = wait_for("the move", lambda: (lambda f: f if f[:2] != (200, 100) else None)(
                program.main.frame()))
            run(["xdotool", "windowminimize", program.main.wid], self.desktop.env,
                check_status=True)
            wait_for("the minimised state",
                     lambda: "_NET_WM_STATE_HIDDEN" in program.main.prop("_NET_WM_STATE"))
            program.close()
        finally:
            program.kill()
        values = form_values(self.read_settings())
        expected = {"Top": moved[1], "left": moved[0], "Width": moved[2], "Height": moved[3]}
        check(all(abs(values[k] - expected[k]) <= 2 * self.slack for k in expected),
              "minimised close wrote %s, the restored frame was %s" % (values, expected))

    # The settings and About windows come up centred on the operator window's monitor, their
    # frames included; the About window asks for no minimise or maximise button.
    def test_dialogs_come_up_centred_with_their_frames(self):
        # The stored size is in physical pixels: at scale 2 the design size needs twice as many
        # for the "?" button to be on the screen.
        self.write_settings(settings_text(100, 200, 420 * self.scale, 112 * self.scale))
        program = self.start()
        try:
            for button, title, name in (("Настройка", SETTINGS_TITLE, "settings-window"),
                                        ("О программе", ABOUT_TITLE, "about-window")):
                program.click_button(button)
                dialog = program.window(title)
                frame = dialog.frame()
                centre = (frame[0] + frame[2] / 2, frame[1] + frame[3] / 2)
                check(self.near(centre, (SCREEN[0] / 2, SCREEN[1] / 2), 1 + self.slack),
                      "%s frame %s is not centred on %s" % (title, frame, SCREEN))
                self.shot(name)
                if title == ABOUT_TITLE:
                    check_close_only(dialog, title)
                dialog.close_by_window_manager()
                wait_for("the %s window to close" % title, lambda: program.gone(title))
            program.close()
        finally:
            program.kill()

    # A damaged size makes a window no larger than the desktop and its frame, and costs no
    # memory worth speaking of.
    def test_huge_stored_size_is_bounded(self):
        self.write_settings(settings_text(0, 0, 99999999, 99999999))
        program = self.start()
        try:
            frame = program.main.frame()
            left, right, top, bottom = program.main.extents()
            largest = (SCREEN[0] + left + right, SCREEN[1] + top + bottom)
            check(frame[2] <= largest[0] and frame[3] <= largest[1],
                  "a window of %dx%d on a %dx%d desktop" % (frame[2], frame[3], *SCREEN))
            # The window manager may cut a window down to the screen; what the program asked
            # for must be no larger either.
            hints = program.main.prop("WM_NORMAL_HINTS")
            asked = re.search(r"program specified size: (\d+) by (\d+)|"
                              r"user specified size: (\d+) by (\d+)", hints)
            check(asked is not None, "no size asked for: " + hints)
            asked_size = [int(v) for v in asked.groups() if v is not None]
            check(asked_size[0] <= largest[0] and asked_size[1] <= largest[1],
                  "the program asked for a window of %dx%d" % tuple(asked_size))
            peak = program.peak_memory_kib()
            check(peak < MEMORY_LIMIT_KIB, "peak memory %d KiB" % peak)
            print("    huge size: frame %dx%d, peak memory %d KiB" % (frame[2], frame[3], peak))
            program.close()
        finally:
            program.kill()

    # A refused connection: the error box as a screen reader reads it.
    def test_error_box_of_a_refused_connection_reads_aloud(self):
        port = free_port()
        self.write_settings(settings_text(100, 200, 420, 112, "http://127.0.0.1:%d" % port, 2))
        program = self.start()
        try:
            program.click_button("Следующий")
            box = program.window(BOX_TITLE)
            caption, text = read_alert(program)
            check(caption == "Operator", "box caption %r" % caption)
            check(text == "Socket Error # 10061\r\nConnection refused.", "box text %r" % text)
            check_close_only(box, "the error box")
            self.shot("error-box")
            program.click_button("OK", "alert")
            wait_for("the box to close", lambda: program.gone(BOX_TITLE))
            program.close()
        finally:
            program.kill()

    # A settings file that cannot be written: the close shows the box and the program stays;
    # once the file can be written the next close ends it.
    def test_error_box_of_a_refused_settings_write_reads_aloud(self):
        if os.path.exists(self.ini):
            os.remove(self.ini)
        os.mkdir(self.ini)  # a folder where the file belongs: no user can write it
        program = self.start()
        try:
            program.main.close_by_window_manager()
            caption, text = read_alert(program)
            check(caption == "Operator", "box caption %r" % caption)
            check(text == "Unable to write to %s." % self.ini, "box text %r" % text)
            program.click_button("OK", "alert")
            wait_for("the box to close", lambda: program.gone(BOX_TITLE))
            check(not program.ended(), "the program ended although its settings were not written")
            os.rmdir(self.ini)
            program.close()
        finally:
            program.kill()
            if os.path.isdir(self.ini):
                os.rmdir(self.ini)
        check(form_values(self.read_settings())["Width"] is not None, "nothing written")

    # The sequence after which a refused save once showed no box: a refused connection's box
    # answered with Return, that program killed, then on the same desktop a new program whose
    # settings file cannot be replaced, closed through the window manager. Every close shows
    # the box and keeps the program; once the file can be written the next close ends it.
    def test_refused_write_after_a_killed_program_shows_its_box_every_time(self):
        stored = settings_text(100, 200, 420, 112, "http://127.0.0.1:%d" % free_port(), 0)
        self.write_settings(stored)
        killed = self.start()
        try:
            killed.click_button("Следующий")
            killed.window(BOX_TITLE)
            run(["xdotool", "key", "Return"], self.desktop.env, check_status=True)
            wait_for("the box to close", lambda: killed.gone(BOX_TITLE))
        finally:
            killed.kill()
        folder = tempfile.mkdtemp(prefix="desktop-test-second-")
        ini = os.path.join(folder, "Operator.ini")
        program = None
        try:
            shutil.copy2(os.path.join(self.folder, "Operator"), os.path.join(folder, "Operator"))
            with open(ini, "w", newline="") as f:
                f.write(stored)
            make_unreplaceable(ini)
            program = Program(self.desktop, folder, self.scale)
            for close in range(1, 4):
                program.main.close_by_window_manager()
                caption, text = read_alert(program)
                check((caption, text) == ("Operator", "Unable to write to %s." % ini),
                      "close %d: box %r %r" % (close, caption, text))
                program.click_button("OK", "alert")
                wait_for("the box to close", lambda: program.gone(BOX_TITLE))
                check(not program.ended(), "close %d ended the program" % close)
            make_replaceable(ini)
            program.close()
        finally:
            if program is not None:
                program.kill()
            make_replaceable(ini)
            shutil.rmtree(folder, ignore_errors=True)

    # What a screen reader says of the three windows: every control has a name (not a bare
    # caption letter), the operator window's controls a description of what they do, the
    # settings window's fields are named by their labels and the About window's captions label
    # their values.
    def test_every_control_has_a_name_for_a_screen_reader(self):
        self.write_settings(settings_text(100, 200, 420 * self.scale, 112 * self.scale))
        program = self.start()
        try:
            main = controls_of(accessible_window(program, "filler", OPERATOR_TITLE))
            check_named(main, OPERATOR_TITLE)
            buttons = {c.name: c.description for c in main if c.getRoleName() == "push button"}
            check(set(buttons) == {"Следующий", "Настройка", "Кнопка H", "О программе"},
                  "the operator window's buttons are %s" % sorted(buttons))
            check(all(buttons.values()), "a button says nothing of what it does: %s" % buttons)
            for role in ("combo box", "text"):
                control = only(main, role)
                check(control.description, "the %s %r has no description" % (role, control.name))

            program.click_button("Настройка")
            dialog = program.window(SETTINGS_TITLE)
            settings = controls_of(accessible_window(program, "dialog", SETTINGS_TITLE))
            check_named(settings, SETTINGS_TITLE)
            labels = [c.name for c in settings if c.getRoleName() == "label"]
            for role in ("combo box", "text"):
                field = only(settings, role)
                check(field.name in labels and
                      relation_targets(field, "LABELLED_BY") == [field.name],
                      "the %s is named %r, labelled by %s; the labels are %s" % (
                          role, field.name, relation_targets(field, "LABELLED_BY"), labels))
                check(field.description, "the %s %r has no description" % (role, field.name))
            dialog.close_by_window_manager()
            wait_for("the settings window to close", lambda: program.gone(SETTINGS_TITLE))

            program.click_button("О программе")
            dialog = program.window(ABOUT_TITLE)
            about = controls_of(accessible_window(program, "dialog", ABOUT_TITLE))
            check_named(about, ABOUT_TITLE)
            values = {c.name: relation_targets(c, "LABELLED_BY") for c in about
                      if relation_targets(c, "LABELLED_BY")}
            check(values == {"1.0.0.1": ["Версия:"], "tarvix.ru": ["Сайт:"],
                             "support@tarvix.ru": ["Почта:"], "ТАРВИКС": ["Компания:"],
                             "Сидоров П. Н.": ["Автор:"]}, "captions and values: %s" % values)
            links = [c for c in about if c.name in ("tarvix.ru", "support@tarvix.ru")]
            check(len(links) == 2 and all(link.description for link in links),
                  "a link says nothing of what it does")
            dialog.close_by_window_manager()
            wait_for("the About window to close", lambda: program.gone(ABOUT_TITLE))
            program.close()
        finally:
            program.kill()

    # When an answer arrives, the big list's new text is announced: a combo box tells its value
    # on this desktop as a change of its name, which a screen reader speaks; afterwards the
    # list and its one entry read back the answer.
    def test_an_answer_is_announced_by_the_big_list(self):
        with AnswerServer("A015") as server:
            self.write_settings(settings_text(100, 200, 420, 112, server.url, 2))
            # A screen reader listens for value changes as well; the program sends the news
            # only to listeners of those.
            events = AccessibleEvents(self.desktop, "object:property-change:accessible-value",
                                      "object:property-change:accessible-name")
            program = None
            try:
                program = self.start()
                main = accessible_window(program, "filler", OPERATOR_TITLE)
                program.click_button("Следующий")
                events.wait_for("the big list to announce the answer",
                                lambda e: e[1] == "combo box" and e[2] == "A015")
                check(server.targets == ["/getQueue?operator=3"], "requests %s" % server.targets)
                big_list = only(controls_of(main), "combo box")
                entries = [entry.name for popup in big_list for entry in popup]
                check(big_list.name == "A015" and entries == ["A015"],
                      "the list reads %r with the entries %s" % (big_list.name, entries))
                check(big_list.description, "the list lost its description")
                program.close()
            finally:
                events.close()
                if program is not None:
                    program.kill()


def check_named(controls, window):
    """Every control has a name that says more than one drawn letter."""
    check(controls, "the %s window shows no controls to a screen reader" % window)
    unnamed = ["%s %r" % (c.getRoleName(), c.name) for c in controls if len(c.name.strip()) < 2]
    check(not unnamed, "in the %s window a screen reader finds no name for %s" % (window, unnamed))


def only(controls, role):
    found = [c for c in controls if c.getRoleName() == role]
    check(len(found) == 1, "%d controls of the role %s" % (len(found), role))
    return found[0]


def check_close_only(window, what):
    """The window asks the window manager for a close button and nothing else in its caption
    (Motif hints: no minimise, no maximise), and the manager offers no maximising. Openbox, by
    its own policy, still offers minimising every window, whatever a program asks."""
    hints = [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", window.prop("_MOTIF_WM_HINTS"))]
    minimise_function, maximise_function = 0x08, 0x10
    minimise_button, maximise_button = 0x20, 0x40
    check(len(hints) >= 3 and not hints[1] & (minimise_function | maximise_function)
          and not hints[2] & (minimise_button | maximise_button),
          "%s asks for minimise or maximise: %s" % (what, hints))
    actions = window.prop("_NET_WM_ALLOWED_ACTIONS")
    check("MAXIMIZE" not in actions, "%s can be maximised: %s" % (what, actions))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--operator", required=True)
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("--screenshots")
    parser.add_argument("--only")
    args = parser.parse_args()

    desktop = Desktop()
    passed, failed = 0, 0
    try:
        desktop.start()
        scenarios = Scenarios(desktop, args.operator, args.scale, args.screenshots)
        try:
            names = [n for n in dir(scenarios) if n.startswith("test_")]
            for name in sorted(names):
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
            scenarios.cleanup()
    finally:
        desktop.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
