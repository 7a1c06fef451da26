#!/usr/bin/env python3
"""Makes src/core/fonts/galmuri7-hangul.bdf from Galmuri7.bdf of the npm package "galmuri".

Keeps the Hangul syllables U+AC00..U+D7A3, the Hangul compatibility jamo U+3131..U+318E and
the Hangul jamo U+1100..U+11FF the font has, nothing else, and recomputes the font's bounding
box, ascent, descent and glyph count from what is kept.

    cd /tmp && npm pack galmuri@2.40.3 && tar xzf galmuri-2.40.3.tgz
    tools/fonts/make-hangul-subset.py /tmp/package/dist/Galmuri7.bdf \
        src/core/fonts/galmuri7-hangul.bdf
"""

import sys

RANGES = ((0xAC00, 0xD7A3), (0x3131, 0x318E), (0x1100, 0x11FF))


def kept(code):
    return any(low <= code <= high for low, high in RANGES)


def read_font(path):
    """The header lines (up to CHARS, without it) and the glyphs as lists of lines."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    header, glyphs, glyph = [], [], None
    for line in lines:
        word = line.split(" ", 1)[0]
        if glyph is not None:
            glyph.append(line)
            if word == "ENDCHAR":
                glyphs.append(glyph)
                glyph = None
        elif word == "STARTCHAR":
            glyph = [line]
        elif word in ("CHARS", "ENDFONT"):
            continue
        elif not glyphs:
            header.append(line)
    return header, glyphs


def field(glyph, name):
    for line in glyph:
        if line.split(" ", 1)[0] == name:
            return [int(v) for v in line.split()[1:]]
    sys.exit(f"{name} missing in {glyph[0]}")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make-hangul-subset.py Galmuri7.bdf OUT.bdf")
    header, glyphs = read_font(sys.argv[1])
    glyphs = [g for g in glyphs if kept(field(g, "ENCODING")[0])]
    glyphs.sort(key=lambda g: field(g, "ENCODING")[0])
    if not glyphs:
        sys.exit(f"{sys.argv[1]}: no Hangul glyphs")

    # The box around every kept glyph's ink; glyphs without ink (BBX 0 0 0 0) are left out.
    boxes = [field(g, "BBX") for g in glyphs]
    inked = [b for b in boxes if b[0] and b[1]] or [[0, 0, 0, 0]]
    left = min(b[2] for b in inked)
    bottom = min(b[3] for b in inked)
    right = max(b[2] + b[0] for b in inked)
    top = max(b[3] + b[1] for b in inked)
    ascent, descent = max(top, 0), max(-bottom, 0)

    out = []
    for line in header:
        word = line.split(" ", 1)[0]
        if word == "FONTBOUNDINGBOX":
            line = f"FONTBOUNDINGBOX {right - left} {top - bottom} {left} {bottom}"
        elif word == "FONT_ASCENT":
            line = f"FONT_ASCENT {ascent}"
        elif word == "FONT_DESCENT":
            line = f"FONT_DESCENT {descent}"
        elif word == "X_HEIGHT" or word == "CAP_HEIGHT":
            continue  # Latin measures; the subset has no Latin
        elif word == "STARTPROPERTIES":
            continue  # counted again below
        out.append(line)
    # Recount the properties between STARTPROPERTIES and ENDPROPERTIES.
    start = next(i for i, l in enumerate(header) if l.startswith("STARTPROPERTIES"))
    end = next(i for i, l in enumerate(out) if l.startswith("ENDPROPERTIES"))
    props = out[start:end]
    out[start:start] = [f"STARTPROPERTIES {len(props)}"]
    out.append(f"CHARS {len(glyphs)}")
    for g in glyphs:
        out.extend(g)
    out.append("ENDFONT")
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    print(f"{sys.argv[2]}: {len(glyphs)} glyphs, ascent {ascent}, descent {descent}")


if __name__ == "__main__":
    main()
