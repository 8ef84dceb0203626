// mibo.exe with the frame update of old (legacy_frame.cpp): only for the CPU comparison of tools/bench.sh,
// never shipped.
#include <new>

#include "app/startup.h"
#include "legacy_frame.h"

namespace {

CharacterWindow* newLegacyWindow() {
    return new (std::nothrow) LegacyCharacterWindow;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    makeCharacterWindow = newLegacyWindow;
    return runMibo(instance);
}
