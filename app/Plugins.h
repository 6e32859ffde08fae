// TfrmPlugins: the "Plugins" window, where plug-ins are turned on and off. Its
// list is filled once, when it is created; OK loads what was checked, unloads
// what was unchecked and writes "Plugins.ini" (rules in PluginList.h), which
// the next start honours. The window is not modal, so nothing of the program
// waits for it: quitting while it is open closes it like any other window.
#pragma once

#include "gui/Forms.h"

#include <functional>
#include <string>

class TButton;
class TMvCheckListBox;
class TLabel;
class TMvPluginManager;

class TfrmPlugins : public TForm {
public:
    // Manager: the host whose plug-ins the window turns on and off (the main
    // window's). When the host goes first, OK changes nothing but the file.
    TfrmPlugins(TComponent* AOwner, TMvPluginManager* Manager);
    ~TfrmPlugins() override;

    TLabel* Label1 = nullptr;
    // The check list: its items are the plug-in files' base names. It scrolls
    // sideways as far as its widest name, so a long file name can be read whole.
    TMvCheckListBox* lbPlugins = nullptr;
    TButton* btnOK = nullptr;
    TButton* btnCancel = nullptr;

    // Applies the check marks to the host and writes Plugins.ini. A plug-in
    // that fails to load raises; the items after it are left as they are and
    // the file is not written.
    void btnOKClick(TObject* Sender);
    // A double-click on the item of a loaded plug-in asks it to configure
    // itself (plug-in message 1 with an empty text); other items do nothing.
    void lbPluginsDblClick(TObject* Sender);

protected:
    void Notification(TComponent* Component, TOperation Operation) override;

private:
    void FormCreate(TObject* Sender);
    TMvPluginManager* Manager() const { return FManager; }

    TMvPluginManager* FManager;
};

extern TfrmPlugins* frmPlugins;

// Start-up, before the plug-ins load. When the last run ended inside a call
// into a plug-in module (the host's record of the running call was left
// behind: the module crashed, aborted or ended the process), that plug-in is
// switched off in Plugins.ini (its line name=False, every other line kept as
// it was) and named once, to the user in a message box that says how to
// switch it back on, and in the log (Log). The start then goes on without it.
void SwitchOffPluginThatEndedMiravelund(TMvPluginManager& Manager,
                                        const std::function<void(const std::string&)>& Log);
