// The main window's components: the tray icon with its menu and actions, the
// timers, the log file and the plug-in host.
#include "app/Main.h"

#include "app/CommandImages.h"
#include "app/FormBuilding.h"
#include "app/Note.h"
#include "logfile/MvLogFile.h"
#include "plugins/MvPluginManager.h"
#include "tray/TrayIcon.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

namespace {

// The program's icon at the size the notification area draws (the small-icon
// metrics), colour and mask; Windows' application icon where the module has
// none (a test program). A tray slot without an icon shows blank.
HICON LoadTrayPicture() {
    const int W = GetSystemMetrics(SM_CXSMICON), H = GetSystemMetrics(SM_CYSMICON);
    if (HANDLE Own = LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, W, H, LR_DEFAULTCOLOR))
        return static_cast<HICON>(Own);
    return static_cast<HICON>(CopyImage(LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, W, H, 0));
}

void AddMenuItem(TPopupMenu* Menu, TAction* Action) {
    auto* Item = new TMenuItem(Menu);
    if (Action)
        Item->SetAction(Action);
    else
        Item->SetCaption("-");
    Menu->Items().Add(Item);
}

} // namespace

TfrmMain::TfrmMain(TComponent* AOwner, std::string ProgramFolder)
    : TForm(AOwner), FProgramFolder(std::move(ProgramFolder)) {
    frmMain = this;
    BuildForm();
    // Every error the application shows also goes to the log.
    Application->OnExceptionLog = [this](const std::string& Message) {
        try {
            Log(Message);
        } catch (...) {
        }
    };
    // Whichever of the program's windows hears of the session's end first.
    Application->OnEndSession = [this](HWND Window, bool Ending) { EndSession(Window, Ending); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
}

TfrmMain::~TfrmMain() {
    // Normally the close did all of this in order; a window freed without
    // closing still lets go of its note windows before the store goes.
    for (TfrmNote* Window : std::vector<TfrmNote*>(NoteWindowsInOpenOrder))
        delete Window;
    FServices.Store = nullptr;
    FNotesStore.reset();
    if (frmMain == this) frmMain = nullptr;
    if (Application) Application->OnEndSession = nullptr;
}

void TfrmMain::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.WinClassName = "TfrmMain";
}

void TfrmMain::BuildForm() {
    SetName("frmMain");
    SetCaption("Miravelund");
    SetBorderStyle(TFormBorderStyle::bsNone);
    BuildActions();

    ilImages = new TImageList(this);
    ilImages->AddFromResource(nullptr, mv::app::CommandImagesResource, mv::app::CommandImagesMask);
    aFind->SetImageIndex(mv::app::imgFind);
    aPlugins->SetImageIndex(mv::app::imgPlugins);
    aAbout->SetImageIndex(mv::app::imgAbout);
    alActions->SetImages(ilImages);
    popMenu = new TPopupMenu(this);
    popMenu->SetImages(ilImages);
    for (TAction* Action :
         {aHome, aFind, static_cast<TAction*>(nullptr), aTagManager, aHide, aUnhide, aShowLog,
          static_cast<TAction*>(nullptr), aAbout, static_cast<TAction*>(nullptr), aQuit})
        AddMenuItem(popMenu, Action);

    FTrayIcon = new TTrayIcon(this);
    FTrayIcon->SetEnabled(false);
    FTrayIcon->Icon().SetHandle(LoadTrayPicture());
    FTrayIcon->SetIconVisible(true);
    FTrayIcon->SetPopupMenu(popMenu);
    FTrayIcon->OnClick = [this](TObject* Sender) { TrayIconClick(Sender); };
    FTrayIcon->OnDblClick = [this](TObject* Sender) { TrayIconDblClick(Sender); };

    // Started when the window shows (the message loop shows it), not before: a box of the
    // start-up outlasts it, and a tick inside the box found nothing to hide yet.
    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);
    Timer1->SetInterval(100);
    Timer1->SetOnTimer([this](TObject* Sender) { Timer1Timer(Sender); });
    OnShow = [this](TObject*) { Timer1->SetEnabled(true); };
    tCommit = new TTimer(this);
    tCommit->SetEnabled(false);
    tCommit->SetInterval(360000);
    tCommit->SetOnTimer([this](TObject* Sender) { tCommitTimer(Sender); });
    tCheckFile = new TTimer(this);
    tCheckFile->SetEnabled(false);
    tCheckFile->SetInterval(250);
    tCheckFile->SetOnTimer([this](TObject* Sender) { tCheckFileTimer(Sender); });

    // Saved after every record once start-up has named its file.
    FLogFile = new TMvLogFile(this);
    FLogFile->SizeLimit = 8000;

    FPluginManager = new TMvPluginManager(this);
    // Start-up points it at the program folder's "Plugins".
    FPluginManager->PluginFolder = "Plugins";
    FPluginManager->SetPluginKind(plgDLL);
    FPluginManager->SetExtension("dll");
    FPluginManager->OnBeforeNewCommand = [this](TObject*, TMvPlugIn* Plugin) { FAnnouncingPlugin = Plugin; };
    FPluginManager->OnAfterNewCommand = [this](TObject*, TMvPlugIn*) { FAnnouncingPlugin = nullptr; };
    FPluginManager->OnNewCommand = [this](TObject* Sender, const std::string& Caption,
                                          const std::string& Hint, const std::string& Data, uint16_t Key,
                                          const TMvPluginBitmap& Bitmap, const TNotifyEvent& Event) {
        PluginManagerNewCommand(Sender, Caption, Hint, Data, Key, Bitmap, Event);
    };
    // Handlers of a plug-in that goes must never run again; its words stay registered.
    FPluginManager->OnUnloadPlugin = [this](TObject*, TMvPlugIn* Plugin) { FTagEvents.RetirePlugin(Plugin); };
    // Every plug-in that is not loaded leaves its reason in the log.
    FPluginManager->OnPluginNotLoaded = [this](TObject*, const std::string& FileName,
                                               const std::string& Reason) {
        Log("Plugin not loaded: " + FileName + ": " + Reason);
    };

    FServices.TagEvents = &FTagEvents;
    FServices.Log = [this](const std::string& Msg) { Log(Msg); };
    FServices.Commit = [this] { CommitStore(); };
    FServices.ShowTopic = [this](const std::string& Title, const std::string& Namespace) {
        ShowTopic(Title, Namespace);
    };
    FServices.ReportPluginFailure = [this](const std::string& Text) {
        Log(Text);
        // At the end of the session a box would hold up the save that follows
        // until Windows ends the program: the log keeps what the plug-in did.
        if (!Application->SessionEnding())
            Application->MessageBox(Text, "Miravelund", MB_OK | MB_ICONWARNING);
    };
}

void TfrmMain::BuildActions() {
    alActions = new TActionList(this);
    auto On = [this](void (TfrmMain::*Handler)(TObject*)) {
        return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    aHome = NewAction(alActions, "aHome", "&Home", 0, "", On(&TfrmMain::aHomeExecute));
    aFind = NewAction(alActions, "aFind", "&Find notes...", 0, "Find notes", On(&TfrmMain::aFindExecute));
    aTagManager = NewAction(alActions, "aTagManager", "&Tag Manager...", ShortCut('G', ssCtrl),
                            "Show the tag manager.", On(&TfrmMain::aTagManagerExecute));
    aHide = NewAction(alActions, "aHide", "&Hide", ShortCut('H', ssCtrl), "", On(&TfrmMain::aHideExecute));
    aUnhide =
        NewAction(alActions, "aUnhide", "Un&hide", ShortCut('H', ssCtrl), "", On(&TfrmMain::aUnhideExecute));
    aUnhide->SetEnabled(false);
    aUnhide->SetVisible(false);
    aShowLog = NewAction(alActions, "aShowLog", "&Show Log", 0, "", On(&TfrmMain::aShowLogExecute));
    aAbout =
        NewAction(alActions, "aAbout", "&About...", ShortCut(VK_F1, 0), "", On(&TfrmMain::aAboutExecute));
    aQuit = NewAction(alActions, "aQuit", "&Quit", 0, "Shut down Miravelund.", On(&TfrmMain::aQuitExecute));
    aSettings = NewAction(alActions, "aSettings", "&Settings...", 0, "General settings for this notes store.",
                          On(&TfrmMain::aSettingsExecute));
    aReleaseNotes =
        NewAction(alActions, "aReleaseNotes", "&Release Notes", 0, "", On(&TfrmMain::aReleaseNotesExecute));
    aPlugins = NewAction(alActions, "aPlugins", "&Plugins...", 0, "Configure plugins",
                         On(&TfrmMain::aPluginsExecute));
}
