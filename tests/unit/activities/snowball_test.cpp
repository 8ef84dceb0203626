#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/snowball.h"
#include "activities/walking.h"
#include "support/scene_helpers.h"

namespace {

constexpr uint32_t kStart = 500000;

// A walker standing on the screen's bottom edge with its right edge `room` px left of the screen's right edge.
Rect walkerWithRoom(int room) {
    const int right = screenWidth() - room;
    return Rect(right - 75, screenHeight() - 83, right, screenHeight());
}

} // namespace

// Wind-up for four passes, the throw for ten keeping the left edge and the feet; the one snowball leaves in the
// sixth pass, and the fifteenth hands over to a leftward walk without drawing a random number.
TEST(SnowballThrow, OneSnowballThenALeftwardWalk) {
    LoadFailureCounter failures;
    WindowScope window;
    const Rect where = walkerWithRoom(300);
    SnowballThrowActivity thrower(where);
    EXPECT_EQ(where, thrower.rect);
    EXPECT_STREQ("rzuca", thrower.name.text());
    ASSERT_EQ(2, thrower.frameCount);
    EXPECT_EQ(Point(94, 82), thrower.frameSizes[0]);
    EXPECT_EQ(Point(97, 82), thrower.frameSizes[1]);
    Region shape;
    srand(9);
    const int nextDraw = rand();
    srand(9);
    Rect before = where;
    for (int pass = 1; pass <= 14; ++pass) {
        // Uneven gaps: the throw counts passes, not time.
        Pass result = stepAt(thrower, kStart + 70 * pass, shape);
        ASSERT_EQ(1, result.running) << "pass " << pass;
        EXPECT_EQ(pass < 5 ? 0 : 1, thrower.frame) << "pass " << pass;
        EXPECT_EQ(where.left, result.rect.left) << "pass " << pass;
        EXPECT_EQ(where.bottom, result.rect.bottom) << "pass " << pass;
        EXPECT_EQ(pass < 6 ? 0 : 1, occupiedSlots()) << "pass " << pass;
        if (pass == 6) {
            auto* ball = spawnedOf<SnowballActivity>();
            ASSERT_NE(nullptr, ball);
            EXPECT_EQ(Rect(before.right - 20, before.top, before.right, before.top + 17), ball->rect);
        }
        before = result.rect;
    }
    ASSERT_EQ(0, stepAt(thrower, kStart + 70 * 15, shape).running);
    EXPECT_EQ(2, occupiedSlots());
    auto* walk = spawnedOf<WalkActivity>();
    ASSERT_NE(nullptr, walk);
    EXPECT_EQ(-9, walk->speed) << "leftward";
    EXPECT_EQ(before, walk->rect);
    EXPECT_EQ(nextDraw, rand()) << "the walk is not the picker's choice";
    EXPECT_EQ(0, failures.count());
}

// The ball moves 40 px right and (-36 + 4 k) px down in its k-th move, until the next step would carry its centre
// past the screen's width: then its centre sits on the last column and the splat shows for 9000 ms, also when the hit
// falls on tick 0 or just before the counter wraps.
TEST(Snowball, FliesInAnArcAndSplatsOnTheRightEdge) {
    LoadFailureCounter failures;
    const int w = screenWidth();
    const int h = screenHeight();
    struct Row {
        const char* label;
        Rect thrower;
        int moves; // before the hit
        uint32_t start;
    } rows[] = {
        // The thrower's rect in its sixth pass: the least room the picker allows, widened to the throw frame.
        {"least room", Rect(w - 375, h - 82, w - 278, h), 7, kStart},
        {"thrower's right edge 300 px in", Rect(w - 397, h - 82, w - 300, h), 7, kStart},
        {"from the left edge", Rect(0, h - 82, 97, h), (w - 87) / 40, kStart},
        {"hit at tick 0", Rect(w - 375, h - 82, w - 278, h), 7, 0u - 7 * 50},
        {"hit 50 ms before the wrap", Rect(w - 375, h - 82, w - 278, h), 7, 0u - 8 * 50},
    };
    for (const Row& row : rows) {
        SnowballActivity ball(row.thrower);
        EXPECT_STREQ("kulkA", ball.name.text());
        EXPECT_EQ(Point(40, -40), ball.velocity);
        EXPECT_EQ(Rect(row.thrower.right - 20, row.thrower.top, row.thrower.right, row.thrower.top + 17), ball.rect);
        ASSERT_EQ(Point(51, 49), ball.frameSizes[1]);
        Region shape;
        const int startTop = ball.rect.top;
        int dy = -40;
        int moves = 0;
        uint32_t tick = row.start;
        for (;; ++moves, tick += 50) {
            ASSERT_LT(moves, 200) << row.label;
            Rect from = ball.rect;
            ASSERT_EQ(1, stepAt(ball, tick, shape).running) << row.label;
            if (ball.frame == 1)
                break;
            dy += 4;
            EXPECT_EQ(from.offsetCopy(Point(40, dy)), ball.rect) << row.label << ", move " << moves + 1;
            if (moves + 1 == 19) {
                EXPECT_EQ(startTop, ball.rect.top) << row.label << ": back at its height after 19 moves";
            }
        }
        EXPECT_EQ(row.moves, moves) << row.label;
        if (moves <= 9) {
            EXPECT_LT(ball.rect.top, startTop) << row.label << ": still rising when it hits";
        }
        EXPECT_EQ(tick, ball.startTime) << row.label;
        EXPECT_EQ(w - 1, ball.rect.centerX()) << row.label;
        EXPECT_EQ(51, ball.rect.width());
        EXPECT_EQ(49, ball.rect.height());
        const Rect splat = ball.rect;
        struct Later {
            uint32_t after;
            int running;
        } later[] = {{50, 1}, {4000, 1}, {9000, 1}, {9001, 0}};
        for (const Later& l : later) {
            Pass pass = stepAt(ball, tick + l.after, shape);
            EXPECT_EQ(l.running, pass.running) << row.label << ", " << l.after << " ms after the hit";
            if (pass.running) {
                EXPECT_EQ(splat, pass.rect) << row.label;
            }
        }
    }
    EXPECT_EQ(0, failures.count());
}
