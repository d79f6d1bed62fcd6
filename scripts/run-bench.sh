#!/bin/sh
# Runs every benchmark binary of a build, one after the other.
set -eu
build=${1:-build}
found=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  # This kind of machine's speed drifts by tens of percent over a minute:
  # interleaving the repetitions lets each path and its baseline see the
  # same drift, and the medians compare fairly.
  "$b" --benchmark_counters_tabular=true --benchmark_repetitions=3 \
       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
done
[ $found -eq 1 ] || echo "no benchmarks built"
