"""A second start exits with 0 at once and the running program shows one more figure; a third start one more."""
import subprocess
import time

from mibo_e2e import EXE, Mibo, check, components, reg_store, region_rects


def most_figures(seconds, enough):
    """The largest number of figure-sized outline groups seen within a few seconds (figures may overlap for a while);
    the looking ends once `enough` are seen."""
    best = 0
    deadline = time.time() + seconds
    while time.time() < deadline and best < enough:
        rects = region_rects() or []
        figures = [c for c in components(rects) if c[3] - c[1] >= 40]
        best = max(best, len(figures))
        time.sleep(0.3)
    return best


def start_again():
    started = time.time()
    code = subprocess.run(["wine", EXE], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60).returncode
    return code, time.time() - started


reg_store({"funlevel": 5})

with Mibo() as mibo:
    check(mibo.wait_window(60), "the first instance shows its window")
    mibo.wait_shape(30)
    one = most_figures(4, 1)
    check(one >= 1, "one figure at first (%d seen)" % one)

    code, took = start_again()
    check(code == 0, "the second start exits with 0 (exit %d)" % code)
    check(took < 15, "the second start ends at once (%.1f s, most of it Wine's start)" % took)
    check(mibo.process.poll() is None, "the first instance still runs")
    two = most_figures(8, 2)
    check(two >= 2, "the running program now shows a second figure (%d seen)" % two)

    code, took = start_again()
    check(code == 0, "the third start exits with 0 too (exit %d, %.1f s)" % (code, took))
    three = most_figures(10, 3)
    check(three >= 3, "and the running program shows a third figure (%d seen)" % three)

    check(mibo.close() == 1, "WM_CLOSE ends the one running process with 1")
