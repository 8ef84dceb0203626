// The review reel: every scene played through its whole timeline on the real character window, one animated GIF
// per scene at the program's own timing (one frame per 50-ms pass).
//   mibo_reel.exe [FUN_LEVEL [SCENE...]]      writes SCENE.gif into the current folder, one line per scene on stdout
// Everything the window steps is captured, the companions a scene spawns beside it included. A scene ends when its
// chain hands over through the picker (the successor is kept for a second), when nothing is left, or after 25 s.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "activities/scene_table.h"
#include "activities/falling.h"
#include "engine/seams.h"
#include "activities/walking.h"
#include "app/startup.h"
#include "desktop/character_window.h"
#include "engine/picker.h"
#include "gif_writer.h"
#include "support/test_support.h"

namespace {

constexpr uint32_t kPassTime = 50;
constexpr int kDelayCentiseconds = 5;
constexpr int kMaxPasses = 25000 / kPassTime;
constexpr int kSuccessorPasses = 20;
constexpr int kMargin = 12;
constexpr uint32_t kBackground = 0x3a6ea5; // a plain desktop blue
constexpr uint32_t kNothingDrawn = 0x010203; // outside the program's palette

int gLoadFailures = 0;

int WINAPI countLoadFailure(HWND, LPCSTR, LPCSTR, UINT) {
    ++gLoadFailures;
    return IDOK;
}

Rect intersection(const Rect& a, const Rect& b) {
    Rect r(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom);
    return r.width() > 0 && r.height() > 0 ? r : Rect();
}

// The colours seen so far; index 0 is the background, which the figures never use.
class ColourTable {
public:
    ColourTable() : colours{kBackground} {}
    uint8_t indexOf(uint32_t colour) {
        for (size_t i = 1; i < colours.size(); ++i) {
            if (colours[i] == colour)
                return static_cast<uint8_t>(i);
        }
        if (colours.size() == 256)
            return 255; // more colours than a GIF holds: the last one stands in
        colours.push_back(colour);
        return static_cast<uint8_t>(colours.size() - 1);
    }
    std::vector<uint32_t> colours;
};

// What one activity showed in one pass: its outline's box on the screen, colour indices, 0 where nothing shows.
struct Piece {
    Rect at;
    std::vector<uint8_t> pixels;
};

// A full-screen 32-bit top-down DIB section selected into its own memory DC, with direct access to the pixels.
class ScreenCanvas {
public:
    ScreenCanvas(int width, int height) : width(width), height(height), dc(CreateCompatibleDC(nullptr)),
          bitmap(nullptr), previous(nullptr), bits(nullptr) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<uint32_t*>(pixels);
        if (dc && bitmap)
            previous = SelectObject(dc, bitmap);
    }
    ~ScreenCanvas() {
        if (previous)
            SelectObject(dc, previous);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    ScreenCanvas(const ScreenCanvas&) = delete;
    ScreenCanvas& operator=(const ScreenCanvas&) = delete;

    bool ready() const { return bits != nullptr && previous != nullptr; }

    // Draws the activity as the window does, clipped to its outline, and reads back what it drew inside `box`.
    Piece capture(Activity* activity, HRGN outline, const Rect& box, ColourTable& colours) {
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x)
                bits[y * width + x] = kNothingDrawn;
        }
        SelectClipRgn(dc, outline);
        activity->draw(dc, SRCCOPY, TRUE);
        SelectClipRgn(dc, nullptr);
        GdiFlush();
        Piece piece = {box, {}};
        piece.pixels.reserve(static_cast<size_t>(box.width()) * box.height());
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                uint32_t colour = bits[y * width + x] & 0xffffff;
                piece.pixels.push_back(colour == kNothingDrawn ? 0 : colours.indexOf(colour));
            }
        }
        return piece;
    }

    const int width;
    const int height;

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    uint32_t* bits;
};

// One scene of the reel: its file name and how it is made at the place where it starts.
struct SceneRow {
    const char* name;
    int id; // the picker's id, or 0 for the scenes the picker does not build
    Activity* (*make)(const Rect& where);
};

Activity* walkLeft(const Rect& where) {
    return new WalkActivity(where, 1);
}

Activity* walkRight(const Rect& where) {
    return new WalkActivity(where, 0);
}

// A fall begins in the air: the figure drops from the middle of the screen.
Activity* fallFromMiddle(const Rect& where) {
    return new FallActivity(where.offsetCopy(Point(0, -screenHeight() / 2)));
}

const SceneRow kScenes[] = {
    {"walk-left", 0, walkLeft},
    {"walk-right", 0, walkRight},
    {"fall", 0, fallFromMiddle},
    {"explosion", kExplosionId, nullptr},
    {"christmas-tree", kChristmasTreeId, nullptr},
    {"stroking", kStrokingId, nullptr},
    {"hello", kHelloId, nullptr},
    {"fly", kFlyId, nullptr},
    {"piano", kPianoId, nullptr},
    {"snowman", kSnowmanId, nullptr},
    {"present", kPresentId, nullptr},
    {"balloon", kBalloonId, nullptr},
    {"sack", kSackId, nullptr},
    {"snowball-throw", kSnowballThrowId, nullptr},
    {"bike", kBikeId, nullptr},
    {"sleigh", kSleighId, nullptr},
    {"greeting", kGreetingId, nullptr},
    {"reindeer", kReindeerId, nullptr},
    {"dog", kDogId, nullptr},
    {"absence", kAbsenceId, nullptr},
};

// Where every scene starts: a standing figure (a walking frame's size) on the middle of the screen bottom.
Rect startingPlace() {
    const int w = 75, h = 83;
    int x = screenWidth() / 2 - w / 2;
    return Rect(x, screenHeight() - h, x + w, screenHeight());
}

void emptyTheWindow(CharacterWindow* window) {
    for (int i = 0; i < kActivitySlots; ++i)
        window->removeActivity(i);
}

// Whether a slot still holds `activity`: once it does not, the scene has handed over.
bool holds(const CharacterWindow* window, const Activity* activity) {
    for (int i = 0; i < kActivitySlots; ++i) {
        if (window->activityIn(i) == activity)
            return true;
    }
    return false;
}

int occupied(const CharacterWindow* window) {
    int count = 0;
    for (int i = 0; i < kActivitySlots; ++i)
        count += window->activityIn(i) ? 1 : 0;
    return count;
}

// The names of what runs now, for the report.
std::string runningNames(const CharacterWindow* window) {
    std::string names;
    for (int i = 0; i < kActivitySlots; ++i) {
        const Activity* activity = window->activityIn(i);
        if (!activity)
            continue;
        names += names.empty() ? "" : "+";
        names += activity->name.text();
    }
    return names;
}

// Plays one scene and records every pass; writes the GIF at the end.
class SceneReel {
public:
    SceneReel(CharacterWindow* window, ScreenCanvas& canvas) : window(window), canvas(canvas) {}

    std::string play(const SceneRow& row, unsigned seed) {
        emptyTheWindow(window);
        srand(seed);
        gLoadFailures = 0;
        frameTick = 1000000;
        Activity* first = row.make ? row.make(startingPlace()) : buildActivity(row.id, startingPlace());
        if (!first)
            return "no factory";
        if (gLoadFailures)
            return (delete first, "frames missing");
        spawn(first);

        int handover = -1;
        std::string ending = "cap of 25 s";
        std::string successor;
        for (int pass = 0; pass < kMaxPasses; ++pass) {
            frameTick += kPassTime;
            window->onTimer(0);
            pumpMessages();
            if (gLoadFailures) {
                ending = handover < 0 ? "frames missing (stopped)" : "successor's frames missing";
                break;
            }
            if (handover < 0 && !holds(window, first)) {
                handover = pass;
                successor = runningNames(window);
            }
            record();
            if (occupied(window) == 0) {
                ending = "chain ended";
                break;
            }
            if (handover >= 0 && pass - handover >= kSuccessorPasses) {
                ending = "hand-over";
                break;
            }
        }
        emptyTheWindow(window);
        char line[256];
        Rect crop = cropBox();
        snprintf(line, sizeof line, "%d passes (%.2f s), %s", static_cast<int>(passes.size()),
                 passes.size() * kPassTime / 1000.0, ending.c_str());
        std::string report = line;
        if (handover >= 0) {
            snprintf(line, sizeof line, " at pass %d to %s", handover, successor.c_str());
            report += line;
        }
        snprintf(line, sizeof line, "; %dx%d px at (%d,%d)", crop.width(), crop.height(), crop.left, crop.top);
        report += line;
        if (!write(std::string(row.name) + ".gif", crop))
            report += "; the GIF could not be written";
        return report;
    }

private:
    void record() {
        const Rect screen(0, 0, canvas.width, canvas.height);
        std::vector<Piece> pieces;
        for (int i = 0; i < kActivitySlots; ++i) {
            Activity* activity = window->activityIn(i);
            // A slot filled during this pass after its turn has no outline yet: the window did not draw it either.
            if (!activity || !window->shapeOf(i).handle)
                continue;
            RECT box;
            if (GetRgnBox(window->shapeOf(i).handle, &box) == NULLREGION)
                continue;
            Rect visible = intersection(Rect(box.left, box.top, box.right, box.bottom), screen);
            if (visible.width() > 0)
                pieces.push_back(canvas.capture(activity, window->shapeOf(i).handle, visible, colours));
        }
        passes.push_back(pieces);
    }

    Rect cropBox() const {
        Rect box;
        bool any = false;
        for (const std::vector<Piece>& pass : passes) {
            for (const Piece& piece : pass) {
                if (!any)
                    box = piece.at;
                else
                    box.include(piece.at.left, piece.at.top, piece.at.right, piece.at.bottom);
                any = true;
            }
        }
        if (!any)
            return Rect(0, 0, 1, 1);
        box = Rect(box.left - kMargin, box.top - kMargin, box.right + kMargin, box.bottom + kMargin);
        return intersection(box, Rect(0, 0, canvas.width, canvas.height));
    }

    bool write(const std::string& path, const Rect& crop) {
        GifWriter gif;
        if (!gif.open(path, crop.width(), crop.height(), colours.colours, kDelayCentiseconds))
            return false;
        std::vector<uint8_t> frame;
        for (const std::vector<Piece>& pass : passes) {
            frame.assign(static_cast<size_t>(crop.width()) * crop.height(), 0);
            for (const Piece& piece : pass)
                paste(piece, crop, frame);
            gif.addFrame(frame);
        }
        passes.clear();
        return gif.close();
    }

    // Later slots are drawn over earlier ones, as in the window.
    static void paste(const Piece& piece, const Rect& crop, std::vector<uint8_t>& frame) {
        for (int y = piece.at.top; y < piece.at.bottom; ++y) {
            for (int x = piece.at.left; x < piece.at.right; ++x) {
                uint8_t index = piece.pixels[(y - piece.at.top) * piece.at.width() + (x - piece.at.left)];
                if (index != 0)
                    frame[(y - crop.top) * crop.width() + (x - crop.left)] = index;
            }
        }
    }

    CharacterWindow* window;
    ScreenCanvas& canvas;
    ColourTable colours;
    std::vector<std::vector<Piece>> passes;
};

bool wanted(const SceneRow& row, int argc, char** argv) {
    if (argc <= 2)
        return true;
    for (int i = 2; i < argc; ++i) {
        if (strcmp(argv[i], row.name) == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    gSeams.loadFailureMessageBox = countLoadFailure;
    characterWindow = new CharacterWindow;
    if (!characterWindow->create(GetModuleHandleA(nullptr), nullptr)) {
        fprintf(stderr, "mibo_reel: the character window was not created\n");
        return 1;
    }
    const int32_t storedFunLevel = funLevel; // written back at the end: the reel leaves the settings alone
    funLevel = argc > 1 ? atoi(argv[1]) : 5;
    ScreenCanvas canvas(screenWidth(), screenHeight());
    if (!canvas.ready()) {
        fprintf(stderr, "mibo_reel: no canvas\n");
        return 1;
    }
    std::vector<std::string> unbuilt;
    unsigned seed = 1;
    for (const SceneRow& row : kScenes) {
        ++seed; // a seed of its own per scene, so that choosing some scenes does not change the others
        if (!wanted(row, argc, argv))
            continue;
        SceneReel reel(characterWindow, canvas);
        std::string report = reel.play(row, seed);
        if (report == "no factory")
            unbuilt.push_back(std::to_string(row.id));
        printf("%-15s %s\n", row.name, report.c_str());
        fflush(stdout);
    }
    std::string list;
    for (const std::string& id : unbuilt)
        list += (list.empty() ? "" : ", ") + id;
    printf("ids without a factory: %s\n", list.empty() ? "none" : list.c_str());
    funLevel = storedFunLevel;
    delete characterWindow;
    characterWindow = nullptr;
    return 0;
}
