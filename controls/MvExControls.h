// The control base-class layer: one thin layer, written once as templates, that
// each of the seven base classes puts over its library class. It turns the
// library's notifications into overridable methods, adds HintColor, MouseOver
// and the mouse-enter/leave and parent-colour events, the windowed hooks (size,
// focus, erase, dialog codes, a saved DC around printing) and, for the edit
// members, the clipboard-command filter. Also the shared routines of the layer
// and the two controls of this unit, TMvExGraphicControl and TMvExCustomControl.
#pragma once

#include "gui/CustomControl.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"
#include "controls/MvExCodes.h"

#include <string>

using mv::controls::caClear;
using mv::controls::caCopy;
using mv::controls::caCut;
using mv::controls::caPaste;
using mv::controls::caUndo;
using mv::controls::dgButton;
using mv::controls::dgHasSetSel;
using mv::controls::dgNative;
using mv::controls::dgWantAllKeys;
using mv::controls::dgWantArrows;
using mv::controls::dgWantChars;
using mv::controls::dgWantTab;
using mv::controls::DialogCodesToDlgc;
using mv::controls::DlgcToDialogCodes;
using mv::controls::TDialogCode;
using mv::controls::TDialogCodeSet;
using mv::controls::TMvClipboardCommand;
using mv::controls::TMvClipboardCommands;

// Key-data bits of the shift keys (Alt, Ctrl, Shift) for CM_DIALOGCHAR.
LPARAM KeyDataFromShift(TShiftState Shift);

// Settles the colour of a hint about to show for Control: clNone takes the
// application's hint colour, clDefault asks the parent (recursively through its
// own rules), any other value is used as it is.
void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor Color);

// A class that derives from this marker answers the marker query (0xB7D0) with 1.
class IExQueryMarker {
public:
    virtual ~IExQueryMarker() = default;
};

// Every edit-group member answers this, so the shared edit popup can read the
// set without knowing the concrete class.
class IMvClipboardCommandsSource {
public:
    virtual ~IMvClipboardCommandsSource() = default;
    virtual TMvClipboardCommands GetClipboardCommands() const = 0;
};

// ---- the layer every member has ----
template <class TBase> class TMvExControlLayer : public TBase {
public:
    explicit TMvExControlLayer(TComponent* AOwner) : TBase(AOwner) {}

    void WndProc(TMessage& Message) override;

    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    bool MouseOver() const { return FMouseOver; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

protected:
    virtual void TextChanged() { PassToInherited(CM_TEXTCHANGED, 0, 0); }
    virtual bool WantKey(int Key, TShiftState Shift, const std::string& KeyText);
    virtual bool HitTest(int X, int Y) { return PassToInherited(CM_HITTEST, 0, PointToLParam(X, Y)) != 0; }

    virtual void FocusChanged(TWinControl* Control) {
        PassToInherited(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    virtual void VisibleChanged() { PassToInherited(CM_VISIBLECHANGED, 0, 0); }
    virtual void EnabledChanged() { PassToInherited(CM_ENABLEDCHANGED, 0, 0); }
    virtual void ColorChanged() { PassToInherited(CM_COLORCHANGED, 0, 0); }
    virtual void FontChanged() { PassToInherited(CM_FONTCHANGED, 0, 0); }
    virtual void ParentFontChanged() { PassToInherited(CM_PARENTFONTCHANGED, 0, 0); }
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged() { PassToInherited(CM_PARENTSHOWHINTCHANGED, 0, 0); }
    virtual bool HintShow(THintInfo& HintInfo);
    virtual void MouseEnter(TControl* Control);
    virtual void MouseLeave(TControl* Control);

    // Runs the library class's own window procedure on a fresh message.
    LRESULT PassToInherited(UINT Msg, WPARAM WParam, LPARAM LParam) {
        TMessage M{Msg, WParam, LParam, 0};
        TBase::WndProc(M);
        return M.Result;
    }

private:
    TColor FHintColor = clDefault;
    bool FMouseOver = false;
};

// ---- the windowed members add hooks for window messages ----
template <class TBase> class TMvExWinControlLayer : public TMvExControlLayer<TBase> {
    using Layer = TMvExControlLayer<TBase>;

public:
    explicit TMvExWinControlLayer(TComponent* AOwner) : Layer(AOwner) {}

    void WndProc(TMessage& Message) override;

protected:
    using Layer::PassToInherited;

    virtual void SizeChanged() {}
    virtual void AdjustDialogCodes(TDialogCodeSet& Codes) { (void)Codes; }
    virtual void DoSetFocus(HWND PreviousWnd) {
        PassToInherited(WM_SETFOCUS, reinterpret_cast<WPARAM>(PreviousWnd), 0);
    }
    virtual void DoKillFocus(HWND NextWnd) {
        PassToInherited(WM_KILLFOCUS, reinterpret_cast<WPARAM>(NextWnd), 0);
    }
    virtual bool DoEraseBackground(TCanvas& Canvas, LPARAM Param) {
        return PassToInherited(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas.Handle()), Param) != 0;
    }

    virtual void CursorChanged() { PassToInherited(CM_CURSORCHANGED, 0, 0); }
    virtual void ShowingChanged() { PassToInherited(CM_SHOWINGCHANGED, 0, 0); }
    virtual void ShowHintChanged() { PassToInherited(CM_SHOWHINTCHANGED, 0, 0); }
    virtual void ChildrenChanging(TControl* Control, bool Inserting) {
        if (Inserting)
            PassToInherited(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 1);
        else
            PassToInherited(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(Control), 0);
    }
    virtual void ChildrenChanged(TControl* Control, bool Inserting) {
        if (Inserting)
            PassToInherited(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(Control), 1);
        else
            PassToInherited(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control), 0);
    }

private:
    void EraseBackground(TMessage& Message);
};

// ---- the edit members filter clipboard and undo messages ----
template <class TBase>
class TMvExEditLayer : public TMvExWinControlLayer<TBase>, public IMvClipboardCommandsSource {
    using Layer = TMvExWinControlLayer<TBase>;

public:
    explicit TMvExEditLayer(TComponent* AOwner) : Layer(AOwner) {}

    void WndProc(TMessage& Message) override;

    TMvClipboardCommands ClipboardCommands() const { return FClipboardCommands; }
    TMvClipboardCommands GetClipboardCommands() const override { return FClipboardCommands; }

    virtual void SetClipboardCommands(TMvClipboardCommands Value) { FClipboardCommands = Value; }

private:
    TMvClipboardCommands FClipboardCommands = mv::controls::kAllClipboardCommands;
};

class TMvExGraphicControl : public TMvExControlLayer<TGraphicControl> {
public:
    explicit TMvExGraphicControl(TComponent* AOwner) : TMvExControlLayer<TGraphicControl>(AOwner) {}
};

class TMvExCustomControl : public TMvExWinControlLayer<TCustomControl> {
public:
    explicit TMvExCustomControl(TComponent* AOwner) : TMvExWinControlLayer<TCustomControl>(AOwner) {}
};

#include "controls/MvExControlsImpl.h"
