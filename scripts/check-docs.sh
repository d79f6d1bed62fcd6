#!/bin/sh
# Fails when a document names a path of the tree that does not exist: every
# path in README.md, CONTRIBUTING.md and docs/*.md that starts with one of
# the tree's top folders ("converter/core/Retire.h", "tests/fuzz/") or with
# a converter layer ("core/Retire.h" means converter/core/Retire.h). A name
# without its extension ("core/JpegEncoder") counts when a .h or .cpp of it
# exists; a placeholder ("tests/fuzz/Fuzz<Format>.cpp") is checked up to the
# folder that holds it. Usage: scripts/check-docs.sh [document...]
set -eu
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- README.md CONTRIBUTING.md docs/*.md

top='(converter|tests|docs|scripts|cmake|bench|art|viewer|data|\.ci)'
layer='(core|platform|engine|detection|window|cli)'
missing=0
for doc in "$@"; do
  # Each path once, with what follows it (a placeholder's "<").
  grep -noE "(^|[^A-Za-z0-9_./@<-])($top|$layer)/[A-Za-z0-9_./@+-]*<?" "$doc" |
    sed -E 's/^([0-9]+):[^a-z.]?/\1 /' | sort -u -k2 |
    while read -r line path; do
      case $path in
        *'<') path=${path%/*}/ ;; # up to the placeholder's folder
      esac
      path=${path%.}
      case $path in
        core/* | platform/* | engine/* | detection/* | window/* | cli/*)
          # "tests/cli", "bench/engine": only the converter's own layers.
          [ -e "$path" ] || path=converter/$path ;;
      esac
      if [ ! -e "$path" ] && [ ! -e "$path.h" ] && [ ! -e "$path.cpp" ]; then
        echo "$doc:$line: $path does not exist" >&2
        echo x
      fi
    done
done | grep -q x && missing=1
[ $missing -eq 0 ] || { echo "check-docs: the documents name paths that are not in the tree" >&2; exit 1; }
echo "check-docs: every path named in $* exists"
