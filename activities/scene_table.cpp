#include "activities/scene_table.h"

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

namespace {

typedef Activity* (*Constructor)(const Rect& where);

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

struct SceneRow {
    int id;
    Constructor build;
};

const SceneRow kSceneTable[] = {
    {kWalkId, makeWalk},
    {kExplosionId, make<ExplosionActivity>},
    {kChristmasTreeId, make<ChristmasTreeActivity>},
    {kStrokingId, make<StrokingActivity>},
    {kHelloId, make<HelloActivity>},
    {kFlyId, make<FlyActivity>},
    {kPianoId, make<PianoActivity>},
    {kSnowmanId, make<SnowmanActivity>},
    {kPresentId, make<PresentActivity>},
    {kBalloonId, make<BalloonActivity>},
    {kSackId, make<SackActivity>},
    {kSnowballThrowId, make<SnowballThrowActivity>},
    {kBikeId, make<BikeActivity>},
    {kSleighId, make<SleighActivity>},
    {kGreetingId, make<GreetingActivity>},
    {kReindeerId, make<ReindeerActivity>},
    {kDogId, make<DogActivity>},
    {kAbsenceId, makeAbsence},
};

} // namespace

Activity* buildActivity(int id, const Rect& where) {
    for (const SceneRow& row : kSceneTable) {
        if (row.id == id)
            return row.build(where);
    }
    return nullptr;
}

// A scene never starts where no monitor is: a figure left in a gap of the desk is put back on the nearest floor.
Activity* pickActivity(Rect where, IdList allowed, IdList excluded) {
    where = ontoFloor(sceneDesk(), where);
    const int id = drawActivityId(where, allowed, excluded);
    return id == 0 ? nullptr : buildActivity(id, where);
}
