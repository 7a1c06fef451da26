#!/usr/bin/python3
"""Reads the running editor through AT-SPI as a screen reader does, and drives it as a user does
(real pointer clicks and keys through the AT-SPI registry).

    window.py ORVANE    (inside session.sh)

It starts ORVANE with "Down Load" going to a pseudo-terminal, then checks the grid's table (size,
column headers, a cell's name and state before and after a click and after Set), the focus moving
with the arrow keys, the buttons' names, the speed's value and range, and the window's name during
a download. Every event a screen reader would speak is printed as it arrives ("heard: ...").
"""

import os
import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import GLib

heard = []  # (kind, name) in the order the events arrived
window_names = []  # the window's name at each of its name changes that arrived


def describe(event):
    try:
        name = event.source.name
        role = event.source.getRole()
    except Exception:  # the object went away
        return
    if event.type.startswith("focus"):
        kind = "focus"
    elif event.type.startswith("object:state-changed:checked"):
        kind = "checked" if event.detail1 else "unchecked"
    elif event.type.endswith("accessible-name"):
        # The event carries no name: a client reads the object's name when the event comes,
        # which may be a later one when names change quickly.
        kind = "name"
        if role == pyatspi.ROLE_FRAME:
            window_names.append(name)
    else:
        kind = "description"
        name = event.source.description
    heard.append((kind, name))
    print(f"heard: {kind}: {name}", flush=True)


def pump(seconds, until=lambda: False):
    """Dispatches AT-SPI events until `until()` holds or the time is up; returns whether it held."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        if until():
            return True
        time.sleep(0.02)
    return until()


def fail(message):
    raise SystemExit(f"FAILED: {message}")


def check(condition, message):
    if not condition:
        fail(message)


def find(root, role, name=None, skip_tables=True):
    """The first object below root with that role (and name), not looking into tables."""
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRole() == role and (name is None or child.name == name):
            return child
        if skip_tables and child.getRole() == pyatspi.ROLE_TABLE:
            continue
        found = find(child, role, name, skip_tables)
        if found is not None:
            return found
    return None


def all_of(root, role):
    found = []
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is None or child.getRole() == pyatspi.ROLE_TABLE:
            continue
        if child.getRole() == role:
            found.append(child)
        found.extend(all_of(child, role))
    return found


def click(accessible):
    x, y, w, h = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "b1c")


def press(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


def checked(accessible):
    return accessible.getState().contains(pyatspi.STATE_CHECKED)


def main():
    orvane = sys.argv[1]
    master, slave = os.openpty()
    received = bytearray()

    def read_line():
        while True:
            try:
                data = os.read(master, 1024)
            except OSError:
                return
            if not data:
                return
            received.extend(data)

    threading.Thread(target=read_line, daemon=True).start()
    pyatspi.Registry.registerEventListener(
        describe, "focus:", "object:state-changed:checked",
        "object:property-change:accessible-name",
        "object:property-change:accessible-description")
    editor = subprocess.Popen([orvane, "--device", os.ttyname(slave)])
    try:
        run(editor, received)
    finally:
        editor.kill()
        editor.wait()


def run(editor, received):
    desktop = pyatspi.Registry.getDesktop(0)
    app = None

    def started():
        nonlocal app
        app = next((a for a in desktop if a is not None and a.name == "Orvane"), None)
        return app is not None and app.childCount > 0

    check(pump(15, started), "the editor did not appear on the AT-SPI bus")
    frame = app.getChildAtIndex(0)
    check(frame.getRole() == pyatspi.ROLE_FRAME, f"the window is a {frame.getRoleName()}")
    check(frame.name.startswith("Orvane   Corvel Electronics co."), f"window: {frame.name!r}")

    # The table: 8 x 50 cells under the headers 1 .. 50.
    grid = find(frame, pyatspi.ROLE_TABLE)
    check(grid is not None and grid.name == "Picture", "no table named Picture")
    table = grid.queryTable()
    check((table.nRows, table.nColumns) == (8, 50), f"{table.nRows} x {table.nColumns} cells")
    headers = [table.getColumnDescription(c) for c in range(50)]
    check(headers == [str(c) for c in range(1, 51)], f"column headers {headers}")
    check(table.getColumnHeader(11).name == "12", "the header over column 12")
    check(grid.description == "0 of 400 dots lit", f"table description {grid.description!r}")
    check(grid.childCount == 400, f"{grid.childCount} cells")

    # A click flips the cell: its name and state follow, and the focus is on it.
    cell = table.getAccessibleAt(2, 11)
    check(cell.name == "Row 3, column 12, dark" and not checked(cell), f"before: {cell.name}")
    click(cell)
    check(pump(5, lambda: checked(cell)), "the click did not light the cell")
    check(cell.name == "Row 3, column 12, lit", f"after the click: {cell.name}")
    # The focus comes with the press and the flip with the release, so the focus event may
    # name the cell as it was.
    on_cell = lambda: any(h in heard for h in [("focus", "Row 3, column 12, lit"),
                                               ("focus", "Row 3, column 12, dark")])
    check(pump(2, on_cell), f"no focus on the clicked cell: {heard}")

    # The arrow keys move the focus from cell to cell.
    press(0xFF53)  # Right
    check(pump(5, lambda: ("focus", "Row 3, column 13, dark") in heard),
          "Right did not move the focus to column 13")
    press(0xFF54)  # Down
    check(pump(5, lambda: ("focus", "Row 4, column 13, dark") in heard),
          "Down did not move the focus to row 4")

    # The buttons by their captions; the speed with its value and range.
    buttons = {b.name: b for b in all_of(frame, pyatspi.ROLE_PUSH_BUTTON)}
    for caption in ("Set", "Clear", "Load", "Save", "Down Load", "Up", "Dn"):
        check(caption in buttons, f"no button {caption!r} among {sorted(buttons)}")
    speed = find(frame, pyatspi.ROLE_SCROLL_BAR, "Speed")
    check(speed is not None, "no scroll bar named Speed")
    value = speed.queryValue()
    check((value.currentValue, value.minimumValue, value.maximumValue) == (5, 1, 9),
          f"speed {value.currentValue} in {value.minimumValue}..{value.maximumValue}")
    check(find(frame, pyatspi.ROLE_LABEL, "Port 1") is not None, "no label Port 1")

    # Set lights every dot: told once, for the table.
    heard.clear()
    click(buttons["Set"])
    check(pump(5, lambda: grid.description == "400 of 400 dots lit"),
          f"after Set the table says {grid.description!r}")
    corner = table.getAccessibleAt(0, 0)
    check(corner.name == "Row 1, column 1, lit" and checked(corner), f"after Set: {corner.name}")
    check(len([h for h in heard if h[0] == "checked"]) <= 8, f"Set told cell by cell: {heard}")

    # A download: the window's name changes 52 times ("Download Start ......", "0" .. "49",
    # "Data Out Complete !"); on a pseudo-terminal they come faster than a client reads them.
    window_names.clear()
    click(buttons["Down Load"])
    check(pump(30, lambda: len(window_names) >= 52 and frame.name == "Data Out Complete !"),
          f"the download was told {len(window_names)} times, the window says {frame.name!r}")
    check(len(window_names) == 52, f"{len(window_names)} changes of the window's name")
    pump(1, lambda: len(received) >= 102)
    check(bytes(received) == b"S" + b"FF" * 50 + b"5", f"the line got {bytes(received)!r}")
    check(editor.poll() is None, "the editor ended")
    print("ok: table, cells, focus, buttons, speed and a download read through AT-SPI")


if __name__ == "__main__":
    main()
