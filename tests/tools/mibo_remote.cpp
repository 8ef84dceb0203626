// Reaches a running mibo.exe from outside for the end-to-end tests.
//   mibo_remote find      exit 0 when the character window exists; prints its handle, window rectangle,
//                         visibility and the Windows id of its process
//   mibo_remote region    prints the window region, one rectangle "left top right bottom" a line
//   mibo_remote close     posts WM_CLOSE to the character window
//   mibo_remote more      posts the new-character request, as a second start does
//   mibo_remote mode W H  changes the display mode (a Wine virtual desktop lets a test do that)
//   mibo_remote screen    prints the screen size as the program sees it
// Exit 2 (and the output "none") when there is no character window.
// "-o FILE" first writes the output to FILE: a program started on a Wine virtual desktop through explorer runs
// detached from the caller, which then waits for the file instead.
#include "engine/platform.h"

#include <cstdio>
#include <cstdlib>
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

int run(int argc, char** argv);

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "-o") == 0) {
        char partial[MAX_PATH + 8];
        snprintf(partial, sizeof(partial), "%s.part", argv[2]);
        if (!freopen(partial, "w", stdout))
            return 1;
        int code = run(argc - 2, argv + 2);
        printf("exit %d\n", code);
        fclose(stdout);
        // Renamed when complete, so that the caller never reads half of it.
        MoveFileExA(partial, argv[2], MOVEFILE_REPLACE_EXISTING);
        return code;
    }
    return run(argc, argv);
}

int run(int argc, char** argv) {
    if (argc < 2)
        return 1;
    if (strcmp(argv[1], "mode") == 0 && argc >= 4) {
        DEVMODEA mode = {};
        mode.dmSize = sizeof(mode);
        mode.dmPelsWidth = static_cast<DWORD>(atoi(argv[2]));
        mode.dmPelsHeight = static_cast<DWORD>(atoi(argv[3]));
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        LONG result = ChangeDisplaySettingsA(&mode, 0);
        printf("%ld\n", result);
        return result == DISP_CHANGE_SUCCESSFUL ? 0 : 5;
    }
    if (strcmp(argv[1], "screen") == 0) {
        printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    HWND window = FindWindowA(kClassName, nullptr);
    if (!window) {
        printf("none\n");
        return 2;
    }
    const char* command = argv[1];
    if (strcmp(command, "find") == 0) {
        RECT r;
        GetWindowRect(window, &r);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        printf("%p %ld %ld %ld %ld %d %lu\n", static_cast<void*>(window), r.left, r.top, r.right, r.bottom,
               IsWindowVisible(window) ? 1 : 0, process);
        return 0;
    }
    if (strcmp(command, "region") == 0)
        return printRegion(window);
    if (strcmp(command, "close") == 0)
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 4;
    if (strcmp(command, "more") == 0) {
        // "more N" asks for N figures at once; the program takes one request a frame.
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        int count = argc >= 3 ? atoi(argv[2]) : 1;
        for (int i = 0; i < count; ++i) {
            if (!PostThreadMessageA(thread, RegisterWindowMessageA("tworz nowego miboa Rida2"), 0, 0))
                return 4;
        }
        return 0;
    }
    return 1;
}
