"""Shared helpers for the end-to-end tests: start the real mibo.exe under Wine on the test display and look at it
from outside (the mibo_remote helper, xwininfo, xdotool, screenshots, the registry)."""
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from x_backdrop import open_backdrop  # noqa: E402

EXE = os.environ["MIBO_EXE"]
REMOTE = os.environ["MIBO_REMOTE"]
KEY = r"HKCU\Software\Nortavo\Rida Mibo 1999"
TITLE = "Rida Mibo 1999"
SCREEN = (1024, 768)
# A plain X window of this colour lies under Mibo in the screenshot tests: the Xvfb root reads black, the very
# colour a trail of the (unreadable) remembered background would have.
BACKDROP_COLOUR = (48, 96, 160)


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message, flush=True)


def run(args, timeout=60, env=None):
    """Output goes through a file, not a pipe: a wineserver started by this command inherits its output and
    would hold a pipe open long after the command ended."""
    with tempfile.TemporaryFile() as out:
        result = subprocess.run(args, stdout=out, stderr=subprocess.DEVNULL, timeout=timeout, env=env)
        out.seek(0)
        result.stdout = out.read().decode(errors="replace")
    return result


def start_server(command):
    """(process, display name) of an X server of its own (Xvfb, Xephyr), started with -displayfd."""
    with tempfile.TemporaryFile() as number:
        server = subprocess.Popen(command[:1] + ["-displayfd", str(number.fileno())] + command[1:],
                                  pass_fds=(number.fileno(),), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            number.seek(0)
            text = number.read().decode().strip()
            if text:
                return server, ":" + text
            time.sleep(0.1)
    server.kill()
    fail("%s did not start" % command[0])


def end_wine_session():
    run(["wineserver", "-k"])
    run(["wineserver", "-w"])


def remote(command, *args, env=None):
    """Runs the helper inside the test's Wine prefix; returns (exit code, stdout)."""
    result = run(["wine", REMOTE, command, *args], timeout=60, env=env)
    return result.returncode, result.stdout


def region_rects(env=None):
    code, out = remote("region", env=env)
    if code != 0:
        return None
    return [tuple(int(v) for v in line.split()) for line in out.splitlines() if line.strip()]


class Backdrop:
    """A full-screen X window of BACKDROP_COLOUR, made directly through Xlib (Wine does not see it), mapped before
    mibo.exe starts so that the character window lies above it."""

    def __enter__(self):
        opened = open_backdrop(BACKDROP_COLOUR, SCREEN[0], SCREEN[1])
        if opened is None:
            fail("cannot open the X display for the backdrop")
        self.x, self.display = opened
        return self

    def __exit__(self, *exc):
        self.x.XCloseDisplay(self.display)  # the server destroys the window with the connection
        return False


def reg_read(key, env=None):
    """The values of one registry key, {name: DWORD as a signed int, or string}, or None when there is no key;
    one Wine start."""
    result = run(["wine", "reg", "query", key], env=env)
    if result.returncode != 0:
        return None
    stored = {}
    for line in result.stdout.splitlines():
        for kind in ("REG_DWORD", "REG_SZ"):
            name, found, value = line.lstrip().rstrip("\r\n").partition("    %s    " % kind)
            if found and kind == "REG_DWORD":
                number = int(value, 16)
                stored[name] = number - (1 << 32) if number >= 1 << 31 else number
            elif found:
                stored[name] = value
    return stored


def reg_values(*names, env=None):
    """The stored DWORDs of the given names as a list, None for a missing one; one Wine start reads them all."""
    stored = reg_read(KEY, env=env) or {}
    return [stored.get(name) for name in names]


def reg_query(name, env=None):
    """The stored DWORD, or None when it is missing."""
    return reg_values(name, env=env)[0]


def reg_set(name, value, env=None):
    run(["wine", "reg", "add", KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value & 0xFFFFFFFF), "/f"], env=env)


def reg_delete_key(env=None):
    run(["wine", "reg", "delete", KEY, "/f"], env=env)


def reg_store(values, env=None):
    """The key made anew with only these DWORDs ({name: value}), in one Wine start: a .reg file that deletes the
    key and writes it again, imported by regedit."""
    key = KEY.replace("HKCU", "HKEY_CURRENT_USER", 1)
    lines = ["REGEDIT4", "", "[-%s]" % key, "", "[%s]" % key]
    lines += ['"%s"=dword:%08x' % (name, value & 0xFFFFFFFF) for name, value in values.items()]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "settings.reg")
        with open(path, "w", newline="\r\n") as out:
            out.write("\n".join(lines) + "\n")
        # Under load an import has been seen to leave the key as it was: read back, and import again.
        for _ in range(3):
            run(["wine", "regedit", "/S", "Z:" + path.replace("/", "\\")], env=env)
            if reg_values(*values, env=env) == [value for value in values.values()]:
                return


def wait_for(predicate, timeout, interval=0.2):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return None


def screenshot():
    """(width, height, rgb bytes) of the whole test display."""
    data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True, timeout=60).stdout
    # P6 header: magic, width, height, maxval, each followed by whitespace.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + width * height * 3]


def pixel(shot, x, y):
    width, _, rgb = shot
    i = (y * width + x) * 3
    return tuple(rgb[i:i + 3])


def inside(rects, x, y):
    return any(l <= x < r and t <= y < b for l, t, r, b in rects)


def bounding_box(rects):
    if not rects:
        return None
    return (min(r[0] for r in rects), min(r[1] for r in rects), max(r[2] for r in rects), max(r[3] for r in rects))


def components(rects):
    """Groups the region's rectangles into touching clusters; returns their bounding boxes."""
    groups = []
    for rect in rects:
        merged = [rect]
        rest = []
        for group in groups:
            if any(_touch(rect, other) for other in group):
                merged.extend(group)
            else:
                rest.append(group)
        groups = rest + [merged]
    # Merging in one pass can leave groups that touch through a later rectangle; repeat until stable.
    changed = True
    while changed:
        changed = False
        for i in range(len(groups)):
            for j in range(i + 1, len(groups)):
                if any(_touch(a, b) for a in groups[i] for b in groups[j]):
                    groups[i].extend(groups[j])
                    del groups[j]
                    changed = True
                    break
            if changed:
                break
    return [bounding_box(group) for group in groups]


def _touch(a, b):
    return a[0] <= b[2] and b[0] <= a[2] and a[1] <= b[3] and b[1] <= a[3]


class Mibo:
    """One started mibo.exe; stopped (WM_CLOSE, then kill) when the block ends, whatever happened."""

    def __init__(self, env=None, args=None):
        self.env = env
        self.process = subprocess.Popen(args or ["wine", EXE], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, env=env)
        self.exit_code = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            remote("close", env=self.env)
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=30)
        return False

    def wait_window(self, timeout=60):
        def found():
            if self.process.poll() is not None:
                fail("mibo.exe ended before its window appeared (exit %s)" % self.process.returncode)
            return remote("find", env=self.env)[0] == 0
        return wait_for(found, timeout, interval=0.5)

    def wait_shape(self, timeout=60):
        """Waits for a non-empty window shape and returns its rectangles."""
        return wait_for(lambda: region_rects(self.env), timeout, interval=0.5)

    def close(self, timeout=60):
        code, _ = remote("close", env=self.env)
        if code != 0:
            fail("no character window to close (helper exit %d)" % code)
        try:
            self.exit_code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            fail("mibo.exe did not end within %d s of WM_CLOSE" % timeout)
        return self.exit_code

    def frozen(self):
        return _Frozen(self.process.pid)


class _Frozen:
    """Stops the Wine process so that its window shape and its pixels can be read as one consistent frame."""

    def __init__(self, pid):
        self.pid = pid

    def __enter__(self):
        os.kill(self.pid, signal.SIGSTOP)
        time.sleep(0.3)  # let the X server settle whatever was already sent
        return self

    def __exit__(self, *exc):
        os.kill(self.pid, signal.SIGCONT)
        return False


def windows_on_root():
    """The X windows whose name is the product name: list of (id, width, height, x, y)."""
    out = run(["xwininfo", "-root", "-tree"]).stdout
    found = []
    for line in out.splitlines():
        if '"%s"' % TITLE not in line:
            continue
        parts = line.split()
        geometry = [p for p in parts if "x" in p and "+" in p]
        if not geometry:
            continue
        size, _, position = geometry[0].partition("+")
        w, h = size.split("x")
        x, y = position.split("+")[:2]
        found.append((parts[0], int(w), int(h), int(x), int(y)))
    return found


def shape_extents(window_id):
    """The X SHAPE bounding extents of the window as (x, y, w, h), or None."""
    out = run(["xwininfo", "-id", window_id, "-shape"]).stdout
    for line in out.splitlines():
        if "shape extents" in line and "x" in line and "+" in line:
            size, _, position = line.split(":", 1)[1].strip().partition("+")
            w, h = size.split("x")
            x, y = position.split("+")[:2]
            return int(x), int(y), int(w), int(h)
    return None


def tray_windows():
    """Rectangles (left, top, right, bottom) of Wine's own tray window: with no tray on the display, Wine shows the
    program's tray icon in a small window of its own, which is neither Mibo nor the backdrop."""
    out = run(["xwininfo", "-root", "-tree"]).stdout
    found = []
    for line in out.splitlines():
        if '"Wine System Tray"' not in line:
            continue
        geometry = [p for p in line.split() if "x" in p and "+" in p]
        if geometry:
            size, _, position = geometry[0].partition("+")
            w, h = (int(v) for v in size.split("x"))
            x, y = (int(v) for v in position.split("+")[:2])
            found.append((x, y, x + w, y + h))
    return found


def compare_with_backdrop(shot, rects, ignored=None):
    """Counts, in one screenshot: pure black pixels, pixels outside the shape that are not the backdrop, and
    pixels inside the shape that are. Rows that are all backdrop are skipped whole, and so are the pixels of
    Wine's tray window (or of the given rectangles)."""
    width, height, rgb = shot
    ignored = tray_windows() if ignored is None else ignored
    backdrop_row = bytes(BACKDROP_COLOUR) * width
    black = outside = inside_backdrop = 0
    for y in range(height):
        row = rgb[y * width * 3:(y + 1) * width * 3]
        # Clipped to the screen: a figure walking off a side edge has shape beyond it, where the shot has no pixels.
        spans = [(max(l, 0), min(r, width)) for l, t, r, b in rects if t <= y < b and max(l, 0) < min(r, width)]
        if row == backdrop_row:
            inside_backdrop += sum(r - l for l, r in spans)
            continue
        skipped = [(l, r) for l, t, r, b in ignored if t <= y < b]
        for x in range(width):
            if skipped and any(l <= x < r for l, r in skipped):
                continue
            p = tuple(row[x * 3:x * 3 + 3])
            if p == (0, 0, 0):
                black += 1
            within = any(l <= x < r for l, r in spans)
            if within and p == BACKDROP_COLOUR:
                inside_backdrop += 1
            elif not within and p != BACKDROP_COLOUR:
                outside += 1
    return black, outside, inside_backdrop
