#!/usr/bin/env bash
# Signs a packed installer with osslsigncode and a self-made certificate: the signature
# verifies, qepack still reads every payload, and the signed installer installs under
# Wine. A signed stub is refused.
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

# The signed installer installs: one stand-in terminal, then the files in it.
terminal='C:\qe-signed-e2e\MT4'
rm -rf "$(unix_path 'C:\qe-signed-e2e')"; mkdir -p "$(unix_path "$terminal")"
: > "$(unix_path "$terminal")/terminal.exe"
"$top/e2e/wine-run.sh" "$engine" install "Z:$(pwd | tr / '\\')\\GridExpertSetup.exe" "$terminal" > install.log 2>/dev/null ||
  { cat install.log; fail "install run"; }
cmp "$examples/files/GridExpert.mq4" "$(unix_path "$terminal")/MQL4/Experts/GridExpert.mq4" || fail "the expert"
program_files=$("$top/e2e/wine-run.sh" "$engine" folder 28 2>/dev/null | tr -d '\r')
cmp "$examples/files/Manual.txt" "$(unix_path "$program_files\\Grid Expert")/Manual.txt" || fail "the manual"
"$top/e2e/wine-run.sh" "$engine" uninstall "$program_files\\Grid Expert\\Uninstall.exe" > uninstall.log 2>/dev/null ||
  { cat uninstall.log; fail "uninstall run"; }
rm -rf "$(unix_path 'C:\qe-signed-e2e')" "$(unix_path "$program_files\\Grid Expert")"
echo PASS
