#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "activities/scene_table.h"
#include "activities/flying.h"
#include "activities/walking.h"
#include "engine/picker.h"
#include "support/scene_helpers.h"

namespace {

Rect centre() {
    return Rect(0, 0, 0, 0).offsetCopy(Point(screenWidth() / 2, screenHeight() / 2));
}

// A figure-sized rectangle touching the left edge: the pause's guard passes, the snowball thrower's too.
Rect atLeftEdge() {
    return Rect(5, 300, 80, 383);
}

// The acceptance chance of each id as the activity table states it, for a fun level f >= 1,
// with `where` deciding the guards. Each fun-dependent chance is k * f per mille, capped at certainty.
double tableChance(int id, double f, const Rect& where, bool piano) {
    auto perMille = [f](double k) { return std::min(1.0, std::max(0.0, k * f / 1000.0)); };
    switch (id) {
    case 1: return 0.5;
    case 2: case 13: case 17:
        if (id == 13 && !keepsRoomRight(where))
            return 0.0;
        return perMille(40);
    case 3: return perMille(10);
    case 4: case 7: case 9: case 10: case 11: case 12: case 14: case 15: case 16: case 18: return perMille(20);
    case 5: return perMille(30);
    case 8: return piano ? 0.0 : perMille(10);
    case 19: {
        double chance = std::min(1.0, std::max(0.0, 100.0 * (5.0 - f) / 400.0));
        return nearScreenEdge(where) ? chance : 0.0;
    }
    default: return 0.0;
    }
}

struct Expectation {
    std::map<int, double> share;
};

Expectation expectedShares(double f, const Rect& where, const IdList& allowed, const IdList& excluded, bool piano,
                           const std::vector<int>& candidates) {
    double total = 0;
    std::map<int, double> chances;
    for (int id : candidates) {
        if (allowed.length > 0 && !allowed.contains(id))
            continue;
        if (excluded.contains(id))
            continue;
        chances[id] = tableChance(id, f, where, piano);
        total += chances[id];
    }
    Expectation e;
    for (auto& [id, chance] : chances)
        e.share[id] = total > 0 ? chance / total : 0.0;
    return e;
}

std::vector<int> allIds() {
    return {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
}

// Draws `draws` ids and compares their shares with the expected ones: 4.5 standard deviations plus a hair,
// so that a weight off by a quarter or a test run in the wrong place shows.
void checkDistribution(const char* label, const Rect& where, const IdList& allowed, const IdList& excluded,
                       const Expectation& expected, int draws, unsigned seed) {
    srand(seed);
    std::map<int, int> counts;
    for (int i = 0; i < draws; ++i) {
        int id = drawActivityId(where, allowed, excluded);
        ASSERT_NE(0, id) << label;
        ASSERT_TRUE(expected.share.count(id)) << label << ": id " << id << " is outside the allowed set";
        ASSERT_GT(expected.share.at(id), 0.0) << label << ": id " << id << " has no chance";
        ++counts[id];
    }
    for (auto& [id, p] : expected.share) {
        double observed = static_cast<double>(counts[id]) / draws;
        double sigma = std::sqrt(p * (1 - p) / draws);
        EXPECT_NEAR(p, observed, 4.5 * sigma + 0.001) << label << ": id " << id;
    }
}

} // namespace

TEST(Random, StaysInItsRange) {
    struct Row {
        int n;
        int low;
        int high;
    } rows[] = {
        {0, 0, 0}, {1, 0, 0}, {2, 0, 1}, {35, 0, 34}, {1000, 0, 999}, {-1, 0, 0}, {-7, -6, 0}, {INT_MIN, -32767, 0},
    };
    srand(7);
    for (const Row& row : rows) {
        int seenLow = INT_MAX;
        int seenHigh = INT_MIN;
        for (int i = 0; i < 4000; ++i) {
            int value = random(row.n);
            seenLow = std::min(seenLow, value);
            seenHigh = std::max(seenHigh, value);
        }
        EXPECT_GE(seenLow, row.low) << "n = " << row.n;
        EXPECT_LE(seenHigh, row.high) << "n = " << row.n;
        if (row.high - row.low < 40) {
            EXPECT_EQ(row.low, seenLow) << "n = " << row.n;
            EXPECT_EQ(row.high, seenHigh) << "n = " << row.n;
        }
    }
}

TEST(Random, IsTheRemainderOfRand) {
    for (int n : {3, 35, 200, 1000, -5}) {
        srand(99);
        std::vector<int> raw;
        for (int i = 0; i < 50; ++i)
            raw.push_back(rand());
        srand(99);
        for (int i = 0; i < 50; ++i) {
            int expected = n > 0 ? raw[i] % n : -(raw[i] % -n);
            EXPECT_EQ(expected, random(n)) << "n = " << n << ", draw " << i;
        }
    }
}

TEST(Guards, HoldAtTheirExactBoundaries) {
    const int w = screenWidth();
    const int h = screenHeight();
    struct Row {
        Rect r;
        int roomRight;
        int nearEdge;
    } rows[] = {
        {{w - 375, 300, w - 300, 383}, 1, 0},
        {{w - 374, 300, w - 299, 383}, 0, 0},
        {{10, 300, 85, 383}, 1, 0},
        {{9, 300, 84, 383}, 1, 1},
        {{w - 85, 300, w - 10, 383}, 0, 0},
        {{w - 84, 300, w - 9, 383}, 0, 1},
        {{100, 0, 175, 83}, 1, 0},
        {{100, -1, 175, 82}, 1, 1},
        {{100, h - 88, 175, h - 5}, 1, 0},
        {{100, h - 87, 175, h - 4}, 1, 1},
        {centre(), 1, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.roomRight, keepsRoomRight(row.r)) << row.r;
        EXPECT_EQ(row.nearEdge, nearScreenEdge(row.r)) << row.r;
    }
}

// The chosen ids follow the chances of the table, over every row (the scenes still to come included).
TEST(Picker, FollowsTheTableAtEachFunLevel) {
    PickerGlobalsScope globals;
    pianoPlaying = 0;
    struct Row {
        const char* label;
        Rect where;
        IdList allowed;
        IdList excluded;
        int draws; // the weights themselves are checked with the most draws
    } rows[] = {
        {"no constraint", centre(), IdList(), IdList(), 8000},
        {"near an edge", atLeftEdge(), IdList(), IdList(), 8000},
        {"start-up", centre(), IdList(), idList({19}), 1500},
        {"after a walk", centre(), IdList(), idList({1}), 2000},
        {"after a leftward walk", centre(), IdList(), idList({1, 3}), 1500},
        {"after an explosion", centre(), IdList(), idList({2, 4, 9}), 1500},
        {"after the piano", centre(), IdList(), idList({8, 7, 4}), 1500},
        {"after a balloon, centre", centre(), idList({1, 3, 10, 19}), IdList(), 1500},
        {"after a balloon, edge", atLeftEdge(), idList({1, 3, 10, 19}), IdList(), 1500},
        {"after a bike", atLeftEdge(), IdList(), idList({11, 4, 8}), 1500},
        {"after a fall", centre(), IdList(), idList({6, 9}), 1500},
    };
    unsigned seed = 1;
    for (int f : {1, 3, 5}) {
        funLevel = f;
        for (const Row& row : rows) {
            Expectation expected = expectedShares(f, row.where, row.allowed, row.excluded, false, allIds());
            std::string label = std::string(row.label) + " at fun level " + std::to_string(f);
            checkDistribution(label.c_str(), row.where, row.allowed, row.excluded, expected, row.draws, seed++);
        }
    }
}

TEST(Picker, StatedSharesOfTheTable) {
    // The shares the table itself derives: at 5 a walk 0.5 / 2.35, at 1 a walk 0.5 / 0.87,
    // and near an edge at 1 a pause about 53%.
    struct Row {
        int f;
        Rect where;
        int id;
        double share;
    } rows[] = {
        {5, centre(), 1, 0.5 / 2.35},
        {5, centre(), 2, 0.2 / 2.35},
        {1, centre(), 1, 0.5 / 0.87},
        {1, atLeftEdge(), 19, 1.0 / 1.87},
    };
    for (const Row& row : rows) {
        Expectation e = expectedShares(row.f, row.where, IdList(), IdList(), false, allIds());
        EXPECT_NEAR(row.share, e.share[row.id], 1e-9) << "id " << row.id << " at " << row.f;
    }
}

TEST(Picker, ThePianoIsNeverPickedWhileOnePlays) {
    PickerGlobalsScope globals;
    funLevel = 5;
    pianoPlaying = 1;
    Expectation expected = expectedShares(5, centre(), IdList(), IdList(), true, allIds());
    EXPECT_EQ(0.0, expected.share[kPianoId]);
    checkDistribution("piano playing", centre(), IdList(), IdList(), expected, 3000, 5);
}

// Fun levels a hand-edited registry value can bring: below 1 the picker behaves as at 1, above 5 the chances
// saturate, and nothing overflows or hangs even where the walk is excluded.
TEST(Picker, OddFunLevels) {
    PickerGlobalsScope globals;
    pianoPlaying = 0;
    struct Row {
        int32_t stored;
        double behavesAs;
    } rows[] = {{0, 1}, {-5, 1}, {INT_MIN, 1}, {9, 9}, {100000, 100000}, {INT_MAX, INT_MAX}};
    unsigned seed = 300;
    for (const Row& row : rows) {
        funLevel = row.stored;
        for (const Rect& where : {centre(), atLeftEdge()}) {
            for (const IdList& excluded : {IdList(), idList({1}), idList({1, 3})}) {
                Expectation expected = expectedShares(row.behavesAs, where, IdList(), excluded, false, allIds());
                std::string label = "fun level " + std::to_string(row.stored);
                checkDistribution(label.c_str(), where, IdList(), excluded, expected, 800, seed++);
            }
        }
    }
}

// Constraints that leave nothing acceptable give no activity instead of an endless loop.
TEST(Picker, ImpossibleConstraintsGiveNothing) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    funLevel = 5;
    pianoPlaying = 1;
    const int w = screenWidth();
    struct Row {
        const char* label;
        Rect where;
        IdList allowed;
        IdList excluded;
    } rows[] = {
        {"unused ids only", centre(), idList({0, 6, 20, 34}), IdList()},
        {"ids beyond the flag table", centre(), idList({255, -1, 100000}), IdList()},
        {"the pause at fun level 5", atLeftEdge(), idList({19}), IdList()},
        {"the pause away from the edges", centre(), idList({19}), IdList()},
        {"the piano while one plays", centre(), idList({8}), IdList()},
        {"the thrower without room", Rect(w - 100, 300, w - 25, 383), idList({13}), IdList()},
    };
    for (const Row& row : rows) {
        srand(11);
        EXPECT_EQ(nullptr, pickActivity(row.where, row.allowed, row.excluded)) << row.label;
        EXPECT_EQ(0, drawActivityId(row.where, row.allowed, row.excluded)) << row.label;
    }
}

// A guard that fails before the draw costs no random number; the pause draws first and checks its guard after.
TEST(Picker, GuardsAndDrawsComeInTheTableOrder) {
    PickerGlobalsScope globals;
    const int w = screenWidth();
    struct Row {
        const char* label;
        int32_t piano;
        Rect where;
        int other;        // allowed beside the walk
        int drawsOfOther; // random numbers one draw of `other` costs beyond the id draw
    } rows[] = {
        {"piano playing", 1, centre(), kPianoId, 0},
        {"thrower at the right edge", 0, Rect(w - 100, 300, w - 25, 383), kSnowballThrowId, 0},
        {"pause away from the edges", 0, centre(), kAbsenceId, 1},
    };
    funLevel = 1;
    for (const Row& row : rows) {
        pianoPlaying = row.piano;
        for (unsigned seed = 1; seed <= 20; ++seed) {
            srand(seed);
            std::vector<int> stream;
            for (int i = 0; i < 4000; ++i)
                stream.push_back(rand());
            // Where the walk is accepted in this stream, given what each draw costs.
            size_t at = 0;
            int accepted = 0;
            while (!accepted && at + 1 < stream.size()) {
                int id = stream[at++] % 35;
                if (id == row.other)
                    at += row.drawsOfOther;
                else if (id == kWalkId && stream[at++] % 200 < 100)
                    accepted = kWalkId;
            }
            ASSERT_EQ(kWalkId, accepted);
            srand(seed);
            ASSERT_EQ(kWalkId, drawActivityId(row.where, idList({kWalkId, row.other}), IdList())) << row.label;
            EXPECT_EQ(stream[at], rand()) << row.label << ", seed " << seed;
        }
    }
}

TEST(Picker, BuildsTheChosenSceneWithTheRectAndADirection) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    funLevel = 5;
    pianoPlaying = 0;
    const Rect where(300, 400, 375, 483);
    const Expectation expected = expectedShares(5, where, IdList(), IdList(), false, allIds());
    const int picks = 400;
    int leftward = 0;
    int walks = 0;
    srand(21);
    for (int i = 0; i < picks; ++i) {
        Activity* picked = pickActivity(where, IdList(), IdList());
        ASSERT_NE(nullptr, picked);
        EXPECT_EQ(0u, picked->startTime);
        if (auto* walk = dynamic_cast<WalkActivity*>(picked)) {
            ++walks;
            leftward += walk->speed < 0 ? 1 : 0;
            EXPECT_STREQ("IDZIE", walk->name.text());
            EXPECT_EQ(where, picked->rect) << "a walk takes the rect unchanged";
        } else if (dynamic_cast<FlyActivity*>(picked)) {
            EXPECT_EQ(where, picked->rect) << "a flight takes the rect unchanged";
        }
        delete picked;
    }
    // 49 of 100 direction values go leftward.
    const double walkShare = expected.share.at(kWalkId);
    EXPECT_NEAR(picks * walkShare, walks, 4.5 * std::sqrt(picks * walkShare * (1 - walkShare)));
    EXPECT_NEAR(walks * 0.49, leftward, 4.5 * std::sqrt(walks * 0.25));
}

TEST(Picker, TheWalkDirectionIsDrawnAfterTheId) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    funLevel = 5;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        srand(seed);
        int id = drawActivityId(centre(), idList({kWalkId}), IdList());
        ASSERT_EQ(kWalkId, id);
        bool expectLeft = random(100) > 50;
        srand(seed);
        Activity* picked = pickActivity(centre(), idList({kWalkId}), IdList());
        auto* walk = dynamic_cast<WalkActivity*>(picked);
        ASSERT_NE(nullptr, walk);
        EXPECT_EQ(expectLeft ? -9 : 9, walk->speed) << "seed " << seed;
        delete picked;
    }
}

// Every id with a row builds, without acceptance draws: the walk draws only its direction.
// The built scene takes the rect unchanged and does not run yet.
TEST(Picker, BuildsAnActivityByItsId) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    const Rect where(300, 400, 375, 483);
    struct Row {
        int id;
        int expected; // 1 builds, 0 never does
        int draws;    // numbers the construction draws, or -1 where the scene decides
    } rows[] = {
        {kWalkId, 1, 1}, {kFlyId, 1, 0}, {0, 0, 0}, {6, 0, 0}, {20, 0, 0}, {34, 0, 0}, {-1, 0, 0}, {254, 0, 0},
        {255, 0, 0}, {kExplosionId, 1, -1}, {kPianoId, 1, -1}, {kSnowballThrowId, 1, -1}, {kDogId, 1, -1},
        {kAbsenceId, 1, -1},
    };
    for (const Row& row : rows) {
        srand(7);
        for (int i = 0; i < row.draws; ++i)
            rand();
        const int expectedNext = rand();
        srand(7);
        Activity* built = buildActivity(row.id, where);
        const int next = rand();
        EXPECT_EQ(row.expected, built ? 1 : 0) << "id " << row.id;
        if (row.draws >= 0) {
            EXPECT_EQ(expectedNext, next) << "id " << row.id;
        }
        if (built && row.id != kAbsenceId) {
            EXPECT_EQ(where, built->rect) << "id " << row.id;
            EXPECT_EQ(0u, built->startTime) << "id " << row.id;
        }
        delete built;
    }
    Activity* walk = buildActivity(kWalkId, where);
    EXPECT_NE(nullptr, dynamic_cast<WalkActivity*>(walk));
    delete walk;
    Activity* flight = buildActivity(kFlyId, where);
    EXPECT_NE(nullptr, dynamic_cast<FlyActivity*>(flight));
    delete flight;

    srand(3);
    Activity* picked = pickActivity(where, IdList(), IdList());
    ASSERT_NE(nullptr, picked);
    delete picked;
}
