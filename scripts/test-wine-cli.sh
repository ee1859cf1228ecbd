#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs credcipher-cli.exe (scripts/build-windows.sh builds it) under Wine (scripts/wine-run.sh)
# with the known answers, through arguments and through redirected input and output (UTF-8), in
# a Western locale (code page 1252) and in zh_CN.UTF-8 (code page 936), in a Wine prefix of its
# own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh windows

export cli=$root/build/windows/credcipher-cli.exe
[ -f "$cli" ] || { echo "test-wine-cli.sh: run scripts/build-windows.sh first" >&2; exit 2; }

known_answers() {
    set -euo pipefail
    failures=0
    # check NAME LOCALE EXPECTED_STATUS EXPECTED_OUTPUT INPUT ARGS...
    check() {
        local name=$1 locale=$2 status=$3 expected=$4 input=$5
        shift 5
        local out code=0
        out=$(printf '%b' "$input" | LC_ALL=$locale LANG=$locale timeout 120 "$wine" "$cli" "$@" \
            2>/dev/null) || code=$?
        if [ "$out" != "$(printf '%b' "$expected")" ] || [ "$code" -ne "$status" ]; then
            echo "test-wine-cli.sh: FAIL $name ($locale): status $code, output:" >&2
            printf '%s\n' "$out" >&2
            failures=$((failures + 1))
        else
            echo "test-wine-cli.sh: ok   $name ($locale)"
        fi
    }

    western=C.UTF-8
    chinese=zh_CN.UTF-8
    alice=cXKlGa5MQXDcK1Dph3gdiQ==
    empty=NGUwj+ODyAVBOoUAJSDNYw==
    sixteen=99xPR6eld/1daFRfn8Bnrg==
    cafe=CwsjeRbK74upcuQWK8B8pA==
    zhang=bCQm6P5z5CiQU9rGFAKeGg==

    check "arguments" $western 0 "$alice\n$empty\n$sixteen\n$sixteen\n$cafe" "" \
        encrypt alice "" 0123456789abcdef 0123456789abcdefX "café"
    check "arguments" $chinese 0 "$zhang\nRVcGeSFc1qmvX/TaL144Vg==" "" encrypt 张三 密码123
    # Windows' best fit: ā is "a" in 1252; ¥ is the fullwidth yen sign in 936.
    check "best fit" $western 0 "RYp0dX7QAJ4GQkT6KM5WTA==\nxTOuk19nW1bRTwOJhcs3oA==" "" encrypt ¥ ā
    check "best fit" $chinese 0 "xAmNjQhM+Ozvo0UIi2/eKg==\nDO0uFmz2SMrBf/xBP0nsQQ==" "" encrypt ¥ ā
    check "cut inside a character" $chinese 0 "72FS8EvS1z9xDeBN+kDKkA==" "" encrypt a一二三四五六七八
    check "decrypt arguments" $western 0 "alice\n\ncafé" "" decrypt $alice $empty $cafe
    check "decrypt arguments" $chinese 0 "张三" "" decrypt $zhang
    check "standard input, CR LF, no last LF" $chinese 0 "$alice\n$empty\n$zhang" \
        "alice\r\n\n张三" encrypt
    check "standard input with a byte order mark" $western 0 "$cafe" "\xef\xbb\xbfcafé\n" encrypt
    check "decrypt standard input" $chinese 0 "张三\nalice" "$zhang\r\n$alice" decrypt
    check "code page option" $western 0 "张三" "" decrypt --code-page gbk $zhang
    # ASCII is the same text in every page: one line, the pages the more widely used first.
    check "all code pages" $western 0 \
        "1252,936,1251,932,949,950,1250,1256,1254,1253,1255,1257,1258,874\talice" \
        "" decrypt -c all $alice
    check "a field to a record" $western 1 "alice\n\nalice" "" decrypt --strict $alice x $alice
    check "strict" $western 1 "$alice" "" encrypt --strict alice 0123456789abcdefX
    check "unmappable" $western 0 "appsRXPlsVWxpc0spCu+AQ==" "" encrypt 张三
    check "usage" $western 2 "" "" encode alice

    if [ "$failures" -gt 0 ]; then
        echo "test-wine-cli.sh: $failures failed" >&2
        return 1
    fi
}

SECONDS=0
status=0
scripts/wine-run.sh --prefix "$root/build/windows/wine-cli" \
    bash -c "$(declare -f known_answers); known_answers" || status=1
echo "test-wine-cli.sh: $SECONDS s"
exit $status
