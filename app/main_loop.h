// The main loop: at most one message per pass, then one 50-ms frame of every activity.
#pragma once

#include <cstdint>

#include "engine/geometry.h"

class CharacterWindow;

// The id of the registered message with which a second instance asks for one more figure.
UINT newCharacterMessage();

// Where the next new figure appears: a zero-size rectangle at the centre of one monitor after another, the primary
// screen's first (with one screen, always its centre).
Rect newFigurePlace();

// One pass of the loop; 0 once WM_QUIT has been fetched, 1 otherwise.
int mainLoopPass(CharacterWindow& window, UINT newCharacter);
// Runs passes until WM_QUIT.
void runMainLoop(CharacterWindow& window);
