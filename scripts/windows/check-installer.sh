#!/bin/sh
# The Windows installer's round trip under Wine, as a player meets it:
#   install silently into Program Files; the game's registry entry names a
#   folder of screenshots; framewright.exe finds it by itself, CONVERT is
#   clicked and the JPEG files appear; About starts the viewer;
#   framewright-convert.exe converts a screenshot whose name no 8-bit code
#   page holds; the silent uninstall leaves nothing behind.
# Usage: check-installer.sh <setup.exe> <folder of sample screenshots>
# Runs in its own X server and Wine prefix (wine-session.sh).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
setup=$(realpath "$1")
samples=$(realpath "$2")
fail() { echo "check-installer: $*" >&2; exit 1; }
. "$here/wine-session.sh"

drive_c="$WINEPREFIX/drive_c"
installed="$drive_c/Program Files/Framewright"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Framewright"

echo "== silent install"
wine "$setup" /S
for file in framewright.exe kudoscope.exe framewright-convert.exe skin.bmp platforms/qwindows.dll \
            libjpeg-62.dll Qt6Widgets.dll uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the install has no $file"
done
[ -f "$menu/Framewright.lnk" ] || fail "no Start-menu entry"
echo "installed into C:\\Program Files\\Framewright, with a Start-menu entry"

echo "== the window finds the game through the registry and converts"
game="$session/Half-Life/valve"
mkdir -p "$game" "$drive_c/CS_JPEG"
cp "$samples"/*.bmp "$game/"
count=$(ls "$game"/*.bmp | wc -l)
wine reg add 'HKLM\Software\Sierra OnLine\Setup\HLIFEFE' /v Directory /t REG_SZ /d "$(winpath "$game")\\" /f \
  /reg:64 >/dev/null
wine "C:\\Program Files\\Framewright\\framewright.exe" &
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Framewright' | head -n 1 || true)
[ -n "$window" ] || fail "no Framewright window appeared"

# A control's centre, in pixels, from the window's layout.
centre() { "$here/../control-centre.sh" "$1" || fail "$1 is not in the window's layout"; }
# CONVERT is enabled once the welcome text has been shown: click until the
# first JPEG appears, and never again after, so nothing is converted twice.
jpegs() { ls "$drive_c/CS_JPEG" | grep -c '\.JPG$' || true; }
for _ in $(seq 12); do
  xdotool mousemove --window "$window" $(centre CmdGo) click 1
  for _ in $(seq 50); do [ "$(jpegs)" -gt 0 ] && break 2; sleep 0.1; done
done
for _ in $(seq 300); do [ "$(jpegs)" -ge "$count" ] && break; sleep 0.1; done
[ "$(jpegs)" -eq "$count" ] || fail "$(jpegs) JPEG files for $count screenshots"
for jpeg in "$drive_c"/CS_JPEG/*.JPG; do
  file -b "$jpeg" | grep -q '^JPEG image data' || fail "$jpeg is not a JPEG file"
done
echo "CONVERT wrote $count JPEG files into C:\\CS_JPEG"
wine reg query 'HKCU\Software\Framewright\Framewright\CONFIG' /v InputPath 2>/dev/null | grep -q 'Half-Life' \
  || fail "the settings are not in the user's registry"
echo "the settings are in HKEY_CURRENT_USER\\Software\\Framewright\\Framewright"

echo "== a double-click on the input path opens it in explorer"
xdotool mousemove --window "$window" $(centre lblInPath) click --repeat 2 --delay 80 1
opened=""
for _ in $(seq 100); do
  opened=$(pgrep -af 'explorer' | grep -i 'half-life' || true)
  [ -n "$opened" ] && break
  sleep 0.1
done
[ -n "$opened" ] || fail "no explorer for the input folder: $(pgrep -af explorer)"
echo "started: $opened"

echo "== About starts the viewer"
xdotool mousemove --window "$window" $(centre CmdAbout) click 1
[ -n "$(timeout 60 xdotool search --sync --onlyvisible --name '^Kudoscope' || true)" ] || fail "About started no viewer"
echo "the viewer's window is up"

echo "== framewright-convert.exe"
shots="$session/shots"
mkdir -p "$shots" "$session/out"
cp "$(ls "$samples"/*.bmp | head -n 1)" "$shots/θέα_🎮0001.bmp"
wine "C:\\Program Files\\Framewright\\framewright-convert.exe" -j 2 --delete "$(winpath "$shots")" \
  "$(winpath "$session/out")" || fail "framewright-convert.exe failed"
[ -f "$session/out/θέα_🎮0000.JPG" ] || fail "no θέα_🎮0000.JPG: $(ls "$session/out")"
[ -z "$(ls -A "$shots")" ] || fail "left in the input: $(ls -A "$shots")"
echo "converted and deleted a screenshot named outside the code page"

echo "== framewright-convert.exe --watch, ended by Ctrl+C"
wine "C:\\Program Files\\Framewright\\framewright-convert.exe" --watch "$(winpath "$shots")" \
  "$(winpath "$session/out")" >"$session/watch.log" 2>&1 &
watch=$!
for _ in $(seq 300); do grep -qs '^Stop with Ctrl-C' "$session/watch.log" && break; sleep 0.1; done
cp "$(ls "$samples"/*.bmp | head -n 1)" "$shots/.c2a50001.part"
mv "$shots/.c2a50001.part" "$shots/c2a50001.bmp" # the game's screenshot, complete
for _ in $(seq 300); do [ -f "$session/out/c2a50000.JPG" ] && break; sleep 0.1; done
[ -f "$session/out/c2a50000.JPG" ] || fail "the watch converted nothing: $(cat "$session/watch.log")"
kill -INT "$watch" # Wine hands it on as Ctrl+C
status=0
wait "$watch" || status=$?
[ "$status" -eq 130 ] || fail "the watch ended with $status after Ctrl+C, not 130"
echo "the watch converted a new screenshot and ended with 130 on Ctrl+C"

echo "== silent uninstall"
wineserver -k # the window and the viewer
wine "C:\\Program Files\\Framewright\\uninstall.exe" /S
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: wait for that copy to finish.
for _ in $(seq 300); do [ ! -e "$installed" ] && break; sleep 0.1; done
wineserver -w
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head)"
[ ! -e "$menu" ] || fail "the Start-menu folder is left"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewright' /reg:64 >/dev/null 2>&1; then
  fail "the uninstall entry is left in the registry"
fi
[ "$(jpegs)" -eq "$count" ] || fail "the uninstall touched the user's JPEG files"
echo "uninstalled; nothing left behind, the JPEG files kept"
echo "installer check passed"
