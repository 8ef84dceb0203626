#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/dog.h"
#include "support/scene_helpers.h"
#include "support/scene_sound.h"

namespace {

constexpr uint32_t kStart = 700000;

} // namespace

// "warc" with the construction; the predecessor's rect is pulled inside with its own size, and the dog's wider
// first frame then grows to the right from that left edge.
TEST(Dog, StartsFromThePredecessorsRectWithABark) {
    LoadFailureCounter failures;
    SceneSoundScope sound;
    const int w = screenWidth();
    const int h = screenHeight();
    struct Row {
        Rect where;
        Rect placed;
        Rect firstPass;
    } rows[] = {
        {walkerOnBottom(400), walkerOnBottom(400), Rect(400, h - 88, 537, h)},
        {walkerOnBottom(w - 40), walkerOnBottom(w - 75), Rect(w - 75, h - 88, w + 62, h)},
        {Rect(-10, h - 70, 65, h + 13), walkerOnBottom(0), Rect(0, h - 88, 137, h)},
    };
    int plays = 0;
    for (const Row& row : rows) {
        DogActivity dog(row.where);
        EXPECT_EQ(++plays, SceneSoundScope::playsOf(soundWarc)) << row.where;
        EXPECT_EQ(row.placed, dog.rect) << row.where;
        EXPECT_EQ(0, dog.cryingStarted);
        EXPECT_STREQ("pies zabiera", dog.name.text());
        const Point sizes[] = {{137, 88}, {103, 88}, {112, 88}, {130, 91}, {139, 91}, {163, 97}, {82, 39}, {82, 43}};
        ASSERT_EQ(8, dog.frameCount);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(sizes[i], dog.frameSizes[i]) << "pies" << i + 1;
        Region shape;
        EXPECT_EQ(row.firstPass, stepAt(dog, kStart, shape).rect);
    }
    EXPECT_EQ(0, failures.count());
}

// Frames by time, the one crying figure at counter 28 in the rect last shown, the run to the left from 1800 ms,
// and the end in the first pass wholly beyond the left edge: never wrapped, no successor of its own.
TEST(Dog, LeavesOneCryingFigureAndRunsOffTheLeftEdge) {
    LoadFailureCounter failures;
    WindowScope window;
    DogActivity dog(walkerOnBottom(400));
    Region shape;
    const int frames[] = {0, 1, 2, 3, 4, 3, 4, 5, 6};
    srand(8);
    const int nextDraw = rand();
    srand(8);
    Rect before = dog.rect;
    int pass = 0;
    for (;; ++pass) {
        ASSERT_LT(pass, 400) << "the dog never left";
        Pass result = stepAt(dog, kStart + 50 * pass, shape);
        if (!result.running)
            break;
        const int expectedFrame = pass < 36 ? frames[pass / 4] : 6 + (pass / 2) % 2;
        EXPECT_EQ(expectedFrame, dog.frame) << "pass " << pass;
        EXPECT_EQ(pass < 36 ? 400 : before.left - 15, result.rect.left) << "pass " << pass;
        EXPECT_EQ(screenHeight(), result.rect.bottom);
        EXPECT_EQ(pass < 28 ? 0 : 1, occupiedSlots()) << "pass " << pass;
        if (pass == 28) {
            auto* crying = spawnedOf<CryingActivity>();
            ASSERT_NE(nullptr, crying);
            EXPECT_EQ(before, crying->rect) << "the rect of the frame last shown";
            EXPECT_EQ(Rect(400, screenHeight() - 91, 539, screenHeight()), crying->rect);
        }
        before = result.rect;
    }
    EXPECT_GE(before.right, 0);
    EXPECT_LT(before.right - 15, 0) << "ends in the first pass beyond the edge";
    EXPECT_GT(50 * pass, 1000);
    EXPECT_EQ(1, occupiedSlots()) << "the crying figure only";
    EXPECT_EQ(1, dog.cryingStarted);
    EXPECT_EQ(nextDraw, rand()) << "the dog draws nothing and asks no picker";
    EXPECT_EQ(0, failures.count());
}

// Tears for 2500 ms from its own first pass, frames alternating every 200 ms at the left end and ground line of
// the dog's rect; then the picker, never with the dog.
TEST(Crying, CriesThenHandsOverWithoutTheDog) {
    LoadFailureCounter failures;
    const int h = screenHeight();
    const Rect dogRect(400, h - 91, 539, h);
    const Rect crying(400, h - 96, 473, h);
    for (unsigned seed = 1; seed <= 10; ++seed) {
        WindowScope window;
        CryingActivity cry(dogRect);
        EXPECT_STREQ("placze", cry.name.text());
        EXPECT_EQ(dogRect, cry.rect);
        Region shape;
        struct Row {
            uint32_t after;
            int frame;
        } rows[] = {{0, 0}, {150, 0}, {200, 1}, {399, 1}, {400, 0}, {2500, 0}};
        for (const Row& row : rows) {
            Pass pass = stepAt(cry, kStart + row.after, shape);
            EXPECT_EQ(1, pass.running) << row.after << " ms";
            EXPECT_EQ(row.frame, cry.frame) << row.after << " ms";
            EXPECT_EQ(crying, pass.rect) << row.after << " ms";
        }
        EXPECT_EQ(0, occupiedSlots());
        const int expected = randAfterPick(seed, crying, IdList(), idList({18}));
        srand(seed);
        EXPECT_EQ(0, stepAt(cry, kStart + 2501, shape).running);
        EXPECT_EQ(expected, rand()) << "seed " << seed;
        EXPECT_EQ(1, occupiedSlots());
    }
    EXPECT_EQ(0, failures.count());
}
