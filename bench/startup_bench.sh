#!/bin/sh
# Start-up of `xmotool check` on a one-sequence film against `xmllint --noout`
# on the same file, both timed by hyperfine in the same run. The checker is
# meant to answer about as fast as an XML validator (goal: at most 3x).
#
# usage: startup_bench.sh BUILD_DIR [RUNS]   (300 runs of each by default)
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [RUNS]" >&2
    exit 2
fi
xmotool=$(cd "$1" && pwd)/xmotool
runs=${2:-300}
warmup=$((runs < 20 ? runs : 20))
film=$(cd "$(dirname "$0")/.." && pwd)/tests/data/app/still.xmo
results=$(mktemp)
trap 'rm -f "$results"' EXIT

hyperfine --shell=none --warmup "$warmup" --runs "$runs" --style basic \
    --export-json "$results" \
    "$xmotool check $film" "xmllint --noout $film"

python3 - "$results" <<'PY'
import json, sys
check, xmllint = json.load(open(sys.argv[1]))["results"]
wall = lambda r: r["median"] * 1000
cpu = lambda r: (r["user"] + r["system"]) * 1000
print(f"xmotool check: median {wall(check):.2f} ms; xmllint --noout: median {wall(xmllint):.2f} ms; "
      f"ratio {wall(check) / wall(xmllint):.2f} (goal: at most 3)")
# On a busy machine the wall clock mostly measures waiting; CPU time does not.
print(f"CPU time (user + system, mean): {cpu(check):.2f} ms against {cpu(xmllint):.2f} ms; "
      f"ratio {cpu(check) / cpu(xmllint):.2f}")
PY
