#!/usr/bin/env python3
"""A GTK text field for the IBus end-to-end tests.

--gtk 3|4, --kind entry|password|textview|terminal, --output FILE: writes the field's text to FILE
after every change and prints "ready <X window id, 0 on Wayland>" once shown. The terminal (GTK 4's
VTE) runs `cat` writing into FILE, and the program ends with 3 as soon as `cat` does."""
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


if args.kind == "terminal":
    gi.require_version("Vte", "3.91")
    from gi.repository import Vte  # noqa: E402

    field = Vte.Terminal()
    field.connect("child-exited", lambda *_: os._exit(3))
    field.spawn_async(Vte.PtyFlags.DEFAULT, None, ["/bin/sh", "-c", 'exec cat > "$0"', args.output], None,
                      GLib.SpawnFlags.DEFAULT, None, None, -1, None, None, None)
elif args.kind == "textview":
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
        surface, x11 = window.get_window(), GdkX11.X11Window
    else:
        surface, x11 = window.get_surface(), GdkX11.X11Surface
    print("ready", surface.get_xid() if isinstance(surface, x11) else 0, flush=True)
    return False


GLib.timeout_add(200, ready)
if args.gtk == "3":
    Gtk.main()
else:
    loop = GLib.MainLoop()
    window.connect("close-request", lambda *_: loop.quit())
    loop.run()
