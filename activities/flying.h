// The angel lifts the figure to the top of the screen and lets it drop.
#pragma once

#include <cstdint>

#include "engine/activity.h"

class FlyActivity : public Activity {
public:
    explicit FlyActivity(Rect where);
    ~FlyActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    // 0 while rising; 1 in the first pass that ends near the top, then one more per pass.
    int32_t atEdgeCounter;

private:
    int frameAt(uint32_t units) const;
};
