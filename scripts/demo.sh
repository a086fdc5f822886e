#!/usr/bin/env bash
# Builds and runs the showcase. With a display it opens the window; without
# one the very same command runs it on the headless driver and says where the
# frames went. Extra arguments go to zeldemo (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target zeldemo >/dev/null

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/tools/zeldemo "$@"
fi
frames="$PWD/build/demo-frames"
rm -rf "$frames"
ZEL_headless_every="${ZEL_headless_every:-30}" \
  build/release/tools/zeldemo --driver headless --fps 0 --frames-dir "$frames" "$@"
echo "zeldemo: no display here; the frames are PNG files in $frames"
