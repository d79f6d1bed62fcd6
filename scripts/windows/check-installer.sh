#!/bin/sh
# The Windows installer's round trip under Wine, as a player meets it:
#   install silently into Program Files; the game's registry entry names a
#   folder of screenshots; framewright.exe finds it by itself, CONVERT is
#   clicked and the JPEG files appear; About starts the viewer;
#   framewright-convert.exe converts a screenshot whose name no 8-bit code
#   page holds; the option /WATCH=1 leaves a logon entry, and the windowless
#   watch it starts converts what a Windows program copies into valve\ and
#   into a cstrike\ made later, with the window's saved choices; a first
#   start with only Steam's registry value finds the game and saves its
#   folder with backslashes; the silent uninstall stops the watch and leaves
#   nothing behind.
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

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
echo "== silent install, with the watch at logon (/WATCH=1)"
wine "$setup" /S /WATCH=1
for file in framewright.exe kudoscope.exe framewright-convert.exe framewright-watch.exe skin.bmp platforms/qwindows.dll \
            libjpeg-62.dll Qt6Widgets.dll uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the install has no $file"
done
[ -f "$menu/Framewright.lnk" ] || fail "no Start-menu entry"
for entry in "Start converting while I play" "Stop converting while I play"; do
  [ -f "$menu/$entry.lnk" ] || fail "no Start-menu entry \"$entry\""
done
logon=$(wine reg query "$run_key" /v 'Framewright watch' 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$logon" ] || fail "no logon entry for the watch"
size=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewright' /v EstimatedSize \
  /reg:64 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_DWORD *//p')
[ -n "$size" ] && [ $((size)) -gt 1000 ] || fail "no EstimatedSize in the uninstall entry: '$size'"
printf 'installed into C:\\Program Files\\Framewright (%s KiB), with Start-menu entries and the logon entry %s\n' \
  "$((size))" "$logon"
# The installer started the watch right away, before the window stored any
# settings: it is stopped, and started again below as the logon does.
log=""
for _ in $(seq 300); do
  log=$(find "$drive_c/users" -path '*/AppData/Local/Framewright/watch.log' 2>/dev/null | head -n 1)
  [ -n "$log" ] && grep -qs '^Stop with' "$log" && break
  sleep 0.1
done
grep -qs '^Stop with' "$log" || fail "the installer did not start the watch: $(cat "$log" 2>/dev/null)"
wine "C:\\Program Files\\Framewright\\framewright-watch.exe" --stop
grep -qs 'the watch has stopped' "$log" || fail "the watch did not stop: $(cat "$log")"
rm "$log"
echo "the installer started the watch, and --stop stopped it"

echo "== the window finds the game through the registry and converts"
game="$session/Half-Life/valve"
mkdir -p "$game" "$drive_c/CS_JPEG"
echo 'game "Half-Life"' >"$game/liblist.gam"
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
printf 'started: %s\n' "$opened"

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

echo "== the watch as the logon starts it: no console, the window's game and saved choices"
wine reg add 'HKCU\Software\Framewright\Framewright\CONFIG' /v Del /t REG_SZ /d 1 /f >/dev/null
rm "$game"/*.bmp # converted by the window already
program=$(printf '%s' "$logon" | sed 's/^"\([^"]*\)".*/\1/')
# Started by the shell, as at logon: with no standard handles.
wine explorer.exe "$program"
for _ in $(seq 300); do grep -qs '^Stop with' "$log" && break; sleep 0.1; done
grep -qs '^Stop with' "$log" || fail "the watch did not start: $(cat "$log" 2>/dev/null)"
sample=$(winpath "$(ls "$samples"/*.bmp | head -n 1)")
hl=$(winpath "$session/Half-Life")
wine cmd /c copy /y "$sample" "$hl\\valve\\c1a50001.bmp" >/dev/null
wine cmd /c mkdir "$hl\\cstrike"
wine cmd /c copy /y "$(winpath "$game/liblist.gam")" "$hl\\cstrike\\liblist.gam" >/dev/null
for _ in $(seq 300); do grep -qs 'Watching .*cstrike' "$log" && break; sleep 0.1; done
grep -qs 'Watching .*cstrike' "$log" || fail "the watch did not follow cstrike: $(cat "$log")"
wine cmd /c copy /y "$sample" "$hl\\cstrike\\de_dust50001.bmp" >/dev/null
for _ in $(seq 300); do
  [ -f "$drive_c/CS_JPEG/c1a50000.JPG" ] && [ -f "$drive_c/CS_JPEG/de_dust50000.JPG" ] && break
  sleep 0.1
done
[ -f "$drive_c/CS_JPEG/c1a50000.JPG" ] && [ -f "$drive_c/CS_JPEG/de_dust50000.JPG" ] \
  || fail "the watch converted into C:\\CS_JPEG only: $(ls "$drive_c/CS_JPEG"); $(cat "$log")"
for _ in $(seq 100); do
  [ ! -e "$game/c1a50001.bmp" ] && [ ! -e "$session/Half-Life/cstrike/de_dust50001.bmp" ] && break
  sleep 0.1
done
[ ! -e "$game/c1a50001.bmp" ] && [ ! -e "$session/Half-Life/cstrike/de_dust50001.bmp" ] \
  || fail "the saved Delete choice was not followed: $(ls "$game" "$session/Half-Life/cstrike")"
echo "converted into C:\\CS_JPEG what was copied into valve\\ and a later cstrike\\, and deleted the bitmaps"
count=$((count + 2))
wine "$program" </dev/null >/dev/null 2>&1
grep -qs 'a watch is running already' "$log" || fail "a second start did not say that one runs: $(cat "$log")"
echo "a second start said that one runs, and ended"

echo "== a first start that finds the game through Steam's registry value"
# Steam writes its own path with forward slashes; the window shows and
# saves the folder it finds with backslashes only.
wine taskkill /f /im framewright.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Framewright' >/dev/null || break; sleep 0.1; done
wine reg delete 'HKCU\Software\Framewright' /f >/dev/null 2>&1 || true
wine reg delete 'HKLM\Software\Sierra OnLine\Setup\HLIFEFE' /f /reg:64 >/dev/null 2>&1 || true
steam="$session/Steam"
mkdir -p "$steam/steamapps/common/Half-Life/valve"
printf '"AppState"\n{\n\t"appid"\t\t"70"\n\t"installdir"\t\t"Half-Life"\n}\n' >"$steam/steamapps/appmanifest_70.acf"
wine reg add 'HKCU\Software\Valve\Steam' /v SteamPath /t REG_SZ /d "z:$steam" /f >/dev/null
wine "C:\\Program Files\\Framewright\\framewright.exe" &
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Framewright' | head -n 1 || true)
[ -n "$window" ] || fail "no Framewright window appeared"
first_start=$!
sleep 4 # the welcome text
xdotool mousemove --window "$window" $(centre CmdExit) click 1
for _ in $(seq 100); do kill -0 "$first_start" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$first_start" 2>/dev/null; then fail "CmdExit did not end the window"; fi
saved=$(wine reg query 'HKCU\Software\Framewright\Framewright\CONFIG' /v InputPath 2>/dev/null | tr -d '\r' \
  | sed -n 's/.*REG_SZ *//p')
case "$saved" in
*/*) fail "the folder found through Steam was saved with a forward slash: $saved" ;;
*'\Steam\steamapps\common\Half-Life\valve\') ;;
*) fail "the folder found through Steam was not saved: '$saved'" ;;
esac
printf 'found and saved %s\n' "$saved"

echo "== silent uninstall"
# The window, the viewer and the folder's explorer; the watch is the
# uninstaller's to stop.
for window in framewright.exe kudoscope.exe; do wine taskkill /f /im "$window" >/dev/null 2>&1 || true; done
pkill -f 'explorer.*[Hh]alf-[Ll]ife' || true
wine "C:\\Program Files\\Framewright\\uninstall.exe" /S
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: wait for that copy to finish.
for _ in $(seq 300); do [ ! -e "$installed" ] && break; sleep 0.1; done
for _ in $(seq 300); do pgrep -f 'framewright-watch' >/dev/null || break; sleep 0.1; done
if pgrep -f 'framewright-watch' >/dev/null; then fail "the uninstall did not stop the watch"; fi
wineserver -w
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head)"
[ ! -e "$menu" ] || fail "the Start-menu folder is left"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Framewright' /reg:64 >/dev/null 2>&1; then
  fail "the uninstall entry is left in the registry"
fi
[ "$(jpegs)" -eq "$count" ] || fail "the uninstall touched the user's JPEG files"
if wine reg query "$run_key" /v 'Framewright watch' >/dev/null 2>&1; then fail "the logon entry is left"; fi
[ ! -e "$log" ] || fail "the watch's log is left"
echo "uninstalled; nothing left behind, the JPEG files kept"
echo "installer check passed"
