// Scenes in which the figure travels across the screen with a prop: the present, the bike, the sleigh.
#pragma once

#include "engine/activity.h"

struct TravelStyle;

// The one pattern of the three scenes; each scene is a row of values (travelling.cpp).
class TravelActivity : public Activity {
protected:
    TravelActivity(Rect where, const TravelStyle& style);
    // One pass of the scene described by `style`.
    int travel(const TravelStyle& style, Rect& outRect, Region& outShape);

private:
    int frameFor(const TravelStyle& style, uint32_t elapsed) const;
    void move(const TravelStyle& style, uint32_t units);
    void wrapToRightEdge();
    int isOver(const TravelStyle& style, uint32_t elapsed) const;
};

// The figure carries a wrapped present to the right for five seconds.
class PresentActivity : public TravelActivity {
public:
    explicit PresentActivity(Rect where);
    ~PresentActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// The figure rides a bicycle to the left for seven seconds, coming back in at the right edge at a random height.
class BikeActivity : public TravelActivity {
public:
    explicit BikeActivity(Rect where);
    ~BikeActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};

// The figure flies off in a reindeer sleigh, to the right and upwards, until it has passed the right edge after 5 s.
class SleighActivity : public TravelActivity {
public:
    explicit SleighActivity(Rect where);
    ~SleighActivity() override;
    int step(Rect& outRect, Region& outShape) override;
};
