#!/usr/bin/env python3
"""Compares every font of the collections and OpenType (.otf) fonts Debian
ships (or of the given files) as velmorant-inspect --face N reads it with
fontTools' TTFont(path, fontNumber=N), and a collection's header with
fontTools' own.

usage: compare_collections.py VELMORANT_INSPECT [FILE.ttc|FILE.otc|FILE.otf...]
"""
import glob
import json
import logging
import os
import subprocess
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.sfnt import readTTCHeader

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_fonttools import Comparison, scan_name  # noqa: E402

FONT_GLOBS = ["/usr/share/fonts/truetype/*/*.ttc", "/usr/share/fonts/opentype/*/*.ttc",
              "/usr/share/fonts/*/*/*.otc", "/usr/share/fonts/opentype/*/*.otf"]


def header_of(path):
    """The collection header, or None for a single font."""
    with open(path, "rb") as file:
        if file.read(4) != b"ttcf":
            return None
        file.seek(0)
        header = readTTCHeader(file)
    return {"version": int(header.Version * 65536) if isinstance(header.Version, float) else header.Version,
            "numFonts": header.numFonts, "offsets": list(header.offsetTable)}


def main():
    # fontTools' notes on odd dates of these fonts are not differences.
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    files = sys.argv[2:] or sorted(f for pattern in FONT_GLOBS for f in glob.glob(pattern))
    if not sys.argv[2:] and not any(header_of(f) for f in files):
        print("no collections found; install fonts-wqy-zenhei")
        return 1
    compared = failed = 0
    for path in files:
        header = header_of(path)
        names = []
        for face in range(header["numFonts"] if header else 1):
            run = subprocess.run([sys.argv[1], "--json", "--face", str(face), path], capture_output=True, text=True)
            ours = json.loads(run.stdout)[0]
            comparison = Comparison(path, face)
            comparison.equal("face", ours["face"], face)
            if header is None:
                comparison.equal("collection", ours["collection"], None)
            else:
                ours_header = dict(ours["collection"] or {})
                for field in ("version", "numFonts", "offsets"):
                    comparison.equal("collection." + field, ours_header.get(field), header[field])
            problems = comparison.compare(ours) if ours["loaded"] else [f"not loaded: {ours['error']}"]
            names.append(scan_name(TTFont(path, fontNumber=face)))
            if face == 0:
                scanned = ours
            if face == len(names) - 1 == (header["numFonts"] - 1 if header else 0):
                # The scan's reading of the file: the fonts' names in file
                # order joined by " & ", and what the file holds.
                joined = " & ".join(names) if all(names) else ""
                comparison.equal("scan name", scanned["name"], joined)
                comparison.equal("format", scanned["format"], "collection" if header else "opentype")
                problems = comparison.failures
            compared += 1
            if problems:
                failed += 1
                print(f"DIFFERENT {path} font {face}")
                for line in problems[:20]:
                    print("   ", line)
    print(f"{compared} fonts of {len(files)} files compared with fontTools, {failed} different")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
