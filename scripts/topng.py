#!/usr/bin/env python3
"""Converts an X window dump (xwd) or an uncompressed 24/32-bit BMP to PNG, standard library only.

    topng.py IN OUT.png [SCALE]
"""
import struct
import sys
import zlib


def read_xwd(data):
    f = struct.unpack(">25I", data[:100])
    header_size, width, height = f[0], f[4], f[5]
    byte_order, bits, bytes_per_line = f[7], f[11], f[12]
    masks, colors = f[14:17], f[19]
    if bits != 32:
        raise ValueError("only 32-bit window dumps are handled")
    start = header_size + colors * 12
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    fmt = "<I" if byte_order == 0 else ">I"
    rows = []
    for y in range(height):
        row = bytearray()
        base = start + y * bytes_per_line
        for x in range(width):
            (v,) = struct.unpack_from(fmt, data, base + 4 * x)
            row += bytes(((v & m) >> s) & 0xFF for m, s in zip(masks, shifts))
        rows.append(row)
    return width, height, rows


def read_bmp(data):
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits not in (24, 32):
        raise ValueError("only 24 and 32-bit BMP files are handled")
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = height - 1 - y if height > 0 else y
        base = offset + src * stride
        row = bytearray()
        for x in range(width):
            b, g, r = data[base + x * step : base + x * step + 3]
            row += bytes((r, g, b))
        rows.append(row)
    return width, abs(height), rows


def write_png(path, width, height, rows, scale):
    raw = bytearray()
    for row in rows:
        wide = bytearray()
        for x in range(width):
            wide += row[3 * x : 3 * x + 3] * scale
        for _ in range(scale):
            raw += b"\0" + wide

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width * scale, height * scale, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    data = open(sys.argv[1], "rb").read()
    scale = int(sys.argv[3]) if len(sys.argv) == 4 else 1
    width, height, rows = read_bmp(data) if data[:2] == b"BM" else read_xwd(data)
    write_png(sys.argv[2], width, height, rows, scale)


if __name__ == "__main__":
    main()
