#!/usr/bin/env python3
"""Moves the PE header of a Windows executable to byte 256, so that bytes 128 to 255,
between the DOS stub and the PE header, are free (the installer keeps its package
offset at bytes 136 to 139). Running it again on a moved file changes nothing."""
import struct
import sys

NEW_START = 256


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:2] != b"MZ":
        sys.exit(f"{path}: not a Windows executable")
    start = struct.unpack_from("<I", data, 0x3C)[0]
    if data[start:start + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE header at {start}")
    if start == NEW_START:
        return
    if start > NEW_START:
        sys.exit(f"{path}: the PE header already starts beyond byte {NEW_START}")
    sections, = struct.unpack_from("<H", data, start + 6)
    optional_size, = struct.unpack_from("<H", data, start + 20)
    length = 24 + optional_size + 40 * sections
    headers_size, = struct.unpack_from("<I", data, start + 24 + 60)
    if NEW_START + length > headers_size:
        sys.exit(f"{path}: no room to move the PE header ({NEW_START + length} > {headers_size})")
    header = bytes(data[start:start + length])
    data[start:NEW_START + length] = bytes(NEW_START + length - start)
    data[NEW_START:NEW_START + length] = header
    struct.pack_into("<I", data, 0x3C, NEW_START)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
