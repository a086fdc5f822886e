#!/usr/bin/env bash
# The whole test suite: installs what a fresh Debian 12 machine lacks, then
# builds and tests the release preset (also under the memory stress mode
# ZEL_MEM_MOVE=1); checks the installed tree and the Debian packages with the
# build tree moved aside; builds and tests the ASan+UBSan preset; runs the
# fuzz targets briefly. The showcase is also built for web browsers and run in
# headless Chromium against the headless driver's frames.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/deps.sh

jobs=$(nproc)
step() { echo; echo "== $* (at ${SECONDS} s)"; }

step "release build"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"

# The window driver's tests start a virtual display (Xvfb) of their own.
step "release tests"
ctest --preset release -j "$jobs"

step "release tests with ZEL_MEM_MOVE=1"
ZEL_MEM_MOVE=1 ctest --preset release -j "$jobs"

# Emscripten, Chromium and the test's npm packages are installed by web.sh.
step "the showcase in a web browser"
scripts/web.sh --test

step "install into a fresh prefix and build the Debian packages"
scratch=$(mktemp -d)
build="$PWD/build/release"
moved="$PWD/build/release.moved-by-test"
restore() { [ -d "$moved" ] && mv "$moved" "$build"; rm -rf "$scratch"; }
trap restore EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >/dev/null)
mkdir "$scratch/root"
for package in "$build"/packages/*.deb; do
  dpkg-deb -x "$package" "$scratch/root"
  echo "$(basename "$package"): $(dpkg-deb -f "$package" Depends)"
done
if grep -rl -e "$PWD" "$scratch/prefix" "$scratch/root"; then
  echo "test.sh: the installed files above name the source or build tree" >&2
  exit 1
fi

# Nothing of the build tree may be used from here on: it is moved aside, and
# the checks run with no environment variables pointing anywhere.
step "the installed tree and the unpacked packages, with the build tree moved aside"
mv "$build" "$moved"
tests/install/check_prefix.sh "$scratch/prefix" --guide docs/GUIDE.md
tests/install/check_prefix.sh "$scratch/root/usr"
mv "$moved" "$build"

step "ASan+UBSan build"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

step "ASan+UBSan tests"
ctest --preset asan -j "$jobs"

# Every reader of outside files is fuzzed for a short while from the seed
# corpora (a longer run: scripts/fuzz.sh --seconds 600).
step "fuzz targets, 15 s each"
scripts/fuzz.sh --seconds 15 --parallel "$jobs"

echo
echo "== all checks passed"
