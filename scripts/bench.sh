#!/usr/bin/env bash
# Builds and runs the benchmarks and checks their bounds; fails when one is passed:
# - the field cipher against bare Crypto++ doing the same AES work: at most 1.25 times as long;
# - DecryptText of a 32767-character text against a 24-character one: at most 1.25 (its time
#   does not grow with the text);
# - a whole Encrypt press through the program on the headless display: at most 2 us.
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
cmake --build "$build" --target cipher_bench press_bench >/dev/null

cipher_json=$(mktemp)
press_json=$(mktemp)
trap 'rm -f "$cipher_json" "$press_json"' EXIT
for run in cipher:"$cipher_json" press:"$press_json"; do
    "$build/bench/${run%%:*}_bench" --benchmark_repetitions=15 \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_out="${run#*:}" --benchmark_out_format=json
done

python3 - "$cipher_json" "$press_json" <<'PY'
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
