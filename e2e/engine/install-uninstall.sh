#!/usr/bin/env bash
# Packs the example product, installs it with engine-run.exe into two stand-in terminal
# folders under Wine, checks what landed on the Windows side, then runs the uninstall
# run on the new Uninstall.exe and checks that everything it logged is gone.
# Usage: install-uninstall.sh ENGINE_RUN_EXE QEPACK SETUP_EXE EXAMPLES_DIR WORK_DIR
set -euo pipefail
engine=$1 qepack=$2 setup=$3 examples=$4 work=$5
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
wine_run() { "$top/e2e/wine-run.sh" "$@" 2>/dev/null | tr -d '\r'; }
engine_run() { wine_run "$engine" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() { [ "$1" == "$2" ] || fail "$3: expected [$2], got [$1]"; }
# C:\... as a path of this machine.
unix_path() { local p=${1#[Cc]:}; echo "$WINEPREFIX/drive_c${p//\\//}"; }
le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

rm -rf "$work"; mkdir -p "$work"
installer="$work/GridExpertSetup.exe"
"$qepack" build "$examples/product.toml" -o "$installer" --stub "$setup" >/dev/null

# Two stand-in terminals: folders holding an empty terminal.exe.
t1='C:\qe-engine-e2e\MT4 One' t2='C:\qe-engine-e2e\MT4 Two'
rm -rf "$(unix_path 'C:\qe-engine-e2e')"
for t in "$t1" "$t2"; do mkdir -p "$(unix_path "$t")"; : > "$(unix_path "$t")/terminal.exe"; done
# A settings file longer than its record keeps its tail.
mkdir -p "$(unix_path "$t1")/config"
head -c 400 /dev/zero | tr '\0' '\7' > "$(unix_path "$t1")/config/experts.ini"

program_files=$(engine_run folder 28)
menu_root=$(engine_run folder 38)
app="$program_files\\Grid Expert" menu="$menu_root\\Grid Expert"
key='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Grid Expert'
# Leftovers of an earlier run would hide faults.
rm -rf "$(unix_path "$app")" "$(unix_path "$menu")"

start=$(date +%s.%N)
engine_run install "Z:${installer//\//\\}" "$t1" "$t2" > "$work/install.log" || { cat "$work/install.log"; fail "install run"; }
install_end=$(date +%s.%N)

# The progress lines, exactly: 18 steps against a budget of 2 + 2 x 3 + 10.
cat > "$work/install.expected" <<LINES
6 Copying file $t1\\MQL4\\Experts\\GridExpert.mq4 ...
11 Copying file $t1\\MQL4\\Indicators\\GridLevels.mq4 ...
17 Copying file $app\\Manual.txt ...
22 Copying file $t2\\MQL4\\Experts\\GridExpert.mq4 ...
28 Copying file $t2\\MQL4\\Indicators\\GridLevels.mq4 ...
33 Overriding MetaTrader settings in $t1 ...
39 Overriding MetaTrader settings in $t2 ...
44 Copying file $app\\Readme.rtf ...
50 Creating shortcut $menu\\Readme.lnk ...
56 Copying file $app\\License.rtf ...
61 Creating shortcut $menu\\License.lnk ...
67 Copying file $app\\What's New.rtf ...
72 Creating shortcut $menu\\What's New.lnk ...
78 Creating shortcut $menu\\Northwind Trading Tools Website.url ...
83 Creating shortcut $menu\\Contact Email.url ...
89 Creating unistaller ...
94 Registering unistaller ...
100 Done.
LINES
diff -u "$work/install.expected" "$work/install.log" || fail "install progress lines"

# Files, with their contents and the package's times.
for t in "$t1" "$t2"; do
  cmp "$examples/files/GridExpert.mq4" "$(unix_path "$t")/MQL4/Experts/GridExpert.mq4" || fail "expert in $t"
  cmp "$examples/files/GridLevels.mq4" "$(unix_path "$t")/MQL4/Indicators/GridLevels.mq4" || fail "indicator in $t"
  expect_eq "$(stat -c %Y "$(unix_path "$t")/MQL4/Experts/GridExpert.mq4")" "$(stat -c %Y "$examples/files/GridExpert.mq4")" \
    "write time of the expert in $t"
  ini="$(unix_path "$t")/config/experts.ini"
  [ "$t" == "$t1" ] && size=400 || size=292
  expect_eq "$(stat -c %s "$ini")" "$size" "size of $t\\config\\experts.ini"
done
# "1 1 0": offset 4 set, 8 kept, 12 set, 36 kept, 40 cleared.
expect_eq "$(od -An -tu1 -j4 -N9 "$(unix_path "$t1")/config/experts.ini" | tr -s ' ')" " 1 7 7 7 7 7 7 7 1" "override flags in $t1"
expect_eq "$(od -An -tu1 -j36 -N5 "$(unix_path "$t1")/config/experts.ini" | tr -s ' ')" " 7 7 7 7 0" "flags 4 and 5 in $t1"
expect_eq "$(od -An -tu1 -j300 -N1 "$(unix_path "$t1")/config/experts.ini" | tr -d ' ')" "7" "tail of $t1\\config\\experts.ini"
expect_eq "$(od -An -tu1 -N2 "$(unix_path "$t2")/config/experts.ini" | tr -s ' ')" " 144 1" "default record in $t2"
cmp "$examples/files/Manual.txt" "$(unix_path "$app")/Manual.txt" || fail "Manual.txt"
read -r _ manual_write < <(engine_run times "$app\\Manual.txt")
expect_eq "$(( manual_write / 10000000 - 11644473600 ))" "$(stat -c %Y "$examples/files/Manual.txt")" "write time of Manual.txt"
[ "$(head -c 5 "$(unix_path "$app")/Readme.rtf")" == "{\\rtf" ] || fail "Readme.rtf"
grep -q $'\r$' "$(unix_path "$app")/License.rtf" || fail "License.rtf lines end in CR LF"

# Shell links, read back through the shell's link object.
check_link() { expect_eq "$(engine_run readlink "$1")" "$2|$3" "link $1"; }
check_link "$menu\\Grid Expert Manual.lnk" "$app\\Manual.txt" "$app"
check_link "$menu\\Readme.lnk" "$app\\Readme.rtf" "$app"
check_link "$menu\\What's New.lnk" "$app\\What's New.rtf" "$app"
check_link "$menu\\Uninstall.lnk" "$app\\Uninstall.exe" "$app"

# Internet shortcuts.
expect_eq "$(od -An -c "$(unix_path "$menu")/Contact Email.url" | tr -d ' \n')" \
  "$(printf '[InternetShortcut]\r\nURL=mailto:Anna Lindqvist <support@northwind-tools.example>\r\n\r\n' | od -An -c | tr -d ' \n')" \
  "Contact Email.url"
# Byte for byte: three lines, each ended by CR LF, so the file ends in CR LF CR LF.
printf '[InternetShortcut]\r\nURL=http://www.northwind-tools.example\r\n\r\n' > "$work/website.expected"
cmp "$work/website.expected" "$(unix_path "$menu")/Northwind Trading Tools Website.url" || fail "website shortcut"

# The registry entry.
engine_run keyexists "$key" || fail "the registry key was not made"
expect_eq "$(engine_run regread "$key" DisplayName)" "Grid Expert" "DisplayName"
expect_eq "$(engine_run regread "$key" UninstallString)" "\"$app\\Uninstall.exe\"" "UninstallString"
expect_eq "$(engine_run regread "$key" DisplayIcon)" "$app\\Uninstall.exe" "DisplayIcon"

# The uninstaller: the program without its package, then its record.
uninstaller="$(unix_path "$app")/Uninstall.exe"
n=$(le32 "$installer" 136)
expect_eq "$n" "$(stat -c %s "$setup")" "the installer's package offset"
expect_eq "$(le32 "$uninstaller" 136)" "$n" "the uninstaller's record offset"
# The program part is the installer's, but for the header's checksum: the uninstaller's own.
checksum_at=$(( $(le32 "$installer" 60) + 24 + 64 ))
for at in $(cmp -l -n "$n" "$installer" "$uninstaller" | awk '{ print $1 - 1 }'); do
  [ "$at" -ge "$checksum_at" ] && [ "$at" -lt $((checksum_at + 4)) ] || fail "the uninstaller's program part differs at $at"
done
expect_eq "$(dd if="$uninstaller" bs=1 skip="$n" count=4 2>/dev/null)" "QEUN" "the record's signature"
[ "$(stat -c %s "$uninstaller")" -gt "$((n + 4))" ] || fail "the record is empty"

# The uninstall run on that uninstaller.
uninstall_start=$(date +%s.%N)
engine_run uninstall "$app\\Uninstall.exe" > "$work/uninstall.log" || { cat "$work/uninstall.log"; fail "uninstall run"; }
end=$(date +%s.%N)
# The progress lines, exactly: the record's 15 files in install order, its two folders,
# then the registry entry; 19 steps against a budget of 15 + 2 + 1.
cat > "$work/uninstall.expected" <<LINES
6 Delete file $t1\\MQL4\\Experts\\GridExpert.mq4 ...
11 Delete file $t1\\MQL4\\Indicators\\GridLevels.mq4 ...
17 Delete file $app\\Manual.txt ...
22 Delete file $menu\\Grid Expert Manual.lnk ...
28 Delete file $t2\\MQL4\\Experts\\GridExpert.mq4 ...
33 Delete file $t2\\MQL4\\Indicators\\GridLevels.mq4 ...
39 Delete file $app\\Readme.rtf ...
44 Delete file $menu\\Readme.lnk ...
50 Delete file $app\\License.rtf ...
56 Delete file $menu\\License.lnk ...
61 Delete file $app\\What's New.rtf ...
67 Delete file $menu\\What's New.lnk ...
72 Delete file $menu\\Northwind Trading Tools Website.url ...
78 Delete file $menu\\Contact Email.url ...
83 Delete file $menu\\Uninstall.lnk ...
89 Remove folder $app ...
94 Remove folder $menu ...
100 Unregistering uninstaller ...
106 Done.
LINES
diff -u "$work/uninstall.expected" "$work/uninstall.log" || fail "uninstall progress lines"
while read -r _ _ _ path; do
  path=${path% ...}
  [ ! -e "$(unix_path "$path")" ] || fail "$path was not deleted"
done < <(grep '^[0-9]* Delete file ' "$work/uninstall.log")
[ ! -e "$(unix_path "$menu")" ] || fail "the emptied Start Menu folder stays"
expect_eq "$(ls "$(unix_path "$app")")" "Uninstall.exe" "the program folder keeps only the uninstaller"
! engine_run keyexists "$key" || fail "the registry key stays"
engine_run keyexists 'SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' || fail "the list of installed programs went"
[ -e "$(unix_path "$t1")/config/experts.ini" ] || fail "the settings file was removed"

rm -rf "$(unix_path "$app")" "$(unix_path 'C:\qe-engine-e2e')"
awk -v s="$start" -v i="$install_end" -v u="$uninstall_start" -v e="$end" \
  'BEGIN { printf "install %.2f s, uninstall %.2f s (under Wine, each one engine-run process)\n", i - s, e - u }'
echo "PASS"
