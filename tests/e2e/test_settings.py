"""The three stored settings: written at WM_CLOSE, defaults in a fresh Wine prefix, "sound" 0 starts silent and stays
0, hand-edited values at their boundaries and beyond run without hanging."""
import os
import shutil
import tempfile
import time

from mibo_e2e import (Mibo, check, reg_delete_key, reg_query, reg_set, region_rects, remote, run)


def alsa_file_env(base_env, capture):
    """DirectSound under Wine opens when ALSA's default device writes to a file; everything mixed lands in it."""
    conf = capture + ".conf"
    with open(conf, "w") as out:
        out.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % capture)
    env = dict(base_env)
    env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:" + conf
    return env


def keeps_animating(env, seconds):
    """True when the window's shape keeps changing: the main loop is not stuck."""
    seen = set()
    deadline = time.time() + seconds
    while time.time() < deadline:
        seen.add(tuple(region_rects(env) or []))
        time.sleep(0.5)
    return len(seen) > 2


work = tempfile.mkdtemp(prefix="mibo-settings-")
fresh = dict(os.environ)
fresh["WINEPREFIX"] = os.path.join(work, "prefix")
try:
    # A fresh prefix: no key at all; after one run the three values hold the defaults.
    run(["wineboot", "-i"], timeout=300, env=fresh)
    check(reg_query("funlevel", fresh) is None, "a fresh prefix holds no settings")
    capture = os.path.join(work, "fresh.raw")
    fresh_sound = alsa_file_env(fresh, capture)
    with Mibo(env=fresh_sound) as mibo:
        check(mibo.wait_window(90), "mibo starts in the fresh prefix")
        time.sleep(3)
        check(mibo.close() == 1, "WM_CLOSE ends it with 1")
    values = [reg_query(name, fresh) for name in ("funlevel", "taskbar", "sound")]
    check(values == [5, 0, 1], "funlevel, taskbar, sound written with the defaults 5, 0, 1: %s" % values)
    check(os.path.exists(capture) and os.path.getsize(capture) > 0,
          "with sound on, the sound output was opened (%d bytes mixed)"
          % (os.path.getsize(capture) if os.path.exists(capture) else 0))
    # "sound" stored as 0: silent start, 0 stored again.
    reg_delete_key()
    reg_set("sound", 0)
    reg_set("funlevel", 5)
    capture = os.path.join(work, "silent.raw")
    with Mibo(env=alsa_file_env(os.environ, capture)) as mibo:
        check(mibo.wait_window(60), "mibo starts with sound 0")
        time.sleep(4)
        check(mibo.close() == 1, "and closes with 1")
    silent = not os.path.exists(capture) or os.path.getsize(capture) == 0
    check(silent, "it never opened the sound output")
    check(reg_query("sound") == 0, "and stored sound = 0 again (%s)" % reg_query("sound"))
    check([reg_query("funlevel"), reg_query("taskbar")] == [5, 0], "fun level and taskbar written too")

    # Hand-edited values at their boundaries and beyond, one start each (funlevel, taskbar, sound): the values are
    # used as stored, the program keeps running and closes normally, fun level and taskbar are stored back
    # unchanged, and any "sound" but 0 starts the sound output and is stored back as the mode it ran in.
    int_min, int_max = -(1 << 31), (1 << 31) - 1
    rows = [(int_min, -1, -1), (-1, 2, 2), (0, 3, 3), (6, int_max, int_max), (int_max, 0, 1), (9, 1, int_min)]
    for level, taskbar, sound in rows:
        name = "funlevel %d, taskbar %d, sound %d" % (level, taskbar, sound)
        reg_delete_key()
        reg_set("funlevel", level)
        reg_set("taskbar", taskbar)
        reg_set("sound", sound)
        capture = os.path.join(work, "row.raw")
        if os.path.exists(capture):
            os.remove(capture)
        with Mibo(env=alsa_file_env(os.environ, capture)) as mibo:
            check(mibo.wait_window(60), "mibo starts with " + name)
            for _ in range(3):
                remote("more")  # more figures, more choices of the next scene
            check(keeps_animating(None, 8), "with %s the figures keep moving" % name)
            check(mibo.close(timeout=60) == 1, "with %s WM_CLOSE still ends it with 1" % name)
        stored = [reg_query(n) for n in ("funlevel", "taskbar", "sound")]
        check(stored[:2] == [level, taskbar], "%s: fun level and taskbar stored back unchanged (%s)" % (name, stored))
        opened = os.path.exists(capture) and os.path.getsize(capture) > 0
        check(opened, "%s: the sound output was opened" % name)
        check(stored[2] == 1, "%s: stored back as sound 1, the mode it ran in (%s)" % (name, stored[2]))
finally:
    run(["wineserver", "-k"], env=fresh)  # the fresh prefix's own server; the test display's is stopped later
    shutil.rmtree(work, ignore_errors=True)
