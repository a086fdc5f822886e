#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for a
# bounded time, growing a corpus under build/fuzz/corpus that later runs
# start from. Prints one line of figures per target and writes them to
# build/fuzz/figures.md. Exits 1 when a target found an input that crashes,
# leaks or trips a sanitizer; the input is kept in build/fuzz/artifacts/ and
# belongs in fuzz/regressions/TARGET/ once fixed, so the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  cat <<'USAGE'
usage: scripts/fuzz.sh [--seconds N] [--parallel P] [TARGET...]
Builds the fuzz preset and runs every fuzz target of fuzz/targets/ (or the
ones named) for N seconds each (default 20), P at a time (default 1).
USAGE
}

seconds=20
parallel=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --parallel) parallel="$2"; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/targets/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

echo "== fuzz build (clang)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

out=build/fuzz
mkdir -p "$out/logs" "$out/tmp"
# Only inputs this run finds count: those of earlier runs stay in the
# artifacts directories until they are moved to fuzz/regressions/.
stamp="$out/logs/run-start"
touch "$stamp"

run_one() {
  local t=$1
  local program="$out/fuzz/fuzz_$t"
  [ -x "$program" ] || { echo "fuzz.sh: no fuzz target named $t" >&2; return 2; }
  mkdir -p "$out/corpus/$t" "$out/artifacts/$t"
  # The temporary input files go to a directory of the run's own; stdout is
  # closed because zeltool's info command prints for every input.
  TMPDIR="$PWD/$out/tmp" "$program" "$out/corpus/$t" "$out/fuzz/seeds/$t" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -close_fd_mask=1 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$t/" >"$out/logs/$t.log" 2>&1
}

figures() {
  local t=$1 log="$out/logs/$t.log"
  local runs cov ft corpus found
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  corpus=$(find "$out/corpus/$t" -type f | wc -l)
  found=$(find "$out/artifacts/$t" -type f -newer "$stamp" | wc -l)
  printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$t" "$seconds" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$found"
}

echo "== fuzzing ${#targets[@]} targets for ${seconds} s each, $parallel at a time"
status=0
pids=()
names=()
for t in "${targets[@]}"; do
  run_one "$t" & pids+=($!); names+=("$t")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || true
    pids=("${pids[@]:1}")
  fi
done
wait || true

{
  echo "| target | seconds | executions | edges covered | features | corpus files | crashes |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  for t in "${names[@]}"; do figures "$t"; done
} | tee "$out/figures.md"

for t in "${names[@]}"; do
  if [ -n "$(find "$out/artifacts/$t" -type f -newer "$stamp")" ]; then
    echo "fuzz.sh: $t found failing inputs:" >&2
    find "$out/artifacts/$t" -type f -newer "$stamp" >&2
    grep -m 5 -E 'ERROR|SUMMARY|left blocks' "$out/logs/$t.log" >&2 || true
    status=1
  fi
done
rm -rf "$out/tmp"
exit $status
