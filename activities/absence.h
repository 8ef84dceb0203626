// The figure away from the screen for a while: nothing shows until it comes back at a side edge.
#pragma once

#include <cstdint>

#include "engine/activity.h"

class AbsenceActivity : public Activity {
public:
    // Does not look at where the figure was: it waits on an empty rectangle at the left or the right edge.
    AbsenceActivity();
    ~AbsenceActivity() override;
    int step(Rect& outRect, Region& outShape) override;
    // endTime: every step up to it waits, showing nothing.
    uint32_t quietUntil() const override;

    uint32_t endTime; // frameTick after which the pause ends
};
