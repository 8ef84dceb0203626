#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

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
        EXPECT_EQ(row.expectedTaskbar, CharacterWindowInsides(*window).showInTaskbar());
        EXPECT_EQ(row.expectedTaskbar ? DWORD(WS_EX_TOPMOST) : DWORD(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
                  window->extendedStyle());
        // Changed in memory, written back at deletion; "sound" is not the window's to write.
        funLevel = row.expectedFun + 1;
        window->setShowInTaskbar(1 - row.expectedTaskbar);
        delete window;
        int32_t fun = -1, taskbar = -1, sound = -1;
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", &fun));
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "taskbar", &taskbar));
        EXPECT_FALSE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "sound", &sound));
        EXPECT_EQ(row.expectedFun + 1, fun);
        EXPECT_EQ(1 - row.expectedTaskbar, taskbar);
    }
}

namespace {

// Stores raw bytes of any type under the real key, as a hand edit or another program might.
void storeRaw(const char* path, const char* name, DWORD type, const void* bytes, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(bytes), size));
    RegCloseKey(key);
}

// Type and size of a value, (REG_NONE, 0) when it cannot be read.
std::pair<DWORD, DWORD> typeAndSize(const char* path, const char* name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS)
        return {REG_NONE, 0};
    return {type, size};
}

// The ids the picker draws from one seed with the global fun level as it stands.
std::vector<int> drawnIds(unsigned seed) {
    srand(seed);
    std::vector<int> ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back(drawActivityId(Rect(100, 100, 140, 140), IdList(), IdList()));
    return ids;
}

} // namespace

TEST(Settings, StoredFunLevelAndTaskbarAtTheirBoundaries) {
    RealKeyScope scope;
    struct Row {
        int32_t fun;
        int32_t taskbar;
        int32_t pickerFun; // the level the picker behaves as
        bool inTaskbar;
    } rows[] = {
        {INT_MIN, 0, 1, false}, {-1, -1, 1, true}, {0, 1, 1, true},       {1, 2, 1, true},
        {5, 3, 5, true},        {6, 0, 6, false},  {INT_MAX, INT_MAX, INT_MAX, true},
    };
    for (const Row& row : rows) {
        deleteTree(scope.path.text());
        writeSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", row.fun);
        writeSetting(HKEY_CURRENT_USER, scope.path.text(), "taskbar", row.taskbar);
        writeSetting(HKEY_CURRENT_USER, scope.path.text(), "sound", 2);
        CharacterWindow* window = new CharacterWindow;
        EXPECT_EQ(row.fun, funLevel) << row.fun; // used as stored
        EXPECT_EQ(row.taskbar, CharacterWindowInsides(*window).showInTaskbar()) << row.taskbar;
        EXPECT_EQ(row.inTaskbar ? DWORD(WS_EX_TOPMOST) : DWORD(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
                  window->extendedStyle())
            << row.taskbar;
        std::vector<int> stored = drawnIds(7);
        for (int id : stored)
            EXPECT_TRUE(id > 0 && id < kIdLimit) << row.fun << ": drew " << id;
        funLevel = row.pickerFun;
        EXPECT_EQ(drawnIds(7), stored) << row.fun << " is not drawn as fun level " << row.pickerFun;
        funLevel = row.fun;
        delete window;
        int32_t fun = 12345, taskbar = 12345, sound = 12345;
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", &fun));
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "taskbar", &taskbar));
        EXPECT_TRUE(readSetting(HKEY_CURRENT_USER, scope.path.text(), "sound", &sound));
        EXPECT_EQ(row.fun, fun) << "written back unchanged";
        EXPECT_EQ(row.taskbar, taskbar) << "written back unchanged";
        EXPECT_EQ(2, sound) << "the window leaves \"sound\" alone";
    }
}

TEST(Settings, ValuesOfAnotherTypeOrSizeGiveTheDefaults) {
    RealKeyScope scope;
    const char text1[] = "1";
    const char empty[] = "";
    const uint8_t oneByte[] = {3};
    const uint64_t qword = 3;
    const uint32_t dword = 3;
    struct Row {
        const char* name;
        DWORD type;
        const void* bytes;
        DWORD size;
        bool used; // read as 3 rather than replaced by the default
    } rows[] = {
        {"a text \"1\"", REG_SZ, text1, sizeof text1, false},
        {"an empty text", REG_SZ, empty, sizeof empty, false},
        {"one byte of binary", REG_BINARY, oneByte, sizeof oneByte, false},
        {"no bytes of binary", REG_BINARY, oneByte, 0, false},
        {"an eight-byte number", REG_QWORD, &qword, sizeof qword, false},
        {"a four-byte number", REG_DWORD, &dword, sizeof dword, true},
    };
    const char keep[] = "kept as it was";
    for (const Row& row : rows) {
        deleteTree(scope.path.text());
        storeRaw(scope.path.text(), "funlevel", row.type, row.bytes, row.size);
        storeRaw(scope.path.text(), "taskbar", row.type, row.bytes, row.size);
        storeRaw(scope.path.text(), "sound", row.type, row.bytes, row.size);
        storeRaw(scope.path.text(), "other", REG_SZ, keep, sizeof keep);
        int32_t sound = 77;
        EXPECT_EQ(row.used, readSetting(HKEY_CURRENT_USER, scope.path.text(), "sound", &sound)) << row.name;
        EXPECT_EQ(row.used ? 3 : 77, sound) << row.name;
        CharacterWindow* window = new CharacterWindow;
        EXPECT_EQ(row.used ? 3 : kDefaultFunLevel, funLevel) << row.name;
        EXPECT_EQ(row.used ? 3 : kDefaultTaskbar, CharacterWindowInsides(*window).showInTaskbar()) << row.name;
        delete window;
        // Written back as four-byte numbers; the sound value and the unrelated one are not the window's.
        for (const char* name : {"funlevel", "taskbar"})
            EXPECT_EQ(std::make_pair(DWORD(REG_DWORD), DWORD(4)), typeAndSize(scope.path.text(), name)) << row.name;
        int32_t fun = 0;
        readSetting(HKEY_CURRENT_USER, scope.path.text(), "funlevel", &fun);
        EXPECT_EQ(row.used ? 3 : kDefaultFunLevel, fun) << row.name;
        EXPECT_EQ(std::make_pair(row.type, row.size), typeAndSize(scope.path.text(), "sound")) << row.name;
        char text[64] = {};
        DWORD size = sizeof text;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegGetValueA(HKEY_CURRENT_USER, scope.path.text(), "other", RRF_RT_REG_SZ, nullptr, text, &size));
        EXPECT_STREQ(keep, text) << row.name;
    }
}

// A key below a volatile one must be volatile too: the settings key then cannot be created for writing.
TEST(Settings, AKeyThatCannotBeWrittenIsIgnored) {
    RealKeyScope scope;
    const char* const maker = "Software\\Nortavo";
    deleteTree(maker);
    HKEY volatileKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, maker, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr));
    RegCloseKey(volatileKey);
    const std::string longName(300, 'x');
    struct Row {
        const char* name;
        HKEY root;
        std::string path;
    } rows[] = {
        {"below a volatile key", HKEY_CURRENT_USER, scope.path.text()},
        {"a key name longer than the registry takes", HKEY_CURRENT_USER, "Software\\" + longName},
        {"a root that is no key", reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x7654321)), "Software"},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(writeSetting(row.root, row.path.c_str(), "funlevel", 3)) << row.name;
        int32_t read = 77;
        EXPECT_FALSE(readSetting(row.root, row.path.c_str(), "funlevel", &read)) << row.name;
        EXPECT_EQ(77, read) << row.name;
    }
    // The window reads the defaults and loses its values at deletion, without harm.
    funLevel = -42;
    CharacterWindow* window = new CharacterWindow;
    EXPECT_EQ(kDefaultFunLevel, funLevel);
    funLevel = 2;
    delete window;
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, scope.path.text(), 0, KEY_READ, &key));
    deleteTree(maker);
}
