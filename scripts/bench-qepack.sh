#!/usr/bin/env bash
# Prints how long an optimised qepack takes to build and to verify a 256 MiB product
# (eight files of 32 MiB of random bytes), with its peak memory.
# Usage: scripts/bench-qepack.sh [WORK_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$top/build/bench-qepack}
release=${QE_RELEASE_BUILD:-$top/build/release}
[ -f "$release/build.ninja" ] || cmake -S "$top" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$release" --target qepack >/dev/null
qepack=$release/tools/qepack/qepack

rm -rf "$work"; mkdir -p "$work/files"
stub=$top/build/win32/app/setup.exe
if [ ! -f "$stub" ]; then
  # "MZ" and the PE header's offset 256: enough of a stub to carry a package.
  stub=$work/stub.exe
  head -c 4096 /dev/zero > "$stub"
  printf 'MZ' | dd of="$stub" conv=notrunc status=none
  printf '\x00\x01' | dd of="$stub" bs=1 seek=60 conv=notrunc status=none
fi
{
  printf '[product]\nname = "Bench Product"\nversion = "1.0"\n'
  for i in 1 2 3 4 5 6 7 8; do
    head -c $((32 << 20)) /dev/urandom > "$work/files/part$i.bin"
    printf "[[file]]\nsource = \"files/part%s.bin\"\ntarget = '{app}\\\\part%s.bin'\n" "$i" "$i"
  done
} > "$work/product.toml"
sync

measure() { # LABEL COMMAND...: seconds and peak resident memory
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
  read -r seconds kib < "$work/time.txt"
  printf '%-8s %6.2f s  %5d MiB peak memory\n' "$label" "$seconds" $((kib / 1024))
}
echo "qepack (Release), 256 MiB in 8 files, stub $(basename "$stub"), on $(nproc) cores"
measure build "$qepack" build "$work/product.toml" -o "$work/Setup.exe" --stub "$stub"
measure verify "$qepack" verify "$work/Setup.exe"
echo "installer: $(( $(stat -c %s "$work/Setup.exe") >> 20 )) MiB"
rm -rf "$work/files"
