#!/usr/bin/env python3
"""The settings window through the accessibility bus: every control a screen reader reaches has a
name a listener understands, and the appearance and a link can be used through it.

Usage (under dbus-run-session): settings_atspi_test.py SETTINGS_ATSPI_HOST
"""
import json
import os
import sys

from support import atspi_support as at

FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL:", message)


def stored(path):
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return {}


def main():
    at.require_tools()
    host = sys.argv[1]
    with at.Session() as session:
        prefs = os.path.join(session.tmp, "preferences.json")
        program = session.start([host, prefs], "host")
        if not at.wait_until(lambda: "ready" in session.output("host") or program.poll() is not None, 30):
            sys.exit("the host did not start: " + session.errors("host"))
        app = at.application("settings_atspi_host")
        if app is None:
            sys.exit("the host is not on the accessibility bus: " + session.errors("host"))
        # The window is named by its title (Qt gives a plain top-level widget no window role).
        window = at.wait_until(lambda: next((n for n in at.walk(app, max_depth=2)
                                             if n.name == "Préférences Orvalin"), None), 10)
        check(window is not None, "no window named 'Préférences Orvalin'")
        if window is None:
            sys.exit(1)

        # The three tabs, in order, named by their labels.
        tabs = [n for n in at.walk(window) if at.role(n) == "page tab"]
        check([t.name for t in tabs] == ["Général", "Formats", "À propos"], f"tabs: {[t.name for t in tabs]}")

        # The General tab's controls, each with the name a listener hears.
        toggle = at.find(window, "check box", "Lancer au démarrage")
        check(toggle is not None, "no check box 'Lancer au démarrage'")
        segments = {}
        for name in ("Système", "Clair", "Sombre"):
            node = at.find(window, "radio button", name)
            check(node is not None, f"no radio button '{name}'")
            segments[name] = node
        check(at.find(window, "push button", "Afficher l'aide…") is not None, "no button 'Afficher l'aide…'")
        for text in ("Général", "Comment ça marche", "Déclencheur texte", "Raccourci clavier", "Calendrier"):
            check(any(n.name == text and at.role(n) != "page tab" for n in at.walk(window)),
                  f"no text '{text}' on the General tab")

        # Nothing the keyboard reaches is left unnamed.
        for node in at.walk(window):
            if at.is_focusable(node) and at.is_showing(node) and at.role(node) not in ("page tab list",):
                check(bool(node.name.strip()), f"unnamed focusable {at.role(node)}")

        # Switching launch at login on through the bus reaches the manager.
        if toggle is not None:
            at.press(toggle)
            check(at.wait_until(lambda: "launchAtStartup 1" in session.output("host"), 10),
                  "'Lancer au démarrage' did not reach the login item: " + session.output("host"))

        # Choosing "Sombre" through the bus stores it.
        if segments.get("Sombre") is not None:
            at.press(segments["Sombre"])
            check(at.wait_until(lambda: stored(prefs).get("Orvalin.appearance") == "dark", 10),
                  f"'Sombre' did not store the dark appearance: {stored(prefs)}")

        # The About tab: its links are named and open their address.
        about = next((t for t in tabs if t.name == "À propos"), None)
        if about is not None:
            at.press(about)
            support = at.find(window, "push button", "Support", 10)
            check(support is not None, "no link 'Support' on the About tab")
            check(at.find(window, "push button", "Site web") is not None, "no link 'Site web'")
            check(at.find(window, "push button", "Politique de confidentialité") is not None,
                  "no link 'Politique de confidentialité'")
            if support is not None:
                check(support.description == "Signaler un problème", f"Support says '{support.description}'")
                at.press(support)
                check(at.wait_until(lambda: "/support" in session.output("host"), 10),
                      "the Support link opened nothing: " + session.output("host"))
    if FAILURES:
        sys.exit(f"{len(FAILURES)} failure(s)")
    print("ok")


if __name__ == "__main__":
    main()
