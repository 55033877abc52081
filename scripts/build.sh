#!/usr/bin/env bash
# Configures and builds one of the project's builds: host, asan, release or win32.
# host and asan are the tests' debug builds; release is the optimised Linux build of the
# programs (qepack) that the demo and the benchmarks run.
# Usage: scripts/build.sh host|asan|release|win32 [cmake --build arguments...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-host}; shift || true
case "$kind" in
  host)  args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  asan)  args=(-DCMAKE_BUILD_TYPE=Debug -DQE_SANITIZE=ON) ;;
  release) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  win32) "$top/scripts/build-libjpeg-win32.sh" "$top/build/deps/libjpeg-win32"
         args=(-DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE="$top/cmake/i686-w64-mingw32.cmake"
               -DCMAKE_CROSSCOMPILING_EMULATOR="$top/e2e/wine-run.sh") ;;
  *) echo "usage: $0 host|asan|release|win32" >&2; exit 2 ;;
esac
dir="$top/build/$kind"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$top" -B "$dir" -G Ninja "${args[@]}" >/dev/null
fi
cmake --build "$dir" "$@"
