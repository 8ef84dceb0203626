#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui/window.h"

namespace {

// Records which slot each message reached and answers with a chosen value.
class RecordingWindow : public Window {
public:
    std::vector<std::string> calls;
    std::vector<UINT> defaultMessages;
    LRESULT answer = 7;
    int visibleInAfterCreate = -1;
    HWND handleInOnCreate = nullptr;
    int mouseX = -1;
    int mouseY = -1;

    void afterCreate() override { visibleInAfterCreate = IsWindowVisible(handle) ? 1 : 0; }
    DWORD style() override { return WS_POPUP; }
    int showCommand() override { return SW_SHOWNOACTIVATE; }
    LRESULT defaultHandler(UINT message, WPARAM wParam, LPARAM lParam) override {
        defaultMessages.push_back(message);
        return Window::defaultHandler(message, wParam, lParam);
    }
    LRESULT onCreate(LPARAM) override {
        handleInOnCreate = handle;
        return 0;
    }
    LRESULT onInitMenu(WPARAM) override { return record("onInitMenu"); }
    LRESULT onInitMenuPopup(WPARAM, int, int) override { return record("onInitMenuPopup"); }
    void onMouseMove(int x, int y, WPARAM) override { mouse("onMouseMove", x, y); }
    void onLeftButtonUp(int x, int y, WPARAM) override { mouse("onLeftButtonUp", x, y); }
    void onLeftButtonDown(int x, int y, WPARAM) override { mouse("onLeftButtonDown", x, y); }
    void onRightButtonUp(int x, int y, WPARAM) override { mouse("onRightButtonUp", x, y); }
    void onRightButtonDown(int x, int y, WPARAM) override { mouse("onRightButtonDown", x, y); }
    LRESULT onActivateApp(WPARAM, LPARAM) override { return record("onActivateApp"); }
    LRESULT onChar(WPARAM, LPARAM) override { return record("onChar"); }
    LRESULT onTimer(WPARAM) override { return record("onTimer"); }
    LRESULT onKeyUp(WPARAM) override { return record("onKeyUp"); }
    LRESULT onKeyDown(WPARAM) override { return record("onKeyDown"); }
    LRESULT onEraseBackground(WPARAM) override { return record("onEraseBackground"); }

private:
    LRESULT record(const char* name) {
        calls.push_back(name);
        return answer;
    }
    void mouse(const char* name, int x, int y) {
        calls.push_back(name);
        mouseX = x;
        mouseY = y;
    }
};

// A window whose system-command handler answers as told.
class SysCommandWindow : public Window {
public:
    LRESULT sysCommandAnswer = 1;
    DWORD style() override { return WS_POPUP; }
    int showCommand() override { return SW_HIDE; }
    LRESULT onSysCommand(WPARAM, LPARAM, int) override { return sysCommandAnswer; }
};

void dropQuitMessages() {
    int ignored;
    while (LoadFailureCounter::takeQuitMessage(&ignored)) {
    }
}

} // namespace

TEST(Window, CreateRegistersAndShowsAfterAfterCreate) {
    RecordingWindow window;
    ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
    ASSERT_NE(nullptr, window.handle);
    EXPECT_EQ(window.handle, window.handleInOnCreate); // set before CreateWindowExA returned
    EXPECT_EQ(0, window.visibleInAfterCreate);
    EXPECT_TRUE(IsWindowVisible(window.handle));
    EXPECT_EQ(&window, windowTable.find(window.handle));
    EXPECT_EQ(0, window.create(GetModuleHandleA(nullptr), nullptr)); // never entered twice
    EXPECT_EQ(1u, windowTable.count);

    char name[64] = {};
    GetClassNameA(window.handle, name, sizeof(name));
    EXPECT_STREQ("VeltoWindowClass", name);
    char title[64] = {};
    GetWindowTextA(window.handle, title, sizeof(title));
    EXPECT_STREQ("VeltoWindowClass", title);
}

TEST(Window, MessagesBeforeCreateAndAfterDestroyGoToTheSystem) {
    RecordingWindow window;
    ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
    HWND native = window.handle;
    DestroyWindow(native);
    EXPECT_EQ(nullptr, window.handle);
    EXPECT_EQ(0u, windowTable.count);
    for (UINT early : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_GETMINMAXINFO),
                       static_cast<UINT>(WM_NCDESTROY)})
        EXPECT_EQ(0, std::count(window.defaultMessages.begin(), window.defaultMessages.end(), early)) << early;
    EXPECT_EQ(1, std::count(window.defaultMessages.begin(), window.defaultMessages.end(),
                            static_cast<UINT>(WM_DESTROY)));
    dropQuitMessages();
}

TEST(Window, DispatchesEachMessageToItsSlot) {
    RecordingWindow window;
    ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
    struct Row {
        UINT message;
        const char* slot;
        LRESULT expected; // mouse handlers answer 0 whatever they do
    } rows[] = {
        {WM_INITMENU, "onInitMenu", 7},
        {WM_INITMENUPOPUP, "onInitMenuPopup", 7},
        {WM_ACTIVATEAPP, "onActivateApp", 7},
        {WM_CHAR, "onChar", 7},
        {WM_TIMER, "onTimer", 7},
        {WM_KEYUP, "onKeyUp", 7},
        {WM_KEYDOWN, "onKeyDown", 7},
        {WM_ERASEBKGND, "onEraseBackground", 7},
        {WM_MOUSEMOVE, "onMouseMove", 0},
        {WM_LBUTTONDOWN, "onLeftButtonDown", 0},
        {WM_LBUTTONUP, "onLeftButtonUp", 0},
        {WM_RBUTTONDOWN, "onRightButtonDown", 0},
        {WM_RBUTTONUP, "onRightButtonUp", 0},
    };
    for (const Row& row : rows) {
        window.calls.clear();
        LRESULT result = SendMessageA(window.handle, row.message, 0, 0);
        ASSERT_EQ(1u, window.calls.size()) << row.slot;
        EXPECT_EQ(row.slot, window.calls[0]);
        EXPECT_EQ(row.expected, result) << row.slot;
    }
}

TEST(Window, MouseCoordinatesAreUnsignedHalves) {
    RecordingWindow window;
    ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
    struct Row {
        LPARAM lParam;
        int x;
        int y;
    } rows[] = {
        {MAKELPARAM(12, 34), 12, 34},
        {MAKELPARAM(0xFFFF, 0), 65535, 0}, // -1 from a captured mouse left of the window stays unsigned
        {MAKELPARAM(0, 0xFFFE), 0, 65534},
    };
    for (const Row& row : rows) {
        SendMessageA(window.handle, WM_LBUTTONDOWN, 0, row.lParam);
        EXPECT_EQ(row.x, window.mouseX);
        EXPECT_EQ(row.y, window.mouseY);
    }
}

TEST(Window, SysCommandAnswerDecidesWhetherWindowsActs) {
    struct Row {
        LRESULT answer;
        bool closed;
    } rows[] = {{0, false}, {1, true}, {5, true}};
    for (const Row& row : rows) {
        SysCommandWindow window;
        window.sysCommandAnswer = row.answer;
        ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
        HWND native = window.handle;
        SendMessageA(native, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(row.closed, !IsWindow(native)) << row.answer;
        EXPECT_EQ(row.closed, window.handle == nullptr) << row.answer;
    }
    dropQuitMessages();
}

TEST(Window, SecondWindowMovesUpWhenTheFirstGoes) {
    SysCommandWindow first;
    SysCommandWindow second;
    ASSERT_EQ(1, first.create(GetModuleHandleA(nullptr), nullptr));
    ASSERT_EQ(1, second.create(GetModuleHandleA(nullptr), nullptr));
    ASSERT_EQ(2u, windowTable.count);
    SendMessageA(first.handle, WM_CLOSE, 0, 0);
    ASSERT_EQ(1u, windowTable.count);
    EXPECT_EQ(&second, windowTable.objects[0]);
    EXPECT_EQ(second.handle, windowTable.handles[0]);
    // Still dispatched to its object: the base WM_CLOSE destroys it and clears its handle.
    HWND native = second.handle;
    SendMessageA(native, WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, second.handle);
    EXPECT_EQ(0u, windowTable.count);
}

TEST(Window, DestructorDestroysTheNativeWindow) {
    HWND native;
    {
        SysCommandWindow window;
        ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
        native = window.handle;
    }
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(0u, windowTable.count);
}

TEST(Window, SetShapeGivesTheWindowACopy) {
    SysCommandWindow window;
    ASSERT_EQ(1, window.create(GetModuleHandleA(nullptr), nullptr));
    struct Row {
        std::vector<Rect> rects;
    } rows[] = {
        {{Rect(0, 0, 10, 10)}},
        {{Rect(5, 5, 20, 9), Rect(30, 40, 50, 60)}},
        {{}},
    };
    for (const Row& row : rows) {
        Region shape;
        shape.ensureHandle();
        for (const Rect& r : row.rects) {
            HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            CombineRgn(shape.handle, shape.handle, part, RGN_OR);
            DeleteObject(part);
        }
        EXPECT_NE(0, window.setShape(shape, FALSE));
        HRGN read = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(window.handle, read);
        EXPECT_EQ(row.rects, regionRects(read));
        EXPECT_EQ(row.rects, regionRects(shape.handle)); // the caller's region is still alive and unchanged
        DeleteObject(read);
    }
}
