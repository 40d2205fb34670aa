#!/usr/bin/env python3
"""Fails when an include runs against the layers of the program.

core is at the bottom and uses no Qt; queueclient and settings build on core only (and on each
other not at all; the HTTP client and settings' profile layer use no Qt); theme and resources
sit above them; then forms, then app (the Linux program); win32, the Windows program, stands
beside app, uses no Qt at all and nothing of the Linux program (what both programs share lives
in core, settings and theme); tools may use everything below. An include of a folder on the
same floor or a higher one, or of Qt where Qt does not belong, is a fault this test names.

Inside the HTTP client the concerns (http/, cookies/, charset/, socket/, tls/) sit below the
client itself: none of them includes the client, its connection or its Next press, only the
failures and limits at the client's top. The TLS back-ends (tls/openssl/, tls/schannel/) are
reached through the seam in tls/ alone: no back-end includes another, and nothing outside tls/
includes a back-end.

Usage: check_layers.py SOURCE_DIR
"""
import pathlib
import re
import sys

FLOORS = {
    "core": 0,
    "queueclient": 1,
    "settings": 1,
    "theme": 2,
    "resources": 2,
    "forms": 3,
    "app": 4,
    "win32": 4,
    "tools": 5,
}
# Files that must not see Qt, as path patterns below the source folder.
QT_FREE = [r"^core/", r"^queueclient/", r"^settings/", r"^theme/container/", r"^theme/definition/",
           r"^theme/discovery/", r"^win32/",
           r"^tools/(qget|queue-server|make-theme|desk-preset)/"]
# The client's own top: what its concerns must not include.
CLIENT_TOP = ("queueclient/http_client.h", "queueclient/client_connection.h",
              "queueclient/next_press.h")
CLIENT_CONCERNS = ("queueclient/http/", "queueclient/cookies/", "queueclient/charset/",
                   "queueclient/socket/", "queueclient/tls/")
TLS_BACKENDS = ("queueclient/tls/openssl/", "queueclient/tls/schannel/")
# The Linux program's windows and start-up, which the Windows program must not reach into.
LINUX_PROGRAM = ("forms/", "app/")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def inner_faults(relative, target):
    """The HTTP client's inner order, for one include of `relative`."""
    if relative.startswith(CLIENT_CONCERNS) and target in CLIENT_TOP:
        yield "%s is below the client but includes %s" % (relative, target)
    for backend in TLS_BACKENDS:
        if target.startswith(backend) and not relative.startswith(backend):
            if not relative.startswith("queueclient/tls/") or relative.startswith(TLS_BACKENDS):
                yield "%s includes the TLS back-end header %s" % (relative, target)


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    faults = []
    checked = 0
    for folder, floor in FLOORS.items():
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp") or not path.is_file():
                continue
            checked += 1
            relative = path.relative_to(root).as_posix()
            qt_free = any(re.search(pattern, relative) for pattern in QT_FREE)
            for kind, target in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if kind == "<":
                    if qt_free and re.match(r"Q[A-Za-z]", target):
                        faults.append("%s includes <%s>, but uses no Qt" % (relative, target))
                    continue
                faults.extend(inner_faults(relative, target))
                if folder == "win32" and target.startswith(LINUX_PROGRAM):
                    faults.append("%s is the Windows program but includes %s" % (relative, target))
                top = target.split("/", 1)[0]
                if "/" not in target or top == folder or top not in FLOORS:
                    continue  # its own folder, a generated header, or not a layer of ours
                if FLOORS[top] >= floor:
                    faults.append("%s (floor %d) includes %s (floor %d)"
                                  % (relative, floor, target, FLOORS[top]))
    for fault in faults:
        print(fault)
    print("%d files checked, %d includes against the layers" % (checked, len(faults)))
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
