#include <gtest/gtest.h>

#include "app/main_loop.h"
#include "engine/seams.h"
#include "app/startup.h"
#include "desktop/character_window.h"
#include "desktop/step_aside.h"
#include "sound/sound_player.h"
#include "support/sound_fakes.h"
#include "support/test_support.h"

namespace {

// A plain top-level window of this process, destroyed at the end.
class PlainWindow {
public:
    PlainWindow(DWORD style, const RECT& r, int show) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "StepAsideTestWindow";
        RegisterClassA(&windowClass); // fails harmlessly once registered
        handle = CreateWindowExA(0, windowClass.lpszClassName, "plain", style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(handle, show);
        pumpMessages();
    }
    ~PlainWindow() { DestroyWindow(handle); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;

    HWND handle;
};

// A block that moves one pixel a step and counts its steps.
class CountingBlock : public Activity {
public:
    CountingBlock() { rect = Rect(100, 100, 140, 160); }
    int step(Rect& outRect, Region& outShape) override {
        ++steps;
        rect.offset(1, 0);
        outRect = rect;
        outShape.reset();
        outShape.handle = CreateRectRgn(0, 0, rect.width(), rect.height());
        return 1;
    }
    int steps = 0;
};

FakeDirectSound* fakeDevice = nullptr;

HRESULT WINAPI createFake(const GUID*, IDirectSound** out, IUnknown*) {
    *out = fakeDevice;
    return DS_OK;
}

int shapeKind(HWND window) {
    HRGN read = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    int kind = GetWindowRgn(window, read) == ERROR ? ERROR : GetRgnBox(read, &box);
    DeleteObject(read);
    return kind;
}

} // namespace

// The windows of this test stand in for another program's: the decision is told that some other process is its own.
TEST(StepAside, WhichForegroundWindowsCountAsFullScreen) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const DWORD us = GetCurrentProcessId();
    const DWORD someoneElse = us + 4;
    struct Row {
        const char* what;
        bool desktop;
        DWORD style;
        RECT at;
        int show;
        DWORD ownProcess;
        int shellState;
        bool fullScreen;
    } rows[] = {
        {"our own full-screen window, even while the shell reports one", false, WS_POPUP, {0, 0, w, h}, SW_SHOW, us,
         kShellBusy, false},
        {"the desktop", true, 0, {}, SW_SHOW, someoneElse, 0, false},
        {"a maximised window with a caption", false, WS_OVERLAPPEDWINDOW, {0, 0, 300, 200}, SW_MAXIMIZE, someoneElse,
         0, false},
        {"a borderless window one pixel short in width", false, WS_POPUP, {0, 0, w - 1, h}, SW_SHOW, someoneElse, 0,
         false},
        {"a borderless window one pixel short in height", false, WS_POPUP, {0, 0, w, h - 1}, SW_SHOW, someoneElse, 0,
         false},
        {"a full-screen popup", false, WS_POPUP, {0, 0, w, h}, SW_SHOW, someoneElse, 0, true},
        {"a popup beyond every edge", false, WS_POPUP, {-8, -8, w + 8, h + 8}, SW_SHOW, someoneElse, 0, true},
        {"a hidden full-screen popup", false, WS_POPUP, {0, 0, w, h}, SW_HIDE, someoneElse, 0, false},
        {"a small window while the shell reports exclusive Direct3D", false, WS_POPUP, {100, 100, 300, 300}, SW_SHOW,
         someoneElse, kShellDirect3dFullScreen, true},
        {"a small window while the shell reports the presentation mode", false, WS_POPUP, {100, 100, 300, 300},
         SW_SHOW, someoneElse, kShellPresentation, true},
    };
    for (const Row& row : rows) {
        PlainWindow made(row.style, row.at, row.show);
        HWND window = row.desktop ? GetDesktopWindow() : made.handle;
        RECT r = {};
        GetWindowRect(window, &r);
        EXPECT_EQ(row.fullScreen, isFullScreenOfAnotherProgram(window, row.ownProcess, RECT{0, 0, w, h}, row.shellState))
            << row.what << ", at " << Rect(r.left, r.top, r.right, r.bottom);
        // The maximised window's frame lies beyond the screen too (no taskbar takes room here): only its caption
        // keeps it an ordinary window.
        if (row.show == SW_MAXIMIZE) {
            EXPECT_TRUE(IsZoomed(window) && r.left <= 0 && r.top <= 0 && r.right >= w && r.bottom >= h) << row.what;
        }
    }
    EXPECT_FALSE(isFullScreenOfAnotherProgram(nullptr, someoneElse, RECT{0, 0, w, h}, kShellBusy)) << "no foreground window";
}

// The scenes' clock stands still while aside, reasons overlap, and a pause of any length is counted across the wrap.
TEST(StepAside, ScenesClockStandsWhileAnyReasonHolds) {
    struct Row {
        uint32_t start;  // real tick when the pause begins
        uint32_t pieces; // countPause calls while aside
        uint32_t piece;  // ms between them
    } rows[] = {
        {1000, 0, 0},
        {0xFFFFFF00u, 2, 0x100},               // across the wrap
        {0x80000000u, 60 * 24, 3600 * 1000u}, // sixty days, longer than the tick lasts
    };
    for (const Row& row : rows) {
        StepAside aside;
        aside.pausedTime = 77; // an earlier pause
        const uint32_t stood = row.start - 77;
        aside.setReason(StepAside::Locked, true, row.start);
        uint32_t now = row.start;
        for (uint32_t i = 0; i < row.pieces; ++i) {
            now += row.piece;
            aside.countPause(now);
            EXPECT_EQ(stood, aside.sceneClock(now + 10)) << row.start;
        }
        now += 500;
        aside.setReason(StepAside::FullScreen, true, now);
        aside.setReason(StepAside::Locked, false, now + 100);
        EXPECT_TRUE(aside.wanted());
        EXPECT_EQ(stood, aside.sceneClock(now + 200)) << row.start;
        aside.setReason(StepAside::FullScreen, false, now + 300);
        EXPECT_FALSE(aside.wanted());
        EXPECT_EQ(stood, aside.sceneClock(now + 300)) << row.start;
        EXPECT_EQ(stood + 40, aside.sceneClock(now + 340)) << row.start;
    }
}

// Through the main loop: locked, the window loses its shape, the sound stops, no frame runs, a second start's
// figure waits; unlocked, the scene goes on where it stood and the waiting figure comes.
TEST(StepAside, LockedSessionHidesSilencesAndHoldsTheScenes) {
    WindowScope scope;
    LoadFailureCounter failures;
    ASSERT_EQ(1, characterWindow->create(GetModuleHandleA(nullptr), nullptr));
    HWND window = characterWindow->handle;
    FakeDirectSound device;
    fakeDevice = &device;
    decltype(Seams::directSoundCreate) savedFactory = gSeams.directSoundCreate;
    gSeams.directSoundCreate = createFake;
    SoundPlayer player;
    soundPlayer = &player;
    player.open(window);
    player.play(player.load(GetModuleHandleA(nullptr), "piano", 2), 0, 100);
    auto playing = [&device]() {
        int count = 0;
        for (const auto& buffer : device.buffers)
            count += (buffer->status & DSBSTATUS_PLAYING) ? 1 : 0;
        return count;
    };
    EXPECT_EQ(1, playing());

    const UINT newCharacter = newCharacterMessage();
    CountingBlock* block = new CountingBlock;
    spawn(block);
    EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacter));
    EXPECT_EQ(1, block->steps);
    EXPECT_EQ(SIMPLEREGION, shapeKind(window));
    const uint32_t clockBefore = frameTick;
    const DWORD realBefore = GetTickCount();
    const int slots = occupiedSlots();

    SendMessageA(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    PostThreadMessageA(GetCurrentThreadId(), newCharacter, 0, 0);
    int passes = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1200; ++passes)
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacter));
    EXPECT_LE(passes, 4) << "waits for messages instead of running 50-ms passes";
    EXPECT_EQ(1, block->steps);
    EXPECT_EQ(slots, occupiedSlots());
    EXPECT_EQ(NULLREGION, shapeKind(window));
    EXPECT_EQ(0, playing());

    SendMessageA(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacter));
    EXPECT_EQ(2, block->steps);
    EXPECT_GE(occupiedSlots(), slots + 1) << "the waiting figure comes";
    EXPECT_LE(occupiedSlots(), slots + 2) << "one chain, at most one prop beside it";
    const int kind = shapeKind(window);
    EXPECT_TRUE(kind == SIMPLEREGION || kind == COMPLEXREGION) << kind;
    EXPECT_GE(GetTickCount() - realBefore, 1200u);
    EXPECT_LE(frameTick - clockBefore, 200u) << "the scenes saw only the passes around the pause";

    soundPlayer = nullptr;
    player.close();
    gSeams.directSoundCreate = savedFactory;
    fakeDevice = nullptr;
}
