// Reaches a running mibo.exe from outside for the end-to-end tests.
//   mibo_remote find      exit 0 when the character window exists; prints its handle, window rectangle,
//                         visibility and the Windows id of its process
//   mibo_remote region    prints the window region, one rectangle "left top right bottom" a line
//   mibo_remote close     posts WM_CLOSE to the character window
//   mibo_remote more [N]  posts the new-character request (N times, default once), as a second start does
//   mibo_remote mode W H [BITS]  changes the display mode (a Wine virtual desktop lets a test do that)
//   mibo_remote screen    prints the screen size as the program sees it
//   mibo_remote instances prints how many character windows there are, of any process
//   mibo_remote tray MSG  sends the tray callback as if the mouse message MSG (e.g. 0x201) happened on the icon
//   mibo_remote trayicon [HWND]  exit 0 when the shell still holds an icon 1001 of the character window (or of
//                         the window HWND, in hex, which may be gone)
//   mibo_remote syscommand N   posts WM_SYSCOMMAND N, as choosing a system-menu item does
//   mibo_remote menu      prints the system menu: the item count, then "id text" per item
//   mibo_remote dialog    prints the open settings dialogs of the program: "dialogs N", then for the first
//                         "dialog HWND left top right bottom" and "control ID CLASS left top right bottom VALUE"
//                         (screen coordinates; VALUE: trackbar position, check state, or 1 when a bitmap shows)
//   mibo_remote dialogclose    the dialog's close box (SC_CLOSE)
//   mibo_remote info      prints the text of the program's open "info" message box and dismisses it with OK
//   mibo_remote counts    prints the program's kernel handles, its windows (top-level and child) and, where the
//                         system reports them (Windows, not Wine), its GDI and USER objects:
//                         "handles H windows W gdi G user U"
//   mibo_remote endsession     asks the program to end the session (WM_QUERYENDSESSION, WM_ENDSESSION), then
//                              ends its process as Windows does after the session
//   mibo_remote fullscreen S   shows a borderless window over the whole screen in front for S seconds, as a film
//                              or a game does, then closes it; prints "shown" and "gone" (needs no character window)
//   mibo_remote window S L T R B  the same over the rectangle (L, T)-(R, B) only: a window to stand on
//   mibo_remote session CODE   sends WM_WTSSESSION_CHANGE CODE (7 locked, 8 unlocked) as the session service does
// Exit 2 (and the output "none") when there is no character window.
// "-o FILE" first writes the output to FILE: a program started on a Wine virtual desktop through explorer runs
// detached from the caller, which then waits for the file instead.
#include "engine/platform.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winternl.h>

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

struct DialogSearch {
    DWORD process;
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collectDialog(HWND window, LPARAM data) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(data);
    char name[64] = {};
    char title[64] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, title, sizeof(title));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && strcmp(name, "#32770") == 0 && strcmp(title, search->title) == 0 &&
        IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> settingsDialogs(HWND character, const char* title = "Rida Mibo 1999") {
    DialogSearch search = {0, title, {}};
    GetWindowThreadProcessId(character, &search.process);
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
    char name[64] = {};
    GetClassNameA(control, name, sizeof(name));
    RECT r;
    GetWindowRect(control, &r);
    int id = GetDlgCtrlID(control);
    LRESULT value = 0;
    if (strcmp(name, TRACKBAR_CLASSA) == 0)
        value = SendMessageA(control, TBM_GETPOS, 0, 0);
    else if ((GetWindowLongA(control, GWL_STYLE) & 0xF) == BS_AUTOCHECKBOX && strcmp(name, "Button") == 0)
        value = SendMessageA(control, BM_GETCHECK, 0, 0);
    else if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
        value = SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    printf("control %d %s %ld %ld %ld %ld %ld\n", id, name, r.left, r.top, r.right, r.bottom,
           static_cast<long>(value));
    return TRUE;
}

int printDialogs(HWND character) {
    std::vector<HWND> dialogs = settingsDialogs(character);
    printf("dialogs %u\n", static_cast<unsigned>(dialogs.size()));
    if (dialogs.empty())
        return 6;
    RECT r;
    GetWindowRect(dialogs[0], &r);
    printf("dialog %p %ld %ld %ld %ld\n", static_cast<void*>(dialogs[0]), r.left, r.top, r.right, r.bottom);
    EnumChildWindows(dialogs[0], printControl, 0);
    return 0;
}

int printMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    int count = menu ? GetMenuItemCount(menu) : -1;
    printf("items %d\n", count);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        printf("%u %s\n", GetMenuItemID(menu, i), text);
    }
    return count >= 0 ? 0 : 7;
}

// Windows ends a process whose windows agreed to the end of the session once WM_ENDSESSION has been answered.
int endSession(HWND window) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    printf("query %lu\n", static_cast<unsigned long>(answer));
    if (!answer)
        return 8;
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    if (!process)
        return 9;
    BOOL ended = TerminateProcess(process, 0);
    CloseHandle(process);
    return ended ? 0 : 9;
}

struct WindowCount {
    DWORD process;
    int count;
};

BOOL CALLBACK countChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->count;
    return TRUE;
}

BOOL CALLBACK countWindow(HWND window, LPARAM data) {
    WindowCount* counted = reinterpret_cast<WindowCount*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == counted->process) {
        ++counted->count;
        EnumChildWindows(window, countChild, data);
    }
    return TRUE;
}

// The system's process list carries each process's handle count; GetProcessHandleCount answers 0 under Wine for
// a process other than the caller.
unsigned long handleCountOf(DWORD process) {
    typedef LONG(WINAPI * Query)(ULONG, void*, ULONG, ULONG*);
    Query query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    const ULONG kProcessList = 5; // SystemProcessInformation
    LONG status;
    while ((status = query(kProcessList, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
               static_cast<LONG>(0xC0000004L) && buffer.size() < (1u << 26)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    for (size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= buffer.size();) {
        const SYSTEM_PROCESS_INFORMATION* entry =
            reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        if (reinterpret_cast<UINT_PTR>(entry->UniqueProcessId) == process)
            return entry->HandleCount;
        if (entry->NextEntryOffset == 0)
            break;
        offset += entry->NextEntryOffset;
    }
    return 0;
}

int printCounts(HWND window) {
    WindowCount windows = {0, 0};
    GetWindowThreadProcessId(window, &windows.process);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, windows.process);
    if (!process)
        return 9;
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles) || handles == 0)
        handles = handleCountOf(windows.process);
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&windows));
    printf("handles %lu windows %d gdi %lu user %lu\n", static_cast<unsigned long>(handles), windows.count,
           static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)),
           static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)));
    CloseHandle(process);
    return 0;
}

LRESULT CALLBACK fullScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A borderless window over `area` for `seconds`, brought to the front; the whole screen when `area` is empty.
int showWindow(int seconds, RECT area) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = fullScreenProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "MiboRemoteFullScreen";
    RegisterClassA(&windowClass);
    if (IsRectEmpty(&area))
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "full screen", WS_POPUP, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window)
        return 11;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    printf("shown %d\n", GetForegroundWindow() == window ? 1 : 0);
    fflush(stdout);
    // The end is timed by a thread that sleeps: a wait with a timeout would keep a timeout pending in the Wine
    // server, which then wakes every 16 ms and would be counted against the program measured beside this window.
    struct Ender {
        static DWORD WINAPI run(void* parameter) {
            const DWORD* arguments = static_cast<const DWORD*>(parameter);
            Sleep(arguments[0]);
            PostThreadMessageA(arguments[1], WM_QUIT, 0, 0);
            return 0;
        }
    };
    DWORD arguments[2] = {static_cast<DWORD>(seconds) * 1000, GetCurrentThreadId()};
    HANDLE ender = CreateThread(nullptr, 0, Ender::run, arguments, 0, nullptr);
    if (!ender)
        return 12;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    WaitForSingleObject(ender, INFINITE);
    CloseHandle(ender);
    DestroyWindow(window);
    printf("gone\n");
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
        mode.dmBitsPerPel = argc >= 5 ? static_cast<DWORD>(atoi(argv[4])) : 0;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | (argc >= 5 ? DM_BITSPERPEL : 0);
        LONG result = ChangeDisplaySettingsA(&mode, 0);
        printf("%ld\n", result);
        return result == DISP_CHANGE_SUCCESSFUL ? 0 : 5;
    }
    if (strcmp(argv[1], "screen") == 0) {
        printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (strcmp(argv[1], "instances") == 0) {
        int count = 0;
        for (HWND w = FindWindowExA(nullptr, nullptr, kClassName, nullptr); w;
             w = FindWindowExA(nullptr, w, kClassName, nullptr))
            ++count;
        printf("%d\n", count);
        return 0;
    }
    if (strcmp(argv[1], "trayicon") == 0 && argc >= 3) { // a window that may be gone by now
        NOTIFYICONDATAA record = {};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(argv[2], nullptr, 16)));
        record.uID = 1001;
        return Shell_NotifyIconA(NIM_MODIFY, &record) ? 0 : 10;
    }
    if (strcmp(argv[1], "fullscreen") == 0 && argc >= 3)
        return showWindow(atoi(argv[2]), RECT{0, 0, 0, 0});
    if (strcmp(argv[1], "window") == 0 && argc >= 7)
        return showWindow(atoi(argv[2]), RECT{atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6])});
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
        printf("%p %ld %ld %ld %ld %d %lu %#lx\n", static_cast<void*>(window), r.left, r.top, r.right, r.bottom,
               IsWindowVisible(window) ? 1 : 0, process, static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
        return 0;
    }
    if (strcmp(command, "region") == 0)
        return printRegion(window);
    if (strcmp(command, "close") == 0)
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 4;
    if (strcmp(command, "more") == 0) {
        // "more N" asks for N figures at once; the program takes one request a frame.
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        int times = argc >= 3 ? atoi(argv[2]) : 1;
        UINT request = RegisterWindowMessageA("tworz nowego miboa Rida2");
        for (int i = 0; i < times; ++i) {
            if (!PostThreadMessageA(thread, request, 0, 0))
                return 4;
        }
        return 0;
    }
    if (strcmp(command, "tray") == 0 && argc >= 3) {
        LPARAM mouse = static_cast<LPARAM>(strtol(argv[2], nullptr, 0));
        return PostMessageA(window, RegisterWindowMessageA("notify_mibo_icon"), 1001, mouse) ? 0 : 4;
    }
    if (strcmp(command, "trayicon") == 0) {
        NOTIFYICONDATAA record = {};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = window;
        record.uID = 1001;
        return Shell_NotifyIconA(NIM_MODIFY, &record) ? 0 : 10;
    }
    if (strcmp(command, "syscommand") == 0 && argc >= 3)
        return PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(strtoul(argv[2], nullptr, 0)), 0) ? 0 : 4;
    if (strcmp(command, "menu") == 0)
        return printMenu(window);
    if (strcmp(command, "dialog") == 0)
        return printDialogs(window);
    if (strcmp(command, "dialogclose") == 0) {
        std::vector<HWND> dialogs = settingsDialogs(window);
        return !dialogs.empty() && PostMessageA(dialogs[0], WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 6;
    }
    if (strcmp(command, "info") == 0) {
        std::vector<HWND> boxes = settingsDialogs(window, "info");
        if (boxes.empty()) {
            printf("none\n");
            return 6;
        }
        char text[256] = {};
        GetDlgItemTextA(boxes[0], 0xFFFF, text, sizeof(text));
        printf("info %s\n", text);
        return PostMessageA(boxes[0], WM_COMMAND, IDOK, 0) ? 0 : 4;
    }
    if (strcmp(command, "endsession") == 0)
        return endSession(window);
    if (strcmp(command, "counts") == 0)
        return printCounts(window);
    if (strcmp(command, "session") == 0 && argc >= 3) {
        DWORD session = 0;
        ProcessIdToSessionId(GetCurrentProcessId(), &session);
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(window, WM_WTSSESSION_CHANGE, static_cast<WPARAM>(atoi(argv[2])), session,
                                   SMTO_ABORTIFHUNG, 10000, &answer) ? 0 : 4;
    }
    return 1;
}
