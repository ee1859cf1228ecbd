#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures, on one fresh virtual X screen (Xvfb), how long credcipher takes from its start to its
# first drawn frame, as a ratio to a small standard X client (xmessage) started the same way in
# the same run, and the peak resident memory of both with their window shown.
# Usage: scripts/bench-x11.sh [BUILD_DIR] [RUNS]   (default build/bench, 11 runs each)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test
build=${1:-build/bench}
runs=${2:-11}
if [ "$build" = build/bench ]; then cmake --preset bench >/dev/null; fi
cmake --build "$build" --target credcipher x11_first_frame >/dev/null

work=$(mktemp -d)
Xvfb -displayfd 3 -br -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$work/display")" LANG=C.UTF-8
unset WIN32_DISPLAY

# Alternating, so that both see the same machine load.
for _ in $(seq "$runs"); do
    "$build/bench/x11_first_frame" credcipher "$build/app/credcipher" >>"$work/credcipher"
    "$build/bench/x11_first_frame" Xmessage xmessage -center 'credcipher' >>"$work/xmessage" \
        2>/dev/null  # xmessage's warnings on fonts
done

python3 - "$work/credcipher" "$work/xmessage" <<'PY'
import statistics, sys

def read(path):
    rows = [line.split() for line in open(path)]
    return statistics.median(float(r[0]) for r in rows), max(int(r[1]) for r in rows)

program, program_rss = read(sys.argv[1])
baseline, baseline_rss = read(sys.argv[2])
print(f"credcipher: first frame after {program:.1f} ms (median), peak RSS {program_rss} KiB")
print(f"xmessage:   first frame after {baseline:.1f} ms (median), peak RSS {baseline_rss} KiB")
print(f"ratio credcipher / xmessage: {program / baseline:.2f}")
PY
