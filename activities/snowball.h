// The figure throws a snowball to the right; the ball flies on by itself and splats on the right screen edge.
#pragma once

#include "engine/activity.h"

// Counts passes: wind-up, throw (the ball leaves in the sixth pass), then a walk away to the left.
class SnowballThrowActivity : public Activity {
public:
    explicit SnowballThrowActivity(Rect where);
    ~SnowballThrowActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// Moves per pass, not per elapsed time. startTime is the tick of the hit once `hit` is set (the tick may be 0).
class SnowballActivity : public Activity {
public:
    explicit SnowballActivity(Rect where);
    ~SnowballActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    Point velocity; // px per pass

private:
    bool hit;

    void hitRightEdgeIfReached();
    void fly();
    int splat();
};
