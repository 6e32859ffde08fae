// Forms and their controls as the document holds them: values, sizes, submission, reset.
// The window that shows a control (an edit box, a button, ...) is a peer the viewer
// supplies through IFormControlPeer; without one the object keeps its state itself, which
// is how the window-free tests drive it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlUtils.h"

class TSectionList;
class ThtmlForm;

enum class FormControlKind {
    Edit,
    Password,
    Submit,
    Reset,
    Button,
    CheckBox,
    Radio,
    Hidden,
    Image,
    ListBox,
    Combo,
    TextArea
};

class TFormControlObj : public TObject {
public:
    TFormControlObj(TSectionList* owner, ThtmlForm* form, int32_t pos, FormControlKind kind,
                    const TAttributeList& attributes);

    virtual void ResetValue();
    virtual bool SubmitValue(int index, std::string& s);
    virtual void SetControlSize(ITextMetrics& canvas);

    bool Hidden() const { return Kind == FormControlKind::Hidden || Kind == FormControlKind::Image; }
    // The control's bottom sits on the text baseline (text inputs, buttons), else on the
    // bottom of the descent.
    bool OnBaseline() const;

    TSectionList* OwnerDocument;
    ThtmlForm* OwnerForm;
    int32_t Pos;
    FormControlKind Kind;
    std::string Value, Name, OnClickMessage;
    bool IsShown = false;
    int32_t YValue = 0;
    int32_t Width = 0, Height = 0;
    int32_t Left = 0, Top = -400; // where the window was last placed

    // Per kind.
    int32_t EditSize = 20;
    int32_t MaxLength = 0;
    bool IsChecked = false;
    int32_t XPos = -1, YPos = 0;
    // The current state (what the window shows).
    std::string Text;
    bool Checked = false;

    // Options of a SELECT, lines of a TEXTAREA.
    struct Option {
        std::string Text, Value;
        bool Selected;
    };
    std::vector<Option> Options;
    std::vector<bool> ItemSelected; // list state
    int32_t ItemIndex = -1;
    int32_t LBSize = -1;
    int32_t Longest = 3;
    bool Multiple = false;
    std::vector<std::string> Lines;
    int32_t Rows = 5, Cols = 30;
    bool WordWrap = false;

    void AddOption(const std::string& text, const std::string& value, bool selected);
    void AddLine(const std::string& line) { Lines.push_back(line); }
    // What a click does: a submit button submits, a reset button resets, a radio unchecks its
    // group, an image input stores the point and submits.
    void Click(int32_t x = -1, int32_t y = -1);
};

class ThtmlForm : public TObject {
public:
    ThtmlForm(TSectionList* owner, const TAttributeList& attributes);

    void InsertControl(std::unique_ptr<TFormControlObj> ctrl);
    void ResetControls();
    void SetRadio(TFormControlObj& ctrl);
    void SubmitFormData(const std::string& buttonSubmission);
    void SetSizes(ITextMetrics& canvas);

    TSectionList* OwnerDocument;
    std::string Method = "Get";
    std::string Action, Target, EncType;
    TFreeList<TFormControlObj> ControlList; // the one owner of the form's controls
    int VisibleControlCount = 0;
};

// The submission callback: action, target, enctype, method, the name=value lines.
using TSubmitFormEvent =
    std::function<void(const std::string& action, const std::string& target, const std::string& encType,
                       const std::string& method, std::unique_ptr<TStringList> results)>;
