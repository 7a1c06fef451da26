#!/usr/bin/env python3
"""Turns a bundled BDF font into the compact form the programs open at start-up.

    tools/fonts/pack-font.py FONT.bdf FONT.orvf

The build runs this for every bundled font. The form holds the glyphs exactly as the programs'
FreeType reader makes them from the BDF file (tst_text compares every glyph of both), so that
opening a bundled font is a copy rather than a parse. All numbers are little-endian:

    "ORVF" 1          magic and version (5 bytes)
    ascent descent    one byte each: the font's rows above and below the baseline
    count             4 bytes: the number of glyphs, in the order of their code points
    per glyph         code (4 bytes), advance (2 bytes), column count (2 bytes), then the
                      columns, one byte each: bit 7 = row 1 .. bit 0 = row 8, from the leftmost
                      to the rightmost inked column; none for a glyph without ink

Only what the bundled fonts use is read: a Unicode (ISO10646 or ISO8859-1) BDF font of at most
8 rows whose glyphs lie within those rows. Anything else stops the build with a message.
"""

import struct
import sys

ROWS = 8


def fail(path, line, text):
    sys.exit("%s:%d: %s" % (path, line, text))


def read_bdf(path):
    """The font's properties, its bounding box width and its glyphs (code, advance, rows)."""
    props, bbox_width, glyphs = {}, 0, []
    glyph, bitmap = None, None
    with open(path, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            words = line.split()
            if not words:
                continue
            key = words[0]
            if bitmap is not None and key != "ENDCHAR":
                bitmap.append(int(key, 16))
            elif key == "FONTBOUNDINGBOX":
                bbox_width = int(words[1])
            elif key in ("FONT_ASCENT", "FONT_DESCENT", "CHARSET_REGISTRY", "CHARSET_ENCODING"):
                props[key] = words[1].strip('"')
            elif key == "STARTCHAR":
                glyph = {"code": -1, "advance": 0, "bbx": (0, 0, 0, 0), "line": number}
            elif key == "ENCODING":
                glyph["code"] = int(words[1])
            elif key == "DWIDTH":
                glyph["advance"] = int(words[1])
            elif key == "BBX":
                glyph["bbx"] = tuple(int(w) for w in words[1:5])
            elif key == "BITMAP":
                bitmap = []
            elif key == "ENDCHAR":
                glyph["bitmap"] = bitmap or []
                glyphs.append(glyph)
                glyph, bitmap = None, None
    registry = props.get("CHARSET_REGISTRY", "").upper()
    if registry not in ("", "ISO10646") and (registry, props.get("CHARSET_ENCODING")) != (
            "ISO8859", "1"):
        fail(path, 1, "not a Unicode font; the bundled fonts are")
    return props, bbox_width, glyphs


def inked_columns(path, glyph):
    """(bottom, columns): the lowest inked row's height above the baseline, and the inked
    columns with that row as bit 0; (0, []) for a glyph without ink."""
    width, height, _, yoff = glyph["bbx"]
    rows = glyph["bitmap"][:height]
    row_bytes = (width + 7) // 8
    pixels = [[(bits >> (8 * row_bytes - 1 - x)) & 1 for x in range(width)] for bits in rows]
    inked = [(r, x) for r, row in enumerate(pixels) for x, p in enumerate(row) if p]
    if not inked:
        return 0, []
    top, bottom = min(r for r, _ in inked), max(r for r, _ in inked)
    left, right = min(x for _, x in inked), max(x for _, x in inked)
    if bottom - top + 1 > ROWS:
        fail(path, glyph["line"], "a glyph taller than %d rows" % ROWS)
    columns = []
    for x in range(left, right + 1):
        column = 0
        for r in range(top, bottom + 1):
            column |= pixels[r][x] << (bottom - r)
        columns.append(column)
    # Bitmap row r lies at y = yoff + height - 1 - r.
    return yoff + height - 1 - bottom, columns


def pack(path):
    props, bbox_width, glyphs = read_bdf(path)
    ascent, descent = int(props.get("FONT_ASCENT", 0)), int(props.get("FONT_DESCENT", 0))
    placed = {}
    for glyph in glyphs:
        code = glyph["code"]
        if code < 0 or code > 0x10FFFF or 0xD800 <= code <= 0xDFFF:
            continue
        bottom, columns = inked_columns(path, glyph)
        if columns:
            top = bottom + max(c.bit_length() for c in columns) - 1
            ascent, descent = max(ascent, top + 1), max(descent, -bottom)
        placed[code] = (glyph["advance"], bottom, columns)
    if ascent + descent > ROWS or ascent + descent < 1:
        fail(path, 1, "the font is %d rows high" % (ascent + descent))
    if 0x20 not in placed:  # a space is always there, as wide as the font
        placed[0x20] = (bbox_width if 0 < bbox_width <= 256 else 4, 0, [])
    out = bytearray(b"ORVF\x01")
    out += struct.pack("<BBI", ascent, descent, len(placed))
    for code in sorted(placed):
        advance, bottom, columns = placed[code]
        shift = ROWS - ascent + bottom
        out += struct.pack("<IHH", code, advance, len(columns))
        out += bytes((c << shift) & 0xFF for c in columns)
    return bytes(out)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: pack-font.py FONT.bdf FONT.orvf")
    data = pack(sys.argv[1])
    with open(sys.argv[2], "wb") as f:
        f.write(data)
