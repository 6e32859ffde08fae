// Menu items, popup menus and shortcut text.
#include "gui/Menus.h"

#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/GdiGuards.h"
#include "gui/ImgList.h"

#include "base/Exceptions.h"

#include <algorithm>

namespace {

UINT nextCommand = 100;

UINT NewCommand() {
    if (++nextCommand > 0x7FFF) nextCommand = 100;
    return nextCommand;
}

std::string KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_PRIOR:
        return "PgUp";
    case VK_NEXT:
        return "PgDn";
    case VK_END:
        return "End";
    case VK_HOME:
        return "Home";
    case VK_LEFT:
        return "Left";
    case VK_UP:
        return "Up";
    case VK_RIGHT:
        return "Right";
    case VK_DOWN:
        return "Down";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    case VK_OEM_3:
        return "`";
    case VK_OEM_PLUS:
        return "+";
    case VK_OEM_MINUS:
        return "-";
    case VK_OEM_COMMA:
        return ",";
    case VK_OEM_PERIOD:
        return ".";
    default:
        return {};
    }
}

} // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
    if (key == 0 || key > 0xFF) return 0;
    TShortCut sc = static_cast<TShortCut>(key);
    if (shift & ssShift) sc |= scShift;
    if (shift & ssCtrl) sc |= scCtrl;
    if (shift & ssAlt) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = 0;
    if (shortCut & scShift) shift |= ssShift;
    if (shortCut & scCtrl) shift |= ssCtrl;
    if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyName(shortCut & 0xFF);
    if (name.empty()) return {};
    std::string prefix;
    if (shortCut & scShift) prefix += "Shift+";
    if (shortCut & scCtrl) prefix += "Ctrl+";
    if (shortCut & scAlt) prefix += "Alt+";
    return prefix + name;
}

TShortCut TextToShortCut(const std::string& text) {
    std::string rest = text;
    TShortCut mods = 0;
    for (;;) {
        auto starts = [&](const char* p) {
            std::string s(p);
            return rest.size() > s.size() && _strnicmp(rest.c_str(), p, s.size()) == 0;
        };
        if (starts("Shift+")) {
            mods |= scShift;
            rest = rest.substr(6);
        } else if (starts("Ctrl+")) {
            mods |= scCtrl;
            rest = rest.substr(5);
        } else if (starts("Alt+")) {
            mods |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    for (int key = 1; key <= 0xFF; ++key) {
        std::string name = KeyName(static_cast<WORD>(key));
        if (!name.empty() && _stricmp(name.c_str(), rest.c_str()) == 0)
            return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

// ---- TMenuItem --------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    // Sub-items are ours; each one leaves our list as it goes.
    while (!items_.empty())
        delete items_.back();
    if (parent_) parent_->Remove(this);
    if (action_) action_->RemoveFreeNotification(this);
}

namespace {
TAction* AsAction(TBasicAction* a) {
    return dynamic_cast<TAction*>(a);
}
} // namespace

std::string TMenuItem::Caption() const {
    if (TAction* a = AsAction(action_)) return a->Caption();
    return caption_;
}
bool TMenuItem::Enabled() const {
    if (TAction* a = AsAction(action_)) return a->Enabled();
    return enabled_;
}
bool TMenuItem::Checked() const {
    if (TAction* a = AsAction(action_)) return a->Checked();
    return checked_;
}
bool TMenuItem::Visible() const {
    if (TAction* a = AsAction(action_)) return a->Visible();
    return visible_;
}
TShortCut TMenuItem::GetShortCut() const {
    if (TAction* a = AsAction(action_)) return a->GetShortCut();
    return shortCut_;
}
int TMenuItem::ImageIndex() const {
    if (TAction* a = AsAction(action_)) return a->ImageIndex();
    return imageIndex_;
}
std::string TMenuItem::Hint() const {
    if (TAction* a = AsAction(action_)) return a->Hint();
    return hint_;
}

void TMenuItem::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_) action_->RemoveFreeNotification(this);
    action_ = action;
    if (action_) action_->FreeNotification(this);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == action_) action_ = nullptr;
}

int TMenuItem::MenuIndex() const {
    return parent_ ? parent_->IndexOf(this) : -1;
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw EInvalidOperation("Menu inserted twice");
    if (index < 0 || index > Count()) throw EInvalidOperation("Menu index out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Menu index out of range");
    delete items_[static_cast<size_t>(index)];
}

void TMenuItem::Clear() {
    while (!items_.empty())
        delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    auto strip = [](std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
        return s;
    };
    for (TMenuItem* item : items_) {
        if (_stricmp(strip(item->Caption()).c_str(), strip(caption).c_str()) == 0) return item;
    }
    return nullptr;
}

void TMenuItem::Click() {
    if (action_) {
        action_->Execute();
        return;
    }
    if (OnClick) OnClick(this);
}

void TMenuItem::AppendTo(HMENU menu, TMenuPictures* pictures) {
    if (!Visible()) return;
    if (IsLine()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::string text = Caption();
    std::string sc = ShortCutToText(GetShortCut());
    if (!sc.empty()) text += "\t" + sc;
    UINT flags = MF_STRING;
    if (!Enabled()) flags |= MF_GRAYED;
    if (Checked()) flags |= MF_CHECKED;
    if (!items_.empty()) {
        HMENU sub = BuildPopupMenu(pictures);
        command_ = 0;
        AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
        command_ = NewCommand();
        AppendMenuA(menu, flags, command_, text.c_str());
    }
    const UINT position = static_cast<UINT>(GetMenuItemCount(menu) - 1);
    if (HBITMAP picture = pictures ? pictures->Picture(ImageIndex()) : nullptr) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = picture;
        SetMenuItemInfoA(menu, position, TRUE, &info);
    }
    if (default_) SetMenuDefaultItem(menu, position, TRUE);
}

HMENU TMenuItem::BuildPopupMenu(TMenuPictures* pictures) {
    HMENU menu = CreatePopupMenu();
    for (TMenuItem* item : items_)
        item->AppendTo(menu, pictures);
    return menu;
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
    if (command == 0) return nullptr;
    if (command_ == command) return this;
    for (TMenuItem* item : items_) {
        if (TMenuItem* found = item->FindByCommand(command)) return found;
    }
    return nullptr;
}

// ---- TMenu, TPopupMenu ------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

TMenu::~TMenu() = default;

void TMenu::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

// ---- TMenuPictures ----------------------------------------------------------

HBITMAP TMenuPictures::Picture(int index) {
    if (!images_ || index < 0 || index >= images_->Count()) return nullptr;
    TWindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), images_->Width(), images_->Height());
    if (!bitmap) return nullptr;
    bitmaps_.emplace_back(bitmap);
    TMemoryDC memory(screen.Get());
    TSelectObject selected(memory.Get(), bitmap);
    RECT all{0, 0, images_->Width(), images_->Height()};
    FillRect(memory.Get(), &all, GetSysColorBrush(COLOR_MENU));
    ImageList_Draw(images_->Handle(), index, memory.Get(), 0, 0, ILD_TRANSPARENT);
    return bitmap;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::SetPopupComponent(TComponent* component) {
    if (component == popupComponent_) return;
    if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = component;
    if (component) component->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TMenu::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (TDialogResponder* responder = DialogResponder()) {
        if (responder->Popup) responder->Popup(*this, x, y);
        return;
    }
    TMenuPictures pictures(Images()); // freed after the menu
    struct MenuHandle {
        HMENU h;
        ~MenuHandle() { DestroyMenu(h); }
    } menu{Items().BuildPopupMenu(&pictures)};
    HWND owner = Application->Handle();
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu.h, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    // The chosen item runs after the menu loop has ended, outside any system frame.
    if (TMenuItem* item = Items().FindByCommand(command)) item->Click();
}
