#!/usr/bin/env bash
# Runs one probe on this platform and compares its output with Wine's recording, line by line.
#   compare.sh <program> <recording> <allowed differences>
# A line may differ only where the list of allowed differences names the probe and the
# observation (the text before " = "). Prints each difference and a count of the lines.
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
            if (field[1] == probe) excused[field[2]] = 1
        }
        while ((getline line < recording) > 0) expected[++count] = line
    }
    function name(line) { sub(/ = .*/, "", line); return line }
    {
        seen++
        if ($0 == expected[seen]) { same++; next }
        if (name($0) == name(expected[seen]) && name($0) in excused) {
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
