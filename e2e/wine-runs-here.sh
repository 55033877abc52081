#!/usr/bin/env bash
# Succeeds when the 32-bit Wine starts on this machine, and otherwise says why not.
# setup.exe and the Wine that runs it are 32-bit programs: some virtual machines run
# 64-bit programs only (their kernel refuses every 32-bit one with "Exec format error"),
# and where the set-up could not install the 32-bit Wine, it left a note saying why.
top=$(cd "$(dirname "$0")/.." && pwd)
note="$top/build/wine-not-installed.txt"

not_here() {
  echo "$1" >&2
  if [ -f "$note" ]; then cat "$note" >&2; fi
  exit 1
}

command -v wine >/dev/null 2>&1 || not_here "Wine is not installed on this machine."
# An empty WINEDEBUG lets Debian's wine command say when only the 64-bit Wine is there.
if out=$(WINEDEBUG= wine --version 2>&1); then
  case "$out" in
    *"wine32 is missing"*) not_here "Only the 64-bit Wine is installed on this machine; setup.exe needs the 32-bit one (wine32:i386)." ;;
  esac
  exit 0
fi
case "$out" in
  *"Exec format error"*) not_here "Wine does not start on this machine: $out
This machine runs no 32-bit program, and Wine and setup.exe are 32-bit programs." ;;
esac
not_here "Wine does not start on this machine: $out"
