// The figure's chain of scenes run as the character window runs it: walk, fall, flight handing over to each
// other through the slot table, one figure per chain, nothing left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "activities/falling.h"
#include "activities/flying.h"
#include "activities/walking.h"
#include "scene_helpers.h"

// Every heap block of the program is counted: what a chain allocates must all be freed again.
namespace {
long gLiveBlocks = 0;

void* allocate(size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (block)
        ++gLiveBlocks;
    return block;
}

void release(void* block) {
    if (!block)
        return;
    --gLiveBlocks;
    HeapFree(GetProcessHeap(), 0, block);
}
} // namespace

void* operator new(size_t size) {
    void* block = allocate(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, size_t) noexcept {
    release(block);
}
void operator delete[](void* block, size_t) noexcept {
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    release(block);
}

namespace {

enum Kind { kWalk, kFall, kFly, kOther, kKinds };

const char* const kKindNames[kKinds] = {"walk", "fall", "flight", "other"};

Kind kindOf(Activity* activity) {
    if (dynamic_cast<WalkActivity*>(activity))
        return kWalk;
    if (dynamic_cast<FallActivity*>(activity))
        return kFall;
    if (dynamic_cast<FlyActivity*>(activity))
        return kFly;
    return kOther;
}

// The window's own part of a frame: step every occupied slot in slot order, destroy what finished, bring a
// figure that left one side back in on the other. Records every hand-over and checks it as it happens.
class SlotTableRun {
public:
    SlotTableRun() : handovers(), passes(0), finished(0), shapes(), rects() {}
    ~SlotTableRun() = default;
    SlotTableRun(const SlotTableRun&) = delete;
    SlotTableRun& operator=(const SlotTableRun&) = delete;

    void pass(uint32_t tick) {
        frameTick = tick;
        ++passes;
        for (int slot = 0; slot < kActivitySlots; ++slot) {
            Activity* activity = characterWindow->activities[slot];
            if (!activity)
                continue;
            bool occupied[kActivitySlots];
            for (int i = 0; i < kActivitySlots; ++i)
                occupied[i] = characterWindow->activities[i] != nullptr;
            if (activity->step(rects[slot], shapes[slot])) {
                keepOnScreen(slot, activity);
                continue;
            }
            int successors = 0;
            for (int i = 0; i < kActivitySlots; ++i) {
                Activity* newcomer = characterWindow->activities[i];
                if (occupied[i] || !newcomer)
                    continue;
                ++successors;
                ++handovers[kindOf(activity)][kindOf(newcomer)];
                EXPECT_EQ(activity->rect, newcomer->rect)
                    << kKindNames[kindOf(activity)] << " -> " << kKindNames[kindOf(newcomer)];
                EXPECT_EQ(0u, newcomer->startTime) << "a successor starts at its own first pass";
            }
            EXPECT_EQ(1, successors) << kKindNames[kindOf(activity)] << " at pass " << passes;
            destroy(slot, activity);
        }
    }

    int handovers[kKinds][kKinds];
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

    // Every frame bitmap and outline of a finished activity must be gone once it is destroyed.
    void destroy(int slot, Activity* activity) {
        HGDIOBJ handles[32];
        int count = 0;
        for (int i = 0; i < activity->frameCount && count + 2 <= 32; ++i) {
            handles[count++] = activity->frameBitmaps[i];
            handles[count++] = activity->frameRegions[i] ? activity->frameRegions[i]->handle : nullptr;
        }
        for (int i = 0; i < count; ++i)
            EXPECT_NE(0u, GetObjectType(handles[i])) << "frame handle " << i << " before the destruction";
        delete activity;
        characterWindow->activities[slot] = nullptr;
        rects[slot] = Rect();
        shapes[slot].reset();
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(0u, GetObjectType(handles[i])) << "frame handle " << i << " left behind";
        ++finished;
    }

    Region shapes[kActivitySlots];
    Rect rects[kActivitySlots];
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
    for (const Row& row : rows) {
        funLevel = row.f;
        srand(row.seed);
        SlotTableRun run;
        const long blocksBefore = gLiveBlocks;
        {
            WindowScope window;
            // Walkers in mid-air over the bare desktop: the first ground check that fails starts the chain.
            for (int i = 0; i < row.figures; ++i)
                spawn(new WalkActivity(Rect(200 + 250 * i, 200, 275 + 250 * i, 283), i % 2));
            const uint32_t start = 1000000;
            bool allSeen = false;
            while (run.passes < 4000 && !(allSeen && run.passes >= 300)) {
                run.pass(start + 50 * run.passes);
                ASSERT_EQ(row.figures, occupiedSlots()) << "pass " << run.passes;
                allSeen = run.handovers[kWalk][kFall] && run.handovers[kWalk][kFly] && run.handovers[kFall][kWalk] &&
                          run.handovers[kFall][kFly] && run.handovers[kFly][kFall];
            }
            EXPECT_TRUE(allSeen) << "after " << run.passes << " passes";
        }
        EXPECT_EQ(blocksBefore, gLiveBlocks) << "heap blocks left after the chain of " << row.figures;
        // A walk hands over to a fall or (by the picker) to anything but a walk; a flight only to a fall;
        // a fall only through the picker, which builds walks and flights for now.
        EXPECT_EQ(0, run.handovers[kWalk][kWalk]);
        EXPECT_EQ(0, run.handovers[kFly][kWalk]);
        EXPECT_EQ(0, run.handovers[kFly][kFly]);
        EXPECT_EQ(0, run.handovers[kFall][kFall]);
        for (int from = 0; from < kKinds; ++from) {
            EXPECT_EQ(0, run.handovers[from][kOther]);
            EXPECT_EQ(0, run.handovers[kOther][from]);
        }
        EXPECT_GE(run.finished, 5) << "fun level " << row.f;
        std::printf("%d figure(s) at fun level %d: %d passes, %d activities finished\n", row.figures, row.f,
                    run.passes, run.finished);
    }
    EXPECT_EQ(0, failures.count());
}
