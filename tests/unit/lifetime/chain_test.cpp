// The figure's chain of scenes run as the character window runs it: every scene handing over to the next through
// the slot table, one figure per chain, props and companions beside it, nothing left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "activities/dog.h"
#include "activities/falling.h"
#include "activities/flying.h"
#include "activities/piano.h"
#include "activities/snowball.h"
#include "activities/snowman_reindeer.h"
#include "activities/walking.h"
#include "support/counting_heap.h"
#include "support/scene_helpers.h"

namespace {

enum Kind { kWalk, kFall, kFly, kSnowman, kReindeer, kRider, kThrow, kSnowball, kPiano, kNote, kDog, kCrying,
            kOther, kKinds };

const char* const kKindNames[kKinds] = {"walk",     "fall",  "flight", "snowman", "reindeer", "fallen rider", "throw",
                                        "snowball", "piano", "note",   "dog",     "crying",   "other"};

template <class T>
bool is(Activity* activity) {
    return dynamic_cast<T*>(activity) != nullptr;
}

Kind kindOf(Activity* activity) {
    typedef bool (*Test)(Activity*);
    static const struct {
        Test test;
        Kind kind;
    } kinds[] = {
        {is<WalkActivity>, kWalk},         {is<FallActivity>, kFall},         {is<FlyActivity>, kFly},
        {is<SnowmanActivity>, kSnowman},   {is<ReindeerActivity>, kReindeer}, {is<ReindeerFellActivity>, kRider},
        {is<SnowballThrowActivity>, kThrow}, {is<SnowballActivity>, kSnowball}, {is<PianoActivity>, kPiano},
        {is<NoteActivity>, kNote},         {is<DogActivity>, kDog},           {is<CryingActivity>, kCrying},
    };
    for (const auto& k : kinds) {
        if (k.test(activity))
            return k.kind;
    }
    return kOther;
}

// The figure itself, as against a prop (a snowball, a note) or a scene that has let the figure go and only
// leaves the screen (the snowman after the walk, the sleigh after the fall, the dog after the crying).
bool isFigure(Activity* activity) {
    switch (kindOf(activity)) {
    case kSnowball:
    case kNote:
        return false;
    case kSnowman:
        return !static_cast<SnowmanActivity*>(activity)->walkStarted;
    case kReindeer:
        return !static_cast<ReindeerActivity*>(activity)->riderSpawned;
    case kDog:
        return !static_cast<DogActivity*>(activity)->cryingStarted;
    default:
        return true;
    }
}

bool isBasic(Kind kind) {
    return kind == kWalk || kind == kFall || kind == kFly;
}

int figures() {
    int count = 0;
    for (int slot = 0; slot < kActivitySlots; ++slot) {
        Activity* activity = characterWindow->activityIn(slot);
        count += activity && isFigure(activity) ? 1 : 0;
    }
    return count;
}

// The companions a scene creates beside its own hand-off, over its whole life.
struct Companions {
    Kind creator;
    Kind companion;
    int count;
} const kCompanions[] = {
    {kSnowman, kWalk, 1}, {kReindeer, kRider, 1}, {kThrow, kSnowball, 1}, {kThrow, kWalk, 1}, {kDog, kCrying, 1},
};

// The window's own part of a frame: step every occupied slot in slot order, destroy what finished, bring a
// figure that left one side back in on the other. Records every hand-over and checks it as it happens.
class SlotTableRun {
public:
    SlotTableRun()
        : handovers(), outlived(), passes(0), finished(0), shapes(), rects(), serials(), creators(), creatorKinds(),
          counted(), spawned(), nextSerial(1) {}
    ~SlotTableRun() = default;
    SlotTableRun(const SlotTableRun&) = delete;
    SlotTableRun& operator=(const SlotTableRun&) = delete;

    void pass(uint32_t tick) {
        frameTick = tick;
        ++passes;
        for (int slot = 0; slot < kActivitySlots; ++slot) {
            Activity* activity = characterWindow->activityIn(slot);
            if (!activity)
                continue;
            bool occupied[kActivitySlots];
            for (int i = 0; i < kActivitySlots; ++i)
                occupied[i] = characterWindow->activityIn(i) != nullptr;
            const bool wasFigure = isFigure(activity);
            const Kind kind = kindOf(activity);
            const int running = activity->step(rects[slot], shapes[slot]);
            int successors = 0;
            for (int i = 0; i < kActivitySlots; ++i) {
                Activity* newcomer = characterWindow->activityIn(i);
                if (occupied[i] || !newcomer)
                    continue;
                adopt(i, slot, kind, newcomer);
                EXPECT_EQ(0u, newcomer->startTime) << "a successor starts at its own first pass";
                if (running || !isFigure(newcomer))
                    continue;
                ++successors;
                ++handovers[kind][kindOf(newcomer)];
                if (isBasic(kind) && isBasic(kindOf(newcomer))) {
                    EXPECT_EQ(activity->rect, newcomer->rect)
                        << kKindNames[kind] << " -> " << kKindNames[kindOf(newcomer)];
                }
            }
            if (running) {
                keepOnScreen(slot, activity);
                continue;
            }
            // A figure hands over to exactly one figure; what has let the figure go ends without one.
            EXPECT_EQ(wasFigure ? 1 : 0, successors) << kKindNames[kind] << " at pass " << passes;
            checkCompanions(slot, kind);
            destroy(slot, activity);
        }
        noteSurvivors();
    }

    // The outlines the runner kept for activities still running when the window went.
    void releaseShapes() {
        for (Region& shape : shapes)
            shape.reset();
    }

    int handovers[kKinds][kKinds];
    // outlived[creator][companion]: companions seen running after the scene that created them had ended.
    int outlived[kKinds][kKinds];
    int passes;
    int finished;

private:
    void keepOnScreen(int slot, Activity* activity) {
        const int cx = GetSystemMetrics(SM_CXSCREEN);
        const int w = rects[slot].width();
        if (rects[slot].left > cx)
            rects[slot] = activity->moveBy(Point(-cx - w / 2, 0));
        if (rects[slot].right < 0)
            rects[slot] = activity->moveBy(Point(w / 2 + cx, 0));
    }

    void adopt(int slot, int creatorSlot, Kind creatorKind, Activity* newcomer) {
        serials[slot] = nextSerial++;
        creators[slot] = serials[creatorSlot];
        creatorKinds[slot] = creatorKind;
        counted[slot] = false;
        for (int kind = 0; kind < kKinds; ++kind)
            spawned[slot][kind] = 0;
        ++spawned[creatorSlot][kindOf(newcomer)];
    }

    void checkCompanions(int slot, Kind kind) {
        for (const Companions& c : kCompanions) {
            if (c.creator == kind) {
                EXPECT_EQ(c.count, spawned[slot][c.companion])
                    << kKindNames[kind] << " made " << kKindNames[c.companion] << "s";
            }
        }
    }

    void noteSurvivors() {
        int live[kActivitySlots];
        int liveCount = 0;
        for (int slot = 0; slot < kActivitySlots; ++slot) {
            if (characterWindow->activityIn(slot))
                live[liveCount++] = serials[slot];
        }
        auto alive = [&](int serial) {
            for (int i = 0; i < liveCount; ++i) {
                if (live[i] == serial)
                    return true;
            }
            return false;
        };
        for (int slot = 0; slot < kActivitySlots; ++slot) {
            Activity* activity = characterWindow->activityIn(slot);
            if (!activity || counted[slot] || creators[slot] == 0 || alive(creators[slot]))
                continue;
            counted[slot] = true;
            ++outlived[creatorKinds[slot]][kindOf(activity)];
        }
    }

    // Every frame bitmap and outline of a finished activity must be gone once it is destroyed.
    void destroy(int slot, Activity* activity) {
        HGDIOBJ handles[32];
        int count = 0;
        for (int i = 0; i < activity->frameCount && count + 2 <= 32; ++i) {
            handles[count++] = activity->frameBitmaps[i].get();
            handles[count++] = activity->frameRegions[i].handle;
        }
        for (int i = 0; i < count; ++i)
            EXPECT_NE(0u, GetObjectType(handles[i])) << "frame handle " << i << " before the destruction";
        ASSERT_EQ(activity, characterWindow->activityIn(slot));
        characterWindow->removeActivity(slot);
        rects[slot] = Rect();
        shapes[slot].reset();
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(0u, GetObjectType(handles[i])) << "frame handle " << i << " left behind";
        ++finished;
    }

    Region shapes[kActivitySlots];
    Rect rects[kActivitySlots];
    int serials[kActivitySlots];
    int creators[kActivitySlots];     // serial of the activity whose step created this one; 0 for the first ones
    Kind creatorKinds[kActivitySlots];
    bool counted[kActivitySlots];
    int spawned[kActivitySlots][kKinds];
    int nextSerial;
};


} // namespace

TEST(Chain, WalkFallAndFlightHandOverOneFigureAtATime) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int figures;
        int32_t f;
        unsigned seed;
    } rows[] = {{1, 5, 1}, {1, 1, 2}, {3, 3, 3}};
    int total[kKinds][kKinds] = {};
    for (const Row& row : rows) {
        funLevel = row.f;
        srand(row.seed);
        SlotTableRun run;
        const long blocksBefore = countingHeap::liveBlocks;
        {
            WindowScope window;
            // Walkers in mid-air over the bare desktop: the first ground check that fails starts the chain.
            for (int i = 0; i < row.figures; ++i)
                spawn(new WalkActivity(Rect(200 + 250 * i, 200, 275 + 250 * i, 283), i % 2));
            const uint32_t start = 1000000;
            // With every scene in the picker a walk falls or flies only now and then, so the five hand-overs
            // between walk, fall and flight are looked for over all rows together.
            while (run.passes < 8000) {
                run.pass(start + 50 * run.passes);
                ASSERT_EQ(row.figures, figures()) << "pass " << run.passes;
            }
            for (int from = 0; from < kKinds; ++from)
                for (int to = 0; to < kKinds; ++to)
                    total[from][to] += run.handovers[from][to];
        }
        // Only counted when the row recorded no failure: the test framework keeps every failure on the heap.
        if (!::testing::Test::HasFailure()) {
            EXPECT_EQ(blocksBefore, countingHeap::liveBlocks) << "heap blocks left after the chain of " << row.figures;
        }
        // A walk hands over to a fall or (by the picker) to anything but a walk; a flight only to a fall;
        // a fall only through the picker, never to another fall.
        EXPECT_EQ(0, run.handovers[kWalk][kWalk]);
        for (int to = 0; to < kKinds; ++to) {
            if (to != kFall) {
                EXPECT_EQ(0, run.handovers[kFly][to]) << "flight -> " << kKindNames[to];
            }
        }
        EXPECT_EQ(0, run.handovers[kFall][kFall]);
        EXPECT_GE(run.finished, 5) << "fun level " << row.f;
        std::printf("%d figure(s) at fun level %d: %d passes, %d activities finished\n", row.figures, row.f,
                    run.passes, run.finished);
    }
    EXPECT_TRUE(total[kWalk][kFall] && total[kWalk][kFly] && total[kFall][kWalk] && total[kFall][kFly] &&
                total[kFly][kFall])
        << "walk->fall " << total[kWalk][kFall] << ", walk->flight " << total[kWalk][kFly] << ", fall->walk "
        << total[kFall][kWalk] << ", fall->flight " << total[kFall][kFly] << ", flight->fall " << total[kFly][kFall];
    EXPECT_EQ(0, failures.count());
}

// The scenes that let the figure go part-way through, over many seeds and passes: one figure per chain at every
// pass, each scene's companions made exactly once, companions that run on after their creators, and nothing
// left behind: no heap block, no GDI object.
TEST(Chain, ScenesWithCompanionsKeepOneFigurePerChain) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int figures;
        int32_t f;
        unsigned seed;
        int passes;
    } rows[] = {{3, 5, 21, 5000}, {2, 3, 22, 3000}, {4, 5, 23, 4000}};
    const struct {
        Kind creator;
        Kind companion;
    } outliving[] = {{kSnowman, kWalk}, {kReindeer, kRider}, {kThrow, kSnowball}, {kPiano, kNote}, {kDog, kCrying}};
    int seen[kKinds][kKinds] = {};
    for (const Row& row : rows) {
        funLevel = row.f;
        srand(row.seed);
        SlotTableRun run;
        { WindowScope warmUp; } // the first window of the process leaves the system's caches filled
        const long blocksBefore = countingHeap::liveBlocks;
        const int gdiBefore = liveGdiObjects();
        {
            WindowScope window;
            for (int i = 0; i < row.figures; ++i)
                spawn(new WalkActivity(Rect(100 + 220 * i, 200, 175 + 220 * i, 283), i % 2));
            const uint32_t start = 2000000;
            while (run.passes < row.passes) {
                run.pass(start + 50 * run.passes);
                ASSERT_EQ(row.figures, figures()) << "pass " << run.passes;
            }
        }
        run.releaseShapes();
        EXPECT_EQ(blocksBefore, countingHeap::liveBlocks) << "heap blocks left after " << row.figures << " chains";
        EXPECT_EQ(gdiBefore, liveGdiObjects()) << "GDI objects left after " << row.figures << " chains";
        EXPECT_EQ(0, run.handovers[kFall][kSnowman]) << "a fall never hands over to the snowman";
        EXPECT_EQ(0, run.handovers[kCrying][kDog]) << "the crying figure never calls the dog back";
        EXPECT_EQ(0, run.handovers[kRider][kReindeer]) << "the fallen figure never takes the sleigh again";
        EXPECT_EQ(0, run.handovers[kPiano][kPiano]);
        for (int from = 0; from < kKinds; ++from) {
            for (int to = 0; to < kKinds; ++to)
                seen[from][to] += run.outlived[from][to];
        }
        std::printf("%d chains at fun level %d: %d passes, %d activities finished; ran on after their creators:",
                    row.figures, row.f, run.passes, run.finished);
        for (const auto& o : outliving)
            std::printf(" %d %s", run.outlived[o.creator][o.companion], kKindNames[o.companion]);
        std::printf("\n");
    }
    for (const auto& o : outliving) {
        EXPECT_GT(seen[o.creator][o.companion], 0)
            << "no " << kKindNames[o.companion] << " ran on after its " << kKindNames[o.creator];
    }
    EXPECT_EQ(0, failures.count());
}
