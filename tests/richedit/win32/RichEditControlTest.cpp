// The rich-edit control over a real window: selection and replace-selection,
// link clicks, protection, the context menu (one per click) and its enabling,
// clipboard filtering, dialog codes, lines, ranges, zoom, limits and printing.
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"
#include "richedit/MvFixedEditPopUp.h"

#include "base/Streams.h"
#include "gui/Clipbrd.h"
#include "gui/Responder.h"
#include "tests/richedit/win32/RichEditFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RichEditControl : public TRichEditFixture {
protected:
    static ENLINK Link(TMvRichEdit& R, UINT Msg, LONG Min, LONG Max) {
        ENLINK L{};
        L.nmhdr.hwndFrom = R.Handle();
        L.nmhdr.code = EN_LINK;
        L.msg = Msg;
        L.chrg = CHARRANGE{Min, Max};
        return L;
    }
    static void SendLink(TMvRichEdit& R, UINT Msg, LONG Min, LONG Max) {
        ENLINK L = Link(R, Msg, Min, Max);
        R.Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&L));
    }
};

} // namespace

TEST_F(RichEditControl, SelTextLeavesTheCaretAfterTheInsertedText) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "hello world");
    R->SetSelection(6, 11, false);
    R->SetForceUndo(false);
    SendMessageA(R->Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
    R->SetSelText("there");
    const CHARRANGE Sel = R->GetSelection();
    EXPECT_EQ(Sel.cpMin, 11);
    EXPECT_EQ(Sel.cpMax, 11);
    EXPECT_EQ(R->GetTextRange(0, -1), "hello there");
    EXPECT_FALSE(R->CanUndo()); // not undoable without ForceUndo

    R->SetForceUndo(true);
    R->SetSelText("!");
    EXPECT_TRUE(R->CanUndo());
}

TEST_F(RichEditControl, ReplaceFromElsewhereLeavesTheInsertedTextSelectedAsTheWindowCountsIt) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "ab");
    R->SetSelection(1, 1, false);
    // CR LF becomes one paragraph mark in the window: the selection must be read
    // back, not computed from the byte count.
    SendMessageA(R->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("x\r\ny"));
    const CHARRANGE Sel = R->GetSelection();
    EXPECT_EQ(Sel.cpMin, 1);
    EXPECT_EQ(Sel.cpMax, 4);
    EXPECT_EQ(R->GetTextRange(Sel.cpMin, Sel.cpMax), "x\ry");
}

TEST_F(RichEditControl, OneLinkClickNeedsDownAndUpOnTheSameLink) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "see http://one.example and http://two.example");
    std::vector<std::pair<std::string, TMouseButton>> Clicks;
    R->OnURLClick = [&](TObject*, const std::string& Url, TMouseButton B) { Clicks.emplace_back(Url, B); };

    SendLink(*R, WM_LBUTTONDOWN, 4, 22);
    SendLink(*R, WM_MOUSEMOVE, 4, 22);
    SendLink(*R, WM_LBUTTONUP, 4, 22);
    ASSERT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Clicks[0].first, "http://one.example");
    EXPECT_EQ(Clicks[0].second, TMouseButton::mbLeft);

    SendLink(*R, WM_LBUTTONDOWN, 4, 22);
    SendLink(*R, WM_LBUTTONUP, 27, 45); // released over the other link
    SendLink(*R, WM_LBUTTONUP, 4, 22);  // the remembered range was reset
    EXPECT_EQ(Clicks.size(), 1u);

    SendLink(*R, WM_RBUTTONDOWN, 27, 45);
    SendLink(*R, WM_RBUTTONUP, 27, 45);
    ASSERT_EQ(Clicks.size(), 2u);
    EXPECT_EQ(Clicks[1].first, "http://two.example");
    EXPECT_EQ(Clicks[1].second, TMouseButton::mbRight);
}

TEST_F(RichEditControl, RealMouseClickOnADetectedLinkFiresOnce) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "go http://link.example now");
    PumpMessages();
    int Clicks = 0;
    std::string Url;
    R->OnURLClick = [&](TObject*, const std::string& U, TMouseButton) {
        ++Clicks;
        Url = U;
    };
    POINTL P{};
    SendMessageA(R->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&P), 8);
    const LPARAM At = MAKELPARAM(P.x + 2, P.y + 4);
    SendMessageA(R->Handle(), WM_MOUSEMOVE, 0, At);
    SendMessageA(R->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
    SendMessageA(R->Handle(), WM_LBUTTONUP, 0, At);
    PumpMessages();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Url, "http://link.example");
}

TEST_F(RichEditControl, ProtectedTextIsRefusedWithoutAHandler) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "guarded");
    ENPROTECTED P{};
    P.nmhdr.hwndFrom = R->Handle();
    P.nmhdr.code = EN_PROTECTED;
    P.msg = WM_CHAR;
    P.chrg = CHARRANGE{0, 3};
    EXPECT_EQ(R->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&P)), 1);

    int SeenStart = -1;
    R->OnProtectChange = [&](TObject*, int Start, int, bool& Allow) {
        SeenStart = Start;
        Allow = true;
    };
    EXPECT_EQ(R->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&P)), 0);
    EXPECT_EQ(SeenStart, 0);
}

TEST_F(RichEditControl, OneRightClickShowsExactlyOneMenu) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "right click here");
    int Menus = 0;
    TPopupMenu* Shown = nullptr;
    TDialogResponder Responder;
    Responder.Popup = [&](TPopupMenu& Menu, int, int) {
        ++Menus;
        Shown = &Menu;
    };
    TDialogResponderScope Scope(Responder);
    SendMessageA(R->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 8));
    SendMessageA(R->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(20, 8));
    PumpMessages();
    EXPECT_EQ(Menus, 1);
    EXPECT_EQ(Shown, GetFixedEditPopup(R, false)); // no own menu: the shared edit menu

    // The keyboard's menu request is never swallowed.
    SendMessageA(R->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(R->Handle()), -1);
    EXPECT_EQ(Menus, 2);
}

TEST_F(RichEditControl, PopupEnablingFollowsTheEditsState) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "first line\nsecond line\nthird");
    R->SetSelection(0, 5, false);
    R->SetReadOnly(true);
    auto S = FixedEditPopupState(R);
    EXPECT_TRUE(S.Copy);
    EXPECT_FALSE(S.Cut);
    EXPECT_FALSE(S.Paste);
    EXPECT_FALSE(S.Delete);
    EXPECT_TRUE(S.SelectAll);

    R->SetReadOnly(false);
    // All selected, with paragraph breaks in the text: Select All has nothing to do.
    SendMessageA(R->Handle(), EM_SETSEL, 0, -1);
    S = FixedEditPopupState(R);
    EXPECT_FALSE(S.SelectAll);
    EXPECT_TRUE(S.Cut);
    EXPECT_TRUE(S.Paste);

    R->SetClipboardCommands(TMvClipboardCommands{caCopy});
    S = FixedEditPopupState(R);
    EXPECT_FALSE(S.Cut);
    EXPECT_FALSE(S.Paste);
    EXPECT_TRUE(S.Delete);

    TPopupMenu* Menu = GetFixedEditPopup(R, true);
    EXPECT_FALSE(Menu->Items().Items(feCut)->Enabled());
    EXPECT_TRUE(Menu->Items().Items(feCopy)->Enabled());
}

TEST_F(RichEditControl, StaleMenuItemAfterTheEditIsGoneDoesNothing) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "soon gone");
    TPopupMenu* Menu = GetFixedEditPopup(R, true);
    delete R;
    // A new edit made right away often gets the freed one's address: a menu
    // that still served the old pointer would select and delete its text.
    TMvRichEdit* Bystander = MakeEdit();
    Load(*Bystander, "not served");
    Bystander->SetSelection(0, 0, false);
    Menu->Items().Items(feSelectAll)->Click();
    Menu->Items().Items(feDelete)->Click();
    EXPECT_EQ(Bystander->GetTextRange(0, -1), "not served");
    EXPECT_EQ(Bystander->SelLength(), 0);
}

TEST_F(RichEditControl, MenuItemsActOnTheServedEdit) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "select me");
    TPopupMenu* Menu = GetFixedEditPopup(R, true);
    Menu->Items().Items(feSelectAll)->Click();
    EXPECT_GE(R->SelLength(), 9);
    EXPECT_EQ(R->SelText().substr(0, 9), "select me");
    Menu->Items().Items(feDelete)->Click();
    EXPECT_EQ(R->TextLength(), 0);
}

TEST_F(RichEditControl, ClipboardCommandsFilterTheirMessages) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "keep");
    Clipboard().SetAsText("pasted");
    R->SetClipboardCommands(TMvClipboardCommands{caCopy, caCut, caClear, caUndo});
    R->SetSelection(4, 4, false);
    EXPECT_EQ(SendMessageA(R->Handle(), WM_PASTE, 0, 0), 1);
    EXPECT_EQ(R->GetTextRange(0, -1), "keep");

    R->SetClipboardCommands(mv::controls::kAllClipboardCommands);
    SendMessageA(R->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(R->GetTextRange(0, -1), "keeppasted");

    R->SetClipboardCommands(TMvClipboardCommands{caCopy});
    EXPECT_EQ(SendMessageA(R->Handle(), WM_UNDO, 0, 0), 1);
    EXPECT_EQ(SendMessageA(R->Handle(), EM_UNDO, 0, 0), 1);
    EXPECT_EQ(R->GetTextRange(0, -1), "keeppasted");
    R->SetClipboardCommands(mv::controls::kAllClipboardCommands);
    SendMessageA(R->Handle(), EM_UNDO, 0, 0);
    EXPECT_EQ(R->GetTextRange(0, -1), "keep");
}

TEST_F(RichEditControl, DialogCodesFollowWantTabsAndWantReturns) {
    TMvRichEdit* R = MakeEdit();
    LRESULT Codes = SendMessageA(R->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_FALSE(Codes & DLGC_WANTTAB);
    EXPECT_TRUE(Codes & DLGC_WANTALLKEYS);
    R->SetWantTabs(true);
    R->SetWantReturns(false);
    Codes = SendMessageA(R->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_TRUE(Codes & DLGC_WANTTAB);
    EXPECT_FALSE(Codes & DLGC_WANTALLKEYS);
}

TEST_F(RichEditControl, LinesInsertPutAndDelete) {
    TMvRichEdit* R = MakeEdit();
    R->SetWordWrap(false);
    Load(*R, "one\ntwo");
    R->Lines().Insert(R->Lines().Count(), "three");
    EXPECT_EQ(R->Lines().Count(), 3);
    EXPECT_EQ(R->Lines()[2], "three");
    R->Lines().Insert(0, "zero");
    R->Lines().Put(2, "TWO");
    R->Lines().Delete(1);
    EXPECT_EQ(R->Lines().Text(), "zero\r\nTWO\r\nthree\r\n");
    R->Lines().Add("four");
    EXPECT_EQ(R->Lines()[3], "four");
    R->Lines().SetText("x\ny");
    EXPECT_EQ(R->Lines().Count(), 2);
}

TEST_F(RichEditControl, LongLinesAreReadWhole) {
    TMvRichEdit* R = MakeEdit();
    R->SetWordWrap(false);
    const std::string Long(5000, 'L');
    Load(*R, Long + "\nshort");
    EXPECT_EQ(R->Lines()[0], Long);
    EXPECT_EQ(R->Lines()[1], "short");
}

TEST_F(RichEditControl, TextRangesAndSelectionBuffers) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "abcdef");
    EXPECT_EQ(R->GetTextRange(2, 4), "cd");
    EXPECT_EQ(R->GetTextRange(4, 4), "");
    EXPECT_EQ(R->GetTextRange(5, 2), "");
    EXPECT_EQ(R->GetTextRange(3, -1), "def");
    EXPECT_EQ(R->GetTextRange(3, 1000), "def");

    R->SetSelection(1, 5, false);
    EXPECT_EQ(R->SelText(), "bcde");
    EXPECT_EQ(R->SelStart(), 1);
    EXPECT_EQ(R->SelLength(), 4);
    char Buf[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(R->GetSelTextBuf(Buf, 3), 2);
    EXPECT_STREQ(Buf, "bc");
    EXPECT_EQ(Buf[3], '#'); // nothing written past the buffer

    R->SetSelStart(2);
    R->SetSelLength(3);
    EXPECT_EQ(R->SelText(), "cde");
}

// Text the ANSI code page cannot hold (Greek, an arrow) comes out whole beside what it can.
TEST_F(RichEditControl, TheWholeTextReadsAsUnicode) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "{\\rtf1\\ansi \\u931?\\u951?\\u956?\\u949?\\u943?\\u969?\\u963?\\u951? \\u8594? "
             "caf\\'e9 \\'80\\par second}");
    EXPECT_EQ(R->TextW(),
              L"\u03A3\u03B7\u03BC\u03B5\u03AF\u03C9\u03C3\u03B7 \u2192 caf\u00E9 \u20AC\rsecond");
}

TEST_F(RichEditControl, CaretPositionIsLineAndColumnOfTheSelectionEnd) {
    TMvRichEdit* R = MakeEdit();
    R->SetWordWrap(false);
    Load(*R, "first\nsecond line");
    R->SetSelection(6, 9, false);
    const POINT P = R->CaretPos();
    EXPECT_EQ(P.y, 1);
    EXPECT_EQ(P.x, 3);
}

TEST_F(RichEditControl, MaxLengthZeroAllowsTheLargeLimit) {
    TMvRichEdit* R = MakeEdit();
    EXPECT_EQ(SendMessageA(R->Handle(), EM_GETLIMITTEXT, 0, 0), 0xFFFFFF);
    R->SetMaxLength(10);
    EXPECT_EQ(SendMessageA(R->Handle(), EM_GETLIMITTEXT, 0, 0), 10);
}

TEST_F(RichEditControl, ZoomFollowsTheLibraryVersion) {
    TMvRichEdit* R = MakeEdit();
    if (RichEditVersion() >= 3) {
        R->SetZoom(150);
        EXPECT_EQ(R->Zoom(), 150);
        R->SetZoom(0);
        EXPECT_EQ(R->Zoom(), 100);
    }
    SetRichEditVersionOverride(2);
    EXPECT_EQ(R->Zoom(), 100);
    SetRichEditVersionOverride(0);
}

TEST_F(RichEditControl, SettingsSurviveRecreation) {
    TMvRichEdit* R = MakeEdit();
    R->SetUndoLimit(5);
    R->SetAutoURLDetect(false);
    R->SetWordSelection(false);
    R->SetSelectionBar(false);
    EXPECT_EQ(R->UndoLimit(), 5);
    EXPECT_FALSE(R->AutoURLDetect());
    EXPECT_FALSE(R->WordSelection());
    EXPECT_FALSE(GetWindowLongA(R->Handle(), GWL_STYLE) & ES_SELECTIONBAR);
    EXPECT_NE(R->RichEditOle(), nullptr);
    R->SetAllowObjects(false);
    EXPECT_EQ(R->RichEditOle(), nullptr);
}

TEST_F(RichEditControl, SelectionChangeAndChangeEventsFire) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "events");
    int Selections = 0, Changes = 0;
    R->OnSelectionChange = [&](TObject*) { ++Selections; };
    R->OnChange = [&](TObject*) { ++Changes; };
    R->SetSelection(1, 3, false);
    EXPECT_GE(Selections, 1);
    R->SetSelText("X");
    EXPECT_GE(Changes, 1);
}

TEST_F(RichEditControl, PrintingStopsWhenAPageMakesNoProgress) {
    TMvRichEdit* R = MakeEdit();
    std::string Text;
    for (int I = 0; I < 200; ++I)
        Text += "printing line " + std::to_string(I) + "\n";
    Load(*R, Text);
    HDC Screen = GetDC(nullptr);
    HDC Meta = CreateEnhMetaFileA(Screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, Screen);
    int Pages = 1;
    // A page rectangle with no height fits nothing: without the progress check
    // this would never end.
    const auto Stuck = R->RenderPages(Meta, RECT{0, 0, 8000, 0}, [&] { ++Pages; });
    EXPECT_TRUE(Stuck.Stalled);
    EXPECT_LE(Stuck.Pages, 2);

    // Where the window formats on this DC at all (Wine's answers 0 to every
    // EM_FORMATRANGE, which is exactly the case above), the text runs over pages.
    Pages = 1;
    const auto Done = R->RenderPages(Meta, RECT{0, 0, 11000, 3000}, [&] { ++Pages; });
    EXPECT_EQ(Done.Pages, Pages);
    if (!Done.Stalled) {
        EXPECT_GT(Done.Pages, 1);
    }
    DeleteEnhMetaFile(CloseEnhMetaFile(Meta));
}

TEST_F(RichEditControl, ClearEmptiesAndResetsModified) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "to be cleared");
    R->SetModified(true);
    R->Clear();
    EXPECT_EQ(R->TextLength(), 0);
    EXPECT_FALSE(R->Modified());
}

TEST_F(RichEditControl, OleIsReadyAndTheCallbackHandsOutStorage) {
    TMvRichEdit* R = MakeEdit();
    EXPECT_TRUE(RichEditOleReady());
    ASSERT_NE(R->RichEditOle(), nullptr);

    TRichEditOleCallback Callback;
    IStorage* Storage = nullptr;
    ASSERT_EQ(Callback.GetNewStorage(&Storage), S_OK);
    ASSERT_NE(Storage, nullptr);
    IStream* Stream = nullptr;
    EXPECT_EQ(
        Storage->CreateStream(L"probe", STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &Stream),
        S_OK);
    if (Stream) Stream->Release();
    Storage->Release();

    void* Itf = nullptr;
    const IID Callback_IID = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(Callback.QueryInterface(Callback_IID, &Itf), S_OK);
    EXPECT_EQ(Itf, static_cast<IRichEditOleCallback*>(&Callback));
    Callback.Release();
    EXPECT_EQ(Callback.QueryInterface(IID_IDataObject, &Itf), E_NOINTERFACE);
    EXPECT_EQ(Callback.QueryInsertObject(nullptr, nullptr, 0), S_OK);
    IOleInPlaceFrame* Frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    IOleInPlaceUIWindow* Doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    EXPECT_EQ(Callback.GetInPlaceContext(&Frame, &Doc, nullptr), E_NOTIMPL);
    EXPECT_EQ(Frame, nullptr);
    EXPECT_EQ(Doc, nullptr);
    HMENU Menu = reinterpret_cast<HMENU>(1);
    EXPECT_EQ(Callback.GetContextMenu(0, nullptr, nullptr, &Menu), E_NOTIMPL);
    EXPECT_EQ(Menu, nullptr);
}

TEST_F(RichEditControl, ResizeClipboardAndScrollNotificationsReachTheirEvents) {
    TMvRichEdit* R = MakeEdit();
    std::string Many;
    for (int I = 0; I < 100; ++I)
        Many += "line\n";
    Load(*R, Many);

    int Resizes = 0;
    R->OnResizeRequest = [&](TObject*, RECT) { ++Resizes; };
    SendMessageA(R->Handle(), EM_REQUESTRESIZE, 0, 0);
    EXPECT_GE(Resizes, 1);

    ENSAVECLIPBOARD Save{};
    Save.nmhdr.hwndFrom = R->Handle();
    Save.nmhdr.code = EN_SAVECLIPBOARD;
    Save.cObjectCount = 0;
    Save.cch = 12;
    EXPECT_EQ(R->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&Save)), 0); // kept by default
    R->OnSaveClipboard = [](TObject*, int, int Chars, bool& Keep) { Keep = Chars < 10; };
    EXPECT_EQ(R->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&Save)), 1);

    int Vertical = 0;
    R->OnVerticalScroll = [&](TObject*) { ++Vertical; };
    SendMessageA(R->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Vertical, 1);
}

TEST_F(RichEditControl, FilesPickTheirConversionByExtension) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "{\\rtf1 {\\b saved} text}");
    char Dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, Dir);
    const std::string Txt = std::string(Dir) + "mv-richedit-test.txt";
    const std::string Rtf = std::string(Dir) + "mv-richedit-test.rtf";
    R->Lines().SaveToFile(Txt);
    R->Lines().SaveToFile(Rtf);
    {
        TFileStream T(Txt, fmOpenRead);
        std::string Data(static_cast<std::size_t>(T.Size()), '\0');
        T.ReadBuffer(Data.data(), T.Size());
        EXPECT_EQ(Data.find("{\\rtf"), std::string::npos);
        EXPECT_NE(Data.find("saved text"), std::string::npos);
    }
    TMvRichEdit* B = MakeEdit();
    B->Lines().LoadFromFile(Rtf);
    EXPECT_EQ(B->GetTextRange(0, -1).substr(0, 10), "saved text");
    B->SetSelection(0, 5, false);
    EXPECT_TRUE(B->SelAttributes().Style() & fsBold);
    DeleteFileA(Txt.c_str());
    DeleteFileA(Rtf.c_str());
}

TEST_F(RichEditControl, OlderLibraryPathWorksOnTheRicheditClass) {
    // The fallback class of RICHED32.DLL, driven the way version 1 is.
    HMODULE Old = LoadLibraryA("RICHED32.DLL");
    if (!Old) GTEST_SKIP() << "RICHED32.DLL is not available here";
    SetRichEditVersionOverride(1);
    struct TRestore {
        ~TRestore() { SetRichEditVersionOverride(0); }
    } Restore;
    TMvRichEdit* R = MakeEdit();
    char Class[32] = {};
    GetClassNameA(R->Handle(), Class, sizeof(Class) - 1);
    EXPECT_STREQ(Class, "RICHEDIT");
    Load(*R, "{\\rtf1 first\\par second\\par}");
    R->SetWordWrap(false);
    R->Lines().Insert(1, "middle");
    EXPECT_EQ(R->Lines()[1], "middle");
    R->SetSelection(0, 5, false);
    R->SelAttributes().SetSize(12);
    EXPECT_EQ(R->SelAttributes().Size(), 12);
    R->Paragraph().SetNumbering(2);
    EXPECT_EQ(R->Paragraph().Numbering(), 1); // version 1 knows bullets only
    EXPECT_EQ(R->Zoom(), 100);
    RedrawWindow(R->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    delete R; // before the override goes
}
