// Drives an open dialog from inside its own message loop: each step runs from a thread timer, one step per tick.
#pragma once

#include <functional>
#include <vector>

#include "engine/platform.h"

class DialogSteps {
public:
    // Starts the timer; the steps run while some message loop dispatches the thread's messages.
    explicit DialogSteps(std::vector<std::function<void()>> steps, UINT intervalMs = 30);
    ~DialogSteps();
    DialogSteps(const DialogSteps&) = delete;
    DialogSteps& operator=(const DialogSteps&) = delete;

    int done() const;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<std::function<void()>> steps;
    size_t next;
    UINT_PTR timer;
};

// Drops pending WM_QUIT messages; returns the last exit code, or -12345 when there was none.
int takeQuit();
