#!/usr/bin/env python3
"""Writes the C++ source that carries the language files into the program.

Usage: embed-languages.py OUTPUT TEXTS_DIR CODE...  (English first)

Each file is carried as its text lines alone: comments and blank lines are for the
translator and stay out of setup.exe. The bytes are written as a char array, so that no
text can end a string literal early.
"""
import sys
from pathlib import Path


def text_lines(path):
    lines = []
    for line in path.read_bytes().decode("utf-8-sig").splitlines():
        stripped = line.strip()
        if stripped and not stripped.startswith("#"):
            lines.append(stripped)
    return ("\n".join(lines) + "\n").encode("utf-8")


def main(output, texts, codes):
    arrays, entries = [], []
    for index, code in enumerate(codes):
        data = text_lines(Path(texts) / f"{code}.txt")
        body = ",".join(str(b if b < 128 else b - 256) for b in data)
        arrays.append(f"const char Language{index}[] = {{{body}}};")
        entries.append(f'    {{"{code}", std::string_view(Language{index}, {len(data)})}},')
    source = f"""// Made by language/embed-languages.py from language/texts; do not edit.
#include "language/Languages.h"

namespace qe {{
namespace {{

{chr(10).join(arrays)}

const TLanguageFile Files[] = {{
{chr(10).join(entries)}
}};

}} // namespace

std::span<const TLanguageFile> LanguageFiles()
{{
    return Files;
}}

}} // namespace qe
"""
    out = Path(output)
    if not out.exists() or out.read_text(encoding="utf-8") != source:
        out.write_text(source, encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
