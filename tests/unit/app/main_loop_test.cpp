#include <gtest/gtest.h>

#include "activities/absence.h"
#include "app/main_loop.h"
#include "app/startup.h"
#include "desktop/character_window.h"
#include "desktop/settings.h"
#include "engine/seams.h"
#include "support/test_support.h"

namespace {

// Counts its steps and the frameTick of the last one; runs until destroyed.
class CountingActivity : public Activity {
public:
    int step(Rect& outRect, Region& outShape) override {
        ++steps;
        lastTick = frameTick;
        return output(outRect, outShape);
    }
    int steps = 0;
    uint32_t lastTick = 0;
};

int queuedMessages() {
    int count = 0;
    MSG message;
    MSG kept[64];
    while (count < 64 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        kept[count++] = message;
    for (int i = 0; i < count; ++i)
        PostThreadMessageA(GetCurrentThreadId(), kept[i].message, kept[i].wParam, kept[i].lParam);
    return count;
}

void emptyQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// A second start's window, which notes whether the named mutex still exists when the running window is looked for.
// gRunning stands for the running instance's handle and is closed first.
HANDLE gRunning = nullptr;
int gMutexWhileLooking = -1;

class LookingWindow : public CharacterWindow {
public:
    char* className(char* buffer, int room) override {
        CloseHandle(gRunning);
        HANDLE left = OpenMutexA(SYNCHRONIZE, FALSE, "RidaMibo2 mibo mutex");
        gMutexWhileLooking = left != nullptr;
        if (left)
            CloseHandle(left);
        return CharacterWindow::className(buffer, room);
    }
};

CharacterWindow* newLookingWindow() {
    return new LookingWindow;
}

// A first start's window that closes itself once it exists, so that runMibo runs through to its end.
class ClosingWindow : public CharacterWindow {
public:
    void afterCreate() override {
        CharacterWindow::afterCreate();
        PostMessageA(handle, WM_CLOSE, 0, 0);
    }
};

CharacterWindow* newClosingWindow() {
    return new ClosingWindow;
}

SoundPlayer* noSoundPlayer() {
    return nullptr;
}

uint64_t threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
}

} // namespace

TEST(MainLoop, PassWithoutMessageWaitsFiftyMillisecondsThenUpdates) {
    WindowScope scope;
    emptyQueue();
    CountingActivity* activity = new CountingActivity;
    spawn(activity);
    for (int pass = 1; pass <= 3; ++pass) {
        DWORD before = GetTickCount();
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage()));
        DWORD after = GetTickCount();
        EXPECT_EQ(pass, activity->steps);
        EXPECT_GE(frameTick, before);
        EXPECT_GE(after - frameTick, 50u);
        EXPECT_EQ(frameTick, activity->lastTick);
    }
}

TEST(MainLoop, QuitEndsTheLoopBeforeAnyUpdate) {
    WindowScope scope;
    emptyQueue();
    CountingActivity* activity = new CountingActivity;
    spawn(activity);
    PostQuitMessage(3);
    EXPECT_EQ(0, mainLoopPass(*characterWindow, newCharacterMessage()));
    EXPECT_EQ(0, activity->steps);
}

TEST(MainLoop, HandlesAtMostOneMessagePerPass) {
    WindowScope scope;
    emptyQueue();
    for (int i = 0; i < 3; ++i)
        PostThreadMessageA(GetCurrentThreadId(), WM_APP + i, 0, 0);
    const int expectedLeft[] = {2, 1, 0, 0};
    for (int left : expectedLeft) {
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage()));
        EXPECT_EQ(left, queuedMessages());
    }
}

TEST(MainLoop, DisplayChangeQuitsOnEveryPassUntilTheLoopEnds) {
    WindowScope scope;
    emptyQueue();
    CharacterWindowInsides(*characterWindow).displayChanged() = 1;
    EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage()));
    int code = -1;
    ASSERT_TRUE(LoadFailureCounter::takeQuitMessage(&code)); // taken off, so it is posted again
    EXPECT_EQ(0, code);
    EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage()));
    EXPECT_EQ(0, mainLoopPass(*characterWindow, newCharacterMessage()));
}

TEST(MainLoop, NewCharacterMessageAddsOneActivity) {
    WindowScope scope;
    LoadFailureCounter failures; // frames that are not built yet must not block on a message box
    emptyQueue();
    const UINT newCharacter = newCharacterMessage();
    EXPECT_NE(0u, newCharacter);
    EXPECT_EQ(newCharacter, RegisterWindowMessageA("tworz nowego miboa Rida2"));
    for (int expected = 1; expected <= 3; ++expected) {
        PostThreadMessageA(GetCurrentThreadId(), newCharacter, 0, 0);
        // The new activity is stepped in the same pass; a finished one would hand over, never vanish.
        int before = occupiedSlots();
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacter));
        EXPECT_GE(occupiedSlots(), before + 1);
        EXPECT_LE(occupiedSlots(), before + 2) << "one chain, at most one prop beside it";
        EXPECT_GE(occupiedSlots(), expected);
    }
}

// Every figure in a pause out of sight: after a pass that showed and changed nothing the loop sleeps until the
// first pause can end (at most a second), or not at all while a message waits; the pause still ends on time.
TEST(MainLoop, QuietPassSleepsUntilAFigureCanChange) {
    struct Row {
        int pause;       // ms from the start to the end of the pause
        int messages;    // posted before the quiet pass
        DWORD minElapsed; // from the start to the end of the quiet pass
        DWORD maxElapsed;
    } rows[] = {
        {400, 0, 400, 700},
        {3000, 0, 1000, 1400},
        {400, 2, 0, 350},
        {60, 0, 0, 350},
    };
    for (const Row& row : rows) {
        WindowScope scope;
        LoadFailureCounter failures;
        emptyQueue();
        frameTick = GetTickCount();
        AbsenceActivity* away = new AbsenceActivity;
        const DWORD start = GetTickCount();
        away->endTime = start + static_cast<uint32_t>(row.pause);
        spawn(away);
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage())); // it arrives: a change
        EXPECT_EQ(0u, characterWindow->quietAfterFrame());
        for (int i = 0; i < row.messages; ++i)
            PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
        EXPECT_EQ(1, mainLoopPass(*characterWindow, newCharacterMessage()));
        const DWORD elapsed = GetTickCount() - start;
        EXPECT_GE(elapsed, row.minElapsed) << row.pause << " " << row.messages;
        EXPECT_LE(elapsed, row.maxElapsed) << row.pause << " " << row.messages;
        if (row.pause == 400 && row.messages == 0) {
            const uint32_t end = away->endTime;
            mainLoopPass(*characterWindow, newCharacterMessage());
            EXPECT_GT(frameTick, end); // awake in time: the next pass is the one that ends the pause
        }
        emptyQueue();
    }
}

TEST(MainLoop, SleepingWaitReachesTheDeadlineWithoutSpinning) {
    struct Row {
        int offset;      // deadline relative to now
        DWORD minElapsed;
        DWORD maxElapsed;
    } rows[] = {
        {300, 300, 600},
        {50, 50, 300},
        {0, 0, 40},
        {-1000, 0, 40},       // already passed
        {-0x7FFFFFF0, 0, 40}, // far in the past, across the wrap of the counter
    };
    for (const Row& row : rows) {
        uint64_t cpuBefore = threadCpuMs();
        DWORD before = GetTickCount();
        sleepUntil(before + static_cast<uint32_t>(row.offset));
        DWORD elapsed = GetTickCount() - before;
        uint64_t cpu = threadCpuMs() - cpuBefore;
        EXPECT_GE(elapsed, row.minElapsed) << row.offset;
        EXPECT_LE(elapsed, row.maxElapsed) << row.offset;
        // A spinning wait would burn about the whole wait.
        EXPECT_LE(cpu, 20u + elapsed / 10) << row.offset;
    }
}

// A second start lets go of the mutex before it looks for the running window: a first instance restarting meanwhile
// finds no mutex and does not take itself for a second start.
TEST(Startup, SecondStartLetsGoOfTheMutexBeforeLookingForTheWindow) {
    gRunning = CreateMutexA(nullptr, FALSE, "RidaMibo2 mibo mutex");
    ASSERT_NE(nullptr, gRunning);
    EXPECT_EQ(0, runMibo(GetModuleHandleA(nullptr), newLookingWindow));
    EXPECT_EQ(0, gMutexWhileLooking);
    EXPECT_EQ(nullptr, characterWindow);
}

// Without a player (none could be made) the "sound" value read at start is stored back as it was: 2 is neither the
// silence nor the default. One run only: a full-screen window takes Wine seconds to destroy.
TEST(Startup, WithoutAPlayerTheSoundSettingIsStoredAsRead) {
    LoadFailureCounter failures; // the first scene's frames must not block on a message box
    const String path = settingsKeyPath();
    writeSetting(HKEY_CURRENT_USER, path.text(), "sound", 2);
    EXPECT_EQ(1, runMibo(GetModuleHandleA(nullptr), newClosingWindow, noSoundPlayer));
    int32_t stored = -1;
    EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, path.text(), "sound", &stored));
    EXPECT_EQ(2, stored);
}
