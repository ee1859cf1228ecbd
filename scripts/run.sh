#!/usr/bin/env bash
# Builds credcipher (optimised) and starts it in this terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target credcipher >/dev/null
exec build/release/app/credcipher "$@"
