// Menu items, popup menus and shortcut values.
#pragma once

#include "gui/Component.h"
#include "gui/Control.h"
#include "gui/GdiGuards.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TBasicAction;
class TAction;
class TImageList;

// The pictures of a menu's items while the menu is shown: each made from an image list on the
// menu's background colour, and freed with this object (after the menu is gone).
class TMenuPictures {
public:
    explicit TMenuPictures(TImageList* images) : images_(images) {}
    TMenuPictures(const TMenuPictures&) = delete;
    TMenuPictures& operator=(const TMenuPictures&) = delete;

    // A bitmap of image `index`, or nullptr when there is no such image.
    HBITMAP Picture(int index);

private:
    TImageList* images_;
    std::vector<TGdiObject<HBITMAP>> bitmaps_; // every picture handed out lives while this does
};

// A shortcut: the virtual key in the low byte plus the modifier bits.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+S", "F1", "Shift+Ctrl+Del"; "" for none.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText; 0 when the text is not a shortcut.
TShortCut TextToShortCut(const std::string& text);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    // With an action assigned, Caption, Enabled, Checked, Visible, ShortCut and Hint come from it.
    std::string Caption() const;
    void SetCaption(const std::string& caption) { caption_ = caption; }
    bool Enabled() const;
    void SetEnabled(bool value) { enabled_ = value; }
    bool Checked() const;
    void SetChecked(bool value) { checked_ = value; }
    bool Visible() const;
    void SetVisible(bool value) { visible_ = value; }
    TShortCut GetShortCut() const;
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    std::string Hint() const;
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value) { radioItem_ = value; }
    // The action's image when an action is assigned.
    int ImageIndex() const;
    void SetImageIndex(int index) { imageIndex_ = index; }
    bool IsLine() const { return Caption() == "-"; }

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out of this menu (it is not freed).
    void Remove(TMenuItem* item);
    // Frees the item at index.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Find(const std::string& caption) const;

    // Runs the action when assigned, else OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

    // The command id the item had in the last menu built from it.
    UINT Command() const { return command_; }
    // Builds a popup HMENU from the visible items below this one (caller destroys it). With
    // Pictures, items with an image show it; Pictures must outlive the menu.
    HMENU BuildPopupMenu(TMenuPictures* Pictures = nullptr);
    // The item below this one (itself included) with a command id, or nullptr.
    TMenuItem* FindByCommand(UINT command);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void AppendTo(HMENU menu, TMenuPictures* pictures);

    std::string caption_;
    bool enabled_ = true, checked_ = false, visible_ = true, default_ = false, radioItem_ = false;
    TShortCut shortCut_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    TBasicAction* action_ = nullptr;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    UINT command_ = 0;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    TMenuItem& Items() { return *items_; }
    // The pictures of the items (their ImageIndex); not owned.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TMenuItem* items_;
    TImageList* images_ = nullptr;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);

    // Fires OnPopup, then shows the menu at a screen point and runs the chosen
    // item's Click after the menu has closed. With a dialog responder installed,
    // the responder's Popup gets the request instead.
    virtual void Popup(int x, int y);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component);
    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};
