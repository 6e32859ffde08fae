// TfrmLog: the log view, a tool window that stays on top and lists the log
// lines of this run.
#pragma once

#include "gui/Forms.h"

class TMemo;

class TfrmLog : public TForm {
public:
    explicit TfrmLog(TComponent* AOwner);
    ~TfrmLog() override;
    void AddLine(const std::string& Line);
    TMemo* mLog = nullptr;

private:
    void FormHide(TObject* Sender);
};

extern TfrmLog* frmLog;
