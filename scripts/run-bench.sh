#!/bin/sh
# Runs every benchmark binary of a build, one after the other, then the
# command-line converter's benchmark (bench/cli/run-cli-bench.sh).
# Usage: run-bench.sh [--smoke] [BUILD_DIR]. With --smoke (CI) each
# benchmark runs only long enough to show that it works: the numbers mean
# nothing then. Where the Windows build has its polling converter too
# (cmake --build --preset windows --target framewright-convert-polling), the
# watch is measured under Wine as well.
set -eu
smoke=0
if [ "${1:-}" = --smoke ]; then
  smoke=1
  shift
fi
build=${1:-build}

found=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  if [ $smoke -eq 1 ]; then
    # A benchmark's own MinTime still wins over this.
    "$b" --benchmark_min_time=0.01
  else
    "$b" --benchmark_counters_tabular=true
  fi
done
[ $found -eq 1 ] || echo "no benchmarks built"
if [ -x "$build/bin/fwbench_cli_corpus" ] && [ -x "$build/bin/framewright-convert" ]; then
  # One screenshot of each size instead of eight; a short watch.
  if [ $smoke -eq 1 ]; then
    export FW_BENCH_PER_SIZE=1 FW_BENCH_WATCH_SHOTS=3 FW_BENCH_IDLE_SECONDS=2 FW_BENCH_IDLE_FILES=100 \
      FW_BENCH_DUMP_FRAMES=20
  fi
  "$(dirname "$0")/../bench/cli/run-cli-bench.sh" "$build"
  windows=$(dirname "$0")/../build-windows/bin
  if [ -f "$windows/framewright-convert-polling.exe" ] && command -v wine >/dev/null; then
    (
      . "$(dirname "$0")/windows/wine-session.sh"
      "$(dirname "$0")/../bench/cli/watch-bench.sh" "$build/bin/fwbench_cli_watch" \
        "$windows/framewright-convert.exe" "$windows/framewright-convert-polling.exe" --wine
    )
  fi
fi
