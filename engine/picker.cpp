#include "engine/picker.h"

#include <cstdlib>
#include <new>

#include "activities/absence.h"
#include "activities/dog.h"
#include "activities/flying.h"
#include "activities/greeting_sack.h"
#include "activities/piano.h"
#include "activities/short_scenes.h"
#include "activities/snowball.h"
#include "activities/snowman_reindeer.h"
#include "activities/travelling.h"
#include "activities/walking.h"
#include "engine/desk_layout.h"

int32_t funLevel = 5;
int32_t pianoPlaying = 0;
uint32_t activitiesPicked = 0;

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
typedef Activity* (*Factory)(const Rect& where);

// The piano is never picked while one plays.
int pianoSilent(Rect) {
    return pianoPlaying == 0 ? 1 : 0;
}

// In a new-expression the allocation comes before the arguments are evaluated, and a failed nothrow allocation
// evaluates none: the direction is drawn only once the memory is there.
Activity* makeWalk(const Rect& where) {
    return new (std::nothrow) WalkActivity(where, random(100) > 50);
}

// The pause does not look at where the figure was.
Activity* makeAbsence(const Rect&) {
    return new (std::nothrow) AbsenceActivity;
}

template <class Scene>
Activity* make(const Rect& where) {
    return new (std::nothrow) Scene(where);
}

// One row per activity id. Acceptance, in this order: `before` (no random number drawn when it fails),
// then random(bound) < base + perFun * f, then `after`; `build` constructs the scene.
struct ActivityRow {
    int id;
    Guard before;
    int bound;
    int base;
    int perFun;
    Guard after;
    Factory build;
};

const ActivityRow kActivityTable[] = {
    {kWalkId, nullptr, 200, 100, 0, nullptr, makeWalk},
    {kExplosionId, nullptr, 1000, 0, 40, nullptr, make<ExplosionActivity>},
    {kChristmasTreeId, nullptr, 1000, 0, 10, nullptr, make<ChristmasTreeActivity>},
    {kStrokingId, nullptr, 1000, 0, 20, nullptr, make<StrokingActivity>},
    {kHelloId, nullptr, 1000, 0, 30, nullptr, make<HelloActivity>},
    {kFlyId, nullptr, 1000, 0, 20, nullptr, make<FlyActivity>},
    {kPianoId, pianoSilent, 1000, 0, 10, nullptr, make<PianoActivity>},
    {kSnowmanId, nullptr, 1000, 0, 20, nullptr, make<SnowmanActivity>},
    {kPresentId, nullptr, 1000, 0, 20, nullptr, make<PresentActivity>},
    {kBalloonId, nullptr, 1000, 0, 20, nullptr, make<BalloonActivity>},
    {kSackId, nullptr, 1000, 0, 20, nullptr, make<SackActivity>},
    {kSnowballThrowId, keepsRoomRight, 1000, 0, 40, nullptr, make<SnowballThrowActivity>},
    {kBikeId, nullptr, 1000, 0, 20, nullptr, make<BikeActivity>},
    {kSleighId, nullptr, 1000, 0, 20, nullptr, make<SleighActivity>},
    {kGreetingId, nullptr, 1000, 0, 20, nullptr, make<GreetingActivity>},
    {kReindeerId, nullptr, 1000, 0, 40, nullptr, make<ReindeerActivity>},
    {kDogId, nullptr, 1000, 0, 20, nullptr, make<DogActivity>},
    {kAbsenceId, nullptr, 400, 500, -100, nearScreenEdge, makeAbsence}, // 100 * (5 - f): rarer as the fun rises
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

Activity* buildActivity(int id, const Rect& where) {
    int row = rowIndexOf(id);
    if (row < 0)
        return nullptr;
    return kActivityTable[row].build(where);
}

// A scene never starts where no monitor is: a figure left in a gap of the desk is put back on the nearest floor.
Activity* pickActivity(Rect where, IdList allowed, IdList excluded) {
    where = ontoFloor(sceneDesk(), where);
    int id = drawActivityId(where, allowed, excluded);
    if (id == 0)
        return nullptr;
    Activity* picked = buildActivity(id, where);
    if (picked)
        ++activitiesPicked;
    return picked;
}
