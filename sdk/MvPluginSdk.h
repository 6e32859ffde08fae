// The plug-in author's side of the contract: derive from TMvPlugIn, fill in the
// description and the commands in the constructor, assign the events, and
// export it with MV_EXPORT_PLUGIN(YourClass) in one source file of the module.
// Header-only; it needs nothing but MvPluginAbi.h and MvPluginCommandNames.h
// beside it (see README.md). An exception of any type thrown in an event is
// caught here and reported to the program as the call's failure.
//
//   class TClockPlugIn : public MvPluginSdk::TMvPlugIn {
//   public:
//       TClockPlugIn() {
//           SetName("clock");
//           PluginID = "clock";
//           auto& Cmd = Commands.Add();
//           Cmd.Caption = "clock";
//           Cmd.Data = "savetag";
//           Cmd.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
//               // Sender->Topic(): the topic, its lines and the dot-line handled.
//               Sender->Meta().SetValue("clock", Sender->Topic().DotLine());
//           };
//       }
//   };
//   MV_EXPORT_PLUGIN(TClockPlugIn)
#pragma once

#include "MvPluginAbi.h"
#include "MvPluginCommandNames.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace MvPluginSdk {

class TMvPlugIn;
namespace Detail {
class TCommandExport;
}

// The meta lines of the topic a command runs on, while it runs.
class TMvPluginMeta {
public:
    explicit TMvPluginMeta(MvPluginAbi::IMvPluginMeta* Source) : FSource(Source) {}
    // False when the program ran the command on something that has no meta lines.
    bool Available() const { return FSource != nullptr; }
    std::string Value(const std::string& Name) const {
        const char* Text = FSource ? FSource->Value(Name.c_str()) : nullptr;
        return Text ? std::string(Text) : std::string();
    }
    // "" removes the line; raises std::runtime_error when the program refuses
    // (see the rules for names and values in MvPluginAbi.h).
    void SetValue(const std::string& Name, const std::string& Value) const {
        if (!FSource || FSource->SetValue(Name.c_str(), Value.c_str()) != MvPluginAbi::ResultOk)
            throw std::runtime_error("The meta line " + Name + " cannot be set");
    }

private:
    MvPluginAbi::IMvPluginMeta* FSource;
};

// The topic a dot-line handler runs on, while it runs; read-only but for its
// meta lines. Empty (Available() false) when the program runs the command on
// something that is no topic.
class TMvPluginTopic {
public:
    explicit TMvPluginTopic(MvPluginAbi::IMvPluginTopic* Source) : FSource(Source) {}
    bool Available() const { return FSource != nullptr; }
    std::string Title() const { return FSource ? Text(FSource->Title()) : std::string(); }
    // "" for the default namespace.
    std::string Namespace() const { return FSource ? Text(FSource->Namespace()) : std::string(); }
    int LineCount() const { return FSource ? FSource->LineCount() : 0; }
    std::string Line(int Index) const { return FSource ? Text(FSource->Line(Index)) : std::string(); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> Result;
        for (int I = 0; I < LineCount(); ++I)
            Result.push_back(Line(I));
        return Result;
    }
    // The dot-line being handled ("" and -1 when none).
    std::string DotLine() const { return FSource ? Text(FSource->DotLine()) : std::string(); }
    int DotLineIndex() const { return FSource ? FSource->DotLineIndex() : -1; }

private:
    static std::string Text(const char* Value) { return Value ? std::string(Value) : std::string(); }
    MvPluginAbi::IMvPluginTopic* FSource;
};

// A command's picture: 32-bit 0xAARRGGBB pixels, top row first.
struct TMvPluginBitmap {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

class TMvPluginCommand {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    std::string Data;
    uint16_t ShortCut = 0;
    TMvPluginBitmap Bitmap;
    std::function<void(TMvPluginCommand*)> OnExecute;

    std::string DisplayName() const { return Name.empty() ? std::string("TMvPluginCommand") : Name; }
    // While OnExecute runs: the meta lines of the topic it runs on.
    TMvPluginMeta Meta() const { return TMvPluginMeta(FMeta); }
    // While OnExecute runs: the topic itself, with the dot-line being handled.
    TMvPluginTopic Topic() const { return TMvPluginTopic(FTopic); }

private:
    friend class Detail::TCommandExport;
    MvPluginAbi::IMvPluginMeta* FMeta = nullptr;
    MvPluginAbi::IMvPluginTopic* FTopic = nullptr;
};

// The commands of one plug-in, in order.
class TMvPluginCommands {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TMvPluginCommand& operator[](int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
    const TMvPluginCommand& operator[](int Index) const {
        return *FItems.at(static_cast<std::size_t>(Index));
    }

    // A new command named "Command%d" (the lowest free number).
    TMvPluginCommand& Add() {
        auto Item = std::make_unique<TMvPluginCommand>();
        Item->Name = MvPluginAbi::NextCommandName(Count(), [this](int I) { return (*this)[I].Name; });
        FItems.push_back(std::move(Item));
        return *FItems.back();
    }
    void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TMvPluginCommand>> FItems;
};

class TMvPlugIn {
public:
    TMvPlugIn() = default;
    virtual ~TMvPlugIn() = default;
    TMvPlugIn(const TMvPlugIn&) = delete;
    TMvPlugIn& operator=(const TMvPlugIn&) = delete;

    std::string Author;
    std::string PluginID;
    std::string Copyright;
    std::string Description;
    std::string PluginVersion;
    TMvPluginCommands Commands;
    // How many plug-ins with this PluginID may be loaded at once; 0 or less
    // for no limit.
    int32_t InstanceCount = 1;

    std::function<void(TMvPlugIn*, int32_t, const std::string&)> OnPluginMessage;
    std::function<void(TMvPlugIn*, bool&)> OnInitialize;
    std::function<void(TMvPlugIn*)> OnConfigure;

    // The name the program knows the plug-in by: the module's base name.
    const std::string& Name() const { return FName; }
    void SetName(std::string Value) { FName = std::move(Value); }

    // Set by the host when it initialises the plug-in: the module's full path.
    const std::string& FileName() const { return FFileName; }
    // The program's application window (an HWND), or null.
    MvPluginAbi::IMvPluginHost* Host() const { return FHost; }
    void* ParentApplication() const { return FHost ? FHost->ApplicationHandle() : nullptr; }

    virtual void SendPluginMessage(int32_t Message, const std::string& Text) {
        if (OnPluginMessage) OnPluginMessage(this, Message, Text);
    }
    virtual void DoInitialize(bool& AllowLoad) {
        if (OnInitialize) OnInitialize(this, AllowLoad);
    }
    virtual void DoConfigure() {
        if (OnConfigure) OnConfigure(this);
    }
    void ConfigurePlugin() { DoConfigure(); }
    bool InitializePlugin(MvPluginAbi::IMvPluginHost* Host, const std::string& FileName) {
        FHost = Host;
        FFileName = FileName;
        bool AllowLoad = true;
        DoInitialize(AllowLoad);
        return AllowLoad;
    }
    void DispatchPluginMessage(int32_t Message, const std::string& Text) { SendPluginMessage(Message, Text); }

private:
    std::string FName;
    std::string FFileName;
    MvPluginAbi::IMvPluginHost* FHost = nullptr;
};

namespace Detail {

// Carries an exception out of a boundary call as a result code and a text.
template <typename Body> int32_t Guard(std::string& ErrorText, Body&& Run) noexcept {
    try {
        Run();
        return MvPluginAbi::ResultOk;
    } catch (const std::exception& E) {
        try {
            ErrorText = E.what();
        } catch (...) {
        }
    } catch (...) {
        try {
            ErrorText = "Unknown error in plug-in";
        } catch (...) {
        }
    }
    return MvPluginAbi::ResultFailed;
}

class TCommandExport final : public MvPluginAbi::IMvPluginCommand {
public:
    TCommandExport(TMvPluginCommand& Command, std::string& ErrorText)
        : FCommand(&Command), FErrorText(&ErrorText) {}

    const char* MV_PLUGIN_CALL Name() override { return FCommand->Name.c_str(); }
    const char* MV_PLUGIN_CALL Caption() override { return FCommand->Caption.c_str(); }
    const char* MV_PLUGIN_CALL Hint() override { return FCommand->Hint.c_str(); }
    const char* MV_PLUGIN_CALL Data() override { return FCommand->Data.c_str(); }
    int32_t MV_PLUGIN_CALL ShortCut() override { return FCommand->ShortCut; }
    const uint32_t* MV_PLUGIN_CALL Bitmap(int32_t* Width, int32_t* Height) override {
        const TMvPluginBitmap& B = FCommand->Bitmap;
        bool Valid =
            B.Width > 0 && B.Height > 0 &&
            B.Pixels.size() == static_cast<std::size_t>(B.Width) * static_cast<std::size_t>(B.Height);
        if (Width) *Width = Valid ? B.Width : 0;
        if (Height) *Height = Valid ? B.Height : 0;
        return Valid ? B.Pixels.data() : nullptr;
    }
    int32_t MV_PLUGIN_CALL HasExecute() override { return FCommand->OnExecute ? 1 : 0; }
    int32_t MV_PLUGIN_CALL Execute(MvPluginAbi::IMvPluginMeta* Meta) override { return Run(Meta, nullptr); }
    int32_t MV_PLUGIN_CALL ExecuteOnTopic(MvPluginAbi::IMvPluginTopic* Topic) override {
        return Run(Topic ? Topic->Meta() : nullptr, Topic);
    }

private:
    int32_t Run(MvPluginAbi::IMvPluginMeta* Meta, MvPluginAbi::IMvPluginTopic* Topic) {
        // A handler may run inside another (a nested navigation): restore what was there.
        struct Scope {
            TMvPluginCommand& Command;
            MvPluginAbi::IMvPluginMeta* Meta;
            MvPluginAbi::IMvPluginTopic* Topic;
            ~Scope() {
                Command.FMeta = Meta;
                Command.FTopic = Topic;
            }
        } Restore{*FCommand, FCommand->FMeta, FCommand->FTopic};
        FCommand->FMeta = Meta;
        FCommand->FTopic = Topic;
        return Guard(*FErrorText, [this] {
            if (FCommand->OnExecute) FCommand->OnExecute(FCommand);
        });
    }

    TMvPluginCommand* FCommand;
    std::string* FErrorText;
};

class TPlugInExport final : public MvPluginAbi::IMvPlugin {
public:
    explicit TPlugInExport(std::unique_ptr<TMvPlugIn> PlugIn) : FPlugIn(std::move(PlugIn)) {}

    int32_t MV_PLUGIN_CALL AbiVersion() override { return MvPluginAbi::Version; }
    const char* MV_PLUGIN_CALL Name() override { return FPlugIn->Name().c_str(); }
    const char* MV_PLUGIN_CALL Author() override { return FPlugIn->Author.c_str(); }
    const char* MV_PLUGIN_CALL PluginID() override { return FPlugIn->PluginID.c_str(); }
    const char* MV_PLUGIN_CALL Copyright() override { return FPlugIn->Copyright.c_str(); }
    const char* MV_PLUGIN_CALL Description() override { return FPlugIn->Description.c_str(); }
    const char* MV_PLUGIN_CALL PluginVersion() override { return FPlugIn->PluginVersion.c_str(); }
    int32_t MV_PLUGIN_CALL InstanceCount() override { return FPlugIn->InstanceCount; }
    int32_t MV_PLUGIN_CALL CommandCount() override {
        int32_t Count = 0;
        if (Guard(FErrorText, [this] {
                FCommands.clear();
                for (int I = 0; I < FPlugIn->Commands.Count(); ++I)
                    FCommands.push_back(std::make_unique<TCommandExport>(FPlugIn->Commands[I], FErrorText));
            }) == MvPluginAbi::ResultOk)
            Count = static_cast<int32_t>(FCommands.size());
        return Count;
    }
    MvPluginAbi::IMvPluginCommand* MV_PLUGIN_CALL Command(int32_t Index) override {
        if (Index < 0 || static_cast<std::size_t>(Index) >= FCommands.size()) return nullptr;
        return FCommands[static_cast<std::size_t>(Index)].get();
    }
    int32_t MV_PLUGIN_CALL Initialize(MvPluginAbi::IMvPluginHost* Host, const char* FileName,
                                      int32_t* AllowLoad) override {
        return Guard(FErrorText, [&] {
            bool Allowed = FPlugIn->InitializePlugin(Host, FileName ? FileName : "");
            if (AllowLoad) *AllowLoad = Allowed ? 1 : 0;
        });
    }
    int32_t MV_PLUGIN_CALL Configure() override {
        return Guard(FErrorText, [this] { FPlugIn->ConfigurePlugin(); });
    }
    int32_t MV_PLUGIN_CALL PluginMessage(int32_t Message, const char* Text) override {
        return Guard(FErrorText, [&] { FPlugIn->DispatchPluginMessage(Message, Text ? Text : ""); });
    }
    const char* MV_PLUGIN_CALL LastErrorText() override { return FErrorText.c_str(); }
    void MV_PLUGIN_CALL Destroy() override { delete this; }

private:
    ~TPlugInExport() {
        try {
            FCommands.clear();
            FPlugIn.reset();
        } catch (...) {
        }
    }

    std::unique_ptr<TMvPlugIn> FPlugIn;
    std::vector<std::unique_ptr<TCommandExport>> FCommands;
    std::string FErrorText;
};

template <typename PlugInClass> MvPluginAbi::IMvPlugin* RegisterPlugIn() noexcept {
    try {
        return new TPlugInExport(std::make_unique<PlugInClass>());
    } catch (...) {
        return nullptr;
    }
}

} // namespace Detail
} // namespace MvPluginSdk

#if defined(_WIN32)
#define MV_PLUGIN_EXPORT __declspec(dllexport)
#else
#define MV_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// The module's entry point: returns a new PlugInClass wrapped for the host.
#define MV_EXPORT_PLUGIN(PlugInClass)                                                                        \
    extern "C" MV_PLUGIN_EXPORT MvPluginAbi::IMvPlugin* RegisterPlugin() {                                   \
        return MvPluginSdk::Detail::RegisterPlugIn<PlugInClass>();                                           \
    }
