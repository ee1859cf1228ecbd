#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the real credcipher in an 80x24 UTF-8 terminal (tmux) the way a person does: types an
# account and a password, encrypts, reads the cipher texts off the screen and checks them against
# OpenSSL, copies them up (clipboard keys and a bracketed paste), decrypts, and closes the dialog
# with Enter, Escape and the mouse, checking the exit codes. Then: small terminals, terminals
# without an alternate screen, the cursor after each Tab, the task bar, a Chinese account under
# zh_CN.UTF-8, ISO-8859-1 and GBK locales against OpenSSL, every signal with the terminal's modes
# read back, keys split by a slow link, pastes that never end and replies nobody asked for.
#
# Usage: tmux_e2e.sh path/to/credcipher
# (exit 77 = skipped: tmux, openssl, iconv, luit or python3 missing)
set -u

binary=${1:?usage: tmux_e2e.sh path/to/credcipher}
for tool in tmux openssl iconv base64 od luit python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
export LC_ALL=C.UTF-8

work=$(mktemp -d)
socket="$work/tmux.socket"
printf 'set -g remain-on-exit on\nset -g history-limit 0\nset -g scroll-on-clear off\nset -s set-clipboard on\n' \
    >"$work/tmux.conf"
tmux_() { tmux -u -S "$socket" -f "$work/tmux.conf" "$@"; }
cleanup() {
    tmux_ kill-server 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$(realpath "$0")")/../session_checks.sh"

# Starts credcipher in session $1 with locale $2 (and TERM $3, environment $4, size $5, and
# what shows that it is up, $6); the exit code goes to $work/$1.rc and the
# terminal modes before and after to $work/$1.before / .after (the pane stays, as a dead pane's
# modes are tmux's own). The inner shell writes its pid
# and becomes credcipher (through $launcher, if set), so that tests can signal it.
launcher=
start() {
    local name=$1 lang=$2 term=${3:-xterm-256color} environment=${4:-} size=${5:-80x24}
    local ready=${6:-App}
    tmux_ new-session -d -s "$name" -x "${size%x*}" -y "${size#*x}" \
        "env $environment TERM=$term LANG=$lang LC_ALL= sh -c 'stty -g > $work/$name.before; \
sh -c \"echo \\\$\\\$ > $work/$name.pid; exec $launcher \\\"$binary\\\"\"; echo \$? > $work/$name.rc; \
stty -g > $work/$name.after; exec sleep 600'"
    wait_for "$name" "$ready" || fail "$name: the dialog did not appear"
}

screen() { tmux_ capture-pane -p -t "$1"; }

# Waits up to 10 s for a pattern (grep -E) on the screen of session $1.
wait_for() {
    local name=$1 pattern=$2 tries=0
    until screen "$name" | grep -Eq -- "$pattern"; do
        tries=$((tries + 1))
        if [ $tries -ge 200 ]; then
            echo "--- screen of $name while waiting for '$pattern':"
            screen "$name"
            return 1
        fi
        sleep 0.05
    done
}

# Waits up to 10 s for the program of session $1 to exit; prints its exit code.
exit_code() {
    local name=$1 tries=0
    until [ -s "$work/$name.after" ]; do
        tries=$((tries + 1))
        if [ $tries -ge 200 ]; then
            echo "timeout"
            return
        fi
        sleep 0.05
    done
    cat "$work/$name.rc"
}

# The text after the n-th label $2 ("帐号：" or "密码：") on the screen of session $1.
field() {
    screen "$1" | grep -F -- "$2" | sed -n "${3}p" |
        sed -e "s/.*$2//" -e 's/[║│]//g' -e 's/^ *//' -e 's/ *$//'
}

keys() { tmux_ send-keys -t "$@"; }
text() { tmux_ send-keys -t "$1" -l -- "$2"; }

# The modes of the pane as tmux keeps them: alternate screen, cursor shown, keypad and cursor
# key modes, mouse reports (1000, 1002, 1003, 1006).
shell_modes="alternate 0 cursor 1 keypad 00 mouse 0000"
pane_modes() {
    tmux_ display -p -t "$1" 'alternate #{alternate_on} cursor #{cursor_flag} keypad #{keypad_flag}#{keypad_cursor_flag} mouse #{mouse_standard_flag}#{mouse_button_flag}#{mouse_any_flag}#{mouse_sgr_flag}'
}

# After the program ended the pane shows the main screen again, with the modes it had before.
check_restored() {
    local name=$1
    check "$name: the pane's modes restored" "$shell_modes" "$(pane_modes "$name")"
    if screen "$name" | grep -q 'App'; then fail "$name: the dialog is still on the screen"; else pass; fi
    check "$name: terminal modes restored" "$(cat "$work/$name.before")" "$(cat "$work/$name.after")"
}

# --- Encrypt, copy up, decrypt, Enter in an edit field: exit code 1.
start main C.UTF-8
account=alice
password='s3cret pass'
keys main Tab Tab                # OK -> Cancel -> account
text main "$account"
keys main Tab
text main "$password"
keys main Tab Space              # Encrypt
account_cipher=$(cipher_of "$account" CP1252)
password_cipher=$(cipher_of "$password" CP1252)
wait_for main "$account_cipher" >/dev/null
check "account cipher text" "$account_cipher" "$(field main 帐号： 2)"
check "password cipher text" "$password_cipher" "$(field main 密码： 2)"

# The account's cipher text up through the clipboard: Tab selects the whole field.
keys main Tab C-c
tries=0  # the copy also reaches the terminal's clipboard (OSC 52), here tmux's buffer
until [ "$(tmux_ show-buffer 2>/dev/null)" = "$account_cipher" ] || [ $tries -ge 100 ]; do
    tries=$((tries + 1))
    sleep 0.05
done
check "a copy reaches tmux's buffer" "$account_cipher" "$(tmux_ show-buffer 2>/dev/null)"
keys main BTab BTab BTab C-v
# The password's through a bracketed paste, as a terminal pastes.
keys main Tab
tmux_ set-buffer -- "$password_cipher"
tmux_ paste-buffer -p -t main
wait_for main "密码： +$password_cipher" >/dev/null
check "account copied up" "$account_cipher" "$(field main 帐号： 1)"
check "password pasted up" "$password_cipher" "$(field main 密码： 1)"
keys main Tab Tab Tab Tab Space  # Decrypt
wait_for main "密码： +$password *║" >/dev/null
check "account deciphered" "$account" "$(field main 帐号： 2)"
check "password deciphered" "$password" "$(field main 密码： 2)"
keys main BTab Enter             # Enter in the password output field is OK
check "Enter closes with OK" 1 "$(exit_code main)"
check_restored main

# --- Escape: exit code 2. On the way: a click places the caret in a field, a resize redraws.
start escape C.UTF-8
keys escape Tab Tab
text escape 'abcdef'
wait_for escape 'abcdef' >/dev/null
row=$(screen escape | grep -n '帐号：' | head -1 | cut -d: -f1)
line=$(screen escape | grep '帐号：' | head -1)
column=$(printf '%s' "${line%%abcdef*}" | wc -L)  # display columns before the text
click() { text "$1" "$(printf '\033[<0;%d;%dM\033[<0;%d;%dm' "$2" "$3" "$2" "$3")"; }
click escape $((column + 3)) "$row"  # on the "c"
text escape 'X'
wait_for escape 'abXcdef' >/dev/null
check "a click places the caret" abXcdef "$(field escape 帐号： 1)"
# Shrinking cuts off the caption's right end; growing back shows it only if redrawn.
tmux_ resize-window -t escape -x 60 -y 15
tmux_ resize-window -t escape -x 80 -y 24
wait_for escape '\[X\]║' >/dev/null || fail "no redraw after a resize"
check "the field after a resize" abXcdef "$(field escape 帐号： 1)"
keys escape Escape
check "Escape closes with Cancel" 2 "$(exit_code escape)"
check_restored escape

# --- The field's context menu: Shift+F10 opens it, its mnemonic A selects all (the letter is no
# text typed); a right click on the field opens it too, and Escape closes only the menu.
start context C.UTF-8
keys context Tab Tab
text context 'abc'
wait_for context '帐号： +abc' >/dev/null
keys context S-F10
wait_for context '│ Select All +│' >/dev/null || fail "Shift+F10 shows no context menu"
keys context a
text context 'X'
wait_for context '帐号： +X ' >/dev/null
check "Select All from the context menu" X "$(field context 帐号： 1)"
row=$(screen context | grep -n '帐号：' | head -1 | cut -d: -f1)
line=$(screen context | grep '帐号：' | head -1)
column=$(printf '%s' "${line%%X*}" | wc -L)
text context "$(printf '\033[<2;%d;%dM\033[<2;%d;%dm' $((column + 1)) "$row" $((column + 1)) "$row")"
wait_for context '│ Select All +│' >/dev/null || fail "a right click shows no context menu"
keys context Escape
sleep 0.5  # a lone Escape, not Alt+Y
text context 'Y'
wait_for context '帐号： +XY ' >/dev/null || fail "Escape did not close the context menu"
keys context Escape
check "then Escape closes with Cancel" 2 "$(exit_code context)"

# --- A click on the close box: exit code 2. The frame's right edge finds the box.
start mouse C.UTF-8
row=$(screen mouse | grep -n 'App' | head -1 | cut -d: -f1)
line=$(screen mouse | sed -n "${row}p")
close=$(printf '%s' "${line%%\[X\]*}" | wc -L)
click mouse $((close + 2)) "$row"
check "the close box closes with Cancel" 2 "$(exit_code mouse)"

# --- Moving the dialog: the window menu's Move with arrows, then a drag on the caption; the
# dialog still works where it went.
start moved C.UTF-8 xterm-256color "" 100x30
caption_at() {  # "row column" of the caption's "║ App"
    local row line
    row=$(screen moved | grep -n '║ App' | head -1 | cut -d: -f1)
    line=$(screen moved | sed -n "${row}p")
    echo "$row $(printf '%s' "${line%%║ App*}" | wc -L)"
}
read -r row column <<<"$(caption_at)"
keys moved M-Space
wait_for moved '│ Move +│' >/dev/null || fail "Alt+Space shows no window menu"
keys moved m Left Left Up Enter
wait_for moved "^ {$((column - 2))}║ App" >/dev/null
check "moved by the keyboard" "$((row - 1)) $((column - 2))" "$(caption_at)"
read -r row column <<<"$(caption_at)"
text moved "$(printf '\033[<0;%d;%dM\033[<32;%d;%dM\033[<0;%d;%dm' $((column + 10)) "$row" \
    $((column + 12)) $((row + 1)) $((column + 15)) $((row + 2)))"
wait_for moved "^ {$((column + 5))}║ App" >/dev/null
check "moved by a drag on the caption" "$((row + 2)) $((column + 5))" "$(caption_at)"
keys moved Tab Tab
text moved 'abc'
keys moved Tab Tab Space          # Encrypt
wait_for moved "$(cipher_of abc CP1252)" >/dev/null || fail "moved: Encrypt did nothing"
keys moved Escape
check "Escape after moving" 2 "$(exit_code moved)"

# --- No input lost or changed: invalid UTF-8 typed and pasted, tabs and control characters
# pasted, a paste after the program was stopped (Ctrl+Z) and continued, keypad Enter.
start input C.UTF-8 tmux-256color
keys input Tab Tab
tmux_ send-keys -t input -H 61 ff 62 63 64         # "a" ff "bcd" typed
wait_for input 'a.bcd' >/dev/null
check "an invalid typed byte is one replacement" "a�bcd" "$(field input 帐号： 1)"
keys input Tab
printf 'abc\377def' >"$work/invalid"
tmux_ load-buffer "$work/invalid"
tmux_ paste-buffer -p -t input
wait_for input 'abc.def' >/dev/null
check "an invalid pasted byte is one replacement" "abc�def" "$(field input 密码： 1)"
keys input C-a
tmux_ set-buffer -- "$(printf 'a\tb\001c')"
tmux_ paste-buffer -p -t input
wait_for input 'a␉b␁c' >/dev/null
check "pasted tab and control character kept and shown" "a␉b␁c" "$(field input 密码： 1)"
pid=$(cat "$work/input.pid")
kill -s TSTP "$pid"
sleep 0.2
printf '\033[?2004l' >"$(tmux_ display -p -t input '#{pane_tty}')"  # as the shell leaves it
kill -s CONT "$pid"
sleep 0.2
keys input C-a
tmux_ set-buffer -- "$(printf 'x\ny')"
tmux_ paste-buffer -p -t input
wait_for input '密码： +x ' >/dev/null
check "a paste after stop and continue is a paste" "x" "$(field input 密码： 1)"
text input "$(printf '\033OM')"                     # keypad Enter in application mode
check "keypad Enter is Enter" 1 "$(exit_code input)"
check_restored input

# --- Exported COLUMNS and LINES do not override the terminal's real size.
start sized C.UTF-8 xterm-256color "COLUMNS=200 LINES=60"
wait_for sized '^  ║ App +\[_\]\[\^\]\[X\]║$' >/dev/null || fail "the dialog is not in the 80x24 terminal"
keys sized Escape
check "Escape with COLUMNS and LINES exported" 2 "$(exit_code sized)"

# --- A terminal shrunk from 200x60 to 80x24 brings the dialog back, centred.
start shrunk C.UTF-8 xterm-256color "" 200x60
tmux_ resize-window -t shrunk -x 80 -y 24
wait_for shrunk '^  ║ App +\[_\]\[\^\]\[X\]║$' >/dev/null || fail "the dialog did not come back"
check "the whole dialog after shrinking" 1 "$(screen shrunk | grep -c '╚═*╝')"
keys shrunk Escape
check "Escape after shrinking" 2 "$(exit_code shrunk)"

# --- A 60x15 terminal shows the part of the dialog around the focus, marked as cut off, and
# every control can be reached and used.
start small C.UTF-8 xterm-256color "" 60x15 'OK'
screen small | grep -qE '[◀▶▲▼]' && pass || fail "small: no mark that the dialog is cut off"
keys small Tab Tab
text small 'abc'
keys small Tab
text small 'xyz'
wait_for small '密码： +xyz' >/dev/null || fail "small: the password field is not in view"
keys small Tab Space Tab Tab     # Encrypt, then to the password's cipher text
small_cipher=$(cipher_of abc CP1252)
wait_for small "$small_cipher" >/dev/null || fail "small: the cipher text is not in view"
wait_for small "密码： +$(cipher_of xyz CP1252)" >/dev/null ||
    fail "small: the focused field's cipher text is not all in view"
keys small Tab Tab Tab
wait_for small 'Cancel' >/dev/null || fail "small: Cancel is not in view"
# The caption is far above the screen now; the window menu that takes the keys is on it.
keys small M-Space
wait_for small '│ Move +│' >/dev/null || fail "small: the window menu is off the screen"
keys small Escape
tries=0
while screen small | grep -q '│ Move' && [ $tries -lt 200 ]; do
    tries=$((tries + 1))
    sleep 0.05
done
keys small Space
check "small: Cancel reached and pressed" 2 "$(exit_code small)"

# --- The smallest terminals: the marks of the cut never cover what was typed; after shrinking
# and growing back, the dialog is centred again.
start tiny C.UTF-8 xterm-256color "" 20x5 '[◀▶▲▼]'
keys tiny Tab Tab
text tiny 'abcdefghijklmnop'
wait_for tiny 'abcdefghijklmnop' >/dev/null || fail "tiny: what was typed is covered"
keys tiny Escape
check "tiny: Escape" 2 "$(exit_code tiny)"
start regrown C.UTF-8 xterm-256color "" 100x30
centred=$(screen regrown | grep -n '║ App')
tmux_ resize-window -t regrown -x 60 -y 15
wait_for regrown '[◀▶▲▼]' >/dev/null || fail "regrown: the small screen shows no cut"
tmux_ resize-window -t regrown -x 100 -y 30
wait_for regrown "^ {11}║ App" >/dev/null
check "centred again after shrinking and growing back" "$centred" "$(screen regrown | grep -n '║ App')"
keys regrown Escape
check "regrown: Escape" 2 "$(exit_code regrown)"

# --- The terminal's cursor stands where the keyboard is, after each Tab: on a button's text,
# at a field's caret; also where the terminal cannot hide it.
for term in xterm-256color vt100 ansi; do
    start "cursor_$term" C.UTF-8 "$term"
    # row, column and character under the cursor: on the first letter of Cancel's text, at the
    # start of each empty field (right of its label), on 加密's, 解密's and OK's first letter
    for expected in "21 67 C" "6 15  " "8 15  " "10 19 加" "14 15  " "16 15  " "10 40 解" \
        "21 55 O"; do
        keys "cursor_$term" Tab
        tries=0
        until [ "$(tmux_ display -p -t "cursor_$term" \
            '#{cursor_y} #{cursor_x} #{cursor_character}')" = "$expected" ] ||
            [ $tries -ge 100 ]; do
            tries=$((tries + 1))
            sleep 0.05
        done
        check "$term: the cursor after a Tab" "$expected 1" "$(tmux_ display -p -t "cursor_$term" \
            '#{cursor_y} #{cursor_x} #{cursor_character} #{cursor_flag}')"
    done
    keys "cursor_$term" Escape
    check "$term: Escape" 2 "$(exit_code "cursor_$term")"
done

# --- Minimised, the dialog comes back from the keyboard: the task bar says how.
start minimised C.UTF-8
keys minimised M-Space
wait_for minimised '│ Move +│' >/dev/null
# The window menu underlines its mnemonics.
tmux_ capture-pane -e -p -t minimised | grep -q $'\033\[[0-9;]*4[0-9;]*mM' && pass ||
    fail "the window menu shows no mnemonic underline"
keys minimised n
wait_for minimised '^\[App\] +Enter: restore' >/dev/null || fail "the task bar does not say how"
keys minimised Enter
wait_for minimised '║ App' >/dev/null || fail "Enter on the task bar does not restore the dialog"
keys minimised M-Space
wait_for minimised '│ Move +│' >/dev/null
keys minimised n
wait_for minimised '^\[App\]' >/dev/null
keys minimised M-Tab
wait_for minimised '║ App' >/dev/null || fail "Alt+Tab does not restore the dialog"
keys minimised Tab Tab
text minimised 'back'
wait_for minimised '帐号： +back' >/dev/null || fail "no typing after the restore"
keys minimised Escape
check "minimised: Escape after the restores" 2 "$(exit_code minimised)"

# --- Without an alternate screen (TERM=linux), the shell's earlier output is kept: scrolled
# into the terminal's history, not erased. tmux keeps a cleared screen nowhere here
# (scroll-on-clear off), as a terminal that erases does.
tmux_ set -g history-limit 100
printf '#!/bin/sh\necho EARLIER-OUTPUT\nexec "$@"\n' >"$work/say_first"
chmod +x "$work/say_first"
launcher="$work/say_first" start kept C.UTF-8 linux
launcher=
keys kept Escape
check "TERM=linux: Escape" 2 "$(exit_code kept)"
tmux_ capture-pane -p -S -100 -t kept | grep -q EARLIER-OUTPUT && pass ||
    fail "TERM=linux: the earlier output was erased"
if screen kept | grep -q 'App'; then fail "TERM=linux: the dialog stays"; else pass; fi
tmux_ set -g history-limit 0

# --- Terminals with padding in their descriptions and no alternate screen.
for term in vt100 vt102; do
    start "$term" C.UTF-8 "$term"
    keys "$term" Escape
    check "$term: Escape" 2 "$(exit_code "$term")"
    if screen "$term" | grep -qF '$<'; then fail "$term: padding printed as text"; else pass; fi
    if screen "$term" | grep -q 'App'; then fail "$term: the dialog stays"; else pass; fi
done

# --- Chinese account under zh_CN (code page 936, the locale need not be installed).
start chinese zh_CN.UTF-8
chinese_account='张三的帐号'
keys chinese Tab Tab
text chinese "$chinese_account"
keys chinese Tab Tab Space
chinese_cipher=$(cipher_of "$chinese_account" GBK)
wait_for chinese "$chinese_cipher" >/dev/null
check "account typed in Chinese" "$chinese_account" "$(field chinese 帐号： 1)"
check "Chinese account enciphered from its GBK bytes" "$chinese_cipher" \
    "$(field chinese 帐号： 2)"
keys chinese Escape
check "Escape under zh_CN" 2 "$(exit_code chinese)"

# --- Locales whose encoding is not UTF-8 (scripts/setup.sh test generates them). luit, a real
# converter between the UTF-8 terminal and the locale's encoding, stands for a terminal that
# speaks it: typed text reaches the program in that encoding, and what it writes comes back.
launcher="luit --" start latin1 en_US.ISO-8859-1
keys latin1 Tab Tab
text latin1 'éA'
keys latin1 Tab Tab Space
latin1_cipher=$(cipher_of 'éA' CP1252)
wait_for latin1 "$latin1_cipher" >/dev/null
# Rows 7 and 15: the account's input and output fields.
check "ISO-8859-1: typed in Latin-1, enciphered in code page 1252" "$latin1_cipher" \
    "$(screen latin1 | sed -n 15p | grep -oE '[A-Za-z0-9+/]{22}==')"
check "ISO-8859-1: the field shows what was typed" 'éA' "$(screen latin1 | sed -n 7p | grep -o 'éA')"
# Labels Latin-1 cannot show are shown by their code points: Encrypt and Decrypt differ.
screen latin1 | grep -q 'U+52A0.*U+89E3' && pass ||
    fail "ISO-8859-1: Encrypt and Decrypt are not told apart: $(screen latin1 | sed -n 11p)"
keys latin1 Escape  # luit's own exit code is 0
[ "$(exit_code latin1)" != timeout ] && pass || fail "Escape under ISO-8859-1 did not end the program"

launcher="luit --" start gbk zh_CN.GBK
keys gbk Tab Tab
text gbk '张三'
keys gbk Tab Tab Space
gbk_cipher=$(cipher_of '张三' GBK)
wait_for gbk "$gbk_cipher" >/dev/null
check "GBK: typed in GBK, enciphered from its GBK bytes" "$gbk_cipher" \
    "$(screen gbk | sed -n 15p | grep -oE '[A-Za-z0-9+/]{22}==')"
check "GBK: labels and field shown in GBK" '帐号：   张三' "$(screen gbk | sed -n 7p | grep -o '帐号： *张三')"
keys gbk Escape
[ "$(exit_code gbk)" != timeout ] && pass || fail "Escape under GBK did not end the program"
# The frame in the terminal's line-drawing set (shifted out: SO ... SI), not in GBK's box
# characters, which such a terminal shows two cells wide. The GBK bytes typed straight in.
start gbk_frame zh_CN.GBK
case "$(tmux_ capture-pane -e -p -t gbk_frame | sed -n 1p)" in
    *$'\016'lqqqqqqqqqq*) pass ;;
    *) fail "GBK: the frame is not drawn with the line-drawing set" ;;
esac
keys gbk_frame Tab Tab
tmux_ send-keys -t gbk_frame -H d5 c5 c8 fd  # 张三 in GBK
keys gbk_frame Tab Tab Space
wait_for gbk_frame "$gbk_cipher" >/dev/null || fail "GBK: the GBK bytes typed give no cipher text"
keys gbk_frame Escape
check "Escape under GBK, straight" 2 "$(exit_code gbk_frame)"
launcher=

# --- Signals: each one that ends the program restores the terminal first; SIGHUP ends it as
# Cancel does, unless the parent ignores it.
for signal in INT TERM SEGV USR1 USR2 ALRM PIPE XCPU VTALRM PROF HUP; do
    name=signal_$signal
    start "$name" C.UTF-8
    kill -s "$signal" "$(cat "$work/$name.pid")"
    code=$(exit_code "$name")
    expected=$((128 + $(kill -l "$signal")))
    [ "$signal" = HUP ] && expected=2
    check "SIG$signal ends the program" "$expected" "$code"
    check_restored "$name"
done
printf '#!/bin/sh\ntrap "" HUP\nexec "$@"\n' >"$work/ignore_hup"
chmod +x "$work/ignore_hup"
launcher="$work/ignore_hup" start nohup C.UTF-8
kill -s HUP "$(cat "$work/nohup.pid")"
keys nohup Tab Tab
text nohup 'alive'
wait_for nohup '帐号： +alive' >/dev/null || fail "an ignored SIGHUP ended the program"
keys nohup Escape
check "Escape after an ignored SIGHUP" 2 "$(exit_code nohup)"

# The signals that stop it: the terminal is the shell's while stopped, the dialog's again after
# SIGCONT. The program runs as a job of its own in the foreground, as a shell with job control
# runs it, with the signals a shell resets for its jobs (tmux leaves TTIN and TTOU ignored): a
# process group without a parent outside it is never stopped.
cat >"$work/own_job" <<'EOF_JOB'
#!/usr/bin/env python3
import os, signal, sys
os.setpgid(0, 0)
signal.signal(signal.SIGTTOU, signal.SIG_IGN)
os.tcsetpgrp(0, os.getpgrp())
for number in (signal.SIGTTIN, signal.SIGTTOU, signal.SIGPIPE, signal.SIGXFSZ):
    signal.signal(number, signal.SIG_DFL)
os.execv(sys.argv[1], sys.argv[1:])
EOF_JOB
chmod +x "$work/own_job"
for signal in TSTP TTIN TTOU; do
    name=stop_$signal
    launcher="$work/own_job" start "$name" C.UTF-8
    pid=$(cat "$work/$name.pid")
    kill -s "$signal" "$pid"
    tries=0
    until [ "$(ps -o stat= -p "$pid" | cut -c1)" = T ] || [ $tries -ge 200 ]; do
        tries=$((tries + 1))
        sleep 0.05
    done
    check "SIG$signal: the pane's modes while stopped" "$shell_modes" "$(pane_modes "$name")"
    check "SIG$signal: terminal modes while stopped" "$(cat "$work/$name.before")" \
        "$(stty -g -F "$(tmux_ display -p -t "$name" '#{pane_tty}')")"
    check "SIG$signal stops the program" T "$(ps -o stat= -p "$pid" | cut -c1)"
    kill -s CONT "$pid"
    wait_for "$name" '║ App' >/dev/null || fail "SIG$signal: no dialog after SIGCONT"
    check "SIG$signal: mouse reports again after SIGCONT" "mouse 0111" \
        "$(pane_modes "$name" | grep -o 'mouse.*')"
    keys "$name" Tab Tab
    text "$name" 'back'
    wait_for "$name" '帐号： +back' >/dev/null || fail "SIG$signal: no typing after SIGCONT"
    keys "$name" Escape
    check "SIG$signal: Escape after SIGCONT" 2 "$(exit_code "$name")"
    check_restored "$name"
done

# --- Nothing a terminal sends leaves the program deaf, and no reply becomes text.
# TERM=linux: Shift+Tab is ESC Tab there, and ESC [ Z elsewhere; both move the focus back.
start linux C.UTF-8 linux
keys linux Tab Tab
text linux "$(printf 'ab\033[Z')"  # account -> Cancel
keys linux Tab
text linux "$(printf 'c\033\t')"    # account (all selected) -> Cancel
keys linux Tab
text linux 'd'
wait_for linux '帐号： +d ' >/dev/null
check "TERM=linux: ESC [ Z and ESC Tab are Shift+Tab" d "$(field linux 帐号： 1)"
# Replies to questions the program never asked: colour reports, a DCS reply, a title, APC
# and PM strings, with BEL and ST ends.
text linux "$(printf '\033]11;rgb:0/0/0\a\033P1$r0m\033\\\033]0;x\033\\\033_apc\033\\\033^pm\a\033[?62;22cok')"
wait_for linux '帐号： +dok ' >/dev/null
check "terminal replies are not typed text" dok "$(field linux 帐号： 1)"
keys linux Escape
check "TERM=linux: Escape" 2 "$(exit_code linux)"

# A key's sequence split by a slow link: after its ESC (50 ms), after its "ESC [" (300 ms).
# The gaps are timed by the tmux server itself.
start split C.UTF-8
keys split Tab Tab
text split abc
tmux_ send-keys -t split Escape \; run-shell -d 0.05 '' \; send-keys -t split -l '[D'
text split X
tmux_ send-keys -t split -l $'\033[' \; run-shell -d 0.3 '' \; send-keys -t split -l 'D'
text split Y
wait_for split '帐号： +abYXc ' >/dev/null
check "split sequences are keys" abYXc "$(field split 帐号： 1)"
check "the dialog asks for drag reports (1002) in SGR form (1006)" "mouse 0111" \
    "$(pane_modes split | grep -o 'mouse.*')"
# A paste whose end never comes ends after a while; the keys after it are keys again.
text split "$(printf '\033[200~pasted')"
sleep 2.5
text split Z
wait_for split '帐号： +abYpastedZXc ' >/dev/null
check "a paste without its end" abYpastedZXc "$(field split 帐号： 1)"
keys split Escape
check "a lone Escape is Cancel" 2 "$(exit_code split)"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
