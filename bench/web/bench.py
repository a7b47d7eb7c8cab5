#!/usr/bin/env python3
"""Measures the page that make web lays out in SITE beside the peer, a page written by hand in
plain script that does the editor's job (bench/web/peer/), both served from 127.0.0.1 and measured
in turn in the same run; prints one table with each figure for both and their ratio (program /
peer), against the goals. Exits 0 unless it could not measure.

Usage: bench/web/bench.py SITE [--runs N] [--rounds N]
"""

import argparse
import glob
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import downloads  # noqa: E402
import drag  # noqa: E402
import firstframe  # noqa: E402
import lighthouse  # noqa: E402
import startup  # noqa: E402
from host import PEER, serve  # noqa: E402

GOALS = []


def goal(what, met):
    GOALS.append((what, met))
    return "met" if met else "NOT MET"


def ratio(program, peer):
    return f"{program / peer:.2f}" if peer else "-"


def load():
    return f"load average {os.getloadavg()[0]:.1f}"


SECTION = [time.monotonic()]


def took():
    """How long the section took, and the load average at its end."""
    now = time.monotonic()
    spent, SECTION[0] = now - SECTION[0], now
    return f"  ({spent:.0f} s, {load()})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("--runs", type=int, default=5, help="loads of each page for each first frame's median")
    parser.add_argument("--rounds", type=int, default=2, help="drags of each page for each median")
    args = parser.parse_args()
    base = serve(args.site)
    pages = {"program": base, "peer": base + "peer/"}
    build = os.path.basename(min(glob.glob(os.path.join(args.site, "program-*")), default="?"))
    print(f"bezier7's page ({build}) and the peer (bench/web/peer/, plain script), served from 127.0.0.1, on"
          f" {os.cpu_count()} cores with a {load()}")

    rows = downloads.measure(base, args.site)
    sent, raw = sum(row[3] for row in rows), sum(row[4] for row in rows)
    print("\nfirst visit until the service worker has installed: every request, the body as sent and the file's raw size")
    print(f"  {'by':7}{'status':>6}  {'file':40}{'sent B':>9}{'raw B':>9}")
    for who, path, status, size, whole in rows:
        print(f"  {who:7}{status if size or status != 200 else 'cache':>6}  {path:40}{size:>9}{whole:>9}")
    print(f"  {'total':7}{len(rows):>6}  {'requests':40}{sent:>9}{raw:>9}"
          f"  {sent / 1024:.1f} KiB sent, goal 64: {goal('first visit ≤ 64 KiB', sent <= 65536)}")
    peer = os.path.getsize(os.path.join(PEER, "index.html"))
    print(f"  the peer: its page, {peer} B as it stands (its icon is the site's); {sent / peer:.1f} times as much"
          " for the program" + took())

    print("\nLighthouse 12.2.3, the pages in turn: mobile (simulated slow 4G, 4x slower CPU) 3 times, desktop once")
    print(f"  {'run':10}{'page':9}{'perf':>5}{'a11y':>5}{'b.p.':>5}{'seo':>5}{'FCP s':>7}{'LCP s':>7}{'TTI s':>7}"
          f"{'TBT ms':>8}  failing accessibility, best-practices and SEO audits")
    mobile, desktops = {name: [] for name in pages}, {}
    for desktop, runs in ((False, 3), (True, 1)):
        for run in range(1, runs + 1):
            for name, url in pages.items():
                scores, metrics, failed = lighthouse.measure(url, desktop)
                if desktop:
                    desktops[name] = metrics
                else:
                    mobile[name].append((scores["performance"], metrics["TBT"], metrics["TTI"]))
                print(f"  {('desktop' if desktop else 'mobile') + f' {run}':10}{name:9}"
                      + "".join(f"{score:>5}" for score in scores.values())
                      + "".join(f"{metrics[metric] / 1000:>7.2f}" for metric in ("FCP", "LCP", "TTI"))
                      + f"{metrics['TBT']:>8.0f}  {' '.join(failed) or '-'}")
    worst = {name: (min(run[0] for run in runs), max(run[1] for run in runs), max(run[2] for run in runs))
             for name, runs in mobile.items()}
    (perf, tbt, tti), peer = worst["program"], worst["peer"]
    print(f"  mobile, worst of 3: program perf {perf}, TBT {tbt:.0f} ms, TTI {tti / 1000:.2f} s; peer perf {peer[0]},"
          f" TBT {peer[1]:.0f} ms, TTI {peer[2] / 1000:.2f} s; program / peer: TBT {ratio(tbt, peer[1])},"
          f" TTI {ratio(tti, peer[2])}")
    print(f"  desktop, program / peer: TBT {ratio(desktops['program']['TBT'], desktops['peer']['TBT'])},"
          f" TTI {ratio(desktops['program']['TTI'], desktops['peer']['TTI'])}")
    print(f"  goals for the program: perf 100 in each run {goal('Lighthouse mobile performance 100 in each of 3 runs', perf == 100)},"
          f" TBT ≤ 50 ms {goal('Lighthouse mobile TBT ≤ 50 ms', tbt <= 50)},"
          f" TTI ≤ 1.5 s {goal('Lighthouse mobile TTI ≤ 1.5 s', tti <= 1500)}" + took())

    print(f"\nfirst frame that shows the curve, median of {args.runs} loads of each page in turn, fresh profile, seconds"
          " from the request;\nown: from the script's arrival (bezier7.js, or the peer's page) to that frame."
          " Goals: the frame ≤ 1.2 x the peer's, the program's own ≤ 0.050 s")
    print(f"  {'ratio':>5}  {'page':9}" + "".join(f"{step:>9}" for step in firstframe.STEPS))
    for pixels in (1, 1.5, 2):
        steps = firstframe.measure(pages, pixels, args.runs)
        for name in pages:
            print(f"  {pixels if name == 'program' else '':>5}  {name:9}" + "".join(
                f"{steps[name][step]:>9.3f}" if steps[name][step] is not None else f"{'-':>9}" for step in firstframe.STEPS))
        frame, own = steps["program"]["frame"], steps["program"]["own"]
        print(f"  {'':>5}  {'ratio':9}{'':>36}{frame / steps['peer']['frame']:>18.2f}{own / steps['peer']['own']:>9.2f}  "
              + goal(f"first frame ≤ 1.2 x the peer's at ratio {pixels}", frame <= 1.2 * steps["peer"]["frame"])
              + ", own " + goal(f"the program's own part ≤ 50 ms at ratio {pixels}", own <= 0.05))
    print(took().lstrip())

    print(f"\ndrag of {drag.MARKER}: the main thread's ms per pointer event sent (press, {drag.STEPS} moves, release),"
          f" median of {args.rounds} drags\nof each page in turn; idle: the peer with no move handler, what the browser"
          " alone pays; beyond idle: busy less idle's.\nGoals: beyond idle ≤ 0.8 x the peer's, the program's script"
          " ≤ the peer's, at 1x and 4x")
    print(f"  {'CPU':>4} {'page':9}{'events':>7}{'seen':>6}{'busy':>8}{'script':>8}{'style':>8}{'layout':>8}{'paint':>8}"
          f"{'beyond':>8}  Text_x")
    movers = {**pages, "idle": base + "peer/?idle"}
    for slowdown in (1, 4):
        drags = {name: [] for name in movers}
        for _ in range(args.rounds):
            for name, url in movers.items():
                drags[name].append(drag.measure(url, slowdown))
        per = {name: {share: statistics.median(run[2][share] for run in runs) for share in runs[0][2]}
               for name, runs in drags.items()}
        beyond = {name: per[name]["busy"] - per["idle"]["busy"] for name in movers}
        for name, runs in drags.items():
            events, moves, _, before, after = runs[-1]
            if name != "idle" and after == before:
                raise RuntimeError(f"the drag did not move {drag.MARKER} on the {name}: Text_x stayed {before!r}")
            print(f"  {f'{slowdown}x' if name == 'program' else '':>4} {name:9}{events:>7}{moves:>6}"
                  + "".join(f"{value:>8.2f}" for value in per[name].values())
                  + (f"{beyond[name]:>8.2f}" if name != "idle" else f"{'':>8}") + f"  {before} -> {after}")
        program, peer = per["program"], per["peer"]
        print(f"  {'':>4} {'ratio':9}{'':>13}" + "".join(f"{ratio(program[share], peer[share]):>8}" for share in program)
              + f"{ratio(beyond['program'], beyond['peer']):>8}  beyond idle "
              + goal(f"a move beyond idle ≤ 0.8 x the peer's at {slowdown}x", beyond["program"] <= 0.8 * beyond["peer"])
              + ", script " + goal(f"the program's script per move ≤ the peer's at {slowdown}x",
                                   program["script"] <= peer["script"]))
    print(took().lstrip())

    print("\nthe start with the CPU 4x slower, from a trace: the main thread's tasks from the navigation's commit (the"
          " browser's own,\napart) to the first frame that shows the curve, 3 loads of each page in turn; the longest"
          " task's ms by kind.\nGoal: no task of the program's start longer than 50 ms")
    kinds = list(startup.KINDS)
    widths = {kind: max(8, len(kind) + 1) for kind in kinds}
    print(f"  {'page':9}{'commit':>7}{'tasks':>6}{'> 50':>5}{'longest':>8}" + "".join(f"{kind:>{widths[kind]}}" for kind in kinds)
          + f"{'other':>8}")
    longest = {name: [] for name in pages}
    for _ in range(3):
        for name, url in pages.items():
            tasks, commit, calls = startup.measure(url)
            _, length, spent = max(tasks, key=lambda task: task[1])
            longest[name].append(length)
            print(f"  {name:9}{commit[1]:>7.1f}{len(tasks):>6}{sum(task[1] > 50 for task in tasks):>5}{length:>8.1f}"
                  + "".join(f"{spent[kind]:>{widths[kind]}.1f}" for kind in kinds) + f"{length - sum(spent.values()):>8.1f}"
                  + (f"  {calls} calls into the page" if calls else ""))
    print(f"  longest, median of 3: program {statistics.median(longest['program']):.1f} ms, peer"
          f" {statistics.median(longest['peer']):.1f} ms, ratio {ratio(statistics.median(longest['program']), statistics.median(longest['peer']))};"
          f" the program's longest of all {max(longest['program']):.1f} ms: "
          + goal("no task of the start longer than 50 ms at 4x", max(longest["program"]) <= 50))
    for name, url in pages.items():
        length, shares = startup.split(url)
        print(f"  {name}'s longest task by the sampling profiler (its own cost included), {length:.1f} ms: "
              + ", ".join(f"{kind} {ms:.1f}" for kind, ms in sorted(shares.items(), key=lambda share: -share[1])))
    print(took().lstrip())

    print(f"\ngoals: {sum(met for _, met in GOALS)} of {len(GOALS)} met; not met: "
          + ("; ".join(what for what, met in GOALS if not met) or "none") + f". At the end: {load()}")


if __name__ == "__main__":
    main()
