"""The three stored settings: written at WM_CLOSE, defaults in a fresh Wine prefix, "sound" 0 starts silent and stays
0, hand-edited values at their boundaries and beyond run without hanging.
Everything but the fresh prefix runs in the test display's one Wine session; the fresh prefix is made meanwhile."""
import os
import shutil
import subprocess
import tempfile
import time

from mibo_e2e import Mibo, check, reg_store, reg_values, region_rects, remote, run, wait_for

SETTINGS = ("funlevel", "taskbar", "sound")


def alsa_file_env(base_env, capture):
    """DirectSound under Wine opens when ALSA's default device writes to a file; everything mixed lands in it."""
    conf = capture + ".conf"
    with open(conf, "w") as out:
        out.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % capture)
    env = dict(base_env)
    env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:" + conf
    return env


def keeps_animating(env, seconds):
    """True when the window's shape takes three different forms within the time: the main loop is not stuck."""
    seen = set()

    def changed():
        seen.add(tuple(region_rects(env) or []))
        return len(seen) > 2
    return bool(wait_for(changed, seconds, interval=0.5))


def mixed(capture):
    return os.path.getsize(capture) if os.path.exists(capture) else 0


work = tempfile.mkdtemp(prefix="mibo-settings-")
fresh = dict(os.environ)
fresh["WINEPREFIX"] = os.path.join(work, "prefix")
booting = None
try:
    # The fresh prefix takes the longest to make (wineboot): it is made while the rest runs in the test's prefix,
    # and its server waits for the fresh start at the end (a new session would cost seconds again).
    os.makedirs(fresh["WINEPREFIX"])
    run(["wineserver", "-p300"], env=fresh)
    booting = subprocess.Popen(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=fresh)

    # "sound" stored as 0: silent start, 0 stored again.
    reg_store({"sound": 0, "funlevel": 5})
    capture = os.path.join(work, "silent.raw")
    with Mibo(env=alsa_file_env(os.environ, capture)) as mibo:
        check(mibo.wait_window(60), "mibo starts with sound 0")
        time.sleep(4)
        check(mibo.close() == 1, "and closes with 1")
    check(mixed(capture) == 0, "it never opened the sound output")
    stored = reg_values(*SETTINGS)
    check(stored[2] == 0, "and stored sound = 0 again (%s)" % stored[2])
    check(stored[:2] == [5, 0], "fun level and taskbar written too (%s)" % stored[:2])

    # Hand-edited values at their boundaries and beyond, one start each (funlevel, taskbar, sound): the values are
    # used as stored, the program keeps running and closes normally, fun level and taskbar are stored back
    # unchanged, and any "sound" but 0 starts the sound output and is stored back as the mode it ran in.
    int_min, int_max = -(1 << 31), (1 << 31) - 1
    rows = [(int_min, -1, -1), (-1, 2, 2), (0, 3, 3), (6, int_max, int_max), (int_max, 0, 1), (9, 1, int_min)]
    for level, taskbar, sound in rows:
        name = "funlevel %d, taskbar %d, sound %d" % (level, taskbar, sound)
        reg_store(dict(zip(SETTINGS, (level, taskbar, sound))))
        capture = os.path.join(work, "row.raw")
        if os.path.exists(capture):
            os.remove(capture)
        with Mibo(env=alsa_file_env(os.environ, capture)) as mibo:
            check(mibo.wait_window(60), "mibo starts with " + name)
            remote("more", "3")  # more figures, more choices of the next scene
            check(keeps_animating(None, 8), "with %s the figures keep moving" % name)
            check(wait_for(lambda: mixed(capture) > 0, 10), "%s: the sound output was opened" % name)
            check(mibo.close(timeout=60) == 1, "with %s WM_CLOSE still ends it with 1" % name)
        stored = reg_values(*SETTINGS)
        check(stored[:2] == [level, taskbar], "%s: fun level and taskbar stored back unchanged (%s)" % (name, stored))
        check(stored[2] == 1, "%s: stored back as sound 1, the mode it ran in (%s)" % (name, stored[2]))

    # A fresh prefix: no key at all; after one run the three values hold the defaults.
    booting.wait(timeout=300)
    check(reg_values(*SETTINGS, env=fresh) == [None] * 3, "a fresh prefix holds no settings")
    capture = os.path.join(work, "fresh.raw")
    with Mibo(env=alsa_file_env(fresh, capture)) as mibo:
        check(mibo.wait_window(90), "mibo starts in the fresh prefix")
        wait_for(lambda: mixed(capture) > 0, 10)
        check(mibo.close() == 1, "WM_CLOSE ends it with 1")
    values = reg_values(*SETTINGS, env=fresh)
    check(values == [5, 0, 1], "funlevel, taskbar, sound written with the defaults 5, 0, 1: %s" % values)
    check(mixed(capture) > 0, "with sound on, the sound output was opened (%d bytes mixed)" % mixed(capture))
finally:
    if booting and booting.poll() is None:
        booting.kill()
        booting.wait()
    run(["wineserver", "-k"], env=fresh)  # the fresh prefix's own server; the test display's is stopped later
    shutil.rmtree(work, ignore_errors=True)
