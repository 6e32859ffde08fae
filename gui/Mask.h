// TCustomMaskEdit: the single-line edit that other edits build on. It has no
// input masks; its window is a multi-line EDIT held to one line, so that the
// formatting rectangle (EM_SETRECTNP) can be set.
#pragma once

#include "gui/StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* owner);

    // The text without any mask characters (the same as Text here).
    std::string EditText() const { return Text(); }
    void SetEditText(const std::string& text) { SetText(text); }
    // Sets the formatting rectangle inside the client area (EM_SETRECTNP).
    void SetEditRect(const RECT& rect);
    RECT EditRect();

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
