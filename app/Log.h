// TfrmLog: the log view, a tool window that stays on top and lists the newest
// log lines of this run (as many as make up LogViewLimit characters).
#pragma once

#include "app/LogLines.h"
#include "gui/Forms.h"

class TMemo;

// The characters the log view keeps, like the log file's size limit; the
// oldest lines go a batch at a time, once the slack above it is used up.
constexpr std::size_t LogViewLimit = 64000;
constexpr std::size_t LogViewSlack = 16000;

class TfrmLog : public TForm {
public:
    explicit TfrmLog(TComponent* AOwner);
    ~TfrmLog() override;
    // Appends a line (line breaks inside it become blanks), dropping the
    // oldest lines beyond the bound.
    void AddLine(const std::string& Line);
    TMemo* mLog = nullptr;

private:
    void FormHide(TObject* Sender);
    mv::app::TBoundedLines FBound{LogViewLimit, LogViewSlack};
};

extern TfrmLog* frmLog;
