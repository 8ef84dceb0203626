"""Names every GoogleTest case that was skipped, from the XML results the test executables leave behind.
   python3 skipped_cases.py ARCH RESULTS_DIR"""
import glob
import os
import sys
import xml.etree.ElementTree as ElementTree

arch, folder = sys.argv[1], sys.argv[2]
skipped = []
for path in sorted(glob.glob(os.path.join(folder, "*.xml"))):
    for case in ElementTree.parse(path).getroot().iter("testcase"):
        if case.get("result") == "skipped" or case.find("skipped") is not None:
            reason = case.find("skipped")
            why = reason.get("message", "") if reason is not None else ""
            skipped.append("%s.%s (%s)%s" % (case.get("classname"), case.get("name"), os.path.basename(path),
                                             ": " + why.strip() if why.strip() else ""))
print("%s: %d skipped test cases%s" % (arch, len(skipped), "" if not skipped else ":"))
for line in skipped:
    print("  skipped: " + line)
