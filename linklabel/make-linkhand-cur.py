#!/usr/bin/env python3
"""Writes LinkHand.cur: the 32x32 monochrome pointing hand shown over links.

The picture below is the cursor, top row first: 'X' black, 'o' white, '.' transparent.
The tip of the index finger is the hot spot, at (5, 0).
Usage: make-linkhand-cur.py [output path]
"""
import struct
import sys

PICTURE = """
.....XX.........
....XooX........
....XooX........
....XooX........
....XooX........
....XooXXX......
....XooXooXXX...
....XooXooXooXX.
....XooXooXooXoX
.XX.XooooooooXoX
XooXXoooooooooX.
XoooXoooooooooX.
.XooXoooooooooX.
..XoXoooooooooX.
..XooooooooooX..
...XoooooooooX..
...XooooooooX...
....XoooooooX...
.....XooooooX...
.....XXXXXXXX...
"""
HOT_SPOT = (5, 0)
SIZE = 32


def masks(rows):
    """The XOR (colour) and AND (transparency) masks, bottom row first, 4 bytes a row."""
    xor_rows, and_rows = [], []
    for y in range(SIZE):
        line = rows[y] if y < len(rows) else ""
        xor_bits = and_bits = 0
        for x in range(SIZE):
            c = line[x] if x < len(line) else "."
            bit = 1 << (31 - x)
            if c == ".":
                and_bits |= bit
            elif c == "o":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    return b"".join(reversed(xor_rows)), b"".join(reversed(and_rows))


def cursor_file():
    rows = [r for r in PICTURE.strip().splitlines()]
    xor_mask, and_mask = masks(rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 2)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "LinkHand.cur"
    with open(path, "wb") as f:
        f.write(cursor_file())
