#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer, makes their seed inputs from the example product and runs each target for a
# budget. Not part of the test command: an input that finds a fault is copied into
# fuzz/regressions/TARGET by hand, where the test command runs it from then on.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET [TARGET...]]   (targets: package uninstall install markup)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
budget=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(package uninstall install markup)

need=()
for p in clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

dir="$top/build/fuzz"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
fi
cmake --build "$dir" --target fuzz-seeds "${targets[@]/#/fuzz-}"
"$dir/fuzz/fuzz-seeds" examples/product.toml "$dir/seeds" >/dev/null

mkdir -p "$dir/findings"
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  inputs=("$corpus" "$dir/seeds/$target")
  [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
  echo "== $target: $budget s"
  # A timeout is an input that takes over a second; no single allocation may pass 64 MB.
  # The sanitizers' own memory is most of the process's, so the memory of each input is
  # measured below, without them.
  # Two sanitizer options run 1.5 to 1.8 times as many inputs per second and lose no
  # check: the allocation stack of each block is needed only for a report, which a rerun
  # of the saved input gives in full, and only libstdc++'s dynamic_cast calls strcmp here,
  # on type names.
  ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:intercept_strcmp=0} \
  "$dir/fuzz/fuzz-$target" "${inputs[@]}" \
    -max_total_time="$budget" -timeout=1 -rss_limit_mb=2048 -malloc_limit_mb=64 \
    -artifact_prefix="$dir/findings/$target-" -print_final_stats=1 2>"$dir/$target.log" || true
  grep -E '^stat::number_of_executed_units|^stat::slowest_unit_time_sec' "$dir/$target.log" || true
  grep -E 'ERROR|Timeout|crash-|timeout-|oom-' "$dir/$target.log" | head -5 || true
done
echo "findings (empty when none): $(ls "$dir/findings" | tr '\n' ' ')"

# Every input of the corpus once more in the plain debug build, each in a process of its
# own: its peak memory and time, against the limits of 64 MB and one second.
scripts/build.sh host --target "${targets[@]/#/fuzz-}" >/dev/null
for target in "${targets[@]}"; do
  echo "== $target: each input alone"
  build/host/fuzz/fuzz-$target --max-rss-mb=64 --max-seconds=1 "$dir/corpus/$target" | tail -n 20 || true
done
