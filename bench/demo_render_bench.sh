#!/bin/sh
# The demo's frame budget, on this machine's GL driver at 800x600:
#  - xmotool render's frames per second over the whole demo, as a ratio to real
#    time at 25 fps (goal: at least 2) and to the same number of frames of a
#    film with nothing in it (the baseline, rendered in the same run);
#  - start-up to the first frame, against the same for the empty film;
#  - the share of instructions per frame spent in the program itself rather
#    than in the GL driver, LLVM, the rigid-body engine or the C libraries
#    (callgrind over 100 frames; goal: under 10%).
# Every frame of both films is drawn and hashed, so both pay the same for
# hashing.
#
# usage: demo_render_bench.sh BUILD_DIR [SECONDS PROFILED RUNS]
# A smaller run: the demo's first SECONDS only, PROFILED frames under
# callgrind and RUNS runs of each start-up (default: the whole demo, 100, 10).
set -eu

if [ $# -ne 1 ] && [ $# -ne 4 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS PROFILED RUNS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
xmotool=$build/xmotool
root=$(cd "$(dirname "$0")/.." && pwd)
empty=$root/tests/data/app/still.xmo
cd "$root/assets/demo"
demo=BrikBasics.xmo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The film's length: the sum of its sequences (the exit command may end it sooner).
length=${2:-$(python3 -c '
import sys, xml.etree.ElementTree as ET
movie = ET.parse(sys.argv[1]).getroot()
print(sum(float(s.get("duration", "0")) for s in movie.iter("Sequence")))' "$demo")}
profiled=${3:-100}
runs=${4:-10}

# Seconds of wall clock that a command takes, its output into a file.
timed() {
    out=$1
    shift
    python3 -c '
import subprocess, sys, time
start = time.perf_counter()
subprocess.run(sys.argv[2:], stdout=open(sys.argv[1], "w"), check=True)
print(time.perf_counter() - start)' "$out" "$@"
}

demo_seconds=$(timed "$work/demo.hashes" "$xmotool" render "$demo" --to "$length" --hash)
frames=$(($(tail -n 1 "$work/demo.hashes" | cut -d ' ' -f 1) + 1))
empty_seconds=$(timed /dev/null "$xmotool" render "$empty" --to "$(python3 -c "print($frames / 25)")" --hash)

hyperfine --shell=none --warmup 2 --runs "$runs" --style basic --export-json "$work/start.json" \
    "$xmotool render $demo --frames 0-0 --hash" "$xmotool render $empty --frames 0-0 --hash" >/dev/null

# Frames 5 to 4 + PROFILED, each advanced and drawn: the difference of two runs, so that start-up, the
# first frames' shader compilation and the exit are left out. The driver
# rasterises on the calling thread, inside the frame, where callgrind collects.
for last in 4 $((4 + profiled)); do
    LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.$last" \
        --collect-atstart=no --toggle-collect='xmo::advanceFrame(*' --toggle-collect='xmo::drawFrame(*' \
        "$build/xmotool-render" "$demo" --frames "0-$last" --hash >/dev/null 2>"$work/valgrind.$last" ||
        { cat "$work/valgrind.$last" >&2; exit 1; }
done

python3 - "$work" "$frames" "$demo_seconds" "$empty_seconds" "$profiled" "$runs" <<'PY'
import json, os, re, sys
from collections import Counter

work, frames = sys.argv[1], int(sys.argv[2])
demo_seconds, empty_seconds = float(sys.argv[3]), float(sys.argv[4])
profiled, runs = int(sys.argv[5]), int(sys.argv[6])
result = lambda name, i=0: json.load(open(os.path.join(work, name)))["results"][i]
film = frames / 25
fps, empty_fps = frames / demo_seconds, frames / empty_seconds
print(f"xmotool render, the demo ({frames} frames, {film:.1f} s of film, each drawn and hashed) at 800x600: "
      f"{demo_seconds:.1f} s, "
      f"{fps:.1f} fps; {fps / 25:.2f}x real time (goal: at least 2x); "
      f"the empty film {empty_fps:.1f} fps, demo / empty {fps / empty_fps:.2f}")
start_demo, start_empty = result("start.json", 0), result("start.json", 1)
print(f"start-up to the first frame: the demo {start_demo['median'] * 1000:.0f} ms, "
      f"the empty film {start_empty['median'] * 1000:.0f} ms (median of {runs}; ratio "
      f"{start_demo['median'] / start_empty['median']:.2f})")

def group(obj):
    name = os.path.basename(obj)
    if name == "xmotool-render": return "the program"
    if name == "???": return "GL driver's JIT code"
    if "gallium" in name or "dri" in name or name.startswith(("libGL", "libEGL", "libglapi")): return "GL driver"
    if "LLVM" in name: return "LLVM"
    if "libode" in name: return "rigid-body engine"
    if name.startswith(("libc.", "libm.", "libstdc++")): return "C and C++ libraries"
    return "other"

# Exclusive instruction counts per object file. A cost line after "calls=" is
# the inclusive cost of that call and belongs to the callee: skipped.
def costs(path):
    names, totals, current, skip = {}, Counter(), "?", False
    for line in open(path):
        # An object is named at its first mention, as a function's or as a callee's.
        m = re.match(r"(c?)ob=\((\d+)\)(?: (.*))?", line.strip())
        if m:
            if m.group(3): names[m.group(2)] = m.group(3)
            if not m.group(1): current = names.get(m.group(2), "?")
        elif line.startswith("calls="):
            skip = True
        elif line[:1].isdigit() or line[:1] in "+-*":
            if skip:
                skip = False
                continue
            parts = line.split()
            if len(parts) >= 2: totals[group(current)] += int(parts[1])
    return totals

per = costs(os.path.join(work, f"callgrind.{4 + profiled}"))
per.subtract(costs(os.path.join(work, "callgrind.4")))
total = sum(per.values())
print(f"instructions per frame (callgrind, frames 5 to {4 + profiled}, the driver on one thread): "
      f"{total / profiled / 1e6:.1f} M")
for name, n in per.most_common():
    print(f"  {name:22s} {100 * n / total:6.2f}%")
print(f"the program's own share: {100 * per['the program'] / total:.2f}% (goal: under 10%)")
PY
