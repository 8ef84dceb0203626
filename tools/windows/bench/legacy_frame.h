// The character window with the frame update as it was before it was made lighter, timed piece by piece:
// only for the comparisons of tools/bench.sh, never shipped.
#pragma once

#include "desktop/character_window.h"

// The pieces of one frame update, in the order they run.
enum FramePiece {
    PieceStep,       // the activities' own steps and the wrap-around
    PieceUnion,      // offsetting each outline and OR-ing it into the new shape
    PieceOpenDcs,    // GetWindowDC and the composition's memory DC, opened and closed again
    PieceRestore,    // background into the composition
    PieceDraw,       // the figures into the composition
    PieceRefresh,    // the remembered background where figures arrive
    PieceCompare,    // is the shape the same as last frame's?
    PieceSetShape,   // the new window shape (SetWindowRgn)
    PieceRepaint,    // asking the desktop to repaint the vacated strip
    PieceInvalidate, // InvalidateRect of the window
    PieceShow,       // the changed rectangles onto the screen
    PieceCheck,      // the display check and keeping the shape for the next frame
    PieceCount
};

extern const char* const kPieceNames[PieceCount];

// Microseconds spent in each piece since the last clearFramePieces.
extern double framePieces[PieceCount];
void clearFramePieces();

class LegacyCharacterWindow : public CharacterWindow {
public:
    LRESULT onTimer(WPARAM timerId) override;

private:
    void stepActivities(Region& newShape, int32_t* alive, int32_t* present);
    void wrapAroundSides(int slot);
    void restoreBackground(HDC composition, const int32_t* alive, const int32_t* present, Rect* work);
    void drawActivities(HDC composition, const int32_t* alive);
    void shapeWindow(const Region& newShape);
    void refreshBackground(HDC windowDc, const Region& newShape, const int32_t* alive, const Rect* work);
    void showFrame(HDC windowDc, HDC composition, const int32_t* alive, const int32_t* present, const Rect* work);
    void checkDisplay(HDC windowDc);
};
