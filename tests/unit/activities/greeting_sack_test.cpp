#include <gtest/gtest.h>

#include "support/scene_runs.h"

namespace {

Rect greeter(int left = 400) {
    return Rect(left, 400, left + 75, 500);
}

} // namespace

TEST(GreetingAndSack, FramesAndNames) {
    LoadFailureCounter failures;
    GreetingActivity greeting(greeter());
    SackActivity sack(greeter());
    EXPECT_STREQ("wita", greeting.name.text());
    EXPECT_STREQ("worek", sack.name.text());
    ASSERT_EQ(2, greeting.frameCount);
    ASSERT_EQ(2, sack.frameCount);
    EXPECT_EQ(Point(127, 80), greeting.frameSizes[0]);
    EXPECT_EQ(Point(127, 87), greeting.frameSizes[1]);
    EXPECT_EQ(Point(78, 92), sack.frameSizes[0]);
    EXPECT_EQ(Point(78, 92), sack.frameSizes[1]);
    EXPECT_EQ(greeter(), greeting.rect);
    EXPECT_EQ(greeter(), sack.rect);
    EXPECT_EQ(0, failures.count());
}

// Passes count, not time: the 56th pass still shows, the 57th hands over, however far apart they come. Frames of
// different heights keep the bottom edge and the horizontal centre.
TEST(Greeting, FiftySixPassesWhateverTheTime) {
    LoadFailureCounter failures;
    for (uint32_t gap : {0u, 50u, 1000u, 60000u}) {
        WindowScope window;
        GreetingActivity* greeting = new GreetingActivity(greeter());
        Region shape;
        for (int pass = 1; pass <= 56; ++pass) {
            Pass shown = stepAt(*greeting, kSceneStart + gap * pass, shape);
            ASSERT_EQ(1, shown.running) << "pass " << pass << ", gap " << gap;
            EXPECT_EQ((pass / 3) % 2, greeting->frame) << pass;
            EXPECT_EQ(500, shown.rect.bottom);
            EXPECT_EQ(437, shown.rect.centerX());
            EXPECT_EQ(greeting->frameSizes[greeting->frame].y, shown.rect.height());
        }
        EXPECT_EQ(0, stepAt(*greeting, kSceneStart + gap * 57, shape).running) << "gap " << gap;
        EXPECT_EQ(1, occupiedSlots());
        delete greeting;
    }
}

// 200 ms a pose; at 4199 ms the sack still shows, the first pass at or after 4200 ms hands over the rectangle of the
// last pose shown. It is centred on the predecessor both ways: from a 100 px tall rectangle its bottom is 4 px up.
TEST(Sack, ShakesForFourPointTwoSecondsCentredBothWays) {
    LoadFailureCounter failures;
    struct Row {
        uint32_t at;
        int running;
        int frame;
    } rows[] = {{199, 1, 0}, {200, 1, 1}, {399, 1, 1}, {400, 1, 0}, {4199, 1, 0}, {4200, 0, 1}, {9000, 0, 1}};
    for (const Row& row : rows) {
        WindowScope window;
        SackActivity* sack = new SackActivity(greeter());
        Region shape;
        Pass first = stepAt(*sack, kSceneStart, shape);
        EXPECT_EQ(Rect(399, 404, 477, 496), first.rect);
        Pass pass = stepAt(*sack, kSceneStart + row.at, shape);
        EXPECT_EQ(row.running, pass.running) << row.at;
        EXPECT_EQ(row.frame, sack->frame) << row.at;
        if (!row.running) {
            ASSERT_EQ(1, occupiedSlots());
            EXPECT_EQ(first.rect, sack->rect) << "the successor gets the last pose's rectangle";
        }
        delete sack;
    }
}

// Started partly off the screen, both are pulled wholly onto it in their first pass.
TEST(GreetingAndSack, PulledOntoTheScreen) {
    LoadFailureCounter failures;
    const int cx = screenWidth();
    const int cy = screenHeight();
    const Rect places[] = {Rect(-60, -50, 15, 50), Rect(cx - 20, cy - 30, cx + 55, cy + 70)};
    for (const Rect& where : places) {
        GreetingActivity greeting(where);
        SackActivity sack(where);
        Region shape;
        for (Activity* scene : {static_cast<Activity*>(&greeting), static_cast<Activity*>(&sack)}) {
            Pass pass = stepAt(*scene, kSceneStart, shape);
            EXPECT_GE(pass.rect.left, 0) << where;
            EXPECT_GE(pass.rect.top, 0) << where;
            EXPECT_LE(pass.rect.right, cx) << where;
            EXPECT_LE(pass.rect.bottom, cy) << where;
        }
    }
}

TEST(GreetingAndSack, EachHandsOverWithItsOwnLists) {
    const Ending endings[] = {
        {"greeting", [] { return new GreetingActivity(greeter()); }, std::vector<uint32_t>(56, 0), 0, 0, {}, {16}},
        {"sack", [] { return new SackActivity(greeter()); }, {0, 4199}, 4200, 0, {}, {12, 9}},
    };
    for (const Ending& ending : endings)
        checkEnding(ending, 15);
}
