// Two scenes in place: the handshake with a second figure and the shaken-out sack.
#pragma once

#include "engine/activity.h"

// Two figures shake hands; the scene lasts 56 passes of the main loop, whatever time they take.
class GreetingActivity : public Activity {
public:
    explicit GreetingActivity(Rect where);
    ~GreetingActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// The figure shakes its sack upside down for a little over four seconds, centred on where it stood.
class SackActivity : public Activity {
public:
    explicit SackActivity(Rect where);
    ~SackActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
