#!/usr/bin/python3
"""velmorant-cli reset-cache against Wine's service control manager, in a
throwaway prefix.

Wine's own "FontCache" service gives way to velmorant-fake-service, which
logs its starts and stops, holds one cache file open until it has stopped
and takes two seconds to stop; "FontCache3.0.0.0" is deleted. The cache
files are planted, with files that must stay, and velmorant-hold-file holds
one of them open. Then: a dry run and a run with the limited token of an
administrator that has not elevated (velmorant-run-limited) change nothing;
the reset stops the service, waits for it, deletes the caches, schedules the
held file for deletion at the next start of Windows and starts the service
again; a second reset finds the service stopped and leaves it so.

    cache_wine.py CLI.exe HOLD_FILE.exe FAKE_SERVICE.exe RUN_LIMITED.exe
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_wine  # noqa: E402
from cli_wine import check, tally, WINESERVER, Holder, Prefix  # noqa: E402

SESSION_MANAGER = r"HKLM\SYSTEM\CurrentControlSet\Control\Session Manager"
SERVICE_FOLDER = r"C:\windows\ServiceProfiles\LocalService\AppData\Local"
CACHE_FOLDER = SERVICE_FOLDER + r"\FontCache"
HELD_BY_SERVICE = CACHE_FOLDER + r"\~FontCache-System.dat"
HELD_BY_HOLDER = CACHE_FOLDER + r"\FontCache-S-1-5-21-x.dat"
# The reset deletes these ...
CACHES = [HELD_BY_SERVICE, HELD_BY_HOLDER, SERVICE_FOLDER + r"\FontCache3.0.0.0.dat",
          r"C:\windows\system32\FNTCACHE.DAT"]
# ... and leaves these alone (the cloud fonts' one is added below the user's
# local application data).
KEPT = [CACHE_FOLDER + r"\FontCache-S-1-5-21-x.dat.bak", CACHE_FOLDER + r"\Fonts.log"]


def windows(path):
    return "Z:" + path.replace("/", "\\")


def service_state(prefix):
    _, out, _ = prefix.run("sc", "query", "FontCache")
    for line in out.splitlines():
        if line.strip().startswith("STATE"):
            return line.split()[-1]
    return ""


def wait_for(what, bound_seconds=30):
    """Polls what() until it is true, at most bound_seconds."""
    deadline = time.monotonic() + bound_seconds
    while not what():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


class Setup:
    def __init__(self, prefix, root):
        self.prefix = prefix
        self.log = os.path.join(root, "service.log")
        _, out, _ = prefix.run("cmd", "/c", "echo", "%LOCALAPPDATA%")
        self.kept = KEPT + [out.strip() + r"\Microsoft\FontCache\4\CloudFonts\x.dat"]
        # winepath names no file below a folder that does not exist yet.
        drive = os.path.join(prefix.env["WINEPREFIX"], "drive_c")
        self.files = {path: os.path.join(drive, *path[3:].split("\\")) for path in CACHES + self.kept}

    def plant(self):
        for path, unix in self.files.items():
            os.makedirs(os.path.dirname(unix), exist_ok=True)
            with open(unix, "wb") as planted:
                planted.write(b"cache of " + path.encode())

    def present(self):
        return {path for path, unix in self.files.items() if os.path.exists(unix)}

    def log_lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log) as log:
            return log.read().splitlines()

    def install_service(self):
        for name in ("FontCache", "FontCache3.0.0.0"):
            status, out, _ = self.prefix.run("sc", "delete", name)
            check(status == 0, "sc delete %s: %s" % (name, out))
        # The service's arguments are part of its command line.
        command = " ".join((windows(FAKE_SERVICE), "FontCache", windows(self.log), "2000", HELD_BY_SERVICE))
        status, out, _ = self.prefix.run("sc", "create", "FontCache", "binPath=", command)
        check(status == 0, "sc create FontCache: %s" % out)
        status, out, _ = self.prefix.run("sc", "start", "FontCache")
        check(status == 0 and wait_for(lambda: self.log_lines() == ["start holding"]),
              "the service starts and holds its file: %s %r" % (out, self.log_lines()))


def reset(prefix, *arguments, limited=False):
    status, out, err = prefix.run(*([RUN_LIMITED] if limited else []), CLI, "reset-cache", "--json", *arguments)
    try:
        return status, json.loads(out)
    except ValueError:
        check(False, "reset-cache %r prints JSON: %d %r %r" % (arguments, status, out, err))
        return status, {"steps": [], "log": []}


def steps(report):
    return [(step["action"], step["name"], step["result"]) for step in report["steps"]]


def pending_deletions(prefix):
    _, out, _ = prefix.run("reg", "query", SESSION_MANAGER, "/v", "PendingFileRenameOperations")
    return out


def check_nothing_changed(setup, what):
    check(setup.present() == set(setup.files), "%s deletes no file: %r" % (what, set(setup.files) - setup.present()))
    check(setup.log_lines() == ["start holding"], "%s leaves the service running: %r" % (what, setup.log_lines()))
    check(service_state(setup.prefix) == "RUNNING", "%s: the service is running" % what)
    check("FontCache" not in pending_deletions(setup.prefix), "%s schedules no deletion" % what)


def main():
    root = tempfile.mkdtemp(prefix="velmorant-cache-wine.")
    prefix = Prefix(root)
    keeper = None
    try:
        subprocess.run([WINESERVER, "-p"], env=prefix.env, capture_output=True, timeout=60)
        status, _, err = prefix.run("wineboot", "-i")
        check(status == 0, "wineboot: " + err)
        # Once the last program of a session ends, Wine shuts its services
        # down: one holds a file of its own until the end.
        keep = os.path.join(root, "keep")
        open(keep, "wb").close()
        keeper = Holder(prefix, "write", windows(keep))
        setup = Setup(prefix, root)
        setup.plant()
        setup.install_service()
        holder = Holder(prefix, "exclusive", HELD_BY_HOLDER)

        status, report = reset(prefix, "--dry-run")
        check(status == 0 and report["dryRun"] and report["complete"], "dry run: %d %r" % (status, report))
        planned = [("stopService", "FontCache", "planned"), ("stopService", "FontCache3.0.0.0", "missing")]
        planned += [("deleteFile", path, "planned") for path in CACHES]
        planned += [("startService", "FontCache", "planned")]
        check(sorted(steps(report)) == sorted(planned), "the dry run's steps: %r" % steps(report))
        check_nothing_changed(setup, "a dry run")

        refusal = "The font cache can only be reset with administrator rights. Nothing was changed."
        status, report = reset(prefix, limited=True)
        check(status == 2 and report["refused"] and report["steps"] == [] and report["log"] == [refusal],
              "without elevation: %d %r" % (status, report))
        status, out, _ = prefix.run(RUN_LIMITED, CLI, "reset-cache")
        check(status == 2 and out.splitlines() == [refusal], "without elevation, plainly: %d %r" % (status, out))
        check_nothing_changed(setup, "a refused reset")

        status, report = reset(prefix)
        check(status == 1 and report["restartNeeded"] and not report["complete"], "reset: %d %r" % (status, report))
        done = [("stopService", "FontCache", "done"), ("stopService", "FontCache3.0.0.0", "missing")]
        done += [("deleteFile", path, "atRestart" if path == HELD_BY_HOLDER else "done") for path in CACHES]
        done += [("startService", "FontCache", "done")]
        check(sorted(steps(report)) == sorted(done), "the reset's steps: %r" % steps(report))
        check(report["steps"][-1] == {"action": "startService", "name": "FontCache", "result": "done"},
              "the service is started last")
        log = report["log"]
        for line in ("Stopped the service FontCache.",
                     "The service FontCache3.0.0.0 does not exist on this system; skipped.",
                     "Could not delete the font cache file %s now; it will be deleted when Windows restarts."
                     % HELD_BY_HOLDER,
                     "Started the service FontCache again.",
                     "Restart Windows to complete the reset of the font cache."):
            check(line in log, "the log says %r: %r" % (line, log))
        check(setup.log_lines() == ["start holding", "stop", "start"],
              "the service was stopped and started again: %r" % setup.log_lines())
        check(service_state(prefix) == "RUNNING", "the service runs again")
        check(setup.present() == set(setup.kept) | {HELD_BY_HOLDER}, "what stays: %r" % setup.present())
        pending = pending_deletions(prefix).lower()
        check(HELD_BY_HOLDER.lower() in pending and HELD_BY_SERVICE.lower() not in pending,
              "only the held file is scheduled for deletion: %r" % pending)
        holder.close()

        # Stopped, the service is neither stopped nor started; the file
        # held before is deleted now.
        prefix.run("sc", "stop", "FontCache")
        check(wait_for(lambda: service_state(prefix) == "STOPPED"), "sc stop stops the service")
        status, report = reset(prefix)
        check(status == 0 and report["complete"] and steps(report) == [
            ("stopService", "FontCache", "notRunning"), ("stopService", "FontCache3.0.0.0", "missing"),
            ("deleteFile", HELD_BY_HOLDER, "done")], "a reset with the service stopped: %d %r" % (status, report))
        check(service_state(prefix) == "STOPPED" and setup.log_lines()[-1] == "stop", "the service stays stopped")
        check(setup.present() == set(setup.kept), "what stays at last: %r" % setup.present())
    finally:
        if keeper is not None:
            keeper.close()
        prefix.stop()
        shutil.rmtree(root, ignore_errors=True)
    return tally()


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    CLI, cli_wine.HOLDER, FAKE_SERVICE, RUN_LIMITED = map(os.path.abspath, sys.argv[1:])
    sys.exit(main())
