#!/usr/bin/env bash
# Packs the example with a description, a copyright line and a non-ASCII publisher, then
# reads the installer's version resource back with pefile (Debian's python3-pefile).
# Usage: version-resource.sh QEPACK SETUP_EXE EXAMPLES_DIR WORK_DIR
set -euo pipefail
qepack=$1 setup=$2 examples=$3 work=$4
rm -rf "$work"; mkdir -p "$work"
"$qepack" build "$examples/product.toml" -o "$work/GridExpertSetup.exe" --stub "$setup" \
  -D 'product.description=Grid Expert for MetaTrader 4' -D 'product.copyright=© 2026 Northwind Trading Tools' \
  -D 'publisher.name=Northwind Trading Tools Ltd – Bristol' >/dev/null 2>&1
/usr/bin/python3 - "$work/GridExpertSetup.exe" <<'PY'
import sys, pefile
pe = pefile.PE(sys.argv[1])
strings = {}
for info in pe.FileInfo[0]:
    if info.Key == b'StringFileInfo':
        for table in info.StringTable:
            assert table.LangID == b'040904E4', table.LangID
            strings = {k.decode(): v.decode('utf-8') for k, v in table.entries.items()}
expected = {
    'CompanyName': 'Northwind Trading Tools Ltd – Bristol',
    'FileDescription': 'Grid Expert for MetaTrader 4',
    'FileVersion': '2.5.118.3',
    'InternalName': 'setup',
    'LegalCopyright': '© 2026 Northwind Trading Tools',
    'OriginalFilename': 'GridExpertSetup.exe',
    'ProductName': 'Grid Expert',
    'ProductVersion': '2.5',
}
assert strings == expected, strings
fixed = pe.VS_FIXEDFILEINFO[0]
assert (fixed.FileVersionMS, fixed.FileVersionLS) == (2 << 16 | 5, 118 << 16 | 3), (fixed.FileVersionMS, fixed.FileVersionLS)
assert (fixed.ProductVersionMS, fixed.ProductVersionLS) == (fixed.FileVersionMS, fixed.FileVersionLS)
print("version resource:", strings)
PY
echo PASS
