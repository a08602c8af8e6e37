#!/bin/sh
# Video export of the demo film against rendering the same frames without
# writing any, each timed by hyperfine in the same run: the export's time,
# its ratio to the length of film it holds, and what encoding adds to
# rendering. The export runs first, to the film's end (where its exit
# command ends it) or to SECONDS; the baseline then draws and hashes
# exactly the frames the video holds (a frame that is only reached is not
# drawn, so each must be asked for), with the video's 4 samples per pixel.
#
# usage: video_export_bench.sh BUILD_DIR [SECONDS]
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS]" >&2
    exit 2
fi
xmotool=$(cd "$1" && pwd)/xmotool
to=${2:+--to $2}
cd "$(dirname "$0")/../assets/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hyperfine --shell=none --runs 1 --style basic --export-json "$work/export.json" \
    "$xmotool render BrikBasics.xmo $to --video $work/demo.mp4"
frames=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of csv=p=0 \
    "$work/demo.mp4")
case "$frames" in
'' | *[!0-9]*)
    echo "video_export_bench: ffprobe counted no frames in the video: $frames" >&2
    exit 1
    ;;
esac
last=$((frames - 1))
hyperfine --shell=none --runs 1 --style basic --export-json "$work/render.json" \
    --output "$work/render.out" "$xmotool render BrikBasics.xmo --frames 0-$last --samples 4 --hash"
hashed=$(tail -n 1 "$work/render.out" | cut -d ' ' -f 1)
if [ "$hashed" != "$last" ]; then
    echo "video_export_bench: the baseline ended at frame '$hashed', not at the video's last, $last" >&2
    exit 1
fi

python3 - "$work/export.json" "$work/render.json" "$frames" <<'PY'
import json, sys
export, render = (json.load(open(path))["results"][0] for path in sys.argv[1:3])
frames = int(sys.argv[3])
film = frames / 25
wall = lambda r: r["mean"]
cpu = lambda r: r["user"] + r["system"]
print(f"export of {frames} frames ({film:.2f} s of film): {wall(export):.1f} s, "
      f"{wall(export) / film:.2f} s per second of film; rendering the same frames alone {wall(render):.1f} s; "
      f"export / render {wall(export) / wall(render):.2f}")
# On a busy machine the wall clock mostly measures waiting; CPU time (ffmpeg's
# included) does not.
print(f"CPU time (user + system): export {cpu(export):.1f} s ({cpu(export) / film:.2f} s per second of film), "
      f"rendering alone {cpu(render):.1f} s; ratio {cpu(export) / cpu(render):.2f}")
PY
