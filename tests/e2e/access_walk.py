#!/usr/bin/python3
# What a screen reader reads of the program's lists over AT-SPI: the rows as a
# sighted user reads them, the focus following the keys, a tick reported, no
# deleted or moved task read where it no longer stands; then the categories.
# Usage: access_walk.py PID SHOT_PREFIX  (prints ok:/FAIL: lines)
import datetime
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PID, SHOTS = int(sys.argv[1]), sys.argv[2]
events, failures = [], []  # events: (type, index of the source in its table, detail1)


def record(event):
    try:
        events.append((event.type, event.source.getIndexInParent(), event.detail1))
    except Exception:  # the source is gone already
        pass


# Listening to names as a screen reader does makes libatspi keep them: a name
# read once stays until the program says it changed.
for kind in ("focused", "checked"):
    pyatspi.Registry.registerEventListener(record, "object:state-changed:" + kind)
pyatspi.Registry.registerEventListener(record, "object:property-change:accessible-name")


def shot(name):
    subprocess.run(["import", "-window", "root", f"{SHOTS}-{name}.png"], check=False)


def run(steps):  # in the reader's main loop, where libatspi caches
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


def find(role, name=None):
    app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == PID)
    return pyatspi.findDescendant(app, lambda a: a.getRole() == role and a.name == name
                                  or name is None and a.getRole() == role)


def walk():
    t = {}
    has = lambda r, c, state: t["t"].getAccessibleAt(r, c).getState().contains(state)
    rows = lambda c: [t["t"].getAccessibleAt(r, c).name for r in range(t["t"].nRows)]
    checked = lambda r: has(r, 0, pyatspi.STATE_CHECKED)
    # Focused, and the reader was told so.
    focused = lambda r: has(r, 0, pyatspi.STATE_FOCUSED) and \
        ("object:state-changed:focused", r * t["t"].nColumns, 1) in events
    yield "the task list is a table", lambda: t.update(t=find(pyatspi.ROLE_TABLE, "Tasks").queryTable()) or 1
    heads = [t["t"].getColumnDescription(c) for c in range(t["t"].nColumns)]
    title, due = heads.index("Task"), heads.index("Due date")
    day = lambda n: (datetime.date.today() + datetime.timedelta(n)).strftime("%-d %b %Y")
    yield "the rows read as shown", lambda: rows(title) == [
        "Buy milk", "Write report", "Call mom", "Old thing"] and rows(due) == [day(1), day(2), day(4), day(9)]
    yield "only the done task reads checked", lambda: [checked(r) for r in range(4)] == [0, 0, 0, 1]
    yield "the first row has the focus", lambda: has(0, 0, pyatspi.STATE_FOCUSED)
    key("Down")
    yield "Down moves the focus to the next row", lambda: focused(1)
    shot("second-row")
    key("End", "space")
    yield "Space unticks the done task, and the reader is told", lambda: not checked(3) and (
        "object:state-changed:checked", 3 * t["t"].nColumns, 0) in events
    key("space")
    yield "Space ticks it again", lambda: checked(3)
    key("Home", "space")  # done tasks go to the bottom: the list is re-sorted
    yield "after a re-sort the rows read the new order", lambda: rows(title) == [
        "Write report", "Call mom", "Buy milk", "Old thing"] and checked(2) and focused(0)
    key("Delete")
    yield "the question opens", lambda: find(pyatspi.ROLE_ALERT) is not None
    key("y")
    yield "after a delete the deleted task is read nowhere", lambda: rows(title) == [
        "Call mom", "Buy milk", "Old thing"]
    shot("deleted")
    key("Tab", "End")  # the category drop-down's last item opens the categories window
    yield "the categories list is a table", lambda: t.update(
        t=find(pyatspi.ROLE_TABLE, "Categories").queryTable()) or 1
    yield "the categories read as shown", lambda: rows(0) == ["Personal", "Business", "Other"] and \
        rows(1) == ["Mark 1", "Mark 2", "Mark 3"] and has(0, 0, pyatspi.STATE_FOCUSED)
    key("Down")
    yield "Down moves the focus to the next category", lambda: focused(1)
    shot("categories")
    key("Escape")


run(walk())
sys.exit(1 if failures else 0)
