#!/usr/bin/env python3
"""Measures the page that make web lays out in SITE, served compressed from 127.0.0.1, and prints
one table: what a first visit downloads, Lighthouse's scores, the first frame at three device pixel
ratios and a drag's main-thread time, each against its goal. Exits 0 unless it could not measure.

Usage: bench/web/bench.py SITE [--runs N]
"""

import argparse
import glob
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import downloads  # noqa: E402
import drag  # noqa: E402
import firstframe  # noqa: E402
import lighthouse  # noqa: E402
from host import serve  # noqa: E402

GOALS = []


def goal(what, met):
    GOALS.append((what, met))
    return "met" if met else "NOT MET"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("--runs", type=int, default=5, help="loads for each first frame's median")
    args = parser.parse_args()
    base = serve(args.site)
    build = os.path.basename(min(glob.glob(os.path.join(args.site, "program-*")), default="?"))
    print(f"bezier7's page ({build}) served compressed from 127.0.0.1, on {os.cpu_count()} cores"
          f" with a load average of {os.getloadavg()[0]:.1f}")

    rows = downloads.measure(base, args.site)
    sent, raw = sum(row[3] for row in rows), sum(row[4] for row in rows)
    print("\nfirst visit until the service worker has installed: every request, the body as sent and the file's raw size")
    print(f"  {'by':7}{'status':>6}  {'file':40}{'sent B':>9}{'raw B':>9}")
    for who, path, status, size, whole in rows:
        print(f"  {who:7}{status if size or status != 200 else 'cache':>6}  {path:40}{size:>9}{whole:>9}")
    print(f"  {'total':7}{len(rows):>6}  {'requests':40}{sent:>9}{raw:>9}"
          f"  {sent / 1024:.1f} KiB sent, goal 64: {goal('first visit ≤ 64 KiB', sent <= 65536)}")

    print("\nLighthouse 12.2.3, each run twice: mobile (simulated slow 4G, 4x slower CPU) and desktop")
    print(f"  {'run':10}{'perf':>5}{'a11y':>5}{'b.p.':>5}{'seo':>5}{'FCP s':>7}{'LCP s':>7}{'TTI s':>7}{'TBT ms':>8}"
          "  failing accessibility, best-practices and SEO audits")
    for desktop in (False, True):
        for run in (1, 2):
            scores, metrics, failed = lighthouse.measure(base, desktop)
            print(f"  {('desktop' if desktop else 'mobile') + f' {run}':10}"
                  + "".join(f"{score:>5}" for score in scores.values())
                  + "".join(f"{metrics[name] / 1000:>7.2f}" for name in ("FCP", "LCP", "TTI"))
                  + f"{metrics['TBT']:>8.0f}  {' '.join(failed) or '-'}")

    print(f"\nfirst frame that shows the curve, median of {args.runs} loads with a fresh profile, seconds from the"
          " request;\nown: from bezier7.js's arrival to that frame. Goal: 0.5 s at most, 0.050 s of it own")
    print(f"  {'ratio':>5}" + "".join(f"{step:>9}" for step in firstframe.STEPS))
    for ratio in (1, 1.5, 2):
        steps = firstframe.measure(base, ratio, args.runs)
        print(f"  {ratio:>5}" + "".join(f"{steps[step]:>9.3f}" for step in firstframe.STEPS) + "  "
              + goal(f"first frame ≤ 0.5 s at ratio {ratio}", steps["frame"] <= 0.5) + ", own "
              + goal(f"its own part ≤ 50 ms at ratio {ratio}", steps["own"] <= 0.05))

    print(f"\ndrag of {drag.MARKER}: the main thread's ms per pointer event sent (press, {drag.STEPS} moves,"
          " release), in all and\nby share; alone: as many moves of the pointer alone, over no control. Goal: 1 ms at most at 4x")
    print(f"  {'CPU':>4}{'events':>7}{'seen':>6}{'busy':>8}{'script':>8}{'style':>8}{'layout':>8}{'alone':>8}  Text_x")
    for slowdown in (1, 4):
        events, moves, dragged, alone, before, after = drag.measure(base, slowdown)
        print(f"  {slowdown:>3}x{events:>7}{moves:>6}" + "".join(f"{value:>8.2f}" for value in dragged.values())
              + f"{alone['busy']:>8.2f}  {before} -> {after}"
              + (f"  {goal('drag ≤ 1 ms per event at 4x', dragged['busy'] <= 1)}" if slowdown == 4 else ""))

    print(f"\ngoals: {sum(met for _, met in GOALS)} of {len(GOALS)} met; not met: "
          + ("; ".join(what for what, met in GOALS if not met) or "none")
          + f". Load average at the end: {os.getloadavg()[0]:.1f}")


if __name__ == "__main__":
    main()
