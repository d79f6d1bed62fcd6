#!/bin/sh
# The watch's benchmark table: the system's change events against the
# polling watcher, for one platform.
#   watch-bench.sh BENCH_TOOL EVENTS_CONVERTER POLLING_CONVERTER [--wine]
# BENCH_TOOL is fwbench_cli_watch (a Linux program: with --wine it runs the
# Windows converters under Wine, in the caller's Wine prefix, and writes each
# screenshot with a Windows program). The watches run at the usual priority
# (--normal-priority): at the idle one, what is measured on a busy machine is
# the other work's, not the watcher's (docs/watch-priority.md measures the
# priority). The sizes, full by default:
#   FW_BENCH_WATCH_SHOTS    screenshots for the latency (21)
#   FW_BENCH_IDLE_SECONDS   the idle measurement's length (60)
#   FW_BENCH_IDLE_FILES     files in the idle folder (10000)
#   FW_BENCH_DUMP_FRAMES    frames of the movie dump (10000)
set -eu
tool=$1
events=$2
polling=$3
wine=${4:-}
shots=${FW_BENCH_WATCH_SHOTS:-21}
seconds=${FW_BENCH_IDLE_SECONDS:-60}
files=${FW_BENCH_IDLE_FILES:-10000}
frames=${FW_BENCH_DUMP_FRAMES:-10000}

if [ -n "$wine" ]; then
  platform="Windows build under $(wine --version 2>/dev/null | head -n 1)"
  names="ReadDirectoryChangesW|polling (QFileSystemWatcher and sizes)"
else
  platform="Linux, natively"
  names="inotify|polling (QFileSystemWatcher and sizes)"
fi
echo "== The watch, $platform: $shots screenshots of 1024x768, idle $seconds s with $files files, a dump of $frames frames of 640x480"
printf '| Watcher | Close to JPEG, median ms | worst ms | Idle processor ms in %s s | Dump: last JPEG s (writer s) |\n' "$seconds"
printf '|---|---:|---:|---:|---:|\n'
i=1
for converter in "$events" "$polling"; do
  name=$(printf '%s' "$names" | cut -d '|' -f $i)
  set -- $("$tool" latency "$converter" "$shots" $wine --normal-priority)
  median=$1 worst=$3
  cpu=$("$tool" idle "$converter" "$seconds" "$files" $wine --normal-priority)
  set -- $("$tool" dump "$converter" "$frames" $wine --normal-priority)
  printf '| %s | %s | %s | %s | %s (%s) |\n' "$name" "$median" "$worst" "$cpu" "$1" "$2"
  i=$((i + 1))
done
