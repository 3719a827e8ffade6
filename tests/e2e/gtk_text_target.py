#!/usr/bin/env python3
"""A GTK 3 text entry for the end-to-end tests: GTK fetches a paste asynchronously.

Writes the entry's text to the --output file after every change, empties it on Escape and prints
"ready <window id>" once shown, as the Qt text target does."""
import os
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
gi.require_version("GdkX11", "3.0")
from gi.repository import Gdk, GdkX11, GLib, Gtk  # noqa: E402,F401  (GdkX11 gives get_xid)

output = sys.argv[sys.argv.index("--output") + 1]


def save(entry):
    with open(output + ".tmp", "w", encoding="utf-8") as f:
        f.write(entry.get_text())
    os.replace(output + ".tmp", output)


def on_key(_widget, event, entry):
    if event.keyval == Gdk.KEY_Escape:
        entry.set_text("")
        return True
    return False


window = Gtk.Window(title="Orvalin GTK target")
entry = Gtk.Entry()
entry.connect("changed", save)
window.connect("key-press-event", on_key, entry)
window.connect("destroy", Gtk.main_quit)
window.add(entry)
window.show_all()


def ready():
    print("ready", window.get_window().get_xid(), flush=True)
    return False


GLib.idle_add(ready)
Gtk.main()
