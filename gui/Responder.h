// The dialog responder: a process-wide hook that answers modal dialogs instead of showing them (tests).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TForm;
class TOpenDialog;
class TPopupMenu;

// While a responder is installed, no modal dialog or modal loop appears: each
// request goes to the matching member. A request whose member is empty gets the
// "cancel" answer (IDCANCEL, false, mrCancel), so a test never blocks.
struct TDialogResponder {
    // Message boxes: text, caption, MB_* flags; returns an ID* button code.
    std::function<int(const std::string& text, const std::string& caption, UINT flags)> MessageBox;
    // Open/save file dialogs: set FileName on the dialog and return true for OK.
    std::function<bool(TOpenDialog& dialog)> OpenDialog;
    // Input boxes: caption, prompt, the value (in: default, out: answer); true for OK.
    std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)> InputQuery;
    // ShowModal: the form's window exists; return the modal result (0: take the
    // form's ModalResult, and mrCancel when that is 0 too).
    std::function<int(TForm& form)> ShowModal;
    // Popup menus: called instead of the menu loop; the responder may Click an item.
    std::function<void(TPopupMenu& menu, int x, int y)> Popup;
};

// The installed responder, or nullptr.
TDialogResponder* DialogResponder();
// Installs a responder (nullptr removes it); returns the previous one.
TDialogResponder* SetDialogResponder(TDialogResponder* responder);

// Installs a responder for the life of the scope.
class TDialogResponderScope {
public:
    explicit TDialogResponderScope(TDialogResponder& responder) : previous_(SetDialogResponder(&responder)) {}
    ~TDialogResponderScope() { SetDialogResponder(previous_); }
    TDialogResponderScope(const TDialogResponderScope&) = delete;
    TDialogResponderScope& operator=(const TDialogResponderScope&) = delete;

private:
    TDialogResponder* previous_;
};
