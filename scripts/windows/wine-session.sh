# Sourced by the Windows test scripts: a private X server and a fresh Wine
# prefix for this run only, both gone when the shell exits. Wine's server
# remembers the X display it started with, so the display comes first and
# the server is stopped before the display goes.
session=$(mktemp -d /tmp/fw-wine.XXXXXX)
export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEARCH=win64
# No offers to install Mono or Gecko, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="

end_session() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$session"
}
trap 'end_session' EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$session/display" ] && break; sleep 0.1; done
[ -s "$session/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$session/display")"
unset WAYLAND_DISPLAY

wineboot -i >/dev/null 2>&1
wineserver -w

# A Windows path for a Linux one: Wine maps / to drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
