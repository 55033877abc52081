#!/usr/bin/env bash
# Installs everything the project needs on a Debian 12 machine (run as root).
# Safe to run again: it installs only what is missing and reuses cached builds.
# A package index that the mirror fails to serve is fetched again a few times and then
# done without. When Wine alone cannot be installed, everything else is, the set-up
# says so and succeeds: the tests then run without Wine and report those that need it
# as not run (e2e/wine-runs-here.sh tells why, from the note left in build/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/apt-helpers.sh"

pkgs=(build-essential cmake ninja-build pkg-config git
      g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
      libgtest-dev googletest libgcrypt20-dev
      libjpeg62-turbo-dev libxxhash-dev libtomlplusplus-dev libcli11-dev nlohmann-json3-dev
      xvfb xauth x11-utils imagemagick dpkg-dev python3 fonts-wine fonts-liberation ccache
      osslsigncode openssl python3-pefile time
      fonts-wqy-microhei fonts-ipafont-gothic)
# The fonts: Wine's own (Tahoma and MS Sans Serif, with Cyrillic), Liberation for Arial,
# and a Chinese and a Japanese one that stand in for Windows' SimSun and MS UI Gothic, to
# which the wizard's Chinese and Japanese texts link (e2e/wine-fonts.sh).
# Wine runs setup.exe, a 32-bit program, so it needs the 32-bit Wine from the i386 architecture.
wine_pkgs=(wine32:i386 wine)
wine_note="$top/build/wine-not-installed.txt"

not_installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t need < <(not_installed "${pkgs[@]}")
mapfile -t need_wine < <(not_installed "${wine_pkgs[@]}")

update=no
if [ "${#need_wine[@]}" -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  update=yes
fi
# Source packages are needed to build libjpeg-turbo for Windows; its build fetches the
# source index when it needs it.
apt_add_deb_src || true

if [ "${#need[@]}" -eq 0 ] && [ "${#need_wine[@]}" -eq 0 ] && [ "$update" = no ]; then
  rm -f "$wine_note"
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
apt_update

if [ "${#need[@]}" -gt 0 ] && ! apt_run install -y -qq --no-install-recommends "${need[@]}"; then
  echo "setup: could not install ${need[*]}" >&2
  [ -z "$apt_failed_indexes" ] || echo "setup: (some package indexes could not be fetched; see above)" >&2
  exit 1
fi

if [ "${#need_wine[@]}" -eq 0 ]; then
  rm -f "$wine_note"
elif apt_run install -y -qq --no-install-recommends "${need_wine[@]}"; then
  rm -f "$wine_note"
else
  mkdir -p "$(dirname "$wine_note")"
  {
    echo "The set-up could not install Wine (apt-get install ${need_wine[*]}):"
    grep -E '^E: | : (Depends|PreDepends|Breaks|Conflicts): ' <<<"$apt_output" | head -n 12 | sed 's/^ */  /' || true
    if [ -n "$apt_failed_indexes" ]; then
      echo "Package indexes it could not fetch:"
      sed 's/^/  /' <<<"$apt_failed_indexes"
    fi
    echo "Run \"bash scripts/setup.sh\" again once the package mirror serves every index."
  } >"$wine_note"
  echo "setup: ======================================================================"
  echo "setup: WINE IS NOT INSTALLED. Everything else is; the tests that need Wine will"
  echo "setup: be reported as not run, and the demo cannot show the wizard."
  sed 's/^/setup: /' "$wine_note"
  echo "setup: ======================================================================"
fi
