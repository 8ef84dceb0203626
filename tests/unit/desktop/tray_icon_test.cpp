#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/settings.h"
#include "engine/seams.h"
#include "desktop/settings_dialog.h"
#include "desktop/tray_icon.h"
#include "engine/picker.h"
#include "support/desk.h"
#include "support/dialog_steps.h"
#include "ui/dialog.h"

// The records keep the sizes of their first layouts, on either architecture.
#ifndef _WIN64
static_assert(kTrayRecordSize == 88, "the first NOTIFYICONDATAA layout is 88 bytes in 32-bit code");
static_assert(kMenuItemRecordSize == 44, "MENUITEMINFOA without hbmpItem is 44 bytes in 32-bit code");
#else
static_assert(kTrayRecordSize == 104, "the first NOTIFYICONDATAA layout is 104 bytes in 64-bit code");
static_assert(kMenuItemRecordSize == 72, "MENUITEMINFOA without hbmpItem is 72 bytes in 64-bit code");
#endif

namespace {

// Counts the settings dialogs open while a message is handled, from inside the dialog's own loop.
int openDialogs() {
    return dialogTable.count;
}

} // namespace

TEST(TrayIcon, AddedWithTheWindowAgainWithTheTaskbarAndRemovedAtClose) {
    Desk desk;
    CharacterWindow* window = desk.window();
    ASSERT_EQ(1u, Desk::trayCalls.size());
    EXPECT_NE(0u, window->trayCallbackMessage());
    EXPECT_EQ(RegisterWindowMessageA("notify_mibo_icon"), window->trayCallbackMessage());
    SendMessageA(window->handle, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    HWND native = window->handle;
    SendMessageA(native, WM_CLOSE, 0, 0);
    struct Row {
        DWORD message;
        UINT flags;
        UINT callback;
        HICON icon;
        std::string tip;
    } expected[] = {
        {NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, window->trayCallbackMessage(), window->trayIconPicture(), "configure mibo"},
        {NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, window->trayCallbackMessage(), window->trayIconPicture(), "configure mibo"},
        {NIM_DELETE, 0, 0, nullptr, ""},
    };
    ASSERT_EQ(3u, Desk::trayCalls.size());
    for (size_t i = 0; i < 3; ++i) {
        const TrayCall& call = Desk::trayCalls[i];
        EXPECT_EQ(expected[i].message, call.message) << i;
        EXPECT_EQ(kTrayRecordSize, call.size) << i;
        EXPECT_EQ(native, call.window) << i;
        EXPECT_EQ(kTrayIconId, call.id) << i;
        EXPECT_EQ(expected[i].flags, call.flags) << i;
        EXPECT_EQ(expected[i].callback, call.callback) << i;
        EXPECT_EQ(expected[i].icon, call.icon) << i;
        EXPECT_EQ(expected[i].tip, call.tip) << i;
    }
    EXPECT_FALSE(IsWindow(native));
}

TEST(TrayIcon, SystemMenuHoldsOnlyConfigure) {
    Desk desk;
    HMENU menu = GetSystemMenu(desk.window()->handle, FALSE);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    char text[64] = {};
    GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("configure mibo", text);
    EXPECT_EQ(kConfigureCommand, GetMenuItemID(menu, 0));
    EXPECT_EQ(reinterpret_cast<LPARAM>(desk.window()->trayIconPicture()),
              SendMessageA(desk.window()->handle, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LPARAM>(desk.window()->icon()),
              SendMessageA(desk.window()->handle, WM_GETICON, ICON_SMALL, 0));
}

// Each way in opens the dialog once; a second way in while it is open opens none. The dialog is closed with its
// close box from the test's timer.
TEST(TrayIcon, WaysToTheDialog) {
    struct Row {
        const char* how;
        UINT message; // 0: the tray callback message
        WPARAM wParam;
        LPARAM lParam;
        int opened;
    } rows[] = {
        {"right click", WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5), 1},
        {"tray left press", 0, kTrayIconId, WM_LBUTTONDOWN, 1},
        {"tray right press", 0, kTrayIconId, WM_RBUTTONDOWN, 1},
        {"tray move", 0, kTrayIconId, WM_MOUSEMOVE, 0},
        {"tray release", 0, kTrayIconId, WM_LBUTTONUP, 0},
        {"tray right release", 0, kTrayIconId, WM_RBUTTONUP, 0},
        {"tray double click", 0, kTrayIconId, WM_LBUTTONDBLCLK, 0},
        {"menu item", WM_SYSCOMMAND, kConfigureCommand, MAKELPARAM(40, 50), 1},
    };
    for (const Row& row : rows) {
        Desk desk;
        HWND window = desk.window()->handle;
        UINT message = row.message ? row.message : desk.window()->trayCallbackMessage();
        int openedFirst = 0;
        int openedSecond = -1;
        DialogSteps steps({[&] {
                               openedFirst = openDialogs();
                               // Every way in again, while it is open.
                               SendMessageA(window, WM_RBUTTONDOWN, 0, 0);
                               SendMessageA(window, desk.window()->trayCallbackMessage(), kTrayIconId, WM_LBUTTONDOWN);
                               SendMessageA(window, WM_SYSCOMMAND, kConfigureCommand, 0);
                               openedSecond = openDialogs();
                           },
                           [&] {
                               if (dialogTable.count)
                                   SendMessageA(dialogTable.at(0)->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
                           }});
        SendMessageA(window, message, row.wParam, row.lParam);
        EXPECT_EQ(row.opened, openedFirst) << row.how;
        if (row.opened) {
            EXPECT_EQ(1, openedSecond) << row.how;
        }
        EXPECT_EQ(0, CharacterWindowInsides(*desk.window()).dialogOpen()) << row.how;
        EXPECT_EQ(0, dialogTable.count) << row.how;
        EXPECT_TRUE(IsWindow(window)) << row.how; // the close box leaves the character window running
    }
}

TEST(TrayIcon, ShutdownClosesTheWindowAfterTheDialog) {
    Desk desk;
    HWND window = desk.window()->handle;
    bool stillThere = false;
    DialogSteps steps({[&] {
        stillThere = IsWindow(window) != 0;
        SendMessageA(dialogTable.at(0)->handle, WM_COMMAND, IDC_SHUTDOWN, 0);
    }});
    SendMessageA(window, WM_RBUTTONDOWN, 0, 0);
    EXPECT_TRUE(stillThere);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT)
        DispatchMessageA(&message); // the posted WM_CLOSE
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(NIM_DELETE, Desk::trayCalls.back().message);
}

TEST(TrayIcon, MissingTemplateShowsTheError) {
    Desk desk;
    gSeams.settingsDialogTemplate = "NO_SUCH_DIALOG";
    SendMessageA(desk.window()->handle, WM_RBUTTONDOWN, 0, 0);
    gSeams.settingsDialogTemplate = "DIALOG_INNE";
    EXPECT_EQ(std::vector<std::string>{"error: can't create dialog box"}, Desk::messageBoxes);
    EXPECT_EQ(0, CharacterWindowInsides(*desk.window()).dialogOpen());
}

// Other system commands still reach Windows: Alt+F4 closes the window.
TEST(TrayIcon, OtherSystemCommandsStillWork) {
    Desk desk;
    HWND window = desk.window()->handle;
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
}

// At the end of the Windows session the process is ended once WM_ENDSESSION is answered: the three settings are
// written then, and only then.
TEST(TrayIcon, EndOfSessionStoresTheSettings) {
    struct Row {
        UINT message;
        WPARAM wParam;
        bool written;
    } rows[] = {
        {WM_QUERYENDSESSION, 0, false},
        {WM_ENDSESSION, FALSE, false},
        {WM_ENDSESSION, TRUE, true},
    };
    for (const Row& row : rows) {
        Desk desk(SoundMode::Fallback);
        String path = settingsKeyPath();
        for (const char* name : {"funlevel", "taskbar", "sound"})
            writeSetting(HKEY_CURRENT_USER, path.text(), name, 77);
        funLevel = 2;
        desk.window()->setShowInTaskbar(1);
        LRESULT answer = SendMessageA(desk.window()->handle, row.message, row.wParam, 0);
        if (row.message == WM_QUERYENDSESSION) {
            EXPECT_NE(0, answer); // the session may end
        }
        int32_t stored[3] = {};
        readSetting(HKEY_CURRENT_USER, path.text(), "funlevel", &stored[0]);
        readSetting(HKEY_CURRENT_USER, path.text(), "taskbar", &stored[1]);
        readSetting(HKEY_CURRENT_USER, path.text(), "sound", &stored[2]);
        std::vector<int32_t> expected = row.written ? std::vector<int32_t>{2, 1, 2} : std::vector<int32_t>{77, 77, 77};
        EXPECT_EQ(expected, std::vector<int32_t>(stored, stored + 3)) << row.message << " " << row.wParam;
    }
}
