// Two scenes that let the figure go part-way through and then leave the screen on the left by themselves:
// the snowman that takes a present, and the reindeer sleigh that throws its driver off.
#pragma once

#include <cstdint>

#include "engine/activity.h"

// Together with the figure for 2100 ms; then the figure walks off to the right and the snowman slides left.
class SnowmanActivity : public Activity {
public:
    explicit SnowmanActivity(Rect where);
    ~SnowmanActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    int32_t walkStarted; // 1 once the figure's walk has been spawned (or its allocation failed)

private:
    int frameAt(uint32_t units) const;
    void startWalk();
};

// The whip cracks at 400 ms ("bat"), the figure lands in the snow at 1000 ms, the sleigh runs off to the left.
class ReindeerActivity : public Activity {
public:
    explicit ReindeerActivity(Rect where);
    ~ReindeerActivity() override;
    int step(Rect& outRect, Region& outShape) override;

    int32_t soundPlayed;  // 1 once "bat" has been played
    int32_t riderSpawned; // 1 once the fallen figure has been spawned (or its allocation failed)

private:
    void crackAndThrow();
};
