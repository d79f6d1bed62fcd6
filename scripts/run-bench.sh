#!/bin/sh
# Runs every benchmark binary of a build, one after the other, then the
# command-line converter's benchmark (bench/cli/run-cli-bench.sh).
set -eu
build=${1:-build}
found=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
[ $found -eq 1 ] || echo "no benchmarks built"
if [ -x "$build/bin/fwbench_cli_corpus" ] && [ -x "$build/bin/framewright-convert" ]; then
  "$(dirname "$0")/../bench/cli/run-cli-bench.sh" "$build"
fi
