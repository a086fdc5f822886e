#!/usr/bin/env bash
# Builds the showcase for web browsers into build/web/: index.html with
# zeldemo.js and zeldemo.wasm, the four libraries and zeldemo compiled with
# the distribution's Emscripten (installed when missing, as root, apt-get).
# Serve the folder and open it, e.g.
#   python3 -m http.server -b 127.0.0.1 -d build/web 8000   # http://127.0.0.1:8000/
# With --test it then runs the tour in headless Chromium and compares every
# scene with the frames of the headless driver (web/browser_test.js), which
# takes the native build's zeldemo (build/release, brought up to date).
set -euo pipefail
cd "$(dirname "$0")/.."

test=0
for arg in "$@"; do
  case "$arg" in
    --test) test=1 ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "web.sh: unknown argument '$arg' (try --help)" >&2; exit 2 ;;
  esac
done

packages=(emscripten cmake ninja-build g++)
[ "$test" = 1 ] && packages+=(chromium nodejs npm)
. scripts/packages.sh
installMissing --no-install-recommends "${packages[@]}"

# Debian's Emscripten finds the packaged acorn only along NODE_PATH, and
# keeps its prebuilt system libraries in its own frozen cache.
export NODE_PATH=/usr/share/nodejs
# -Wno-dev: the engine libraries, SHARED elsewhere, are static here by force.
emcmake cmake -S web -B build/web/build -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev >/dev/null
cmake --build build/web/build -j "$(nproc)"
echo "web.sh: the showcase is in build/web/ (index.html, zeldemo.js, zeldemo.wasm)"

[ "$test" = 1 ] || exit 0
. scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target zeldemo >/dev/null
npm_dir=build/web/npm
mkdir -p "$npm_dir"
cp web/package.json "$npm_dir/"
(cd "$npm_dir" && npm install --no-package-lock --no-audit --no-fund --loglevel=error >/dev/null)
NODE_PATH="$PWD/$npm_dir/node_modules" node web/browser_test.js build/web build/release/tools/zeldemo
