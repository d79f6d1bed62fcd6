#!/bin/sh
# Fuzzes every file reader that has a fuzz target in the build, one after
# the other: run-fuzz.sh <fuzz build dir> <seconds per target>.
# For each fuzz_<fmt>, the seeds are the crafted files of test_<fmt>_decoder,
# written out by the test itself when FW_<FMT>_SEED_DIR is set, plus bmpsuite
# for the bitmap reader when it is present. New inputs collect in
# <build>/fuzz/<fmt>/found, crashes in <build>/fuzz/<fmt>/crashes.
# Every target runs even when one fails; the exit status says whether any did.
set -eu
build=$1
seconds=$2
src=$(cd "$(dirname "$0")/.." && pwd)

# Corpus folders of our own files' formats that are not in the repository.
extra_seeds() {
  case $1 in
    bmp)
      corpus=${FW_CORPUS_DIR:-$src/../shared/corpus/bmpsuite}
      found=""
      for d in g q b; do
        [ -d "$corpus/$d" ] && found="$found $corpus/$d"
      done
      [ -n "$found" ] || echo "No bmpsuite corpus at $corpus: fuzzing from the crafted bitmaps only." >&2
      echo "$found"
      ;;
  esac
}

targets=0
failed=""
for fuzzer in "$build"/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  targets=$((targets + 1))
  fmt=${fuzzer##*/fuzz_}
  work=$build/fuzz/$fmt
  mkdir -p "$work/seeds" "$work/found" "$work/crashes"
  echo "== fuzz_$fmt for $seconds s"

  seeder=$build/bin/test_${fmt}_decoder
  [ -x "$seeder" ] || { echo "run-fuzz: $seeder is missing (build the fuzzers target)" >&2; exit 1; }
  env "FW_$(echo "$fmt" | tr '[:lower:]' '[:upper:]')_SEED_DIR=$work/seeds" "$seeder" >/dev/null

  # shellcheck disable=SC2046
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/crashes/" \
    "$work/found" "$work/seeds" $(extra_seeds "$fmt") || failed="$failed fuzz_$fmt"
done

[ "$targets" -gt 0 ] || { echo "run-fuzz: no fuzz_* program in $build/bin" >&2; exit 1; }
[ -z "$failed" ] || { echo "run-fuzz: failed:$failed (inputs in $build/fuzz/*/crashes)" >&2; exit 1; }
echo "run-fuzz: $targets target(s), no crash"
