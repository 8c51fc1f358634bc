#!/usr/bin/env python3
"""Converts a 32-bit X window dump, as xwd writes it, to an RGB PNG.

    scripts/xwd_to_png.py window.xwd window.png

Only the standard library is used; the PNG is written by bmp_to_png.py beside this script.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_to_png import write_png  # noqa: E402


def read_xwd(path):
    data = open(path, "rb").read()
    fields = struct.unpack_from(">25I", data, 0)
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits, bytes_per_line = fields[7], fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if fields[1] != 7 or bits != 32:
        sys.exit(f"{path}: only 32-bit window dumps of version 7 are read")
    start = header_size + colours * 12
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    order = "<" if byte_order == 0 else ">"
    rows = []
    for y in range(height):
        pixels = struct.unpack_from(f"{order}{width}I", data, start + y * bytes_per_line)
        rows.append(bytes(b for v in pixels for b in ((v & m) >> s for m, s in zip(masks, shifts))))
    return width, height, rows


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_png(sys.argv[2], *read_xwd(sys.argv[1]))


if __name__ == "__main__":
    main()
