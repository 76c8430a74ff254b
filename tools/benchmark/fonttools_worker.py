"""The benchmark's fontTools worker: loads the tables the library reads and
forces each to decompile. Same usage and result line as the C++ workers
(BenchWorker.h): WORKER ROUNDS < list-of-paths."""

import sys
import time

from fontTools.ttLib import TTFont

TAGS = ("head", "hhea", "maxp", "hmtx", "cmap", "name", "post", "OS/2", "kern", "gasp")


def load(path):
    try:
        # lazy=False decompiles every table fully as it is first touched
        # (cmap subtables included).
        with TTFont(path, lazy=False) as font:
            for tag in TAGS:
                if tag in font:
                    font[tag]
        return True
    except Exception:  # a refused font counts as one; the round goes on
        return False


def peak_resident_kib():
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return -1


def main():
    if len(sys.argv) != 2 or int(sys.argv[1]) <= 0:
        print("usage: fonttools_worker.py ROUNDS < font-list", file=sys.stderr)
        return 2
    rounds = int(sys.argv[1])
    files = [line.rstrip("\n") for line in sys.stdin if line.strip()]
    failed = 0
    round_ms = []
    round_cpu_ms = []
    for _ in range(rounds):
        started = time.perf_counter()
        cpu_started = time.process_time()
        failed = sum(1 for path in files if not load(path))
        round_cpu_ms.append((time.process_time() - cpu_started) * 1000.0)
        round_ms.append((time.perf_counter() - started) * 1000.0)
    print("fonts=%d failed=%d rounds=%d round_ms=%s round_cpu_ms=%s vmhwm_kb=%d"
          % (len(files), failed, rounds, ",".join("%.3f" % ms for ms in round_ms),
             ",".join("%.3f" % ms for ms in round_cpu_ms), peak_resident_kib()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
