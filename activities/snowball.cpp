#include "activities/snowball.h"

#include <new>

#include "activities/walking.h"

namespace {

constexpr int kPassesPerFrame = 5;
constexpr int kReleasePass = 6;
constexpr int kThrowFrame = 1;
constexpr int kLastThrowFrame = 2; // shown as the throw; the next one is the hand-off

constexpr int kFlightFrame = 0;
constexpr int kSplatFrame = 1;
constexpr int kGravity = 4; // px per pass added to the downward step
constexpr uint32_t kSplatTime = 9000;

} // namespace

SnowballThrowActivity::SnowballThrowActivity(Rect where) {
    rect = where;
    loadFrames("GALKA", 2);
    name.assign("rzuca");
}

SnowballThrowActivity::~SnowballThrowActivity() = default;

int SnowballThrowActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    int pass = ++counter;
    frame = pass / kPassesPerFrame;
    // The ball starts from the rectangle last shown, before this pass resizes it.
    if (pass == kReleasePass)
        spawn(new (std::nothrow) SnowballActivity(rect));
    if (frame > kLastThrowFrame) {
        spawn(new (std::nothrow) WalkActivity(rect, 1)); // always away from the throw, never the picker's choice
        return 0;
    }
    if (frame == kLastThrowFrame)
        frame = kThrowFrame;
    fitToFrame(AnchorStart, AnchorEnd);
    return output(outRect, outShape);
}

// The ball starts at the thrower's top right corner.
SnowballActivity::SnowballActivity(Rect where) : velocity(40, -40), hit(false) {
    rect = where;
    loadFrames("KULKA", 2);
    frame = kFlightFrame;
    fitToFrame(AnchorEnd, AnchorStart);
    name.assign("kulkA");
    startTime = 0;
}

SnowballActivity::~SnowballActivity() = default;

// When the next step would carry the centre past the screen's width, the centre is put on its last column.
void SnowballActivity::hitRightEdgeIfReached() {
    if (hit)
        return;
    const int width = screenWidth();
    if (rect.centerX() + velocity.x <= width)
        return;
    hit = true;
    startTime = frameTick;
    rect.offset(width - rect.centerX() - 1, 0);
}

// Up 36 px in the first pass, 4 px less each pass, then down ever faster; nothing holds it on the screen.
void SnowballActivity::fly() {
    velocity.y += kGravity;
    rect.offsetBy(velocity);
}

// The splat is centred on the point of impact, half of it beyond the edge. 0 once its time is over.
int SnowballActivity::splat() {
    frame = kSplatFrame;
    fitToFrame(AnchorCenter, AnchorCenter);
    return frameTick - startTime > kSplatTime ? 0 : 1;
}

int SnowballActivity::step(Rect& outRect, Region& outShape) {
    frame = kFlightFrame;
    hitRightEdgeIfReached();
    if (!hit)
        fly();
    else if (!splat())
        return 0; // the prop ends here, without a successor
    return output(outRect, outShape);
}
