#!/usr/bin/env bash
# Prints the project's speed figures (optimised host build, and the Windows build under Wine).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/build.sh release --target payload-bench >/dev/null
echo "host:  $(build/release/tools/bench/payload-bench 64)"
scripts/build.sh win32 --target payload-bench >/dev/null
echo "wine:  $(e2e/wine-run.sh build/win32/tools/bench/payload-bench.exe 64 2>/dev/null)"
