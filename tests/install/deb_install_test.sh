#!/usr/bin/env bash
# The Debian packages as a desk gets them: installed on this machine with apt-get (which pulls
# their dependencies) as an upgrade of an older queue-operator, whose user's settings file stays
# as it was, the bundled queue-server started, then, as an ordinary user made for
# the test, qget from the PATH and the installed Operator on a desktop of its own
# (installed_operator_test.py); the desktop entry validated; the packages removed at the end
# and the user with them. Needs root (apt-get, useradd). Every wait is bounded.
#
# Usage: tests/install/deb_install_test.sh FOLDER   (the folder scripts/package made)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$(cd "${1:?usage: deb_install_test.sh FOLDER}" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "deb_install_test: needs root (apt-get, useradd)"; exit 1; }
operator_deb=$(ls "$folder"/queue-operator_*_amd64.deb)
server_deb=$(ls "$folder"/queue-server_*_amd64.deb)

# One run at a time on a machine: the packages and the PATH are the machine's.
exec 9>/run/lock/queue-operator-install-test.lock
flock -w 600 9 || { echo "deb_install_test: another run holds the lock"; exit 1; }
for package in queue-operator queue-server; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    echo "deb_install_test: $package is installed already; this test installs and removes it"
    exit 1
  fi
done

user=qclerk$$
work=$(mktemp -d /tmp/deb-install-test-XXXXXX)
server_pid=
cleanup() {
  local status=$?
  set +e
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  fi
  if id "$user" >/dev/null 2>&1; then
    # Whatever the user's session left running ends with the user.
    pkill -KILL -u "$user" 2>/dev/null || true
    userdel -r "$user" 2>/dev/null || true
  fi
  DEBIAN_FRONTEND=noninteractive timeout 300 apt-get purge -y -qq queue-operator queue-server \
    >/dev/null 2>&1 || true
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

step() { echo "== $*"; }

# The release package repacked at an older version (0.9), as a desk upgraded by the release has it.
step "an older queue-operator (0.9), a user's settings file, then the upgrade"
dpkg-deb -R "$operator_deb" "$work/older"
sed -i 's/^Version: .*/Version: 0.9/' "$work/older/DEBIAN/control"
dpkg-deb -b --root-owner-group "$work/older" "$work/queue-operator_0.9_amd64.deb" >/dev/null
chmod 644 "$work/queue-operator_0.9_amd64.deb"
DEBIAN_FRONTEND=noninteractive timeout 600 apt-get install -y -qq --no-install-recommends \
  "$work/queue-operator_0.9_amd64.deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
runuser -u "$user" -- mkdir -p "$home/.config/queue-operator"
printf '[Form]\r\nTop=5\r\n[Server]\r\nHost=http://clerk.example\r\nWindow=4\r\n' |
  runuser -u "$user" -- tee "$home/.config/queue-operator/Operator.ini" >/dev/null
cp "$home/.config/queue-operator/Operator.ini" "$work/clerks.ini"

step "apt-get install ./$(basename "$operator_deb") ./$(basename "$server_deb")"
DEBIAN_FRONTEND=noninteractive timeout 600 apt-get install -y -qq --no-install-recommends \
  "$operator_deb" "$server_deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
version=$(dpkg-deb -f "$operator_deb" Version)
[ "$(dpkg-query -W -f='${Version}' queue-operator)" = "$version" ] ||
  { echo "queue-operator was not upgraded to $version"; exit 1; }
cmp "$work/clerks.ini" "$home/.config/queue-operator/Operator.ini" ||
  { echo "the upgrade changed the user's settings file"; exit 1; }
echo "upgraded 0.9 -> $version; the user's settings file is unchanged"
# The desktop test below starts from a fresh account.
rm -rf "$home/.config"
for program in Operator qget queue-server; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || { echo "no /usr/bin/$program"; exit 1; }
done
dpkg -L queue-operator | grep -qx /usr/share/icons/hicolor/64x64/apps/queue-operator.png
dpkg -L queue-server | grep -qx /usr/bin/queue-server
if dpkg -L queue-operator | grep -q queue-server; then echo "queue-server in queue-operator"; exit 1; fi
# Every library the programs need is there, pulled in by the packages' dependencies.
for program in /usr/bin/Operator /usr/bin/qget /usr/bin/queue-server; do
  if ldd "$program" | grep -q "not found"; then ldd "$program"; exit 1; fi
done
dpkg-query -W -f='installed: ${Package} ${Version}, depends on ${Depends}\n' queue-operator queue-server

step "desktop-file-validate"
desktop-file-validate /usr/share/applications/queue-operator.desktop
echo "valid: /usr/share/applications/queue-operator.desktop"

step "queue-server"
coproc SERVER { exec timeout 600 queue-server --port 0; }
server_pid=$SERVER_PID
read -r -t 20 line <&"${SERVER[0]}" || { echo "queue-server did not start"; exit 1; }
url=${line##* }
case "$url" in http://127.0.0.1:*) ;; *) echo "queue-server said: $line"; exit 1 ;; esac
echo "$line"

step "an ordinary user: $user"
as_user() {
  runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" LANG=C.UTF-8 \
    PATH=/usr/local/bin:/usr/bin:/bin "$@"
}

step "qget from the PATH"
answer=$(as_user timeout 30 qget "$url/getQueue?operator=1")
echo "$answer"
[[ "$answer" =~ ^\{\"ok\":true,\"answer\":\"A[0-9]{3}\"\}$ ]] || { echo "qget answered $answer"; exit 1; }

step "the installed Operator as $user"
cp "$here/installed_operator_test.py" "$here/../desktop/desktop_test.py" "$work/"
chmod 755 "$work"
chmod 644 "$work"/*.py
as_user timeout 300 /usr/bin/python3 "$work/installed_operator_test.py" --server "$url"
[ "$(stat -c %U "$home/.config/queue-operator/Operator.ini")" = "$user" ]

step "apt-get purge queue-operator queue-server"
kill "$server_pid"
wait "$server_pid" 2>/dev/null || true
server_pid=
DEBIAN_FRONTEND=noninteractive timeout 300 apt-get purge -y -qq queue-operator queue-server \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
for program in Operator qget queue-server; do
  [ ! -e "/usr/bin/$program" ] || { echo "/usr/bin/$program is left"; exit 1; }
done
[ ! -e /usr/share/applications/queue-operator.desktop ] || { echo "desktop entry left"; exit 1; }
# The user's settings are the user's: removing the program leaves them.
[ -f "$home/.config/queue-operator/Operator.ini" ] || { echo "the user's file went"; exit 1; }
echo "removed; the user's settings file stays"
echo "deb_install_test: passed"
