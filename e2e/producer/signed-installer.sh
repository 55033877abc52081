#!/usr/bin/env bash
# Signs a packed installer with osslsigncode and a self-made certificate: the signature
# verifies, qepack still reads every payload, and the signed installer installs under
# Wine, leaving an uninstaller that is unsigned, not badly signed, and runs. A signed stub
# is refused.
# Usage: signed-installer.sh QEPACK SETUP_EXE ENGINE_RUN_EXE EXAMPLES_DIR WORK_DIR
set -euo pipefail
qepack=$1 setup=$2 engine=$3 examples=$4 work=$5
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
fail() { echo "FAIL: $*" >&2; exit 1; }
unix_path() { local p=${1#[Cc]:}; echo "$WINEPREFIX/drive_c${p//\\//}"; }
rm -rf "$work"; mkdir -p "$work"; cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout vendor.key -out vendor.crt -days 2 \
  -subj "/CN=Qe Test Vendor" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
"$qepack" build "$examples/product.toml" -o setup-unsigned.exe --stub "$setup" >/dev/null 2>&1
osslsigncode sign -certs vendor.crt -key vendor.key -n "Grid Expert" -in setup-unsigned.exe \
  -out GridExpertSetup.exe >/dev/null
osslsigncode verify -CAfile vendor.crt GridExpertSetup.exe > verify.log 2>&1 || { cat verify.log; fail "osslsigncode verify"; }
grep -q "Signature verification: ok" verify.log || { cat verify.log; fail "no verified signature"; }
"$qepack" verify GridExpertSetup.exe > qepack-verify.log || { cat qepack-verify.log; fail "qepack verify"; }

# A signed stub would lose its signature to the package: refused, and nothing written.
osslsigncode sign -certs vendor.crt -key vendor.key -in "$setup" -out signed-stub.exe >/dev/null
if "$qepack" build "$examples/product.toml" -o refused.exe --stub signed-stub.exe 2> refused.log; then
  fail "a signed stub was taken"
fi
grep -q 'carries a signature; build from the unsigned setup.exe' refused.log || { cat refused.log; fail "message"; }
[ ! -e refused.exe ] || fail "an installer was written from a signed stub"

# The signed installer installs, silently: one stand-in terminal, then the files in it.
terminal='C:\qe-signed-e2e\MT4'
rm -rf "$(unix_path 'C:\qe-signed-e2e')"; mkdir -p "$(unix_path "$terminal")"
: > "$(unix_path "$terminal")/terminal.exe"
program_files=$("$top/e2e/wine-run.sh" "$engine" folder 28 2>/dev/null | tr -d '\r')
app="$program_files\\Grid Expert"
rm -rf "$(unix_path "$app")"
"$top/e2e/wine-run.sh" "Z:$(pwd | tr / '\\')\\GridExpertSetup.exe" /VERYSILENT "/TERMINALS=$terminal" 2>/dev/null ||
  fail "the signed installer ended with exit code $?"
cmp "$examples/files/GridExpert.mq4" "$(unix_path "$terminal")/MQL4/Experts/GridExpert.mq4" || fail "the expert"
cmp "$examples/files/Manual.txt" "$(unix_path "$app")/Manual.txt" || fail "the manual"

# Its uninstaller left the signature behind with the package: an unsigned program, not a
# badly signed one, whose checksum is the one Windows computes for it.
uninstaller="$(unix_path "$app")/Uninstall.exe"
osslsigncode verify "$uninstaller" > uninstaller-verify.log 2>&1 || true
grep -q "No signature found" uninstaller-verify.log || { cat uninstaller-verify.log; fail "the uninstaller looks signed"; }
! grep -q "Ignoring PE signature" uninstaller-verify.log || { cat uninstaller-verify.log; fail "a signature entry stays"; }
expected=$(python3 - "$uninstaller" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64
total = 0
for i in range(0, len(data), 2):
    if i in (at, at + 2):
        continue
    total += data[i] | (data[i + 1] << 8 if i + 1 < len(data) else 0)
    total = (total & 0xFFFF) + (total >> 16)
print("%08X" % (((total & 0xFFFF) + (total >> 16)) + len(data)))
PY
)
# osslsigncode prints "PE checksum" alone when the header's agrees with its own sum, else
# the "Current" and the "Calculated" one.
current=$(sed -n 's/^\(Current \)\{0,1\}PE checksum *: *//p' uninstaller-verify.log)
[ "$current" == "$expected" ] || { cat uninstaller-verify.log; fail "the uninstaller's checksum is $current, not $expected"; }
# It leaves an odd last byte out of its own sum; for an even length it agrees.
if [ $(( $(stat -c %s "$uninstaller") % 2 )) -eq 0 ]; then
  calculated=$(sed -n 's/^Calculated PE checksum *: *//p' uninstaller-verify.log)
  [ -z "$calculated" ] || [ "$calculated" == "$expected" ] || { cat uninstaller-verify.log; fail "osslsigncode"; }
fi

# And it runs: silently it removes the product and, a moment later, itself.
"$top/e2e/wine-run.sh" "$app\\Uninstall.exe" /VERYSILENT 2>/dev/null || fail "the uninstaller ended with exit code $?"
[ ! -e "$(unix_path "$terminal")/MQL4/Experts/GridExpert.mq4" ] || fail "the uninstaller left the expert"
for _ in $(seq 90); do [ -e "$(unix_path "$app")" ] || break; sleep 1; done
[ ! -e "$(unix_path "$app")" ] || fail "the uninstaller did not remove itself"
# Wine's command interpreter holds the script open to its end: its folder may stay, empty.
find "$(unix_path 'C:\windows\Temp')" -maxdepth 1 -name 'QeUninstall-*' -empty -delete 2>/dev/null || true
rm -rf "$(unix_path 'C:\qe-signed-e2e')"
echo PASS
