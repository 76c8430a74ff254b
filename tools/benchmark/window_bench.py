#!/usr/bin/python3
"""The window program's scale under Wine: scan, select all, deselect, sort and
repaint at a few counts of registered fonts, beside velmorant-cli's scan of
the same prefix.

    window_bench.py VELMORANT_EXE PROBE_EXE CLI_EXE [COUNT]...

Each count gets a prefix of its own whose Fonts key holds COUNT values, each
naming one of the host's TrueType files (round the list), and a virtual X
display. Prints the medians of three runs, in milliseconds. The window's scan
is measured from its command to the list filled; its target is within 1.2
times the CLI's, and the list's operations under 200 ms at 20,000 rows.
"""
import glob
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "integration"))
import cli_wine  # noqa: E402
import ui_wine  # noqa: E402

RUNS = 3


def register(prefix, count):
    fonts = sorted(glob.glob("/usr/share/fonts/**/*.ttf", recursive=True))
    reg = os.path.join(prefix.root, "bench.reg")
    with open(reg, "w", encoding="utf-16") as out:
        out.write("Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n" % cli_wine.FONTS_KEY)
        for i in range(count):
            path = "Z:" + fonts[i % len(fonts)].replace("/", "\\\\")
            out.write('"Velmorant Bench %05d (TrueType)"="%s"\r\n' % (i, path))
    status, _, err = prefix.run("reg", "import", "Z:" + reg.replace("/", "\\"))
    if status != 0:
        sys.exit("reg import: " + err)


def figure(lines, name):
    for line in lines:
        if line.startswith(name + " "):
            return float(line.split()[1])
    return float("nan")


def cli_scan(prefix, cli):
    start = time.perf_counter()
    subprocess.run([cli_wine.WINE, cli, "scan"], env=prefix.env, capture_output=True, timeout=3600)
    return (time.perf_counter() - start) * 1000


def bench(exe, probe, cli, count):
    root = tempfile.mkdtemp(prefix="velmorant-window-bench.")
    prefix = cli_wine.Prefix(root)
    xvfb, display = ui_wine.start_xvfb()
    prefix.env["DISPLAY"] = display
    program = None
    try:
        prefix.run("wineboot", "-i")
        register(prefix, count)
        ui_wine.use_virtual_desktop(prefix)
        program = subprocess.Popen([cli_wine.WINE, exe], env=prefix.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        session = ui_wine.Session(prefix, exe, probe, root)
        # The first start shows Read Me.
        session.wait_for("Read Me", lambda: session.window_exists("Read Me"), timeout=120)
        session.key("Read Me", "Return")
        session.wait_for("Read Me to close", lambda: not session.window_exists("Read Me"))
        figures = {name: [] for name in ("cli", "scan", "select-all", "deselect", "sort", "paint")}
        rows = 0
        for _ in range(RUNS):
            figures["cli"].append(cli_scan(prefix, cli))
            scan = session.probe_lines("time-scan")
            figures["scan"].append(figure(scan, "scan"))
            rows = int(scan[0].split()[3]) if scan else 0
            timed = session.probe_lines("time-select")
            figures["select-all"].append(figure(timed, "select-all"))
            figures["deselect"].append(figure(timed, "deselect"))
            figures["sort"].append(figure(session.probe_lines("time-sort", "0"), "sort"))
            figures["paint"].append(figure(session.probe_lines("time-paint"), "paint"))
        median = {name: statistics.median(values) for name, values in figures.items()}
        print("%6d values, %6d rows: cli scan %.0f, window scan %.0f (%.2f x), %.3f ms per entry; "
              "select all %.1f, deselect %.1f, sort %.1f, paint %.1f" %
              (count, rows, median["cli"], median["scan"], median["scan"] / median["cli"],
               median["scan"] / max(rows, 1), median["select-all"], median["deselect"], median["sort"],
               median["paint"]), flush=True)
    finally:
        ui_wine.close_session(root, prefix, program, xvfb)


def main(exe, probe, cli, *counts):
    cli_wine.CLI = cli
    for count in map(int, counts or ("2000", "20000")):
        bench(exe, probe, cli, count)
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(main(*[os.path.abspath(a) for a in sys.argv[1:4]], *sys.argv[4:]))
