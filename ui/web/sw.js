// The service worker: keeps the site's files, and only those, so that the page loads and
// plays without the server. The cache's name changes with the files, so a new version is
// fetched whole, and the caches of older versions are deleted once it takes over. It takes
// over at once: a page asks for all its files as it starts, so an open page of the older
// version needs nothing more from it.
const CACHE = "@CACHE@";
const FILES = @FILES@;

self.addEventListener("install", (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES))
        .then(() => self.skipWaiting()));
    // Where the browser can, it takes the files other than the page from the cache itself,
    // without waking the worker; the handler below does the same everywhere else.
    event.addRoutes?.({
        condition: { not: { requestMode: "navigate" } },
        source: { cacheName: CACHE },
    }).catch(() => {});
});

self.addEventListener("activate", (event) => {
    event.waitUntil(caches.keys().then((names) => Promise.all(
        names.filter((name) => name.startsWith("quorvane-") && name !== CACHE)
            .map((name) => caches.delete(name)))));
});

// The page whatever its address says (?seed=, ?opponent=), its files as they were kept.
self.addEventListener("fetch", (event) => {
    const request = event.request;
    if (request.method !== "GET" || new URL(request.url).origin !== location.origin) {
        return;
    }
    event.respondWith(caches.open(CACHE).then((cache) =>
        cache.match(request.mode === "navigate" ? "./" : request, { ignoreSearch: true })
            .then((kept) => kept ?? fetch(request))));
});
