#!/usr/bin/env python3
"""Runs a Windows program under Wine on an X display of its own: Xvfb on the first free display
number from 40 up, the program's exit status passed on, the display stopped afterwards.

The Wine prefix (WINEPREFIX) must be the program's own: Wine's desktop process keeps the display
it was started with for as long as the prefix's Wine server runs, so a prefix shared with
programs started without a display (the unit tests) gives windows nowhere to go. The prefix is
made on the display when it is missing, and its Wine server is ended before the display is.

Usage: run_on_display.py PROGRAM [ARGUMENTS...]
"""
import os
import subprocess
import sys
import time

START_BOUND = 20    # seconds for the display to come up
PREFIX_BOUND = 120  # seconds for Wine to make the prefix
RUN_BOUND = 240     # seconds for the program
STOP_BOUND = 30     # seconds for the prefix's Wine server to end


def free_display():
    for number in range(40, 100):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                not os.path.exists("/tmp/.X%d-lock" % number):
            return number
    raise SystemExit("no free X display number")


def start_display():
    """Starts Xvfb on the first free display number; returns the number and the server."""
    for attempt in range(5):
        number = free_display()
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24",
                                   "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + START_BOUND
        while time.monotonic() < deadline and server.poll() is None and \
                not os.path.exists("/tmp/.X11-unix/X%d" % number):
            time.sleep(0.05)
        if server.poll() is None:
            return number, server
        # another developer may have taken the number meanwhile: try the next
    raise SystemExit("Xvfb did not start")


def stop_display(server):
    server.terminate()
    try:
        server.wait(timeout=10)
    except subprocess.TimeoutExpired:
        server.kill()


def main():
    arguments = sys.argv[1:]
    if not arguments:
        raise SystemExit(__doc__)
    number, server = start_display()
    try:
        environment = dict(os.environ, DISPLAY=":%d" % number)
        environment.setdefault("WINEDEBUG", "-all")
        prefix = environment.get("WINEPREFIX")
        if prefix and not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=environment, timeout=PREFIX_BOUND,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return subprocess.run(["wine"] + arguments, env=environment,
                                  timeout=RUN_BOUND).returncode
        finally:
            subprocess.run(["wineserver", "-k"], env=environment, timeout=STOP_BOUND,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    finally:
        stop_display(server)


if __name__ == "__main__":
    sys.exit(main())
