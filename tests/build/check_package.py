"""The release zip holds the two programs as built, the read-me and the licence, and nothing else.
   check_package.py ZIP I686_EXE X86_64_EXE"""
import sys
import zipfile

path, exe32, exe64 = sys.argv[1:]
failures = []


def check(condition, message):
    print(("ok: " if condition else "FAIL: ") + message)
    if not condition:
        failures.append(message)


with zipfile.ZipFile(path) as archive:
    names = archive.namelist()
    check(names == ["mibo.exe", "mibo-x64.exe", "READ-ME.txt", "LICENSE.txt"], "the zip holds exactly %s" % names)
    contents = {name: archive.read(name) for name in names}
    check(archive.testzip() is None, "every entry reads back with a good CRC")

check(contents.get("mibo.exe") == open(exe32, "rb").read(), "mibo.exe is the 32-bit program as built")
check(contents.get("mibo-x64.exe") == open(exe64, "rb").read(), "mibo-x64.exe is the x86_64 program as built")
for name, machine in (("mibo.exe", b"\x4c\x01"), ("mibo-x64.exe", b"\x64\x86")):
    data = contents.get(name, b"")
    pe = int.from_bytes(data[0x3C:0x40], "little") if len(data) > 0x40 else 0
    check(data[:2] == b"MZ" and data[pe:pe + 4] == b"PE\0\0" and data[pe + 4:pe + 6] == machine,
          "%s is a Windows program for machine %s" % (name, machine.hex()))
readme = contents.get("READ-ME.txt", b"").decode("utf-8", "replace")
check("\r\n" in readme and "\n" not in readme.replace("\r\n", ""), "READ-ME.txt has Windows line endings only")
for words in ("mibo.exe", "HKEY_CURRENT_USER\\Software\\Nortavo\\Rida Mibo 1999", "configure mibo", "shutdown mibo"):
    check(words in readme, "READ-ME.txt names %s" % words)
licence = contents.get("LICENSE.txt", b"").decode("utf-8", "replace")
check("MIT License" in licence and "pictures" in licence and "sounds" in licence,
      "LICENSE.txt is the MIT licence covering code, pictures and sounds")
sys.exit(1 if failures else 0)
