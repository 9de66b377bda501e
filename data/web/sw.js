// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Keeps the page's own files, one whole set per build, so that after one visit the program
// starts without a network and from the device's own copy. It stores nothing else.
"use strict";
// Written by the build: each address the page asks for, with the SHA-256 of what it must hold,
// and the set's name. Any change of any file changes this worker, and so reaches every device.
const FILES = {};
const BUILD = "";
// One server may hold several copies of the page (a test folder, last year's copy): each keeps
// its own sets, named after its own folder, and touches no other's.
const SCOPE = self.registration.scope;
const OWN = "punktblick " + SCOPE + " ";
const CACHE = OWN + BUILD;

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, "0")).join("");
}

// Fetches one file past the browser's own cache and checks it against the hash it was built
// with: a folder half replaced, or a proxy's stale copy, is no set of this build.
function fetchChecked(address) {
  return fetch(new Request(address, { cache: "no-cache" })).then((response) => {
    if (!response.ok)
      throw new Error(address + ": " + response.status);
    const type = response.headers.get("Content-Type");
    return response.arrayBuffer().then((bytes) => crypto.subtle.digest("SHA-256", bytes)
      .then((hash) => {
        if (hex(hash) !== FILES[address])
          throw new Error(address + ": not the file of this build");
        return new Response(bytes, { headers: type ? { "Content-Type": type } : {} });
      }));
  });
}

// A new build is fetched and checked whole before anything of it is kept: if one file fails,
// nothing of it stays, and the old set goes on serving.
self.addEventListener("install", (event) => {
  const addresses = Object.keys(FILES);
  event.waitUntil(Promise.all(addresses.map(fetchChecked))
    .then((responses) => caches.open(CACHE).then((cache) => Promise.all(
      addresses.map((address, i) => cache.put(address, responses[i]))))
      .catch((error) => caches.delete(CACHE).then(() => { throw error; })))
    .then(() => route(event))
    .then(() => self.skipWaiting()));
});

// Where the browser can, it takes the files from the set by itself, without starting this worker
// for each visit and without passing the program through it: the start is quicker.
function route(event) {
  if (typeof event.addRoutes !== "function" || typeof URLPattern !== "function")
    return undefined;
  const here = self.location;
  return event.addRoutes(Object.keys(FILES).map((address) => {
    const url = new URL(address, here);
    return {
      condition: {
        urlPattern: new URLPattern({
          protocol: here.protocol.slice(0, -1), hostname: here.hostname, port: here.port,
          pathname: url.pathname, search: url.search.slice(1),
        }),
      },
      source: { cacheName: CACHE },
    };
  })).catch(() => {});
}

// Then it takes over, and this copy's older sets go. A page that is open keeps running what it
// loaded; the next visit starts the new build, all of its files from the new set. Of the one set
// that earlier builds shared among all copies on a server, only this copy's files go.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.map((name) => {
      if (name.startsWith(OWN) && name !== CACHE)
        return caches.delete(name);
      if (/^punktblick-[0-9.]+$/.test(name))
        return forgetOwn(name);
      return undefined;
    })))
    .then(() => self.clients.claim()));
});

function forgetOwn(name) {
  return caches.open(name).then((cache) => cache.keys().then((requests) => Promise.all(
    requests.filter((request) => request.url.startsWith(SCOPE) &&
                                 !request.url.slice(SCOPE.length).includes("/"))
      .map((request) => cache.delete(request)))
    .then(() => cache.keys())
    .then((left) => left.length ? undefined : caches.delete(name))));
}

// A visit to the page under another query (a link with ?klasse=3) is still the page.
self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin)
    return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: request.mode === "navigate" }))
    .then((kept) => kept || fetch(request)));
});
