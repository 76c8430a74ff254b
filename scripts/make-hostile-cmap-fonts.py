#!/usr/bin/env python3
"""Writes small fonts whose cmap tables would cost a naive reader billions of
steps or millions of mappings, for timing the library's load of them:

    make-hostile-cmap-fonts.py OUTDIR
    for f in OUTDIR/*.ttf; do /usr/bin/time -f "%e s %M KiB $f" velmorant-inspect "$f" >/dev/null; done

Every font has three glyphs, so that nearly every mapping is also removed
again at the end of the load.
"""
import os
import struct
import sys

RECORDS = 65535


def u16s(values):
    return b"".join(struct.pack(">H", v & 0xFFFF) for v in values)


def format4(segments, glyph_ids=()):
    """segments: (start, end, idDelta, idRangeOffset), the terminator included."""
    count = len(segments)
    body = struct.pack(">HHHH", 2 * count, 0, 0, 0)
    body += u16s(s[1] for s in segments) + u16s([0]) + u16s(s[0] for s in segments)
    body += u16s(s[2] for s in segments) + u16s(s[3] for s in segments) + u16s(glyph_ids)
    return struct.pack(">HHH", 4, (6 + len(body)) & 0xFFFF, 0) + body


def format2(keys, subheaders, glyph_ids):
    body = u16s(keys) + b"".join(struct.pack(">HHhH", *h) for h in subheaders) + u16s(glyph_ids)
    return struct.pack(">HHH", 2, (6 + len(body)) & 0xFFFF, 0) + body


def format6(first, glyph_ids):
    body = struct.pack(">HH", first, len(glyph_ids)) + u16s(glyph_ids)
    return struct.pack(">HHH", 6, (6 + len(body)) & 0xFFFF, 0) + body


TERMINATOR = (0xFFFF, 0xFFFF, 1, 0)


def cmap(records, subtables):
    """records: (platformID, encodingID, index into subtables)."""
    offsets, at = [], 4 + 8 * len(records)
    for sub in subtables:
        offsets.append(at)
        at += len(sub)
    head = struct.pack(">HH", 0, len(records))
    head += b"".join(struct.pack(">HHL", p, e, offsets[i]) for p, e, i in records)
    return head + b"".join(subtables)


def shared(subtable, count=RECORDS):
    return cmap([(i, 0, 0) for i in range(count)], [subtable])


def font(cmap_body, num_glyphs=3):
    tables = {
        "cmap": cmap_body,
        "head": struct.pack(">LLLLHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 0, 2048, 0, 0,
                            0, 0, 0, 0, 0, 8, 2, 0, 0),
        "hhea": struct.pack(">L15hH", 0x10000, *([0] * 15), num_glyphs),
        "hmtx": b"".join(struct.pack(">Hh", 500, 0) for _ in range(num_glyphs)),
        "maxp": struct.pack(">LH", 0x10000, num_glyphs) + bytes(26),
    }
    directory, data = b"", b""
    offset = 12 + 16 * len(tables)
    for tag, body in tables.items():
        directory += tag.encode() + struct.pack(">LLL", 0, offset + len(data), len(body))
        data += body + bytes(-len(body) % 4)
    return struct.pack(">LHHHH", 0x10000, len(tables), 0, 0, 0) + directory + data


def cases():
    overlap = format4([(0, 0xFFFE, 0, 0)] * 32766 + [TERMINATOR])
    yield "overlap4", cmap([(3, 1, 0)], [overlap])
    yield "overlap4-shared", shared(overlap)
    yield "empty4-shared", shared(format4([(1, 0, 0, 0)] * 32766 + [TERMINATOR]))
    # Each segment maps one new code, its glyph read alternately just after
    # its idRangeOffset field and 120 KB further on.
    jumps = [(0, 29999, 0, 0)]
    for i in range(1, 32766):
        code = 29999 + i
        jumps.append((0, code, 0, 0xFFFF) if i % 2 else (code, code, 0, 2))
    yield "jumping-reads4-shared", shared(format4(jumps + [TERMINATOR]) + bytes(200000))
    # Records alternating between two small subtables 1 MB apart.
    small = format4([(0x41, 0x41, 0, 0), TERMINATOR])
    yield "far-apart", cmap([(i, 1, 2 * (i % 2)) for i in range(RECORDS)], [small, bytes(1 << 20), small])
    yield "format2-shared", shared(format2([0] + [8] * 255, [(0, 256, 0, 10), (0, 256, 0, 2)], [1] * 256))
    yield "format2-alias", cmap([(3, 1, 0)], [format2([8] * 256, [(0, 0, 0, 0), (0, 65535, 0, 2)], [1] * 256)])
    yield "format6-shared", shared(format6(0, [1] * 65535))
    yield "format0-shared", shared(struct.pack(">HHH", 0, 262, 0) + bytes(range(256)))
    yield "own-small4", cmap([(i, 1, i) for i in range(RECORDS)],
                             [format4([(i, i, 1, 0), TERMINATOR]) for i in range(RECORDS)])
    yield "same-pair", cmap([(3, 1, 0)] * RECORDS, [format4([TERMINATOR])])
    # Close to 16 MB: every record its own subtable of 27 overlapping
    # full-range segments.
    own = format4([(0, 0xFFFE, 0, 0)] * 27 + [TERMINATOR])
    yield "own-overlap4-16mb", cmap([(i, 1, i) for i in range(RECORDS)], [own] * RECORDS)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, body in cases():
        with open(os.path.join(sys.argv[1], name + ".ttf"), "wb") as out:
            out.write(font(body))
    return 0


if __name__ == "__main__":
    sys.exit(main())
