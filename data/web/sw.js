// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Keeps the page's own files, one set per version of the program, so that after one visit the
// program starts without a network and from the device's own copy. It stores nothing else.
"use strict";
const VERSION = "@PROJECT_VERSION@";
const CACHE = "punktblick-" + VERSION;
const FILES = ["./", "index.html", "punktblick.js", "punktblick.wasm",
               "manifest.webmanifest", "punktblick.svg", "punktblick-32.png", "punktblick-256.png"];

// A new version is fetched whole, past the browser's own cache, before it serves anything: if
// one file fails, the old version stays as it was.
self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "no-cache" }))))
    .then(() => route(event))
    .then(() => self.skipWaiting()));
});

// Where the browser can, it takes the files from the set by itself, without starting this worker
// for each visit and without passing the program through it: the start is quicker. A request
// with a query goes through the worker below, which ignores the query.
function route(event) {
  if (typeof event.addRoutes !== "function" || typeof URLPattern !== "function")
    return undefined;
  const here = self.location;
  return event.addRoutes(FILES.map((file) => ({
    condition: {
      urlPattern: new URLPattern({
        protocol: here.protocol.slice(0, -1), hostname: here.hostname, port: here.port,
        pathname: new URL(file, here).pathname, search: "",
      }),
    },
    source: { cacheName: CACHE },
  }))).catch(() => {});
}

// Then it takes over, and the old versions go. A page that is open keeps running what it
// loaded; the next visit starts the new version, all of its files from the new set.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith("punktblick-") && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin)
    return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(request)));
});
