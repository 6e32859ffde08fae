// Item lists, list boxes and combo boxes.
#include "gui/ListBoxes.h"

#include "base/Exceptions.h"

#include <algorithm>

// ---- TItemStrings -----------------------------------------------------------

std::string TItemStrings::Get(int index) const {
    return Item(index).Text;
}

TListItem& TItemStrings::Item(int index) {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

const TListItem& TItemStrings::Item(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

void TItemStrings::Put(int index, const std::string& s) {
    Item(index).Text = s;
    sink_.ItemChanged(index);
}

TObject* TItemStrings::GetObject(int index) const {
    return Item(index).Object;
}

void TItemStrings::PutObject(int index, TObject* object) {
    Item(index).Object = object;
}

void TItemStrings::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TItemStrings::InsertObject(int index, const std::string& s, TObject* object) {
    CheckIndex(index, Count() + 1);
    items_.insert(items_.begin() + index, TListItem{s, object, 0});
    sink_.ItemInserted(index);
}

int TItemStrings::AddObject(const std::string& s, TObject* object) {
    int index = Count();
    if (sorted_) {
        auto it = std::upper_bound(
            items_.begin(), items_.end(), s,
            [this](const std::string& v, const TListItem& item) { return CompareStrings(v, item.Text) < 0; });
        index = static_cast<int>(it - items_.begin());
    }
    InsertObject(index, s, object);
    return index;
}

void TItemStrings::Delete(int index) {
    CheckIndex(index, Count());
    items_.erase(items_.begin() + index);
    sink_.ItemDeleted(index);
}

void TItemStrings::Clear() {
    items_.clear();
    sink_.ItemsCleared();
}

void TItemStrings::SetSorted(bool value) {
    if (value == sorted_) return;
    sorted_ = value;
    if (!value) return;
    std::stable_sort(items_.begin(), items_.end(), [this](const TListItem& a, const TListItem& b) {
        return CompareStrings(a.Text, b.Text) < 0;
    });
    sink_.ItemsCleared();
    for (int i = 0; i < Count(); ++i)
        sink_.ItemInserted(i);
}

// ---- TCustomListBox ---------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TItemStrings>(*this)),
      canvas_(std::make_unique<TControlCanvas>(*this)) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse | csClickEvents)) |
                    csDoubleClicks);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() {
    canvas_->FreeHandle();
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "LISTBOX");
    params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (multiSelect_) params.Style |= LBS_EXTENDEDSEL;
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
    if (style_ == TListBoxStyle::lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND wnd = Handle();
    SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < items_->Count(); ++i)
        SendMessageA(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Item(i).Text.c_str()));
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) SendMessageA(wnd, LB_SETITEMHEIGHT, 0, itemHeight_);
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    if (savedItemIndex_ >= 0) SetItemIndex(savedItemIndex_);
    SendMessageA(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(savedTopIndex_), 0);
}

void TCustomListBox::DestroyWnd() {
    savedItemIndex_ = ItemIndex();
    savedTopIndex_ = TopIndex();
    canvas_->FreeHandle();
    TWinControl::DestroyWnd();
}

void TCustomListBox::ItemInserted(int index) {
    if (HandleAllocated())
        SendMessageA(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(items_->Item(index).Text.c_str()));
}

void TCustomListBox::ItemDeleted(int index) {
    if (HandleAllocated()) SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::ItemChanged(int index) {
    if (!HandleAllocated()) return;
    bool selected = Selected(index);
    SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageA(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(items_->Item(index).Text.c_str()));
    if (selected) SetSelected(index, true);
}

void TCustomListBox::ItemsCleared() {
    if (HandleAllocated()) SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
    savedItemIndex_ = -1;
}

int TCustomListBox::ItemIndex() {
    if (!HandleAllocated()) return savedItemIndex_;
    if (multiSelect_) return static_cast<int>(SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (!HandleAllocated()) {
        savedItemIndex_ = index;
        return;
    }
    if (multiSelect_)
        SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    else
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TCustomListBox::Selected(int index) {
    if (!HandleAllocated()) return index >= 0 && index == savedItemIndex_;
    return SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
    if (!multiSelect_) {
        if (value)
            SetItemIndex(index);
        else if (ItemIndex() == index)
            SetItemIndex(-1);
        return;
    }
    SendMessageA(Handle(), LB_SETSEL, value ? TRUE : FALSE, index);
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (value == multiSelect_) return;
    multiSelect_ = value;
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomListBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (HandleAllocated() && style_ == TListBoxStyle::lbOwnerDrawFixed) {
        SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
        Invalidate();
    }
}

int TCustomListBox::TopIndex() {
    if (!HandleAllocated()) return savedTopIndex_;
    return static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int index) {
    savedTopIndex_ = index;
    if (HandleAllocated()) SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) {
    LRESULT r = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    int index = LOWORD(r);
    bool outside = HIWORD(r) != 0;
    if (outside && existing) return -1;
    if (index >= Count()) return existing ? -1 : Count();
    return index;
}

RECT TCustomListBox::ItemRect(int index) {
    RECT r{0, 0, 0, 0};
    if (index >= 0 && index < Count()) {
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    } else if (index == Count()) {
        // Where a new last item would go.
        RECT client = ClientRect();
        int h = style_ == TListBoxStyle::lbStandard
                    ? static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0))
                    : itemHeight_;
        int top = (index - TopIndex()) * h;
        r = RECT{0, top, client.right, top + h};
    }
    return r;
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas& c = *canvas_;
    c.FillRect(rect);
    if (index >= 0 && index < Count()) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        RECT r = rect;
        r.left += 2;
        c.DrawText(items_->Item(index).Text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void TCustomListBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CN_COMMAND:
        switch (HIWORD(m.WParam)) {
        case LBN_SELCHANGE:
            Click();
            break;
        case LBN_DBLCLK:
            DblClick();
            break;
        default:
            break;
        }
        return;
    case CN_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        int height = itemHeight_;
        if (style_ == TListBoxStyle::lbOwnerDrawVariable) MeasureItem(static_cast<int>(mis->itemID), height);
        mis->itemHeight = static_cast<UINT>(std::max(height, 1));
        m.Result = TRUE;
        return;
    }
    case CN_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        TOwnerDrawState state = 0;
        if (dis->itemState & ODS_SELECTED) state |= odSelected;
        if (dis->itemState & ODS_FOCUS) state |= odFocused;
        if (dis->itemState & ODS_DISABLED) state |= odDisabled;
        if (dis->itemState & ODS_GRAYED) state |= odGrayed;
        if (dis->itemState & ODS_CHECKED) state |= odChecked;
        TSavedDC saved(dis->hDC);
        const TCanvasDCLoan loan(*canvas_);
        canvas_->SetHandle(dis->hDC);
        canvas_->Font().Assign(Font());
        canvas_->Brush().SetStyle(TBrushStyle::bsSolid);
        if ((state & odSelected) && !(state & odDisabled)) {
            canvas_->Brush().SetColor(clHighlight);
            canvas_->Font().SetColor(clHighlightText);
        } else {
            canvas_->Brush().SetColor(Color());
        }
        int index = static_cast<int>(dis->itemID);
        if (index >= 0 && index < Count()) {
            DrawItem(index, dis->rcItem, state);
        } else {
            canvas_->FillRect(dis->rcItem);
        }
        if (state & odFocused) {
            canvas_->Brush().SetStyle(TBrushStyle::bsSolid);
            canvas_->DrawFocusRect(dis->rcItem);
        }
        m.Result = TRUE;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TComboBox --------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TItemStrings>(*this)) {
    SetControlStyle((ControlStyle() & ~static_cast<unsigned>(csCaptureMouse | csClickEvents)) | csSetCaption);
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TComboBox::~TComboBox() = default;

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "COMBOBOX");
    params.Style |= CBS_AUTOHSCROLL | WS_VSCROLL | CBS_HASSTRINGS;
    switch (style_) {
    case TComboBoxStyle::csDropDown:
        params.Style |= CBS_DROPDOWN;
        break;
    case TComboBoxStyle::csSimple:
        params.Style |= CBS_SIMPLE;
        break;
    case TComboBoxStyle::csDropDownList:
        params.Style |= CBS_DROPDOWNLIST;
        break;
    }
    // The window's height includes the drop-down list.
    if (style_ != TComboBoxStyle::csSimple) params.Height = Height() + dropDownCount_ * 16 + 2;
}

void TComboBox::CreateWnd() {
    std::string text = Text();
    TWinControl::CreateWnd();
    HWND wnd = Handle();
    for (int i = 0; i < items_->Count(); ++i)
        SendMessageA(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Item(i).Text.c_str()));
    if (savedItemIndex_ >= 0)
        SetItemIndex(savedItemIndex_);
    else if (style_ != TComboBoxStyle::csDropDownList)
        SetWindowTextA(wnd, text.c_str());
    UpdateBoundsFromWindow();
}

void TComboBox::DestroyWnd() {
    savedItemIndex_ = ItemIndex();
    TWinControl::DestroyWnd();
}

void TComboBox::ItemInserted(int index) {
    if (HandleAllocated())
        SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(items_->Item(index).Text.c_str()));
}

void TComboBox::ItemDeleted(int index) {
    if (HandleAllocated()) SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBox::ItemChanged(int index) {
    if (!HandleAllocated()) return;
    bool selected = ItemIndex() == index;
    SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(items_->Item(index).Text.c_str()));
    if (selected) SetItemIndex(index);
}

void TComboBox::ItemsCleared() {
    if (HandleAllocated()) SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    savedItemIndex_ = -1;
}

int TComboBox::ItemIndex() {
    if (!HandleAllocated()) return savedItemIndex_;
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    if (!HandleAllocated()) {
        savedItemIndex_ = index;
        if (index >= 0) TextField() = items_->Item(index).Text;
        return;
    }
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TComboBox::SetDropDownCount(int count) {
    if (count < 1 || count == dropDownCount_) return;
    dropDownCount_ = count;
    RecreateWnd();
}

bool TComboBox::DroppedDown() {
    return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool value) {
    SendMessageA(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

void TComboBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        switch (HIWORD(m.WParam)) {
        case CBN_EDITCHANGE:
            if (OnChange) OnChange(this);
            break;
        case CBN_SELCHANGE: {
            // The edit part shows the new item only after this notification; set it now.
            int index = ItemIndex();
            if (index >= 0 && style_ != TComboBoxStyle::csDropDownList)
                SetWindowTextA(Handle(), items_->Item(index).Text.c_str());
            if (OnSelect) OnSelect(this);
            if (OnChange) OnChange(this);
            Click();
            break;
        }
        default:
            break;
        }
        return;
    }
    TWinControl::WndProc(m);
}
