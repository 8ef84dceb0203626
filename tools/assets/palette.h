#pragma once
// The one 16-colour palette shared by every frame. Entry 0 is the background behind the figure: it is never part of
// a window region, and only shows where a frame is drawn unclipped (the balloon picture in the settings dialog).
#include <cstdint>

struct PaletteColour {
    uint8_t red, green, blue;
    const char* name;
};

constexpr int kPaletteSize = 16;
constexpr uint8_t kBackground = 0;
constexpr uint8_t kOutline = 1;

extern const PaletteColour kPalette[kPaletteSize];

// Index of the figure colour (never the background) nearest to (r, g, b), and its squared distance.
int nearestFigureColour(uint8_t r, uint8_t g, uint8_t b, int* distance);
