#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the real credcipher on a fresh virtual X screen (Xvfb, no window manager) the way a person
# does: clicks into the fields, types an account and a password (ASCII, then Chinese under
# LANG=zh_CN.UTF-8), encrypts, copies each cipher text out with Ctrl+A, Ctrl+C and reads it with
# xclip, checked against OpenSSL; pastes them back from another program's clipboard, decrypts,
# and closes with Enter (1), Escape (2) and a window manager's WM_DELETE_WINDOW (2). On the way the
# window's title, class, icon and size hints are read back with xprop, characters the dialog's
# font lacks are drawn from other fonts, the dialog is centred on one of two monitors, and a server that goes away ends the program as Cancel.
# The edit's context menu (a right click, Shift+F10, the menu key) pastes another program's
# copy when it is text; the middle button pastes PRIMARY into the field under the pointer.
#
# Usage: xvfb_e2e.sh path/to/credcipher path/to/x_probe    (exit 77 = skipped: a tool missing)
#        xvfb_e2e.sh path/to/credcipher path/to/x_probe --screenshot FILE.png
#        (only takes the README's picture: Chinese text encrypted, the focus on Encrypt)
set -u

binary=${1:?usage: xvfb_e2e.sh path/to/credcipher path/to/x_probe [--screenshot FILE]}
x_probe=${2:?usage: xvfb_e2e.sh path/to/credcipher path/to/x_probe [--screenshot FILE]}
screenshot=
[ "${3:-}" = --screenshot ] && screenshot=$(realpath "${4:?--screenshot needs a file}")
tools="Xvfb xdotool xclip xprop openssl iconv base64 od xwd xwdtopnm pnmcut ppmhist"
[ -n "$screenshot" ] && tools="$tools pnmtopng"
for tool in $tools; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

here=$(dirname "$(realpath "$0")")
. "$here/x11_session.sh"
start_server

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
# Ownerless: a normal window (metacity gives dialogs no minimise box), whose caption has the
# boxes its styles ask for: move, close and minimise; no resizing, maximising or full screen.
check "a normal window" '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL' \
    "$(grep '^_NET_WM_WINDOW_TYPE' <<<"$properties")"
check "caption boxes" '_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x2c, 0x3a, 0x0, 0x0' \
    "$(grep '^_MOTIF_WM_HINTS' <<<"$properties")"
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

# --- Alt+Space opens the window menu, also with no window manager: the space is no character
# typed, and Escape closes the menu, not the dialog.
start C.UTF-8
account_in
xdotool key alt+space
sleep 0.3
xdotool key Escape
type_text x
encrypt
copy_out "Alt+Space types nothing" account_out "$(cipher_of x CP1252)"
check "Escape closed the window menu only" "still running" "$(exit_code)"
xdotool key Escape
check "then Escape closes with Cancel" 2 "$(exit_code)"

# --- A right click in a field opens its context menu in a window of its own (no window manager
# needed); its mnemonics choose: A selects all, C copies. The letters are no text typed.
start C.UTF-8
account_in
type_text abc
arrived abc
right_click() { xdotool mousemove --window "$window" $(((100 * WIDTH) / 326)) \
    $(((52 * HEIGHT) / 249)) click 3; sleep 0.3; }
right_click
xdotool key a
right_click
xdotool key c
check "the context menu selects all and copies" abc "$(selection clipboard abc)"
# Another program's copy takes the clipboard: the menu's Paste pastes it, as on Windows, not
# the text it replaced.
printf other | xclip -selection clipboard -i
sleep 0.3
xdotool key End
right_click
xdotool key p
arrived abcother
encrypt
copy_out "the menu pasted another program's copy" account_out "$(cipher_of abcother CP1252)"
# Another program's copy that is no text (only an image): Paste is greyed, so its mnemonic
# leaves the menu open, and Escape then closes the menu, not the dialog.
printf '\x89PNG\r\n' | xclip -selection clipboard -t image/png -i
sleep 0.3
right_click
xdotool key p
sleep 0.3
xdotool key Escape
check "Paste is greyed for a copy that is no text" "still running" "$(exit_code)"
xdotool key Escape
check "closed with Cancel after the menu" 2 "$(exit_code)"

# --- Shift+F10 and the menu key open the focused field's context menu. Another program's text
# on the clipboard when the dialog starts can be pasted from it.
printf started | xclip -selection clipboard -i
start C.UTF-8
account_in
xdotool key shift+F10
sleep 0.3
xdotool key p
arrived started
encrypt
copy_out "Shift+F10's menu pasted" account_out "$(cipher_of started CP1252)"
account_in
xdotool key Menu
sleep 0.3
xdotool key a
type_text z
encrypt
copy_out "the menu key's menu selected all" account_out "$(cipher_of z CP1252)"
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"

# --- The middle button pastes PRIMARY into the field under the pointer, which takes the focus,
# and nothing over a button; this program's own PRIMARY too (a selection in an output field).
middle_click() {  # control
    local x y w h
    read -r x y w h <<<"$(place_of "$1")"
    xdotool mousemove --window "$window" $((((x + w / 2) * WIDTH) / 326)) \
        $((((y + h / 2) * HEIGHT) / 249)) click 2
    sleep 0.5
}
printf 'from primary' | xclip -selection primary -i
start C.UTF-8
account_in
type_text acc
arrived acc
middle_click password_in
type_text x
middle_click encrypt
encrypt
copy_out "the account keeps its text" account_out "$(cipher_of acc CP1252)"
copy_out "the middle button pasted under the pointer" password_out \
    "$(cipher_of 'from primaryx' CP1252)"
account_out
xdotool key ctrl+a
middle_click account_in
xdotool key ctrl+a ctrl+c
check "the middle button pasted this program's own PRIMARY" \
    "acc$(cipher_of acc CP1252)" "$(selection clipboard "acc$(cipher_of acc CP1252)")"
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"

# --- Long text is drawn inside its field, whatever its length: a 66-character address stops at
# the field's border; 4,096 characters and the 30,000 of the field's limit, far beyond X's 16-bit
# coordinates, still show their end, and the caret stays off the label. Pixels of the screen, in the dialog's units.
colours() {  # x y width height: how many colours the region has
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null |
        pnmcut -left $((($1 * WIDTH) / 326)) -top $((($2 * HEIGHT) / 249)) \
            -width $((($3 * WIDTH) / 326)) -height $((($4 * HEIGHT) / 249)) |
        ppmhist -noheader | wc -l
}
paste_long() {  # characters key
    local text
    text=$(head -c "$1" /dev/zero | tr '\0' a | sed 's/^a\{8\}/https:\/\//')
    printf '%s' "$text" | xclip -selection clipboard -i
    paste_with account_in "key ctrl+a ctrl+v" "${text:0:30000}"
    xdotool key "$2"
    sleep 0.5
}
start C.UTF-8
# Between the field's edge and its text Windows leaves margins (half an average character each
# side for this font, and a pixel inside the sunken edge): the 3 pixels within the edge stay
# blank beside text that runs on past them.
margin_colours() {  # left | right
    local x
    case $1 in
        left) x=$(((53 * WIDTH) / 326 + 3)) ;;
        right) x=$((((53 + 238) * WIDTH) / 326 - 6)) ;;
    esac
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null |
        pnmcut -left "$x" -top $(((49 * HEIGHT) / 249)) -width 3 -height $(((6 * HEIGHT) / 249)) |
        ppmhist -noheader | wc -l
}
label=$(pixels 0 45 52 14)
paste_long 66 Home
check "66 characters stop at the field's border" 1 "$(colours 292 45 30 14)"
check "the margins are left blank" "1 1" "$(margin_colours left) $(margin_colours right)"
for length in 4096 32767; do  # cut to 30,000
    paste_long $length End
    check "$length characters show their end" "yes" \
        "$([ "$(colours 56 47 230 10)" -gt 1 ] && echo yes || echo no)"
    check "$length characters: the margins are left blank" "1 1" \
        "$(margin_colours left) $(margin_colours right)"
done
check "the caret stays off the label" "$label" "$(pixels 0 45 52 14)"
# A copy too large for one piece, asked for twice at once on one window (MULTIPLE): both
# transfers run to their ends, in pieces (INCR).
wide=$(head -c 30000 /dev/zero | tr '\0' a | sed 's/a/中/g')
printf '%s' "$wide" | xclip -selection clipboard -i
paste_with account_in "key ctrl+a ctrl+v" "$wide"
check "two large transfers to one window both end" "90000 90000" \
    "$("$x_probe" multiple CLIPBOARD)"
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"

# --- Characters the dialog's font lacks (Hebrew, emoji) are drawn from fonts that have them
# (DejaVu Sans): two different words of them look different, as boxes would not.
start C.UTF-8
looks() {  # text: the account field's picture with it
    account_in
    xdotool key ctrl+a BackSpace
    type_text "$1"
    arrived "$1"
    pixels $(place_of account_in)
}
for pair in 'שלום אבגד' '😀 😎'; do
    read -r one other <<<"$pair"
    check "$one and $other look different" yes "$([ "$(looks "$one")" != "$(looks "$other")" ] &&
        echo yes || echo no)"
done
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"

# --- Two monitors side by side (RandR): the dialog is centred on the primary one, the left,
# not across the join.
"$x_probe" monitors 800x1024+0+0 480x1024+800+0 >"$work/monitors" &
monitors_pid=$!
await ready cat "$work/monitors" || fail "the monitors were not set"
start C.UTF-8
check "centred on the primary monitor" 400 "$(((X + WIDTH / 2 + 2) / 5 * 5))"
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"
kill "$monitors_pid"
wait "$monitors_pid" 2>/dev/null

# --- The window manager's close: exit code 2.
start C.UTF-8
"$x_probe" close "$window"
check "WM_DELETE_WINDOW closes with Cancel" 2 "$(exit_code)"

# --- The server goes away: Cancel, and a line on stderr.
start C.UTF-8
kill "$server_pid"
server_pid=
check "a lost server ends with Cancel" 2 "$(exit_code)"
check "a lost server is reported" 1 "$(grep -c 'X server' "$work/stderr")"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
