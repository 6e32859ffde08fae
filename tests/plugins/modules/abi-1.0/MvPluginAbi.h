// The binary contract between the program and its plug-in modules. Both sides
// are compiled separately, so only this may cross the module boundary:
// pure-virtual interfaces with the __stdcall convention, fixed-width integers
// and NUL-terminated 8-bit strings. Each side frees the objects it made, and
// no exception crosses a call: failures come back as a result code with the
// text in LastErrorText.
//
// The module exports the undecorated C function "RegisterPlugin" (no
// arguments) that returns a new IMvPlugin, or null. The host calls Destroy on
// it when it is done, before it unloads the module.
//
// Versioning: slots are only ever appended. A plug-in reports the version it
// was built against; the host refuses a major version it does not know and
// calls no slot newer than the plug-in's minor version.
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(_M_IX86)
#define MV_PLUGIN_CALL __attribute__((stdcall))
#else
#define MV_PLUGIN_CALL
#endif

namespace MvPluginAbi {

inline constexpr int32_t VersionMajor = 1;
inline constexpr int32_t VersionMinor = 0;
inline constexpr int32_t Version = (VersionMajor << 16) | VersionMinor;

inline constexpr int32_t ResultOk = 0;
inline constexpr int32_t ResultFailed = 1;

inline constexpr char EntryPointName[] = "RegisterPlugin";

// What the host offers a plug-in for as long as it is loaded.
struct IMvPluginHost {
    virtual int32_t MV_PLUGIN_CALL AbiVersion() = 0;
    // The application window's handle (an HWND), or null.
    virtual void* MV_PLUGIN_CALL ApplicationHandle() = 0;

protected:
    ~IMvPluginHost() = default;
};

// The name=value meta lines of the topic a command runs on. Value's result
// stays valid until the next call on the object; SetValue with "" removes the
// line. The object lives for the duration of one Execute call.
struct IMvPluginMeta {
    virtual const char* MV_PLUGIN_CALL Value(const char* Name) = 0;
    virtual int32_t MV_PLUGIN_CALL SetValue(const char* Name, const char* Value) = 0;

protected:
    ~IMvPluginMeta() = default;
};

// One command of a plug-in. Strings stay valid until the plug-in is destroyed
// or its commands change; the host copies them at once.
struct IMvPluginCommand {
    virtual const char* MV_PLUGIN_CALL Name() = 0;
    virtual const char* MV_PLUGIN_CALL Caption() = 0;
    virtual const char* MV_PLUGIN_CALL Hint() = 0;
    virtual const char* MV_PLUGIN_CALL Data() = 0;
    virtual int32_t MV_PLUGIN_CALL ShortCut() = 0;
    // The command's picture as 32-bit 0xAARRGGBB pixels, top row first;
    // Width and Height 0 and a null result when it has none.
    virtual const uint32_t* MV_PLUGIN_CALL Bitmap(int32_t* Width, int32_t* Height) = 0;
    // 1 when the command has something to run.
    virtual int32_t MV_PLUGIN_CALL HasExecute() = 0;
    // Meta: the meta lines of the topic the command runs on, or null when the
    // program runs it on something else.
    virtual int32_t MV_PLUGIN_CALL Execute(IMvPluginMeta* Meta) = 0;

protected:
    ~IMvPluginCommand() = default;
};

struct IMvPlugin {
    virtual int32_t MV_PLUGIN_CALL AbiVersion() = 0;
    // The plug-in's name; the program matches it against the module's file name.
    virtual const char* MV_PLUGIN_CALL Name() = 0;
    virtual const char* MV_PLUGIN_CALL Author() = 0;
    virtual const char* MV_PLUGIN_CALL PluginID() = 0;
    virtual const char* MV_PLUGIN_CALL Copyright() = 0;
    virtual const char* MV_PLUGIN_CALL Description() = 0;
    virtual const char* MV_PLUGIN_CALL PluginVersion() = 0;
    virtual int32_t MV_PLUGIN_CALL InstanceCount() = 0;
    // Commands are numbered 0 .. CommandCount() - 1; CommandCount also takes
    // a fresh snapshot of them, so it is called before Command.
    virtual int32_t MV_PLUGIN_CALL CommandCount() = 0;
    virtual IMvPluginCommand* MV_PLUGIN_CALL Command(int32_t Index) = 0;
    // Called once after loading. *AllowLoad comes in as 1; the plug-in sets it
    // to 0 to refuse. Host is valid until Destroy, FileName during the call.
    virtual int32_t MV_PLUGIN_CALL Initialize(IMvPluginHost* Host, const char* FileName,
                                              int32_t* AllowLoad) = 0;
    virtual int32_t MV_PLUGIN_CALL Configure() = 0;
    virtual int32_t MV_PLUGIN_CALL PluginMessage(int32_t Message, const char* Text) = 0;
    // The text of the last failed call.
    virtual const char* MV_PLUGIN_CALL LastErrorText() = 0;
    // Frees the plug-in and everything it handed out.
    virtual void MV_PLUGIN_CALL Destroy() = 0;

protected:
    ~IMvPlugin() = default;
};

extern "C" {
typedef IMvPlugin* (*TRegisterPluginProc)();
}

} // namespace MvPluginAbi
