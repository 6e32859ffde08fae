// The log view.
#include "app/Log.h"

#include "gui/StdCtrls.h"

#include "app/Main.h"

TfrmLog* frmLog = nullptr;

TfrmLog::TfrmLog(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Log");
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetBounds(0, 0, 491, 167);
    mLog = new TMemo(this);
    mLog->SetParent(this);
    mLog->SetAlign(TAlign::alClient);
    mLog->SetScrollBars(TScrollStyle::ssVertical);
    mLog->SetReadOnly(true);
    OnHide = [this](TObject* Sender) { FormHide(Sender); };
}

void TfrmLog::AddLine(const std::string& Line) {
    mLog->Lines().Add(Line);
}

void TfrmLog::FormHide(TObject*) {
    if (frmMain && frmMain->aShowLog) frmMain->aShowLog->SetChecked(false);
}

TfrmLog::~TfrmLog() {
    if (frmLog == this) frmLog = nullptr;
}
