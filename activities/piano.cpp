#include "activities/piano.h"

#include <new>

#include "activities/scene_table.h"
#include "engine/picker.h"
#include "sound/sound_player.h"

namespace {

constexpr uint32_t kRecordingTime = 19600; // the "piano" recording lasts about 19.5 s
constexpr uint32_t kPianoFrameTime = 150;
constexpr int kNoteChance = 15;      // in 100, every pass
constexpr int kNoteSpread = 50;      // a note starts 0..49 px left of the piano's right edge
constexpr int kNoteRise = 9;         // px per pass
constexpr uint32_t kNoteLife = 2000; // ms; plus up to as much again, drawn anew every pass

} // namespace

PianoActivity::PianoActivity(Rect where) : endTime(0) {
    rect = where;
    loadFrames("PIANO", 2);
    name.assign("piano");
    endTime = frameTick + kRecordingTime;
    playSound(soundPiano, 0, 100);
    pianoPlaying = 1;
}

PianoActivity::~PianoActivity() {
    pianoPlaying = 0;
}

// The offset is drawn before the note is allocated: a missing note must not change the later draws.
void PianoActivity::maybeReleaseNote() {
    if (random(100) >= kNoteChance)
        return;
    int d = random(kNoteSpread);
    spawn(new (std::nothrow) NoteActivity(rect.offsetCopy(Point(-d, 0))));
}

void PianoActivity::handOver() {
    IdList excluded(kPianoId);
    excluded.append(kFlyId);
    excluded.append(kStrokingId);
    spawn(pickActivity(rect, IdList(), excluded));
}

int PianoActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    counter = static_cast<int>((frameTick - startTime) / kPianoFrameTime);
    frame = counter % 2;
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
    maybeReleaseNote();
    // The signed distance past the end, as the main loop reads its deadline: an end time beyond the wrap of the
    // counter lies ahead, not behind.
    if (static_cast<int32_t>(frameTick - endTime) > 0) {
        handOver(); // a note released in this pass stays
        return 0;
    }
    return output(outRect, outShape);
}

// The note keeps the right and top edges of where it is released.
NoteActivity::NoteActivity(Rect where) {
    loadFrames("NUTKA", 1);
    frame = 0;
    rect = where;
    fitToFrame(AnchorEnd, AnchorStart);
    name.assign("nutka");
}

NoteActivity::~NoteActivity() = default;

// The sideways draw comes first, the lifetime draw only while the note is still on the screen.
int NoteActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    rect.offset(random(5) - 2, -kNoteRise);
    if (rect.top < 0)
        return 0;
    if (frameTick - startTime > static_cast<uint32_t>(random(kNoteLife)) + kNoteLife)
        return 0;
    frame = 0;
    return output(outRect, outShape);
}
