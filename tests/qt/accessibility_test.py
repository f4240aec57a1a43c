#!/usr/bin/python3
"""Plays the Linux program through the accessibility bus, as a screen reader user would.

    accessibility_test.py PROGRAM FAKE_LIBRARY_DIR
    accessibility_test.py --orca PROGRAM

In a session bus and an X display of its own, with the accessibility bus enabled, starts a copy
of PROGRAM beside the fake network library of FAKE_LIBRARY_DIR and plays a won game through the
squares' and buttons' actions, checking the tree's names, roles and status text after every
move and the events that announce the changes. Prints the tree at the start and at the end.

With --orca, plays a short game by keyboard against the genetic algorithm with PROGRAM where it
stands (beside the real library), under the screen reader Orca, then shows the network's thinking
and reads its text, and checks what Orca spoke.
Exits with 77 when Orca cannot start at all.
"""
import datetime
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

POSITIONS = ["Top left", "Top centre", "Top right", "Middle left", "Centre", "Middle right",
             "Bottom left", "Bottom centre", "Bottom right"]
OPENING = "Your move. Click on a square, then 'Play O'..."
BLOCKED = "Blocked you there!"
failures = []
events = []  # (type, role, name) of what the program announced


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, flush=True)


def start_accessibility_bus():
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    bus = ["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path", "/org/a11y/bus"]
    for _ in range(100):
        if subprocess.run(bus + ["--method", "org.a11y.Bus.GetAddress"],
                          capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    # As a desktop with a screen reader does: programs then expose their trees.
    subprocess.run(bus + ["--method", "org.freedesktop.DBus.Properties.Set", "org.a11y.Status",
                          "IsEnabled", "<true>"], check=True, stdout=subprocess.DEVNULL)


def start_display():
    # The server picks a display number no other server uses, sockets included.
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as number:
        os.environ["DISPLAY"] = ":" + number.readline().strip()
    return server


def wait_for(condition, seconds=10):
    from gi.repository import GLib
    deadline = time.time() + seconds
    while True:
        while GLib.MainContext.default().pending():  # delivers the events
            GLib.MainContext.default().iteration(False)
        value = condition()
        if value or time.time() > deadline:
            return value
        time.sleep(0.05)


def nodes(node, depth=0):
    for child in node:
        if child is not None:
            yield child, depth
            yield from nodes(child, depth + 1)


def find(app, role, name):
    return next((n for n, _ in nodes(app) if n.getRoleName() == role and n.name == name), None)


def text_of(node):
    return node.queryText().getText(0, -1) if node is not None else None


def print_tree(app, heading):
    print("--- accessible tree %s\napplication \"%s\"" % (heading, app.name))
    for node, depth in nodes(app, 1):
        texts = node.get_interfaces()
        print("  " * depth + node.getRoleName() + (' "%s"' % node.name if node.name else "") +
              (' text="%s"' % text_of(node) if "Text" in texts else ""), flush=True)


def expect(app, board, status, what):
    """The squares' names tell `board`: 'X' or 'O', 'x' a pending X, 'W' an X of the winning
    line, ' ' empty; the status line shows `status`."""
    suffix = {"x": "X, not played yet", "W": "X, in the winning line", " ": "empty"}
    wanted = ([("push button", "%s: %s" % (POSITIONS[i], suffix.get(mark, mark)))
               for i, mark in enumerate(board)], status)

    def shown():
        board_node = find(app, "panel", "Board")
        return ([(n.getRoleName(), n.name) for n in board_node] if board_node is not None else [],
                text_of(find(app, "text", "Status")))
    seen = wait_for(lambda: shown() == wanted and wanted) or shown()
    check(seen == wanted, "%s: expected %s, the tree shows %s" % (what, wanted, seen))


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check(names[:1] == ["Press"], '"%s" has the actions %s' % (node.name, names))
    action.doAction(0)


class ScreenReader:
    """Orca on the accessibility bus, writing every utterance to its debug log. The log is
    complete only once Orca has ended, so each step is time-stamped here and the utterances are
    given to the steps by their time stamps afterwards."""
    SPEECH = re.compile(r"^(\d\d:\d\d:\d\d\.\d{6}) - SPEECH OUTPUT: '(.*)' ?(\{.*\})?$")

    def __init__(self, folder):
        import pyatspi
        self.log = os.path.join(folder, "orca.log")
        self.marks = []
        if shutil.which("orca") is None:
            skip("orca is not installed")
        # Orca runs once per user: another test's waits for this one, and a screen reader that
        # the user runs is left alone (Orca then refuses to start, and the test is skipped).
        self.lock = open(os.path.join(tempfile.gettempdir(), "quorvane-orca.lock"), "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.process = subprocess.Popen(
            ["orca", "--user-prefs", folder, "--debug-file", self.log],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        desktop = pyatspi.Registry.getDesktop(0)
        deadline = time.time() + 120
        while not any(a is not None and a.name == "orca" for a in desktop):
            if self.process.poll() is not None or time.time() > deadline:
                skip("Orca did not start (exit status %s)" % self.process.poll())
            time.sleep(0.5)
        time.sleep(8)  # its listeners are registered a little after it joins the bus

    def mark(self, what):
        """Starts a step: what Orca speaks from now until the next step belongs to it."""
        self.marks.append((datetime.datetime.now().strftime("%H:%M:%S.%f"), what))

    @staticmethod
    def press(key):
        """A key of the real keyboard, as Orca hears it, in the window with the focus."""
        subprocess.run(["xdotool", "key", key], check=True)
        time.sleep(0.5)

    def stop(self):
        """Ends Orca and returns, for each step, what Orca spoke during it."""
        self.mark("the end")
        self.process.send_signal(signal.SIGTERM)
        # Orca handles the signal only when an event wakes it up: a key press does.
        for _ in range(12):
            try:
                self.process.wait(5)
                break
            except subprocess.TimeoutExpired:
                subprocess.run(["xdotool", "key", "shift"], check=False)
        else:
            self.process.kill()
            self.process.wait()
        self.lock.close()
        with open(self.log, errors="replace") as log:
            lines = log.read().splitlines()
        check(any(line.endswith("ORCA: Shutdown complete") for line in lines),
              "Orca did not shut down cleanly: its log is incomplete")
        spoken = [m.group(1, 2) for m in map(self.SPEECH.match, lines) if m]
        steps = []
        for (start, what), (end, _) in zip(self.marks, self.marks[1:]):
            steps.append((what, [text for when, text in spoken if start <= when < end]))
        print("--- Orca's speech")
        for what, texts in steps:
            print("%s:\n" % what + "".join("    %s\n" % text for text in texts), end="")
        return steps


def skip(reason):
    print("SKIPPED: " + reason, flush=True)
    sys.exit(77)


def check_speech(steps, wanted):
    """Each sentence of `wanted` (step, sentences) is heard once, in its step and nowhere else,
    and no part of it ("Blocked you there!") is heard a second time in that step."""
    heard = dict(steps)
    everything = [text.rstrip(". ") for _, texts in steps for text in texts]
    for what, sentences in wanted:
        said = [text.rstrip(". ") for text in heard.get(what, [])]
        for sentence in sentences:
            check(said.count(sentence) == 1 and everything.count(sentence) == 1,
                  '%s: "%s" spoken %d times then, %d in all' %
                  (what, sentence, said.count(sentence), everything.count(sentence)))
            for part in sentence.split(". "):
                times = sum(part in text for text in said)
                check(times <= 1, '%s: "%s" heard %d times' % (what, part, times))


def focus_window(title):
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                            capture_output=True, text=True, check=True, timeout=120).stdout.split()
    # No window manager: the window takes the keyboard focus itself.
    subprocess.run(["xdotool", "windowfocus", "--sync", window[-1]], check=True, timeout=30)
    time.sleep(1)


# A game against the genetic algorithm by keyboard, for the program and the page alike: Tab or
# Shift+Tab to a control, Space there, and what Orca must then say, once.
GAME = [
    ("Tab", "Centre: empty", "X on Centre, not played yet"),
    ("Tab", "Play O", "O on Top left"),
    ("shift+Tab", "Top right: empty", "X on Top right, not played yet"),
    ("Tab", "Play O", "O on Bottom left. Blocked you there!"),
    ("shift+Tab", "Top centre: empty", "X on Top centre, not played yet"),
    ("Tab", "Play O", "O on Middle left. Game over - you lose!"),
]
# Then, with the network's thinking shown where the front end shows it: its text, whose second
# line, read with Down, says how the computer chose its last move.
THINKING = ("Tab", "The Network's Thinking", "It completed its line", "Down")


def play_by_keyboard(reader, focused, show_thinking=None):
    """Plays GAME under Orca; `focused` names the control with the keyboard focus. Given
    `show_thinking`, which shows the network's thinking, the step of THINKING follows."""
    wanted = []
    steps = GAME + [THINKING] if show_thinking else GAME
    for number, (key, target, sentence, *then) in enumerate(steps, 1):
        if number > len(GAME):
            show_thinking()
        reader.mark("step %d: %s to %s" % (number, key, target))
        for _ in range(12):
            if focused() == target:
                break
            reader.press(key)
        check(focused() == target, "step %d: %s never reached \"%s\"" % (number, key, target))
        action = then[0] if then else "space"
        what = "step %d: %s on %s" % (number, action.capitalize(), target)
        reader.mark(what)
        reader.press(action)
        time.sleep(4)  # generous: Orca speaks within a second even on a loaded machine
        wanted.append((what, [sentence]))
    return wanted


def play_with_orca(program):
    import pyatspi
    folder = tempfile.mkdtemp()
    game = subprocess.Popen([program])
    try:
        focus_window("Play Xs")
        # The opponent is chosen before Orca starts: Orca's key handling closes Qt's menus at
        # once on a display without a window manager.
        for key in ("alt+f", "g"):
            subprocess.run(["xdotool", "key", key], check=True)
            time.sleep(2)
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "quorvane"),
                                    None), 30)
        if app is None:
            return check(False, "the program's accessible tree never appeared")
        reader = ScreenReader(folder)
        focus_window("Play Xs")

        def show_thinking():
            # Through the item's action: Orca closes Qt's menus here, as above.
            press(find(app, "menu item", "Show the Network's Thinking"))
            wait_for(lambda: text_of(find(app, "text", THINKING[1])))
        wanted = play_by_keyboard(reader, lambda: next(
            (n.name for n, _ in nodes(app) if n.getState().contains(pyatspi.STATE_FOCUSED)), None),
            show_thinking)
        check_speech(reader.stop(), wanted)
    finally:
        game.terminate()
        game.wait(10)
        keep_log_on_failure(folder)


def keep_log_on_failure(folder):
    if failures:
        print("Orca's log is kept in " + folder)
    else:
        shutil.rmtree(folder, ignore_errors=True)


def play(program, fake):
    import pyatspi
    folder = tempfile.mkdtemp()
    shutil.copy(program, os.path.join(folder, "quorvane"))
    shutil.copy(os.path.join(fake, "libSynaptra.so"), folder)
    game = subprocess.Popen([os.path.join(folder, "quorvane")])
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "quorvane"
                                     and find(a, "text", "Status") is not None), None), 30)
        if app is None:
            return check(False, "the program's accessible tree never appeared")
        print_tree(app, "at the start")
        pyatspi.Registry.registerEventListener(
            lambda e: events.append((e.type, e.source.getRoleName(), e.source.name)),
            "object:property-change:accessible-name", "object:text-changed")
        frames = [n.name for n, _ in nodes(app) if n.getRoleName() == "frame"]
        check(frames == ["Play Xs & Os with Neural Network..."], "frames: %s" % frames)
        expect(app, "         ", OPENING, "the opening")
        # A square's action places the X; "Play O" brings the answer.
        for square, board, status in ((0, "x        ", OPENING), (None, "XO       ", OPENING),
                                      (4, "XO  x    ", OPENING), (None, "XO  X   O", BLOCKED),
                                      (3, "XO xX   O", BLOCKED), (None, "XO XXO  O", BLOCKED),
                                      (6, "WO WXOW O", "Game over - you win!")):
            name = "Play O" if square is None else POSITIONS[square] + ": empty"
            press(find(app, "push button", name))
            expect(app, board, status, "after " + name)
        # A screen reader learns of the changes from events, not by reading the tree again.
        wanted = [("object:property-change:accessible-name", "push button",
                   POSITIONS[i] + ": X, in the winning line") for i in (0, 3, 6)]
        wanted.append(("object:text-changed:insert", "text", "Status"))
        wait_for(lambda: all(e in events for e in wanted), 3)
        check(all(e in events for e in wanted), "missing events %s" %
              [e for e in wanted if e not in events])
        # What a screen reader speaks without a change of focus: the last move and its result.
        check(find(app, "notification", "X on Bottom left. Game over - you win!") is not None,
              "no notification of the win")
        print_tree(app, "after a won game")
    finally:
        game.terminate()
        game.wait(10)
        shutil.rmtree(folder, ignore_errors=True)


def in_desktop_session():
    """Runs this script again in a session bus of its own, unless it runs in one, then starts
    the accessibility bus and an X display; returns the display's server."""
    if os.environ.get("QRV_ACCESSIBILITY_SESSION") != "1":
        # A runtime folder of its own: the accessibility bus's socket lies there, and a second
        # session at the same time would otherwise take over the first one's.
        # Settings of its own too, which the program writes and the next run must not find.
        runtime = tempfile.mkdtemp()
        env = dict(os.environ, QRV_ACCESSIBILITY_SESSION="1", XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(runtime, "config"))
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME"):
            env.pop(name, None)
        # In a process group of its own, so that nothing it started outlives it, even when it
        # is aborted.
        session = subprocess.Popen(["dbus-run-session", "--", "/usr/bin/python3"] + sys.argv,
                                   env=env, start_new_session=True)
        status = session.wait()
        try:
            os.killpg(session.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        shutil.rmtree(runtime, ignore_errors=True)
        sys.exit(status)
    start_accessibility_bus()
    return start_display()


def finish():
    print("%d failed" % len(failures) if failures else "passed", flush=True)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    server = in_desktop_session()
    try:
        if sys.argv[1] == "--orca":
            play_with_orca(sys.argv[2])
        else:
            play(sys.argv[1], sys.argv[2])
    finally:
        server.terminate()
        server.wait(10)
    finish()
