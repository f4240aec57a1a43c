// The page script, appended to the module's loader: lays the window out as the Windows dialog
// template, draws the squares and turns clicks, keys and menu choices into the module's calls.
// It knows no rule of the game; the module decides everything and asks for repaints.

const LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const SVG_NS = "http://www.w3.org/2000/svg";

// Dialog units of an element's font: a quarter of the letters' average width and an eighth of
// the line height, rounded to pixels as the dialog manager rounds them.
function dialogUnits(element) {
    const style = getComputedStyle(element);
    const context = document.createElement("canvas").getContext("2d");
    context.font = `${style.fontWeight} ${style.fontSize} ${style.fontFamily}`;
    const metrics = context.measureText(LETTERS);
    const width = Math.floor((Math.floor(metrics.width / 26) + 1) / 2);
    const height = Math.round(metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent);
    const scale = (value, base, per) => Math.floor((value * base + per / 2) / per);
    return { x: (v) => scale(v, width, 4), y: (v) => scale(v, height, 8), height };
}

// Position and size are scaled each on its own, as the dialog manager scales them.
function place(element, units, [x, y, width, height]) {
    Object.assign(element.style, {
        left: `${units.x(x)}px`,
        top: `${units.y(y)}px`,
        width: `${units.x(width)}px`,
        height: `${units.y(height)}px`,
    });
}

function numbers(text) {
    return text.split(" ").map(Number);
}

// Every element with a box in a client area, and the area's own size.
function layOut(client) {
    const units = dialogUnits(client);
    const [width, height] = numbers(client.dataset.size);
    client.style.width = `${units.x(width)}px`;
    client.style.height = `${units.y(height)}px`;
    for (const element of client.querySelectorAll("[data-box]")) {
        place(element, units, numbers(element.dataset.box));
    }
    return units;
}

let game = null;  // the module, once it is ready
const client = document.getElementById("client");
const board = document.getElementById("board");
const statusLine = document.getElementById("status");
const playButton = document.getElementById("play-o");
const resetButton = document.getElementById("reset");
const about = document.getElementById("about");

// The frames, column by column, then the squares, row by row, as in the template; a frame's
// top line runs half a line of text down, where a group box's title would stand.
for (let column = 0; column < 3; ++column) {
    for (let row = 0; row < 3; ++row) {
        const frame = document.createElement("div");
        frame.className = "frame";
        frame.dataset.box = `${19 + 52 * column} ${17 + 40 * row} 53 44`;
        board.append(frame);
    }
}
const squares = [];
for (let square = 0; square < 9; ++square) {
    const button = document.createElement("button");
    button.type = "button";
    button.className = "square";
    button.disabled = true;
    button.dataset.box = `${20 + 52 * (square % 3)} ${22 + 40 * Math.floor(square / 3)} 51 38`;
    button.append(document.createElementNS(SVG_NS, "svg"));
    button.addEventListener("click", () => game?._qrv_click_square(square));
    board.append(button);
    squares.push(button);
}
const units = layOut(client);
const titleDrop = Math.max(0, Math.floor(units.height / 2) - 1);
for (const frame of board.querySelectorAll(".frame")) {
    frame.style.top = `${parseFloat(frame.style.top) + titleDrop}px`;
    frame.style.height = `${parseFloat(frame.style.height) - titleDrop}px`;
}
layOut(about.querySelector(".client"));

function svgElement(name, attributes) {
    const element = document.createElementNS(SVG_NS, name);
    for (const [key, value] of Object.entries(attributes)) {
        element.setAttribute(key, value);
    }
    element.classList.add("mark");
    return element;
}

// The figure's box is inset by 4 at the left and top and by 6 at the right and bottom, in
// pixels of the square at 100% zoom; pixel centres lie half a unit in.
function repaintSquare(square, mark, highlighted, name) {
    const button = squares[square];
    const width = button.offsetWidth;
    const height = button.offsetHeight;
    const [left, top, right, bottom] = [4.5, 4.5, width - 5.5, height - 5.5];
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

// The menus: a title opens its items; Escape, Tab, a choice or a click elsewhere closes them.
const titles = [...document.querySelectorAll(".menu-title")];

function closeMenus() {
    for (const title of titles) {
        title.setAttribute("aria-expanded", "false");
        document.getElementById(title.getAttribute("aria-controls")).hidden = true;
    }
}

function openMenu(title) {
    closeMenus();
    title.setAttribute("aria-expanded", "true");
    const items = document.getElementById(title.getAttribute("aria-controls"));
    items.hidden = false;
    items.querySelector("button").focus();
}

for (const title of titles) {
    title.addEventListener("click", () => {
        if (title.getAttribute("aria-expanded") === "true") {
            closeMenus();
        } else {
            openMenu(title);
        }
    });
    const items = document.getElementById(title.getAttribute("aria-controls"));
    items.addEventListener("keydown", (event) => {
        const buttons = [...items.querySelectorAll("button")];
        const at = buttons.indexOf(document.activeElement);
        if (event.key === "ArrowDown" || event.key === "ArrowUp") {
            const step = event.key === "ArrowDown" ? 1 : buttons.length - 1;
            buttons[(at + step) % buttons.length].focus();
        } else if (event.key === "ArrowLeft" || event.key === "ArrowRight") {
            const step = event.key === "ArrowRight" ? 1 : titles.length - 1;
            openMenu(titles[(titles.indexOf(title) + step) % titles.length]);
        } else if (event.key === "Escape") {
            closeMenus();
            title.focus();
        } else if (event.key === "Tab") {
            closeMenus();
            return;
        } else {
            return;
        }
        event.preventDefault();
    });
}
document.addEventListener("pointerdown", (event) => {
    if (!event.target.closest(".menu")) {
        closeMenus();
    }
});

for (const item of document.querySelectorAll("[data-opponent]")) {
    item.addEventListener("click", () => {
        closeMenus();
        game?._qrv_choose_opponent(Number(item.dataset.opponent));
    });
}

// The About box opens 22 by 17 of its units from the top left of the window's client area.
document.getElementById("about-item").addEventListener("click", () => {
    closeMenus();
    const aboutUnits = dialogUnits(about);
    const origin = client.getBoundingClientRect();
    about.style.margin = "0";
    about.style.left = `${origin.left + aboutUnits.x(22)}px`;
    about.style.top = `${origin.top + aboutUnits.y(17)}px`;
    about.showModal();
});
document.getElementById("about-ok").addEventListener("click", () => about.close());

playButton.addEventListener("click", () => game?._qrv_play_o());
resetButton.addEventListener("click", () => game?._qrv_reset());

// An optional seed in the address replaces the clock's, so that tests can replay a game.
const seedText = new URLSearchParams(location.search).get("seed");
const seed = /^\d{1,10}$/.test(seedText ?? "") && Number(seedText) < 2 ** 32 ? Number(seedText) : null;

const instance = await createQuorvane({
    repaintSquare,
    setStatusText: (text) => { statusLine.textContent = text; },
    setLabels: (boardName, statusName) => {
        board.setAttribute("aria-label", boardName);
        statusLine.setAttribute("aria-label", statusName);
    },
    reportLibraryFailure: () => alert(
        "Error...Failed to load the network!\n\nReload the page to play against it."),
});
if (instance._qrv_start(seed === null ? 0 : 1, seed ?? 0)) {
    game = instance;
    for (const button of [...squares, playButton, resetButton]) {
        button.disabled = false;
    }
    performance.mark("quorvane-ready");
    document.documentElement.dataset.ready = "";
}
