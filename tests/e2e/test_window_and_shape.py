"""The character window appears with its class, covers the screen, is cut to the figures' outlines, shows the
figures only inside that shape, leaves no trail behind a moving figure, and WM_CLOSE ends the program with 1."""
import time

from mibo_e2e import (SCREEN, Backdrop, Mibo, bounding_box, check, compare_with_backdrop, reg_store, region_rects,
                      remote, screenshot, shape_extents, windows_on_root)

reg_store({"funlevel": 5})  # at fun level 5 no pause out of sight hides the figure

with Backdrop(), Mibo() as mibo:
    check(mibo.wait_window(60), "the window of class \"Rida Mibo 1999\" + \"17989126331\" appears")
    code, found = remote("find")
    fields = found.split()
    check([int(v) for v in fields[1:6]] == [0, 0, SCREEN[0], SCREEN[1], 1],
          "it covers the whole screen and is visible: %s" % found.strip())
    on_root = windows_on_root()
    check(len(on_root) == 1 and on_root[0][1:] == (SCREEN[0], SCREEN[1], 0, 0),
          "X sees one window titled \"Rida Mibo 1999\", 1024x768+0+0: %s" % on_root)

    rects = mibo.wait_shape(60)
    check(bool(rects), "the window is shaped to non-empty outlines")
    box = bounding_box(rects)
    area = sum((r - l) * (b - t) for l, t, r, b in rects)
    check(box[0] < SCREEN[0] and box[2] > 0 and box[1] < SCREEN[1] and box[3] > 0 and area < SCREEN[0] * SCREEN[1] // 20,
          "the outlines lie on the screen and cover a small part of it: box %s, %d pixels" % (box, area))
    extents = shape_extents(on_root[0][0])
    check(extents is not None and extents[2] > 0 and extents[3] > 0 and extents[2] < SCREEN[0],
          "the X window carries the shape: extents %s" % (extents,))

    # At least five frames, and more while the figures stand still (a scene may hold a pose for seconds), so that
    # frames of a moving figure are among them.
    boxes = []
    for sample in range(15):
        if sample >= 5 and len(set(boxes)) > 1:
            break
        # A frame sets the new shape first and then paints into it, so a stop can fall between the two (more
        # often on a loaded machine): such a read is taken again; a lasting mismatch still fails below.
        for attempt in range(4):
            with mibo.frozen():
                rects = region_rects()
                shot = screenshot()
            black, outside, inside_backdrop = compare_with_backdrop(shot, rects)
            area = sum((r - l) * (b - t) for l, t, r, b in rects)
            if outside == 0 and black == 0 and inside_backdrop <= area // 50:
                break
            print("frame %d: caught between shape and paint (%d outside, %d backdrop inside), read again"
                  % (sample, outside, inside_backdrop), flush=True)
            time.sleep(0.13)
        boxes.append(bounding_box(rects))
        print("frame %d: box %s, %d shape pixels, %d black, %d outside, %d backdrop inside"
              % (sample, boxes[-1], area, black, outside, inside_backdrop), flush=True)
        check(area > 0, "frame %d: the shape is not empty" % sample)
        check(outside == 0, "frame %d: nothing of Mibo shows outside the window's shape" % sample)
        check(black == 0, "frame %d: no black trail of the remembered background anywhere" % sample)
        check(inside_backdrop <= area // 50, "frame %d: the shape holds the figure's pixels, not the desktop" % sample)
        time.sleep(0.7)
    check(len(set(boxes)) > 1, "the figures moved between the samples: %s" % boxes)

    check(mibo.close() == 1, "WM_CLOSE ends mibo.exe with exit code 1")
