// A dog runs up, takes the figure's sack and drags it off to the left; the figure stays behind and cries.
#pragma once

#include <cstdint>

#include "engine/activity.h"

// Ends off the left edge without a successor; the crying figure it leaves behind carries the chain on.
class DogActivity : public Activity {
public:
    explicit DogActivity(Rect where);
    ~DogActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    int32_t cryingStarted; // 1 once the crying figure has been spawned (or its allocation failed)

private:
    void leaveFigureCrying();
};

// 2500 ms of tears from its own first pass, then the picker (never the dog again).
class CryingActivity : public Activity {
public:
    explicit CryingActivity(Rect where);
    ~CryingActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
