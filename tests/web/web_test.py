#!/usr/bin/env python3
"""The web page in headless Chromium: whole games by clicks and one move by keyboard, each
compared with what the native core shows for the same seed and clicks.

Usage: web_test.py SITE_DIR QRV_WEB_EXPECT SCREENSHOT
"""
import functools
import http.server
import subprocess
import sys
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

SITE, EXPECT, SCREENSHOT = sys.argv[1:4]
SEED = 20240517
NORMAL, RED = "rgb(127, 127, 255)", "rgb(255, 0, 0)"
# Clicks that the page and the core must answer alike, occupied squares and moved Xs included.
SEQUENCES = ["4p0p8p2p6p", "0p1p2p3p4p5p", "8p7p6p5p", "01p4p4p3r2p5p"]
SCREEN = """return {
    marks: [...document.querySelectorAll('.square')].map(b => b.dataset.mark || ' ').join(''),
    highlighted: [...document.querySelectorAll('.square')]
        .map(b => b.classList.contains('highlighted') ? '1' : '0').join(''),
    status: document.getElementById('status').textContent,
    names: [...document.querySelectorAll('.square')].map(b => b.getAttribute('aria-label')),
    strokes: [...document.querySelectorAll('.square .mark')]
        .map(m => [m.closest('.square').classList.contains('highlighted'),
                   getComputedStyle(m).stroke, getComputedStyle(m).strokeWidth]),
}"""


class Site(http.server.SimpleHTTPRequestHandler):
    requested = set()

    def do_GET(self):
        Site.requested.add(self.path.split("?")[0])
        super().do_GET()

    def log_message(self, *args):
        pass


def expected(kind, actions):
    lines = subprocess.run([EXPECT, str(SEED), str(kind), actions], check=True,
                           capture_output=True, text=True).stdout.split("\n")
    return dict(zip(("actions", "marks", "highlighted", "status"), lines), names=lines[4:13])


def load(driver, port):
    driver.get(f"http://127.0.0.1:{port}/?seed={SEED}")
    WebDriverWait(driver, 20).until(
        lambda d: d.execute_script("return 'ready' in document.documentElement.dataset"))


def choose(driver, kind):
    driver.find_element(By.ID, "file-title").click()
    driver.find_element(By.CSS_SELECTOR, f"[data-opponent='{kind}']").click()


def click(driver, actions):
    squares = driver.find_elements(By.CSS_SELECTOR, ".square")
    for action in actions:
        target = {"p": "play-o", "r": "reset"}.get(action)
        (driver.find_element(By.ID, target) if target else squares[int(action)]).click()


def check_screen(driver, want, what):
    got = driver.execute_script(SCREEN)
    for key in ("marks", "highlighted", "status", "names"):
        assert got[key] == want[key], f"{what}: {key} {got[key]!r}, the core says {want[key]!r}"
    for highlighted, colour, width in got["strokes"]:
        assert colour == (RED if highlighted else NORMAL) and width == "3px", (what, colour, width)
    assert len(got["strokes"]) == 2 * want["marks"].count("X") + want["marks"].count("O"), what
    return got


def main():
    handler = functools.partial(Site, directory=SITE)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_port
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--window-size=800,600"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        # A won, a lost and a drawn game, found on the core and played by clicks.
        for kind, text in ((1, "Game over - you win!"), (2, "Game over - you lose!"),
                           (3, "Give up - it's a drawn game!")):
            want = expected(kind, "=" + text)
            load(driver, port)
            choose(driver, kind)
            click(driver, want["actions"])
            got = check_screen(driver, want, text)
            assert got["status"] == text and got["highlighted"].count("1") == (0 if kind == 3 else 3)
            if kind == 1:
                driver.find_element(By.CSS_SELECTOR, "main.window").screenshot(SCREENSHOT)

        # The same clicks give the same game as on the core, for each opponent.
        for kind in (1, 2, 3):
            for actions in SEQUENCES:
                load(driver, port)
                choose(driver, kind)
                click(driver, actions)
                check_screen(driver, expected(kind, actions), f"opponent {kind}, {actions}")

        # By keyboard: Tab to the first square, Space, Tab on to "Play O", Space.
        load(driver, port)
        body = driver.find_element(By.TAG_NAME, "body")
        body.send_keys(Keys.TAB)
        focused = driver.switch_to.active_element
        assert focused.get_attribute("aria-label") == "Top left: empty", "Tab goes to a square"
        assert focused.value_of_css_property("outline-style") != "none", "focus is visible"
        focused.send_keys(Keys.SPACE)
        for _ in range(9):
            driver.switch_to.active_element.send_keys(Keys.TAB)
        assert driver.switch_to.active_element.text == "Play O"
        driver.switch_to.active_element.send_keys(Keys.SPACE)
        check_screen(driver, expected(2, "0p"), "keyboard")

        # Help > About, closed by Escape; the game stays as it was.
        driver.find_element(By.ID, "help-title").click()
        driver.find_element(By.ID, "about-item").click()
        assert driver.find_element(By.ID, "about").get_attribute("open") is not None
        driver.switch_to.active_element.send_keys(Keys.ESCAPE)
        assert driver.find_element(By.ID, "about").get_attribute("open") is None
        check_screen(driver, expected(2, "0p"), "after the About box")

        # Only its own files were asked for, and with the server gone the page still plays.
        assert Site.requested <= {"/", "/quorvane.css", "/quorvane.js", "/quorvane.wasm"}, \
            Site.requested
        server.shutdown()
        server.server_close()
        click(driver, "r4p")
        check_screen(driver, expected(2, "0pr4p"), "offline")
    finally:
        driver.quit()
    print("web page: all checks passed")


if __name__ == "__main__":
    main()
