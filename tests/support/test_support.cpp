#include "support/test_support.h"
#include "engine/seams.h"

#include "app/startup.h"
#include "desktop/character_window.h"
#include "engine/picker.h"

// The window's constructor reads the stored fun level; a test that set funLevel itself keeps its value.
WindowScope::WindowScope() {
    delete characterWindow;
    int32_t chosenFunLevel = funLevel;
    characterWindow = new CharacterWindow;
    setActivityHost(characterWindow);
    funLevel = chosenFunLevel;
}

WindowScope::~WindowScope() {
    delete characterWindow;
    characterWindow = nullptr;
}

namespace {

int gLoadFailures = 0;
HWND gLastOwner = nullptr;
std::string gLastText;
std::string gLastCaption;
UINT gLastType = 0;

int WINAPI countLoadFailure(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    ++gLoadFailures;
    gLastOwner = owner;
    gLastText = text ? text : "(null)";
    gLastCaption = caption ? caption : "(null)";
    gLastType = type;
    return IDOK;
}

} // namespace

LoadFailureCounter::LoadFailureCounter() {
    gLoadFailures = 0;
    gLastOwner = reinterpret_cast<HWND>(-1);
    gLastText.clear();
    gLastCaption.clear();
    gLastType = 0;
    gSeams.loadFailureMessageBox = countLoadFailure;
}

LoadFailureCounter::~LoadFailureCounter() {
    gSeams.loadFailureMessageBox = MessageBoxA;
    int ignored;
    while (takeQuitMessage(&ignored)) {
    }
}

int LoadFailureCounter::count() const {
    return gLoadFailures;
}

HWND LoadFailureCounter::lastOwner() const {
    return gLastOwner;
}

std::string LoadFailureCounter::lastText() const {
    return gLastText;
}

std::string LoadFailureCounter::lastCaption() const {
    return gLastCaption;
}

UINT LoadFailureCounter::lastType() const {
    return gLastType;
}

bool LoadFailureCounter::takeQuitMessage(int* exitCode) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *exitCode = static_cast<int>(message.wParam);
    return true;
}

std::vector<Rect> regionRects(HRGN region) {
    std::vector<Rect> rects;
    if (!region)
        return rects;
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> buffer(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (size == 0 || GetRegionData(region, size, data) == 0)
        return rects;
    const RECT* list = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        rects.emplace_back(list[i].left, list[i].top, list[i].right, list[i].bottom);
    return rects;
}

// Wine's GetGuiResources answers 0, but its GDI accepts a handle whose upper half is 0 as any generation of that
// table entry, so every entry can be probed.
int liveGdiObjects() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0)
        return static_cast<int>(counted);
    int live = 0;
    for (UINT_PTR entry = 1; entry < 0x10000; ++entry)
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(entry)) != 0 ? 1 : 0;
    return live;
}

// The same for Wine's USER handles: they are even, from 0x20 up, and a handle without its upper half names any
// generation of its entry. A window of another process answers too, so only this process's windows count.
int liveUserObjects() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counted != 0)
        return static_cast<int>(counted);
    int live = 0;
    for (UINT_PTR entry = 0x20; entry < 0x10000; entry += 2) {
        HANDLE handle = reinterpret_cast<HANDLE>(entry);
        DWORD process = 0;
        if (IsWindow(static_cast<HWND>(handle))) {
            GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
            live += process == GetCurrentProcessId() ? 1 : 0;
        } else if (IsMenu(static_cast<HMENU>(handle))) {
            ++live;
        } else {
            ICONINFO info;
            if (GetIconInfo(static_cast<HICON>(handle), &info)) {
                ++live;
                if (info.hbmMask)
                    DeleteObject(info.hbmMask);
                if (info.hbmColor)
                    DeleteObject(info.hbmColor);
            }
        }
    }
    return live;
}

int occupiedSlots() {
    if (!characterWindow)
        return 0;
    int count = 0;
    for (int slot = 0; slot < kActivitySlots; ++slot)
        count += characterWindow->activityIn(slot) ? 1 : 0;
    return count;
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "(" << p.x << "," << p.y << ")";
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
