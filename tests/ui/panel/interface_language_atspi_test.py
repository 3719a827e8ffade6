#!/usr/bin/env python3
"""The real program speaks the language of the environment, as a screen reader hears it: its panel
and its settings window walked through AT-SPI on a private X server and session bus, once with
LANG=fr_FR.UTF-8 and once with LANG=en_US.UTF-8.

Usage: interface_language_atspi_test.py --orvalin BINARY --lang LANG"""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

TEXTS = {
    "fr": {"preferences": "Préférences…", "quit": "Quitter Orvalin", "today": "Aujourd'hui",
           "previous": "Mois précédent", "window": "Préférences Orvalin", "tabs": ["Général", "Formats", "À propos"],
           "launch": "Lancer au démarrage"},
    "en": {"preferences": "Preferences…", "quit": "Quit Orvalin", "today": "Today",
           "previous": "Previous month", "window": "Orvalin Preferences", "tabs": ["General", "Formats", "About"],
           "launch": "Launch at login"},
}

check = at.check


def check_panel(panel, texts):
    for name in (texts["preferences"], texts["quit"], texts["previous"]):
        check(at.find(panel, role="push button", name=name) is not None, "no button \"%s\"" % name)
    check(at.find(panel, role="heading", name=texts["today"]) is not None, "no heading \"%s\"" % texts["today"])


def check_settings(app, texts):
    window = at.wait_for(lambda: at.find(app, name=texts["window"], showing=True), 15)
    if not check(window is not None, "no window \"%s\"; the tree:\n%s" % (texts["window"], at.outline(app))):
        return
    tabs = [node.name for node in at.descendants(window) if node.getRoleName() == "page tab"]
    check(tabs == texts["tabs"], "tabs: %s" % tabs)
    check(at.find(window, role="check box", name=texts["launch"]) is not None, "no box \"%s\"" % texts["launch"])


def speak(pyatspi, processes):
    parser = argparse.ArgumentParser()
    parser.add_argument("--orvalin", required=True)
    parser.add_argument("--lang", required=True)
    args = parser.parse_args()
    texts = TEXTS[args.lang[:2]]
    at.fresh_home('{"Orvalin.onboardingCompleted": true}')
    env = dict(os.environ, LANG=args.lang, LANGUAGE="", LC_ALL="", LC_MESSAGES="", QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([args.orvalin], env=env)
    processes.append(program)
    app = at.application_of(pyatspi, program.pid, 30)
    if not check(app is not None, "orvalin is not on the accessibility bus"):
        return
    # Started again, the running program shows its panel.
    subprocess.run([args.orvalin], env=env, timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    panel = at.wait_for(lambda: at.find(app, role="frame", name="Orvalin", showing=True), 15)
    if not check(panel is not None, "no panel showing; the tree:\n" + at.outline(app)):
        return
    check_panel(panel, texts)
    preferences = at.find(panel, role="push button", name=texts["preferences"])
    if preferences is not None:
        at.press(preferences)
        check_settings(app, texts)
    if at.failures:
        print(at.outline(app), file=sys.stderr)


if __name__ == "__main__":
    sys.exit(at.run(speak))
