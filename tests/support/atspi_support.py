"""What the AT-SPI tests share: a private X server and session bus with the accessibility bus on
it, and walking, naming and pressing what a screen reader sees.

A test calls `enter_private_session()` first: it runs itself again under `dbus-run-session`, so
that the program under test and the test meet on a session bus of their own. Whatever the machine
cannot offer (pyatspi, dbus-run-session, Xvfb, the accessibility bus) ends the test with
SKIP_CODE and the reason on standard error."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP_CODE = 77
# The environment of a program whose texts a test reads in French; LANGUAGE and LC_ALL would win.
FRENCH = {"LANG": "fr_FR.UTF-8", "LANGUAGE": "", "LC_ALL": "", "LC_MESSAGES": ""}
failures = []
_MARK = "ORVALIN_ATSPI_PRIVATE_SESSION"
_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def check(condition, message):
    """Notes a failed check, so that one run reports every fault; gives the condition back."""
    if not condition:
        failures.append(message)
        print("FAIL: " + message, file=sys.stderr)
    return condition


def read(path):
    try:
        with open(path, encoding="utf-8") as text:
            return text.read()
    except OSError:
        return ""


class OutOfTime(BaseException):  # not caught where a read that failed is passed over
    pass


def _out_of_time(signum, frame):
    raise OutOfTime()


def run(test, budget=150):
    """Runs `test(pyatspi, processes)` in a private session with an X server and the accessibility
    bus; the processes it appends to `processes` are stopped afterwards, last first. A test still
    running after `budget` s (under the 180 s ctest allows) is stopped where it is, which the
    failure shows, with its processes stopped too. The exit status."""
    enter_private_session()
    pyatspi = import_pyatspi()
    xvfb = Xvfb()
    bus = start_accessibility_bus()
    processes = []
    signal.signal(signal.SIGALRM, _out_of_time)
    signal.alarm(budget)
    try:
        test(pyatspi, processes)
    except OutOfTime:
        check(False, "still running after %d s, at:\n%s" % (budget, traceback.format_exc()))
    finally:
        signal.alarm(0)
        for process in reversed(processes):
            stop_process(process)
        stop_process(bus)
        xvfb.stop()
    print("%d failure(s)" % len(failures) if failures else "ok")
    return 1 if failures else 0


def skip(reason):
    print("SKIP: " + reason, file=sys.stderr)
    sys.exit(SKIP_CODE)


def enter_private_session():
    """Runs this script again inside a session bus of its own; returns inside it."""
    if os.environ.get(_MARK):
        return
    runner = shutil.which("dbus-run-session")
    if runner is None:
        skip("dbus-run-session is missing (package dbus)")
    env = dict(os.environ, **{_MARK: "1"})
    result = subprocess.run([runner, "--", sys.executable] + sys.argv, env=env)
    sys.exit(result.returncode)


def import_pyatspi():
    try:
        import pyatspi  # noqa: F401 (imported for the caller)
    except ImportError as error:
        skip("pyatspi is missing (package python3-pyatspi): %s" % error)
    return sys.modules["pyatspi"]


def wait_for(predicate, timeout, interval=0.1):
    """Polls until `predicate` gives something true; that value, or None after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


class Xvfb:
    """A private X server on a display number it picks itself; DISPLAY points there."""

    def __init__(self, size="1280x800x24"):
        if shutil.which("Xvfb") is None:
            skip("Xvfb is missing (package xvfb)")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0", size, "-nolisten", "tcp"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.stop()
            skip("Xvfb did not start")
        os.environ["DISPLAY"] = ":" + number

    def stop(self):
        stop_process(self.process)


def start_accessibility_bus():
    """Starts the accessibility bus on the session bus and switches accessibility on."""
    if not os.path.exists(_BUS_LAUNCHER):
        skip("at-spi-bus-launcher is missing (package at-spi2-core)")
    launcher = subprocess.Popen([_BUS_LAUNCHER, "--launch-immediately"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def said(destination, path, method, *args):
        reply = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=" + destination, path,
                                method] + list(args), capture_output=True, text=True)
        return reply.stdout if reply.returncode == 0 else ""

    # Nothing asks for the bus before this launcher holds its name: asking sooner has the session
    # bus start a second launcher, and while the two vie for the name an address asked for can
    # go unanswered, which aborts the reader that asked.
    def owned():
        return "boolean true" in said("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                      "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus")

    def address():
        return "unix:" in said("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")

    if not (wait_for(owned, 15) and wait_for(address, 15)):
        stop_process(launcher)
        skip("the accessibility bus did not start")
    subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "/org/a11y/bus",
                    "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                    "string:IsEnabled", "variant:boolean:true"], capture_output=True)
    return launcher


def stop_process(process, timeout=5):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def fresh_home(preferences_json):
    """A temporary HOME with XDG folders and the given preferences file; exported to children."""
    home = tempfile.mkdtemp(prefix="orvalin-atspi-")
    config = os.path.join(home, "config")
    runtime = os.path.join(home, "runtime")
    os.makedirs(os.path.join(config, "orvalin"))
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(config, "orvalin", "preferences.json"), "w") as prefs:
        prefs.write(preferences_json)
    os.environ.update(HOME=home, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime)
    return home


def application_of(pyatspi, pid, timeout=20):
    """The accessible application of the process `pid`, once it registered."""
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:  # an application leaving while we look
                continue
        return None
    return wait_for(find, timeout, 0.2)


def _children(node):
    """The children of `node` that could be read: one that goes away while read (a page that slid
    out, a closed pop-up) is passed over, its brothers kept; none when `node` itself went away."""
    try:
        count = node.childCount
    except Exception:
        return []
    children = []
    for index in range(count):
        try:
            children.append(node.getChildAtIndex(index))
        except Exception:
            continue
    return children


def _walk(root, max_depth=30):
    stack = [(root, 0)]
    while stack:
        node, depth = stack.pop()
        if node is None:
            continue
        yield node, depth
        if depth < max_depth:
            stack.extend((child, depth + 1) for child in reversed(_children(node)))


def descendants(root):
    """Every accessible below `root`, depth first, in the order the tree gives them."""
    for node, _ in _walk(root):
        yield node


def find(root, role=None, name=None, showing=None, state=None):
    """The first accessible below `root` with that role name ("push button"…), name, showing or
    not, and holding `state` (pyatspi.STATE_FOCUSED…)."""
    import pyatspi
    def matches(node):
        if role is not None and node.getRoleName() != role:
            return False
        if name is not None and node.name != name:
            return False
        if showing is not None and node.getState().contains(pyatspi.STATE_SHOWING) != showing:
            return False
        return state is None or node.getState().contains(state)

    for node in descendants(root):
        try:
            if matches(node):
                return node
        except Exception:  # an object that went away while it was read is not the one sought
            continue
    return None


def wait_until_still(root, shows=(), gone=(), timeout=30, interval=0.25):
    """Waits until every (role, name) of `shows` is on screen below `root` (the role None for any),
    none of `gone` is, and nothing moves any more: two readings a moment apart agree, places
    included, so a slide, a fade or a window still being laid out is over. Gives the (role, name)
    of all that shows, sorted, and None; or after `timeout` s the last reading and why it waited."""
    import pyatspi
    deadline = time.monotonic() + timeout
    previous = None
    while True:
        reading = _on_screen(pyatspi, root)
        problem = _not_yet(reading, previous, shows, gone)
        if problem is None or time.monotonic() > deadline:
            names = [(role, name) for role, name, _ in reading or previous or []]
            if problem is None:
                return names, None
            return names, "after %d s %s; the tree:\n%s" % (timeout, problem, outline(root))
        previous = reading
        time.sleep(interval)


def _on_screen(pyatspi, root):
    """(role, name, place) of everything showing below `root`, sorted; None when something went
    away while it was read, which leaves the reading incomplete."""
    found = []
    try:
        for node in descendants(root):
            if node.getState().contains(pyatspi.STATE_SHOWING):
                found.append((node.getRoleName(), node.name, _place(pyatspi, node)))
    except Exception:
        return None
    return sorted(found)


def _place(pyatspi, node):
    try:
        component = node.queryComponent()
    except NotImplementedError:
        return ()
    box = component.getExtents(pyatspi.DESKTOP_COORDS)
    return (box.x, box.y, box.width, box.height)


def _not_yet(reading, previous, shows, gone):
    """Why `reading` is not yet the view awaited; None once it is."""
    if reading is None:
        return "the tree still changed while it was read"
    seen = [(role, name) for role, name, _ in reading]

    def on_screen(wanted):
        return any(name == wanted[1] and wanted[0] in (None, role) for role, name in seen)

    missing = [wanted for wanted in shows if not on_screen(wanted)]
    if missing:
        return "nothing shows %s" % missing
    left = [wanted for wanted in gone if on_screen(wanted)]
    if left:
        return "%s still shows" % left
    return None if reading == previous else "it still moves"


def outline(root, max_lines=200):
    """The tree as text, for failure messages; what goes away while it is read is left out."""
    lines = []
    for node, depth in _walk(root):
        try:
            lines.append("%s%s \"%s\"" % ("  " * depth, node.getRoleName(), node.name))
        except Exception:
            continue
        if len(lines) >= max_lines:
            lines.append("…")
            break
    return "\n".join(lines)


def press(node):
    """Runs the accessible's press action, as a screen reader does on Enter."""
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click", "activate"):
        if wanted in names:
            return action.doAction(names.index(wanted))
    raise AssertionError("no press action among %s" % names)


def settings_window(pyatspi, processes, host):
    """Starts the settings window's host program (tests/ui/settings) with a fresh preferences file
    and finds its window on the bus: (window, preferences path, host output path), the window None
    once a failed check said why."""
    work = tempfile.mkdtemp(prefix="orvalin-settings-atspi-")
    prefs = os.path.join(work, "preferences.json")
    out = os.path.join(work, "host.out")
    with open(out, "w") as output:
        processes.append(subprocess.Popen([host, prefs], stdout=output,
                                          env=dict(os.environ, QT_QPA_PLATFORM="xcb",
                                                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **FRENCH)))
    window = None
    if check(wait_for(lambda: "ready" in read(out), 30), "the host did not start"):
        app = application_of(pyatspi, processes[-1].pid)
        if check(app is not None, "the host is not on the accessibility bus"):
            window = wait_for(lambda: find(app, name="Préférences Orvalin"), 10)
            if check(window is not None, "no window named 'Préférences Orvalin'; the tree:\n" + outline(app)):
                _, problem = wait_until_still(window, shows=[("page tab", "Général")])
                window = window if check(problem is None, "the window did not settle: %s" % problem) else None
    return window, prefs, out
