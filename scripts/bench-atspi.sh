#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the accessibility bridge costs: credcipher's time to its first drawn frame and its peak
# resident memory in four cases, alternating so that all see the same machine load:
#   without the bridge    a build configured where pkg-config finds no libsystemd (the baseline)
#   no session bus        no bus of any kind announced: the bridge opens nothing
#   session bus only      a session bus on which no accessibility bus runs: the bridge loads
#                         libsystemd, asks the session bus for org.a11y.Bus without starting it,
#                         and closes the connection at the answer
#   accessibility bus     at-spi-bus-launcher runs on the session bus: the bridge asks it for
#                         its bus, registers with the registry and serves the tree
# Then the instructions each case runs from its start until its dialog is shown and it waits for
# input (valgrind --tool=callgrind; the program is stopped by SIGTERM once idle), which a shared
# machine's load does not change.
# Usage: scripts/bench-atspi.sh [BUILD_DIR] [RUNS] [COUNTED_RUNS]   (build/bench, 21, 3)
# The baseline is built in BUILD_DIR-nobridge. COUNTED_RUNS=0 leaves out the instruction counts.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-21}
counted=${3:-3}
baseline=$build-nobridge
if [ "${BENCH_ATSPI_INSIDE:-}" != 1 ]; then
    scripts/setup.sh run test
    if [ "$build" = build/bench ]; then cmake --preset bench >/dev/null; fi
    # pkg-config's search path empty: the other packages are found without it, as before.
    PKG_CONFIG_LIBDIR=/nonexistent cmake --preset bench -B "$baseline" >/dev/null
    cmake --build "$build" --target credcipher x11_first_frame >/dev/null
    cmake --build "$baseline" --target credcipher >/dev/null
    BENCH_ATSPI_INSIDE=1 exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
Xvfb -displayfd 3 -br -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
# A session bus of its own, on which no launcher runs.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/session-address" 2>/dev/null &
session=$!
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
launcher=$!
trap 'kill $launcher $session $server 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ] && [ -s "$work/session-address" ]; do sleep 0.05; done
owned() {  # bus: whether org.a11y.Bus has an owner on it
    grep -q 'boolean true' <<<"$(dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus \
        / org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus)"
}
until owned "$DBUS_SESSION_BUS_ADDRESS"; do sleep 0.05; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
export LANG=C.UTF-8
unset WIN32_DISPLAY AT_SPI_BUS_ADDRESS NO_AT_BRIDGE

# The environment of a case, then its program.
environment() {  # case
    case $1 in
        baseline | no-bus) echo -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR ;;
        session) echo -u XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS="$(head -1 "$work/session-address")" ;;
        bus) echo -u XDG_RUNTIME_DIR ;;
    esac
}
program() {  # case
    if [ "$1" = baseline ]; then echo "$baseline/app/credcipher"; else echo "$build/app/credcipher"; fi
}
cases=(baseline no-bus session bus)

for _ in $(seq "$runs"); do
    for c in "${cases[@]}"; do
        # shellcheck disable=SC2046  # the environment is words
        env $(environment "$c") "$build/bench/x11_first_frame" credcipher "$(program "$c")" \
            >>"$work/$c"
    done
done

# Under callgrind: from the start until the dialog is mapped, then two seconds more, in which
# the program draws, serves the bus and comes to wait for input.
count() {  # case run
    local out="$work/callgrind.$1.$2"
    # shellcheck disable=SC2046
    env $(environment "$1") valgrind --tool=callgrind --callgrind-out-file="$out" \
        "$(program "$1")" 2>"$out.log" &
    local pid=$!
    # shellcheck disable=SC2046
    timeout 120 xdotool search --sync --onlyvisible --class credcipher >/dev/null
    sleep 2
    kill -TERM $pid
    wait $pid 2>/dev/null || true
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out.log" >>"$work/$1.instructions"
}
for run in $(seq "$counted"); do
    for c in "${cases[@]}"; do count "$c" "$run"; done
done

# Nobody listened on the private session bus: nothing may have been started on it.
if owned "$(head -1 "$work/session-address")"; then
    echo "bench-atspi.sh: the program started the accessibility bus's launcher" >&2
    exit 1
fi

python3 - "$work" "${cases[@]}" <<'PY'
import os, statistics, sys

work, cases = sys.argv[1], sys.argv[2:]
labels = {'baseline': 'without the bridge', 'no-bus': 'no session bus',
          'session': 'session bus only', 'bus': 'accessibility bus'}
print(f"{'':20} {'first frame':>12} {'peak RSS':>10} {'instructions':>13}")
for case in cases:
    rows = [line.split() for line in open(os.path.join(work, case))]
    ms = statistics.median(float(r[0]) for r in rows)
    rss = statistics.median(int(r[1]) for r in rows)
    path = os.path.join(work, case + '.instructions')
    counts = [int(line) for line in open(path)] if os.path.exists(path) else []
    told = f'{statistics.median(counts):13,.0f}' if counts else f"{'-':>13}"
    print(f'{labels[case]:20} {ms:9.1f} ms {rss:6.0f} KiB {told}')
print(f'medians of {len(rows)} runs each (first frame, peak RSS with the dialog shown)'
      + (f' and of {len(counts)} counted runs' if counts else ''))
PY
