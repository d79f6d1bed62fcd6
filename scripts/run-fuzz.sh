#!/bin/sh
# Fuzzes the bitmap reader: run-fuzz.sh <fuzz build dir> <seconds>.
# Seeds: every crafted bitmap of the decoder's tests, written out by the
# tests themselves, and the bmpsuite corpus when it is present. New inputs
# collect in <build>/fuzz/found, crashes in <build>/fuzz/crashes.
set -eu
build=$1
seconds=$2
src=$(cd "$(dirname "$0")/.." && pwd)
work=$build/fuzz
mkdir -p "$work/seeds" "$work/found" "$work/crashes"

FW_BMP_SEED_DIR=$work/seeds "$build/bin/test_bmp_decoder" >/dev/null

corpus=${FW_CORPUS_DIR:-$src/../shared/corpus/bmpsuite}
extra=""
for d in g q b; do
  [ -d "$corpus/$d" ] && extra="$extra $corpus/$d"
done
[ -n "$extra" ] || echo "No bmpsuite corpus at $corpus: fuzzing from the crafted bitmaps only."

# shellcheck disable=SC2086
exec "$build/bin/fuzz_bmp" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$work/crashes/" "$work/found" "$work/seeds" $extra
