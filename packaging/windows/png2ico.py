#!/usr/bin/env python3
"""Packs PNG images into one Windows icon file, each image kept as PNG (as Windows reads them
since Vista). Usage: png2ico.py OUT.ico IMAGE.png..."""
import struct
import sys


def main():
    out, pngs = sys.argv[1], sys.argv[2:]
    images = [open(p, 'rb').read() for p in pngs]
    entries = b''
    offset = 6 + 16 * len(images)
    for png in images:
        if png[:8] != b'\x89PNG\r\n\x1a\n':
            sys.exit('not a PNG image')
        width, height = struct.unpack('>II', png[16:24])
        # 256 is written as 0, as the format has one byte for each side.
        entries += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 32, len(png),
                               offset)
        offset += len(png)
    with open(out, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + entries + b''.join(images))


main()
