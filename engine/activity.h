// The base of everything that moves on the screen, and the hand-off of the figure from one activity to the next.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "text/string.h"

// Milliseconds of GetTickCount(), sampled once per main-loop pass: the only clock activities read.
extern uint32_t frameTick;

// Activities constructed and not yet destroyed, in the whole program: the slots and whatever is being handed over.
extern int32_t liveActivities;

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

    uint32_t startTime;     // frameTick of the first step; 0 before it
    String name;
    int frame;              // index of the frame shown
    int counter;
    uint32_t lastMoveTime;  // frameTick of the last move
    Rect rect;
    Point* frameSizes;
    int frameCount;
    Region** frameRegions;  // frame-local outlines
    HBITMAP* frameBitmaps;

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

// Hands a new activity to the character window; null does nothing.
void spawn(Activity* activity);

// Shows the load-failure message and asks the program to quit.
void reportLoadFailure();

// The message box that reportLoadFailure shows; tests replace it so that nothing blocks.
extern int (WINAPI* loadFailureMessageBox)(HWND, LPCSTR, LPCSTR, UINT);
