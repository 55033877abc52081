#!/usr/bin/env bash
# Runs every test: set-up, the host unit tests (plain and with sanitizers), then the
# Windows build's tests and end-to-end scenarios under Wine on a virtual display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh

status=0
run() { echo "== $*"; "$@" || status=1; }

scripts/build.sh host
run ctest --test-dir build/host --output-on-failure -j2

scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run ctest --test-dir build/asan --output-on-failure -j2

scripts/build.sh win32
if why_not=$(e2e/wine-runs-here.sh 2>&1); then
  run e2e/with-display.sh ctest --test-dir build/win32 --output-on-failure
else
  # The Windows build is still built and checked as a file; what runs it cannot run here.
  run ctest --test-dir build/win32 --output-on-failure -L without_wine
  count() { ctest --test-dir build/win32 -N "$@" | grep -c 'Test *#'; }
  all=$(count)
  echo "== ========================================================================"
  echo "== NOT RUN: $(( all - $(count -L without_wine) )) of the Windows build's $all tests, which run under Wine."
  sed 's/^/== /' <<<"$why_not"
  echo "== They run on a machine with the 32-bit Wine; the result above covers the rest only."
  echo "== ========================================================================"
fi

if [ "$status" -ne 0 ]; then
  echo "== some tests failed"
fi
exit "$status"
