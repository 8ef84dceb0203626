#include "activities/walking.h"

#include <new>

#include "activities/falling.h"
#include "activities/motion.h"
#include "activities/scene_table.h"
#include "activities/surface.h"
#include "engine/desk_layout.h"
#include "engine/picker.h"

namespace {

constexpr int kWalkSpeed = 9;
constexpr int kWalkFrames = 4;
constexpr uint32_t kWalkFrameTime = 200;

} // namespace

WalkActivity::WalkActivity(Rect where, int leftward) : speed(leftward ? -kWalkSpeed : kWalkSpeed) {
    rect = where;
    loadFrames(leftward ? "IDZIE" : "IDZIE_P_", kWalkFrames);
    name.assign("IDZIE");
}

WalkActivity::~WalkActivity() = default;

// Ground check: 3 chances in 100 per pass, so a figure left in the air walks on for a while before it falls.
int WalkActivity::groundLost() {
    if (random(100) >= 3)
        return 0;
    return surfaceBelow(rect.centerX(), rect.bottom + 5, rect.height()) == 0 ? 1 : 0;
}

int WalkActivity::standsInGap() const {
    return inGap(sceneDesk(), Point(rect.centerX(), rect.bottom - 1)) ? 1 : 0;
}

// The limit is (7 - funLevel) * 2000 ms, in 64 bits: a hand-edited fun level must not overflow it.
int WalkActivity::timeIsUp(uint32_t elapsed) const {
    int64_t limit = (7 - static_cast<int64_t>(funLevel)) * 2000;
    return static_cast<int32_t>(elapsed) > limit ? 1 : 0;
}

// Wholly beyond a side edge the walk ends with a chance that grows with the fun level (always at 5);
// otherwise the window brings the figure back in on the other side.
int WalkActivity::leavesAtEdge() {
    if (rect.right >= 0 && rect.left <= screenWidth())
        return 0;
    int64_t threshold = 16 * static_cast<int64_t>(funLevel) + 20;
    return random(100) < threshold ? 1 : 0;
}

int WalkActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t elapsed = frameTick - startTime;
    counter = static_cast<int>(elapsed / kWalkFrameTime);
    frame = counter % kWalkFrames;
    fitToFrame(AnchorCenter, AnchorEnd);
    const Rect before = rect;
    rect.offset(boundedShift(rect.left, moveUnits(), speed), 0);
    keepInsideY();

    // The side of a neighbouring monitor whose floor is higher: the figure turns round where it stands.
    if (meetsWall(sceneDesk(), before, rect)) {
        spawn(new (std::nothrow) WalkActivity(before, speed > 0));
        return 0;
    }
    // The order of the endings matters: a figure whose ground is gone falls even when its time is up. One that
    // stands where no monitor is falls at once, onto the nearest floor.
    if (groundLost() || standsInGap()) {
        spawn(new (std::nothrow) FallActivity(rect));
        return 0;
    }
    if (timeIsUp(elapsed) || leavesAtEdge()) {
        finishWalk();
        return 0;
    }
    output(outRect, outShape);
    lastMoveTime = frameTick;
    return 1;
}

void WalkActivity::finishWalk() {
    IdList excluded(kWalkId);
    if (speed < 0)
        excluded.append(kChristmasTreeId);
    spawn(pickActivity(rect, IdList(), excluded));
}
