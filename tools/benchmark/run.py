"""Runs the load benchmark's workers on the same font files, each in its own
process, and prints their speed and peak memory beside the targets.

    run.py BUILD_DIR [--rounds N] [--outlines] [FONT_DIR]

With --outlines the library loads with outlines (every glyph decoded, every
composite linked and resolved) and FreeType loads every glyph in font units;
fontTools is left out.
"""

import argparse
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

FASTER_THAN_FONTTOOLS = 20.0
TIME_WITHIN_FREETYPE = 1.0
# With outlines: every glyph decoded, linked and resolved against FreeType
# loading every glyph.
OUTLINE_TIME_WITHIN_FREETYPE = 1.5
MEMORY_WITHIN_FREETYPE = 3.0


def run_worker(command, files, rounds):
    result = subprocess.run(command + [str(rounds)], input="".join(f + "\n" for f in files),
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s" % (command[-1], result.returncode, result.stderr.strip()))
    fields = dict(item.split("=", 1) for item in result.stdout.split())
    def median_round(key):
        # The median round: one busy moment of the shared machine moves it least.
        return statistics.median(float(ms) for ms in fields[key].split(","))
    return {
        "fonts": int(fields["fonts"]),
        "failed": int(fields["failed"]),
        "wall_ms": median_round("round_ms"),
        "cpu_ms": median_round("round_cpu_ms"),
        "peak_kib": int(fields["vmhwm_kb"]),
    }


def verdict(ok):
    return "PASS" if ok else "MISS"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("font_dir", nargs="?", default="/usr/share/fonts")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--outlines", action="store_true")
    args = parser.parse_args()
    os.environ["VELMORANT_BENCH_OUTLINES"] = "1" if args.outlines else "0"

    files = sorted(os.path.join(root, name)
                   for root, _, names in os.walk(args.font_dir)
                   for name in names if name.lower().endswith(".ttf"))
    if not files:
        sys.exit("no .ttf files under %s" % args.font_dir)
    tools = os.path.join(args.build_dir, "tools", "benchmark")
    workers = [("velmorant", [os.path.join(tools, "velmorant-bench-load")])]
    freetype = os.path.join(tools, "velmorant-bench-freetype")
    if os.path.exists(freetype):
        workers.append(("freetype", [freetype]))
    else:
        print("FreeType worker not built (libfreetype-dev missing): no FreeType comparison")
    if not args.outlines:
        workers.append(("fonttools", ["/usr/bin/python3", os.path.join(HERE, "fonttools_worker.py")]))

    print("%d .ttf files under %s, %d rounds each; median round, processor time (user + system)"
          " and wall clock" % (len(files), args.font_dir, args.rounds))
    print("%-10s %11s %11s %12s %12s %9s %8s" % ("reader", "cpu ms", "wall ms", "fonts/s cpu", "fonts/s wall",
                                                 "peak MiB", "refused"))
    results = {}
    for label, command in workers:
        r = run_worker(command, files, args.rounds)
        results[label] = r
        print("%-10s %11.2f %11.2f %12.0f %12.0f %9.1f %8d"
              % (label, r["cpu_ms"], r["wall_ms"], r["fonts"] / r["cpu_ms"] * 1000.0,
                 r["fonts"] / r["wall_ms"] * 1000.0, r["peak_kib"] / 1024.0, r["failed"]))

    # Targets on processor time: the machine is shared, and the wall clock
    # also counts the time other work held the processor.
    ours = results["velmorant"]
    print()
    if "fonttools" in results:
        speedup = results["fonttools"]["cpu_ms"] / ours["cpu_ms"]
        print("%s  %.1fx faster than fontTools (target: at least %.0fx)"
              % (verdict(speedup >= FASTER_THAN_FONTTOOLS), speedup, FASTER_THAN_FONTTOOLS))
    if "freetype" in results:
        time_ratio = ours["cpu_ms"] / results["freetype"]["cpu_ms"]
        time_target = OUTLINE_TIME_WITHIN_FREETYPE if args.outlines else TIME_WITHIN_FREETYPE
        print("%s  %.2fx FreeType's time%s (target: at most %.1fx)"
              % (verdict(time_ratio <= time_target), time_ratio, ", outlines" if args.outlines else "", time_target))
        memory_ratio = ours["peak_kib"] / results["freetype"]["peak_kib"]
        if args.outlines:
            # A loaded font keeps all its outlines; FreeType holds one glyph.
            print("      %.2fx FreeType's peak memory (no target: every outline is kept)" % memory_ratio)
        else:
            print("%s  %.2fx FreeType's peak memory (target: at most %.1fx)"
                  % (verdict(memory_ratio <= MEMORY_WITHIN_FREETYPE), memory_ratio, MEMORY_WITHIN_FREETYPE))
    return 0


if __name__ == "__main__":
    sys.exit(main())
