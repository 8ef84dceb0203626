#include "desktop/settings.h"

#include "engine/resource_ids.h"
#include "sound/sound_player.h"

namespace {

int32_t gSoundAtStart = kDefaultSound;

} // namespace

String settingsKeyPath() {
    String maker;
    String product;
    maker.loadString(IDS_MAKER);
    product.loadString(IDS_PRODUCT);
    return String("").concat("Software\\").concat(maker.text()).concat("\\").concat(product.text());
}

bool readSetting(HKEY root, const char* path, const char* name, int32_t* destination) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // Read into a zeroed local: a shorter value of another type must not leave stale bytes behind,
    // and a longer one (ERROR_MORE_DATA) must not change the destination at all.
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    // Only a REG_DWORD is a number: a hand-made text "1" would otherwise read as its character code 49.
    if (result != ERROR_SUCCESS || type != REG_DWORD)
        return false;
    *destination = static_cast<int32_t>(value);
    return true;
}

bool writeSetting(HKEY root, const char* path, const char* name, int32_t value) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        char noClass[] = "";
        if (RegCreateKeyExA(root, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
    }
    DWORD data = static_cast<DWORD>(value);
    LONG result = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int32_t readAllScreensSetting() {
    int32_t allScreens = kDefaultAllScreens;
    if (!readSetting(HKEY_CURRENT_USER, settingsKeyPath().text(), "allScreens", &allScreens))
        allScreens = kDefaultAllScreens;
    return allScreens;
}

int32_t readSoundSetting() {
    int32_t sound = kDefaultSound;
    if (!readSetting(HKEY_CURRENT_USER, settingsKeyPath().text(), "sound", &sound))
        sound = kDefaultSound;
    gSoundAtStart = sound;
    return sound;
}

int32_t soundToStore() {
    return soundPlayer ? currentSoundMode() : gSoundAtStart;
}
