// Times the character window's frame update (onTimer) with 1, 10, 100 and 255 walking figures.
// Runs under Wine on the test display: tools/bench.sh. "frame_bench away N" instead runs the real main loop with
// N figures all in a pause out of sight (tools/bench-light.sh).
#include "engine/platform.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/main_loop.h"
#include "activities/absence.h"
#include "app/startup.h"
#include "desktop/character_window.h"
#include "engine/desk_layout.h"

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

struct Timing {
    double median;
    double mean;
    double max;
    double cpu;
};

// Runs `frames` frame updates (after a warm-up) of a fresh window with `count` walking figures.
Timing timeFrames(CharacterWindow* window, int count, int frames, LARGE_INTEGER frequency) {
    const int warmUp = 10;
    characterWindow = window;
    setActivityHost(characterWindow);
    if (!characterWindow->create(GetModuleHandleA(nullptr), nullptr)) {
        printf("no window\n");
        exit(1);
    }
    // Spread over the screen (the desk) in rows, so that the shapes do not all pile up in one place.
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
    Timing timing;
    timing.cpu = (threadCpuMicroseconds() - cpuStart) / frames;
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    timing.median = times[times.size() / 2];
    timing.mean = sum / static_cast<double>(times.size());
    timing.max = times.back();
    DestroyWindow(characterWindow->handle);
    delete characterWindow;
    characterWindow = nullptr;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    return timing;
}

// The passes of the real main loop with `count` figures, every one in a pause out of sight for ten minutes, until
// the window is closed (mibo_remote close); prints the passes run: the case "nothing shows" of tools/bench-light.sh.
int runAway(int count) {
    characterWindow = new CharacterWindow;
    setActivityHost(characterWindow);
    if (!characterWindow->create(GetModuleHandleA(nullptr), nullptr))
        return 1;
    frameTick = GetTickCount();
    for (int i = 0; i < count; ++i) {
        AbsenceActivity* away = new AbsenceActivity;
        away->endTime = frameTick + 600000;
        characterWindow->addActivity(away);
    }
    const UINT newCharacter = newCharacterMessage();
    unsigned passes = 0;
    timeBeginPeriod(1);
    const DWORD start = GetTickCount();
    while (mainLoopPass(*characterWindow, newCharacter))
        ++passes;
    const DWORD elapsed = GetTickCount() - start;
    timeEndPeriod(1);
    printf("passes %u ms %lu\n", passes, static_cast<unsigned long>(elapsed));
    delete characterWindow;
    characterWindow = nullptr;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // At the scale the program would take on this screen (tools/with-display.sh with MIBO_DPI=192 gives 2).
    setDisplayScale(scaleForDpi(primaryScreenDpi()));
    // On the desk the program would take: every monitor (tools/with-two-monitors.sh gives two).
    takeDesk(readDeskLayout(true), true);
    if (argc >= 3 && strcmp(argv[1], "away") == 0)
        return runAway(atoi(argv[2]));

    const int counts[] = {1, 10, 100, 255};
    const int framesFor[] = {200, 200, 80, 40};
    const int rounds = 2;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    printf("| figures | median us | mean us | max us | CPU us |\n|---:|---:|---:|---:|---:|\n");
    for (int c = 0; c < 4; ++c) {
        // Over the rounds: the median of the medians, the mean of the means, the largest maximum, the mean CPU.
        std::vector<double> medians;
        double mean = 0, max = 0, cpu = 0;
        for (int round = 0; round < rounds; ++round) {
            const Timing t = timeFrames(new CharacterWindow, counts[c], framesFor[c], frequency);
            medians.push_back(t.median);
            mean += t.mean / rounds;
            max = std::max(max, t.max);
            cpu += t.cpu / rounds;
        }
        std::sort(medians.begin(), medians.end());
        printf("| %d | %.0f | %.0f | %.0f | %.0f |\n", counts[c], medians[(medians.size() - 1) / 2], mean, max, cpu);
        fflush(stdout);
    }

    // The frame clock itself: passes of the real loop with one walking figure, sleeping wait.
    characterWindow = new CharacterWindow;
    setActivityHost(characterWindow);
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
