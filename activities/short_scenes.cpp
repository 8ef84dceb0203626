#include "activities/short_scenes.h"

#include "activities/hand_over.h"
#include "activities/motion.h"
#include "engine/picker.h"
#include "sound/sound_player.h"

namespace {

constexpr int kBalloonRise = 7;       // px up per 50-ms unit
constexpr int kBalloonSpawnOut = 100; // the next scene starts this far beyond a side edge
constexpr int kExplosionBoomFrame = 2;
constexpr int kExplosionLastFrame = 3;
constexpr uint32_t kTreeFrameTime = 150;
constexpr int kTreeSpeed = -7;    // px per 50-ms unit, leftward
constexpr int kTreeLastUnit = 80; // the tree hands over from unit 81 on (12 150 ms)
constexpr int kPassesPerPose = 8;
constexpr int kStrokingPasses = 70;
constexpr int kHelloPasses = 30;

// Two poses alternating every eight passes, the first one shown in passes 1 to 7.
int poseOfPass(int pass) {
    return (pass / kPassesPerPose) % 2;
}

} // namespace

BalloonActivity::BalloonActivity(Rect where) {
    rect = where;
    loadFrames("BALON", 1);
    name.assign("balon");
    fitToFrame(AnchorCenter, AnchorEnd);
}

BalloonActivity::~BalloonActivity() = default;

int BalloonActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    int dy = boundedShift(rect.top, moveUnits(), -kBalloonRise);
    int dx = random(5) - 2;
    rect.offset(dx, dy);
    lastMoveTime = frameTick;
    if (rect.bottom < 0)
        return comeBackFromASide();
    keepInsideX(); // above the top is fine, beyond the sides is not
    frame = 0;
    return output(outRect, outShape);
}

// The next scene enters from the side farther from where the balloon went up; a balloon exactly at the middle
// sends it in from the left.
int BalloonActivity::comeBackFromASide() {
    Rect next = Rect().offsetCopy(Point(-kBalloonSpawnOut, random(screenHeight())));
    const int width = screenWidth();
    if (rect.centerX() < width / 2)
        next.offset(width + 2 * kBalloonSpawnOut, 0);
    return handOver(next, {kWalkId, kChristmasTreeId, kPresentId, kAbsenceId}, {});
}

ExplosionActivity::ExplosionActivity(Rect where) {
    rect = where;
    loadFrames("BOOM", 4);
    name.assign("BOOM");
}

ExplosionActivity::~ExplosionActivity() = default;

// Five units per picture, the last one for fifteen; frame 4 (from 1500 ms on) means the scene is over.
int ExplosionActivity::frameAt(uint32_t units) {
    uint32_t f = units / 5;
    if (f == 3 || f == 4)
        return kExplosionLastFrame;
    if (f >= 5)
        return static_cast<int>(f - 2);
    return static_cast<int>(f);
}

int ExplosionActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    uint32_t units = elapsedUnits();
    counter = static_cast<int>(units);
    const int previous = frame;
    frame = frameAt(units);
    // Only a pass that shows the burst itself sounds it: a late pass that skips the frame stays silent.
    if (frame == kExplosionBoomFrame && previous != kExplosionBoomFrame)
        playSound(soundWyb, 0, 100);
    if (frame > kExplosionLastFrame)
        return handOver(rect, {}, {kExplosionId, kStrokingId, kSnowmanId});
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
    return output(outRect, outShape);
}

ChristmasTreeActivity::ChristmasTreeActivity(Rect where) {
    rect = where;
    loadFrames("CHOINKA", 4);
    name.assign("choinka");
}

ChristmasTreeActivity::~ChristmasTreeActivity() = default;

int ChristmasTreeActivity::step(Rect& outRect, Region& outShape) {
    startClock();
    counter = static_cast<int>((frameTick - startTime) / kTreeFrameTime);
    frame = counter % 4;
    fitToFrame(AnchorCenter, AnchorEnd);
    rect.offset(boundedShift(rect.left, moveUnits(), kTreeSpeed), 0);
    lastMoveTime = frameTick;
    // No side clamp: the window carries the tree from the left edge over to the right one.
    keepInsideY();
    if (counter > kTreeLastUnit)
        return handOver(rect, {}, {kChristmasTreeId, kWalkId});
    return output(outRect, outShape);
}

StrokingActivity::StrokingActivity(Rect where) {
    rect = where;
    loadFrames("GLASZCZE", 2);
    name.assign("G\xA3"
                "ASZCZE"); // the letter after G is an L with stroke in code page 1250
}

StrokingActivity::~StrokingActivity() = default;

int StrokingActivity::step(Rect& outRect, Region& outShape) {
    const int pass = ++counter;
    frame = poseOfPass(pass);
    if (pass > kStrokingPasses)
        return handOver(rect, {}, {kStrokingId, kExplosionId});
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
    return output(outRect, outShape);
}

HelloActivity::HelloActivity(Rect where) {
    rect = where;
    loadFrames("HELLO", 2);
    name.assign("HELLO");
    playSound(soundHello, 0, 100);
}

HelloActivity::~HelloActivity() = default;

int HelloActivity::step(Rect& outRect, Region& outShape) {
    const int pass = ++counter;
    frame = poseOfPass(pass);
    fitToFrame(AnchorCenter, AnchorEnd);
    keepInsideX();
    keepInsideY();
    // The successor gets the rectangle as resized in this last pass.
    if (pass > kHelloPasses)
        return handOver(rect, {}, {kHelloId, kExplosionId});
    return output(outRect, outShape);
}
