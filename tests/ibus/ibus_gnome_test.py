#!/usr/bin/env python3
"""The IBus route on a headless GNOME Shell: the program, started with no --route, chooses IBus by
itself, and "le dt puis" typed through mutter's remote desktop at 80 ms a key expands in a native
GTK 4 window and in a GTK 4 terminal running `cat`, which stays alive.

Usage: ibus_gnome_test.py <orvalin> <component file>. Exits 77 (skipped) with the reason where the
shell cannot run."""
import datetime
import os
import shutil
import subprocess
import sys
import time

from gi.repository import Gio, GLib

from ibus_e2e_test import HERE, Desktop, check, read, run, skip, spawn_program

# Nothing is activated on these buses: the shell's many helpers stay out of the test.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir={}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>
"""
REMOTE = "org.gnome.Mutter.RemoteDesktop"
SHIFT, ESCAPE, RETURN = 0xFFE1, 0xFF1B, 0xFF0D


class GnomeShell(Desktop):
    def start(self):
        for tool in ("gnome-shell", "dbus-daemon", "ibus-daemon", "ibus", "gsettings"):
            if shutil.which(tool) is None:
                skip(f"{tool} is not installed")
        runtime = self.env["XDG_RUNTIME_DIR"]  # made private by Desktop
        config = os.path.join(self.home, "bus.conf")
        with open(config, "w", encoding="utf-8") as f:
            f.write(BUS_CONFIG.format(runtime))
        self.env.pop("DISPLAY", None)
        self.env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="orvalin-gnome", GDK_BACKEND="wayland",
                        GTK_A11Y="none")
        # The shell finds the session's login manager on the system bus: an empty one does.
        for variable in ("DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"):
            bus = self.spawn(["dbus-daemon", "--config-file", config, "--nofork", "--print-address=1"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            self.env[variable] = bus.stdout.readline().strip()
        self.log = os.path.join(self.home, "gnome-shell.log")
        with open(self.log, "w", encoding="utf-8") as log:
            self.shell = self.spawn(["gnome-shell", "--headless", "--wayland", "--no-x11", "--wayland-display",
                                     self.env["WAYLAND_DISPLAY"], "--virtual-monitor", "1280x720"],
                                    stdout=log, stderr=subprocess.STDOUT)
        self.bus = Gio.DBusConnection.new_for_address_sync(
            self.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        if not self.wait(lambda: self.shell.poll() is not None or self.has_name(REMOTE), 120):
            skip("GNOME Shell offered no remote desktop within two minutes: " + read(self.log)[-2000:])
        if self.shell.poll() is not None:
            skip(f"GNOME Shell ended with {self.shell.returncode}: " + read(self.log)[-2000:])
        self.open_keyboard()

    def has_name(self, name):
        reply = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "NameHasOwner", GLib.Variant("(s)", (name,)))
        return reply.unpack()[0]

    def call(self, name, path, interface, method, arguments=None):
        return self.bus.call_sync(name, path, interface, method, arguments, None, Gio.DBusCallFlags.NONE,
                                  10000, None)

    def open_keyboard(self):
        """One remote-desktop session for the whole test: ending it moves the focus away."""
        self.session = self.call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE, "CreateSession").unpack()[0]
        self.call(REMOTE, self.session, REMOTE + ".Session", "Start")
        # A session's first event is lost; the shell starts in its overview.
        for key in (SHIFT, ESCAPE, ESCAPE):
            self.press(key)

    def press(self, keysym):
        for down in (True, False):
            self.call(REMOTE, self.session, REMOTE + ".Session", "NotifyKeyboardKeysym",
                      GLib.Variant("(ub)", (keysym, down)))
        time.sleep(0.08)

    def type(self, text):
        for c in text:
            self.press(RETURN if c == "\n" else ord(c))


def type_into(shell, kind, text):
    """Opens a GTK 4 window of the kind, types `text` into it and returns its text and whether the
    window was still open."""
    output = os.path.join(shell.home, f"field-{kind}.txt")
    target = shell.spawn(["/usr/bin/python3", os.path.join(HERE, "ibus_target.py"), "--gtk", "4", "--kind", kind,
                          "--output", output], stdout=subprocess.PIPE)
    if target.stdout.readline().split()[:1] != ["ready"]:
        return f"<the {kind} window did not start>", False
    time.sleep(1.5)
    shell.type(text)
    time.sleep(1.5)
    alive = target.poll() is None
    target.terminate()
    target.wait(5)
    return read(output), alive


def main():
    orvalin, component = sys.argv[1:3]
    shell = GnomeShell()
    failures = []
    try:
        # The component file makes the engine known to GNOME at start; its program is left out so
        # that only the program started here can own the engine.
        shell.install_component(component)
        shell.env["GSETTINGS_BACKEND"] = "keyfile"
        for key, value in (("sources", "[('xkb', 'us'), ('ibus', 'orvalin')]"),
                           ("mru-sources", "[('ibus', 'orvalin'), ('xkb', 'us')]")):
            done = shell.run(["gsettings", "set", "org.gnome.desktop.input-sources", key, value])
            if done.returncode != 0:
                skip("GNOME's input-source settings are not installed: " + done.stderr.strip())
        started = time.monotonic()
        shell.start()
        print(f"GNOME Shell ready after {time.monotonic() - started:.1f} s", flush=True)
        program, errors = spawn_program(shell, [orvalin])
        if not shell.wait(lambda: shell.run(["ibus", "engine"]).stdout.strip() == "orvalin", 60):
            engine = shell.run(["ibus", "engine"])
            failures.append(f"the active engine is {engine.stdout.strip() or engine.stderr.strip()!r}, not "
                            "orvalin; the program said: " + read(errors))
            return failures
        today = datetime.date.today().isoformat()
        text, _ = type_into(shell, "textview", "le dt puis")
        check("GTK 4 text view", text, f"le {today} puis", failures)
        text, alive = type_into(shell, "terminal", "le dt puis\n")
        check("GTK 4 terminal running cat", text, f"le {today} puis\n", failures)
        check("the terminal and cat still running", alive, True, failures)
        if program.poll() is not None:
            failures.append(f"the program ended with {program.returncode}: " + read(errors))
    finally:
        shell.stop()
    return failures


if __name__ == "__main__":
    run(main)
