// List boxes and combo boxes over the system LISTBOX and COMBOBOX classes, with their item lists.
#pragma once

#include "gui/CustomControl.h"

#include "base/StringList.h"

#include <functional>
#include <memory>
#include <vector>

// One entry of a list control: its text, the caller's object and a word of
// per-item state for descendants (check marks...).
struct TListItem {
    std::string Text;
    TObject* Object = nullptr;
    uint32_t Data = 0;
};

// Told about every change of an item list, to mirror it into a window.
class IItemListSink {
public:
    virtual void ItemInserted(int index) = 0;
    virtual void ItemDeleted(int index) = 0;
    virtual void ItemChanged(int index) = 0;
    virtual void ItemsCleared() = 0;

protected:
    ~IItemListSink() = default;
};

// The items of a list or combo box. The list is the store: the control's window
// only shows it, so the items (and their state) survive window re-creation.
class TItemStrings : public TStrings {
public:
    explicit TItemStrings(IItemListSink& sink) : sink_(sink) {}

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    // With Sorted, added lines go to their place in ASCII-case-insensitive order.
    int Add(const std::string& s) override { return AddObject(s, nullptr); }
    int AddObject(const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TListItem& Item(int index);
    const TListItem& Item(int index) const;

private:
    IItemListSink& sink_;
    std::vector<TListItem> items_;
    bool sorted_ = false;
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1,
    odGrayed = 2,
    odDisabled = 4,
    odChecked = 8,
    odFocused = 16,
    odDefault = 32,
    odComboBoxEdit = 64,
};
using TOwnerDrawState = unsigned;

class TCustomListBox;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, RECT rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

class TCustomListBox : public TWinControl, public IItemListSink {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings& Items() { return *items_; }
    int Count() const { return items_->Count(); }
    int ItemIndex();
    void SetItemIndex(int index);
    bool Selected(int index);
    void SetSelected(int index, bool value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    int TopIndex();
    void SetTopIndex(int index);
    // The item at a client point; with existing, -1 when the point is below the last item.
    int ItemAtPos(POINT p, bool existing);
    RECT ItemRect(int index);
    void Clear() { items_->Clear(); }
    TCanvas& Canvas() { return *canvas_; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    TItemStrings& ItemList() { return *items_; }

    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ItemChanged(int index) override;
    void ItemsCleared() override;

private:
    std::unique_ptr<TItemStrings> items_;
    std::unique_ptr<TControlCanvas> canvas_;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    int itemHeight_ = 16;
    bool multiSelect_ = false;
    int savedItemIndex_ = -1;
    int savedTopIndex_ = 0;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl, public IItemListSink {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;

    TStrings& Items() { return *items_; }
    int ItemIndex();
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    bool DroppedDown();
    void SetDroppedDown(bool value);

    // Fires when the text changes, by typing or by choosing an item.
    TNotifyEvent OnChange;
    // Fires when an item is chosen from the list.
    TNotifyEvent OnSelect;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ItemChanged(int index) override;
    void ItemsCleared() override;

private:
    std::unique_ptr<TItemStrings> items_;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    int savedItemIndex_ = -1;
};
