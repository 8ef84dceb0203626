#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "desktop/character_window.h"
#include "desktop/settings.h"
#include "engine/picker.h"
#include "support/test_support.h"

namespace {

const char* const kScratchPath = "Software\\Nortavo\\settings test\\deeper";

void deleteTree(const char* path) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
}

// The real settings key, emptied for the test and put back afterwards.
class RealKeyScope {
public:
    RealKeyScope() : path(settingsKeyPath()) {
        saved[0] = saved[1] = saved[2] = 0;
        for (int i = 0; i < 3; ++i)
            had[i] = readSetting(HKEY_CURRENT_USER, path.text(), kNames[i], &saved[i]);
        deleteTree(path.text());
    }
    ~RealKeyScope() {
        deleteTree(path.text());
        for (int i = 0; i < 3; ++i) {
            if (had[i])
                writeSetting(HKEY_CURRENT_USER, path.text(), kNames[i], saved[i]);
        }
    }
    RealKeyScope(const RealKeyScope&) = delete;
    RealKeyScope& operator=(const RealKeyScope&) = delete;

    static constexpr const char* kNames[3] = {"funlevel", "taskbar", "sound"};
    String path;
    int32_t saved[3];
    bool had[3];
};

} // namespace

TEST(Settings, KeyPathComesFromTheStringTable) {
    EXPECT_STREQ("Software\\Nortavo\\Rida Mibo 1999", settingsKeyPath().text());
}

TEST(Settings, WriteCreatesMissingKeysAndReadsBack) {
    deleteTree("Software\\Nortavo\\settings test");
    const int32_t values[] = {0, 1, 5, 9, -1, INT_MIN, INT_MAX};
    for (int32_t value : values) {
        EXPECT_TRUE(writeSetting(HKEY_CURRENT_USER, kScratchPath, "value", value));
        int32_t read = 12345;
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, kScratchPath, "value", &read));
        EXPECT_EQ(value, read);
    }
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER, kScratchPath, "value", RRF_RT_ANY, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);
    deleteTree("Software\\Nortavo\\settings test");
}

TEST(Settings, FailedReadsLeaveTheDestination) {
    deleteTree("Software\\Nortavo\\settings test");
    int32_t destination = 77;
    EXPECT_FALSE(readSetting(HKEY_CURRENT_USER, kScratchPath, "value", &destination)); // no key
    EXPECT_EQ(77, destination);
    ASSERT_TRUE(writeSetting(HKEY_CURRENT_USER, kScratchPath, "other", 3));
    EXPECT_FALSE(readSetting(HKEY_CURRENT_USER, kScratchPath, "value", &destination)); // no value
    EXPECT_EQ(77, destination);
    // A text longer than four bytes does not fit: nothing of it may land in the destination.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kScratchPath, 0, KEY_ALL_ACCESS, &key));
    const char text[] = "a long text";
    RegSetValueExA(key, "text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    RegCloseKey(key);
    EXPECT_FALSE(readSetting(HKEY_CURRENT_USER, kScratchPath, "text", &destination));
    EXPECT_EQ(77, destination);
    deleteTree("Software\\Nortavo\\settings test");
}

TEST(Settings, CharacterWindowReadsAtConstructionAndWritesAtDeletion) {
    RealKeyScope scope;
    struct Row {
        bool stored;
        int32_t storedFun;
        int32_t storedTaskbar;
        int32_t expectedFun;
        int32_t expectedTaskbar;
    } rows[] = {
        {false, 0, 0, 5, 0}, // nothing stored: the defaults
        {true, 3, 1, 3, 1},
        {true, 9, 0, 9, 0}, // used as stored, no range check
        {true, 0, 1, 0, 1},
    };
    for (const Row& row : rows) {
        deleteTree(scope.path.text());
        if (row.stored) {
            writeSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", row.storedFun);
            writeSetting(HKEY_CURRENT_USER, scope.path.text(), "taskbar", row.storedTaskbar);
        }
        funLevel = -42;
        CharacterWindow* window = new CharacterWindow;
        EXPECT_EQ(row.expectedFun, funLevel);
        EXPECT_EQ(row.expectedTaskbar, window->showInTaskbar);
        EXPECT_EQ(row.expectedTaskbar ? DWORD(WS_EX_TOPMOST) : DWORD(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
                  window->extendedStyle());
        // Changed in memory, written back at deletion; "sound" is not the window's to write.
        funLevel = row.expectedFun + 1;
        window->showInTaskbar = 1 - row.expectedTaskbar;
        delete window;
        int32_t fun = -1, taskbar = -1, sound = -1;
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", &fun));
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "taskbar", &taskbar));
        EXPECT_FALSE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "sound", &sound));
        EXPECT_EQ(row.expectedFun + 1, fun);
        EXPECT_EQ(1 - row.expectedTaskbar, taskbar);
    }
}
