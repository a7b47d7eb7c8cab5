"""What a first visit downloads, the page's files and then the service worker's, until the worker
has installed: each request to the site as the browser's DevTools protocol saw it, with the bytes
that came over the wire (headers included) and the file's raw size when its body came."""

import os
import time

from host import DevTools, chromium


def measure(base, site):
    """Returns (who, path, status, bytes sent, raw bytes) for each request to the site: the body as
    it came, compressed where a copy was, and the file's size when it came at all."""
    with chromium() as driver:
        tools = DevTools(driver.capabilities["goog:chromeOptions"]["debuggerAddress"])
        # Every target, the page and the worker, held at its start until its network is watched.
        tools.send("Target.setAutoAttach", {"autoAttach": True, "waitForDebuggerOnStart": True, "flatten": True})
        requests, wire, kinds, installed, page = {}, {}, {}, False, None
        deadline = time.monotonic() + 60
        while not installed or any("done" not in request for request in requests.values()):
            if time.monotonic() > deadline:
                raise RuntimeError("the service worker did not install within a minute")
            message = tools.receive()
            method, params, session = message.get("method", ""), message.get("params", {}), message.get("sessionId")
            if method == "Target.attachedToTarget":
                target, child = params["targetInfo"], params["sessionId"]
                kinds[child] = {"page": "page", "service_worker": "worker"}.get(target["type"])
                for command in ("Network.enable", "ServiceWorker.enable", "Runtime.runIfWaitingForDebugger"):
                    tools.send(command, {}, child)
                if target["type"] == "page" and not page:
                    page = child
                    tools.send("Page.navigate", {"url": base}, page)
            elif method == "ServiceWorker.workerVersionUpdated":
                installed |= any(v["status"] in ("installed", "activating", "activated") for v in params["versions"])
            elif method.startswith("Network.") and kinds.get(session):
                key = session, params.get("requestId")
                # The worker's own script may be on its way before the worker is watched: its
                # response then opens its record.
                url = params.get("request", params.get("response", {})).get("url", "")
                if key not in requests and url.startswith(base):
                    requests[key] = {"who": kinds[session], "path": url[len(base) - 1:]}
                if method == "Network.responseReceived" and key in requests:
                    requests[key]["response"] = params["response"]["status"], params["response"]["headers"]
                elif method == "Network.responseReceivedExtraInfo":
                    # What came over the wire, which may come first: a worker's revalidated copy
                    # is a 304 there and the stored 200 in its response.
                    wire[key] = params["statusCode"], params["headers"]
                elif method in ("Network.loadingFinished", "Network.loadingFailed") and key in requests:
                    requests[key]["done"] = params.get("encodedDataLength", 0)
    rows = []
    for key, request in requests.items():
        status, headers = wire.get(key, request.get("response", (0, {})))
        length = {name.lower(): value for name, value in headers.items()}.get("content-length", 0)
        sent = int(length) if status == 200 and request["done"] else 0  # nothing, from a cache
        file = os.path.join(site, request["path"].lstrip("/").split("?")[0] or "index.html")
        rows.append((request["who"], request["path"], status, sent, os.path.getsize(file) if sent else 0))
    return rows
