// TMvPlugIn and its command collection.
#include "plugins/MvPlugin.h"

#include "base/Exceptions.h"
#include "sdk/MvPluginAbi.h"
#include "sdk/MvPluginCommandNames.h"

bool IsValidPluginMetaName(const std::string& Name) {
    if (Name.empty() || Name.size() > static_cast<std::size_t>(MvPluginAbi::MaxMetaNameLength)) return false;
    if (Name.front() == ' ' || Name.back() == ' ') return false;
    return Name.find_first_of("=\r\n") == std::string::npos;
}

bool IsValidPluginMetaValue(const std::string& Value) {
    return Value.size() <= static_cast<std::size_t>(MvPluginAbi::MaxMetaValueLength) &&
           Value.find_first_of("\r\n") == std::string::npos;
}

std::string TMvPluginCommand::DisplayName() const {
    return Name.empty() ? std::string("TMvPluginCommand") : Name;
}

TMvPluginCommand& TMvPluginCommands::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return *FItems[static_cast<std::size_t>(Index)];
}

TMvPluginCommand& TMvPluginCommands::Add() {
    auto Item = std::make_unique<TMvPluginCommand>();
    Item->Name = MvPluginAbi::NextCommandName(
        Count(), [this](int I) { return FItems[static_cast<std::size_t>(I)]->Name; });
    FItems.push_back(std::move(Item));
    return *FItems.back();
}

void TMvPluginCommands::Delete(int Index) {
    Items(Index);
    FItems.erase(FItems.begin() + Index);
}

void TMvPluginCommands::Assign(const TMvPluginCommands& Source) {
    if (&Source == this) return;
    std::vector<std::unique_ptr<TMvPluginCommand>> Copies;
    for (const auto& Item : Source.FItems) {
        auto Copy = std::make_unique<TMvPluginCommand>();
        Copy->Name = Item->Name;
        Copy->Caption = Item->Caption;
        Copy->Hint = Item->Hint;
        Copy->Data = Item->Data;
        Copy->ShortCut = Item->ShortCut;
        Copy->Bitmap = Item->Bitmap;
        Copy->OnExecute = Item->OnExecute;
        Copies.push_back(std::move(Copy));
    }
    FItems = std::move(Copies);
}

TMvPlugIn::TMvPlugIn(TComponent* AOwner) : TMvComponent(AOwner) {}

void TMvPlugIn::SetCommands(const TMvPluginCommands& Value) {
    FCommands.Assign(Value);
}

void TMvPlugIn::SendPluginMessage(int32_t APluginMessage, const std::string& AMessageText) {
    if (OnPluginMessage) OnPluginMessage(this, APluginMessage, AMessageText);
}

void TMvPlugIn::DoInitialize(bool& AllowLoad) {
    if (OnInitialize) OnInitialize(this, AllowLoad);
}

void TMvPlugIn::DoConfigure() {
    if (OnConfigure) OnConfigure(this);
}

void TMvPlugIn::ConfigurePlugin() {
    DoConfigure();
}

bool TMvPlugIn::InitializePlugin(TMvPluginManager* Manager, void* ParentApplication,
                                 const std::string& FileName) {
    FManager = Manager;
    FParentApplication = ParentApplication;
    FFileName = FileName;
    bool AllowLoad = true;
    DoInitialize(AllowLoad);
    return AllowLoad;
}

void TMvPlugIn::DispatchPluginMessage(int32_t APluginMessage, const std::string& AMessageText) {
    SendPluginMessage(APluginMessage, AMessageText);
}
