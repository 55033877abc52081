#!/usr/bin/env bash
# Installs everything the project needs on a Debian 12 machine (run as root).
# Safe to run again: it installs only what is missing and reuses cached builds.
set -euo pipefail

need_apt=()
pkgs=(build-essential cmake ninja-build pkg-config git
      g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
      libgtest-dev googletest libgcrypt20-dev
      libjpeg62-turbo-dev libxxhash-dev libtomlplusplus-dev libcli11-dev nlohmann-json3-dev
      xvfb xauth x11-utils imagemagick dpkg-dev python3 fonts-wine fonts-liberation ccache
      osslsigncode openssl python3-pefile time)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt_updated=no
fi

# Source packages are needed to build libjpeg-turbo for Windows.
src_list=/etc/apt/sources.list.d/qe-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  cat >"$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt_updated=no
fi

for p in "${pkgs[@]}" wine32:i386 wine; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need_apt+=("$p")
done

if [ "${#need_apt[@]}" -gt 0 ] || [ "${apt_updated:-yes}" = no ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ "${#need_apt[@]}" -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${need_apt[@]}"
  fi
fi
