#!/bin/sh
# Two builds of framewright-convert on one folder, runs interleaved so that
# both see the same machine: -j 1 and -j <cores>, without and with --delete
# (on a copy made of hard links), ROUNDS times; prints the best and the
# median seconds of each. On a machine shared with other sessions the
# scheduler gives each session its share whatever its threads: as root,
# FW_BENCH_PRIORITY=1 runs the measurement in a session of its own with the
# scheduling group's nice at -20 (see docs/cli-throughput.md).
# Usage: compare-builds.sh OLD_CONVERTER NEW_CONVERTER FOLDER [ROUNDS]
set -eu
if [ "${FW_BENCH_PRIORITY:-0}" = 1 ] && [ -z "${FW_BENCH_PRIORITISED:-}" ]; then
  FW_BENCH_PRIORITISED=1 exec setsid sh -c 'echo -20 > /proc/self/autogroup; exec "$0" "$@"' "$0" "$@"
fi
old=$1 new=$2 folder=$3 rounds=${4:-6}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for r in $(seq "$rounds"); do
  for mode in plain delete; do
    for build in old new; do
      for jobs in 1 "$(nproc)"; do
        rm -rf "$work/out" "$work/in"
        mkdir "$work/out"
        if [ "$mode" = delete ]; then cp -al "$folder" "$work/in"; else ln -s "$(realpath "$folder")" "$work/in"; fi
        start=$(date +%s.%N)
        if [ "$build" = old ]; then converter=$old; else converter=$new; fi
        "$converter" --quiet $([ "$mode" = delete ] && echo --delete) -j "$jobs" "$work/in" "$work/out"
        echo "$build $mode -j$jobs $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')"
      done
    done
  done
done | sort -k1,3 -k4g | awk '{ k = $1 " " $2 " " $3; n[k]++; t[k, n[k]] = $4 }
  END { for (k in n) printf "%-18s best %.3f  median %.3f\n", k, t[k, 1], t[k, int((n[k] + 1) / 2)] }' | sort
