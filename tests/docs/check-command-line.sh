#!/bin/sh
# The programs' command-line manners and their manual pages: the pages format
# without a warning; --help of each program and of each xmotool command goes
# to standard output with exit 0 and names the same long options as the
# page's option paragraphs; --version prints the version the build was given;
# a usage error goes to standard error with exit 2.
#
# usage: check-command-line.sh SOURCE_DIR BIN_DIR VERSION
set -eu

if [ $# -ne 3 ]; then
    echo "usage: $0 SOURCE_DIR BIN_DIR VERSION" >&2
    exit 2
fi
man="$(cd "$1" && pwd)/docs/man"
bin=$(cd "$2" && pwd)
version=$3
. "$(dirname "$0")/../support/check_script.sh"

# run NAME EXPECTED_STATUS PROGRAM ARGS...: output in $work/NAME.out and .err.
run() {
    name=$1 expected=$2
    shift 2
    status=0
    "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
    [ "$status" -eq "$expected" ] || fail "$* exited with $status, not $expected: $(cat "$work/$name.err")"
}

long_options() {
    grep -o -- '--[a-z][a-z-]*' "$@" | sort -u
}

# The tags of a page's indented paragraphs (.TP): its options, commands,
# keys and exit codes, in the page's source.
tags() {
    awk 'previous == ".TP" { print } { previous = $0 }' "$man/$1"
}

page_options() {
    tags "$1" | grep -o -- '\\-\\-[a-z][a-z-]*' | sed 's/\\-/-/g' | sort -u
}

for page in xmoplay.1 xmotool.1; do
    warnings=$(groff -man -Tutf8 -ww -z "$man/$page" 2>&1)
    [ -z "$warnings" ] || fail "$page formats with warnings: $warnings"
done

# xmoplay
run xmoplay-help 0 "$bin/xmoplay" --help
[ -s "$work/xmoplay-help.out" ] && [ ! -s "$work/xmoplay-help.err" ] || fail "xmoplay --help: output in the wrong stream"
page_options xmoplay.1 >"$work/xmoplay-page.opts"
long_options "$work/xmoplay-help.out" >"$work/xmoplay-help.opts"
diff -u "$work/xmoplay-help.opts" "$work/xmoplay-page.opts" >"$work/diff" ||
    fail "xmoplay --help and xmoplay.1 name different options: $(cat "$work/diff")"
for key in Escape Space R F1; do
    tags xmoplay.1 | grep -q "$key" || fail "xmoplay.1 does not name the key $key"
    grep -q "$key" "$work/xmoplay-help.out" || fail "xmoplay --help does not name the key $key"
done

# xmotool and each of its commands
run xmotool-help 0 "$bin/xmotool" --help
[ -s "$work/xmotool-help.out" ] && [ ! -s "$work/xmotool-help.err" ] || fail "xmotool --help: output in the wrong stream"
commands=$(sed -n '/^commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p' "$work/xmotool-help.out" | sort -u)
[ "$(echo "$commands" | wc -w)" -ge 4 ] || fail "xmotool --help lists only: $commands"
cp "$work/xmotool-help.out" "$work/all-help"
for command in $commands; do
    run "$command-help" 0 "$bin/xmotool" "$command" --help
    head -n 1 "$work/$command-help.out" | grep -q "^usage: xmotool $command" ||
        fail "xmotool $command --help does not open with its usage: $(head -n 1 "$work/$command-help.out")"
    tags xmotool.1 | grep -Eq "^\.BI? $command( |\$)" || fail "xmotool.1 does not describe the command $command"
    cat "$work/$command-help.out" >>"$work/all-help"
done
long_options "$work/all-help" >"$work/xmotool-help.opts"
page_options xmotool.1 >"$work/xmotool-page.opts"
diff -u "$work/xmotool-help.opts" "$work/xmotool-page.opts" >"$work/diff" ||
    fail "xmotool's help texts and xmotool.1 name different options: $(cat "$work/diff")"

# Versions and usage errors
for program in xmoplay xmotool; do
    run "$program-version" 0 "$bin/$program" --version
    [ "$(cat "$work/$program-version.out")" = "$program $version" ] ||
        fail "$program --version printed '$(cat "$work/$program-version.out")', not '$program $version'"
done
for args in "xmoplay --no-such-option" "xmotool" "xmotool no-such-command" "xmotool check"; do
    # shellcheck disable=SC2086
    set -- $args
    program=$1
    shift
    run usage 2 "$bin/$program" "$@"
    [ -s "$work/usage.err" ] && [ ! -s "$work/usage.out" ] || fail "$args: the usage error is not on standard error alone"
done

finish "command lines and manual pages agree"
