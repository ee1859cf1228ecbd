#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the accessibility bridge costs: credcipher's time to its first drawn frame and its peak
# resident memory on a virtual X screen without any accessibility bus, and on one whose
# accessibility bus is running (a private session bus, at-spi-bus-launcher and its registry),
# alternating so that both see the same machine load. With a second build directory, a build
# without the bridge (configured without libsystemd's development files) runs on the screen
# without a bus too, as the baseline.
# Usage: scripts/bench-atspi.sh [BUILD_DIR] [RUNS] [BUILD_WITHOUT_BRIDGE]   (default build/bench, 11)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-11}
baseline=${3:-}
if [ "${BENCH_ATSPI_INSIDE:-}" != 1 ]; then
    scripts/setup.sh run test
    if [ "$build" = build/bench ]; then cmake --preset bench >/dev/null; fi
    cmake --build "$build" --target credcipher x11_first_frame >/dev/null
    BENCH_ATSPI_INSIDE=1 exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
screen() {  # file for the display number
    Xvfb -displayfd 3 -br -screen 0 1280x1024x24 -nolisten tcp 3>"$1" >/dev/null 2>&1 &
    echo $!
}
plain=$(screen "$work/plain")
served=$(screen "$work/served")
until [ -s "$work/plain" ] && [ -s "$work/served" ]; do sleep 0.05; done
DISPLAY=":$(cat "$work/served")" /usr/libexec/at-spi-bus-launcher --launch-immediately \
    2>/dev/null &
launcher=$!
trap 'kill $launcher $plain $served 2>/dev/null; rm -rf "$work"' EXIT
until grep -q unix: <<<"$(DISPLAY=":$(cat "$work/served")" xprop -root AT_SPI_BUS 2>/dev/null)"; do
    sleep 0.05
done
export LANG=C.UTF-8
unset WIN32_DISPLAY

# The screen without a bus is started without the session bus too.
first_frame() {  # screen build
    local screen=$1
    local -a environment=(DISPLAY=":$(cat "$work/$screen")")
    [ "$screen" = plain ] && environment=(-u DBUS_SESSION_BUS_ADDRESS "${environment[@]}")
    env "${environment[@]}" "$build/bench/x11_first_frame" credcipher "$2/app/credcipher"
}
for _ in $(seq "$runs"); do
    first_frame plain "$build" >>"$work/no-bus"
    first_frame served "$build" >>"$work/bus"
    if [ -n "$baseline" ]; then first_frame plain "$baseline" >>"$work/baseline"; fi
done

python3 - "$work" <<'PY'
import os, statistics, sys

for name, label in (('baseline', 'without the bridge'), ('no-bus', 'no accessibility bus'),
                    ('bus', 'accessibility bus')):
    path = os.path.join(sys.argv[1], name)
    if not os.path.exists(path):
        continue
    rows = [line.split() for line in open(path)]
    ms = statistics.median(float(r[0]) for r in rows)
    rss = statistics.median(int(r[1]) for r in rows)
    print(f'{label:22} first frame after {ms:6.1f} ms (median), peak RSS {rss} KiB (median)')
PY
