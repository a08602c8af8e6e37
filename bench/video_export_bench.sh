#!/bin/sh
# Video export of the demo film (44 s at 25 frames per second) against the
# same run rendering the same frames without writing any (only the last one,
# in which the film's exit command ends it, is hashed), both timed by hyperfine in the same run: the export's time, its
# ratio to the film's own length, and what encoding adds to rendering.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
xmotool=$(cd "$1" && pwd)/xmotool
cd "$(dirname "$0")/../assets/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hyperfine --shell=none --runs 1 --style basic --export-json "$work/results.json" \
    "$xmotool render BrikBasics.xmo --at 43.9 --hash" \
    "$xmotool render BrikBasics.xmo --video $work/demo.mp4"
frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$work/demo.mp4")

python3 - "$work/results.json" "$frames" <<'PY'
import json, sys
render, export = json.load(open(sys.argv[1]))["results"]
film = int(sys.argv[2]) / 25
wall = lambda r: r["mean"]
cpu = lambda r: r["user"] + r["system"]
print(f"export of {film:.2f} s of film: {wall(export):.1f} s, {wall(export) / film:.2f} s per second of film; "
      f"rendering alone {wall(render):.1f} s; export / render {wall(export) / wall(render):.2f}")
# On a busy machine the wall clock mostly measures waiting; CPU time (ffmpeg's
# included) does not.
print(f"CPU time (user + system): export {cpu(export):.1f} s ({cpu(export) / film:.2f} s per second of film), "
      f"rendering alone {cpu(render):.1f} s; ratio {cpu(export) / cpu(render):.2f}")
PY
