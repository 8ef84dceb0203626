"""A figure can be dragged with the mouse: it follows the cursor while the button is held, and carries on by itself
after the release."""
import time

from mibo_e2e import (Mibo, check, components, fail, reg_delete_key, reg_set, region_rects, run, shape_extents,
                      windows_on_root)


def centre(box):
    return ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2)


def xdotool(*args):
    run(["xdotool", *[str(a) for a in args]])


def figure_near(point, tolerance):
    """The figure-sized outline group whose centre is within `tolerance` of the point, if any."""
    for box in components(region_rects() or []):
        c = centre(box)
        if abs(c[0] - point[0]) <= tolerance and abs(c[1] - point[1]) <= tolerance and box[3] - box[1] >= 30:
            return box
    return None


reg_delete_key()
reg_set("funlevel", 5)

with Mibo() as mibo:
    check(mibo.wait_window(60), "mibo runs")
    mibo.wait_shape(30)

    window_id = windows_on_root()[0][0]
    grabbed = False
    for attempt in range(12):
        # The X server's own copy of the shape is read in milliseconds, but the press reaches the figure a frame
        # or two later: aim at the middle of its body where it will be by then, from its speed over 100 ms.
        first = shape_extents(window_id)
        time.sleep(0.1)
        extents = shape_extents(window_id)
        if not first or not extents or extents[3] < 30 or extents[2] > 200:
            time.sleep(0.5)
            continue
        x, y, w, h = extents
        ahead_x = (x - first[0]) * 8 // 10
        ahead_y = (y - first[1]) * 8 // 10
        xdotool("mousemove", x + w // 2 + ahead_x, y + (h * 2) // 5 + ahead_y, "mousedown", 1)
        time.sleep(0.5)
        xdotool("mousemove", 300, 250)
        if mibo.process.poll() is not None:
            fail("mibo.exe ended during the drag")
        held = None
        for _ in range(6):
            held = figure_near((300, 250), 30)
            if held:
                break
            time.sleep(0.3)
        if held:
            grabbed = True
            break
        xdotool("mouseup", 1)
        time.sleep(0.5)

    check(grabbed, "a pressed figure follows the cursor to (300, 250)")
    xdotool("mousemove", 700, 200)
    time.sleep(0.3)
    followed = None
    for _ in range(10):
        followed = figure_near((700, 200), 30)
        if followed:
            break
        time.sleep(0.3)
    check(followed is not None, "and on to (700, 200) while the button is held: %s" % (followed,))

    xdotool("mouseup", 1)
    released_at = followed
    moved = False
    for _ in range(20):
        time.sleep(0.4)
        now = figure_near((700, 200), 30)
        if now != released_at:
            moved = True
            break
    check(moved, "after the release the figure carries on by itself (it left %s)" % (released_at,))
    xdotool("mousemove", 5, 5)
    check(mibo.process.poll() is None, "the program still runs")
    check(mibo.close() == 1, "and closes with 1")
