#include "activities/dog.h"

#include <new>

#include "activities/motion.h"
#include "activities/scene_table.h"
#include "engine/picker.h"
#include "sound/sound_player.h"

namespace {

constexpr int kDogFrames = 8;
constexpr int kCryingUnits = 28; // the figure is left crying at 1400 ms
constexpr int kRunFrame = 6;     // frames 6 and 7: the dog alone, running with the sack
constexpr int kRunSpeed = -15;   // px per 50-ms unit
constexpr uint32_t kNoEndBefore = 1000;
constexpr uint32_t kCryingTime = 2500;

} // namespace

// Lower case on purpose: resource names compare without regard to case, so "pies1" finds "PIES1".
DogActivity::DogActivity(Rect where) : cryingStarted(0) {
    rect = where;
    loadFrames("pies", kDogFrames);
    name.assign("pies zabiera");
    keepInsideX();
    keepInsideY();
    playSound(soundWarc, 0, 100);
}

DogActivity::~DogActivity() = default;

// Once only, with the rectangle of the frame last shown.
void DogActivity::leaveFigureCrying() {
    if (counter < kCryingUnits || cryingStarted)
        return;
    spawn(new (std::nothrow) CryingActivity(rect));
    cryingStarted = 1;
}

int DogActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t elapsed = frameTick - startTime;
    counter = static_cast<int>(elapsed / 50);
    // 200 ms per frame; frames 3 and 4 show twice (the tug), so every frame from the sixth on is two back.
    frame = counter / 4;
    if (frame > 4)
        frame -= 2;
    leaveFigureCrying();
    if (frame > kRunFrame) {
        frame = kRunFrame + (counter / 2) % 2;
        rect.offset(boundedShift(rect.left, moveUnits(), kRunSpeed), 0);
        // Never wrapped: the dog is gone the moment it is wholly off the left edge.
        if (elapsed > kNoEndBefore && rect.right < 0)
            return 0;
    }
    lastMoveTime = frameTick;
    fitToFrame(AnchorStart, AnchorEnd);
    return output(outRect, outShape);
}

CryingActivity::CryingActivity(Rect where) {
    name.assign("placze");
    rect = where;
    loadFrames("PLACZE", 2);
}

CryingActivity::~CryingActivity() = default;

int CryingActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t elapsed = frameTick - startTime;
    counter = static_cast<int>(elapsed / 50);
    frame = (counter / 4) % 2;
    fitToFrame(AnchorStart, AnchorEnd);
    if (elapsed > kCryingTime) {
        spawn(pickActivity(rect, IdList(), IdList(kDogId)));
        return 0;
    }
    return output(outRect, outShape);
}
