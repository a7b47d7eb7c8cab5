#!/usr/bin/env python3
"""Runs the drag benchmark and prints one table: each case's median time and instruction count
per iteration, the ratios we aim for with verdicts by instructions (by time without valgrind),
and notes on any target missed.

Usage: bench/report.py BUILD_DIR/bench/bezier7_bench [--median N]
"""

import argparse
import csv
import io
import os
import shutil
import subprocess
import sys

TIMED = ["floor", "floorPresented", "evaluate", "dragStep", "dragStepPresented", "startup",
         "startupFloor"]
SOAK_EVENTS = 10_000

# (numerator, denominator, upper bound or None, why it is missed when it is). The verdicts go by
# instruction count where valgrind is installed: it agrees from machine to machine within a few
# per cent, where time ratios vary with memory bandwidth, which the floor's full clear is bound by.
RATIOS = [
    ("dragStep", "floor", 1.5,
     "dragStep pays for what floor leaves out: the event's way through the application to "
     "the handle, the layer's text conversion, the canvas's list of strokes and its update "
     "requests, and the 202 Bezier calls (see evaluate)."),
    ("evaluate", "floor", None, ""),
    ("dragStepPresented", "floorPresented", 0.85,
     "the repaint should be smaller than floorPresented's whole client area: the canvas asks "
     "for the bounds of the old and new drawing, and Qt adds the moved marker and the "
     "read-outs."),
    ("startup", "startupFloor", 1.1,
     "Form_Load draws the curve (the 202 Bezier calls and the strokes), which the empty floor "
     "window does not, and the editor fits its texts to their boxes in a narrow font on its "
     "client area; the floor window is built with Qt's defaults."),
]
SOAK_LIMIT_KIB = 256


def run(program, args, env):
    """Runs the benchmark program with Qt Test's CSV output; returns {case: (metric, value)}."""
    result = subprocess.run([program, *args, "-csv"], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True, check=False)
    if result.returncode != 0:
        sys.exit(f"{' '.join([program, *args])} failed:\n{result.stdout}\n{result.stderr}")
    rows = {}
    for row in csv.reader(io.StringIO(result.stdout)):
        if len(row) == 6:  # function, tag, metric, value per iteration, total, iterations
            rows[row[0]] = (row[2], float(row[3]))
    return rows


def perf_works(program, env):
    """Whether the kernel lets us count this process's CPU time (perf task-clock)."""
    result = subprocess.run([program, "-perf", "-perfcounter", "task-clock", "-iterations", "1",
                             "-csv", "evaluate"], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, check=False)
    return result.returncode == 0 and "evaluate" in result.stdout


def microseconds(metric, value):
    return value / 1000.0 if metric == "WalltimeNanoseconds" else value * 1000.0


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as info:
            for line in info:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--median", type=int, default=9, help="runs per case for the median")
    options = parser.parse_args()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    # CPU time where the kernel allows counting it: other work on the machine disturbs it far
    # less than the wall clock. Each measurement lasts at least 100 ms either way.
    if perf_works(options.program, env):
        clock = "CPU time (perf task-clock)"
        timing = ["-perf", "-perfcounter", "task-clock", "-minimumvalue", "100000000"]
    else:
        clock = "wall-clock time"
        timing = ["-minimumvalue", "100"]
    times = run(options.program, [*timing, "-median", str(options.median), *TIMED], env)
    times = {case: microseconds(*times[case]) for case in TIMED}

    instructions = {}
    if shutil.which("valgrind"):
        # Sixteen iterations: both of the drag's alternating positions, evenly.
        counts = run(options.program, ["-callgrind", "-iterations", "16", *TIMED], env)
        instructions = {case: counts[case][1] for case in TIMED}

    growth_kib = run(options.program, ["soak"], env)["soak"][1] / 1024.0

    print(f"bezier7 drag benchmark: {os.cpu_count()} cores, {cpu_model()}, offscreen platform")
    print(f"time: median of {options.median} runs, {clock}; instructions: "
          f"{'callgrind, mean of 16 iterations' if instructions else 'none, valgrind not found'}")
    print()
    print(f"{'case':<20}{'time/iteration':>16}{'instructions/iteration':>26}")
    for case in TIMED:
        count = f"{instructions[case]:,.0f}" if instructions else "-"
        print(f"{case:<20}{times[case]:>13.1f} µs{count:>26}")
    print(f"{'soak':<20}RSS {growth_kib:+.0f} KiB over {SOAK_EVENTS:,} drag events")
    print()

    notes = []
    measure = "instructions" if instructions else "time"
    print(f"{'ratio':<38}{'target':>8}{'by instr.':>11}{'by time':>9}  verdict ({measure})")
    for numerator, denominator, limit, why in RATIOS:
        by_time = times[numerator] / times[denominator]
        by_count = instructions[numerator] / instructions[denominator] if instructions else None
        judged = by_count if by_count is not None else by_time
        if limit is None:
            verdict = "-"
        elif judged <= limit:
            verdict = "met"
        else:
            verdict = f"missed by {judged - limit:.2f}"
            notes.append(f"{numerator} / {denominator} <= {limit} missed by {measure} "
                         f"({judged:.2f}): {why}")
        print(f"{numerator + ' / ' + denominator:<38}{'-' if limit is None else '<= ' + str(limit):>8}"
              f"{'-' if by_count is None else f'{by_count:.2f}':>11}{by_time:>9.2f}  {verdict}")
    met = growth_kib <= SOAK_LIMIT_KIB
    print(f"{'soak RSS growth (KiB)':<38}{'<= ' + str(SOAK_LIMIT_KIB):>8}{'-':>11}{growth_kib:>9.0f}"
          f"  {'met' if met else f'missed by {growth_kib - SOAK_LIMIT_KIB:.0f} KiB'}")
    if not met:
        notes.append("soak: the resident memory grew more than the drag events should need.")

    if notes:
        print()
        print("Notes:")
        for note in notes:
            print(f"- {note}")


if __name__ == "__main__":
    main()
