#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one probe on this platform and compares its output with Wine's recording, line by line.
#   compare.sh <program> <recording> <allowed differences>
# A line may differ only where the list of allowed differences names the probe and the
# observation (the text before " = "; a "*" at its start or end stands for any text there).
# Prints each difference and a count of the lines.
set -uo pipefail
program=$1 recording=$2 allowed=$3
probe=$(basename "$recording" .wine.txt)

actual=$("$program")
status=$?
if [ $status -ne 0 ]; then
    printf '%s\n' "$actual"
    echo "compare.sh: $probe exited with $status" >&2
    exit 1
fi
printf '%s\n' "$actual" | awk -v probe="$probe" -v allowed="$allowed" -v recording="$recording" '
    BEGIN {
        while ((getline entry < allowed) > 0) {
            if (entry ~ /^#/ || entry !~ /\|/) continue
            split(entry, field, / *\| */)
            if (field[1] == probe) excused[++excuses] = field[2]
        }
        while ((getline line < recording) > 0) expected[++count] = line
    }
    function name(line) { sub(/ = .*/, "", line); return line }
    function allowed_for(observation,    i, pattern, core) {
        for (i = 1; i <= excuses; i++) {
            pattern = excused[i]
            core = pattern
            gsub(/^\*|\*$/, "", core)
            if (pattern ~ /^\*/ && substr(observation, length(observation) - length(core) + 1) == core) return 1
            if (pattern ~ /\*$/ && substr(observation, 1, length(core)) == core) return 1
            if (pattern == observation) return 1
        }
        return 0
    }
    {
        seen++
        if ($0 == expected[seen]) { same++; next }
        if (name($0) == name(expected[seen]) && allowed_for(name($0))) {
            print "allowed:  " $0 "  (Wine: " expected[seen] ")"
            allowed_count++
            next
        }
        print "line " seen ":\n  here: " $0 "\n  Wine: " expected[seen]
        bad++
    }
    END {
        for (i = seen + 1; i <= count; i++) { print "missing: " expected[i]; bad++ }
        printf "%s: %d lines, %d as Wine, %d allowed differences\n", probe, count, same, allowed_count
        exit bad > 0
    }'
