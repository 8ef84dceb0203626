"""Every include among the program's folders points down the floors of the house: a folder includes only the
folders below it (README, "How the code is arranged"). Prints each include that breaks this and exits 1."""
import os
import re
import sys

# What each folder may include besides itself.
MAY_INCLUDE = {
    "text": {"engine/platform.h"},
    "engine": {"text"},
    "ui": {"engine", "text"},
    "sound": {"engine", "text"},
    "activities": {"sound", "engine", "text"},
    "desktop": {"ui", "sound", "engine", "text"},
    "app": {"desktop", "activities", "ui", "sound", "engine", "text"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def breaks(root):
    for folder, allowed in MAY_INCLUDE.items():
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(os.path.join(root, path), encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    top = target.split("/")[0]
                    # Only our own folders count; a system header's path is not one of them.
                    if top == folder or target in allowed or top in allowed or not os.path.isdir(os.path.join(root, top)):
                        continue
                    yield f"{path}:{number}: includes {target}"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    found = list(breaks(root))
    for line in found:
        print(line)
    print(f"floors: {len(found)} includes point up" if found else "floors: every include points down")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
