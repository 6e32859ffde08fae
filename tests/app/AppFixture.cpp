// The in-process application fixture.
#include "tests/app/AppFixture.h"

#include "app/Note.h"
#include "app/Settings.h"
#include "store/SQLiteAccess.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/ScreenWait.h"

#include <windows.h>

#include <stdexcept>

namespace mv::app::test {

namespace {

std::string FreshFolder(const std::string& Name) {
    char Temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, Temp);
    const std::string Folder = std::string(Temp) + "mv-app-" + Name + "-" +
                               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    if (!CreateDirectoryA(Folder.c_str(), nullptr) ||
        !CreateDirectoryA((Folder + "\\Plugins").c_str(), nullptr))
        throw std::runtime_error("cannot create " + Folder);
    if (!CopyFileA((ProgramDirectory() + "\\Default.mvdb").c_str(), (Folder + "\\Default.mvdb").c_str(),
                   FALSE))
        throw std::runtime_error("cannot copy Default.mvdb");
    return Folder;
}

std::string Quote(const std::string& S) {
    std::string Q = "'";
    for (char C : S) {
        Q += C;
        if (C == '\'') Q += C;
    }
    return Q + "'";
}

} // namespace

TAppFixture::TAppFixture(const std::string& Name, bool UseDefaultDatabaseKey) : FFolder(FreshFolder(Name)) {
    Settings().Clear();
    if (UseDefaultDatabaseKey) Settings().SetValue("database", Database());
    Responder.MessageBox = [this](const std::string& Text, const std::string&, UINT) {
        Messages.push_back(Text);
        return IDOK;
    };
    Responder.ShowModal = [this](TForm& Form) { return OnShowModal ? OnShowModal(Form) : int(mrCancel); };
    FScope = std::make_unique<TDialogResponderScope>(Responder);
}

TAppFixture::~TAppFixture() {
    if (FMain) {
        try {
            Quit();
        } catch (...) {
        }
    }
    FScope.reset();
}

TfrmMain& TAppFixture::Start() {
    FMain = new TfrmMain(Application, FFolder);
    FMain->DoCreate();
    Pump();
    return *FMain;
}

void TAppFixture::Quit() {
    TfrmMain* Main = FMain;
    FMain = nullptr;
    if (Main->Initialized()) Main->aQuit->Execute();
    Pump();
    delete Main;
    Pump();
}

void TAppFixture::Pump() {
    if (!mv::test::PumpUntilIdle(30000)) throw std::runtime_error("the message queue never ran dry");
}

std::string TAppFixture::ReadFile(const std::string& Name) const {
    return ReadWholeFile(FFolder + "\\" + Name);
}

std::string CommittedContent(const std::string& Database, const std::string& Namespace,
                             const std::string& Title) {
    TSQLiteDatabase Db(Database);
    auto Rows =
        Db.GetTable("SELECT topic.content FROM topic JOIN namespace ON namespace.id = topic.namespace "
                    "WHERE topic.title = " +
                    Quote(Title) + " AND namespace.title = " + Quote(Namespace) + ";");
    if (Rows->RowCount() == 0) return {};
    return Rows->FieldAsString(0);
}

} // namespace mv::app::test
