#!/bin/sh
# Reaching a film time, on the demo (75 s):
#  - xmotool render --at 70 --hash against --at 0 --hash, whole processes
#    timed by hyperfine in the same run (goal: at most 2x);
#  - xmoplay --window --start 70: from the end of loading ("Loading music
#    file..." on standard output) to its first picture (goal: at most 1 s);
#  - xmoplay --watch paused at 70 s: from saving the film to the picture of
#    the film read again (goal: at most 1.5 s).
# The player's pictures come through its capture hook (XMOPLAY_CAPTURE and
# SIGUSR1); it runs under Xvfb, started here when there is no display.
#
# usage: seek_bench.sh BUILD_DIR [RUNS]   (runs of each measure; default 5
# for the renders, 3 for the player)
set -eu

if [ $# -ne 1 ] && [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR [RUNS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
render_runs=${2:-5}
player_runs=${2:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/assets/demo" "$work/demo"
cd "$work/demo"

hyperfine --shell=none --warmup 1 --runs "$render_runs" --style basic --export-json "$work/render.json" \
    "$build/xmotool render BrikBasics.xmo --at 70 --hash" "$build/xmotool render BrikBasics.xmo --at 0 --hash" \
    >/dev/null

python3 - "$build/xmoplay" "$work/render.json" "$render_runs" "$player_runs" <<'PY'
import json, os, signal, subprocess, sys, time

xmoplay, results = sys.argv[1], sys.argv[2]
render_runs, player_runs = int(sys.argv[3]), int(sys.argv[4])
far, near = json.load(open(results))["results"]
print(f"xmotool render --at 70 --hash: {far['median']:.2f} s, --at 0: {near['median']:.2f} s (median of {render_runs}); "
      f"ratio {far['median'] / near['median']:.2f} (goal: at most 2)")

capture = os.path.abspath("capture.png")
LOADED = b"Loading music file..."

def wait_for_loading(player):
    line = b""
    while LOADED not in line:
        line = player.stdout.readline()
        if not line:
            sys.exit("xmoplay ended before it had loaded the film")
    return time.perf_counter()

def wait_for_picture(player, timeout=60):
    player.send_signal(signal.SIGUSR1)
    start = time.perf_counter()
    while not os.path.exists(capture):
        if time.perf_counter() - start > timeout:
            sys.exit("xmoplay showed no picture")
        time.sleep(0.005)
    return time.perf_counter()

def run(args):
    env = dict(os.environ, XMOPLAY_CAPTURE=capture)
    return subprocess.Popen([xmoplay, "--window", *args, "BrikBasics.xmo"], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, env=env)

def first_picture():
    if os.path.exists(capture):
        os.remove(capture)
    player = run(["--start", "70"])
    loaded = wait_for_loading(player)
    shown = wait_for_picture(player)
    player.terminate()
    player.wait()
    return shown - loaded

def reload_picture():
    if os.path.exists(capture):
        os.remove(capture)
    player = run(["--start", "70", "--paused", "--watch"])
    wait_for_loading(player)
    wait_for_picture(player)
    os.remove(capture)
    film = open("BrikBasics.xmo", "rb").read()
    saved = time.perf_counter()
    with open("BrikBasics.xmo", "wb") as f:
        f.write(film)
    wait_for_loading(player)  # the player started again in its own place
    shown = wait_for_picture(player)
    player.terminate()
    player.wait()
    return shown - saved

median = lambda v: sorted(v)[len(v) // 2]
start = median([first_picture() for _ in range(player_runs)])
print(f"xmoplay --start 70: first picture {start:.2f} s after loading (median of {player_runs}; goal: at most 1 s)")
reload = median([reload_picture() for _ in range(player_runs)])
print(f"xmoplay --watch at 70 s: the film read again and shown {reload:.2f} s after the save "
      f"(median of {player_runs}, with the 0.2 s wait for the editor to finish; goal: at most 1.5 s)")
PY
