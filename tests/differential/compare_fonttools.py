#!/usr/bin/python3
"""Compares what velmorant-inspect reads from Debian's DejaVu and Liberation
fonts with what fontTools reads from them.

usage: compare_fonttools.py INSPECT [FONT...]
"""
import glob
import json
import subprocess
import sys

from fontTools.misc import sstruct
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import O_S_2f_2, _h_e_a_d, _h_h_e_a, _m_a_x_p, _p_o_s_t
from fontTools.ttLib.standardGlyphOrder import standardGlyphOrder

FONT_GLOBS = ["/usr/share/fonts/truetype/dejavu/*.ttf", "/usr/share/fonts/truetype/liberation/*.ttf"]

# fontTools' names for the fields that it names otherwise; the field lists
# themselves come from the JSON (ours) and from fontTools' struct formats
# (theirs), which are compared too.
THEIR_NAMES = {"head": {"version": "tableVersion"},
               "hhea": {"version": "tableVersion", "ascender": "ascent", "descender": "descent"},
               "maxp": {"version": "tableVersion"}}
# Post's JSON goes on past the header with the glyph names.
NOT_IN_HEADER = {"post": ("numberOfGlyphs", "glyphNames")}
PANOSE_FIELDS = sstruct.getformat(O_S_2f_2.panoseFormat)[1]
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


def their_formats(tag, table):
    """fontTools' struct formats of the table's version. Our OS/2 reads
    versions 2 and later as version 2; a maxp of version 0.5 holds numGlyphs
    only."""
    if tag == "head":
        return [_h_e_a_d.headFormat]
    if tag == "hhea":
        return [_h_h_e_a.hheaFormat]
    if tag == "maxp":
        return [_m_a_x_p.maxpFormat_0_5] + ([_m_a_x_p.maxpFormat_1_0_add] if table.tableVersion != 0x5000 else [])
    if tag == "post":
        return [_p_o_s_t.postFormat]
    if table.version == 0:
        return [O_S_2f_2.OS2_format_0]
    # The version 2 addition holds version 1's fields too.
    return [O_S_2f_2.OS2_format_0,
            O_S_2f_2.OS2_format_1_addition if table.version == 1 else O_S_2f_2.OS2_format_2_addition]


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

        for tag in ("head", "hhea", "maxp"):
            self.compare_fields(tag, tables[tag], font)

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

    def compare_fields(self, tag, mine, font):
        """A fixed-layout table field by field: our JSON's fields, in order,
        are fontTools' fields of the table's version."""
        theirs = font[tag]
        names, fixes = [], {}
        for format_string in their_formats(tag, theirs):
            _, format_names, format_fixes = sstruct.getformat(format_string)
            names += format_names
            fixes.update(format_fixes)
        renamed = THEIR_NAMES.get(tag, {})
        ours = []
        for field in mine:
            if field in NOT_IN_HEADER.get(tag, ()):
                continue
            value = mine[field]
            if field == "reserved":
                ours += [(f"reserved{i}", word) for i, word in enumerate(value)]
            else:
                ours.append((renamed.get(field, field), value))
        if len(ours) > len(names) and tag == "maxp":
            # We read a version 0.5 table's other fields from whatever
            # follows it; fontTools has none.
            ours = ours[:len(names)]
        self.equal(tag + " fields", [name for name, _ in ours], names)
        # fontTools moves a date that looks like a Unix time to 1904; the
        # file's own 64 bits are what we read.
        raw = font.reader[tag]
        dates = {"created": int.from_bytes(raw[20:28], "big"),
                 "modified": int.from_bytes(raw[28:36], "big")} if tag == "head" else {}
        for name, value in ours:
            if not hasattr(theirs, name):
                continue
            expected = dates.get(name, getattr(theirs, name))
            if name in fixes or isinstance(expected, float):
                if isinstance(value, list):  # post's version halves
                    value = ((value[0] & 0xFFFF) << 16) | value[1]
                value, expected = value & 0xFFFFFFFF, fixed(expected)
            elif name == "panose":
                expected = [getattr(expected, field) for field in PANOSE_FIELDS]
            elif tag == "OS/2" and name in ("usWinAscent", "usWinDescent"):
                # Held signed, unsigned in the format: the same 16 bits.
                value &= 0xFFFF
            self.equal(f"{tag}.{name}", value, expected)

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
        self.compare_fields("post", mine, font)
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
        if pair is not None:
            self.compare_fields("OS/2", pair[0], font)

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
