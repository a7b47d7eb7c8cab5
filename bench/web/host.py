"""The site served from 127.0.0.1 as a static host serves it, with the hand-written peer page
beside it under /peer/, and headless Chromium to load them."""

import base64
import contextlib
import functools
import http.server
import itertools
import json
import os
import socket
import struct
import tempfile
import threading
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# The machine has no network: nothing in the background may reach for one.
QUIET = ["--disable-background-networking", "--disable-component-update", "--no-first-run",
         "--disable-sync"]
HEADLESS = ["--headless=new", "--no-sandbox", *QUIET]
PEER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "peer")


class Host(http.server.SimpleHTTPRequestHandler):
    """Sends a file's .br or .gz copy, where there is one, to a browser that accepts its encoding,
    with a validator, as hosts that serve such copies do: the service worker's fetches revalidate."""
    protocol_version = "HTTP/1.1"  # browsers heed an ETag from no older one
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm"}

    def translate_path(self, path):
        # The peer lies beside the site, under /peer/, as the server's own mapping puts it.
        if path.startswith("/peer/"):
            return os.path.join(PEER, os.path.relpath(super().translate_path(path[len("/peer"):]), self.directory))
        return super().translate_path(path)

    def send_head(self):
        path = self.translate_path(self.path)
        accepted = self.headers.get("Accept-Encoding", "")
        for encoding, suffix in (("br", ".br"), ("gzip", ".gz")):
            if encoding in accepted and os.path.isfile(path + suffix):
                stat = os.stat(path + suffix)
                tag = f'"{stat.st_mtime_ns:x}-{stat.st_size:x}"'
                fresh = self.headers.get("If-None-Match") == tag
                self.send_response(304 if fresh else 200)
                self.send_header("ETag", tag)
                self.send_header("Vary", "Accept-Encoding")
                if fresh:
                    self.end_headers()
                    return None
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", encoding)
                self.send_header("Content-Length", str(stat.st_size))
                self.end_headers()
                return open(path + suffix, "rb")
        return super().send_head()

    def log_message(self, *_):
        pass


def serve(site):
    """Serves site, and the peer under /peer/, on a free port until the program ends; returns the
    site's address."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Host, directory=site))
    server.handle_error = lambda *_: None  # a browser that quits drops its connections
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}/"


@contextlib.contextmanager
def chromium(ratio=1):
    """A headless Chromium with a fresh profile: nothing cached, no service worker."""
    with tempfile.TemporaryDirectory() as profile:
        options = webdriver.ChromeOptions()
        for flag in (*HEADLESS, "--window-size=1024,768", f"--force-device-scale-factor={ratio}",
                     f"--user-data-dir={profile}"):
            options.add_argument(flag)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            yield driver
        finally:
            driver.quit()


def start(driver, base, timeout=30):
    """Loads the page and waits until the program runs."""
    driver.get(base)
    driver.set_script_timeout(timeout)
    driver.execute_async_script("""
        const done = arguments[0];
        const poll = () => document.documentElement.classList.contains("running")
          ? done() : setTimeout(poll, 20);
        poll();""")


class DevTools:
    """The browser's own DevTools connection, over a WebSocket made with the standard library: it
    reaches the service worker, which the driver's connection to the page does not."""

    def __init__(self, address):
        url = json.load(urllib.request.urlopen(f"http://{address}/json/version"))["webSocketDebuggerUrl"]
        host, _, path = url.removeprefix("ws://").partition("/")
        self.sock = socket.create_connection(tuple(host.rsplit(":", 1)), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(f"GET /{path} HTTP/1.1\r\nHost: {host}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                          f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n".encode())
        self.stream = self.sock.makefile("rb")
        while self.stream.readline() not in (b"\r\n", b""):
            pass
        self.ids = itertools.count(1)

    def send(self, method, params=None, session=None):
        """Sends a command; returns its id, which its answer carries."""
        number = next(self.ids)
        data = json.dumps({"id": number, "method": method, "params": params or {},
                           **({"sessionId": session} if session else {})}).encode()
        mask = os.urandom(4)
        self.sock.sendall(struct.pack("!BBQ", 0x81, 0x80 | 127, len(data)) + mask
                          + bytes(byte ^ mask[i % 4] for i, byte in enumerate(data)))
        return number

    def receive(self):
        data = b""
        while True:
            head, size = self.stream.read(2)
            size &= 127
            if size >= 126:
                size = int.from_bytes(self.stream.read(2 if size == 126 else 8), "big")
            data += self.stream.read(size)
            if head & 0x80:
                return json.loads(data)

