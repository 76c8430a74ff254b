#!/usr/bin/python3
"""velmorant-cli on the real Win32 layer under Wine, in a throwaway prefix.

Plants registry values in the prefix's Fonts key and files in its Fonts
folder, and in the user's own Fonts key and font folder, scans, repairs, and
checks the registry, the recycle bin (the XDG trash of a HOME of our own), a
second scan, the repair's registry backup, and that undoing it (with
velmorant-cli undo, and with the Registry Editor's import) leaves both Fonts
keys exactly as they were before the repair. Fonts with names of our own
are made from Debian's DejaVu fonts with fontTools.

The repair's own guards follow: a font another program holds open, a font
swapped between the scan and the repair, a drive without a recycle bin, and
a value with a relative path; then a user's font installed for all users,
a shadowed one, and the untrusted font policy.

    cli_wine.py PATH/TO/velmorant-cli.exe PATH/TO/velmorant-hold-file.exe
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.ttLib import TTCollection, TTFont

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
WINE_TOOLS = ("reg", "regedit", "winepath", "cmd")
FONTS_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts"
USER_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows NT\CurrentVersion\Fonts"
# Files of fonts-dejavu-core only.
DEJAVU = "/usr/share/fonts/truetype/dejavu/"
WINE_MARLETT = "/usr/share/wine/fonts/marlett.ttf"  # fonts-wine
UNICODE_NAME = "Velmorant \u00dcn\u00efcode \u4e2d\u6587"
FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL: " + message)


def tally():
    """Prints the test's one result as ctest's summary reads; its exit status."""
    print("%d passed, %d failed" % (1 if not FAILURES else 0, 1 if FAILURES else 0))
    return 1 if FAILURES else 0


class Prefix:
    def __init__(self, root):
        self.root = root
        self.env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_DATA_HOME"):
            self.env.pop(name, None)
        self.env.update(WINEPREFIX=os.path.join(root, "prefix"), HOME=os.path.join(root, "home"),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        os.makedirs(self.env["HOME"])
        self.fonts = os.path.join(self.env["WINEPREFIX"], "drive_c", "windows", "Fonts")
        self.trash = os.path.join(self.env["HOME"], ".local", "share", "Trash", "files")

    def run(self, *arguments):
        for attempt in range(3):
            result = subprocess.run([WINE, *arguments], env=self.env, capture_output=True, timeout=300)
            # Now and then, under load, one of Wine's own tools dies before it prints a word; that says
            # nothing of the program under test, so the test setup's commands try again.
            if result.returncode == 0 or result.stdout or result.stderr or arguments[0] not in WINE_TOOLS:
                break
            print("note: %s exited %d without a word (try %d)" % (" ".join(arguments[:2]), result.returncode,
                                                                  attempt + 1))
        return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")

    def unix_path(self, windows_path):
        _, out, _ = self.run("winepath", "-u", windows_path)
        return out.strip()

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True, timeout=60)


def renamed_font(source, target, full_name):
    """A copy of a DejaVu font whose family, full and unique names are full_name."""
    font = TTFont(DEJAVU + source)
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 6):
            text = full_name.replace(" ", "") if record.nameID == 6 else full_name
            record.string = text if record.platformID != 1 else text.encode("ascii", "replace").decode()
    font.save(target)


def cff_font(target, full_name):
    """An OpenType font with CFF outlines named full_name: one square glyph."""
    builder = FontBuilder(1000, isTTF=False)
    builder.setupGlyphOrder([".notdef", "A"])
    builder.setupCharacterMap({0x41: "A"})
    strings = {}
    for glyph in (".notdef", "A"):
        pen = T2CharStringPen(600, None)
        pen.moveTo((100, 0))
        pen.lineTo((500, 0))
        pen.lineTo((500, 700))
        pen.lineTo((100, 700))
        pen.closePath()
        strings[glyph] = pen.getCharString()
    ps_name = full_name.replace(" ", "")
    builder.setupCFF(ps_name, {"FullName": full_name}, strings, {})
    builder.setupHorizontalMetrics({".notdef": (600, 100), "A": (600, 100)})
    builder.setupHorizontalHeader(ascent=800, descent=-200)
    builder.setupNameTable({"familyName": full_name, "styleName": "Regular", "fullName": full_name,
                            "psName": ps_name})
    builder.setupOS2()
    builder.setupPost()
    builder.save(target)


def collection(target, fonts):
    """A collection of the font files fonts, in that order."""
    pack = TTCollection()
    pack.fonts = [TTFont(font) for font in fonts]
    pack.save(target)


def scan(prefix):
    status, out, err = prefix.run(CLI, "scan", "--json")
    check(status in (0, 1), "scan exit status %d: %s" % (status, err))
    return {entry["registryName"] or entry["fileName"].lower(): entry for entry in json.loads(out)["items"]}


def registry(prefix, key=FONTS_KEY, typed=False):
    status, out, _ = prefix.run("reg", "query", key)
    values = {}
    for line in out.splitlines():
        parts = line.strip().split("    ")
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            data = parts[2] if len(parts) > 2 else ""
            values[parts[0]] = (parts[1], data) if typed else data
    return values


def both_keys(prefix):
    """Every value of both Fonts keys with its type and data."""
    return {"machine": registry(prefix, FONTS_KEY, True), "user": registry(prefix, USER_KEY, True)}


def keys_changed(before, after):
    """The values of both Fonts keys that differ, for a failure's message."""
    return {key: {name: (before[key].get(name), after[key].get(name))
                  for name in set(before[key]) | set(after[key]) if before[key].get(name) != after[key].get(name)}
            for key in before}


def user_font_folder(prefix):
    _, out, _ = prefix.run("cmd", "/c", "echo", "%LOCALAPPDATA%")
    local = out.strip()
    return local + "\\Microsoft\\Windows\\Fonts", prefix.unix_path(local + "\\Microsoft\\Windows\\Fonts")


def expect(entries, key, problem, font_name=None, file_name=None):
    entry = entries.get(key)
    check(entry is not None, "no entry for %r" % key)
    if entry is None:
        return
    check(entry["problem"] == problem, "%r: problem %d, expected %d" % (key, entry["problem"], problem))
    if font_name is not None:
        check(entry["fontName"] == font_name, "%r: font name %r, expected %r" % (key, entry["fontName"], font_name))
    if file_name is not None:
        check(entry["fileName"].lower() == file_name.lower(),
              "%r: file %r, expected %r" % (key, entry["fileName"], file_name))


def plant(prefix):
    # The values first: every Wine process start reads the fonts in the Fonts folder.
    values = [
        ("velmorant test sans (TrueType)", "vts.ttf"),                      # wrong letter case
        ("Velmorant Test Bold (TrueType)", "vtb.ttf"),                      # healthy
        ("Velmorant Test Bold Copy (TrueType)", r"C:\windows\Fonts\VTB.TTF"),  # duplicate, full path
        ("Velmorant Taken (TrueType)", "taken.ttf"),                        # healthy
        ("Velmorant Taken Wrong (TrueType)", "taken2.ttf"),                 # its right name is taken
        ("Velmorant Unicode (TrueType)", "uni.ttf"),                        # renamed to a Unicode name
        ("Velmorant Garbage (TrueType)", "garbage.ttf"),                    # invalid font
        ("Velmorant Missing (TrueType)", "missing.ttf"),                    # file not found
        ("Velmorant Empty (TrueType)", ""),                                 # file not found, no path
        ("Velmorant Number (TrueType)", 5),                                 # wrong data type
        ("Velmorant Bitmap", "velmorant.fon"),                              # not listed
        ("Velmorant Pair A & Velmorant Pair B (TrueType)", "pair.ttc"),     # healthy collection
        ("Velmorant Gone Pair & Gone Other (TrueType)", "gonepair.ttc"),    # file not found
        ("Velmorant Cff (TrueType)", "vcff.otf"),                           # CFF outlines: "(OpenType)"
    ]
    for name, data in values:
        kind = "REG_DWORD" if isinstance(data, int) else "REG_SZ"
        status, out, err = prefix.run("reg", "add", FONTS_KEY, "/v", name, "/t", kind, "/d", str(data), "/f")
        check(status == 0, "reg add %s: %s %s" % (name, out, err))
    fonts = prefix.fonts
    os.makedirs(fonts, exist_ok=True)
    renamed_font("DejaVuSerif.ttf", os.path.join(fonts, "taken.ttf"), "Velmorant Taken")
    renamed_font("DejaVuSerif.ttf", os.path.join(fonts, "taken2.ttf"), "Velmorant Taken")
    # Wine's own Marlett: unregistered, as on Windows, and it draws the
    # window programs' caption buttons.
    shutil.copy(WINE_MARLETT, os.path.join(fonts, "marlett.ttf"))
    renamed_font("DejaVuSans.ttf", os.path.join(fonts, "vts.ttf"), "Velmorant Test Sans")
    renamed_font("DejaVuSans-Bold.ttf", os.path.join(fonts, "vtb.ttf"), "Velmorant Test Bold")
    renamed_font("DejaVuSansMono-Bold.ttf", os.path.join(fonts, "loose.ttf"), "Velmorant Loose")
    renamed_font("DejaVuSerif-Bold.ttf", os.path.join(fonts, "uni.ttf"), UNICODE_NAME)
    # Collections and a CFF font; votc.otc is registered by no value.
    parts = os.path.join(prefix.root, "parts")
    os.makedirs(parts, exist_ok=True)
    for name, source in (("Velmorant Pair A", "DejaVuSans.ttf"), ("Velmorant Pair B", "DejaVuSerif.ttf")):
        renamed_font(source, os.path.join(parts, name + ".ttf"), name)
    collection(os.path.join(fonts, "pair.ttc"), [os.path.join(parts, "Velmorant Pair %s.ttf" % x) for x in "AB"])
    cff_font(os.path.join(fonts, "vcff.otf"), "Velmorant Cff")
    for name in ("Velmorant Otc A", "Velmorant Otc B"):
        cff_font(os.path.join(parts, name + ".otf"), name)
    collection(os.path.join(fonts, "votc.otc"), [os.path.join(parts, "Velmorant Otc %s.otf" % x) for x in "AB"])
    with open(os.path.join(fonts, "garbage.ttf"), "wb") as garbage:
        garbage.write(b"this is no font at all" * 10)
    with open(os.path.join(prefix.env["WINEPREFIX"], "drive_c", "windows", "ttfCache"), "wb") as cache:
        cache.write(b"cache")
    # Kept exactly by the backup: binary data.
    status, out, err = prefix.run("reg", "add", FONTS_KEY, "/v", "Velmorant Blob (TrueType)", "/t", "REG_BINARY",
                                  "/d", "01ab", "/f")
    check(status == 0, "reg add blob: %s %s" % (out, err))


def plant_user(prefix):
    """The user's own fonts: values with full paths in HKCU, files in the user font folder."""
    windows_folder, folder = user_font_folder(prefix)
    os.makedirs(folder, exist_ok=True)
    renamed_font("DejaVuSans.ttf", os.path.join(folder, "ug.ttf"), "Velmorant User Good")
    renamed_font("DejaVuSerif.ttf", os.path.join(folder, "uw.ttf"), "Velmorant User Right")
    renamed_font("DejaVuSansMono.ttf", os.path.join(folder, "ul.ttf"), "Velmorant User Loose")
    values = [
        ("Velmorant User Good (TrueType)", windows_folder + "\\ug.ttf"),
        ("Velmorant User Wrong (TrueType)", windows_folder + "\\uw.ttf"),
        ("Velmorant User Missing (TrueType)", windows_folder + "\\gone.ttf"),
        ("Velmorant User Number (TrueType)", 7),
    ]
    for name, data in values:
        kind = "REG_DWORD" if isinstance(data, int) else "REG_SZ"
        status, out, err = prefix.run("reg", "add", USER_KEY, "/v", name, "/t", kind, "/d", str(data), "/f")
        check(status == 0, "reg add %s: %s %s" % (name, out, err))
    return windows_folder


def backup_text(prefix, path):
    with open(prefix.unix_path(path), "rb") as backup:
        data = backup.read()
    check(data.startswith(b"\xff\xfe"), "the backup begins with the UTF-16LE byte-order mark")
    text = data[2:].decode("utf-16-le")
    check("\n" not in text.replace("\r\n", ""), "the backup's lines end in CR LF")
    return text


def run_cli(prefix, arguments, cwd=None, env=None):
    """velmorant-cli in the prefix, from the folder cwd, with env's changes."""
    full_env = dict(prefix.env, **(env or {}))
    result = subprocess.run([WINE, CLI, *arguments], env=full_env, cwd=cwd, capture_output=True, timeout=300)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def add_value(prefix, name, data, key=FONTS_KEY):
    kind = "REG_DWORD" if isinstance(data, int) else "REG_SZ"
    status, out, err = prefix.run("reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")
    check(status == 0, "reg add %s: %s %s" % (name, out, err))


def garbage(path):
    with open(path, "wb") as bad:
        bad.write(b"no font in here" * 20)


def repair_outcomes(out):
    """The outcome of each entry a repair --json reported, by value name."""
    report = json.loads(out[out.index("{"):])
    return {item["registryName"]: item["outcome"] for item in report["items"]}, report


class Holder:
    """velmorant-hold-file holding path open until closed."""

    def __init__(self, prefix, mode, path):
        self.process = subprocess.Popen([WINE, HOLDER, mode, path], env=prefix.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        line = self.process.stdout.readline().decode("ascii", "replace").strip()
        check(line == "holding", "the holder holds %s: %r" % (path, line))

    def close(self):
        self.process.communicate(b"\n", timeout=60)


def check_held_files(prefix):
    """A good font held without sharing is no invalid font; an invalid one the shell cannot move keeps its value."""
    renamed_font("DejaVuSans.ttf", os.path.join(prefix.fonts, "held.ttf"), "Velmorant Held")
    garbage(os.path.join(prefix.fonts, "heldbad.ttf"))
    add_value(prefix, "Velmorant Held (TrueType)", "held.ttf")
    add_value(prefix, "Velmorant Held Bad (TrueType)", "heldbad.ttf")
    exclusive = Holder(prefix, "exclusive", "C:\\windows\\Fonts\\held.ttf")
    writing = Holder(prefix, "write", "C:\\windows\\Fonts\\heldbad.ttf")
    try:
        entries = scan(prefix)
        held = entries.get("Velmorant Held (TrueType)", {})
        check(held.get("problem") != 1, "a font held without sharing is no invalid font: %r" % held)
        expect(entries, "Velmorant Held Bad (TrueType)", 1)
        status, out, err = run_cli(prefix, ["repair", "--problem", "1", "--json"])
        outcomes, _ = repair_outcomes(out)
        check("Velmorant Held (TrueType)" not in outcomes, "the held font is not repaired: %r" % outcomes)
        check(outcomes.get("Velmorant Held Bad (TrueType)") == "fileNotMoved",
              "an invalid font the shell cannot move: %r %s" % (outcomes, err))
    finally:
        exclusive.close()
        writing.close()
    values = registry(prefix)
    check("Velmorant Held (TrueType)" in values and "Velmorant Held Bad (TrueType)" in values,
          "both held fonts keep their values")
    for name in ("held.ttf", "heldbad.ttf"):
        check(os.path.exists(os.path.join(prefix.fonts, name)), "%s stays in the Fonts folder" % name)


def check_swapped_since_scan(prefix):
    """Between the scan and the repair a good font replaces an invalid one, a missing
    font is installed and a number becomes good text: all three are left alone."""
    garbage(os.path.join(prefix.fonts, "swap.ttf"))
    add_value(prefix, "Velmorant Swap (TrueType)", "swap.ttf")
    add_value(prefix, "Velmorant Swap Missing (TrueType)", "swapmissing.ttf")
    add_value(prefix, "Velmorant Swap Number (TrueType)", 9)
    process = subprocess.Popen([WINE, CLI, "repair", "--problem", "1", "--problem", "2", "--problem", "3",
                                "--json", "--pause-before-repair"],
                               env=prefix.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    line = process.stdout.readline().decode("utf-8", "replace").strip()
    check(line == "scanned; press Enter to repair", "the repair pauses after its scan: %r" % line)
    renamed_font("DejaVuSerif.ttf", os.path.join(prefix.fonts, "swap.ttf"), "Velmorant Swap")
    renamed_font("DejaVuSans.ttf", os.path.join(prefix.fonts, "swapmissing.ttf"), "Velmorant Swap Missing")
    add_value(prefix, "Velmorant Swap Number (TrueType)", "swapmissing.ttf")
    out, err = process.communicate(b"\n", timeout=300)
    outcomes, report = repair_outcomes(out.decode("utf-8", "replace"))
    for name in ("Velmorant Swap", "Velmorant Swap Missing", "Velmorant Swap Number"):
        check(outcomes.get(name + " (TrueType)") == "changedSinceScan",
              "%s changed since the scan: %r %s" % (name, outcomes, err))
    check(any("changed since the scan" in message for message in report["messages"]), "its closing message")
    values = registry(prefix)
    check(values.get("Velmorant Swap (TrueType)") == "swap.ttf", "the swapped font keeps its value")
    check(values.get("Velmorant Swap Missing (TrueType)") == "swapmissing.ttf", "the installed font keeps its value")
    check(values.get("Velmorant Swap Number (TrueType)") == "swapmissing.ttf", "the rewritten value stays")
    check(os.path.exists(os.path.join(prefix.fonts, "swap.ttf")), "the good font is not recycled")


def check_without_recycle_bin(prefix, root):
    """Where Wine cannot make its trash folder, nothing is deleted for good."""
    garbage(os.path.join(prefix.fonts, "nobin.ttf"))
    add_value(prefix, "Velmorant No Bin (TrueType)", "nobin.ttf")
    blocker = os.path.join(root, "not-a-folder")
    with open(blocker, "w") as block:
        block.write("a file where the trash's parent folder would be")
    status, out, err = run_cli(prefix, ["repair", "--problem", "1", "--json"],
                               env={"XDG_DATA_HOME": os.path.join(blocker, "share")})
    outcomes, report = repair_outcomes(out)
    check(outcomes.get("Velmorant No Bin (TrueType)") == "fileNotMoved", "no recycle bin: %r %s" % (outcomes, err))
    check(os.path.exists(os.path.join(prefix.fonts, "nobin.ttf")), "the file is not deleted for good")
    check("Velmorant No Bin (TrueType)" in registry(prefix), "its value is kept")
    check(any("could not be moved to the recycle bin" in message for message in report["messages"]),
          "its closing message")


def check_relative_path(prefix, root):
    """A value with a folder but no drive lies below the Fonts folder, wherever the console starts:
    in a folder holding a decoy at that relative path, or in the Fonts folder's parent."""
    os.makedirs(os.path.join(prefix.fonts, "sub"), exist_ok=True)
    renamed_font("DejaVuSans-Bold.ttf", os.path.join(prefix.fonts, "sub", "vsub.ttf"), "Velmorant Sub")
    add_value(prefix, "Velmorant Sub (TrueType)", "sub\\vsub.ttf")
    # A decoy below the folder the console starts in.
    decoy = os.path.join(root, "decoy")
    os.makedirs(os.path.join(decoy, "sub"), exist_ok=True)
    garbage(os.path.join(decoy, "sub", "vsub.ttf"))
    for cwd in (decoy, os.path.dirname(prefix.fonts)):
        status, out, _ = run_cli(prefix, ["scan", "--json"], cwd=cwd)
        entries = {entry["registryName"]: entry for entry in json.loads(out)["items"]}
        expect(entries, "Velmorant Sub (TrueType)", 0, "Velmorant Sub", "C:\\windows\\Fonts\\sub\\vsub.ttf")


def check_damaged_font(prefix):
    """A font whose loca sends a glyph past the end of glyf is damaged, with the reason; repair --problem 7
    recycles it and deletes its value."""
    with open(DEJAVU + "DejaVuSans.ttf", "rb") as source:
        data = bytearray(source.read())
    records = {bytes(data[12 + 16 * i:16 + 16 * i]): struct.unpack(">II", data[20 + 16 * i:28 + 16 * i])
               for i in range(struct.unpack(">H", data[4:6])[0])}
    loca = records[b"loca"][0]
    long_loca = struct.unpack(">h", data[records[b"head"][0] + 50:records[b"head"][0] + 52])[0] == 1
    if long_loca:
        data[loca + 20:loca + 24] = struct.pack(">I", 0x7FFFFF00)
    else:
        data[loca + 10:loca + 12] = struct.pack(">H", 0xFFFF)
    with open(os.path.join(prefix.fonts, "damaged.ttf"), "wb") as damaged:
        damaged.write(data)
    add_value(prefix, "Velmorant Damaged (TrueType)", "damaged.ttf")
    entry = scan(prefix).get("Velmorant Damaged (TrueType)", {})
    check(entry.get("problem") == 7 and entry.get("problemText") == "Damaged Font" and
          entry.get("detail", "").startswith("Glyph 5 starts at offset"), "a damaged font: %r" % entry)
    status, out, err = prefix.run(CLI, "repair", "--problem", "7", "--json")
    outcomes, _ = repair_outcomes(out)
    check(status == 0 and outcomes.get("Velmorant Damaged (TrueType)") == "repaired",
          "repair --problem 7: %d %r %s" % (status, outcomes, err))
    check("Velmorant Damaged (TrueType)" not in registry(prefix), "the damaged font's value is deleted")
    check(os.path.exists(os.path.join(prefix.trash, "damaged.ttf")), "the damaged font is in the recycle bin")


def check_repair_guards(prefix, root):
    check_damaged_font(prefix)
    check_held_files(prefix)
    check_swapped_since_scan(prefix)
    check_without_recycle_bin(prefix, root)
    check_relative_path(prefix, root)


KERNEL_KEY = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Kernel"


def check_promotion(prefix, user_folder):
    """promote copies a user's font into the Fonts folder under a free name, registers it for
    all users and moves the user's file to the recycle bin; undo puts both keys back. A user
    font with a machine font's name is shadowed, and the untrusted font policy is told."""
    folder = prefix.unix_path(user_folder)
    renamed_font("DejaVuSans.ttf", os.path.join(folder, "vp.ttf"), "Velmorant Promote")
    add_value(prefix, "Velmorant Promote (TrueType)", user_folder + "\\vp.ttf", USER_KEY)
    # vp.ttf is taken in the Fonts folder: the copy is vp_0.ttf.
    renamed_font("DejaVuSerif.ttf", os.path.join(prefix.fonts, "vp.ttf"), "Velmorant Promote Other")
    add_value(prefix, "Velmorant Promote Other (TrueType)", "vp.ttf")
    # The shadowed font: a user's copy of a machine font.
    renamed_font("DejaVuSansMono.ttf", os.path.join(prefix.fonts, "vshadow.ttf"), "Velmorant Shadow")
    add_value(prefix, "Velmorant Shadow (TrueType)", "vshadow.ttf")
    shutil.copy(os.path.join(prefix.fonts, "vshadow.ttf"), os.path.join(folder, "vshadow.ttf"))
    add_value(prefix, "Velmorant Shadow (TrueType)", user_folder + "\\vshadow.ttf", USER_KEY)
    before = both_keys(prefix)
    entries = {(e["registryName"], e["scope"]): e for e in json.loads(prefix.run(CLI, "scan", "--json")[1])["items"]}
    shadow = entries.get(("Velmorant Shadow (TrueType)", "user"), {})
    check(shadow.get("problem") == 8 and shadow.get("problemText") == "Same Name as a Machine Font" and
          "C:\\windows\\Fonts\\vshadow.ttf" in shadow.get("notes", [""])[0], "the shadowed user font: %r" % shadow)

    status, out, err = prefix.run(CLI, "promote", "--font", "Velmorant Promote", "--json")
    check(status == 0, "promote exit status %d: %s %s" % (status, out, err))
    report = json.loads(out)
    check([item["outcome"] for item in report["items"]] == ["repaired"], "one font promoted: %r" % report)
    check(registry(prefix).get("Velmorant Promote (TrueType)") == "vp_0.ttf", "the machine's value names the copy")
    check(registry(prefix).get("Velmorant Promote Other (TrueType)") == "vp.ttf", "the other font keeps its value")
    check(os.path.exists(os.path.join(prefix.fonts, "vp_0.ttf")), "the copy is in the Fonts folder")
    check("Velmorant Promote (TrueType)" not in registry(prefix, USER_KEY), "the user's value is gone")
    check(not os.path.exists(os.path.join(folder, "vp.ttf")), "the user's file left the user's folder")
    check(os.path.exists(os.path.join(prefix.trash, "vp.ttf")), "the user's file is in the recycle bin")
    entries = {(e["registryName"], e["scope"]): e for e in json.loads(prefix.run(CLI, "scan", "--json")[1])["items"]}
    check(entries.get(("Velmorant Promote (TrueType)", "machine"), {}).get("problem") == 0,
          "a second scan finds the font installed for all users")
    text = backup_text(prefix, report["backup"])
    for line in ("; Moved to the recycle bin: " + user_folder + "\\vp.ttf",
                 "; Copied into the Fonts folder: C:\\windows\\Fonts\\vp_0.ttf",
                 '"Velmorant Promote (TrueType)"=-'):
        check(line + "\r\n" in text, "the promotion's backup holds %r" % line)
    status, out, err = prefix.run(CLI, "undo", report["backup"])
    check(status == 0 and "left C:\\windows\\Fonts\\vp_0.ttf in the Fonts folder" in out,
          "undo names the copy it leaves: %d %r %s" % (status, out, err))
    after = both_keys(prefix)
    check(after == before, "undo leaves both Fonts keys as before the promotion: %r" % keys_changed(before, after))

    # Windows' untrusted font blocking, on: the scan says so, and so do the user's rows.
    status, out, err = prefix.run("reg", "add", KERNEL_KEY, "/v", "MitigationOptions", "/t", "REG_BINARY",
                                  "/d", "0000000000000100", "/f")
    check(status == 0, "reg add MitigationOptions: %s %s" % (out, err))
    status, out, err = prefix.run(CLI, "scan", "--json")
    report = json.loads(out)
    check(report.get("untrustedFontBlocking") == "on" and "Windows blocks untrusted fonts" in err,
          "the scan tells the policy: %r %s" % (report.get("untrustedFontBlocking"), err))
    user_rows = [e for e in report["items"] if e["scope"] == "user"]
    check(user_rows and all(any("Install it for all users" in n for n in e.get("notes", [])) for e in user_rows),
          "every user row tells the blocking")
    prefix.run("reg", "delete", KERNEL_KEY, "/v", "MitigationOptions", "/f")


BACKUP_END = "\r\n; End of the Velmorant repair backup\r\n"


def write_backup(root, name, lines, complete=True):
    """A backup file of the machine's Fonts key holding lines; its Windows path."""
    path = os.path.join(root, name)
    text = "\ufeffWindows Registry Editor Version 5.00\r\n\r\n[%s]\r\n" % FONTS_KEY.replace("Software", "SOFTWARE")
    text += "".join(line + "\r\n" for line in lines) + (BACKUP_END if complete else "")
    with open(path, "wb") as backup:
        backup.write(text.encode("utf-16-le", "surrogatepass"))
    return "Z:" + path.replace("/", "\\")


def check_hostile_undo(prefix, root):
    """A backup that would change another value, or fail halfway, is refused whole."""
    before = both_keys(prefix)
    check("Velmorant Taken (TrueType)" in before["machine"], "the value a hostile backup aims at is there")
    valid = '"Velmorant Test Bold (TrueType)"=-'
    # "nul.reg" would name the NUL device.
    hostile = [
        ("zero.reg", [valid, '"Velmorant Taken (TrueType)\x00x"=-'], True, "holds NUL"),
        ("long.reg", [valid, '"%s"="x.ttf"' % ("n" * 16384)], True, "longer than 16383 characters"),
        ("cut.reg", [valid], False, "not a complete repair backup"),
    ]
    for name, lines, complete, why in hostile:
        path = write_backup(root, name, lines, complete)
        for dry_run in ((), ("--dry-run",)):
            status, out, err = prefix.run(CLI, "undo", path, *dry_run)
            check(status == 2 and why in err and out == "",
                  "undo %s %s is refused: %d %r %r" % (name, dry_run, status, out, err[:300]))
        check(both_keys(prefix) == before, "a refused undo of %s changes nothing" % name)


def repair_backup_text(prefix, *arguments):
    status, out, err = prefix.run(CLI, "repair", "--json", *arguments)
    check(status in (0, 1), "repair %r: %d %s" % (arguments, status, err))
    backup = json.loads(out).get("backup", "")
    return backup, backup_text(prefix, backup) if backup else ""


def check_exact_strings_and_line_breaks(prefix, root):
    """REG_SZ data without its NUL, of an odd size, and a value named across two
    lines come back exactly through the real registry."""
    raw = '"Velmorant Raw (TrueType)"=hex(1):72,00,2e,00,74,00,74,00,66,00'
    odd = '"Velmorant Odd (TrueType)"=hex(1):6f,00,2e,00,74,00,74,00,66,00,00'
    two = ';undo only: "Velmorant Two\\nLines (TrueType)"="C:\\\\Missing\\\\two.ttf"'
    status, _, err = prefix.run(CLI, "undo", write_backup(root, "plant.reg", [raw, odd, two]))
    check(status == 0, "undo plants the values: %s" % err)
    entries = scan(prefix)
    expect(entries, "Velmorant Two\nLines (TrueType)", 2)
    expect(entries, "Velmorant Raw (TrueType)", 2)
    for round_trip in (1, 2):
        # The repair deletes them (their files are missing); its backup holds
        # their data as the registry returns it.
        backup, text = repair_backup_text(prefix, "--problem", "2")
        for line in (raw, odd, two):
            check(line + "\r\n" in text, "round %d: the backup holds %r" % (round_trip, line))
        check("Velmorant Two\nLines (TrueType)" not in scan(prefix), "the two-line value was deleted")
        if round_trip == 1:
            # The Registry Editor reads such a backup, skipping the value it cannot hold.
            status, _, err = prefix.run("regedit", "/s", backup)
            check(status == 0, "regedit imports a backup with an undo-only line: %s" % err)
            check("Velmorant Raw (TrueType)" in registry(prefix), "regedit put back the other values")
            check("Velmorant Two\nLines (TrueType)" not in scan(prefix), "regedit skipped the undo-only line")
        status, out, err = prefix.run(CLI, "undo", backup)
        check(status == 0 and "Two\\x0aLines" in out, "undo puts them back: %d %r %s" % (status, out, err))
        expect(scan(prefix), "Velmorant Two\nLines (TrueType)", 2)
    # Leave them out of what follows.
    repair_backup_text(prefix, "--problem", "2")


def main():
    root = tempfile.mkdtemp(prefix="velmorant-cli-wine.")
    prefix = Prefix(root)
    try:
        # One server for the whole test: Wine registers its fonts once per session.
        subprocess.run([WINESERVER, "-p"], env=prefix.env, capture_output=True, timeout=60)
        status, _, err = prefix.run("wineboot", "-i")
        check(status == 0, "wineboot: " + err)
        fresh = scan(prefix)
        check(len(fresh) > 0, "a fresh prefix lists the fonts Wine registers")
        _, _, timing = prefix.run(CLI, "scan", "--time")
        print("velmorant-cli on a fresh prefix: " + timing.strip())
        plant(prefix)
        user_folder = plant_user(prefix)
        UF = lambda name: user_folder + "\\" + name

        before = scan(prefix)
        _, _, timing = prefix.run(CLI, "scan", "--time")
        print("velmorant-cli with the planted fonts: " + timing.strip())
        F = lambda name: "C:\\windows\\Fonts\\" + name
        expect(before, "velmorant test sans (TrueType)", 6, "Velmorant Test Sans", F("vts.ttf"))
        expect(before, "Velmorant Test Bold (TrueType)", 0, "Velmorant Test Bold", F("vtb.ttf"))
        expect(before, "Velmorant Test Bold Copy (TrueType)", 5, "Velmorant Test Bold", F("VTB.TTF"))
        expect(before, "Velmorant Taken (TrueType)", 0, "Velmorant Taken", F("taken.ttf"))
        expect(before, "Velmorant Taken Wrong (TrueType)", 6, "Velmorant Taken", F("taken2.ttf"))
        expect(before, "Velmorant Unicode (TrueType)", 6, UNICODE_NAME, F("uni.ttf"))
        expect(before, "Velmorant Garbage (TrueType)", 1, "", F("garbage.ttf"))
        expect(before, "Velmorant Missing (TrueType)", 2, "", F("missing.ttf"))
        expect(before, "Velmorant Empty (TrueType)", 2, "", "")
        expect(before, "Velmorant Number (TrueType)", 3, "", "")
        expect(before, F("loose.ttf").lower(), 4, "Velmorant Loose")
        expect(before, F("marlett.ttf").lower(), 0, "Marlett")
        check("Velmorant Bitmap" not in before, "a .fon value is not listed")
        expect(before, "Velmorant Pair A & Velmorant Pair B (TrueType)", 0, "Velmorant Pair A & Velmorant Pair B",
               F("pair.ttc"))
        expect(before, "Velmorant Gone Pair & Gone Other (TrueType)", 2)
        expect(before, "Velmorant Cff (TrueType)", 6, "Velmorant Cff", F("vcff.otf"))
        expect(before, F("votc.otc").lower(), 4, "Velmorant Otc A & Velmorant Otc B")
        for key, kind in (("Velmorant Pair A & Velmorant Pair B (TrueType)", "collection"),
                          ("Velmorant Cff (TrueType)", "opentype"), (F("votc.otc").lower(), "collection"),
                          ("Velmorant Test Bold (TrueType)", "truetype")):
            check(before.get(key, {}).get("format") == kind, "%r is %s" % (key, kind))
        expect(before, "Velmorant User Good (TrueType)", 0, "Velmorant User Good", UF("ug.ttf"))
        expect(before, "Velmorant User Wrong (TrueType)", 6, "Velmorant User Right", UF("uw.ttf"))
        expect(before, "Velmorant User Missing (TrueType)", 2)
        expect(before, "Velmorant User Number (TrueType)", 3)
        expect(before, UF("ul.ttf").lower(), 4, "Velmorant User Loose")
        for key in ("Velmorant User Good (TrueType)", UF("ul.ttf").lower()):
            check(before.get(key, {}).get("scope") == "user", "%r is a user font" % key)
        check(before.get("Velmorant Taken (TrueType)", {}).get("scope") == "machine", "a machine font's scope")
        for key, entry in before.items():
            check(0 <= entry["problem"] <= 6, "%r: problem %d" % (key, entry["problem"]))

        # A dry run tells and changes nothing.
        values_before = registry(prefix)
        status, out, _ = prefix.run(CLI, "repair", "--dry-run")
        check(status == 1, "dry run exit status %d" % status)
        check("would move C:\\windows\\Fonts\\garbage.ttf to the recycle bin" in out, "dry run tells the recycling")
        check(registry(prefix) == values_before, "a dry run leaves the registry alone")
        check(os.path.exists(os.path.join(prefix.fonts, "garbage.ttf")), "a dry run leaves the files alone")

        # Every code: Wine's own values are repaired as well.
        keys_before = both_keys(prefix)
        check(len(keys_before["user"]) == 4 and ("REG_BINARY", "01AB") in keys_before["machine"].values(),
              "the planted values are read back: %r" % keys_before["user"])
        status, out, err = prefix.run(CLI, "repair", "--json")
        check(status == 1, "repair exit status %d (a name is taken): %s" % (status, err))
        report = json.loads(out)
        outcomes = {item["registryName"] or item["fileName"].lower(): item["outcome"] for item in report["items"]}
        check(outcomes.get("Velmorant Taken Wrong (TrueType)") == "nameTaken", "the taken name is told")
        check(any("another font is using the registry value" in m for m in report["messages"]), "closing message")

        values = registry(prefix)
        check(values.get("Velmorant Test Sans (TrueType)") == "vts.ttf", "renamed in letter case")
        check("velmorant test sans (TrueType)" not in values, "the old letter case is gone")
        check(values.get("Velmorant Test Bold (TrueType)") == "vtb.ttf", "the healthy value stays")
        check("Velmorant Test Bold Copy (TrueType)" not in values, "the duplicate is deleted")
        check(values.get("Velmorant Taken Wrong (TrueType)") == "taken2.ttf", "a taken name changes nothing")
        check(values.get("Velmorant Taken (TrueType)") == "taken.ttf", "the font that has the name keeps it")
        check(values.get("Velmorant Loose (TrueType)") == "loose.ttf", "the loose font is registered by bare name")
        for gone in ("Garbage", "Missing", "Empty", "Number", "Unicode"):
            check("Velmorant %s (TrueType)" % gone not in values, "%s value deleted" % gone)
        check(values.get("Velmorant Bitmap") == "velmorant.fon", "the .fon value stays")
        check(values.get("Velmorant Cff (OpenType)") == "vcff.otf", "the CFF font renamed to (OpenType)")
        check("Velmorant Cff (TrueType)" not in values, "its (TrueType) value is gone")
        check(values.get("Velmorant Otc A & Velmorant Otc B (OpenType)") == "votc.otc", "the .otc registered")
        check("Velmorant Gone Pair & Gone Other (TrueType)" not in values, "the missing collection's value deleted")
        check(values.get("Velmorant Pair A & Velmorant Pair B (TrueType)") == "pair.ttc", "the collection stays")
        user_values = registry(prefix, USER_KEY)
        check(user_values.get("Velmorant User Right (TrueType)") == UF("uw.ttf"), "the user font renamed: %r" % user_values)
        check(user_values.get("Velmorant User Loose (TrueType)") == UF("ul.ttf"), "the loose user font registered")
        check(user_values.get("Velmorant User Good (TrueType)") == UF("ug.ttf"), "the healthy user value stays")
        for gone in ("Wrong", "Missing", "Number"):
            check("Velmorant User %s (TrueType)" % gone not in user_values, "user %s value deleted" % gone)
        check(not os.path.exists(os.path.join(prefix.fonts, "garbage.ttf")), "garbage.ttf left the Fonts folder")
        check(os.path.exists(os.path.join(prefix.trash, "garbage.ttf")), "garbage.ttf is in the recycle bin")

        after = scan(prefix)
        for key in ("Velmorant Test Sans (TrueType)", "Velmorant Test Bold (TrueType)", "Velmorant Loose (TrueType)",
                    UNICODE_NAME + " (TrueType)"):
            expect(after, key, 0)
        expect(after, "Velmorant Taken Wrong (TrueType)", 6)
        for key, entry in after.items():
            check(entry["problem"] == 0 or outcomes.get(key, "repaired") != "repaired",
                  "%r still has problem %d after its repair" % (key, entry["problem"]))

        # The backup holds what the repair changed, and undo puts it back exactly.
        backup = report.get("backup", "")
        check(backup.lower().endswith(".reg") and "\\velmorant\\backups\\repair-" in backup.lower(),
              "the repair names its backup: %r" % backup)
        text = backup_text(prefix, backup)
        check(text.startswith("Windows Registry Editor Version 5.00\r\n\r\n"), "the backup's header")
        for line in ("; Moved to the recycle bin: C:\\windows\\Fonts\\garbage.ttf",
                     "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]",
                     '"Velmorant Number (TrueType)"=dword:00000005',
                     '"Velmorant Blob (TrueType)"=hex:01,ab',
                     '"Velmorant User Number (TrueType)"=dword:00000007',
                     '"Velmorant Loose (TrueType)"=-',
                     '"Velmorant User Loose (TrueType)"=-',
                     '"Velmorant Test Sans (TrueType)"=-',
                     '"velmorant test sans (TrueType)"="vts.ttf"'):
            check(line + "\r\n" in text, "the backup holds %r" % line)
        status, out, err = prefix.run(CLI, "undo", backup)
        check(status == 0, "undo exit status %d: %s" % (status, err))
        check(both_keys(prefix) == keys_before, "undo leaves both Fonts keys as before the repair")

        # The Registry Editor imports a backup to the same end.
        status, out, err = prefix.run(CLI, "repair", "--json")
        second = json.loads(out).get("backup", "")
        check(second != backup and second != "", "a second repair writes a backup of its own")
        status, _, err = prefix.run("regedit", "/s", second)
        check(status == 0, "regedit import: %s" % err)
        check(both_keys(prefix) == keys_before, "the Registry Editor's import leaves both keys as before")

        # Refusals change nothing.
        foreign = os.path.join(root, "foreign.reg")
        with open(foreign, "wb") as reg:
            reg.write(("\ufeffWindows Registry Editor Version 5.00\r\n\r\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\Velmorant]\r\n\"x\"=\"y\"\r\n" + BACKUP_END).encode("utf-16-le"))
        status, _, err = prefix.run(CLI, "undo", "Z:" + foreign.replace("/", "\\"))
        check(status == 2 and "only the two Fonts keys" in err, "undo refuses another key: %d %s" % (status, err))
        check(both_keys(prefix) == keys_before, "a refused undo changes nothing")

        check_hostile_undo(prefix, root)
        check_exact_strings_and_line_breaks(prefix, root)

        status, out, _ = prefix.run(CLI, "fix-folder")
        check(status == 0, "fix-folder exit status %d" % status)
        check(out.replace("\r\n", "\n").splitlines() == [
            "Succesfully deleted (possible corrupted) file C:\\windows\\ttfCache. If necessary Windows will "
            "regenerate it.",
            "Succesfully restored folder attributes for C:\\windows\\Fonts.",
            "Succesfully created file C:\\windows\\Fonts\\Desktop.ini.",
            "Succesfully restored folder attributes for C:\\windows\\Fonts\\Desktop.ini.",
        ], "fix-folder lines:\n" + out)
        check(os.path.exists(os.path.join(prefix.trash, "ttfCache")), "ttfCache is in the recycle bin")
        with open(os.path.join(prefix.fonts, "Desktop.ini"), "rb") as ini:
            check(ini.read() == b"[.ShellClassInfo]\r\nUICLSID={BD84B380-8CA2-1069-AB1D-08000948F534}\r\n",
                  "Desktop.ini content")
        status, out, _ = prefix.run(CLI, "fix-folder")
        check(status == 0 and out == "", "a second fix-folder has nothing to do: " + out)

        check_repair_guards(prefix, root)
        check_promotion(prefix, user_folder)
    finally:
        prefix.stop()
        shutil.rmtree(root, ignore_errors=True)
    return tally()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    CLI, HOLDER = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    sys.exit(main())
