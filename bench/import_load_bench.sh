#!/bin/sh
# Loading a model of about a million triangles, as a glTF binary and as an
# OBJ file: `xmotool check` of a film naming it against `assimp info FILE -r` (the
# file read by another loader, without post-processing) on the same file
# (goal: at most 1x), both timed by hyperfine in the same run. The check of a
# film without the model is the second baseline: what the load adds. The
# models are written by bench/large_models.py into a scratch folder. Without
# assimp (Debian package assimp-utils) its baseline is left out, said so.
#
# usage: import_load_bench.sh BUILD_DIR [TRIANGLES RUNS]   (default 1000000 5)
set -eu

if [ $# -ne 1 ] && [ $# -ne 3 ]; then
    echo "usage: $0 BUILD_DIR [TRIANGLES RUNS]" >&2
    exit 2
fi
xmotool=$(cd "$1" && pwd)/xmotool
root=$(cd "$(dirname "$0")/.." && pwd)
triangles=${2:-1000000}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

made=$(python3 "$root/bench/large_models.py" "$work" "$triangles")
cp "$root/tests/data/app/still.xmo" "$work/"
cd "$work"
# A model that does not load would make a fast check: refuse to time that.
for film in big-glb.xmo big-obj.xmo; do
    if "$xmotool" check "$film" >"$work/check.out" 2>&1; then :; else
        echo "$0: xmotool check $film did not pass:" >&2
        cat "$work/check.out" >&2
        exit 1
    fi
done

set -- "$xmotool check big-glb.xmo" "$xmotool check big-obj.xmo" "$xmotool check still.xmo"
if command -v assimp >/dev/null; then
    set -- "$@" "assimp info big.glb -r" "assimp info big.obj -r"
else
    echo "assimp is not installed (Debian package assimp-utils): its baseline is left out"
fi
hyperfine --shell=none --warmup 1 --runs "$runs" --style basic --export-json "$work/times.json" "$@" >/dev/null

python3 - "$work/times.json" "$made" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
made = int(sys.argv[2])
ms = lambda i: results[i]["median"] * 1000
empty = ms(2)
for i, name in ((0, "glTF binary"), (1, "OBJ")):
    line = (f"{name}, {made} triangles: xmotool check {ms(i):.0f} ms, the film without it {empty:.0f} ms "
            f"(ratio {ms(i) / empty:.1f})")
    if len(results) > 3:
        line += f"; assimp info {ms(i + 3):.0f} ms, check / assimp ratio {ms(i) / ms(i + 3):.2f} (goal: at most 1)"
    print(line)
print(f"medians of {len(results[0]['times'])} runs")
PY
