#!/usr/bin/python3
"""Plays the Linux program through the accessibility bus, as a screen reader user would.

    accessibility_test.py PROGRAM FAKE_LIBRARY_DIR

Starts its own X display and session bus, launches the accessibility bus on it, starts a copy of
PROGRAM beside the fake network library of FAKE_LIBRARY_DIR, reads the accessible tree, and
plays a won game through the squares' and buttons' actions, checking the squares' names and
the status line after every move. Prints the tree at the start and after the won game.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

POSITIONS = ["Top left", "Top centre", "Top right", "Middle left", "Centre", "Middle right",
             "Bottom left", "Bottom centre", "Bottom right"]
OPENING = "Your move. Click on a square, then 'Play O'..."
BLOCKED = "Blocked you there!"
YOU_WIN = "Game over - you win!"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, flush=True)


def start_display():
    """A virtual X display of its own: the server picks a display number that no other server
    uses, sockets included, and says which."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as number:
        os.environ["DISPLAY"] = ":" + number.readline().strip()
    return server


def start_accessibility_bus():
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    ask = ["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path", "/org/a11y/bus"]
    for _ in range(100):
        if subprocess.run(ask + ["--method", "org.a11y.Bus.GetAddress"],
                          capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    # What a desktop with a screen reader does: programs then expose their trees.
    subprocess.run(ask + ["--method", "org.freedesktop.DBus.Properties.Set", "org.a11y.Status",
                          "IsEnabled", "<true>"], check=True, stdout=subprocess.DEVNULL)


# What the program announced: (event type, source role, source name) in order.
events = []


def on_event(event):
    try:
        events.append((event.type, event.source.getRoleName(), event.source.name))
    except Exception:  # the source may be gone already
        pass


def pump_events():
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(condition, seconds=10):
    deadline = time.time() + seconds
    while True:
        pump_events()
        value = condition()
        if value or time.time() > deadline:
            return value
        time.sleep(0.05)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def describe(node):
    line = node.getRoleName()
    if node.name:
        line += ' "%s"' % node.name
    try:
        line += ' text="%s"' % node.queryText().getText(0, -1)
    except NotImplementedError:
        pass
    return line


def print_tree(node, heading, depth=0):
    if depth == 0:
        print("--- accessible tree " + heading, flush=True)
    print("  " * depth + describe(node), flush=True)
    for child in node:
        if child is not None:
            print_tree(child, heading, depth + 1)


def find(app, role, name=None):
    for node in descendants(app):
        if node.getRoleName() == role and (name is None or node.name == name):
            return node
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, '"%s" offers no Press action (%s)' % (node.name, names))
    action.doAction(names.index("Press") if "Press" in names else 0)


def expect(app, board, highlighted, status, what):
    """Waits until the squares' names tell `board` ('X', 'x' pending, 'O' or ' ' each) with the
    squares of `highlighted` in the completed line, and the status line shows `status`."""
    wanted = []
    for square, mark in enumerate(board):
        name = POSITIONS[square] + (": empty" if mark == " " else ": " + mark.upper())
        if str(square) in highlighted:
            name += ", in the winning line" if mark == "X" else ", in the losing line"
        elif mark == "x":
            name += ", not played yet"
        wanted.append(name)

    def shown():
        board_node = find(app, "panel", "Board")
        squares = [(n.getRoleName(), n.name) for n in board_node] if board_node else []
        field = find(app, "text", "Status")
        text = field.queryText().getText(0, -1) if field else None
        return squares, text

    expected = ([("push button", name) for name in wanted], status)
    seen = wait_for(lambda: shown() == expected and expected) or shown()
    check(seen == expected, "%s: expected %s, the tree shows %s" % (what, expected, seen))


def main():
    if os.environ.get("QRV_ACCESSIBILITY_SESSION") != "1":
        # A session bus of its own, whoever runs the test.
        env = dict(os.environ, QRV_ACCESSIBILITY_SESSION="1")
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME"):
            env.pop(name, None)
        sys.exit(subprocess.call(["dbus-run-session", "--", "/usr/bin/python3"] + sys.argv,
                                 env=env))
    program, fake = sys.argv[1], sys.argv[2]
    start_accessibility_bus()
    server = start_display()
    import pyatspi

    folder = tempfile.mkdtemp()
    game = None
    try:
        shutil.copy(program, os.path.join(folder, "quorvane"))
        shutil.copy(os.path.join(fake, "libSynaptra.so"), folder)
        game = subprocess.Popen([os.path.join(folder, "quorvane")])
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "quorvane"
                                     and find(a, "text", "Status") is not None), None), 30)
        if app is None:
            check(False, "the program's accessible tree never appeared (applications: %s, "
                  "program %s, X server on %s %s)" % ([a.name for a in desktop if a is not None],
                  game.poll(), os.environ["DISPLAY"], server.poll()))
            return
        print_tree(app, "at the start")
        pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name",
                                               "object:text-changed")
        frames = [n for n in descendants(app) if n.getRoleName() == "frame"]
        check([n.name for n in frames] == ["Play Xs & Os with Neural Network..."],
              "frames other than the window: %s" % [n.name for n in frames])
        for name in ("Play O", "Reset", "Exit"):
            check(find(app, "push button", name) is not None, 'no button "%s"' % name)
        expect(app, "         ", "", OPENING, "the opening")

        # A square's action places the X; "Play O" brings the answer.
        play = find(app, "push button", "Play O")
        for square, board, status in ((0, "x        ", OPENING),
                                      (None, "XO       ", OPENING),
                                      (4, "XO  x    ", OPENING),
                                      (None, "XO  X   O", BLOCKED),
                                      (3, "XO xX   O", BLOCKED),
                                      (None, "XO XXO  O", BLOCKED)):
            target = play if square is None else find(app, "push button",
                                                      POSITIONS[square] + ": empty")
            press(target)
            expect(app, board, "", status,
                   "after " + ("Play O" if square is None else POSITIONS[square]))
        press(find(app, "push button", POSITIONS[6] + ": empty"))
        expect(app, "XO XXOX O", "036", YOU_WIN, "the winning X")
        # A screen reader learns of the changes from events, not by reading the tree again.
        wanted = [("object:property-change:accessible-name", "push button",
                   POSITIONS[square] + ": X, in the winning line") for square in (0, 3, 6)]
        wanted += [("object:text-changed:insert", "text", "Status")]
        wait_for(lambda: all(event in events for event in wanted), 3)
        check(all(event in events for event in wanted),
              "missing events: %s" % [event for event in wanted if event not in events])
        print_tree(app, "after a won game")
    finally:
        if game is not None:
            game.terminate()
            game.wait(10)
        shutil.rmtree(folder, ignore_errors=True)
        server.terminate()
        server.wait(10)


if __name__ == "__main__":
    main()
    print("%d failed" % len(failures) if failures else "passed", flush=True)
    sys.exit(1 if failures else 0)
