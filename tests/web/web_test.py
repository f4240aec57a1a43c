#!/usr/bin/env python3
"""The web page in headless Chromium: whole games by clicks and by keyboard, each compared with
what the native core shows for the same seed and clicks; a page that cannot load its module,
the opponent kept across visits, the sizes of its controls on a phone, and the app installed
and played offline. With --orca, a short game by keyboard in a visible Chromium under the
screen reader Orca, checking what Orca spoke (exits with 77 when Orca cannot start).

Usage: web_test.py SITE_DIR QRV_WEB_EXPECT SCREENSHOT
       web_test.py --orca SITE_DIR
"""
import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

SITE, EXPECT, SCREENSHOT = (sys.argv[1:4] + [None] * 3)[:3]
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


# Every control is 24 by 24 CSS px, or a circle of 24 px across on its centre keeps off the
# other controls and off the circles of the other small ones; a modal dialog's controls are all
# that count while it is open. The About box and the whole page stay inside the view.
TARGETS = """
const modal = document.querySelector('dialog[open]');
const boxes = [...(modal ?? document).querySelectorAll('button')]
    .filter(b => b.getClientRects().length && (modal || !b.closest('dialog')))
    .map(b => [b.id || b.textContent || b.getAttribute('aria-label'), b.getBoundingClientRect()]);
const gap = (x, y, r) => Math.hypot(Math.max(r.left - x, 0, x - r.right),
                                    Math.max(r.top - y, 0, y - r.bottom));
const small = (r) => r.width < 24 || r.height < 24;
const faults = [];
for (const [name, r] of boxes.filter(([, r]) => small(r))) {
    const [x, y] = [(r.left + r.right) / 2, (r.top + r.bottom) / 2];
    for (const [other, o] of boxes.filter(([, o]) => o !== r)) {
        if (gap(x, y, o) < 12 || (small(o) && Math.hypot(x - (o.left + o.right) / 2,
                                                         y - (o.top + o.bottom) / 2) < 24)) {
            faults.push(`${name} too small beside ${other}`);
        }
    }
}
const about = document.getElementById('about').getBoundingClientRect();
if (modal && (about.left < 0 || about.top < 0 || about.right > innerWidth ||
              about.bottom > innerHeight)) {
    faults.push('About box outside the view');
}
if (document.documentElement.scrollWidth > innerWidth) {
    faults.push('page wider than the view');
}
return faults;"""


class Site(http.server.SimpleHTTPRequestHandler):
    requested = set()
    missing = set()

    def do_GET(self):
        path = self.path.split("?")[0]
        Site.requested.add(path)
        if path in Site.missing:
            self.send_error(404)
        else:
            super().do_GET()

    def log_message(self, *args):
        pass


def expected(kind, actions):
    lines = subprocess.run([EXPECT, str(SEED), str(kind), actions], check=True,
                           capture_output=True, text=True).stdout.split("\n")
    return dict(zip(("actions", "marks", "highlighted", "status"), lines), names=lines[4:13])


def load(driver, port, query="", state="ready"):
    driver.get(f"http://127.0.0.1:{port}/?seed={SEED}{query}")
    WebDriverWait(driver, 20).until(
        lambda d: d.execute_script(f"return '{state}' in document.documentElement.dataset"))


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


def thinking(driver):
    return driver.execute_script("""const part = (name) => document.getElementById(name);
        return {shown: part('thinking').getClientRects().length > 0,
                checked: part('thinking-item').getAttribute('aria-checked'),
                how: part('thinking-how').textContent,
                records: [...part('thinking-records').children].map(e => e.textContent),
                stored: [...part('thinking-stored').querySelectorAll('td')]
                    .map(e => e.textContent || ' '),
                values: [...part('thinking-values').children].map(e => e.textContent),
                noValues: part('thinking-no-values').textContent};""")


def keyboard(driver, target, key=Keys.SPACE):
    """Tab or Shift+Tab from the focused control to the target, then the key."""
    order = ["file-title", *(f"square-{square}" for square in range(9)), "play-o", "reset"]
    where = driver.execute_script(
        "const e = document.activeElement;"
        "const squares = [...document.querySelectorAll('.square')];"
        "return squares.includes(e) ? 'square-' + squares.indexOf(e) : e.id;")
    distance = order.index(target) - order.index(where)
    for _ in range(abs(distance)):
        driver.switch_to.active_element.send_keys(
            Keys.TAB if distance > 0 else Keys.SHIFT + Keys.TAB)
    driver.switch_to.active_element.send_keys(key)


def serve(site):
    handler = functools.partial(Site, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, server.server_port


def chromium(*arguments):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--no-sandbox", "--disable-dev-shm-usage", "--window-size=800,600",
                     *arguments):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def screen_reader_game(site):
    """The Linux program's game under Orca, played on the page in a visible Chromium."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "qt"))
    import accessibility_test as desktop
    display = desktop.in_desktop_session()
    server, port = serve(site)
    folder = tempfile.mkdtemp()
    driver = chromium("--force-renderer-accessibility")
    try:
        load(driver, port)
        choose(driver, 3)  # before Orca starts, which would read the menu out
        reader = desktop.ScreenReader(folder)
        desktop.focus_window("Play Xs")
        wanted = desktop.play_by_keyboard(reader, lambda: driver.execute_script(
            "const e = document.activeElement;"
            "return e.getAttribute('aria-label') || e.textContent.trim();"))
        desktop.check_speech(reader.stop(), wanted)
    finally:
        driver.quit()
        server.shutdown()
        display.terminate()
        desktop.keep_log_on_failure(folder)
    desktop.finish()


def main():
    server, port = serve(SITE)
    driver = chromium("--headless=new")
    try:
        # Without its module the page says so, once, where the status line stands.
        Site.missing = {"/quorvane.wasm"}
        load(driver, port, state="failed")
        assert driver.find_element(By.ID, "status").text == \
            "The game could not be loaded. Reload the page to try again."
        Site.missing = set()

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

        # By keyboard only: the menu bar is one tab stop before the squares; Enter opens File,
        # its underlined letter chooses the random-number opponent and gives the focus back.
        # Then a whole game, and About, closed by Escape, leaves the game as it was.
        load(driver, port, "&opponent=network")
        driver.find_element(By.TAG_NAME, "body").send_keys(Keys.TAB)
        assert driver.switch_to.active_element.get_attribute("id") == "file-title"
        driver.switch_to.active_element.send_keys(Keys.ENTER)
        driver.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
        assert driver.switch_to.active_element.get_attribute("id") == "thinking-item"
        driver.switch_to.active_element.send_keys(Keys.ARROW_LEFT)
        driver.switch_to.active_element.send_keys("r")
        assert driver.switch_to.active_element.get_attribute("id") == "file-title"
        driver.switch_to.active_element.send_keys(Keys.TAB)
        focused = driver.switch_to.active_element
        assert focused.get_attribute("aria-label") == "Top left: empty", "Tab goes to a square"
        assert focused.value_of_css_property("outline-style") != "none", "focus is visible"
        want = expected(1, "=Game over - you win!")
        for action in want["actions"]:
            keyboard(driver, "play-o" if action == "p" else f"square-{action}")
        check_screen(driver, want, "keyboard")
        keyboard(driver, "file-title", Keys.END)
        driver.switch_to.active_element.send_keys(Keys.ARROW_DOWN)
        # In forced colours the focused item keeps an outline, and a nought no light inside.
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "forced-colors", "value": "active"}]})
        assert driver.switch_to.active_element.value_of_css_property("outline-style") == "solid"
        fills = driver.execute_script(
            "return [...document.querySelectorAll('ellipse')].map(e => getComputedStyle(e).fill)")
        assert fills and "rgb(240, 240, 240)" not in fills, fills
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        driver.switch_to.active_element.send_keys(Keys.ENTER)
        assert driver.find_element(By.ID, "about").get_attribute("open") is not None
        driver.switch_to.active_element.send_keys(Keys.ESCAPE)
        assert driver.find_element(By.ID, "about").get_attribute("open") is None
        assert driver.switch_to.active_element.get_attribute("id") == "help-title"
        check_screen(driver, want, "after the About box")

        # The choice is remembered, and an opponent in the address wins over it; the address
        # always names the one that plays.
        for query, name, kind in (("", "random", 1), ("&opponent=genetic", "genetic", 3)):
            load(driver, port, query)
            assert f"opponent={name}" in driver.current_url, driver.current_url
            click(driver, "4p0p")
            check_screen(driver, expected(kind, "4p0p"), f"opponent {name} restored")

        # Each operation is said once, in a live region of its own: emptied at once and filled
        # a moment later, so that the same sentence twice is said twice.
        driver.execute_script(
            "const a = document.getElementById('announcer'); window.spoken = [];"
            "new MutationObserver(() => spoken.push(a.textContent))"
            ".observe(a, {childList: true, characterData: true, subtree: true});")
        for count in (2, 4):
            click(driver, "r")
            WebDriverWait(driver, 5).until(
                lambda d: len(d.execute_script("return spoken")) >= count)
        assert driver.execute_script("return spoken") == ["", "New game"] * 2

        # The network's thinking: damaged or out-of-range storage gives the defaults, the view
        # off and no results; Alt+V and its letter show it, a named region that says how the
        # computer chose and counts the game; both are remembered, and storage that throws
        # loses neither the game nor the view.
        lost = expected(2, "=Game over - you lose!")
        for view, records in (("yes", '[[1,2,3],[4,5],"x"]'), ("shown", "[[1,2,3],[0,0,-1],[0,0,0]]"),
                              ("shown", "[[1,2,3],[0,0,1e10],[0,0,0]]"), ("", "{")):
            driver.execute_script("localStorage.setItem('quorvane-thinking', arguments[0]);"
                                  "localStorage.setItem('quorvane-records', arguments[1]);",
                                  view, records)
            load(driver, port, "&opponent=network")
            if view != "shown":
                assert not thinking(driver)["shown"], (view, records)
                driver.find_element(By.ID, "play-o").send_keys(Keys.ALT + "v")
                assert driver.switch_to.active_element.aria_role == "menuitemcheckbox"
                driver.switch_to.active_element.send_keys("t")
                assert driver.switch_to.active_element.get_attribute("id") == "play-o"
            got = thinking(driver)
            assert got["shown"] and got["checked"] == "true", (view, records, got)
            assert got["records"] == [f"Against the {name}: 0 won, 0 drawn, 0 lost" for name in
                                      ("Random Number Generator", "Neural Network",
                                       "Genetic Algorithm")], (records, got)
        region = driver.find_element(By.ID, "thinking")
        assert (region.aria_role, region.accessible_name) == ("region", "The Network's Thinking")
        click(driver, lost["actions"])
        check_screen(driver, lost, "lost with the view on")
        assert thinking(driver)["how"] == "It completed its line.", thinking(driver)
        assert thinking(driver)["records"][1] == "Against the Neural Network: 0 won, 0 drawn, 1 lost"
        WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, "announcer").get_attribute(
            "textContent").endswith("Game over - you lose! It completed its line."))
        load(driver, port, "&opponent=network")
        click(driver, "4p")
        got = thinking(driver)
        chosen = [entry for entry in got["values"] if entry.endswith(", chosen")]
        assert got["shown"] and got["how"].startswith("Stored position ") and \
            got["stored"] == [" ", " ", " ", " ", "X", " ", " ", " ", " "] and \
            got["noValues"] == "" and got["values"][4] == "Centre: taken" and len(chosen) == 1, got
        rated = "The network rated it " + chosen[0].split(": ")[1][:-len(", chosen")] + "."
        WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, "announcer").get_attribute(
            "textContent").endswith(rated))
        assert got["records"][1].endswith("1 lost"), got
        refused = driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
            "Object.defineProperty(window, 'localStorage', {get() { throw new Error('refused'); }})"})
        load(driver, port, "&opponent=network")
        assert not thinking(driver)["shown"]
        driver.find_element(By.ID, "view-title").click()
        driver.find_element(By.ID, "thinking-item").click()
        click(driver, lost["actions"])
        check_screen(driver, lost, "lost without storage")
        assert thinking(driver)["records"][1].endswith("0 drawn, 1 lost"), thinking(driver)
        driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", refused)

        # On a phone, in each state, every control is large enough and the About box fits; the
        # thinking, still shown, stands below the board.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        load(driver, port, "&opponent=random")
        won = expected(1, "=Game over - you win!")["actions"]
        for state, steps in (("start", ""), ("open menu", "f"), ("mid-game", "f4p"),
                             ("game over", won), ("About", "ha")):
            for step in steps:
                target = {"f": "file-title", "h": "help-title", "a": "about-item"}.get(step)
                if target:
                    driver.find_element(By.ID, target).click()
                else:
                    click(driver, step)
            faults = driver.execute_script(TARGETS)
            assert not faults, (state, faults)
            below = driver.find_element(By.ID, "reset").rect
            assert driver.find_element(By.ID, "thinking").rect["y"] >= \
                below["y"] + below["height"], state
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

        # Installable, and once the worker has kept the site, a reload without the server
        # plays; nothing but the site's own files was asked for.
        load(driver, port, "&opponent=network")
        assert driver.execute_async_script(
            "navigator.serviceWorker.ready.then(r => arguments[0](r.active.state))") in \
            ("activating", "activated")
        assert driver.execute_cdp_cmd("Page.getInstallabilityErrors", {}) == \
            {"installabilityErrors": []}
        assert Site.requested <= {"/", "/quorvane.css", "/quorvane.js", "/quorvane.wasm",
                                  "/sw.js", "/manifest.webmanifest", "/icon-192.png",
                                  "/icon-512.png"}, Site.requested
        server.shutdown()
        server.server_close()
        driver.refresh()
        WebDriverWait(driver, 20).until(
            lambda d: d.execute_script("return 'ready' in document.documentElement.dataset"))
        click(driver, "4p")
        check_screen(driver, expected(2, "4p"), "offline")
    finally:
        driver.quit()
    print("web page: all checks passed")


if __name__ == "__main__":
    if sys.argv[1] == "--orca":
        screen_reader_game(sys.argv[2])
    else:
        main()
