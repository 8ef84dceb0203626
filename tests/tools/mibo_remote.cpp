// Reaches a running mibo.exe from outside for the end-to-end tests.
//   mibo_remote find      exit 0 when the character window exists; prints its handle and window rectangle
//   mibo_remote region    prints the window region, one rectangle "left top right bottom" a line
//   mibo_remote close     posts WM_CLOSE to the character window
//   mibo_remote more      posts the new-character request, as a second start does
// Exit 2 when there is no character window.
#include "engine/platform.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char kClassName[] = "Rida Mibo 199917989126331";

int printRegion(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, region);
    if (kind == ERROR) {
        DeleteObject(region);
        printf("none\n");
        return 3;
    }
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> buffer(size > 0 ? size : 1);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (size > 0 && GetRegionData(region, size, data)) {
        const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
        for (DWORD i = 0; i < data->rdh.nCount; ++i)
            printf("%ld %ld %ld %ld\n", rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    }
    DeleteObject(region);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    HWND window = FindWindowA(kClassName, nullptr);
    if (!window)
        return 2;
    const char* command = argv[1];
    if (strcmp(command, "find") == 0) {
        RECT r;
        GetWindowRect(window, &r);
        printf("%p %ld %ld %ld %ld %d\n", static_cast<void*>(window), r.left, r.top, r.right, r.bottom,
               IsWindowVisible(window) ? 1 : 0);
        return 0;
    }
    if (strcmp(command, "region") == 0)
        return printRegion(window);
    if (strcmp(command, "close") == 0)
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 4;
    if (strcmp(command, "more") == 0) {
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        return PostThreadMessageA(thread, RegisterWindowMessageA("tworz nowego miboa Rida2"), 0, 0) ? 0 : 4;
    }
    return 1;
}
