#pragma once
#include <string>

// Writes review pictures of the frames under resourcesDir into outDir: contact-sheet.png (every frame at 1x and 2x on
// a light and a dark background, with its bitmap's extent marked), and anim/SET-N.png pictures of each set placed by
// its anchors on one canvas. Prints one line per set for the GIF maker: the base name, then "delay file" pairs.
int writePreview(const std::string& resourcesDir, const std::string& outDir);
