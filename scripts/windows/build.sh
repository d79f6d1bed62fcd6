#!/bin/sh
# make windows: the Windows programs, their tests and the installer, in
# build-windows/, cross-built on Debian 12.
#   1. the libraries, from Debian's sources, into the cache outside the
#      checkout (scripts/build-windows-deps.sh; an hour the first time);
#   2. artgen for this machine (build-windows/host), which draws the same
#      skin and buttons as the Linux build;
#   3. the windows preset: framewright.exe, kudoscope.exe,
#      framewright-convert.exe and the tests, warnings as errors;
#   4. the installer, build-windows/Framewright-<version>-setup.exe.
set -eu
cd "$(dirname "$0")/../.."
jobs=${JOBS:-$(nproc)}

FW_MINGW_PREFIXES=$(./scripts/build-windows-deps.sh | tail -n 3 | paste -sd ';')
export FW_MINGW_PREFIXES

./scripts/install-deps.sh
cmake -S . -B build-windows/host -DCMAKE_BUILD_TYPE=Release -DFW_BUILD_TESTS=OFF -DFW_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows/host --target artgen -j "$jobs"
export FW_ARTGEN="$PWD/build-windows/host/bin/artgen"

cmake --preset windows
cmake --build --preset windows -j "$jobs"
cmake --build --preset windows --target installer
ls -l build-windows/Framewright-*-setup.exe
