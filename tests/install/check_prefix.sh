#!/usr/bin/env bash
# Checks an installed zelgfx as its users meet it, from nothing but the
# installed tree: PREFIX/bin/zeldemo runs on the headless driver and writes
# frames, refuses to start without a display and says how to choose the
# headless driver, reports its version; programs built against PREFIX with
# find_package and with pkg-config run. With --guide, every complete code
# block of the guide is built against PREFIX and run on the headless driver.
# Programs run with an empty environment (PATH and HOME aside), so nothing
# points into a source or build tree.
#
# usage: tests/install/check_prefix.sh PREFIX [--guide docs/GUIDE.md]
set -euo pipefail

usage() { echo "usage: $0 PREFIX [--guide GUIDE.md]"; }
[ $# -ge 1 ] || { usage >&2; exit 2; }
case "$1" in -h|--help) usage; exit 0 ;; esac
prefix=$(cd "$1" && pwd)
guide=""
if [ "${2:-}" = "--guide" ]; then guide=$(cd "$(dirname "$3")" && pwd)/$(basename "$3"); fi
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # no data or drivers in the current directory

fail() { echo "check_prefix: $*" >&2; exit 1; }
# A program with nothing of the caller's environment but PATH and HOME.
clean() { env -i PATH=/usr/bin:/bin HOME="$HOME" "$@"; }
pcdir=$(dirname "$(find "$prefix" -name zelgfx.pc | head -n 1)")
version=$(PKG_CONFIG_PATH="$pcdir" pkg-config --modversion zelgfx)

echo "-- $prefix: zelgfx $version"
clean "$prefix/bin/zeldemo" --version | grep -qx "zeldemo (zelgfx) $version" || fail "zeldemo --version"
clean "$prefix/bin/zelgen" --version | grep -qx "zelgen (zelgfx) $version" || fail "zelgen --version"

clean "$prefix/bin/zeldemo" --driver headless --frames 40 --fps 0 --frames-dir "$work/frames" >/dev/null
[ "$(ls "$work"/frames/frame*.png | wc -l)" -ge 40 ] || fail "zeldemo wrote too few frames on the headless driver"

for display in "" ":97"; do
  status=0
  clean ${display:+DISPLAY=$display} "$prefix/bin/zeldemo" --frames 5 >"$work/out" 2>&1 || status=$?
  [ "$status" -eq 1 ] || fail "zeldemo without a display (DISPLAY='$display') exited $status, not 1"
  grep -q "no display" "$work/out" && grep -q "headless" "$work/out" ||
    fail "zeldemo without a display does not say how to choose the headless driver: $(cat "$work/out")"
done
echo "-- zeldemo: frames on headless.drv; without a display: exit 1, naming the headless driver"

# The consumers, built from a copy: nothing of the source tree is used.
cp -r "$here/../consumer" "$work/consumer"
PKG_CONFIG_PATH="$pcdir" cmake -S "$work/consumer" -B "$work/consumer-build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer-build" >/dev/null
clean "$work/consumer-build/consumer_cmake" | tail -n 1
clean "$work/consumer-build/consumer_pkgconfig" | tail -n 1

[ -n "$guide" ] || exit 0

# The guide's blocks, by their fence: "cpp" a complete program, "cpp driver"
# a complete driver module, "cpp fragment" a piece (skipped); "cmake" the
# CMakeLists.txt of the first program; "sh" and "ini" commands and files.
mkdir "$work/guide" && cd "$work/guide"
awk '
  /^```/ && !inside {
    inside = 1; kind = substr($0, 4)
    if (kind == "cpp") file = sprintf("program%02d.cpp", ++programs)
    else if (kind == "cpp driver") file = sprintf("driver%02d.cpp", ++drivers)
    else if (kind == "cmake") file = "CMakeLists.txt"
    else if (kind == "cpp fragment" || kind == "sh" || kind == "ini") file = ""
    else { printf "line %d: a code block marked \"%s\": mark it cpp, cpp fragment, cpp driver, cmake, sh or ini\n", NR, kind > "/dev/stderr"; bad = 1 }
    next
  }
  /^```/ && inside { inside = 0; next }
  inside && file != "" { print > file }
  END { exit bad }
' "$guide" || fail "the guide has unmarked code blocks"
ls program01.cpp CMakeLists.txt >/dev/null || fail "the guide has no first program or no CMakeLists.txt for it"

flags=$(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs zelgfx)
libdir=$(PKG_CONFIG_PATH="$pcdir" pkg-config --variable=libdir zelgfx)
for program in program*.cpp; do
  g++ -std=c++20 -Wall -Wextra -Werror "$program" -o "${program%.cpp}" $flags -Wl,-rpath,"$libdir" ||
    fail "guide block $program does not compile"
  mkdir -p "frames-$program"
  clean ZEL_graphics=headless.drv ZEL_headless_dir="$PWD/frames-$program" ZEL_headless_every=50 \
    timeout 60 "./${program%.cpp}" >/dev/null || fail "guide block $program failed on the headless driver"
  ls "frames-$program"/*.png >/dev/null 2>&1 || fail "guide block $program showed no frame"
done
for driver in driver*.cpp; do
  [ -e "$driver" ] || continue
  g++ -std=c++20 -Wall -Wextra -Werror -shared -fPIC "$driver" -o "${driver%.cpp}.drv" \
    $(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags zelgfx) -L"$libdir" -lzelmem -Wl,-Bsymbolic ||
    fail "guide block $driver does not compile"
  clean ZEL_graphics="$PWD/${driver%.cpp}.drv" timeout 60 ./program01 >/dev/null ||
    fail "the first program does not run on the guide's driver $driver"
done
# The first program once more, as the guide builds it with CMake; without a
# display it must end at once with the reason.
cp program01.cpp hello.cpp
cmake -S . -B build -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null && cmake --build build >/dev/null ||
  fail "the first program does not build with the guide's CMakeLists.txt"
status=0
clean timeout 20 build/hello >out 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q "headless" out || fail "the first program without a display: exit $status, $(cat out)"
echo "-- guide: $(ls program*.cpp | wc -l) programs and $(ls driver*.cpp 2>/dev/null | wc -l) driver built and run"
