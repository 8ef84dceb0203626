#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/scene_table.h"
#include "activities/piano.h"
#include "support/scene_helpers.h"
#include "support/scene_sound.h"

namespace {

constexpr uint32_t kStart = 600000;

} // namespace

// pianoPlaying from the constructor to the destructor; the recording starts with the construction, and the
// scene ends 19600 ms after it, however late the first pass comes and also when that end lies beyond the wrap.
TEST(Piano, PlaysFromConstructionToEndTime) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    SceneSoundScope sound;
    struct Row {
        uint32_t start;
        uint32_t firstPassDelay;
    } rows[] = {{kStart, 0}, {kStart, 50}, {kStart, 10000}, {0u - 19600, 0}, {0u - 100, 50}};
    for (const Row& row : rows) {
        WindowScope window;
        pianoPlaying = 0;
        frameTick = row.start;
        const int playsBefore = SceneSoundScope::playsOf(soundPiano);
        auto* piano = new PianoActivity(walkerOnBottom(400));
        EXPECT_EQ(1, pianoPlaying);
        EXPECT_EQ(row.start + 19600, piano->endTime);
        EXPECT_STREQ("piano", piano->name.text());
        EXPECT_EQ(playsBefore + 1, SceneSoundScope::playsOf(soundPiano)) << "played at construction";
        Region shape;
        EXPECT_EQ(1, stepAt(*piano, row.start + row.firstPassDelay, shape).running) << row.start;
        EXPECT_EQ(1, stepAt(*piano, row.start + 19600, shape).running) << "still shown at endTime";
        EXPECT_EQ(1, pianoPlaying);
        const Rect last = piano->rect;
        unsigned seed = 3 + row.firstPassDelay;
        srand(seed);
        if (random(100) < 15)
            random(50);
        int piano8 = drawActivityId(last, IdList(), idList({8, 7, 4}));
        if (piano8 == kWalkId)
            random(100);
        const int expected = rand();
        srand(seed);
        EXPECT_EQ(0, stepAt(*piano, row.start + 19601, shape).running) << "over in the first pass after endTime";
        EXPECT_EQ(expected, rand()) << "the picker without the piano, the flight and the stroking";
        EXPECT_EQ(1, pianoPlaying) << "until it is destroyed";
        delete piano;
        EXPECT_EQ(0, pianoPlaying);
        EXPECT_EQ(playsBefore + 1, SceneSoundScope::playsOf(soundPiano)) << "one recording per piano";
    }
    EXPECT_EQ(0, failures.count());
}

// Frames alternate every 150 ms; the piano stands wholly on the screen.
TEST(Piano, AlternatesEvery150MsInsideTheScreen) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    WindowScope window;
    const int w = screenWidth();
    const int h = screenHeight();
    frameTick = kStart; // the end time counts from here, whatever tick an earlier test left
    PianoActivity piano(walkerOnBottom(w - 75));
    ASSERT_EQ(2, piano.frameCount);
    EXPECT_EQ(Point(98, 80), piano.frameSizes[0]);
    EXPECT_EQ(Point(102, 86), piano.frameSizes[1]);
    struct Row {
        uint32_t after;
        int frame;
    } rows[] = {{0, 0}, {100, 0}, {150, 1}, {250, 1}, {300, 0}, {450, 1}, {19500, 0}};
    Region shape;
    for (const Row& row : rows) {
        Pass pass = stepAt(piano, kStart + row.after, shape);
        EXPECT_EQ(row.frame, piano.frame) << row.after << " ms";
        // Pulled in at its first pass; a narrower frame then shrinks about the centre.
        EXPECT_EQ(w - (row.frame == 0 && row.after >= 300 ? 2 : 0), pass.rect.right) << row.after << " ms";
        EXPECT_EQ(h, pass.rect.bottom) << row.after << " ms";
        EXPECT_EQ(piano.frameSizes[row.frame].x, pass.rect.width());
    }
    EXPECT_EQ(0, failures.count());
}

// The draws of a piano pass: random(100), and random(50) only for a note. The note keeps its top on the
// piano's top and its right edge 0..49 px left of the piano's; it then draws random(5) and, while on the
// screen, random(2000).
TEST(Piano, NotesAndTheirDrawsComeInOrder) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    int notes = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        WindowScope window;
        PianoActivity piano(walkerOnBottom(400));
        Region shape;
        srand(seed);
        const int chance = rand() % 100;
        const int d = chance < 15 ? rand() % 50 : -1;
        const int afterPiano = rand();
        srand(seed);
        stepAt(piano, kStart, shape);
        EXPECT_EQ(afterPiano, rand()) << "seed " << seed;
        auto* note = spawnedOf<NoteActivity>();
        ASSERT_EQ(d >= 0, note != nullptr) << "seed " << seed;
        if (!note)
            continue;
        ++notes;
        EXPECT_EQ(Rect(piano.rect.right - d - 20, piano.rect.top, piano.rect.right - d, piano.rect.top + 20),
                  note->rect) << "seed " << seed;
        EXPECT_STREQ("nutka", note->name.text());
        const Rect from = note->rect;
        srand(seed);
        const int wobble = rand() % 5 - 2;
        rand(); // the lifetime bound
        const int afterNote = rand();
        srand(seed);
        EXPECT_EQ(1, stepAt(*note, kStart + 50, shape).running);
        EXPECT_EQ(from.offsetCopy(Point(wobble, -9)), note->rect) << "seed " << seed;
        EXPECT_EQ(afterNote, rand()) << "seed " << seed;
    }
    EXPECT_GE(notes, 3);
    EXPECT_EQ(0, failures.count());
}

// A note lives 2000 to 4000 ms after its first pass, unless it reaches the top of the screen first; one that
// starts at the very top ends in its first pass, with one draw only.
TEST(Note, LivesTwoToFourSeconds) {
    LoadFailureCounter failures;
    const int h = screenHeight();
    uint32_t shortest = 100000;
    uint32_t longest = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        srand(seed);
        NoteActivity note(Rect(500, h - 20, 520, h));
        Region shape;
        uint32_t after = 0;
        while (stepAt(note, kStart + after, shape).running)
            after += 50;
        shortest = after < shortest ? after : shortest;
        longest = after > longest ? after : longest;
    }
    EXPECT_GT(shortest, 2000u);
    EXPECT_LE(longest, 4000u);
    EXPECT_LT(shortest, longest);

    NoteActivity atTop(Rect(500, 8, 520, 28));
    Region shape;
    srand(4);
    rand();
    const int second = rand();
    srand(4);
    EXPECT_EQ(0, stepAt(atTop, kStart, shape).running);
    EXPECT_EQ(second, rand()) << "no lifetime draw off the screen";
    EXPECT_EQ(0, failures.count());
}

// While a piano exists the picker never builds another. Each piano plays the recording once: when the last one
// has ended, the next piano plays the same copy again; cut short by a new piano, the copies are taken in turn.
TEST(Piano, NeverTwoAtOnceAndTheCopiesRotate) {
    PickerGlobalsScope globals;
    LoadFailureCounter failures;
    pianoPlaying = 0;
    funLevel = 5;
    for (bool recordingEnds : {true, false}) {
        SceneSoundScope sound;
        WindowScope window;
        const SoundClip* clip = static_cast<const SoundClip*>(soundPiano);
        ASSERT_NE(nullptr, clip);
        ASSERT_EQ(6, clip->copyCount);
        srand(12);
        for (int round = 0; round < 8; ++round) {
            Activity* first = pickActivity(walkerOnBottom(400), idList({kPianoId}), IdList());
            ASSERT_NE(nullptr, dynamic_cast<PianoActivity*>(first)) << "round " << round;
            EXPECT_EQ(nullptr, pickActivity(walkerOnBottom(400), idList({kPianoId}), IdList())) << "round " << round;
            for (int i = 0; i < 20; ++i) {
                Activity* other = pickActivity(walkerOnBottom(400), idList({kPianoId, kWalkId}), IdList());
                EXPECT_EQ(nullptr, dynamic_cast<PianoActivity*>(other)) << "round " << round;
                delete other;
            }
            for (int i = 0; i < clip->copyCount; ++i) {
                const int inTurn = round / 6 + (i <= round % 6 ? 1 : 0);
                const int expected = recordingEnds ? (i == 0 ? round + 1 : 0) : inTurn;
                auto* copy = static_cast<FakeBuffer*>(clip->copies[i].get());
                EXPECT_EQ(expected, copy->plays) << "copy " << i << ", round " << round << ", ends " << recordingEnds;
                if (recordingEnds)
                    copy->finish();
            }
            delete first;
            EXPECT_EQ(0, pianoPlaying);
        }
    }
    EXPECT_EQ(0, failures.count());
}
