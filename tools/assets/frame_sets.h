#pragma once
// Every animation frame set of the program, with the exact bitmap size of each frame. Scenes without art yet are
// listed too: drawing a set is adding its SVG files, nothing else.
#include <string>
#include <vector>

// The edge of a frame that stays still when the code switches between frames of different sizes.
enum class Anchor { Start, Center, End };

struct FrameSize {
    int width, height;
};

struct FrameSet {
    const char* base;
    std::vector<FrameSize> sizes;
    Anchor horizontal;
    Anchor vertical;
    // Review animation: frame numbers from 1 with the time each shows, e.g. "1:100 2:500 3:1050";
    // empty means every frame in order for 200 ms.
    const char* preview;
};

extern const std::vector<FrameSet> kFrameSets;

// Resource name of frame `number` (from 1): base immediately followed by the decimal number.
std::string frameName(const FrameSet& set, int number);

// resources/frames.rc for the given frame names: one BITMAP and one REGION line per frame.
std::string resourceScript(const std::vector<std::string>& names);
