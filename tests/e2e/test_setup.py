"""The setup (tools/setup/mibo.nsi), run silently in a Wine prefix and a home folder of its own: a first install, a
reinstall asked to start Mibo and to start it at sign-in, an upgrade over the running Mibo, folders that cannot
hold the program, and the uninstall with Mibo running. Wine's menu builder is kept off, so the Start-menu
shortcut stays inside the prefix; the prefix and the home folder are removed at the end.
MIBO_SETUP is the setup of this build's mibo.exe; the older setup it upgrades is made here from the same script."""
import glob
import os
import shutil
import subprocess
import tempfile

from mibo_e2e import EXE, KEY, check, fail, reg_read, reg_store, region_rects, remote, run, wait_for

PRODUCT = "Rida Mibo 1999"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall" + "\\" + PRODUCT
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SETTINGS = {"funlevel": 2, "taskbar": 1, "sound": 0}
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
NEW_VERSION = "1.0.0"
OLD_VERSION = "0.9.0"


def setup(path, *options):
    """Runs a setup silently; returns (exit code, what it wrote on stderr)."""
    with tempfile.TemporaryFile() as errors:
        code = subprocess.run(["wine", path, "/S", *options], stdout=subprocess.DEVNULL, stderr=errors, env=env,
                              timeout=120).returncode
        errors.seek(0)
        return code, errors.read().decode(errors="replace")


def mibo_processes():
    """The command lines of the mibo.exe processes of this prefix (Wine shows a program's Windows path as its
    command line)."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            args = open("/proc/%s/cmdline" % pid, "rb").read().split(b"\0")[0].decode(errors="replace")
            ours = ("WINEPREFIX=" + prefix).encode() in open("/proc/%s/environ" % pid, "rb").read().split(b"\0")
        except OSError:
            continue
        if ours and args.lower().endswith("\\mibo.exe"):
            found.append(args)
    return found


def running_mibo():
    """(window handle, process id) of the character window, or None."""
    code, out = remote("find", env=env)
    return tuple(out.split()[i] for i in (0, 6)) if code == 0 else None


def menu_entries():
    """Files Wine's menu builder would have made in the home folder for the shortcut."""
    return [path for sub in (".local/share/applications", ".config/menus")
            for path in glob.glob(os.path.join(home, sub, "**", "*"), recursive=True)]


def program_folder():
    folders = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local", "Programs", PRODUCT))
    return folders[0] if folders else None


def shortcut():
    found = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                   "Start Menu", "Programs", PRODUCT + ".lnk"))
    return found[0] if found else None


def installed_bytes():
    folder = program_folder()
    path = os.path.join(folder, "mibo.exe") if folder else ""
    return open(path, "rb").read() if os.path.exists(path) else None


work = tempfile.mkdtemp(prefix="mibo-setup-")
prefix = os.path.join(work, "prefix")
home = os.path.join(work, "home")
env = dict(os.environ, WINEPREFIX=prefix, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local", "share"),
           XDG_CONFIG_HOME=os.path.join(home, ".config"))
# The menu builder would copy the Start-menu shortcut into the Linux desktop's menus, outside the prefix.
env["WINEDLLOVERRIDES"] = env.get("WINEDLLOVERRIDES", "") + ";winemenubuilder.exe=d"
try:
    os.makedirs(prefix)
    os.makedirs(home)
    run(["wineserver", "-p60"], env=env)
    booting = subprocess.Popen(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    # The older setup holds a program of other bytes (a trailer after the image), so the upgrade's files are known.
    older_program = os.path.join(work, "mibo.exe")
    with open(older_program, "wb") as out:
        out.write(open(EXE, "rb").read() + b"\0an older build\0")
    older_setup = os.path.join(work, "older-setup.exe")
    machine = "amd64" if os.environ.get("WINEARCH") == "win64" else "x86"
    subprocess.run([os.path.join(ROOT, "tools", "setup", "make-setup.sh"), machine, OLD_VERSION, older_program,
                    older_setup], check=True, stderr=subprocess.DEVNULL, timeout=120)
    new_setup = os.environ["MIBO_SETUP"]
    if not os.path.exists(new_setup):
        fail("no setup at %s: tools/package.sh makes it" % new_setup)
    booting.wait(timeout=300)
    # No window manager on the test display: unmanaged windows go at once (tools/with-display.sh does the same).
    run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"], env=env)

    # 1. A first silent install: program, shortcut and uninstall entry; no Run value, nothing started.
    check(setup(older_setup)[0] == 0, "the older setup installs silently")
    check(installed_bytes() == open(older_program, "rb").read(),
          "mibo.exe is in the user's local programs folder: %s" % program_folder())
    link = shortcut()
    check(link is not None and "mibo.exe".encode("utf-16-le") in open(link, "rb").read(),
          "the Start-menu shortcut points at mibo.exe")
    entry = reg_read(UNINSTALL_KEY, env=env) or {}
    folder = entry.get("InstallLocation", "")
    expected = {"DisplayName": PRODUCT, "DisplayVersion": OLD_VERSION, "Publisher": "Nortavo",
                "DisplayIcon": '"%s\\mibo.exe",0' % folder, "UninstallString": '"%s\\uninstall.exe"' % folder}
    check({name: entry.get(name) for name in expected} == expected and folder.endswith(r"\Programs" "\\" + PRODUCT),
          "the uninstall entry: %s" % entry)
    check(entry.get("EstimatedSize", 0) * 1024 >= os.path.getsize(older_program), "with the size in KB")
    check(PRODUCT not in (reg_read(RUN_KEY, env=env) or {}), "no Run value when the sign-in start is not asked for")
    check(not mibo_processes(), "a silent install starts nothing unless asked")

    # 2. Asked for both: the Run value, and Mibo started from the installed place with a figure on the screen.
    reg_store(SETTINGS, env=env)
    check(setup(older_setup, "/SIGNIN=1", "/START")[0] == 0, "reinstalls with /SIGNIN=1 /START")
    run_value = '"%s\\mibo.exe"' % folder
    check((reg_read(RUN_KEY, env=env) or {}).get(PRODUCT) == run_value, "the Run value is %s" % run_value)
    check(wait_for(lambda: region_rects(env), 60), "Mibo shows a figure")
    before = running_mibo()
    processes = mibo_processes()
    check(len(processes) == 1 and processes[0].endswith(folder + "\\mibo.exe"),
          "the one mibo.exe runs from the installed place: %s" % processes)

    # 3. The newer setup over the running Mibo: closed, replaced, started again; the choices and settings kept.
    check(setup(new_setup)[0] == 0, "the newer setup installs over the running Mibo")
    check(installed_bytes() == open(EXE, "rb").read(), "mibo.exe is the new build's (else run tools/package.sh)")
    check(wait_for(lambda: region_rects(env), 60), "Mibo shows a figure again")
    after = running_mibo()
    check(after is not None and after[0] != before[0] and after[1] != before[1],
          "a new Mibo runs (window, process %s before, %s after)" % (before, after))
    check(remote("instances", env=env)[1].strip() == "1" and len(mibo_processes()) == 1, "one Mibo, not two")
    check((reg_read(UNINSTALL_KEY, env=env) or {}).get("DisplayVersion") == NEW_VERSION,
          "the uninstall entry has the new version " + NEW_VERSION)
    check((reg_read(RUN_KEY, env=env) or {}).get(PRODUCT) == run_value, "the sign-in start is kept")
    stored = reg_read(KEY, env=env) or {}
    check({name: stored.get(name) for name in SETTINGS} == SETTINGS, "the settings are unchanged: %s" % stored)

    # 4. Folders that cannot hold the program: exit code 2, the reason on stderr, nothing changed, Mibo running.
    # (No spaces: NSIS wants /D= unquoted and last, and Wine quotes an argument with spaces.)
    blocker = os.path.join(work, "a-file")
    open(blocker, "w").close()
    windows_work = "Z:" + work.replace("/", "\\")
    rows = [("a file in the way", windows_work + r"\a-file\Mibo", "cannot be created"),
            ("a read-only folder", r"Z:\proc", "is read-only for you"),
            ("a drive that does not exist", r"Q:\Mibo", "cannot be created")]
    listing = sorted(os.listdir(work))
    entry = reg_read(UNINSTALL_KEY, env=env)
    for name, target, reason in rows:
        code, errors = setup(new_setup, "/D=" + target)
        check(code == 2 and '"%s" %s' % (target, reason) in errors, "%s: exit %d, %r" % (name, code, errors[:200]))
        check(sorted(os.listdir(work)) == listing and os.path.isfile(blocker), "%s: nothing made" % name)
    check(reg_read(UNINSTALL_KEY, env=env) == entry and installed_bytes() == open(EXE, "rb").read(),
          "the installed program and its entry are as they were")
    check(running_mibo() == after, "Mibo kept running")

    # 5. The uninstaller, with Mibo running: ends it, removes everything but the settings. It runs from a copy
    # of itself in the temporary folder, so its end is waited for.
    uninstaller = os.path.join(program_folder(), "uninstall.exe")
    check(setup(uninstaller)[0] == 0, "the uninstaller starts silently")

    def removed():
        return (not mibo_processes() and program_folder() is None and shortcut() is None
                and reg_read(UNINSTALL_KEY, env=env) is None)
    check(wait_for(removed, 60, interval=0.5), "Mibo ended; the program folder, shortcut and uninstall entry are gone")
    check(PRODUCT not in (reg_read(RUN_KEY, env=env) or {}), "the Run value is gone")
    stored = reg_read(KEY, env=env) or {}
    check({name: stored.get(name) for name in SETTINGS} == SETTINGS, "a silent uninstall keeps the settings")
    check(menu_entries() == [], "Wine made no menu entry in the home folder: %s" % menu_entries())
finally:
    run(["wineserver", "-k"], env=env)
    shutil.rmtree(work, ignore_errors=True)
