#!/bin/sh
# Builds what the Windows programs link against, for x86_64-w64-mingw32, from
# Debian's own source packages: Qt (Core, Gui, Widgets, OpenGL, Test and the
# Windows platform plugin), libjpeg-turbo (with its SIMD code) and GoogleTest.
#
# Each library goes into a cache outside the checkout, keyed by its source
# version and the compiler's:
#   ${FW_WINDOWS_CACHE:-~/.cache/framewright}/mingw-<name><version>-gcc<n>
# A finished build is kept (a "complete" stamp is written last) and reused by
# later runs; an interrupted one is started again from scratch.
# Prints the prefixes, one per line, as its last output lines, for
#   FW_MINGW_PREFIXES="$(scripts/build-windows-deps.sh | tail -n 3)"
# Downloads nothing but Debian packages and source packages.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
toolchain="$here/cmake/windows/mingw-w64.cmake"
cache=${FW_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/framewright}
jobs=${JOBS:-$(nproc)}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

"$here/scripts/install-deps.sh" windows >&2

# `apt-get source` needs a deb-src entry for bookworm's main.
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version'; then
  $SUDO tee /etc/apt/sources.list.d/framewright-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $SUDO apt-get update >&2
fi

source_version() {
  apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1 | tr ':~' '__'
}
gcc_major=$(x86_64-w64-mingw32-g++-posix -dumpversion | cut -d. -f1)

# fetch <source package> <work dir>: unpacks the source, prints its directory.
fetch() {
  mkdir -p "$2"
  (cd "$2" && apt-get source --only-source "$1" >&2)
  find "$2" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# build <name> <source package> <function>: runs the function with the source
# directory and the prefix, unless the cache already holds a complete build.
build() {
  prefix="$cache/mingw-$1$(source_version "$2")-gcc$gcc_major"
  if [ ! -f "$prefix/complete" ]; then
    echo "Building $1 for Windows into $prefix" >&2
    rm -rf "$prefix" "$prefix.work"
    src=$(fetch "$2" "$prefix.work/src")
    "$3" "$src" "$prefix" "$prefix.work/build" >&2
    rm -rf "$prefix.work"
    date -u +%FT%TZ > "$prefix/complete"
  fi
  echo "$prefix"
}

cross_cmake() {
  cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release "$@"
}

build_jpeg() {
  # nasm must be there, or the SIMD code is left out without a word and
  # compression runs several times slower.
  cross_cmake -S "$1" -B "$3" -DCMAKE_INSTALL_PREFIX="$2" -DREQUIRE_SIMD=ON \
    -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=ON
  cmake --build "$3" -j "$jobs"
  cmake --install "$3"
}

build_gtest() {
  cross_cmake -S "$1" -B "$3" -DCMAKE_INSTALL_PREFIX="$2" -DBUILD_GMOCK=ON \
    -Dgtest_disable_pthreads=OFF
  cmake --build "$3" -j "$jobs"
  cmake --install "$3"
}

build_qt() {
  # The host's Qt 6 of the same version provides moc, uic and rcc.
  # Debian's source lacks wintab.h, hence no tablet events.
  cross_cmake -S "$1" -B "$3" -DCMAKE_INSTALL_PREFIX="$2" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DINPUT_opengl=desktop -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_glib=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_sql_sqlite=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF
  cmake --build "$3" -j "$jobs"
  cmake --install "$3"
}

mkdir -p "$cache"
build libjpeg-turbo libjpeg-turbo build_jpeg
build googletest googletest build_gtest
build qt qt6-base build_qt
