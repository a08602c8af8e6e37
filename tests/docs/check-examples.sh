#!/bin/sh
# The example films of docs/examples: xmotool check must find each playable
# and without a problem, run from the examples' folder as an author would;
# docs/format.md must link every example film and show its picture, and
# every example file it links must exist. Each film's picture must show what
# the film is about: rendered without any element (or world file) that
# docs/example-pictures.txt names for it, the picture must change.
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

table="$root/docs/example-pictures.txt"
# A copy of FILM without the elements (or attributes, PATH@NAME) that PATH
# finds; fails when it finds none.
drop() {
    python3 - "$1" "$2" "$3" <<'PY'
import re, sys
import xml.etree.ElementTree as ET
film, path, out = sys.argv[1:]
tree = ET.parse(film)
head, at, attribute = path.rpartition("@")
if at and re.fullmatch(r"\w+", attribute):
    found = [e for e in tree.getroot().findall(head) if attribute in e.attrib]
    for element in found:
        del element.attrib[attribute]
else:
    found = tree.getroot().findall(path)
    parents = {child: parent for parent in tree.getroot().iter() for child in parent}
    for element in found:
        parents[element].remove(element)
if not found:
    sys.exit(f"{film} has nothing at {path}")
tree.write(out)
PY
}

# The SHA-256 of FILM's frame at TIME (from the examples' folder).
frame_hash() {
    "$xmotool" render "$1" --at "$2" --hash 2>"$work/render.err" </dev/null | cut -d ' ' -f 3
}

for movie in *.xmo; do
    grep -q "^${movie%.xmo} " "$table" || fail "$movie has no line in docs/example-pictures.txt"
done
checked=0
shown=""
while read -r name at element reason; do
    case "$name" in '' | '#'*) continue ;; esac
    [ -f "$name.xmo" ] || {
        fail "docs/example-pictures.txt names $name.xmo, which does not exist"
        continue
    }
    if [ "$element" = "-" ]; then
        [ -n "$reason" ] || fail "docs/example-pictures.txt leaves $name out of the picture check without a reason"
        continue
    fi
    if [ "$name $at" != "$shown" ]; then
        picture=$(frame_hash "$name.xmo" "$at")
        [ -n "$picture" ] || { fail "$name.xmo does not render at $at s:"; cat "$work/render.err"; }
        shown="$name $at"
    fi
    case "$element" in
    file:*)
        # A world file: the film rendered from a copy of the examples' folder
        # that lacks it.
        file=${element#file:}
        [ -e "$file" ] || {
            fail "docs/example-pictures.txt: $name.xmo has no $file beside it"
            continue
        }
        rm -rf "$work/bare"
        cp -RL "$examples" "$work/bare"
        rm "$work/bare/$file"
        without=$(cd "$work/bare" && frame_hash "$name.xmo" "$at")
        ;;
    *)
        drop "$name.xmo" "$element" "$work/without.xmo" || {
            fail "docs/example-pictures.txt: $name.xmo has no $element"
            continue
        }
        without=$(frame_hash "$work/without.xmo" "$at")
        ;;
    esac
    [ -n "$without" ] || { fail "$name.xmo without $element does not render at $at s:"; cat "$work/render.err"; }
    [ "$picture" != "$without" ] || fail "$name.xmo at $at s looks the same without $element"
    checked=$((checked + 1))
done <"$table"

finish "all $count example films check clean; $checked elements show in their pictures"
