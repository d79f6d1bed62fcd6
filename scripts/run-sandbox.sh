#!/bin/sh
# Starts Framewright from a build directory.
set -eu
build=${1:-build}
if [ ! -x "$build/bin/framewright" ]; then
  echo "The Framewright window is not built yet (only the engine exists)."
  exit 0
fi
exec "$build/bin/framewright"
