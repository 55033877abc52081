#!/usr/bin/env bash
# The main job: builds everything, packs the example product into an installer and
# starts it under Wine: on the real display when there is one, else on a virtual one,
# where screenshots of every page of the installer and its uninstaller are saved.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
scripts/build.sh release --target qepack
scripts/build.sh win32

out="$top/build/demo"
mkdir -p "$out"
build/release/tools/qepack/qepack build examples/product.toml -o "$out/GridExpertSetup.exe" \
  --stub build/win32/app/setup.exe
build/release/tools/qepack/qepack verify "$out/GridExpertSetup.exe"
if ! why_not=$(e2e/wine-runs-here.sh 2>&1); then
  echo "The installer is packed and verified at $out/GridExpertSetup.exe, but the wizard cannot be shown here:" >&2
  echo "$why_not" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the installer on $DISPLAY"
  exec e2e/wine-run.sh "$out/GridExpertSetup.exe"
fi

# No display: the end-to-end driver walks the installer and then its uninstaller through
# every page on a virtual display, taking a screenshot of each.
export WINEPREFIX="$top/build/wineprefix"
wizard="$top/build/win32/e2e/wizard"
for scenario in install-full uninstall; do
  e2e/with-display.sh bash e2e/wizard/run-scenario.sh "$scenario" "$wizard" build/release/tools/qepack/qepack \
    build/win32/app/setup.exe || echo "The $scenario walk stopped early; its screenshots so far are kept."
  cp "$wizard/$scenario"/shots/*.png "$out/" 2>/dev/null || true
done
echo "Screenshots of the wizard's pages: $out/*.png"
