#!/usr/bin/env bash
# Measures our install run side by side with NSIS 3 from Debian under one warm Wine
# prefix: one 256 MiB file and 2000 files of 4 KiB, installed by our installer's install
# run (engine-run.exe) and by NSIS installers of the same payload (stored with and
# without CRC, zlib), silent. Prints whole-process times (median of RUNS, runs
# interleaved, targets deleted between runs), peak memory (VmHWM of each installer's
# process, polled), sizes, qepack's throughput, and the ratios against our goals.
# Not part of the test command. Usage: scripts/bench-install.sh [RUNS]
# QE_BENCH_QEPACK, QE_BENCH_SETUP and QE_BENCH_ENGINE measure other builds of the three
# programs (an older checkout, say) instead of this tree's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
runs=${1:-5}

bash scripts/setup.sh
if ! command -v makensis >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nsis >/dev/null
fi
[ -n "${QE_BENCH_QEPACK:-}" ] || scripts/build.sh release --target qepack >/dev/null
[ -n "${QE_BENCH_SETUP:-}${QE_BENCH_ENGINE:-}" ] || scripts/build.sh win32 --target setup engine-run >/dev/null
qepack=${QE_BENCH_QEPACK:-$top/build/release/tools/qepack/qepack}
setup=${QE_BENCH_SETUP:-$top/build/win32/app/setup.exe}
engine=${QE_BENCH_ENGINE:-$top/build/win32/e2e/engine/engine-run.exe}

work=$top/build/bench-install
mkdir -p "$work/payload/big" "$work/payload/small" "$work/out"
export WINEPREFIX=$work/wineprefix
wine_run() { "$top/e2e/wine-run.sh" "$@"; }
unix_path() { local p=${1#[Cc]:}; echo "$WINEPREFIX/drive_c${p//\\//}"; }
now() { date +%s%N; }

# --- payloads (kept between runs of the script) ---
big=$work/payload/big/big.bin
if [ "$(stat -c %s "$big" 2>/dev/null || echo 0)" != 268435456 ]; then
  head -c 268435456 /dev/urandom > "$big"
fi
if [ "$(find "$work/payload/small" -type f | wc -l)" != 2000 ]; then
  rm -rf "$work/payload/small"; mkdir -p "$work/payload/small"
  head -c $((2000 * 4096)) /dev/urandom | split -a 4 -d -b 4096 - "$work/payload/small/f"
fi

# --- installers ---
manifest() { # NAME DIR
  printf '[product]\nname = "%s"\n' "$1"
  for f in "$2"/*; do
    printf '[[file]]\nsource = "%s"\ntarget = '"'"'{app}\\%s'"'"'\n' "$f" "$(basename "$f")"
  done
}
manifest "QE Bench big" "$work/payload/big" > "$work/out/big.toml"
manifest "QE Bench small" "$work/payload/small" > "$work/out/small.toml"
start=$(now)
"$qepack" build "$work/out/big.toml" -o "$work/out/ours-big.exe" --stub "$setup" --allow-outside >/dev/null
qepack_ns=$(( $(now) - start ))
"$qepack" build "$work/out/small.toml" -o "$work/out/ours-small.exe" --stub "$setup" --allow-outside >/dev/null

nsis_variants=(crc nocrc zlib)
for load in big small; do
  for v in "${nsis_variants[@]}"; do
    case $v in
      crc) compress='SetCompress off'; crc=on ;;
      nocrc) compress='SetCompress off'; crc=off ;;
      zlib) compress='SetCompressor zlib'; crc=on ;;
    esac
    cat > "$work/out/nsis-$v-$load.nsi" <<NSI
Unicode true
Name "QE Bench"
OutFile "$work/out/nsis-$v-$load.exe"
InstallDir "C:\\qe-bench\\nsis-$v-$load"
RequestExecutionLevel user
SilentInstall silent
CRCCheck $crc
$compress
Section
  SetOutPath "\$INSTDIR"
  File "$work/payload/$load/*"
SectionEnd
NSI
    [ -f "$work/out/nsis-$v-$load.exe" ] || makensis -V1 "$work/out/nsis-$v-$load.nsi" >/dev/null
  done
done
cat > "$work/out/nsis-empty.nsi" <<NSI
Name "QE Bench"
OutFile "$work/out/nsis-empty.exe"
SilentInstall silent
Section
SectionEnd
NSI
makensis -V1 "$work/out/nsis-empty.nsi" >/dev/null

# --- one warm prefix ---
wine_run cmd /c exit >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
program_files=$(wine_run "$engine" folder 28 2>/dev/null | tr -d '\r')
menu_root=$(wine_run "$engine" folder 38 2>/dev/null | tr -d '\r')

# The command line of one installer kind and one payload, and what it leaves to delete.
command_of() { # KIND LOAD
  case $1 in
    ours) echo "$engine install Z:${work//\//\\}\\out\\ours-$2.exe" ;;
    nsis-*) echo "$work/out/$1-$2.exe /S /D=C:\\qe-bench\\$1-$2" ;;
  esac
}
target_dir() { # KIND LOAD
  case $1 in
    ours) unix_path "$program_files\\QE Bench $2" ;;
    nsis-*) unix_path "C:\\qe-bench\\$1-$2" ;;
  esac
}
clean_targets() { # KIND LOAD
  rm -rf "$(target_dir "$1" "$2")"
  [ "$1" != ours ] || rm -rf "$(unix_path "$menu_root\\QE Bench $2")"
  sync
}
# Whether a run installed the whole payload: its files' count and bytes in the target
# folder (the uninstaller aside). A run that did not counts as failed, not as a time.
payload_of() { # DIR
  find "$1" -maxdepth 1 -type f ! -name Uninstall.exe -printf '%s\n' 2>/dev/null |
    awk '{ n++; b += $1 } END { print n + 0, b + 0 }'
}
expected_big=$(payload_of "$work/payload/big")
expected_small=$(payload_of "$work/payload/small")
installed() { # KIND LOAD
  local expected=expected_$2
  [ "$(payload_of "$(target_dir "$1" "$2")")" = "${!expected}" ]
}
kinds=(ours nsis-crc nsis-nocrc nsis-zlib)
results=$work/out/results.tsv
: > "$results"

# Times: every kind once per round, rounds repeated; the first round warms the caches.
for round in $(seq 0 "$runs"); do
  for load in big small; do
    for kind in "${kinds[@]}"; do
      clean_targets "$kind" "$load"
      start=$(now)
      # shellcheck disable=SC2046
      status=0
      wine_run $(command_of "$kind" "$load") >/dev/null 2>&1 || status=$?
      ns=$(( $(now) - start ))
      if [ "$status" != 0 ] || ! installed "$kind" "$load"; then
        echo "warning: $kind $load failed (exit status $status); its time is not counted" >&2
      elif [ "$round" -gt 0 ]; then
        printf 'time\t%s\t%s\t%s\n' "$kind" "$load" "$ns" >> "$results"
      fi
    done
  done
done

# Peak memory: a run of its own, polling the VmHWM of the installer's processes.
peak_kib() { # PATTERN PID
  local peak=0 pattern=$1 pid=$2 p hwm
  while kill -0 "$pid" 2>/dev/null; do
    for p in $(pgrep -f "$pattern" || true); do
      hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$p/status" 2>/dev/null || echo 0)
      [ "${hwm:-0}" -gt "$peak" ] && peak=$hwm
    done
    sleep 0.01
  done
  echo "$peak"
}
for load in big small; do
  for kind in "${kinds[@]}"; do
    clean_targets "$kind" "$load"
    # shellcheck disable=SC2046
    wine_run $(command_of "$kind" "$load") >/dev/null 2>&1 &
    pid=$!
    case $kind in ours) pattern='engine-run.exe' ;; *) pattern="$kind-$load.exe" ;; esac
    printf 'peak\t%s\t%s\t%s\n' "$kind" "$load" "$(peak_kib "$pattern" "$pid")" >> "$results"
    wait "$pid" || true
  done
done
for load in big small; do for kind in "${kinds[@]}"; do clean_targets "$kind" "$load"; done; done

size_of() { stat -c %s "$1"; }
{
  printf 'size\tsetup.exe\t-\t%s\n' "$(size_of "$setup")"
  printf 'size\tnsis-empty\t-\t%s\n' "$(size_of "$work/out/nsis-empty.exe")"
  printf 'qepack\tbig\t-\t%s\n' "$qepack_ns"
} >> "$results"

python3 - "$results" <<'PY'
import statistics, sys
rows = [line.rstrip('\n').split('\t') for line in open(sys.argv[1])]
times, peaks, sizes = {}, {}, {}
qepack_ns = None
for what, kind, load, value in rows:
    if what == 'time': times.setdefault((kind, load), []).append(int(value) / 1e9)
    elif what == 'peak': peaks[(kind, load)] = int(value) / 1024
    elif what == 'size': sizes[kind] = int(value)
    elif what == 'qepack': qepack_ns = int(value)
med = {k: statistics.median(v) for k, v in times.items()}
kinds = ['ours', 'nsis-crc', 'nsis-nocrc', 'nsis-zlib']
print('| work | ' + ' | '.join(kinds) + ' |')
print('|---|' + '---|' * len(kinds))
for load, label in (('big', 'one 256 MiB file'), ('small', '2000 files of 4 KiB')):
    print(f'| {label} | ' + ' | '.join(f'{med[(k, load)]:.2f} s' if (k, load) in med else 'failed' for k in kinds) + ' |')
for load, label in (('big', 'peak memory, 256 MiB'), ('small', 'peak memory, 2000 files')):
    print(f'| {label} | ' + ' | '.join(f'{peaks[(k, load)]:.1f} MiB' for k in kinds) + ' |')
print(f"| bare setup.exe | {sizes['setup.exe']:,} B | {sizes['nsis-empty']:,} B empty | | |")
print(f"qepack build: {256 / (qepack_ns / 1e9):.0f} MiB/s (256 MiB in {qepack_ns / 1e9:.2f} s)")
print()
def check(text, ok): print(f"{'ok  ' if ok else 'MISS'} {text}")
def ratio(text, top, bottom, ok):
    if top in med and bottom in med:
        r = med[top] / med[bottom]
        check(text.format(r), ok(r))
    else:
        check(text.format(float('nan')) + ' (a failed installer)', False)
b, s = 'big', 'small'
ratio("256 MiB: {:.2f}x faster than NSIS CRC on (goal >= 2.7x)", ('nsis-crc', b), ('ours', b), lambda r: r >= 2.7)
ratio("256 MiB: {:.2f}x the time of NSIS CRC off (goal <= 1.25x)", ('ours', b), ('nsis-nocrc', b), lambda r: r <= 1.25)
ratio("2000 files: {:.2f}x the time of NSIS CRC on (goal <= 0.6x)", ('ours', s), ('nsis-crc', s), lambda r: r <= 0.6)
ours_peak = max(peaks[('ours', b)], peaks[('ours', s)])
nsis_peak = max(peaks[('nsis-crc', b)], peaks[('nsis-crc', s)])
check(f"peak memory: {ours_peak:.1f} MiB against NSIS's {nsis_peak:.1f} MiB (goal <= NSIS)", ours_peak <= nsis_peak)
check(f"setup.exe: {sizes['setup.exe']:,} B (goal <= 1 MiB, then 512 KiB)", sizes['setup.exe'] <= 1 << 20)
PY
