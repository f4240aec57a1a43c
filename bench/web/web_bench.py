#!/usr/bin/python3
"""The web page in headless Chromium: the time from navigation to the first clickable square,
the size of quorvane.wasm and quorvane.js and of the whole site, raw and gzip-compressed, and
the median time of one network-opponent move inside a WebAssembly module built as the page's
is.

    bench/web/web_bench.py [RUNS]     (default 20 page loads)

Goals: ready in under 300 ms, under 200 KiB compressed, under 2 us a move.
"""
import functools
import gzip
import http.server
import os
import statistics
import subprocess
import sys
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
BUILD = os.path.join(ROOT, "build", "web")
POSITIONS = ["win", "block", "direct", "turned", "mirrored_turned", "turn4_random"]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def ready_times(driver, url, count):
    times = []
    for _ in range(count):
        driver.get(url)
        times.append(WebDriverWait(driver, 20).until(lambda d: d.execute_script(
            "const m = performance.getEntriesByName('quorvane-ready');"
            "return m.length ? m[0].startTime : null;")))
    return times


def verdict(ok):
    return "goal met" if ok else "GOAL MISSED"


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    os.chdir(ROOT)
    for command in (["cmake", "--preset", "web"], ["cmake", "--build", "--preset", "web"],
                    ["cmake", "--build", "--preset", "web", "--target", "qrv_web_bench"]):
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

    raw = packed = 0
    for name in ("quorvane.js", "quorvane.wasm"):
        with open(os.path.join(BUILD, "site", name), "rb") as file:
            data = file.read()
        raw += len(data)
        packed += len(gzip.compress(data, 9))
    print(f"quorvane.js + quorvane.wasm: {raw / 1024:.1f} KiB raw, {packed / 1024:.1f} KiB gzip "
          f"({verdict(packed < 200 * 1024)}: under 200 KiB)")
    site = os.path.join(BUILD, "site")
    names = sorted(os.listdir(site))
    sizes = []
    for name in names:
        with open(os.path.join(site, name), "rb") as file:
            data = file.read()
        sizes.append((len(data), len(gzip.compress(data, 9))))
    print(f"the whole site, {len(names)} files: {sum(r for r, _ in sizes) / 1000:.1f} kB raw, "
          f"{sum(g for _, g in sizes) / 1000:.1f} kB gzip")

    handler = functools.partial(QuietHandler, directory=BUILD)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        # The browser's first page, then loads that fetch every file again (past the browser's
        # cache and the page's service worker), then loads from the browser's caches.
        url = f"http://127.0.0.1:{server.server_port}/site/"
        first = ready_times(driver, url, 1)[0]
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        fetched = statistics.median(ready_times(driver, url, runs))
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": False})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})
        cached = statistics.median(ready_times(driver, url, runs))
        print(f"navigation to ready: {first:.0f} ms as the browser's first page; median of "
              f"{runs} loads {fetched:.0f} ms fetching every file ({verdict(fetched < 300)}: "
              f"under 300 ms), {cached:.0f} ms from the browser's cache")

        medians = driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            import('/bench/web/qrv_web_bench.js').then(m => m.default()).then(b => {
                const medians = [];
                for (let i = 0; i < b._qrv_bench_position_count(); ++i) {
                    medians.push(b._qrv_bench_network_move(i, 31, 20000));
                }
                done(medians);
            });""")
        print("network opponent's move inside the module, median ns:")
        for name, ns in zip(POSITIONS, medians):
            print(f"  {name:16} {ns:8.0f}")
        print(f"slowest position {max(medians):.0f} ns ({verdict(max(medians) < 2000)}: "
              "under 2 us)")
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    main()
