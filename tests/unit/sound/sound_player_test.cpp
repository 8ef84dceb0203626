#include "engine/platform.h"
#include "engine/seams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "app/startup.h"
#include "sound/sound_clip.h"
#include "sound/sound_player.h"
#include "support/sound_fakes.h"

namespace {

FakeDirectSound* fakeDevice = nullptr;
HRESULT fakeCreateResult = DS_OK;

HRESULT WINAPI createFake(const GUID*, IDirectSound** out, IUnknown*) {
    if (FAILED(fakeCreateResult)) return fakeCreateResult;
    *out = fakeDevice;
    return DS_OK;
}

// Every test gets a fresh fake device behind SoundPlayer::open and no global player.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeDevice = &device;
        fakeCreateResult = DS_OK;
        savedFactory = gSeams.directSoundCreate;
        gSeams.directSoundCreate = createFake;
    }
    void TearDown() override {
        gSeams.directSoundCreate = savedFactory;
        fakeDevice = nullptr;
        soundPlayer = nullptr;
    }
    FakeBuffer* buffer(const SoundClip* clip, int copy) { return static_cast<FakeBuffer*>(clip->copies[copy].get()); }
    std::vector<unsigned char> samples(const char* name) {
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        EXPECT_TRUE(findWaveResource(module, name, nullptr, &data, &size)) << name;
        return std::vector<unsigned char>(data, data + size);
    }

    FakeDirectSound device;
    decltype(Seams::directSoundCreate) savedFactory = nullptr;
    HMODULE module = GetModuleHandleA(nullptr);
};

}  // namespace

TEST_F(SoundTest, VolumePercentageKeepsItsLowByteAndAnythingAbove100IsQuietest) {
    struct Row {
        int32_t percentage;
        int32_t volume;
    } rows[] = {{100, 0}, {50, -1500}, {0, -3000}, {101, -3000}, {255, -3000}, {356, 0}, {1, -2970}, {-156, 0}};
    for (const Row& row : rows) EXPECT_EQ(row.volume, soundVolume(row.percentage)) << row.percentage;
}

TEST_F(SoundTest, PlayTouchesPanAndVolumeOnlyWhenTheyAreNotZero) {
    struct Row {
        int32_t pan;
        int32_t percentage;
        int panCalls;
        LONG pan_;
        int volumeCalls;
        LONG volume;
    } rows[] = {
        {0, 100, 0, 0, 0, 0},          // every caller in the program: the buffer's own settings stand
        {0, 356, 0, 0, 0, 0},          // low byte 100
        {0, 50, 0, 0, 1, -1500},
        {0, 0, 0, 0, 1, -3000},
        {0, 101, 0, 0, 1, -3000},
        {-600, 100, 1, -600, 0, 0},
        {2500, 75, 1, 2500, 1, -750},
    };
    for (const Row& row : rows) {
        FakeDirectSound local;
        fakeDevice = &local;
        SoundPlayer player;
        player.open(nullptr);
        ASSERT_EQ(SoundMode::DirectSound, player.mode);
        SoundHandle lup = player.load(module, "lup", 2);
        ASSERT_NE(nullptr, lup);
        player.play(lup, row.pan, row.percentage);
        FakeBuffer* played = buffer(static_cast<SoundClip*>(lup), 0);
        EXPECT_EQ(1, played->plays);
        EXPECT_EQ(0u, played->playFlags) << "plays once, never loops";
        EXPECT_EQ(row.panCalls, played->panCalls) << row.pan << " " << row.percentage;
        EXPECT_EQ(row.pan_, played->pan) << row.pan << " " << row.percentage;
        EXPECT_EQ(row.volumeCalls, played->volumeCalls) << row.pan << " " << row.percentage;
        EXPECT_EQ(row.volume, played->volume) << row.pan << " " << row.percentage;
    }
}

TEST_F(SoundTest, BusyCopiesRotateAndTheNextInTurnIsCutOff) {
    struct Row {
        const char* name;
        int copies;
        int requests;
        std::vector<int> plays;   // per copy
        std::vector<int> stops;   // per copy; a stop is always followed by a rewind to 0
        int current;
    } rows[] = {
        {"piano", 6, 6, {1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}, 5},
        {"piano", 6, 7, {2, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 0}, 0},   // the seventh restarts copy 0
        {"piano", 6, 8, {2, 2, 1, 1, 1, 1}, {1, 1, 0, 0, 0, 0}, 1},
        {"lup", 2, 2, {1, 1}, {0, 0}, 1},                               // two quick requests both sound
        {"lup", 2, 3, {2, 1}, {1, 0}, 0},
        {"lup", 2, 5, {3, 2}, {2, 1}, 0},
        {"wyb", 3, 4, {2, 1, 1}, {1, 0, 0}, 0},
    };
    for (const Row& row : rows) {
        SoundPlayer player;
        player.open(nullptr);
        SoundClip* clip = static_cast<SoundClip*>(player.load(module, row.name, row.copies));
        ASSERT_NE(nullptr, clip) << row.name;
        ASSERT_EQ(row.copies, clip->copyCount);
        for (int i = 0; i < row.requests; ++i) player.play(clip, 0, 100);
        for (int c = 0; c < row.copies; ++c) {
            FakeBuffer* b = buffer(clip, c);
            EXPECT_EQ(row.plays[c], b->plays) << row.name << " x" << row.requests << " copy " << c;
            EXPECT_EQ(row.stops[c], b->stops) << row.name << " x" << row.requests << " copy " << c;
            EXPECT_EQ(std::vector<DWORD>(row.stops[c], 0), b->positions) << row.name << " copy " << c;
            EXPECT_TRUE(b->status & DSBSTATUS_PLAYING);
        }
        EXPECT_EQ(row.current, clip->current) << row.name << " x" << row.requests;
    }
}

TEST_F(SoundTest, AnIdleCopyIsReusedInPlace) {
    SoundPlayer player;
    player.open(nullptr);
    SoundClip* clip = static_cast<SoundClip*>(player.load(module, "oho", 3));
    ASSERT_NE(nullptr, clip);
    player.play(clip, 0, 100);
    player.play(clip, 0, 100);   // copy 0 busy: copy 1
    buffer(clip, 1)->finish();
    player.play(clip, 0, 100);   // copy 1 idle again: no advance
    EXPECT_EQ(1, clip->current);
    EXPECT_EQ(1, buffer(clip, 0)->plays);
    EXPECT_EQ(2, buffer(clip, 1)->plays);
    EXPECT_EQ(0, buffer(clip, 2)->plays);
    EXPECT_EQ(0, buffer(clip, 1)->stops);
}

TEST_F(SoundTest, StatusQueriesThatFail) {
    // A failed query of the current copy counts as idle; of the next copy, the first status stands.
    SoundPlayer player;
    player.open(nullptr);
    SoundClip* clip = static_cast<SoundClip*>(player.load(module, "lup", 2));
    ASSERT_NE(nullptr, clip);
    buffer(clip, 0)->status = DSBSTATUS_PLAYING;
    buffer(clip, 0)->statusFails = true;
    player.play(clip, 0, 100);
    EXPECT_EQ(0, clip->current);
    EXPECT_EQ(1, buffer(clip, 0)->plays);

    buffer(clip, 0)->statusFails = false;
    buffer(clip, 1)->status = DSBSTATUS_PLAYING;
    buffer(clip, 1)->statusFails = true;
    player.play(clip, 0, 100);
    EXPECT_EQ(1, clip->current);
    EXPECT_EQ(1, buffer(clip, 1)->plays);
    EXPECT_EQ(0, buffer(clip, 1)->stops) << "an unknown status is not stopped";
}

TEST_F(SoundTest, ALoneBusyCopyDropsTheRequestAndOnlyItMayLoop) {
    SoundClip* single = createClip(module, &device, "bat", 1, 0);
    SoundClip* pair = createClip(module, &device, "bat", 2, 0);
    ASSERT_NE(nullptr, single);
    ASSERT_NE(nullptr, pair);
    EXPECT_TRUE(playClip(single, 0, 0, 0));
    EXPECT_FALSE(playClip(single, 0, 0, 0));
    EXPECT_EQ(1, buffer(single, 0)->plays);
    EXPECT_EQ(0, buffer(single, 0)->stops);
    EXPECT_FALSE(playClip(pair, DSBPLAY_LOOPING, 0, 0));
    EXPECT_EQ(0, buffer(pair, 0)->plays + buffer(pair, 1)->plays);
    buffer(single, 0)->finish();
    EXPECT_TRUE(playClip(single, DSBPLAY_LOOPING, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(DSBPLAY_LOOPING), buffer(single, 0)->playFlags);
    buffer(pair, 0)->playFails = true;
    EXPECT_FALSE(playClip(pair, 0, 0, 0));
    EXPECT_FALSE(playClip(nullptr, 0, 0, 0));
    destroyClip(single);
    destroyClip(pair);
    EXPECT_TRUE(device.allReleased());
}

TEST_F(SoundTest, ALostBufferIsRestoredAndRefilledBeforeItPlays) {
    const std::vector<unsigned char> lup = samples("lup");
    struct Row {
        const char* name;
        bool restoreFails;
        bool lockFails;
        bool plays;
    } rows[] = {
        {"restored and refilled", false, false, true},
        {"restore fails", true, false, false},
        {"refill fails", false, true, false},
    };
    for (const Row& row : rows) {
        SoundClip* clip = createClip(module, &device, "lup", 2, 0);
        ASSERT_NE(nullptr, clip);
        FakeBuffer* copy = buffer(clip, 0);
        EXPECT_EQ(lup, copy->memory) << "filled at creation";
        copy->lose();
        copy->restoreFails = row.restoreFails;
        copy->lockFails = row.lockFails;
        EXPECT_EQ(row.plays, playClip(clip, 0, 0, 0)) << row.name;
        EXPECT_EQ(1, copy->restores) << row.name;
        EXPECT_EQ(row.plays ? 1 : 0, copy->plays) << row.name;
        if (row.plays) {
            EXPECT_EQ(lup, copy->memory) << row.name;
        }
        destroyClip(clip);
    }
    // A lost copy reached by rotation is restored too.
    SoundClip* clip = createClip(module, &device, "lup", 2, 0);
    ASSERT_NE(nullptr, clip);
    buffer(clip, 0)->status = DSBSTATUS_PLAYING;
    buffer(clip, 1)->lose();
    EXPECT_TRUE(playClip(clip, 0, 0, 0));
    EXPECT_EQ(1, buffer(clip, 1)->restores);
    EXPECT_EQ(lup, buffer(clip, 1)->memory);
    destroyClip(clip);
    EXPECT_TRUE(device.allReleased());
}

TEST_F(SoundTest, BuffersAreStaticPcmOfTheResourceAndDuplicatesShareIt) {
    const std::vector<unsigned char> bat = samples("bat");
    SoundClip* clip = createClip(module, &device, "bat", 3, DSBCAPS_GLOBALFOCUS);
    ASSERT_NE(nullptr, clip);
    ASSERT_EQ(1u, device.descriptions.size()) << "copy 0 created, the others duplicated";
    EXPECT_EQ(2, device.duplicateCalls);
    const DSBUFFERDESC1& d = device.descriptions[0];
    // The buffer description without the 3D-algorithm GUID: 20 bytes in a 32-bit program, 24 in a 64-bit one
    // (the format pointer is 8 bytes wide and aligned).
    EXPECT_EQ(sizeof(void*) == 4 ? 20u : 24u, d.dwSize);
    EXPECT_EQ(0x180E2u, d.dwFlags);
    EXPECT_EQ(bat.size(), d.dwBufferBytes);
    const WAVEFORMATEX& f = device.formats[0];
    EXPECT_EQ(WAVE_FORMAT_PCM, f.wFormatTag);
    EXPECT_EQ(1, f.nChannels);
    EXPECT_EQ(44100u, f.nSamplesPerSec);
    EXPECT_EQ(16, f.wBitsPerSample);
    EXPECT_EQ(0, f.cbSize);
    EXPECT_EQ(bat.size(), clip->sampleSize);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(bat, buffer(clip, c)->memory) << c;
        EXPECT_EQ(c > 0, buffer(clip, c)->duplicate) << c;
    }
    destroyClip(clip);
    EXPECT_TRUE(device.allReleased());
}

TEST_F(SoundTest, ClipCreationFallsBackAndFailsWhole) {
    struct Row {
        const char* name;
        int copies;
        bool duplicateFails;
        int createsLeft;
        bool made;
        int copyCount;
        size_t created;   // buffers asked of the device by CreateSoundBuffer
    } rows[] = {
        {"lup", 2, false, -1, true, 2, 1},
        {"lup", 2, true, -1, true, 2, 2},     // duplication refused: a second buffer from the resource
        {"lup", 3, true, 2, false, 0, 3},     // and when that fails too, the clip is given up
        {"lup", 0, false, -1, true, 1, 1},    // fewer than one copy counts as one
        {"lup", -5, false, -1, true, 1, 1},
        {"lup", 1, false, 0, true, 1, 1},     // a lone copy that failed still makes a (silent) clip
        {"lup", 2, false, 0, false, 0, 2},   // copy 0 failed, so duplicating it fails: one more try
        {"nosuch", 2, false, -1, false, 0, 0},
    };
    for (const Row& row : rows) {
        FakeDirectSound local;
        local.duplicateFails = row.duplicateFails;
        local.createsLeft = row.createsLeft;
        SoundClip* clip = createClip(module, &local, row.name, row.copies, 0);
        EXPECT_EQ(row.made, clip != nullptr) << row.name << " " << row.copies;
        EXPECT_EQ(row.created, local.descriptions.size()) << row.name << " " << row.copies;
        if (clip) {
            EXPECT_EQ(row.copyCount, clip->copyCount);
            EXPECT_EQ(0, clip->current);
            EXPECT_FALSE(clip->copyCount == 1 && row.createsLeft == 0 && playClip(clip, 0, 0, 0));
        }
        destroyClip(clip);
        EXPECT_TRUE(local.allReleased()) << row.name << " " << row.copies;
    }
}

TEST_F(SoundTest, FillCopiesBothPartsOfALockAndRejectsNothingToCopy) {
    const std::vector<unsigned char> source = samples("oho");
    FakeBuffer target(static_cast<DWORD>(source.size()), false);
    target.split = 1000;
    EXPECT_TRUE(fillWaveBuffer(&target, source.data(), static_cast<uint32_t>(source.size())));
    EXPECT_EQ(source, target.memory);
    EXPECT_EQ(1, target.unlocks);
    EXPECT_FALSE(fillWaveBuffer(nullptr, source.data(), 10));
    EXPECT_FALSE(fillWaveBuffer(&target, nullptr, 10));
    EXPECT_FALSE(fillWaveBuffer(&target, source.data(), 0));
    target.lockFails = true;
    EXPECT_FALSE(fillWaveBuffer(&target, source.data(), 10));
    EXPECT_EQ(1, target.unlocks);
}

TEST_F(SoundTest, OpenFallsBackWhenDirectSoundCannotBeHad) {
    struct Row {
        const char* name;
        HRESULT create;
        HRESULT cooperative;
        SoundMode mode;
        ULONG deviceRefs;
        ULONG refsAfterClose;
    } rows[] = {
        {"opens", DS_OK, DS_OK, SoundMode::DirectSound, 1, 0},
        {"no device", DSERR_NODRIVER, DS_OK, SoundMode::Fallback, 1, 1},   // never handed out
        {"cooperative level refused", DS_OK, DSERR_INVALIDPARAM, SoundMode::Fallback, 0, 0},
    };
    HWND window = reinterpret_cast<HWND>(0x1234);
    for (const Row& row : rows) {
        FakeDirectSound local;
        fakeDevice = &local;
        fakeCreateResult = row.create;
        local.cooperativeResult = row.cooperative;
        SoundPlayer player;
        player.open(window);
        EXPECT_EQ(row.mode, player.mode) << row.name;
        EXPECT_EQ(row.deviceRefs, local.refs) << row.name;
        EXPECT_EQ(row.mode == SoundMode::DirectSound, static_cast<bool>(player.directSound)) << row.name;
        if (row.create == DS_OK) {
            EXPECT_EQ(window, local.cooperativeWindow);
            EXPECT_EQ(static_cast<DWORD>(DSSCL_NORMAL), local.cooperativeLevel);
        }
        player.close();
        EXPECT_EQ(SoundMode::Off, player.mode);
        EXPECT_EQ(row.refsAfterClose, local.refs) << row.name << ": released once, by open or by close";
    }
}

TEST_F(SoundTest, FallbackHandlesAreTheResourceBytes) {
    fakeCreateResult = DSERR_NODRIVER;
    SoundPlayer player;
    player.open(nullptr);
    ASSERT_EQ(SoundMode::Fallback, player.mode);
    const char* names[] = {"piano", "wyb", "lup", "oho", "hello", "bat", "warc"};
    for (const char* name : names) {
        SoundHandle handle = player.load(module, name, 3);
        ASSERT_NE(nullptr, handle) << name;
        EXPECT_EQ(LockResource(LoadResource(module, FindResourceA(module, name, "WAVE"))), handle) << name;
        EXPECT_EQ(0, std::memcmp(handle, "RIFF", 4)) << name;
    }
    EXPECT_EQ(nullptr, player.load(module, "nosuch", 3));
    EXPECT_EQ(0, player.clipCount);
    // sndPlaySoundA plays it, and a later call (here a null one) cuts it off; neither may fail hard.
    player.play(player.load(module, "lup", 2), 0, 100);
    player.play(nullptr, 0, 100);
    player.close();
    EXPECT_EQ(SoundMode::Off, player.mode);
    EXPECT_EQ(nullptr, player.load(module, "lup", 2));
}

TEST_F(SoundTest, SwitchingOffAndOnReloadsAllSevenSounds) {
    SoundPlayer player;
    soundPlayer = &player;
    SoundHandle* handles[] = {&soundPiano, &soundWyb, &soundLup, &soundOho, &soundHello, &soundBat, &soundWarc};
    const int copies[] = {6, 3, 2, 3, 3, 3, 3};
    loadSounds(nullptr);
    ASSERT_EQ(SoundMode::DirectSound, player.mode);
    ASSERT_EQ(7, player.clipCount);
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(player.clips[i], *handles[i]) << "load order " << i;
        EXPECT_EQ(copies[i], static_cast<SoundClip*>(*handles[i])->copyCount) << i;
    }
    EXPECT_EQ(7u, device.buffers.size() - static_cast<size_t>(device.duplicateCalls));
    const size_t firstLoad = device.buffers.size();
    EXPECT_EQ(23u, firstLoad);

    player.close();
    EXPECT_EQ(SoundMode::Off, player.mode);
    EXPECT_EQ(0, player.clipCount);
    EXPECT_EQ(nullptr, player.clips);
    EXPECT_TRUE(device.allReleased());
    EXPECT_EQ(0u, device.refs);
    playSound(soundLup);   // off: the stale handle is ignored
    for (size_t b = 0; b < firstLoad; ++b) EXPECT_EQ(0, device.buffers[b]->plays);

    device.refs = 1;   // the factory hands out the same fake again
    loadSounds(nullptr);
    ASSERT_EQ(7, player.clipCount);
    EXPECT_EQ(2 * firstLoad, device.buffers.size());
    for (SoundHandle* handle : handles) playSound(*handle);
    for (size_t b = 0; b < device.buffers.size(); ++b)
        EXPECT_EQ(b < firstLoad ? 0 : (device.buffers[b]->duplicate ? 0 : 1), device.buffers[b]->plays) << b;
    soundPlayer = nullptr;
}

TEST_F(SoundTest, UnloadDropsEveryEqualEntryAndCloseEmptiesTheList) {
    SoundPlayer player;
    player.open(nullptr);
    SoundHandle a = player.load(module, "nosuch", 2);
    SoundHandle lup = player.load(module, "lup", 2);
    SoundHandle b = player.load(module, "missing", 3);
    SoundHandle wyb = player.load(module, "wyb", 3);
    EXPECT_EQ(nullptr, a);
    EXPECT_EQ(nullptr, b);
    ASSERT_EQ(4, player.clipCount);
    player.unload(nullptr);
    ASSERT_EQ(2, player.clipCount);
    EXPECT_EQ(lup, player.clips[0]);
    EXPECT_EQ(wyb, player.clips[1]);
    player.unload(static_cast<SoundClip*>(lup));
    ASSERT_EQ(1, player.clipCount);
    EXPECT_EQ(wyb, player.clips[0]);
    player.close();
    EXPECT_EQ(0, player.clipCount);
    EXPECT_TRUE(device.allReleased());
}

TEST_F(SoundTest, WithoutAPlayerOrWithSoundOffNothingHappens) {
    soundPlayer = nullptr;
    playSound(soundLup);
    loadSounds(nullptr);
    SoundPlayer player;
    soundPlayer = &player;
    SoundClip* clip = createClip(module, &device, "lup", 2, 0);
    ASSERT_NE(nullptr, clip);
    playSound(clip);   // mode Off
    EXPECT_EQ(0, buffer(clip, 0)->plays);
    player.open(nullptr);
    player.open(nullptr);   // a second open keeps the first device
    EXPECT_EQ(1u, device.refs);
    playSound(clip);
    EXPECT_EQ(1, buffer(clip, 0)->plays);
    player.close();
    playSound(clip);
    EXPECT_EQ(1, buffer(clip, 0)->plays);
    destroyClip(clip);
    soundPlayer = nullptr;
}
