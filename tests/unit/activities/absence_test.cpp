#include <gtest/gtest.h>

#include "support/scene_runs.h"

// 25000 - 5000 * funLevel ms from the construction: invisible on an empty rectangle at the edge until the first
// pass after endTime.
TEST(Absence, LengthByFunLevelAndInvisible) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int32_t fun;
        uint32_t length;
    } rows[] = {{1, 20000}, {2, 15000}, {3, 10000}, {4, 5000}, {5, 0}};
    for (const Row& row : rows) {
        WindowScope window;
        funLevel = row.fun;
        frameTick = kSceneStart;
        AbsenceActivity* absence = new AbsenceActivity;
        EXPECT_EQ(kSceneStart + row.length, absence->endTime) << "fun level " << row.fun;
        EXPECT_EQ(0, absence->frameCount);
        EXPECT_STREQ("NIE PRZYPISANA CZYNNOSC", absence->name.text());
        Region shape;
        // A late first pass changes nothing: the pause counts from the construction.
        for (uint32_t at : {0u, row.length / 2, row.length}) {
            Pass pass = stepAt(*absence, kSceneStart + at, shape);
            ASSERT_EQ(1, pass.running) << "fun level " << row.fun << " at " << at;
            EXPECT_EQ(absence->rect, pass.rect);
            ASSERT_NE(nullptr, shape.handle);
            RECT box;
            EXPECT_EQ(NULLREGION, GetRgnBox(shape.handle, &box)) << "something shows";
            EXPECT_EQ(0u, absence->startTime);
        }
        EXPECT_EQ(0, absence->draw(nullptr, SRCCOPY, TRUE));
        EXPECT_EQ(0, stepAt(*absence, kSceneStart + row.length + 1, shape).running) << "fun level " << row.fun;
        ASSERT_EQ(1, occupiedSlots());
        EXPECT_NE(kAbsenceId, sceneIdOf(characterWindow->activityIn(0)));
        delete absence;
    }
}

// An empty rectangle on the left edge for a side draw of 0..50, on the right for 51..99, at a drawn height.
TEST(Absence, WaitsAtAnEdge) {
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    struct Row {
        int side;
        int x;
    } rows[] = {{0, 0}, {50, 0}, {51, cx}, {99, cx}};
    for (const Row& row : rows) {
        unsigned seed = seedWhere([&] { return random(100) == row.side; });
        random(100);
        const int y = random(cy);
        srand(seed);
        AbsenceActivity absence;
        EXPECT_EQ(Rect(row.x, y, row.x, y), absence.rect) << "side draw " << row.side;
    }
}

// At fun level 1 a figure near the screen edges is often followed by the pause, which never follows itself.
TEST(Absence, HandsOverWithItsOwnList) {
    const Ending ending = {"absence", [] { frameTick = kSceneStart; return new AbsenceActivity; }, {0}, 25001, 0, {},
                           {19}};
    checkEnding(ending, 15);
}
