// mibo.exe with the frame wait of old, polling GetTickCount() on one core: only for the CPU comparison of
// tools/bench.sh, never shipped.
#include "app/main_loop.h"
#include "engine/seams.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gSeams.frameWait = spinUntil;
    return runMibo(instance);
}
