"""Mibo steps aside while a full-screen window of another program is in front and while the session is locked: the
character window loses its shape; the figures come back within 2 s of the cause going away. While locked, the
settings dialog still opens from the tray."""
import subprocess
import tempfile
import time

from mibo_e2e import (REMOTE, SCREEN, Mibo, bounding_box, check, reg_delete_key, reg_set, region_rects, remote,
                      wait_for)

reg_delete_key()
reg_set("funlevel", 5)  # at fun level 5 no pause out of sight hides the figures


def empty_shape():
    return region_rects() == []


def back_on_screen():
    """The shape's bounding box when the window has one again and it reaches onto the screen, else None."""
    rects = region_rects()
    box = bounding_box(rects)
    if box and box[0] < SCREEN[0] and box[2] > 0 and box[1] < SCREEN[1] and box[3] > 0:
        return box
    return None


def timed_return(since, what):
    box = wait_for(back_on_screen, 10, interval=0.05)
    took = time.time() - since
    check(box is not None, "%s: the figures show again on the screen, box %s" % (what, box))
    # Each look from outside starts a Wine process (a few tenths of a second), counted in here as well.
    check(took <= 2.5, "%s: back within 2 s (%.2f s including the look from outside)" % (what, took))


with Mibo() as mibo:
    check(mibo.wait_window(60), "the character window appears")
    check(bool(mibo.wait_shape(60)), "the figure shows")
    check(remote("more", "2")[0] == 0, "two more figures asked for")

    # A film or a game of another program over the whole screen, in front for 6 s.
    with tempfile.TemporaryFile() as out:
        popup = subprocess.Popen(["wine", REMOTE, "fullscreen", "6"], stdout=out, stderr=subprocess.DEVNULL)
        started = time.time()
        check(wait_for(empty_shape, 6, interval=0.2), "full screen in front: the window's shape is empty (%.1f s)"
              % (time.time() - started))
        time.sleep(1.5)
        check(empty_shape(), "full screen in front: still no shape 1.5 s later")
        popup.wait(timeout=30)
        gone = time.time()
        out.seek(0)
        said = out.read().decode(errors="replace")
        check("shown 1" in said and "gone" in said, "the full-screen window was in front, then closed: %r" % said)
    timed_return(gone, "full screen gone")

    # The session locked, then unlocked, as the session service tells the window.
    check(remote("session", "7")[0] == 0, "WM_WTSSESSION_CHANGE WTS_SESSION_LOCK sent")
    check(wait_for(empty_shape, 2, interval=0.1), "locked: the window's shape is empty")
    check(remote("tray", "0x201")[0] == 0, "a click on the tray icon while locked")
    check(wait_for(lambda: remote("dialog")[1].startswith("dialogs 1"), 20, interval=0.5),
          "the settings dialog opens while aside")
    check(remote("dialogclose")[0] == 0, "the dialog is closed")
    check(wait_for(lambda: remote("dialog")[1].startswith("dialogs 0"), 20, interval=0.5), "the dialog is gone")
    check(empty_shape(), "locked: still no shape after the dialog")
    check(remote("session", "8")[0] == 0, "WM_WTSSESSION_CHANGE WTS_SESSION_UNLOCK sent")
    timed_return(time.time(), "unlocked")

    check(mibo.close() == 1, "WM_CLOSE ends mibo.exe with exit code 1")
