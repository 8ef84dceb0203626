#include <gtest/gtest.h>

#include "activities/falling.h"
#include "engine/seams.h"
#include "app/startup.h"
#include "support/scene_helpers.h"
#include "sound/sound_clip.h"
#include "sound/sound_player.h"
#include "support/sound_fakes.h"

namespace {

constexpr uint32_t kStart = 300000;

// Steps a fall every `gap` ms from kStart until it lands; returns the landing tick (0 when it never lands).
uint32_t fallUntilLanded(FallActivity& fall, Region& shape, uint32_t gap = 50) {
    for (uint32_t tick = kStart; tick < kStart + 100000; tick += gap) {
        if (!stepAt(fall, tick, shape).running)
            return 0;
        if (fall.frame == 2)
            return tick;
    }
    return 0;
}

FakeDirectSound* gDevice = nullptr;

HRESULT WINAPI createFakeDevice(const GUID*, IDirectSound** out, IUnknown*) {
    *out = gDevice;
    return DS_OK;
}

// Plays of a sound, over all its copies.
int playsOf(SoundHandle sound) {
    const SoundClip* clip = static_cast<const SoundClip*>(sound);
    int plays = 0;
    for (int i = 0; i < clip->copyCount; ++i)
        plays += static_cast<FakeBuffer*>(clip->copies[i].get())->plays;
    return plays;
}

// The one player, on a fake device, with the fall's two sounds loaded; everything put back afterwards.
class FakeSoundScope {
public:
    FakeSoundScope() : savedFactory(gSeams.directSoundCreate), savedOho(soundOho), savedLup(soundLup) {
        gDevice = &device;
        gSeams.directSoundCreate = createFakeDevice;
        player.open(nullptr);
        soundOho = player.load(GetModuleHandleA(nullptr), "oho", 3);
        soundLup = player.load(GetModuleHandleA(nullptr), "lup", 2);
        soundPlayer = &player;
    }
    ~FakeSoundScope() {
        soundPlayer = nullptr;
        soundOho = savedOho;
        soundLup = savedLup;
        player.close();
        gSeams.directSoundCreate = savedFactory;
        gDevice = nullptr;
    }
    FakeSoundScope(const FakeSoundScope&) = delete;
    FakeSoundScope& operator=(const FakeSoundScope&) = delete;

    FakeDirectSound device;
    SoundPlayer player;

private:
    decltype(Seams::directSoundCreate) savedFactory;
    SoundHandle savedOho;
    SoundHandle savedLup;
};

} // namespace

// "oho" the moment the fall is created, "lup" once in the landing pass, nothing while it lies.
TEST(Fall, SaysOhoWhenItStartsAndLupWhenItLands) {
    LoadFailureCounter failures;
    WindowScope window;
    FakeSoundScope sound;
    ASSERT_EQ(SoundMode::DirectSound, sound.player.mode);
    ASSERT_NE(nullptr, soundOho);
    ASSERT_NE(nullptr, soundLup);
    FallActivity* fall = new FallActivity(Rect(100, 300, 182, 398));
    EXPECT_EQ(1, playsOf(soundOho));
    EXPECT_EQ(0, playsOf(soundLup));
    Region shape;
    uint32_t landed = fallUntilLanded(*fall, shape);
    ASSERT_NE(0u, landed);
    EXPECT_EQ(1, playsOf(soundOho));
    EXPECT_EQ(1, playsOf(soundLup));
    for (uint32_t after = 50; after <= 1000; after += 50)
        stepAt(*fall, landed + after, shape);
    EXPECT_EQ(1, playsOf(soundLup));
    EXPECT_EQ(0, occupiedSlots());
    delete fall;
}

TEST(Fall, TakesTheRectAndLoadsItsFrames) {
    LoadFailureCounter failures;
    const Rect where(10, 20, 85, 103);
    FallActivity fall(where);
    EXPECT_EQ(where, fall.rect);
    EXPECT_EQ(0, fall.frame);
    EXPECT_STREQ("spada", fall.name.text());
    ASSERT_EQ(3, fall.frameCount);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Point(82, 98), fall.frameSizes[i]) << "SPADA" << i + 1;
    EXPECT_EQ(0, failures.count());
}

// 30 px above a window's edge: the first moving pass drops 40 px, the probe lies 15 px below the edge, and
// the figure lands with its feet exactly on it.
TEST(Fall, LandsOnAWindowInItsFirstMovingPass) {
    TestWindow ledge(Rect(300, 400, 700, 700));
    struct Row {
        const char* label;
        Rect where;
    } rows[] = {
        {"a falling-sized figure", Rect(400, 272, 482, 370)},
        {"a walker's rect", Rect(400, 287, 475, 370)},
    };
    for (const Row& row : rows) {
        FallActivity fall(row.where);
        Region shape;
        Pass first = stepAt(fall, kStart, shape);
        ASSERT_EQ(1, first.running);
        EXPECT_EQ(0, fall.frame);
        EXPECT_EQ(370, first.rect.bottom) << row.label << ": the pose keeps the feet";
        EXPECT_EQ(82, first.rect.width());
        Pass second = stepAt(fall, kStart + 50, shape);
        EXPECT_EQ(0, fall.frame);
        EXPECT_EQ(first.rect, second.rect) << row.label;
        Pass landing = stepAt(fall, kStart + 100, shape);
        ASSERT_EQ(1, landing.running);
        EXPECT_EQ(2, fall.frame) << row.label;
        EXPECT_EQ(400, landing.rect.bottom) << row.label;
        EXPECT_EQ(98, landing.rect.height());
        EXPECT_EQ(first.rect.left, landing.rect.left);
        EXPECT_EQ(kStart + 100, fall.startTime) << "the landed phase is timed from the landing";
        EXPECT_FALSE(regionRects(shape.handle).empty());
    }
}

// Over the bare desktop the figure falls 20 px per pass while its probe is on the screen, and lands on the
// screen's bottom edge in the first pass whose probe lies below it. It never shows SPADA3 while falling.
TEST(Fall, LandsOnTheScreenBottom) {
    const int h = screenHeight();
    struct Row {
        int top;
    } rows[] = {{100}, {101}, {117}, {-300}, {h - 150}};
    for (const Row& row : rows) {
        FallActivity fall(Rect(100, row.top, 182, row.top + 98));
        Region shape;
        int previousBottom = row.top + 98;
        int pass = 0;
        for (;; ++pass) {
            ASSERT_LT(pass, 500);
            Pass result = stepAt(fall, kStart + 50 * pass, shape);
            ASSERT_EQ(1, result.running);
            if (pass < 2) {
                EXPECT_EQ(0, fall.frame);
                EXPECT_EQ(previousBottom, result.rect.bottom);
                continue;
            }
            int drop = pass == 2 ? 40 : 20;
            if (fall.frame == 2) {
                EXPECT_EQ(h, result.rect.bottom) << "top " << row.top;
                EXPECT_GT(previousBottom + drop + 5, h) << "the landing probe lies below the screen";
                break;
            }
            EXPECT_EQ(1, fall.frame);
            EXPECT_EQ(previousBottom + drop, result.rect.bottom) << "top " << row.top << ", pass " << pass;
            EXPECT_LE(result.rect.bottom + 5, h) << "still falling with a probe below the screen";
            previousBottom = result.rect.bottom;
        }
    }
}

// A move covers the whole 50-ms units since the last move; the rest is dropped at every moving pass
// (the 120-ms move at 230 ms is 40 px, and the 30 ms of the pass at 260 ms are lost too).
TEST(Fall, MovesInWholeUnits) {
    FallActivity fall(Rect(100, 0, 182, 98));
    Region shape;
    struct Row {
        uint32_t at;
        int bottom;
    } rows[] = {
        {0, 98}, {60, 98}, {110, 98 + 40}, {230, 98 + 80}, {260, 98 + 80}, {280, 98 + 80}, {329, 98 + 80}, {379, 98 + 100},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(1, stepAt(fall, kStart + row.at, shape).running);
        EXPECT_EQ(row.bottom, fall.rect.bottom) << row.at << " ms";
    }
}

// Landed, the figure lies while counter is 20 or less and hands over to the picker at 21.
TEST(Fall, LiesOnTheGroundForTwentyOneUnits) {
    LoadFailureCounter failures;
    WindowScope window;
    const int h = screenHeight();
    FallActivity* fall = new FallActivity(Rect(500, h - 160, 582, h - 62));
    Region shape;
    uint32_t landed = fallUntilLanded(*fall, shape);
    ASSERT_NE(0u, landed);
    const Rect lying = fall->rect;
    EXPECT_EQ(h, lying.bottom);
    struct Row {
        uint32_t after;
        int running;
        int counter;
    } rows[] = {{0, 1, 0}, {50, 1, 1}, {999, 1, 19}, {1000, 1, 20}, {1049, 1, 20}, {1050, 0, 21}};
    for (const Row& row : rows) {
        EXPECT_EQ(row.running, stepAt(*fall, landed + row.after, shape).running) << row.after << " ms";
        EXPECT_EQ(row.counter, fall->counter) << row.after << " ms";
        EXPECT_EQ(lying, fall->rect);
        EXPECT_EQ(2, fall->frame);
        EXPECT_EQ(row.running ? 0 : 1, occupiedSlots());
    }
    ASSERT_EQ(1, occupiedSlots());
    // Built from the rect it lay in: some scenes resize to their own first frame about its centre and feet.
    const Rect next = characterWindow->activityIn(0)->rect;
    EXPECT_EQ(lying.bottom, next.bottom);
    EXPECT_NEAR(lying.centerX(), next.centerX(), 1);
    delete fall;
}

// The fall's successor is picked with {6, 9} excluded (no snowman right after a fall).
TEST(Fall, HandsOverWithTheSnowmanExcluded) {
    LoadFailureCounter failures;
    const int h = screenHeight();
    for (unsigned seed = 1; seed <= 20; ++seed) {
        WindowScope window;
        FallActivity fall(Rect(500, h - 98, 582, h));
        Region shape;
        uint32_t landed = fallUntilLanded(fall, shape);
        ASSERT_NE(0u, landed);
        int expected = randAfterPick(seed, fall.rect, IdList(), idList({6, 9}));
        srand(seed);
        ASSERT_EQ(0, stepAt(fall, landed + 1050, shape).running);
        EXPECT_EQ(expected, rand()) << "seed " << seed;
        EXPECT_EQ(1, occupiedSlots());
    }
}

TEST(ReindeerFell, KeepsTheRightAndBottomEdges) {
    LoadFailureCounter failures;
    struct Row {
        Rect where;
        Rect expected;
    } rows[] = {
        {Rect(300, 400, 500, 600), Rect(386, 519, 500, 600)},
        {Rect(0, 0, 0, 0), Rect(-114, -81, 0, 0)},
    };
    for (const Row& row : rows) {
        ReindeerFellActivity fell(row.where);
        EXPECT_EQ(row.expected, fell.rect) << row.where;
        EXPECT_STREQ("spadl", fell.name.text());
        ASSERT_EQ(1, fell.frameCount);
        EXPECT_EQ(Point(114, 81), fell.frameSizes[0]);
    }
    EXPECT_EQ(0, failures.count());
}

// Shown unchanged for 3000 ms after its first pass; the first pass after that hands over, never to the reindeer.
TEST(ReindeerFell, LiesForThreeSeconds) {
    LoadFailureCounter failures;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        WindowScope window;
        ReindeerFellActivity fell(Rect(300, 400, 500, 600));
        Region shape;
        const Rect lying(386, 519, 500, 600);
        struct Row {
            uint32_t after;
            int running;
        } rows[] = {{0, 1}, {50, 1}, {2999, 1}, {3000, 1}};
        for (const Row& row : rows) {
            Pass pass = stepAt(fell, kStart + row.after, shape);
            EXPECT_EQ(row.running, pass.running) << row.after << " ms";
            EXPECT_EQ(lying, pass.rect);
            EXPECT_EQ(0, fell.frame);
            EXPECT_FALSE(regionRects(shape.handle).empty());
        }
        EXPECT_EQ(0, occupiedSlots());
        int expected = randAfterPick(seed, lying, IdList(), idList({17}));
        srand(seed);
        EXPECT_EQ(0, stepAt(fell, kStart + 3001, shape).running);
        EXPECT_EQ(expected, rand()) << "seed " << seed;
        ASSERT_EQ(1, occupiedSlots());
        EXPECT_EQ(lying, characterWindow->activityIn(0)->rect);
    }
}
