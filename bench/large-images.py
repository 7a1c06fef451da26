#!/usr/bin/env python3
"""Writes the images of bench/image-limits.sh that are too large to keep in tests/core/images/:
images at the limits in every format, decoder bombs, and files padded to their size limit.

    bench/large-images.py FOLDER

Pixels are black. Each name says what the image is or declares."""
import struct
import sys
import zlib
from pathlib import Path


def le(fmt, *values):
    return struct.pack("<" + fmt, *values)


def be(fmt, *values):
    return struct.pack(">" + fmt, *values)


def deflated_zeros(count):
    z = zlib.compressobj(9)
    block = bytes(1 << 20)
    parts = [z.compress(block[: min(count - at, len(block))]) for at in range(0, count, len(block))]
    return b"".join(parts) + z.flush()


def png_chunk(kind, data):
    return be("I", len(data)) + kind + data + be("I", zlib.crc32(kind + data))


def png(w, h, depth=8, colour=6, interlaced=False, extra=b""):
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
              (0, 1, 1, 2)] if interlaced else [(0, 0, 1, 1)]
    raw = 0
    for x, y, dx, dy in passes:
        pw, ph = (w - x + dx - 1) // dx, (h - y + dy - 1) // dy
        if pw > 0 and ph > 0:
            raw += ph * (1 + (pw * channels * depth + 7) // 8)
    header = be("IIBBBBB", w, h, depth, colour, 0, 0, int(interlaced))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra +
            png_chunk(b"IDAT", deflated_zeros(raw)) + png_chunk(b"IEND", b""))


def gif(screen, frame, frames=1, lzw_bytes=0):
    """A two-colour GIF. Without lzw_bytes each pixel is a code of 3 bits, with a clear code before
    every two (an even number of pixels); with it, about that many bytes of codes that each stand
    for some 4000 pixels: codes one pixel longer each up to the 4096th, then the longest again."""
    if not lzw_bytes:
        pairs = frame[2] * frame[3] // 2
        eight = sum(4 << (9 * i) for i in range(8)).to_bytes(9, "little")  # clear, 0, 0
        tail = sum(4 << (9 * i) for i in range(pairs % 8)) | 5 << (9 * (pairs % 8))
        data = eight * (pairs // 8) + tail.to_bytes((9 * (pairs % 8) + 10) // 8, "little")
    else:
        acc, n, size, limit = 4, 6, 3, 8  # clear, 0
        for code in range(6, 4096):
            acc |= code << n
            n += size
            if code + 1 >= limit and limit < 4096:
                limit, size = limit * 2, size + 1
        fill = max(0, (lzw_bytes * 8 - n + 11) // 12)
        acc |= ((1 << 12 * fill) - 1) << n | 5 << (n + 12 * fill)
        data = acc.to_bytes((n + 12 * fill + 12 + 7) // 8, "little")
    blocks = b"\x02" + b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                                for i in range(0, len(data), 255)) + b"\x00"
    return (b"GIF89a" + le("HH", *screen) + b"\x80\0\0\0\0\0\xff\xff\xff" +
            (b"," + le("HHHH", *frame) + b"\0" + blocks) * frames + b";")


def jpeg_bits(codes):
    acc, n = 0, 0
    for value, size in codes:
        acc, n = acc << size | value, n + size
    pad = -n % 8
    return (acc << pad | (1 << pad) - 1).to_bytes((n + pad) // 8, "big").replace(b"\xff", b"\xff\0")


def jpeg(w, h, components=3, scans=0):
    """Mid grey: baseline when scans is 0, else progressive with a DC scan and `scans` AC scans,
    each a pass over every block of one component (runs of 16384 or more ends of band)."""
    def segment(marker, payload):
        return bytes([0xFF, marker]) + be("H", len(payload) + 2) + payload

    def table(kind, symbol):
        return bytes([kind, 1]) + bytes(15) + bytes([symbol])

    ids = range(1, components + 1)
    blocks = ((w + 7) // 8) * ((h + 7) // 8)
    out = b"\xff\xd8" + segment(0xDB, b"\0" + b"\1" * 64)
    out += segment(0xC2 if scans else 0xC0,
                   b"\x08" + be("HHB", h, w, components) + b"".join(bytes([c, 0x11, 0]) for c in ids))
    out += segment(0xC4, table(0, 0)) + segment(0xC4, table(0x10, 0xE0 if scans else 0))
    out += segment(0xDA, bytes([components]) + b"".join(bytes([c, 0]) for c in ids) +
                   (bytes(3) if scans else b"\0\x3f\0"))
    bits = blocks * components * (1 if scans else 2)  # DC 0 (and an end of block) a block
    out += bytes(bits // 8) + (bytes([0xFF >> bits % 8]) if bits % 8 else b"")
    for s in range(scans):
        runs = [(v, n) for left in range(blocks, 0, -32767)
                for v, n in [(0, 1), (min(max(left, 16384), 32767) - 16384, 14)]]
        out += segment(0xDA, bytes([1, 1 + s % components]) + b"\0\x01\x3f\0") + jpeg_bits(runs)
    return out + b"\xff\xd9"


def ico_bitmap(entry, w, h, bits):
    colours = 1 << bits if bits <= 8 else 0
    size = ((w * bits + 31) // 32 * 4 + (w + 31) // 32 * 4) * h  # pixels and mask
    image = (le("IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, size, 0, 0, 0, 0) +
             (bytes(4) + b"\xff\xff\xff\0" * (colours - 1) if colours else b"") + bytes(size))
    return (le("HHH", 0, 1, 1) + bytes([entry % 256, entry % 256, colours % 256, 0]) +
            le("HHII", 1, bits, len(image), 22) + image)


def xbm(w, h):
    return (b"#define x_width %d\n#define x_height %d\nstatic char x_bits[] = {\n" % (w, h) +
            b"0x00," * ((w + 7) // 8 * h) + b"};\n")


def xpm(w, h):
    return (b'/* XPM */\nstatic const char *x[] = {\n"%d %d 2 1",\n"a c #000000",\n'
            b'"b c #FFFFFF",\n' % (w, h) + (b'"' + b"a" * w + b'",\n') * h + b"};\n")


def images():
    text = png_chunk(b"zTXt", b"k\0\0" + zlib.compress(b"a" * 7_900_000, 9))
    comments = (b"\xff\xfe\xff\xff" + b" " * 65533) * 450
    bmp_pixels = 3000 * 3 * 3000
    # Accepted: the most work and memory an image within the limits takes.
    yield "png-rgba16-4096x4096.png", png(4096, 4096, 16)
    yield "png-rgba8-interlaced-4096x4096.png", png(4096, 4096, interlaced=True)
    yield "png-50x8-990-text-chunks-of-7.9-mb.png", png(50, 8, extra=text * 990)
    yield "jpeg-4096x4096.jpg", jpeg(4096, 4096)
    yield "jpeg-progressive-4096x4096-100-scans.jpg", jpeg(4096, 4096, 3, 99)
    yield "gif-4096x4096.gif", gif((4096, 4096), (0, 0, 4096, 4096))
    yield "gif-50x8-30-mb-of-codes.gif", gif((50, 8), (0, 0, 50, 8), 1, 30_000_000)
    yield "gif-50x8-100000-frames.gif", gif((50, 8), (0, 0, 50, 8), 100_000)
    yield "bmp-rgb24-3000x3000.bmp", (b"BM" + le("III", 54 + bmp_pixels, 0, 54) +
                                      le("IiiHHIIiiII", 40, 3000, 3000, 1, 24, 0, bmp_pixels, 0,
                                         0, 0, 0) + bytes(bmp_pixels))
    yield "ppm-3200x3200.ppm", b"P6\n3200 3200\n255\n" + bytes(3200 * 3200 * 3)
    yield "pgm-16bit-3900x3900.pgm", b"P5\n3900 3900\n65535\n" + bytes(3900 * 3900 * 2)
    yield "pbm-plain-2000x2000.pbm", b"P1\n2000 2000\n" + b"0 " * (2000 * 2000)
    yield "pbm-4096x4096.pbm", b"P4\n4096 4096\n" + bytes(512 * 4096)
    yield "xbm-2800x2800.xbm", xbm(2800, 2800)
    yield "xpm-2800x2800.xpm", xpm(2800, 2800)
    yield "ico-bitmap-32bit-256x256.ico", ico_bitmap(0, 256, 256, 32)
    # Accepted: a small image after tens of megabytes that the parser has to go through.
    yield "pbm-plain-8x8-after-8-mb-of-comments.pbm", (b"P1\n8 8\n" + b"# a comment\n" * 690_000 +
                                                       b"0 " * 64)
    yield "xbm-8x8-padded-to-8-mb.xbm", xbm(8, 8).replace(b"{", b"{" + b" " * 8_000_000)
    yield "xpm-8x8-padded-to-8-mb.xpm", xpm(8, 8).replace(b"*/", b"*/" + b" " * 8_000_000)
    yield "jpeg-8x8-after-29-mb-of-comments.jpg", b"\xff\xd8" + comments + jpeg(8, 8)[2:]
    # Refused.
    yield "png-8192x8192.png", png(8192, 8192)
    yield "gif-frame-65535x65535-on-screen-50x8.gif", gif((50, 8), (0, 0, 65535, 65535), 1,
                                                          30_000_000)
    yield "ico-entry-256x256-holds-bitmap-32768x4000.ico", ico_bitmap(0, 32768, 4000, 1)
    yield "jpeg-4096x4096-10001-scans.jpg", jpeg(4096, 4096, 1, 10_000)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: large-images.py FOLDER")
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in images():
        (folder / name).write_bytes(data)
