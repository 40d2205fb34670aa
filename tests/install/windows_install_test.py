#!/usr/bin/python3
"""The Windows release files as a desk gets them, under Wine on a desktop of its own (Xvfb and
openbox, desktop_test.py's Desktop; a fresh Wine prefix, operator_ui_test.py's Wine).

The zip: Operator.exe and the read-me alone at its top. The installer: run silently (/S), it
puts the program into the user's %LOCALAPPDATA%\\Programs\\Queue Operator without asking for
elevation, with a Start-menu entry and an entry in the installed-programs list; the installed
Operator.exe starts from there and its close (through the window manager, as the frame's close
button does) writes the settings file beside it; the uninstaller, run silently, removes what was
installed and leaves the settings file. Every wait is bounded.

Usage: windows_install_test.py FOLDER   (the folder scripts/package made)
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "desktop"))
sys.path.insert(0, os.path.join(here, "..", "windows"))
from desktop_test import Desktop, Failed, check, form_values, run, wait_for  # noqa: E402
from operator_ui_test import Wine  # noqa: E402

WINE_TIMEOUT = 120.0  # one Wine program: the installer, a start of the program
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QueueOperator"


def release_file(folder, pattern):
    found = glob.glob(os.path.join(folder, pattern))
    check(len(found) == 1, "%s in %s: %s" % (pattern, folder, found))
    return found[0]


def check_zip(path):
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        check(names == ["Operator.exe", "README.txt"], "the zip holds %s" % names)
        readme = archive.read("README.txt")
        program = archive.read("Operator.exe")
    check(readme.startswith(b"\xef\xbb\xbf") and b"\r\n" in readme and b"\n\n" not in readme,
          "the read-me is not UTF-8 with a byte-order mark and CR LF lines")
    text = readme.decode("utf-8-sig")
    for words in ("Файл настроек", "The settings file", "Window=", "Operator.ini"):
        check(words in text, "the read-me does not say %r" % words)
    check(program[:2] == b"MZ", "Operator.exe is not a Windows program")
    print("    zip: %s" % ", ".join(names))
    return program


class Installed:
    """The Wine prefix's view of one user's installation."""

    def __init__(self, wine):
        self.wine = wine

    def wine_run(self, args, timeout=WINE_TIMEOUT):
        result = subprocess.run(["wine"] + args, env=self.wine.env, capture_output=True,
                                timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def unix_path(self, variable):
        status, out = self.wine_run(["cmd", "/c", "echo", "%" + variable + "%"])
        check(status == 0 and out.strip(), "no %s" % variable)
        windows = out.strip().splitlines()[-1].strip()
        path = subprocess.run(["winepath", "-u", windows], env=self.wine.env,
                              capture_output=True, text=True, timeout=WINE_TIMEOUT).stdout
        return path.strip()

    def registered(self):
        status, out = self.wine_run(["reg", "query", UNINSTALL_KEY])
        return out if status == 0 else None


def operator_window(desktop):
    out = run(["xdotool", "search", "--all", "--onlyvisible", "--name", "^Оператор$"],
              desktop.env)
    return out.split()[0] if out.split() else None


def main():
    folder = os.path.abspath(sys.argv[1])
    zip_path = release_file(folder, "Operator-*-win64.zip")
    setup = release_file(folder, "Operator-*-win64-setup.exe")
    version = os.path.basename(setup).split("-")[1]
    zipped_program = check_zip(zip_path)
    with open(setup, "rb") as f:
        check(b'level="asInvoker"' in f.read(), "the installer asks for elevation")

    desktop = Desktop()
    prefix = tempfile.mkdtemp(prefix="windows-install-test-")
    wine = program = None
    try:
        desktop.start()
        # No desktop entries of the Unix user's own for the Windows programs.
        desktop.env["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
        wine = Wine(desktop, prefix, 96)
        installed = Installed(wine)

        status, _ = installed.wine_run([setup, "/S"])
        check(status == 0, "the silent install ended with %d" % status)
        target = os.path.join(installed.unix_path("LOCALAPPDATA"), "Programs", "Queue Operator")
        programs_menu = os.path.join(installed.unix_path("APPDATA"),
                                     "Microsoft", "Windows", "Start Menu", "Programs")
        shortcut = os.path.join(programs_menu, "Operator.lnk")
        check(sorted(os.listdir(target)) == ["Operator.exe", "README.txt", "Uninstall.exe"],
              "installed: %s" % os.listdir(target))
        with open(os.path.join(target, "Operator.exe"), "rb") as f:
            check(f.read() == zipped_program, "the installer and the zip differ in Operator.exe")
        check(os.path.isfile(shortcut), "no Start-menu entry %s" % shortcut)
        listing = installed.registered()
        check(listing is not None, "not in the installed-programs list")
        for value in ("Queue Operator", version, "Uninstall.exe", "QuietUninstallString"):
            check(value in listing, "the installed-programs entry lacks %r:\n%s" % (value, listing))
        print("    installed into %s, Start-menu entry, listed as %s %s"
              % (target, "Queue Operator", version))

        # Started from its folder by its full path, elsewhere as the working folder.
        program = subprocess.Popen(["wine", os.path.join(target, "Operator.exe")], cwd=prefix,
                                   env=wine.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        window = wait_for("the operator window", lambda: operator_window(desktop), WINE_TIMEOUT)
        ini = os.path.join(target, "Operator.ini")
        check(not os.path.exists(ini), "a settings file before the first close")
        run(["wmctrl", "-i", "-c", window], desktop.env, check_status=True)
        wait_for("the program's end", lambda: program.poll() is not None, WINE_TIMEOUT)
        check(program.returncode == 0, "Operator.exe ended with %d" % program.returncode)
        with open(ini, newline="") as f:
            values = form_values(f.read())
        check(values["Width"] is not None and values["Height"] is not None,
              "the close wrote %s" % values)
        print("    Operator.exe started from there; its close wrote %s" % values)

        # The uninstaller copies itself away and returns at once; its work is awaited.
        status, _ = installed.wine_run([os.path.join(target, "Uninstall.exe"), "/S"])
        check(status == 0, "the silent uninstall ended with %d" % status)
        wait_for("the uninstaller's end", lambda: os.listdir(target) == ["Operator.ini"] and
                 not os.path.exists(shortcut), WINE_TIMEOUT)
        check(installed.registered() is None, "still in the installed-programs list")
        print("    uninstalled: %s left, Start-menu entry and list entry gone"
              % os.listdir(target))
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait(timeout=10)
        if wine is not None:
            wine.stop()
        desktop.stop()
        shutil.rmtree(prefix, ignore_errors=True)
    print("windows_install_test: passed")
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        sys.exit(main())
    except Failed as error:
        print("FAIL %s" % error)
        sys.exit(1)
