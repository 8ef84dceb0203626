#include <gtest/gtest.h>

#include "support/scene_runs.h"

namespace {

// The window's own wrap-around of a figure that left one side (the character window does this every frame).
void windowWrap(Activity& scene, const Rect& shown) {
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int w = shown.width();
    if (shown.left > cx)
        scene.moveBy(Point(-cx - w / 2, 0));
    else if (shown.right < 0)
        scene.moveBy(Point(w / 2 + cx, 0));
}

} // namespace

TEST(Travelling, FramesNamesAndTheRectTakenUnchanged) {
    LoadFailureCounter failures;
    const Rect where(-20, 700, 55, 783);
    struct Row {
        std::function<Activity*()> make;
        const char* name;
        int frames;
        Point size;
    } rows[] = {
        {[&] { return new PresentActivity(where); }, "prezent", 3, {84, 80}},
        {[&] { return new BikeActivity(where); }, "rower", 2, {121, 85}},
        {[&] { return new SleighActivity(where); }, "sanie", 2, {173, 93}},
    };
    for (const Row& row : rows) {
        Activity* scene = row.make();
        EXPECT_STREQ(row.name, scene->name.text());
        ASSERT_EQ(row.frames, scene->frameCount);
        for (int i = 0; i < row.frames; ++i)
            EXPECT_EQ(row.size, scene->frameSizes[i]) << row.name << " " << i;
        EXPECT_EQ(where, scene->rect) << row.name;
        delete scene;
    }
    EXPECT_EQ(0, failures.count());
}

// Frames, movement and the end of each scene at the exact boundaries of its clock.
TEST(Travelling, Timelines) {
    LoadFailureCounter failures;
    struct Row {
        const char* label;
        std::function<Activity*()> make;
        std::vector<uint32_t> at;
        std::vector<int> frames; // -1: handed over
        std::vector<int> dx;     // move of the left edge in that pass (the first pass only sizes the rect)
    } rows[] = {
        {"present", [] { return new PresentActivity(standing(100)); },
         {0, 209, 210, 419, 420, 630, 839, 840, 5000, 5001}, {0, 0, 1, 1, 0, 2, 2, 0, 2, -1},
         {0, 36, 0, 36, 0, 36, 36, 0, 9 * 83, 0}},
        {"bike, passes at 100 and 200", [] { return new BikeActivity(standing(700)); }, {0, 100, 200}, {0, 1, 0},
         {0, 0, -30}},
        {"bike, steady", [] { return new BikeActivity(standing(700)); }, {0, 50, 100, 150, 170, 200}, {0, 0, 1, 1, 1, 0},
         {0, 0, -15, -15, 0, -15}},
        {"bike, second pass early", [] { return new BikeActivity(standing(700)); }, {0, 30, 80, 140}, {0, 0, 0, 1},
         {0, 0, 0, -15}},
        {"bike, end", [] { return new BikeActivity(standing(700)); }, {0, 7000, 7001}, {0, 0, -1}, {0, 0, 0}},
        {"sleigh", [] { return new SleighActivity(standing(100)); }, {0, 149, 150, 299, 300, 370}, {0, 0, 1, 1, 0, 0},
         {0, 40, 0, 40, 0, 20}},
    };
    for (const Row& row : rows) {
        WindowScope window;
        Activity* scene = row.make();
        Region shape;
        srand(8);
        for (size_t i = 0; i < row.at.size(); ++i) {
            const int before = scene->rect.left;
            Pass pass = stepAt(*scene, kSceneStart + row.at[i], shape);
            const std::string where = std::string(row.label) + " at " + std::to_string(row.at[i]);
            if (row.frames[i] < 0) {
                EXPECT_EQ(0, pass.running) << where;
                continue;
            }
            ASSERT_EQ(1, pass.running) << where;
            EXPECT_EQ(row.frames[i], scene->frame) << where;
            EXPECT_EQ(scene->frameSizes[scene->frame].x, pass.rect.width()) << where;
            if (i > 0) {
                EXPECT_EQ(row.dx[i], pass.rect.left - before) << where;
            }
        }
        delete scene;
    }
}

// A bike whose centre leaves the left edge comes back in the same pass 5 px inside the right edge, wholly on the
// screen vertically; the first pass never moves it.
TEST(Bike, WrapsToTheRightEdgeAtARandomHeight) {
    LoadFailureCounter failures;
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    int lowest = cy;
    int highest = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        srand(seed);
        BikeActivity bike(Rect(-30, cy - 83, 45, cy)); // centre at 7
        Region shape;
        Pass first = stepAt(bike, kSceneStart, shape);
        EXPECT_EQ(7, first.rect.centerX()) << "no move in the first pass";
        EXPECT_EQ(7, stepAt(bike, kSceneStart + 50, shape).rect.centerX()) << "the stored count was still 0";
        Pass wrapped = stepAt(bike, kSceneStart + 100, shape);
        ASSERT_EQ(1, wrapped.running);
        EXPECT_EQ(cx - 5, wrapped.rect.left) << "seed " << seed;
        EXPECT_GE(wrapped.rect.top, 0);
        EXPECT_LE(wrapped.rect.bottom, cy);
        lowest = std::min(lowest, wrapped.rect.top);
        highest = std::max(highest, wrapped.rect.top);
    }
    EXPECT_LT(lowest, highest) << "the height is drawn anew for every wrap";
}

// Before 5 s a sleigh beyond the right edge goes on (the window brings it back from the left); after 5 s it ends
// once its left edge is beyond the right edge. It rises 0 to 9 px a pass and nothing holds it at the top.
TEST(Sleigh, WrapsBeforeFiveSecondsAndEndsAfter) {
    LoadFailureCounter failures;
    WindowScope window;
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    srand(5);
    SleighActivity* sleigh = new SleighActivity(Rect(cx - 200, 200, cx - 27, 293));
    Region shape;
    uint32_t firstWrap = 0;
    uint32_t t = 0;
    int lastTop = 200;
    int lastLeft = 0;
    for (;; t += 50) {
        ASSERT_LT(t, 20000u);
        Pass pass = stepAt(*sleigh, kSceneStart + t, shape);
        if (!pass.running)
            break;
        EXPECT_GE(lastTop - pass.rect.top, 0) << t;
        EXPECT_LE(lastTop - pass.rect.top, 9) << t;
        lastTop = pass.rect.top;
        if (pass.rect.left > cx && !firstWrap)
            firstWrap = t;
        windowWrap(*sleigh, pass.rect);
        lastLeft = sleigh->rect.left;
    }
    EXPECT_GT(firstWrap, 0u);
    EXPECT_LE(firstWrap, 5000u) << "it passed the right edge before 5 s and went on";
    EXPECT_GT(t, 5000u);
    EXPECT_GT(sleigh->rect.left, cx);
    EXPECT_EQ(lastLeft + 20, sleigh->rect.left) << "the last pass moved it beyond the edge";
    EXPECT_LT(lastTop, 0) << "nothing holds it at the top";
    delete sleigh;
}

TEST(Travelling, EachHandsOverWithItsOwnLists) {
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const Ending endings[] = {
        {"present", [] { return new PresentActivity(standing(100)); }, {0, 5000}, 5001, 0, {}, {1, 10}},
        {"bike", [] { return new BikeActivity(standing(900)); }, {0, 7000}, 7001, 0, {}, {11, 4, 8}},
        {"sleigh", [cx] { return new SleighActivity(Rect(cx - 40, 400, cx + 133, 493)); }, {0}, 5050, 1, {}, {15}},
    };
    for (const Ending& ending : endings)
        checkEnding(ending, 15);
}
