// mibo-assets: the frame and icon compiler.
//   mibo-assets build ART_DIR OUT_DIR        render ART_DIR/NAME.svg into OUT_DIR/frames, OUT_DIR/icons, OUT_DIR/frames.rc
//   mibo-assets check RESOURCES_DIR          verify committed frames, regions and icons
//   mibo-assets preview RESOURCES_DIR OUT    review pictures (see preview.h)
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "checks.h"
#include "frame_sets.h"
#include "icon_file.h"
#include "preview.h"
#include "region_data.h"
#include "render.h"

namespace {

struct IconSource {
    const char* art;
    const char* file;
};

const IconSource kIcons[] = {
    {"icon331.svg", "icons/mibo331.ico"},
    {"icon332.svg", "icons/mibo332.ico"},
};

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool writeOrSay(const std::string& path, const std::vector<uint8_t>& data)
{
    if (writeFile(path, data))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

bool buildFrame(const std::string& artDir, const std::string& outDir, const std::string& name, FrameSize size)
{
    IndexedImage image;
    std::string error;
    if (!renderFrame(artDir + "/" + name + ".svg", size.width, size.height, &image, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return writeOrSay(outDir + "/frames/" + name + ".bmp", bitmapFile(image)) &&
           writeOrSay(outDir + "/frames/" + name + ".rgn", regionResource(regionOfFigure(image)));
}

int build(const std::string& artDir, const std::string& outDir)
{
    mkdir((outDir + "/frames").c_str(), 0755);
    mkdir((outDir + "/icons").c_str(), 0755);
    std::vector<std::string> written;
    int failures = 0;
    for (const FrameSet& set : kFrameSets) {
        int count = int(set.sizes.size());
        std::vector<std::string> missing;
        for (int number = 1; number <= count; number++)
            if (!fileExists(artDir + "/" + frameName(set, number) + ".svg"))
                missing.push_back(frameName(set, number));
        if (int(missing.size()) == count)
            continue; // not drawn yet
        if (!missing.empty()) {
            std::fprintf(stderr, "%s: the set is drawn only in part, %s.svg is missing\n", set.base,
                         missing.front().c_str());
            failures++;
            continue;
        }
        for (int number = 1; number <= count; number++) {
            std::string name = frameName(set, number);
            if (buildFrame(artDir, outDir, name, set.sizes[size_t(number - 1)]))
                written.push_back(name);
            else
                failures++;
        }
    }
    for (const IconSource& icon : kIcons) {
        IndexedImage image;
        std::string error;
        if (!renderFrame(artDir + "/" + icon.art, kIconSize, kIconSize, &image, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            failures++;
        } else if (!writeOrSay(outDir + "/" + icon.file, iconFile(image))) {
            failures++;
        }
    }
    std::string script = resourceScript(written);
    if (!writeOrSay(outDir + "/frames.rc", std::vector<uint8_t>(script.begin(), script.end())))
        failures++;
    return failures == 0 ? 0 : 1;
}

int usage()
{
    std::fprintf(stderr, "usage: mibo-assets build ART_DIR OUT_DIR | check RESOURCES_DIR | preview RESOURCES_DIR OUT_DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build")
        return build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "check")
        return checkResources(args[1]) == 0 ? 0 : 1;
    if (args.size() == 3 && args[0] == "preview")
        return writePreview(args[1], args[2]);
    return usage();
}
