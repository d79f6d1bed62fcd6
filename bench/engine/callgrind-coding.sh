#!/bin/sh
# Instructions spent encoding each picture set with each coding
# (JpegCodingBench.cpp), counted by callgrind: repeatable where the
# benchmark's times are not, on a machine that other work shares.
# Usage: bench/engine/callgrind-coding.sh [build folder]
set -eu
build=${1:-build}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for set in 0 1 2; do
  for coding in 0 1 2; do
    # One timed iteration; only encodeAll, the timed work, is counted.
    # A fixed hash seed: the sample art seeds its drawing with qHash.
    label=$(QT_HASH_SEED=0 QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file="$out/cg" \
      --toggle-collect='*encodeAll*' "$build/bin/bench_engine" \
      --benchmark_filter="JpegCoding/$set/$coding\$" --benchmark_min_time=0.000001 2>"$out/log" |
      sed -n 's/.*saved_%=[0-9.e-]* //p')
    instructions=$(sed -n 's/.*Collected : //p' "$out/log")
    echo "$set/$coding $instructions $label"
  done
done
