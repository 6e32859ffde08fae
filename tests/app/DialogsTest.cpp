// The small dialogs driven as a user would: the first-launch choice, the about
// and credits boxes, the special-character picker. Each is saved as a screen.
#include "app/About.h"
#include "app/TopicDocument.h"
#include "app/Credits.h"
#include "app/FirstLaunch.h"
#include "app/InsertChar.h"
#include "app/Note.h"
#include "app/TopicViewer.h"
#include "app/Utils.h"
#include "labels/MvHtControls.h"
#include "gui/Dialogs.h"
#include "gui/Grids.h"
#include "gui/Responder.h"
#include "gui/StdCtrls.h"
#include "tests/app/AppFixture.h"
#include "tests/app/UserInput.h"
#include "tests/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using mv::app::test::TAppFixture;

namespace {

void ShowForScreen(TForm& Form, const char* Name) {
    Form.Show();
    SetWindowPos(Form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SaveSettledScreen(Form.Handle(), Name);
    Form.Hide();
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { Application->Initialize(); }
    TDialogResponder Responder;
};

TEST_F(DialogsTest, FirstLaunchSelectAnswersTheChosenFile) {
    TDialogResponderScope Scope(Responder);
    TfrmFirstLaunch Form(nullptr);
    EXPECT_EQ(Form.OpenDialog->InitialDir(), GetSpecialFolderPath(5));
    EXPECT_TRUE(GetWindowLongA(Form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    ShowForScreen(Form, "first-launch");

    // OK in the Open dialog with a new name ends the dialog with OK.
    Responder.OpenDialog = [](TOpenDialog& D) {
        D.SetFileName("C:\\notes\\mine.mvdb");
        return true;
    };
    Responder.ShowModal = [&](TForm& F) {
        EXPECT_EQ(&F, &Form);
        Form.btnSelect->Click();
        return 0;
    };
    EXPECT_EQ(Form.ShowModal(), mrOk);
    EXPECT_EQ(Form.DatabaseFileName, "C:\\notes\\mine.mvdb");
}

// A file chosen in a folder the code page cannot name comes back with '?' for those
// characters: the user is told why and chooses again, instead of the store failing on it.
TEST_F(DialogsTest, FirstLaunchRefusesAChosenNameTheCodePageCannotHold) {
    TDialogResponderScope Scope(Responder);
    TfrmFirstLaunch Form(nullptr);
    int Chosen = 0;
    Responder.OpenDialog = [&](TOpenDialog& D) {
        D.SetFileName(++Chosen == 1 ? "C:\\users\\????????\\notes.mvdb" : "C:\\notes\\mine.mvdb");
        return true;
    };
    std::string Told;
    Responder.MessageBox = [&](const std::string& Text, const std::string&, UINT) {
        Told = Text;
        return IDOK;
    };
    Responder.ShowModal = [&](TForm&) {
        Form.btnSelect->Click();
        EXPECT_EQ(Form.ModalResult(), mrNone);
        Form.btnSelect->Click();
        return 0;
    };
    EXPECT_EQ(Form.ShowModal(), mrOk);
    EXPECT_EQ(Form.DatabaseFileName, "C:\\notes\\mine.mvdb");
    EXPECT_NE(Told.find("C:\\users\\????????\\notes.mvdb"), std::string::npos) << Told;
    EXPECT_NE(Told.find("code page"), std::string::npos) << Told;
}

TEST_F(DialogsTest, FirstLaunchCancelAndQuit) {
    TDialogResponderScope Scope(Responder);
    TfrmFirstLaunch Form(nullptr);
    // Cancel in the Open dialog leaves the choice open.
    Responder.ShowModal = [&](TForm&) {
        Form.btnSelect->Click();
        EXPECT_EQ(Form.ModalResult(), mrNone);
        Form.btnQuit->Click();
        return 0;
    };
    EXPECT_EQ(Form.ShowModal(), mrCancel);
    EXPECT_EQ(Form.DatabaseFileName, "");
    EXPECT_TRUE(Form.btnQuit->Cancel());
    EXPECT_TRUE(Form.btnSelect->Default());
    EXPECT_EQ(Form.btnSelect->Hint(), "Select an existing or new database filename.");
}

TEST_F(DialogsTest, FirstLaunchOpensMyDocumentsFromItsLink) {
    TfrmFirstLaunch Form(nullptr);
    std::vector<std::string> Opened;
    auto Previous = TfrmFirstLaunch::OpenFolder;
    TfrmFirstLaunch::OpenFolder = [&](const std::string& F) { Opened.push_back(F); };
    for (const char* Link : {"MyDocuments", "mydocuments", "MyDocuments2", "credits"})
        Form.MvHTLabel1->OnHyperLinkClick(Form.MvHTLabel1, Link);
    TfrmFirstLaunch::OpenFolder = Previous;
    const std::string Docs = GetSpecialFolderPath(5);
    EXPECT_EQ(Opened, (std::vector<std::string>{Docs, Docs}));
    // The label names that link and the community site.
    EXPECT_NE(Form.MvHTLabel1->Caption().find("href=\"MyDocuments\""), std::string::npos);
    EXPECT_NE(Form.MvHTLabel1->Caption().find("https://"), std::string::npos);
}

TEST_F(DialogsTest, AboutCreditsLinkShowsTheCreditsModally) {
    TDialogResponderScope Scope(Responder);
    const mv::app::TTopicServices NoServices;
    TfrmAbout About(nullptr, NoServices);
    ShowForScreen(About, "about");
    int Shown = 0;
    Responder.ShowModal = [&](TForm& F) {
        auto* Credits = dynamic_cast<TfrmCredits*>(&F);
        EXPECT_NE(Credits, nullptr);
        if (!Credits) return int(mrCancel);
        ++Shown;
        EXPECT_EQ(Credits->Owner(), &About);
        const std::string Text = Credits->MvHTLabel1->Caption();
        for (const char* Named : {"SQLite", "libjpeg-turbo", "MinGW-w64",
                                  "This software is based in part on the work of<br><IND=12>the Independent "
                                  "JPEG Group."})
            EXPECT_NE(Text.find(Named), std::string::npos) << Named;
        ShowForScreen(*Credits, "credits");
        return int(mrOk);
    };
    About.MvHTLabel3->OnHyperLinkClick(About.MvHTLabel3, "credits");
    EXPECT_EQ(Shown, 1);
    // Other names, and the credits name on the first label, do nothing.
    About.MvHTLabel3->OnHyperLinkClick(About.MvHTLabel3, "Credits");
    About.MvHTLabel1->OnHyperLinkClick(About.MvHTLabel1, "credits");
    EXPECT_EQ(Shown, 1);
}

// A line drawn in pieces (each tag starts one) shows exactly what the same line drawn in one
// piece shows: a piece starts where the one before it ends, with no gap ("libjpeg-turbo , the"
// under Wine, which draws Tahoma narrower than it measures it).
TEST_F(DialogsTest, MarkupPiecesJoinWithoutGaps) {
    TForm Form(nullptr);
    Form.SetBounds(50, 50, 420, 120);
    Form.SetColor(clWhite);
    auto AddLabel = [&Form](int Top, const char* Caption) {
        auto* Label = new TMvHTLabel(&Form);
        Label->SetParent(&Form);
        Label->Font().SetName("Tahoma");
        Label->Font().SetHeight(-11);
        Label->SetBounds(8, Top, 380, 16);
        Label->SetCaption(Caption);
        return Label;
    };
    TMvHTLabel* Whole = AddLabel(8, "libjpeg-turbo, the JPEG codec: www.example.org");
    TMvHTLabel* Pieces = AddLabel(40, "libjpeg-<i></i>turbo<s></s>, the JPEG codec: <u></u>www.example.org");
    Form.Show();
    SetWindowPos(Form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    int W = 0, H = 0;
    const std::vector<uint32_t> Pixels = CaptureClient(Form.Handle(), W, H);
    auto Row = [&](TMvHTLabel* Label, int Y) {
        const auto* Start = &Pixels[static_cast<size_t>(Label->Top() + Y) * W + Label->Left()];
        return std::vector<uint32_t>(Start, Start + Label->Width());
    };
    int Ink = 0;
    for (int Y = 0; Y < 16; ++Y) {
        const std::vector<uint32_t> A = Row(Whole, Y), B = Row(Pieces, Y);
        EXPECT_EQ(A, B) << "row " << Y;
        for (const uint32_t P : A)
            Ink += P != 0xFFFFFF;
    }
    EXPECT_GT(Ink, 100); // the text is there
    SaveSettledScreen(Form.Handle(), "markup-pieces");
    Form.Hide();
}

TEST(AboutHelp, HelpLinkClosesTheBoxAndOpensTheHelpNamespace) {
    TAppFixture App("abouthelp");
    App.Start();
    ASSERT_NE(frmAbout, nullptr);
    ASSERT_EQ(NoteWindowsByNamespace.Find("Help"), nullptr);
    App.OnShowModal = [&](TForm& F) {
        EXPECT_EQ(&F, frmAbout);
        frmAbout->MvHTLabel1->OnHyperLinkClick(frmAbout->MvHTLabel1, "help:");
        return 0;
    };
    EXPECT_EQ(frmAbout->ShowModal(), mrCancel);
    EXPECT_NE(NoteWindowsByNamespace.Find("Help"), nullptr);
    App.Quit();
}

static void CALLBACK ClickHelpLink(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    frmAbout->MvHTLabel1->OnHyperLinkClick(frmAbout->MvHTLabel1, "help:");
}

static void CALLBACK AbortAbout(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    frmAbout->SetModalResult(mrAbort);
}

// The box in its real modal loop over the Home window; its Help link, clicked while it is up,
// opens the Help window in front: the window the user opened is the active one, above Home.
TEST(AboutHelp, HelpOpensInFrontOfTheWindowBelowTheBox) {
    TAppFixture App("abouthelpfront");
    App.Start();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    ASSERT_TRUE(mv::app::test::BringToFront(Home->Handle()));
    TDialogResponder* Answering = SetDialogResponder(nullptr); // the real modal loop
    SetTimer(nullptr, 0, 300, ClickHelpLink);
    // Should the link not close the box, the test goes on instead of waiting for ever.
    const UINT_PTR Guard = SetTimer(nullptr, 0, 8000, AbortAbout);
    const int Result = frmAbout->ShowModal();
    KillTimer(nullptr, Guard);
    SetDialogResponder(Answering);
    EXPECT_EQ(Result, mrCancel);
    TfrmNote* Help = NoteWindowsByNamespace.Find("Help");
    ASSERT_NE(Help, nullptr);
    mv::app::test::SettleInput(300);
    EXPECT_EQ(GetForegroundWindow(), Help->Handle());
    EXPECT_EQ(GetActiveWindow(), Help->Handle());
    // Help is above Home in the order of the top-level windows.
    bool HelpFirst = false;
    for (HWND W = GetTopWindow(nullptr); W; W = GetWindow(W, GW_HWNDNEXT)) {
        if (W == Help->Handle()) HelpFirst = true;
        if (W == Help->Handle() || W == Home->Handle()) break;
    }
    EXPECT_TRUE(HelpFirst);
    App.Quit();
}

class InsertCharTest : public DialogsTest {
protected:
    static void DoubleClick(TStringGrid& Grid, int X, int Y) {
        const LPARAM P = MAKELPARAM(X, Y);
        SendMessageA(Grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        SendMessageA(Grid.Handle(), WM_LBUTTONUP, 0, P);
        SendMessageA(Grid.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, P);
        SendMessageA(Grid.Handle(), WM_LBUTTONUP, 0, P);
    }
    static POINT CellCentre(TStringGrid& Grid, int Col, int Row) {
        const RECT R = Grid.CellRect(Col, Row);
        return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
};

TEST_F(InsertCharTest, EveryCodeHasAVisibleCell) {
    TfrmInsertChar Form(nullptr);
    TStringGrid& Grid = *Form.chars;
    Form.HandleNeeded();
    const RECT Client = Grid.ClientRect();
    std::set<int> Codes;
    for (int Row = 0; Row < Grid.RowCount(); ++Row) {
        for (int Col = 0; Col < Grid.ColCount(); ++Col) {
            const std::string& Text = Grid.Cells(Col, Row);
            ASSERT_EQ(Text.size(), 1u) << Col << "," << Row;
            Codes.insert(static_cast<unsigned char>(Text[0]));
            const RECT R = Grid.CellRect(Col, Row);
            EXPECT_LE(R.right, Client.right) << Col;
            EXPECT_LE(R.bottom, Client.bottom) << Row;
        }
    }
    EXPECT_EQ(Codes.size(), 224u);
    EXPECT_EQ(*Codes.begin(), 32);
    EXPECT_EQ(*Codes.rbegin(), 255);
    ShowForScreen(Form, "insert-character");
}

// Escape, pressed as a user does with the picker open and its grid focused, closes it and
// chooses nothing; the next opening works as the first.
TEST_F(InsertCharTest, EscapeClosesThePickerChoosingNothing) {
    TDialogResponderScope Scope(Responder);
    int Shown = 0;
    Responder.ShowModal = [&](TForm& Form) {
        ++Shown;
        auto& Picker = dynamic_cast<TfrmInsertChar&>(Form);
        Picker.Show(); // as ShowModal shows it
        EXPECT_TRUE(mv::app::test::BringToFront(Picker.Handle()));
        EXPECT_EQ(GetFocus(), Picker.chars->Handle());
        mv::app::test::PressKey(VK_RIGHT);
        mv::app::test::PressKey(VK_ESCAPE);
        EXPECT_EQ(Picker.ModalResult(), mrCancel);
        Picker.Hide();
        return int(mrNone); // the result the keys set
    };
    char Chosen = 'x';
    EXPECT_FALSE(PickSpecialCharacter(Chosen));
    EXPECT_FALSE(PickSpecialCharacter(Chosen));
    EXPECT_EQ(Chosen, 'x');
    EXPECT_EQ(Shown, 2);
}

TEST_F(InsertCharTest, DoubleClickChoosesOnlyACharacterCell) {
    TfrmInsertChar Form(nullptr);
    TStringGrid& Grid = *Form.chars;
    Form.Show();
    struct Case {
        int Col, Row;
        char Expected;
    } Cases[] = {{1, 1, 'A'}, {0, 0, ' '}, {31, 6, '\xFF'}, {0, 5, '\xC0'}};
    for (const Case& C : Cases) {
        Form.SetModalResult(mrNone);
        const POINT P = CellCentre(Grid, C.Col, C.Row);
        DoubleClick(Grid, P.x, P.y);
        EXPECT_EQ(Form.ModalResult(), mrOk) << C.Col << "," << C.Row;
        EXPECT_EQ(Form.SelectedChar, C.Expected);
    }
    // On the line between two cells, and on a cell without a character: nothing.
    Form.SetModalResult(mrNone);
    Form.SelectedChar = 0;
    const RECT R = Grid.CellRect(2, 2);
    DoubleClick(Grid, R.right, R.top + 5);
    Grid.SetCells(3, 3, "");
    const POINT Empty = CellCentre(Grid, 3, 3);
    DoubleClick(Grid, Empty.x, Empty.y);
    EXPECT_EQ(Form.ModalResult(), mrNone);
    EXPECT_EQ(Form.SelectedChar, 0);
    Form.Hide();
}

TEST_F(InsertCharTest, ArrowKeysMoveTheCurrentCellWithinTheGrid) {
    TfrmInsertChar Form(nullptr);
    TStringGrid& Grid = *Form.chars;
    Form.HandleNeeded();
    struct Step {
        WPARAM Key;
        int Col, Row;
    } Steps[] = {{VK_LEFT, 0, 0}, {VK_UP, 0, 0},     {VK_RIGHT, 1, 0}, {VK_DOWN, 1, 1},
                 {VK_END, 31, 1}, {VK_RIGHT, 31, 1}, {VK_HOME, 0, 1}};
    for (const Step& S : Steps) {
        SendMessageA(Grid.Handle(), WM_KEYDOWN, S.Key, 0);
        EXPECT_EQ(Grid.Col(), S.Col) << S.Key;
        EXPECT_EQ(Grid.Row(), S.Row) << S.Key;
    }
    for (int I = 0; I < 10; ++I)
        SendMessageA(Grid.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Grid.Row(), TfrmInsertChar::kRows - 1);
}

TEST_F(InsertCharTest, PickSpecialCharacterGivesTheChoiceOnOk) {
    TDialogResponderScope Scope(Responder);
    int Shown = 0;
    TfrmInsertChar* Seen = nullptr;
    Responder.ShowModal = [&](TForm& F) {
        auto* Picker = dynamic_cast<TfrmInsertChar*>(&F);
        EXPECT_NE(Picker, nullptr);
        if (!Picker) return int(mrCancel);
        // The same picker every time.
        if (Seen) {
            EXPECT_EQ(Picker, Seen);
        }
        Seen = Picker;
        if (++Shown == 2) return int(mrCancel);
        const POINT P = CellCentre(*Picker->chars, 9, 5); // code 32 + 5 * 32 + 9
        DoubleClick(*Picker->chars, P.x, P.y);
        return 0;
    };
    char Chosen = 'x';
    EXPECT_TRUE(PickSpecialCharacter(Chosen));
    EXPECT_EQ(Chosen, '\xC9');
    Chosen = 'x';
    EXPECT_FALSE(PickSpecialCharacter(Chosen));
    EXPECT_EQ(Chosen, 'x');
    EXPECT_EQ(Shown, 2);
}

TEST(InsertCharInNote, TheChosenCharacterReplacesTheSelection) {
    TAppFixture App("insertchar");
    App.Start();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    TTopicViewer& Editor = *Home->Editor();
    Editor.SetText("Home\rcafe\r");
    Editor.SetSelStart(8);
    Editor.SetSelLength(1);
    ASSERT_EQ(Editor.SelText(), "e");
    int Answer = 0;
    int PickerShown = 0;
    App.OnShowModal = [&](TForm& F) {
        auto* Picker = dynamic_cast<TfrmInsertChar*>(&F);
        EXPECT_NE(Picker, nullptr) << "the command did not show the picker";
        if (!Picker) return int(mrCancel);
        ++PickerShown;
        if (Answer == mrCancel) return int(mrCancel);
        const RECT R = Picker->chars->CellRect(9, 6); // code 32 + 6 * 32 + 9 = 0xE9
        const LPARAM P = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        SendMessageA(Picker->chars->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        SendMessageA(Picker->chars->Handle(), WM_LBUTTONUP, 0, P);
        SendMessageA(Picker->chars->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, P);
        return 0;
    };
    Home->aInsertChar->Execute();
    ASSERT_EQ(PickerShown, 1);
    EXPECT_NE(Editor.Text().find("caf\xE9"), std::string::npos) << Editor.Text();
    // Cancel leaves the text as it is.
    Answer = mrCancel;
    Editor.SetSelStart(5);
    Editor.SetSelLength(1);
    Home->aInsertChar->Execute();
    EXPECT_EQ(PickerShown, 2);
    EXPECT_NE(Editor.Text().find("caf\xE9"), std::string::npos) << Editor.Text();
    App.Quit();
}

} // namespace
