#!/usr/bin/python3
"""A short scripted demonstration of velmorant.exe on a display of its own
(Xvfb): a demo Wine prefix with one planted entry of every problem code and
no Desktop.ini (or the prefix WINEPREFIX names), a scan, a screenshot of the
main window; prints the picture's path and the rows it shows.

    run-demo.py VELMORANT_EXE PROBE_EXE OUTPUT_FOLDER
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "integration"))
import cli_wine  # noqa: E402
import ui_wine  # noqa: E402


def main(exe, probe, output):
    os.makedirs(output, exist_ok=True)
    root = tempfile.mkdtemp(prefix="velmorant-demo.")
    prefix = cli_wine.Prefix(root)
    given = os.environ.get("WINEPREFIX")
    if given:
        prefix.env["WINEPREFIX"] = given
    xvfb, display = ui_wine.start_xvfb()
    prefix.env["DISPLAY"] = display
    try:
        prefix.run("wineboot", "-i")
        if not given:
            cli_wine.plant(prefix)
        ui_wine.use_virtual_desktop(prefix)
        program = subprocess.Popen([cli_wine.WINE, exe], env=prefix.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        session = ui_wine.Session(prefix, exe, probe, output)
        session.wait_for("the Read Me window", lambda: session.x_window("Read Me"))
        session.wait_for("the Read Me window", lambda: session.window_exists("Read Me"))
        session.key("Read Me", "Return")
        session.key("Velmorant", "F5")
        session.wait_for("the scan", lambda: "Completed:" in "\n".join(session.probe_lines("log")))
        time.sleep(1)
        picture = session.screenshot("velmorant-main.png")
        rows = session.rows()
        print("Screenshot: " + picture)
        print("Status: " + "".join(session.probe_lines("status")))
        for row in rows:
            print("\t".join(row[2:]))
        session.click(session.probe_lines("button-point", "7")[0])
        program.wait(timeout=60)
    finally:
        prefix.stop()
        xvfb.terminate()
        xvfb.wait(timeout=30)
        if not given:
            subprocess.run(["rm", "-rf", root], check=False)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*[os.path.abspath(a) for a in sys.argv[1:]]))
