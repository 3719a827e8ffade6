#!/usr/bin/env python3
"""The tray panel as a screen reader meets it: the real program on a private X server and session
bus, its panel walked through AT-SPI (what Orca uses), a format row pressed through its action,
and the date arriving in the window that had the keyboard.

Usage: panel_atspi_test.py --orvalin BINARY --target TEXT_TARGET_BINARY"""

import argparse
import datetime
import json
import os
import stat
import subprocess
import sys
import tempfile
import uuid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import atspi_support as at  # noqa: E402

WEEKDAYS = ["lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"]
MONTHS = ["janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre",
          "octobre", "novembre", "décembre"]

check, read = at.check, at.read

# The built-in formats, ISO with the combination Control+Alt+D as it is stored.
FORMATS = [("Court", "dd/MM/yyyy ", "dtc ", None), ("Long", "EEEE d MMMM yyyy ", "dtl ", None),
           ("ISO", "yyyy-MM-dd ", "dt ", {"keyCode": 2, "modifiers": 0xC0000, "display": "⌃⌥D"})]


def has_instance_socket():
    runtime = os.environ["XDG_RUNTIME_DIR"]
    for root, _, files in os.walk(runtime):
        for name in files:
            if stat.S_ISSOCK(os.lstat(os.path.join(root, name)).st_mode):
                return True
    return False


def start_target(binary, output):
    target = subprocess.Popen([binary, "--output", output], stdout=subprocess.PIPE, text=True,
                              env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
    line = target.stdout.readline()
    if not line.startswith("ready"):
        raise SystemExit("the target window did not start")
    return target


def spoken_date(day):
    return "%s %d %s %d" % (WEEKDAYS[day.weekday()], day.day, MONTHS[day.month - 1], day.year)


def check_panel(pyatspi, panel, today):
    """Rows say their name and date, a day cell its full date; the buttons, toggle and heading."""
    iso_row = at.find(panel, role="push button", name="ISO, " + today.isoformat())
    if check(iso_row is not None, "no row \"ISO, %s\"" % today.isoformat()):
        check(iso_row.description == "déclencheur dt, raccourci Ctrl+Alt+D",
              "row description \"%s\"" % iso_row.description)
    for name in ("Long, " + spoken_date(today), spoken_date(today), "Mois précédent", "Mois suivant",
                 "Préférences…", "Quitter Orvalin"):
        check(at.find(panel, role="push button", name=name) is not None, "no button \"%s\"" % name)
    toggle = at.find(panel, role="push button", name="Choisir une date")
    if check(toggle is not None, "no calendar toggle"):
        check(toggle.getState().contains(pyatspi.STATE_EXPANDED), "the toggle does not say it is expanded")
    check(at.find(panel, role="heading", name="Aujourd'hui") is not None, "no heading \"Aujourd'hui\"")
    # Opening puts the panel's focus on the first format, where Enter acts, for the reader to say.
    first = "Court, " + today.strftime("%d/%m/%Y")
    if not at.wait_for(lambda: at.find(panel, name=first, state=pyatspi.STATE_FOCUSED), 10):
        focused = at.find(panel, state=pyatspi.STATE_FOCUSED)
        check(False, "focused on opening: %s" % (focused.name if focused is not None else "nothing"))
    check(at.find(panel, name="Calendrier") is not None, "no calendar group")
    return iso_row


def use_the_panel(pyatspi, processes):
    parser = argparse.ArgumentParser()
    parser.add_argument("--orvalin", required=True)
    parser.add_argument("--target", required=True)
    args = parser.parse_args()
    formats = [{"id": str(uuid.uuid4()).upper(), "label": label, "dateFormat": pattern, "trigger": trigger,
                "globalShortcut": combination} for label, pattern, trigger, combination in FORMATS]
    at.fresh_home(json.dumps({"Orvalin.onboardingCompleted": True, "Orvalin.shortcuts.v2": json.dumps(formats)}))
    os.environ.update(QT_QPA_PLATFORM="xcb", **at.FRENCH)
    os.environ.pop("LC_TIME", None)
    output = os.path.join(tempfile.mkdtemp(prefix="orvalin-target-"), "target.txt")
    target = start_target(args.target, output)
    processes.append(target)
    program = subprocess.Popen([args.orvalin], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    processes.append(program)
    if not check(at.wait_for(has_instance_socket, 30), "orvalin did not start"):
        return
    app = at.application_of(pyatspi, program.pid)
    if not check(app is not None, "orvalin is not on the accessibility bus"):
        return

    # Started again, the running program shows its panel, its rows made anew, read once laid out.
    def open_panel():
        subprocess.run([args.orvalin], timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        panel = at.wait_for(lambda: at.find(app, role="frame", name="Orvalin", showing=True), 30)
        if not check(panel is not None, "no panel window showing; the tree:\n" + at.outline(app)):
            return None
        _, problem = at.wait_until_still(panel, shows=[("push button", "Quitter Orvalin")])
        return panel if check(problem is None, "the panel did not settle: %s" % problem) else None

    panel = open_panel()
    if panel is None:
        return
    today = datetime.date.today()
    iso_row = check_panel(pyatspi, panel, today)
    if at.failures:
        print(at.outline(panel), file=sys.stderr)
    if iso_row is None:
        return

    at.press(iso_row)
    expected = today.isoformat() + " "  # the built-in pattern ends with a space
    arrived = at.wait_for(lambda: read(output) == expected, 10)
    check(arrived, "the target holds \"%s\", expected \"%s\"" % (read(output), expected))
    check(at.wait_for(lambda: at.find(app, role="frame", name="Orvalin", showing=True) is None, 10),
          "the panel stays open after the press")

    # From the keyboard, the target keeping the input focus: Down shows the focus on the first
    # row (Court), Down again moves it to Long, which the screen reader is told; Enter inserts.
    panel = open_panel()
    if panel is None:
        return
    subprocess.run(["xdotool", "key", "Down", "Down"], timeout=10)
    long_row = "Long, " + spoken_date(today)
    focused = at.wait_for(lambda: at.find(panel, role="push button", name=long_row, state=pyatspi.STATE_FOCUSED), 10)
    check(focused is not None, "the row \"%s\" is not focused after Down, Down" % long_row)
    subprocess.run(["xdotool", "key", "Return"], timeout=10)
    expected += spoken_date(today) + " "
    check(at.wait_for(lambda: read(output) == expected, 10),
          "the target holds \"%s\", expected \"%s\"" % (read(output), expected))


if __name__ == "__main__":
    sys.exit(at.run(use_the_panel))
