#!/bin/sh
# Checks a built Debian package as a distribution and a user would meet it:
#   1. lintian finds no error; the desktop entry and the AppStream metadata
#      pass their validators without an error or a warning;
#   2. unpacked into a scratch root (dpkg -x), framewright starts from there
#      under a virtual X server, shows its skin-shaped window (so it found
#      usr/share/framewright/skin.bmp), and its About button starts the
#      kudoscope beside it.
# `make package` runs it right after building the package.
set -eu

deb=${1:?usage: check-package.sh <package.deb>}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
xvfb="" app="" viewer=""
cleanup() {
  for pid in $viewer $app $xvfb; do kill "$pid" 2>/dev/null || true; done
  [ -z "$xvfb" ] || wait "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== lintian"
status=0
lintian --fail-on error "$deb" >"$scratch/lintian" 2>&1 || status=$?
grep -v '^running with root privileges' "$scratch/lintian" || echo "no tags"
[ "$status" -eq 0 ] || fail "lintian reports errors"

root=$scratch/root
dpkg -x "$deb" "$root"

echo "== desktop-file-validate"
for entry in "$root"/usr/share/applications/*.desktop; do
  out=$(desktop-file-validate "$entry" 2>&1) || fail "$out"
  # Hints are suggestions; errors and warnings are not accepted.
  if printf '%s\n' "$out" | grep -E ': (error|warning): ' >&2; then fail "$entry is not clean"; fi
  echo "$(basename "$entry"): ok"
done

echo "== appstreamcli validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "metainfo rejected"

# framewright-convert, once packaged, has to run from the unpacked tree too.
if [ -e "$root/usr/bin/framewright-convert" ]; then
  echo "== framewright-convert --version"
  "$root/usr/bin/framewright-convert" --version || fail "framewright-convert does not start"
fi

echo "== framewright from the unpacked package"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb

"$root/usr/bin/framewright" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Framewright' | head -n 1) \
  || fail "no Framewright window appeared"
# With its skin the window is the skin's size; without it only a small
# "skin.bmp is missing" box would show.
skin_size=$(file -b "$root/usr/share/framewright/skin.bmp" | sed -n 's/.*, \([0-9]*\) x \([0-9]*\) x .*/\1x\2/p')
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
[ "$geometry" = "$skin_size" ] || fail "window is $geometry, the skin $skin_size: skin not found"
echo "window $geometry: the skin was found"

about=$("$here/control-centre.sh" CmdAbout) || fail "CmdAbout not found in the window's layout"
xdotool mousemove --window "$window" $about click 1
for _ in $(seq 100); do
  viewer=$(pgrep -f "^$root/usr/bin/kudoscope" || true)
  [ -n "$viewer" ] && break
  sleep 0.1
done
[ -n "$viewer" ] || fail "About did not start $root/usr/bin/kudoscope"
echo "About started the packaged kudoscope"
echo "package check passed"
