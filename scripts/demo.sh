#!/usr/bin/env bash
# The main job: builds everything, packs the example product into an installer and
# starts it under Wine: on the real display when there is one, else on a virtual one,
# where a screenshot of the installer is saved.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
scripts/build.sh host
scripts/build.sh win32

out="$top/build/demo"
mkdir -p "$out"
build/host/tools/qepack/qepack build examples/product.toml -o "$out/GridExpertSetup.exe" \
  --stub build/win32/app/setup.exe
build/host/tools/qepack/qepack verify "$out/GridExpertSetup.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the installer on $DISPLAY"
  exec e2e/wine-run.sh "$out/GridExpertSetup.exe"
fi

export WINEPREFIX="$top/build/wineprefix"
e2e/with-display.sh bash -c '
  out=$1
  e2e/wine-run.sh cmd /c exit        # makes the Wine prefix first, when there is none yet
  e2e/wine-run.sh explorer /desktop=shot,800x600 "$out/GridExpertSetup.exe" &
  sleep 6
  import -window root -crop 800x600+0+0 +repage "$out/installer.png"
  wineserver -k || true
  wineserver -w || true
' demo "$out"
echo "Screenshot of the installer: $out/installer.png"
