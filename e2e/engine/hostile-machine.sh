#!/usr/bin/env bash
# The install and uninstall runs under Wine on input made to turn them: installers
# crafted by the project's own package writer with a ":" in a target, links planted in a
# terminal folder and in its data folder by a user who may write there (Unix symbolic
# links, which Wine takes for links), and an uninstaller whose record lists paths in other
# spellings and another product's name. Every attack is tried and reported; the script
# fails when one works.
# Usage: hostile-machine.sh ENGINE_RUN_EXE CRAFT_PACKAGE SETUP_EXE WORK_DIR
set -uo pipefail
engine=$1 craft=$2 setup=$3 work=$4
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
wine_run() { "$top/e2e/wine-run.sh" "$@" 2>/dev/null | tr -d '\r'; }
engine_run() { wine_run "$engine" "$@"; }
# C:\... as a path of this machine.
unix_path() { local p=${1#[Cc]:}; echo "$WINEPREFIX/drive_c${p//\\//}"; }
failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() { # CONDITION-EXIT-CODE WHAT
  if [ "$1" -eq 0 ]; then pass "$2"; else fail "$2"; fi
}
has_line() { grep -qF -- "$2" "$1"; }

rm -rf "$work"; mkdir -p "$work"
root='C:\qe-hostile' outside='C:\qe-hostile\outside'
program_files=$(engine_run folder 28)
uninstall_keys='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
names=("Colon Tool" "Linked Tool" "Data Tool" "Aside Tool" "Settings Tool" "Experts Tool" "Crafted Tool")
data_root="$(engine_run folder 8)\\MetaQuotes\\Terminal"
data="$data_root\\QEHOSTILE00000000000000000000000"
clean() {
  rm -rf "$(unix_path "$root")" "$(unix_path "$data")"
  for n in "${names[@]}"; do
    rm -rf "$(unix_path "$program_files\\$n")" "$(unix_path "$(engine_run folder 38)\\$n")"
    wine_run reg delete "HKLM\\$uninstall_keys\\$n" /f >/dev/null
  done
  wine_run reg delete "HKLM\\$uninstall_keys\\Other Product" /f >/dev/null
}
clean
# A terminal in a folder its user may change, and what lies elsewhere: a stand-in for the
# system folder, another user's folder and a secret.
terminal() { local t="$root\\$1"; mkdir -p "$(unix_path "$t")"; : > "$(unix_path "$t")/terminal.exe"; echo "$t"; }
mkdir -p "$(unix_path "$outside")/system32" "$(unix_path "$outside")/other" "$(unix_path "$outside")/Private"
printf 'system' > "$(unix_path "$outside")/victim.dll"
printf 'secret settings of another program' > "$(unix_path "$outside")/secret.ini"
printf "someone else's" > "$(unix_path "$outside")/other/Grid.ex4"
printf 'the user'"'"'s letter' > "$(unix_path "$outside")/letter.txt"
crafted() { local out="$work/$1.exe"; shift; "$craft" installer "$setup" "$out" "$@" || exit 2; echo "Z:${out//\//\\}"; }

echo "== a \":\" in a target: its folder is its own parent"
installer=$(crafted colon --name "Colon Tool" --file '{app}\Manual.txt' --file '{app}\a.txt:')
engine_run install "$installer" "$(terminal MT4-colon)" > "$work/colon.log" 2>&1
code=$?
cat "$work/colon.log"
[ $code -eq 1 ] && has_line "$work/colon.log" 'The installer is damaged: the target "{app}\a.txt:" cannot be installed'
expect $? "the target {app}\\a.txt: is refused with the damaged installer's message (exit $code)"
[ ! -e "$(unix_path "$program_files\\Colon Tool")" ]
expect $? "nothing of Colon Tool is written"

echo "== MQL4\\Libraries linked to the system folder"
t=$(terminal MT4-linked)
mkdir -p "$(unix_path "$t")/MQL4"
ln -s "$(unix_path "$outside")/system32" "$(unix_path "$t")/MQL4/Libraries"
installer=$(crafted linked --name "Linked Tool" --file '{metatrader}\MQL4\Libraries\Grid.dll')
engine_run install "$installer" "$t" > "$work/linked.log" 2>&1
code=$?
cat "$work/linked.log"
[ $code -eq 1 ] && has_line "$work/linked.log" "\"$t\\MQL4\\Libraries\" leads to another place"
expect $? "the linked Libraries folder is refused with its name"
[ ! -e "$(unix_path "$outside")/system32/Grid.dll" ] && [ ! -e "$(unix_path "$program_files\\Linked Tool")" ]
expect $? "no DLL lands in the linked folder, and nothing else is written"

echo "== the terminal's data folder with MQL4\\Scripts linked to the system folder"
t=$(terminal MT4-data)
mkdir -p "$(unix_path "$data")/MQL4"
printf '%s' "$t" | iconv -t UTF-16LE > "$(unix_path "$data")/origin.txt"
ln -s "$(unix_path "$outside")/system32" "$(unix_path "$data")/MQL4/Scripts"
installer=$(crafted data --name "Data Tool" --data-folders true --file '{metatrader}\MQL4\Scripts\Grid.ex4')
engine_run install "$installer" "$t" > "$work/data.log" 2>&1
code=$?
cat "$work/data.log"
[ $code -eq 1 ] && has_line "$work/data.log" "\"$data\\MQL4\\Scripts\" leads to another place"
expect $? "the linked Scripts folder of the data folder is refused with its name"
[ ! -e "$(unix_path "$outside")/system32/Grid.ex4" ] && [ ! -e "$(unix_path "$t")/MQL4" ] &&
  [ ! -e "$(unix_path "$program_files\\Data Tool")" ]
expect $? "nothing lands in the linked folder, nor anywhere else"

echo "== a link planted under the name a replaced file used to be written beside"
t=$(terminal MT4-aside)
mkdir -p "$(unix_path "$t")/MQL4/Experts"
printf 'old' > "$(unix_path "$t")/MQL4/Experts/Grid.ex4"
ln -s "$(unix_path "$outside")/victim.dll" "$(unix_path "$t")/MQL4/Experts/Grid.ex4.~qe"
installer=$(crafted aside --name "Aside Tool" --file '{metatrader}\MQL4\Experts\Grid.ex4' --content 'new expert')
engine_run install "$installer" "$t" > "$work/aside.log" 2>&1
code=$?
[ $code -eq 0 ] && [ "$(cat "$(unix_path "$t")/MQL4/Experts/Grid.ex4")" = 'new expert' ]
expect $? "the expert is replaced (exit $code)"
[ "$(cat "$(unix_path "$outside")/victim.dll")" = system ] && [ ! -L "$(unix_path "$t")/MQL4/Experts/Grid.ex4" ]
expect $? "the file the planted link points to is untouched"

echo "== config\\experts.ini linked to another program's settings"
t=$(terminal MT4-settings)
mkdir -p "$(unix_path "$t")/config"
ln -s "$(unix_path "$outside")/secret.ini" "$(unix_path "$t")/config/experts.ini"
installer=$(crafted settings --name "Settings Tool" --override 1 --file '{app}\Manual.txt')
engine_run install "$installer" "$t" > "$work/settings.log" 2>&1
code=$?
cat "$work/settings.log" | tail -1
[ $code -eq 1 ] && has_line "$work/settings.log" "\"$t\\config\\experts.ini\" leads to another place"
expect $? "the linked settings file is refused"
ini="$(unix_path "$t")/config/experts.ini"
[ "$(cat "$(unix_path "$outside")/secret.ini")" = 'secret settings of another program' ] &&
  { [ -L "$ini" ] || ! grep -q 'settings of another program' "$ini"; }
expect $? "the other program's settings are neither copied into the terminal's nor rewritten"

echo "== the uninstall after MQL4\\Experts became a link to another user's folder"
t=$(terminal MT4-experts)
installer=$(crafted experts --name "Experts Tool" --file '{metatrader}\MQL4\Experts\Grid.ex4')
engine_run install "$installer" "$t" > "$work/experts-install.log" 2>&1 || fail "installing Experts Tool"
rm -rf "$(unix_path "$t")/MQL4/Experts"
ln -s "$(unix_path "$outside")/other" "$(unix_path "$t")/MQL4/Experts"
engine_run uninstall "$program_files\\Experts Tool\\Uninstall.exe" > "$work/experts-uninstall.log" 2>&1
cat "$work/experts-uninstall.log" | head -2
has_line "$work/experts-uninstall.log" "Not deleting file $t\\MQL4\\Experts\\Grid.ex4: \"$t\\MQL4\\Experts\" on its way leads to another place"
expect $? "the file behind the link is skipped and logged"
[ "$(cat "$(unix_path "$outside")/other/Grid.ex4")" = "someone else's" ]
expect $? "the other user's file of the same name stays"

echo "== a crafted uninstaller: paths in other spellings, another product's name"
wine_run reg add "HKLM\\$uninstall_keys\\Other Product" /v UninstallString /d 'C:\Program Files\Other Product\Uninstall.exe' /f >/dev/null
wine_run reg add "HKLM\\$uninstall_keys\\Other Product\\Parts" /v DisplayName /d Part /f >/dev/null
app="$program_files\\Crafted Tool"
mkdir -p "$(unix_path "$app")"
"$craft" uninstaller "$setup" "$(unix_path "$app")/Uninstall.exe" --name "Other Product" \
  --log-folder "$app" --log-folder "$outside\\Private\\." \
  --log-file "$app\\..\\..\\qe-hostile\\outside\\victim.dll" --log-file "$outside\\.\\letter.txt" \
  --log-file "\\\\?\\$outside\\letter.txt" --log-file "$outside\\letter.txt. " || exit 2
engine_run uninstall "$app\\Uninstall.exe" > "$work/crafted.log" 2>&1
cat "$work/crafted.log"
[ "$(cat "$(unix_path "$outside")/victim.dll")" = system ] && [ -e "$(unix_path "$outside")/letter.txt" ]
expect $? "the system file and the user's letter stay"
[ -d "$(unix_path "$outside")/Private" ]
expect $? "the user's empty folder stays"
engine_run keyexists "$uninstall_keys\\Other Product\\Parts"
expect $? "the other product's entry and its key below stay"
has_line "$work/crafted.log" "Not deleting file $app\\..\\..\\qe-hostile\\outside\\victim.dll: it is no plain path" &&
  has_line "$work/crafted.log" "Not unregistering the uninstaller: the entry \"Other Product\" in the list of installed programs belongs to another uninstaller."
expect $? "what is skipped is logged"

echo "== setup.exe's log (/LOG=) where a link was planted"
logs="$root\\logs"
mkdir -p "$(unix_path "$logs")"
ln -s "$(unix_path "$outside")/secret.ini" "$(unix_path "$logs")/setup.log"
ln -s "$(unix_path "$outside")/system32" "$(unix_path "$logs")/linked"
# A switch it does not know ends the run once the log is made: nothing is installed. The
# link is replaced by the log as itself, or, where the system cannot remove a link as
# itself (Wine), the log is not made; the file the link points to is never written.
wine_run "$setup" /VERYSILENT /NOSUCHSWITCH "/LOG=$logs\\setup.log" >/dev/null
code=$?
log="$(unix_path "$logs")/setup.log"
[ $code -eq 5 ] && [ "$(cat "$(unix_path "$outside")/secret.ini")" = 'secret settings of another program' ] &&
  { [ -L "$log" ] || grep -q 'Unknown switch' "$log"; }
expect $? "the file a link planted under the log's name points to is untouched (exit $code, $([ -L "$log" ] && echo 'the link stays, no log' || echo 'the log replaced the link'))"
wine_run "$setup" /VERYSILENT /NOSUCHSWITCH "/LOG=$logs\\linked\\setup.log" >/dev/null
code=$?
[ $code -eq 5 ] && [ ! -e "$(unix_path "$outside")/system32/setup.log" ]
expect $? "no log is written through a linked folder (exit $code)"

clean
echo "$failures attacks worked"
[ "$failures" -eq 0 ] && echo PASS
