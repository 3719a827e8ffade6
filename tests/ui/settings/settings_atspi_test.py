#!/usr/bin/env python3
"""The settings window as a screen reader and a keyboard user meet it, through the accessibility
bus (AT-SPI, what Orca uses) and real key presses: every control reachable from the keyboard has a
name a listener understands; launch at login, the appearance and a link work through the bus;
every control of a format card says which format it belongs to, and Tab walks them in order; a
combination recorded from the keyboard reads the Linux way.

Usage: settings_atspi_test.py UI_HOST"""

import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

# A card's controls in keyboard order (the clear button only shows while a combination is set).
CARD_CONTROLS = ("Nom du format %s", "Supprimer le format %s", "Format de date de %s",
                 "Formats prédéfinis pour %s", "Référence des codes de format pour %s",
                 "Jour", "Langue", "Déclencheur de %s", "Raccourci clavier de %s")
FORMATS = ("Court", "Long", "ISO")  # the built-in list of a first start

check, read = at.check, at.read


def stored(path):
    try:
        return json.loads(read(path))
    except ValueError:
        return {}


def act(node):
    """Runs the first action of a control (Toggle for boxes and radio buttons, Press for buttons)."""
    action = node.queryAction()
    if check(action.nActions > 0, "%s '%s' has no action" % (node.getRoleName(), node.name)):
        action.doAction(0)


def check_named(window, role, *names):
    for name in names:
        check(at.find(window, role=role, name=name) is not None, "no %s '%s'" % (role or "text", name))


def check_focusables_named(pyatspi, window):
    """Nothing the keyboard reaches is left unnamed."""
    for node in at.descendants(window):
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
            check(bool(node.name.strip()), "an unnamed focusable %s" % node.getRoleName())


def use_the_general_tab(pyatspi, window, prefs, out):
    check_named(window, "check box", "Lancer au démarrage")
    check_named(window, "radio button", "Système", "Clair", "Sombre")
    check_named(window, "push button", "Afficher l'aide…")
    check_named(window, None, "Comment ça marche", "Déclencheur texte", "Raccourci clavier", "Calendrier")
    check_focusables_named(pyatspi, window)
    # Launch at login switched on through the bus reaches the login item; "Sombre" is stored.
    toggle = at.find(window, role="check box", name="Lancer au démarrage")
    if toggle is not None:
        act(toggle)
        check(at.wait_for(lambda: "launchAtStartup 1" in read(out), 10),
              "'Lancer au démarrage' did not reach the login item: " + read(out))
    dark = at.find(window, role="radio button", name="Sombre")
    if dark is not None:
        act(dark)
        check(at.wait_for(lambda: stored(prefs).get("Orvalin.appearance") == "dark", 10),
              "'Sombre' did not store the dark appearance: %s" % stored(prefs))


def focused_name(pyatspi, window):
    """What the focused control is: a pop-up's name is its current item, its label says what it is."""
    node = at.find(window, state=pyatspi.STATE_FOCUSED)
    if node is None:
        return None
    if node.getRoleName() == "combo box":
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
                return relation.getTarget(0).name
    return node.name


def focus(pyatspi, window, name):
    field = at.find(window, name=name)
    if check(field is not None and field.queryComponent().grabFocus(), "cannot focus '%s'" % name):
        at.wait_for(lambda: focused_name(pyatspi, window) == name, 10)


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "30"] + list(names), check=False)


def use_the_formats_tab(pyatspi, window):
    for label in FORMATS:
        check(at.find(window, name="Aperçu du format %s" % label, showing=True) is not None,
              "no preview named for %s" % label)
        check(at.find(window, name="Supprimer le raccourci de %s" % label, showing=True) is None,
              "a clear button shows for %s, which has no combination" % label)
    check_focusables_named(pyatspi, window)

    # From the first card's name field, Tab visits every control of every card in order, each
    # named with its format.
    expected = [pattern.replace("%s", label) for label in FORMATS for pattern in CARD_CONTROLS]
    expected.append("Ajouter un format")
    focus(pyatspi, window, expected[0])
    seen = [focused_name(pyatspi, window)]
    for wanted in expected[1:]:
        keys("Tab")
        # A slow machine gets its time while the walk is on course; once off it, it stays off.
        patience = 10 if seen == expected[:len(seen)] else 1
        seen.append(at.wait_for(lambda: focused_name(pyatspi, window) == wanted, patience) and wanted
                    or focused_name(pyatspi, window))
    check(seen == expected, "Tab order:\n  %s\nexpected:\n  %s" % (seen, expected))


def stored_combination(prefs):
    try:
        formats = json.loads(stored(prefs).get("Orvalin.shortcuts.v2", "[]"))
    except ValueError:
        return None
    return formats[0].get("globalShortcut") if formats else None


def record_a_combination(pyatspi, window, prefs):
    """Control+Alt+D pressed in the first card's field reads the Linux way there; the file keeps the
    combination in its stored form."""
    name = CARD_CONTROLS[-1] % FORMATS[0]
    focus(pyatspi, window, name)
    keys("space", "ctrl+alt+d")
    saved = at.wait_for(lambda: stored_combination(prefs), 10)
    check(saved == {"keyCode": 2, "modifiers": 0xC0000, "display": "⌃⌥D"}, "stored combination: %s" % saved)
    field = at.find(window, name=name)
    check(field is not None and at.wait_for(lambda: field.description == "Ctrl+Alt+D", 5),
          "the card shows \"%s\"" % (field.description if field is not None else None))


def use_the_about_tab(window, out):
    """Its links say where they lead and open their address."""
    check_named(window, "push button", "Site web", "Politique de confidentialité")
    support = at.find(window, role="push button", name="Support")
    if check(support is not None, "no link 'Support' on the About tab"):
        check(support.description == "Signaler un problème", "Support says '%s'" % support.description)
        at.press(support)
        check(at.wait_for(lambda: "/support" in read(out), 10), "the Support link opened nothing")


def open_tab(window, name, showing):
    tab = at.find(window, role="page tab", name=name)
    if check(tab is not None, "no tab '%s'" % name):
        at.press(tab)
        _, problem = at.wait_until_still(window, shows=[(None, showing)])
        return check(problem is None, "the tab '%s' did not open: %s" % (name, problem))
    return False


def use_the_window(pyatspi, processes):
    window, prefs, out = at.settings_window(pyatspi, processes, sys.argv[1])
    if window is None:
        return
    # The keyboard goes to the window, as a click on it would do.
    subprocess.run(["xdotool", "search", "--name", "^Préférences Orvalin$", "windowfocus", "--sync"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
    tabs = [n.name for n in at.descendants(window) if n.getRoleName() == "page tab"]
    check(tabs == ["Général", "Formats", "À propos"], "tabs: %s" % tabs)
    use_the_general_tab(pyatspi, window, prefs, out)
    if open_tab(window, "Formats", "Nom du format Court"):
        use_the_formats_tab(pyatspi, window)
        record_a_combination(pyatspi, window, prefs)
    if open_tab(window, "À propos", "Support"):
        use_the_about_tab(window, out)
    if at.failures:
        print(at.outline(window, 400), file=sys.stderr)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    if shutil.which("xdotool") is None:
        at.skip("xdotool is missing (package xdotool)")
    sys.exit(at.run(use_the_window))
