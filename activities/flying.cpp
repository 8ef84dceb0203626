#include "activities/flying.h"

#include <new>

#include "activities/falling.h"
#include "activities/motion.h"
#include "engine/picker.h"

namespace {

constexpr int kFlyFrames = 6;
constexpr int kReleasedFrame = 5;
constexpr int kClimbSpeed = 6; // px up per 50-ms unit
constexpr int kNearTop = 10;
constexpr int kTopPosePasses = 4;

} // namespace

FlyActivity::FlyActivity(Rect where) : atEdgeCounter(0) {
    rect = where;
    loadFrames("LECI", kFlyFrames);
    name.assign("leci");
}

FlyActivity::~FlyActivity() = default;

// Take-off in three poses of 200 ms each, then two climbing poses alternating every 200 ms.
int FlyActivity::frameAt(uint32_t units) const {
    if (units < 4)
        return 0;
    if (units < 8)
        return 1;
    if (units < 12)
        return 2;
    return 3 + static_cast<int>((units / 4) % 2);
}

int FlyActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t units = elapsedUnits();
    counter = static_cast<int>(units);
    frame = atEdgeCounter != 0 ? kReleasedFrame : frameAt(units);

    // The fall starts from the rectangle last shown, before any resize of this pass.
    if (atEdgeCounter > kTopPosePasses) {
        spawn(new (std::nothrow) FallActivity(rect));
        return 0;
    }
    fitToFrame(AnchorCenter, AnchorStart);
    if (frame == 3 || frame == 4) {
        // The wobble is -7..+5, so a long climb drifts slowly to the left.
        int dx = random(13) - 7;
        rect.offset(dx, boundedShift(rect.top, moveUnits(), -kClimbSpeed));
    }
    lastMoveTime = frameTick;
    if (atEdgeCounter == 0) {
        if (rect.top < kNearTop)
            atEdgeCounter = 1;
    } else {
        ++atEdgeCounter;
    }
    return output(outRect, outShape);
}
