#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_bmp_load: small valid BMP files of every accepted layout and
malformed variants of them. Run from anywhere; rewrites fuzz/corpus/bmp_load/."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp_load")


def bmp(width, height, bits, top_down=False, header=40, compression=0, palette=0):
    masks = compression == 3 and header == 40
    entries = (palette or 256) if bits == 8 else 0
    offset = 14 + header + (12 if masks else 0) + 4 * entries
    stride = (width * bits + 31) // 32 * 4
    info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits,
                       compression, stride * height, 2835, 2835, palette, 0)
    info += b"\0" * (header - len(info))
    if compression == 3:
        info = info[:40] + struct.pack("<III", 0xFF0000, 0xFF00, 0xFF) + info[52:]
    extra = info[40:52] if masks else b""
    if masks:
        info = info[:40]
    table = b"".join(struct.pack("<BBBB", i * 7 % 256, i * 13 % 256, i * 29 % 256, 0)
                     for i in range(entries))
    rows = bytearray()
    for r in range(height):
        row = bytearray()
        for x in range(width):
            if bits == 8:
                row.append((x + r * width) % 256)
            else:
                row += bytes([x * 40 % 256, r * 50 % 256, (x + r) * 30 % 256] + [0] * (bits // 8 - 3))
        row += b"\xEE" * (stride - len(row))
        rows += row
    body = info + extra + table + bytes(rows)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def patched(data, at, fmt, value):
    data = bytearray(data)
    struct.pack_into(fmt, data, at, value)
    return bytes(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in os.listdir(OUT):
        os.remove(os.path.join(OUT, name))
    seeds = {
        "valid_8_bottom_up.bmp": bmp(5, 3, 8),
        "valid_8_top_down_short_palette.bmp": bmp(7, 2, 8, top_down=True, palette=9),
        "valid_24_bottom_up.bmp": bmp(3, 4, 24),
        "valid_24_top_down.bmp": bmp(6, 5, 24, top_down=True),
        "valid_32_bottom_up.bmp": bmp(4, 3, 32),
        "valid_32_bitfields_v4.bmp": bmp(3, 2, 32, header=108, compression=3),
        "valid_32_bitfields_v1.bmp": bmp(2, 2, 32, compression=3),
        "valid_24_v5_large.bmp": bmp(50, 40, 24, header=124),
    }
    base = bmp(5, 3, 24)
    pal = bmp(5, 3, 8)
    seeds.update({
        "bad_truncated.bmp": base[:-1],
        "bad_header_only.bmp": base[:30],
        "bad_signature.bmp": b"MB" + base[2:],
        "bad_zero_width.bmp": patched(base, 18, "<i", 0),
        "bad_negative_width.bmp": patched(base, 18, "<i", -5),
        "bad_zero_height.bmp": patched(base, 22, "<i", 0),
        "bad_min_height.bmp": patched(base, 22, "<i", -2**31),
        "bad_planes.bmp": patched(base, 26, "<H", 3),
        "bad_bits.bmp": patched(base, 28, "<H", 16),
        "bad_compression.bmp": patched(pal, 30, "<I", 1),
        "bad_masks.bmp": patched(bmp(2, 2, 32, compression=3), 54, "<I", 0xFF),
        "bad_huge.bmp": patched(patched(base, 18, "<i", 40000), 22, "<i", 40000),
        "bad_offset.bmp": patched(base, 10, "<I", 0xFFFFFFF0),
        "bad_palette_count.bmp": patched(pal, 46, "<I", 257),
        "bad_header_size.bmp": patched(base, 14, "<I", 12),
    })
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
