// Movement in whole 50-ms units, safe against the huge gaps a stalled main loop can leave.
#pragma once

#include <cstdint>

// Figures are never placed farther than this from the screen: beyond it every answer (off screen, below the
// screen) is the same, and coordinates stay far from the 32-bit limits whatever the gap between passes.
constexpr int64_t kFarAway = 1 << 28;

// The shift that moves `from` by units * perUnit, stopped at kFarAway on either side.
inline int boundedShift(int from, uint32_t units, int perUnit) {
    int64_t to = static_cast<int64_t>(from) + static_cast<int64_t>(units) * perUnit;
    if (to > kFarAway)
        to = kFarAway;
    if (to < -kFarAway)
        to = -kFarAway;
    return static_cast<int>(to - from);
}
