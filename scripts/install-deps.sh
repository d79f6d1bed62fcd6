#!/bin/sh
# Installs every Debian 12 package the build, the tests and the benchmarks
# need. `install-deps.sh package` adds the tools that build and check the
# Debian package (make package); `install-deps.sh fuzz` installs what the
# fuzzer needs instead, and `install-deps.sh format` the formatter that
# scripts/check-format.sh runs, and `install-deps.sh windows` the cross
# compiler, Wine, the installer's builder and what Debian's sources of Qt,
# libjpeg-turbo and GoogleTest need to build for Windows. Safe to run again: apt-get skips what is
# already there.
set -eu

if [ "${1:-}" = fuzz ]; then
  PACKAGES="clang-14 libclang-rt-14-dev"
elif [ "${1:-}" = format ]; then
  PACKAGES="clang-format-14"
elif [ "${1:-}" = windows ]; then
  PACKAGES="
  cmake ninja-build nasm dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  qt6-base-dev qt6-base-dev-tools
  wine wine64 nsis
  xvfb xauth xdotool
"
else
  PACKAGES="
  cmake g++ make pkg-config help2man
  qt6-base-dev libqt6opengl6-dev
  qt6-wayland
  libturbojpeg0-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-turbo-progs time strace
  libgl-dev libgl1-mesa-dri xvfb xauth
  weston
  fonts-dejavu-core fonts-dejavu-extra
"
  # Reference TGA writers for the TGA reader's tests (gm, ppmtotga).
  PACKAGES="$PACKAGES graphicsmagick netpbm"
fi

# dpkg-shlibdeps and dpkg-buildflags, CPack's ELF detection, the validators,
# and what scripts/check-package.sh drives the unpacked program with.
PACKAGING_PACKAGES="
  dpkg-dev file lintian appstream desktop-file-utils xdotool procps
"
if [ "${1:-}" = package ]; then PACKAGES="$PACKAGES $PACKAGING_PACKAGES"; fi

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
    || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $missing
