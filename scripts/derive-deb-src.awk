# Derives source entries ("deb-src") from the machine's package entries ("deb"): the same
# URIs, suites, components and keyring, so that the sources come from the mirror the
# machine already uses. Reads one-line lists (*.list, sources.list) and deb822 lists
# (*.sources), and passes over disabled entries and CD-ROMs; writes the derived one-line entries to list_out and the derived deb822
# stanzas to sources_out, each only when there is one.
# Exit status: 0 written, 3 a source entry exists already (nothing written), 4 no "deb"
# entry to derive one from.
# Usage: awk -v list_out=FILE -v sources_out=FILE -f derive-deb-src.awk LIST...

function lower(s) { return tolower(s) }

# One-line entry: "deb [options] URI SUITE [COMPONENT...]  # comment".
function one_line(line,    n, words, i, j, out, options, opt, k, kept) {
  sub(/[ \t]*#.*$/, "", line)
  n = split(line, words, /[ \t]+/)
  if (words[1] == "") { for (i = 1; i < n; i++) words[i] = words[i + 1]; n-- }
  if (n == 0) return
  if (words[1] == "deb-src") { has_src = 1; return }
  if (words[1] != "deb") return
  i = 2
  out = "deb-src"
  if (substr(words[2], 1, 1) == "[") {
    # Options run to the word that ends in "]"; the architecture does not apply to sources.
    options = ""
    for (; i <= n; i++) {
      options = options " " words[i]
      if (words[i] ~ /\]$/) { i++; break }
    }
    gsub(/[\[\]]/, " ", options)
    k = split(options, opt, /[ \t]+/)
    kept = ""
    for (j = 1; j <= k; j++)
      if (opt[j] != "" && opt[j] !~ /^arch[-+]?=/) kept = kept (kept == "" ? "" : " ") opt[j]
    if (kept != "") out = out " [" kept "]"
  }
  if (words[i] ~ /^cdrom:/) return
  for (; i <= n; i++) out = out " " words[i]
  add(lines_seen, out, "list")
}

function add(seen, text, kind) {
  if (text in seen) return
  seen[text] = 1
  if (kind == "list") list_text = list_text text "\n"
  else sources_text = sources_text (sources_text == "" ? "" : "\n") text
  derived++
}

# deb822 stanza, collected in fields[1..nfields] (each "Name: value" with its continuation lines).
function end_stanza(    i, name, types, enabled, uris, is_deb, n, t, out) {
  if (nfields == 0) return
  types = ""; enabled = "yes"; uris = ""
  for (i = 1; i <= nfields; i++) {
    name = lower(names[i])
    if (name == "types") types = values[i]
    if (name == "enabled") enabled = lower(values[i])
    if (name == "uris") uris = values[i]
  }
  if (enabled !~ /^[ \t]*no[ \t]*$/ && uris !~ /^cdrom:/) {
    n = split(types, t, /[ \t]+/)
    is_deb = 0
    for (i = 1; i <= n; i++) {
      if (t[i] == "deb-src") has_src = 1
      if (t[i] == "deb") is_deb = 1
    }
    if (is_deb) {
      out = "Types: deb-src\n"
      for (i = 1; i <= nfields; i++) {
        name = lower(names[i])
        if (name != "types" && name != "architectures" && name != "enabled") out = out fields[i] "\n"
      }
      add(stanzas_seen, out, "sources")
    }
  }
  nfields = 0
}

FNR == 1 { end_stanza(); deb822 = FILENAME ~ /\.sources$/ }

!deb822 { one_line($0); next }

/^#/ { next }
/^[ \t]*$/ { end_stanza(); next }
/^[ \t]/ { if (nfields > 0) { fields[nfields] = fields[nfields] "\n" $0; values[nfields] = values[nfields] " " $0 } next }
{
  nfields++
  fields[nfields] = $0
  names[nfields] = $0; sub(/:.*$/, "", names[nfields])
  values[nfields] = $0; sub(/^[^:]*:[ \t]*/, "", values[nfields])
}

END {
  end_stanza()
  if (has_src) exit 3
  if (!derived) exit 4
  if (list_text != "") printf "%s", list_text > list_out
  if (sources_text != "") printf "%s", sources_text > sources_out
  exit 0
}
