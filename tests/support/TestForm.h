// A shown form shared by the Win32 rich-edit tests (showing a top-level window
// under Wine costs seconds), a per-test owner for the controls, and a pump.
#pragma once

#include "gui/Forms.h"

#include <memory>

inline void PumpMessages() {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
}

inline TForm& SharedTestForm() {
    static TForm* Form = [] {
        Application->Initialize();
        auto* F = new TForm(Application);
        F->SetBounds(40, 40, 640, 480);
        F->SetCaption("Rich edit test");
        F->Show();
        PumpMessages();
        return F;
    }();
    return *Form;
}

// Owns the controls a test puts on the shared form; they go when the test ends.
class TTestFormHolder {
public:
    TTestFormHolder() : FOwner(std::make_unique<TComponent>(nullptr)) { SharedTestForm(); }
    ~TTestFormHolder() {
        FOwner.reset();
        PumpMessages();
    }
    TForm& Form() { return SharedTestForm(); }
    TComponent* Owner() { return FOwner.get(); }

private:
    std::unique_ptr<TComponent> FOwner;
};
