#!/usr/bin/env bash
# Finds out whether this host can execute 32-bit x86 programs, by running one: the 32-bit Wine loader's
# "--version" (tiny, no prefix, no server) under a short timeout. Some of our hosts boot with IA-32 emulation off;
# there every i386 program fails with "Exec format error" and only 64-bit Wine works.
#   tools/host-arch.sh     prints one line saying why; exit 0 when 32-bit programs run here, 1 when not
# The loader is started directly (not through a shell, which would try to read a refused binary as a script).
set -uo pipefail
exec python3 - /usr/lib/wine/wine <<'PY'
import subprocess, sys

loader = sys.argv[1]
try:
    result = subprocess.run([loader, "--version"], capture_output=True, timeout=20)
except FileNotFoundError:
    print("the 32-bit Wine loader (%s) is not installed" % loader)
    sys.exit(1)
except subprocess.TimeoutExpired:
    print("the 32-bit Wine loader (%s) gave no answer within 20 s" % loader)
    sys.exit(1)
except OSError as error:
    print("this host cannot execute 32-bit x86 programs (%s: %s)" % (loader, error.strerror))
    sys.exit(1)
answer = (result.stdout + result.stderr).decode(errors="replace").strip()
if result.returncode != 0:
    print("the 32-bit Wine loader does not run here (exit %d: %s)" % (result.returncode, answer[:120]))
    sys.exit(1)
print("this host runs 32-bit x86 programs (%s --version: %s)" % (loader, answer))
PY
