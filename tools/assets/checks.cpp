#include "checks.h"

#include <sys/stat.h>

#include <cstdio>
#include <dirent.h>
#include <set>

#include "bitmap_file.h"
#include "frame_sets.h"
#include "icon_file.h"
#include "palette.h"
#include "region_data.h"

namespace {

struct Report {
    int faults = 0;
    void fault(const std::string& where, const std::string& what)
    {
        std::fprintf(stderr, "%s: %s\n", where.c_str(), what.c_str());
        faults++;
    }
};

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string at(int x, int y)
{
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

bool isFigure(const IndexedImage& image, int x, int y)
{
    return image.inside(x, y) && image.at(x, y) != kBackground;
}

// The region must cover exactly the figure pixels of the decoded bitmap.
void checkRegionMatchesFigure(const std::string& where, const IndexedImage& image,
                              const std::vector<RegionRect>& rects, Report* report)
{
    IndexedImage covered(image.width, image.height, 0);
    for (const RegionRect& r : rects)
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left; x < r.right; x++)
                covered.at(x, y) = 1;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if ((covered.at(x, y) != 0) != isFigure(image, x, y)) {
                report->fault(where, "region and visible pixels differ first at " + at(x, y));
                return;
            }
}

// Art faults the window shape would show: a silhouette pixel that is not outline, a lone pixel, a pinhole.
void checkOutline(const std::string& where, const IndexedImage& image, Report* report)
{
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            int neighbours = isFigure(image, x - 1, y) + isFigure(image, x + 1, y) + isFigure(image, x, y - 1) +
                             isFigure(image, x, y + 1);
            bool onEdge = x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1;
            if (isFigure(image, x, y)) {
                if ((neighbours < 4 || onEdge) && image.at(x, y) != kOutline)
                    return report->fault(where, "silhouette pixel without the outline colour at " + at(x, y));
                if (neighbours == 0)
                    return report->fault(where, "stray pixel at " + at(x, y));
            } else if (neighbours == 4) {
                return report->fault(where, "pinhole in the figure at " + at(x, y));
            }
        }
}

bool rowHasFigure(const IndexedImage& image, int y)
{
    for (int x = 0; x < image.width; x++)
        if (isFigure(image, x, y))
            return true;
    return false;
}

bool columnHasFigure(const IndexedImage& image, int x)
{
    for (int y = 0; y < image.height; y++)
        if (isFigure(image, x, y))
            return true;
    return false;
}

// A figure drawn to an end anchor stands on that edge in every frame (feet on the bottom row). Start anchors need no
// such test: the flight keeps its top edge, and what hangs below the top may start lower.
void checkAnchors(const std::string& where, const FrameSet& set, const IndexedImage& image, Report* report)
{
    if (set.vertical == Anchor::End && !rowHasFigure(image, image.height - 1))
        report->fault(where, "nothing stands on the bottom row, the set is anchored there");
    if (set.horizontal == Anchor::End && !columnHasFigure(image, image.width - 1))
        report->fault(where, "nothing touches the right column, the set is anchored there");
}

bool checkFrame(const std::string& dir, const FrameSet& set, int number, IndexedImage* image, Report* report)
{
    std::string name = frameName(set, number);
    std::string bmpPath = dir + "/frames/" + name + ".bmp";
    std::string rgnPath = dir + "/frames/" + name + ".rgn";
    std::vector<uint8_t> bmp, rgn;
    if (!readFile(bmpPath, &bmp) || !readFile(rgnPath, &rgn)) {
        report->fault(name, "bitmap or region file missing");
        return false;
    }
    uint8_t palette[16][3];
    std::string error;
    if (!readBitmapFile(bmp, image, palette, &error)) {
        report->fault(bmpPath, error);
        return false;
    }
    const FrameSize& size = set.sizes[size_t(number - 1)];
    if (image->width != size.width || image->height != size.height) {
        report->fault(bmpPath, "is " + std::to_string(image->width) + "x" + std::to_string(image->height) +
                                   ", the frame table says " + std::to_string(size.width) + "x" +
                                   std::to_string(size.height));
        return false;
    }
    for (int i = 0; i < kPaletteSize; i++)
        if (palette[i][0] != kPalette[i].red || palette[i][1] != kPalette[i].green || palette[i][2] != kPalette[i].blue)
            report->fault(bmpPath, "palette entry " + std::to_string(i) + " is not the shared palette's");
    std::vector<RegionRect> rects;
    if (!readRegionResource(rgn, image->width, image->height, &rects, &error)) {
        report->fault(rgnPath, error);
        return false;
    }
    checkRegionMatchesFigure(rgnPath, *image, rects, report);
    checkOutline(bmpPath, *image, report);
    checkAnchors(bmpPath, set, *image, report);
    return true;
}

void checkIcon(const std::string& path, Report* report)
{
    std::vector<uint8_t> file;
    if (!readFile(path, &file))
        return report->fault(path, "missing");
    IndexedImage colours;
    std::vector<bool> transparent;
    std::string error;
    if (!readIconFile(file, &colours, &transparent, &error))
        return report->fault(path, error);
    int opaque = 0;
    for (int y = 0; y < kIconSize; y++)
        for (int x = 0; x < kIconSize; x++) {
            bool clear = transparent[size_t(y) * kIconSize + size_t(x)];
            if (clear && colours.at(x, y) != kBackground)
                return report->fault(path, "transparent pixel with a colour at " + at(x, y));
            if (!clear && colours.at(x, y) == kBackground)
                return report->fault(path, "opaque pixel in the background colour at " + at(x, y));
            opaque += !clear;
        }
    if (opaque < kIconSize * kIconSize / 4)
        report->fault(path, "hardly anything drawn");
}

// Files under frames/ that no frame of the table explains would be compiled in for nothing.
void checkNoStrayFiles(const std::string& dir, const std::set<std::string>& known, Report* report)
{
    DIR* folder = opendir((dir + "/frames").c_str());
    if (!folder)
        return;
    while (dirent* entry = readdir(folder)) {
        std::string file = entry->d_name;
        if (file == "." || file == "..")
            continue;
        if (!known.count(file))
            report->fault(dir + "/frames/" + file, "is no frame of the table");
    }
    closedir(folder);
}

} // namespace

int checkResources(const std::string& dir)
{
    Report report;
    std::vector<std::string> drawn;
    std::set<std::string> known;
    int sets = 0;
    for (const FrameSet& set : kFrameSets) {
        int count = int(set.sizes.size());
        int present = 0;
        for (int number = 1; number <= count; number++) {
            std::string name = frameName(set, number);
            known.insert(name + ".bmp");
            known.insert(name + ".rgn");
            present += fileExists(dir + "/frames/" + name + ".bmp") || fileExists(dir + "/frames/" + name + ".rgn");
        }
        if (present == 0)
            continue;
        sets++;
        std::vector<IndexedImage> images(static_cast<size_t>(count));
        for (int number = 1; number <= count; number++) {
            drawn.push_back(frameName(set, number));
            if (!checkFrame(dir, set, number, &images[size_t(number - 1)], &report))
                images[size_t(number - 1)] = IndexedImage();
        }
        for (int a = 0; a < count; a++)
            for (int b = a + 1; b < count; b++)
                if (!images[size_t(a)].pixels.empty() && images[size_t(a)].width == images[size_t(b)].width &&
                    images[size_t(a)].height == images[size_t(b)].height &&
                    images[size_t(a)].pixels == images[size_t(b)].pixels)
                    report.fault(set.base, "frames " + std::to_string(a + 1) + " and " + std::to_string(b + 1) +
                                               " are the same picture");
    }
    checkNoStrayFiles(dir, known, &report);

    std::vector<uint8_t> script;
    std::string expected = resourceScript(drawn);
    if (!readFile(dir + "/frames.rc", &script) || std::string(script.begin(), script.end()) != expected)
        report.fault(dir + "/frames.rc", "does not list exactly the frames present");
    checkIcon(dir + "/icons/mibo331.ico", &report);
    checkIcon(dir + "/icons/mibo332.ico", &report);

    std::printf("assets: %zu frames in %d sets checked, %d faults\n", drawn.size(), sets, report.faults);
    return report.faults;
}
