// Window creation and re-creation, message dispatch, reflection, exceptions and DC state in the window
// procedure.
#include "GuiTestSupport.h"

#include "gui/Clipbrd.h"
#include "gui/StdCtrls.h"
#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace {

constexpr UINT kProbe = WM_APP + 7;

// Two levels of WndProc, to see the chain and the default handler.
class BaseProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> trail;
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe) trail.push_back("base");
        TCustomControl::WndProc(m);
    }
    void DefaultHandler(TMessage& m) override {
        if (m.Msg == kProbe) {
            trail.push_back("default");
            m.Result = 42;
            return;
        }
        TCustomControl::DefaultHandler(m);
    }
};

class DerivedProbe : public BaseProbe {
public:
    using BaseProbe::BaseProbe;
    bool swallow = false;
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe) {
            trail.push_back("derived");
            if (swallow) {
                m.Result = 7;
                return;
            }
        }
        BaseProbe::WndProc(m);
    }
};

class WindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 50, 300, 200);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};

TEST_F(WindowTest, MessagesTravelUpTheClassChainToTheDefaultHandler) {
    auto* probe = new DerivedProbe(form.get());
    probe->SetParent(form.get());
    EXPECT_EQ(SendMessageA(probe->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(probe->trail, (std::vector<std::string>{"derived", "base", "default"}));
    probe->trail.clear();
    probe->swallow = true;
    EXPECT_EQ(probe->Perform(kProbe), 7);
    EXPECT_EQ(probe->trail, std::vector<std::string>{"derived"});
}

TEST_F(WindowTest, FindControlMapsBothOwnAndSystemClassWindows) {
    auto* panel = new TCustomControl(form.get());
    panel->SetParent(form.get());
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    EXPECT_EQ(FindControl(form->Handle()), form.get());
    EXPECT_EQ(FindControl(panel->Handle()), panel);
    EXPECT_EQ(FindControl(edit->Handle()), edit);
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
}

TEST_F(WindowTest, SystemClassIsHookedBeforeItsFirstMessage) {
    // The edit's WM_NCCREATE and WM_CREATE already go through our WndProc.
    class CreationProbe : public TEdit {
    public:
        using TEdit::TEdit;
        std::vector<UINT> seen;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_NCCREATE || m.Msg == WM_CREATE) seen.push_back(m.Msg);
            TEdit::WndProc(m);
        }
    };
    auto* edit = new CreationProbe(form.get());
    edit->SetParent(form.get());
    edit->HandleNeeded();
    EXPECT_EQ(edit->seen, (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
}

// Another party (a plug-in, an accessibility tool) may put its own procedure
// over ours: the control is still found, and its messages still reach it and
// the system class, up to the window's end.
WNDPROC ProcUnderneath = nullptr;
int ForeignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++ForeignCalls;
    return CallWindowProcA(ProcUnderneath, wnd, msg, wParam, lParam);
}

TEST_F(WindowTest, ASystemControlSubclassedAgainByOthersKeepsWorking) {
    class Counting : public TEdit {
    public:
        using TEdit::TEdit;
        int settexts = 0;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_SETTEXT) ++settexts;
            TEdit::WndProc(m);
        }
    };
    auto* edit = new Counting(form.get());
    edit->SetParent(form.get());
    HWND wnd = edit->Handle();
    ProcUnderneath = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));
    ForeignCalls = 0;
    EXPECT_EQ(FindControl(wnd), edit);
    SetWindowTextA(wnd, "through all three");
    EXPECT_GT(ForeignCalls, 0);
    EXPECT_EQ(edit->settexts, 1);
    char text[64] = {};
    GetWindowTextA(wnd, text, sizeof text);
    EXPECT_STREQ(text, "through all three") << "the edit class still does the work";

    // Freeing the control destroys the window through the foreign procedure.
    ForeignCalls = 0;
    delete edit;
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_GT(ForeignCalls, 0);
}

TEST_F(WindowTest, RecreatingTheWindowKeepsTextBoundsAndModified) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 20, 150, 24);
    edit->SetText("kept text");
    edit->SetModified(true);
    HWND before = edit->Handle();
    edit->SetBorderStyle(TBorderStyle::bsNone); // re-creates the window
    HWND after = edit->Handle();
    EXPECT_NE(before, after);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(edit->Text(), "kept text");
    EXPECT_TRUE(edit->Modified());
    RECT r{};
    GetWindowRect(after, &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(FindControl(after), edit);
}

TEST_F(WindowTest, ParentRecreationRecreatesChildrenWithTheirState) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetText("child");
    HWND oldChild = edit->Handle();
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    EXPECT_FALSE(IsWindow(oldChild));
    EXPECT_TRUE(IsWindow(edit->Handle()));
    EXPECT_EQ(GetParent(edit->Handle()), form->Handle());
    EXPECT_EQ(edit->Text(), "child");
}

TEST_F(WindowTest, WmCommandIsReflectedToTheChildsObject) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    int changes = 0;
    TObject* sender = nullptr;
    edit->OnChange = [&](TObject* s) {
        ++changes;
        sender = s;
    };
    SetWindowTextA(edit->Handle(), "typed"); // EN_CHANGE goes to the form as WM_COMMAND
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, edit);

    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WindowTest, WmNotifyIsReflectedAsCnNotifyWithItsResult) {
    class NotifyProbe : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        UINT code = 0;
        void WndProc(TMessage& m) override {
            if (m.Msg == CN_NOTIFY) {
                code = reinterpret_cast<NMHDR*>(m.LParam)->code;
                m.Result = 99;
                return;
            }
            TCustomControl::WndProc(m);
        }
    };
    auto* child = new NotifyProbe(form.get());
    child->SetParent(form.get());
    NMHDR hdr{child->Handle(), 1, 0x1234};
    LRESULT r = SendMessageA(form->Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(child->code, 0x1234u);
    EXPECT_EQ(r, 99);
}

class ThrowingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool throwOnPrint = false;
    HDC seenDC = nullptr;
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe) throw Exception("handler failed");
        if ((m.Msg == WM_PRINTCLIENT || m.Msg == WM_ERASEBKGND) && m.WParam) {
            // Leave the DC in a different state: another brush, font, origin and mode.
            auto dc = reinterpret_cast<HDC>(m.WParam);
            seenDC = dc;
            SelectObject(dc, GetStockObject(BLACK_BRUSH));
            SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
            SetViewportOrgEx(dc, 33, 44, nullptr);
            SetBkMode(dc, OPAQUE);
            SetTextColor(dc, RGB(1, 2, 3));
            if (throwOnPrint) throw Exception("paint failed");
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
    }
};

TEST_F(WindowTest, ExceptionInAHandlerReachesHandleExceptionAndTheProcessLives) {
    auto* c = new ThrowingControl(form.get());
    c->SetParent(form.get());
    std::vector<std::string> handled;
    TObject* sender = nullptr;
    Application->OnException = [&](TObject* s, const std::exception& e) {
        sender = s;
        handled.push_back(e.what());
    };
    std::vector<std::string> logged;
    Application->OnExceptionLog = [&](const std::string& msg) { logged.push_back(msg); };
    LRESULT r = SendMessageA(c->Handle(), kProbe, 0, 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(handled, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(logged, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(sender, c);
    // The window still works afterwards.
    c->SetText("alive");
    EXPECT_EQ(c->Text(), "alive");
}

TEST_F(WindowTest, ExceptionWithoutOnExceptionShowsAMessageBoxThroughTheResponder) {
    auto* c = new ThrowingControl(form.get());
    c->SetParent(form.get());
    Application->SetTitle("Miravelund");
    std::vector<std::string> boxes;
    TDialogResponder responder;
    responder.MessageBox = [&](const std::string& text, const std::string& caption, UINT flags) {
        boxes.push_back(caption + ": " + text);
        EXPECT_TRUE(flags & MB_ICONSTOP);
        return IDOK;
    };
    TDialogResponderScope scope(responder);
    SendMessageA(c->Handle(), kProbe, 0, 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Miravelund: handler failed."});
}

TEST_F(WindowTest, EAbortIsSilent) {
    class Aborting : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        void WndProc(TMessage& m) override {
            if (m.Msg == kProbe) Abort();
            TCustomControl::WndProc(m);
        }
    };
    auto* c = new Aborting(form.get());
    c->SetParent(form.get());
    int handled = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++handled; };
    SendMessageA(c->Handle(), kProbe, 0, 0);
    EXPECT_EQ(handled, 0);
}

struct DcState {
    HGDIOBJ brush, font;
    POINT viewport;
    int bkMode;
    COLORREF text;
    bool operator==(const DcState& o) const {
        return brush == o.brush && font == o.font && viewport.x == o.viewport.x &&
               viewport.y == o.viewport.y && bkMode == o.bkMode && text == o.text;
    }
};

DcState ReadState(HDC dc) {
    DcState s{};
    s.brush = GetCurrentObject(dc, OBJ_BRUSH);
    s.font = GetCurrentObject(dc, OBJ_FONT);
    GetViewportOrgEx(dc, &s.viewport);
    s.bkMode = GetBkMode(dc);
    s.text = GetTextColor(dc);
    return s;
}

class DcStateTest : public WindowTest, public ::testing::WithParamInterface<std::tuple<UINT, bool>> {};

TEST_P(DcStateTest, DeviceContextIsRestoredAfterThePrintOrEraseMessage) {
    auto [msg, throws] = GetParam();
    auto* c = new ThrowingControl(form.get());
    c->SetParent(form.get());
    c->throwOnPrint = throws;
    int handled = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++handled; };
    TMemoryDC mem(nullptr);
    TGdiObject<HBITMAP> bmp(CreateCompatibleBitmap(mem.Get(), 10, 10));
    TSelectObject sel(mem.Get(), bmp.Get());
    SetBkMode(mem.Get(), TRANSPARENT);
    DcState before = ReadState(mem.Get());
    SendMessageA(c->Handle(), msg, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT);
    EXPECT_EQ(c->seenDC, mem.Get());
    EXPECT_TRUE(ReadState(mem.Get()) == before);
    EXPECT_EQ(handled, throws ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(PrintAndErase, DcStateTest,
                         ::testing::Combine(::testing::Values(WM_PRINTCLIENT, WM_PRINT, WM_ERASEBKGND),
                                            ::testing::Bool()));

TEST_F(WindowTest, AlignmentLaysOutChildrenInOrder) {
    form->HandleNeeded();
    form->SetClientSize(300, 200);
    auto* top = new TCustomControl(form.get());
    top->SetHeight(30);
    top->SetAlign(TAlign::alTop);
    top->SetParent(form.get());
    auto* left = new TCustomControl(form.get());
    left->SetWidth(80);
    left->SetAlign(TAlign::alLeft);
    left->SetParent(form.get());
    auto* client = new TCustomControl(form.get());
    client->SetAlign(TAlign::alClient);
    client->SetParent(form.get());
    EXPECT_EQ(top->BoundsRect().right, 300);
    EXPECT_EQ(left->Top(), 30);
    EXPECT_EQ(left->Height(), 170);
    EXPECT_EQ(client->Left(), 80);
    EXPECT_EQ(client->Width(), 220);
    form->SetClientSize(400, 250);
    EXPECT_EQ(client->Width(), 320);
    EXPECT_EQ(client->Height(), 220);
    left->SetVisible(false);
    EXPECT_EQ(client->Left(), 0);
}

TEST_F(WindowTest, DestroyingAParentDestroysItsChildrenAndTheirWindows) {
    auto* panel = new TCustomControl(nullptr);
    panel->SetParent(form.get());
    auto* edit = new TEdit(nullptr);
    edit->SetParent(panel);
    HWND editWnd = edit->Handle();
    bool editGone = false;
    class Watch : public TComponent {
    public:
        Watch(bool& f) : TComponent(nullptr), flag(f) {}
        bool& flag;
        void Notification(TComponent* c, TOperation op) override {
            TComponent::Notification(c, op);
            if (op == TOperation::opRemove) flag = true;
        }
    } watch(editGone);
    edit->FreeNotification(&watch);
    delete panel;
    EXPECT_TRUE(editGone);
    EXPECT_FALSE(IsWindow(editWnd));
    EXPECT_EQ(form->ControlCount(), 0);
}

// Child-window ids come in turn, wrap at the end of their range and skip the
// ones still in use; one is free again when its window goes.
TEST(ChildIds, AnIdIsHandedOutAgainOnlyOnceItIsFree) {
    TChildIdPool pool(100, 104);
    for (UINT id = 100; id <= 104; ++id)
        EXPECT_EQ(pool.Take(), id);
    EXPECT_EQ(pool.Take(), 0u); // all taken
    pool.Give(102);
    pool.Give(104);
    EXPECT_EQ(pool.Take(), 102u);
    EXPECT_EQ(pool.Take(), 104u);
    EXPECT_EQ(pool.Take(), 0u);
    pool.Give(7); // not one of ours: ignored
    EXPECT_EQ(pool.Take(), 0u);
}

TEST_F(WindowTest, AChildWindowHoldsItsIdUntilItGoesAndKeepsItAcrossRecreation) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    auto* panel = new TCustomControl(form.get());
    panel->SetParent(form.get());
    const UINT editId = GetDlgCtrlID(edit->Handle()), panelId = GetDlgCtrlID(panel->Handle());
    EXPECT_NE(editId, 0u);
    EXPECT_NE(editId, panelId);
    EXPECT_TRUE(ChildIds().Taken(editId));
    EXPECT_TRUE(ChildIds().Taken(panelId));
    edit->RecreateWnd();
    const UINT recreatedId = GetDlgCtrlID(edit->Handle());
    EXPECT_TRUE(ChildIds().Taken(recreatedId));
    EXPECT_FALSE(recreatedId != editId && ChildIds().Taken(editId)) << "the old window's id is free again";
    delete edit;
    EXPECT_FALSE(ChildIds().Taken(recreatedId));
    form->HandleNeeded();
    EXPECT_FALSE(ChildIds().Taken(0)); // a top-level window takes none
}

TEST_F(WindowTest, FontChangesReachChildrenThatFollowTheirParent) {
    auto* follows = new TEdit(form.get());
    follows->SetParent(form.get());
    auto* own = new TEdit(form.get());
    own->SetParent(form.get());
    own->Font().SetName("Courier New");
    form->Font().SetSize(14);
    EXPECT_EQ(follows->Font().Size(), 14);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(follows->Handle(), WM_GETFONT, 0, 0)),
              follows->Font().Handle());
    EXPECT_FALSE(own->ParentFont());
    EXPECT_EQ(own->Font().Name(), "Courier New");
    EXPECT_NE(own->Font().Size(), 14);
}

TEST_F(WindowTest, ClipboardFormatsAndText) {
    UINT a = RegisterClipboardFormatName("Rich Text Format");
    EXPECT_NE(a, 0u);
    EXPECT_EQ(RegisterClipboardFormatName("Rich Text Format"), a);
    Clipboard().SetAsText("clip me");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "clip me");
}

} // namespace
