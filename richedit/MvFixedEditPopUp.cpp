// The shared edit context menu.
#include "richedit/MvFixedEditPopUp.h"

#include "controls/MvExControls.h"
#include "richedit/MvRichEditText.h"

#include <richedit.h>

#include <cstring>
#include <memory>

namespace {

struct TItemDef {
    const char* Caption;
    UINT Command; // the system-menu command whose caption we borrow, and the message sent
    WPARAM WParam;
    LPARAM LParam;
};

constexpr TItemDef kItems[] = {
    {"&Undo", WM_UNDO, 0, 0},
    {"-", 0, 0, 0},
    {"Cu&t", WM_CUT, 0, 0},
    {"&Copy", WM_COPY, 0, 0},
    {"&Paste", WM_PASTE, 0, 0},
    {"&Delete", WM_CLEAR, 0, 0},
    {"-", 0, 0, 0},
    {"Select &All", EM_SETSEL, 0, static_cast<LPARAM>(-1)},
};

class THiddenPopupObject : public TComponent {
public:
    THiddenPopupObject() : TComponent(nullptr) {}

    void Bind(TWinControl* Edit) {
        if (Edit == FEdit) return;
        if (FEdit) RemoveFreeNotification(FEdit);
        FEdit = Edit;
        if (FEdit) FreeNotification(FEdit);
    }
    TWinControl* Edit() const { return FEdit; }

    TPopupMenu* Menu() {
        if (!FMenu) Build();
        return FMenu;
    }

    void Perform(const TItemDef& Def) {
        if (FEdit && FEdit->HandleAllocated()) FEdit->Perform(Def.Command, Def.WParam, Def.LParam);
    }

protected:
    void Notification(TComponent* Component, TOperation Operation) override {
        TComponent::Notification(Component, Operation);
        if (Operation == TOperation::opRemove) {
            if (Component == FEdit) FEdit = nullptr;
            if (Component == FMenu) FMenu = nullptr;
        }
    }

private:
    void Build() {
        FMenu = new TPopupMenu(this);
        for (const TItemDef& Def : kItems) {
            auto* Item = new TMenuItem(FMenu);
            Item->SetCaption(Def.Caption);
            if (Def.Command != 0) {
                const TItemDef* S = &Def;
                Item->OnClick = [this, S](TObject*) { Perform(*S); };
            }
            FMenu->Items().Add(Item);
        }
        TakeSystemCaptions();
    }

    // The system's own edit menu has captions in the user's language.
    void TakeSystemCaptions() {
        HMODULE User = GetModuleHandleA("user32.dll");
        if (!User) return;
        HMENU Loaded = LoadMenuA(User, MAKEINTRESOURCEA(1));
        if (!Loaded) return;
        if (HMENU Sub = GetSubMenu(Loaded, 0)) {
            for (int I = 0; I < FMenu->Items().Count(); ++I) {
                const TItemDef& Def = kItems[I];
                if (Def.Command == 0) continue;
                char Buf[257] = {};
                const int N = GetMenuStringA(Sub, Def.Command, Buf, 256, MF_BYCOMMAND);
                if (N > 0) FMenu->Items().Items(I)->SetCaption(std::string(Buf, static_cast<std::size_t>(N)));
            }
        }
        DestroyMenu(Loaded);
    }

    TWinControl* FEdit = nullptr;
    TPopupMenu* FMenu = nullptr; // owned as a component
};

std::unique_ptr<THiddenPopupObject>& Shared() {
    static std::unique_ptr<THiddenPopupObject> Obj;
    return Obj;
}

bool IsRichEditWindow(HWND Wnd) {
    char Name[64] = {};
    GetClassNameA(Wnd, Name, sizeof(Name) - 1);
    return _strnicmp(Name, "RichEdit", 8) == 0;
}

std::int64_t EditTextLength(HWND Wnd) {
    if (IsRichEditWindow(Wnd)) {
        // Characters as the selection counts them: a paragraph break is one.
        GETTEXTLENGTHEX G{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        return static_cast<std::int64_t>(
            SendMessageA(Wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&G), 0));
    }
    return GetWindowTextLengthA(Wnd);
}

} // namespace

mv::richedit::TEditMenuState FixedEditPopupState(TWinControl* Edit) {
    mv::richedit::TEditMenuState None;
    if (!Edit || !Edit->HandleAllocated()) return None;
    const HWND Wnd = Edit->Handle();
    mv::richedit::TEditMenuInput In;
    if (auto* Source = dynamic_cast<IMvClipboardCommandsSource*>(Edit))
        In.Commands = Source->GetClipboardCommands();
    DWORD Start = 0, End = 0;
    const LRESULT Reply =
        SendMessageA(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    In.SelLength = mv::richedit::SelectionLengthFromGetSel(Start, End, static_cast<std::uint32_t>(Reply));
    In.ReadOnly = (GetWindowLongA(Wnd, GWL_STYLE) & ES_READONLY) != 0;
    In.TextLength = EditTextLength(Wnd);
    In.CanUndo = SendMessageA(Wnd, EM_CANUNDO, 0, 0) != 0;
    return mv::richedit::ComputeEditMenuState(In);
}

TPopupMenu* GetFixedEditPopup(TWinControl* Edit, bool Update) {
    auto& Obj = Shared();
    if (!Obj) Obj = std::make_unique<THiddenPopupObject>();
    Obj->Bind(Edit);
    TPopupMenu* Menu = Obj->Menu();
    if (Update && Edit && Edit->HandleAllocated()) {
        const auto S = FixedEditPopupState(Edit);
        TMenuItem& Items = Menu->Items();
        Items.Items(feUndo)->SetEnabled(S.Undo);
        Items.Items(feCut)->SetEnabled(S.Cut);
        Items.Items(feCopy)->SetEnabled(S.Copy);
        Items.Items(fePaste)->SetEnabled(S.Paste);
        Items.Items(feDelete)->SetEnabled(S.Delete);
        Items.Items(feSelectAll)->SetEnabled(S.SelectAll);
    }
    return Menu;
}

void FreeFixedEditPopup() {
    Shared().reset();
}
