#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The displays know the windows only through the view and tell the window system only through
# the input sink: no display source calls a function the platform's Win32 headers declare, and
# none names a style bit, a window message or a system command. Comments and string literals
# (X atom names such as "WM_STATE") do not count.
#
# Usage: display_seam_check.sh SOURCE_ROOT
set -u
root=${1:?usage: display_seam_check.sh SOURCE_ROOT}

functions=$(grep -ho 'WINAPI[[:space:]]\+[A-Za-z0-9_]\+[[:space:]]*(' "$root"/platform/include/*.h |
    sed 's/WINAPI[[:space:]]*//; s/[[:space:]]*(//' | sort -u | paste -sd'|')
[ -n "$functions" ] || { echo "no Win32 functions found under $root/platform/include"; exit 1; }
constants='(WS|WS_EX|ES|SS|BS|DS|CS|SC|WM|EM|BM|BST|STM|GW|GWL|GWLP|ICON|SW|SWP|MF|DM|HT)_[A-Z0-9_]+'

status=0
for file in $(find "$root"/platform/x11 "$root"/platform/terminal "$root"/platform/headless \
    -name '*.cpp' -o -name '*.h' | sort); do
    # Strings and characters first (they may hold "//"), then comments.
    found=$(sed -E "s/\"([^\"\\\\]|\\\\.)*\"/\"\"/g; s/'([^'\\\\]|\\\\.)'/' '/g; s://.*$::" "$file" |
        grep -nwE "$functions|$constants")
    if [ -n "$found" ]; then
        echo "${file#"$root"/}: reads the windows or calls Win32 past the view and the input sink:"
        echo "$found"
        status=1
    fi
done
exit $status
