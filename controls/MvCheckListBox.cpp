// TMvCheckListBox.
#include "controls/MvCheckListBox.h"

#include <algorithm>

TMvCheckListBox::TMvCheckListBox(TComponent* AOwner) : TMvExCheckListBox(AOwner) {
    FHotTrack = false;
    FMaxWidth = 0;
    FHorScrollbar = true;
}

void TMvCheckListBox::CreateParams(TCreateParams& Params) {
    TMvExCheckListBox::CreateParams(Params);
    if (FHorScrollbar)
        Params.Style |= WS_HSCROLL;
    else
        Params.Style &= ~static_cast<DWORD>(WS_HSCROLL);
    if (!FCtl3D) {
        Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
        Params.Style |= WS_BORDER;
    }
    if (FColumns > 0) {
        // Columns fill top to bottom and the list scrolls by whole columns, sideways only.
        Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
        Params.Style &= ~static_cast<DWORD>(WS_VSCROLL);
    }
}

void TMvCheckListBox::CreateWnd() {
    TMvExCheckListBox::CreateWnd();
    UpdateColumnWidth();
}

void TMvCheckListBox::SetColumns(int Value) {
    Value = std::max(Value, 0);
    if (Value == FColumns) return;
    // The multi-column style is fixed when the window is made: switching it on or off
    // takes a new window (the items are kept by the list), other counts only a new width.
    const bool Restyle = (Value > 0) != (FColumns > 0);
    FColumns = Value;
    if (Restyle && HandleAllocated())
        RecreateWnd();
    else
        UpdateColumnWidth();
}

void TMvCheckListBox::UpdateColumnWidth() {
    if (FColumns > 0 && HandleAllocated())
        SendMessageA(Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(ClientWidth() / FColumns, 1)),
                     0);
}

void TMvCheckListBox::SetCtl3D(bool Value) {
    if (Value == FCtl3D) return;
    FCtl3D = Value;
    if (!HandleAllocated()) return;
    // The border changes in place: re-creating the window on every mouse move in
    // and out would be wasteful.
    HWND Wnd = Handle();
    LONG_PTR Ex = GetWindowLongPtrA(Wnd, GWL_EXSTYLE), Style = GetWindowLongPtrA(Wnd, GWL_STYLE);
    if (Value) {
        Ex |= WS_EX_CLIENTEDGE;
        Style &= ~static_cast<LONG_PTR>(WS_BORDER);
    } else {
        Ex &= ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
        Style |= WS_BORDER;
    }
    SetWindowLongPtrA(Wnd, GWL_EXSTYLE, Ex);
    SetWindowLongPtrA(Wnd, GWL_STYLE, Style);
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TMvCheckListBox::SetHotTrack(bool Value) {
    FHotTrack = Value;
    if (Value) SetCtl3D(false);
}

void TMvCheckListBox::SetHorScrollbar(bool Value) {
    FHorScrollbar = Value;
    // A list without a window yet gets its extent when the window adds its items.
    if (Value && HandleAllocated())
        SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FMaxWidth), 0);
}

bool TMvCheckListBox::HasStrings() {
    return HandleAllocated() && (GetWindowLongPtrA(Handle(), GWL_STYLE) & LBS_HASSTRINGS) != 0;
}

int TMvCheckListBox::ItemWidth(const std::string& Text) {
    return Canvas().TextWidth(Text + " ") & 0xFFFF;
}

int TMvCheckListBox::ItemWidthAt(int Index) {
    if (!HasStrings()) return -1;
    HWND Wnd = Handle();
    const LRESULT Count = SendMessageA(Wnd, LB_GETCOUNT, 0, 0);
    if (Index < 0 || Index >= Count) return -1;
    const LRESULT Length = SendMessageA(Wnd, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Length < 0) return -1;
    std::string Text(static_cast<size_t>(Length) + 1, '\0');
    const LRESULT Got =
        SendMessageA(Wnd, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(Got > 0 ? static_cast<size_t>(Got) : 0);
    return ItemWidth(Text);
}

void TMvCheckListBox::UpdateMaxWidth() {
    FMaxWidth = 0;
    if (HandleAllocated()) {
        const int Count = static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < Count; ++i)
            FMaxWidth = std::max(FMaxWidth, ItemWidthAt(i));
    }
    SetHorScrollbar(FHorScrollbar);
}

void TMvCheckListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        TMvExCheckListBox::WndProc(Message);
        UpdateColumnWidth();
        return;
    case WM_SETFONT:
        TMvExCheckListBox::WndProc(Message);
        Canvas().Font().Assign(Font());
        UpdateMaxWidth();
        return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        // Only a list that keeps strings passes text in LParam; otherwise it is item data.
        if (HasStrings() && Message.LParam) {
            const int Width = ItemWidth(reinterpret_cast<const char*>(Message.LParam));
            if (Width > FMaxWidth) FMaxWidth = Width;
            SetHorScrollbar(FHorScrollbar);
        }
        break;
    case LB_DELETESTRING: {
        const int Width = ItemWidthAt(static_cast<int>(Message.WParam));
        TMvExCheckListBox::WndProc(Message);
        if (Width >= 0 && Width == FMaxWidth) UpdateMaxWidth();
        return;
    }
    case LB_RESETCONTENT:
        FMaxWidth = 0;
        SetHorScrollbar(FHorScrollbar);
        break;
    case WM_HSCROLL:
        TMvExCheckListBox::WndProc(Message);
        if (LOWORD(Message.WParam) != SB_ENDSCROLL && HandleAllocated() &&
            GetScrollPos(Handle(), SB_HORZ) < 20) {
            // The check boxes scroll in from the left: draw their column again.
            RECT Column{0, 0, 20, ClientHeight()};
            InvalidateRect(Handle(), &Column, FALSE);
        }
        if (OnHorizontalScroll) OnHorizontalScroll(this);
        return;
    case WM_VSCROLL:
        TMvExCheckListBox::WndProc(Message);
        if (OnVerticalScroll) OnVerticalScroll(this);
        return;
    case CN_COMMAND:
        // The list box's own selection-cancel notification, reflected from the parent.
        if (HIWORD(Message.WParam) == LBN_SELCANCEL && OnSelectCancel) OnSelectCancel(this);
        break;
    default:
        break;
    }
    TMvExCheckListBox::WndProc(Message);
}

void TMvCheckListBox::DeleteSelected() {
    if (MultiSelect()) {
        for (int i = Count() - 1; i >= 0; --i)
            if (Selected(i)) Items().Delete(i);
        return;
    }
    const int Index = ItemIndex();
    if (Index < 0) return;
    Items().Delete(Index);
    if (Count() > 0) SetItemIndex(Index > 0 ? Index - 1 : 0);
}

void TMvCheckListBox::SelectAll() {
    if (!MultiSelect()) return;
    for (int i = 0; i < Count(); ++i)
        SetSelected(i, true);
}

void TMvCheckListBox::MouseEnter(TControl* Control) {
    if (MouseOver()) return;
    if (FHotTrack) SetCtl3D(true);
    TMvExCheckListBox::MouseEnter(Control);
}

void TMvCheckListBox::MouseLeave(TControl* Control) {
    if (!MouseOver()) return;
    if (FHotTrack) SetCtl3D(false);
    TMvExCheckListBox::MouseLeave(Control);
}
