#!/usr/bin/python3
"""The Windows release files as a desk gets them, under Wine on a desktop of its own (Xvfb and
openbox, desktop_test.py's Desktop; a fresh Wine prefix, operator_ui_test.py's Wine). Wine here
is 64-bit only: the 32-bit programs are checked as files (pe_check.py, run by scripts/package),
and the 32-bit MSI package installed by the 64-bit msiexec, which runs no custom action of it
unless a preset is given.

The zips: Operator.exe, qget.exe and the read-me alone at their top. The installer (64-bit): a
bad preset (/WINDOW= outside 1-7, /SERVER= without http:// or https://) ends it with exit code 2
and nothing installed; run silently (/S) with a preset, it puts the program into the user's
%LOCALAPPDATA%\\Programs\\Queue Operator without asking for elevation, with a Start-menu entry
and an entry in the installed-programs list, and writes the preset into Operator.ini; the
installed Operator.exe starts from there and its close (through the window manager, as the
frame's close button does) writes the settings file beside it, keeping the preset; a newer
version installed over it keeps the clerk's file byte for byte and leaves one list entry; the
uninstaller, run silently, removes what was installed and leaves the settings file. The MSI
packages (msiexec /qn): a bad preset fails the install (1603) with nothing installed; an older
package (made here with wixl from the release package's own files) replaced by the release one,
which keeps the clerk's file and leaves one list entry; a preset written on a bare desk; the
uninstall (/x) leaving Operator.ini. Every wait is bounded.

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
        check(names == ["Operator.exe", "qget.exe", "README.txt"], "the zip holds %s" % names)
        readme = archive.read("README.txt")
        program = archive.read("Operator.exe")
    check(readme.startswith(b"\xef\xbb\xbf") and b"\r\n" in readme and b"\n\n" not in readme,
          "the read-me is not UTF-8 with a byte-order mark and CR LF lines")
    text = readme.decode("utf-8-sig")
    for words in ("Файл настроек", "The settings file", "Window=", "Operator.ini", "qget",
                  "/SERVER=", "msiexec"):
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

    def listed(self):
        """The installed-programs list's entries for the program (Wine's uninstaller)."""
        _, out = self.wine_run(["uninstaller", "--list"])
        return [line for line in out.splitlines() if "Queue Operator" in line]

    def windows_path(self, path):
        return subprocess.run(["winepath", "-w", path], env=self.wine.env, capture_output=True,
                              text=True, timeout=WINE_TIMEOUT).stdout.strip()

    def msiexec(self, *args):
        status, _ = self.wine_run(["msiexec"] + list(args), timeout=WINE_TIMEOUT * 2)
        return status


def operator_window(desktop):
    out = run(["xdotool", "search", "--all", "--onlyvisible", "--name", "^Оператор$"],
              desktop.env)
    return out.split()[0] if out.split() else None


PRESET_SERVER = "http://10.0.0.5:8080"
CLERKS_FILE = "[Server]\r\nHost=http://clerk.example\r\nWindow=6\r\n[Form]\r\nTop=7\r\n"


def read_text(path):
    with open(path, newline="", encoding="utf-8", errors="replace") as f:
        return f.read()


def preset_lines(text):
    """The [Server] lines of a settings file, without their line breaks."""
    lines = [line.strip() for line in text.splitlines()]
    start = lines.index("[Server]") if "[Server]" in lines else len(lines)
    return [line for line in lines[start + 1:] if line and not line.startswith("[")][:2]


def check_nsis(installed, desktop, setup, version, zipped_program, target, shortcut):
    wine = installed.wine
    # A bad preset ends the installer before anything is installed.
    for bad in (["/WINDOW=8"], ["/WINDOW=0"], ["/SERVER=10.0.0.5:8080", "/WINDOW=3"]):
        status, _ = installed.wine_run([setup, "/S"] + bad)
        check(status == 2, "setup /S %s ended with %d, not 2" % (" ".join(bad), status))
        check(not os.path.exists(target) and installed.registered() is None,
              "setup /S %s installed something" % " ".join(bad))
    print("    bad presets (/WINDOW=8, /WINDOW=0, /SERVER= without http://) end the installer "
          "with 2, nothing installed")

    status, _ = installed.wine_run([setup, "/S", "/SERVER=" + PRESET_SERVER, "/WINDOW=3"])
    check(status == 0, "the silent install ended with %d" % status)
    check(sorted(os.listdir(target)) ==
          ["Operator.exe", "Operator.ini", "README.txt", "Uninstall.exe", "qget.exe"],
          "installed: %s" % os.listdir(target))
    with open(os.path.join(target, "Operator.exe"), "rb") as f:
        check(f.read() == zipped_program, "the installer and the zip differ in Operator.exe")
    check(os.path.isfile(shortcut), "no Start-menu entry %s" % shortcut)
    listing = installed.registered()
    check(listing is not None, "not in the installed-programs list")
    for value in ("Queue Operator", version, "Uninstall.exe", "QuietUninstallString"):
        check(value in listing, "the installed-programs entry lacks %r:\n%s" % (value, listing))
    ini = os.path.join(target, "Operator.ini")
    check(preset_lines(read_text(ini)) == ["Host=" + PRESET_SERVER, "Window=2"],
          "the preset wrote %r" % read_text(ini))
    print("    installed into %s with the preset (Host=%s, Window=2), Start-menu entry, listed "
          "as Queue Operator %s" % (target, PRESET_SERVER, version))

    # Started from its folder by its full path, elsewhere as the working folder.
    program = subprocess.Popen(["wine", os.path.join(target, "Operator.exe")], cwd=target,
                               env=wine.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        window = wait_for("the operator window", lambda: operator_window(desktop), WINE_TIMEOUT)
        run(["wmctrl", "-i", "-c", window], desktop.env, check_status=True)
        wait_for("the program's end", lambda: program.poll() is not None, WINE_TIMEOUT)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait(timeout=10)
    check(program.returncode == 0, "Operator.exe ended with %d" % program.returncode)
    text = read_text(ini)
    values = form_values(text)
    check(values["Width"] is not None and values["Height"] is not None,
          "the close wrote %s" % values)
    check(preset_lines(text) == ["Host=" + PRESET_SERVER, "Window=2"],
          "the close lost the preset: %r" % text)
    print("    Operator.exe started from there with the preset; its close wrote %s" % values)

    # A newer version over an older one: the list entry said 0.9 before, the clerk's file is
    # the clerk's; a preset given again changes nothing in it.
    status, _ = installed.wine_run(["reg", "add", UNINSTALL_KEY, "/v", "DisplayVersion", "/d",
                                    "0.9", "/f"])
    check(status == 0, "could not mark the install as older")
    with open(ini, "w", newline="") as f:
        f.write(CLERKS_FILE)
    status, _ = installed.wine_run([setup, "/S", "/SERVER=http://other.example", "/WINDOW=1"])
    check(status == 0, "the install over the older one ended with %d" % status)
    check(read_text(ini) == CLERKS_FILE, "the install over an older one changed Operator.ini")
    check(version in (installed.registered() or ""), "the list entry's version was not renewed")
    check(len(installed.listed()) == 1, "installed-programs list: %s" % installed.listed())
    print("    installed over an older version: the clerk's Operator.ini kept byte for byte, one "
          "list entry, version %s" % version)

    # The uninstaller copies itself away and returns at once; its work is awaited.
    status, _ = installed.wine_run([os.path.join(target, "Uninstall.exe"), "/S"])
    check(status == 0, "the silent uninstall ended with %d" % status)
    wait_for("the uninstaller's end", lambda: os.listdir(target) == ["Operator.ini"] and
             not os.path.exists(shortcut), WINE_TIMEOUT)
    check(installed.registered() is None, "still in the installed-programs list")
    print("    uninstalled: %s left, Start-menu entry and list entry gone" % os.listdir(target))


def older_msi(installed, msi, work):
    """The release package rebuilt by wixl at version 0.9.0.0 from its own files: the older
    package that the release one must replace."""
    files = os.path.join(work, "older")
    os.makedirs(files)
    subprocess.run(["msiextract", "-C", files, msi], check=True, capture_output=True,
                   timeout=WINE_TIMEOUT)
    for name in ("Operator.exe", "qget.exe", "README.txt"):
        found = glob.glob(os.path.join(files, "**", name), recursive=True)
        check(len(found) == 1, "%s in the MSI package: %s" % (name, found))
        shutil.move(found[0], os.path.join(files, name))
    for stream, name in (("Binary.DeskPresetAction", "desk_preset_action.dll"),
                         ("Icon.OperatorIcon", "MAINICON.ico")):
        with open(os.path.join(files, name), "wb") as f:
            subprocess.run(["msiinfo", "extract", msi, stream], stdout=f, check=True,
                           timeout=WINE_TIMEOUT)
    older = os.path.join(work, "older.msi")
    subprocess.run(["wixl", "-a", "x64", "-D", "Version=0.9.0.0", "-o", older,
                    os.path.join(here, "..", "..", "packaging", "windows", "Operator.wxs")],
                   cwd=files, check=True, capture_output=True, timeout=WINE_TIMEOUT)
    return older


def check_msi(installed, msi64, msi32, version, target, shortcut, work):
    ini = os.path.join(target, "Operator.ini")
    new = installed.windows_path(msi64)
    # A bad preset fails the install before anything is installed.
    for bad in (["WINDOW=9"], ["SERVER=queue.example", "WINDOW=2"]):
        status = installed.msiexec("/i", new, "/qn", *bad)
        # Windows Installer's 1603 (ERROR_INSTALL_FAILURE), as Wine's msiexec ends with it: a
        # Unix exit status keeps its low eight bits.
        check(status == 1603 % 256, "msiexec /i %s ended with %d, not 1603" % (" ".join(bad),
                                                                             status))
        check(not os.path.exists(os.path.join(target, "Operator.exe")) and not installed.listed(),
              "msiexec /i %s installed something" % " ".join(bad))
    print("    MSI: bad presets (WINDOW=9, SERVER= without http://) fail the install with 1603, "
          "nothing installed")

    older = installed.windows_path(older_msi(installed, msi64, work))
    status = installed.msiexec("/i", older, "/qn")
    check(status == 0, "the older package's install ended with %d" % status)
    check(len(installed.listed()) == 1, "the older package's list: %s" % installed.listed())
    with open(ini, "w", newline="") as f:
        f.write(CLERKS_FILE)
    status = installed.msiexec("/i", new, "/qn", "SERVER=http://other.example", "WINDOW=1")
    check(status == 0, "the release package over the older one ended with %d" % status)
    check(sorted(os.listdir(target)) == ["Operator.exe", "Operator.ini", "README.txt", "qget.exe"],
          "installed: %s" % os.listdir(target))
    check(os.path.isfile(shortcut), "no Start-menu entry %s" % shortcut)
    check(read_text(ini) == CLERKS_FILE, "the package over an older one changed Operator.ini")
    check(len(installed.listed()) == 1, "installed-programs list: %s" % installed.listed())
    print("    MSI %s replaced the older 0.9.0.0: the clerk's Operator.ini kept byte for byte, "
          "one list entry: %s" % (version, installed.listed()[0]))

    status = installed.msiexec("/x", new, "/qn")
    check(status == 0, "msiexec /x ended with %d" % status)
    check(os.listdir(target) == ["Operator.ini"] and not os.path.exists(shortcut)
          and not installed.listed(), "after /x: %s, list %s" % (os.listdir(target),
                                                                 installed.listed()))
    os.remove(ini)
    print("    MSI uninstalled (/x): Operator.ini left, Start-menu entry and list entry gone")

    status = installed.msiexec("/i", new, "/qn", "SERVER=" + PRESET_SERVER, "WINDOW=7")
    check(status == 0, "the install with a preset ended with %d" % status)
    check(preset_lines(read_text(ini)) == ["Host=" + PRESET_SERVER, "Window=6"],
          "the MSI preset wrote %r" % read_text(ini))
    check(installed.msiexec("/x", new, "/qn") == 0, "msiexec /x failed")
    os.remove(ini)
    print("    MSI preset on a bare desk: Host=%s, Window=6 written" % PRESET_SERVER)

    # The 32-bit package, by the 64-bit msiexec.
    status = installed.msiexec("/i", installed.windows_path(msi32), "/qn")
    check(status == 0, "the 32-bit package's install ended with %d" % status)
    with open(os.path.join(target, "Operator.exe"), "rb") as f:
        program = f.read()
    pe = int.from_bytes(program[0x3C:0x40], "little")
    check(program[pe + 4:pe + 6] == b"\x4c\x01", "the 32-bit package's Operator.exe is no i386 program")
    check(len(installed.listed()) == 1, "installed-programs list: %s" % installed.listed())
    check(installed.msiexec("/x", installed.windows_path(msi32), "/qn") == 0,
          "the 32-bit package's /x failed")
    check(not os.path.exists(target) and not installed.listed(),
          "the 32-bit package's /x left %s, list %s" % (target, installed.listed()))
    print("    32-bit MSI installed and removed by the 64-bit msiexec")


def main():
    folder = os.path.abspath(sys.argv[1])
    setup = release_file(folder, "Operator-*-win64-setup.exe")
    version = os.path.basename(setup).split("-")[1]
    zipped_program = check_zip(release_file(folder, "Operator-*-win64.zip"))
    check_zip(release_file(folder, "Operator-*-win32.zip"))
    for name in ("Operator-*-win64-setup.exe", "Operator-*-win32-setup.exe"):
        with open(release_file(folder, name), "rb") as f:
            check(b'level="asInvoker"' in f.read(), "%s asks for elevation" % name)
    msi64 = release_file(folder, "Operator-*-win64.msi")
    msi32 = release_file(folder, "Operator-*-win32.msi")

    desktop = Desktop()
    prefix = tempfile.mkdtemp(prefix="windows-install-test-")
    wine = None
    try:
        desktop.start()
        # No desktop entries of the Unix user's own for the Windows programs.
        desktop.env["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
        wine = Wine(desktop, os.path.join(prefix, "wine"), 96)
        installed = Installed(wine)
        target = os.path.join(installed.unix_path("LOCALAPPDATA"), "Programs", "Queue Operator")
        programs_menu = os.path.join(installed.unix_path("APPDATA"),
                                     "Microsoft", "Windows", "Start Menu", "Programs")
        shortcut = os.path.join(programs_menu, "Operator.lnk")
        check_nsis(installed, desktop, setup, version, zipped_program, target, shortcut)
        os.remove(os.path.join(target, "Operator.ini"))
        os.rmdir(target)
        check_msi(installed, msi64, msi32, version, target, shortcut, prefix)
    finally:
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
