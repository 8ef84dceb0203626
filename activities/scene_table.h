// The table that builds the scenes, and the picker's choice made into a running scene.
#pragma once

#include "engine/activity.h"
#include "engine/picker.h"

// Draws the next activity with the picker's rules (drawActivityId) and constructs it with `where`. Null when the
// activity cannot be allocated, or when no id could ever be accepted.
Activity* pickActivity(Rect where, IdList allowed, IdList excluded);

// Constructs the activity of `id` with `where`, without any acceptance test. Null for an id without a scene, or when
// the memory is not there.
Activity* buildActivity(int id, const Rect& where);
