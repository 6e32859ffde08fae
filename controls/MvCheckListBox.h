// TMvCheckListBox: a check list box whose horizontal scroll range always fits its
// widest item, with a flat look until the mouse is over it (HotTrack) and scroll events.
#pragma once

#include "controls/MvExCheckLst.h"

class TMvCheckListBox : public TMvExCheckListBox {
public:
    explicit TMvCheckListBox(TComponent* AOwner);

    void WndProc(TMessage& Message) override;

    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool HorScrollbar() const { return FHorScrollbar; }
    void SetHorScrollbar(bool Value);
    // Width in pixels of the widest item text with one blank appended.
    int MaxWidth() const { return FMaxWidth; }
    // Three-dimensional border (a client edge) or a flat single line.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);

    // Deletes the selected items (all of them with MultiSelect); a single-select list
    // then selects the item before the deleted one, or the new first item.
    void DeleteSelected();
    // Selects every item of a multi-select list; a single-select list is left alone.
    void SelectAll();
    // Measures every item again and applies the widest.
    void UpdateMaxWidth();
    // Columns side by side that share the width, filled top to bottom and scrolled
    // sideways; 0 is the ordinary single column that scrolls down.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    TNotifyEvent OnSelectCancel;
    TNotifyEvent OnHorizontalScroll;
    TNotifyEvent OnVerticalScroll;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void MouseEnter(TControl* Control) override;
    void MouseLeave(TControl* Control) override;

private:
    bool HasStrings();
    // Width of Text plus one blank, low 16 bits only.
    int ItemWidth(const std::string& Text);
    // Width of item Index, or -1 when there is no such item or no text to measure.
    int ItemWidthAt(int Index);

    bool FHotTrack = false;
    int FMaxWidth = 0;
    bool FHorScrollbar = true;
    bool FCtl3D = true;
    int FColumns = 0;

    void UpdateColumnWidth();
};
