// The "Plugins" window.
#include "app/Plugins.h"

#include "app/PluginList.h"
#include "base/Streams.h"
#include "base/StrUtils.h"
#include "logfile/MvFileReplace.h"
#include "controls/MvCheckListBox.h"
#include "plugins/MvPluginManager.h"
#include "gui/StdCtrls.h"

namespace {

// The whole file as bytes. A file that cannot be read raises: writing the list
// without it would drop its other lines.
std::string ReadFileBytes(const std::string& Path) {
    TFileStream File(Path, fmOpenRead | fmShareDenyNone);
    std::string Bytes(static_cast<size_t>(File.Size()), '\0');
    if (!Bytes.empty()) File.ReadBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    return Bytes;
}

// Plugins.ini with the lines of Items set and every other line kept.
void WritePluginsIni(TMvPluginManager& Host, const std::vector<mv::app::TPluginListItem>& Items) {
    const std::string IniName = Host.PluginFolderPath() + "Plugins.ini";
    std::string Existing;
    if (Host.Platform().FileExists(IniName)) Existing = ReadFileBytes(IniName);
    SaveFileReplacing(IniName, mv::app::PluginsIniText(Existing, Items));
}

} // namespace

using namespace mv::app;

TfrmPlugins* frmPlugins = nullptr;

TfrmPlugins::TfrmPlugins(TComponent* AOwner, TMvPluginManager* Manager) : TForm(AOwner), FManager(Manager) {
    if (FManager) FreeNotification(FManager);
    SetName("frmPlugins");
    SetCaption("Plugins");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(417, 202);

    Label1 = new TLabel(this);
    Label1->SetParent(this);
    Label1->SetBounds(8, 8, 401, 16);
    Label1->SetCaption("Plugins: Put a check mark next to the plugins you want to use.");

    lbPlugins = new TMvCheckListBox(this);
    lbPlugins->SetName("lbPlugins");
    lbPlugins->SetParent(this);
    lbPlugins->SetBounds(8, 28, 401, 134);
    lbPlugins->OnDblClick = [this](TObject* Sender) { lbPluginsDblClick(Sender); };

    btnOK = new TButton(this);
    btnOK->SetName("btnOK");
    btnOK->SetParent(this);
    btnOK->SetBounds(253, 170, 75, 25);
    btnOK->SetCaption("OK");
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnOK->OnClick = [this](TObject* Sender) {
        btnOKClick(Sender);
        Hide();
    };

    btnCancel = new TButton(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(this);
    btnCancel->SetBounds(334, 170, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->OnClick = [this](TObject*) { Hide(); };

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

TfrmPlugins::~TfrmPlugins() {
    if (frmPlugins == this) frmPlugins = nullptr;
}

void TfrmPlugins::Notification(TComponent* Component, TOperation Operation) {
    TForm::Notification(Component, Operation);
    if (Operation == TOperation::opRemove && Component == FManager) FManager = nullptr;
}

void TfrmPlugins::FormCreate(TObject*) {
    TMvPluginManager* Host = Manager();
    lbPlugins->Items().Clear();
    if (!Host) return;
    const std::string Folder = Host->PluginFolderPath();
    THashedStringList Enabled;
    if (Host->Platform().FileExists(Folder + "Plugins.ini")) {
        try {
            Enabled.LoadFromFile(Folder + "Plugins.ini");
        } catch (const std::exception&) {
            // An unreadable list switches nothing off, as at start-up.
        }
    }
    for (const TPluginListItem& Item :
         PluginListItems(Host->Platform().ListFiles(Folder, Host->Extension()), Enabled)) {
        const int Index = lbPlugins->Items().Add(Item.Name);
        lbPlugins->SetChecked(Index, Item.Checked);
    }
}

void TfrmPlugins::btnOKClick(TObject*) {
    TMvPluginManager* Host = Manager();
    if (!Host) return;
    const std::string Folder = Host->PluginFolderPath();
    TStringList Loaded;
    Host->GetLoadedPlugins(Loaded);
    std::vector<TPluginListItem> Items;
    for (int I = 0; I < lbPlugins->Items().Count(); ++I) {
        const TPluginListItem Item{lbPlugins->Items()[I], lbPlugins->Checked(I)};
        Items.push_back(Item);
        const bool IsLoaded = Loaded.IndexOf(Item.Name) >= 0;
        if (!Item.Checked && IsLoaded) {
            // Looked up in the host's list as it is now: earlier unloads moved the others.
            for (int P = 0; P < Host->PluginCount(); ++P) {
                if (SameText(Host->PluginAt(P)->Name(), Item.Name)) {
                    Host->UnloadPlugin(P);
                    break;
                }
            }
        } else if (Item.Checked && !IsLoaded) {
            Host->LoadPlugin(Folder + Item.Name + "." + Host->Extension(), Host->PluginKind());
        }
    }
    // The lines of plug-ins that are not in the folder are the user's settings too.
    WritePluginsIni(*Host, Items);
}

void TfrmPlugins::lbPluginsDblClick(TObject*) {
    TMvPluginManager* Host = Manager();
    const int Index = lbPlugins->ItemIndex();
    if (!Host || Index < 0) return;
    const std::string Name = lbPlugins->Items()[Index];
    for (int P = 0; P < Host->PluginCount(); ++P) {
        if (SameText(Host->PluginAt(P)->Name(), Name)) {
            Host->PluginAt(P)->DispatchPluginMessage(1, "");
            return;
        }
    }
}

void SwitchOffPluginThatEndedMiravelund(TMvPluginManager& Manager,
                                        const std::function<void(const std::string&)>& Log) {
    const std::optional<TMvInterruptedCall> Ended = Manager.TakeInterruptedCall();
    if (!Ended) return;
    const std::string Name = LowerCase(ChangeFileExt(ExtractFileName(Ended->FileName), ""));
    const std::string During = Ended->What.empty() ? std::string() : ": it was " + Ended->What;
    std::string Failure;
    try {
        WritePluginsIni(Manager, {{Name, false}});
    } catch (const std::exception& E) {
        Failure = E.what();
    }
    Log((Failure.empty() ? "Plugin switched off: " : "Plugin could not be switched off: ") + Ended->FileName +
        " ended Miravelund while it ran" + During + (Failure.empty() ? "" : " (" + Failure + ")"));
    const std::string Said = "The plugin \"" + Name + "\" ended Miravelund while it ran" + During + ".\r\r";
    Application->MessageBox(
        Failure.empty()
            ? Said +
                  "It has been switched off so that Miravelund can start. To switch it back on, open the "
                  "plugin list with the Plugins button of a note window, put a check mark next to \"" +
                  Name + "\" and choose OK.\r\r" + Ended->FileName
            : Said + "It could not be switched off in Plugins.ini: " + Failure +
                  "\r\rTo keep it from running, remove " + Ended->FileName + ".",
        "Miravelund", MB_OK | MB_ICONWARNING);
}
