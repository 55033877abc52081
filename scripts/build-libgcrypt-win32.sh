#!/usr/bin/env bash
# Builds a static libgcrypt for i686-w64-mingw32 from Debian's source package with only
# what the programs use: the AES block cipher (with its AES-NI code) and SHA-256, made for
# size (the AES-NI code is inline assembly either way) and without unwind tables (no
# exception passes through it); Debian's full Windows build
# weighs most of the installer otherwise. The library cannot link without ECC, ChaCha20
# and BLAKE2 (its public entry points and its KDF and AEAD code refer to them), so
# those stay too.
# Usage: build-libgcrypt-win32.sh PREFIX   (the result is cached: a second run returns at once)
set -euo pipefail
prefix=$(realpath -m "$1")
stamp="$prefix/.built"
[ -f "$stamp" ] && exit 0

work="$prefix.src"
rm -rf "$work" "$prefix"
mkdir -p "$work"
# A source index that is missing or stale is fetched once more before giving up.
(cd "$work" && { apt-get source -qq libgcrypt20 >/dev/null 2>&1 ||
                 { apt-get update -qq && apt-get source -qq libgcrypt20 >/dev/null; }; })
src=$(find "$work" -maxdepth 1 -type d -name 'libgcrypt20-*' | head -n 1)
[ -n "$src" ] || { echo "libgcrypt source not unpacked" >&2; exit 1; }

host=i686-w64-mingw32
mkdir -p "$work/build"
(cd "$work/build" &&
 CFLAGS="-Os -fno-asynchronous-unwind-tables" \
 "$src/configure" --host=$host --prefix="$prefix" \
   --enable-static --disable-shared --disable-doc \
   --enable-ciphers=aes,chacha20 --enable-digests=sha256,blake2 --enable-kdfs=, --enable-pubkey-ciphers=ecc \
   --disable-jent-support --disable-padlock-support --disable-O-flag-munging \
   --with-libgpg-error-prefix=/usr/$host >/dev/null)
for dir in compat mpi cipher random; do make -C "$work/build/$dir" -j2 >/dev/null; done
make -C "$work/build/src" -j2 libgcrypt.la >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$work/build/src/.libs/libgcrypt.a" "$prefix/lib/"
cp "$work/build/src/gcrypt.h" "$prefix/include/"
rm -rf "$work"
touch "$stamp"
