#!/usr/bin/env bash
# The whole test suite: installs what a fresh Debian 12 machine lacks, then
# builds and tests the release preset (also under the memory stress mode
# ZEL_MEM_MOVE=1), the ASan+UBSan preset, runs the fuzz targets briefly, and
# builds a program against the installed tree.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/deps.sh

jobs=$(nproc)
step() { echo; echo "== $*"; }

step "release build"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"

# The window driver's tests start a virtual display (Xvfb) of their own.
step "release tests"
ctest --preset release -j "$jobs"

step "release tests with ZEL_MEM_MOVE=1"
ZEL_MEM_MOVE=1 ctest --preset release -j "$jobs"

step "ASan+UBSan build"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

step "ASan+UBSan tests"
ctest --preset asan -j "$jobs"

# Every reader of outside files is fuzzed for a short while from the seed
# corpora (a longer run: scripts/fuzz.sh --seconds 600).
step "fuzz targets, 15 s each"
scripts/fuzz.sh --seconds 15 --parallel "$jobs"

step "install and build a consumer against it"
rm -rf build/install build/consumer
cmake --install build/release --prefix "$PWD/build/install" >/dev/null
pcdir=$(dirname "$(find build/install -name zelgfx.pc | head -n 1)")
PKG_CONFIG_PATH="$PWD/$pcdir" cmake -S tests/consumer -B build/consumer -G Ninja \
  -DCMAKE_PREFIX_PATH="$PWD/build/install" >/dev/null
cmake --build build/consumer
build/consumer/consumer_cmake
build/consumer/consumer_pkgconfig

echo
echo "== all checks passed"
