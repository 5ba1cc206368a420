#!/usr/bin/env python3
"""Copies a linked image and spoils the signature word of its fixed version block.

The installed-driver check accepts a version resource only if VS_FIXEDFILEINFO starts
with the signature 0xFEEF04BD. No resource compiler writes another value, so the
fixture for that case is a good image with the signature patched after linking.

Usage: patch_signature.py <input image> <output image>
The input must hold the signature exactly once; the output gets 0xFEEF04BE instead.
"""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)
REPLACEMENT = struct.pack("<I", 0xFEEF04BE)


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    data = open(argv[1], "rb").read()
    count = data.count(SIGNATURE)
    if count != 1:
        raise SystemExit("%s: signature found %d times, expected once" % (argv[1], count))
    with open(argv[2], "wb") as f:
        f.write(data.replace(SIGNATURE, REPLACEMENT))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
