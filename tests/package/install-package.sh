#!/bin/sh
# The Debian package as a user gets it: built by CPack from the build tree,
# named xmoplay_VERSION_ARCH.deb, its Depends computed, unpacked into a
# scratch root; there the installed xmotool names its version, finds the demo
# film playable with every file it names, and renders a frame of it through
# the installed xmotool-render, and the manual pages and docs are in place
# with example films that check as they do in the source tree.
#
# usage: install-package.sh BUILD_DIR VERSION
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR VERSION" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
version=$2
. "$(dirname "$0")/../support/check_script.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
}
deb="$work/out/xmoplay_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || {
    echo "FAIL: no $(basename "$deb") in: $(ls "$work/out")"
    exit 1
}

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libexpat1 libpng16 libsdl1.2 libegl1 libode libmpg123 libopenal1 libplib1 libfreetype6; do
    echo "$depends" | grep -q "$library" || fail "Depends does not name $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
[ -n "$(dpkg-deb -f "$deb" Section)" ] || fail "no Section"

root="$work/root"
dpkg -x "$deb" "$root"
usr="$root/usr"
for file in bin/xmoplay bin/xmotool bin/xmotool-render share/man/man1/xmoplay.1.gz share/man/man1/xmotool.1.gz \
    share/xmoplay/demo/BrikBasics.xmo share/doc/xmoplay/format.md share/doc/xmoplay/xmo.rng \
    share/doc/xmoplay/README.md; do
    [ -e "$usr/$file" ] || fail "the package has no /usr/$file"
done

[ "$("$usr/bin/xmotool" --version)" = "xmotool $version" ] || fail "installed xmotool --version: $("$usr/bin/xmotool" --version)"

cd "$usr/share/xmoplay/demo"
if "$usr/bin/xmotool" check BrikBasics.xmo >"$work/check.out" 2>&1; then
    tail -n 1 "$work/check.out" | grep -q ": 0 problems, playable$" || fail "installed demo: $(cat "$work/check.out")"
else
    fail "installed xmotool check on the installed demo: $(cat "$work/check.out")"
fi
if "$usr/bin/xmotool" render BrikBasics.xmo --fps 10 --at 1 --out "$work/frames" >"$work/render.out" 2>&1; then
    [ -s "$work/frames/frame-000010.png" ] || fail "installed render wrote: $(ls "$work/frames")"
else
    fail "installed xmotool render: $(cat "$work/render.out")"
fi

# The examples of the format reference, as an author copies them from there.
cd "$usr/share/doc/xmoplay/examples"
for movie in *.xmo; do
    "$usr/bin/xmotool" check "$movie" >"$work/check.out" 2>&1 ||
        fail "installed example $movie: $(cat "$work/check.out")"
done

finish "$(basename "$deb") installs and works"
