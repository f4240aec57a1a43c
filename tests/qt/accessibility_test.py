#!/usr/bin/python3
"""Plays the Linux program through the accessibility bus, as a screen reader user would.

    accessibility_test.py PROGRAM FAKE_LIBRARY_DIR

In a session bus and an X display of its own, with the accessibility bus enabled, starts a copy
of PROGRAM beside the fake network library of FAKE_LIBRARY_DIR and plays a won game through the
squares' and buttons' actions, checking the tree's names, roles and status text after every
move and the events that announce the changes. Prints the tree at the start and at the end.
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
        print_tree(app, "after a won game")
    finally:
        game.terminate()
        game.wait(10)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if os.environ.get("QRV_ACCESSIBILITY_SESSION") != "1":
        env = dict(os.environ, QRV_ACCESSIBILITY_SESSION="1")
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME"):
            env.pop(name, None)
        sys.exit(subprocess.call(["dbus-run-session", "--", "/usr/bin/python3"] + sys.argv,
                                 env=env))
    start_accessibility_bus()
    server = start_display()
    try:
        play(sys.argv[1], sys.argv[2])
    finally:
        server.terminate()
        server.wait(10)
    print("%d failed" % len(failures) if failures else "passed", flush=True)
    sys.exit(1 if failures else 0)
