// The figure's chain of scenes run as the character window runs it: walk, fall, flight and the prop scenes
// handing over to each other through the slot table, one figure per chain, nothing left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "scene_runs.h"

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

// The picker's scenes are counted by their activity id; the fall has no id of its own.
enum Kind { kOther = 0, kWalk = 1, kFall = 6, kFly = 7, kKinds = 20 };

const char* const kKindNames[kKinds] = {"other", "walk", "explosion", "tree", "stroking", "hello", "fall", "flight",
                                        "piano", "snowman", "present", "balloon", "sack", "throw", "bike", "sleigh",
                                        "greeting", "reindeer", "dog", "pause"};

Kind kindOf(Activity* activity) {
    if (dynamic_cast<FallActivity*>(activity))
        return kFall;
    return static_cast<Kind>(sceneIdOf(activity));
}

// The balloon sends the next scene in from beyond a side edge and fits its own picture to what it is given; the
// pause waits at an edge of its own choice.
bool keepsTheRect(Kind from, Kind to) {
    return from != kBalloonId && to != kBalloonId && to != kAbsenceId;
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
                if (keepsTheRect(kindOf(activity), kindOf(newcomer))) {
                    EXPECT_EQ(activity->rect, newcomer->rect)
                        << kKindNames[kindOf(activity)] << " -> " << kKindNames[kindOf(newcomer)];
                }
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

    // Every frame bitmap and outline of a finished activity must be gone once it is destroyed. A frame set not
    // drawn yet has no handles to look at.
    void destroy(int slot, Activity* activity) {
        HGDIOBJ handles[32];
        int count = 0;
        for (int i = 0; i < activity->frameCount && count + 2 <= 32; ++i) {
            if (activity->frameBitmaps[i])
                handles[count++] = activity->frameBitmaps[i];
            if (activity->frameRegions[i] && activity->frameRegions[i]->handle)
                handles[count++] = activity->frameRegions[i]->handle;
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

// Live GDI objects of this process. Wine's GetGuiResources answers 0, but its GDI accepts a handle whose upper
// half is 0 as any generation of that table entry, so every entry can be probed.
int liveGdiObjects() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0)
        return static_cast<int>(counted);
    int live = 0;
    for (UINT_PTR entry = 1; entry < 0x10000; ++entry) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(entry)) != 0)
            ++live;
    }
    return live;
}

// What the system creates once and keeps (Wine's own GDI objects and caches, the load-failure texts) is created
// before anything is counted: one window and one of every scene, with a few passes.
void warmUp() {
    const Rect where(300, 300, 375, 383);
    Activity* scenes[] = {new WalkActivity(where, 1), new FallActivity(where), new FlyActivity(where),
                          new ExplosionActivity(where), new ChristmasTreeActivity(where), new StrokingActivity(where),
                          new HelloActivity(where), new PresentActivity(where), new BalloonActivity(where),
                          new SackActivity(where), new BikeActivity(where), new SleighActivity(where),
                          new GreetingActivity(where), new AbsenceActivity};
    WindowScope window;
    SlotTableRun run;
    for (Activity* scene : scenes)
        spawn(scene);
    for (int pass = 0; pass < 3; ++pass)
        run.pass(2000000 + 50 * pass);
}

} // namespace

TEST(Chain, EveryScenePlaysAndHandsOverOneFigureAtATime) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    struct Row {
        int figures;
        int32_t f;
        unsigned seed;
    } rows[] = {{1, 5, 1}, {1, 5, 2}, {2, 4, 3}, {1, 3, 4}, {1, 1, 5}, {3, 1, 6}, {2, 2, 7}, {1, 1, 8}};
    constexpr int kPasses = 2500;
    int seen[kKinds][kKinds] = {};
    warmUp();
    for (const Row& row : rows) {
        funLevel = row.f;
        srand(row.seed);
        const long blocksBefore = gLiveBlocks;
        const int gdiBefore = liveGdiObjects();
        int finished = 0;
        {
            // The run holds the slots' shapes: it goes before the count, with the window and what still runs.
            SlotTableRun run;
            WindowScope window;
            // Walkers in mid-air over the bare desktop: the first ground check that fails starts the chain.
            for (int i = 0; i < row.figures; ++i)
                spawn(new WalkActivity(Rect(200 + 250 * i, 200, 275 + 250 * i, 283), i % 2));
            const uint32_t start = 1000000;
            while (run.passes < kPasses) {
                run.pass(start + 50 * run.passes);
                ASSERT_EQ(row.figures, occupiedSlots()) << "pass " << run.passes;
            }
            for (int from = 0; from < kKinds; ++from) {
                for (int to = 0; to < kKinds; ++to)
                    seen[from][to] += run.handovers[from][to];
            }
            finished = run.finished;
        }
        // Only counted when the row recorded no failure: the test framework keeps every failure on the heap.
        if (!::testing::Test::HasFailure())
            EXPECT_EQ(blocksBefore, gLiveBlocks) << "heap blocks left after the chain of " << row.figures;
        EXPECT_EQ(gdiBefore, liveGdiObjects()) << "GDI objects left after the chain of " << row.figures;
        EXPECT_GE(finished, 5) << "fun level " << row.f;
        std::printf("%d figure(s) at fun level %d: %d passes, %d activities finished\n", row.figures, row.f,
                    kPasses, finished);
    }
    // Who may never follow whom: the walk, the flight and the fall by their own rules, the prop scenes by the
    // lists they give the picker; nothing the picker cannot build comes or goes.
    struct Never {
        Kind from;
        std::vector<int> to;
    } nevers[] = {
        {kWalk, {kWalkId}},
        {kFly, {kWalkId, kFlyId}},
        {kFall, {kFall, kSnowmanId}},
        {static_cast<Kind>(kExplosionId), {kExplosionId, kStrokingId, kSnowmanId}},
        {static_cast<Kind>(kChristmasTreeId), {kChristmasTreeId, kWalkId}},
        {static_cast<Kind>(kStrokingId), {kStrokingId, kExplosionId}},
        {static_cast<Kind>(kHelloId), {kHelloId, kExplosionId}},
        {static_cast<Kind>(kPresentId), {kWalkId, kPresentId}},
        {static_cast<Kind>(kBalloonId), {kExplosionId, kStrokingId, kHelloId, kFall, kFlyId, kPianoId, kSnowmanId,
                                         kBalloonId, kSackId, kSnowballThrowId, kBikeId, kSleighId, kGreetingId,
                                         kReindeerId, kDogId}},
        {static_cast<Kind>(kSackId), {kSackId, kSnowmanId}},
        {static_cast<Kind>(kBikeId), {kBalloonId, kStrokingId, kPianoId}},
        {static_cast<Kind>(kSleighId), {kSleighId}},
        {static_cast<Kind>(kGreetingId), {kGreetingId}},
        {static_cast<Kind>(kAbsenceId), {kAbsenceId}},
    };
    for (const Never& never : nevers) {
        for (int to : never.to)
            EXPECT_EQ(0, seen[never.from][to]) << kKindNames[never.from] << " -> " << kKindNames[to];
    }
    for (int kind = 0; kind < kKinds; ++kind) {
        EXPECT_EQ(0, seen[kind][kOther]) << kKindNames[kind] << " -> something unknown";
        EXPECT_EQ(0, seen[kOther][kind]) << "something unknown -> " << kKindNames[kind];
    }
    // Every scene that can be built came on, and handed over in turn.
    for (int kind = 1; kind < kKinds; ++kind) {
        if (kind != kFall && !activityBuildable(kind))
            continue;
        int came = 0;
        int went = 0;
        for (int other = 0; other < kKinds; ++other) {
            came += seen[other][kind];
            went += seen[kind][other];
        }
        EXPECT_GT(came, 0) << kKindNames[kind] << " never came on";
        EXPECT_GT(went, 0) << kKindNames[kind] << " never handed over";
    }
    const std::string missing = missingFrameSets({"BALON", "BOOM", "CHOINKA", "GLASZCZE", "HELLO", "PREZENT", "ROWER",
                                                  "SANIE", "WITA", "WOREK"});
    if (missing.empty())
        EXPECT_EQ(0, failures.count());
    else
        std::printf("frame set(s) not drawn yet, load failures not checked: %s\n", missing.c_str());
}
