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
from fontTools.ttLib.standardGlyphOrder import standardGlyphOrder

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

POST_FIELDS = ["underlinePosition", "underlineThickness", "isFixedPitch", "minMemType42", "maxMemType42",
               "minMemType1", "maxMemType1"]
# The fields of each OS/2 version; version 2 and later are read as version 2.
OS2_FIELDS_0 = ["version", "xAvgCharWidth", "usWeightClass", "usWidthClass", "fsType",
                "ySubscriptXSize", "ySubscriptYSize", "ySubscriptXOffset", "ySubscriptYOffset",
                "ySuperscriptXSize", "ySuperscriptYSize", "ySuperscriptXOffset", "ySuperscriptYOffset",
                "yStrikeoutSize", "yStrikeoutPosition", "sFamilyClass", "panose",
                "ulUnicodeRange1", "ulUnicodeRange2", "ulUnicodeRange3", "ulUnicodeRange4", "achVendID",
                "fsSelection", "usFirstCharIndex", "usLastCharIndex", "sTypoAscender", "sTypoDescender",
                "sTypoLineGap", "usWinAscent", "usWinDescent"]
OS2_FIELDS_1 = ["ulCodePageRange1", "ulCodePageRange2"]
OS2_FIELDS_2 = ["sxHeight", "sCapHeight", "usDefaultChar", "usBreakChar", "usMaxContext"]
PANOSE_FIELDS = ["bFamilyType", "bSerifStyle", "bWeight", "bProportion", "bContrast", "bStrokeVariation",
                 "bArmStyle", "bLetterForm", "bMidline", "bXHeight"]
# Our list of standard names spells these eight positions its own way.
OUR_STANDARD_NAMES = {0: "notdef", 1: "null", 2: "CR", 163: "exclamationdown", 168: "increment",
                      172: "nbspace", 210: "applelogo", 250: "Idot"}


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
    def __init__(self, path, face=0):
        self.path = path
        self.face = face
        self.failures = []

    def equal(self, what, ours, theirs):
        if ours != theirs:
            self.failures.append(f"{what}: velmorant {ours!r}, fontTools {theirs!r}")

    def compare(self, ours):
        font = TTFont(self.path, fontNumber=self.face)
        tables = ours["tables"]
        self.equal("numGlyphs", ours["numGlyphs"], font["maxp"].numGlyphs)

        head = font["head"]
        self.equal("head.version", tables["head"]["version"], fixed(head.tableVersion))
        self.equal("head.fontRevision", tables["head"]["fontRevision"], fixed(head.fontRevision))
        # fontTools moves a date that looks like a Unix time to 1904; the
        # file's own 64 bits are what we read.
        raw = font.reader["head"]
        dates = {"created": int.from_bytes(raw[20:28], "big"), "modified": int.from_bytes(raw[28:36], "big")}
        for field in HEAD_FIELDS:
            self.equal("head." + field, tables["head"][field], dates.get(field, getattr(head, field)))

        hhea = font["hhea"]
        self.equal("hhea.version", tables["hhea"]["version"], fixed(hhea.tableVersion))
        for ours_name, theirs_name in HHEA_FIELDS.items():
            self.equal("hhea." + ours_name, tables["hhea"][ours_name], getattr(hhea, theirs_name))
        self.equal("hhea.reserved", tables["hhea"]["reserved"],
                   [getattr(hhea, f"reserved{i}") for i in range(4)])

        maxp = font["maxp"]
        self.equal("maxp.version", tables["maxp"]["version"], fixed(maxp.tableVersion))
        # A version 0.5 table (CFF outlines) holds numGlyphs only: we read its
        # other fields from whatever follows it, fontTools has none.
        for field in MAXP_FIELDS if maxp.tableVersion != 0x5000 else MAXP_FIELDS[:1]:
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
        self.compare_post(tables, font)
        self.compare_os2(tables, font)
        self.compare_gasp(tables, font)
        self.compare_kern(tables, font)

        if self.face == 0 and ours["collection"] is None:
            # The scan's reading is of the file, which is its first font.
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

    def table_pair(self, tables, font, tag):
        """Both readers' table, or None when neither has it (a failure when
        only one has)."""
        if tag not in font:
            self.equal(tag + " present", tag in tables, False)
            return None
        if tag not in tables:
            self.failures.append(f"{tag}: not read")
            return None
        return tables[tag], font[tag]

    def compare_post(self, tables, font):
        """The header and the glyph names. fontTools names the glyphs of a
        format 2.0 table from the standard order and the custom names, then
        renames repeated names (its mapping keeps the originals); ours spells
        eight standard names its own way, so the standard ones are looked up
        by the index in the file."""
        pair = self.table_pair(tables, font, "post")
        if pair is None:
            return
        mine, theirs = pair
        integer, fraction = mine["formatType"]
        self.equal("post.formatType", ((integer & 0xFFFF) << 16) | fraction, fixed(theirs.formatType))
        self.equal("post.italicAngle", mine["italicAngle"] & 0xFFFFFFFF, fixed(theirs.italicAngle))
        for field in POST_FIELDS:
            self.equal("post." + field, mine[field], getattr(theirs, field))
        if theirs.formatType != 2.0:
            return
        data = font.reader["post"]
        count = int.from_bytes(data[32:34], "big")
        indices = [int.from_bytes(data[34 + 2 * i:36 + 2 * i], "big") for i in range(count)]
        self.equal("post.numberOfGlyphs", mine["numberOfGlyphs"], count)
        mapping = getattr(theirs, "mapping", {})
        expected = []
        for glyph, index in enumerate(indices):
            if index < 258:
                expected.append(OUR_STANDARD_NAMES.get(index, standardGlyphOrder[index]))
            elif index < 32768:
                name = font.getGlyphOrder()[glyph]
                expected.append(mapping.get(name, name))
            else:
                expected.append("")
        names = mine["glyphNames"]
        self.equal("post.glyphNames count", len(names), len(expected))
        for glyph, (a, b) in enumerate(zip(names, expected)):
            if a != b:
                self.equal(f"post.glyphNames[{glyph}]", a, b)
                break

    def compare_os2(self, tables, font):
        """Every field of the table's version, and only those."""
        pair = self.table_pair(tables, font, "OS/2")
        if pair is None:
            return
        mine, theirs = pair
        fields = OS2_FIELDS_0 + (OS2_FIELDS_1 if theirs.version >= 1 else []) + \
            (OS2_FIELDS_2 if theirs.version >= 2 else [])
        self.equal("OS/2 fields", sorted(mine), sorted(fields))
        for field in fields:
            if field not in mine:
                continue
            value = mine[field]
            if field == "panose":
                expected = [getattr(theirs.panose, name) for name in PANOSE_FIELDS]
            elif field == "achVendID":
                expected = theirs.achVendID
            elif field in ("usWinAscent", "usWinDescent"):
                # Held signed, unsigned in the format: the same 16 bits.
                value &= 0xFFFF
                expected = getattr(theirs, field)
            else:
                expected = getattr(theirs, field)
            self.equal("OS/2." + field, value, expected)

    def compare_gasp(self, tables, font):
        pair = self.table_pair(tables, font, "gasp")
        if pair is None:
            return
        mine, theirs = pair
        self.equal("gasp.version", mine["version"], theirs.version)
        self.equal("gasp.ranges", mine["ranges"], [list(item) for item in sorted(theirs.gaspRange.items())])

    def compare_kern(self, tables, font):
        """The pairs of the first format 0 subtable; fontTools keeps them in
        a dict by glyph names, so they are compared as sets."""
        pair = self.table_pair(tables, font, "kern")
        if pair is None:
            return
        mine, theirs = pair
        self.equal("kern.version", mine["version"], theirs.version)
        first = next((t for t in theirs.kernTables if getattr(t, "format", None) == 0 and t.version == 0), None)
        expected = {} if first is None else {
            (font.getGlyphID(left), font.getGlyphID(right)): value
            for (left, right), value in first.kernTable.items()}
        got = {(left, right): value for left, right, value in mine["pairs"]}
        self.equal("kern.count", len(mine["pairs"]), len(expected))
        for key in sorted(got.keys() | expected.keys()):
            if got.get(key) != expected.get(key):
                self.equal(f"kern{key}", got.get(key), expected.get(key))
                break

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
