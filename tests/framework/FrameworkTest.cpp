// The framework's text rules, INI and registry access, and its exceptions' texts.
#include "Errors.h"
#include "Files.h"
#include "Forms.h"
#include "Gui.h"
#include "IniFiles.h"
#include "Registry.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "Wait.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(Framework, StrToIntDefReadsDecimalAndHexForms) {
    const std::pair<std::string, int32_t> cases[] = {{"2", 2},           {"0x2", 2},
                                                     {"0X1f", 31},       {"$2", 2},
                                                     {"$ff", 255},       {"-5", -5},
                                                     {"+7", 7},          {"two", -9},
                                                     {"", -9},           {"$", -9},
                                                     {"0x", -9},         {"2x", -9},
                                                     {"$FFFFFFFF", -1},  {"2147483647", 2147483647},
                                                     {"2147483648", -9}, {"-2147483648", INT32_MIN},
                                                     {"$100000000", -9}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(StrToIntDef(text, -9), expected) << text;
}

TEST(Framework, ErrorDisplayAppendsAFullStopAfterCharactersThatSortAfterIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Can't load UNLHA32.DLL file", "Can't load UNLHA32.DLL file."},
        {"Done.", "Done."},
        {"(see above)", "(see above)"},
        {"a-", "a-"},
        {"a/", "a/."},
        {"", ""},
        {"\x83\x74\x83\x40\x83\x43\x83\x8B", "\x83\x74\x83\x40\x83\x43\x83\x8B."}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ErrorDisplayText(text), expected) << text;
}

TEST(Framework, IniFileReadsValuesAndDefaults) {
    const std::string folder = testbed::FreshFolder("framework-ini");
    testbed::WriteFile(folder + "setup.ini",
                       "[Setup]\r\nProjectName=Project1\r\nDiskNumber=$2\r\nHex=0x10\r\n"
                       "Bad=two\r\n");
    const TIniFile ini(folder + "setup.ini");
    EXPECT_EQ(ini.ReadString("Setup", "ProjectName", ""), "Project1");
    EXPECT_EQ(ini.ReadString("Setup", "GameTitle", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("Setup", "DiskNumber", 0), 2);
    EXPECT_EQ(ini.ReadInteger("Setup", "Hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Setup", "Bad", 0), 0);
    EXPECT_EQ(TIniFile(folder + "missing.ini").ReadString("Setup", "ProjectName", ""), "");
    const std::string longValue(3000, 'x');
    testbed::WriteFile(folder + "long.ini", "[Setup]\r\nGameTitle=" + longValue + "\r\n");
    EXPECT_EQ(TIniFile(folder + "long.ini").ReadString("Setup", "GameTitle", "").size(), 2047u);
}

TEST(Framework, RegistryReadsStringsAndRejectsOtherTypes) {
    const std::string key = "Software\\LumTest\\Framework";
    HKEY created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              0);
    const DWORD number = 5;
    RegSetValueExA(created, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegSetValueExA(created, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%\\x"),
                   9);
    RegCloseKey(created);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key, false));
    registry.WriteString("Text", "value");
    EXPECT_EQ(registry.ReadString("Text"), "value");
    EXPECT_EQ(registry.ReadString("Expand"), "%TEMP%\\x"); // not expanded
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_EQ(registry.ReadInteger("Number"), 5);
    EXPECT_THROW(registry.ReadString("Number"), ERegistryException);
    registry.CloseKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\LumTest");

    TRegistry readOnly(KEY_READ);
    readOnly.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(readOnly.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
    try {
        readOnly.WriteString("LumTest", "x");
        FAIL() << "a read-only key took a value";
    } catch (const ERegistryException& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "'LumTest' "
            "\x82\xCC\x90\xDD\x92\xE8\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
    }
}

TEST(Framework, ExceptionTextsComeFromTheStringTable) {
    EXPECT_EQ(std::string(EFOpenError("C:\\x.001").what()),
              "\x83\x74\x83\x40\x83\x43\x83\x8B C:\\x.001 "
              "\x82\xCD\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1");
    // The second byte of ソ is a backslash that the resource compiler must keep.
    EXPECT_EQ(std::string(EResNotFound("ZEVIZOREZU").what()),
              "ZEVIZOREZU \x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8"
              "\x82\xDC\x82\xB9\x82\xF1");
    // A code without a system text is shown as the fallback with eight hex digits.
    EXPECT_EQ(std::string(EOleSysError(static_cast<HRESULT>(0xA0041234)).what()),
              "OLE Error a0041234");
}

TEST(Framework, EachModalShowingStartsWithoutAResult) {
    TApplication application;
    auto* form = application.CreateForm<TForm>();
    form->SetBounds(100, 100, 200, 100);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(8, 8, 80, 25);
    ok->ModalResult = mrOk;
    // The first showing ends by the button, the second by the close box.
    int shown = 0;
    form->OnShow = [&](TObject*) {
        if (shown++ == 0)
            PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
        else
            PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(form->ShowModal(), mrCancel) << "the first result ended the second showing";
    EXPECT_EQ(shown, 2);
}

// A form with a marked group, check box and buttons, an edit box and a plain "&&" caption,
// driven by keys typed through the system's input.
class FormKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        form->SetBounds(100, 100, 300, 200);
        auto place = [&](auto* control, TWinControl* parent, const char* caption, int top) {
            control->SetParent(parent);
            control->SetText(caption);
            control->SetBounds(8, top, 120, 20);
            controls[caption] = control;
            return control;
        };
        place(new TEdit(form), form, "", 8);
        TGroupBox* group = place(new TGroupBox(form), form, "&Options", 30);
        group->SetHeight(50);
        place(new TCheckBox(form), group, "Inside", 20);
        place(new TCheckBox(form), form, "&Sound", 90);
        auto* go = place(new TButton(form), form, "&Go", 115);
        go->Default = true;
        auto* fish = place(new TButton(form), form, "Fish && &Chips", 140);
        auto* plain = place(new TButton(form), form, "A&&B", 165);
        plain->Cancel = true;
        for (TButton* button : {go, fish, plain})
            button->OnClick = [this, button](TObject*) { clicked += button->Text() + " "; };
        form->Show();
        application.ProcessMessages();
    }

    HWND Of(const char* caption) { return controls.at(caption)->Handle(); }
    bool Checked(const char* caption) {
        return SendMessageA(Of(caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    TApplication application;
    TForm* form = application.CreateForm<TForm>();
    std::map<std::string, TWinControl*> controls;
    std::string clicked;
};

TEST_F(FormKeyboard, MnemonicsEnterAndEsc) {
    struct Step {
        std::initializer_list<WORD> keys;
        const char* focus; // the control focused afterwards
        std::string clicked;
        bool sound;
    };
    const Step steps[] = {
        {{VK_MENU, 'O'}, "Inside", "", false},   // a group's mnemonic leads into it
        {{VK_MENU, 'S'}, "&Sound", "", true},    // a check box is focused and toggled
        {{'S'}, "&Sound", "", false},            // the letter alone on a check box
        {{VK_MENU, 'G'}, "&Sound", "&Go ", false}, // a button is pressed where the focus is
        {{'C'}, "&Sound", "Fish && &Chips ", false},
        {{VK_MENU, 'B'}, "&Sound", "", false},   // "&&" marks no letter
        {{VK_RETURN}, "&Sound", "&Go ", false},  // the default button
        {{VK_ESCAPE}, "&Sound", "A&&B ", false}, // the cancel button
        {{VK_SHIFT, VK_TAB}, "Inside", "", false},
        {{VK_SHIFT, VK_TAB}, "", "", false},     // out of the group to the edit box
        {{'G'}, "", "", false},                  // typed into the edit box
        {{VK_MENU, 'G'}, "", "&Go ", false},
        {{VK_TAB}, "Inside", "", false},
        {{VK_TAB}, "&Sound", "", false},
        {{VK_SPACE}, "&Sound", "", true},        // Space toggles the focused check box
        {{VK_TAB}, "&Go", "", true},
        {{VK_SPACE}, "&Go", "&Go ", true},       // and presses the focused button
        {{VK_TAB}, "Fish && &Chips", "", true},
        {{VK_RETURN}, "Fish && &Chips", "Fish && &Chips ", true}, // Enter: the focused one
    };
    SetFocus(Of("&Sound"));
    for (size_t i = 0; i < std::size(steps); ++i) {
        clicked.clear();
        testbed::TypeKeys(steps[i].keys);
        EXPECT_TRUE(testbed::WaitFor(
            [&] {
                application.ProcessMessages();
                return GetFocus() == Of(steps[i].focus) && clicked == steps[i].clicked &&
                       Checked("&Sound") == steps[i].sound;
            },
            5000))
            << "step " << i << ": clicked " << clicked;
    }
    EXPECT_EQ(controls.at("")->Text(), "g");
}

} // namespace
