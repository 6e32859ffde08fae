// Message boxes, the input box and the open/save file dialogs; all answered by the dialog responder when one
// is set.
#pragma once

#include "gui/Component.h"
#include "gui/Responder.h"

#include <windows.h>

#include <string>
#include <vector>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// A message box with the type's caption and icon and the nearest system button
// set; returns the modal result of the button pressed (mrOk, mrYes, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// An information box with an OK button, captioned with the application title.
void ShowMessage(const std::string& text);
// The MB_* flags MessageDlg uses (for tests and callers that need the raw call).
UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons);

// Asks for one line of text. InputQuery returns false on Cancel and leaves value
// alone; InputBox returns "" on Cancel.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);

// The program names files in 8-bit text, in the code page of Windows' "A" file functions (the
// ANSI code page, unless a program switched them to the OEM one): its number.
unsigned FileApisCodePage();
// A wide file name in that code page. False when a character of it has no place there: Narrow
// then holds '?' for each such character and names no file.
bool NarrowFileName(const std::wstring& name, std::string& narrow);

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofAllowMultiSelect = 1u << 4,
    ofPathMustExist = 1u << 5,
    ofFileMustExist = 1u << 6,
    ofCreatePrompt = 1u << 7,
    ofNoReadOnlyReturn = 1u << 8,
    ofEnableSizing = 1u << 9,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);

    // Runs the dialog; true when the user chose a file (FileName then holds it, with '?' for each
    // character the code page of file names lacks: such a name names no file).
    virtual bool Execute();

    // "Text files|*.txt|All|*.*": pairs of description and pattern list.
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::vector<std::string>& Files() const { return files_; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions options) { options_ = options; }
    virtual bool IsSaveDialog() const { return false; }

    // The filter as the system wants it: NUL-separated, two NULs at the end.
    static std::string FilterToSystem(const std::string& filter);

protected:
    bool Run(bool save);

private:
    std::string filter_, title_, fileName_, defaultExt_, initialDir_;
    std::vector<std::string> files_;
    int filterIndex_ = 1;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
    bool IsSaveDialog() const override { return true; }
};
