#!/usr/bin/env python3
"""Converts an uncompressed 8-bit (palette), 24-bit or 32-bit BMP to an RGB PNG.

    scripts/bmp_to_png.py picture.bmp picture.png

Only the standard library is used. The README's pictures are made with it from the BMPs that
the example program and the picture test write.
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    header_size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    colours_used = struct.unpack_from("<I", data, 46)[0]
    if compression not in (0, 3) or bits not in (8, 24, 32):
        sys.exit(f"{path}: only uncompressed 8, 24 and 32-bit pictures are read")
    palette = []
    if bits == 8:
        start = 14 + header_size
        for i in range(colours_used or 256):
            b, g, r, _ = data[start + 4 * i:start + 4 * i + 4]
            palette.append(bytes((r, g, b)))
    top_down = height < 0
    height = abs(height)
    stride = (width * bits // 8 + 3) // 4 * 4
    rows = []
    for y in range(height):
        at = offset + (y if top_down else height - 1 - y) * stride
        row = bytearray()
        for x in range(width):
            if bits == 8:
                row += palette[data[at + x]]
            else:
                step = bits // 8
                b, g, r = data[at + x * step:at + x * step + 3]
                row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_bmp(sys.argv[1])
    write_png(sys.argv[2], width, height, rows)


if __name__ == "__main__":
    main()
