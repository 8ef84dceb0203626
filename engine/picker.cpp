#include "engine/picker.h"

#include <cstdlib>

int32_t funLevel = 5;
int32_t pianoPlaying = 0;

int random(int n) {
    if (n == 0)
        return 0;
    if (n > 0)
        return rand() % n;
    return -rand() % n;
}

int keepsRoomRight(Rect r) {
    return r.right <= screenWidth() - 300 ? 1 : 0;
}

int nearScreenEdge(Rect r) {
    return (r.left < 10 || r.right > screenWidth() - 10 || r.top < 0 || r.bottom > screenHeight() - 5) ? 1 : 0;
}

namespace {

typedef int (*Guard)(Rect where);

// The piano is never picked while one plays.
int pianoSilent(Rect) {
    return pianoPlaying == 0 ? 1 : 0;
}

// One row per activity id. Acceptance, in this order: `before` (no random number drawn when it fails),
// then random(bound) < base + perFun * f, then `after`.
struct ActivityRow {
    int id;
    Guard before;
    int bound;
    int base;
    int perFun;
    Guard after;
};

const ActivityRow kActivityTable[] = {
    {kWalkId, nullptr, 200, 100, 0, nullptr},
    {kExplosionId, nullptr, 1000, 0, 40, nullptr},
    {kChristmasTreeId, nullptr, 1000, 0, 10, nullptr},
    {kStrokingId, nullptr, 1000, 0, 20, nullptr},
    {kHelloId, nullptr, 1000, 0, 30, nullptr},
    {kFlyId, nullptr, 1000, 0, 20, nullptr},
    {kPianoId, pianoSilent, 1000, 0, 10, nullptr},
    {kSnowmanId, nullptr, 1000, 0, 20, nullptr},
    {kPresentId, nullptr, 1000, 0, 20, nullptr},
    {kBalloonId, nullptr, 1000, 0, 20, nullptr},
    {kSackId, nullptr, 1000, 0, 20, nullptr},
    {kSnowballThrowId, keepsRoomRight, 1000, 0, 40, nullptr},
    {kBikeId, nullptr, 1000, 0, 20, nullptr},
    {kSleighId, nullptr, 1000, 0, 20, nullptr},
    {kGreetingId, nullptr, 1000, 0, 20, nullptr},
    {kReindeerId, nullptr, 1000, 0, 40, nullptr},
    {kDogId, nullptr, 1000, 0, 20, nullptr},
    {kAbsenceId, nullptr, 400, 500, -100, nearScreenEdge}, // 100 * (5 - f): rarer as the fun rises
};

// Every draw is one of these values; the ones without a row are drawn again.
constexpr int kDrawRange = 35;

// Below 1 the fun-dependent scenes would never come: the picker treats it as 1. Above 5 it is used as it stands.
int64_t pickerFunLevel() {
    return funLevel < 1 ? 1 : funLevel;
}

// 64-bit: 40 * f and 100 * (5 - f) overflow 32 bits for a huge stored fun level.
int64_t thresholdOf(const ActivityRow& row, int64_t f) {
    return row.base + row.perFun * f;
}

// Ids outside the flag table are not recorded; an allowed list of only such ids therefore allows nothing.
void markIds(const IdList& ids, int* flags) {
    for (int i = 0; i < ids.length; ++i) {
        if (ids.values[i] >= 0 && ids.values[i] < kIdLimit)
            flags[ids.values[i]] = 1;
    }
}

constexpr int kRows = static_cast<int>(sizeof kActivityTable / sizeof kActivityTable[0]);

// One call of the picker: the two flag tables, the fun level, and the guards' answers. A guard is asked at most
// once per call: its answer cannot change within the call, and reading the screen size is slow under Wine.
class DrawLoop {
public:
    DrawLoop(const Rect& where, const IdList& allowed, const IdList& excluded)
        : where(where), allowed(allowed), excluded(excluded), allowedFlags(), excludedFlags(), f(pickerFunLevel()) {
        markIds(allowed, allowedFlags);
        markIds(excluded, excludedFlags);
        for (int i = 0; i < kRows; ++i) {
            beforeAnswers[i] = -1;
            afterAnswers[i] = -1;
        }
    }

    int passesSets(int id) const {
        if (allowed.length > 0 && !allowedFlags[id])
            return 0;
        if (excluded.length > 0 && excludedFlags[id])
            return 0;
        return 1;
    }

    // The acceptance test of one row, in the table's order.
    int accepts(int row) {
        if (!before(row))
            return 0;
        if (random(kActivityTable[row].bound) >= thresholdOf(kActivityTable[row], f))
            return 0;
        return after(row);
    }

    // Whether some id can ever come out of the loop: constraints that leave nothing acceptable would otherwise
    // loop forever. The guards and a threshold above zero decide it; no random number is drawn.
    int anyAcceptable() {
        for (int row = 0; row < kRows; ++row) {
            const ActivityRow& r = kActivityTable[row];
            if (!passesSets(r.id))
                continue;
            if (r.bound != 0 && thresholdOf(r, f) > 0 && before(row) && after(row))
                return 1;
        }
        return 0;
    }

private:
    int before(int row) { return ask(kActivityTable[row].before, beforeAnswers[row]); }
    int after(int row) { return ask(kActivityTable[row].after, afterAnswers[row]); }

    int ask(Guard guard, int& answer) {
        if (!guard)
            return 1;
        if (answer < 0)
            answer = guard(where) ? 1 : 0;
        return answer;
    }

    const Rect& where;
    const IdList& allowed;
    const IdList& excluded;
    int allowedFlags[kIdLimit];
    int excludedFlags[kIdLimit];
    const int64_t f;
    int beforeAnswers[kRows];
    int afterAnswers[kRows];
};

int rowIndexOf(int id) {
    for (int row = 0; row < kRows; ++row) {
        if (kActivityTable[row].id == id)
            return row;
    }
    return -1;
}

} // namespace

void setFunLevel(int32_t level) {
    funLevel = level;
}

int drawActivityId(const Rect& where, const IdList& allowed, const IdList& excluded) {
    DrawLoop loop(where, allowed, excluded);
    if (!loop.anyAcceptable())
        return 0;

    // The sets come before the id range, so an unused id in `allowed` only makes the loop draw again.
    for (;;) {
        int id = random(kDrawRange);
        if (!loop.passesSets(id))
            continue;
        int row = rowIndexOf(id);
        if (row < 0 || !loop.accepts(row))
            continue;
        return id;
    }
}
