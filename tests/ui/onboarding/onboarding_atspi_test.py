#!/usr/bin/env python3
"""The onboarding as a screen reader meets it: on every page each button and switch has a name a
listener understands, the page indicator says where the user is, and the pages can be walked to
the end through the accessibility interface alone, which stores that the onboarding is done.

Usage: onboarding_atspi_test.py UI_HOST (orvalin_ui_host, which shows the onboarding on fake platform objects)"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

# Each page's controls, its main button first.
PAGES = (["Commencer"], ["Continuer"], ["Commencer à utiliser Orvalin", "Lancer Orvalin à l'ouverture de session"])
CONTROL_ROLES = {"push button", "check box", "toggle button", "radio button", "combo box", "text"}

check, read = at.check, at.read


def check_page_and_press(app, number, expected, before=None):
    """Once page `number` has slid in whole and the page with the main button `before` is gone,
    checks its names, then presses its button `expected[0]`; whether it could."""
    step = "Étape %d sur 3" % number
    everything, problem = at.wait_until_still(app, shows=[("push button", expected[0]), (None, step)],
                                              gone=[("push button", before)] if before else [])
    if not check(problem is None, "page %d did not come in: %s" % (number, problem)):
        return False
    controls = [(role, name) for role, name in everything if role in CONTROL_ROLES]
    for role, name in controls:
        check(name.strip() != "", "page %d: a %s has no name" % (number, role))
    for name in expected[1:]:
        check(any(n == name for _, n in controls), "page %d: no control \"%s\" among %s" % (number, name, controls))
    button = at.find(app, role="push button", name=expected[0], showing=True)
    if not check(button is not None, "no button \"%s\"; the tree:\n%s" % (expected[0], at.outline(app))):
        return False
    at.press(button)
    return True


def walk_to_the_end(pyatspi, processes):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", **at.FRENCH)
    program = subprocess.Popen([sys.argv[1], "--onboarding", "trusted"], env=env, stdout=subprocess.PIPE, text=True)
    processes.append(program)
    if not check(program.stdout.readline().strip() == "ready", "the host did not start"):
        return
    app = at.application_of(pyatspi, program.pid)
    if not check(app is not None, "the host is not on the accessibility bus"):
        return
    before = None
    for number, expected in enumerate(PAGES, 1):
        if not check_page_and_press(app, number, expected, before):
            return
        before = expected[0]
    try:
        said, _ = program.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        said = ""
    check("completed true" in said, "finishing did not close the window with the flag stored: %r" % said)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    sys.exit(at.run(walk_to_the_end))
