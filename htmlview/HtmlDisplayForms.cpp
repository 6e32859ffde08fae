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
    FSections->ObjectClick = [this](TObject*, TFormControlObj* Control, const std::string& OnClick) {
        if (OnObjectClick) OnObjectClick(this, Control, OnClick);
    };
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
