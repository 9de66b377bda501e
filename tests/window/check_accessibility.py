#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Reads the window as a screen reader does, through AT-SPI: names, roles and descriptions of the
# controls and cells, then a trial driven through the controls' own actions, and the verdict's
# announcement. Needs an X display and a session bus (see check_accessibility.sh).
# Usage: check_accessibility.py PROGRAM
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

SKIP = 77


def wait_for(what, find, seconds=15):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        found = find()
        if found:
            return found
        time.sleep(0.05)
    sys.exit(f"accessibility: {what} did not appear within {seconds} s")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Punktblick":
            return app
    return None


def main():
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # What a screen reader is told to speak without the focus: notifications that appear.
    names = []

    def shown(event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            names.append(event.source.name)
    pyatspi.Registry.registerEventListener(shown, "object:state-changed:showing")
    program = subprocess.Popen([sys.argv[1]], env=env)
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)

    try:
        app = application() or wait_for("the program on the accessibility bus", application)
        window = wait_for("the window", lambda: next(
            (w for w in app if w is not None and w.name == "Punktblick"), None))
        nodes = wait_for("the controls", lambda: [n for n in descendants(window)]
                         if sum(1 for _ in descendants(window)) > 100 else None)
        by = {}
        for node in nodes:
            by.setdefault((node.getRoleName(), node.name), []).append(node)

        for role, name in [("push button", "Start"), ("push button", "Stop"),
                           ("push button", "OK"), ("radio button", "1"),
                           ("radio button", "4"), ("text", "Antwort"),
                           ("notification", "Ergebnis"), ("notification", "Anzahl")]:
            expect((role, name) in by, f"no {role} named {name!r}")
        for node in nodes:
            focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
            expect(not (focusable and not node.name), f"a focusable {node.getRoleName()} "
                   "without a name")
        cells = [n for n in nodes if n.getRoleName() == "table cell"]
        expect([c.name for c in cells] == [f"Feld {i}" for i in range(1, 101)],
               "cells not named Feld 1 to Feld 100 in reading order")
        expect(cells and cells[56].description == "Zeile 6, Spalte 7",
               "cell 57 does not tell its row and column")

        # A trial through the controls' actions; an answer of 0 is always wrong.
        start = by[("push button", "Start")][0]
        start.queryAction().doAction(0)
        answer = by[("text", "Antwort")][0]
        answer.queryEditableText().setTextContents("0")
        wait_for("the answer", lambda: answer.queryText().getText(0, -1) == "0")
        ok = by[("push button", "OK")][0]
        wait_for("OK enabled", lambda: ok.getState().contains(pyatspi.STATE_ENABLED))
        before = [c.name for c in cells]
        ok.queryAction().doAction(0)
        wait_for("the verdict's announcement", lambda: "Ergebnis: Falsch !!!" in names)
        counts = [n for n in names if n.startswith("Anzahl: ")]
        expect(counts and 1 <= int(counts[-1].split(": ")[1]) <= 100,
               f"the count was not announced: {names}")
        expect([c.name for c in cells] == before, "a lit cell tells that it is lit")
        expect(not any(c.getState().contains(pyatspi.STATE_CHECKED) or
                       c.getState().contains(pyatspi.STATE_SELECTED) for c in cells),
               "a cell's state tells whether it is lit")
    finally:
        program.terminate()
        program.wait(10)
    for failure in failures:
        print("accessibility:", failure, file=sys.stderr)
    print(f"accessibility: {len(nodes)} objects read, announced: {names}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
