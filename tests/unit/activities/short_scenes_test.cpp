#include <gtest/gtest.h>

#include <cstring>

#include "support/scene_runs.h"

namespace {

// A figure-sized rectangle well inside the screen.
} // namespace

TEST(ShortScenes, FramesNamesAndPlacement) {
    LoadFailureCounter failures;
    const Rect where = standing();
    struct Row {
        std::function<Activity*()> make;
        const char* name;
        std::vector<Point> sizes;
        Rect placed;
    } rows[] = {
        {[&] { return new BalloonActivity(where); }, "balon", {{121, 190}}, Rect(377, 293, 498, 483)},
        {[&] { return new ExplosionActivity(where); }, "BOOM", {{72, 100}, {72, 100}, {108, 136}, {72, 100}}, where},
        {[&] { return new ChristmasTreeActivity(where); }, "choinka", {{86, 95}, {86, 95}, {86, 95}, {86, 95}}, where},
        {[&] { return new StrokingActivity(where); }, "G\xA3" "ASZCZE", {{56, 77}, {62, 79}}, where},
        {[&] { return new HelloActivity(where); }, "HELLO", {{69, 82}, {76, 87}}, where},
    };
    for (const Row& row : rows) {
        Activity* scene = row.make();
        EXPECT_STREQ(row.name, scene->name.text());
        ASSERT_EQ(static_cast<int>(row.sizes.size()), scene->frameCount) << row.name;
        for (size_t i = 0; i < row.sizes.size(); ++i)
            EXPECT_EQ(row.sizes[i], scene->frameSizes[i]) << row.name << " frame " << i;
        EXPECT_EQ(row.placed, scene->rect) << row.name;
        delete scene;
    }
    EXPECT_EQ(8u, std::strlen("G\xA3" "ASZCZE"));
    EXPECT_EQ(0, failures.count());
}

// The balloon rises 7 px per whole 50 ms and wobbles by -2..2; above the top is allowed, beyond a side is not.
TEST(Balloon, RisesAndStaysBetweenTheSides) {
    LoadFailureCounter failures;
    srand(3);
    struct Row {
        Rect where;
        uint32_t gap;
        int rise;
    } rows[] = {{standing(), 50, 7}, {standing(), 120, 14}, {standing(), 49, 0}, {Rect(0, 0, 75, 83), 50, 7},
                {Rect(960, 300, 1035, 383), 50, 7}};
    for (const Row& row : rows) {
        BalloonActivity balloon(row.where);
        Region shape;
        Pass first = stepAt(balloon, kSceneStart, shape);
        ASSERT_EQ(1, first.running);
        Pass next = stepAt(balloon, kSceneStart + row.gap, shape);
        ASSERT_EQ(1, next.running);
        EXPECT_EQ(first.rect.top - row.rise, next.rect.top) << "gap " << row.gap;
        EXPECT_GE(next.rect.left, 0);
        EXPECT_LE(next.rect.right, screenWidth());
        EXPECT_LE(std::abs(next.rect.centerX() - first.rect.centerX()), 2) << "gap " << row.gap;
    }
}

// The next scene enters 100 px beyond the side farther from the balloon, at a random height; a balloon exactly at
// half the screen width sends it in from the left. A balloon already above the top hands over at once.
TEST(Balloon, TheNextSceneComesFromTheFartherSide) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    funLevel = 5; // no pause: every successor keeps the rectangle it is given
    const int half = screenWidth() / 2;
    struct Row {
        int centre;
        int enteredLeft;
    } rows[] = {{half - 1, screenWidth() + 100}, {half, -100}, {half + 1, -100}, {5, screenWidth() + 100}};
    for (const Row& row : rows) {
        WindowScope window;
        Rect where(row.centre - 37, -300, row.centre + 38, -200);
        BalloonActivity* balloon = new BalloonActivity(where);
        balloon->rect = where; // above the top, centred exactly where the row says
        seedWhere([] { return random(5) == 2; }); // no wobble in the last pass
        Region shape;
        EXPECT_EQ(0, stepAt(*balloon, kSceneStart, shape).running) << "centre " << row.centre;
        ASSERT_EQ(1, occupiedSlots());
        Activity* next = characterWindow->activityIn(0);
        EXPECT_EQ(row.enteredLeft, next->rect.left) << "centre " << row.centre;
        EXPECT_EQ(0, next->rect.width());
        EXPECT_EQ(0, next->rect.height());
        EXPECT_GE(next->rect.top, 0);
        EXPECT_LT(next->rect.top, screenHeight());
        delete balloon;
    }
}

// Frames by time: 250 ms each, the last for 750 ms; "wyb" sounds once, in the first pass showing "BOOM3", and not
// at all when a late pass jumps over it.
TEST(Explosion, TimelineAndItsSound) {
    LoadFailureCounter failures;
    SoundCounter sounds;
    ASSERT_NE(nullptr, soundWyb);
    struct Row {
        const char* label;
        std::vector<uint32_t> at;
        std::vector<int> frames; // -1: handed over
        int wybs;
    } rows[] = {
        {"boundaries", {0, 249, 250, 499, 500, 749, 750, 1499, 1500}, {0, 0, 1, 1, 2, 2, 3, 3, -1}, 1},
        {"steady pace", {0, 100, 200, 300, 400, 500, 550, 600, 650, 700, 800, 1400, 1450, 1550}, {0, 0, 0, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, -1}, 1},
        {"late pass over BOOM3", {0, 450, 750, 1000}, {0, 1, 3, 3}, 0},
        {"late pass to the end", {0, 300, 5000}, {0, 1, -1}, 0},
        {"one pass in BOOM3", {0, 700, 760}, {0, 2, 3}, 1},
    };
    for (const Row& row : rows) {
        WindowScope window;
        ExplosionActivity* boom = new ExplosionActivity(standing());
        Region shape;
        sounds.plays(soundWyb);
        for (size_t i = 0; i < row.at.size(); ++i) {
            Pass pass = stepAt(*boom, kSceneStart + row.at[i], shape);
            if (row.frames[i] < 0) {
                EXPECT_EQ(0, pass.running) << row.label << " at " << row.at[i];
                continue;
            }
            ASSERT_EQ(1, pass.running) << row.label << " at " << row.at[i];
            EXPECT_EQ(row.frames[i], boom->frame) << row.label << " at " << row.at[i];
            EXPECT_EQ(static_cast<int>(row.at[i] / 50), boom->counter);
            EXPECT_EQ(boom->frameSizes[boom->frame].x, pass.rect.width());
            EXPECT_EQ(483, pass.rect.bottom) << "stands on its feet";
        }
        EXPECT_EQ(row.wybs, sounds.plays(soundWyb)) << row.label;
        delete boom;
    }
    EXPECT_EQ(0, sounds.plays(soundHello));
}

// 150 ms a frame, 7 px leftward per 50 ms with no side clamp: over 12.15 s it crosses from the left edge to the
// right one with the window's wrap-around, and the pass at 12 150 ms hands over.
TEST(ChristmasTree, WalksLeftForTwelveSecondsAndCrosses) {
    LoadFailureCounter failures;
    WindowScope window;
    ChristmasTreeActivity* tree = new ChristmasTreeActivity(standing(300));
    Region shape;
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    int travelled = 0;
    int wraps = 0;
    uint32_t t = 0;
    for (;; t += 50) {
        const int before = tree->rect.left;
        Pass pass = stepAt(*tree, kSceneStart + t, shape);
        if (!pass.running)
            break;
        ASSERT_LE(t, 12149u);
        EXPECT_EQ(static_cast<int>((t / 150) % 4), tree->frame) << t;
        if (t > 0)
            travelled += before - pass.rect.left; // the first pass only takes the frame's size
        if (pass.rect.right < 0) {
            const int w = pass.rect.width();
            tree->moveBy(Point(w / 2 + cx, 0));
            ++wraps;
        }
    }
    EXPECT_EQ(12150u, t);
    EXPECT_EQ(7 * 242, travelled);
    EXPECT_GE(wraps, 1);
    // Boundaries of the clock, away from the steady pace.
    struct Row {
        uint32_t at;
        int running;
        int frame;
    } rows[] = {{149, 1, 0}, {150, 1, 1}, {599, 1, 3}, {600, 1, 0}, {12149, 1, 0}, {12150, 0, 1}};
    for (const Row& row : rows) {
        ChristmasTreeActivity lone(standing());
        stepAt(lone, kSceneStart, shape);
        EXPECT_EQ(row.running, stepAt(lone, kSceneStart + row.at, shape).running) << row.at;
        EXPECT_EQ(row.frame, lone.frame) << row.at;
    }
}

// Counted in passes, whatever the time between them: the stroking shows 70 passes, the greeting with the cap 30.
TEST(ShortScenes, StrokingAndHelloCountPasses) {
    LoadFailureCounter failures;
    struct Row {
        std::function<Activity*()> make;
        int lastPass;
    } rows[] = {{[] { return new StrokingActivity(standing()); }, 70}, {[] { return new HelloActivity(standing()); }, 30}};
    for (const Row& row : rows) {
        for (uint32_t gap : {0u, 50u, 3000u}) {
            WindowScope window;
            Activity* scene = row.make();
            Region shape;
            for (int pass = 1; pass <= row.lastPass; ++pass) {
                ASSERT_EQ(1, stepAt(*scene, kSceneStart + gap * pass, shape).running) << pass;
                EXPECT_EQ((pass / 8) % 2, scene->frame) << pass;
                EXPECT_EQ(scene->frameSizes[scene->frame].y, scene->rect.height());
                EXPECT_EQ(483, scene->rect.bottom);
            }
            EXPECT_EQ(0, stepAt(*scene, kSceneStart + gap * (row.lastPass + 1), shape).running);
            EXPECT_EQ(1, occupiedSlots());
            delete scene;
        }
    }
}

TEST(Hello, IsHeardWhenChosenAndOnlyThen) {
    LoadFailureCounter failures;
    SoundCounter sounds;
    WindowScope window;
    HelloActivity* hello = new HelloActivity(standing());
    EXPECT_EQ(1, sounds.plays(soundHello));
    Region shape;
    for (int pass = 0; pass <= 31; ++pass)
        stepAt(*hello, kSceneStart + 50 * pass, shape);
    EXPECT_EQ(0, sounds.plays(soundHello));
    EXPECT_EQ(0, sounds.plays(soundWyb));
    delete hello;
}

TEST(ShortScenes, EachHandsOverWithItsOwnLists) {
    const Ending endings[] = {
        {"explosion", [] { return new ExplosionActivity(standing()); }, {0}, 1500, 0, {}, {2, 4, 9}},
        {"tree", [] { return new ChristmasTreeActivity(standing()); }, {0}, 12150, 0, {}, {3, 1}},
        {"stroking", [] { return new StrokingActivity(standing()); }, std::vector<uint32_t>(70, 0), 0, 0, {}, {4, 2}},
        {"hello", [] { return new HelloActivity(standing()); }, std::vector<uint32_t>(30, 0), 0, 0, {}, {5, 2}},
        {"balloon", [] { return new BalloonActivity(Rect(400, -300, 475, -3)); }, {}, 0, 2, {1, 3, 10, 19}, {}},
    };
    for (const Ending& ending : endings)
        checkEnding(ending, 15);
}
