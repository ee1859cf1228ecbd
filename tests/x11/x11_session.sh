# SPDX-License-Identifier: MIT
# Sourced by the X11 suites: a fresh Xvfb screen, the program started on it, its controls clicked
# by their place in the main dialog, selections read with xclip. Needs $binary and $here.
# Under the leak checker, the font libraries' lifelong caches are not the program's leaks.
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan.supp"
export LSAN_OPTIONS

work=$(mktemp -d)
server_pid=
start_server() {  # [more Xvfb options]
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" 3>"$work/display" \
        2>"$work/xvfb.log" &
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

. "$here/../session_checks.sh"

# Starts credcipher with locale $1; its exit code goes to $work/rc, stderr to $work/stderr.
window=
start() {
    rm -f "$work/rc"
    (LANG=$1 LC_ALL= WIN32_DISPLAY= "$binary" </dev/null >/dev/null 2>"$work/stderr"
     echo $? >"$work/rc") &
    # xdotool ends with an X error when a window it looks at goes meanwhile (a desktop's own
    # windows as it starts): it looks again, for 30 s in all.
    local until=$((SECONDS + 30))
    window=
    while [ -z "$window" ] && [ "$SECONDS" -lt "$until" ]; do
        window=$(timeout $((until - SECONDS)) xdotool search --sync --class credcipher 2>/dev/null |
            head -1)
    done
    [ -n "$window" ] || fail "the window did not appear: $(cat "$work/stderr")"
    eval "$(xdotool getwindowgeometry --shell "$window")"
}

exit_code() {
    local tries=0
    until [ -s "$work/rc" ] || [ $tries -ge 100 ]; do tries=$((tries + 1)); sleep 0.05; done
    cat "$work/rc" 2>/dev/null || echo "still running"
}

# The controls of the 326 x 249 main dialog, in its dialog units: x y width height.
place_of() {
    case $1 in
        account_in) echo 53 45 238 14 ;;
        password_in) echo 53 69 238 14 ;;
        account_out) echo 53 143 238 14 ;;
        password_out) echo 53 167 238 14 ;;
        encrypt) echo 53 94 50 14 ;;
        decrypt) echo 145 94 50 14 ;;
    esac
}
# Clicks the middle of a control given in dialog units.
click() {  # x y width height
    xdotool mousemove --window "$window" $(((($1 + $3 / 2) * WIDTH) / 326)) \
        $(((($2 + $4 / 2) * HEIGHT) / 249)) click 1
}
for control in account_in password_in account_out password_out encrypt decrypt; do
    eval "$control() { click \$(place_of $control); }"
done
# The picture of a region of the window, given in dialog units.
pixels() {  # x y width height
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null |
        pnmcut -left $((($1 * WIDTH) / 326)) -top $((($2 * HEIGHT) / 249)) \
            -width $((($3 * WIDTH) / 326)) -height $((($4 * HEIGHT) / 249)) | md5sum
}

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
# Characters outside the keyboard map are bound to free keys first and stay bound. A key that
# xdotool maps only for one character is mapped back at once, and a loaded program can look the
# key up after that and read nothing. One free key is left to xdotool.
type_text() {
    local LC_ALL=C.UTF-8 char keysym free
    while IFS= read -r char; do
        printf -v keysym 'U%04X' "'$char"
        xmodmap -pke | grep -qwE "U0*${keysym#U}" && continue
        free=$(xmodmap -pke | awk 'NF == 3 && $2 > 8 { print $2 }')
        [ "$(wc -l <<<"$free")" -gt 1 ] || break
        xmodmap -e "keycode $(head -1 <<<"$free") = $keysym $keysym"
    done < <(printf '%s' "$1" | grep -o '[^ -~]' | sort -u)
    xdotool type --delay 40 -- "$1"
}

# Selects the field's text (PRIMARY) and copies it (CLIPBOARD); both must hold `expected`.
copy_out() {  # description field expected
    "$2"
    xdotool key ctrl+a
    check "$1 (PRIMARY)" "$3" "$(selection primary "$3")"
    xdotool key ctrl+c
    check "$1 (CLIPBOARD)" "$3" "$(selection clipboard "$3")"
}
# Waits up to 10 s for a command's output to be (or, with !, not to be) the expected text.
await() {  # [!] expected command...
    local negate=0 tries=0
    if [ "$1" = '!' ]; then negate=1; shift; fi
    local expected=$1
    shift
    while [ $tries -lt 100 ]; do
        if [ "$("$@" 2>/dev/null)" = "$expected" ]; then
            [ $negate -eq 0 ] && return 0
        elif [ $negate -eq 1 ]; then
            return 0
        fi
        tries=$((tries + 1))
        sleep 0.1
    done
    return 1
}
# The focused field's text, copied out; the caret goes back to its end. Keys that go through an
# input method, and pastes, arrive after clicks made later: a click waits until they have.
typed() {
    xdotool key ctrl+a ctrl+c End
    timeout 2 xclip -o -selection clipboard
}
arrived() {
    await "$1" typed && return
    local got
    got=$(typed)
    fail "the field did not get '${1:0:40}' (${#1} characters), but '${got:0:40}' (${#got})"
}
# Pastes with `keys` into `field` and waits for the field's text to become `expected`. Until the
# pasted text has arrived no key may be pressed (it would go before the paste), so the field's
# picture is watched first.
paste_with() {  # field keys expected
    "$1"
    local before
    before=$(pixels $(place_of "$1"))
    xdotool $2
    await ! "$before" pixels $(place_of "$1")
    arrived "$3"
}
# Another program owns CLIPBOARD; Ctrl+V in the field pastes from it.
paste_into() {  # field text
    printf '%s' "$2" | xclip -selection clipboard -i
    paste_with "$1" "key ctrl+a ctrl+v" "$2"
}

