#include "support/dialog_steps.h"

namespace {
DialogSteps* gRunning = nullptr;
}

DialogSteps::DialogSteps(std::vector<std::function<void()>> list, UINT intervalMs)
    : steps(std::move(list)), next(0), timer(0) {
    gRunning = this;
    timer = SetTimer(nullptr, 0, intervalMs, tick);
}

DialogSteps::~DialogSteps() {
    if (timer)
        KillTimer(nullptr, timer);
    gRunning = nullptr;
}

int DialogSteps::done() const {
    return static_cast<int>(next);
}

void CALLBACK DialogSteps::tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogSteps* self = gRunning;
    if (!self || self->next >= self->steps.size())
        return;
    // Advanced first: a step may run a nested loop that dispatches the next tick.
    std::function<void()> step = self->steps[self->next++];
    step();
}

int takeQuit() {
    int code = -12345;
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        code = static_cast<int>(message.wParam);
    return code;
}
