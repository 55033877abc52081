#!/usr/bin/env bash
# Checks the built setup.exe: a PE32 GUI program that needs no DLL beyond Windows' own,
# carries its manifest, keeps bytes 136..139 free for the package offset, is marked aware
# of terminal servers and guards its stack.
set -euo pipefail
exe=$1
fail() { echo "setup.exe: $*" >&2; exit 1; }

dump=$(i686-w64-mingw32-objdump -p "$exe")
grep -q 'Magic[[:space:]]*010b[[:space:]]*(PE32)' <<<"$dump" || fail "not PE32"
grep -q 'Subsystem[[:space:]]*00000002[[:space:]]*(Windows GUI)' <<<"$dump" || fail "not a GUI program"
# Without the mark a Remote Desktop session host gives it a Windows folder of the user's own.
grep -q 'TERMINAL_SERVICE_AWARE' <<<"$dump" || fail "not marked aware of terminal servers (--tsaware)"
grep -q -a -F '*** stack smashing detected ***' "$exe" || fail "no stack protector (-fstack-protector-strong)"

# Only DLLs that every Windows loads from its system folder whatever lies beside the
# program: anything else (shell32, the common controls...) the program loads itself, after
# it has kept the DLL search to the system folder.
allowed='^(kernel32|user32|gdi32|advapi32|ole32|msvcrt)\.dll$'
while read -r dll; do
  lower=$(tr 'A-Z' 'a-z' <<<"$dll")
  [[ $lower =~ $allowed ]] || fail "depends on $dll"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

field=$(od -A n -t x1 -j 136 -N 4 "$exe" | tr -d ' \n')
[ "$field" = "00000000" ] || fail "bytes 136..139 are not free ($field)"
pe=$(od -A n -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
[ "$pe" -ge 140 ] || fail "the PE header starts at $pe, inside bytes 136..139"

for text in 'Microsoft.Windows.Common-Controls' 'version="6.0.0.0"' 'level="highestAvailable"' 'uiAccess="false"' \
    '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
    'PerMonitorV2, PerMonitor</dpiAwareness>'; do
  grep -q -a -F "$text" "$exe" || fail "the manifest lacks $text"
done
i686-w64-mingw32-objdump -h "$exe" | grep -q '\.rsrc' || fail "no resources"
echo "setup.exe: $(stat -c %s "$exe") bytes, PE32 GUI, Windows DLLs only, manifest present, bytes 136..139 free," \
  "terminal-server aware, stack protected"
