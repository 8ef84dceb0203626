// The figure walking sideways along whatever it stands on.
#pragma once

#include <cstdint>

#include "engine/activity.h"

class WalkActivity : public Activity {
public:
    WalkActivity(Rect where, int leftward);
    ~WalkActivity() override;
    int step(Rect& outRect, Region& outShape) override;
    // Picks and spawns the successor when the walk ends by time or at a screen edge.
    virtual void finishWalk();

    int32_t speed; // px per 50-ms unit: -9 leftward, +9 rightward

private:
    int groundLost();
    int standsInGap() const;
    int timeIsUp(uint32_t elapsed) const;
    int leavesAtEdge();
};
