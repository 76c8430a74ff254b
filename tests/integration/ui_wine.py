#!/usr/bin/python3
"""velmorant.exe driven as a user would, under Wine on a virtual X display.

Starts Xvfb, plants the prefix the CLI's test plants (cli_wine.py), starts
the program in a Wine virtual desktop, drives it with xdotool (keys and
mouse) and reads its window with velmorant-ui-probe.exe. Screenshots go to
ARTIFACT_FOLDER (main window after a scan, About, Read Me).

    ui_wine.py VELMORANT_EXE PROBE_EXE CLI_EXE ARTIFACT_FOLDER

VELMORANT_UI_DPI (96 by default) sets the prefix's DPI, and the desktop
grows with it, so that the windows can be seen as they scale.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_wine  # noqa: E402
from cli_wine import check, tally  # noqa: E402

DPI = int(os.environ.get("VELMORANT_UI_DPI", "96"))
DESKTOP = (1024 * DPI // 96, 700 * DPI // 96)
PROBLEM_TEXTS = ["", "Invalid Font", "File not found", "Wrong Registry Data Type", "No Registry Key",
                 "Duplicate Registry Data", "Wrong Registry Font Name"]
# The arrows as the resource draws them: G dark grey, W white, "." lets the
# header show.
ARROWS = {"up": [".........", "....G....", "...G.W...", "...G.W...", "..G...W..", "..G...W..", ".G.....W.",
                 ".GWWWWWW.", "........."],
          "down": [".........", ".GGGGGGG.", ".G.....W.", "..G...W..", "..G...W..", "...G.W...", "...G.W...",
                   "....G....", "........."]}
ARROW_COLOURS = {"G": (128, 128, 128), "W": (255, 255, 255)}
# On a light header the edges are drawn darker.
LIGHT_ARROW_COLOURS = {"G": (32, 32, 32), "W": (112, 112, 112)}


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % DESKTOP, "-nolisten",
                               "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    return server, ":" + number.decode().strip()


class Session:
    def __init__(self, prefix, exe, probe, artifacts):
        self.prefix, self.exe, self.probe, self.artifacts = prefix, exe, probe, artifacts
        self.env = prefix.env

    def run_probe(self, *arguments):
        try:
            result = subprocess.run([cli_wine.WINE, self.probe, *arguments], env=self.env, capture_output=True,
                                    timeout=60)
        except subprocess.TimeoutExpired:
            return 1, ""
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def x_window(self, title):
        return subprocess.run(["xdotool", "search", "--name", "^%s$" % re.escape(title)], env=self.env,
                              capture_output=True, text=True).stdout.split()

    def probe_lines(self, *arguments):
        _, out = self.run_probe(*arguments)
        return out.replace("\r", "").split("\n")[:-1] if out else []

    def wait_for(self, what, condition, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.3)
        check(False, "timed out waiting for " + what)
        return None

    def window_exists(self, title):
        status, _ = self.run_probe("find", title)
        return status == 0

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self.env, check=False, timeout=30)
        time.sleep(0.3)

    def key(self, title, *keys):
        windows = self.x_window(title)
        if windows:
            self.xdotool("windowfocus", "--sync", windows[-1])
        self.xdotool("key", "--delay", "100", *keys)

    def click(self, point, modifier=None):
        x, y = point.split()
        if modifier:
            self.xdotool("keydown", modifier)
        self.xdotool("mousemove", "--sync", x, y, "click", "1")
        if modifier:
            self.xdotool("keyup", modifier)

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=False, timeout=60)
        return path

    def rows(self):
        return [line.split("\t")[1:] for line in self.probe_lines("list") if line.startswith("row\t")]

    def settled_arrow(self, name, expected):
        """The arrow of a screenshot, taken again for a few seconds until it
        shows the expected one: a busy machine may paint the header late."""
        found = None
        for _ in range(8):
            found = self.arrow(self.screenshot(name))
            if found == expected:
                break
            time.sleep(0.5)
        return found

    def arrow(self, shot):
        """The column whose header shows an arrow in the screenshot, and its direction."""
        for line in self.probe_lines("arrow-places"):
            _, column, x, y, factor = line.split("\t")
            factor = int(factor)
            pixels = subprocess.run(["convert", shot, "-crop", "%dx%d+%s+%s" % (9 * factor, 9 * factor, x, y),
                                     "+repage", "txt:-"], capture_output=True, text=True).stdout
            colour = {}
            for match in re.finditer(r"^(\d+),(\d+): \((\d+),(\d+),(\d+)", pixels, re.M):
                colour[int(match.group(1)), int(match.group(2))] = tuple(int(match.group(i)) for i in (3, 4, 5))
            for direction, picture in ARROWS.items():
                for colours in (ARROW_COLOURS, LIGHT_ARROW_COLOURS):
                    if all(colour.get((px * factor + dx, py * factor + dy)) == colours[ch]
                           for py, row in enumerate(picture) for px, ch in enumerate(row) if ch != "."
                           for dx in range(factor) for dy in range(factor)):
                        return int(column), direction
        return None


def close_session(root, prefix, program, xvfb):
    """Ends the prefix's processes, the program and the X server, and removes the prefix."""
    prefix.stop()
    if program:
        program.wait(timeout=60)
    xvfb.terminate()
    xvfb.wait(timeout=30)
    shutil.rmtree(root, ignore_errors=True)


def use_virtual_desktop(prefix):
    """Every process of the prefix on one virtual desktop, which draws the
    windows' frames as Windows does; it stands at the display's origin."""
    explorer = r"HKCU\Software\Wine\Explorer"
    prefix.run("reg", "add", explorer, "/v", "Desktop", "/d", "Default", "/f")
    prefix.run("reg", "add", explorer + r"\Desktops", "/v", "Default", "/d", "%dx%d" % DESKTOP, "/f")


def set_dpi(prefix):
    if DPI == 96:
        return
    for key in (r"HKCU\Control Panel\Desktop",
                r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"):
        prefix.run("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(DPI), "/f")


def row_of(rows, registry_name):
    for index, row in enumerate(rows):
        if row[3] == registry_name:
            return index, row
    return None, None


def check_log_blocks(log, blocks):
    lines = log.replace("\r\n", "\n").split("\n")
    starts = [i for i, line in enumerate(lines) if line.startswith("Velmorant, by ")]
    check(len(starts) == blocks, "%d scan blocks in the log, expected %d:\n%s" % (len(starts), blocks, log))
    for start in starts:
        block = lines[start:]
        check(re.fullmatch(r"Started:    \d\d-\d\d-\d{4}, at \d\d:\d\d:\d\d", block[1]) is not None,
              "start line: %r" % block[1])
        end = next((i for i, line in enumerate(block) if line.startswith("Completed:")), None)
        check(end is not None, "a completion line follows")
        if end is None:
            return
        check(re.fullmatch(r"Completed:  \d\d-\d\d-\d{4}, at \d\d:\d\d:\d\d", block[end]) is not None,
              "completion line: %r" % block[end])
        check(all(line.startswith("Succesfully") for line in block[2:end]), "folder-fix lines: %r" % block[2:end])
        check(block[end + 1] == "", "an empty line closes the block")


def preview(s):
    """The preview pane for a Latin font, a CJK font and a collection of the
    host's fonts that Wine registers, each row chosen with the mouse; the
    screenshots (the pane cut out) go to the artifacts."""
    def show(file_part, shot):
        rows = s.rows()
        index = next((i for i, row in enumerate(rows) if row[4].lower().endswith(file_part)), None)
        check(index is not None, "a row for the host's " + file_part)
        if index is None:
            return None
        s.click(s.probe_lines("row-point", str(index))[0])
        time.sleep(1.5)
        # Measured, never judged: the figure goes to the test's output.
        print("%s: %s" % (file_part, " ".join(s.probe_lines("time-preview"))))
        lines = {line.split("\t")[0]: line.split("\t")[1:] for line in s.probe_lines("preview")}
        check("pane" in lines, "the preview pane stands beside the list")
        if "pane" in lines:
            x, y, width, height = lines["pane"]
            path = s.screenshot(shot)
            subprocess.run(["convert", path, "-crop", "%sx%s+%s+%s" % (width, height, x, y), "+repage", path],
                           check=False, timeout=60)
        return lines

    lines = show("dejavusans.ttf", "preview-latin.png")
    check(lines and lines["faces"][0] == "hidden", "a single font has no face chooser: %r" % (lines,))
    show("ipag.ttf", "preview-cjk.png")
    show("notosanscjk-regular.ttc", "preview-cff.png")
    lines = show("wqy-zenhei.ttc", "preview-collection.png")
    faces = lines["faces"] if lines else []
    check(faces[:2] == ["shown", "0"] and len(faces) > 3 and
          faces[2:] == ["Font %d of %d" % (i + 1, len(faces) - 2) for i in range(len(faces) - 2)],
          "a collection chooses among its faces: %r" % (lines,))
    if lines:
        s.click(lines["faces-point"][0])
        s.xdotool("key", "Down", "Return")
        time.sleep(1.5)
        lines = show("wqy-zenhei.ttc", "preview-collection-face2.png")
        check(lines and lines["faces"][1] == "1", "the second face is shown: %r" % (lines,))


def run(session):
    s = session
    # Read Me: once at start, not again. The first probe waits until the
    # program's windows stand: Wine processes starting side by side in a new
    # session may wait on each other.
    s.wait_for("the first window", lambda: s.x_window("Read Me"))
    check(s.wait_for("Read Me", lambda: s.window_exists("Read Me")), "Read Me opens at start")
    texts = "\n".join(s.probe_lines("texts", "Read Me"))
    for part in ("NO WARRANTIES", "HOW TO USE", "fontext.dll"):
        check(part in texts, "Read Me tells " + part)
    s.screenshot("readme.png")
    s.key("Read Me", "Return")
    check(s.wait_for("Read Me to close", lambda: not s.window_exists("Read Me")), "Enter closes Read Me")
    time.sleep(2)
    check(not s.window_exists("Read Me"), "Read Me does not open again")

    buttons = [line.split("\t") for line in s.probe_lines("toolbar")]
    check([b[1] if len(b) > 1 else "|" for b in buttons] ==
          ["Velmorant", "|", "Repair Items", "|", "Read Me", "About", "|", "Exit"], "toolbar: %r" % buttons)
    check(s.probe_lines("status") == [""], "no status text before the first scan")

    # The scan, from the keyboard.
    s.key("Velmorant", "F5")
    s.wait_for("the scan", lambda: "Completed:" in "\n".join(s.probe_lines("log")))
    rows = s.rows()
    check(s.probe_lines("status") == ["%d items,  0 items selected" % len(rows)],
          "status after the scan: %r" % s.probe_lines("status"))
    expected = {"velmorant test sans (TrueType)": 6, "Velmorant Test Bold (TrueType)": 0,
                "Velmorant Test Bold Copy (TrueType)": 5, "Velmorant Taken Wrong (TrueType)": 6,
                "Velmorant Garbage (TrueType)": 1, "Velmorant Missing (TrueType)": 2,
                "Velmorant Number (TrueType)": 3}
    for name, problem in expected.items():
        _, row = row_of(rows, name)
        check(row is not None, "a row for " + name)
        if row:
            check(row[5] == PROBLEM_TEXTS[problem], "%s: problem text %r" % (name, row[5]))
            check(row[0] == str(0 if problem == 0 else 2 if problem == 6 else 1), "%s: icon %s" % (name, row[0]))
    check(any(row[2] == "Velmorant Loose" and row[5] == "No Registry Key" for row in rows), "the loose font's row")
    codes = [PROBLEM_TEXTS.index(row[5]) or 7 for row in rows]
    check(codes == sorted(codes), "rows in inventory order: problems first, by code")
    check_log_blocks("\n".join(s.probe_lines("log")), 1)
    arrow = s.settled_arrow("main-after-scan.png", (3, "up"))
    check(arrow == (3, "up"), "the arrow stands on Problem, ascending: %r" % (arrow,))
    preview(s)

    # Without a mouse: Tab goes from the list to the log, where Escape must
    # not end the program, and on to the toolbar, where Enter presses the
    # first button: a second scan.
    s.key("Velmorant", "Tab")
    check(s.probe_lines("focus") == ["Edit"], "Tab reaches the log: %r" % s.probe_lines("focus"))
    s.key("Velmorant", "Escape")
    time.sleep(1)
    check(s.window_exists("Velmorant"), "Escape in the log leaves the program running")
    s.key("Velmorant", "Tab")
    check(s.probe_lines("focus") == ["ToolbarWindow32"], "Tab reaches the toolbar: %r" % s.probe_lines("focus"))
    s.key("Velmorant", "Return")
    s.wait_for("the scan from the toolbar", lambda: "\n".join(s.probe_lines("log")).count("Completed:") == 2)
    s.key("Velmorant", "Tab")
    check(s.probe_lines("focus") == ["SysListView32"], "Tab comes back to the list: %r" % s.probe_lines("focus"))

    # Another scan, with a header click, Ctrl+A and Repair while it runs:
    # only Exit is enabled, nothing reaches a row, and the scan's order stands.
    during = s.probe_lines("during-scan", "0")
    check(len(during) == 1 and during[0].split("\t")[1:6] == ["0", "0", "0", "0", "1"],
          "during a scan only Exit is enabled: %r" % during)
    s.wait_for("the third scan", lambda: "\n".join(s.probe_lines("log")).count("Completed:") == 3)
    check_log_blocks("\n".join(s.probe_lines("log")), 3)
    again = s.rows()
    check(len(again) == len(rows), "another scan shows the same rows, not twice")
    codes = [PROBLEM_TEXTS.index(row[5]) or 7 for row in again]
    check(codes == sorted(codes), "a header click during the scan sorted nothing")
    check(s.probe_lines("status") == ["%d items,  0 items selected" % len(again)], "Ctrl+A during the scan")
    check(s.settled_arrow("sort.png", (3, "up")) == (3, "up"), "the arrow stays on Problem")
    check(not s.window_exists("Error"), "no repair ran during the scan")
    header = s.probe_lines("header-point", "0")[0]

    # Header clicks: name ascending, descending, then problem again.
    s.click(header)
    names = [row[2] for row in s.rows()]
    check(names == sorted(names, key=lambda n: (n.upper(), n)), "sorted by name ascending")
    check(s.settled_arrow("sort.png", (0, "up")) == (0, "up"), "the arrow moves to Font Name")
    s.click(header)
    check([row[2] for row in s.rows()] == sorted(names, key=lambda n: (n.upper(), n), reverse=True),
          "sorted by name descending")
    check(s.settled_arrow("sort.png", (0, "down")) == (0, "down"), "the arrow points down")
    s.click(s.probe_lines("header-point", "3")[0])
    codes = [PROBLEM_TEXTS.index(row[5]) or 7 for row in s.rows()]
    check(codes == sorted(codes), "sorted by problem again")
    os.remove(os.path.join(s.artifacts, "sort.png"))

    # Repair: four rows selected with the mouse, the popup menu from the keyboard.
    chosen = ["Velmorant Garbage (TrueType)", "Velmorant Missing (TrueType)", "velmorant test sans (TrueType)",
              "Velmorant Taken Wrong (TrueType)"]
    for number, name in enumerate(chosen):
        index, _ = row_of(s.rows(), name)
        s.click(s.probe_lines("row-point", str(index))[0], "ctrl" if number else None)
    selected = [row[3] for row in s.rows() if row[1] == "1"]
    check(sorted(selected) == sorted(chosen), "selected rows: %r" % selected)
    check(s.probe_lines("status") == ["%d items,  4 items selected" % len(rows)], "status counts the selection")
    s.key("Velmorant", "shift+F10")
    time.sleep(1)
    s.key("Velmorant", "r")
    check(s.wait_for("the error box", lambda: s.window_exists("Error")), "a failed repair shows its message box")
    texts = "\n".join(s.probe_lines("texts", "Error"))
    check("Can't repair some items because another font is using the registry value. Try to uninstall these fonts."
          in texts, "the message box's text: %r" % texts)
    s.key("Error", "Return")
    time.sleep(1)
    check(not s.window_exists("Error"), "one message box only")
    after = s.rows()
    check(len(after) == len(rows) - 2, "two rows removed: %d -> %d" % (len(rows), len(after)))
    _, renamed = row_of(after, "Velmorant Test Sans (TrueType)")
    check(renamed is not None and renamed[0] == "0" and renamed[5] == "", "the renamed row: %r" % (renamed,))
    _, taken = row_of(after, "Velmorant Taken Wrong (TrueType)")
    check(taken is not None and taken[5] == "Wrong Registry Font Name", "the row that could not be repaired stays")
    values = cli_wine.registry(s.prefix)
    check(values.get("Velmorant Test Sans (TrueType)") == "vts.ttf", "renamed in the registry")
    for gone in ("Velmorant Garbage (TrueType)", "Velmorant Missing (TrueType)", "velmorant test sans (TrueType)"):
        check(gone not in values, gone + " deleted")
    check(values.get("Velmorant Taken Wrong (TrueType)") == "taken2.ttf", "the taken name changes nothing")
    backup = [line for line in s.probe_lines("log") if line.startswith("Registry values saved before the repair to ")]
    check(len(backup) == 1 and "\\Velmorant\\Backups\\repair-" in backup[0], "the log names the backup: %r" % backup)

    check_promotion(s)

    # About, from its toolbar button; Escape closes it.
    s.click(s.probe_lines("button-point", "5")[0])
    check(s.wait_for("About", lambda: s.window_exists("About Velmorant")), "About opens")
    texts = s.probe_lines("texts", "About Velmorant")
    check(any(line.endswith("\tVersion 1.0 (build 1.0.0.1)") for line in texts), "version line: %r" % texts)
    check(any(re.search(r"\tMicrosoft Windows NT \d+\.\d\d \(build \d+.*\)$", line) for line in texts),
          "operating-system line: %r" % texts)
    check(any(re.search(r"\t[\d,.\s]+ KB$", line) for line in texts), "memory line: %r" % texts)
    time.sleep(1)
    s.screenshot("about.png")
    s.key("About Velmorant", "Escape")
    check(s.wait_for("About to close", lambda: not s.window_exists("About Velmorant")), "Escape closes About")



def check_exit(s):
    s.click(s.probe_lines("button-point", "7")[0])
    check(s.wait_for("the program to end", lambda: not s.window_exists("Velmorant")), "Exit ends the program")


PROMOTED = "Velmorant Window Promote (TrueType)"


def plant_user_font(prefix):
    """One healthy font of the user's own, for the popup menu's Install for All Users."""
    windows_folder, folder = cli_wine.user_font_folder(prefix)
    os.makedirs(folder, exist_ok=True)
    cli_wine.renamed_font("DejaVuSans.ttf", os.path.join(folder, "uprom.ttf"), "Velmorant Window Promote")
    cli_wine.add_value(prefix, PROMOTED, windows_folder + "\\uprom.ttf", cli_wine.USER_KEY)


def check_promotion(s):
    """Install for All Users from the popup menu: the row becomes the machine's font."""
    index, row = row_of(s.rows(), PROMOTED)
    check(row is not None and row[4].lower().endswith("\\microsoft\\windows\\fonts\\uprom.ttf"),
          "the user's font is listed: %r" % (row,))
    if row is None:
        return
    s.click(s.probe_lines("row-point", str(index))[0])
    s.key("Velmorant", "shift+F10")
    time.sleep(1)
    s.key("Velmorant", "a")
    saved = "Registry values saved before the installation for all users to "
    check(s.wait_for("the installation", lambda: saved in "\n".join(s.probe_lines("log"))),
          "the log names the installation's backup")
    _, row = row_of(s.rows(), PROMOTED)
    check(row is not None and row[4].lower() == "c:\\windows\\fonts\\uprom.ttf" and row[5] == "",
          "the row shows the copy in the Fonts folder: %r" % (row,))
    check(cli_wine.registry(s.prefix).get(PROMOTED) == "uprom.ttf", "the machine's value names the copy")
    check(PROMOTED not in cli_wine.registry(s.prefix, cli_wine.USER_KEY), "the user's value is gone")


def check_toolbar_keys(s):
    # Tab from the list to the log, then to the toolbar: the first button is
    # chosen, the arrows move over separators, and the highlight goes with
    # the focus.
    s.key("Velmorant", "Tab", "Tab")
    check(s.probe_lines("focus") == ["ToolbarWindow32"], "Tab reaches the toolbar: %r" % s.probe_lines("focus"))
    check(s.probe_lines("hot") == ["0"], "the first button is chosen: %r" % s.probe_lines("hot"))
    s.key("Velmorant", "Right")
    hot = s.probe_lines("hot")
    check(hot in (["2"], ["4"]), "Right moves to the next button that can be pressed: %r" % hot)
    check(s.probe_lines("focus") == ["ToolbarWindow32"], "the arrow keys stay on the toolbar")
    s.key("Velmorant", "Left", "Left")
    check(s.probe_lines("hot") == ["7"], "Left from the first button comes round to Exit: %r" % s.probe_lines("hot"))
    s.key("Velmorant", "Left", "space")
    check(s.wait_for("About from Space", lambda: s.window_exists("About Velmorant")), "Space presses About")
    s.key("About Velmorant", "Escape")
    s.wait_for("About to close", lambda: not s.window_exists("About Velmorant"))
    s.key("Velmorant", "Tab")
    check(s.probe_lines("hot") == ["-1"], "no highlight stays when the focus leaves: %r" % s.probe_lines("hot"))
    s.key("Velmorant", "ctrl+F1")
    check(s.wait_for("About from Ctrl+F1", lambda: s.window_exists("About Velmorant")), "Ctrl+F1 opens About")
    s.key("About Velmorant", "Escape")
    s.wait_for("About to close", lambda: not s.window_exists("About Velmorant"))


def check_copy(s):
    s.key("Velmorant", "ctrl+a", "ctrl+c")
    rows = s.rows()
    text = s.run_probe("clipboard")[1].split("\r\n")
    check(text[0] == "Font Name\tRegistry Name\tFilename\tProblem", "the copy's header line: %r" % text[:1])
    check(text[1:-1] == ["\t".join(row[2:]) for row in rows] and text[-1] == "",
          "every selected row, one tab-separated line each")


def check_many_rows_and_escape(s):
    # Thousands of values naming one font: the virtual list selects them all
    # at once, and Escape stops a scan of them.
    count = 3000
    reg = os.path.join(s.prefix.root, "bulk.reg")
    with open(reg, "w", encoding="utf-16") as out:
        out.write("Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n" % cli_wine.FONTS_KEY)
        for i in range(count):
            out.write('"Velmorant Bulk %05d (TrueType)"="vts.ttf"\r\n' % i)
    status, _, err = s.prefix.run("reg", "import", "Z:" + reg.replace("/", "\\"))
    check(status == 0, "reg import: " + err)
    rows = s.probe_lines("stop-scan")
    check(rows == ["0"], "Escape leaves the list empty: %r" % rows)
    log = s.probe_lines("log")
    check(log[-2:] == ["The scan was stopped before it ended: no fonts are listed.", ""],
          "the stopped scan's block ends with its line: %r" % log[-3:])
    check(not s.window_exists("Error"), "a stopped scan is no error")
    before = "\n".join(log).count("Completed:")
    s.key("Velmorant", "F5")
    s.wait_for("the big scan", lambda: "\n".join(s.probe_lines("log")).count("Completed:") > before, timeout=300)
    status = s.probe_lines("status")
    total = int(status[0].split()[0]) if status else 0
    check(total >= count, "every value has a row: %r" % status)
    timed = s.probe_lines("time-select")
    check(len(timed) == 2 and timed[0].endswith(", %d selected" % total) and timed[1].endswith(", 1 selected"),
          "select all, then one click: %r" % timed)
    s.wait_for("the status", lambda: s.probe_lines("status") == ["%d items,  1 items selected" % total])
    print("\n".join(timed + s.probe_lines("time-paint") + s.probe_lines("time-sort", "0")))


def check_dpi_change(s):
    # Moved to a monitor of one and a half times the DPI, and back: the
    # buttons and the columns scale with it, and return.
    width = int(s.probe_lines("list")[0].split("\t")[1].split("/")[1])
    larger = DPI * 3 // 2
    sizes = s.probe_lines("dpi-changed", str(larger))
    check(sizes == ["%d %d %d" % ((81 * larger + 48) // 96, (36 * larger + 48) // 96, width * 3 // 2)],
          "sizes at %d DPI: %r" % (larger, sizes))
    s.screenshot("dpi-changed-%d.png" % larger)
    sizes = s.probe_lines("dpi-changed", str(DPI))
    check(sizes == ["%d %d %d" % ((81 * DPI + 48) // 96, (36 * DPI + 48) // 96, width)], "sizes back at %d DPI: %r" % (DPI, sizes))


def colours(shot, width, height, left, top):
    """How many colours the screenshot's rectangle holds, as ImageMagick counts them."""
    return subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (width, height, left, top), "+repage",
                           "-format", "%k", "info:"], capture_output=True, text=True).stdout.strip()


def check_layout(s):
    # Widened, the last column takes the free width and no old size grip
    # stays in the status bar; made small, the minimum keeps every button.
    left, top, right, bottom = map(int, s.probe_lines("window-rect")[0].split())
    s.run_probe("resize", str(right - left + 200 * DPI // 96), str(bottom - top))
    time.sleep(1)
    widths = [int(c.split("/")[1]) for c in s.probe_lines("list")[0].split("\t")[1:]]
    list_left, list_top, list_right, list_bottom = map(int, s.probe_lines("list-rect")[0].split())
    check(sum(widths) >= list_right - list_left - 30 * DPI // 96,
          "the last column takes the free width: %r in %d" % (widths, list_right - list_left))
    shot = s.screenshot("layout-wide-%d.png" % DPI)
    sl, st, sr, sb = map(int, s.probe_lines("status-rect")[0].split())
    grip = 20 * DPI // 96
    pixels = colours(shot, grip, sb - st - 4, right - grip - 4, st + 2)
    check(pixels == "1", "no old size grip where the window ended: %s colours" % pixels)
    # The preview moved right of the widened list shows its own background,
    # not the list's scroll bar copied along with its old pixels.
    band = 16 * DPI // 96
    pixels = colours(shot, band, list_bottom - list_top - 48 * DPI // 96, list_right + 6 * DPI // 96,
                     list_top + 40 * DPI // 96)
    check(pixels == "1", "no old scroll bar beside the widened list: %s colours" % pixels)
    s.run_probe("resize", "100", "100")
    time.sleep(1)
    small = list(map(int, s.probe_lines("window-rect")[0].split()))
    buttons = s.probe_lines("button-point", "7")[0].split()
    check(int(buttons[0]) < small[2], "Exit stays inside the smallest window: %r %r" % (buttons, small))
    s.screenshot("layout-small-%d.png" % DPI)
    s.run_probe("resize", str(right - left), str(bottom - top))


def main(exe, probe, cli, artifacts):
    os.makedirs(artifacts, exist_ok=True)
    cli_wine.CLI = cli
    root = tempfile.mkdtemp(prefix="velmorant-ui-wine.")
    prefix = cli_wine.Prefix(root)
    xvfb, display = start_xvfb()
    prefix.env["DISPLAY"] = display
    program = None
    try:
        status, _, err = prefix.run("wineboot", "-i")
        check(status == 0, "wineboot: " + err)
        cli_wine.plant(prefix)
        plant_user_font(prefix)
        use_virtual_desktop(prefix)
        set_dpi(prefix)
        program = subprocess.Popen([cli_wine.WINE, exe],
                                   env=prefix.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        session = Session(prefix, exe, probe, artifacts)
        run(session)
        for extra in (check_toolbar_keys, check_copy, check_layout, check_dpi_change, check_many_rows_and_escape, check_exit):
            extra(session)
    finally:
        close_session(root, prefix, program, xvfb)
    print("screenshots in " + artifacts)
    return tally()


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*[os.path.abspath(a) for a in sys.argv[1:]]))
