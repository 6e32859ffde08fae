// The settings dialog and the Windows-only utilities, under Wine.
#include "app/Settings.h"
#include "app/Utils.h"
#include "base/StrUtils.h"
#include "gui/Application.h"
#include "gui/Responder.h"
#include "gui/StdCtrls.h"
#include "tests/app/ScreenShots.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

TEST(Utils, VolumeSerialOfTheSystemDriveAndOfNoDrive) {
    char Windows[MAX_PATH];
    GetWindowsDirectoryA(Windows, MAX_PATH);
    std::string Root = std::string(Windows, 3);
    std::string Serial = GetVolumeSerial(Root);
    ASSERT_EQ(Serial.size(), 8u) << Root;
    for (char C : Serial)
        EXPECT_TRUE((C >= '0' && C <= '9') || (C >= 'A' && C <= 'F')) << Serial;
    EXPECT_EQ(GetVolumeSerial("B:\\"), "") << "a drive without a medium";
    // The same drive spelled another way has the same serial; no root at all has none.
    std::string Lower = Root;
    Lower[0] = static_cast<char>(Lower[0] - 'A' + 'a');
    EXPECT_EQ(GetVolumeSerial(Lower), Serial);
    EXPECT_EQ(GetVolumeSerial(""), "");
}

TEST(Utils, MyDocumentsIsAnExistingFolder) {
    std::string Path = GetSpecialFolderPath(5);
    ASSERT_FALSE(Path.empty());
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    EXPECT_NE(Attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program names files in the code page of Windows' "A" file functions (1252 under Wine): a
// name with an accent and a dash is held there, a Greek one is not and names no file.
TEST(Utils, FileNamesInTheCodePage) {
    EXPECT_EQ(FileNameCodePage(), 1252u);
    std::string Narrow;
    EXPECT_TRUE(FileNameInCodePage(L"C:\\caf\u00e9 \u2013 notes", Narrow));
    EXPECT_EQ(Narrow, "C:\\caf\xE9 \x96 notes");
    EXPECT_FALSE(FileNameInCodePage(L"C:\\\u03a3\u03b7\u03bc\\caf\u00e9", Narrow));
    EXPECT_EQ(Narrow, "C:\\???\\caf\xE9");
    // No nearest letter stands in for one the code page lacks.
    EXPECT_FALSE(FileNameInCodePage(L"C:\\\u0101", Narrow));
    EXPECT_EQ(Narrow, "C:\\?");
}

TEST(Settings, LoadSettingsLooksBesideTheProgramThenInMyDocuments) {
    LoadSettings();
    std::string Documents = GetSpecialFolderPath(5);
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Program(Path);
    Program.erase(Program.find_last_of('\\') + 1);
    if (GetFileAttributesA((Program + "Miravelund.ini").c_str()) == INVALID_FILE_ATTRIBUTES) {
        // The shell may hand the folder back with its delimiter: no second one.
        EXPECT_EQ(SettingsFileName(), IncludeTrailingPathDelimiter(Documents) + "Miravelund.ini");
        EXPECT_EQ(SettingsFileName().find("\\\\", 2), std::string::npos) << SettingsFileName();
    } else {
        EXPECT_EQ(SettingsFileName(), Program + "Miravelund.ini");
    }
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / "mvsettings-dialog";
        fs::remove_all(Dir);
        fs::create_directories(Dir / "prog");
        std::ofstream(Dir / "prog" / "Miravelund.ini", std::ios::binary)
            << "OpenTopic=tab\r\nNamespaceWindows=no\r\n";
        LoadSettingsFrom((Dir / "prog").string(), (Dir / "docs").string());
    }
    void TearDown() override {
        std::error_code Ignored;
        fs::remove_all(Dir, Ignored);
    }
    std::string FileText() {
        std::ifstream In(Dir / "prog" / "Miravelund.ini", std::ios::binary);
        std::stringstream Out;
        Out << In.rdbuf();
        return Out.str();
    }
    fs::path Dir;
};

TEST_F(SettingsDialogTest, ShowingReflectsTheSettings) {
    TfrmSettings Form(nullptr);
    EXPECT_EQ(Form.Caption(), "Settings");
    Form.Show();
    EXPECT_TRUE(Form.cbNewTab->Checked());
    EXPECT_FALSE(Form.cbNewWindow->Checked());
    EXPECT_FALSE(Form.chkNamespaceWindows->Checked());
    Form.Hide();

    Settings().SetValue("OpenTopic", "window");
    Settings().SetValue("NamespaceWindows", "yes");
    Form.Show();
    EXPECT_TRUE(Form.cbNewWindow->Checked());
    EXPECT_FALSE(Form.cbNewTab->Checked());
    EXPECT_TRUE(Form.chkNamespaceWindows->Checked());

    // The window as the user sees it, in screens/TfrmSettings.png: painted,
    // not a blank rectangle.
    ASSERT_TRUE(mv::test::WaitUntilShown(Form.Handle()));
    const std::vector<uint8_t> Pixels = mv::app::test::SaveWindowPng(Form.Handle(), "TfrmSettings");
    std::set<uint32_t> Colours;
    for (std::size_t I = 0; I + 2 < Pixels.size(); I += 3)
        Colours.insert(Pixels[I] | Pixels[I + 1] << 8 | Pixels[I + 2] << 16);
    EXPECT_GT(Colours.size(), 3u) << "caption, face, text and controls each have their colours";
    Form.Hide();
}

TEST_F(SettingsDialogTest, AltWithTheMarkedLetterChoosesAnOption) {
    TfrmSettings Form(nullptr);
    Form.Show();
    ASSERT_TRUE(Form.cbNewTab->Checked());
    Form.btnOK->SetFocus();
    auto Press = [&](char Letter) {
        PostMessageA(Form.btnOK->Handle(), WM_SYSCHAR, static_cast<WPARAM>(Letter), 0x20000000);
        Application->ProcessMessages();
    };
    Press('w');
    EXPECT_TRUE(Form.cbNewWindow->Checked()) << "Alt+W: A new &window";
    EXPECT_FALSE(Form.cbNewTab->Checked()) << "one radio button of the two";
    EXPECT_EQ(SendMessageA(Form.cbNewTab->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Press('n');
    EXPECT_TRUE(Form.chkNamespaceWindows->Checked()) << "Alt+N: different &namespaces";
    Press('t');
    EXPECT_TRUE(Form.cbNewTab->Checked()) << "Alt+T: A new &tab";
    EXPECT_FALSE(Form.cbNewWindow->Checked());
    Form.btnOKClick(nullptr);
    EXPECT_EQ(FileText(), "OpenTopic=tab\r\nNamespaceWindows=yes\r\n");
    Form.Hide();
}

TEST_F(SettingsDialogTest, OkStoresTheChoicesAndWritesTheFileAtOnce) {
    TfrmSettings Form(nullptr);
    TDialogResponder Responder;
    Responder.ShowModal = [](TForm& Shown) {
        auto& Dialog = static_cast<TfrmSettings&>(Shown);
        Dialog.FormShow(&Dialog);
        Dialog.cbNewWindow->SetChecked(true);
        Dialog.chkNamespaceWindows->SetChecked(true);
        EXPECT_FALSE(Dialog.cbNewTab->Checked()) << "one radio button of the two";
        Dialog.btnOK->Click();
        return 0;
    };
    TDialogResponderScope Scope(Responder);
    EXPECT_EQ(Form.ShowModal(), mrOk);
    EXPECT_EQ(Settings().Values("OpenTopic"), "window");
    EXPECT_EQ(Settings().Values("NamespaceWindows"), "yes");
    EXPECT_EQ(FileText(), "OpenTopic=window\r\nNamespaceWindows=yes\r\n");
}

TEST_F(SettingsDialogTest, CancelChangesNothing) {
    TfrmSettings Form(nullptr);
    TDialogResponder Responder;
    Responder.ShowModal = [](TForm& Shown) {
        auto& Dialog = static_cast<TfrmSettings&>(Shown);
        Dialog.FormShow(&Dialog);
        Dialog.cbNewWindow->SetChecked(true);
        Dialog.btnCancel->Click();
        return 0;
    };
    TDialogResponderScope Scope(Responder);
    EXPECT_EQ(Form.ShowModal(), mrCancel);
    EXPECT_EQ(Settings().Values("OpenTopic"), "tab");
    EXPECT_EQ(FileText(), "OpenTopic=tab\r\nNamespaceWindows=no\r\n");
}

} // namespace
