#include "palette.h"

const PaletteColour kPalette[kPaletteSize] = {
    {192, 220, 240, "background"},
    {28, 20, 28, "outline"},
    {255, 255, 255, "white"},
    {208, 216, 228, "light grey"},
    {140, 148, 164, "grey"},
    {212, 36, 40, "red"},
    {136, 20, 32, "dark red"},
    {252, 206, 170, "skin"},
    {240, 132, 128, "rose"},
    {164, 104, 52, "brown"},
    {102, 62, 30, "dark brown"},
    {52, 156, 68, "green"},
    {24, 96, 44, "dark green"},
    {248, 196, 40, "gold"},
    {150, 196, 240, "light blue"},
    {44, 84, 180, "blue"},
};

int nearestFigureColour(uint8_t r, uint8_t g, uint8_t b, int* distance)
{
    int best = kOutline;
    int bestDistance = 1 << 30;
    for (int i = 1; i < kPaletteSize; i++) {
        int dr = int(r) - kPalette[i].red;
        int dg = int(g) - kPalette[i].green;
        int db = int(b) - kPalette[i].blue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    *distance = bestDistance;
    return best;
}
