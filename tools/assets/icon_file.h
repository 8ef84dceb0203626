#pragma once
// .ico files with one 32 x 32, 16-colour image and its AND mask, as icon groups 331 and 332 hold them.
#include <cstdint>
#include <string>
#include <vector>

#include "indexed_image.h"

constexpr int kIconSize = 32;

// Background pixels become transparent: AND bit 1 and colour 0, which the icon's palette makes black
// (the screen is ANDed with the mask, then XORed with the colour).
std::vector<uint8_t> iconFile(const IndexedImage& image);

// Checks the structure of an .ico written by iconFile and gives back its colour indices and mask.
bool readIconFile(const std::vector<uint8_t>& file, IndexedImage* colours, std::vector<bool>* transparent,
                  std::string* error);
