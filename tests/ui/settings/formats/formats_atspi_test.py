#!/usr/bin/env python3
"""The Formats tab as a screen reader and a keyboard user meet it, through the accessibility bus
(AT-SPI, what Orca uses) and real key presses: every control of a card says what it is and which
format it belongs to, Tab walks each card's controls in order, and what is typed is stored.

Usage: formats_atspi_test.py SETTINGS_ATSPI_HOST"""

import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
import atspi_support as at  # noqa: E402

# A card's controls in keyboard order (the clear button only shows while a combination is set).
CARD_CONTROLS = ("Nom du format %s", "Supprimer le format %s", "Format de date de %s",
                 "Formats prédéfinis pour %s", "Référence des codes de format pour %s",
                 "Déclencheur de %s", "Raccourci clavier de %s")
FORMATS = ("Court", "Long", "ISO")  # the built-in list of a first start

check, read = at.check, at.read


def stored_formats(path):
    try:
        return json.loads(json.loads(read(path)).get("Orvalin.shortcuts.v2", "[]"))
    except ValueError:
        return []


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "30"] + list(names), check=False)


def showing(pyatspi, node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focused_name(pyatspi, window):
    node = at.find(window, state=pyatspi.STATE_FOCUSED)
    return node.name if node is not None else None


def check_names(pyatspi, page):
    for label in FORMATS:
        for pattern in CARD_CONTROLS + ("Aperçu du format %s",):
            node = at.find(page, name=pattern % label)
            if check(node is not None, "no control named '%s'" % (pattern % label)):
                check(showing(pyatspi, node), "'%s' is not showing" % node.name)
        check(at.find(page, name="Supprimer le raccourci de %s" % label, showing=True) is None,
              "a clear button shows for %s, which has no combination" % label)
    for node in at.descendants(page):
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
            check(bool(node.name.strip()), "an unnamed focusable %s" % node.getRoleName())


def check_tab_order(pyatspi, window, page):
    """From the first card's name field, Tab visits every control of every card in order."""
    first = at.find(page, name=CARD_CONTROLS[0] % FORMATS[0])
    if not check(first is not None and first.queryComponent().grabFocus(), "cannot focus the first name"):
        return
    at.wait_for(lambda: focused_name(pyatspi, window) == first.name, 5)
    expected = [pattern % label for label in FORMATS for pattern in CARD_CONTROLS] + ["Ajouter un format"]
    seen = [focused_name(pyatspi, window)]
    for wanted in expected[1:]:
        keys("Tab")
        seen.append(at.wait_for(lambda: (lambda n: n if n == wanted else None)(focused_name(pyatspi, window)),
                                3) or focused_name(pyatspi, window))
    check(seen == expected, "Tab order:\n  %s\nexpected:\n  %s" % (seen, expected))


def type_into(pyatspi, window, page, name, *key_names):
    field = at.find(page, name=name)
    if not check(field is not None, "no field '%s'" % name):
        return
    field.queryComponent().grabFocus()
    at.wait_for(lambda: focused_name(pyatspi, window) == name, 5)
    keys(*key_names)


def check_typing_is_stored(pyatspi, window, page, prefs):
    type_into(pyatspi, window, page, "Déclencheur de Long", "ctrl+a", "d", "t", "x", "space")
    check(at.wait_for(lambda: [f.get("trigger") for f in stored_formats(prefs)][1:2] == ["dtx "], 10),
          "the typed trigger is not stored: %s" % stored_formats(prefs))


def use_the_tab(pyatspi, processes):
    window, prefs, _ = at.settings_window(pyatspi, processes, sys.argv[1])
    if window is None:
        return
    # The keyboard goes to the window, as a click on it would do.
    subprocess.run(["xdotool", "search", "--name", "^Préférences Orvalin$", "windowfocus", "--sync"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
    tab = at.find(window, role="page tab", name="Formats")
    if not check(tab is not None, "no tab 'Formats'"):
        return
    at.press(tab)
    if not check(at.wait_for(lambda: at.find(window, name="Nom du format Court", showing=True), 10),
                 "the Formats tab did not open"):
        return
    check_names(pyatspi, window)
    check_tab_order(pyatspi, window, window)
    check_typing_is_stored(pyatspi, window, window, prefs)
    if at.failures:
        print(at.outline(window, 400), file=sys.stderr)


if __name__ == "__main__":
    if shutil.which("xdotool") is None:
        at.skip("xdotool is missing (package xdotool)")
    sys.exit(at.run(use_the_tab))
