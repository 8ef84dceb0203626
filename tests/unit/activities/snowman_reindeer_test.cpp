#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/falling.h"
#include "activities/snowman_reindeer.h"
#include "activities/walking.h"
#include "support/scene_helpers.h"
#include "support/scene_sound.h"

namespace {

constexpr uint32_t kStart = 400000;

// What the character window does with a figure that went beyond a side edge.
void wrapLikeTheWindow(Activity& activity, Rect& shown) {
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int w = shown.width();
    if (shown.left > cx)
        shown = activity.moveBy(Point(-cx - w / 2, 0));
    if (shown.right < 0)
        shown = activity.moveBy(Point(w / 2 + cx, 0));
}

// Each play of "bat" notes how many slots were taken at that moment.
class RecordingBuffer : public FakeBuffer {
public:
    RecordingBuffer() : FakeBuffer(16, false), slotsAtPlay(-1) {}
    STDMETHODIMP Play(DWORD a, DWORD b, DWORD flags) override {
        slotsAtPlay = occupiedSlots();
        return FakeBuffer::Play(a, b, flags);
    }
    int slotsAtPlay;
};

} // namespace

TEST(Snowman, TakesTheRectInsideTheScreen) {
    LoadFailureCounter failures;
    const int w = screenWidth();
    struct Row {
        Rect where;
        Rect expected;
    } rows[] = {
        {walkerOnBottom(400), walkerOnBottom(400)},
        {Rect(-30, -10, 45, 73), Rect(0, 0, 75, 83)},
        {Rect(w - 40, 100, w + 35, 183), Rect(w - 75, 100, w, 183)},
    };
    for (const Row& row : rows) {
        SnowmanActivity snowman(row.where);
        EXPECT_EQ(row.expected, snowman.rect) << row.where;
        EXPECT_EQ(0, snowman.walkStarted);
        EXPECT_STREQ("balwan", snowman.name.text());
    }
    SnowmanActivity snowman(walkerOnBottom(400));
    const Point sizes[] = {{162, 110}, {127, 104}, {140, 107}, {140, 124}, {86, 105}, {89, 130}};
    ASSERT_EQ(6, snowman.frameCount);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sizes[i], snowman.frameSizes[i]) << "BALWAN" << i + 1;
    EXPECT_EQ(0, failures.count());
}

// Still together for 2100 ms; then exactly one rightward walk, 40 px right of the last frame with the figure,
// however long the snowman slides; the slide ends the scene off the left edge without asking the picker.
TEST(Snowman, OneWalkThenSlidesOffToTheLeft) {
    LoadFailureCounter failures;
    WindowScope window;
    SnowmanActivity snowman(walkerOnBottom(400));
    Region shape;
    struct Row {
        int units;
        int frame;
    } rows[] = {{0, 0}, {3, 0}, {4, 1}, {7, 1}, {8, 2}, {22, 2}, {23, 3}, {27, 3},
                {28, 2}, {41, 2}, {42, 5}, {47, 5}, {48, 4}, {54, 5}};
    srand(5);
    const int nextDraw = rand();
    srand(5);
    size_t row = 0;
    Rect before;
    int pass = 0;
    for (;; ++pass) {
        ASSERT_LT(pass, 400) << "the snowman never left the screen";
        Pass result = stepAt(snowman, kStart + 50 * pass, shape);
        if (!result.running)
            break;
        EXPECT_EQ(snowman.frameSizes[snowman.frame].x, result.rect.width()) << "pass " << pass;
        EXPECT_EQ(screenHeight(), result.rect.bottom) << "pass " << pass;
        if (pass < 42) {
            EXPECT_NEAR(437, result.rect.centerX(), 1) << "pass " << pass;
            EXPECT_EQ(0, occupiedSlots()) << "pass " << pass;
        } else {
            EXPECT_EQ(before.left - 12, result.rect.left) << "12 px left per pass, pass " << pass;
        }
        if (pass == 42) {
            auto* walk = spawnedOf<WalkActivity>();
            ASSERT_NE(nullptr, walk);
            EXPECT_EQ(before.offsetCopy(Point(40, 0)), walk->rect);
            EXPECT_EQ(9, walk->speed) << "rightward";
            EXPECT_EQ(0u, walk->startTime);
        }
        if (pass >= 42) {
            EXPECT_EQ(1, occupiedSlots()) << "one walk only, pass " << pass;
        }
        if (row < sizeof rows / sizeof rows[0] && rows[row].units == pass) {
            EXPECT_EQ(rows[row].frame, snowman.frame) << "unit " << pass;
            ++row;
        }
        before = result.rect;
    }
    EXPECT_GE(before.right, 0) << "shown while any of it was on the screen";
    EXPECT_LT(snowman.rect.right, 0);
    EXPECT_EQ(1, occupiedSlots());
    EXPECT_EQ(nextDraw, rand()) << "no picker and no other draw";
    EXPECT_EQ(0, failures.count());
}

TEST(Reindeer, StartsWhollyOnTheScreenAtItsFirstFrame) {
    LoadFailureCounter failures;
    const int w = screenWidth();
    const int h = screenHeight();
    struct Row {
        Rect where;
        Rect expected;
    } rows[] = {
        {walkerOnBottom(400), Rect(338, h - 112, 538, h)},
        {walkerOnBottom(w - 75), Rect(w - 200, h - 112, w, h)},
        {Rect(-20, 10, 55, 93), Rect(0, 0, 200, 112)},
    };
    for (const Row& row : rows) {
        ReindeerActivity reindeer(row.where);
        EXPECT_EQ(row.expected, reindeer.rect) << row.where;
        EXPECT_EQ(0, reindeer.soundPlayed);
        EXPECT_EQ(0, reindeer.riderSpawned);
        EXPECT_STREQ("renifer", reindeer.name.text());
    }
    ReindeerActivity reindeer(walkerOnBottom(400));
    const Point sizes[] = {{200, 112}, {185, 115}, {185, 115}, {199, 137}, {203, 141}, {168, 112}, {181, 131}};
    ASSERT_EQ(7, reindeer.frameCount);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(sizes[i], reindeer.frameSizes[i]) << "RENIFER" << i + 1;
    EXPECT_EQ(0, failures.count());
}

// Passes of 50 ms: "bat" once at 400 ms, the fallen figure once at 1000 ms in the rect last shown, moving
// 40 px a pass from 800 ms.
TEST(Reindeer, CracksTheWhipAndThrowsTheFigureOffOnce) {
    LoadFailureCounter failures;
    WindowScope window;
    SceneSoundScope sound;
    ReindeerActivity reindeer(walkerOnBottom(600));
    Region shape;
    Rect before = reindeer.rect;
    for (int pass = 0; pass < 40; ++pass) {
        Pass result = stepAt(reindeer, kStart + 50 * pass, shape);
        ASSERT_EQ(1, result.running) << "pass " << pass;
        const int expectedFrame = pass / 4 > 5 ? 5 + pass % 2 : pass / 4;
        EXPECT_EQ(expectedFrame, reindeer.frame) << "pass " << pass;
        EXPECT_EQ(pass >= 8 ? 1 : 0, SceneSoundScope::playsOf(soundBat)) << "pass " << pass;
        EXPECT_EQ(pass >= 20 ? 1 : 0, occupiedSlots()) << "pass " << pass;
        if (pass == 20) {
            auto* rider = spawnedOf<ReindeerFellActivity>();
            ASSERT_NE(nullptr, rider);
            EXPECT_EQ(before.right, rider->rect.right);
            EXPECT_EQ(before.bottom, rider->rect.bottom);
        }
        const int moved = result.rect.centerX() - before.centerX();
        if (pass >= 16) {
            EXPECT_NEAR(-40, moved, 2) << "pass " << pass;
        } else if (pass > 0) {
            EXPECT_NEAR(0, moved, 1) << "pass " << pass;
        }
        before = result.rect;
        wrapLikeTheWindow(reindeer, before);
    }
    EXPECT_EQ(0, failures.count());
}

// A pass that jumps from frame 1 straight to the empty sleigh plays the crack first, then spawns the figure.
TEST(Reindeer, AJumpingPassPlaysTheSoundBeforeTheRiderFalls) {
    LoadFailureCounter failures;
    WindowScope window;
    SceneSoundScope sound;
    SoundClip* bat = static_cast<SoundClip*>(soundBat);
    ASSERT_NE(nullptr, bat);
    RecordingBuffer recording[3];
    IDirectSoundBuffer* originals[3];
    for (int i = 0; i < 3; ++i) {
        originals[i] = bat->copies[i].take();
        bat->copies[i].reset(&recording[i]);
    }
    struct Row {
        uint32_t after;
        int plays;
        int slots;
    } rows[] = {{0, 0, 0}, {200, 0, 0}, {1000, 1, 1}, {1050, 1, 1}, {1500, 1, 1}};
    ReindeerActivity reindeer(walkerOnBottom(600));
    Region shape;
    for (const Row& row : rows) {
        stepAt(reindeer, kStart + row.after, shape);
        int plays = 0;
        for (const RecordingBuffer& b : recording)
            plays += b.plays;
        EXPECT_EQ(row.plays, plays) << row.after << " ms";
        EXPECT_EQ(row.slots, occupiedSlots()) << row.after << " ms";
    }
    EXPECT_EQ(0, recording[0].slotsAtPlay) << "the figure fell before the crack was heard";
    for (int i = 0; i < 3; ++i) {
        bat->copies[i].take(); // the recording is the test's own: nothing to release
        bat->copies[i].reset(originals[i]);
    }
    EXPECT_EQ(0, failures.count());
}

// Leaving the left edge within 2000 ms brings it back in on the right; the first time after that ends it.
TEST(Reindeer, CrossesAgainUntilTwoSecondsHavePassed) {
    LoadFailureCounter failures;
    const int w = screenWidth();
    struct Row {
        int left;
        int wraps;
    } rows[] = {{0, 1}, {400, 1}, {w - 75, 0}};
    for (const Row& row : rows) {
        WindowScope window;
        ReindeerActivity reindeer(walkerOnBottom(row.left));
        Region shape;
        int wraps = 0;
        int pass = 0;
        Pass result;
        for (;; ++pass) {
            ASSERT_LT(pass, 400) << "left " << row.left;
            result = stepAt(reindeer, kStart + 50 * pass, shape);
            if (!result.running)
                break;
            Rect shown = result.rect;
            wrapLikeTheWindow(reindeer, shown);
            wraps += shown != result.rect ? 1 : 0;
        }
        EXPECT_EQ(row.wraps, wraps) << "left " << row.left;
        EXPECT_GT(50u * pass, 2000u) << "left " << row.left;
        EXPECT_LT(reindeer.rect.right, 0) << "left " << row.left;
        EXPECT_EQ(1, occupiedSlots()) << "only the fallen figure goes on, left " << row.left;
    }
    EXPECT_EQ(0, failures.count());
}
