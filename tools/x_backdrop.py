"""A plain X window of one colour over the whole screen, made directly through Xlib (Wine does not see it), so that
what lies under Mibo is a known colour instead of the Xvfb root, which reads black.
  python3 tools/x_backdrop.py RRGGBB    holds the window until the process is stopped; prints "mapped" once it shows."""
import ctypes
import ctypes.util
import signal
import sys


def open_backdrop(rgb, width=4096, height=4096):
    """Maps the window; returns (xlib, display), or None when the display cannot be opened. Closing the display
    (xlib.XCloseDisplay(display)) makes the server destroy the window."""
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XCreateSimpleWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    if not display:
        return None
    r, g, b = rgb
    window = x.XCreateSimpleWindow(display, x.XDefaultRootWindow(display), 0, 0, width, height, 0, 0,
                                   (r << 16) | (g << 8) | b)
    x.XMapWindow(display, window)
    x.XSync(display, 0)
    return x, display


if __name__ == "__main__":
    colour = int(sys.argv[1], 16)
    if open_backdrop(((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF)) is None:
        sys.exit(1)
    print("mapped", flush=True)
    signal.sigwait([signal.SIGTERM])
