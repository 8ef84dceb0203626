#include "activities/snowman_reindeer.h"

#include <new>

#include "activities/falling.h"
#include "activities/motion.h"
#include "activities/walking.h"
#include "sound/sound_player.h"

namespace {

constexpr int kSnowmanFrames = 6;
constexpr uint32_t kSlideUnits = 42; // the figure leaves the snowman at 2100 ms
constexpr int kSlideSpeed = -12;     // px per 50-ms unit
constexpr int kWalkOffset = 40;      // the walk starts this far right of the last frame with the figure

constexpr int kReindeerFrames = 7;
constexpr int kWhipFrame = 2; // the crack is heard from this frame on
constexpr int kEmptySleighFrame = 5;
constexpr int kFirstMovingFrame = 4;
constexpr int kRunSpeed = -40;      // px per 50-ms unit
constexpr uint32_t kLastLap = 2000; // ms; after this the run ends at the left edge instead of coming back

} // namespace

SnowmanActivity::SnowmanActivity(Rect where) : walkStarted(0) {
    rect = where;
    loadFrames("BALWAN", kSnowmanFrames);
    name.assign("balwan");
    keepInsideX();
    keepInsideY();
}

SnowmanActivity::~SnowmanActivity() = default;

// Frames 0 to 3 show the figure with the snowman (2 and 3 alternate every 250 ms); from the slide on, the
// snowman alone alternates 5 and 4 every 300 ms.
int SnowmanActivity::frameAt(uint32_t units) const {
    if (units < 4)
        return 0;
    if (units < 8)
        return 1;
    if (units < 18)
        return 2;
    if (units < kSlideUnits)
        return 2 + static_cast<int>(((units - 18) / 5) % 2);
    return 4 + static_cast<int>((units / 6) % 2);
}

// Only once, from the rectangle of the last frame with the figure: the walk carries the figure on.
void SnowmanActivity::startWalk() {
    if (walkStarted)
        return;
    spawn(new (std::nothrow) WalkActivity(rect.offsetCopy(Point(kWalkOffset, 0)), 0));
    walkStarted = 1;
}

int SnowmanActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t units = elapsedUnits();
    counter = static_cast<int>(units);
    frame = frameAt(units);
    int dx = 0;
    Anchor anchor = AnchorCenter;
    if (units >= kSlideUnits) {
        dx = boundedShift(rect.left, moveUnits(), kSlideSpeed);
        anchor = AnchorStart; // the snowman alone keeps its left edge
        startWalk();
    }
    lastMoveTime = frameTick;
    fitToFrame(anchor, AnchorEnd);
    rect.offset(dx, 0);
    keepInsideY();
    if (rect.right < 0)
        return 0; // no successor: the figure lives on in its walk
    return output(outRect, outShape);
}

ReindeerActivity::ReindeerActivity(Rect where) : soundPlayed(0), riderSpawned(0) {
    loadFrames("RENIFER", kReindeerFrames);
    name.assign("renifer");
    rect = where;
    // Resized before it is pulled inside, so the sleigh starts wholly on the screen.
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
}

ReindeerActivity::~ReindeerActivity() = default;

// A pass that jumps over both moments still does both, the sound first. The fallen figure gets the rectangle
// the sleigh was last shown in.
void ReindeerActivity::crackAndThrow() {
    if (frame >= kWhipFrame && !soundPlayed) {
        playSound(soundBat, 0, 100);
        soundPlayed = 1;
    }
    if (frame >= kEmptySleighFrame && !riderSpawned) {
        spawn(new (std::nothrow) ReindeerFellActivity(rect));
        riderSpawned = 1;
    }
}

int ReindeerActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t units = elapsedUnits();
    counter = static_cast<int>(units);
    // 200 ms per frame up to frame 5, then the running pair alternates every 50 ms.
    uint32_t shown = units / 4;
    frame = shown > 5 ? 5 + static_cast<int>(units % 2) : static_cast<int>(shown);
    crackAndThrow();
    int dx = frame >= kFirstMovingFrame ? boundedShift(rect.left, moveUnits(), kRunSpeed) : 0;
    lastMoveTime = frameTick;
    fitToFrame(AnchorCenter, AnchorEnd);
    rect.offset(dx, 0);
    // Nothing keeps the sleigh inside: before the last lap the window brings it back in on the right.
    if (dx != 0 && rect.right < 0 && frameTick - startTime > kLastLap)
        return 0;
    return output(outRect, outShape);
}
