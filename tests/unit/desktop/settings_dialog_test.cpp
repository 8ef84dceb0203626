#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "desktop/settings_dialog.h"
#include "engine/picker.h"
#include "engine/resource_ids.h"
#include "sound/sound_player.h"
#include "support/desk.h"
#include "support/dialog_steps.h"

namespace {

struct Control {
    int id;
    std::string className;
    DWORD style;
    int x, y, width, height;
    std::string text;
    bool operator==(const Control& o) const {
        return id == o.id && className == o.className && style == o.style && x == o.x && y == o.y &&
               width == o.width && height == o.height && text == o.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << c.id << " " << c.className << " 0x" << std::hex << c.style << std::dec << " " << c.x << ","
               << c.y << "," << c.width << "," << c.height << " \"" << c.text << "\"";
}

// Reads the dialog template the way the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at(data) {}
    DWORD dword() { DWORD v; memcpy(&v, at, 4); at += 4; return v; }
    WORD word() { WORD v; memcpy(&v, at, 2); at += 2; return v; }
    short coordinate() { return static_cast<short>(word()); }
    // A name or ordinal; ordinals of the predefined classes come back as their names.
    std::string nameOrOrdinal() {
        WORD first = word();
        if (first == 0xFFFF) {
            WORD ordinal = word();
            return ordinal == 0x80 ? "BUTTON" : ordinal == 0x82 ? "STATIC" : "#" + std::to_string(ordinal);
        }
        std::string text;
        for (WORD c = first; c != 0; c = word())
            text += static_cast<char>(c);
        return text;
    }
    void alignToDword(const BYTE* base) {
        while ((at - base) % 4)
            ++at;
    }
    const BYTE* at;
};

struct ParsedTemplate {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string caption, font;
    int points = 0;
    std::vector<Control> controls;
};

ParsedTemplate readTemplate(const char* name) {
    ParsedTemplate parsed;
    HRSRC found = FindResourceA(GetModuleHandleA(nullptr), name, MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (!found)
        return parsed;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleA(nullptr), found)));
    TemplateReader in(base);
    parsed.style = in.dword();
    parsed.exStyle = in.dword();
    int count = in.word();
    parsed.x = in.coordinate();
    parsed.y = in.coordinate();
    parsed.width = in.coordinate();
    parsed.height = in.coordinate();
    in.nameOrOrdinal(); // no menu
    in.nameOrOrdinal(); // the standard dialog class
    parsed.caption = in.nameOrOrdinal();
    if (parsed.style & DS_SETFONT) {
        parsed.points = in.word();
        parsed.font = in.nameOrOrdinal();
    }
    for (int i = 0; i < count; ++i) {
        in.alignToDword(base);
        Control c;
        c.style = in.dword();
        in.dword();
        c.x = in.coordinate();
        c.y = in.coordinate();
        c.width = in.coordinate();
        c.height = in.coordinate();
        c.id = in.word();
        c.className = in.nameOrOrdinal();
        c.text = in.nameOrOrdinal();
        in.at += in.word(); // creation data
        parsed.controls.push_back(c);
    }
    return parsed;
}

HWND item(Dialog& dialog, int id) {
    return GetDlgItem(dialog.handle, id);
}

LRESULT sliderPosition(Dialog& dialog) {
    return SendMessageA(item(dialog, IDC_FUN_LEVEL), TBM_GETPOS, 0, 0);
}

LRESULT checked(Dialog& dialog, int id) {
    return SendMessageA(item(dialog, id), BM_GETCHECK, 0, 0);
}

void setChecked(Dialog& dialog, int id, bool on) {
    SendMessageA(item(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void press(Dialog& dialog, int id) {
    SendMessageA(dialog.handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(dialog, id)));
}

bool toolWindow() {
    return (GetWindowLongPtrA(characterWindow->handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

} // namespace

TEST(SettingsDialog, TemplateAsDrawn) {
    ParsedTemplate t = readTemplate("DIALOG_INNE");
    EXPECT_EQ(0x80C800C0u, t.style);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(0, t.x);
    EXPECT_EQ(0, t.y);
    EXPECT_EQ(357, t.width);
    EXPECT_EQ(188, t.height);
    EXPECT_EQ("Rida Mibo 1999", t.caption);
    EXPECT_EQ("MS Sans Serif", t.font);
    EXPECT_EQ(8, t.points);
    const std::string credits = "Rida Mibo 1999\nmade by Nortavo\npictures and sounds\nmade by the project";
    std::vector<Control> expected = {
        {1, "BUTTON", 0x50010001, 5, 167, 50, 14, "OK"},
        {65535, "STATIC", 0x5000120E, 5, 15, 149, 144, "BALON1"},
        {65535, "STATIC", 0x50020001, 182, 130, 144, 35, credits},
        {1010, "BUTTON", 0x50010000, 83, 168, 69, 13, "shutdown mibo"},
        // The resource compiler writes class names in capitals; window classes are case-blind.
        {1012, "MSCTLS_TRACKBAR32", 0x50010005, 165, 78, 185, 15, "Slider1"},
        {65535, "STATIC", 0x50020001, 165, 71, 183, 8, "set fun level"},
        {1013, "BUTTON", 0x50010003, 165, 102, 37, 10, "Sound"},
        {1015, "BUTTON", 0x50010003, 236, 102, 114, 10, "Show in the task bar"},
        {65535, "BUTTON", 0x50020307, 159, 117, 191, 64, ""},
        {65535, "STATIC", 0x50020001, 191, 13, 115, 13, "Visit Nortavo on the web:"},
        {1017, "BUTTON", 0x50010000, 187, 27, 119, 14, "http://www.example.com/"},
        {65535, "STATIC", 0x50020001, 185, 44, 120, 10, "for more more mibos && fun"},
    };
    ASSERT_EQ(expected.size(), t.controls.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], t.controls[i]) << "control " << i;
    // The link button shows the address it opens.
    String address;
    address.loadString(IDS_WEB_ADDRESS);
    EXPECT_EQ(expected[10].text, address.text());
}

TEST(SettingsDialog, ControlsShowTheSettings) {
    struct Row {
        int32_t funLevel;
        SoundMode sound;
        int32_t taskbar;
        LRESULT position, soundBox, taskbarBox;
    } rows[] = {
        {0, SoundMode::Fallback, 0, 1, BST_CHECKED, BST_UNCHECKED},
        {9, SoundMode::Off, 1, 5, BST_UNCHECKED, BST_CHECKED},
        {3, SoundMode::Fallback, 1, 3, BST_CHECKED, BST_CHECKED},
    };
    for (const Row& row : rows) {
        Desk desk(row.sound);
        funLevel = row.funLevel;
        desk.window()->setShowInTaskbar(row.taskbar);
        SettingsDialog dialog(*desk.window());
        ASSERT_TRUE(dialog.create(GetModuleHandleA(nullptr), "DIALOG_INNE", desk.window()->handle));
        EXPECT_EQ(row.position, sliderPosition(dialog)) << row.funLevel;
        EXPECT_EQ(row.soundBox, checked(dialog, IDC_SOUND)) << row.funLevel;
        EXPECT_EQ(row.taskbarBox, checked(dialog, IDC_TASKBAR)) << row.funLevel;
        HWND slider = item(dialog, IDC_FUN_LEVEL);
        EXPECT_EQ(1, SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
        EXPECT_EQ(5, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
        EXPECT_EQ(5, SendMessageA(slider, TBM_GETNUMTICS, 0, 0)); // a tick at each value
        DestroyWindow(dialog.handle);
    }
}

TEST(SettingsDialog, ClosingAppliesOrNot) {
    struct Row {
        const char* how;
        int endingId; // 0: the close box
        SoundMode soundBefore;
        int32_t taskbarBefore;
        bool soundBox, taskbarBox;
        int result;
        int32_t funLevel;
        SoundMode soundAfter;
        int32_t taskbarAfter;
        bool toolWindowAfter;
        std::vector<std::string> messages;
    } rows[] = {
        {"OK", IDOK, SoundMode::Fallback, 0, true, false, 1, 2, SoundMode::Fallback, 0, true, {}},
        {"close box", 0, SoundMode::Fallback, 0, false, true, -1, 4, SoundMode::Fallback, 0, true, {}},
        {"sound off", IDOK, SoundMode::Fallback, 0, false, false, 1, 2, SoundMode::Off, 0, true, {}},
        {"sound on", IDOK, SoundMode::Off, 0, true, false, 1, 2, SoundMode::Fallback, 0, true, {}},
        {"taskbar on", IDOK, SoundMode::Fallback, 0, true, true, 1, 2, SoundMode::Fallback, 1, false, {}},
        {"taskbar off", IDC_SHUTDOWN, SoundMode::Fallback, 1, true, false, kShutdownResult, 2,
         SoundMode::Fallback, 0, true, {"info: Mibo will be visible in the Taskbar until restarted"}},
    };
    for (const Row& row : rows) {
        Desk desk(row.soundBefore);
        funLevel = 4;
        desk.window()->setShowInTaskbar(row.taskbarBefore);
        ASSERT_TRUE(toolWindow()) << row.how;
        SettingsDialog dialog(*desk.window());
        ASSERT_TRUE(dialog.create(GetModuleHandleA(nullptr), "DIALOG_INNE", desk.window()->handle));
        SendMessageA(item(dialog, IDC_FUN_LEVEL), TBM_SETPOS, TRUE, 2);
        setChecked(dialog, IDC_SOUND, row.soundBox);
        setChecked(dialog, IDC_TASKBAR, row.taskbarBox);
        DialogSteps steps({[&] {
            if (row.endingId)
                press(dialog, row.endingId);
            else
                SendMessageA(dialog.handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }});
        EXPECT_EQ(row.result, dialog.runMessageLoop()) << row.how;
        EXPECT_EQ(row.funLevel, funLevel) << row.how;
        EXPECT_EQ(row.soundAfter, soundPlayer->mode) << row.how;
        EXPECT_EQ(row.taskbarAfter, desk.window()->showsInTaskbar()) << row.how;
        EXPECT_EQ(row.toolWindowAfter, toolWindow()) << row.how;
        EXPECT_EQ(row.messages, Desk::messageBoxes) << row.how;
        if (row.soundAfter != SoundMode::Off) {
            for (SoundHandle sound : {soundPiano, soundWyb, soundLup, soundOho, soundHello, soundBat, soundWarc})
                EXPECT_NE(nullptr, sound) << row.how; // all seven loaded again
        }
    }
}

TEST(SettingsDialog, LinkOpensTheAddressAndTheDialogStays) {
    Desk desk;
    SettingsDialog dialog(*desk.window());
    ASSERT_TRUE(dialog.create(GetModuleHandleA(nullptr), "DIALOG_INNE", desk.window()->handle));
    press(dialog, IDC_LINK);
    String address;
    address.loadString(IDS_WEB_ADDRESS);
    EXPECT_EQ(std::vector<std::string>{address.text()}, Desk::links);
    EXPECT_TRUE(IsWindow(dialog.handle));
    EXPECT_EQ(-1, dialog.result);
    DestroyWindow(dialog.handle);
}
