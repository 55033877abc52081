#!/usr/bin/env bash
# The set-up against a package mirror and an apt that fail as they do in the field. The
# stand-ins in standins/ (apt-get, dpkg, dpkg-query) keep a pretend machine; each case
# runs a copy of the set-up on a fresh one, with nothing else of the real machine's apt,
# dpkg or Wine on its PATH, and checks what it installed, wrote and said. The set-up's
# output of every case is collected in WORK_DIR/setup-survives.log.
# Usage: setup-survives.sh SOURCE_DIR WORK_DIR
set -uo pipefail
src=$(cd "$1" && pwd) work=$2
standins=$(cd "$(dirname "$0")/standins" && pwd)
rm -rf "$work"
mkdir -p "$work/tools"
work=$(cd "$work" && pwd)
log="$work/setup-survives.log"
: >"$log"
failures=0 checks=0

# The commands the set-up and the stand-ins may use.
for t in bash cat grep sed awk head mkdir rm mv touch dirname sleep apt-config; do
  ln -s "$(command -v "$t")" "$work/tools/$t"
done

# machine NAME: a fresh pretend machine in $m with Debian's two deb822 entries on a mirror
# of its own, nothing installed and no i386 architecture.
machine() {
  name=$1
  m="$work/$name"
  mkdir -p "$m/state" "$m/etc/apt/sources.list.d" "$m/etc/apt/apt.conf.d" "$m/repo/scripts" "$m/repo/e2e"
  cp "$src"/scripts/{setup.sh,apt-helpers.sh,derive-deb-src.awk} "$m/repo/scripts/"
  cp "$src/e2e/wine-runs-here.sh" "$m/repo/e2e/"
  printf 'Dir::Etc "%s/etc/apt/";\n' "$m" >"$m/apt.conf"
  cat >"$m/etc/apt/sources.list.d/debian.sources" <<'EOF'
Types: deb
# the machine's own mirror
URIs: http://mirror.test/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror.test/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  : >"$m/state/calls"
}

# in_machine COMMAND...: runs a command in the machine's copy of the repository.
in_machine() {
  (cd "$m/repo" && env -i PATH="$standins:$work/tools" HOME="$m" APT_CONFIG="$m/apt.conf" \
    STANDIN_STATE="$m/state" STANDIN_APT_ETC="$m/etc/apt" QE_APT_RETRY_DELAYS="0 0" "$@")
}

# run_setup WHAT: runs the set-up; its output lands in $m/out and, under WHAT, in the log.
run_setup() {
  local before
  before=$(wc -l <"$m/state/calls")
  in_machine bash scripts/setup.sh >"$m/out" 2>&1
  status=$?
  {
    echo "### $1"
    echo "$ bash scripts/setup.sh    # exit $status"
    sed 's/^/    /' "$m/out"
    echo "  calls made:"
    tail -n +$((before + 1)) "$m/state/calls" | sed 's/^/    /'
    echo
  } >>"$log"
}

fail_with() { echo "$2" >"$m/state/$1"; }
check() {
  local what=$1
  shift
  checks=$((checks + 1))
  "$@" || { echo "FAIL: $name: $what" >&2; failures=$((failures + 1)); }
}
said() { grep -qF -- "$1" "$m/out"; }
not_said() { ! said "$1"; }
installed() { grep -qx -- "$1" "$m/state/installed" 2>/dev/null; }
not_installed() { ! installed "$1"; }
calls() { grep -c -- "^$1" "$m/state/calls"; }
is() { [ "$1" = "$2" ] || { echo "  got \"$1\", expected \"$2\"" >&2; return 1; }; }
no_file() { [ ! -e "$1" ]; }
same_file() { diff -u "$2" "$1" >&2; }

# --- A fresh machine on a whole mirror, then the same machine again.
machine fresh
run_setup "A fresh machine"
check "exit 0" is "$status" 0
check "i386 added before the first update" is "$(grep -m1 -nE 'add-architecture|update' "$m/state/calls" | cut -d: -f2)" "dpkg --add-architecture i386"
cat >"$m/expected.sources" <<'EOF'
Types: deb-src
URIs: http://mirror.test/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://mirror.test/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
check "source entries from the machine's own entries" same_file "$m/etc/apt/sources.list.d/qe-deb-src.sources" "$m/expected.sources"
check "one update" is "$(calls 'apt-get update')" 1
check "the tools installed" installed g++-mingw-w64-i686
check "Wine installed" installed wine32:i386
check "no Wine note" no_file "$m/repo/build/wine-not-installed.txt"
check "no warning" not_said "NOT INSTALLED"
cp "$m/state/calls" "$m/calls-before"
run_setup "The same machine again"
check "exit 0 again" is "$status" 0
check "no apt-get or dpkg change the second time" same_file "$m/state/calls" "$m/calls-before"
mkdir -p "$m/repo/src"
in_machine bash -c '. scripts/apt-helpers.sh && cd src && apt_source libjpeg-turbo' >"$m/out" 2>&1
check "the source package unpacked" test -d "$m/repo/src/libjpeg-turbo-2.1.5"

# --- One-line lists: options kept but the architecture, CD-ROMs, comments and disabled lists passed over.
machine one-line
rm "$m/etc/apt/sources.list.d/debian.sources"
cat >"$m/etc/apt/sources.list" <<'EOF'
# deb http://old.test/debian buster main
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/mirror.gpg] http://mirror.test/debian bookworm main contrib # the main one
  deb http://mirror.test/debian-security bookworm-security main
deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_]/ bookworm main
EOF
echo "deb http://disabled.test/debian bookworm main" >"$m/etc/apt/sources.list.d/old.list.disabled"
run_setup "One-line package lists"
check "exit 0" is "$status" 0
printf '%s\n' "deb-src [signed-by=/usr/share/keyrings/mirror.gpg] http://mirror.test/debian bookworm main contrib" \
  "deb-src http://mirror.test/debian-security bookworm-security main" >"$m/expected.list"
check "one-line source entries" same_file "$m/etc/apt/sources.list.d/qe-deb-src.list" "$m/expected.list"
check "no deb822 file besides" no_file "$m/etc/apt/sources.list.d/qe-deb-src.sources"

# --- A machine whose lists have a source entry already.
machine has-sources
echo "deb-src http://mirror.test/debian bookworm main" >"$m/etc/apt/sources.list.d/src.list"
run_setup "Lists with a source entry already"
check "nothing written" no_file "$m/etc/apt/sources.list.d/qe-deb-src.sources"

# --- The i386 security index cut short twice, then whole.
machine hiccup
fail_with index-hiccups 2
run_setup "The i386 security index cut short twice (mirror sync in progress), then whole"
check "exit 0" is "$status" 0
check "three updates" is "$(calls 'apt-get update')" 3
check "says it tries again" said "trying again"
check "Wine installed" installed wine32:i386

# --- Today's mirror: the i386 security index cut short throughout, so wine32:i386's
# libraries do not match the amd64 ones; then the mirror is whole again.
machine broken-i386
fail_with index-hiccups always
fail_with wine-broken always
run_setup "The i386 security index cut short throughout, and wine32:i386 not installable"
check "exit 0" is "$status" 0
check "three updates, then on" is "$(calls 'apt-get update')" 3
check "names the index it goes on without" said "binary-i386/Packages.xz  File has unexpected size"
check "the tools installed" installed cmake
check "Wine not installed" not_installed wine32:i386
check "says so loudly" said "WINE IS NOT INSTALLED"
note="$m/repo/build/wine-not-installed.txt"
check "the note names the conflict" grep -qF "libc6:i386 : Breaks: libc6" "$note"
check "the note names the index" grep -qF "bookworm-security/main/binary-i386/Packages.xz" "$note"
in_machine bash e2e/wine-runs-here.sh >"$m/out" 2>&1
check "wine-runs-here.sh refuses" is "$?" 1
check "wine-runs-here.sh says why" said "Wine is not installed on this machine."
check "wine-runs-here.sh shows the note" said "libc6:i386 : Breaks: libc6"
{ echo "$ bash e2e/wine-runs-here.sh    # then"; sed 's/^/    /' "$m/out"; echo; } >>"$log"
rm "$m/state/index-hiccups" "$m/state/wine-broken"
run_setup "The same machine once the mirror is whole"
check "exit 0" is "$status" 0
check "installs Wine alone" is "$(grep '^apt-get install' "$m/state/calls" | tail -n 1)" \
  "apt-get install -y -qq --no-install-recommends wine32:i386 wine"
check "Wine installed" installed wine32:i386
check "the note is gone" no_file "$note"

# --- Another apt holds the lock for a moment.
machine lock
fail_with lock-held 1
run_setup "Another apt holds the lists' lock for a moment"
check "exit 0" is "$status" 0
check "two updates" is "$(calls 'apt-get update')" 2

# --- A package file damaged on the way.
machine download
fail_with download-hiccups 1
run_setup "A package file damaged on the way"
check "exit 0" is "$status" 0
check "the install tried again" is "$(calls 'apt-get install')" 3
check "the tools installed" installed cmake

# --- Failures the set-up must not pass over.
machine unreadable
fail_with broken-lists always
run_setup "A list apt cannot read (not survived: the set-up stops)"
check "stops" is "$status" 100
check "with apt's words" said "Malformed entry 3"
check "installs nothing" is "$(calls 'apt-get install')" 0

machine unmet
fail_with main-broken always
run_setup "A tool that cannot be installed (not survived: the set-up stops)"
check "stops" is "$status" 1
check "names the packages" said "setup: could not install build-essential"
check "tries no Wine" is "$(calls 'apt-get install')" 1

# --- The source package when the source index has not been fetched yet, with the i386
# index failing throughout.
machine source-index
echo "deb-src http://mirror.test/debian bookworm main" >"$m/etc/apt/sources.list.d/src.list"
fail_with index-hiccups always
echo i386 >"$m/state/archs"
mkdir -p "$m/repo/src"
in_machine bash -c '. scripts/apt-helpers.sh && cd src && apt_source libjpeg-turbo' >"$m/out" 2>&1
check "fetched after an update" is "$?" 0
check "the source package unpacked" test -d "$m/repo/src/libjpeg-turbo-2.1.5"
check "two source calls" is "$(calls 'apt-get source')" 2

# --- How wine-runs-here.sh tells the Wines apart.
machine wines
wine_says() { # OUTPUT STATUS: a stand-in wine
  mkdir -p "$m/wine"
  printf '#!/bin/sh\necho "%s"\nexit %s\n' "$1" "$2" >"$m/wine/wine"
  chmod +x "$m/wine/wine"
  (cd "$m/repo" && env -i PATH="$m/wine:$work/tools" bash e2e/wine-runs-here.sh) >"$m/out" 2>&1
}
wine_says "wine-8.0 (Debian 8.0~repack-4)" 0
check "the 32-bit Wine runs" is "$?" 0
wine_says "it looks like wine32 is missing, you should install it.
wine-8.0 (Debian 8.0~repack-4)" 0
check "the 64-bit Wine alone does not" is "$?" 1
check "and says so" said "Only the 64-bit Wine is installed"
wine_says "/usr/lib/wine/wine: cannot execute binary file: Exec format error" 126
check "a 64-bit-only kernel does not" is "$?" 1
check "and says so" said "This machine runs no 32-bit program"

echo "$checks checks, $failures failures; the set-up's output is in $log"
[ "$failures" -eq 0 ]
