#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the benchmarks and checks their bounds; fails when one is passed:
# - the field cipher against bare Crypto++ doing the same AES work: at most 1.25 times as long;
# - DecryptText of a 32767-character text against a 24-character one: at most 1.25 (its time
#   does not grow with the text);
# - a whole Encrypt press through the program on the headless display: at most 2 us.
# Then it shows the memory of the program with its dialog in a terminal (tmux), after a press.
# Times are the medians of CPU time over repetitions run in random order (Google Benchmark's
# interleaving), so that load from elsewhere on a shared machine spreads over all of them.
# Usage: scripts/bench.sh [BUILD_DIR]
#   Without BUILD_DIR it configures and builds the bench preset (build/bench); with it,
#   it builds the benchmarks in that already configured (optimised) build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test
build=${1:-}
if [ -z "$build" ]; then
    build=build/bench
    cmake --preset bench >/dev/null
fi
cmake --build "$build" --target cipher_bench press_bench credcipher >/dev/null

cipher_json=$(mktemp)
press_json=$(mktemp)
trap 'rm -f "$cipher_json" "$press_json"' EXIT
for run in cipher:"$cipher_json" press:"$press_json"; do
    "$build/bench/${run%%:*}_bench" --benchmark_repetitions=15 \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_out="${run#*:}" --benchmark_out_format=json
done

status=0
python3 - "$cipher_json" "$press_json" <<'PY' || status=$?
import json, sys

median = {}
for path in sys.argv[1:]:
    for b in json.load(open(path))["benchmarks"]:
        if b.get("aggregate_name") == "median":
            # A manual-time benchmark reports its own (thread CPU) time as real time.
            manual = b["run_name"].endswith("manual_time")
            name = b["run_name"].split("/iterations:")[0]
            median[name] = b["real_time" if manual else "cpu_time"]

failed = False
print()
for name, baseline, bound in (("EncryptText", "CryptoPP/EncryptBlock", 1.25),
                              ("DecryptText", "CryptoPP/DecryptBlock", 1.25),
                              ("DecryptText/32767", "DecryptText", 1.25)):
    ratio = median[name] / median[baseline]
    above = ratio > bound
    failed |= above
    print(f"{name} / {baseline}: {median[name]:.1f} ns / {median[baseline]:.1f} ns = "
          f"{ratio:.2f} (bound {bound})" + ("  ABOVE THE BOUND" if above else ""))
for name in ("Press/EncryptAscii", "Press/EncryptChinese"):
    above = median[name] > 2000
    failed |= above
    print(f"{name}: {median[name]:.0f} ns (bound 2000 ns)" + ("  ABOVE THE BOUND" if above else ""))
print(f"Press/TerminalPaint: {median['Press/TerminalPaint']:.0f} ns")
sys.exit(1 if failed else 0)
PY

# The program's memory with the dialog shown, after an Encrypt press, in an 80 x 24 terminal:
# its resident set and the part of it that is its own (Private_Dirty: written pages, which no
# other process shares). A freshly linked file's pages count as dirty until they are written
# back, hence the sync.
sync
work=$(mktemp -d)
trap 'rm -f "$cipher_json" "$press_json"; rm -rf "$work"' EXIT
echo
for locale in C.UTF-8 zh_CN.UTF-8; do
    # A server of its own for each run, so that one's ending never meets the next one's start.
    tmux_() { tmux -u -S "$work/tmux-$locale" "$@"; }
    tmux_ new-session -d -x 80 -y 24 "exec env LC_ALL=$locale $build/app/credcipher"
    for _ in $(seq 50); do
        grep -q Cancel <<<"$(tmux_ capture-pane -p)" && break
        sleep 0.1
    done
    # Account, password, then Space on Encrypt (tab order: OK, Cancel, the fields, Encrypt).
    tmux_ send-keys Tab Tab
    tmux_ send-keys -l alice
    tmux_ send-keys Tab
    tmux_ send-keys -l s3cret
    tmux_ send-keys Tab Space
    sleep 0.5
    pid=$(tmux_ list-panes -F '#{pane_pid}')
    awk -v locale="$locale" '/^Rss:/ {rss = $2} /^Private_Dirty:/ {dirty = $2}
        END {printf "credcipher (LC_ALL=%s): RSS %d kB, Private_Dirty %d kB\n", locale, rss, dirty}' \
        "/proc/$pid/smaps_rollup"
    tmux_ kill-server
done
exit $status
