// The version record and the manifest, read back from the built mibo.exe (MIBO_EXE) as Explorer and the loader
// read them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "version.h"

namespace {

std::string exePath() {
    const char* path = std::getenv("MIBO_EXE");
    return path ? path : "";
}

std::vector<char> versionRecord(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, record.data()))
        record.clear();
    return record;
}

std::string manifestOf(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string text;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes)
        text.assign(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}

} // namespace

TEST(ReleaseResources, VersionRecordNamesTheProductTheMakerAndTheBuildsVersion) {
    ASSERT_FALSE(exePath().empty()) << "MIBO_EXE names the program under test";
    std::vector<char> record = versionRecord(exePath());
    ASSERT_FALSE(record.empty()) << "no version record in " << exePath();

    struct Row {
        const char* field;
        std::string expected; // empty: any non-empty text
    } rows[] = {
        {"ProductName", "Rida Mibo 1999"},
        {"CompanyName", "Nortavo"},
        {"FileVersion", MIBO_VERSION_TEXT},
        {"ProductVersion", MIBO_VERSION_TEXT},
        {"OriginalFilename", "mibo.exe"},
        {"FileDescription", ""},
    };
    for (const Row& row : rows) {
        std::string query = std::string("\\StringFileInfo\\040904B0\\") + row.field;
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << row.field << " is missing";
        std::string text(value, length && value[length - 1] == '\0' ? length - 1 : length);
        if (row.expected.empty())
            EXPECT_GT(text.size(), 10u) << row.field;
        else
            EXPECT_EQ(row.expected, text) << row.field;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(DWORD(0xFEEF04BD), fixed->dwSignature);
    EXPECT_EQ(DWORD(MIBO_VERSION_MAJOR << 16 | MIBO_VERSION_MINOR), fixed->dwFileVersionMS);
    EXPECT_EQ(DWORD(MIBO_VERSION_PATCH << 16), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(DWORD(VFT_APP), fixed->dwFileType);
}

TEST(ReleaseResources, ManifestAsksForTheSystemsCommonControlsDeclaresTheSupportedWindowsAndDpiAwareness) {
    std::string manifest = manifestOf(exePath());
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 1 in " << exePath();
    const char* required[] = {
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\"",
        "publicKeyToken=\"6595b64144ccf1df\"",
        "level=\"asInvoker\"",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
        ">true/pm</dpiAware>",                    // the program scales itself: Windows must not stretch it
        ">PerMonitorV2, PerMonitor</dpiAwareness>",
    };
    for (const char* text : required)
        EXPECT_NE(std::string::npos, manifest.find(text)) << "the manifest lacks " << text;
}
