// Short scenes with props: the balloon ride, the bursting present, the Christmas tree, the beard and the cap.
#pragma once

#include "engine/activity.h"

// The figure floats up on a balloon and out at the top; the next scene comes in from beyond a side edge.
class BalloonActivity : public Activity {
public:
    explicit BalloonActivity(Rect where);
    ~BalloonActivity() override;
    int step(Rect& outRect, Region& outShape) override;

private:
    int comeBackFromASide();
};

// A present blows up in the figure's hands.
class ExplosionActivity : public Activity {
public:
    explicit ExplosionActivity(Rect where);
    ~ExplosionActivity() override;
    int step(Rect& outRect, Region& outShape) override;

private:
    static int frameAt(uint32_t units);
};

// The figure carries a Christmas tree leftward for a little over 12 s.
class ChristmasTreeActivity : public Activity {
public:
    explicit ChristmasTreeActivity(Rect where);
    ~ChristmasTreeActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// The figure strokes its beard in place; counted in passes.
class StrokingActivity : public Activity {
public:
    explicit StrokingActivity(Rect where);
    ~StrokingActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// The figure raises its cap; the greeting is heard as soon as the scene is chosen. Counted in passes.
class HelloActivity : public Activity {
public:
    explicit HelloActivity(Rect where);
    ~HelloActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
