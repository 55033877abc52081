#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix; used as the
# cross-compiling emulator, so the Windows build's tests run like the host's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
  # Wine's own fonts (Marlett for the caption buttons, MS Sans Serif, Tahoma) are not
  # always found where the package puts them; the prefix's Fonts folder always is.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
fi
# Chinese and Japanese text as a Windows with those fonts shows it; once per prefix.
[ -n "${QE_WINE_FONTS:-}" ] || QE_WINE_FONTS=1 "$top/e2e/wine-fonts.sh"
exec wine "$@"
