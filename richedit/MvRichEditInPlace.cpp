// Objects of the rich edit activated in place: the control's side of taking
// over and giving back the form's user interface.
#include "richedit/MvRichEdit.h"

#include "richedit/MvOleForm.h"

void TMvCustomRichEdit::DoInPlaceActivate(bool Active) {
    TForm* Form = GetParentForm(this);
    if (!Form) return;
    if (Active) {
        TOleForm& Frame = TOleForm::Of(*Form);
        // One object at a time owns the form's user interface.
        TWinControl* Other = Frame.ActiveOleControl();
        if (Other && Other != this) Other->Perform(CM_UIDEACTIVATE, 0, 0);
        Frame.SetActiveOleControl(this);
        if (FAllowInPlace && CanFocus()) SetFocus();
        if (OnInPlaceActivate) OnInPlaceActivate(this);
    } else {
        // Without a frame object nothing was ever active here; none is made now.
        TOleForm* Frame = TOleForm::Find(*Form);
        if (Frame && Frame->ActiveOleControl() == this) Frame->SetActiveOleControl(nullptr);
        if (Form->ActiveControl() == this && FAllowInPlace && HandleAllocated() && !HasState(csDestroying)) {
            ::SetFocus(Handle());
            SelectionChange();
        }
        if (OnInPlaceDeactivate) OnInPlaceDeactivate(this);
    }
}

void TMvCustomRichEdit::InPlaceDeactivate() {
    if (FRichEditOle && SUCCEEDED(FRichEditOle->InPlaceDeactivate()) && !FOleCallback->Frame()) return;
    // A window that cannot end the activity itself: ask the object that
    // registered with our form's frame while this control holds it.
    TOleForm* Frame = FOleCallback->Frame();
    if (Frame && Frame->ActiveOleControl() == this && Frame->ActiveObject()) {
        IOleInPlaceObject* Object = nullptr;
        if (SUCCEEDED(Frame->ActiveObject()->QueryInterface(IID_IOleInPlaceObject,
                                                            reinterpret_cast<void**>(&Object)))) {
            Object->InPlaceDeactivate();
            Object->Release();
        }
    }
    // Whatever the object did, the container's user interface comes back.
    if (FOleCallback->Frame()) FOleCallback->ShowContainerUI(TRUE);
}

void TMvCustomRichEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TMvExCustomMemo::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && FOleCallback &&
        AComponent == static_cast<TComponent*>(FOleCallback->Frame()))
        FOleCallback->DropFrame();
}
