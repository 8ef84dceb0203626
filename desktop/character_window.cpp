#include "desktop/character_window.h"

CharacterWindow::CharacterWindow() : activities() {}

CharacterWindow::~CharacterWindow() {
    for (Activity*& activity : activities) {
        delete activity;
        activity = nullptr;
    }
}

void CharacterWindow::addActivity(Activity* activity) {
    if (!activity)
        return;
    for (Activity*& slot : activities) {
        if (!slot) {
            slot = activity;
            return;
        }
    }
    delete activity;
}
