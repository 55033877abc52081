#!/usr/bin/env bash
# Prints what the installer's package check adds to the install time: a 256 MiB product
# installed with engine-run under Wine (whole-process times, median of 3; the check is
# part of every install run), and the check alone on the same installer (median of 5),
# with the digest's speed on i686. Not a test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/build.sh host --target qepack >/dev/null
scripts/build.sh win32 --target setup engine-run integrity-bench >/dev/null

work="$top/build/bench-integrity"
mkdir -p "$work"
[ -f "$work/big.bin" ] || head -c $((256 << 20)) /dev/urandom >"$work/big.bin"
cat >"$work/product.toml" <<'TOML'
[product]
name = "Integrity Bench"
version = "1.0"
[[file]]
source = "big.bin"
target = '{app}\big.bin'
TOML
build/host/tools/qepack/qepack build "$work/product.toml" -o "$work/Setup.exe" --stub build/win32/app/setup.exe >/dev/null

run() { e2e/wine-run.sh "$@" 2>/dev/null; }
run build/win32/e2e/engine/engine-run.exe install "Z:$work/Setup.exe" >/dev/null # warms the prefix and the cache
times=()
for i in 1 2 3; do
  start=$(date +%s.%N)
  run build/win32/e2e/engine/engine-run.exe install "Z:$work/Setup.exe" >/dev/null
  times+=("$(echo "$(date +%s.%N) - $start" | bc)")
done
install=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
check_line=$(run build/win32/tools/bench/integrity-bench.exe "Z:$work/Setup.exe" | tr -d '\r')
echo "$check_line"
check=$(echo "$check_line" | sed -n 's/^package check: *\([0-9.]*\) s.*/\1/p')
printf 'install run, 256 MiB (with the check): %.3f s\n' "$install"
printf 'install run without the check:        %.3f s\n' "$(echo "$install - $check" | bc)"
printf 'the check adds:                        %.1f %%\n' "$(echo "100 * $check / ($install - $check)" | bc -l)"
