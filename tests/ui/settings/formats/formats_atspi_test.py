#!/usr/bin/env python3
"""The Formats tab as a screen reader and a keyboard user meet it, through the accessibility bus
(AT-SPI, what Orca uses) and real key presses: every control of a card says what it is and which
format it belongs to, Tab walks each card's controls in order, conflict warnings and delete buttons
come and go with the edits, and what is typed is stored.

Usage: formats_atspi_test.py SETTINGS_ATSPI_HOST"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "support"))
import atspi_support as at  # noqa: E402

failures = []

# A card's controls in keyboard order (the clear button only shows while a combination is set).
CARD_CONTROLS = ("Nom du format %s", "Supprimer le format %s", "Format de date de %s",
                 "Formats prédéfinis pour %s", "Référence des codes de format pour %s",
                 "Déclencheur de %s", "Raccourci clavier de %s")
FORMATS = ("Court", "Long", "ISO")  # the built-in list of a first start


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message, file=sys.stderr)
    return condition


def stored_formats(path):
    try:
        with open(path, encoding="utf-8") as text:
            return json.loads(json.load(text).get("Orvalin.shortcuts.v2", "[]"))
    except (OSError, ValueError):
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


def warnings_shown(pyatspi, page):
    return [n for n in at.descendants(page) if n.name == "Déjà utilisé" and showing(pyatspi, n)]


def check_conflicts(pyatspi, window, page, prefs):
    """A trigger typed the same as another's flags both cards; one more key clears both."""
    type_into(pyatspi, window, page, "Déclencheur de Long", "ctrl+a", "d", "t", "c", "space")
    check(at.wait_for(lambda: len(warnings_shown(pyatspi, page)) == 2, 5),
          "a shared trigger shows %d warnings, not 2" % len(warnings_shown(pyatspi, page)))
    trigger = at.find(page, name="Déclencheur de Long")
    check(trigger is not None and "déjà utilisé" in trigger.description,
          "the trigger field does not say it is taken: '%s'" % (trigger.description if trigger else ""))
    keys("BackSpace", "x")
    check(at.wait_for(lambda: not warnings_shown(pyatspi, page), 5), "the warnings stay once the triggers differ")
    check(at.wait_for(lambda: [f.get("trigger") for f in stored_formats(prefs)][1:2] == ["dtcx"], 10),
          "the typed trigger is not stored: %s" % stored_formats(prefs))


def delete_buttons(page):
    return [n for n in at.descendants(page) if n.name.startswith("Supprimer le format ")]


def check_add_and_delete(pyatspi, page):
    """Delete buttons show while more than one format is left, and come back with a second one."""
    add = at.find(page, name="Ajouter un format")
    if not check(add is not None, "no button 'Ajouter un format'"):
        return
    at.press(add)
    check(at.wait_for(lambda: at.find(page, name="Supprimer le format Nouveau", showing=True), 5),
          "the added format has no delete button")
    for label in ("Nouveau", "Court", "Long"):
        button = at.find(page, name="Supprimer le format %s" % label, showing=True)
        if check(button is not None, "no delete button for %s" % label):
            at.press(button)
            at.wait_for(lambda: at.find(page, name="Nom du format %s" % label) is None, 5)
    left = [n for n in delete_buttons(page) if showing(pyatspi, n)]
    check(not left, "the last format can be deleted: %s" % [n.name for n in left])
    at.press(add)
    check(at.wait_for(lambda: at.find(page, name="Supprimer le format ISO", showing=True), 5),
          "the delete button does not come back with a second format")


def main():
    host = sys.argv[1]
    if shutil.which("xdotool") is None:
        at.skip("xdotool is missing (package xdotool)")
    at.enter_private_session()
    pyatspi = at.import_pyatspi()
    xvfb = at.Xvfb()
    bus = at.start_accessibility_bus()
    work = tempfile.mkdtemp(prefix="orvalin-formats-atspi-")
    prefs = os.path.join(work, "preferences.json")
    out = os.path.join(work, "host.out")
    program = None
    try:
        with open(out, "w") as output:
            program = subprocess.Popen([host, prefs], stdout=output,
                                       env=dict(os.environ, QT_QPA_PLATFORM="xcb",
                                                QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        if not check(at.wait_for(lambda: "ready" in open(out).read(), 30), "the host did not start"):
            return 1
        app = at.application_of(pyatspi, program.pid)
        if not check(app is not None, "the host is not on the accessibility bus"):
            return 1
        window = at.wait_for(lambda: at.find(app, name="Préférences Orvalin"), 10)
        if not check(window is not None, "no settings window; the tree:\n" + at.outline(app)):
            return 1
        # The keyboard goes to the window, as a click on it would do.
        subprocess.run(["xdotool", "search", "--name", "^Préférences Orvalin$", "windowfocus", "--sync"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        tab = at.find(window, role="page tab", name="Formats")
        if not check(tab is not None, "no tab 'Formats'"):
            return 1
        at.press(tab)
        page = at.wait_for(lambda: at.find(window, name="Nom du format Court", showing=True), 10)
        if not check(page is not None, "the Formats tab did not open"):
            return 1
        check_names(pyatspi, window)
        check_tab_order(pyatspi, window, window)
        check_conflicts(pyatspi, window, window, prefs)
        check_add_and_delete(pyatspi, window)
        if failures:
            print(at.outline(window, 400), file=sys.stderr)
    finally:
        if program is not None:
            at.stop_process(program)
        at.stop_process(bus)
        xvfb.stop()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
