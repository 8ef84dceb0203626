// The full-screen shaped window that runs every activity. For now: the activity slots.
#pragma once

#include "engine/activity.h"

constexpr int kActivitySlots = 255;

class CharacterWindow {
public:
    CharacterWindow();
    CharacterWindow(const CharacterWindow&) = delete;
    CharacterWindow& operator=(const CharacterWindow&) = delete;
    virtual ~CharacterWindow();

    // Stores the activity in the first free slot; with every slot taken the newcomer is destroyed.
    void addActivity(Activity* activity);

    Activity* activities[kActivitySlots];
};
