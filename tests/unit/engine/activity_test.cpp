#include <gtest/gtest.h>

#include "app/startup.h"
#include "desktop/character_window.h"
#include "engine/activity.h"
#include "support/test_support.h"

namespace {

// A bare activity: no frames, runs until told to stop, counts its destructions.
class ProbeActivity : public Activity {
public:
    explicit ProbeActivity(Rect where, int* destroyed = nullptr) : destroyed(destroyed) { rect = where; }
    ~ProbeActivity() override {
        if (destroyed)
            ++*destroyed;
    }
    int step(Rect& outRect, Region& outShape) override {
        startClock();
        return output(outRect, outShape);
    }
    int* destroyed;
};

} // namespace

TEST(Activity, StartsEmptyAndUnnamed) {
    ProbeActivity activity(Rect(1, 2, 3, 4));
    EXPECT_EQ(0u, activity.startTime);
    EXPECT_STREQ("NIE PRZYPISANA CZYNNOSC", activity.name.text());
    EXPECT_EQ(0, activity.frameCount);
    EXPECT_EQ(nullptr, activity.frameBitmaps);
}

TEST(Activity, CenterOnKeepsTheSize) {
    struct Row {
        Rect start;
        Point p;
        Rect expected;
    } rows[] = {
        {{0, 0, 75, 83}, {100, 100}, {63, 59, 138, 142}},
        {{500, 500, 575, 583}, {0, 0}, {-37, -41, 38, 42}},
        {{0, 0, 0, 0}, {5, 6}, {5, 6, 5, 6}},
        {{0, 0, -3, 0}, {10, 10}, {11, 10, 8, 10}}, // negative width: -3 / 2 truncates to -1
    };
    for (const Row& row : rows) {
        ProbeActivity activity(row.start);
        activity.centerOn(row.p);
        EXPECT_EQ(row.expected, activity.rect) << row.start;
    }
}

TEST(Activity, KeepInsidePullsTheRectOntoTheScreen) {
    const int w = screenWidth();
    const int h = screenHeight();
    struct Row {
        Rect start;
        bool horizontal;
        Rect expected;
    } rows[] = {
        {{-5, 0, 70, 83}, true, {0, 0, 75, 83}},
        {{w - 10, 0, w + 65, 83}, true, {w - 75, 0, w, 83}},
        {{-100, 0, w + 100, 83}, true, {w - (w + 200), 0, w, 83}}, // wider than the screen: right edge wins
        {{10, 20, 30, 40}, true, {10, 20, 30, 40}},
        {{0, -7, 10, 50}, false, {0, 0, 10, 57}},
        {{0, h - 10, 10, h + 20}, false, {0, h - 30, 10, h}},
        {{0, -50, 10, h + 50}, false, {0, -100, 10, h}},
    };
    for (const Row& row : rows) {
        ProbeActivity activity(row.start);
        if (row.horizontal)
            activity.keepInsideX();
        else
            activity.keepInsideY();
        EXPECT_EQ(row.expected, activity.rect) << row.start;
    }
}

TEST(Activity, ClockStartsAtTheFirstStepOnly) {
    ProbeActivity activity(Rect(0, 0, 10, 10));
    frameTick = 5000;
    activity.startClock();
    EXPECT_EQ(5000u, activity.startTime);
    EXPECT_EQ(5000u, activity.lastMoveTime);
    frameTick = 15000;
    activity.lastMoveTime = 14000;
    activity.startClock();
    EXPECT_EQ(5000u, activity.startTime);
    EXPECT_EQ(14000u, activity.lastMoveTime);
}

TEST(Activity, MoveByReturnsTheNewRect) {
    ProbeActivity activity(Rect(10, 10, 20, 30));
    Rect moved = activity.moveBy(Point(-1100, 5));
    EXPECT_EQ(Rect(-1090, 15, -1080, 35), moved);
    EXPECT_EQ(moved, activity.rect);
}

TEST(Activity, DrawWithoutFramesDrawsNothing) {
    ProbeActivity activity(Rect(0, 0, 10, 10));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 10, 10);
    HGDIOBJ old = SelectObject(memory, target);
    RECT all = {0, 0, 10, 10};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(0, activity.draw(memory, SRCCOPY, TRUE));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 5, 5));
    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(Activity, OutputHandsOutTheRectAndAnEmptyShapeWithoutFrames) {
    ProbeActivity activity(Rect(3, 4, 5, 6));
    Rect out;
    Region shape;
    EXPECT_EQ(1, activity.step(out, shape));
    EXPECT_EQ(Rect(3, 4, 5, 6), out);
    ASSERT_NE(nullptr, shape.handle);
    EXPECT_TRUE(regionRects(shape.handle).empty());
}

TEST(IdList, AppendCopyAndContains) {
    IdList empty;
    EXPECT_EQ(0, empty.length);
    EXPECT_EQ(nullptr, empty.values);

    IdList excluded(1);
    excluded.append(3);
    ASSERT_EQ(2, excluded.length);
    EXPECT_EQ(1, excluded.values[0]);
    EXPECT_EQ(3, excluded.values[1]);

    IdList copy(excluded);
    copy.append(19);
    EXPECT_EQ(2, excluded.length);
    EXPECT_EQ(3, copy.length);
    EXPECT_TRUE(copy.contains(19));
    EXPECT_FALSE(excluded.contains(19));

    copy = empty;
    EXPECT_EQ(0, copy.length);
    EXPECT_EQ(nullptr, copy.values);
}

TEST(Spawn, FillsTheFirstFreeSlot) {
    WindowScope window;
    spawn(nullptr);
    EXPECT_EQ(0, occupiedSlots());

    auto* first = new ProbeActivity(Rect());
    auto* second = new ProbeActivity(Rect());
    spawn(first);
    spawn(second);
    EXPECT_EQ(first, characterWindow->activityIn(0));
    EXPECT_EQ(second, characterWindow->activityIn(1));

    // A freed slot early in the order is reused before later ones.
    characterWindow->removeActivity(0);
    auto* third = new ProbeActivity(Rect());
    spawn(third);
    EXPECT_EQ(third, characterWindow->activityIn(0));
    EXPECT_EQ(2, occupiedSlots());
}

TEST(Spawn, WithEverySlotTakenTheNewcomerIsDestroyed) {
    WindowScope window;
    int destroyed = 0;
    Activity* before[kActivitySlots];
    for (int i = 0; i < kActivitySlots; ++i) {
        before[i] = new ProbeActivity(Rect(i, 0, i + 1, 1), &destroyed);
        spawn(before[i]);
    }
    EXPECT_EQ(kActivitySlots, occupiedSlots());

    spawn(new ProbeActivity(Rect(), &destroyed));
    EXPECT_EQ(1, destroyed);
    for (int i = 0; i < kActivitySlots; ++i)
        EXPECT_EQ(before[i], characterWindow->activityIn(i)) << "slot " << i;
}

TEST(Spawn, WithoutAWindowTheActivityIsDestroyed) {
    ASSERT_EQ(nullptr, characterWindow);
    int destroyed = 0;
    spawn(new ProbeActivity(Rect(), &destroyed));
    EXPECT_EQ(1, destroyed);
}
