// The note window's command bar and divider.
#include "app/NoteBar.h"

#include "base/StrUtils.h"
#include "gui/StdCtrls.h"

#include <algorithm>

namespace {
constexpr int ButtonWidth = 64;
}

TNoteCommandBar::TNoteCommandBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
}

void TNoteCommandBar::AddButton(TAction* Action) {
    auto* Button = new TButton(this);
    Button->SetParent(this);
    Button->SetAlign(TAlign::alRight);
    Button->SetBounds(static_cast<int>(FButtons.size()) * ButtonWidth + 1000, 0, ButtonWidth, Height());
    Button->OnClick = [Action](TObject*) { Action->Execute(); };
    FButtons.emplace_back(Button, Action);
    UpdateButtons();
}

void TNoteCommandBar::UpdateButtons() {
    for (auto& [Button, Action] : FButtons) {
        Button->SetCaption(StringReplace(Action->Caption(), "&", ""));
        Button->SetHint(Action->Hint());
        Button->SetEnabled(Action->Enabled());
    }
}

void TNoteCommandBar::Paint() {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
}

TNoteSplitter::TNoteSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
    SetCursor(crHSplit);
    SetWidth(3);
}

void TNoteSplitter::Paint() {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
}

void TNoteSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || Sized == nullptr) return;
    FDragging = true;
    FStartX = ClientToScreen(POINT{X, Y}).x;
    FStartWidth = Sized->Width();
}

void TNoteSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    const int Delta = ClientToScreen(POINT{X, Y}).x - FStartX;
    const int Limit = Parent() ? Parent()->ClientWidth() - 40 : FStartWidth + Delta;
    Sized->SetWidth(std::clamp(FStartWidth + Delta, 20, std::max(20, Limit)));
}

void TNoteSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    if (OnMoved) OnMoved(this);
}
