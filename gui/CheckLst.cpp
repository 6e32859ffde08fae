// TCheckListBox.
#include "gui/CheckLst.h"

#include "gui/Themes.h"

#include <algorithm>

namespace {

// Per-item state in TListItem::Data: two bits of check state, one "disabled" bit.
constexpr uint32_t kStateMask = 0x3;
constexpr uint32_t kDisabled = 0x4;

} // namespace

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
}

void TCheckListBox::CreateWnd() {
    // Room for the check box, however small the font.
    SetItemHeight(std::max(ItemHeight(), std::max(CheckWidth(), -Font().Height() + 4)));
    TCustomListBox::CreateWnd();
}

int TCheckListBox::CheckWidth() const {
    return 13 + 2;
}

TCheckBoxState TCheckListBox::State(int index) const {
    uint32_t bits = const_cast<TCheckListBox*>(this)->ItemList().Item(index).Data & kStateMask;
    return bits == 1   ? TCheckBoxState::cbChecked
           : bits == 2 ? TCheckBoxState::cbGrayed
                       : TCheckBoxState::cbUnchecked;
}

void TCheckListBox::SetState(int index, TCheckBoxState state) {
    TListItem& item = ItemList().Item(index);
    uint32_t bits = state == TCheckBoxState::cbChecked ? 1u : state == TCheckBoxState::cbGrayed ? 2u : 0u;
    if ((item.Data & kStateMask) == bits) return;
    item.Data = (item.Data & ~kStateMask) | bits;
    InvalidateItem(index);
}

void TCheckListBox::SetChecked(int index, bool value) {
    SetState(index, value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

bool TCheckListBox::ItemEnabled(int index) const {
    return (const_cast<TCheckListBox*>(this)->ItemList().Item(index).Data & kDisabled) == 0;
}

void TCheckListBox::SetItemEnabled(int index, bool value) {
    TListItem& item = ItemList().Item(index);
    uint32_t data = value ? (item.Data & ~kDisabled) : (item.Data | kDisabled);
    if (data == item.Data) return;
    item.Data = data;
    InvalidateItem(index);
}

void TCheckListBox::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TCheckListBox::InvalidateItem(int index) {
    if (!HandleAllocated()) return;
    RECT r = ItemRect(index);
    InvalidateRect(Handle(), &r, FALSE);
}

void TCheckListBox::ToggleClickCheck(int index) {
    if (index < 0 || index >= Count() || !ItemEnabled(index)) return;
    TCheckBoxState next = TCheckBoxState::cbUnchecked;
    switch (State(index)) {
    case TCheckBoxState::cbUnchecked:
        next = TCheckBoxState::cbChecked;
        break;
    case TCheckBoxState::cbChecked:
        next = allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbUnchecked;
        break;
    case TCheckBoxState::cbGrayed:
        next = TCheckBoxState::cbUnchecked;
        break;
    }
    SetState(index, next);
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    TCanvas& c = Canvas();
    RECT box = rect;
    box.right = box.left + CheckWidth();
    // The check column keeps the list's colour even on a selected line.
    TColor textBrush = c.Brush().Color();
    c.Brush().SetColor(Color());
    c.FillRect(box);
    c.Brush().SetColor(textBrush);
    bool enabled = Enabled() && ItemEnabled(index);
    int size = 13;
    RECT check{box.left + 1, rect.top + ((rect.bottom - rect.top) - size) / 2, 0, 0};
    check.right = check.left + size;
    check.bottom = check.top + size;
    TThemedElementDetails details;
    details.ClassList = L"BUTTON";
    details.Part = 3; // BP_CHECKBOX
    TCheckBoxState st = State(index);
    details.State = (st == TCheckBoxState::cbChecked  ? 5
                     : st == TCheckBoxState::cbGrayed ? 9
                                                      : 1) +
                    (enabled ? 0 : 3);
    details.ClassicType = DFC_BUTTON;
    details.ClassicState = DFCS_BUTTONCHECK | (st == TCheckBoxState::cbUnchecked ? 0 : DFCS_CHECKED) |
                           (enabled && st != TCheckBoxState::cbGrayed ? 0 : DFCS_INACTIVE) |
                           (flat_ ? DFCS_FLAT : 0);
    ThemeServices().DrawElement(c.Handle(), details, check, HandleAllocated() ? Handle() : nullptr);

    RECT textRect = rect;
    textRect.left = box.right;
    if (OnDrawItem) {
        OnDrawItem(this, index, textRect, state);
        return;
    }
    if (!enabled) c.Font().SetColor(clGrayText);
    c.FillRect(textRect);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    textRect.left += 2;
    c.DrawText(Items().Get(index), textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCheckListBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        TCustomListBox::WndProc(m);
        POINT p{MessageX(m.LParam), MessageY(m.LParam)};
        int index = ItemAtPos(p, true);
        // The box sits at the left of the item's own rectangle (not of the client area: a
        // multi-column list has items side by side).
        if (index >= 0) {
            const int x = p.x - ItemRect(index).left;
            if (x >= 0 && x < CheckWidth()) ToggleClickCheck(index);
        }
        return;
    }
    case WM_CHAR:
        if (m.WParam == ' ') {
            ToggleClickCheck(ItemIndex());
            return;
        }
        break;
    default:
        break;
    }
    TCustomListBox::WndProc(m);
}
