// The note window's command bar.
#include "app/NoteBar.h"

#include "base/StrUtils.h"
#include "gui/StdCtrls.h"

namespace {
constexpr int ButtonWidth = 64;
}

TNoteCommandBar::TNoteCommandBar(TComponent* AOwner) : TPanel(AOwner) {
    SetBevelOuter(TBevelCut::bvNone);
}

void TNoteCommandBar::AddButton(TAction* Action) {
    auto* Button = new TButton(this);
    Button->SetParent(this);
    Button->SetAlign(TAlign::alRight);
    // Right-aligned controls line up from the right by their Left: later ones go further right.
    Button->SetBounds(static_cast<int>(FButtons.size()) * ButtonWidth + 1000, 0, ButtonWidth, Height());
    Button->OnClick = [Action](TObject*) { Action->Execute(); };
    FButtons.push_back({Button, Action, Button->Caption()});
    UpdateButtons();
}

// Runs on every navigation: only what changed is passed to the buttons' windows.
void TNoteCommandBar::UpdateButtons() {
    for (auto& [Button, Action, ShownCaption] : FButtons) {
        const std::string Caption = StringReplace(Action->Caption(), "&", "");
        if (ShownCaption != Caption) {
            Button->SetCaption(Caption);
            ShownCaption = Caption;
        }
        Button->SetHint(Action->Hint());
        if (Button->Enabled() != Action->Enabled()) Button->SetEnabled(Action->Enabled());
    }
}
