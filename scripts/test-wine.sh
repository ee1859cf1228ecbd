#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Wine step: runs the shipped 32-bit Windows programs (scripts/build-windows.sh builds them)
# under Wine, natively or under qemu-i386 as scripts/wine-run.sh chooses (its first line says
# which): the UI-automation suite on a virtual X display once in a Western locale (ANSI code page
# 1252) and once in zh_CN.UTF-8 (code page 936, Chinese text); the conformance probes and the
# code-page recorder against their recordings; Wine's own user32 tests; credcipher-cli.exe's
# known answers (scripts/test-wine-cli.sh).
#   --screenshot   also save a picture of the dialog (zh_CN) as docs/windows-dialog.png
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

screenshot=0
case "${1:-}" in
    "") ;;
    --screenshot) screenshot=1 ;;
    *) echo "usage: scripts/test-wine.sh [--screenshot]" >&2; exit 2 ;;
esac

scripts/setup.sh windows
scripts/wine-run.sh --way

build=$root/build/windows
suite=$build/tests/credcipher_ui_test.exe
if [ ! -f "$build/credcipher.exe" ] || [ ! -f "$suite" ]; then
    echo "test-wine.sh: run scripts/build-windows.sh first" >&2
    exit 2
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

# Wine takes the ANSI code page from the Unix locale, and only from an installed one.
if ! grep -qix 'zh_CN\.utf-\?8' <<<"$(locale -a)"; then
    echo "test-wine.sh: generating the zh_CN.UTF-8 locale"
    if grep -q '^# *zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
        $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
        echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen --keep-existing >/dev/null
fi

picture=$build/windows-dialog.png
rm -f "$picture"
export suite picture screenshot

ui_suites() {
    set -euo pipefail
    local extra=()
    if [ "$screenshot" -eq 1 ]; then
        # Wine draws the caption itself, as Windows does, since no window manager runs.
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
        # Debian's Wine does not load the fonts of fonts-wine from its data folder; the
        # caption buttons need Marlett.
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        extra=(--screenshot "Z:${picture//\//\\}")
    fi
    local status=0
    # The time limits only guard against a hang.
    SECONDS=0
    LC_ALL=C.UTF-8 LANG=C.UTF-8 timeout 900 "$wine" "$suite" --code-page 1252 || status=1
    echo "test-wine.sh: UI suite, LANG=C.UTF-8 (code page 1252): $SECONDS s"
    SECONDS=0
    LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 timeout 900 "$wine" "$suite" --code-page 936 \
        "${extra[@]}" || status=1
    echo "test-wine.sh: UI suite, LANG=zh_CN.UTF-8 (code page 936): $SECONDS s"
    return $status
}

status=0
scripts/wine-run.sh --display --prefix "$build/wine" bash -c "$(declare -f ui_suites); ui_suites" ||
    status=1
# The conformance probes still give Wine's recorded output (the POSIX side compares with it
# in ctest).
scripts/record-conformance.sh --check || status=1
# The recording that codepages/ is generated from is still what Wine's conversions give.
scripts/record-codepages.sh --check || status=1
# Wine's own user32 tests under Wine: every check outside todo_wine holds.
tests/wine_user32/run-under-wine.sh || status=1

if [ "$screenshot" -eq 1 ] && [ -f "$picture" ]; then
    mkdir -p docs
    cp "$picture" docs/windows-dialog.png
    echo "test-wine.sh: saved docs/windows-dialog.png"
fi

# The console program needs no display.
scripts/test-wine-cli.sh || status=1
echo "test-wine.sh: the Wine step took $SECONDS s$([ $status -eq 0 ] || echo ", and failed")"
exit $status
