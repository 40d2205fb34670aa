#!/usr/bin/python3
"""What can be checked of a Windows program without starting it: the 32-bit build cannot run on
this machine (no 32-bit Wine), so its release files are read as files instead.

For each program (and the MSI packages' custom-action DLL): a PE32 for i386 (or a PE32+ for
x86-64), a program's subsystem (console for qget.exe and desk-preset.exe, Windows GUI for
Operator.exe) and its OS and subsystem versions 6.0, so that Windows Vista
loads it; every import from a DLL of the system and named in the list of allowed imports
(vista_imports.txt beside this script: each line a DLL and a function that Windows Vista has,
so that a new import is a decision made by adding its line); and for Operator.exe its resources:
the manifest (id 1, asking for no elevation and naming Vista among the systems it supports), the
version, the icon MAINICON, the theme (APPSTYLE/ICEBERGCLASSICO) and the logo (RCDATA/LOGO).

Usage: pe_check.py --machine i386|x86-64 PROGRAM.exe [PROGRAM.exe ...]
Exit status 0 when every check passes; each failure is printed.
"""

import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ALLOWED_IMPORTS = os.path.join(HERE, "vista_imports.txt")

MACHINES = {"i386": (0x14C, 0x10B, "PE32"), "x86-64": (0x8664, 0x20B, "PE32+")}
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
VISTA = (6, 0)
CONSOLE_PROGRAMS = {"qget.exe", "desk-preset.exe"}  # the other program, Operator.exe: GUI
RT_ICON_GROUP = 14
RT_VERSION = 16
RT_RCDATA = 10
RT_MANIFEST = 24
VISTA_GUID = "{e2011457-1546-43c5-a5fe-008deee3d3f0}"
# The systems' own DLLs, present on every Windows from Vista on; nothing of ours ships beside
# the program.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "crypt32.dll", "gdi32.dll", "kernel32.dll", "msi.dll",
    "msimg32.dll", "msvcrt.dll", "ole32.dll", "oleacc.dll", "oleaut32.dll", "secur32.dll",
    "shell32.dll", "user32.dll", "uxtheme.dll", "ws2_32.dll",
}


class Image:
    """One PE file's headers, sections, imports and resources."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.path = path
        if self.data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         _) = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", self.data, optional)[0]
        self.os_version = struct.unpack_from("<HH", self.data, optional + 40)
        self.subsystem_version = struct.unpack_from("<HH", self.data, optional + 48)
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", self.data, table + 40 * i)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError("address 0x%x outside every section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """(dll, function) pairs; an import by ordinal is named #N."""
        rva, size = self.directories[1]
        found = []
        if not size:
            return found
        descriptor = self.offset(rva)
        thunk_size, ordinal_flag = ((4, 1 << 31) if self.magic == 0x10B else (8, 1 << 63))
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, descriptor)
            if not (lookup or name or first):
                return found
            dll = self.text(name)
            thunk = self.offset(lookup or first)
            while True:
                value = int.from_bytes(self.data[thunk:thunk + thunk_size], "little")
                if not value:
                    break
                found.append((dll, "#%d" % (value & 0xFFFF) if value & ordinal_flag
                              else self.text((value & 0x7FFFFFFF) + 2)))
                thunk += thunk_size
            descriptor += 20

    def resources(self):
        """{type: {name: bytes of its first language}}; ids as ints, names as upper-case str."""
        rva, size = self.directories[2]
        if not size:
            return {}
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
                yield key, target

        found = {}
        for kind, names in entries(0):
            for name, languages in entries(names & 0x7FFFFFFF):
                _, leaf = next(entries(languages & 0x7FFFFFFF))
                data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                start = self.offset(data_rva)
                found.setdefault(kind, {})[name] = self.data[start:start + data_size]
        return found


def allowed_imports():
    allowed = set()
    with open(ALLOWED_IMPORTS, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if line:
                allowed.add((line[0].lower(), line[1]))
    return allowed


def check(path, machine, allowed):
    problems = []
    name = os.path.basename(path)
    image = Image(path)
    want_machine, want_magic, kind = MACHINES[machine]
    if image.machine != want_machine or image.magic != want_magic:
        problems.append("not a %s for %s (machine 0x%x, magic 0x%x)"
                        % (kind, machine, image.machine, image.magic))
    gui = name.lower() == "operator.exe"
    console = name.lower() in CONSOLE_PROGRAMS
    want_subsystem = SUBSYSTEM_CONSOLE if console else SUBSYSTEM_GUI
    # A DLL runs in its caller's process, under the caller's subsystem.
    if name.lower().endswith(".exe") and image.subsystem != want_subsystem:
        problems.append("subsystem %d, not %d" % (image.subsystem, want_subsystem))
    for what, version in (("OS", image.os_version), ("subsystem", image.subsystem_version)):
        if tuple(version) != VISTA:
            problems.append("%s version %d.%d, not 6.0" % (what, version[0], version[1]))
    imports = image.imports()
    for dll, function in imports:
        if dll.lower() not in SYSTEM_DLLS:
            problems.append("imports from %s, which is no DLL of the system" % dll)
        elif (dll.lower(), function) not in allowed:
            problems.append("imports %s!%s, which is not in %s: add its line once it is "
                            "known to be in Windows Vista" % (dll, function,
                                                              os.path.basename(ALLOWED_IMPORTS)))
    if gui:
        resources = image.resources()
        manifest = resources.get(RT_MANIFEST, {}).get(1, b"").decode("utf-8", "replace")
        if 'level="asInvoker"' not in manifest or VISTA_GUID not in manifest.lower():
            problems.append("no manifest 1 that asks for no elevation and names Windows Vista")
        if not resources.get(RT_VERSION):
            problems.append("no version resource")
        if "MAINICON" not in resources.get(RT_ICON_GROUP, {}):
            problems.append("no icon MAINICON")
        if not resources.get("APPSTYLE", {}).get("ICEBERGCLASSICO"):
            problems.append("no theme APPSTYLE/ICEBERGCLASSICO")
        if not resources.get(RT_RCDATA, {}).get("LOGO", b"").startswith(b"\x89PNG"):
            problems.append("no logo RCDATA/LOGO")
    dlls = sorted({dll.lower() for dll, _ in imports})
    return problems, "%s: %s, %s, OS %d.%d, %d imports from %s" % (
        name, "PE32" if image.magic == 0x10B else "PE32+", ("DLL" if name.lower().endswith(".dll") else "console" if console else "GUI"),
        image.os_version[0], image.os_version[1],
        len(imports), ", ".join(dlls))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--machine", choices=sorted(MACHINES), required=True)
    parser.add_argument("programs", nargs="+")
    arguments = parser.parse_args()
    allowed = allowed_imports()
    failed = False
    for path in arguments.programs:
        try:
            problems, summary = check(path, arguments.machine, allowed)
        except (OSError, ValueError, struct.error) as error:
            problems, summary = ["unreadable: %s" % error], path
        print(("FAIL " if problems else "ok   ") + summary)
        for problem in problems:
            print("     " + problem)
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
