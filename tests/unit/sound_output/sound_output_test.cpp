#include "activities/scene_table.h"
#include "engine/platform.h"
#include "engine/seams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "activities/dog.h"
#include "activities/piano.h"
#include "activities/short_scenes.h"
#include "activities/snowman_reindeer.h"
#include "app/startup.h"
#include "engine/activity.h"
#include "engine/picker.h"
#include "sound/directsound.h"
#include "sound/sound_clip.h"
#include "sound/sound_player.h"
#include "support/test_support.h"

// Real playback under Wine. The ctest entries set the environment: MIBO_SOUND_CAPTURE when Wine's
// ALSA output goes into that file (so what is mixed can be read back), MIBO_SOUND_NO_DEVICE when
// the ALSA configuration has no usable output at all.

namespace {

// The capture file, read through Wine's Z: drive. Silence is all-zero bytes whatever sample
// format the mixer chose.
class Capture {
public:
    Capture() {
        const char* unixPath = std::getenv("MIBO_SOUND_CAPTURE");
        if (unixPath) path_ = std::string("Z:") + unixPath;
    }
    bool present() const { return !path_.empty(); }
    // The ALSA file output may append to an earlier run's capture.
    void reset() const { DeleteFileA(path_.c_str()); }
    long mark() const {
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (!f) return 0;
        std::fseek(f, 0, SEEK_END);
        long size = std::ftell(f);
        std::fclose(f);
        return size;
    }
    // Bytes written since the mark (all of them if the device reopened the file meanwhile).
    std::vector<unsigned char> since(long mark) const {
        std::vector<unsigned char> bytes;
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (!f) return bytes;
        std::fseek(f, 0, SEEK_END);
        if (std::ftell(f) < mark) mark = 0;
        std::fseek(f, mark, SEEK_SET);
        unsigned char block[4096];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + n);
        std::fclose(f);
        return bytes;
    }

private:
    std::string path_;
};

size_t loudBytes(const std::vector<unsigned char>& bytes) {
    size_t n = 0;
    for (unsigned char b : bytes)
        if (b != 0) ++n;
    return n;
}

// Lets the mixer run for a while with the message queue served, as the main loop would.
void runFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
}

class WindowOwner {
public:
    WindowOwner()
        : window(CreateWindowA("STATIC", "mibo sound test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)) {}
    ~WindowOwner() {
        if (window) DestroyWindow(window);
    }
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
    HWND window;
};

// The one global player for the length of a test.
class PlayerScope {
public:
    PlayerScope() : player(new SoundPlayer) {
        moduleInstance = GetModuleHandleA(nullptr);
        soundPlayer = player;
    }
    ~PlayerScope() {
        soundPlayer = nullptr;
        delete player;
    }
    PlayerScope(const PlayerScope&) = delete;
    PlayerScope& operator=(const PlayerScope&) = delete;
    SoundPlayer* player;
};

HRESULT WINAPI noDirectSound(const GUID*, IDirectSound**, IUnknown*) { return DSERR_NODRIVER; }

void expectSevenHandles(SoundMode mode) {
    SoundHandle handles[] = {soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc};
    for (SoundHandle h : handles) {
        ASSERT_NE(nullptr, h);
        if (mode == SoundMode::Fallback) {
            EXPECT_EQ(0, std::memcmp(h, "RIFF", 4));
        }
    }
}

}  // namespace

TEST(SoundOutput, LupIsHeardThroughDirectSoundAndNothingWhenSwitchedOff) {
    Capture capture;
    if (!capture.present()) GTEST_SKIP() << "MIBO_SOUND_CAPTURE is not set";
    capture.reset();
    WindowOwner owner;
    ASSERT_NE(nullptr, owner.window);
    PlayerScope scope;
    loadSounds(owner.window);
    ASSERT_EQ(SoundMode::DirectSound, scope.player->mode) << "the capture device did not open";
    EXPECT_EQ(7, scope.player->clipCount);
    expectSevenHandles(SoundMode::DirectSound);

    runFor(300);
    long before = capture.mark();
    EXPECT_EQ(0u, loudBytes(capture.since(0))) << "output before anything played";
    playSound(soundLup);
    runFor(700);
    std::vector<unsigned char> heard = capture.since(before);
    EXPECT_GT(heard.size(), 0u) << "the device wrote nothing";
    EXPECT_GT(loudBytes(heard), heard.size() / 100) << "lup was not heard";

    scope.player->close();
    EXPECT_EQ(SoundMode::Off, scope.player->mode);
    long off = capture.mark();
    playSound(soundLup);
    playSound(soundWarc);
    runFor(500);
    EXPECT_EQ(0u, loudBytes(capture.since(off))) << "sound played while switched off";

    // On again: all seven loaded anew, and they sound.
    loadSounds(owner.window);
    ASSERT_EQ(SoundMode::DirectSound, scope.player->mode);
    EXPECT_EQ(7, scope.player->clipCount);
    expectSevenHandles(SoundMode::DirectSound);
    runFor(200);
    long again = capture.mark();
    playSound(soundBat);
    runFor(800);
    std::vector<unsigned char> bat = capture.since(again);
    EXPECT_GT(loudBytes(bat), bat.size() / 100) << "bat was not heard after switching on again";
}

// The scenes' own sounds: "hello" as the cap is raised (when the scene is made), "wyb" as the present bursts;
// with sound switched off the same scenes are silent.
TEST(SoundOutput, TheScenesAreHeardAndSilentWithSoundOff) {
    Capture capture;
    if (!capture.present()) GTEST_SKIP() << "MIBO_SOUND_CAPTURE is not set";
    capture.reset();
    LoadFailureCounter failures;
    WindowOwner owner;
    PlayerScope scope;
    loadSounds(owner.window);
    ASSERT_EQ(SoundMode::DirectSound, scope.player->mode) << "the capture device did not open";
    const Rect where(400, 400, 475, 483);
    struct Row {
        const char* label;
        bool on;
    } rows[] = {{"hello and wyb", true}, {"switched off", false}};
    for (const Row& row : rows) {
        if (!row.on) scope.player->close();
        runFor(300);
        long before = capture.mark();
        delete new HelloActivity(where);
        runFor(1400);
        std::vector<unsigned char> hello = capture.since(before);
        ExplosionActivity boom(where);
        Rect shown;
        Region shape;
        runFor(200);
        long burst = capture.mark();
        for (uint32_t t = 0; t <= 600; t += 50) {
            frameTick = 500000 + t;
            boom.step(shown, shape);
        }
        runFor(1000);
        std::vector<unsigned char> wyb = capture.since(burst);
        if (row.on) {
            EXPECT_GT(loudBytes(hello), hello.size() / 100) << "hello was not heard";
            EXPECT_GT(loudBytes(wyb), wyb.size() / 100) << "wyb was not heard";
        } else {
            EXPECT_EQ(0u, loudBytes(hello)) << "hello played while switched off";
            EXPECT_EQ(0u, loudBytes(wyb)) << "wyb played while switched off";
        }
    }
}

TEST(SoundOutput, TheFallbackIsHeardWhenDirectSoundWillNotOpen) {
    Capture capture;
    if (!capture.present()) GTEST_SKIP() << "MIBO_SOUND_CAPTURE is not set";
    capture.reset();
    decltype(Seams::directSoundCreate) saved = gSeams.directSoundCreate;
    gSeams.directSoundCreate = noDirectSound;
    WindowOwner owner;
    PlayerScope scope;
    loadSounds(owner.window);
    gSeams.directSoundCreate = saved;
    ASSERT_EQ(SoundMode::Fallback, scope.player->mode);
    expectSevenHandles(SoundMode::Fallback);

    playSound(soundLup);
    runFor(700);
    std::vector<unsigned char> heard = capture.since(0);
    EXPECT_GT(loudBytes(heard), heard.size() / 100) << "sndPlaySoundA did not sound";

    scope.player->close();
    EXPECT_EQ(SoundMode::Off, scope.player->mode);
    long off = capture.mark();
    playSound(soundOho);
    runFor(500);
    EXPECT_EQ(0u, loudBytes(capture.since(off))) << "sound played while switched off";
}

TEST(SoundOutput, WithoutAnyDeviceTheProgramFallsBack) {
    if (!std::getenv("MIBO_SOUND_NO_DEVICE")) GTEST_SKIP() << "MIBO_SOUND_NO_DEVICE is not set";
    WindowOwner owner;
    PlayerScope scope;
    loadSounds(owner.window);
    EXPECT_EQ(SoundMode::Fallback, scope.player->mode);
    EXPECT_EQ(nullptr, scope.player->directSound.get());
    expectSevenHandles(SoundMode::Fallback);
    playSound(soundLup);
    playSound(soundHello);   // cuts lup off
    runFor(100);
    scope.player->close();
    EXPECT_EQ(SoundMode::Off, scope.player->mode);
}

// The scenes' own sounds through the real device: the reindeer's crack at 400 ms, the dog's "warc" and the piano's
// recording at construction. Pianos come one at a time, and each takes the next copy while the last still plays.
TEST(SoundOutput, TheScenesAreHeard) {
    Capture capture;
    if (!capture.present()) GTEST_SKIP() << "MIBO_SOUND_CAPTURE is not set";
    capture.reset();
    LoadFailureCounter failures; // a frame set not drawn yet changes nothing here
    WindowOwner owner;
    PlayerScope scope;
    loadSounds(owner.window);
    ASSERT_EQ(SoundMode::DirectSound, scope.player->mode) << "the capture device did not open";
    const Rect where(400, 500, 475, 583);
    struct Row {
        const char* sound;
        void (*play)(const Rect& where);
    } rows[] = {
        {"bat", [](const Rect& at) {
             ReindeerActivity reindeer(at);
             Rect shown;
             Region shape;
             frameTick = 900000;
             reindeer.step(shown, shape);
             frameTick = 900400;
             reindeer.step(shown, shape);
         }},
        {"warc", [](const Rect& at) { DogActivity dog(at); }},
        {"piano", [](const Rect& at) { delete new PianoActivity(at); }},
    };
    for (const Row& row : rows) {
        // Each scene from silence: "warc" and "piano" last longer than a row.
        long quiet = capture.mark();
        runFor(300);
        EXPECT_EQ(0u, loudBytes(capture.since(quiet))) << "before " << row.sound;
        long before = capture.mark();
        row.play(where);
        runFor(800);
        std::vector<unsigned char> heard = capture.since(before);
        EXPECT_GT(loudBytes(heard), heard.size() / 100) << row.sound << " was not heard";
        scope.player->close();
        loadSounds(owner.window);
        ASSERT_EQ(SoundMode::DirectSound, scope.player->mode);
    }

    const int32_t savedPiano = pianoPlaying;
    SoundClip* clip = static_cast<SoundClip*>(soundPiano);
    ASSERT_NE(nullptr, clip);
    for (int piano = 1; piano <= 3; ++piano) {
        pianoPlaying = 0;
        Activity* playing = pickActivity(where, IdList(kPianoId), IdList());
        ASSERT_NE(nullptr, playing) << "piano " << piano;
        EXPECT_EQ(nullptr, pickActivity(where, IdList(kPianoId), IdList())) << "two pianos at once";
        EXPECT_EQ((piano - 1) % clip->copyCount, clip->current) << "piano " << piano << " took the next copy";
        DWORD status = 0;
        clip->copies[clip->current]->GetStatus(&status);
        EXPECT_TRUE(status & DSBSTATUS_PLAYING) << "piano " << piano;
        delete playing;
        runFor(200);
    }
    pianoPlaying = savedPiano;
}
