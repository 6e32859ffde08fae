// The host's view of a plug-in: TMvPlugIn with its commands. Plug-ins that come
// from a module are wrapped in TMvModulePlugIn (MvPluginModule.h); a plug-in
// object made by the program itself can be added to the manager directly.
#pragma once

#include "gui/MvComponent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMvPluginManager;
class TStrings;

// What a plug-in's dot-line handler may see of the topic it runs on.
struct TMvPluginTopicView {
    std::string Title;
    // "" for the default namespace.
    std::string Namespace;
    // The text split at paragraph breaks.
    std::vector<std::string> Lines;
    // The dot-line being handled, or -1.
    int DotLineIndex = -1;
};

// The program passes an object that implements this as the Sender of a plug-in
// command's handler when the command is to work on a topic: plug-ins then read
// and write the topic's name=value meta lines and read the topic itself.
class IMvPluginTopicHost {
public:
    virtual TStrings& PluginMeta() = 0;
    // The topic while a handler runs on it; nullptr when there is none.
    virtual const TMvPluginTopicView* PluginTopic() const = 0;

protected:
    ~IMvPluginTopicHost() = default;
};

// Whether a meta line name=value may be written by a plug-in: the rules of the
// plug-in contract, which keep any value from making or changing another line.
bool IsValidPluginMetaName(const std::string& Name);
bool IsValidPluginMetaValue(const std::string& Value);

// A command's picture: 32-bit 0xAARRGGBB pixels, top row first.
struct TMvPluginBitmap {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

class TMvPluginCommand : public TObject {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    std::string Data;
    uint16_t ShortCut = 0;
    // Owned by the command; assigning copies the picture.
    TMvPluginBitmap Bitmap;
    TNotifyEvent OnExecute;

    // Name, or the collection's default when Name is empty.
    std::string DisplayName() const;
};

// The commands of one plug-in, owned by it.
class TMvPluginCommands : public TObject {
public:
    TMvPluginCommands() = default;
    TMvPluginCommands(const TMvPluginCommands&) = delete;
    TMvPluginCommands& operator=(const TMvPluginCommands&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    TMvPluginCommand& Items(int Index) const;
    // A new command named "Command%d" with the lowest number no command has.
    TMvPluginCommand& Add();
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    // Replaces the commands with copies of Source's.
    void Assign(const TMvPluginCommands& Source);

private:
    std::vector<std::unique_ptr<TMvPluginCommand>> FItems;
};

using TPluginMessageEvent =
    std::function<void(TObject* Sender, int32_t APluginMessage, const std::string& AMessageText)>;
using TPluginInitializeEvent = std::function<void(TObject* Sender, bool& AllowLoad)>;

class TMvPlugIn : public TMvComponent {
public:
    explicit TMvPlugIn(TComponent* AOwner);

    std::string Author;
    std::string PluginID;
    std::string Copyright;
    std::string Description;
    std::string PluginVersion;
    // How many plug-ins with this PluginID may be loaded at once; 0 or less
    // means no limit.
    int32_t InstanceCount = 1;

    TPluginMessageEvent OnPluginMessage;
    TPluginInitializeEvent OnInitialize;
    TNotifyEvent OnConfigure;

    TMvPluginCommands& Commands() { return FCommands; }
    const TMvPluginCommands& Commands() const { return FCommands; }
    // Copies the given commands.
    virtual void SetCommands(const TMvPluginCommands& Value);

    // Set by InitializePlugin: "CustomPlugin" for a plug-in made in the
    // program, the module's path for one loaded from a module.
    const std::string& FileName() const { return FFileName; }
    void* ParentApplication() const { return FParentApplication; }
    TMvPluginManager* Manager() const { return FManager; }

    virtual void SendPluginMessage(int32_t APluginMessage, const std::string& AMessageText);
    virtual void ConfigurePlugin();
    // Stores the three values and asks OnInitialize whether the plug-in may load.
    virtual bool InitializePlugin(TMvPluginManager* Manager, void* ParentApplication,
                                  const std::string& FileName);
    void DispatchPluginMessage(int32_t APluginMessage, const std::string& AMessageText);

    // Brings Commands up to date before the host announces them. Plug-ins
    // made in the program keep their commands as they are.
    virtual void UpdateCommands() {}

protected:
    virtual void DoInitialize(bool& AllowLoad);
    virtual void DoConfigure();

private:
    TMvPluginCommands FCommands;
    std::string FFileName;
    void* FParentApplication = nullptr;
    TMvPluginManager* FManager = nullptr;
};
