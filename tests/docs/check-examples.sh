#!/bin/sh
# The example films of docs/examples: xmotool check must find each playable
# and without a problem, run from the examples' folder as an author would;
# docs/format.md must link every example film and show its picture, and
# every example file it links must exist.
#
# usage: check-examples.sh SOURCE_DIR XMOTOOL
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 SOURCE_DIR XMOTOOL" >&2
    exit 2
fi
root=$(cd "$1" && pwd)
xmotool=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
examples="$root/docs/examples"
page="$root/docs/format.md"
. "$(dirname "$0")/../support/check_script.sh"

count=0
cd "$examples"
for movie in *.xmo; do
    count=$((count + 1))
    if "$xmotool" check "$movie" >"$work/out" 2>&1; then
        status=0
    else
        status=$?
    fi
    if [ "$status" -ne 0 ] || [ "$(cat "$work/out")" != "$movie: 0 problems, playable" ]; then
        fail "xmotool check $movie exited with $status:"
        cat "$work/out"
    fi
    grep -qF "(examples/$movie)" "$page" || fail "docs/format.md does not link examples/$movie"
    grep -qF "(examples/pictures/${movie%.xmo}.png)" "$page" || fail "docs/format.md shows no picture of $movie"
done
[ "$count" -ge 15 ] || fail "only $count example films found"

for target in $(grep -o '(examples/[^)]*)' "$page" | sed 's/^(examples\///; s/)$//' | sort -u); do
    [ -e "$examples/$target" ] || fail "docs/format.md links examples/$target, which does not exist"
done

finish "all $count example films check clean"
