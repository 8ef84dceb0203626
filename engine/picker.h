// The random choice of what the figure does next.
#pragma once

#include <cstdint>

#include "engine/activity.h"
#include "engine/geometry.h"

// The numbers the picker draws; 0, 6 and 20..34 are drawn but never chosen.
enum ActivityId : int32_t {
    kWalkId = 1,
    kExplosionId = 2,
    kChristmasTreeId = 3,
    kStrokingId = 4,
    kHelloId = 5,
    kFlyId = 7,
    kPianoId = 8,
    kSnowmanId = 9,
    kPresentId = 10,
    kBalloonId = 11,
    kSackId = 12,
    kSnowballThrowId = 13,
    kBikeId = 14,
    kSleighId = 15,
    kGreetingId = 16,
    kReindeerId = 17,
    kDogId = 18,
    kAbsenceId = 19,
};

// Ids 0..kIdLimit-1 may stand in an allowed or excluded list.
constexpr int kIdLimit = 255;

// The "set fun level" trackbar: 1..5, default 5. Only a hand-edited registry value brings anything else.
extern int32_t funLevel;
// The settings dialog's OK and the stored setting set it.
void setFunLevel(int32_t level);
// Nonzero while a PianoActivity exists.
extern int32_t pianoPlaying;

// 0 when n is 0; rand() % n otherwise (for n < 0 a value from n+1 to 0, as C++ remainders go).
int random(int n);

// 1 when at least 300 px lie between r's right edge and the screen's right edge.
int keepsRoomRight(Rect r);
// 1 when r touches or crosses a band near the screen's edges.
int nearScreenEdge(Rect r);

// Draws ids until one passes the sets (an empty list is no constraint) and its acceptance test: the accepted id, or 0
// when no id could ever be accepted. pickActivity (with the scenes) constructs what it gives.
int drawActivityId(const Rect& where, const IdList& allowed, const IdList& excluded);
