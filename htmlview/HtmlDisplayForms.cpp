// The viewer's side of a document's form controls: it makes their windows on the paint panel,
// scrolls a control that gets the focus into view, reports clicked controls to the host and
// runs the click of a picture button.
#include "htmlview/HtmlDisplay.h"

#include "htmlview/HtmlFormControls.h"
#include "htmlview/HtmlForms.h"

void THtmlDisplay::InstallFormHooks() {
    FSections->MakeFormControlPeer = [this](TFormControlObj& Control) {
        return MakeFormControlWindow(Control, *FPaintPanel);
    };
    FSections->OnFormControlFocus = [this](TFormControlObj* Control) { FormControlFocus(Control); };
    // The host hears of a click from a posted message: a host that loads another page from its
    // handler would otherwise free the control inside the control's own click handling.
    FSections->ObjectClick = [this](TObject*, TFormControlObj* Control, const std::string& OnClick) {
        if (!OnObjectClick || !HandleAllocated()) return;
        FObjectClick.Control = Control;
        FObjectClick.Alive = FormControlLife(*Control);
        FObjectClick.OnClick = OnClick;
        PostMessageA(Handle(), WM_HTMLVIEW_OBJECTCLICK, 0, 0);
    };
}

void THtmlDisplay::FireObjectClick() {
    TObjectClick Click = std::move(FObjectClick);
    FObjectClick = {};
    // A control gone with its page (or a click already reported) is not reported.
    if (!Click.Control || Click.Alive.expired() || !OnObjectClick) return;
    OnObjectClick(this, Click.Control, Click.OnClick);
}

void THtmlDisplay::FormControlFocus(TFormControlObj* Control) {
    if (!Control) return;
    // A control whose line starts inside the view (less a small bottom band) stays where it is;
    // any other comes to the middle of the view.
    const int32_t Pos = FVScroll->Position();
    const int32_t Y = Control->YValue;
    if (Y >= Pos && Y <= Pos + PanelHeight() - 20) return;
    ScrollTo(Y - PanelHeight() / 2);
    Invalidate();
}

void THtmlDisplay::ImageInputClick(TFormControlObj* Control, int X, int Y) {
    if (Control->Kind != FormControlKind::Image) return;
    TObject* Picture = nullptr;
    int32_t IX = 0, IY = 0;
    if (!FSections->ObjectAtPoint(X, HitY(Y), Picture, IX, IY)) return;
    Control->Click(IX, IY);
}
