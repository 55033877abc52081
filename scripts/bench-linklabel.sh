#!/usr/bin/env bash
# Prints how long the link label takes to paint the wizard's welcome text: on Linux with a
# fixed-metric canvas (the layout alone) and under Wine with GDI.
# Usage: scripts/bench-linklabel.sh [host|win32]...   (both by default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(host win32)
for kind in "${kinds[@]}"; do
  "$top/scripts/build.sh" "$kind" --target linklabel_bench >/dev/null
  case "$kind" in
    host) "$top/build/host/tests/linklabel/linklabel_bench" ;;
    win32) "$top/e2e/with-display.sh" "$top/e2e/wine-run.sh" "$top/build/win32/tests/linklabel/linklabel_bench.exe" 2>/dev/null ;;
    *) echo "usage: $0 [host|win32]..." >&2; exit 2 ;;
  esac
done
