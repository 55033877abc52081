#!/usr/bin/env bash
# qepack's command line against the mistakes vendors make: each case must end with its
# exit code, a message holding the expected words, and no installer. Prints a table of
# every case (input, exit code, message).
# Usage: bad-inputs.sh QEPACK STUB WORK_DIR   (STUB "fake": a bare DOS header will do)
set -uo pipefail
qepack=$1 stub=$2 work=$3
rm -rf "$work"; mkdir -p "$work/files/Folder"
cd "$work"
printf 'expert' > files/a.mq4; printf 'b' > files/b.txt; printf 'x' > files/Folder/x.txt
printf 'not a picture' > banner.jpg
printf 'Caf\xe9: Windows-1252, not UTF-8' > Readme.txt
if [ "$stub" = fake ]; then
  # "MZ", the PE header's offset 256 at byte 60, zeros elsewhere.
  head -c 1024 /dev/zero > stub.exe
  printf 'MZ' | dd of=stub.exe conv=notrunc status=none
  printf '\x00\x01' | dd of=stub.exe bs=1 seek=60 conv=notrunc status=none
else
  cp "$stub" stub.exe
fi
failures=0 count=0

# check NAME EXPECTED_EXIT EXPECTED_WORDS COMMAND...
check() {
  local name=$1 want=$2 words=$3; shift 3
  rm -f out.exe
  "$@" > stdout.txt 2> stderr.txt
  local got=$?
  local message; message=$(head -c 300 stderr.txt | head -n 2 | tr '\n' ' ' | sed 's/|/\\|/g')
  count=$((count + 1))
  printf '| %s | %s | %s |\n' "$name" "$got" "$message"
  if [ "$got" != "$want" ]; then echo "FAIL: $name: exit $got, expected $want" >&2; failures=$((failures + 1)); fi
  if ! grep -qF -- "$words" stderr.txt stdout.txt; then
    echo "FAIL: $name: no \"$words\" in the output" >&2; failures=$((failures + 1))
  fi
  if [ -e out.exe ] && [ "$want" != 0 ]; then echo "FAIL: $name: an installer was written" >&2; failures=$((failures + 1)); fi
}

# manifest NAME PRODUCT_LINES REST: writes NAME.toml
manifest() { printf '[product]\n%s\n%s\n' "$2" "$3" > "$1.toml"; }
file_entry() { printf "[[file]]\nsource = \"%s\"\ntarget = '%s'\n%s" "$1" "$2" "${3:-}"; }
build() { "$qepack" build "$1.toml" -o out.exe --stub stub.exe "${@:2}"; }
case_manifest() { # NAME WORDS PRODUCT_LINES REST
  manifest "m$count" "$3" "$4"; check "$1" 1 "$2" build "m$count"
}

echo "| bad input | exit | message |"
echo "|---|---|---|"
check "no command" 2 "Usage" "$qepack"
check "unknown command \`pack\`" 2 'unknown command "pack"; the commands are' "$qepack" pack x.toml
check "build without -o" 2 "--output is required" "$qepack" build x.toml
check "--version (sound)" 0 "qepack 1." "$qepack" --version
check "help (sound)" 0 "Subcommands" "$qepack" help
manifest ok 'name = "Demo"' "$(file_entry files/a.mq4 '{app}\a.mq4')"
check "manifest missing" 1 "Cannot open the manifest" "$qepack" build missing.toml -o out.exe --stub stub.exe
check "-o names the manifest" 1 "names an input of the build" "$qepack" build ok.toml -o ok.toml --stub stub.exe
check "-o names the stub" 1 "names an input of the build" "$qepack" build ok.toml -o stub.exe --stub stub.exe
check "-o names a source" 1 "names an input of the build" "$qepack" build ok.toml -o files/a.mq4 --stub stub.exe
check "-o names a folder" 1 "is a folder" "$qepack" build ok.toml -o files --stub stub.exe
cp "$qepack" ./qepack-alone
check "no stub beside qepack" 1 "name the stub with --stub" ./qepack-alone build ok.toml -o out.exe
"$qepack" build ok.toml -o packed.exe --stub stub.exe > /dev/null 2>&1
check "stub already packed" 1 "already carries a package" "$qepack" build ok.toml -o out.exe --stub packed.exe
check "stub not an executable" 1 "is not a Windows executable" "$qepack" build ok.toml -o out.exe --stub files/b.txt
check "--key not hex" 1 "--key takes 32 hexadecimal digits" build ok --key 12zz
check "--define unknown key" 1 "write TABLE.KEY=VALUE" build ok --define product.nmae=X
check "--define version 3.01" 1 '--define product.version: the version "3.01"' build ok --define product.version=3.01
case_manifest "target \`{app}\\..\\..\\Windows\\x.dll\`" '".." would leave the folder' 'name = "D"' "$(file_entry files/a.mq4 '{app}\..\..\Windows\x.dll')"
case_manifest "target \`C:\\x.dll\`" "is an absolute path" 'name = "D"' "$(file_entry files/a.mq4 'C:\x.dll')"
case_manifest "target UNC path" "is an absolute path" 'name = "D"' "$(file_entry files/a.mq4 '\\server\x.dll')"
case_manifest "target without macro" "starts with no folder macro" 'name = "D"' "$(file_entry files/a.mq4 'MQL4\x.ex4')"
case_manifest "target \`{mt4}\\x\`" "which is no macro" 'name = "D"' "$(file_entry files/a.mq4 '{mt4}\x.ex4')"
case_manifest "target with \`<\`" "which Windows refuses" 'name = "D"' "$(file_entry files/a.mq4 '{app}\a<b.txt')"
case_manifest "target \`{app}\\CON\`" "device name" 'name = "D"' "$(file_entry files/a.mq4 '{app}\CON')"
case_manifest "targets differing in case" "is also written by line" 'name = "D"' "$(file_entry files/a.mq4 '{app}\A.txt')
$(file_entry files/b.txt '{APP}\a.TXT')"
case_manifest "shortcut \`..\\..\\Startup\\x\`" "is not a plain name" 'name = "D"' "$(file_entry files/a.mq4 '{app}\a.txt' "shortcut = '..\\..\\Startup\\x'")"
case_manifest "blank product name" "the product needs a name" 'name = "   "' ""
case_manifest "product name \`..\`" "would leave the folder" 'name = ".."' ""
case_manifest "product name with a line break" "line break" 'name = "Grid\nExpert"' ""
case_manifest "version \`3.01\`" 'write "3.1" (v3.1) or "3.10" (v3.10)' 'name = "D"
version = "3.01"' ""
case_manifest "version as a number" 'as version = "2.5"' 'name = "D"
version = 3.1' ""
case_manifest "source is a folder" 'is a folder: write "files/Folder/"' 'name = "D"' "$(file_entry files/Folder '{app}\x')"
case_manifest "pattern matches nothing" "matches no file" 'name = "D"' "$(file_entry 'files/*.dll' '{app}\x')"
case_manifest "source missing" "does not exist" 'name = "D"' "$(file_entry files/none.mq4 '{app}\x')"
case_manifest "Windows path in double quotes" "write Windows paths in 'single quotes'" 'name = "D"' '[[file]]
source = "files/a.mq4"
target = "{app}\x.txt"'
case_manifest "unknown key" 'unknown key "versoin"; [product] takes' 'name = "D"
versoin = "1.0"' ""
case_manifest "negative build" "must be a whole number" 'name = "D"
build = -1' ""
case_manifest "bad experts_override" '"experts_override" holds up to 8' 'name = "D"' '[installer]
experts_override = "2"'
case_manifest "banner not a JPEG" "the banner is not a JPEG picture" 'name = "D"' '[installer]
banner = "banner.jpg"'
case_manifest "readme neither RTF nor UTF-8" "is neither RTF nor UTF-8 text" 'name = "Chart ✓"' '[documents]
readme = "Readme.txt"'
check "init over an existing file" 1 "exists; init writes a new manifest only" "$qepack" init ok.toml
echo "$count cases, $failures failures"
[ "$failures" -eq 0 ]
