#!/usr/bin/env python3
"""Checks that the layers depend on each other one way only.

Two checks, each naming every place at fault:
- includes: a file of a folder includes only from the folders below it, and a test only
  from the layer it tests, the layers below that and their tests' helpers (so no test of
  a layer reaches into the producer);
- links: a library's objects need no symbol that only a library above it defines, and a
  program contains no code of a library it must not link.

Usage: check-layers.py SOURCE_DIR NM LIBRARY... [--absent PROGRAM=FILE:LIBRARY...]
where LIBRARY is NAME=FILE[:ALLOWED,...] naming the libraries below it.
"""
import re
import subprocess
import sys
from pathlib import Path

# Which folders each folder's files may include from, besides its own.
INCLUDES = {
    "language": ["platform"],
    "platform": [],
    "linklabel": ["platform/Exceptions.h"],
    # The Windows side of the label converts its UTF-8 text where the wide API meets it.
    "linklabel/win32": ["linklabel", "platform/Exceptions.h", "platform/win32/Win32Text.h"],
    "package": ["platform", "language"],
    "engine": ["package", "platform", "language"],
    "app": ["engine", "package", "platform", "language", "linklabel"],
    "tools/qepack": ["package", "platform", "language"],
}
# The layer each folder of tests tests: its files may include what that layer may, and
# the test helpers of that layer and of the layers below it.
TESTS = {
    "tests/language": "language",
    "tests/platform": "platform",
    "tests/package": "package",
    "tests/engine": "engine",
    "tests/app": "app",
    "tests/window": "app",
    "tests/linklabel": "linklabel",
    "tests/linklabel/win32": "linklabel/win32",
    "tests/qepack": "tools/qepack",
}
for tests, layer in TESTS.items():
    below = [layer] + INCLUDES[layer]
    INCLUDES[tests] = below + [t for t, l in TESTS.items() if t != tests and any(l == b or l.startswith(b + "/") for b in below)]
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(relative):
    for folder in sorted(INCLUDES, key=len, reverse=True):
        if relative == folder or relative.startswith(folder + "/"):
            return folder
    return None


def include_faults(source_dir):
    faults = []
    for path in sorted(source_dir.rglob("*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(source_dir).parts:
            continue
        relative = path.relative_to(source_dir).as_posix()
        folder = folder_of(relative)
        if folder is None:
            continue
        allowed = [folder] + INCLUDES[folder]
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE_LINE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = match.group(1)
            if not any(target == a or target.startswith(a + "/") for a in allowed):
                faults.append(f"{relative}:{number}: {folder}/ includes {target}")
    return faults


def symbols(nm, file):
    """The symbols file defines (weak ones too) and those it needs from elsewhere."""
    out = subprocess.run([nm, "-P", file], check=True, capture_output=True, text=True).stdout
    defined, undefined = set(), set()
    for line in out.splitlines():
        fields = line.split()
        if len(fields) < 2 or line.endswith(":"):
            continue
        name, kind = fields[0], fields[1]
        if kind in "Uw" and len(kind) == 1:
            undefined.add(name)
        elif kind not in "?":
            defined.add(name)
    return defined, undefined


def code_of(nm, file):
    """The functions file defines as its own: weak copies of templates are everyone's."""
    out = subprocess.run([nm, "-P", file], check=True, capture_output=True, text=True).stdout
    return {fields[0] for fields in map(str.split, out.splitlines()) if len(fields) >= 2 and fields[1] == "T"}


def main(args):
    source_dir, nm = Path(args[0]), args[1]
    libraries, absent = {}, []
    rest = args[2:]
    if "--absent" in rest:
        at = rest.index("--absent")
        absent, rest = rest[at + 1 :], rest[:at]
    for spec in rest:
        name, _, value = spec.partition("=")
        file, _, below = value.partition(":")
        libraries[name] = (file, [b for b in below.split(",") if b])

    faults = include_faults(source_dir)
    table = {name: symbols(nm, file) for name, (file, _) in libraries.items()}
    for name, (file, below) in libraries.items():
        defined, undefined = table[name]
        allowed = set(defined)
        for lower in below:
            allowed |= table[lower][0]
        for other in libraries:
            if other == name or other in below:
                continue
            for symbol in sorted((undefined - allowed) & table[other][0]):
                faults.append(f"{name} needs {symbol} from {other}, which it must not link")
    for spec in absent:
        program, _, value = spec.partition("=")
        file, _, library = value.partition(":")
        program_defined, _ = symbols(nm, file)
        for symbol in sorted(program_defined & code_of(nm, libraries[library][0])):
            faults.append(f"{program} contains {symbol} of {library}, which it must not link")

    for fault in faults:
        print(fault)
    print(f"{len(faults)} layer faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
