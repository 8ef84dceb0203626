#include "activities/absence.h"

#include "activities/hand_over.h"
#include "engine/picker.h"

namespace {

constexpr uint32_t kLongestPause = 25000; // ms, less 5000 for each fun level
constexpr uint32_t kPausePerFun = 5000;

} // namespace

// The pause is measured from here, not from the first pass. Unsigned arithmetic: a hand-edited fun level only
// makes the end wrap around, as the tick itself does.
AbsenceActivity::AbsenceActivity()
    : endTime(frameTick - static_cast<uint32_t>(funLevel) * kPausePerFun + kLongestPause) {
    rect = Rect(0, 0, 0, 0);
    const int cx = screenWidth();
    const int x = random(100) > 50 ? cx : 0;
    const int cy = screenHeight();
    const int y = random(cy);
    rect.offset(x, y);
}

AbsenceActivity::~AbsenceActivity() = default;

uint32_t AbsenceActivity::quietUntil() const {
    return endTime < frameTick ? frameTick : endTime;
}

int AbsenceActivity::step(Rect& outRect, Region& outShape) {
    if (endTime < frameTick)
        return handOver(rect, {}, {kAbsenceId});
    // No frames: the shape is created empty and given nothing, so nothing of the figure shows.
    outRect = rect;
    outShape.ensureHandle();
    return 1;
}
