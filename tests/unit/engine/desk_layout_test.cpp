#include <gtest/gtest.h>

#include "engine/desk_layout.h"
#include "support/test_support.h"

namespace {

// Two monitors side by side, the right one taller: below the left one lies a gap 1024 x 256.
const DeskLayout kSideBySide = {{Rect(0, 0, 1024, 768), Rect(1024, 0, 2304, 1024)}, 0};
// One above another, the lower one narrower and offset: gaps beside it, under the upper one's floor.
const DeskLayout kStacked = {{Rect(0, 0, 1280, 1024), Rect(128, 1024, 1152, 1792)}, 0};
// A monitor left of and above the primary, as the system gives it: the desk starts at negative coordinates.
const DeskLayout kLeftOfPrimaryOnScreen = {{Rect(-1280, -256, 0, 768), Rect(0, 0, 1024, 768)}, 1};
// The same in the scenes' world: the gap lies above the primary.
const DeskLayout kLeftOfPrimary = {{Rect(0, 0, 1280, 1024), Rect(1280, 256, 2304, 1024)}, 1};
const DeskLayout kOneScreen = {{Rect(0, 0, 1024, 768)}, 0};

} // namespace

TEST(DeskLayout, SceneWorldStartsAtTheDesksCorner) {
    EXPECT_EQ(kLeftOfPrimary, deskInScene(kLeftOfPrimaryOnScreen, 1));
    EXPECT_EQ(Rect(-1280, -256, 1024, 768), deskBox(kLeftOfPrimaryOnScreen));
    const DeskLayout halved = {{Rect(0, 0, 512, 384), Rect(512, 0, 1152, 512)}, 0};
    EXPECT_EQ(halved, deskInScene(kSideBySide, 2));
    EXPECT_EQ(Rect(), deskBox(DeskLayout()));
}

TEST(DeskLayout, FloorUnderAProbe) {
    struct Row {
        const char* label;
        const DeskLayout& desk;
        int x;
        int y;
        int floor;
    } rows[] = {
        {"on the left floor", kSideBySide, 500, 773, 768},
        {"on the left monitor", kSideBySide, 500, 700, 0},
        {"in the gap below the left monitor", kSideBySide, 500, 900, 768},
        {"on the right floor", kSideBySide, 1500, 1029, 1024},
        {"on the right monitor, beside the gap", kSideBySide, 1500, 800, 0},
        {"the right bottom row itself", kSideBySide, 1500, 1024, 0},
        {"beyond the left side", kSideBySide, -20, 773, 768},
        {"beyond the right side", kSideBySide, 2400, 1029, 1024},
        {"above the desk", kSideBySide, 500, -10, 0},
        {"upper floor continued below", kStacked, 600, 1029, 0},
        {"lower floor", kStacked, 600, 1797, 1792},
        {"upper floor beside the lower monitor", kStacked, 50, 1029, 1024},
        {"gap beside the lower monitor", kStacked, 1200, 1100, 1024},
        {"gap above the primary: falls onto it", kLeftOfPrimary, 1500, 100, 0},
        {"primary floor", kLeftOfPrimary, 1500, 1029, 1024},
        {"left floor", kLeftOfPrimary, 600, 1029, 1024},
        {"one screen, below", kOneScreen, 500, 773, 768},
        {"one screen, bottom row", kOneScreen, 500, 768, 0},
        {"one screen, beside", kOneScreen, 1100, 500, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.floor, floorBelow(row.desk, row.x, row.y)) << row.label;
}

// A walker 75 x 83; the walls are the sides of a higher neighbour's gap.
TEST(DeskLayout, CrossingMeetsAWallOnlyWhereTheNeighboursFloorIsHigher) {
    struct Row {
        const char* label;
        const DeskLayout& desk;
        Rect from;
        Rect to;
        bool wall;
    } rows[] = {
        {"leftward from the lower floor", kSideBySide, {1030, 941, 1105, 1024}, {1021, 941, 1096, 1024}, true},
        {"rightward onto the lower neighbour", kSideBySide, {949, 685, 1024, 768}, {958, 685, 1033, 768}, false},
        {"leftward along the left floor", kSideBySide, {400, 685, 475, 768}, {391, 685, 466, 768}, false},
        {"leftward high on the right monitor", kSideBySide, {1030, 400, 1105, 483}, {1021, 400, 1096, 483}, false},
        {"rightward off the desk", kSideBySide, {2230, 941, 2305, 1024}, {2239, 941, 2314, 1024}, false},
        {"standing still", kSideBySide, {1030, 941, 1105, 1024}, {1030, 941, 1105, 1024}, false},
        {"rightward under the upper floor", kStacked, {1070, 1709, 1145, 1792}, {1079, 1709, 1154, 1792}, true},
        {"rightward to the lower primary", kLeftOfPrimary, {1200, 941, 1275, 1024}, {1209, 941, 1284, 1024}, false},
        {"one screen, off its side", kOneScreen, {1000, 685, 1075, 768}, {1009, 685, 1084, 768}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.wall, meetsWall(row.desk, row.from, row.to)) << row.label;
}

TEST(DeskLayout, FiguresInAGapGoOntoTheNearestFloor) {
    struct Row {
        const char* label;
        const DeskLayout& desk;
        Rect where;
        Rect placed;
    } rows[] = {
        {"below the left floor", kSideBySide, {460, 900, 535, 983}, {460, 685, 535, 768}},
        {"on the left floor", kSideBySide, {460, 685, 535, 768}, {460, 685, 535, 768}},
        {"flying over the right monitor", kSideBySide, {1460, 300, 1535, 383}, {1460, 300, 1535, 383}},
        {"beside the desk, in the gap's rows", kSideBySide, {-100, 900, -25, 983}, {-100, 685, -25, 768}},
        {"above the primary", kLeftOfPrimary, {1500, 0, 1575, 83}, {1500, 941, 1575, 1024}},
        {"beside the lower monitor", kStacked, {1180, 1300, 1255, 1383}, {1180, 941, 1255, 1024}},
        {"one screen, anywhere", kOneScreen, {-300, 900, -225, 983}, {-300, 900, -225, 983}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.placed, ontoFloor(row.desk, row.where)) << row.label;
}

TEST(DeskLayout, BroughtRoundTheDeskOntoTheFloorOfTheOtherSide) {
    struct Row {
        const char* label;
        const DeskLayout& desk;
        Rect from;
        Rect to;
        int shift;
    } rows[] = {
        {"off the right floor, onto the higher left one",
         kSideBySide,
         {2310, 941, 2385, 1024},
         {-37, 941, 38, 1024},
         -256},
        {"off the left floor, onto the lower right one", kSideBySide, {-80, 685, -5, 768}, {2266, 685, 2341, 768}, 256},
        {"flying", kSideBySide, {2310, 300, 2385, 383}, {-37, 300, 38, 383}, 0},
        {"one screen", kOneScreen, {1030, 685, 1105, 768}, {-37, 685, 38, 768}, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.shift, floorShiftAcross(row.desk, row.from, row.to)) << row.label;
}

TEST(DeskLayout, NewFiguresAppearOnEveryMonitorInTurn) {
    struct Row {
        const DeskLayout& desk;
        int ordinal;
        Point at;
    } rows[] = {
        {kSideBySide, 0, {512, 384}},     {kSideBySide, 1, {1664, 512}},   {kSideBySide, 2, {512, 384}},
        {kLeftOfPrimary, 0, {1792, 640}}, {kLeftOfPrimary, 1, {640, 512}}, {kOneScreen, 0, {512, 384}},
        {kOneScreen, 7, {512, 384}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.at, newFigurePoint(row.desk, row.ordinal)) << row.ordinal;
}

// The world is the desk: its box, in scene pixels, with the window's corner at the desk's.
TEST(DeskLayout, TakenDeskIsTheWorld) {
    {
        DeskScope desk(kLeftOfPrimaryOnScreen);
        EXPECT_TRUE(deskIsSpread());
        EXPECT_EQ(Point(-1280, -256), deskOrigin());
        EXPECT_EQ(Point(2304, 1024), Point(screenWidth(), screenHeight()));
        EXPECT_EQ(kLeftOfPrimary, sceneDesk());
    }
    EXPECT_FALSE(deskIsSpread());
    EXPECT_EQ(Point(), deskOrigin());
    const DeskLayout primary = {{Rect(0, 0, screenWidth(), screenHeight())}, 0};
    EXPECT_EQ(primary, sceneDesk());
}
