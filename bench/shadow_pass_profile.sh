#!/bin/sh
# The share of instructions a frame of the shadow pass benchmark spends in the
# program's own code (everything linked into the benchmark's executable)
# rather than in the GL driver, the C library and the rest. Two callgrind runs
# play the same film for A and for B frames after the same start-up and
# warm-up; the difference between them is B - A frames and nothing else.
# The driver rasterises on the calling thread (LP_NUM_THREADS=0) so that every
# instruction is counted once, under one thread.
set -eu

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
    echo "usage: $0 BUILD_DIR [A] [B]   (frames of the short and the long run; default 2 and 8)" >&2
    exit 2
fi
bench=$(cd "$1" && pwd)/bench/shadow_pass_bench
short=${2:-2}
long=${3:-8}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for frames in "$short" "$long"; do
    # The benchmark's own exit status says whether a frame allocated; here
    # only the instruction counts matter.
    LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$work/$frames.out" \
        "$bench" "$frames" --casting-only >/dev/null 2>"$work/$frames.log" || true
    [ -s "$work/$frames.out" ] || { cat "$work/$frames.log" >&2; exit 1; }
done

python3 - "$bench" "$work/$short.out" "$work/$long.out" "$short" "$long" <<'PY'
import re, sys
from collections import defaultdict

bench, short_out, long_out, short, long_ = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])

def self_cost_by_object(path):
    """Instructions spent in each object file's own code (calls excluded)."""
    names, cost = {}, defaultdict(int)
    obj, skip_next = None, False
    compressed = re.compile(r"^\((\d+)\)(?: (.*))?$")
    for line in open(path, errors="replace"):
        line = line.rstrip("\n")
        if line.startswith(("ob=", "cob=")):
            # Both name objects, and either may be the first to give a number its name.
            value = line.split("=", 1)[1]
            m = compressed.match(value)
            if m and m.group(2):
                names[m.group(1)] = m.group(2)
            if line.startswith("ob="):
                obj = names[m.group(1)] if m else value
        elif line.startswith("calls="):
            skip_next = True  # the next cost line is the callee's inclusive cost
        elif line and (line[0].isdigit() or line[0] in "+-*"):
            if skip_next:
                skip_next = False
                continue
            fields = line.split()
            if len(fields) >= 2 and obj is not None:
                cost[obj] += int(fields[1])
    return cost

a, b = self_cost_by_object(short_out), self_cost_by_object(long_out)
frames = long_ - short
delta = {o: b.get(o, 0) - a.get(o, 0) for o in set(a) | set(b)}
total = sum(delta.values())
own = sum(v for o, v in delta.items() if o == bench)
print(f"{frames} frames: {total / frames / 1e6:.1f} M instructions per frame, "
      f"{100.0 * own / total:.1f}% in the program's own code")
for o, v in sorted(delta.items(), key=lambda kv: -kv[1])[:6]:
    print(f"  {100.0 * v / total:5.1f}%  {o}")
PY
