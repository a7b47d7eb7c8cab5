"""A trace of what the browser does, recorded over its own DevTools connection, and what one
page's main thread did in it: its tasks, and the time of each kind of work within them."""

import contextlib

from host import DevTools

CATEGORIES = ["toplevel", "devtools.timeline", "disabled-by-default-devtools.timeline", "blink.user_timing",
              "loading", "v8", "v8.wasm"]
# The V8 sampling profiler, which costs the page time of its own: only for the breakdowns.
PROFILER = "disabled-by-default-v8.cpu_profiler"


@contextlib.contextmanager
def recording(driver, categories=CATEGORIES):
    """Records every process of the browser while the block runs; yields the list that holds the
    trace's events once the block has ended."""
    tools = DevTools(driver.capabilities["goog:chromeOptions"]["debuggerAddress"])
    started = tools.send("Tracing.start", {"traceConfig": {"includedCategories": categories},
                                           "transferMode": "ReportEvents"})
    while tools.receive().get("id") != started:
        pass
    events = []
    yield events
    tools.send("Tracing.end")
    while True:
        message = tools.receive()
        if message.get("method") == "Tracing.dataCollected":
            events.extend(message["params"]["value"])
        elif message.get("method") == "Tracing.tracingComplete":
            return


class MainThread:
    """The main thread of the page that set the user timing mark named mark; times in ms, on the
    trace's clock."""

    def __init__(self, events, mark):
        marked = next(event for event in events if event["name"] == mark and event["ph"] in "IiRbn")
        self.pid, self.tid = marked["pid"], marked["tid"]
        own = [event for event in events if event["pid"] == self.pid]
        self.marks = {}
        for event in own:
            if "user_timing" in event.get("cat", ""):
                self.marks.setdefault(event["name"], []).append(event["ts"] / 1000)
        self.events = sorted((event for event in own if event.get("tid") == self.tid and event["ph"] == "X"),
                             key=lambda event: event["ts"])
        self.samples = Profile(own, self.tid)

    def tasks(self, start=float("-inf"), end=float("inf")):
        """The thread's top-level tasks that begin in [start, end], as (start, ms, name: ms of the
        outermost events of that name within the task)."""
        found, edge = [], float("-inf")
        for event in self.events:
            begin = event["ts"] / 1000
            if event["name"] == "RunTask" and begin >= edge:
                edge = begin + event["dur"] / 1000
                if start <= begin <= end:
                    found.append((begin, event["dur"] / 1000))
        return [(begin, length, self.spent(begin, begin + length)) for begin, length in found]

    def spent(self, start, end):
        """ms of the outermost events of each name within [start, end]."""
        totals, edges = {}, {}
        for event in self.events:
            begin, length = event["ts"] / 1000, event.get("dur", 0) / 1000
            if begin < start or begin + length > end or begin < edges.get(event["name"], float("-inf")):
                continue
            edges[event["name"]] = begin + length
            totals[event["name"]] = totals.get(event["name"], 0) + length
        return totals


class Profile:
    """The V8 sampling profiler's samples on one thread, where the trace has them: the leaf frame
    of each, with its time in ms."""

    def __init__(self, events, tid):
        profiles = {}
        for event in events:
            if event["name"] == "Profile" and event["tid"] == tid:
                profiles[event["id"]] = {"time": event["args"]["data"]["startTime"], "nodes": {}, "samples": []}
        for event in events:
            profile = profiles.get(event.get("id")) if event["name"] == "ProfileChunk" else None
            if profile is None:
                continue
            data = event["args"]["data"]
            for node in data.get("cpuProfile", {}).get("nodes", []):
                profile["nodes"][node["id"]] = node["callFrame"]
            for sample, delta in zip(data.get("cpuProfile", {}).get("samples", []), data.get("timeDeltas", [])):
                profile["time"] += delta
                profile["samples"].append((profile["time"] / 1000, sample))
        self.samples = sorted((time, profile["nodes"][node]) for profile in profiles.values()
                              for time, node in profile["samples"])

    def within(self, start, end):
        """The leaf frames sampled in [start, end], each with the time to the next sample."""
        inside = [(time, frame) for time, frame in self.samples if start <= time <= end]
        return [(frame, (later[0] if later else end) - time)
                for (time, frame), later in zip(inside, [*inside[1:], None])]
