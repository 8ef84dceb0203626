#include <gtest/gtest.h>


#include <climits>
#include <cmath>

#include "activities/falling.h"
#include "activities/flying.h"
#include "activities/walking.h"
#include "support/scene_helpers.h"
#include "support/scene_runs.h"

namespace {

constexpr uint32_t kStart = 100000;

// A walker standing on the bottom of the screen: the ground check always finds the screen there.
Rect onScreenBottom(int left) {
    return Rect(left, screenHeight() - 83, left + 75, screenHeight());
}

// A walk whose hand-off only counts: the edge and time endings without the picker behind them.
class CountingWalk : public WalkActivity {
public:
    explicit CountingWalk(int leftward) : WalkActivity(Rect(), leftward), finishes(0) {}
    void finishWalk() override { ++finishes; }
    int finishes;
};

} // namespace

TEST(Walk, LoadsTheFramesOfItsDirection) {
    LoadFailureCounter failures;
    struct Row {
        int leftward;
        int speed;
    } rows[] = {{1, -9}, {0, 9}, {7, -9}};
    for (const Row& row : rows) {
        const Rect where(10, 20, 30, 40);
        WalkActivity walk(where, row.leftward);
        EXPECT_EQ(row.speed, walk.speed);
        EXPECT_STREQ("IDZIE", walk.name.text());
        EXPECT_EQ(where, walk.rect) << "the rect is taken unchanged";
        ASSERT_EQ(4, walk.frameCount);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Point(75, 83), walk.frameSizes[i]) << "frame " << i;
            EXPECT_NE(nullptr, walk.frameBitmaps[i].get());
        }
    }
    EXPECT_EQ(0, failures.count());
}

// The first pass shows frame 0 and only sizes the rect about its centre and its feet, pulled inside vertically.
TEST(Walk, FirstPassSizesWithoutMoving) {
    const int h = screenHeight();
    // Something to stand on for the figures in mid-screen and for the one pulled down from above the top.
    TestWindow floor(Rect(0, 600, screenWidth(), 620));
    TestWindow ledge(Rect(150, 83, 330, 100));
    struct Row {
        const char* label;
        Rect where;
        Rect expected;
    } rows[] = {
        {"zero size on the floor", Rect(500, 600, 500, 600), Rect(463, 517, 538, 600)},
        {"odd width on the floor", Rect(400, 580, 411, 600), Rect(368, 517, 443, 600)},
        {"already sized", Rect(700, 517, 775, 600), Rect(700, 517, 775, 600)},
        {"reaching above the top", Rect(200, -300, 275, -290), Rect(200, 0, 275, 83)},
        {"reaching below the bottom", Rect(200, h - 10, 275, h + 40), Rect(200, h - 83, 275, h)},
    };
    srand(1);
    for (const Row& row : rows) {
        WalkActivity walk(row.where, 1);
        Region shape;
        Pass pass = stepAt(walk, kStart, shape);
        ASSERT_EQ(1, pass.running) << row.label;
        EXPECT_EQ(row.expected, pass.rect) << row.label;
        EXPECT_EQ(0, walk.frame);
        EXPECT_EQ(kStart, walk.startTime);
        EXPECT_EQ(kStart, walk.lastMoveTime);
        EXPECT_FALSE(regionRects(shape.handle).empty()) << row.label << ": the outline of frame 0";
    }
}

// 9 px per whole 50 ms since the last pass; the rest of a partial unit is dropped, not carried.
TEST(Walk, MovesInWholeUnits) {
    struct Row {
        int leftward;
        uint32_t gap;
        int expectedShift;
    } rows[] = {
        {0, 50, 9}, {0, 49, 0}, {0, 99, 9}, {0, 130, 18}, {1, 130, -18}, {1, 50, -9}, {0, 0, 0},
    };
    srand(2);
    for (const Row& row : rows) {
        WalkActivity walk(onScreenBottom(400), row.leftward);
        Region shape;
        stepAt(walk, kStart, shape);
        Pass pass = stepAt(walk, kStart + row.gap, shape);
        ASSERT_EQ(1, pass.running);
        EXPECT_EQ(400 + row.expectedShift, pass.rect.left) << "gap " << row.gap;
        EXPECT_EQ(kStart + row.gap, walk.lastMoveTime);
    }
    // After a 130-ms pass the next one 40 ms later does not move: the 30 ms left over were dropped.
    WalkActivity walk(onScreenBottom(400), 0);
    Region shape;
    stepAt(walk, kStart, shape);
    stepAt(walk, kStart + 130, shape);
    EXPECT_EQ(418, stepAt(walk, kStart + 170, shape).rect.left);
    EXPECT_EQ(427, stepAt(walk, kStart + 220, shape).rect.left);
}

TEST(Walk, FramesFollowTheElapsedTime) {
    WalkActivity walk(onScreenBottom(100), 0);
    Region shape;
    struct Row {
        uint32_t at;
        int frame;
        int counter;
    } rows[] = {{0, 0, 0}, {199, 0, 0}, {200, 1, 1}, {450, 2, 2}, {799, 3, 3}, {800, 0, 4}, {1650, 0, 8}};
    srand(3);
    for (const Row& row : rows) {
        walk.rect = onScreenBottom(100); // keep it on screen, away from the edges
        ASSERT_EQ(1, stepAt(walk, kStart + row.at, shape).running);
        EXPECT_EQ(row.frame, walk.frame) << row.at << " ms";
        EXPECT_EQ(row.counter, walk.counter) << row.at << " ms";
    }
}

// The walk lasts (7 - funLevel) * 2000 ms; computed without overflow for any stored fun level.
TEST(Walk, TimeLimitPerFunLevel) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int32_t f;
        int64_t limit; // the last elapsed time that still walks; below 0: the first pass already ends it
    } rows[] = {
        {1, 12000}, {2, 10000}, {3, 8000}, {4, 6000}, {5, 4000}, {6, 2000}, {0, 14000}, {-5, 24000},
        {9, -1}, {100000, -1}, {INT_MAX, -1},
    };
    srand(4);
    for (const Row& row : rows) {
        funLevel = row.f;
        WindowScope window;
        WalkActivity* walk = new WalkActivity(onScreenBottom(400), 0);
        Region shape;
        int running = stepAt(*walk, kStart, shape).running;
        if (row.limit < 0) {
            EXPECT_EQ(0, running) << "fun level " << row.f;
        } else {
            ASSERT_EQ(1, running) << "fun level " << row.f;
            walk->lastMoveTime = kStart + static_cast<uint32_t>(row.limit); // hold it still: only time passes
            EXPECT_EQ(1, stepAt(*walk, kStart + static_cast<uint32_t>(row.limit), shape).running) << row.f;
            walk->lastMoveTime = kStart + static_cast<uint32_t>(row.limit) + 1;
            EXPECT_EQ(0, stepAt(*walk, kStart + static_cast<uint32_t>(row.limit) + 1, shape).running) << row.f;
        }
        EXPECT_EQ(1, occupiedSlots()) << "fun level " << row.f << ": one successor";
        delete walk;
    }
    // The lowest stored value gives a limit beyond any elapsed time a signed 32-bit count can hold.
    funLevel = INT_MIN;
    CountingWalk walk(0);
    walk.rect = onScreenBottom(400);
    Region shape;
    for (uint32_t elapsed : {0u, 24001u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        walk.startTime = kStart;
        walk.lastMoveTime = kStart + elapsed;
        EXPECT_EQ(1, stepAt(walk, kStart + elapsed, shape).running) << elapsed << " ms";
    }
    EXPECT_EQ(0, walk.finishes);
}

// A figure wholly beyond a side edge ends its walk with a chance of (16 * funLevel + 20) in 100.
TEST(Walk, EdgeEnding) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    const int w = screenWidth();
    struct Row {
        int leftward;
        int leftBefore; // left edge before a 50-ms pass moves the figure 9 px
        int32_t f;
        double endsWith;
    } rows[] = {
        {0, w - 9, 5, 0.0},  // left lands on the screen width: not yet beyond
        {0, w - 8, 5, 1.0},  // one pixel beyond: ends at once at fun level 5
        {1, -75 + 9, 5, 0.0}, // right lands on 0
        {1, -75 + 8, 5, 1.0},
        {0, w + 300, 1, 0.36},
        {1, -1000, 3, 0.68},
        {0, w - 8, 0, 0.20},
        {0, w - 8, -5, 0.0}, // a threshold below zero never ends it
        {1, -1000, INT_MIN, 0.0},
        {0, 500, 5, 0.0},
    };
    const int h = screenHeight();
    unsigned seed = 50;
    for (const Row& row : rows) {
        funLevel = row.f;
        srand(seed++);
        const int trials = 1000;
        CountingWalk walk(row.leftward);
        for (int i = 0; i < trials; ++i) {
            // On the screen's bottom edge, where the ground check always finds the screen; started a second
            // ago, well inside the time limit.
            walk.rect = Rect(row.leftBefore, h - 83, row.leftBefore + 75, h);
            walk.startTime = kStart;
            walk.lastMoveTime = kStart + 1000;
            Region shape;
            const int before = walk.finishes;
            int running = stepAt(walk, kStart + 1050, shape).running;
            EXPECT_EQ(running ? before : before + 1, walk.finishes) << "an ending that did not hand over";
        }
        const int ended = walk.finishes;
        double sigma = std::sqrt(row.endsWith * (1 - row.endsWith) / trials);
        EXPECT_NEAR(row.endsWith, static_cast<double>(ended) / trials, 4.5 * sigma + 0.001)
            << "left " << row.leftBefore << " at fun level " << row.f;
    }
}

// A pass far behind the last one (the main loop stood still) moves the whole way at once; the successor is
// picked with that far-off rect.
TEST(Walk, AVeryLongGapCarriesTheFigureFar) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    WindowScope window;
    funLevel = 1;
    srand(5);
    WalkActivity* walk = new WalkActivity(onScreenBottom(400), 0);
    Region shape;
    stepAt(*walk, kStart, shape);
    EXPECT_EQ(0, stepAt(*walk, kStart + 60000, shape).running);
    const Rect farOff(400 + 1200 * 9, screenHeight() - 83, 475 + 1200 * 9, screenHeight());
    EXPECT_EQ(farOff, walk->rect);
    ASSERT_EQ(1, occupiedSlots());
    Activity* successor = characterWindow->activityIn(0);
    EXPECT_EQ(farOff, successor->rect);
    EXPECT_EQ(0u, successor->startTime);
    delete walk;
}

// Nothing under the feet: 3 chances in 100 per pass to notice and fall; on solid ground the walk goes on.
TEST(Walk, GroundCheck) {
    LoadFailureCounter failures;
    TestWindow ledge(Rect(300, 400, 700, 700));
    struct Row {
        const char* label;
        Rect where;
        bool falls;
    } rows[] = {
        {"on the screen bottom", onScreenBottom(500), false},
        {"on a window's top edge", Rect(400, 317, 475, 400), false},
        {"feet 4 px below a window's top edge", Rect(400, 321, 475, 404), false},
        {"in front of a window", Rect(400, 420, 475, 503), true},
        {"over the bare desktop", Rect(100, 200, 175, 283), true},
    };
    unsigned seed = 9;
    for (const Row& row : rows) {
        srand(seed++);
        int walks = 0;
        int passes = 0;
        for (; walks < 150; ++walks) {
            WindowScope window;
            WalkActivity walk(row.where, 1);
            Region shape;
            // One tick for all passes: no time passes and the figure does not move, so only the ground check
            // can end the walk.
            int n = 0;
            while (n < 2000 && stepAt(walk, kStart, shape).running)
                ++n;
            if (!row.falls) {
                EXPECT_EQ(2000, n) << row.label;
                EXPECT_EQ(0, occupiedSlots()) << row.label;
                break;
            }
            ASSERT_LT(n, 2000) << row.label;
            passes += n + 1;
            FallActivity* fall = spawnedOf<FallActivity>();
            ASSERT_NE(nullptr, fall) << row.label;
            EXPECT_EQ(walk.rect, fall->rect) << row.label;
            EXPECT_EQ(1, occupiedSlots());
        }
        if (row.falls) {
            // Passes until the fall follow a geometric law with p = 3 / 100: mean 33.3, deviation 32.8.
            double mean = static_cast<double>(passes) / walks;
            EXPECT_NEAR(100.0 / 3, mean, 4.5 * 32.8 / std::sqrt(walks)) << row.label;
        }
    }
}

// When the ground check and the time limit would both end the walk in one pass, the figure falls.
TEST(Walk, FallingComesBeforeTheTimeLimit) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    WindowScope window;
    funLevel = 5;
    WalkActivity* walk = new WalkActivity(Rect(100, 200, 175, 283), 0);
    walk->startTime = kStart;
    walk->lastMoveTime = kStart + 5000;
    seedWhere([] { return random(100) < 3; });
    Region shape;
    EXPECT_EQ(0, stepAt(*walk, kStart + 5000, shape).running);
    EXPECT_NE(nullptr, spawnedOf<FallActivity>());
    EXPECT_EQ(1, occupiedSlots());
    delete walk;
}

// The successor of a walk that ends by time or at an edge is never another walk (nor the tree after a leftward
// walk, which SuccessorListsByDirection shows).
TEST(Walk, SuccessorIsNeverAWalk) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int leftward;
        int32_t f;
    } rows[] = {{0, 1}, {1, 1}, {0, 5}, {1, 5}, {1, 0}};
    srand(77);
    for (const Row& row : rows) {
        funLevel = row.f;
        for (int i = 0; i < 12; ++i) {
            WindowScope window;
            WalkActivity walk(onScreenBottom(120), row.leftward);
            walk.finishWalk();
            ASSERT_EQ(1, occupiedSlots());
            EXPECT_EQ(nullptr, spawnedOf<WalkActivity>());
            // Built from the walk's rect: some scenes resize to their own first frame about its centre and feet.
            // The balloon rises from where it is, the pause waits at a screen edge of its own.
            Activity* successor = characterWindow->activityIn(0);
            if (dynamic_cast<BalloonActivity*>(successor) || dynamic_cast<AbsenceActivity*>(successor))
                continue;
            const Rect next = successor->rect;
            EXPECT_EQ(walk.rect.bottom, next.bottom);
            EXPECT_NEAR(walk.rect.centerX(), next.centerX(), 1);
        }
    }
}

// The successor is drawn with the walk excluded, and the tree too after a leftward walk: a draw of an excluded
// id costs no acceptance draw, so the random numbers used tell which list the picker got.
TEST(Walk, SuccessorListsByDirection) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    funLevel = 3;
    const Rect where = onScreenBottom(300);
    struct Row {
        int leftward;
        std::initializer_list<int> excluded;
        std::initializer_list<int> notExcluded;
    } rows[] = {{1, {1, 3}, {1}}, {0, {1}, {1, 3}}};
    for (const Row& row : rows) {
        IdList excluded;
        for (int id : row.excluded)
            excluded.append(id);
        IdList other;
        for (int id : row.notExcluded)
            other.append(id);
        int differs = 0;
        for (unsigned seed = 1; seed <= 30; ++seed) {
            srand(seed);
            const int withList = drawActivityId(where, IdList(), excluded);
            srand(seed);
            differs += drawActivityId(where, IdList(), other) != withList ? 1 : 0;

            WindowScope window;
            WalkActivity walk(where, row.leftward);
            srand(seed);
            walk.finishWalk();
            ASSERT_EQ(1, occupiedSlots());
            EXPECT_EQ(withList, sceneIdOf(characterWindow->activityIn(0))) << "seed " << seed << ", leftward " << row.leftward;
        }
        EXPECT_GT(differs, 0) << "the two lists must be told apart by some seed";
    }
}

// On a desk of two monitors side by side, the right one taller: a walker meets the side of the left one's gap and
// turns round where it stands; one that stands in the gap falls at once; one walking onto the lower neighbour
// walks on.
TEST(Walk, OnADeskOfMonitors) {
    LoadFailureCounter failures;
    DeskScope desk(DeskLayout{{Rect(0, 0, 1024, 768), Rect(1024, 0, 2304, 1024)}, 0});
    struct Row {
        const char* label;
        Rect where;
        int leftward;
        int running;
        bool turned;
        bool fell;
    } rows[] = {
        {"leftward into the side of the gap", {1027, 941, 1102, 1024}, 1, 0, true, false},
        {"rightward in the gap", {400, 900, 475, 983}, 0, 0, false, true},
        {"rightward onto the lower floor", {945, 685, 1020, 768}, 0, 1, false, false},
        {"leftward along the right floor", {1200, 941, 1275, 1024}, 1, 1, false, false},
    };
    for (const Row& row : rows) {
        WindowScope window;
        WalkActivity walk(row.where, row.leftward);
        walk.startTime = kStart;
        walk.lastMoveTime = kStart;
        seedWhere([] { return random(100) >= 3; }); // no ground check: only the desk decides
        Region shape;
        EXPECT_EQ(row.running, stepAt(walk, kStart + 50, shape).running) << row.label;
        WalkActivity* turned = spawnedOf<WalkActivity>();
        EXPECT_EQ(row.turned, turned != nullptr) << row.label;
        if (turned) {
            EXPECT_EQ(-walk.speed, turned->speed) << row.label;
            EXPECT_EQ(row.where, turned->rect) << row.label << ": it turns where it stood";
        }
        EXPECT_EQ(row.fell, spawnedOf<FallActivity>() != nullptr) << row.label;
    }
    EXPECT_EQ(0, failures.count());
}
