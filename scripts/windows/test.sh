#!/bin/sh
# make windows-test: the Windows test programs under Wine (ctest, through
# CMAKE_CROSSCOMPILING_EMULATOR), then the installer's round trip. Both run
# headless: a private Xvfb and a fresh Wine prefix for each.
set -eu
cd "$(dirname "$0")/../.."
(
  . scripts/windows/wine-session.sh
  ctest --preset windows -j "${JOBS:-$(nproc)}"
)
./scripts/windows/check-installer.sh build-windows/Framewright-*-setup.exe build-windows/art/samples
