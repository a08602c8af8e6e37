#!/bin/sh
# Video export of the demo film for sharing, and the same export cut into
# parts, all in one run:
#  - 1920x1080 with 4 samples per pixel against 800x600 with 1: frames per
#    second and their ratio;
#  - --jobs 2 against one job (800x600 with 4 samples, a video's default):
#    wall and CPU seconds, ffmpeg's included;
#  - how fast a part advances to its first frame without drawing it: render
#    --at T --hash against --at 0, T the first frame of the second of two
#    parts and of the last of PARTS, as frames per second and as a share of
#    that part's time;
#  - PARTS parts, each pinned to one core by taskset (as many at once as this
#    machine has cores), then joined: the slowest part plus the join is what
#    a machine with PARTS cores would take;
#  - the joined videos against the single export: frame counts, timestamps
#    and sound, the joined file's decoded frames against the parts' own (the
#    hashes of the last and first frame at every join printed), and each
#    frame's PSNR against the single export's, which was encoded apart.
#
# usage: export_scaling_bench.sh BUILD_DIR [SECONDS [PARTS]]
# SECONDS exports only the film's start (default: the whole film, to its
# exit command); PARTS parts for the one-core-each run (default 16).
set -eu

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS [PARTS]]" >&2
    exit 2
fi
xmotool=$(cd "$1" && pwd)/xmotool
to=${2:+--to $2}
parts=${3:-16}
cores=$(nproc)
cd "$(dirname "$0")/../assets/demo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render="$xmotool render BrikBasics.xmo $to"

hyperfine --shell=none --runs 1 --style basic --export-json "$work/export.json" \
    "$render --size 800x600 --samples 1 --video $work/small.mp4" \
    "$render --size 1920x1080 --samples 4 --video $work/hd.mp4" \
    "$render --video $work/single.mp4" \
    "$render --jobs 2 --video $work/jobs.mp4" >/dev/null

# PARTS parts, one per core, as many at once as there are cores.
k=1
while [ "$k" -le "$parts" ]; do
    core=$(((k - 1) % cores))
    # shellcheck disable=SC2086 # the command's words are split on purpose
    /usr/bin/time -f "%e %U %S" -o "$work/time-$k" taskset -c "$core" \
        $render --part "$k/$parts" --video "$work/part-$k.mp4" 2>"$work/part-$k.log" &
    if [ "$core" -eq $((cores - 1)) ] || [ "$k" -eq "$parts" ]; then wait; fi
    k=$((k + 1))
done
partFiles=$(seq -f "$work/part-%g.mp4" "$parts")
# shellcheck disable=SC2086 # one argument per part
/usr/bin/time -f "%e %U %S" -o "$work/time-join" "$xmotool" join "$work/joined.mp4" $partFiles 2>/dev/null

# Each part's tag: "xmotool part K/N frames A-B of S-E at F fps".
for k in $(seq "$parts"); do
    ffprobe -v error -show_entries format_tags=comment -of csv=p=0 "$work/part-$k.mp4"
done >"$work/tags"
firstOf() { sed -n "$1p" "$work/tags" | sed 's/.* frames \([0-9]*\)-.*/\1/'; }
spanFirst=$(head -n 1 "$work/tags" | sed 's/.* of \([0-9]*\)-.*/\1/')
spanLast=$(head -n 1 "$work/tags" | sed 's/.* of [0-9]*-\([0-9]*\) .*/\1/')
secondHalf=$((spanFirst + (spanLast - spanFirst + 1) / 2))
lastPart=$(firstOf "$parts")
hyperfine --shell=none --runs 3 --style basic --export-json "$work/advance.json" \
    "$xmotool render BrikBasics.xmo --frames 0-0 --hash" \
    "$xmotool render BrikBasics.xmo --frames $secondHalf-$secondHalf --hash" \
    "$xmotool render BrikBasics.xmo --frames $lastPart-$lastPart --hash" >/dev/null

count() { ffprobe -v error -count_packets -show_entries stream=nb_read_packets -select_streams v -of csv=p=0 "$1"; }
timestamps() {
    ffprobe -v error -select_streams v -show_entries frame=pts_time -of csv=p=0 "$1" | cut -d , -f 1 | grep . |
        sort -n | md5sum
}
soundOf() { ffmpeg -v error -i "$1" -map 0:a -f md5 - 2>/dev/null || echo none; }
md5s() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{ print $6 }'; }
for f in single jobs joined; do
    count "$work/$f.mp4" >"$work/$f.count"
    timestamps "$work/$f.mp4" >"$work/$f.times"
    soundOf "$work/$f.mp4" >"$work/$f.sound"
done
for f in joined $(seq -f "part-%g" "$parts"); do md5s "$work/$f.mp4" >"$work/$f.md5"; done
for f in jobs joined; do
    ffmpeg -v error -i "$work/$f.mp4" -i "$work/single.mp4" -lavfi "psnr=stats_file=$work/$f.psnr" -f null -
done

python3 - "$work" "$parts" "$cores" "$secondHalf" "$lastPart" <<'PY'
import json, sys
work, parts, cores, secondHalf, lastPart = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
small, hd, single, jobs = json.load(open(f"{work}/export.json"))["results"]
at0, atHalf, atLast = json.load(open(f"{work}/advance.json"))["results"]
text = lambda name: open(f"{work}/{name}").read()
frames = int(text("single.count"))
wall = lambda r: r["mean"]
cpu = lambda r: r["user"] + r["system"]
fps = lambda r: frames / wall(r)
print(f"the demo's {frames} frames ({frames / 25:.2f} s of film), H.264 with its sound, {cores} cores")
print(f"800x600, 1 sample:    {fps(small):6.2f} frames per second ({wall(small):.1f} s, CPU {cpu(small):.1f} s)")
print(f"1920x1080, 4 samples: {fps(hd):6.2f} frames per second ({wall(hd):.1f} s, CPU {cpu(hd):.1f} s); "
      f"ratio to 800x600 at 1 sample {fps(hd) / fps(small):.3f} (CPU {cpu(small) / cpu(hd):.3f})")
print(f"one job (800x600, 4 samples): wall {wall(single):.1f} s, CPU {cpu(single):.1f} s")
print(f"--jobs 2:                     wall {wall(jobs):.1f} s, CPU {cpu(jobs):.1f} s; "
      f"wall ratio {wall(single) / wall(jobs):.2f} (one job / two), CPU ratio {cpu(jobs) / cpu(single):.2f} (two / one)")

timed = []
for k in range(1, parts + 1):
    w, u, s = (float(x) for x in text(f"time-{k}").split()[-3:])
    timed.append((w, u + s))
joinWall = float(text("time-join").split()[-3])
advancing = [("part 2/2", secondHalf, atHalf, wall(jobs))]
if parts > 2:
    advancing.append((f"part {parts}/{parts}", lastPart, atLast, timed[-1][0]))
for name, first, r, partWall in advancing:
    seconds = max(wall(r) - wall(at0), 1e-3)
    print(f"{name} advances {first} frames to its first without drawing in {seconds:.2f} s: "
          f"{first / seconds:.0f} frames per second, {seconds / partWall * 100:.1f}% of the part's {partWall:.1f} s")

slowest = max(w for w, _ in timed)
slowestCpu = max(c for _, c in timed)
print(f"{parts} parts, each pinned to one core ({cores} at once): slowest {slowest:.1f} s "
      f"(CPU {slowestCpu:.1f} s), fastest {min(w for w, _ in timed):.1f} s, all parts' wall added "
      f"{sum(w for w, _ in timed):.1f} s; join {joinWall:.1f} s")
print(f"a machine with {parts} cores, one part each: about {slowest + joinWall:.1f} s, against {wall(single):.1f} s "
      f"for one job on this machine's {cores} ({wall(single) / (slowest + joinWall):.1f}x)")

counts = {f: int(text(f"{f}.count")) for f in ("single", "jobs", "joined")}
same = lambda f, kind: "same" if text(f"{f}.{kind}") == text(f"single.{kind}") else "DIFFERENT"
print(f"frames: single {counts['single']}, --jobs 2 {counts['jobs']}, {parts} parts joined {counts['joined']}; "
      f"timestamps as the single export's: --jobs 2 {same('jobs', 'times')}, joined {same('joined', 'times')}; "
      f"sound, decoded, as the single export's: --jobs 2 {same('jobs', 'sound')}, joined {same('joined', 'sound')}")
md5 = lambda f: text(f"{f}.md5").split()
partMd5 = [md5(f"part-{k}") for k in range(1, parts + 1)]
joined = md5("joined")
print(f"the joined file's decoded frames against the parts', every one: "
      f"{'the same' if joined == sum(partMd5, []) else 'DIFFERENT'}")
# Frames that decode to the same pixels (black ones, in a fade) have an
# infinite PSNR.
psnr = {f: [float(line.split("psnr_avg:")[1].split()[0]) for line in open(f"{work}/{f}.psnr")] for f in ("jobs", "joined")}
decibels = lambda value: "the same pixels" if value == float("inf") else f"{value:.1f} dB"
at = 0
for k in range(parts - 1):
    at += len(partMd5[k])
    print(f"  join {k + 1}/{k + 2} after frame {at - 1}: last {joined[at - 1][:12]} (part {k + 1}: "
          f"{partMd5[k][-1][:12]}), first {joined[at][:12]} (part {k + 2}: {partMd5[k + 1][0][:12]}); "
          f"against the single export {decibels(psnr['joined'][at - 1])} and {decibels(psnr['joined'][at])}")
for f, values in psnr.items():
    finite = [v for v in values if v != float("inf")]
    lowest = f"lowest {min(finite):.1f} dB, mean {sum(finite) / len(finite):.1f} dB, " if finite else ""
    print(f"PSNR of {f} against the single export, frame by frame: {lowest}"
          f"{len(values) - len(finite)} of {len(values)} frame(s) of the same pixels")
PY
