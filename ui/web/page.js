// The page script, appended to the module's loader: measures the window's font for its dialog
// units, draws the squares and turns clicks, keys and menu choices into the module's calls.
// It knows no rule of the game; the module decides everything and asks for repaints.

const LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const SVG_NS = "http://www.w3.org/2000/svg";

// Dialog units of a window's font at its unscaled size: a quarter of the letters' average
// width and an eighth of the line height, rounded to pixels as the dialog manager rounds them.
// The stylesheet lays the window out from the same two numbers; it assumes the usual font's,
// and is told the real ones only when they differ, so that the page does not move.
function dialogUnits(frame) {
    const style = getComputedStyle(frame);
    const size = parseFloat(style.getPropertyValue("--font-px"));
    const context = document.createElement("canvas").getContext("2d");
    context.font = `${style.fontWeight} ${size}px ${style.fontFamily}`;
    const metrics = context.measureText(LETTERS);
    const width = Math.floor((Math.floor(metrics.width / 26) + 1) / 2);
    const height = Math.round(metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent);
    for (const [name, value] of [["--bux", width], ["--buy", height]]) {
        if (Number(style.getPropertyValue(name)) !== value) {
            frame.style.setProperty(name, value);
        }
    }
    const scale = (value, base, per) => Math.floor((value * base + per / 2) / per);
    return { x: (v) => scale(v, width, 4), y: (v) => scale(v, height, 8) };
}

let game = null;  // the module, once it is ready
const root = document.documentElement;
const statusLine = document.getElementById("status");
const announcer = document.getElementById("announcer");
const playButton = document.getElementById("play-o");
const resetButton = document.getElementById("reset");
const about = document.getElementById("about");
const squares = [...document.querySelectorAll(".square")];

const units = dialogUnits(document.querySelector("main.window"));
const aboutUnits = dialogUnits(about);
// The numbers of a box that the page was made with, from the windows' layout.
const layout = (element, ...names) =>
    names.map((name) => Number(element.style.getPropertyValue(name)));
// A square's marks are drawn in its unscaled pixels; the picture scales with the window.
const squareSize = [units.x(layout(squares[0], "--w")), units.y(layout(squares[0], "--h"))];
const [nearInset, farInset] =
    document.getElementById("board").dataset.insets.split(" ").map(Number);

squares.forEach((button, square) => {
    button.addEventListener("click", () => game?._qrv_click_square(square));
});

function svgElement(name, attributes) {
    const element = document.createElementNS(SVG_NS, name);
    for (const [key, value] of Object.entries(attributes)) {
        element.setAttribute(key, value);
    }
    element.classList.add("mark");
    return element;
}

// The figure's box is inset by 4 at the left and top and by 6 at the right and bottom, in the
// square's unscaled pixels; pixel centres lie half a unit in.
function repaintSquare(square, mark, highlighted, name) {
    const button = squares[square];
    const [width, height] = squareSize;
    const [left, top, right, bottom] =
        [nearInset, nearInset, width - farInset, height - farInset].map((edge) => edge + 0.5);
    const svg = button.firstChild;
    svg.setAttribute("viewBox", `0 0 ${width} ${height}`);
    if (mark === "X") {
        svg.replaceChildren(
            svgElement("line", { x1: left, y1: top, x2: right, y2: bottom }),
            svgElement("line", { x1: left, y1: bottom, x2: right, y2: top }));
    } else if (mark === "O") {
        svg.replaceChildren(svgElement("ellipse", {
            cx: (left + right) / 2, cy: (top + bottom) / 2,
            rx: (right - left) / 2, ry: (bottom - top) / 2,
        }));
    } else {
        svg.replaceChildren();
    }
    button.dataset.mark = mark === "X" || mark === "O" ? mark : "";
    button.classList.toggle("highlighted", highlighted);
    button.setAttribute("aria-label", name);
}

// The menu bar is one tab stop (the title last focused); Left and Right move between the
// titles, Down, Enter or Space opens a menu, an underlined letter chooses. A choice, or the
// About box closing, gives the focus back to where it was before the menu opened.
const titles = [...document.querySelectorAll(".menu-title")];
const itemsOf = (title) => document.getElementById(title.getAttribute("aria-controls"));
const buttonsOf = (title) => [...itemsOf(title).querySelectorAll("button")];
const openTitle = () => titles.find((title) => title.getAttribute("aria-expanded") === "true");
const byKey = (buttons, key) => buttons.find((button) => button.dataset.key === key.toLowerCase());
let returnTo = null;

function focusTitle(title) {
    for (const other of titles) {
        other.tabIndex = other === title ? 0 : -1;
    }
    title.focus();
}

function closeMenus() {
    for (const title of titles) {
        title.setAttribute("aria-expanded", "false");
        itemsOf(title).hidden = true;
    }
}

// Closes the menus for good: nothing is left to give the focus back to.
function dismissMenus() {
    closeMenus();
    returnTo = null;
}

function openMenu(title, last = false) {
    if (!openTitle() && !returnTo) {
        returnTo = document.activeElement;
    }
    closeMenus();
    focusTitle(title);
    title.setAttribute("aria-expanded", "true");
    itemsOf(title).hidden = false;
    buttonsOf(title).at(last ? -1 : 0).focus();
}

function restoreFocus(title) {
    const target = returnTo;
    returnTo = null;
    if (target && target !== document.body && target.isConnected && !target.disabled &&
        !target.closest("[hidden]")) {
        target.focus();
    } else {
        focusTitle(title);
    }
}

const step = (list, from, by) => list[(list.indexOf(from) + by + list.length) % list.length];

document.querySelector(".menu-bar").addEventListener("pointerdown", () => {
    if (!openTitle()) {
        returnTo = document.activeElement;
    }
}, true);

// An access key (Alt and a title's letter) focuses the title and clicks it in one go: the focus
// to give back is the one the title took over.
let focusTakenFrom = null;
document.querySelector(".menu-bar").addEventListener("focusin", (event) => {
    focusTakenFrom = event.relatedTarget;
    setTimeout(() => { focusTakenFrom = null; });
});
document.querySelector(".menu-bar").addEventListener("click", () => {
    if (!openTitle() && focusTakenFrom && !focusTakenFrom.closest(".menu-bar")) {
        returnTo = focusTakenFrom;
    }
}, true);

for (const title of titles) {
    title.addEventListener("click", () => {
        if (openTitle() === title) {
            dismissMenus();
        } else {
            openMenu(title);
        }
    });
    title.addEventListener("keydown", (event) => {
        const moves = { ArrowLeft: -1, ArrowRight: 1 };
        if (event.key in moves) {
            focusTitle(step(titles, title, moves[event.key]));
        } else if (event.key === "ArrowDown" || event.key === "ArrowUp") {
            openMenu(title, event.key === "ArrowUp");
        } else if (event.key === "Home" || event.key === "End") {
            focusTitle(titles.at(event.key === "Home" ? 0 : -1));
        } else if (!event.altKey && !event.ctrlKey && byKey(titles, event.key)) {
            focusTitle(byKey(titles, event.key));
        } else {
            return;
        }
        event.preventDefault();
    });
    const items = itemsOf(title);
    items.addEventListener("keydown", (event) => {
        const buttons = buttonsOf(title);
        const moves = { ArrowDown: 1, ArrowUp: -1, ArrowLeft: -1, ArrowRight: 1 };
        if (event.key === "ArrowDown" || event.key === "ArrowUp") {
            step(buttons, document.activeElement, moves[event.key]).focus();
        } else if (event.key === "ArrowLeft" || event.key === "ArrowRight") {
            openMenu(step(titles, title, moves[event.key]));
        } else if (event.key === "Home" || event.key === "End") {
            buttons.at(event.key === "Home" ? 0 : -1).focus();
        } else if (event.key === "Escape") {
            dismissMenus();
            focusTitle(title);
        } else if (event.key === "Tab") {
            // Tab leaves the menu bar from its title, whichever way it goes.
            dismissMenus();
            focusTitle(title);
            return;
        } else if (!event.altKey && !event.ctrlKey && byKey(buttons, event.key)) {
            byKey(buttons, event.key).click();
        } else {
            return;
        }
        event.preventDefault();
    });
}
document.addEventListener("pointerdown", (event) => {
    if (openTitle() && !event.target.closest(".menu")) {
        dismissMenus();
    }
});

// The opponent: from the address, else the last one chosen on this browser; the address
// always says which one plays, and a choice in the menu is remembered. The menu's items come
// from the game's table of opponents, each with its kind and its word for the address.
const opponents = [...document.querySelectorAll("[data-opponent]")];
const opponentNamed = (word) => opponents.find((item) => item.dataset.word === word);
const STORAGE_KEY = "quorvane-opponent";

function storage(value) {
    try {  // storage may be switched off, or full
        return value === undefined ? localStorage.getItem(STORAGE_KEY)
                                   : localStorage.setItem(STORAGE_KEY, value);
    } catch {
        return null;
    }
}

function showOpponent(item) {
    const url = new URL(location.href);
    url.searchParams.set("opponent", item.dataset.word);
    history.replaceState(history.state, "", url);
}

// The new game starts once the choice has been handled, as the other front ends post theirs.
function chooseOpponent(item) {
    game._qrv_choose_opponent(Number(item.dataset.opponent));
    queueMicrotask(() => game._qrv_reset());
    showOpponent(item);
}

for (const item of opponents) {
    item.addEventListener("click", () => {
        closeMenus();
        if (game) {
            chooseOpponent(item);
            storage(item.dataset.word);
        }
        restoreFocus(titles[0]);
    });
}

// The About box opens at its place, in its units, from the top left of the window's client
// area, moved in where it would pass the edge of the view.
document.getElementById("about-item").addEventListener("click", () => {
    closeMenus();
    about.style.margin = "0";
    about.showModal();
    const box = about.getBoundingClientRect();
    const scale = box.width / (aboutUnits.x(layout(about, "--cw")) + 2);
    const [placeX, placeY] = about.dataset.place.split(" ").map(Number);
    const origin = document.getElementById("client").getBoundingClientRect();
    const inside = (start, size, room) => Math.max(0, Math.min(start, room - size));
    about.style.left = `${inside(origin.left + aboutUnits.x(placeX) * scale, box.width,
                                 root.clientWidth)}px`;
    about.style.top = `${inside(origin.top + aboutUnits.y(placeY) * scale, box.height,
                                root.clientHeight)}px`;
});
document.getElementById("about-ok").addEventListener("click", () => about.close());
about.addEventListener("close", () => restoreFocus(titles.at(-1)));

// View > "Show the Network's Thinking": the panel (thinking.js) shown or hidden, and remembered.
thinkingItem.addEventListener("click", () => {
    closeMenus();
    if (game) {
        const shown = thinkingPanel.hidden;
        game._qrv_show_thinking(shown ? 1 : 0);
        showThinkingView(shown);
        keepShown(shown);
    }
    restoreFocus(document.getElementById("view-title"));
});

playButton.addEventListener("click", () => game?._qrv_play_o());
resetButton.addEventListener("click", () => game?._qrv_reset());

// Said once after each operation; emptied first and filled a moment later, so that the same
// sentence twice in a row is said twice.
let announcing = 0;
function announce(sentence) {
    announcer.textContent = "";
    clearTimeout(announcing);
    announcing = setTimeout(() => { announcer.textContent = sentence; }, 100);
}

// Without the module there is no game: the status line says so (the console keeps the
// browser's own error).
const failure = statusLine.querySelector(".failure").textContent;
function showFailure() {
    if (!game) {
        root.dataset.failed = "";
        statusLine.textContent = failure;
    }
}

const params = new URLSearchParams(location.search);
// An optional seed in the address replaces the clock's, so that tests can replay a game.
const seedText = params.get("seed");
const seed = /^\d{1,10}$/.test(seedText ?? "") && Number(seedText) < 2 ** 32 ? Number(seedText) : null;
const chosen = opponentNamed(params.get("opponent")) ?? opponentNamed(storage());
const remembered = keptThinking();

try {
    const instance = await createQuorvane({
        repaintSquare,
        setStatusText: (text) => { statusLine.textContent = text; },
        setLabels: (boardName, statusName) => {
            document.getElementById("board").setAttribute("aria-label", boardName);
            statusLine.setAttribute("aria-label", statusName);
        },
        announce,
        showThinking: drawThinking,
        saveRecords: keepRecords,
        reportLibraryFailure: () => alert(
            "Error...Failed to load the network!\n\nReload the page to play against it."),
        onAbort: showFailure,
    });
    remembered.records.forEach((record, index) => instance._qrv_remember_record(index, ...record));
    if (instance._qrv_start(seed === null ? 0 : 1, seed ?? 0, remembered.shown ? 1 : 0)) {
        game = instance;
        showThinkingView(remembered.shown);
        if (chosen) {
            chooseOpponent(chosen);
        } else {
            showOpponent(opponents.find((item) => "default" in item.dataset));
        }
        for (const button of [...squares, playButton, resetButton]) {
            button.disabled = false;
        }
        performance.mark("quorvane-ready");
        root.dataset.ready = "";
        navigator.serviceWorker?.register("sw.js").catch(() => {});
    } else {
        showFailure();
    }
} catch {
    showFailure();
}
