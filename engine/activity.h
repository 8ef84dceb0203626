// The base of everything that moves on the screen, and the hand-off of the figure from one activity to the next.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/geometry.h"
#include "engine/handles.h"
#include "text/string.h"

// Milliseconds of GetTickCount(), sampled once per main-loop pass: the only clock activities read.
extern uint32_t frameTick;

// A list of activity ids (allowed or excluded sets for the picker).
class IdList {
public:
    IdList() : length(0), values(nullptr) {}
    explicit IdList(int value);
    IdList(const IdList& other);
    IdList& operator=(const IdList& other);
    ~IdList();

    void append(int value);
    bool contains(int value) const;

    int length;
    int* values;
};

class Activity {
public:
    Activity();
    Activity(const Activity&) = delete;
    Activity& operator=(const Activity&) = delete;

    virtual void centerOn(Point p);
    virtual int draw(HDC dc, DWORD rop, BOOL atRect);
    // 1 while the activity runs (outRect and outShape filled), 0 once it has handed over to its successors.
    virtual int step(Rect& outRect, Region& outShape) = 0;
    // The last frameTick up to which a step would certainly change nothing of what it shows; frameTick when it
    // cannot tell. The main loop may sleep meanwhile while nothing shows.
    virtual uint32_t quietUntil() const { return frameTick; }
    virtual ~Activity();

    // Loads frames base+"1" .. base+count from the program's resources.
    void loadFrames(const char* base, int count);
    void startClock();
    void keepInsideX();
    void keepInsideY();
    Rect moveBy(Point delta);

    uint32_t startTime; // frameTick of the first step; 0 before it
    String name;
    int frame; // index of the frame shown
    int counter;
    uint32_t lastMoveTime; // frameTick of the last move
    Rect rect;
    // The loaded frames, index for index: the size, the frame-local outline and the picture of each.
    std::unique_ptr<Point[]> frameSizes;
    int frameCount;
    std::unique_ptr<Region[]> frameRegions;
    std::unique_ptr<Bitmap[]> frameBitmaps;

protected:
    // Elapsed time since the first step in whole 50-ms units.
    uint32_t elapsedUnits() const { return (frameTick - startTime) / 50; }
    // Whole 50-ms units since the last move; the remainder is dropped when lastMoveTime is reset.
    uint32_t moveUnits() const { return (frameTick - lastMoveTime) / 50; }
    // Resizes rect to the bitmap of the current frame, keeping the given edges still.
    void fitToFrame(Anchor horizontal, Anchor vertical);
    // The common end of a running step: hands out rect and a copy of the current frame's outline; returns 1.
    int output(Rect& outRect, Region& outShape);
};

// The place spawned activities go to and run in: the character window. It owns what it is handed.
class ActivityHost {
public:
    // Stores the activity in a free slot; with every slot taken the newcomer is destroyed.
    virtual void addActivity(Activity* activity) = 0;

protected:
    ~ActivityHost() = default;
};

// Where spawn hands activities from now on; null (the start) makes spawn destroy them: nobody would run them.
void setActivityHost(ActivityHost* host);
ActivityHost* activityHost();

// Hands a new activity to the host; null does nothing.
void spawn(Activity* activity);

// Shows the load-failure message and asks the program to quit.
void reportLoadFailure();
