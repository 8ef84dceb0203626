"""A change of the screen size ends the program, which starts itself again with the same command line and fits the
new screen. The test display cannot change its mode, so this runs inside a Wine virtual desktop, whose size
ChangeDisplaySettings can change."""
import os
import subprocess
import tempfile
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


reg_store({"funlevel": 5})
desktop = subprocess.Popen(["wine", "explorer", "/desktop=" + DESKTOP, EXE], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
try:
    time.sleep(5)  # the desktop is made by the first explorer; a second one asking meanwhile can stall
    first = wait_for(window, 60, interval=0.5)
    check(first is not None and first[:4] == (0, 0, 800, 600),
          "mibo runs on the 800x600 virtual desktop and covers it: %s" % (first,))
    changed = on_desktop("mode", "640", "480")
    check(changed == "0", "the display mode changes to 640x480 (%r)" % changed)
    check(on_desktop("screen") == "640 480", "the screen is now 640x480")
    second = wait_for(lambda: (lambda w: w if w and w[4] != first[4] else None)(window()), 60, interval=0.5)
    check(second is not None, "a new mibo process took over: %s" % (second,))
    check(second[:4] == (0, 0, 640, 480), "its window covers the new screen: %s" % (second[:4],))
    time.sleep(2)
    third = window()
    check(third is not None and third[4] == second[4], "it stays: no restart without a change (%s)" % (third,))
    on_desktop("close")
    check(wait_for(lambda: window() is None, 60, interval=0.5) is not None, "WM_CLOSE ends the restarted program")
finally:
    on_desktop("close")
    try:
        desktop.wait(timeout=30)
    except subprocess.TimeoutExpired:
        desktop.kill()
        desktop.wait(timeout=30)
    # The wineserver keeps the 640x480 mode for the whole session, also outside the virtual desktop: the tests
    # after this one would see a screen smaller than the display. A new server starts with the display's own size.
    run(["wineserver", "-k"])
    run(["wineserver", "-w"])
