#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# compare_recording.sh RECORDER PAGE RECORDING: fails, showing the differences and their
# number, when the recorder's output for PAGE is not the recording.
set -euo pipefail
recorder=$1 page=$2 recording=$3
if differences=$(diff -U0 "$recording" <("$recorder" "$page")); then
    echo "code page $page: equal to the recording ($(wc -l <"$recording") lines)"
    exit 0
fi
count=$(grep -c '^[-+][^-+]' <<<"$differences" || true)
echo "code page $page: $count lines differ from the recording (- recorded, + ours):"
head -n 60 <<<"$differences"
exit 1
