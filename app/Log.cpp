// The log view.
#include "app/Log.h"

#include "gui/ActnList.h"
#include "gui/StdCtrls.h"

TfrmLog* frmLog = nullptr;

TfrmLog::TfrmLog(TComponent* AOwner, TAction* ShowLog) : TForm(AOwner), FShowLog(ShowLog) {
    if (FShowLog) FreeNotification(FShowLog);
    SetCaption("Log");
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetBounds(0, 0, 491, 167);
    mLog = new TMemo(this);
    mLog->SetParent(this);
    mLog->SetAlign(TAlign::alClient);
    mLog->SetScrollBars(TScrollStyle::ssVertical);
    // One log record per line: the memo's lines are then the edit control's
    // own, and adding one costs the same at any length.
    mLog->SetWordWrap(false);
    mLog->SetReadOnly(true);
    OnHide = [this](TObject* Sender) { FormHide(Sender); };
    // The window exists (hidden) from the first line on, so lines always go
    // straight into the edit control.
    HandleNeeded();
}

void TfrmLog::AddLine(const std::string& Line) {
    // An empty last line is indistinguishable from a final line break; a
    // blank keeps every record a line of its own.
    std::string Text = Line.empty()                      ? std::string(" ")
                       : Line.size() <= LogViewLineLimit ? Line
                                                         : Line.substr(0, LogViewLineLimit - 3) + "...";
    for (char& C : Text)
        if (C == '\r' || C == '\n') C = ' ';
    TStrings& Lines = mLog->Lines();
    // Drawn once, later, however many lines change.
    Lines.BeginUpdate();
    struct TEndUpdate {
        TStrings& Lines;
        ~TEndUpdate() { Lines.EndUpdate(); }
    } EndUpdate{Lines};
    const mv::app::TBoundedLines::TDrop Drop = FBound.Add(Text.size());
    if (Drop.Lines > 0 && mLog->HandleAllocated()) {
        // The text is exactly the lines joined by CR LF, and the newest line
        // stays: the oldest lines with their breaks are its first characters.
        mLog->SetSelStart(0);
        mLog->SetSelLength(static_cast<int>(Drop.Characters));
        mLog->SetSelText("");
    } else {
        for (std::size_t I = 0; I < Drop.Lines && Lines.Count() > 0; ++I)
            Lines.Delete(0);
    }
    Lines.Add(Text);
}

void TfrmLog::FormHide(TObject*) {
    if (FShowLog) FShowLog->SetChecked(false);
}

void TfrmLog::Notification(TComponent* Component, TOperation Operation) {
    TForm::Notification(Component, Operation);
    if (Operation == TOperation::opRemove && Component == FShowLog) FShowLog = nullptr;
}

TfrmLog::~TfrmLog() {
    if (frmLog == this) frmLog = nullptr;
}
