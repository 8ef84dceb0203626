"""The settings dialog on the real program: the three ways to it, one dialog at a time, the figures standing still
meanwhile, the controls showing and applying the settings, the close box applying nothing, the taskbar and sound
switches, shutdown, the tray icon, and the dialog's loop leaving the processor and the program's exit alone."""
import os
import shutil
import tempfile
import time

from mibo_e2e import (Mibo, check, fail, reg_delete_key, reg_set, reg_store, reg_values, region_rects, remote, run,
                      wait_for)

WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN = 0x200, 0x201, 0x202, 0x204


def xdotool(*args):
    run(["xdotool", *[str(a) for a in args]])


def dialog_state():
    """(count, {id: (left, top, right, bottom, value)}) of the open settings dialogs."""
    code, out = remote("dialog")
    count, controls = 0, {}
    for line in out.splitlines():
        parts = line.split()
        if parts[:1] == ["dialogs"]:
            count = int(parts[1])
        elif parts[:1] == ["control"] and parts[1] != "65535":
            controls[int(parts[1])] = tuple(int(v) for v in parts[3:8])
        elif parts[:1] == ["control"] and parts[2] == "Static" and parts[7] == "1":
            controls["bitmap"] = tuple(int(v) for v in parts[3:8])
    return count, controls


def wait_dialog(count, timeout=10):
    return wait_for(lambda: dialog_state()[0] == count, timeout, interval=0.3)


def click(control, button=1):
    left, top, right, bottom = control[:4]
    xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", button)
    time.sleep(0.5)


def right_click_figure():
    """A right press inside the window's shape, tried until the dialog shows (the figure moves meanwhile). Tried
    for a minute: at fun level 1 a pause out of sight leaves no shape to press for up to 20 s."""
    deadline = time.time() + 60
    while time.time() < deadline:
        rects = region_rects()
        if rects:
            # The widest band: a walking figure moves 9 pixels a frame, so a narrow one has moved away by the
            # time the click lands.
            l, t, r, b = max(rects, key=lambda q: (q[2] - q[0], q[3] - q[1]))
            xdotool("mousemove", (l + r) // 2, (t + b) // 2, "click", 3)
            if wait_dialog(1, 3):
                return True
        time.sleep(0.3)
    return False


def ex_style():
    return int(remote("find")[1].split()[7], 16)


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def close_box():
    remote("dialogclose")
    check(wait_dialog(0), "the close box ends the dialog")


def still(seconds=1.5):
    first = region_rects()
    time.sleep(seconds)
    return first is not None and first == region_rects()


def moving(seconds=30):
    # Long enough for a pause out of sight (up to 20 s at fun level 1) or a scene that holds a pose to end.
    seen = set()
    deadline = time.time() + seconds
    while time.time() < deadline and len(seen) < 3:
        seen.add(tuple(region_rects() or []))
        time.sleep(0.3)
    return len(seen) >= 3


work = tempfile.mkdtemp(prefix="mibo-dialog-")
try:
    # 1. Stored fun level 0, sound on, not in the taskbar.
    reg_store({"funlevel": 0, "taskbar": 0})
    with Mibo() as mibo:
        check(mibo.wait_window(60) and mibo.wait_shape(30), "mibo runs")
        remote("more", "2")  # more figures to press; one pausing out of sight no longer leaves no shape at all
        check(right_click_figure(), "a right click on a figure opens the dialog \"Rida Mibo 1999\"")
        count, controls = dialog_state()
        check(controls.get(1012, (0,) * 5)[4] == 1, "stored fun level 0 shows as 1 (%s)" % (controls.get(1012),))
        check(controls[1013][4] == 1 and controls[1015][4] == 0, "sound ticked, taskbar clear")
        check("bitmap" in controls, "the balloon picture shows")
        for way in (lambda: right_click_figure(), lambda: remote("tray", str(WM_LBUTTONDOWN)),
                    lambda: remote("syscommand", "1")):
            way()
            time.sleep(1)
        check(dialog_state()[0] == 1, "a right click, a tray press and the menu item open no second dialog")
        check(still(), "the figures stand still while it is open")
        with open("/proc/%d/cmdline" % mibo.process.pid, "rb") as cmdline:
            check(b"mibo.exe" in cmdline.read(), "the process measured is mibo.exe")
        before = cpu_ticks(mibo.process.pid)
        time.sleep(10)
        used = (cpu_ticks(mibo.process.pid) - before) / os.sysconf("SC_CLK_TCK") / 10
        check(used < 0.10, "the open dialog keeps the program's CPU low: %.1f %% of a core over 10 s" % (used * 100))
        # The real controls: the slider by keyboard (Home, then two steps right), the taskbar box by mouse.
        click(controls[1012])
        xdotool("key", "Home", "Right", "Right")
        click(controls[1015])
        count, controls = dialog_state()
        check(controls[1012][4] == 3 and controls[1015][4] == 1, "slider at 3 and taskbar ticked with the real controls")
        check(ex_style() & 0x80, "a tool window before OK: not in the taskbar")
        click(controls[1])
        check(wait_dialog(0), "OK closes the dialog")
        check(not ex_style() & 0x80, "taskbar switched on: the window shows in the taskbar at once")
        check(moving(), "the figures move again")
        # The close box applies nothing.
        remote("tray", str(WM_RBUTTONDOWN))
        check(wait_dialog(1), "a right press on the tray icon opens it")
        count, controls = dialog_state()
        click(controls[1015])
        close_box()
        check(mibo.close() == 1, "WM_CLOSE ends it with 1")
    stored = reg_values("funlevel", "taskbar")
    check(stored == [3, 1], "fun level 3 and taskbar 1 stored after exit (%s)" % stored)

    # 2. Fun level 9, in the taskbar, sound into a file: the tray callback, sound off and on, shutdown.
    reg_set("funlevel", 9)
    capture = os.path.join(work, "sound.raw")
    conf = capture + ".conf"
    with open(conf, "w") as out:
        out.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % capture)
    env = dict(os.environ)
    env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:" + conf
    size = lambda: os.path.getsize(capture) if os.path.exists(capture) else 0
    with Mibo(env=env) as mibo:
        check(mibo.wait_window(60) and mibo.wait_shape(30), "mibo runs with sound into a file")
        window = remote("find")[1].split()[0]
        check(remote("trayicon")[0] == 0, "the tray icon is there")
        for mouse in (WM_MOUSEMOVE, WM_LBUTTONUP):
            remote("tray", str(mouse))
        time.sleep(1.5)
        check(dialog_state()[0] == 0, "a move or a release on the tray icon opens nothing")
        remote("tray", str(WM_LBUTTONDOWN))
        check(wait_dialog(1), "a left press on the tray icon opens the dialog")
        count, controls = dialog_state()
        check(controls[1012][4] == 5 and controls[1015][4] == 1, "stored fun level 9 shows as 5; taskbar ticked")
        click(controls[1013])
        click(controls[1015])
        click(controls[1])
        info = wait_for(lambda: remote("info")[1].strip().startswith("info ") and remote("info"), 10)
        check(info, "switching the taskbar off shows the \"info\" message")
        check(wait_dialog(0), "and the dialog closes")
        time.sleep(1)
        silent_from = size()
        time.sleep(2)
        check(size() == silent_from, "sound off: nothing more is played (%d bytes)" % size())
        remote("syscommand", "1")
        check(wait_dialog(1), "the system-menu command opens the dialog")
        count, controls = dialog_state()
        check(controls[1013][4] == 0, "sound shows as off")
        click(controls[1013])
        click(controls[1])
        check(wait_dialog(0), "OK")
        time.sleep(2)
        again = size()
        time.sleep(2)
        # The output file is started anew when sound opens again.
        check(again != silent_from and size() > again,
              "sound on again in a later opening: the output is open and plays again (%d, then %d bytes)"
              % (again, size()))
        remote("tray", str(WM_LBUTTONDOWN))
        check(wait_dialog(1), "opened once more")
        count, controls = dialog_state()
        click(controls[1010])
        try:
            code = mibo.process.wait(timeout=30)
        except Exception:
            fail("\"shutdown mibo\" did not end the program")
        check(code == 1, "\"shutdown mibo\" ends the program with exit code 1")
        check(remote("trayicon", window)[0] != 0, "no tray icon is left behind")
    stored = reg_values("funlevel", "taskbar", "sound")
    check(stored == [5, 0, 1], "shutdown applied and stored fun level 5, taskbar 0, sound 1 (%s)" % stored)

    # 3. Closed from outside while the dialog is open: the program still ends with 1 and writes its settings.
    reg_set("funlevel", 4)
    with Mibo() as mibo:
        check(mibo.wait_window(60), "mibo runs")
        reg_delete_key()
        remote("tray", str(WM_LBUTTONDOWN))
        check(wait_dialog(1), "dialog open")
        check(mibo.close(timeout=30) == 1, "WM_CLOSE while the dialog is open ends it with exit code 1")
    stored = reg_values("funlevel")
    check(stored == [4], "and the settings were written (%s)" % stored)

    # 4. Alt+F4 on the character window still ends the program; the end of the session writes the settings.
    with Mibo() as mibo:
        check(mibo.wait_window(60) and mibo.wait_shape(30), "mibo runs")
        remote("syscommand", str(0xF060))  # what Alt+F4 becomes
        try:
            code = mibo.process.wait(timeout=30)
        except Exception:
            fail("SC_CLOSE did not end the program")
        check(code == 1, "Alt+F4 (SC_CLOSE) ends the program with 1")
    reg_set("funlevel", 2)
    with Mibo() as mibo:
        check(mibo.wait_window(60), "mibo runs")
        reg_delete_key()
        check(remote("endsession")[0] == 0, "the session ends: the process is ended after WM_ENDSESSION")
        mibo.process.wait(timeout=30)
    # Without an audio device here sound plays through the fallback: mode 2.
    stored = reg_values("funlevel", "taskbar", "sound")
    check(stored[:2] == [2, 0] and stored[2] in (1, 2), "settings written at the end of the session (%s)" % stored)
finally:
    shutil.rmtree(work, ignore_errors=True)
