"""A change of the screen size or of the colour depth ends the program, which starts itself again with the same
command line and fits the new screen. The test display cannot change its mode, so this runs inside a Wine virtual
desktop, whose mode ChangeDisplaySettings can change. Second starts running meanwhile leave exactly one Mibo."""
import os
import subprocess
import tempfile
import threading
import time

from mibo_e2e import EXE, REMOTE, check, reg_store, run, wait_for

DESKTOP = "mibodisplay,800x600"


def on_desktop(*args):
    """Runs the helper inside the virtual desktop (FindWindow does not see across desktops) and returns its output
    without the closing "exit N" line. Explorer returns before the helper has run, so its output file is awaited."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "out.txt")
        windows_path = run(["winepath", "-w", out]).stdout.strip()
        run(["wine", "explorer", "/desktop=" + DESKTOP, REMOTE, "-o", windows_path, *args], timeout=60)
        if not wait_for(lambda: os.path.exists(out), 30, interval=0.2):
            return ""
        with open(out) as text:
            lines = [line.strip() for line in text.read().splitlines() if line.strip()]
    return "\n".join(line for line in lines if not line.startswith("exit "))


def window():
    """(left, top, right, bottom, process id) of the character window, or None."""
    fields = on_desktop("find").split()
    if len(fields) < 7:  # handle, rectangle, visibility, process id, then the extended style
        return None
    return tuple(int(v) for v in fields[1:5]) + (int(fields[6]),)


def second_starts(stop):
    """Starts mibo.exe on the desktop again and again until told to stop; each start finds the running one (or
    none while it restarts) and leaves."""
    while not stop.is_set():
        run(["wine", "explorer", "/desktop=" + DESKTOP, EXE], timeout=60)


reg_store({"funlevel": 5})
desktop = subprocess.Popen(["wine", "explorer", "/desktop=" + DESKTOP, EXE], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
try:
    time.sleep(5)  # the desktop is made by the first explorer; a second one asking meanwhile can stall
    first = wait_for(window, 60, interval=0.5)
    check(first is not None and first[:4] == (0, 0, 800, 600),
          "mibo runs on the 800x600 virtual desktop and covers it: %s" % (first,))
    # (width, height, bits per pixel, second starts in a loop meanwhile). Under Wine 8 a depth changed by another
    # process shows only in the WM_DISPLAYCHANGE sent to every window: the helper and each new process still read 32,
    # so each change of depth asks for another. The second starts go with a change of depth only: with processes
    # starting during a change of size, the helper sometimes read the old size afterwards.
    rows = [(640, 480, 32, False), (640, 480, 16, False), (640, 480, 8, True)]
    for width, height, bits, starts in rows:
        mode = "%dx%dx%d%s" % (width, height, bits, ", second starts meanwhile" if starts else "")
        stop = threading.Event()
        loops = [threading.Thread(target=second_starts, args=(stop,)) for _ in range(2 if starts else 0)]
        for loop in loops:
            loop.start()
        time.sleep(3 if starts else 0)  # under way, so that they overlap the restart
        try:
            changed = on_desktop("mode", str(width), str(height), str(bits))
            check(changed == "0", "the display mode changes to %s (%r)" % (mode, changed))
            screen = on_desktop("screen")
            check(screen == "%d %d" % (width, height), "the screen is now %dx%d (%s)" % (width, height, screen))
            second = wait_for(lambda: (lambda w: w if w and w[4] != first[4] else None)(window()), 60, interval=0.5)
            check(second is not None, "%s: a new mibo process took over: %s" % (mode, second))
            check(second[:4] == (0, 0, width, height), "%s: its window covers the new screen: %s" % (mode, second[:4]))
        finally:
            stop.set()
            for loop in loops:
                loop.join()
        time.sleep(3)  # the last second starts leave
        count = on_desktop("instances")
        check(count == "1", "%s: exactly one character window (%s)" % (mode, count))
        third = window()
        check(third is not None and third[4] == second[4], "%s: it stays, no restart without a change (%s)"
              % (mode, third))
        first = third
    on_desktop("close")
    check(wait_for(lambda: window() is None, 60, interval=0.5) is not None, "WM_CLOSE ends the restarted program")
finally:
    on_desktop("close")
    try:
        desktop.wait(timeout=30)
    except subprocess.TimeoutExpired:
        desktop.kill()
        desktop.wait(timeout=30)
    # The wineserver keeps the changed mode for the whole session, also outside the virtual desktop: the tests
    # after this one would see a screen smaller than the display. A new server starts with the display's own size.
    run(["wineserver", "-k"])
    run(["wineserver", "-w"])
