#!/bin/sh
# The movie and scene schemas of docs/ against every film the project ships:
# each movie and scene file under assets/, docs/examples/ and tests/data/
# must validate (except the test files broken on purpose, listed below), so
# must what xmotool save writes and the value spellings that the player reads
# the way an author means them; the mistakes the schemas exist to catch must
# fail, with the line in xmllint's first message.
#
# usage: validate-schemas.sh SOURCE_DIR XMOTOOL
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 SOURCE_DIR XMOTOOL" >&2
    exit 2
fi
root=$(cd "$1" && pwd)
xmotool=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
. "$(dirname "$0")/../support/check_script.sh"

schema_of() {
    case $1 in
    *.xmo) echo "$root/docs/xmo.rng" ;;
    *.x3d) echo "$root/docs/x3d-subset.rng" ;;
    esac
}

# validate FILE: xmllint's verdict, its messages kept in $work/messages.
validate() {
    xmllint --noout --relaxng "$(schema_of "$1")" "$1" >"$work/messages" 2>&1
}

# Test files that break the format on purpose, each with its reason.
excluded="
tests/data/app/falling_brick.xmo|a collisiontype of 2: tests that such a model is not simulated
tests/data/app/malformed.xmo|not well-formed: tests the player's refusal of broken XML
tests/data/movie/broken.xmo|not well-formed: tests the loader's syntax error message
tests/data/movie/media.xmo|a Tiles without loadimage and a Sound without filename: tests what check reports
tests/data/movie/no-camera.xmo|a Sequence without a Camera: tests the loader's refusal
tests/data/movie/physics.xmo|a collisiontype of 2 and values the simulation cannot use: tests what check reports
tests/data/scene/broken_after_group.x3d|not well-formed: tests that a scene keeps what it read before the error
"

reason_excluded() {
    while IFS='|' read -r file reason; do
        if [ "$file" = "$1" ]; then echo "$reason"; fi
    done <<LIST
$excluded
LIST
}

# 1. Every film and scene file shipped.
while IFS='|' read -r file reason; do
    [ -z "$file" ] || [ -e "$root/$file" ] || fail "$file is excluded but no longer exists"
done <<LIST
$excluded
LIST

count=0
for file in $(cd "$root" && find assets docs/examples tests/data -name '*.xmo' -o -name '*.x3d' | sort); do
    reason=$(reason_excluded "$file")
    if [ -n "$reason" ]; then
        echo "skipped $file: $reason"
        continue
    fi
    count=$((count + 1))
    validate "$root/$file" || { fail "$file does not validate:"; cat "$work/messages"; }
done
[ "$count" -gt 20 ] || fail "only $count files found to validate"

# 2. What the writer produces, from films that hold every element it writes.
save_and_validate() {
    out="$work/saved-$(basename "$2")"
    if ! (cd "$root/$1" && "$xmotool" save "$2" "$out") >"$work/messages" 2>&1; then
        fail "xmotool save $1/$2 failed:"
        cat "$work/messages"
        return 0
    fi
    validate "$out" || { fail "what xmotool save writes for $1/$2 does not validate:"; cat "$work/messages"; }
}
save_and_validate assets/demo BrikBasics.xmo
save_and_validate tests/data movie/basic.xmo
save_and_validate docs/examples keyframes.xmo
for example in caption commands contact join model-transform music particles tile; do
    save_and_validate docs/examples $example.xmo
done

# 3. Edits of valid files. Each line: the file, a sed script, and either
# "valid" or what xmllint's first message must hold, line number included.
cases='
docs/examples/falling-brick.xmo|s/position="0 1.5 0"/position=" 0\n   1.5  0 "/|valid
docs/examples/falling-brick.xmo|s/mass="1"/mass="+1.e0"/|valid
docs/examples/falling-brick.xmo|s/duration="5">/duration=".5E+1">/|valid
docs/examples/falling-brick.xmo|s/modelids="10"/modelids=""/|valid
docs/examples/falling-brick.xmo|s/<Movie>/<!DOCTYPE x3d SYSTEM "???.dtd">\n<Movie>/|valid
docs/examples/house.x3d|s/-0.5 0.9 0, 0.5 0.9 0/-0.5 0.9 0,0.5 0.9 0 ,/|valid
docs/examples/falling-brick.xmo|s/position="0 1.5 0"/postion="0 1.5 0"/|:11: element Model: Relax-NG validity error : Invalid attribute postion
docs/examples/looping.xmo|s/<KeyFrameRotation keytime="1"/<KeyFrameRotaton keytime="1"/|:25: element KeyFrameRotaton
docs/examples/looping.xmo|s/loop="true"/loop="TRUE"/|:23: element Animation
docs/examples/falling-brick.xmo|s/position="0 1.5 0"/position="0 1.5"/|:11: element Model
docs/examples/falling-brick.xmo|s/mass="1"/mass="1,5"/|:11: element Model
docs/examples/falling-brick.xmo|s/mass="1"/mass="nan"/|:11: element Model
docs/examples/falling-brick.xmo|s/color="9"/color="16"/|:7: element BrikObject
docs/examples/falling-brick.xmo|s/type="blackfadein"/type="BlackFadeIn"/|:24: element SpecialEffect
docs/examples/falling-brick.xmo|s/"enablemodels"/"enableModels"/|:21: element XFunction
docs/examples/falling-brick.xmo|/<Camera>/,/<\/Camera>/d|:13: element Sequence: Relax-NG validity error : Expecting an element Camera
docs/examples/particles.xmo|s/ timer1="0.4" modelid="11"/ timer1="0.4"/|:41: element XFunction
docs/examples/house.x3d|s/0.5 0 0.4, 0.5 0.6 0.4/0.5 0 0.4 0.5 0.6 0.4/|valid
docs/examples/house.x3d|s/0.5 0 0.4, 0.5 0.6 0.4/0.5 0 0.4, 0.5 0.6/|:16: element Coordinate
docs/examples/house.x3d|s/coordIndex="0 1 2 3 -1"/coordIndex="0, 1, 2, 3, -1"/|valid
docs/examples/house.x3d|s/coordIndex="0 1 2 3 -1"/coordIndex="0 1 2.5 3 -1"/|:23: element IndexedFaceSet
docs/examples/house.x3d|s/<IndexedFaceSet castshadow/<IndexedFaceSet solid="false" castshadow/|:13: element IndexedFaceSet: Relax-NG validity error : Invalid attribute solid
docs/examples/house.x3d|s/diffuseColor="0.45/diffuseColour="0.45/|:21: element Material: Relax-NG validity error : Invalid attribute diffuseColour
'
n=0
while IFS='|' read -r file script expected; do
    [ -n "$file" ] || continue
    n=$((n + 1))
    edited="$work/case$n.${file##*.}"
    if ! sed "$script" "$root/$file" >"$edited" || cmp -s "$edited" "$root/$file"; then
        fail "the edit '$script' does not apply to $file"
        continue
    fi
    if [ "$expected" = valid ]; then
        validate "$edited" && continue
        fail "$file after '$script' should validate:"
    elif validate "$edited"; then
        fail "$file after '$script' validates"
        continue
    elif head -n 1 "$work/messages" | grep -qF "$expected"; then
        continue
    else
        fail "$file after '$script': expected a first message with '$expected', got:"
    fi
    cat "$work/messages"
done <<LIST
$cases
LIST

finish "all schema checks passed: $count files, 3 saved films, $n edits"
