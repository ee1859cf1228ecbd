#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real credcipher read by a screen reader's client library: a private session bus, the
# desktop's accessibility bus (at-spi-bus-launcher, which announces it on the X screen and on the
# session bus), a fresh Xvfb screen, and atspi_client.py reading and driving the program.
#
# Usage: atspi_e2e.sh path/to/credcipher path/to/credcipher-cli   (exit 77 = skipped)
set -u

binary=${1:?usage: atspi_e2e.sh path/to/credcipher path/to/credcipher-cli}
cli=${2:?usage: atspi_e2e.sh path/to/credcipher path/to/credcipher-cli}
here=$(dirname "$(realpath "$0")")
launcher=/usr/libexec/at-spi-bus-launcher
# Debian's python3-gi is for Debian's Python.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

if [ "${ATSPI_E2E_INSIDE:-}" != 1 ]; then
    for tool in Xvfb xdotool xclip xprop dbus-run-session "$launcher"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    if ! "$python" -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null; then
        echo "SKIP: the Atspi introspection bindings are not installed"
        exit 77
    fi
    ATSPI_E2E_INSIDE=1 exec dbus-run-session -- "$0" "$@"
fi

. "$here/x11_session.sh"
start_server
launcher_pid=
silent_pid=
trap 'kill $launcher_pid $silent_pid 2>/dev/null; cleanup' EXIT
status=0

# Nobody listens yet: the program asks the session bus for the accessibility bus without
# starting its launcher (which would stay behind, with its bus and registry), and ends at once.
owned() {  # whether org.a11y.Bus has an owner on the session bus
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -c 'boolean true'
}
ends_at_once() {  # description
    start C.UTF-8
    sleep 0.5
    xdotool key Escape
    check "$1: Escape ends the program at once" 2 "$(exit_code)"
    pkill -P $! 2>/dev/null
}
ends_at_once "a session bus without the accessibility bus"
check "no launcher was started on the session bus" 0 "$(owned)"
# A session bus that takes the connection and never answers: the program does not wait for it.
"$python" -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen()
time.sleep(600)' "$work/silent" &
silent_pid=$!
tries=0
until [ -S "$work/silent" ] || [ $tries -ge 100 ]; do tries=$((tries + 1)); sleep 0.05; done
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/silent ends_at_once "a session bus that never answers"
kill $silent_pid
silent_pid=

# As a desktop session starts it: the launcher announces the bus on the X screen (AT_SPI_BUS).
# Its bus daemon complains it may not raise its file limit; that is not a failure.
"$launcher" --launch-immediately 2>"$work/launcher.log" &
launcher_pid=$!
tries=0
until xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix: || [ $tries -ge 100 ]; do
    tries=$((tries + 1))
    sleep 0.05
done
echo "The accessibility bus announced on the X screen:"
timeout 120 "$python" "$here/atspi_client.py" "$binary" "$cli" || status=1

# Without the announcement, the program asks the session bus, where the client's library has
# started the launcher.
kill $launcher_pid
wait $launcher_pid 2>/dev/null
launcher_pid=
xprop -root -remove AT_SPI_BUS
echo "The accessibility bus asked of the session bus:"
timeout 120 "$python" "$here/atspi_client.py" "$binary" "$cli" || status=1
echo "$passes checks passed, $failures failed"
[ "$failures" -eq 0 ] || status=1
exit $status
