#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "text/string.h"

namespace {

// Entry 100 of this test's string table: 600 characters, built from one repeated sentence.
std::string expectedLongText() {
    std::string sentence = "Mibo walks along the bottom of the screen and along the top edges of other windows; ";
    std::string text;
    while (text.size() < 600)
        text += sentence;
    return text.substr(0, 600);
}

} // namespace

TEST(String, ConcatNumberBuildsFrameNamesAndLeavesTheOriginal) {
    struct Row {
        const char* base;
        int number;
        const char* expected;
    } rows[] = {
        {"BOOM", 1, "BOOM1"},
        {"IDZIE_P_", 4, "IDZIE_P_4"},
        {"x", -17, "x-17"},
        {"", INT_MIN, "-2147483648"},
        {"LECI", 0, "LECI0"},
    };
    for (const Row& row : rows) {
        String base(row.base);
        String joined = base.concat(row.number);
        EXPECT_STREQ(row.expected, joined.text()) << row.base << " + " << row.number;
        EXPECT_STREQ(row.base, base.text());
    }
}

TEST(String, AppendAndConcatText) {
    String path;
    String key = path.concat("Software\\").concat("Nortavo").concat("\\").concat("Rida Mibo 1999");
    EXPECT_STREQ("Software\\Nortavo\\Rida Mibo 1999", key.text());
    EXPECT_STREQ("", path.text());

    String text("snow");
    text.append(" ball").append(3);
    EXPECT_STREQ("snow ball3", text.text());
    EXPECT_EQ(10, text.length());

    // Its own text as the argument: read whole before the old buffer goes.
    String twice("ab");
    twice.append(twice.text()).append(twice.text());
    EXPECT_STREQ("abababab", twice.text());
    String same("cap");
    same.assign(same.text());
    EXPECT_STREQ("cap", same.text());
    EXPECT_STREQ("capcap", same.concat(same.text()).text());
}

TEST(String, ReserveGivesAWritableBufferAndKeepsShorterText) {
    String empty;
    empty.reserve(200);
    EXPECT_STREQ("", empty.text());
    // All 200 characters and the terminator belong to the buffer.
    memset(empty.text(), 'a', 200);
    EXPECT_EQ(200, empty.length());

    String cut("abcdef");
    cut.reserve(3);
    EXPECT_STREQ("abc", cut.text());

    String kept("abc");
    kept.reserve(10);
    EXPECT_STREQ("abc", kept.text());

    // No 2 GiB block in a 32-bit process: the text stays as it was. (A 64-bit process gets the block and spends
    // seconds filling it, which says nothing more.)
    if (sizeof(void*) == 4) {
        String big("abc");
        big.reserve(INT_MAX);
        EXPECT_STREQ("abc", big.text());
    }
}

TEST(String, CopiesAreIndependent) {
    String original("cap");
    String copy(original);
    copy.append("s");
    String assigned;
    assigned = original;
    original.assign("beard");
    EXPECT_STREQ("caps", copy.text());
    EXPECT_STREQ("cap", assigned.text());
    EXPECT_STREQ("beard", original.text());
}

TEST(String, LoadStringReadsTheProgramsTable) {
    struct Row {
        UINT id;
        const char* expected;
    } rows[] = {
        {1, "Nortavo"},
        {2, "Rida Mibo 1999"},
        {3, "can't load bitmap - not enough memory to load Mibo"},
        {4, "can't create dialog box"},
        {5, "Mibo will be visible in the Taskbar until restarted"},
        {6, "configure mibo"},
        {8, "number of mibos:"},
        {9, "snow density:"},
    };
    for (const Row& row : rows) {
        String text;
        EXPECT_EQ(static_cast<int>(strlen(row.expected)), text.loadString(row.id)) << row.id;
        EXPECT_STREQ(row.expected, text.text()) << row.id;
    }
    // The maker's address stays under the reserved example domain.
    String address;
    address.loadString(7);
    EXPECT_EQ(0, strncmp(address.text(), "http://", 7)) << address.text();
    EXPECT_NE(nullptr, strstr(address.text(), "example.com")) << address.text();
}

TEST(String, LoadStringOfLongEntriesGrowsTheBuffer) {
    std::string expected = expectedLongText();
    String text;
    EXPECT_EQ(600, text.loadString(100));
    EXPECT_EQ(expected, text.text());

    // 255 characters exactly fill the first 256-character buffer, so it must load again to know it is whole.
    String edge;
    EXPECT_EQ(255, edge.loadString(101));
    EXPECT_EQ(expected.substr(0, 255), edge.text());
}

TEST(String, LoadStringOfAMissingEntryEmptiesTheText) {
    String text("previous text");
    EXPECT_EQ(0, text.loadString(4242));
    EXPECT_STREQ("", text.text());
}
