#!/bin/sh
# Starts Framewright from a build directory in a sandbox of its own:
#   <build>/sandbox/config       its settings (never the user's own)
#   <build>/sandbox/screenshots  sample screenshots rendered by the build
#   <build>/sandbox/jpegs        where the JPEG files go
# The first start finds the samples already chosen; later starts keep
# whatever the window stored.
set -eu

build=${1:-build}
program="$build/bin/framewright"
if [ ! -x "$program" ]; then
  echo "Framewright is not built in '$build' yet: run 'make run', or 'cmake --build $build'." >&2
  exit 1
fi

sandbox=$(cd "$build" && pwd)/sandbox
shots="$sandbox/screenshots"
jpegs="$sandbox/jpegs"
config="$sandbox/config"
ini="$config/Framewright/Framewright.ini"

# The samples are copied, so that converting with the delete option on
# never removes the build's own pictures.
if [ ! -d "$shots" ]; then
  mkdir -p "$shots"
  cp "$build"/art/samples/*.bmp "$shots"/
fi
mkdir -p "$jpegs" "$config/Framewright"
if [ ! -f "$ini" ]; then
  printf '[CONFIG]\nInputPath="%s/"\nOutputPath="%s/"\nQuality=90\nDel=0\n' "$shots" "$jpegs" > "$ini"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
There is no display to show the Framewright window on (neither DISPLAY nor
WAYLAND_DISPLAY is set). On a machine without a desktop, run it inside a
virtual X server instead:

  xvfb-run -a ./scripts/run-sandbox.sh $build

The sandbox is ready in $sandbox.
MSG
  exit 1
fi

# The programs that the window starts for the user (file manager, image
# viewer, browser) get the user's own values back: the window restores each
# variable named in FW_SANDBOX_VARS from FW_USER_<name>, or removes it when
# FW_USER_<name> is unset.
export FW_SANDBOX_VARS=XDG_CONFIG_HOME
if [ -n "${XDG_CONFIG_HOME+set}" ]; then
  export FW_USER_XDG_CONFIG_HOME="$XDG_CONFIG_HOME"
fi
export XDG_CONFIG_HOME="$config"
exec "$program"
