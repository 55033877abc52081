# The set-up's use of apt, sourced by setup.sh and build-libjpeg-win32.sh.
#
# A package mirror in the middle of a sync serves some indexes cut short for a while
# ("File has unexpected size ... Mirror sync in progress?"). apt-get keeps every index it
# did fetch, so a failed one is fetched again a few times, and then the work goes on with
# the indexes there are: the packages they hold can still be installed.

# Seconds to wait before each further attempt; the number of words is the number of retries.
QE_APT_RETRY_DELAYS=${QE_APT_RETRY_DELAYS-"10 30"}

# Set by apt_update: the indexes it could not fetch, one per line ("URL  reason").
apt_failed_indexes=
# Set by apt_run: what apt-get printed the last time.
apt_output=

# The indexes or archives a run of apt-get failed to fetch, from its output.
apt_failed_fetches() {
  sed -n 's/^[EW]: Failed to fetch \(.*\)$/\1/p' <<<"$1" | sed 's/ *\[IP: [^]]*\]$//'
}

# Whether a failed run of apt-get is worth another attempt: a download that failed, or
# another program holding apt's lock for a moment.
apt_worth_retrying() {
  grep -qE 'Failed to fetch|Unable to fetch some archives|Could not get lock' <<<"$1"
}

# apt_run ARGS...: runs apt-get ARGS, once more after each delay while it fails in a way
# worth retrying. Its output is printed and kept in apt_output; returns apt-get's status.
apt_run() {
  local status delay attempt=1
  for delay in $QE_APT_RETRY_DELAYS last; do
    status=0
    apt_output=$(apt-get "$@" 2>&1) || status=$?
    [ -n "$apt_output" ] && printf '%s\n' "$apt_output"
    if [ "$status" -eq 0 ] || [ "$delay" = last ] || ! apt_worth_retrying "$apt_output"; then
      return "$status"
    fi
    echo "setup: apt-get $1 failed (exit $status, attempt $attempt); trying again in ${delay} s"
    sleep "$delay"
    attempt=$((attempt + 1))
  done
}

# Updates the package indexes. Succeeds when every index came, or when the only trouble
# left after the retries is indexes that could not be fetched; then it says which.
apt_update() {
  local status=0
  apt_failed_indexes=
  apt_run update -qq || status=$?
  [ "$status" -eq 0 ] && return 0
  apt_failed_indexes=$(apt_failed_fetches "$apt_output")
  if [ -z "$apt_failed_indexes" ]; then
    echo "setup: apt-get update failed (exit $status)" >&2
    return "$status"
  fi
  echo "setup: going on with the package indexes there are; these could not be fetched:"
  sed 's/^/setup:   /' <<<"$apt_failed_indexes"
}

# apt_source PACKAGE: fetches and unpacks a source package into the current folder. A
# source index that is missing or stale is updated once before giving up.
apt_source() {
  apt-get source -qq "$1" >/dev/null 2>&1 && return 0
  apt_update >&2 && apt-get source -qq "$1" >/dev/null
}

# Makes sure apt knows where source packages come from: when no list has a source entry,
# one is derived from each package entry of the machine's own lists (derive-deb-src.awk).
# Succeeds when it wrote one; the source index then comes with the next update.
apt_add_deb_src() {
  local list_file parts_dir SRCLIST SRCPARTS f status=0
  eval "$(apt-config shell SRCLIST Dir::Etc::sourcelist/f SRCPARTS Dir::Etc::sourceparts/d)"
  list_file=${SRCLIST:-/etc/apt/sources.list}
  parts_dir=${SRCPARTS:-/etc/apt/sources.list.d/}
  parts_dir=${parts_dir%/}
  local lists=()
  for f in "$list_file" "$parts_dir"/*.list "$parts_dir"/*.sources; do
    [ -f "$f" ] && lists+=("$f")
  done
  if [ "${#lists[@]}" -eq 0 ]; then
    echo "setup: apt has no package list to derive a source entry from; source packages cannot be fetched" >&2
    return 1
  fi
  local out="$parts_dir/qe-deb-src"
  rm -f "$out.list.new" "$out.sources.new"
  awk -v list_out="$out.list.new" -v sources_out="$out.sources.new" \
    -f "$qe_apt_helpers_dir/derive-deb-src.awk" "${lists[@]}" || status=$?
  case "$status" in
    0)
      for f in "$out.list" "$out.sources"; do
        if [ -f "$f.new" ]; then
          mv "$f.new" "$f"
          echo "setup: source entries derived from the machine's package entries: $f"
        fi
      done ;;
    3) return 1 ;;
    4) echo "setup: no package entry in ${lists[*]} to derive a source entry from; source packages cannot be fetched" >&2
       return 1 ;;
    *) rm -f "$out.list.new" "$out.sources.new"
       echo "setup: could not derive source entries from ${lists[*]}" >&2
       return 1 ;;
  esac
}

qe_apt_helpers_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
