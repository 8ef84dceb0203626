"""A figure can be dragged with the mouse: it follows the cursor while the button is held, and carries on by itself
after the release."""
import time

from mibo_e2e import Mibo, check, fail, reg_store, run, shape_extents, windows_on_root


def xdotool(*args):
    run(["xdotool", *[str(a) for a in args]])


def follows(window_id, point, seconds=1.5, tolerance=45):
    """The shape's extents (x, y, w, h) once they are centred on the point, or None. The X server's copy of the
    shape is read in milliseconds, fast enough to watch the figure frame by frame."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        e = shape_extents(window_id)
        if e and e[3] >= 30 and abs(e[0] + e[2] // 2 - point[0]) <= tolerance \
                and abs(e[1] + e[3] // 2 - point[1]) <= tolerance:
            return e
        time.sleep(0.05)
    return None


reg_store({"funlevel": 5})

with Mibo() as mibo:
    check(mibo.wait_window(60), "mibo runs")
    mibo.wait_shape(30)
    window_id = windows_on_root()[0][0]

    # A figure held in the air may end its scene and drop out of the grip (a walk that finds no ground falls),
    # so the whole drag is tried again when it does.
    held = None
    for attempt in range(20):
        first = shape_extents(window_id)
        time.sleep(0.1)
        extents = shape_extents(window_id)
        if not first or not extents or extents[3] < 30 or extents[2] > 260:
            time.sleep(0.5)
            continue
        # The press reaches the figure a frame or two later: aim at the middle of its body where it will be.
        x, y, w, h = extents
        ahead_x = (x - first[0]) * 8 // 10
        ahead_y = (y - first[1]) * 8 // 10
        xdotool("mousemove", x + w // 2 + ahead_x, y + (h * 2) // 5 + ahead_y, "mousedown", 1)
        time.sleep(0.2)
        xdotool("mousemove", 300, 250)
        at_first = follows(window_id, (300, 250))
        xdotool("mousemove", 700, 200)
        at_second = follows(window_id, (700, 200)) if at_first else None
        if mibo.process.poll() is not None:
            fail("mibo.exe ended during the drag")
        print("attempt %d: aimed from %s, at (300, 250): %s, at (700, 200): %s" % (attempt, extents, at_first, at_second),
              flush=True)
        if at_second:
            held = (at_first, at_second)
            break
        xdotool("mouseup", 1)
        time.sleep(0.5)

    check(held is not None, "a pressed figure follows the cursor to (300, 250) and on to (700, 200): %s" % (held,))
    xdotool("mouseup", 1)
    xdotool("mousemove", 5, 5)
    released_at = held[1]
    moved = None
    for _ in range(40):
        time.sleep(0.2)
        now = shape_extents(window_id)
        if now and now != released_at:
            moved = now
            break
    check(moved is not None, "after the release the figure carries on by itself (%s, then %s)" % (released_at, moved))
    check(mibo.process.poll() is None, "the program still runs")
    check(mibo.close() == 1, "and closes with 1")
