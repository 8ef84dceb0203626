"""The setup as tools/package.sh wrote it, read without running it: a Windows GUI program for its machine, an NSIS
installer that asks for no elevation, with the program's version record and icon.
   check_setup.py SETUP i686|x86_64 VERSION ICON"""
import re
import subprocess
import sys

path, arch, version, icon = sys.argv[1:]
failures = []


def check(condition, message):
    print(("ok: " if condition else "FAIL: ") + message)
    if not condition:
        failures.append(message)


def resource(kind):
    return subprocess.run(["wrestool", "-x", "--raw", "-t", str(kind), path], capture_output=True).stdout


data = open(path, "rb").read()
machine, magic = {"i686": (0x14C, 0x10B), "x86_64": (0x8664, 0x20B)}[arch]
pe = int.from_bytes(data[0x3C:0x40], "little") if len(data) > 0x40 else 0
optional = pe + 24
check(data[:2] == b"MZ" and data[pe:pe + 4] == b"PE\0\0", "a Windows program")
check(int.from_bytes(data[pe + 4:pe + 6], "little") == machine, "for machine %#x (%s)" % (machine, arch))
check(int.from_bytes(data[optional:optional + 2], "little") == magic, "with the optional header of magic %#x" % magic)
check(int.from_bytes(data[optional + 68:optional + 70], "little") == 2, "of the Windows GUI subsystem")
check(b"NullsoftInst" in data, "an NSIS installer with its data")

manifest = resource(24).decode("utf-8", "replace")
check('requestedExecutionLevel level="asInvoker"' in manifest, "its manifest asks for no administrator rights")

strings = resource(16).decode("utf-16-le", "replace")
for key, value in (("ProductName", "Rida Mibo 1999"), ("CompanyName", "Nortavo"), ("ProductVersion", version),
                   ("FileVersion", version)):
    check(re.search(key + "\0+" + re.escape(value) + "\0", strings) is not None, "version record: %s %s" % (key, value))

image = open(icon, "rb").read()
offset = int.from_bytes(image[18:22], "little")
check(resource(3) == image[offset:], "its icon is %s" % icon)
sys.exit(1 if failures else 0)
