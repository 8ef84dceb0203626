// A season of figures on the real character window, against a simulated clock: scenes at every fun level, the
// slot table filled to its last slot and drained again, the tick count's wrap crossed, and afterwards nothing is
// left of it: no activity, no heap byte, no GDI or USER object.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "activities/scene_table.h"
#include "activities/absence.h"
#include "activities/dog.h"
#include "activities/falling.h"
#include "activities/flying.h"
#include "activities/greeting_sack.h"
#include "activities/piano.h"
#include "activities/short_scenes.h"
#include "activities/snowball.h"
#include "activities/snowman_reindeer.h"
#include "activities/travelling.h"
#include "activities/walking.h"
#include "support/counting_heap.h"
#include "support/scene_helpers.h"

namespace {

// Every kind of activity the program has; a season shows each of them at least once.
const std::type_info* const kEveryActivity[] = {
    &typeid(WalkActivity),     &typeid(FallActivity),          &typeid(FlyActivity),
    &typeid(AbsenceActivity),  &typeid(BalloonActivity),       &typeid(BikeActivity),
    &typeid(ChristmasTreeActivity), &typeid(CryingActivity),   &typeid(DogActivity),
    &typeid(ExplosionActivity), &typeid(GreetingActivity),     &typeid(HelloActivity),
    &typeid(NoteActivity),     &typeid(PianoActivity),         &typeid(PresentActivity),
    &typeid(ReindeerActivity), &typeid(ReindeerFellActivity),  &typeid(SackActivity),
    &typeid(SleighActivity),   &typeid(SnowballActivity),      &typeid(SnowballThrowActivity),
    &typeid(SnowmanActivity),  &typeid(StrokingActivity),
};

constexpr uint32_t kPass = 50; // ms of the simulated clock per main-loop pass

// One stretch of the season: a window of its own, `figures` chains for `passes` passes, then the table filled
// to its last slot for `fullPasses` passes, then the window closed, which drains the table.
struct Stretch {
    unsigned seed;
    int32_t fun;
    int figures;
    int passes;
    int fullPasses;
    uint32_t firstTick;
};

// One more chain, as the main loop starts it when another start of the program asks for a figure.
void askForFigure() {
    spawn(pickActivity(Rect(0, 0, 0, 0).offsetCopy(Point(screenWidth() / 2, screenHeight() / 2)), IdList(),
                       IdList()));
}

class Season {
public:
    Season() : figureMs(0), passes(0), seen(), others(0) {}

    // A pass of the main loop: at most one queued message, then the frame update at the next tick.
    void pass() {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        frameTick += kPass;
        characterWindow->onTimer(0);
        int occupied = 0;
        for (int slot = 0; slot < kActivitySlots; ++slot) {
            Activity* activity = characterWindow->activityIn(slot);
            if (activity) {
                ++occupied;
                note(typeid(*activity));
            } else if (characterWindow->boundsOf(slot) != Rect(0, 0, 0, 0) || characterWindow->shapeOf(slot).handle) {
                ADD_FAILURE() << "free slot " << slot << " keeps a rectangle or an outline";
            }
        }
        figureMs += static_cast<long long>(occupied) * kPass;
        ++passes;
    }

    void run(const Stretch& s) {
        const DWORD started = GetTickCount();
        const long long figureMsBefore = figureMs;
        const long passesBefore = passes;
        srand(s.seed);
        funLevel = s.fun;
        frameTick = s.firstTick;
        WindowScope scope;
        ASSERT_EQ(1, characterWindow->create(GetModuleHandleA(nullptr), nullptr));
        for (int i = 0; i < s.figures; ++i)
            askForFigure();
        for (int i = 0; i < s.passes && !::testing::Test::HasFatalFailure(); ++i)
            pass();
        // Filled to the last slot; one more figure asked for then is turned away and destroyed at once.
        for (int tries = 0; occupiedSlots() < kActivitySlots && tries < 4 * kActivitySlots; ++tries)
            askForFigure();
        ASSERT_EQ(kActivitySlots, occupiedSlots()) << "seed " << s.seed;
        const long blocksBefore = countingHeap::liveBlocks;
        const int gdiBefore = liveGdiObjects();
        askForFigure();
        ASSERT_EQ(blocksBefore, countingHeap::liveBlocks) << "the figure asked for beyond the last slot is destroyed";
        ASSERT_EQ(gdiBefore, liveGdiObjects()) << "the figure asked for beyond the last slot lets its frames go";
        for (int i = 0; i < s.fullPasses && !::testing::Test::HasFatalFailure(); ++i)
            pass();
        std::printf("seed %u, fun level %d: %d figures for %d passes, full table for %d, %d slots taken at the end"
                    " (%lu ms, %.1f slots taken on average)\n",
                    s.seed, s.fun, s.figures, s.passes, s.fullPasses, occupiedSlots(),
                    static_cast<unsigned long>(GetTickCount() - started),
                    double(figureMs - figureMsBefore) / kPass / double(passes - passesBefore));
        // Closed as the program closes: the window goes first, the slots with the window object.
        characterWindow->onClose();
        int ignored;
        while (LoadFailureCounter::takeQuitMessage(&ignored)) {
        }
    }

    long long figureMs; // figures times time on the simulated clock
    long passes;
    bool seen[sizeof(kEveryActivity) / sizeof(kEveryActivity[0])];
    int others; // activities of a kind missing from the list above

private:
    // Kept in a fixed table: a growing container would show up in the heap counts.
    void note(const std::type_info& kind) {
        for (size_t i = 0; i < sizeof(seen) / sizeof(seen[0]); ++i) {
            if (*kEveryActivity[i] == kind) {
                seen[i] = true;
                return;
            }
        }
        ++others;
    }
};

} // namespace

TEST(Endurance, ASeasonOfFiguresLeavesNothingBehind) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    Season season;
    // The first window of the process, with as many passes as a stretch, fills the system's caches, which stay
    // (Wine keeps one USER object more after the first long stretch, and no more after any later one).
    season.run({1, 5, 8, 300, 2, 1000});
    pumpMessages();
    season.figureMs = 0;
    // Fun levels 1 to 5, several figures each; the last stretch runs over the wrap of the 32-bit tick count.
    // The hours of figures a season brings are the soak benchmark's (tools/soak.sh); these stretches are as long
    // as the leak, slot and wrap checks need.
    const Stretch stretches[] = {
        {101, 1, 8, 300, 12, 1000000},    {202, 2, 10, 300, 12, 50000000},  {303, 3, 12, 300, 12, 90000000},
        {404, 4, 14, 300, 12, 200000000}, {505, 5, 16, 300, 12, 300000000}, {606, 3, 12, 300, 12, 0xFFFFF000u},
    };
    // Read after every stretch and compared at the end, so that one difference does not hide the next ones (and
    // the test framework's own failure records do not count as the program's heap).
    struct Counts {
        int gdi, user;
        long blocks;
        long long bytes;
    };
    const Counts start = {liveGdiObjects(), liveUserObjects(), countingHeap::liveBlocks,
                          countingHeap::liveBytes};
    Counts after[sizeof(stretches) / sizeof(stretches[0])];
    int ran = 0;
    for (const Stretch& s : stretches) {
        season.run(s);
        if (::testing::Test::HasFatalFailure())
            return;
        pumpMessages();
        after[ran++] = {liveGdiObjects(), liveUserObjects(), countingHeap::liveBlocks,
                        countingHeap::liveBytes};
    }
    for (int i = 0; i < ran; ++i) {
        const Counts& c = after[i];
        std::printf("after seed %u: %d GDI objects, %d USER objects, %ld heap blocks, %lld bytes\n",
                    stretches[i].seed, c.gdi, c.user, c.blocks, c.bytes);
        EXPECT_EQ(start.gdi, c.gdi) << "GDI objects left after seed " << stretches[i].seed;
        EXPECT_EQ(start.user, c.user) << "USER objects left after seed " << stretches[i].seed;
        EXPECT_EQ(start.blocks, c.blocks) << "heap blocks left after seed " << stretches[i].seed;
        EXPECT_EQ(start.bytes, c.bytes) << "heap bytes left after seed " << stretches[i].seed;
    }
    std::printf("%.1f hours of figures\n", season.figureMs / 3600000.0);
    for (size_t i = 0; i < sizeof(season.seen) / sizeof(season.seen[0]); ++i)
        EXPECT_TRUE(season.seen[i]) << kEveryActivity[i]->name() << " never ran";
    EXPECT_EQ(0, season.others) << "activities of a kind this test does not know";
    EXPECT_EQ(0, failures.count());
}
