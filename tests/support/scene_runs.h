// Helpers for the tests of the prop scenes: which scene an activity is, counting the
// sounds played, and running a scene to its hand-over to check the lists it gave the picker.
#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "activities/absence.h"
#include "engine/seams.h"
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
#include "app/startup.h"
#include "scene_helpers.h"
#include "sound/sound_clip.h"
#include "sound/sound_player.h"
#include "sound_fakes.h"

// The start of every scene's clock in these tests: far from 0, which means "not started".
constexpr uint32_t kSceneStart = 300000;

// The activity id of a scene the picker builds; 0 for anything else.
inline int sceneIdOf(Activity* a) {
    if (dynamic_cast<WalkActivity*>(a)) return kWalkId;
    if (dynamic_cast<ExplosionActivity*>(a)) return kExplosionId;
    if (dynamic_cast<ChristmasTreeActivity*>(a)) return kChristmasTreeId;
    if (dynamic_cast<StrokingActivity*>(a)) return kStrokingId;
    if (dynamic_cast<HelloActivity*>(a)) return kHelloId;
    if (dynamic_cast<FlyActivity*>(a)) return kFlyId;
    if (dynamic_cast<PresentActivity*>(a)) return kPresentId;
    if (dynamic_cast<BalloonActivity*>(a)) return kBalloonId;
    if (dynamic_cast<SackActivity*>(a)) return kSackId;
    if (dynamic_cast<BikeActivity*>(a)) return kBikeId;
    if (dynamic_cast<SleighActivity*>(a)) return kSleighId;
    if (dynamic_cast<GreetingActivity*>(a)) return kGreetingId;
    if (dynamic_cast<AbsenceActivity*>(a)) return kAbsenceId;
    if (dynamic_cast<PianoActivity*>(a)) return kPianoId;
    if (dynamic_cast<SnowmanActivity*>(a)) return kSnowmanId;
    if (dynamic_cast<SnowballThrowActivity*>(a)) return kSnowballThrowId;
    if (dynamic_cast<ReindeerActivity*>(a)) return kReindeerId;
    if (dynamic_cast<DogActivity*>(a)) return kDogId;
    return 0;
}

// A player on a fake DirectSound device for the length of a test: counts the plays of each sound.
// plays() answers how often a sound started since the last time it was asked about.
class SoundCounter {
public:
    SoundCounter()
        : saved(gSeams.directSoundCreate), player(new SoundPlayer),
          handles{soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc} {
        device() = &fake;
        gSeams.directSoundCreate = create;
        moduleInstance = GetModuleHandleA(nullptr);
        soundPlayer = player;
        loadSounds(nullptr);
    }
    // The handles loadSounds set die with the player: the ones of before come back, so that no later test plays
    // a freed sound.
    ~SoundCounter() {
        soundPlayer = nullptr;
        delete player;
        gSeams.directSoundCreate = saved;
        device() = nullptr;
        SoundHandle* globals[] = {&soundPiano, &soundWyb, &soundLup, &soundOho, &soundHello, &soundBat, &soundWarc};
        for (int i = 0; i < 7; ++i)
            *globals[i] = handles[i];
    }
    SoundCounter(const SoundCounter&) = delete;
    SoundCounter& operator=(const SoundCounter&) = delete;

    int plays(SoundHandle sound) const {
        if (!sound)
            return -1;
        const SoundClip* clip = static_cast<const SoundClip*>(sound);
        int total = 0;
        for (int i = 0; i < clip->copyCount; ++i) {
            FakeBuffer* copy = static_cast<FakeBuffer*>(clip->copies[i].get());
            total += copy->plays;
            copy->plays = 0;
            copy->finish(); // played to its end: every copy is free for the next request
        }
        return total;
    }
private:
    static FakeDirectSound*& device() {
        static FakeDirectSound* current = nullptr;
        return current;
    }
    static HRESULT WINAPI create(const GUID*, IDirectSound** out, IUnknown*) {
        *out = device();
        return DS_OK;
    }
    decltype(Seams::directSoundCreate) saved;
    FakeDirectSound fake;
    SoundPlayer* player;
    SoundHandle handles[7];
};

// One way to end a scene: its passes before the last (ms after kSceneStart), the last pass, the rand() values that last pass draws before it asks the picker, and the lists it must give it.
struct Ending {
    const char* label;
    std::function<Activity*()> make;
    std::vector<uint32_t> passes;
    uint32_t last;
    int drawsBefore;
    std::vector<int> allowed;
    std::vector<int> excluded;
};

// Runs the ending with many seeds at fun levels 1 and 5: every successor is one the lists let through, and the
// rand() value after the hand-over is the one that follows the picker's draws with exactly those lists.
inline void checkEnding(const Ending& e, int seeds) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    std::set<int> seen;
    for (int32_t fun : {1, 5}) {
        funLevel = fun;
        for (int seed = 1; seed <= seeds; ++seed) {
            WindowScope window;
            srand(seed);
            Activity* scene = e.make();
            Region shape;
            for (uint32_t at : e.passes)
                ASSERT_EQ(1, stepAt(*scene, kSceneStart + at, shape).running) << e.label << " at " << at;
            // Neighbouring seeds start the generator with neighbouring values: spread them.
            const unsigned pickSeed = 7919u * seed + 101u;
            srand(pickSeed);
            ASSERT_EQ(0, stepAt(*scene, kSceneStart + e.last, shape).running) << e.label;
            const int after = rand();
            ASSERT_EQ(1, occupiedSlots()) << e.label;
            Activity* next = characterWindow->activityIn(0);
            const int id = sceneIdOf(next);
            seen.insert(id);
            EXPECT_NE(0, id) << e.label;
            for (int never : e.excluded)
                EXPECT_NE(never, id) << e.label << " followed by an excluded scene";
            if (!e.allowed.empty()) {
                EXPECT_NE(e.allowed.end(), std::find(e.allowed.begin(), e.allowed.end(), id)) << e.label;
            }
            EXPECT_EQ(0u, next->startTime);
            if (id != kAbsenceId) {
                IdList allowed;
                IdList excluded;
                for (int i : e.allowed) allowed.append(i);
                for (int i : e.excluded) excluded.append(i);
                srand(pickSeed);
                for (int i = 0; i < e.drawsBefore; ++i)
                    rand();
                // The picker was handed the scene's own rect: the successor may have fitted it to its picture.
                int picked = drawActivityId(scene->rect, allowed, excluded);
                EXPECT_EQ(picked, id) << e.label << ", seed " << seed;
                if (picked == kWalkId)
                    random(100);
                EXPECT_EQ(rand(), after) << e.label << ": the picker was given other lists, seed " << seed;
            }
            delete scene;
        }
    }
    EXPECT_GE(seen.size(), 3u) << e.label << ": too few different successors";
}
