#include "activities/falling.h"

#include "activities/motion.h"
#include "activities/scene_table.h"
#include "activities/surface.h"
#include "engine/picker.h"
#include "sound/sound_player.h"

namespace {

constexpr int kAboutToFall = 0;
constexpr int kFalling = 1;
constexpr int kLanded = 2;
constexpr int kFallSpeed = 20;        // px down per 50-ms unit
constexpr uint32_t kPoseUnits = 2;    // the startled pose shows for 100 ms
constexpr int kLandedUnits = 20;      // the figure lies for more than this many units
constexpr uint32_t kLyingTime = 3000; // ms in the snow after the reindeer

} // namespace

FallActivity::FallActivity(Rect where) {
    rect = where;
    loadFrames("SPADA", 3);
    name.assign("spada");
    frame = kAboutToFall;
    playSound(soundOho, 0, 100);
}

FallActivity::~FallActivity() = default;

void FallActivity::fallAndLand() {
    frame = kFalling;
    if (static_cast<uint32_t>(counter) < kPoseUnits) {
        frame = kAboutToFall;
        return;
    }
    rect.offset(0, boundedShift(rect.bottom, moveUnits(), kFallSpeed));
    lastMoveTime = frameTick;
    // Probed with the moved rectangle, still of the previous pass's frame size.
    int surface = surfaceBelow(rect.centerX(), rect.bottom + 5, rect.height());
    if (surface == 0)
        return;
    rect.offset(0, surface - rect.bottom);
    frame = kLanded;
    startTime = frameTick; // the landed phase is timed from here
    playSound(soundLup, 0, 100);
}

void FallActivity::finish() {
    IdList excluded(6);
    excluded.append(kSnowmanId);
    spawn(pickActivity(rect, IdList(), excluded));
}

int FallActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    counter = static_cast<int>(elapsedUnits());
    if (frame == kLanded) {
        if (counter > kLandedUnits) {
            finish();
            return 0;
        }
    } else {
        fallAndLand();
    }
    fitToFrame(AnchorCenter, AnchorEnd);
    return output(outRect, outShape);
}

ReindeerFellActivity::ReindeerFellActivity(Rect where) {
    loadFrames("RENSP", 1);
    name.assign("spadl");
    rect = where;
    // The picture keeps the right and bottom edges of the reindeer's last rectangle.
    fitToFrame(AnchorEnd, AnchorEnd);
}

ReindeerFellActivity::~ReindeerFellActivity() = default;

int ReindeerFellActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    frame = 0;
    if (frameTick - startTime > kLyingTime) {
        spawn(pickActivity(rect, IdList(), IdList(kReindeerId)));
        return 0;
    }
    return output(outRect, outShape);
}
