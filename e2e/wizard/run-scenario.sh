#!/usr/bin/env bash
# Runs one of the wizard's scenarios under Wine: packs its product with qepack, lays out
# what it needs, and runs wizard-driver.exe inside Wine's virtual desktop so that the
# windows in the screenshots have their frames; the screenshots end up as PNG files in
# BIN_DIR/SCENARIO/shots.
# Usage: run-scenario.sh SCENARIO BIN_DIR QEPACK CRAFT_PACKAGE SETUP_EXE [PLANTED_DLL_NAMES, comma-separated]
set -euo pipefail
scenario=$1 bin=$2 qepack=$3 craft=$4 setup=$5 planted=${6:-}
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
work="$bin/$scenario"
rm -rf "$work"; mkdir -p "$work/shots"
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
# Windows prefers its own copy of these DLLs only when told; a program's folder comes
# first on Windows, so the planted-DLL runs ask Wine to search the same way.
native_first="${planted}=n,b;mscoree,mshtml="

# Each scenario starts a Wine session of its own: a desktop shell that ended with an
# earlier scenario stays registered with Wine's services until its session is over, and
# the wizard, which asks the desktop shell to start the terminal, would find that one.
timeout 30 wineserver -w || wineserver -k || true

# A crash shows no dialog that would wait for a click: it ends the program and prints its
# backtrace, which a failing scenario shows.
grep -qs ShowCrashDialog "$WINEPREFIX/user.reg" ||
  "$top/e2e/wine-run.sh" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

case $scenario in
  unsafe-loader)
    cp "$bin/unsafe-loader.exe" "$work/"
    for dll in ${planted//,/ }; do cp "$bin/planted/$dll.dll" "$work/"; done
    WINEDLLOVERRIDES=$native_first "$top/e2e/wine-run.sh" "$(winpath "$work/unsafe-loader.exe")" ${planted//,/.dll }.dll \
      2>/dev/null | tr -d '\r' | tee "$work/output.txt"
    for dll in ${planted//,/ }; do
      [ -s "$work/$dll.dll.loaded" ] || { echo "FAIL: $dll.dll beside the unsafe loader was not loaded"; exit 1; }
    done
    echo "PASS: every planted DLL is loaded by a program that loads it the unsafe way"
    exit 0 ;;
  install-full|install-keyboard|uninstall|silent-install|silent-uninstall|per-user) manifest=$top/examples/product.toml ;;
  install-planted) manifest=$top/examples/product.toml ;;
  install-no-terminal|install-damaged|install-swapped) manifest=$top/e2e/wizard/packages/bare.toml ;;
  install-colon) manifest= ;;
  install-unicode) manifest=$top/e2e/wizard/packages/unicode.toml ;;
  install-languages)
    # One installer per language, each offering that language alone; the example's own
    # installer offers every language and speaks the user's, which Wine takes from LANG.
    export LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8
    for code in ru zh-CN ja de; do
      "$qepack" build "$top/examples/product.toml" -o "$work/Setup-$code.exe" --stub "$setup" \
        --define installer.languages=$code --allow-outside >/dev/null
    done
    manifest=$top/examples/product.toml ;;
  *) echo "unknown scenario $scenario" >&2; exit 2 ;;
esac

installer="$work/Setup.exe"
[ "$scenario" != install-planted ] || { mkdir -p "$work/Downloads"; installer="$work/Downloads/Setup.exe"; }
if [ -n "$manifest" ]; then
  # The scenarios' own manifests take the example's files from beside their folder.
  "$qepack" build "$manifest" -o "$installer" --stub "$setup" --allow-outside >/dev/null
else
  # As a hostile producer would make it, through the project's own package writer.
  "$craft" installer "$setup" "$installer" --name "Colon Tool" --file '{app}\Manual.txt' --file '{app}\a.txt:'
fi
case $scenario in
  # Cut the end off the last file's enciphered bytes.
  install-damaged) truncate -s -64 "$installer" ;;
  install-planted)
    for dll in ${planted//,/ }; do cp "$bin/planted/$dll.dll" "$work/Downloads/"; done
    export WINEDLLOVERRIDES=$native_first ;;
esac

# Runs the driver for STEP, the scenario or a step of it, after whatever command follows
# STEP (which starts it), and stops the scenario when the step does not pass.
drive() {
  local step=$1; shift
  "$@" "$top/e2e/wine-run.sh" explorer /desktop=qe-e2e,800x600 "$(winpath "$bin/wizard-driver.exe")" "$step" \
    "$(winpath "$work")" "$(winpath "$installer")" "$(winpath "$bin/terminal.exe")" "$(winpath "$top/examples")" \
    2>>"$work/wine-errors.txt" | tr -d "\r" || true
  for shot in "$work"/shots/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" "${shot%.bmp}.png" && rm "$shot"
  done
  result=$(tr -d "\r" < "$work/result.txt" 2>/dev/null || echo "FAIL: the driver reported nothing")
  if [ "$result" != PASS ]; then
    grep -A12 -m1 '^Unhandled exception' "$work/wine-errors.txt" >&2 || true
    echo "$result" | head -1 >&2
    exit 1
  fi
}

if [ "$scenario" != per-user ]; then
  drive "$scenario"
  exit 0
fi
# An installation without administrator rights: Program Files and the all-users Start
# Menu closed to writing, as they are to a standard account. Root writes wherever it
# likes; without these two capabilities the prefix's file modes hold for it too. The
# driver starts the installer with a limited token, so that it runs as not elevated.
drive per-user-prepare
# Every Wine process of the prefix ends first: a desktop left running would start the
# driver with root's rights.
wineserver -w
# Closed with every folder in them, as the folders below inherit Windows' access lists.
closed=("$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs")
find "${closed[@]}" -type d -exec chmod a-w {} +
trap 'find "${closed[@]}" -type d -exec chmod u+w {} +' EXIT
drive per-user setpriv --bounding-set=-dac_override,-dac_read_search --
find "${closed[@]}" -type d -exec chmod u+w {} +
trap - EXIT
drive per-user-tidy
