// The control base-class layer over real windows: dialog codes, the saved DC
// around erase and print (also when a hook raises), hints, mouse enter/leave
// order, the focus hook and the marker query.
#include "controls/MvExControls.h"

#include "gui/Clipbrd.h"
#include "tests/support/TestForm.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* GLog = nullptr;
void Log(const std::string& S) {
    if (GLog) GLog->push_back(S);
}

// A library-side control that records what reaches its own handling and can
// answer WM_GETDLGCODE with a chosen reply.
class TRecordingControl : public TCustomControl {
public:
    explicit TRecordingControl(TComponent* Owner) : TCustomControl(Owner) {}
    LRESULT DlgCodeReply = DLGC_WANTARROWS | DLGC_STATIC;
    void WndProc(TMessage& M) override {
        switch (M.Msg) {
        case WM_GETDLGCODE:
            M.Result = DlgCodeReply;
            return;
        case CM_MOUSEENTER:
            Log("library enter");
            break;
        case CM_MOUSELEAVE:
            Log("library leave");
            break;
        case CM_PARENTCOLORCHANGED:
            Log("library parent colour");
            break;
        case WM_SETFOCUS:
            Log("library setfocus");
            break;
        default:
            break;
        }
        TCustomControl::WndProc(M);
    }
};

class TTestExControl : public TMvExWinControlLayer<TRecordingControl> {
public:
    explicit TTestExControl(TComponent* Owner) : TMvExWinControlLayer<TRecordingControl>(Owner) {}
    bool DropNative = false;
    bool DropArrows = false;
    bool ThrowInErase = false;
    bool SwallowSetFocus = false;
    using TMvExWinControlLayer<TRecordingControl>::PassToInherited;

protected:
    void AdjustDialogCodes(TDialogCodeSet& Codes) override {
        if (DropNative) Codes.Exclude(dgNative);
        if (DropArrows) Codes.Exclude(dgWantArrows);
    }
    bool DoEraseBackground(TCanvas& Canvas, LPARAM) override {
        // Change the DC's state the way painting code does.
        Canvas.Brush().SetColor(clRed);
        Canvas.Pen().SetColor(clBlue);
        Canvas.FillRect(RECT{0, 0, 4, 4});
        SetTextColor(Canvas.Handle(), RGB(1, 2, 3));
        SetViewportOrgEx(Canvas.Handle(), 7, 9, nullptr);
        if (ThrowInErase) throw std::runtime_error("erase failed");
        return true;
    }
    void DoSetFocus(HWND Previous) override {
        Log("hook setfocus");
        if (!SwallowSetFocus) TMvExWinControlLayer<TRecordingControl>::DoSetFocus(Previous);
    }
};

class TMarkedControl : public TMvExCustomControl, public IExQueryMarker {
public:
    explicit TMarkedControl(TComponent* Owner) : TMvExCustomControl(Owner) {}
};

struct TDCState {
    HGDIOBJ Pen, Brush, Font;
    COLORREF Text;
    POINT Viewport;
    int SaveLevel;
};

TDCState ReadState(HDC DC) {
    TDCState S{};
    S.Pen = GetCurrentObject(DC, OBJ_PEN);
    S.Brush = GetCurrentObject(DC, OBJ_BRUSH);
    S.Font = GetCurrentObject(DC, OBJ_FONT);
    S.Text = GetTextColor(DC);
    GetViewportOrgEx(DC, &S.Viewport);
    S.SaveLevel = SaveDC(DC);
    RestoreDC(DC, -1);
    return S;
}

void ExpectSameState(const TDCState& A, const TDCState& B) {
    EXPECT_EQ(A.Pen, B.Pen);
    EXPECT_EQ(A.Brush, B.Brush);
    EXPECT_EQ(A.Font, B.Font);
    EXPECT_EQ(A.Text, B.Text);
    EXPECT_EQ(A.Viewport.x, B.Viewport.x);
    EXPECT_EQ(A.Viewport.y, B.Viewport.y);
    EXPECT_EQ(A.SaveLevel, B.SaveLevel);
}

class ExControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GLog = &FLog;
        Application->OnException = [this](TObject*, const std::exception& E) { FErrors.push_back(E.what()); };
    }
    void TearDown() override {
        Application->OnException = nullptr;
        GLog = nullptr;
    }
    TTestExControl* MakeControl() {
        auto* C = new TTestExControl(FHolder.Owner());
        C->SetParent(&FHolder.Form());
        C->SetBounds(10, 10, 100, 60);
        C->HandleNeeded();
        return C;
    }
    TTestFormHolder FHolder;
    std::vector<std::string> FLog;
    std::vector<std::string> FErrors;
};

} // namespace

TEST_F(ExControlsTest, DialogCodesKeepTheLibraryReplyUnlessNativeIsDropped) {
    TTestExControl* C = MakeControl();
    EXPECT_EQ(SendMessageA(C->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_STATIC);
    C->DropNative = true;
    EXPECT_EQ(SendMessageA(C->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    C->DropArrows = true;
    EXPECT_EQ(SendMessageA(C->Handle(), WM_GETDLGCODE, 0, 0), 0);
}

TEST_F(ExControlsTest, EraseBackgroundRestoresTheDCAlsoWhenTheHookRaises) {
    TTestExControl* C = MakeControl();
    TWindowDC DC(C->Handle());
    const TDCState Before = ReadState(DC.Get());
    EXPECT_EQ(SendMessageA(C->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC.Get()), 0), 1);
    ExpectSameState(Before, ReadState(DC.Get()));

    C->ThrowInErase = true;
    SendMessageA(C->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC.Get()), 0);
    ExpectSameState(Before, ReadState(DC.Get()));
    ASSERT_EQ(FErrors.size(), 1u); // reported, not lost, and no unwinding through user32
    EXPECT_EQ(FErrors[0], "erase failed");

    // The layer itself restores the DC before the exception leaves it.
    EXPECT_THROW(C->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC.Get()), 0), std::runtime_error);
    ExpectSameState(Before, ReadState(DC.Get()));
}

namespace {
// Paints by changing the DC and, when asked, raising.
class TPaintingControl : public TMvExCustomControl {
public:
    explicit TPaintingControl(TComponent* Owner) : TMvExCustomControl(Owner) {}
    bool Throw = false;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(clLime);
        Canvas().FillRect(RECT{0, 0, 10, 10});
        SetTextColor(Canvas().Handle(), RGB(9, 9, 9));
        SetWindowOrgEx(Canvas().Handle(), 3, 3, nullptr);
        if (Throw) throw std::runtime_error("paint failed");
    }
};
} // namespace

TEST_F(ExControlsTest, PrintClientLeavesTheCallersDCAsItWas) {
    auto* C = new TPaintingControl(FHolder.Owner());
    C->SetParent(&FHolder.Form());
    C->SetBounds(0, 0, 50, 50);
    TWindowDC Screen(nullptr);
    TMemoryDC Mem(Screen.Get());
    TGdiObject<HBITMAP> Bmp(CreateCompatibleBitmap(Screen.Get(), 50, 50));
    TSelectObject Sel(Mem.Get(), Bmp.Get());
    const TDCState Before = ReadState(Mem.Get());
    SendMessageA(C->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Mem.Get()), PRF_CLIENT);
    ExpectSameState(Before, ReadState(Mem.Get()));
    C->Throw = true;
    SendMessageA(C->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Mem.Get()), PRF_CLIENT);
    ExpectSameState(Before, ReadState(Mem.Get()));
    EXPECT_EQ(FErrors.size(), 1u);
    EXPECT_THROW(C->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Mem.Get()), PRF_CLIENT),
                 std::runtime_error);
    ExpectSameState(Before, ReadState(Mem.Get()));
}

TEST_F(ExControlsTest, MouseEnterBeforeAndLeaveAfterTheLibrary) {
    TTestExControl* C = MakeControl();
    bool OverInEnter = false, OverInLeave = true;
    C->OnMouseEnter = [&](TObject*) {
        OverInEnter = C->MouseOver();
        Log("event enter");
    };
    C->OnMouseLeave = [&](TObject*) {
        OverInLeave = C->MouseOver();
        Log("event leave");
    };
    C->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(C));
    C->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(C));
    EXPECT_EQ(FLog,
              (std::vector<std::string>{"event enter", "library enter", "library leave", "event leave"}));
    EXPECT_TRUE(OverInEnter);
    EXPECT_FALSE(OverInLeave);
}

TEST_F(ExControlsTest, ParentColourEventComesAfterTheLibrary) {
    TTestExControl* C = MakeControl();
    C->OnParentColorChange = [](TObject*) { Log("event"); };
    C->Perform(CM_PARENTCOLORCHANGED);
    EXPECT_EQ(FLog, (std::vector<std::string>{"library parent colour", "event"}));
}

TEST_F(ExControlsTest, SetFocusReachesTheLibraryOnlyThroughTheHook) {
    TTestExControl* C = MakeControl();
    C->SwallowSetFocus = true;
    SendMessageA(C->Handle(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(FLog, (std::vector<std::string>{"hook setfocus"}));
    FLog.clear();
    C->SwallowSetFocus = false;
    SendMessageA(C->Handle(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(FLog, (std::vector<std::string>{"hook setfocus", "library setfocus"}));
}

TEST_F(ExControlsTest, HintColourFollowsTheRules) {
    auto* Parent = new TMvExCustomControl(FHolder.Owner());
    Parent->SetParent(&FHolder.Form());
    Parent->SetHintColor(clRed);
    auto* Child = new TMvExCustomControl(FHolder.Owner());
    Child->SetParent(Parent);

    THintInfo Info;
    Info.HintColor = clInfoBk;
    Child->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.HintColor, clRed); // clDefault asks the parent

    auto* Orphan = new TMvExCustomControl(FHolder.Owner());
    THintInfo Lone;
    Lone.HintColor = clInfoBk;
    Orphan->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Lone));
    EXPECT_EQ(Lone.HintColor, clInfoBk); // no parent: the library's colour stays

    const TColor OldApp = Application->HintColor();
    Application->SetHintColor(clAqua);
    Child->SetHintColor(clNone);
    Child->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.HintColor, clAqua);
    Application->SetHintColor(OldApp);

    Child->SetHintColor(clYellow);
    Child->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.HintColor, clYellow);
}

TEST_F(ExControlsTest, MarkerQueryAnswersOnlyForMarkedClasses) {
    auto* Marked = new TMarkedControl(FHolder.Owner());
    auto* Plain = new TMvExCustomControl(FHolder.Owner());
    auto* Graphic = new TMvExGraphicControl(FHolder.Owner());
    EXPECT_EQ(Marked->Perform(CM_EXQUERYMARKER), 1);
    EXPECT_EQ(Plain->Perform(CM_EXQUERYMARKER), 0);
    EXPECT_EQ(Graphic->Perform(CM_EXQUERYMARKER), 0);
}

TEST_F(ExControlsTest, NonWindowedMembersLeaveWindowMessagesToTheLibrary) {
    auto* Graphic = new TMvExGraphicControl(FHolder.Owner());
    Graphic->SetParent(&FHolder.Form());
    // The windowless layer has no dialog-code hook: the library's TControl answers 0.
    EXPECT_EQ(Graphic->Perform(WM_GETDLGCODE), 0);
    int Entered = 0;
    Graphic->OnMouseEnter = [&](TObject*) { ++Entered; };
    Graphic->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Graphic));
    EXPECT_EQ(Entered, 1);
    EXPECT_TRUE(Graphic->MouseOver());
}

#include "controls/MvExCheckLst.h"
#include "controls/MvExExtCtrls.h"
#include "controls/MvExMask.h"
#include "controls/MvExStdCtrls.h"

TEST_F(ExControlsTest, EveryMemberCarriesTheLayer) {
    auto* Panel = new TMvExCustomPanel(FHolder.Owner());
    auto* List = new TMvExCheckListBox(FHolder.Owner());
    auto* Mask = new TMvExCustomMaskEdit(FHolder.Owner());
    auto* Memo = new TMvExCustomMemo(FHolder.Owner());
    auto* Label = new TMvExCustomLabel(FHolder.Owner());
    for (TWinControl* W : std::initializer_list<TWinControl*>{Panel, List, Mask, Memo}) {
        W->SetParent(&FHolder.Form());
        W->HandleNeeded();
    }
    Label->SetParent(&FHolder.Form());
    EXPECT_EQ(Panel->HintColor(), clDefault);
    EXPECT_EQ(Label->HintColor(), clDefault);
    EXPECT_TRUE(Mask->BeepOnError());
    EXPECT_EQ(Mask->ClipboardCommands(), mv::controls::kAllClipboardCommands);
    EXPECT_EQ(Memo->ClipboardCommands(), mv::controls::kAllClipboardCommands);

    // The edit members filter: a memo without Paste keeps its text.
    Memo->SetText("memo");
    Clipboard().SetAsText("X");
    Memo->SetClipboardCommands(TMvClipboardCommands{caCopy});
    SendMessageA(Memo->Handle(), EM_SETSEL, 4, 4);
    EXPECT_EQ(SendMessageA(Memo->Handle(), WM_PASTE, 0, 0), 1);
    EXPECT_EQ(Memo->Text(), "memo");
    Mask->SetText("mask");
    Mask->SetClipboardCommands(TMvClipboardCommands{caCopy});
    EXPECT_EQ(SendMessageA(Mask->Handle(), WM_PASTE, 0, 0), 1);
    EXPECT_EQ(Mask->Text(), "mask");

    // The check list box still answers its own list messages behind the layer.
    SendMessageA(List->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
    EXPECT_EQ(SendMessageA(List->Handle(), LB_GETCOUNT, 0, 0), 1);
    int Entered = 0;
    List->OnMouseEnter = [&](TObject*) { ++Entered; };
    List->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(List));
    EXPECT_EQ(Entered, 1);
}

TEST_F(ExControlsTest, PlainLibraryControlsAlsoKeepTheDCAroundPrintClient) {
    // The library's window procedure does it for every windowed control, ours or not.
    class TPlainPainter : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void Paint() override {
            Canvas().Brush().SetColor(clFuchsia);
            Canvas().FillRect(RECT{0, 0, 5, 5});
            SetMapMode(Canvas().Handle(), MM_TWIPS);
        }
    };
    auto* C = new TPlainPainter(FHolder.Owner());
    C->SetParent(&FHolder.Form());
    C->SetBounds(0, 0, 30, 30);
    TWindowDC Screen(nullptr);
    TMemoryDC Mem(Screen.Get());
    TGdiObject<HBITMAP> Bmp(CreateCompatibleBitmap(Screen.Get(), 30, 30));
    TSelectObject Sel(Mem.Get(), Bmp.Get());
    const TDCState Before = ReadState(Mem.Get());
    SendMessageA(C->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Mem.Get()), PRF_CLIENT);
    ExpectSameState(Before, ReadState(Mem.Get()));
    EXPECT_EQ(GetMapMode(Mem.Get()), MM_TEXT);
}
