// Times the character window's frame update (onTimer) with 1, 10, 100 and 255 walking figures.
// Runs under Wine on the test display: tools/bench.sh.
#include "engine/platform.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_loop.h"
#include "app/startup.h"
#include "desktop/character_window.h"

namespace {

// A figure walking right along a row with the real walking frames, as the walk does: a new pose every
// 200 ms, 9 pixels per 50 ms, the window wraps it around the screen sides.
class BenchWalk : public Activity {
public:
    BenchWalk(int x, int y) {
        loadFrames("IDZIE_P_", 4);
        rect = Rect(x, y, x, y);
        fitToFrame(AnchorCenter, AnchorEnd);
    }
    int step(Rect& outRect, Region& outShape) override {
        startClock();
        frame = static_cast<int>((elapsedUnits() / 4) % 4);
        fitToFrame(AnchorCenter, AnchorEnd);
        rect.offset(9 * static_cast<int>(moveUnits()), 0);
        lastMoveTime = frameTick;
        return output(outRect, outShape);
    }
};

// CPU time of this thread (user and kernel) in microseconds; under Wine it advances in 10-ms ticks.
double threadCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto count = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (count(kernel) + count(user)) / 10.0;
}

double microseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    const int counts[] = {1, 10, 100, 255};
    const int warmUp = 20;
    const int frames = 400;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    printf("| figures | median us/frame | mean us/frame | max us/frame | CPU us/frame |\n|---:|---:|---:|---:|---:|\n");
    for (int count : counts) {
        characterWindow = new CharacterWindow;
        if (!characterWindow->create(GetModuleHandleA(nullptr), nullptr)) {
            printf("no window\n");
            return 1;
        }
        // Spread over the screen in rows, so that the shapes do not all pile up in one place.
        for (int i = 0; i < count; ++i)
            characterWindow->addActivity(new BenchWalk((i * 97) % screenWidth(), 100 + (i % 8) * 85));
        frameTick = GetTickCount();
        std::vector<double> times;
        double cpuStart = 0;
        for (int f = 0; f < warmUp + frames; ++f) {
            if (f == warmUp)
                cpuStart = threadCpuMicroseconds();
            frameTick += 50;
            LARGE_INTEGER before, after;
            QueryPerformanceCounter(&before);
            characterWindow->onTimer(0);
            QueryPerformanceCounter(&after);
            if (f >= warmUp)
                times.push_back(microseconds(before, after, frequency));
        }
        double cpu = (threadCpuMicroseconds() - cpuStart) / frames;
        std::sort(times.begin(), times.end());
        double sum = 0;
        for (double t : times)
            sum += t;
        printf("| %d | %.0f | %.0f | %.0f | %.0f |\n", count, times[times.size() / 2], sum / times.size(),
               times.back(), cpu);
        fflush(stdout);
        DestroyWindow(characterWindow->handle);
        delete characterWindow;
        characterWindow = nullptr;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // The frame clock itself: passes of the real loop with one walking figure, sleeping wait.
    characterWindow = new CharacterWindow;
    if (characterWindow->create(GetModuleHandleA(nullptr), nullptr)) {
        characterWindow->addActivity(new BenchWalk(100, 700));
        timeBeginPeriod(1);
        const UINT newCharacter = newCharacterMessage();
        const int passes = 100;
        std::vector<double> periods;
        LARGE_INTEGER previous, now;
        QueryPerformanceCounter(&previous);
        for (int i = 0; i < passes; ++i) {
            mainLoopPass(*characterWindow, newCharacter);
            QueryPerformanceCounter(&now);
            periods.push_back(microseconds(previous, now, frequency) / 1000.0);
            previous = now;
        }
        timeEndPeriod(1);
        std::sort(periods.begin(), periods.end());
        double sum = 0;
        for (double p : periods)
            sum += p;
        printf("\n| main-loop pass, 1 figure | min ms | median ms | mean ms | max ms |\n|---|---:|---:|---:|---:|\n");
        printf("| sleeping wait | %.1f | %.1f | %.1f | %.1f |\n", periods.front(), periods[passes / 2], sum / passes,
               periods.back());
        DestroyWindow(characterWindow->handle);
    }
    delete characterWindow;
    characterWindow = nullptr;
    return 0;
}
