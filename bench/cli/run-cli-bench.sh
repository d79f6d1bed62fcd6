#!/bin/sh
# framewright-convert against libjpeg-turbo on a corpus of game screenshots:
# -j 1, -j <cores>, cjpeg once per file with the same settings, and the floor
# (one process compressing bitmaps already in memory). Each is the best of
# three runs. Then the peak memory of both converter runs and the watch
# latency. Usage: run-cli-bench.sh BUILD_DIR (a Release build).
set -eu
build=${1:-build}
bin=$build/bin
work=${FW_BENCH_DIR:-$build/bench-cli}
per_size=${FW_BENCH_PER_SIZE:-8}
quality=90
cores=$(nproc)

rm -rf "$work"
mkdir -p "$work/corpus"
megapixels=$("$bin/fwbench_cli_corpus" "$work/corpus" "$per_size")
pictures=$(ls "$work/corpus" | wc -l)

now() { date +%s.%N; }
fresh_out() { rm -rf "$work/out"; mkdir "$work/out"; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }

# Seconds for one run of the converter; its peak memory lands in $work/rss-$1.
convert_once() {
  fresh_out
  start=$(now)
  /usr/bin/time -v -o "$work/time.txt" "$bin/framewright-convert" --quiet -q "$quality" -j "$1" \
    "$work/corpus" "$work/out"
  end=$(now)
  awk '/Maximum resident set size/ { print $NF }' "$work/time.txt" > "$work/rss-$1"
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

# cjpeg with the encoder's settings: quality, 4:4:4, the accurate integer DCT,
# baseline Huffman coding without optimisation.
cjpeg_once() {
  fresh_out
  start=$(now)
  for f in "$work"/corpus/*.bmp; do
    cjpeg -quality "$quality" -sample 1x1 -dct int -outfile "$work/out/$(basename "$f" .bmp).jpg" "$f"
  done
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

floor_once() {
  fresh_out
  "$bin/fwbench_cli_floor" "$work/corpus" "$work/out" "$quality" | awk '{ print $2 }'
}

t1=$(best "$(convert_once 1)" "$(convert_once 1)" "$(convert_once 1)")
rss1=$(cat "$work/rss-1")
tn=$(best "$(convert_once "$cores")" "$(convert_once "$cores")" "$(convert_once "$cores")")
rssn=$(cat "$work/rss-$cores")
tc=$(best "$(cjpeg_once)" "$(cjpeg_once)" "$(cjpeg_once)")
tf=$(best "$(floor_once)" "$(floor_once)" "$(floor_once)")
latency=$("$bin/fwbench_cli_watch" "$bin/framewright-convert" 21)

# The memory goal: 40 MiB plus two copies of the largest screenshot's pixels
# (1920 x 1080 x 3 bytes) per job.
limit() { awk -v jobs="$1" 'BEGIN { print 40 * 1024 + 2 * 1920 * 1080 * 3 / 1024 * jobs }'; }

awk -v mp="$megapixels" -v n="$pictures" -v cores="$cores" \
    -v t1="$t1" -v tn="$tn" -v tc="$tc" -v tf="$tf" \
    -v rss1="$rss1" -v rssn="$rssn" -v lim1="$(limit 1)" -v limn="$(limit "$cores")" \
    -v latency="$latency" 'BEGIN {
  printf "== framewright-convert: %d screenshots (640x480, 800x600, 1024x768, 1920x1080), %.1f MP, quality 90\n", n, mp
  printf "| Run | Seconds | MP/s | Ratio | Goal |\n|---|---:|---:|---:|---|\n"
  printf "| floor (TurboJPEG, bitmaps in memory) | %.3f | %.1f | 1.00 | |\n", tf, mp / tf
  printf "| framewright-convert -j 1 | %.3f | %.1f | %.2f x floor time | <= 1.15 |\n", t1, mp / t1, t1 / tf
  printf "| framewright-convert -j %d | %.3f | %.1f | %.2f x faster than -j 1 | >= %.1f |\n", cores, tn, mp / tn, t1 / tn, 0.8 * cores
  printf "| cjpeg, once per file | %.3f | %.1f | -j 1 is %.2f x faster | > 1 |\n", tc, mp / tc, tc / t1
  printf "Peak memory: -j 1 %.1f MiB (limit %.1f), -j %d %.1f MiB (limit %.1f)\n", rss1 / 1024, lim1 / 1024, cores, rssn / 1024, limn / 1024
  split(latency, l, " ")
  printf "Watch latency, close of a 1024x768 bitmap to its JPEG: median %s ms (min %s, max %s; goal < 50)\n", l[1], l[2], l[3]
}'
