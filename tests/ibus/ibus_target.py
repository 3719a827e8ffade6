#!/usr/bin/env python3
"""A GTK text field for the IBus end-to-end tests.

--gtk 3|4, --kind entry|password|textview, --output FILE: writes the field's text to FILE after
every change and prints "ready <window id>" once shown."""
import argparse
import os

import gi

parser = argparse.ArgumentParser()
parser.add_argument("--gtk", default="3")
parser.add_argument("--kind", default="entry")
parser.add_argument("--output", required=True)
args = parser.parse_args()

gi.require_version("Gtk", f"{args.gtk}.0")
gi.require_version("GdkX11", f"{args.gtk}.0")
from gi.repository import GdkX11, GLib, Gtk  # noqa: E402


def save(text):
    with open(args.output + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(args.output + ".tmp", args.output)


if args.kind == "textview":
    field = Gtk.TextView()
    buffer = field.get_buffer()
    buffer.connect("changed", lambda b: save(b.get_text(b.get_start_iter(), b.get_end_iter(), False)))
else:
    field = Gtk.Entry()
    field.connect("changed", lambda e: save(e.get_text()))
    if args.kind == "password":
        field.set_visibility(False)
        field.set_input_purpose(Gtk.InputPurpose.PASSWORD)

window = Gtk.Window(title="Orvalin IBus target")
if args.gtk == "3":
    window.add(field)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
else:
    window.set_child(field)
    window.present()
field.grab_focus()


def ready():
    if args.gtk == "3":
        xid = window.get_window().get_xid()
    else:
        xid = GdkX11.X11Surface.get_xid(window.get_surface())
    print("ready", xid, flush=True)
    return False


GLib.timeout_add(200, ready)
if args.gtk == "3":
    Gtk.main()
else:
    loop = GLib.MainLoop()
    window.connect("close-request", lambda *_: loop.quit())
    loop.run()
