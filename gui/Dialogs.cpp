// Message boxes, input box, file dialogs.
#include "gui/Dialogs.h"

#include "gui/Application.h"
#include "gui/StdCtrls.h"

#include <commdlg.h>

#include <vector>

UINT MessageDlgFlags(TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT flags = 0;
    switch (type) {
    case TMsgDlgType::mtWarning:
        flags |= MB_ICONWARNING;
        break;
    case TMsgDlgType::mtError:
        flags |= MB_ICONERROR;
        break;
    case TMsgDlgType::mtInformation:
        flags |= MB_ICONINFORMATION;
        break;
    case TMsgDlgType::mtConfirmation:
        flags |= MB_ICONQUESTION;
        break;
    case TMsgDlgType::mtCustom:
        break;
    }
    auto has = [buttons](unsigned b) { return (buttons & b) != 0; };
    if (has(mbAbort) || has(mbIgnore))
        flags |= MB_ABORTRETRYIGNORE;
    else if (has(mbYes) && has(mbNo) && has(mbCancel))
        flags |= MB_YESNOCANCEL;
    else if (has(mbYes) || has(mbNo))
        flags |= MB_YESNO;
    else if (has(mbRetry))
        flags |= MB_RETRYCANCEL;
    else if (has(mbCancel))
        flags |= MB_OKCANCEL;
    else
        flags |= MB_OK;
    return flags;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    static const char* captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    std::string caption = captions[static_cast<int>(type)];
    if (caption.empty()) caption = Application->Title();
    return Application->MessageBox(text, caption, MessageDlgFlags(type, buttons));
}

void ShowMessage(const std::string& text) {
    Application->MessageBox(text, Application->Title(), MB_OK);
}

// ---- input box --------------------------------------------------------------

namespace {

class TInputForm : public TForm {
public:
    TInputForm(const std::string& caption, const std::string& prompt, const std::string& value)
        : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetCaption(caption);
        SetPosition(TPosition::poScreenCenter);
        SetClientSize(300, 100);
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetBounds(8, 8, 284, 16);
        label->SetCaption(prompt);
        edit = new TEdit(this);
        edit->SetParent(this);
        edit->SetBounds(8, 28, 284, 22);
        edit->SetText(value);
        auto* ok = new TButton(this);
        ok->SetParent(this);
        ok->SetBounds(136, 64, 75, 25);
        ok->SetCaption("OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        auto* cancel = new TButton(this);
        cancel->SetParent(this);
        cancel->SetBounds(217, 64, 75, 25);
        cancel->SetCaption("Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        SetActiveControl(edit);
    }
    TEdit* edit;
};

} // namespace

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (TDialogResponder* responder = DialogResponder()) {
        if (!responder->InputQuery) return false;
        std::string answer = value;
        if (!responder->InputQuery(caption, prompt, answer)) return false;
        value = answer;
        return true;
    }
    TInputForm form(caption, prompt, value);
    if (form.ShowModal() != mrOk) return false;
    value = form.edit->Text();
    return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
    std::string value = defaultValue;
    return InputQuery(caption, prompt, value) ? value : std::string();
}

// ---- file names and file dialogs ---------------------------------------------

namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

} // namespace

unsigned FileApisCodePage() {
    return AreFileApisANSI() ? GetACP() : GetOEMCP();
}

bool NarrowFileName(const std::wstring& name, std::string& narrow) {
    narrow.clear();
    if (name.empty()) return true;
    const UINT codePage = FileApisCodePage();
    const int length = static_cast<int>(name.size());
    // No "nearest" letters: a plain letter for an accented one would name another file.
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, name.data(), length, nullptr, 0,
                                         nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size));
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, name.data(), length, narrow.data(), size, nullptr,
                        nullptr);
    // Only a name that comes back the same names the same file.
    return size > 0 && Widen(narrow, codePage) == name;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

std::string TOpenDialog::FilterToSystem(const std::string& filter) {
    if (filter.empty()) return std::string(2, '\0');
    std::string out = filter;
    for (char& c : out) {
        if (c == '|') c = '\0';
    }
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

bool TOpenDialog::Execute() {
    return Run(false);
}

bool TSaveDialog::Execute() {
    return Run(true);
}

bool TOpenDialog::Run(bool save) {
    if (TDialogResponder* responder = DialogResponder()) {
        if (!responder->OpenDialog) return false;
        std::string before = fileName_;
        if (!responder->OpenDialog(*this)) {
            fileName_ = before;
            return false;
        }
        files_.assign(1, fileName_);
        return true;
    }
    // The wide dialog: the "A" one hands back the nearest letter for one the code page lacks
    // ("Adams" for a folder "\u0100dams"), a name of another file or of none.
    const UINT names = FileApisCodePage();
    const std::wstring filter = Widen(FilterToSystem(filter_), CP_ACP);
    const std::wstring title = Widen(title_, CP_ACP);
    const std::wstring initialDir = Widen(initialDir_, names);
    const std::wstring defaultExt = Widen(defaultExt_, names);
    const std::wstring fileName = Widen(fileName_, names);
    std::vector<wchar_t> buffer(options_ & ofAllowMultiSelect ? 65536 : MAX_PATH * 2, L'\0');
    fileName.copy(buffer.data(), std::min(fileName.size(), buffer.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    HWND owner = GetActiveWindow();
    ofn.hwndOwner = owner ? owner : Application->Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER;
    if (options_ & ofReadOnly) ofn.Flags |= OFN_READONLY;
    if (options_ & ofOverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (options_ & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (options_ & ofNoChangeDir) ofn.Flags |= OFN_NOCHANGEDIR;
    if (options_ & ofAllowMultiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (options_ & ofPathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (options_ & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (options_ & ofCreatePrompt) ofn.Flags |= OFN_CREATEPROMPT;
    if (options_ & ofNoReadOnlyReturn) ofn.Flags |= OFN_NOREADONLYRETURN;
    if (options_ & ofEnableSizing) ofn.Flags |= OFN_ENABLESIZING;
    BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    files_.clear();
    auto take = [this](const std::wstring& name) {
        std::string narrow;
        NarrowFileName(name, narrow);
        files_.push_back(narrow);
    };
    const wchar_t* p = buffer.data();
    std::wstring first = p;
    p += first.size() + 1;
    if ((options_ & ofAllowMultiSelect) && *p) {
        // Folder, then the names, each NUL-terminated.
        while (*p) {
            std::wstring name = p;
            take(first + L"\\" + name);
            p += name.size() + 1;
        }
    } else {
        take(first);
    }
    fileName_ = files_.front();
    if (options_ & ofReadOnly) {
        if (!(ofn.Flags & OFN_READONLY)) options_ &= ~static_cast<unsigned>(ofReadOnly);
    } else if (ofn.Flags & OFN_READONLY) {
        options_ |= ofReadOnly;
    }
    return true;
}
