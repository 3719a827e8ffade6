#!/usr/bin/python3
"""A screen reader's view of the onboarding: on every page each button and switch has a name a
listener understands, the page indicator says where the user is, and the pages can be walked
to the end through the accessibility interface alone.

Runs the demo program on a private Xvfb with an accessibility bus of its own:
    onboarding_atspi_test.py DEMO_BINARY
Exit status 77 means skipped (no AT-SPI on this machine)."""
import os
import subprocess
import sys
import time

SKIP = 77
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
CONTROL_ROLES = {"push button", "check box", "toggle button", "radio button", "combo box", "text"}


def wait_for(what, timeout=30.0, step=0.2):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = what()
        if found:
            return found
        time.sleep(step)
    return None


def start_display():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        server.kill()
        sys.exit("Xvfb did not start")
    return server, ":" + number


def outer(demo):
    try:
        import pyatspi  # noqa: F401  (only whether it is there)
    except ImportError:
        print("python3-pyatspi is not installed")
        return SKIP
    if not os.path.exists(LAUNCHER) or subprocess.call(["which", "dbus-run-session"],
                                                        stdout=subprocess.DEVNULL) != 0:
        print("no AT-SPI bus launcher or dbus-run-session")
        return SKIP
    server, display = start_display()
    try:
        env = dict(os.environ, DISPLAY=display)
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, "--inner", demo],
                               env=env, stderr=subprocess.STDOUT)
    finally:
        server.terminate()
        server.wait()


def nodes(root):
    """Every object under root. Objects may go away while they are read (a page that slid out
    is deleted): those are left out."""
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        try:
            children = list(node)
        except Exception:
            continue
        yield node
        stack.extend(children)


def describe(node):
    """(role, name, showing) of a node, or None when it is gone."""
    import pyatspi
    try:
        return node.getRoleName(), node.name, node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return None


class Window:
    def __init__(self, app):
        self.app = app

    def shown(self):
        """(role, name) of every object on screen, in a stable order."""
        found = []
        for node in nodes(self.app):
            about = describe(node)
            if about and about[2]:
                found.append((about[0], about[1]))
        return sorted(found)

    def settled(self):
        """What is shown once two readings in a row agree (a page change is over)."""
        previous = None
        for _ in range(50):
            now = self.shown()
            if now == previous:
                return now
            previous = now
            time.sleep(0.2)
        return previous

    def named(self, role, name):
        for node in nodes(self.app):
            about = describe(node)
            if about and about[:2] == (role, name) and about[2]:
                return node
        return None

    def press(self, role, name):
        node = wait_for(lambda: self.named(role, name), timeout=10)
        if node is None:
            raise AssertionError("no %s %r; shown: %s" % (role, name, self.shown()))
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("press", "click", "toggle", "Press", "Toggle"):
                action.doAction(i)
                return
        action.doAction(0)


def inner(demo):
    import pyatspi
    failures = []
    launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], stderr=subprocess.DEVNULL)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([demo, "trusted"], env=env, stdout=subprocess.PIPE, text=True)
    try:
        if program.stdout.readline().strip() != "ready":
            print("the demo did not start")
            return 1

        def find_app():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == os.path.basename(demo):
                    return app
            return None

        app = wait_for(find_app)
        if app is None:
            print("the demo does not show on the accessibility bus")
            return 1
        window = Window(app)

        def check_page(number, expected):
            wait_for(lambda: window.named("push button", expected[0]), timeout=10)
            shown = window.settled()
            controls = [(role, name) for role, name in shown if role in CONTROL_ROLES]
            for role, name in controls:
                if not name.strip():
                    failures.append("page %d: a %s has no name" % (number, role))
            for name in expected:
                if not any(n == name for _, n in controls):
                    failures.append("page %d: no control named %r among %s" % (number, name, controls))
            indicator = "Étape %d sur 3" % number
            if not any(n == indicator for _, n in shown):
                failures.append("page %d: nothing says %r" % (number, indicator))

        check_page(1, ["Commencer"])
        window.press("push button", "Commencer")
        check_page(2, ["Continuer"])
        window.press("push button", "Continuer")
        check_page(3, ["Commencer à utiliser Orvalin", "Lancer Orvalin à l'ouverture de session"])
        window.press("push button", "Commencer à utiliser Orvalin")

        try:
            out, _ = program.communicate(timeout=20)
        except subprocess.TimeoutExpired:
            failures.append("the window did not close after the last button")
            out = ""
        if "completed true" not in out:
            failures.append("finishing did not store the flag: %r" % out)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        launcher.terminate()
        launcher.wait()
    for failure in failures:
        print(failure)
    print("ok" if not failures else "%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--inner":
        sys.exit(inner(sys.argv[2]))
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(outer(sys.argv[1]))
