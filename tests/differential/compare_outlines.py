#!/usr/bin/python3
"""Compares the glyph outlines velmorant-inspect reads from Debian's DejaVu
and Liberation fonts with python3-fonttools and FreeType.

usage: compare_outlines.py VELMORANT-INSPECT FREETYPE-TOTALS [FONT...]

Per glyph, the fully placed points (composites expanded) equal fontTools'
getCoordinates, but for glyphs that use, at any depth, a component whose
2x2 transform is no scale and no pure exchange of the axes (all four
entries non-zero, or one off-diagonal entry alone): those follow our own
mapping, which exchanges the axes only when both off-diagonal entries are
non-zero and then scales.
Per font, the totals of points and contours equal FreeType's.
"""
import glob
import json
import subprocess
import sys

from fontTools.ttLib import TTFont

FONT_GLOBS = ["/usr/share/fonts/truetype/dejavu/*.ttf", "/usr/share/fonts/truetype/liberation*/*.ttf"]


def own_mapping(transform):
    """Whether our mapping of this 2x2 transform differs from a matrix's."""
    (scale_x, scale_01), (scale_10, scale_y) = transform
    if scale_01 == 0 and scale_10 == 0:
        return False
    return not (scale_01 != 0 and scale_10 != 0 and scale_x == 0 and scale_y == 0)


def full_two_by_two(glyf, name, seen=()):
    glyph = glyf[name]
    if not glyph.isComposite():
        return False
    for component in glyph.components:
        transform = getattr(component, "transform", None)
        if transform and own_mapping(transform):
            return True
        if component.glyphName not in seen and full_two_by_two(glyf, component.glyphName, seen + (name,)):
            return True
    return False


def compare_glyphs(path, ours):
    font = TTFont(path)
    glyf = font["glyf"]
    problems = []
    skipped = 0
    for index, name in enumerate(font.getGlyphOrder()):
        if full_two_by_two(glyf, name):
            skipped += 1
            continue
        coordinates, ends, flags = glyf[name].getCoordinates(glyf)
        theirs = [(x, y, bool(f & 1)) for (x, y), f in zip(coordinates, flags)]
        placed = [(x, y, on) for contour in ours[index]["contours"] for x, y, on in contour]
        our_ends = []
        for contour in ours[index]["contours"]:
            our_ends.append((our_ends[-1] if our_ends else -1) + len(contour))
        same = len(placed) == len(theirs) and all(
            abs(a[0] - b[0]) < 1e-6 and abs(a[1] - b[1]) < 1e-6 and a[2] == b[2] for a, b in zip(placed, theirs))
        if not same or our_ends != list(ends):
            problems.append(f"glyph {index} {name}: {len(placed)} points, fontTools {len(theirs)}")
    return problems, skipped


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    fonts = sys.argv[3:] or sorted(f for pattern in FONT_GLOBS for f in glob.glob(pattern))
    if not fonts:
        print("missing test fonts; install fonts-dejavu-core and fonts-liberation")
        return 1
    totals = {}
    run = subprocess.run([sys.argv[2], *fonts], capture_output=True, text=True)
    for line in run.stdout.splitlines():
        fields = line.split("\t")
        if len(fields) == 5:
            totals[fields[0]] = (int(fields[2]), int(fields[3]))
    failed = 0
    for path in fonts:
        run = subprocess.run([sys.argv[1], "--json", "--glyphs", path], capture_output=True, text=True)
        ours = json.loads(run.stdout)[0]
        problems = []
        if not ours["loaded"]:
            problems.append(f"not loaded: {ours['error']}")
        else:
            outlines = ours["outlines"]
            if (outlines["points"], outlines["contours"]) != totals.get(path):
                problems.append(f"totals {outlines['points']} points, {outlines['contours']} contours; "
                                f"FreeType {totals.get(path)}")
            glyph_problems, skipped = compare_glyphs(path, ours["glyphs"])
            problems += glyph_problems
        if problems:
            failed += 1
            print(f"DIFFERENT {path}")
            for line in problems[:20]:
                print("   ", line)
    print(f"{len(fonts)} fonts' outlines compared with fontTools and FreeType, {failed} different")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
