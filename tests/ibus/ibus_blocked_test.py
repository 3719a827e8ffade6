#!/usr/bin/env python3
"""Keys never wait for the program's windows: with its main thread blocked for 200 ms (the test
hook: ORVALIN_TEST_HOOKS and SIGUSR1), text typed into a GTK 3 entry through the IBus route is in
the field before the block ends, and a trigger typed during a block still gives the date in its
place, what follows it after it. The set-up is ibus_e2e_test.py's.

Usage: ibus_blocked_test.py <orvalin> <Qt text target>. Exits 77 (skipped) where a server cannot
run."""
import signal
import sys
import time

import ibus_e2e_test as e2e

BLOCK_ENDED = "main thread blocked"


def blocked_typing(desktop, program, errors, text, seen):
    """A step: blocks the main thread, types `text` at once, and notes in `seen` whether the field
    had it before the block ended."""
    def step(output):
        before, blocks = e2e.read(output), e2e.read(errors).count(BLOCK_ENDED)
        program.send_signal(signal.SIGUSR1)
        time.sleep(0.03)  # the main thread is asleep by then: it had nothing else to do
        desktop.run(["xdotool", "type", "--delay", "15", text])
        arrived = desktop.wait(lambda: e2e.read(output).startswith(before + text), 3)
        ended = e2e.read(errors).count(BLOCK_ENDED) > blocks
        seen.append(arrived and not ended)
        desktop.wait(lambda: e2e.read(errors).count(BLOCK_ENDED) > blocks, 3)
        time.sleep(0.3)
    return step


def main():
    desktop = e2e.Desktop()
    desktop.program, desktop.qt_target = sys.argv[1], sys.argv[2]
    desktop.env["ORVALIN_TEST_HOOKS"] = "1"
    failures = []
    try:
        desktop.start()
        program, errors = e2e.spawn_program(desktop, [desktop.program, "--route", "ibus"])
        if not e2e.orvalin_active(desktop, select=True):
            return [f"the engine orvalin was not chosen: {e2e.read(errors)}"]
        seen = []
        # Typing and the field's own writing take time on a loaded machine: one try of three in
        # time is enough, where keys waiting for the main thread can never be in time.
        steps = [blocked_typing(desktop, program, errors, text, seen) for text in ("abc", "def", "ghi")]
        steps.append(blocked_typing(desktop, program, errors, " dt x", []))
        got = e2e.type_into(desktop, "3", "entry", steps)
        e2e.check("GTK 3 entry, typed while the main thread is blocked", got, f"abcdefghi {e2e.today} x",
                  failures)
        e2e.check("text in the field before the block ended (one try of three)", any(seen), True, failures)
        if BLOCK_ENDED not in e2e.read(errors):
            failures.append("the test hook did not block the main thread (built without it?)")
        if program.poll() is not None:
            failures.append(f"the program ended with {program.returncode}: {e2e.read(errors)}")
    finally:
        desktop.stop()
    return failures


if __name__ == "__main__":
    e2e.run(main)
