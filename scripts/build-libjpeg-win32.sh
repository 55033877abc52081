#!/usr/bin/env bash
# Builds a static libjpeg-turbo for i686-w64-mingw32 from Debian's source package, made for
# size and without unwind tables (errors leave it through longjmp): it decodes and
# encodes one small banner. NO_GETENV: the installer's memory for the banner is its own
# bound, not the JPEGMEM of the environment it starts in (and sscanf stays out of it).
# Usage: build-libjpeg-win32.sh PREFIX   (the result is cached: a second run returns at once)
set -euo pipefail
prefix=$(realpath -m "$1")
# The stamp names this script's contents, so that a cache built by another one is built again.
stamp="$prefix/.built-$(sha256sum <"$0" | cut -c1-16)"
[ -f "$stamp" ] && exit 0

here=$(cd "$(dirname "$0")/.." && pwd)
work="$prefix.src"
rm -rf "$work" "$prefix"
mkdir -p "$work"
. "$here/scripts/apt-helpers.sh"
(cd "$work" && apt_source libjpeg-turbo)
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[ -n "$src" ] || { echo "libjpeg-turbo source not unpacked" >&2; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  -DWITH_SIMD=OFF -DWITH_JPEG8=OFF "-DCMAKE_C_FLAGS=-fno-asynchronous-unwind-tables -DNO_GETENV" >/dev/null
cmake --build "$work/build" --target jpeg-static >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$work/build/libjpeg.a" "$prefix/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/build/jconfig.h" "$prefix/include/"
rm -rf "$work"
touch "$stamp"
