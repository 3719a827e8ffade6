#!/usr/bin/env python3
"""The IBus route end to end: a private Xvfb, session bus and ibus-daemon, `orvalin --route ibus`
with a "dt" trigger and Control+Shift+D, GTK and Qt fields typed into through XTest at 60 ms a key.

Usage: ibus_e2e_test.py <orvalin> <Qt text target> [<component file>]: with the component file
installed for the daemon, the program owns the engine the file names rather than registering it,
GNOME's current input source selects it, and one case runs. Exits 77 (skipped) with the reason
where a server cannot run."""
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77


def skip(reason):
    print("SKIPPED:", reason)
    sys.exit(SKIP)


class Desktop:
    def __init__(self):
        self.children = []
        self.home = tempfile.mkdtemp(prefix="orvalin-ibus-")
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_CACHE_HOME=os.path.join(self.home, "cache"), LANG="C.UTF-8", LC_ALL="C.UTF-8",
                        NO_AT_BRIDGE="1")
        self.env.pop("IBUS_ADDRESS", None)
        # The program's own: its instance socket meets no other test's.
        self.env["XDG_RUNTIME_DIR"] = os.path.join(self.home, "runtime")
        os.mkdir(self.env["XDG_RUNTIME_DIR"], 0o700)

    def spawn(self, argv, env=None, **kwargs):
        child = subprocess.Popen(argv, env=env or self.env, text=True, **kwargs)
        self.children.append(child)
        return child

    def install_component(self, path):
        """The component file where the daemon reads them, its program left out: the test starts it."""
        folder = os.path.join(self.home, "component")
        os.makedirs(folder)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(folder, "orvalin.xml"), "w", encoding="utf-8") as f:
            f.write(text.replace("/usr/bin/orvalin --route ibus", "/bin/false"))
        self.env["IBUS_COMPONENT_PATH"] = "/usr/share/ibus/component:" + folder
        self.run(["ibus", "write-cache"])

    def start(self):
        for tool in ("Xvfb", "dbus-daemon", "ibus-daemon", "ibus", "xdotool", "setxkbmap"):
            if shutil.which(tool) is None:
                skip(f"{tool} is not installed")
        read, write = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                   pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            skip("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        # ibus-daemon leaves when its parent does: this process stays for the whole test.
        self.spawn(["ibus-daemon", "--xim", "--panel", "disable"], stderr=subprocess.DEVNULL)
        if not self.wait(lambda: self.run(["ibus", "list-engine"]).returncode == 0, 20):
            skip("ibus-daemon did not answer")

    def run(self, argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True)

    @staticmethod
    def wait(condition, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return True
            time.sleep(0.1)
        return False

    def stop(self):
        for child in reversed(self.children):
            child.terminate()
            try:
                child.wait(5)
            except subprocess.TimeoutExpired:
                child.kill()
        if os.environ.get("ORVALIN_TEST_KEEP"):
            print("logs and outputs kept in", self.home)
        else:
            shutil.rmtree(self.home, ignore_errors=True)


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def type_into(desktop, toolkit, kind, keys):
    """Opens a field, types `keys` (text for xdotool type, a tuple of key names for xdotool key,
    "panel": the date from the panel, "click field": a click in the field, a function: called with
    the file the field's text goes to) and returns the field's text."""
    output = os.path.join(desktop.home, f"field-{toolkit}-{kind}.txt")
    if os.path.exists(output):
        os.remove(output)
    if toolkit == "qt":
        argv = [desktop.qt_target, "--output", output]
    else:
        # Debian's own Python, the one python3-gi is installed for.
        argv = ["/usr/bin/python3", os.path.join(HERE, "ibus_target.py"), "--gtk", toolkit, "--kind", kind,
                "--output", output]
    env = dict(desktop.env, GTK_IM_MODULE="ibus", QT_IM_MODULE="ibus")
    if toolkit == "4":
        # GTK 4's IBus module on X11 lets a key overtake the one before it when both wait for
        # their answer, with IBus's own engines too ("l edt puis"); waiting for each answer
        # keeps them in order. (On GNOME Wayland GTK 4 talks to the compositor instead.)
        env["IBUS_ENABLE_SYNC_MODE"] = "1"
    target = desktop.spawn(argv, stdout=subprocess.PIPE, env=env)
    line = target.stdout.readline().split()
    if len(line) != 2 or line[0] != "ready":
        return f"<target {toolkit} did not start>"
    desktop.run(["xdotool", "windowfocus", "--sync", line[1]])
    time.sleep(1.0)
    for step in keys:
        if step == "click field":
            # Right of the text: the cursor stays at its end.
            desktop.run(["xdotool", "mousemove", "--window", line[1], "300", "10", "click", "1"])
            time.sleep(0.5)
        elif step == "panel":
            # Started again, the program shows its panel; the keys stay with the field's window
            # until Down lights the first row, which Return presses.
            desktop.run([desktop.program])
            shown = desktop.wait(lambda: desktop.run(["xdotool", "search", "--onlyvisible", "--name", "^Orvalin$"])
                                 .returncode == 0, 15)
            if not shown:
                target.terminate()
                return "<the panel did not show>"
            time.sleep(0.5)
            desktop.run(["xdotool", "key", "--delay", "60", "Down", "Return"])
            time.sleep(0.5)
        elif callable(step):
            step(output)
        elif isinstance(step, str):
            desktop.run(["xdotool", "type", "--delay", "60", step])
        else:
            desktop.run(["xdotool", "key", "--delay", "60", *step])
    time.sleep(1.5)
    target.terminate()
    target.wait(5)
    return read(output)


def set_gnome_sources(desktop, sources):
    done = desktop.run(["gsettings", "set", "org.gnome.desktop.input-sources", "mru-sources", sources])
    if done.returncode != 0:
        skip("GNOME's input-source settings are not installed: " + done.stderr.strip())


def check(name, got, expected, failures):
    print(f"{name}: {got!r}", "ok" if got == expected else f"FAILED, expected {expected!r}", flush=True)
    if got != expected:
        failures.append(name)


def write_preferences(desktop):
    """Onboarding done and one format: "dt" and Control+Shift+D (virtual key 2)."""
    formats = [{"id": "6F9619FF-8B86-D011-B42D-00C04FC964FF", "label": "ISO", "dateFormat": "yyyy-MM-dd",
                "trigger": "dt", "globalShortcut": {"keyCode": 2, "modifiers": 0x60000, "display": "Ctrl+Shift+D"}}]
    config = os.path.join(desktop.env["XDG_CONFIG_HOME"], "orvalin")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "preferences.json"), "w", encoding="utf-8") as f:
        json.dump({"Orvalin.onboardingCompleted": True, "Orvalin.shortcuts.v2": json.dumps(formats)}, f)


def orvalin_active(desktop, select):
    """Whether the engine becomes the active one, chosen as `ibus engine` does when `select`."""
    def active():
        if select:
            desktop.run(["ibus", "engine", "orvalin"])
        return desktop.run(["ibus", "engine"]).stdout.strip() == "orvalin"
    return desktop.wait(active, 30)


today = datetime.date.today().isoformat()
DEAD_E = ("t", "dead_circumflex", "e", "t", "e", "space", "eacute", "space", "d", "t", "space", "x")
# Each: name, toolkit, field, keys, the field's text expected, the keyboard layout.
CASES = [
    ("GTK 3 entry", "3", "entry", ["le dt puis"], f"le {today} puis", "us"),
    ("GTK 3 password entry", "3", "password", ["dt "], "dt ", "us"),
    ("GTK 3 key combination and panel", "3", "entry", ["a", ("ctrl+shift+d",), "b", "panel", "c"],
     f"a{today}b{today}c", "us"),
    ("GTK 4 text view", "4", "textview", ["le dt puis"], f"le {today} puis", "us"),
    ("Qt 6 text field", "qt", "", ["le dt puis"], f"le {today} puis", "us"),
    # A trigger first in a field is held as preedit: nothing was typed there whose report
    # could vouch for the text before the cursor.
    ("GTK 3 entry, trigger held as preedit", "3", "entry", ["dt, dt"], f"{today}, {today}", "us"),
    ("GTK 4 text view, trigger held as preedit", "4", "textview", ["dt, dt"], f"{today}, {today}", "us"),
    ("Qt 6 text field, trigger held as preedit", "qt", "", ["dt, dt"], f"{today}, {today}", "us"),
    # A click ends a held beginning: it stays in the field, once.
    ("GTK 3 entry, click on held text", "3", "entry", ["d", "click field", "x"], "dx", "us"),
    ("Qt 6 text field, click on held text", "qt", "", ["d", "click field", "x"], "dx", "us"),
    ("GTK 3 entry, French layout, dead key", "3", "entry", [DEAD_E], f"tête é {today} x", "fr"),
    ("Qt 6 text field, French layout, dead key", "qt", "", [DEAD_E], f"tête é {today} x", "fr"),
]


# A client of the daemon picking one of the engine's entries, as GNOME Shell's input-source menu does.
PICK_ENTRY = """
import sys, gi
gi.require_version("IBus", "1.0")
from gi.repository import IBus
bus = IBus.Bus()
context = bus.create_input_context("orvalin-menu-test")
context.set_capabilities(IBus.Capabilite.FOCUS | IBus.Capabilite.PROPERTY)
context.focus_in()
context.property_activate(sys.argv[1], IBus.PropState.CHECKED)
bus.get_connection().flush_sync(None)
"""


def menu_opens(desktop, entry, title):
    """Whether picking the engine's menu `entry` shows a window named `title` (a pattern)."""
    desktop.run(["/usr/bin/python3", "-c", PICK_ENTRY, entry])
    return desktop.wait(lambda: desktop.run(["xdotool", "search", "--onlyvisible", "--name", title])
                        .returncode == 0, 15)


def spawn_program(desktop, argv):
    """The program past its first-run window, with one format; returns it and the file its errors go to."""
    write_preferences(desktop)
    errors = os.path.join(desktop.home, "orvalin.err")
    with open(errors, "w", encoding="utf-8") as err:
        return desktop.spawn(argv, stdout=subprocess.DEVNULL, stderr=err), errors


def main():
    desktop = Desktop()
    desktop.program, desktop.qt_target = sys.argv[1], sys.argv[2]
    component = sys.argv[3] if len(sys.argv) > 3 else None
    failures = []
    try:
        if component:
            desktop.install_component(component)
            desktop.env["GSETTINGS_BACKEND"] = "keyfile"
            set_gnome_sources(desktop, "[('ibus', 'orvalin'), ('xkb', 'us')]")
        desktop.start()
        if component and "orvalin" not in desktop.run(["ibus", "list-engine"]).stdout:
            return ["the daemon did not read the component file"]
        program, errors = spawn_program(desktop, [desktop.program, "--route", "ibus"])
        # With the component installed, GNOME's current source, set before the start, selects it.
        if not orvalin_active(desktop, select=not component):
            engine = desktop.run(["ibus", "engine"]).stdout.strip()
            return [f"the engine orvalin was not offered or chosen (active: {engine!r}): {read(errors)}"]
        cases = CASES[:1] if component else CASES
        for name, toolkit, kind, keys, expected, layout in cases:
            desktop.run(["setxkbmap", layout])
            check(name, type_into(desktop, toolkit, kind, keys), expected, failures)
        if component:
            # GNOME's current source changing back to Orvalin selects it again.
            desktop.run(["ibus", "engine", "xkb:us::eng"])
            set_gnome_sources(desktop, "[('xkb', 'us'), ('ibus', 'orvalin')]")
            set_gnome_sources(desktop, "[('ibus', 'orvalin'), ('xkb', 'us')]")
            if not orvalin_active(desktop, select=False):
                failures.append("GNOME's source changing to Orvalin did not select it")
        else:
            # Without a tray (GNOME), the input-source menu opens the windows.
            if not menu_opens(desktop, "orvalin.open-settings", "^(Orvalin Preferences|Préférences Orvalin)$"):
                failures.append("the input-source menu did not open the settings")
            if not menu_opens(desktop, "orvalin.show-panel", "^Orvalin$"):
                failures.append("the input-source menu did not open the panel")
            desktop.run(["xdotool", "key", "Escape"])
            # With another input source nothing expands, and the text arrives intact.
            desktop.run(["setxkbmap", "us"])
            desktop.run(["ibus", "engine", "xkb:us::eng"])
            check("GTK 3 entry, another engine", type_into(desktop, "3", "entry", ["le dt puis"]), "le dt puis",
                  failures)
        if program.poll() is not None:
            failures.append(f"the program ended with {program.returncode}: {read(errors)}")
    finally:
        desktop.stop()
    return failures


def run(main):
    """Runs a test's `main`, which returns its failures, and exits with its verdict."""
    failed = main()
    for failure in failed:
        print("FAILED:", failure, flush=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    run(main)
