#include "engine/activity.h"

#include <cstring>
#include <new>

uint32_t frameTick = 0;

namespace {

ActivityHost* gActivityHost = nullptr;

} // namespace

IdList::IdList(int value) : length(0), values(nullptr) {
    append(value);
}

IdList::IdList(const IdList& other) : length(0), values(nullptr) {
    *this = other;
}

IdList& IdList::operator=(const IdList& other) {
    if (this == &other)
        return *this;
    int* copy = nullptr;
    if (other.length > 0) {
        copy = new (std::nothrow) int[other.length];
        if (!copy)
            return *this;
        memcpy(copy, other.values, sizeof(int) * other.length);
    }
    delete[] values;
    values = copy;
    length = copy ? other.length : 0;
    return *this;
}

IdList::~IdList() {
    delete[] values;
}

// Grows by exactly one element; without memory the list stays as it was.
void IdList::append(int value) {
    int* grown = new (std::nothrow) int[length + 1];
    if (!grown)
        return;
    if (length > 0)
        memcpy(grown, values, sizeof(int) * length);
    grown[length] = value;
    delete[] values;
    values = grown;
    ++length;
}

bool IdList::contains(int value) const {
    for (int i = 0; i < length; ++i) {
        if (values[i] == value)
            return true;
    }
    return false;
}

Activity::Activity()
    : startTime(0), name("NIE PRZYPISANA CZYNNOSC"), frame(0), counter(0), lastMoveTime(0), frameCount(0) {}

Activity::~Activity() = default;

void Activity::centerOn(Point p) {
    int w = rect.width();
    int h = rect.height();
    rect = Rect(0, 0, w, h);
    rect.offsetBy(p);
    rect.offsetBack(Point(w / 2, h / 2));
}

int Activity::draw(HDC dc, DWORD rop, BOOL atRect) {
    if (frame < 0 || frame >= frameCount)
        return 0;
    int x = atRect ? rect.left : 0;
    int y = atRect ? rect.top : 0;
    return blitBitmap(dc, x, y, frameBitmaps[frame].get(), 0, 0, frameSizes[frame].x, frameSizes[frame].y, rop);
}

void Activity::startClock() {
    if (startTime != 0)
        return;
    startTime = frameTick;
    lastMoveTime = frameTick;
}

// The left test comes first: a rectangle wider than the screen ends with its right edge on the screen edge.
void Activity::keepInsideX() {
    if (rect.left < 0)
        rect.offset(-rect.left, 0);
    int width = screenWidth();
    if (rect.right > width)
        rect.offset(width - rect.right, 0);
}

void Activity::keepInsideY() {
    if (rect.top < 0)
        rect.offset(0, -rect.top);
    int height = screenHeight();
    if (rect.bottom > height)
        rect.offset(0, height - rect.bottom);
}

Rect Activity::moveBy(Point delta) {
    rect.offsetBy(delta);
    return rect;
}

void Activity::fitToFrame(Anchor horizontal, Anchor vertical) {
    if (frame < 0 || frame >= frameCount)
        return;
    rect.setWidth(frameSizes[frame].x, horizontal);
    rect.setHeight(frameSizes[frame].y, vertical);
}

int Activity::output(Rect& outRect, Region& outShape) {
    // Copying a Region that holds nothing leaves the shape empty: a frame without an outline shows nothing.
    static const Region kNoOutline;
    outRect = rect;
    const bool known = frame >= 0 && frame < frameCount;
    outShape.copyFrom(known ? frameRegions[frame] : kNoOutline);
    return 1;
}

void setActivityHost(ActivityHost* host) {
    gActivityHost = host;
}

ActivityHost* activityHost() {
    return gActivityHost;
}

void spawn(Activity* activity) {
    if (!activity)
        return;
    if (!gActivityHost) {
        delete activity; // nobody to run it: the chain ends here
        return;
    }
    gActivityHost->addActivity(activity);
}
