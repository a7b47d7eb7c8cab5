// Keeps the site's files, so that after the first visit the page opens with no network. The
// program's files lie in a folder named after their build: a page always loads one build whole,
// and a new build, with a new folder and so a new worker, replaces the old files at the next visit.
"use strict";
const BUILD = "@BUILD@";
const FILES = [@FILES@];

self.addEventListener("install", (event) => {
  // "no-cache": the server's current files, never a copy the browser's own cache kept.
  event.waitUntil(caches.open(BUILD)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "no-cache" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((key) => key !== BUILD).map((key) => caches.delete(key))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET")
    return;
  if (request.mode === "navigate") {
    // The page from the network while there is one, so that a new build shows at once; the kept
    // page, which names the kept build's folder, without one.
    event.respondWith(fetch(request).catch(() => caches.match("./", { cacheName: BUILD })));
    return;
  }
  event.respondWith(caches.match(request).then((kept) => kept || fetch(request)));
});
