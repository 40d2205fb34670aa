#!/usr/bin/env bash
# The Debian package on a bare desk: a minimal Debian 12 system (mmdebstrap's apt variant: the
# essential packages and apt, nothing of this machine's libraries) made from Debian's own
# package registry as this machine's apt sources name it, into which apt installs
# queue-operator_VERSION_amd64.deb and must resolve every dependency from that registry alone;
# then qget --version and the installed Operator, on an Xvfb display inside that system, must
# start there. Xvfb, xauth and x11-utils are installed for the test after the package, so they
# can add nothing the package needs. Needs root (mmdebstrap's root mode) and the network.
#
# Usage: tests/install/bare_desk_test.sh FOLDER   (the folder scripts/package made)
set -euo pipefail
folder=$(cd "${1:?usage: bare_desk_test.sh FOLDER}" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "bare_desk_test: needs root (mmdebstrap, chroot)"; exit 1; }
deb=$(ls "$folder"/queue-operator_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d /tmp/bare-desk-test-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Debian's registry, as this machine's apt reaches it: the deb822 stanzas signed by Debian's
# archive key and the one-line entries of Debian 12 (bookworm), nothing else.
sources=$work/debian.sources
/usr/bin/python3 - "$sources" <<'PYTHON'
import glob, sys
stanzas = []
for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    for stanza in open(path).read().split("\n\n"):
        if "debian-archive-keyring" in stanza and "Types: deb\n" in stanza + "\n":
            stanzas.append(stanza.strip())
lines = []
for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
    try:
        for line in open(path):
            words = line.split("#", 1)[0].split()
            if words[:1] == ["deb"] and any(w.startswith("bookworm") for w in words):
                lines.append(line.strip())
    except FileNotFoundError:
        pass
if not stanzas and not lines:
    sys.exit("bare_desk_test: no Debian 12 source in this machine's apt configuration")
with open(sys.argv[1], "w") as f:
    f.write("\n\n".join(stanzas) + "\n")
if lines:
    with open(sys.argv[1].replace(".sources", ".list"), "w") as f:
        f.write("\n".join(lines) + "\n")
PYTHON
mirrors=()
[ -s "$sources" ] && mirrors+=("$sources")
[ -f "$work/debian.list" ] && mirrors+=("$work/debian.list")

# The checks, run inside the bare system: the package first, with apt alone resolving its
# dependencies, then the display's tools, then the programs.
cat >"$work/inside.sh" <<'INSIDE'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8
echo "== apt-get install ./$(basename "$1") on a bare Debian 12 ($(dpkg-query -W -f='${binary:Package}\n' | wc -l) packages)"
apt-get install -y -qq --no-install-recommends "$1" >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
dpkg-query -W -f='installed: ${Package} ${Version}\n' queue-operator
for program in /usr/bin/Operator /usr/bin/qget; do
  if ldd "$program" | grep -q "not found"; then ldd "$program"; exit 1; fi
done
echo "== qget --version"
qget --version
echo "== Operator on Xvfb"
apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils >/tmp/apt.log 2>&1 ||
  { cat /tmp/apt.log; exit 1; }
Xvfb :57 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:57
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
HOME=/root timeout 120 Operator >/tmp/operator.log 2>&1 &
operator=$!
shown=
for _ in $(seq 300); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Оператор"'; then shown=yes; break; fi
  kill -0 "$operator" 2>/dev/null || break
  sleep 0.2
done
kill "$operator" 2>/dev/null || true
wait "$operator" 2>/dev/null || true
kill "$xvfb"
wait "$xvfb" 2>/dev/null || true
[ -n "$shown" ] || { echo "Operator showed no window:"; cat /tmp/operator.log; exit 1; }
echo "the operator window \"Оператор\" is shown"
INSIDE

echo "== mmdebstrap --variant=apt bookworm (Debian's registry, from this machine's apt sources)"
start=$(date +%s)
timeout 1500 mmdebstrap --quiet --variant=apt --format=null \
  --customize-hook="copy-in $deb $work/inside.sh /tmp" \
  --customize-hook="chroot \"\$1\" bash /tmp/inside.sh /tmp/$(basename "$deb")" \
  bookworm /dev/null "${mirrors[@]}"
echo "bare_desk_test: passed, queue-operator $version on a bare Debian 12, in $(($(date +%s) - start)) s"
