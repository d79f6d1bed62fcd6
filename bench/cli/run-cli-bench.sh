#!/bin/sh
# framewright-convert against libjpeg-turbo, in three parts:
# - a corpus of game screenshots at four sizes (FW_BENCH_PER_SIZE of each,
#   default 50): -j 1, then -j 2, 4, ... up to the number of cores, cjpeg
#   once per file with the same settings, and the floor (one process
#   encoding each bitmap after reading it); each the best of three runs;
# - a recorded movie, FW_BENCH_FRAMES frames of 1024 x 768 in one folder
#   (default 200 per FW_BENCH_PER_SIZE: 10000): -j 1, -j <cores> and the
#   floor, once each, and the peak memory;
# - the watch latency, at idle priority (the default) and at the usual one;
# - the watch against the polling watcher (watch-bench.sh): latency, idle
#   processor time, a movie dump;
# - the stand-in game's frames while a watch converts (FW_BENCH_ROUNDS
#   interleaved rounds, default 2).
# Usage: run-cli-bench.sh BUILD_DIR (a Release build). A short run:
# FW_BENCH_PER_SIZE=2.
set -eu
build=${1:-build}
bin=$build/bin
work=${FW_BENCH_DIR:-$build/bench-cli}
per_size=${FW_BENCH_PER_SIZE:-50}
frames=${FW_BENCH_FRAMES:-$((per_size * 200))}
quality=90
cores=$(nproc)

rm -rf "$work"
mkdir -p "$work/corpus" "$work/movie"
megapixels=$("$bin/fwbench_cli_corpus" "$work/corpus" "$per_size")
pictures=$(ls "$work/corpus" | wc -l)
movie_mp=$("$bin/fwbench_cli_corpus" --movie "$work/movie" "$frames")

now() { date +%s.%N; }
fresh_out() { rm -rf "$work/out"; mkdir "$work/out"; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }

# Seconds for one run of the converter on a folder; its peak memory in KiB
# lands in $work/rss-<folder>-<jobs>.
convert_once() {
  fresh_out
  start=$(now)
  /usr/bin/time -v -o "$work/time.txt" "$bin/framewright-convert" --quiet -q "$quality" -j "$2" \
    "$work/$1" "$work/out"
  end=$(now)
  awk '/Maximum resident set size/ { print $NF }' "$work/time.txt" > "$work/rss-$1-$2"
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
  "$bin/fwbench_cli_floor" "$work/$1" "$work/out" "$quality" | awk '{ print $2 }'
}

# -j 1, then doubling, and the number of cores.
jobs_list=1
n=2
while [ "$n" -lt "$cores" ]; do jobs_list="$jobs_list $n"; n=$((n * 2)); done
[ "$cores" -gt 1 ] && jobs_list="$jobs_list $cores"

load=$(cut -d ' ' -f 1 /proc/loadavg)
tf=$(best "$(floor_once corpus)" "$(floor_once corpus)" "$(floor_once corpus)")
tc=$(best "$(cjpeg_once)" "$(cjpeg_once)" "$(cjpeg_once)")
runs=""
for j in $jobs_list; do
  runs="$runs $j:$(best "$(convert_once corpus "$j")" "$(convert_once corpus "$j")" "$(convert_once corpus "$j")")"
done
mf=$(floor_once movie)
m1=$(convert_once movie 1)
mn=$(convert_once movie "$cores")
rm -rf "$work/out"
shots=${FW_BENCH_WATCH_SHOTS:-21}
latency=$("$bin/fwbench_cli_watch" latency "$bin/framewright-convert" "$shots")
latency_normal=$("$bin/fwbench_cli_watch" latency "$bin/framewright-convert" "$shots" --normal-priority)

# The memory goal: 40 MiB plus two copies of a picture's pixels per job.
limit() { awk -v jobs="$1" -v px="$2" 'BEGIN { print 40 * 1024 + 2 * px * 3 / 1024 * jobs }'; }

awk -v mp="$megapixels" -v n="$pictures" -v cores="$cores" -v load="$load" -v runs="$runs" \
    -v tc="$tc" -v tf="$tf" -v latency="$latency" -v latency_normal="$latency_normal" \
    -v rss1="$(cat "$work/rss-corpus-1")" -v rssn="$(cat "$work/rss-corpus-$cores")" \
    -v lim1="$(limit 1 2073600)" -v limn="$(limit "$cores" 2073600)" 'BEGIN {
  printf "== framewright-convert: %d screenshots (640x480, 800x600, 1024x768, 1920x1080), %.1f MP, quality 90\n", n, mp
  if (load > cores / 2)
    printf "(load average %.1f on %d cores when it started: other work shares the cores, the -j figures are low)\n", load, cores
  printf "| Run | Seconds | MP/s | Ratio | Goal |\n|---|---:|---:|---:|---|\n"
  printf "| floor (TurboJPEG, one bitmap at a time) | %.3f | %.1f | 1.00 | |\n", tf, mp / tf
  count = split(runs, r, " ")
  for (i = 1; i <= count; i++) {
    split(r[i], jt, ":")
    if (jt[1] == 1) {
      t1 = jt[2]
      printf "| framewright-convert -j 1 | %.3f | %.1f | %.2f x floor time | <= 1.15 |\n", t1, mp / t1, t1 / tf
    } else
      printf "| framewright-convert -j %d | %.3f | %.1f | %.2f x faster than -j 1 | >= %.1f |\n", jt[1], jt[2], mp / jt[2], t1 / jt[2], 0.9 * jt[1]
  }
  printf "| cjpeg, once per file | %.3f | %.1f | -j 1 is %.2f x faster | > 1 |\n", tc, mp / tc, tc / t1
  printf "Peak memory: -j 1 %.1f MiB (limit %.1f), -j %d %.1f MiB (limit %.1f)\n", rss1 / 1024, lim1 / 1024, cores, rssn / 1024, limn / 1024
  split(latency, l, " ")
  printf "Watch latency, close of a 1024x768 bitmap to its JPEG, idle priority: median %s ms (min %s, max %s; goal < 50)\n", l[1], l[2], l[3]
  split(latency_normal, l, " ")
  printf "The same at the usual priority (--normal-priority): median %s ms (min %s, max %s)\n", l[1], l[2], l[3]
}'
awk -v mp="$movie_mp" -v frames="$frames" -v cores="$cores" -v tf="$mf" -v t1="$m1" -v tn="$mn" \
    -v rss1="$(cat "$work/rss-movie-1")" -v rssn="$(cat "$work/rss-movie-$cores")" \
    -v lim1="$(limit 1 786432)" -v limn="$(limit "$cores" 786432)" 'BEGIN {
  printf "== A recorded movie: %d frames of 1024x768 in one folder, %.1f MP, one run each\n", frames, mp
  printf "| Run | Seconds | MP/s | Ratio | Goal |\n|---|---:|---:|---:|---|\n"
  printf "| floor | %.3f | %.1f | 1.00 | |\n", tf, mp / tf
  printf "| framewright-convert -j 1 | %.3f | %.1f | %.2f x floor time | <= 1.15 |\n", t1, mp / t1, t1 / tf
  printf "| framewright-convert -j %d | %.3f | %.1f | %.2f x faster than -j 1 | >= %.1f |\n", cores, tn, mp / tn, t1 / tn, 0.9 * cores
  printf "Peak memory: -j 1 %.1f MiB (limit %.1f), -j %d %.1f MiB (limit %.1f)\n", rss1 / 1024, lim1 / 1024, cores, rssn / 1024, limn / 1024
}'
"$(dirname "$0")/watch-bench.sh" "$bin/fwbench_cli_watch" "$bin/framewright-convert" \
  "$bin/framewright-convert-polling"
echo "== The game keeps its frames while a watch converts"
"$bin/fwbench_cli_frames" "$bin/framewright-convert" "${FW_BENCH_ROUNDS:-2}"
