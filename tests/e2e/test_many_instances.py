"""Fifty starts at the same moment: one process stays and shows the figures the others asked for, every other start
exits with 0 without hanging, and the one left ends with 1 at WM_CLOSE."""
import subprocess
import time

from mibo_e2e import Mibo, check, components, reg_store, region_rects, remote, wait_for

STARTS = 50


def figures_seen(seconds, enough):
    """The largest number of figure-sized outline groups seen within a few seconds (figures overlap while they walk);
    the looking ends once `enough` are seen."""
    best = 0
    deadline = time.time() + seconds
    while time.time() < deadline and best < enough:
        rects = region_rects() or []
        best = max(best, len([c for c in components(rects) if c[3] - c[1] >= 40]))
        time.sleep(0.3)
    return best


reg_store({"funlevel": 5, "sound": 0})  # fifty sound outputs opening at once would only measure the sound system

started = time.time()
starts = [Mibo() for _ in range(STARTS)]
try:
    # Every start but one passes its request on and leaves; nothing may hang.
    deadline = started + 75
    while time.time() < deadline and sum(m.process.poll() is None for m in starts) > 1:
        time.sleep(0.5)
    running = [m for m in starts if m.process.poll() is None]
    ended = [m.process.returncode for m in starts if m.process.poll() is not None]
    print("%d starts: %d ended within %.0f s, %d running" % (STARTS, len(ended), time.time() - started, len(running)))
    check(len(running) == 1, "exactly one of %d simultaneous starts keeps running (%d do)" % (STARTS, len(running)))
    check(ended == [0] * (STARTS - 1), "every other start exits with 0 (exit codes %s)" % sorted(set(ended)))

    mibo = running[0]
    check(mibo.wait_window(30), "the one left shows its window")
    seen = figures_seen(8, 4)
    check(seen >= 4, "the running program shows the figures the others asked for (%d groups seen)" % seen)
    # A hundred more requests in one burst: the figures pile up, the program keeps going. The main loop takes one
    # message a 50-ms pass (longer with many figures drawing), so the close waits behind them.
    check(remote("more", "100")[0] == 0, "100 more requests posted")
    check(wait_for(lambda: region_rects() is not None, 30), "the window still answers with 150 figures asked for")
    time.sleep(5)
    check(mibo.process.poll() is None and region_rects(), "the program still runs and shows figures")
    closing = time.time()
    check(mibo.close(timeout=90) == 1, "WM_CLOSE ends the one running process with 1")
    print("the close took %.0f s behind the queued requests" % (time.time() - closing))
finally:
    for m in starts:
        m.__exit__(None, None, None)
print("took %.0f s" % (time.time() - started))
