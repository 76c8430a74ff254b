#!/usr/bin/python3
"""Compares what velmorant-inspect reads from Debian's DejaVu and Liberation
fonts with what fontTools reads from them.

usage: compare_fonttools.py INSPECT [FONT...]
"""
import glob
import json
import subprocess
import sys

from fontTools.ttLib import TTFont

FONT_GLOBS = ["/usr/share/fonts/truetype/dejavu/*.ttf", "/usr/share/fonts/truetype/liberation/*.ttf"]

HEAD_FIELDS = ["checkSumAdjustment", "magicNumber", "flags", "unitsPerEm", "created", "modified",
               "xMin", "yMin", "xMax", "yMax", "macStyle", "lowestRecPPEM", "fontDirectionHint",
               "indexToLocFormat", "glyphDataFormat"]
HHEA_FIELDS = {"ascender": "ascent", "descender": "descent", "lineGap": "lineGap",
               "advanceWidthMax": "advanceWidthMax", "minLeftSideBearing": "minLeftSideBearing",
               "minRightSideBearing": "minRightSideBearing", "xMaxExtent": "xMaxExtent",
               "caretSlopeRise": "caretSlopeRise", "caretSlopeRun": "caretSlopeRun",
               "caretOffset": "caretOffset", "metricDataFormat": "metricDataFormat",
               "numberOfHMetrics": "numberOfHMetrics"}
MAXP_FIELDS = ["numGlyphs", "maxPoints", "maxContours", "maxCompositePoints", "maxCompositeContours",
               "maxZones", "maxTwilightPoints", "maxStorage", "maxFunctionDefs", "maxInstructionDefs",
               "maxStackElements", "maxSizeOfInstructions", "maxComponentElements", "maxComponentDepth"]


def scan_name(font):
    """The name a scan gives the font on an English (United States) system:
    the Microsoft group of records, Symbol encoding before Unicode BMP, and in
    it the English full name, or no name."""
    for encoding in (0, 1):
        group = [r for r in font["name"].names if r.platformID == 3 and r.platEncID == encoding]
        if group:
            full = [r for r in group if r.langID == 0x409 and r.nameID == 4]
            return full[-1].toUnicode() if full else ""
    return ""


def fixed(value):
    """A 16.16 value as fontTools gives it (float or int) back as raw bits."""
    if isinstance(value, float):
        return int(round(value * 65536)) & 0xFFFFFFFF
    return value & 0xFFFFFFFF


class Comparison:
    def __init__(self, path):
        self.path = path
        self.failures = []

    def equal(self, what, ours, theirs):
        if ours != theirs:
            self.failures.append(f"{what}: velmorant {ours!r}, fontTools {theirs!r}")

    def compare(self, ours):
        font = TTFont(self.path)
        tables = ours["tables"]
        self.equal("numGlyphs", ours["numGlyphs"], font["maxp"].numGlyphs)

        head = font["head"]
        self.equal("head.version", tables["head"]["version"], fixed(head.tableVersion))
        self.equal("head.fontRevision", tables["head"]["fontRevision"], fixed(head.fontRevision))
        for field in HEAD_FIELDS:
            self.equal("head." + field, tables["head"][field], getattr(head, field))

        hhea = font["hhea"]
        self.equal("hhea.version", tables["hhea"]["version"], fixed(hhea.tableVersion))
        for ours_name, theirs_name in HHEA_FIELDS.items():
            self.equal("hhea." + ours_name, tables["hhea"][ours_name], getattr(hhea, theirs_name))
        self.equal("hhea.reserved", tables["hhea"]["reserved"],
                   [getattr(hhea, f"reserved{i}") for i in range(4)])

        maxp = font["maxp"]
        self.equal("maxp.version", tables["maxp"]["version"], fixed(maxp.tableVersion))
        for field in MAXP_FIELDS:
            self.equal("maxp." + field, tables["maxp"][field], getattr(maxp, field))

        hmtx = font["hmtx"]
        theirs = [list(hmtx.metrics[name]) for name in font.getGlyphOrder()]
        mine = tables["hmtx"]["metrics"]
        self.equal("hmtx.count", len(mine), len(theirs))
        for index, (a, b) in enumerate(zip(mine, theirs)):
            if a != b:
                self.equal(f"hmtx[{index}]", a, b)
                break
        self.compare_cmap(ours, font)
        self.compare_names(tables, font)

        self.equal("name", ours["name"], scan_name(font))
        self.equal("validHead", ours["validHead"], True)
        return self.failures

    def compare_names(self, tables, font):
        """The Unicode and Microsoft name records, keyed by their four IDs.
        The name object is there even when the whole font did not load."""
        if "name" not in tables:
            self.failures.append("name: no table read")
            return
        key = ("platformID", "encodingID", "languageID", "nameID")
        mine = {tuple(r[k] for k in key): r["text"]
                for r in tables["name"]["records"] if r["platformID"] in (0, 3)}
        theirs = {(rec.platformID, rec.platEncID, rec.langID, rec.nameID): rec.toUnicode()
                  for rec in font["name"].names if rec.platformID in (0, 3)}
        self.equal("name.records", sorted(mine), sorted(theirs))
        for ids in sorted(mine.keys() & theirs.keys()):
            self.equal(f"name{ids}", mine[ids], theirs[ids])

    def compare_cmap(self, ours, font):
        """The mappings of every format 0, 4 and 6 subtable, in file order.

        The two readers differ on purpose in three ways, which the comparison
        evens out rather than reports:
        - fontTools leaves out every mapping to glyph 0 (its _make_map skips
          gid 0); we keep them, so ours are compared without them.
        - Our load removes the mappings to glyphs at or past numGlyphs;
          fontTools keeps them under made-up names (glyph01234) that getGlyphID
          turns back into those numbers, so theirs are compared without them.
        - Formats 6 (and 2) read back here as format 4 with language 0.
        Neither reads the last format 4 segment (the 0xFFFF terminator), so it
        needs no filtering. fontTools keeps a dict from code to name, in the
        order the codes were read; the fonts have no code twice in a subtable,
        so the two lists match in order.
        """
        self.equal("loaded", ours["loaded"], True)
        cmap = ours["tables"].get("cmap")
        if cmap is None:
            self.failures.append("cmap: not read")
            return
        theirs_table = font["cmap"]
        self.equal("cmap.version", cmap["version"], theirs_table.tableVersion)
        mine = {(e["platformID"], e["encodingID"]): e for e in cmap["encodings"]}
        num_glyphs = font["maxp"].numGlyphs
        for subtable in theirs_table.tables:
            if subtable.format not in (0, 4, 6):
                continue
            what = f"cmap[{subtable.platformID},{subtable.platEncID}]"
            entry = mine.get((subtable.platformID, subtable.platEncID))
            if entry is None:
                self.failures.append(f"{what}: missing")
                continue
            relabelled = subtable.format == 6
            self.equal(what + ".format", entry["format"], 4 if relabelled else subtable.format)
            self.equal(what + ".language", entry["language"], 0 if relabelled else subtable.language)
            theirs = [[code, font.getGlyphID(name)] for code, name in subtable.cmap.items()]
            theirs = [mapping for mapping in theirs if mapping[1] < num_glyphs]
            mapped = [mapping for mapping in entry["mappings"] if mapping[1] != 0]
            self.equal(what + ".count", len(mapped), len(theirs))
            for index, (a, b) in enumerate(zip(mapped, theirs)):
                if a != b:
                    self.equal(f"{what}.mappings[{index}]", a, b)
                    break


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    fonts = sys.argv[2:] or sorted(f for pattern in FONT_GLOBS for f in glob.glob(pattern))
    families = {"DejaVu": 0, "Liberation": 0}
    for path in fonts:
        for family in families:
            families[family] += family in path
    if not sys.argv[2:] and not all(families.values()):
        print(f"missing test fonts: found {families}; install fonts-dejavu-core and fonts-liberation")
        return 1

    run = subprocess.run([sys.argv[1], "--json", *fonts], capture_output=True, text=True)
    results = json.loads(run.stdout)
    failed = 0
    for ours in results:
        problems = Comparison(ours["file"]).compare(ours)
        if problems:
            failed += 1
            print(f"DIFFERENT {ours['file']}")
            for line in problems[:20]:
                print("   ", line)
    print(f"{len(results)} fonts compared with fontTools, {failed} different")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
