"""At 192 dpi the figures are drawn twice as large, pixel for pixel: on a 2048x1536 screen every rectangle of the
window's shape has even coordinates, every 2x2 square of a figure is one colour (the screenshot equals itself shrunk
by half and enlarged again, nearest-neighbour), and a walking figure stands on the bottom of the screen and on the
top edge of another window.

The test display is 1024x768, so this runs on a second Xvfb of its own, in a Wine session started for it with the
prefix's LogPixels at 192; afterwards LogPixels goes and the session ends, so the tests after this one see 96 dpi."""
import os
import subprocess
import time

from mibo_e2e import (BACKDROP_COLOUR, REMOTE, Mibo, check, components, end_wine_session, fail, open_backdrop,
                      reg_store, region_rects, remote, run, screenshot, start_server, tray_windows, wait_for)

BIG = (2048, 1536)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
LEDGE = (600, 1000, 1448, 1100)  # a window to land on, below the centre where new figures appear


def uneven(rects):
    return [r for r in rects if any(v % 2 for v in r)]


def broken_squares(shot, rects, ignored):
    """2x2 squares inside the shape whose four pixels differ, and the shape's pixels that are not the backdrop."""
    width, _, rgb = shot
    broken = figure = 0
    for left, top, right, bottom in rects:
        if any(l < right and left < r and t < bottom and top < b for l, t, r, b in ignored):
            continue
        for y in range(max(top, 0), min(bottom, BIG[1]), 2):
            for x in range(max(left, 0), min(right, BIG[0]), 2):
                i = (y * width + x) * 3
                below = i + width * 3
                square = {rgb[i:i + 3], rgb[i + 3:i + 6], rgb[below:below + 3], rgb[below + 3:below + 6]}
                broken += len(square) > 1
                figure += 4 * (rgb[i:i + 3] != bytes(BACKDROP_COLOUR))
    return broken, figure


def walks_on(row, seconds):
    """Waits for a figure whose outline ends on screen row `row` to be seen at two places; checks every shape seen
    meanwhile for even coordinates. Returns the two places' boxes, or None."""
    seen = {}
    deadline = time.time() + seconds
    while time.time() < deadline:
        rects = region_rects() or []
        if uneven(rects):
            fail("a rectangle of the shape has an odd coordinate: %s" % uneven(rects)[:5])
        for box in components(rects):
            if box[3] == row and box[2] - box[0] < 300:
                seen.setdefault(box[0], box)
        if len(seen) >= 2:
            return sorted(seen.values())[:2]
        time.sleep(0.25)
    return None


end_wine_session()  # the test display's session: this test's session starts on the big display
xvfb, display = start_server(["Xvfb", "-screen", "0", "%dx%dx24" % BIG, "-nolisten", "tcp"])
test_display = os.environ.get("DISPLAY")
os.environ["DISPLAY"] = display
ledge = None
try:
    run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "192", "/f"])
    reg_store({"funlevel": 5})  # at fun level 5 no pause out of sight hides the figure
    opened = open_backdrop(BACKDROP_COLOUR, BIG[0], BIG[1])
    if opened is None:
        fail("cannot open the big display for the backdrop")
    with Mibo() as mibo:
        check(mibo.wait_window(90), "mibo runs on the 2048x1536 screen at 192 dpi")
        fields = remote("find")[1].split()
        check([int(v) for v in fields[1:5]] == [0, 0, BIG[0], BIG[1]], "its window covers the whole screen: %s"
              % fields[1:5])
        check(mibo.wait_shape(60), "the window is shaped to the figures' outlines")

        # Frozen, the shape and the pixels are one frame; the backdrop inside a shape just set is one colour too.
        with mibo.frozen():
            rects = region_rects()
            shot = screenshot()
        broken, figure = broken_squares(shot, rects, tray_windows())
        print("shape of %d rectangles, %d figure pixels" % (len(rects), figure), flush=True)
        check(not uneven(rects), "every rectangle of the shape has even coordinates: %s" % uneven(rects)[:5])
        check(figure > 0, "the shape holds a figure's pixels")
        check(broken == 0, "every 2x2 square of the figures is one colour: %d are not" % broken)

        on_bottom = walks_on(BIG[1], 60)
        check(on_bottom is not None, "a figure walks on the bottom of the screen: %s" % (on_bottom,))

        ledge = subprocess.Popen(["wine", REMOTE, "window", "300", *[str(v) for v in LEDGE]],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)
        remote("more", "4")  # new figures appear at the centre, above the window, and fall onto it
        on_ledge = walks_on(LEDGE[1], 90)
        check(on_ledge is not None, "a figure walks on the top edge of the window at y %d: %s" % (LEDGE[1], on_ledge))
        check(all(LEDGE[0] - 300 < box[0] < LEDGE[2] for box in on_ledge), "and stays over that window: %s"
              % (on_ledge,))
        check(mibo.close() == 1, "WM_CLOSE ends mibo.exe with exit code 1")
    opened[0].XCloseDisplay(opened[1])
finally:
    if ledge is not None:
        ledge.kill()
        ledge.wait(timeout=30)
    run(["wine", "reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f"])
    end_wine_session()
    if test_display is None:
        del os.environ["DISPLAY"]
    else:
        os.environ["DISPLAY"] = test_display
    xvfb.kill()
    xvfb.wait(timeout=30)
