// The view of the network's thinking, before the page script in the same module: the panel in
// the window, drawn from the words the module hands over after each operation while it is
// shown, and what this browser remembers of it beside the opponent. The page script wires it
// to the View menu and to the module.

const THINKING_KEY = "quorvane-thinking";
const RECORDS_KEY = "quorvane-records";
const NO_RECORDS = [[0, 0, 0], [0, 0, 0], [0, 0, 0]];
// Far below the module's largest int, so that counting on can never overflow it.
const MOST_GAMES = 999999999;
const thinkingPanel = document.getElementById("thinking");
const thinkingItem = document.getElementById("thinking-item");
const thinkingPart = (name) => document.getElementById(`thinking-${name}`);

// Storage may be switched off, full or refused, or hold anything at all: then the defaults,
// and the game goes on.
function kept(key, value) {
    try {
        return value === undefined ? localStorage.getItem(key) : localStorage.setItem(key, value);
    } catch {
        return null;
    }
}

// Whether the view was shown, and the person's results by opponent, as won, drawn and lost.
function keptThinking() {
    let records = null;
    try {
        records = JSON.parse(kept(RECORDS_KEY));
    } catch {
        // damaged: no records
    }
    const count = (n) => Number.isInteger(n) && n >= 0 && n <= MOST_GAMES;
    const sound = Array.isArray(records) && records.length === 3 &&
        records.every((record) => Array.isArray(record) && record.length === 3 &&
                                  record.every(count));
    return { shown: kept(THINKING_KEY) === "shown", records: sound ? records : NO_RECORDS };
}

function keepShown(shown) {
    kept(THINKING_KEY, shown ? "shown" : "hidden");
}

function keepRecords(records) {
    kept(RECORDS_KEY, JSON.stringify(records));
}

function showThinkingView(shown) {
    thinkingPanel.hidden = !shown;
    thinkingItem.setAttribute("aria-checked", String(shown));
    thinkingPanel.closest(".window").toggleAttribute("data-thinking", shown);
}

// A small board of three rows of three cells.
function smallBoard(table) {
    for (let row = 0; row < 3; ++row) {
        const cells = table.insertRow();
        for (let column = 0; column < 3; ++column) {
            cells.insertCell();
        }
    }
    return [...table.querySelectorAll("td")];
}
const storedCells = smallBoard(thinkingPart("stored"));
const heatCells = smallBoard(thinkingPart("heat"));

function fillList(list, texts) {
    list.replaceChildren(...texts.map((text) => {
        const item = document.createElement("li");
        item.textContent = text;
        return item;
    }));
}

// The heat map shows each value's own words ("26%", "loses", "taken") in its square, on a
// colour that deepens with the chance of a win; the list under it says the same square by
// square, for a screen reader and wherever colours are lost.
function drawThinking(thinking) {
    thinkingPart("how").textContent = thinking.how;
    thinkingPart("opponent").textContent = thinking.opponent;
    fillList(thinkingPart("records"), thinking.records);
    thinkingPart("network").hidden = !thinking.network;
    if (!thinking.network) {
        return;
    }
    storedCells.forEach((cell, square) => { cell.textContent = thinking.stored[square].trim(); });
    const values = thinking.values ?? [];
    thinkingPart("heat").hidden = !thinking.values;
    thinkingPart("no-values").textContent = thinking.values ? "" : thinking.noValues;
    fillList(thinkingPart("values"), values);
    heatCells.forEach((cell, square) => {
        const value = thinking.heat[square];
        const taken = thinking.before[square] !== " ";
        const loses = !taken && value < thinking.losingBelow;
        cell.textContent = thinking.words?.[square] ?? "";
        cell.className = taken ? "taken" : loses ? "loses" : "";
        cell.classList.toggle("chosen", square === thinking.square);
        cell.style.setProperty("--heat", taken || loses ? 0 : Math.min(Math.max(value, 0), 1));
    });
}
