#include <gtest/gtest.h>

#include <cmath>

#include "activities/falling.h"
#include "activities/flying.h"
#include "support/scene_helpers.h"

namespace {

constexpr uint32_t kStart = 200000;

// The rect a walker on the screen's bottom edge hands to the picker.
} // namespace

TEST(Fly, TakesTheRectUnchanged) {
    LoadFailureCounter failures;
    const Rect where(-20, -30, 55, 53);
    FlyActivity fly(where);
    EXPECT_EQ(where, fly.rect);
    EXPECT_EQ(0, fly.atEdgeCounter);
    EXPECT_STREQ("leci", fly.name.text());
    const Point sizes[] = {{95, 115}, {95, 115}, {95, 127}, {95, 127}, {95, 127}, {78, 132}};
    ASSERT_EQ(6, fly.frameCount);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sizes[i], fly.frameSizes[i]) << "LECI" << i + 1;
    EXPECT_EQ(0, failures.count());
}

// Take-off: three poses of 200 ms without moving, keeping the centre and the top edge; then the climb
// alternates two poses every 200 ms and rises 6 px per 50 ms.
TEST(Fly, TakeOffAndClimb) {
    FlyActivity fly(walkerOnBottom(400));
    Region shape;
    const int top = screenHeight() - 83;
    struct Row {
        int pass;
        int frame;
        int climbed; // px above the starting top after this pass
    } rows[] = {
        {0, 0, 0}, {3, 0, 0}, {4, 1, 0}, {7, 1, 0}, {8, 2, 0}, {11, 2, 0}, {12, 4, 6},
        {15, 4, 24}, {16, 3, 30}, {19, 3, 48}, {20, 4, 54}, {24, 3, 78},
    };
    srand(1);
    int row = 0;
    int lastLeft = 0;
    for (int pass = 0; pass <= 24; ++pass) {
        Pass result = stepAt(fly, kStart + 50 * pass, shape);
        ASSERT_EQ(1, result.running) << "pass " << pass;
        EXPECT_EQ(pass, fly.counter);
        EXPECT_EQ(fly.frameSizes[fly.frame].x, result.rect.width()) << "pass " << pass;
        EXPECT_EQ(fly.frameSizes[fly.frame].y, result.rect.height()) << "pass " << pass;
        if (fly.frame <= 2) {
            EXPECT_EQ(437, result.rect.centerX()) << "no sideways move before the climb, pass " << pass;
        }
        if (pass > 12) {
            int dx = result.rect.left - lastLeft;
            EXPECT_GE(dx, -7) << "pass " << pass;
            EXPECT_LE(dx, 5) << "pass " << pass;
        }
        lastLeft = result.rect.left;
        if (row < static_cast<int>(sizeof rows / sizeof rows[0]) && rows[row].pass == pass) {
            EXPECT_EQ(rows[row].frame, fly.frame) << "pass " << pass;
            EXPECT_EQ(top - rows[row].climbed, result.rect.top) << "pass " << pass;
            ++row;
        }
    }
    EXPECT_EQ(0, fly.atEdgeCounter);
}

// Climbing passes move by whole 50-ms units since the last pass; the rest is dropped.
TEST(Fly, ClimbsInWholeUnits) {
    struct Row {
        uint32_t gap;
        int rise;
    } rows[] = {{50, 6}, {120, 12}, {49, 0}, {99, 6}, {1000, 120}};
    srand(2);
    for (const Row& row : rows) {
        FlyActivity fly(walkerOnBottom(400));
        Region shape;
        for (int pass = 0; pass <= 12; ++pass)
            stepAt(fly, kStart + 50 * pass, shape);
        int before = fly.rect.top;
        ASSERT_EQ(1, stepAt(fly, kStart + 600 + row.gap, shape).running);
        EXPECT_EQ(before - row.rise, fly.rect.top) << "gap " << row.gap;
        EXPECT_EQ(kStart + 600 + row.gap, fly.lastMoveTime);
    }
}

// The wobble runs from -7 to +5 px per climbing pass: a long climb drifts left by about 1 px per pass.
TEST(Fly, DriftsLeftWhileClimbing) {
    srand(3);
    long sum = 0;
    int passes = 0;
    int least = 100;
    int most = -100;
    for (int flight = 0; flight < 12; ++flight) {
        FlyActivity fly(walkerOnBottom(500));
        Region shape;
        int lastLeft = fly.rect.left;
        for (int pass = 0; fly.atEdgeCounter == 0; ++pass) {
            ASSERT_LT(pass, 400);
            stepAt(fly, kStart + 50 * pass, shape);
            if (fly.frame == 3 || fly.frame == 4) {
                if (pass > 12) {
                    int dx = fly.rect.left - lastLeft;
                    sum += dx;
                    ++passes;
                    least = std::min(least, dx);
                    most = std::max(most, dx);
                }
            }
            lastLeft = fly.rect.left;
        }
    }
    // Uniform over -7..5: mean -1, deviation 3.74 per pass.
    double mean = static_cast<double>(sum) / passes;
    EXPECT_NEAR(-1.0, mean, 4.5 * 3.74 / std::sqrt(passes));
    EXPECT_EQ(-7, least);
    EXPECT_EQ(5, most);
}

// A flight that starts near the top: the counter is set in the first pass, "LECI6" shows in passes 2 to 5,
// and pass 6 hands over to a fall with the rect of pass 5.
TEST(Fly, StartingNearTheTop) {
    LoadFailureCounter failures;
    WindowScope window;
    struct Row {
        Rect where;
    } rows[] = {{Rect(300, 9, 375, 92)}, {Rect(300, -40, 375, 43)}, {Rect(-200, 0, -125, 83)}};
    srand(4);
    for (const Row& row : rows) {
        FlyActivity* fly = new FlyActivity(row.where);
        Region shape;
        Pass first = stepAt(*fly, kStart, shape);
        ASSERT_EQ(1, first.running);
        EXPECT_EQ(0, fly->frame);
        EXPECT_EQ(1, fly->atEdgeCounter);
        EXPECT_EQ(row.where.top, first.rect.top);
        Rect last;
        for (int pass = 2; pass <= 5; ++pass) {
            Pass shown = stepAt(*fly, kStart + 50 * (pass - 1), shape);
            ASSERT_EQ(1, shown.running) << "pass " << pass;
            EXPECT_EQ(5, fly->frame) << "pass " << pass;
            EXPECT_EQ(pass, fly->atEdgeCounter);
            EXPECT_EQ(78, shown.rect.width());
            EXPECT_EQ(132, shown.rect.height());
            EXPECT_EQ(row.where.top, shown.rect.top) << "no climb, pass " << pass;
            last = shown.rect;
        }
        EXPECT_EQ(0, stepAt(*fly, kStart + 250, shape).running);
        FallActivity* fall = spawnedOf<FallActivity>();
        ASSERT_NE(nullptr, fall);
        EXPECT_EQ(last, fall->rect);
        EXPECT_EQ(1, occupiedSlots());
        delete fly;
        characterWindow->removeActivity(0);
    }
}

// From the ground the figure climbs until its top is less than 10, poses four more passes and then falls.
TEST(Fly, ClimbsToTheTopAndFalls) {
    LoadFailureCounter failures;
    WindowScope window;
    srand(5);
    FlyActivity* fly = new FlyActivity(walkerOnBottom(600));
    Region shape;
    int pass = 0;
    int reachedTop = -1;
    Rect last;
    for (; pass < 400; ++pass) {
        Pass result = stepAt(*fly, kStart + 50 * pass, shape);
        if (!result.running)
            break;
        if (reachedTop < 0 && fly->atEdgeCounter == 1) {
            reachedTop = pass;
            EXPECT_LT(result.rect.top, 10);
            EXPECT_GE(result.rect.top, 4) << "it rose 6 px in the pass that reached the top";
            EXPECT_NE(5, fly->frame) << "the pass that reaches the top still shows the climb";
        }
        last = result.rect;
    }
    ASSERT_GE(reachedTop, 0);
    EXPECT_EQ(reachedTop + 5, pass);
    FallActivity* fall = spawnedOf<FallActivity>();
    ASSERT_NE(nullptr, fall);
    EXPECT_EQ(last, fall->rect);
    EXPECT_EQ(0, fall->frame);
    delete fly;
}
