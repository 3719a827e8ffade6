#!/usr/bin/env python3
"""The settings window as a screen reader meets it: every control reachable from the keyboard has
a name a listener understands, and launch at login, the appearance and a link can be used through
the accessibility bus (AT-SPI, what Orca uses).

Usage: settings_atspi_test.py SETTINGS_ATSPI_HOST"""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

check, read = at.check, at.read


def stored(path):
    try:
        return json.loads(read(path))
    except ValueError:
        return {}


def act(node):
    """Runs the first action of a control (Toggle for boxes and radio buttons, Press for buttons)."""
    action = node.queryAction()
    if not check(action.nActions > 0, "%s '%s' has no action" % (node.getRoleName(), node.name)):
        return
    action.doAction(0)


def check_general_tab(pyatspi, window):
    tabs = [n for n in at.descendants(window) if n.getRoleName() == "page tab"]
    check([t.name for t in tabs] == ["Général", "Formats", "À propos"], "tabs: %s" % [t.name for t in tabs])
    check(at.find(window, role="check box", name="Lancer au démarrage") is not None,
          "no check box 'Lancer au démarrage'")
    for name in ("Système", "Clair", "Sombre"):
        check(at.find(window, role="radio button", name=name) is not None, "no radio button '%s'" % name)
    check(at.find(window, role="push button", name="Afficher l'aide…") is not None,
          "no button 'Afficher l'aide…'")
    for text in ("Comment ça marche", "Déclencheur texte", "Raccourci clavier", "Calendrier"):
        check(at.find(window, name=text) is not None, "no text '%s' on the General tab" % text)
    # Nothing the keyboard reaches is left unnamed.
    for node in at.descendants(window):
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
            check(bool(node.name.strip()), "an unnamed focusable %s" % node.getRoleName())
    return tabs


def use_the_window(pyatspi, processes):
    window, prefs, out = at.settings_window(pyatspi, processes, sys.argv[1])
    if window is None:
        return
    tabs = check_general_tab(pyatspi, window)

    # Launch at login switched on through the bus reaches the login item.
    toggle = at.find(window, role="check box", name="Lancer au démarrage")
    if toggle is not None:
        act(toggle)
        check(at.wait_for(lambda: "launchAtStartup 1" in read(out), 10),
              "'Lancer au démarrage' did not reach the login item: " + read(out))

    # "Sombre" chosen through the bus is stored.
    dark = at.find(window, role="radio button", name="Sombre")
    if dark is not None:
        act(dark)
        check(at.wait_for(lambda: stored(prefs).get("Orvalin.appearance") == "dark", 10),
              "'Sombre' did not store the dark appearance: %s" % stored(prefs))

    # The About tab: its links say where they lead and open their address.
    about = next((t for t in tabs if t.name == "À propos"), None)
    if about is not None:
        at.press(about)
        support = at.wait_for(lambda: at.find(window, role="push button", name="Support", showing=True), 10)
        check(at.find(window, role="push button", name="Site web") is not None, "no link 'Site web'")
        check(at.find(window, role="push button", name="Politique de confidentialité") is not None,
              "no link 'Politique de confidentialité'")
        if check(support is not None, "no link 'Support' on the About tab"):
            check(support.description == "Signaler un problème", "Support says '%s'" % support.description)
            at.press(support)
            check(at.wait_for(lambda: "/support" in read(out), 10), "the Support link opened nothing")
    if at.failures:
        print(at.outline(window), file=sys.stderr)


if __name__ == "__main__":
    sys.exit(at.run(use_the_window))
