#!/usr/bin/env bash
# Builds zelbench in the release preset, runs every benchmark (a few minutes)
# and writes bench/RESULTS.md from the JSON output.
#
#   bench/run_benchmarks.sh [zelbench options...]
#
# Environment:
#   ZELBENCH_BUILD_DIR  build a Release tree here instead of the release preset's
#   ZELBENCH_MIN_TIME   seconds per benchmark and repetition (0.2)
#   ZELBENCH_REPS       repetitions, interleaved at random; the fastest is reported (5)
#   ZELBENCH_NOTE       a note put at the top of RESULTS.md
# Allegro 4 and SDL2 peers need liballegro4-dev and libsdl2-dev; without them
# zelbench is built without those peers and says so.
set -euo pipefail

cd "$(dirname "$0")/.."
min_time=${ZELBENCH_MIN_TIME:-0.2}
reps=${ZELBENCH_REPS:-5}

if [[ -n "${ZELBENCH_BUILD_DIR:-}" ]]; then
    build=$ZELBENCH_BUILD_DIR
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target zelbench
else
    build=build/release
    cmake --preset release >/dev/null
    cmake --build --preset release --target zelbench
fi

# Repetitions of all benchmarks run in random order, so that a change of load
# during the run spreads over every implementation instead of hitting one.
# The JSON goes to a file of its own, so that the console shows progress and
# nothing the library prints can spoil the JSON.
json=$build/bench/zelbench.json
args=("--benchmark_min_time=$min_time" "--benchmark_repetitions=$reps" --benchmark_enable_random_interleaving=true
      --benchmark_display_aggregates_only=true "$@")
echo "run_benchmarks: zelbench ${args[*]} (a few minutes)" >&2
"$build/bench/zelbench" "${args[@]}" --benchmark_out="$json.tmp" --benchmark_out_format=json
mv "$json.tmp" "$json"

python3 bench/make_results.py "$json" --build-dir "$build" --note "${ZELBENCH_NOTE:-}" \
    --command "zelbench ${args[*]}"
