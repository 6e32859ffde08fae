// Forms and their controls as the document holds them: values, sizes, submission, reset,
// focus and clicks. The window that shows a control (an edit box, a button, ...) is a peer
// the viewer supplies through IFormControlPeer; the object keeps the values either way, so
// the window-free tests drive it with a recording peer or none.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlUtils.h"

class TSectionList;
class TCell;

// Where a control out of view waits while the focus is in one of the document's controls:
// shown (so the focus and Tab can reach it) but far left of the panel.
constexpr int32_t hvOffScreenLeft = -4000;

class ThtmlForm;
class TFormControlObj;

// The window that shows one control on the viewer's paint panel. The object holds the
// values; the peer shows them and hands back what the user typed, checked or chose.
class IFormControlPeer {
public:
    virtual ~IFormControlPeer() = default;
    // Puts the object's current value into the window (after a reset or a radio change).
    virtual void ShowValue() = 0;
    // Reads what the user changed in the window into the object.
    virtual void ReadValue() = 0;
    // The window takes the size the object measured.
    virtual void SetSize(int32_t width, int32_t height) = 0;
    // Shows the window at a place of the paint panel; a radio button's panel takes the colour.
    virtual void ShowAt(int32_t left, int32_t top, TColor background) = 0;
    virtual void Hide() = 0;
    // The window (or one inside it) has the keyboard focus.
    virtual bool Focused() const = 0;
};

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
    ~TFormControlObj() override;

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
    // Both keep the current state in step as the parser adds to it, in constant time each.
    void AddLine(const std::string& line);
    // What a click does: a submit button submits, a reset button resets, a radio unchecks its
    // group, an image input stores the point and submits.
    void Click(int32_t x = -1, int32_t y = -1);

    // The window's events. Enter: the document scrolls the control into view and every control
    // out of view is shown far left, so Tab can reach all of them; Exit: those are hidden again
    // unless the focus stayed in the document's controls; Click: the state the window changed
    // is taken over, then the click's own work and the host's ObjectClick.
    void ControlEnter();
    void ControlExit();
    void ControlClick();
    // Where the section drew the control's placeholder (panel coordinates): marks it shown and
    // moves its window there.
    void ShowAt(int32_t left, int32_t top);
    // The colour behind the control: its cell's background, else the document's.
    TColor BackgroundColor() const;
    // Takes over what the user changed in the window (nothing without one).
    void ReadFromWindow();

    TCell* Cell = nullptr;                  // the cell holding the placeholder (refers)
    std::unique_ptr<IFormControlPeer> Peer; // made on the first sizing, freed with the object
};

class ThtmlForm : public TObject {
public:
    ThtmlForm(TSectionList* owner, const TAttributeList& attributes);

    void InsertControl(std::unique_ptr<TFormControlObj> ctrl);
    void ResetControls();
    void SetRadio(TFormControlObj& ctrl);
    void SubmitFormData(const std::string& buttonSubmission);
    void SetSizes(ITextMetrics& canvas);
    // A key pressed in one of the form's text inputs: Enter in a one-line edit submits the form
    // with no button pair. True when the key did something.
    bool FormKeyDown(TFormControlObj& sender, uint16_t key);

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
