#include "activities/travelling.h"

#include "activities/hand_over.h"
#include "activities/motion.h"
#include "activities/scene_table.h"
#include "engine/picker.h"

// How a scene counts the 50-ms units it moves by.
enum class TravelClock {
    SinceLastMove, // whole units since lastMoveTime; the rest is dropped at every pass
    SceneUnits,    // units of the scene's own clock since the previous pass (kept in counter)
};

struct TravelStyle {
    const char* frames;
    int frameCount;
    const char* name;
    uint32_t counterUnit; // ms per step of counter
    uint32_t frameUnit;   // ms per step of the frame cycle
    int cycle[4];         // frame shown for each step of the cycle
    int cycleLength;
    Anchor widthAnchor;
    Anchor heightAnchor;
    TravelClock clock;
    int speed; // px per 50-ms unit, positive to the right
    int rise;  // up to rise - 1 px up in every pass
    int keptInsideY;
    int wrapsToRight;  // coming back at the right edge once the centre leaves the left one
    uint32_t duration; // the scene ends in the first pass after this many ms
    int endsPastRight; // ...and only once its left edge is beyond the screen
    int excluded[3];
    int excludedCount;
};

namespace {

const TravelStyle kPresent = {"PREZENT",
                              3,
                              "prezent",
                              210,
                              210,
                              {0, 1, 0, 2},
                              4,
                              AnchorCenter,
                              AnchorEnd,
                              TravelClock::SinceLastMove,
                              9,
                              0,
                              1,
                              0,
                              5000,
                              0,
                              {kWalkId, kPresentId},
                              2};
const TravelStyle kBike = {"ROWER",
                           2,
                           "rower",
                           50,
                           100,
                           {0, 1},
                           2,
                           AnchorCenter,
                           AnchorEnd,
                           TravelClock::SceneUnits,
                           -15,
                           0,
                           1,
                           1,
                           7000,
                           0,
                           {kBalloonId, kStrokingId, kPianoId},
                           3};
const TravelStyle kSleigh = {
    "SANIE", 2, "sanie", 50,   150, {0, 1},      2, AnchorStart, AnchorEnd, TravelClock::SinceLastMove, 20,
    10,      0, 0,       5000, 1,   {kSleighId}, 1};

constexpr int kWrapInset = 5; // the bike comes back with its left edge this far inside the right edge

} // namespace

TravelActivity::TravelActivity(Rect where, const TravelStyle& style) {
    rect = where;
    loadFrames(style.frames, style.frameCount);
    name.assign(style.name);
}

int TravelActivity::frameFor(const TravelStyle& style, uint32_t elapsed) const {
    return style.cycle[(elapsed / style.frameUnit) % style.cycleLength];
}

// The units to move by this pass. The scene clock counts from the start, so a bike drops no remainder; its
// stored count is 0 until a whole unit has passed, and while it is there is nothing to move by.
void TravelActivity::move(const TravelStyle& style, uint32_t units) {
    if (style.clock == TravelClock::SceneUnits) {
        uint32_t previous = static_cast<uint32_t>(counter);
        uint32_t now = (frameTick - startTime) / 50;
        counter = static_cast<int>(now);
        if (previous == 0)
            previous = now;
        units = now - previous;
    }
    int dy = style.rise > 0 ? -random(style.rise) : 0;
    rect.offset(boundedShift(rect.left, units, style.speed), dy);
    if (style.clock == TravelClock::SinceLastMove)
        lastMoveTime = frameTick;
    if (style.wrapsToRight && rect.centerX() < 0)
        wrapToRightEdge();
    if (style.keptInsideY)
        keepInsideY();
}

void TravelActivity::wrapToRightEdge() {
    const int cx = screenWidth();
    const int cy = screenHeight();
    const int height = random(cy);
    rect.offset(cx - rect.left - kWrapInset, height - rect.centerY());
}

int TravelActivity::isOver(const TravelStyle& style, uint32_t elapsed) const {
    if (elapsed <= style.duration)
        return 0;
    // Before its time a sleigh beyond the right edge is brought back in from the left by the window.
    return !style.endsPastRight || rect.left > screenWidth();
}

int TravelActivity::travel(const TravelStyle& style, Rect& outRect, Region& outShape) {
    startClock();
    const uint32_t elapsed = frameTick - startTime;
    if (style.clock == TravelClock::SinceLastMove)
        counter = static_cast<int>(elapsed / style.counterUnit);
    frame = frameFor(style, elapsed);
    fitToFrame(style.widthAnchor, style.heightAnchor);
    move(style, moveUnits());
    if (isOver(style, elapsed)) {
        IdList excluded;
        for (int i = 0; i < style.excludedCount; ++i)
            excluded.append(style.excluded[i]);
        spawn(pickActivity(rect, IdList(), excluded));
        return 0;
    }
    return output(outRect, outShape);
}

PresentActivity::PresentActivity(Rect where) : TravelActivity(where, kPresent) {}
PresentActivity::~PresentActivity() = default;
int PresentActivity::step(Rect& outRect, Region& outShape) {
    return travel(kPresent, outRect, outShape);
}

BikeActivity::BikeActivity(Rect where) : TravelActivity(where, kBike) {}
BikeActivity::~BikeActivity() = default;
int BikeActivity::step(Rect& outRect, Region& outShape) {
    return travel(kBike, outRect, outShape);
}

SleighActivity::SleighActivity(Rect where) : TravelActivity(where, kSleigh) {}
SleighActivity::~SleighActivity() = default;
int SleighActivity::step(Rect& outRect, Region& outShape) {
    return travel(kSleigh, outRect, outShape);
}
