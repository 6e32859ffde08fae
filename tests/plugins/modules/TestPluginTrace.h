// The test plug-ins report what happened to them through environment variables
// of the process, which the host-side tests read back.
#pragma once

#include <windows.h>

#include <string>

inline std::string TraceGet(const char* Name) {
    char Buffer[1024];
    DWORD Length = GetEnvironmentVariableA(Name, Buffer, sizeof Buffer);
    return Length > 0 && Length < sizeof Buffer ? std::string(Buffer, Length) : std::string();
}

inline void TraceAppend(const char* Name, const std::string& Entry) {
    std::string Value = TraceGet(Name);
    if (!Value.empty()) Value += ';';
    Value += Entry;
    SetEnvironmentVariableA(Name, Value.c_str());
}

// Records the plug-in's destruction and whether its module was still loaded then.
inline void TraceDestroyed(const char* PlugIn, const char* ModuleName) {
    TraceAppend("MV_PLUGIN_DESTROYED",
                std::string(PlugIn) + (GetModuleHandleA(ModuleName) ? ":loaded" : ":unloaded"));
}
