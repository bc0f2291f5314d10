#!/usr/bin/python3
# What a screen reader reads of the program's lists, over AT-SPI: the table's
# rows as a sighted user reads them, the focus following the keys, a tick
# reported, and no deleted or moved task read where it no longer stands.
# Usage: access_walk.py tasks|categories PID SHOT_PREFIX  (prints ok:/FAIL: lines)
import datetime
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

MODE, PID, SHOTS = sys.argv[1], int(sys.argv[2]), sys.argv[3]
events = []  # (event type, index of the source in its table, detail1)
failures = []


def record(event):
    try:
        events.append((event.type, event.source.getIndexInParent(), event.detail1))
    except Exception:  # the source is gone already
        pass


# A screen reader listens to names too, and libatspi then keeps them: a name
# read once stays until the program says it changed.
for kind in ("object:state-changed:focused", "object:state-changed:checked",
             "object:property-change:accessible-name"):
    pyatspi.Registry.registerEventListener(record, kind)


def shot(name):
    subprocess.run(["import", "-window", "root", f"{SHOTS}-{name}.png"], check=False)


def run(walk):
    """Runs the walk inside the screen reader's own main loop (libatspi keeps
    names and states only there): each condition it yields is re-evaluated,
    with the bus's events handled, until it holds or ten seconds pass."""
    steps = walk()
    step = {}

    def advance():
        try:
            step["what"], step["holds"] = next(steps)
            step["deadline"] = time.monotonic() + 10
        except StopIteration:
            pyatspi.Registry.stop()

    def poll():
        try:
            held = step["holds"]()
        except Exception:  # an object replaced mid-change: ask again
            held = False
        if held or time.monotonic() > step["deadline"]:
            print("ok:" if held else "FAIL:", step["what"], flush=True)
            if not held:
                failures.append(step["what"])
                shot("failure")
            advance()
        return True

    advance()
    GLib.timeout_add(50, poll)
    pyatspi.Registry.start()


def key(*keys):
    events.clear()
    subprocess.run(["xdotool", "key", *keys], check=True)


def app():
    return next(a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == PID)


def table(name):
    return pyatspi.findDescendant(
        app(), lambda a: a.getRole() == pyatspi.ROLE_TABLE and a.name == name).queryTable()


def has(cell, state):
    return cell.getState().contains(state)


def rows(t, col):
    """The column's texts, top to bottom, as the reader reads them now."""
    return [t.getAccessibleAt(r, col).name for r in range(t.nRows)]


def focused_on(t, row):
    """The row's first cell is focused, and the reader was told so."""
    index = row * t.nColumns
    return has(t.getAccessibleAt(row, 0), pyatspi.STATE_FOCUSED) and \
        ("object:state-changed:focused", index, 1) in events


def walk_tasks():
    found = {}
    yield ("the task list is a table", lambda: found.setdefault("t", table("Tasks")))
    t = found["t"]
    heads = [t.getColumnDescription(c) for c in range(t.nColumns)]
    title, due = heads.index("Task"), heads.index("Due date")
    day = lambda n: (datetime.date.today() + datetime.timedelta(n)).strftime("%-d %b %Y")
    checked = lambda r: has(t.getAccessibleAt(r, 0), pyatspi.STATE_CHECKED)
    yield ("the rows read as shown",
         lambda: rows(t, title) == ["Buy milk", "Write report", "Call mom", "Old thing"] and
         rows(t, due) == [day(1), day(2), day(4), day(9)])
    yield ("only the done task reads checked", lambda: [checked(r) for r in range(4)] == [0, 0, 0, 1])
    yield ("the first row has the focus", lambda: has(t.getAccessibleAt(0, 0), pyatspi.STATE_FOCUSED))
    key("Down")
    yield ("Down moves the focus to the next row", lambda: focused_on(t, 1))
    shot("second-row")
    key("End", "space")
    yield ("Space unticks the done task, and the reader is told",
         lambda: not checked(3) and ("object:state-changed:checked", 3 * t.nColumns, 0) in events)
    key("space")
    yield ("Space ticks it again", lambda: checked(3))
    key("Home", "space")  # done tasks go to the bottom: the list is re-sorted
    yield ("after a re-sort the rows read the new order",
         lambda: rows(t, title) == ["Write report", "Call mom", "Buy milk", "Old thing"] and
         checked(2) and focused_on(t, 0))
    key("Delete")
    yield ("the question opens", lambda: pyatspi.findDescendant(
        app(), lambda a: a.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)) is not None)
    key("y")
    yield ("after a delete the deleted task is read nowhere",
         lambda: t.nRows == 3 and rows(t, title) == ["Call mom", "Buy milk", "Old thing"])
    shot("deleted")


def walk_categories():
    found = {}
    yield ("the categories list is a table", lambda: found.setdefault("t", table("Categories")))
    t = found["t"]
    yield ("the categories read as shown",
         lambda: rows(t, 0) == ["Personal", "Business", "Other"] and
         rows(t, 1) == ["Mark 1", "Mark 2", "Mark 3"])
    yield ("the first category has the focus",
         lambda: has(t.getAccessibleAt(0, 0), pyatspi.STATE_FOCUSED))
    key("Down")
    yield ("Down moves the focus to the next category", lambda: focused_on(t, 1))
    shot("categories")


run({"tasks": walk_tasks, "categories": walk_categories}[MODE])
sys.exit(1 if failures else 0)
