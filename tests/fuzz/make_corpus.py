#!/usr/bin/env python3
"""Writes the seed corpus of the BMP fuzz target into tests/fuzz/corpus/."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")


def bmp(width=8, height=2, planes=1, bits=4, compression=0, info_size=40, off_bits=None,
        colors=16, file_size=None, rows=None, magic=b"BM", clr_used=0):
    extension = b"\x00" * max(0, info_size - 40)
    table = bytes((i * 16) & 0xFF for i in range(colors * 4))
    if off_bits is None:
        off_bits = 14 + 40 + len(extension) + len(table)
    row_bytes = (abs(width) * bits + 31) // 32 * 4
    if rows is None:
        rows = bytes((i * 7 + 1) & 0xFF for i in range(row_bytes * abs(height)))
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, planes, bits, compression,
                       len(rows), 2835, 2835, clr_used, 0)
    body = info + extension + table
    data = bytearray(magic + b"\x00" * 12 + body)
    if off_bits - len(data) < 1 << 20:  # rows at bfOffBits unless that lies absurdly far out
        data += b"\x00" * max(0, off_bits - len(data))
    data += rows
    struct.pack_into("<II", data, 2, len(data) if file_size is None else file_size, 0)
    struct.pack_into("<I", data, 10, off_bits)
    return bytes(data)


SEEDS = {
    "valid_8x2": bmp(),
    "valid_190x102": bmp(190, 102),
    "valid_top_down": bmp(8, -4),
    "valid_info_124": bmp(info_size=124),
    "valid_two_colours": bmp(8, 14, colors=2, off_bits=62),
    "huge_bfsize": bmp(file_size=0xFFFFFFFF),
    "tiny_bfsize_tall": bmp(16, 600, file_size=118, rows=b"\x11" * 24),
    "short_header": bmp()[:10],
    "short_colour_table": bmp()[:100],
    "not_bmp": bmp(magic=b"MB"),
    "planes_2": bmp(planes=2),
    "bits_8": bmp(bits=8, colors=16),
    "bits_24": bmp(8, 8, bits=24, colors=0),
    "rle4": bmp(compression=2),
    "rle8": bmp(bits=8, compression=1),
    "height_0": bmp(8, 0),
    "width_negative": bmp(-8, 2),
    "rows_100000": bmp(8, 100000, rows=b""),
    "off_bits_far": bmp(off_bits=0x7FFFFFF0, rows=b""),
    "clr_used_17": bmp(clr_used=17),
    "clr_used_256": bmp(clr_used=256),
    "clr_used_max": bmp(clr_used=0xFFFFFFFF),
}

os.makedirs(OUT, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
        f.write(data)
print(f"{len(SEEDS)} seeds in {OUT}")
