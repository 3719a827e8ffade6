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
