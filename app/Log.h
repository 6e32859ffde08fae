// TfrmLog: the log view, a tool window that stays on top and lists the newest
// log lines of this run (as many as make up LogViewLimit characters).
#pragma once

#include "app/LogLines.h"
#include "gui/Forms.h"

class TAction;
class TMemo;

// The characters the log view keeps, like the log file's size limit; the
// oldest lines go a batch at a time, once the slack above it is used up.
constexpr std::size_t LogViewLimit = 64000;
constexpr std::size_t LogViewSlack = 16000;
// A longer line is cut to this many characters, ending in "...", as the log file cuts its
// records: the edit control lays out a whole line again for every line added after it, and a
// line naming every tag of a big notebook would cost a long freeze each time.
constexpr std::size_t LogViewLineLimit = 1024;

class TfrmLog : public TForm {
public:
    // ShowLog: the action that shows the window, unchecked when the window hides (none: nothing).
    TfrmLog(TComponent* AOwner, TAction* ShowLog);
    ~TfrmLog() override;
    // Appends a line (line breaks inside it become blanks), dropping the
    // oldest lines beyond the bound.
    void AddLine(const std::string& Line);
    TMemo* mLog = nullptr;

protected:
    void Notification(TComponent* Component, TOperation Operation) override;

private:
    void FormHide(TObject* Sender);
    TAction* FShowLog;
    mv::app::TBoundedLines FBound{LogViewLimit, LogViewSlack};
};

extern TfrmLog* frmLog;
