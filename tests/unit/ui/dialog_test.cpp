#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "support/dialog_steps.h"
#include "support/test_support.h"
#include "ui/dialog.h"
#include "ui/window.h"

namespace {

// While set, arrays allocated without exceptions are refused: the dialog table cannot grow.
bool gRefuseArrays = false;

} // namespace

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return gRefuseArrays ? nullptr : std::malloc(size);
}

namespace {

// The base dialog on the program's template, counting confirmClose and answering it as told.
class CountingDialog : public Dialog {
public:
    int confirmAnswer = 1;
    int confirmCalls = 0;
    int confirmClose() override {
        ++confirmCalls;
        return confirmAnswer;
    }
};

// An owner window that ends the thread's loop when it goes, as the character window does.
class QuittingOwner : public Window {
public:
    DWORD style() override { return WS_POPUP; }
    int showCommand() override { return SW_HIDE; }
    void onDestroy() override {
        PostQuitMessage(0);
        handle = nullptr;
    }
};

bool open(Dialog& dialog, HWND owner = nullptr) {
    return dialog.create(GetModuleHandleA(nullptr), "DIALOG_INNE", owner);
}

void press(Dialog& dialog, int id) {
    SendMessageA(dialog.handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// CPU time of this thread in milliseconds.
double threadCpuMs() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace

TEST(Dialog, EndingsGiveTheirResults) {
    struct Row {
        const char* how;
        int confirmAnswer;
        std::function<void(CountingDialog&)> end;
        int result;
        int confirmCalls;
    } rows[] = {
        {"OK", 1, [](CountingDialog& d) { press(d, IDOK); }, 1, 1},
        {"close box", 1, [](CountingDialog& d) { SendMessageA(d.handle, WM_SYSCOMMAND, SC_CLOSE, 0); }, -1, 0},
        {"WM_CLOSE", 1, [](CountingDialog& d) { SendMessageA(d.handle, WM_CLOSE, 0, 0); }, -1, 1},
        // Refused twice, then the close box ends it anyway.
        {"refused", 0,
         [](CountingDialog& d) {
             press(d, IDOK);
             SendMessageA(d.handle, WM_CLOSE, 0, 0);
             EXPECT_TRUE(IsWindow(d.handle));
             SendMessageA(d.handle, WM_SYSCOMMAND, SC_CLOSE, 0);
         },
         1, 2},
        // Sent from the loop's own thread inside a timer, but not from a dispatched window message.
        {"destroyed", 1, [](CountingDialog& d) { DestroyWindow(d.handle); }, -1, 0},
    };
    for (const Row& row : rows) {
        CountingDialog dialog;
        dialog.confirmAnswer = row.confirmAnswer;
        ASSERT_TRUE(open(dialog)) << row.how;
        HWND native = dialog.handle;
        EXPECT_EQ(&dialog, dialogTable.find(native));
        DialogSteps steps({[&] { row.end(dialog); }});
        EXPECT_EQ(row.result, dialog.runMessageLoop()) << row.how;
        EXPECT_EQ(row.confirmCalls, dialog.confirmCalls) << row.how;
        EXPECT_FALSE(IsWindow(native)) << row.how;
        EXPECT_EQ(0, dialogTable.count) << row.how;
        EXPECT_EQ(-12345, takeQuit()) << row.how; // the dialog leaves no WM_QUIT behind for the caller's loop
    }
}

TEST(Dialog, NoDialogNoWait) {
    struct Row {
        const char* templateName;
        bool tableFull;
    } rows[] = {{"NO_SUCH_TEMPLATE", false}, {"DIALOG_INNE", true}};
    for (const Row& row : rows) {
        Dialog dialog;
        gRefuseArrays = row.tableFull;
        EXPECT_FALSE(dialog.create(GetModuleHandleA(nullptr), row.templateName, nullptr)) << row.tableFull;
        gRefuseArrays = false;
        EXPECT_EQ(nullptr, dialog.handle) << row.tableFull;
        EXPECT_EQ(0, dialogTable.count) << row.tableFull;
        DialogSteps backstop({[] { PostQuitMessage(0); }}, 500); // ends a loop that would wait for ever
        DWORD start = GetTickCount();
        EXPECT_EQ(-1, dialog.runMessageLoop()) << row.tableFull;
        EXPECT_LT(GetTickCount() - start, 100u) << row.tableFull;
        takeQuit();
    }
}

TEST(Dialog, CentredOnTheScreen) {
    Dialog dialog;
    ASSERT_TRUE(open(dialog));
    RECT box;
    GetWindowRect(dialog.handle, &box);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    EXPECT_EQ((screenWidth() - width) / 2, box.left);
    EXPECT_EQ((screenHeight() - height) / 2, box.top);
    EXPECT_TRUE(IsWindowVisible(dialog.handle));
    DestroyWindow(dialog.handle);
}

// The loop sleeps in GetMessageA: over 1.5 s of an open dialog the thread uses a small part of a processor.
TEST(Dialog, WaitingHoldsNoProcessor) {
    Dialog dialog;
    ASSERT_TRUE(open(dialog));
    DWORD start = GetTickCount();
    DialogSteps steps({[&] { press(dialog, IDOK); }}, 1500);
    double cpuBefore = threadCpuMs();
    EXPECT_EQ(1, dialog.runMessageLoop());
    double cpu = threadCpuMs() - cpuBefore;
    DWORD wall = GetTickCount() - start;
    EXPECT_GE(wall, 1400u);
    // Under Wine a polling loop spends most of its time in the server; its own thread still shows about 8 %.
    // The thread's time comes in whole scheduler ticks (up to 16 ms), so one tick is allowed on top.
    EXPECT_LT(cpu, wall * 0.03 + 16) << cpu << " ms of CPU in " << wall << " ms";
}

// A quit for the caller's loop ends the dialog without applying anything and is passed on, whoever posted it.
TEST(Dialog, ForeignQuitEndsTheDialogAndIsPostedAgain) {
    struct Row {
        const char* who;
        bool ownerGoes;
        int quitCode;
    } rows[] = {
        {"posted on the thread", false, 7},
        {"owner window destroyed", true, 0},
    };
    for (const Row& row : rows) {
        QuittingOwner owner;
        ASSERT_EQ(1, owner.create(GetModuleHandleA(nullptr), nullptr));
        CountingDialog dialog;
        ASSERT_TRUE(open(dialog, owner.handle));
        HWND native = dialog.handle;
        DialogSteps steps({[&] {
            if (row.ownerGoes)
                DestroyWindow(owner.handle);
            else
                PostQuitMessage(row.quitCode);
        }});
        EXPECT_EQ(-1, dialog.runMessageLoop()) << row.who;
        EXPECT_EQ(0, dialog.confirmCalls) << row.who;
        EXPECT_FALSE(IsWindow(native)) << row.who;
        EXPECT_EQ(0, dialogTable.count) << row.who;
        EXPECT_EQ(row.quitCode, takeQuit()) << row.who;
    }
}

// A thread message reaches no window: the dialog stays open until it is closed.
TEST(Dialog, ThreadMessagesChangeNothing) {
    CountingDialog dialog;
    ASSERT_TRUE(open(dialog));
    bool openAfter = false;
    DialogSteps steps({[] { PostThreadMessageA(GetCurrentThreadId(), WM_CLOSE, 0, 0); },
                       [] { PostThreadMessageA(GetCurrentThreadId(), WM_COMMAND, IDOK, 0); },
                       [&] {
                           openAfter = IsWindow(dialog.handle) != 0;
                           press(dialog, IDOK);
                       }});
    EXPECT_EQ(1, dialog.runMessageLoop());
    EXPECT_TRUE(openAfter);
}

TEST(DialogTable, AddsRemovesFindsAndClamps) {
    Dialog a, b, c;
    a.handle = reinterpret_cast<HWND>(0x10);
    b.handle = reinterpret_cast<HWND>(0x20);
    c.handle = reinterpret_cast<HWND>(0x30);
    DialogTable table;
    struct Row {
        std::function<void()> change;
        std::vector<Dialog*> entries;
    } rows[] = {
        {[&] { table.add(&a); }, {&a}},
        {[&] { table.add(&b); }, {&a, &b}},
        {[&] { table.add(&c); }, {&a, &b, &c}},
        {[&] { table.remove(&b); }, {&a, &c}},
        {[&] { table.remove(&b); }, {&a, &c}},
        {[&] { table.remove(&a); }, {&c}},
        {[&] { table.remove(&c); }, {}},
    };
    for (const Row& row : rows) {
        row.change();
        ASSERT_EQ(static_cast<int>(row.entries.size()), table.count);
        for (size_t i = 0; i < row.entries.size(); ++i) {
            EXPECT_EQ(row.entries[i], table.dialogs[i]);
            EXPECT_EQ(row.entries[i], table.find(row.entries[i]->handle));
        }
        EXPECT_EQ(row.entries.empty() ? nullptr : row.entries.back(), table.at(99));
    }
    EXPECT_EQ(nullptr, table.find(a.handle));
    a.handle = b.handle = c.handle = nullptr; // not real dialogs: nothing to destroy
}
