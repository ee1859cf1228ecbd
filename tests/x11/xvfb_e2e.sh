#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the real credcipher on a fresh virtual X screen (Xvfb, no window manager) the way a person
# does: clicks into the fields, types an account and a password (ASCII, then Chinese under
# LANG=zh_CN.UTF-8), encrypts, copies each cipher text out with Ctrl+A, Ctrl+C and reads it with
# xclip, checked against OpenSSL; pastes them back from another program's clipboard, decrypts,
# and closes with Enter (1), Escape (2) and a window manager's WM_DELETE_WINDOW (2). On the way the
# window's title, class, icon and size hints are read back with xprop, and a server that goes
# away ends the program as Cancel.
#
# Usage: xvfb_e2e.sh path/to/credcipher path/to/send_close    (exit 77 = skipped: a tool missing)
#        xvfb_e2e.sh path/to/credcipher path/to/send_close --screenshot FILE.png
#        (only takes the README's picture: Chinese text encrypted, the focus on Encrypt)
set -u

binary=${1:?usage: xvfb_e2e.sh path/to/credcipher path/to/send_close [--screenshot FILE]}
send_close=${2:?usage: xvfb_e2e.sh path/to/credcipher path/to/send_close [--screenshot FILE]}
screenshot=
[ "${3:-}" = --screenshot ] && screenshot=$(realpath "${4:?--screenshot needs a file}")
tools="Xvfb xdotool xclip xprop openssl iconv base64 od"
[ -n "$screenshot" ] && tools="$tools xwd xwdtopnm pnmtopng"
for tool in $tools; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

# Under the leak checker, the font libraries' lifelong caches are not the program's leaks.
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$(realpath "$0")")/lsan.supp"
export LSAN_OPTIONS

work=$(mktemp -d)
server_pid=
start_server() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    server_pid=$!
    local tries=0
    until [ -s "$work/display" ] || [ $tries -ge 100 ]; do tries=$((tries + 1)); sleep 0.05; done
    export DISPLAY=":$(cat "$work/display")"
}
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
start_server

. "$(dirname "$(realpath "$0")")/../session_checks.sh"

# Starts credcipher with locale $1; its exit code goes to $work/rc, stderr to $work/stderr.
window=
start() {
    rm -f "$work/rc"
    (LANG=$1 LC_ALL= WIN32_DISPLAY= "$binary" </dev/null >/dev/null 2>"$work/stderr"
     echo $? >"$work/rc") &
    window=$(timeout 10 xdotool search --sync --class credcipher | head -1)
    [ -n "$window" ] || fail "the window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$window")"
}

exit_code() {
    local tries=0
    until [ -s "$work/rc" ] || [ $tries -ge 100 ]; do tries=$((tries + 1)); sleep 0.05; done
    cat "$work/rc" 2>/dev/null || echo "still running"
}

# Clicks the middle of a control given in dialog units of the 326 x 249 main dialog.
click() {  # x y width height
    xdotool mousemove --window "$window" $(((($1 + $3 / 2) * WIDTH) / 326)) \
        $(((($2 + $4 / 2) * HEIGHT) / 249)) click 1
}
account_in() { click 53 45 238 14; }
password_in() { click 53 69 238 14; }
account_out() { click 53 143 238 14; }
password_out() { click 53 167 238 14; }
encrypt() { click 53 94 50 14; }
decrypt() { click 145 94 50 14; }

# Waits up to 5 s for a selection to hold the expected text, and returns what it holds.
selection() {  # selection expected
    local tries=0 got
    while :; do
        got=$(timeout 2 xclip -o -selection "$1" 2>/dev/null)
        if [ "$got" = "$2" ] || [ $tries -ge 50 ]; then break; fi
        tries=$((tries + 1))
        sleep 0.1
    done
    printf '%s' "$got"
}
# Characters outside the keyboard map are typed on a key xdotool maps for each; slowly, so that
# the program reads each key before the next mapping.
type_text() { xdotool type --delay 40 -- "$1"; }

# Selects the field's text (PRIMARY) and copies it (CLIPBOARD); both must hold `expected`.
copy_out() {  # description field expected
    "$2"
    xdotool key ctrl+a
    check "$1 (PRIMARY)" "$3" "$(selection primary "$3")"
    xdotool key ctrl+c
    check "$1 (CLIPBOARD)" "$3" "$(selection clipboard "$3")"
}
# Another program owns CLIPBOARD; Ctrl+V in the field pastes from it.
paste_into() {  # field text
    printf '%s' "$2" | xclip -selection clipboard -i
    "$1"
    xdotool key ctrl+a ctrl+v
}

# A session: encrypt, copy out, paste back, decrypt, copy the text out again.
session() {  # locale encoding account password
    local account_cipher password_cipher
    account_cipher=$(cipher_of "$3" "$2")
    password_cipher=$(cipher_of "$4" "$2")
    account_in
    type_text "$3"
    password_in
    type_text "$4"
    encrypt
    copy_out "$1: account cipher text" account_out "$account_cipher"
    copy_out "$1: password cipher text" password_out "$password_cipher"
    paste_into account_in "$account_cipher"
    paste_into password_in "$password_cipher"
    decrypt
    copy_out "$1: account deciphered" account_out "$3"
    copy_out "$1: password deciphered" password_out "$4"
    # A double click on the password's first word selects that word.
    xdotool mousemove --window "$window" $(((53 * WIDTH) / 326 + 6)) \
        $((((167 + 7) * HEIGHT) / 249)) click --repeat 2 --delay 80 1
    check "$1: a double click selects a word" "${4%% *}" "$(selection primary "${4%% *}")"
}

if [ -n "$screenshot" ]; then
    start zh_CN.UTF-8
    account_in
    type_text '张三'
    password_in
    type_text '密码123'
    encrypt
    sleep 0.5  # the program draws after the click
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$screenshot"
    xdotool key Escape
    check "screenshot taken" 2 "$(exit_code)"
    exit $failures
fi

# --- What the window manager reads, then a session closed with Enter: exit code 1.
start C.UTF-8
properties=$(xprop -id "$window")
check "title" '_NET_WM_NAME(UTF8_STRING) = "App"' "$(grep '^_NET_WM_NAME' <<<"$properties")"
check "class" 'WM_CLASS(STRING) = "credcipher", "credcipher"' \
    "$(grep '^WM_CLASS' <<<"$properties")"
check "icon sizes" "Icon (32 x 32): Icon (16 x 16):" \
    "$(grep -o 'Icon ([0-9]* x [0-9]*):' <<<"$properties" | tr '\n' ' ' | sed 's/ $//')"
check "fixed size" "minimum size: ${WIDTH} by ${HEIGHT}|maximum size: ${WIDTH} by ${HEIGHT}" \
    "$(grep -Eo '(minimum|maximum) size: .*' <<<"$properties" | paste -sd'|')"
check "a dialog" '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG' \
    "$(grep '^_NET_WM_WINDOW_TYPE' <<<"$properties")"
check "protocols" 'WM_PROTOCOLS(ATOM): protocols  WM_DELETE_WINDOW, WM_TAKE_FOCUS' \
    "$(grep '^WM_PROTOCOLS' <<<"$properties")"
session C.UTF-8 CP1252 alice 's3cret pass'
password_out
xdotool key Return
check "Enter closes with OK" 1 "$(exit_code)"

# --- Chinese typed under a Chinese locale (code page 936), closed with Escape: exit code 2.
start zh_CN.UTF-8
session zh_CN.UTF-8 GBK '张三' '密码123'
xdotool key Escape
check "Escape closes with Cancel" 2 "$(exit_code)"

# --- The window manager's close: exit code 2.
start C.UTF-8
"$send_close" "$window"
check "WM_DELETE_WINDOW closes with Cancel" 2 "$(exit_code)"

# --- The server goes away: Cancel, and a line on stderr.
start C.UTF-8
kill "$server_pid"
server_pid=
check "a lost server ends with Cancel" 2 "$(exit_code)"
check "a lost server is reported" 1 "$(grep -c 'X server' "$work/stderr")"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
