// The stored settings: REG_DWORD values under HKEY_CURRENT_USER\Software\<maker>\<product>.
#pragma once

#include <cstdint>

#include "engine/platform.h"

#include "text/string.h"

// "Software\" + maker + "\" + product, from the string table, built anew at every call.
String settingsKeyPath();

// True when a REG_DWORD of at most four bytes was read; `destination` is untouched otherwise (a missing key or
// value, another type, a longer value). Callers apply their own defaults.
bool readSetting(HKEY root, const char* path, const char* name, int32_t* destination);
// True when the value was written; the key is created when missing.
bool writeSetting(HKEY root, const char* path, const char* name, int32_t value);

// Defaults when a value cannot be read.
constexpr int32_t kDefaultFunLevel = 5;
constexpr int32_t kDefaultTaskbar = 0;
constexpr int32_t kDefaultSound = 1;
constexpr int32_t kDefaultAllScreens = 1; // "allScreens": 0 the primary screen only, anything else every monitor

// Reads the "allScreens" value: the default when it cannot be read.
int32_t readAllScreensSetting();
// Reads the "sound" value (the default when it cannot be read) and remembers it for soundToStore.
int32_t readSoundSetting();
// The "sound" value stored at exit: the mode the one player runs in or, when no player could be made, the value read
// at start, so that a start without a player does not store silence for every later one.
int32_t soundToStore();
