// The endings of a mishap: the figure dropping onto what lies below, and lying in the snow after the reindeer.
#pragma once

#include "engine/activity.h"

// frame is the state: 0 about to fall, 1 falling, 2 landed.
class FallActivity : public Activity {
public:
    explicit FallActivity(Rect where);
    ~FallActivity() override;
    int step(Rect& outRect, Region& outShape) override;

private:
    void fallAndLand();
    void finish();
};

class ReindeerFellActivity : public Activity {
public:
    explicit ReindeerFellActivity(Rect where);
    ~ReindeerFellActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
