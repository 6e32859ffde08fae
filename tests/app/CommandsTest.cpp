// The note window's command bar and its formatting commands, on the real
// window and editor, read back from the rich-edit control itself.
#include "app/CommandImages.h"
#include "app/InsertChar.h"
#include "app/Note.h"
#include "app/NoteBar.h"
#include "app/TopicViewer.h"
#include "gui/Application.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/ToolBar.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ScreenShots.h"
#include "tests/app/UserInput.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

using namespace mv::app::test;

namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        App.Start();
        Home = NoteWindowsByNamespace.Find("");
        ASSERT_NE(Home, nullptr);
        Editor = Home->Editor();
        Editor->SetText("");
        Editor->SetSelText("hello world\r\nsecond line");
    }

    void Select(int Start, int Length) {
        Editor->SetSelStart(Start);
        Editor->SetSelLength(Length);
    }

    CHARFORMAT2A CharFormat() {
        CHARFORMAT2A F{};
        F.cbSize = sizeof F;
        SendMessageA(Editor->Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&F));
        return F;
    }

    PARAFORMAT2 ParaFormat() {
        PARAFORMAT2 F{};
        F.cbSize = sizeof F;
        SendMessageA(Editor->Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&F));
        return F;
    }

    // A key pressed in the editor with the given modifiers held, through the
    // application's own message handling (shortcuts included).
    void PressKey(WORD Key, BYTE Modifier = 0) {
        SetForegroundWindow(Home->Handle());
        Editor->SetFocus();
        BYTE Keys[256] = {};
        GetKeyboardState(Keys);
        if (Modifier) Keys[Modifier] = 0x80;
        SetKeyboardState(Keys);
        const bool Alt = Modifier == VK_MENU;
        PostMessageA(Editor->Handle(), Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, Key, Alt ? 0x20000001 : 1);
        for (int I = 0; I < 5; ++I)
            Application->ProcessMessages();
        if (Modifier) Keys[Modifier] = 0;
        SetKeyboardState(Keys);
    }

    TAppFixture App{"commands"};
    TfrmNote* Home = nullptr;
    TTopicViewer* Editor = nullptr;
};

TEST_F(CommandsTest, StyleCommandsToggleTheirEffectAndFollowTheSelection) {
    struct Case {
        TAction* TfrmNote::*Action;
        DWORD Effect;
    };
    for (const Case C :
         {Case{&TfrmNote::aBold, CFE_BOLD}, Case{&TfrmNote::aItalic, CFE_ITALIC},
          Case{&TfrmNote::aUnderline, CFE_UNDERLINE}, Case{&TfrmNote::aStrikeout, CFE_STRIKEOUT}}) {
        TAction* Action = Home->*C.Action;
        Select(0, 5);
        Action->SetChecked(false);
        Action->Execute();
        EXPECT_TRUE(Action->Checked()) << Action->Name();
        EXPECT_TRUE(CharFormat().dwEffects & C.Effect) << Action->Name();
        Action->Execute();
        EXPECT_FALSE(Action->Checked()) << Action->Name();
        EXPECT_FALSE(CharFormat().dwEffects & C.Effect) << Action->Name();
    }
    // Moving into bold text checks Bold; strikeout keeps what its command did.
    Select(0, 5);
    Home->aBold->Execute();
    Home->aStrikeout->Execute();
    Select(6, 5);
    EXPECT_FALSE(Home->aBold->Checked());
    EXPECT_TRUE(Home->aStrikeout->Checked());
    Select(1, 2);
    EXPECT_TRUE(Home->aBold->Checked());
    // Bold text with Bold unchecked: the first press sets bold again, the second removes it.
    Home->aBold->SetChecked(false);
    Home->aBold->Execute();
    EXPECT_TRUE(CharFormat().dwEffects & CFE_BOLD);
    Home->aBold->Execute();
    EXPECT_FALSE(CharFormat().dwEffects & CFE_BOLD);
}

// The style buttons show the real format of the selection: after a move to another note (a new
// plain one, or back to bold text), and for a selection only partly bold (not pressed).
TEST_F(CommandsTest, StyleButtonsFollowTheRealFormatAcrossNotes) {
    Select(0, 5);
    Home->aBold->Execute();
    Home->aItalic->Execute();
    Select(2, 0);
    ASSERT_TRUE(Home->aBold->Checked());
    App.Responder.InputQuery = [](const std::string&, const std::string&, std::string& Value) {
        Value = "Fresh";
        return true;
    };
    Home->aNewNote->Execute();
    ASSERT_EQ(Editor->TopicFile(), "Fresh");
    App.Pump();
    EXPECT_FALSE(CharFormat().dwEffects & CFE_BOLD);
    EXPECT_FALSE(Home->aBold->Checked());
    EXPECT_FALSE(Home->aItalic->Checked());
    // Bold pressed at the caret of an empty note, then another new note: plain, not pressed.
    Home->aBold->Execute();
    ASSERT_TRUE(Home->aBold->Checked());
    App.Responder.InputQuery = [](const std::string&, const std::string&, std::string& Value) {
        Value = "Other";
        return true;
    };
    Home->aNewNote->Execute();
    ASSERT_EQ(Editor->TopicFile(), "Other");
    App.Pump();
    EXPECT_FALSE(CharFormat().dwEffects & CFE_BOLD);
    EXPECT_FALSE(Home->aBold->Checked());
    // Typing there gives plain text.
    Editor->SetSelText("plain");
    EXPECT_FALSE(CharFormat().dwEffects & CFE_BOLD);
    Home->aBackward->Execute();
    Home->aBackward->Execute();
    App.Pump();
    Select(2, 0);
    EXPECT_TRUE(Home->aBold->Checked());
    // "hello world": bold and plain together is not bold.
    Select(0, 11);
    EXPECT_FALSE(Home->aBold->Checked());
    EXPECT_FALSE(Home->aItalic->Checked());
}

TEST_F(CommandsTest, UnderlineSetsASingleLineAndUnlinkClearsColourAndUnderline) {
    Select(0, 5);
    Home->aUnderline->Execute();
    CHARFORMAT2A F = CharFormat();
    EXPECT_TRUE(F.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(F.bUnderlineType, CFU_UNDERLINE);
    CHARFORMAT2A Blue{};
    Blue.cbSize = sizeof Blue;
    Blue.dwMask = CFM_COLOR;
    Blue.crTextColor = RGB(0, 0, 255);
    SendMessageA(Editor->Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Blue));
    Home->aUnlink->Execute();
    F = CharFormat();
    EXPECT_FALSE(F.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(F.crTextColor & 0xFFFFFF, 0u);
    EXPECT_FALSE(F.dwEffects & CFE_AUTOCOLOR);
}

TEST_F(CommandsTest, SizeCommandsStepByOnePointAndStopAtOne) {
    Select(0, 5);
    Home->aNormal->Execute();
    EXPECT_EQ(CharFormat().yHeight, 8 * 20);
    Home->aBigger->Execute();
    Home->aBigger->Execute();
    EXPECT_EQ(CharFormat().yHeight, 10 * 20);
    for (int I = 0; I < 12; ++I)
        Home->aSmaller->Execute();
    EXPECT_EQ(CharFormat().yHeight, 1 * 20);
    Home->aNormal->Execute();
    EXPECT_EQ(CharFormat().yHeight, 8 * 20);
}

TEST_F(CommandsTest, ListCommandsSetAndRemoveBulletsAndNumbers) {
    Select(0, 0);
    Home->aBulleted->Execute();
    EXPECT_EQ(ParaFormat().wNumbering, PFN_BULLET);
    Home->aNumbered->Execute();
    PARAFORMAT2 P = ParaFormat();
    EXPECT_EQ(P.wNumbering, 2);
    EXPECT_EQ(P.wNumberingStart, 1);
    EXPECT_EQ(P.wNumberingStyle, PFNS_PERIOD);
    Home->aNumbered->Execute();
    EXPECT_EQ(ParaFormat().wNumbering, 0);
    Home->aBulleted->Execute();
    Home->aBulleted->Execute();
    EXPECT_EQ(ParaFormat().wNumbering, 0);
}

TEST_F(CommandsTest, IndentStepsByTenPointsAndOutdentStopsAtTheMargin) {
    Select(0, 0);
    Home->aIndent->Execute();
    Home->aIndent->Execute();
    EXPECT_EQ(ParaFormat().dxStartIndent, 20 * 20);
    for (int I = 0; I < 4; ++I)
        Home->aOutdent->Execute();
    EXPECT_EQ(ParaFormat().dxStartIndent, 0);
}

TEST_F(CommandsTest, ClipboardCommandsMoveTextThroughTheClipboard) {
    Select(0, 6);
    Home->aCut->Execute();
    EXPECT_EQ(Editor->TextInPositions().substr(0, 5), "world");
    Select(5, 0);
    Home->aPaste->Execute();
    EXPECT_EQ(Editor->TextInPositions().substr(0, 11), "worldhello ");
    Select(0, 5);
    Home->aCopy->Execute();
    Select(Editor->TextLength(), 0);
    Home->aPaste->Execute();
    const std::string Text = Editor->TextInPositions();
    EXPECT_EQ(Text.substr(Text.size() - 5), "world");
}

TEST_F(CommandsTest, ShortcutKeysRunTheCommands) {
    Select(0, 5);
    PressKey('B', VK_CONTROL);
    EXPECT_TRUE(Home->aBold->Checked());
    EXPECT_TRUE(CharFormat().dwEffects & CFE_BOLD);
    // Alt+Right is the second key of Normal.
    Home->aBigger->Execute();
    PressKey(VK_RIGHT, VK_MENU);
    EXPECT_EQ(CharFormat().yHeight, 8 * 20);
}

// A note changed only in its format is saved like typed text: each format command, by its
// keys where it has some, on a note as stored, then away and back.
TEST_F(CommandsTest, AFormatAloneIsSavedWhenTheNoteIsLeft) {
    using mv::app::test::PressKey;
    const struct {
        const char* Name;
        std::function<void()> Before; // formatting stored with the note beforehand
        std::function<void()> Command;
        // The command's format, on "first" or its paragraph, once read back. None for Outdent:
        // Wine's rich edit moves a paragraph's indents on each RTF save and load.
        std::function<bool()> Shows;
    } Cases[] = {
        {"Bold", nullptr, [] { PressKey('B', false, true); },
         [&] { return CharFormat().dwEffects & CFE_BOLD; }},
        {"Italic", nullptr, [] { PressKey('I', false, true); },
         [&] { return CharFormat().dwEffects & CFE_ITALIC; }},
        {"Underline", nullptr, [] { PressKey('U', false, true); },
         [&] { return CharFormat().dwEffects & CFE_UNDERLINE; }},
        {"Strikeout", nullptr, [&] { Home->aStrikeout->Execute(); },
         [&] { return CharFormat().dwEffects & CFE_STRIKEOUT; }},
        {"Bigger", [&] { Editor->SelAttributes().SetSize(10); }, [] { PressKey(VK_UP, false, false, true); },
         [&] { return CharFormat().yHeight == 11 * 20; }},
        {"Smaller", [&] { Editor->SelAttributes().SetSize(10); },
         [] { PressKey(VK_DOWN, false, false, true); }, [&] { return CharFormat().yHeight == 9 * 20; }},
        {"Normal", [&] { Editor->SelAttributes().SetSize(12); },
         [] { PressKey(VK_LEFT, false, false, true); }, [&] { return CharFormat().yHeight == 8 * 20; }},
        {"Unlink",
         [&] {
             Editor->SelAttributes().SetColor(TColor(0xFF0000));
             Editor->SelAttributes().SetUnderlineType(4);
         },
         [] { PressKey('X', false, false, true); },
         [&] { return CharFormat().crTextColor == 0 && !(CharFormat().dwEffects & CFE_UNDERLINE); }},
        {"Bulleted", nullptr, [] { PressKey('B', false, false, true); },
         [&] { return ParaFormat().wNumbering == PFN_BULLET; }},
        {"Numbered", nullptr, [] { PressKey('N', false, false, true); },
         [&] { return ParaFormat().wNumbering == 2; }},
        {"Indent", nullptr, [] { PressKey(VK_OEM_6, false, false, true); },
         [&] { return ParaFormat().dxStartIndent == 10 * 20; }},
        {"Outdent", [&] { Editor->Paragraph().SetFirstIndent(20); },
         [] { PressKey(VK_OEM_4, false, false, true); }, nullptr},
    };
    ASSERT_TRUE(BringToFront(Home->Handle()));
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        App.Main().ShowTopic(C.Name, "");
        Editor->SetSelText("first line\rsecond line");
        Select(0, 5);
        if (C.Before) C.Before();
        App.Main().ShowTopic("Other", "");
        Home->aBackward->Execute();
        Select(0, 5);
        if (C.Shows) {
            ASSERT_FALSE(C.Shows());
        }
        const std::string Stored = CommittedContent(App.Database(), "", C.Name);
        Editor->SetFocus();
        C.Command();
        Home->aForward->Execute();
        EXPECT_NE(CommittedContent(App.Database(), "", C.Name), Stored);
        Home->aBackward->Execute();
        ASSERT_EQ(Home->Caption(), std::string(":") + C.Name);
        Select(0, 5);
        if (C.Shows) {
            EXPECT_TRUE(C.Shows());
        }
    }
}

// Ctrl+S writes a note changed only in its format, and quitting does too: a restarted program
// shows both formats.
TEST_F(CommandsTest, AFormatAloneIsSavedByCtrlSAndByQuitting) {
    using mv::app::test::PressKey;
    App.Main().ShowTopic("Other", "");
    Home->aBackward->Execute();
    ASSERT_TRUE(BringToFront(Home->Handle()));
    Select(0, 0);
    Editor->SetFocus();
    const std::string Stored = CommittedContent(App.Database(), "", "Home");
    PressKey('B', false, false, true);
    PressKey('S', false, true);
    EXPECT_NE(CommittedContent(App.Database(), "", "Home"), Stored);
    Select(Editor->TextLength(), 0);
    PressKey(VK_OEM_6, false, false, true);
    App.Quit();
    App.Start();
    Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    Editor = Home->Editor();
    Select(0, 0);
    EXPECT_EQ(ParaFormat().wNumbering, PFN_BULLET);
    Select(Editor->TextLength(), 0);
    EXPECT_EQ(ParaFormat().dxStartIndent, 10 * 20);
}

// Ends a menu loop that the keys of a test started (every key would go to it until then).
VOID CALLBACK EndMenuLoop(HWND, UINT, UINT_PTR, DWORD) {
    GUITHREADINFO Info{};
    Info.cbSize = sizeof Info;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &Info) && (Info.flags & GUI_INMENUMODE)) EndMenu();
}

// An Alt shortcut the note took leaves the keyboard with the note, however its keys are let go:
// Wine started the window menu's loop when Alt was let go, and every key after it, Ctrl+S
// included, was lost. Alt let go before the key comes as a plain key release; Alt held a while
// repeats before the key; the first order is a repeat after the key. An Alt pressed alone still
// opens the menu, right after such a shortcut too, and Alt+Space and Alt+F4 still reach the
// window's menu and its close command.
TEST_F(CommandsTest, KeysAfterAnAltShortcutStayWithTheNote) {
    using mv::app::test::PressKey;
    ASSERT_TRUE(BringToFront(Home->Handle()));
    int MenuLoops = 0, CloseCommands = 0;
    const int Hook = Home->AddMessageHook([&](TMessage& M) {
        if (M.Msg == WM_ENTERMENULOOP) ++MenuLoops;
        if (M.Msg != WM_SYSCOMMAND || (M.WParam & 0xFFF0) != SC_CLOSE) return false;
        ++CloseCommands; // taken here: the note stays open
        return true;
    });
    const UINT_PTR Guard = SetTimer(nullptr, 0, 250, EndMenuLoop);
    struct TStep {
        bool Alt, Up;
    };
    const TStep AltDown{true, false}, AltUp{true, true}, KeyDown{false, false}, KeyUp{false, true};
    const struct {
        const char* Word;
        std::vector<TStep> Steps;
    } Orders[] = {
        {"repeated", {AltDown, KeyDown, KeyUp, AltDown, AltUp}},
        {"altfirst", {AltDown, KeyDown, AltUp, KeyUp}},
        {"keyfirst", {AltDown, KeyDown, KeyUp, AltUp}},
        {"held", {AltDown, AltDown, AltDown, KeyDown, AltUp, KeyUp}},
    };
    const struct {
        WORD Key;
        const char* Word;
    } Shortcuts[] = {{'B', "bullets"}, {'N', "numbers"}, {VK_UP, "bigger"}};
    // The menu loops that Alt pressed alone starts.
    auto AltAlone = [&] {
        const int Before = MenuLoops;
        KeyEvent(VK_MENU, false);
        KeyEvent(VK_MENU, true);
        SettleInput(100);
        return MenuLoops - Before;
    };
    for (const auto& S : Shortcuts) {
        for (const auto& O : Orders) {
            const std::string Typed = std::string(S.Word) + O.Word;
            SCOPED_TRACE(Typed);
            auto Shortcut = [&] {
                for (const TStep& Step : O.Steps)
                    KeyEvent(Step.Alt ? WORD(VK_MENU) : S.Key, Step.Up);
            };
            Select(Editor->TextLength(), 0);
            Editor->SetFocus();
            const int Before = MenuLoops;
            Shortcut();
            TypeText(Typed);
            PressKey('S', false, true);
            EXPECT_NE(CommittedContent(App.Database(), "", "Home").find(Typed), std::string::npos);
            EXPECT_EQ(MenuLoops, Before);
            Shortcut();
            EXPECT_EQ(AltAlone(), 1);
        }
    }
    const int Before = MenuLoops;
    PressKey(VK_SPACE, false, false, true);
    SettleInput(100);
    EXPECT_EQ(MenuLoops, Before + 1);
    PressKey(VK_F4, false, false, true);
    EXPECT_EQ(CloseCommands, 1);
    KillTimer(nullptr, Guard);
    Home->RemoveMessageHook(Hook);
}

TEST_F(CommandsTest, GraveAccentSwitchesTheToolBarsAndTheMenuFollows) {
    TNoteCommandBar* Bar = Home->CommandBar();
    Home->Show();
    ASSERT_TRUE(mv::test::WaitUntilShown(Home->Handle()));
    EXPECT_TRUE(Bar->tbEdit->Visible());
    EXPECT_FALSE(Bar->tbFile->Visible());
    EXPECT_TRUE(Home->aCommandBarEdit->Checked());
    SaveWindowPng(Home->Handle(), "TfrmNote-tbEdit");

    PressKey(0xC0);
    EXPECT_FALSE(Bar->tbEdit->Visible());
    EXPECT_TRUE(Bar->tbFile->Visible());
    EXPECT_TRUE(Home->aCommandBarFile->Checked());
    EXPECT_FALSE(Home->aCommandBarEdit->Checked());
    ASSERT_TRUE(mv::test::WaitUntilShown(Home->Handle()));
    SaveWindowPng(Home->Handle(), "TfrmNote-tbFile");
    // The grave accent switched; it typed nothing.
    EXPECT_EQ(Editor->TextInPositions().find('`'), std::string::npos);

    PressKey(0xC0);
    EXPECT_TRUE(Bar->tbEdit->Visible());
    EXPECT_FALSE(Bar->tbFile->Visible());

    // The switch image's menu: choosing File shows the File tool bar.
    App.Responder.Popup = [](TPopupMenu& Menu, int, int) {
        ASSERT_EQ(Menu.Items().Count(), 2);
        EXPECT_EQ(Menu.Items().Items(0)->Caption(), "&Edit");
        Menu.Items().Items(1)->Click();
    };
    Bar->imgCommandBarSwitch->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Bar->imgCommandBarSwitch->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(Bar->tbFile->Visible());
    EXPECT_FALSE(Bar->tbEdit->Visible());
    EXPECT_TRUE(Home->aCommandBarFile->Checked());
}

TEST_F(CommandsTest, ToolBarsHoldTheirButtonsMenusAndHints) {
    TNoteCommandBar* Bar = Home->CommandBar();
    // The pictures come from the program's bitmap resource, all of them.
    ASSERT_NE(Bar->tbEdit->Images(), nullptr);
    EXPECT_EQ(Bar->tbEdit->Images()->Count(), mv::app::imgCommandCount);
    EXPECT_EQ(TNoteCommandBar::ButtonOf(*Bar->tbEdit, Home->aBold)->ImageIndex(), mv::app::imgBold);
    TToolButton* Bulleted = TNoteCommandBar::ButtonOf(*Bar->tbEdit, Home->aBulleted);
    ASSERT_NE(Bulleted, nullptr);
    EXPECT_EQ(Bulleted->Style(), TToolButtonStyle::tbsDropDown);
    EXPECT_EQ(Bulleted->DropdownMenu(), Bar->popList);
    EXPECT_EQ(Bulleted->Hint(), "Set the paragraph to a bulleted list.");
    EXPECT_EQ(TNoteCommandBar::ButtonOf(*Bar->tbEdit, Home->aCut)->DropdownMenu(), Bar->popEdit);
    EXPECT_EQ(Bar->tbInsert->Hint(), "Insert...");
    EXPECT_NE(TNoteCommandBar::ButtonOf(*Bar->tbFile, Home->aNoteRename), nullptr);
    EXPECT_NE(TNoteCommandBar::ButtonOf(*Bar->tbManagers, Home->aForward), nullptr);
    EXPECT_EQ(Home->aNoteRename->GetShortCut(), ShortCut(VK_F2, 0));

    // Any button on Insert opens its menu of three; Backward follows its action.
    std::vector<std::string> Shown;
    App.Responder.Popup = [&Shown](TPopupMenu& Menu, int, int) {
        for (int I = 0; I < Menu.Items().Count(); ++I)
            Shown.push_back(Menu.Items().Items(I)->Caption());
    };
    Bar->tbInsert->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(Shown,
              (std::vector<std::string>{"Special &Character...", "&Image From File...", "&Object..."}));
    TToolButton* Back = TNoteCommandBar::ButtonOf(*Bar->tbManagers, Home->aBackward);
    EXPECT_FALSE(Back->Enabled());
    App.Main().ShowTopic("Other", "");
    EXPECT_TRUE(Back->Enabled());
    // The drop-down arrow of Bulleted opens its menu and does not run the action.
    Shown.clear();
    Select(0, 0);
    const int ArrowX = Bulleted->Width() - 4;
    Bulleted->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ArrowX, 5));
    Bulleted->Perform(WM_LBUTTONUP, 0, MAKELPARAM(ArrowX, 5));
    EXPECT_EQ(Shown, (std::vector<std::string>{"&Bulleted", "&Numbered"}));
    EXPECT_EQ(ParaFormat().wNumbering, 0);
    // Its face runs it.
    Bulleted->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
    Bulleted->Perform(WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
    EXPECT_EQ(ParaFormat().wNumbering, PFN_BULLET);
}

TEST_F(CommandsTest, SpecialCharacterReplacesTheSelectionOnlyOnOk) {
    Select(0, 5);
    App.OnShowModal = [](TForm&) { return int(mrCancel); };
    Home->aInsertChar->Execute();
    EXPECT_EQ(Editor->TextInPositions().substr(0, 11), "hello world");
    // OK with nothing chosen inserts nothing either.
    App.OnShowModal = [](TForm& Form) {
        dynamic_cast<TfrmInsertChar&>(Form).SelectedChar = 0;
        return int(mrOk);
    };
    Home->aInsertChar->Execute();
    EXPECT_EQ(Editor->TextInPositions().substr(0, 11), "hello world");
    // The character chosen in the picker replaces the selection.
    App.OnShowModal = [](TForm& Form) {
        dynamic_cast<TfrmInsertChar&>(Form).SelectedChar = '\xE9';
        return int(mrOk);
    };
    Select(0, 5);
    Home->aInsertChar->Execute();
    EXPECT_EQ(Editor->TextInPositions().substr(0, 7), "\xE9 world");
    App.OnShowModal = nullptr;
}

} // namespace
