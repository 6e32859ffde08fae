// Message boxes, input boxes and file dialogs answered by the responder.
#include "GuiTestSupport.h"

#include "gui/Dialogs.h"

#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <dlgs.h>

namespace {

class DialogsTest : public GuiTest {};

// Types into the input form's edit and presses OK.
void CALLBACK PlayTheUser(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = GetActiveWindow();
    HWND edit = FindWindowExA(dialog, nullptr, "EDIT", nullptr);
    SetWindowTextA(edit, "typed");
    HWND ok = FindWindowExA(dialog, nullptr, "BUTTON", "OK");
    SendMessageA(ok, BM_CLICK, 0, 0);
}

// What the user of the real Open dialog types.
std::wstring typedFileName;

// Types the name into the Open dialog's File name box and presses Open, once the dialog is up
// (screens/open-dialog.png).
void CALLBACK TypeTheFileName(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = GetActiveWindow();
    if (!dialog || !GetDlgItem(dialog, cmb13)) return;
    KillTimer(nullptr, id);
    SetDlgItemTextW(dialog, cmb13, typedFileName.c_str());
    if (mv::test::WaitUntilShown(dialog)) SaveScreen(dialog, "open-dialog");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The real Open dialog hands a letter the code page lacks back as '?', which no file name holds,
// never as its nearest letter ("\u0100dams" as "Adams" named another folder); a letter the code
// page has comes back as itself.
TEST_F(DialogsTest, OpenDialogNamesNoOtherFileForALetterTheCodePageLacks) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    char tempA[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempA);
    const struct {
        const wchar_t* folder;
        const char* chosen;
    } cases[] = {{L"caf\u00e9 notes", "caf\xE9 notes"}, {L"\u0100dams notes", "?dams notes"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::wstring folder = std::wstring(temp) + c.folder;
        CreateDirectoryW(folder.c_str(), nullptr);
        typedFileName = folder + L"\\mine.mvdb";
        TOpenDialog dialog(nullptr);
        dialog.SetFilter("Miravelund Database (*.mvdb)|*.mvdb");
        dialog.SetTitle("Select Miravelund Database");
        ASSERT_NE(SetTimer(nullptr, 0, 100, TypeTheFileName), 0u);
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.FileName(), std::string(tempA) + c.chosen + "\\mine.mvdb");
        RemoveDirectoryW(folder.c_str());
    }
}

TEST_F(DialogsTest, MessageDlgMapsTypeAndButtonsToFlags) {
    struct Row {
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        UINT flags;
    } rows[] = {
        {TMsgDlgType::mtInformation, mbOK, MB_ICONINFORMATION | MB_OK},
        {TMsgDlgType::mtConfirmation, mbYesNoCancel, MB_ICONQUESTION | MB_YESNOCANCEL},
        {TMsgDlgType::mtWarning, mbYes | mbNo, MB_ICONWARNING | MB_YESNO},
        {TMsgDlgType::mtError, mbOKCancel, MB_ICONERROR | MB_OKCANCEL},
        {TMsgDlgType::mtError, mbAbortRetryIgnore, MB_ICONERROR | MB_ABORTRETRYIGNORE},
    };
    for (const Row& r : rows)
        EXPECT_EQ(MessageDlgFlags(r.type, r.buttons), r.flags);
}

TEST_F(DialogsTest, MessageDlgReturnsTheResponderAnswer) {
    std::string seen;
    TDialogResponder responder;
    responder.MessageBox = [&](const std::string& text, const std::string& caption, UINT) {
        seen = caption + "|" + text;
        return IDNO;
    };
    TDialogResponderScope scope(responder);
    EXPECT_EQ(MessageDlg("Delete it?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(seen, "Confirm|Delete it?");
}

TEST_F(DialogsTest, UnansweredDialogsAreCancelled) {
    TDialogResponder responder; // nothing assigned
    TDialogResponderScope scope(responder);
    EXPECT_EQ(MessageDlg("?", TMsgDlgType::mtConfirmation, mbYes | mbNo), IDCANCEL);
    EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "");
    TOpenDialog dialog(nullptr);
    dialog.SetFileName("keep.mvdb");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "keep.mvdb");
}

TEST_F(DialogsTest, InputBoxGivesTheAnswerOrEmptyOnCancel) {
    TDialogResponder responder;
    bool accept = true;
    responder.InputQuery = [&](const std::string& caption, const std::string& prompt, std::string& value) {
        EXPECT_EQ(caption, "New tag");
        EXPECT_EQ(prompt, "Name:");
        EXPECT_EQ(value, "draft");
        value = "final";
        return accept;
    };
    TDialogResponderScope scope(responder);
    EXPECT_EQ(InputBox("New tag", "Name:", "draft"), "final");
    accept = false;
    EXPECT_EQ(InputBox("New tag", "Name:", "draft"), "");
    std::string value = "draft";
    EXPECT_FALSE(InputQuery("New tag", "Name:", value));
    EXPECT_EQ(value, "draft");
}

TEST_F(DialogsTest, OpenDialogTakesTheResponderFileName) {
    TDialogResponder responder;
    responder.OpenDialog = [](TOpenDialog& d) {
        EXPECT_EQ(d.Filter(), "Miravelund Database (*.mvdb, *.twdb)|*.mvdb;*.twdb");
        EXPECT_FALSE(d.IsSaveDialog());
        d.SetFileName("C:\\notes\\mine.mvdb");
        return true;
    };
    TDialogResponderScope scope(responder);
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("Miravelund Database (*.mvdb, *.twdb)|*.mvdb;*.twdb");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "C:\\notes\\mine.mvdb");
    EXPECT_EQ(dialog.Files().size(), 1u);
}

TEST_F(DialogsTest, FilterBecomesNulSeparatedPairs) {
    EXPECT_EQ(TOpenDialog::FilterToSystem("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0\0", 13));
    EXPECT_EQ(TOpenDialog::FilterToSystem(""), std::string("\0\0", 2));
}

TEST_F(DialogsTest, RealInputFormReturnsTheEditedText) {
    // No responder: the real form runs; a timer plays the user.
    std::string value = "start";
    UINT_PTR timer = SetTimer(nullptr, 0, 50, PlayTheUser);
    ASSERT_NE(timer, 0u);
    EXPECT_TRUE(InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "typed");
}

} // namespace
