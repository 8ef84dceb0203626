// The figure at an upright piano for as long as the recording lasts, with notes rising above it.
#pragma once

#include <cstdint>

#include "engine/activity.h"

// pianoPlaying (engine/picker.h) is 1 from construction to destruction, so two pianos never play at once.
class PianoActivity : public Activity {
public:
    explicit PianoActivity(Rect where);
    ~PianoActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    uint32_t endTime; // frameTick after which the scene ends; counted from the construction, with the sound

private:
    void maybeReleaseNote();
    void handOver();
};

// A little note drifting up with a wobble; gone at the top of the screen or after 2 to 4 s.
class NoteActivity : public Activity {
public:
    explicit NoteActivity(Rect where);
    ~NoteActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
