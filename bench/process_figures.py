"""What a running process costs, from /proc: the CPU time and the wake-ups of all its threads."""
import glob
import time


def cpu_ns(pid):
    """CPU time of every thread of the process, in nanoseconds."""
    total = 0
    for f in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(f) as fh:
                total += int(fh.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def cpu_ns_by_thread(pid):
    """CPU time and wake-ups of each thread of the process, by thread name (threads of one name added)."""
    threads = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(f"{task}/comm") as fh:
                name = fh.read().strip()
            with open(f"{task}/schedstat") as fh:
                ns = int(fh.read().split()[0])
            with open(f"{task}/status") as fh:
                woken = sum(int(line.split()[1]) for line in fh
                            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
        except (OSError, ValueError, IndexError):
            continue
        cpu, wakes = threads.get(name, (0, 0))
        threads[name] = (cpu + ns, wakes + woken)
    return threads


def switches(pid):
    """Context switches of every thread, voluntary or not: each is a wake-up or a preemption."""
    total = 0
    for f in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(f) as fh:
                for line in fh:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def at_rest(pid, seconds=10.0):
    """A line with the wake-ups per second and the CPU of the process over `seconds` left alone."""
    woken, cpu = switches(pid), cpu_ns(pid)
    time.sleep(seconds)
    woken, cpu = switches(pid) - woken, cpu_ns(pid) - cpu
    return f"{woken / seconds:.1f} wake-ups/s, {cpu / 1e6:.2f} ms CPU over {seconds:.0f} s"


def preferences_with_formats(count=100):
    """A preferences file's text: onboarding done and `count` formats, each with a trigger and a
    key combination, the way a heavy user's Formats tab looks (what ORVALIN_TEST_HOOKS=settings-loop opens)."""
    import json
    import uuid
    formats = [{"id": str(uuid.UUID(int=i + 1)).upper(), "label": f"Format {i + 1}",
                "dateFormat": "EEEE d MMMM y" if i % 2 else "dd/MM/yyyy", "trigger": f";d{i + 1}",
                "globalShortcut": {"keyCode": 2, "modifiers": 0x60000, "display": "⌃⇧D"} if i == 0 else None}
               for i in range(count)]
    return json.dumps({"Orvalin.onboardingCompleted": True, "Orvalin.shortcuts.v2": json.dumps(formats)})
