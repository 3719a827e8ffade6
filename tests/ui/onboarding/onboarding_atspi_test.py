#!/usr/bin/env python3
"""The onboarding as a screen reader meets it: on every page each button and switch has a name a
listener understands, the page indicator says where the user is, and the pages can be walked to
the end through the accessibility interface alone, which stores that the onboarding is done.

Usage: onboarding_atspi_test.py UI_HOST (orvalin_ui_host, which shows the onboarding on fake platform objects)"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

CONTROL_ROLES = {"push button", "check box", "toggle button", "radio button", "combo box", "text"}

check, read = at.check, at.read


def shown(pyatspi, app):
    """(role, name) of everything on screen, sorted; None while a page is being taken down (an
    object that slid out goes away while it is read)."""
    try:
        found = []
        for node in at.descendants(app):
            if node.getState().contains(pyatspi.STATE_SHOWING):
                found.append((node.getRoleName(), node.name))
        return sorted(found)
    except Exception:
        return None


def settled(pyatspi, app):
    """What is shown once two readings in a row agree: a page change is over."""
    previous = None
    for _ in range(60):
        now = shown(pyatspi, app)
        if now is not None and now == previous:
            return now
        previous = now
        time.sleep(0.2)
    return previous or []


def check_page_and_press(pyatspi, app, number, expected):
    """Checks the names on page `number`, then presses its button `expected[0]`."""
    at.wait_for(lambda: ("push button", expected[0]) in (shown(pyatspi, app) or []), 10)
    everything = settled(pyatspi, app)
    controls = [(role, name) for role, name in everything if role in CONTROL_ROLES]
    for role, name in controls:
        check(name.strip() != "", "page %d: a %s has no name" % (number, role))
    for name in expected:
        check(any(n == name for _, n in controls), "page %d: no control \"%s\" among %s" % (number, name, controls))
    step = "Étape %d sur 3" % number
    check(any(n == step for _, n in everything), "page %d: nothing says \"%s\"" % (number, step))
    button = at.find(app, role="push button", name=expected[0], showing=True)
    if check(button is not None, "no button \"%s\"; the tree:\n%s" % (expected[0], at.outline(app))):
        at.press(button)


def walk_to_the_end(pyatspi, processes):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", **at.FRENCH)
    program = subprocess.Popen([sys.argv[1], "--onboarding", "trusted"], env=env, stdout=subprocess.PIPE, text=True)
    processes.append(program)
    if not check(program.stdout.readline().strip() == "ready", "the host did not start"):
        return
    app = at.application_of(pyatspi, program.pid)
    if not check(app is not None, "the host is not on the accessibility bus"):
        return
    check_page_and_press(pyatspi, app, 1, ["Commencer"])
    check_page_and_press(pyatspi, app, 2, ["Continuer"])
    check_page_and_press(pyatspi, app, 3, ["Commencer à utiliser Orvalin", "Lancer Orvalin à l'ouverture de session"])
    try:
        said, _ = program.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        said = ""
    check("completed true" in said, "finishing did not close the window with the flag stored: %r" % said)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    sys.exit(at.run(walk_to_the_end))
