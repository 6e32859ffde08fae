// Template bodies of the control base-class layer (included by MvExControls.h).
#pragma once

#include "gui/GdiGuards.h"

template <class TBase> void TMvExControlLayer<TBase>::WndProc(TMessage& M) {
    switch (M.Msg) {
    case CM_DIALOGCHAR:
        M.Result = WantKey(static_cast<int>(M.WParam), KeyDataToShiftState(M.LParam),
                           std::string(1, static_cast<char>(M.WParam)))
                       ? 1
                       : 0;
        return;
    case CM_FOCUSCHANGED:
        FocusChanged(reinterpret_cast<TWinControl*>(M.LParam));
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        return;
    case CM_HITTEST:
        M.Result = HitTest(MessageX(M.LParam), MessageY(M.LParam)) ? 1 : 0;
        return;
    case CM_VISIBLECHANGED:
        VisibleChanged();
        return;
    case CM_ENABLEDCHANGED:
        EnabledChanged();
        return;
    case CM_COLORCHANGED:
        ColorChanged();
        return;
    case CM_FONTCHANGED:
        FontChanged();
        return;
    case CM_TEXTCHANGED:
        TextChanged();
        return;
    case CM_MOUSEENTER:
        MouseEnter(reinterpret_cast<TControl*>(M.LParam));
        return;
    case CM_MOUSELEAVE:
        MouseLeave(reinterpret_cast<TControl*>(M.LParam));
        return;
    case CM_PARENTSHOWHINTCHANGED:
        ParentShowHintChanged();
        return;
    case CM_HINTSHOW:
        M.Result = M.LParam && HintShow(*reinterpret_cast<THintInfo*>(M.LParam)) ? 1 : 0;
        return;
    case CM_EXQUERYMARKER:
        M.Result = dynamic_cast<IExQueryMarker*>(this) ? 1 : 0;
        return;
    default:
        break;
    }
    TBase::WndProc(M);
}

template <class TBase>
bool TMvExControlLayer<TBase>::WantKey(int Key, TShiftState Shift, const std::string&) {
    return PassToInherited(CM_DIALOGCHAR, static_cast<WPARAM>(Key & 0xFFFF), KeyDataFromShift(Shift)) != 0;
}

template <class TBase> void TMvExControlLayer<TBase>::ParentColorChanged() {
    PassToInherited(CM_PARENTCOLORCHANGED, 0, 0);
    if (OnParentColorChange) OnParentColorChange(this);
}

template <class TBase> bool TMvExControlLayer<TBase>::HintShow(THintInfo& HintInfo) {
    ResolveHintColor(HintInfo, this, FHintColor);
    return PassToInherited(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&HintInfo)) != 0;
}

template <class TBase> void TMvExControlLayer<TBase>::MouseEnter(TControl* Control) {
    FMouseOver = true;
    if (OnMouseEnter) OnMouseEnter(this);
    PassToInherited(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

template <class TBase> void TMvExControlLayer<TBase>::MouseLeave(TControl* Control) {
    FMouseOver = false;
    PassToInherited(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Control));
    if (OnMouseLeave) OnMouseLeave(this);
}

template <class TBase> void TMvExWinControlLayer<TBase>::WndProc(TMessage& M) {
    switch (M.Msg) {
    case CM_CURSORCHANGED:
        CursorChanged();
        return;
    case CM_SHOWINGCHANGED:
        ShowingChanged();
        return;
    case CM_SHOWHINTCHANGED:
        ShowHintChanged();
        return;
    case CM_CONTROLLISTCHANGE:
        if (M.LParam)
            ChildrenChanging(reinterpret_cast<TControl*>(M.WParam), true);
        else
            ChildrenChanged(reinterpret_cast<TControl*>(M.WParam), false);
        return;
    case CM_CONTROLCHANGE:
        if (M.LParam)
            ChildrenChanged(reinterpret_cast<TControl*>(M.WParam), true);
        else
            ChildrenChanging(reinterpret_cast<TControl*>(M.WParam), false);
        return;
    case WM_SIZE:
        TBase::WndProc(M);
        SizeChanged();
        return;
    case WM_SETFOCUS:
        DoSetFocus(reinterpret_cast<HWND>(M.WParam));
        return;
    case WM_KILLFOCUS:
        DoKillFocus(reinterpret_cast<HWND>(M.WParam));
        return;
    case WM_ERASEBKGND:
        EraseBackground(M);
        return;
    case WM_GETDLGCODE: {
        TBase::WndProc(M);
        TDialogCodeSet Codes = DlgcToDialogCodes(static_cast<std::uint32_t>(M.Result));
        Codes.Include(dgNative);
        AdjustDialogCodes(Codes);
        if (!Codes.Contains(dgNative)) M.Result = static_cast<LRESULT>(DialogCodesToDlgc(Codes));
        return;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        // Whatever the painting selects into the caller's DC goes back afterwards,
        // also when it raises.
        TSavedDC Saved(reinterpret_cast<HDC>(M.WParam));
        TBase::WndProc(M);
        return;
    }
    default:
        break;
    }
    Layer::WndProc(M);
}

template <class TBase> void TMvExWinControlLayer<TBase>::EraseBackground(TMessage& M) {
    const HDC DC = reinterpret_cast<HDC>(M.WParam);
    TSavedDC Saved(DC);
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    // The canvas lets go of the DC before it dies and before the DC's state is
    // restored, also when the hook raises.
    struct TDetach {
        TCanvas& C;
        ~TDetach() { C.SetHandle(nullptr); }
    } Detach{Canvas};
    M.Result = DoEraseBackground(Canvas, M.LParam) ? 1 : 0;
}

template <class TBase> void TMvExEditLayer<TBase>::WndProc(TMessage& M) {
    TMvClipboardCommand Command{};
    if (mv::controls::ClipboardCommandForMessage(M.Msg, Command) && !FClipboardCommands.Contains(Command)) {
        M.Result = 1;
        return;
    }
    Layer::WndProc(M);
}
