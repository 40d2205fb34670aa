#!/usr/bin/env python3
"""The Windows bench: Operator.exe and qget.exe, the Windows programs, each set against a floor
program of bench/windows built with the same flags, both sides measured in one run under one
Wine prefix and one Wine server on an X display of the bench's own, their runs interleaved.

  size       Operator.exe stripped as released, beside the minimal window program stripped
  start-up   CPU time (user + system) of the program's Wine process from its start to its
             window shown and painted, and its peak resident set then, beside the minimal
             window program started the same way
  presses    CPU time of one plain press (qget.exe beside a bare Windows Sockets client making
             the same GET to the same loopback server) and of one https press (beside a bare
             Schannel client with the program's protocol settings)

Only the program's own process is counted: the Wine server and Wine's own services (the
desktop, the device and service processes) are shared by both sides and kept running for the
whole bench, so neither side pays their start.

usage: windows_bench.py BUILD_DIR OUT_DIR RUNS
Writes OUT_DIR/windows-rows.json (the table's rows) and OUT_DIR/windows-details.txt (each row's
runs and spread), and prints both.
"""
import json
import os
import pathlib
import shutil
import socket
import ssl
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "windows"))
from run_on_display import start_display, stop_display  # noqa: E402

MIB = 1024 * 1024
SIZE_GOAL_MIB = 1.5
# The answer of the test server, and the line qget prints for it.
ANSWER = b"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nA-017"
ANSWER_LINE = '{"ok":true,"answer":"A-017"}'
# Every wait is bounded.
PREFIX_BOUND_S = 180
WINDOW_BOUND_MS = 60000
PROGRAM_BOUND_S = 120
PEER_BOUND_S = 30
# Presses per process: enough that the process's own start, measured apart and taken out (see
# press_samples), leaves little of its spread in the figure per press (a start varies by some
# 10 ms here, 0.03 ms a press over 500 presses, a tenth of a plain press), and few enough that
# qget's command line stays within its bound (below).
PRESSES = {"plain": 1400, "https": 1000}
# qget.exe's command line names each press's URL: after the first, relative to the one before
# (the same URL again), so that the presses fit the command line's bound of 32767 characters.
AGAIN = "/getQueue?operator=3"
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def log(text):
    print(text, file=sys.stderr, flush=True)


class LoopbackServer:
    """A queue server on loopback that answers each connection in turn: reads the head, sends
    the answer, waits for the client's close (its close notification over TLS) and closes too.
    Keeps the first head it read, which the floors send as theirs."""

    def __init__(self, context=None):
        self.context = context
        self.listener = socket.create_server(("127.0.0.1", 0), backlog=64)
        self.port = self.listener.getsockname()[1]
        self.first_head = None
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return  # closed
            connection.settimeout(PEER_BOUND_S)
            try:
                stream = connection
                if self.context is not None:
                    stream = self.context.wrap_socket(connection, server_side=True)
                head = b""
                while b"\r\n\r\n" not in head:
                    chunk = stream.recv(4096)
                    if not chunk:
                        break
                    head += chunk
                if self.first_head is None:
                    self.first_head = head
                stream.sendall(ANSWER)
                while stream.recv(4096):
                    pass
            except (OSError, ssl.SSLError):
                pass  # a client that went away: its own output tells
            finally:
                connection.close()

    def close(self):
        self.listener.close()


def tls_context(directory):
    """A server context with a fresh self-signed certificate; neither client checks it."""
    key, cert = os.path.join(directory, "key.pem"), os.path.join(directory, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-subj", "/CN=localhost", "-days", "1"],
                   check=True, capture_output=True, timeout=PEER_BOUND_S)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def process_figures(pid):
    """CPU time (user + system, seconds) and peak resident set (bytes) of a running process,
    from /proc: the kernel's accounting of every thread, the ended ones included."""
    stat = pathlib.Path(f"/proc/{pid}/stat").read_text()
    fields = stat[stat.rindex(")") + 2:].split()
    cpu = (int(fields[11]) + int(fields[12])) / CLOCK_TICKS
    # The running threads' own time to the nanosecond: finer than the clock ticks above, and
    # taken instead of them when it covers them (no thread has ended).
    running = 0
    for task in pathlib.Path(f"/proc/{pid}/task").iterdir():
        running += int((task / "schedstat").read_text().split()[0])
    if running / 1e9 >= cpu - 1 / CLOCK_TICKS:
        cpu = running / 1e9
    peak = 0
    for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            peak = int(line.split()[1]) * 1024
    return cpu, peak


class Wine:
    """One Wine prefix on one display, its Wine server kept for the whole bench."""

    def __init__(self, prefix, display):
        self.environment = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all",
                                DISPLAY=":%d" % display)
        if not (prefix / "system.reg").exists():
            log("== making the bench's Wine prefix")
            self.run(["wineboot", "-i"], PREFIX_BOUND_S)
            # Its Wine server writes the prefix's registry when it ends.
            self.run(["wineserver", "-w"], PREFIX_BOUND_S)
        self.run(["wineserver", "-p"], PEER_BOUND_S)
        # The first program of a server's session starts Wine's services: not counted.
        self.run(["wine", "cmd", "/c", "exit"], PREFIX_BOUND_S)

    def run(self, command, bound):
        subprocess.run(command, env=self.environment, timeout=bound,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, command, **options):
        return subprocess.Popen(["wine"] + command, env=self.environment, **options)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.environment, timeout=PEER_BOUND_S,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Probe:
    """window_probe.exe, running for the whole start-up bench (see its source)."""

    def __init__(self, wine, program, log_file):
        self.process = wine.start([str(program)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=log_file, text=True)

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().split()

    def quit(self):
        self.process.stdin.write("quit\n")
        self.process.stdin.close()
        self.process.wait(timeout=PEER_BOUND_S)


def start_once(wine, probe, program, class_name):
    """Starts the program, waits for its window shown and painted, reads its figures, closes it;
    returns (CPU seconds, peak bytes)."""
    child = wine.start([str(program)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        answer = probe.ask(f"painted {class_name} {WINDOW_BOUND_MS}")
        if answer[:1] != ["ok"]:
            raise SystemExit(f"windows bench: {program.name} showed no painted window "
                             f"({' '.join(answer[1:]) or 'the probe ended'})")
        figures = process_figures(child.pid)
        probe.ask(f"close {answer[1]}")
        child.wait(timeout=PROGRAM_BOUND_S)
        return figures
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()


def run_counted(wine, command):
    """Runs a console program to its end; returns its CPU seconds (user + system, from the
    kernel's accounting of the process when it is reaped) and what it printed."""
    child = wine.start(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    timer = threading.Timer(PROGRAM_BOUND_S, child.kill)
    timer.start()
    output = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    timer.cancel()
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise SystemExit(f"windows bench: {' '.join(command[:2])} ... exited {child.returncode}")
    return usage.ru_utime + usage.ru_stime, output


def median_and_spread(values):
    quartiles = statistics.quantiles(values, n=4)
    return statistics.median(values), quartiles[0], quartiles[2]


def main():
    build, out = (pathlib.Path(a).resolve() for a in sys.argv[1:3])
    runs = int(sys.argv[3])
    out.mkdir(parents=True, exist_ok=True)
    stage = out / "stage"
    shutil.rmtree(stage, ignore_errors=True)
    stage.mkdir()
    # Every program stripped, as Operator.exe is released: both sides alike.
    built = {"Operator.exe": build / "win32" / "Operator.exe",
             "minimal_window.exe": build / "bench" / "windows" / "minimal_window.exe",
             "qget.exe": build / "tools" / "qget" / "qget.exe",
             "bare_winsock_press.exe": build / "bench" / "windows" / "bare_winsock_press.exe",
             "bare_schannel_press.exe": build / "bench" / "windows" / "bare_schannel_press.exe",
             "window_probe.exe": build / "bench" / "windows" / "window_probe.exe"}
    for name, path in built.items():
        subprocess.run(["x86_64-w64-mingw32-strip", "-o", str(stage / name), str(path)],
                       check=True)
    program = {name: stage / name for name in built}

    rows, details = [], [f"Windows bench: {runs} runs of each side, interleaved, after one "
                         "warm-up run each; medians, spread as the quartiles"]

    def ratio_row(what, counted, ours, floor, shown, target, samples=None):
        ratio = ours / floor
        rows.append((what, counted, shown(ours), shown(floor), f"{ratio:.3f}",
                     f"<= {target:.2f}", "yes" if ratio <= target else "NO"))
        if samples:
            text = "; ".join(
                f"{side} median {shown(m)} (quartiles {shown(q1)} .. {shown(q3)})"
                for side, (m, q1, q3) in zip(("program", "floor"),
                                             map(median_and_spread, samples)))
            details.append(f"{what}, {counted}: {text}")

    ours, floor = (program[n].stat().st_size for n in ("Operator.exe", "minimal_window.exe"))
    rows.append(("Operator.exe stripped vs minimal window program", "bytes",
                 f"{ours:,} ({ours / MIB:.2f} MiB)", f"{floor:,}", f"{ours / floor:.1f}",
                 f"<= {SIZE_GOAL_MIB:.2f} MiB", "yes" if ours <= SIZE_GOAL_MIB * MIB else "NO"))

    number, display = start_display()
    wine = None
    try:
        wine = Wine(out / "wineprefix", number)
        log("== Windows start-up")
        probe = Probe(wine, program["window_probe.exe"], (out / "probe.log").open("w"))
        sides = (("Operator.exe", "TMainForm"), ("minimal_window.exe", "BenchMinimalWindow"))
        started = {name: [] for name, _ in sides}
        for run in range(runs + 1):
            # Interleaved, each side first every other run.
            for name, class_name in (sides if run % 2 == 0 else sides[::-1]):
                figures = start_once(wine, probe, program[name], class_name)
                if run > 0:
                    started[name].append(figures)
        probe.quit()
        cpu = [[cpu for cpu, _ in started[name]] for name, _ in sides]
        peak = [[peak / MIB for _, peak in started[name]] for name, _ in sides]
        what = "Windows start-up to window painted vs minimal window"
        ratio_row(what, "CPU time", statistics.median(cpu[0]), statistics.median(cpu[1]),
                  lambda v: f"{v * 1000:.1f} ms", 1.30, cpu)
        ratio_row(what, "peak memory", statistics.median(peak[0]), statistics.median(peak[1]),
                  lambda v: f"{v:.2f} MiB", 1.50, peak)

        with tempfile.TemporaryDirectory() as directory:
            servers = {"plain": LoopbackServer(), "https": LoopbackServer(tls_context(directory))}
            for kind, target, floor_name in (("plain", 1.20, "bare_winsock_press.exe"),
                                             ("https", 1.10, "bare_schannel_press.exe")):
                log(f"== Windows {kind} press")
                samples = press_samples(wine, program, servers[kind], kind, floor_name, runs)
                ratio_row(f"Windows {kind} press, qget.exe vs bare "
                          f"{'Winsock' if kind == 'plain' else 'Schannel'} client",
                          "CPU time", statistics.median(samples[0]),
                          statistics.median(samples[1]), lambda v: f"{v * 1000:.3f} ms", target,
                          samples)
            for server in servers.values():
                server.close()
    finally:
        if wine is not None:
            wine.stop()
        stop_display(display)

    (out / "windows-rows.json").write_text(json.dumps(rows, ensure_ascii=False, indent=1))
    (out / "windows-details.txt").write_text("\n".join(details) + "\n")


def press_samples(wine, program, server, kind, floor_name, runs):
    """CPU seconds of one press, per run, of qget.exe and of the floor: each process makes
    PRESSES presses, and the process's own start and end, measured alike with no press (qget
    --version, the floor with a count of 0), is taken out before dividing."""
    count = PRESSES[kind]
    scheme = "http" if kind == "plain" else "https"
    url = f"{scheme}://127.0.0.1:{server.port}{AGAIN}"
    _, output = run_counted(wine, [str(program["qget.exe"]), url])  # warm-up; the head
    if output.strip() != ANSWER_LINE or server.first_head is None:
        raise SystemExit(f"windows bench: qget.exe {url} printed {output.strip()!r}")
    floor_arguments = [str(server.port), "%d", str(len(ANSWER)), server.first_head.hex()]

    def floor_command(presses):
        return [str(program[floor_name])] + [a.replace("%d", str(presses))
                                             for a in floor_arguments]

    commands = {"program": ([str(program["qget.exe"]), url] + [AGAIN] * (count - 1),
                            [str(program["qget.exe"]), "--version"]),
                "floor": (floor_command(count), floor_command(0))}
    samples = {"program": [], "floor": []}
    for run in range(runs + 1):
        order = ("program", "floor") if run % 2 == 0 else ("floor", "program")
        for side in order:
            pressing, idle = commands[side]
            busy, output = run_counted(wine, pressing)
            if side == "program" and output.count(ANSWER_LINE) != count:
                raise SystemExit(f"windows bench: qget.exe's presses failed: {output[:300]!r}")
            start_only, _ = run_counted(wine, idle)
            if run > 0:
                samples[side].append((busy - start_only) / count)
    return samples["program"], samples["floor"]


if __name__ == "__main__":
    main()
