"""Lighthouse's scores for the page, from the version package-lock.json pins, on the machine's
Chromium: its default mobile run (simulated slow network and a 4x slower processor) or its
desktop preset."""

import json
import os
import subprocess
import tempfile

from host import HEADLESS

HERE = os.path.dirname(os.path.abspath(__file__))
CATEGORIES = ["performance", "accessibility", "best-practices", "seo"]
METRICS = {"FCP": "first-contentful-paint", "LCP": "largest-contentful-paint",
           "TTI": "interactive", "TBT": "total-blocking-time"}


def measure(base, desktop=False):
    """Returns the scores (0 to 100), the metrics (ms) and the ids of the audits that failed or
    could not run in the categories other than performance."""
    with tempfile.TemporaryDirectory() as folder:
        report = os.path.join(folder, "report.json")
        subprocess.run([os.path.join(HERE, "node_modules", ".bin", "lighthouse"), base, "--quiet",
                        "--output=json", f"--output-path={report}", f"--only-categories={','.join(CATEGORIES)}",
                        f"--chrome-flags={' '.join(HEADLESS)}", *(["--preset=desktop"] if desktop else [])],
                       check=True, env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"})
        with open(report) as file:
            result = json.load(file)
    if result.get("runtimeError"):
        raise RuntimeError(f"Lighthouse: {result['runtimeError']['message']}")
    scores = {name: round(100 * result["categories"][name]["score"]) for name in CATEGORIES}
    metrics = {name: result["audits"][audit]["numericValue"] for name, audit in METRICS.items()}
    audits = [result["audits"][ref["id"]] for name in CATEGORIES[1:] for ref in result["categories"][name]["auditRefs"]]
    failed = sorted({audit["id"] for audit in audits if audit["scoreDisplayMode"] == "error"
                     or audit["score"] is not None and audit["score"] < 1})
    return scores, metrics, failed
