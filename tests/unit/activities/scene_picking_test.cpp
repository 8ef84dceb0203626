#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "activities/scene_table.h"
#include "support/scene_runs.h"

// Left to run long enough, the picker builds every prop scene at fun level 5, each with the rectangle it was given;
// at fun level 1 the pause comes near the screen edges and never away from them.
TEST(ScenePicking, EveryPropSceneIsBuilt) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    pianoPlaying = 0;
    const Rect centre(400, 300, 475, 383);
    struct Row {
        int32_t fun;
        Rect where;
        int picks;
        std::vector<int> wanted;
        std::vector<int> never;
    } rows[] = {
        {5, centre, 600, {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}, {19}},
        {1, Rect(3, 300, 78, 383), 60, {19}, {}},
        {1, Rect(900, 700, 975, 766), 60, {19}, {}},
        {1, centre, 200, {1}, {19}},
    };
    srand(17);
    for (const Row& row : rows) {
        funLevel = row.fun;
        std::map<int, int> built;
        for (int i = 0; i < row.picks; ++i) {
            Activity* picked = pickActivity(row.where, IdList(), IdList());
            ASSERT_NE(nullptr, picked);
            const int id = sceneIdOf(picked);
            ++built[id];
            if (id == kAbsenceId) {
                EXPECT_EQ(0, picked->rect.width());
                EXPECT_TRUE(picked->rect.left == 0 || picked->rect.left == screenWidth());
            } else if (id != kBalloonId) {
                // Scenes that fit their first picture at once keep the figure's feet and its middle.
                EXPECT_EQ(row.where.bottom, picked->rect.bottom) << "id " << id;
                // The sleigh is drawn around the rider, not centred on him.
                if (id != kReindeerId) {
                    EXPECT_NEAR(row.where.left + row.where.right, picked->rect.left + picked->rect.right, 2)
                        << "id " << id;
                }
            }
            delete picked;
        }
        for (int id : row.wanted)
            EXPECT_GT(built[id], 0) << "id " << id << " never built at fun level " << row.fun;
        for (int id : row.never)
            EXPECT_EQ(0, built[id]) << "id " << id << " built at fun level " << row.fun;
        EXPECT_EQ(0, built[0]) << "something the picker should not build";
    }
    EXPECT_EQ(0, failures.count()) << "a frame failed to load";
}
