#!/usr/bin/env bash
# Builds and runs the cipher benchmarks, then prints the ratios of the field cipher to bare
# Crypto++ doing the same AES work; fails when a ratio is above 2.
# Usage: scripts/bench.sh [BUILD_DIR]
#   Without BUILD_DIR it configures and builds the bench preset (build/bench); with it,
#   it builds cipher_bench in that already configured (optimised) build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test
build=${1:-}
if [ -z "$build" ]; then
    build=build/bench
    cmake --preset bench >/dev/null
fi
cmake --build "$build" --target cipher_bench >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$build/bench/cipher_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json

python3 - "$json" <<'PY'
import json, sys

report = json.load(open(sys.argv[1]))
median = {b["run_name"]: b["real_time"] for b in report["benchmarks"]
          if b.get("aggregate_name") == "median"}
failed = False
print()
for name, baseline in (("EncryptText", "CryptoPP/EncryptBlock"),
                       ("DecryptText", "CryptoPP/DecryptBlock")):
    ratio = median[name] / median[baseline]
    failed |= ratio > 2
    print(f"{name} / bare Crypto++: {median[name]:.1f} ns / {median[baseline]:.1f} ns = {ratio:.2f}"
          + ("  ABOVE 2" if ratio > 2 else ""))
sys.exit(1 if failed else 0)
PY
