"""Two monitors side by side, of different heights: 1024x768 at (0, 0), the primary, and 1280x1024 at (1024, 0).
The character window covers the desk (2304x1024); figures walk on both floors (y 768 on the first, y 1024 on the
second) and cross from one monitor to the other; nothing stays in the gap below the smaller monitor; the settings
dialog and the tray icon work; "allScreens" 0 keeps the figures on the primary screen, as with one monitor.

Xvfb cannot place two monitors side by side, so a nested Xephyr with Xinerama runs inside an Xvfb of this test's
own, and Wine's X11 driver reads Xinerama instead of RandR (UseXRandR N, set before the wineserver starts). The
value goes again and the session ends afterwards, so the tests after this one see the plain test display."""
import os
import time

from mibo_e2e import (BACKDROP_COLOUR, KEY, Mibo, check, components, end_wine_session, fail, open_backdrop,
                      reg_store, reg_values, region_rects, remote, run, start_server, wait_for)

LEFT = (0, 0, 1024, 768)
RIGHT = (1024, 0, 2304, 1024)
DESK = (0, 0, 2304, 1024)
GAP = (0, 768, 1024, 1024)
X11_KEY = r"HKCU\Software\Wine\X11 Driver"
WATCH = 75  # seconds of watching the figures
STAY = 2.0  # seconds a figure may spend in the gap
WM_LBUTTONDOWN = 0x0201


def stop(server):
    server.kill()
    server.wait(timeout=30)


def overlaps(box, area):
    return box[0] < area[2] and area[0] < box[2] and box[1] < area[3] and area[1] < box[3]


def watch(seconds):
    """Looks at the shape for `seconds`: the floors figures were seen standing on (by monitor), whether one was seen
    over both monitors at once, and the longest a figure stayed in the gap (figures keyed by where they stand,
    to 16 px, so that one standing still is followed through its pictures)."""
    floors, crossed, in_gap, longest = set(), False, {}, 0.0
    deadline = time.time() + seconds
    while time.time() < deadline:
        rects = region_rects() or []
        now = time.time()
        seen_in_gap = set()
        for box in components(rects):
            if box[2] - box[0] > 300:
                continue  # figures that touch merge into one box; such a box says nothing of where each stands
            if box[3] == 768 and box[2] <= 1024:
                floors.add("left")
            if box[3] == 1024 and box[0] >= 1024:
                floors.add("right")
            crossed = crossed or (box[0] < 1024 < box[2] and box[3] <= 768)
            if any(overlaps(r, GAP) for r in rects if overlaps(r, box)):
                key = ((box[0] + box[2]) // 32, box[3] // 16)
                seen_in_gap.add(key)
                in_gap.setdefault(key, now)
                longest = max(longest, now - in_gap[key])
        in_gap = {key: since for key, since in in_gap.items() if key in seen_in_gap}
        time.sleep(0.3)
    return floors, crossed, longest


def window_rect():
    fields = remote("find")[1].split()
    return tuple(int(v) for v in fields[1:5])


end_wine_session()  # the test display's session: this test's session starts on the nested server
xvfb, outer = start_server(["Xvfb", "-screen", "0", "2400x1100x24", "-nolisten", "tcp"])
test_display = os.environ.get("DISPLAY")
xephyr = None
try:
    os.environ["DISPLAY"] = outer
    xephyr, nested = start_server(["Xephyr", "+xinerama", "-screen", "1024x768", "-origin", "1024,0", "-screen",
                                   "1280x1024", "-nolisten", "tcp"])
    os.environ["DISPLAY"] = nested
    run(["wine", "reg", "add", X11_KEY, "/v", "UseXRandR", "/d", "N", "/f"])
    end_wine_session()  # the X11 driver reads it when the session starts
    reg_store({"funlevel": 5})  # at fun level 5 no pause out of sight hides a figure for long
    opened = open_backdrop(BACKDROP_COLOUR, DESK[2], DESK[3])
    if opened is None:
        fail("cannot open the nested display for the backdrop")

    with Mibo() as mibo:
        check(mibo.wait_window(90), "mibo runs on a desk of two monitors")
        check(window_rect() == DESK, "its window covers the desk: %s" % (window_rect(),))
        check(mibo.wait_shape(60), "the window is shaped to the figures' outlines")
        remote("more", "5")  # new figures appear on one monitor after the other
        floors, crossed, longest = watch(WATCH)
        check(floors == {"left", "right"}, "figures walk on both floors, y 768 and y 1024: %s" % sorted(floors))
        check(crossed, "a figure is seen over both monitors, crossing from one to the other")
        check(longest <= STAY, "no figure stays in the gap below the smaller monitor more than %g s: %.1f s"
              % (STAY, longest))

        remote("tray", str(WM_LBUTTONDOWN))
        check(wait_for(lambda: remote("dialog")[0] == 0, 20), "the tray icon opens the settings dialog")
        remote("dialogclose")
        check(wait_for(lambda: remote("dialog")[0] != 0, 20), "the dialog closes")
        check(remote("trayicon")[0] == 0, "the tray icon is there")
        check(mibo.close() == 1, "WM_CLOSE ends mibo.exe with exit code 1")
    check(reg_values("allScreens") == [1], "allScreens is stored as 1, the default")

    reg_store({"funlevel": 5, "allScreens": 0})
    with Mibo() as mibo:
        check(mibo.wait_window(90), "mibo runs with allScreens 0")
        check(window_rect() == LEFT, "its window covers the primary screen only: %s" % (window_rect(),))
        remote("more", "3")
        floors, _, _ = watch(20)
        check(floors == {"left"}, "figures walk on the primary screen's floor only: %s" % sorted(floors))
        check(mibo.close() == 1, "WM_CLOSE ends mibo.exe with exit code 1")
    check(reg_values("allScreens") == [0], "allScreens 0 is stored back")
    opened[0].XCloseDisplay(opened[1])
finally:
    run(["wine", "reg", "delete", KEY, "/v", "allScreens", "/f"])  # the default again for what runs next
    run(["wine", "reg", "delete", X11_KEY, "/v", "UseXRandR", "/f"])
    end_wine_session()
    if xephyr is not None:
        stop(xephyr)
    stop(xvfb)
    if test_display is None:
        del os.environ["DISPLAY"]
    else:
        os.environ["DISPLAY"] = test_display
