#!/usr/bin/env python3
"""Runs a Windows program under Wine on an X display of its own: Xvfb on the first free display
number from 40 up, the program's exit status passed on, the display stopped afterwards.

Usage: run_on_display.py PROGRAM [ARGUMENTS...]
"""
import os
import subprocess
import sys
import time

START_BOUND = 20  # seconds for the display to come up
RUN_BOUND = 240   # seconds for the program


def free_display():
    for number in range(40, 100):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                not os.path.exists("/tmp/.X%d-lock" % number):
            return number
    raise SystemExit("no free X display number")


def main():
    arguments = sys.argv[1:]
    if not arguments:
        raise SystemExit(__doc__)
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
            break  # another developer may have taken the number meanwhile: try the next
    else:
        raise SystemExit("Xvfb did not start")
    try:
        environment = dict(os.environ, DISPLAY=":%d" % number)
        environment.setdefault("WINEDEBUG", "-all")
        return subprocess.run(["wine"] + arguments, env=environment, timeout=RUN_BOUND).returncode
    finally:
        server.terminate()
        try:
            server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()


if __name__ == "__main__":
    sys.exit(main())
