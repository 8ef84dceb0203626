#include "app/main_loop.h"

#include <mmsystem.h>

#include "activities/scene_table.h"
#include "desktop/character_window.h"
#include "engine/activity.h"
#include "engine/desk_layout.h"
#include "engine/picker.h"
#include "engine/seams.h"

Rect newFigurePlace() {
    static int ordinal = 0;
    return Rect(0, 0, 0, 0).offsetCopy(newFigurePoint(sceneDesk(), ordinal++));
}

UINT newCharacterMessage() {
    return RegisterWindowMessageA("tworz nowego miboa Rida2");
}

namespace {

// A pass while the figures are aside: no frame, only messages. The pass waits for one, or for the next look at the
// foreground window (within a second), then handles all that came. A request for a new figure is counted; the
// figure appears once Mibo is back.
int asidePass(CharacterWindow& window, UINT newCharacter) {
    StepAside& aside = window.stepAside();
    if (!aside.isAway())
        aside.setAway(window.hideFigures());
    MsgWaitForMultipleObjectsEx(0, nullptr, aside.untilPoll(GetTickCount()), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (aside.wanted() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return 0;
        if (newCharacter != 0 && message.message == newCharacter) {
            aside.keepFigureForLater();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    aside.countPause(GetTickCount());
    return 1;
}

} // namespace

// The scenes read frameTick only, and frameTick is the scenes' clock of StepAside: the real tick less the time
// spent aside. So a scene stands still while Mibo is aside and goes on afterwards where it stopped, neither cut
// short nor sped through, however long the pause was.
int mainLoopPass(CharacterWindow& window, UINT newCharacter) {
    StepAside& aside = window.stepAside();
    if (aside.pollDue(GetTickCount()))
        aside.poll(GetTickCount());
    if (aside.wanted())
        return asidePass(window, newCharacter);
    // Back: the first frame shapes the window anew (hideFigures made it forget its outlines).
    aside.setAway(false);
    if (aside.takeWaitingFigure())
        spawn(pickActivity(newFigurePlace(), IdList(), IdList()));
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        // -1 (an error) is not special: the pass goes on as if a message had been fetched.
        if (GetMessageA(&message, nullptr, 0, 0) == 0)
            return 0;
        if (newCharacter != 0 && message.message == newCharacter)
            spawn(pickActivity(newFigurePlace(), IdList(), IdList()));
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (aside.wanted())
        return 1; // a message (posted, or sent and handled while looking) sent the figures aside: no frame
    // Sampled after the message: its handling is not part of the 50 ms.
    const uint32_t now = GetTickCount();
    frameTick = aside.sceneClock(now);
    gSeams.frameWait(now + 50);
    window.onTimer(0);
    // Posted on every pass until the loop fetches WM_QUIT.
    if (window.sawDisplayChange())
        PostQuitMessage(0);
    // Nothing shows and no figure can change for a while: the loop sleeps till then, or till a message comes.
    if (window.quietAfterFrame() > 0)
        MsgWaitForMultipleObjectsEx(0, nullptr, window.quietAfterFrame(), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    return 1;
}

void runMainLoop(CharacterWindow& window) {
    UINT newCharacter = newCharacterMessage();
    // Sleep's default granularity on Windows is 15.6 ms; 1 ms keeps the 50-ms frame close to 50 ms.
    timeBeginPeriod(1);
    while (mainLoopPass(window, newCharacter)) {
    }
    timeEndPeriod(1);
}
