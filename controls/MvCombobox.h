// TMvCustomCheckedComboBox: a combo edit whose drop-down is a check list and whose
// text is the checked items joined by a delimiter. TMvCheckedComboBox publishes it.
#pragma once

#include "controls/MvCheckListBox.h"
#include "controls/MvToolEdit.h"

#include "base/StringList.h"

#include <memory>

class TMenuItem;
class TPopupMenu;

enum class TMvCHBQuoteStyle { qsNone, qsSingle, qsDouble };

// The drop-down of the checked combo box. It has no value of its own: the text is
// kept only by the combo box's operations.
class TMvPrivForm : public TMvPopupWindow {
public:
    explicit TMvPrivForm(TMvCustomComboEdit* AOwner) : TMvPopupWindow(AOwner) {}
    std::string GetValue() override { return std::string(); }
    void SetValue(const std::string&) override {}
};

class TMvCustomCheckedComboBox : public TMvCustomComboEdit {
public:
    explicit TMvCustomCheckedComboBox(TComponent* AOwner);
    ~TMvCustomCheckedComboBox() override;

    bool IsItemChecked(int Index);
    void SetItemChecked(int Index, bool Checked);
    void CheckAllItems();
    void UncheckAllItems();
    void Clear() override;

    TStringList& Items() { return *FItems; }
    void SetItems(const TStrings& Value);
    const std::string& CapSelectAll() const { return FCapSelectAll; }
    void SetCapSelectAll(const std::string& Value) { FCapSelectAll = Value; }
    const std::string& CapDeSelectAll() const { return FCapDeSelectAll; }
    void SetCapDeSelectAll(const std::string& Value) { FCapDeSelectAll = Value; }
    TColor NoFocusColor() const { return FNoFocusColor; }
    void SetNoFocusColor(TColor Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TMvCHBQuoteStyle QuoteStyle() const { return FQuoteStyle; }
    void SetQuoteStyle(TMvCHBQuoteStyle Value) { FQuoteStyle = Value; }
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int DropDownLines() const { return FDropDownLines; }
    void SetDropDownLines(int Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value);
    int CheckedCount() const { return FCheckedCount; }

    TMvCheckListBox& CheckList() { return *FListBox; }
    TMvPrivForm& DropDown() { return *FPrivForm; }
    TPopupMenu& ListMenu() { return *FMenu; }

    void DoEnter() override;
    void DoExit() override;

protected:
    void PrepareDropDown() override;

private:
    void ItemsChanged();
    void CheckClick();
    void SelectAllClick();
    void DeselectAllClick();
    void ListKeyDown(WORD& Key, TShiftState Shift);
    void ListContextPopup(POINT MousePos, bool& Handled);
    std::string JoinChecked();
    // Stores a text made by the operations and tells the world.
    void StoreText(const std::string& Value);

    std::unique_ptr<TStringList> FItems;
    TMvPrivForm* FPrivForm = nullptr;    // owned by the control (component owner)
    TMvCheckListBox* FListBox = nullptr; // owned by the drop-down
    TPopupMenu* FMenu = nullptr;         // owned by the drop-down
    TMenuItem* FSelectAllItem = nullptr;
    TMenuItem* FDeselectAllItem = nullptr;
    std::string FCapSelectAll = "&Select all";
    std::string FCapDeSelectAll = "&Deselect all";
    TColor FNoFocusColor = clWindow;
    bool FSorted = false;
    TMvCHBQuoteStyle FQuoteStyle = TMvCHBQuoteStyle::qsNone;
    int FCheckedCount = 0;
    int FColumns = 0;
    int FDropDownLines = 6;
    char FDelimiter = ',';
};

class TMvCheckedComboBox : public TMvCustomCheckedComboBox {
public:
    using TMvCustomCheckedComboBox::TMvCustomCheckedComboBox;
};
