// The end of a scene that asks the picker for its successor.
#pragma once

#include <initializer_list>

#include "activities/scene_table.h"
#include "engine/activity.h"
#include "engine/picker.h"

// An id list written out in place: {} is the empty list, which constrains nothing.
inline IdList idsOf(std::initializer_list<int> ids) {
    IdList list;
    for (int id : ids)
        list.append(id);
    return list;
}

// Picks the successor for `where` and hands it to the window; returns 0, the result of a finished step.
inline int handOver(const Rect& where, std::initializer_list<int> allowed, std::initializer_list<int> excluded) {
    spawn(pickActivity(where, idsOf(allowed), idsOf(excluded)));
    return 0;
}
