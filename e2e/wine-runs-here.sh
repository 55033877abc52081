#!/usr/bin/env bash
# Succeeds when Wine starts on this machine. setup.exe and the Wine that runs it are
# 32-bit programs, and some virtual machines run 64-bit programs only: their kernel
# refuses every 32-bit one with "Exec format error".
if out=$(wine --version 2>&1); then
  exit 0
fi
echo "Wine does not start on this machine: $out" >&2
case "$out" in
  *"Exec format error"*) echo "This machine runs no 32-bit program, and Wine and setup.exe are 32-bit programs." >&2 ;;
esac
exit 1
