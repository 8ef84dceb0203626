#include "activities/greeting_sack.h"

#include "activities/hand_over.h"
#include "engine/picker.h"

namespace {

constexpr int kGreetingPasses = 56;
constexpr int kGreetingPassesPerPose = 3;
constexpr uint32_t kSackPoseTime = 200;
constexpr int kSackLastPose = 20; // the sack hands over from 4200 ms on

} // namespace

GreetingActivity::GreetingActivity(Rect where) {
    rect = where;
    loadFrames("WITA", 2);
    name.assign("wita");
}

GreetingActivity::~GreetingActivity() = default;

int GreetingActivity::step(Rect& outRect, Region& outShape) {
    const int pass = ++counter;
    frame = (pass / kGreetingPassesPerPose) % 2;
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
    if (pass > kGreetingPasses)
        return handOver(rect, {}, {kGreetingId});
    return output(outRect, outShape);
}

SackActivity::SackActivity(Rect where) {
    rect = where;
    loadFrames("WOREK", 2);
    name.assign("worek");
}

SackActivity::~SackActivity() = default;

int SackActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    counter = static_cast<int>((frameTick - startTime) / kSackPoseTime);
    frame = counter % 2;
    // Before the resize: the successor gets the rectangle of the last pose shown.
    if (counter > kSackLastPose)
        return handOver(rect, {}, {kSackId, kSnowmanId});
    // Centred both ways on the predecessor's rectangle, not stood on its bottom edge.
    fitToFrame(AnchorCenter, AnchorCenter);
    keepInsideX();
    keepInsideY();
    return output(outRect, outShape);
}
