#include <gtest/gtest.h>

#include <vector>

#include "app/startup.h"
#include "engine/seams.h"
#include "desktop/character_window.h"
#include "support/test_support.h"

namespace {

// A rectangle that moves by `dx` per step and is shaped to all of itself; finishes after `life` steps.
class BlockActivity : public Activity {
public:
    BlockActivity(Rect where, int dx, int life, int* destroyed = nullptr)
        : dx(dx), life(life), steps(0), destroyed(destroyed) {
        rect = where;
    }
    ~BlockActivity() override {
        if (destroyed)
            ++*destroyed;
    }
    int step(Rect& outRect, Region& outShape) override {
        rectAtStep = rect;
        screenAtStep = Point(screenWidth(), screenHeight());
        if (++steps > life)
            return 0;
        if (steps > 1)
            rect.offset(dx, 0);
        outRect = rect;
        outShape.reset();
        outShape.handle = CreateRectRgn(0, 0, rect.width(), rect.height());
        return 1;
    }
    int dx;
    int life;
    int steps;
    int* destroyed;
    Rect rectAtStep; // the rectangle as the window left it just before the step
    Point screenAtStep; // the screen's size as the step read it
};

// A created character window in the global slot, closed and deleted at the end.
class CreatedWindow {
public:
    CreatedWindow() {
        EXPECT_EQ(1, characterWindow->create(GetModuleHandleA(nullptr), nullptr));
    }
    ~CreatedWindow() {
        int ignored;
        while (LoadFailureCounter::takeQuitMessage(&ignored)) {
        }
    }
    CreatedWindow(const CreatedWindow&) = delete;
    CreatedWindow& operator=(const CreatedWindow&) = delete;

    CharacterWindow* operator->() const { return characterWindow; }

    std::vector<Rect> shape() const {
        HRGN read = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(characterWindow->handle, read);
        std::vector<Rect> rects = regionRects(read);
        DeleteObject(read);
        return rects;
    }
};

int WINAPI refuseRegion(HWND, HRGN, BOOL) {
    return 0;
}

} // namespace

TEST(CharacterWindow, NamesAndPlacement) {
    WindowScope scope;
    CreatedWindow window;
    char buffer[kWindowTextRoom];
    EXPECT_STREQ("Rida Mibo 199917989126331", window->className(buffer, sizeof(buffer)));
    EXPECT_STREQ("Rida Mibo 1999", window->windowTitle(buffer, sizeof(buffer)));
    ASSERT_NE(nullptr, window->handle);
    EXPECT_EQ(window->handle, FindWindowA("Rida Mibo 199917989126331", nullptr));
    RECT placed;
    GetWindowRect(window->handle, &placed);
    EXPECT_EQ(Rect(0, 0, screenWidth(), screenHeight()), Rect(placed.left, placed.top, placed.right, placed.bottom));
    EXPECT_TRUE(GetWindowLongA(window->handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(window->handle));
    EXPECT_EQ(Point(screenWidth(), screenHeight()), CharacterWindowInsides(*characterWindow).screenSize());
    EXPECT_EQ(0, window->sawDisplayChange());
    EXPECT_NE(nullptr, CharacterWindowInsides(*characterWindow).backgroundDc());
    EXPECT_NE(nullptr, CharacterWindowInsides(*characterWindow).compositionBitmap());
}

// The window is cut to this frame's outlines only: nothing of the previous frame stays in it.
TEST(CharacterWindow, ShapeFollowsThisFrameOnly) {
    WindowScope scope;
    CreatedWindow window;
    spawn(new BlockActivity(Rect(100, 600, 140, 650), 20, 100));
    spawn(new BlockActivity(Rect(500, 100, 510, 120), -5, 100));
    struct Row {
        std::vector<Rect> expected;
    } frames[] = {
        {{Rect(500, 100, 510, 120), Rect(100, 600, 140, 650)}},
        {{Rect(495, 100, 505, 120), Rect(120, 600, 160, 650)}},
        {{Rect(490, 100, 500, 120), Rect(140, 600, 180, 650)}},
    };
    for (const Row& frame : frames) {
        window->onTimer(0);
        EXPECT_EQ(frame.expected, window.shape());
    }
    EXPECT_EQ(Rect(140, 600, 180, 650), window->boundsOf(0));
    EXPECT_EQ(Rect(120, 600, 160, 650), window->previousBoundsOf(0));
}

// A shape the system refused is not remembered: the next frame sets it, although the figure stands still.
TEST(CharacterWindow, RefusedShapeIsSetAgain) {
    WindowScope scope;
    CreatedWindow window;
    spawn(new BlockActivity(Rect(100, 100, 140, 150), 0, 100));
    const std::vector<Rect> standing{Rect(100, 100, 140, 150)};
    struct Row {
        bool refused;
        std::vector<Rect> expected;
    } frames[] = {{true, {}}, {false, standing}, {false, standing}};
    for (const Row& frame : frames) {
        gSeams.setWindowRegion = frame.refused ? refuseRegion : SetWindowRgn;
        window->onTimer(0);
        EXPECT_EQ(frame.expected, window.shape()) << frame.refused;
    }
}

TEST(CharacterWindow, FinishedActivityLeavesItsSlotAndTheShape) {
    WindowScope scope;
    CreatedWindow window;
    int destroyed = 0;
    spawn(new BlockActivity(Rect(10, 10, 30, 30), 0, 1, &destroyed));
    window->onTimer(0);
    EXPECT_EQ(std::vector<Rect>{Rect(10, 10, 30, 30)}, window.shape());
    EXPECT_EQ(Rect(10, 10, 30, 30), window->previousBoundsOf(0)); // just added: as if it had been here
    window->onTimer(0);
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(nullptr, window->activityIn(0));
    EXPECT_EQ(Rect(0, 0, 0, 0), window->boundsOf(0));
    EXPECT_EQ(Rect(0, 0, 0, 0), window->previousBoundsOf(0));
    EXPECT_EQ(nullptr, window->shapeOf(0).handle);
    EXPECT_TRUE(window.shape().empty());
    window->onTimer(0); // nothing left: still fine
    EXPECT_TRUE(window.shape().empty());
}

TEST(CharacterWindow, WrapsAroundTheScreenSides) {
    WindowScope scope;
    CreatedWindow window;
    const int w = screenWidth();
    struct Row {
        Rect start;
        Rect expected;
    } rows[] = {
        {{w + 1, 700, w + 61, 768}, {1 - 30, 700, 61 - 30, 768}},   // off the right: back on the left
        {{-61, 700, -1, 768}, {w - 61 + 30, 700, w - 1 + 30, 768}}, // off the left: back on the right
        {{w, 700, w + 60, 768}, {w, 700, w + 60, 768}},             // left edge on the screen edge: stays
        {{-60, 700, 0, 768}, {-60, 700, 0, 768}},                   // right edge at 0: stays
        {{w + 1, 700, w + 62, 768}, {1 - 30, 700, 62 - 30, 768}},   // odd width: half truncated
    };
    for (const Row& row : rows) {
        BlockActivity* block = new BlockActivity(row.start, 0, 100);
        spawn(block);
        window->onTimer(0);
        EXPECT_EQ(row.expected, window->boundsOf(0)) << row.start;
        EXPECT_EQ(row.expected, block->rect) << row.start;
        EXPECT_EQ(std::vector<Rect>{row.expected}, window.shape()) << row.start;
        window->removeActivity(0);
    }
}

TEST(CharacterWindow, LeftButtonGrabsTheLowestSlotUnderTheCursor) {
    WindowScope scope;
    CreatedWindow window;
    BlockActivity* lower = new BlockActivity(Rect(100, 100, 200, 200), 0, 1000);
    BlockActivity* upper = new BlockActivity(Rect(150, 150, 250, 250), 0, 1000);
    spawn(lower);
    spawn(upper);
    window->onTimer(0);
    struct Row {
        int x;
        int y;
        Activity* expected;
    } rows[] = {
        {160, 160, lower}, // both shapes: the lowest slot wins although the upper one is drawn on top
        {240, 240, upper},
        {110, 110, lower},
        {300, 300, nullptr},
        {99, 150, nullptr},
    };
    for (const Row& row : rows) {
        SendMessageA(window->handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.x, row.y));
        EXPECT_EQ(row.expected, window->grabbedActivity()) << row.x << "," << row.y;
        EXPECT_EQ(row.expected ? window->handle : nullptr, GetCapture()) << row.x << "," << row.y;
        SendMessageA(window->handle, WM_LBUTTONUP, 0, MAKELPARAM(row.x, row.y));
        EXPECT_EQ(nullptr, window->grabbedActivity());
        EXPECT_EQ(nullptr, GetCapture());
    }
}

TEST(CharacterWindow, GrabbedActivityIsCentredOnTheCursorBeforeItSteps) {
    WindowScope scope;
    CreatedWindow window;
    BlockActivity* block = new BlockActivity(Rect(100, 100, 175, 183), 0, 1000);
    spawn(block);
    window->onTimer(0);
    SendMessageA(window->handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 120));
    ASSERT_EQ(block, window->grabbedActivity());
    struct Row {
        int x;
        int y;
    } cursors[] = {{500, 400}, {37, 41}, {900, 700}};
    for (const Row& cursor : cursors) {
        SetCursorPos(cursor.x, cursor.y);
        POINT real;
        GetCursorPos(&real);
        window->onTimer(0);
        EXPECT_EQ(Rect(real.x - 37, real.y - 41, real.x + 38, real.y + 42), block->rectAtStep);
    }
    SendMessageA(window->handle, WM_LBUTTONUP, 0, 0);
    Rect released = block->rect;
    SetCursorPos(10, 10);
    window->onTimer(0);
    EXPECT_EQ(released, block->rectAtStep); // carries on by itself after release
}

// At scale 2 the scenes see half the screen each way; the shape is their outlines doubled, and the cursor is halved
// to find and to carry a figure.
TEST(CharacterWindow, AtScaleTwoTheShapeIsDoubledAndTheCursorHalved) {
    struct ScaleScope {
        ScaleScope() { setDisplayScale(2); }
        ~ScaleScope() { setDisplayScale(1); }
    } scale;
    WindowScope scope;
    CreatedWindow window;
    BlockActivity* block = new BlockActivity(Rect(100, 100, 140, 151), 0, 1000);
    spawn(block);
    window->onTimer(0);
    EXPECT_EQ(Point(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2), block->screenAtStep);
    EXPECT_EQ(std::vector<Rect>{Rect(200, 200, 280, 302)}, window.shape());
    const struct {
        int x, y;
        bool grabs;
    } presses[] = {{199, 250, false}, {280, 250, false}, {250, 302, false}, {279, 301, true}, {200, 200, true}};
    for (const auto& press : presses) { // the last one holds the figure
        SendMessageA(window->handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
        EXPECT_EQ(press.grabs ? block : nullptr, window->grabbedActivity()) << press.x << "," << press.y;
    }
    SetCursorPos(501, 400);
    POINT real;
    GetCursorPos(&real);
    window->onTimer(0);
    EXPECT_EQ(Rect(real.x / 2 - 20, real.y / 2 - 25, real.x / 2 + 20, real.y / 2 + 26), block->rect);
    SendMessageA(window->handle, WM_LBUTTONUP, 0, 0);

    // A new DPI may call for another scale: the program starts again, as after a new display mode.
    EXPECT_EQ(0, window->sawDisplayChange());
    RECT suggested = {0, 0, 100, 100};
    SendMessageA(window->handle, kDpiChangedMessage, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(1, window->sawDisplayChange());
}

TEST(CharacterWindow, FinishingGrabbedActivityIsLetGo) {
    WindowScope scope;
    CreatedWindow window;
    spawn(new BlockActivity(Rect(100, 100, 200, 200), 0, 1));
    window->onTimer(0);
    SendMessageA(window->handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 150));
    ASSERT_NE(nullptr, window->grabbedActivity());
    window->onTimer(0);
    EXPECT_EQ(nullptr, window->grabbedActivity());
    SendMessageA(window->handle, WM_LBUTTONUP, 0, 0);
}

// The remembered size against the frame's sample of the screen, which every reader in the frame gets; a row with
// a sample delta stands in a display change with a sample of another size held around the frame update.
TEST(CharacterWindow, NoticesADisplayChange) {
    WindowScope scope;
    CreatedWindow window; // one window for every row: destroying one costs Wine two seconds
    const Point size = CharacterWindowInsides(*characterWindow).screenSize();
    const int depth = CharacterWindowInsides(*characterWindow).colourDepth();
    BlockActivity* block = new BlockActivity(Rect(10, 10, 20, 20), 0, 1000);
    spawn(block);
    struct Row {
        int widthDelta;
        int heightDelta;
        int depthDelta;
        int announced; // the depth a WM_DISPLAYCHANGE before the frame tells; 0: none
        int sampleWidthDelta;
        int sampleHeightDelta;
        int expected;
    } rows[] = {
        {0, 0, 0, 0, 0, 0, 0},     {1, 0, 0, 0, 0, 0, 1},         {0, -1, 0, 0, 0, 0, 1},
        {0, 0, 8, depth, 0, 0, 1}, {0, 0, 0, depth, 0, 0, 0},     {0, 0, 0, depth / 2, 0, 0, 1},
        {0, 0, 0, 0, 0, 0, 0},     {0, 0, 0, 0, 16, 0, 1},        {0, 0, 0, 0, 0, -16, 1},
        {16, -16, 0, 0, 16, -16, 0},
    };
    for (const Row& row : rows) {
        CharacterWindowInsides(*characterWindow).screenSize() = Point(size.x + row.widthDelta, size.y + row.heightDelta);
        CharacterWindowInsides(*characterWindow).colourDepth() = depth + row.depthDelta;
        CharacterWindowInsides(*characterWindow).displayChanged() = 0;
        if (row.announced)
            SendMessageA(window->handle, WM_DISPLAYCHANGE, row.announced, MAKELPARAM(size.x, size.y));
        const Point sampled(size.x + row.sampleWidthDelta, size.y + row.sampleHeightDelta);
        {
            ScreenSample frame(sampled);
            window->onTimer(0);
        }
        EXPECT_EQ(row.expected, window->sawDisplayChange()) << row.widthDelta << row.heightDelta << row.depthDelta << " "
                                                        << row.announced << " " << row.sampleWidthDelta
                                                        << row.sampleHeightDelta;
        EXPECT_EQ(sampled, block->screenAtStep);
    }
    EXPECT_EQ(size, Point(screenWidth(), screenHeight())); // outside a frame update: read live again

    // With no outline in this frame or the last, a frame makes no call at all: the check waits for a figure.
    block->life = 0;
    window->onTimer(0); // the block finishes; its outline leaves the window
    CharacterWindowInsides(*characterWindow).screenSize() = Point(size.x + 1, size.y);
    CharacterWindowInsides(*characterWindow).colourDepth() = depth;
    CharacterWindowInsides(*characterWindow).displayChanged() = 0;
    window->onTimer(0);
    EXPECT_EQ(0, window->sawDisplayChange());
    spawn(new BlockActivity(Rect(10, 10, 20, 20), 0, 1000));
    window->onTimer(0);
    EXPECT_EQ(1, window->sawDisplayChange());
}

// Where every screen was taken, a layout of monitors other than the one taken at start is a display change too: the
// WM_DISPLAYCHANGE that announces it, with the depth unchanged, has the window look.
TEST(CharacterWindow, NoticesANewMonitorLayout) {
    WindowScope scope;
    CreatedWindow window;
    const Point size = CharacterWindowInsides(*characterWindow).screenSize();
    spawn(new BlockActivity(Rect(10, 10, 20, 20), 0, 1000));
    struct Row {
        Rect taken;
        int expected;
    } rows[] = {
        {{0, 0, size.x, size.y}, 0},
        {{0, 0, size.x - 224, size.y - 168}, 1},
        {{0, -1, size.x, size.y - 1}, 1},
    };
    for (const Row& row : rows) {
        DeskScope desk(DeskLayout{{row.taken}, 0});
        CharacterWindowInsides(*characterWindow).displayChanged() = 0;
        window->onTimer(0);
        EXPECT_EQ(0, window->sawDisplayChange()) << row.taken << ": no look at the layout in a frame";
        SendMessageA(window->handle, WM_DISPLAYCHANGE, CharacterWindowInsides(*characterWindow).colourDepth(),
                     MAKELPARAM(size.x, size.y));
        EXPECT_EQ(row.expected, window->sawDisplayChange()) << row.taken;
    }
}

TEST(CharacterWindow, CloseShutsTheWindowAndTheFrameUpdate) {
    WindowScope scope;
    CreatedWindow window;
    BlockActivity* block = new BlockActivity(Rect(10, 10, 20, 20), 1, 1000);
    spawn(block);
    window->onTimer(0);
    HWND native = window->handle;
    SendMessageA(native, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(nullptr, window->handle);
    EXPECT_EQ(1, CharacterWindowInsides(*characterWindow).closing());
    int code = -5;
    EXPECT_TRUE(LoadFailureCounter::takeQuitMessage(&code));
    EXPECT_EQ(0, code);
    window->onTimer(0);
    EXPECT_EQ(1, block->steps); // not stepped once closing
    EXPECT_EQ(0u, windowTable.count);
}

// A program that runs all day must not grow. Every ten frames: a figure that moves, one that wraps around the
// side, one that stands; they finish one after another, and the last frames of each round have no figure at all.
TEST(CharacterWindow, FramesLeaveNoGdiObjectsBehind) {
    WindowScope scope;
    CreatedWindow window;
    const int w = screenWidth();
    auto runRounds = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            spawn(new BlockActivity(Rect(100, 500, 160, 580), 7, 6));
            spawn(new BlockActivity(Rect(w - 20, 300, w + 40, 360), 30, 3));
            spawn(new BlockActivity(Rect(400, 100, 440, 150), 0, 8));
            for (int frame = 0; frame < 10; ++frame)
                window->onTimer(0);
            ASSERT_EQ(0, occupiedSlots());
        }
    };
    runRounds(2); // stock objects and caches that the first frames create lazily
    const int before = liveGdiObjects();
    runRounds(10);
    EXPECT_EQ(before, liveGdiObjects());
}

// The outlines are united pairwise: odd and even numbers of figures, and the last one left over, all reach the shape.
TEST(CharacterWindow, ShapeHoldsEveryFigureWhateverTheirNumber) {
    WindowScope scope;
    CreatedWindow window;
    const int counts[] = {1, 2, 3, 5, 8, 17};
    for (int count : counts) {
        std::vector<Rect> expected;
        for (int i = 0; i < count; ++i) {
            Rect block(10 + i * 30, 10, 30 + i * 30, 30);
            spawn(new BlockActivity(block, 0, 100));
            expected.push_back(block);
        }
        window->onTimer(0);
        EXPECT_EQ(expected, window.shape()) << count;
        for (int slot = 0; slot < kActivitySlots; ++slot)
            window->removeActivity(slot);
    }
}

// The DCs the frame update keeps: the same bitmap keeps its DC, another one replaces it, and closing frees the
// bitmap for deletion.
TEST(FrameDc, MemoryDcFollowsItsBitmap) {
    HDC screen = GetDC(nullptr);
    HBITMAP first = CreateCompatibleBitmap(screen, 4, 4);
    HBITMAP second = CreateCompatibleBitmap(screen, 4, 4);
    HeldMemoryDc held;
    struct Row {
        HDC like;
        HBITMAP bitmap;
        bool expectDc;
        bool expectSame;
    } rows[] = {
        {screen, first, true, false}, {screen, first, true, true}, {screen, second, true, false},
        {screen, nullptr, false, false}, {nullptr, first, false, false},
    };
    HDC before = nullptr;
    for (const Row& row : rows) {
        HDC dc = held.holding(row.like, row.bitmap);
        EXPECT_EQ(row.expectDc, dc != nullptr);
        if (row.expectDc) {
            EXPECT_EQ(row.bitmap, GetCurrentObject(dc, OBJ_BITMAP));
        }
        if (row.expectSame) {
            EXPECT_EQ(before, dc);
        }
        before = dc;
    }
    held.holding(screen, first);
    held.close();
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    ReleaseDC(nullptr, screen);
}
