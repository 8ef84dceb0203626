#include "engine/seams.h"

#include <mmsystem.h>
#include <dsound.h>

#include "engine/resource_ids.h"

Seams gSeams = {
    MessageBoxA,  MessageBoxA,       ShellExecuteA, Shell_NotifyIconA,
    SetWindowRgn, DirectSoundCreate, sleepUntil,    RESOURCE_NAME(IDD_SETTINGS),
};

namespace {

// Signed distance from now to the deadline: positive while it lies ahead, also across the 49.7-day wrap.
int32_t remainingUntil(uint32_t deadline) {
    return static_cast<int32_t>(deadline - GetTickCount());
}

} // namespace

// Messages that arrive meanwhile wait for the next pass anyway (one per pass), so waking for them
// would gain nothing: a plain Sleep is enough.
void sleepUntil(uint32_t deadline) {
    for (int32_t remaining = remainingUntil(deadline); remaining > 0; remaining = remainingUntil(deadline))
        Sleep(static_cast<DWORD>(remaining));
}

void spinUntil(uint32_t deadline) {
    while (remainingUntil(deadline) > 0) {
    }
}
