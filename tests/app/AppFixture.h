// The real main window started in the test process on a private program
// folder, with a dialog responder that records every message and answers
// modal forms, so the forms can be driven as a user would.
#pragma once

#include "app/Main.h"
#include "gui/Responder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TfrmNote;

namespace mv::app::test {

class TAppFixture {
public:
    // A fresh folder with Default.mvdb; the settings point at notes.mvdb there
    // (DatabaseKey: the value of the settings key "database", "" to remove it).
    explicit TAppFixture(const std::string& Name, bool UseDefaultDatabaseKey = true);
    ~TAppFixture();

    // Creates the main window and runs its start-up.
    TfrmMain& Start();
    // Quits as the tray menu's Quit does, and frees the main window.
    void Quit();
    TfrmMain& Main() { return *FMain; }
    bool Started() const { return FMain != nullptr; }

    const std::string& Folder() const { return FFolder; }
    std::string Database() const { return FFolder + "\\notes.mvdb"; }
    std::string ReadFile(const std::string& Name) const;

    // Runs the messages waiting, and those they bring, until the queue is empty (a test that
    // waits for more than that waits on its own condition).
    static void Pump();

    std::vector<std::string> Messages;
    // Answers ShowModal requests (the first-launch dialog, for one).
    std::function<int(TForm&)> OnShowModal;
    TDialogResponder Responder;

private:
    std::string FFolder;
    TfrmMain* FMain = nullptr;
    std::unique_ptr<TDialogResponderScope> FScope;
};

// The text of a committed topic, read over a second connection the way a
// restarted program would see it after a crash; "" when it has none.
std::string CommittedContent(const std::string& Database, const std::string& Namespace,
                             const std::string& Title);

} // namespace mv::app::test
