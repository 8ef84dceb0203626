// Stand-ins for the DirectSound interfaces, steerable where a real device cannot be: a buffer
// that is busy, lost, or refuses to lock; a device that will not duplicate or create.
#pragma once

#include "sound/directsound.h"

#include <cstring>
#include <memory>
#include <vector>

class FakeBuffer : public IDirectSoundBuffer {
public:
    explicit FakeBuffer(DWORD bytes, bool duplicate) : memory(bytes, 0), duplicate(duplicate) {}

    STDMETHODIMP QueryInterface(REFIID, void** out) override { *out = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetCaps(LPDSBCAPS) override { return E_NOTIMPL; }
    STDMETHODIMP GetCurrentPosition(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetVolume(LPLONG v) override { *v = volume; return DS_OK; }
    STDMETHODIMP GetPan(LPLONG p) override { *p = pan; return DS_OK; }
    STDMETHODIMP GetFrequency(LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(LPDWORD s) override {
        if (statusFails) return DSERR_GENERIC;
        *s = status;
        return DS_OK;
    }
    STDMETHODIMP Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return DSERR_ALREADYINITIALIZED; }
    STDMETHODIMP Lock(DWORD offset, DWORD bytes, LPVOID* p1, LPDWORD l1, LPVOID* p2, LPDWORD l2, DWORD) override {
        ++locks;
        if (lockFails || offset != 0 || bytes > memory.size()) return DSERR_INVALIDPARAM;
        // Hands the memory back in two parts when asked, as a ring buffer does at its wrap.
        DWORD first = split && split < bytes ? split : bytes;
        *p1 = memory.data();
        *l1 = first;
        *p2 = first < bytes ? memory.data() + first : nullptr;
        *l2 = bytes - first;
        return DS_OK;
    }
    STDMETHODIMP Play(DWORD, DWORD, DWORD flags) override {
        ++plays;
        playFlags = flags;
        if (playFails) return DSERR_GENERIC;
        status |= DSBSTATUS_PLAYING;
        return DS_OK;
    }
    STDMETHODIMP SetCurrentPosition(DWORD position) override { positions.push_back(position); return DS_OK; }
    STDMETHODIMP SetFormat(LPCWAVEFORMATEX) override { return DSERR_INVALIDCALL; }
    STDMETHODIMP SetVolume(LONG v) override { volume = v; ++volumeCalls; return DS_OK; }
    STDMETHODIMP SetPan(LONG p) override { pan = p; ++panCalls; return DS_OK; }
    STDMETHODIMP SetFrequency(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { ++stops; status &= ~DSBSTATUS_PLAYING; return DS_OK; }
    STDMETHODIMP Unlock(LPVOID, DWORD, LPVOID, DWORD) override { ++unlocks; return DS_OK; }
    STDMETHODIMP Restore() override {
        ++restores;
        if (restoreFails) return DSERR_BUFFERLOST;
        status &= ~DSBSTATUS_BUFFERLOST;
        return DS_OK;
    }

    // Playback of this copy has come to its end.
    void finish() { status &= ~DSBSTATUS_PLAYING; }
    // The system took the memory away.
    void lose() {
        status |= DSBSTATUS_BUFFERLOST;
        std::memset(memory.data(), 0, memory.size());
    }

    std::vector<unsigned char> memory;
    bool duplicate;
    ULONG refs = 1;
    DWORD status = 0;
    DWORD split = 0;
    bool statusFails = false, restoreFails = false, lockFails = false, playFails = false;
    int plays = 0, stops = 0, restores = 0, locks = 0, unlocks = 0, volumeCalls = 0, panCalls = 0;
    DWORD playFlags = 0;
    LONG volume = 0, pan = 0;
    std::vector<DWORD> positions;
};

class FakeDirectSound : public IDirectSound {
public:
    STDMETHODIMP QueryInterface(REFIID, void** out) override { *out = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN) override {
        const DSBUFFERDESC1* d = reinterpret_cast<const DSBUFFERDESC1*>(description);
        descriptions.push_back(*d);
        formats.push_back(*d->lpwfxFormat);
        if (createsLeft == 0) return DSERR_OUTOFMEMORY;
        if (createsLeft > 0) --createsLeft;
        buffers.emplace_back(new FakeBuffer(d->dwBufferBytes, false));
        *out = buffers.back().get();
        return DS_OK;
    }
    STDMETHODIMP GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
    STDMETHODIMP DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* out) override {
        ++duplicateCalls;
        if (duplicateFails || !original) return DSERR_INVALIDCALL;
        buffers.emplace_back(new FakeBuffer(static_cast<DWORD>(static_cast<FakeBuffer*>(original)->memory.size()), true));
        buffers.back()->memory = static_cast<FakeBuffer*>(original)->memory;
        *out = buffers.back().get();
        return DS_OK;
    }
    STDMETHODIMP SetCooperativeLevel(HWND window, DWORD level) override {
        cooperativeWindow = window;
        cooperativeLevel = level;
        return cooperativeResult;
    }
    STDMETHODIMP Compact() override { return DS_OK; }
    STDMETHODIMP GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Initialize(LPCGUID) override { return DSERR_ALREADYINITIALIZED; }

    // Every buffer ever handed out has been released exactly as often as it was created.
    bool allReleased() const {
        for (const auto& b : buffers)
            if (b->refs != 0) return false;
        return true;
    }

    ULONG refs = 1;
    int createsLeft = -1;   // -1: unlimited
    bool duplicateFails = false;
    int duplicateCalls = 0;
    HRESULT cooperativeResult = DS_OK;
    HWND cooperativeWindow = nullptr;
    DWORD cooperativeLevel = 0;
    std::vector<DSBUFFERDESC1> descriptions;
    std::vector<WAVEFORMATEX> formats;
    std::vector<std::unique_ptr<FakeBuffer>> buffers;
};
