/* The binary contract between Miravelund and its plug-in modules, for plug-ins
 * written in C. It declares the same interfaces as MvPluginAbi.h with the same
 * layout in memory: every interface is a pointer to a table of __stdcall
 * functions, and every function takes the object itself as its first argument.
 * The rules on strings, results, versions and meta lines are those of
 * MvPluginAbi.h; README.md explains them.
 *
 * A C plug-in fills the tables with its own functions, for example:
 *
 *   static const char* MV_PLUGIN_CALL MyName(MvPlugin* This) { return "myplugin"; }
 *   static const MvPluginVtbl MyTable = { MyAbiVersion, MyName, ... };
 *   static MvPlugin MyPlugin = { &MyTable };
 *   MV_PLUGIN_EXPORT MvPlugin* RegisterPlugin(void) { return &MyPlugin; }
 */
#ifndef MV_PLUGIN_ABI_C_H
#define MV_PLUGIN_ABI_C_H

#include <stdint.h>

#ifndef MV_PLUGIN_CALL
#if defined(__i386__) || defined(_M_IX86)
#define MV_PLUGIN_CALL __attribute__((stdcall))
#else
#define MV_PLUGIN_CALL
#endif
#endif

#ifndef MV_PLUGIN_EXPORT
#if defined(_WIN32)
#define MV_PLUGIN_EXPORT __declspec(dllexport)
#else
#define MV_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define MV_PLUGIN_VERSION_MAJOR 1
#define MV_PLUGIN_VERSION_MINOR 1
#define MV_PLUGIN_VERSION ((MV_PLUGIN_VERSION_MAJOR << 16) | MV_PLUGIN_VERSION_MINOR)

#define MV_PLUGIN_RESULT_OK 0
#define MV_PLUGIN_RESULT_FAILED 1

#define MV_PLUGIN_MAX_TEXT_LENGTH 4096
#define MV_PLUGIN_MAX_COMMAND_COUNT 1024
#define MV_PLUGIN_MAX_META_NAME_LENGTH 255
#define MV_PLUGIN_MAX_META_VALUE_LENGTH 65535

typedef struct MvPluginHost MvPluginHost;
typedef struct MvPluginMeta MvPluginMeta;
typedef struct MvPluginTopic MvPluginTopic;
typedef struct MvPluginCommand MvPluginCommand;
typedef struct MvPlugin MvPlugin;

typedef struct MvPluginHostVtbl {
    int32_t(MV_PLUGIN_CALL* AbiVersion)(MvPluginHost* This);
    /* The application window's handle (an HWND), or null. */
    void*(MV_PLUGIN_CALL* ApplicationHandle)(MvPluginHost* This);
} MvPluginHostVtbl;
struct MvPluginHost {
    const MvPluginHostVtbl* Vtbl;
};

typedef struct MvPluginMetaVtbl {
    const char*(MV_PLUGIN_CALL* Value)(MvPluginMeta* This, const char* Name);
    int32_t(MV_PLUGIN_CALL* SetValue)(MvPluginMeta* This, const char* Name, const char* Value);
} MvPluginMetaVtbl;
struct MvPluginMeta {
    const MvPluginMetaVtbl* Vtbl;
};

/* Since 1.1. */
typedef struct MvPluginTopicVtbl {
    const char*(MV_PLUGIN_CALL* Title)(MvPluginTopic* This);
    const char*(MV_PLUGIN_CALL* Namespace)(MvPluginTopic* This);
    int32_t(MV_PLUGIN_CALL* LineCount)(MvPluginTopic* This);
    const char*(MV_PLUGIN_CALL* Line)(MvPluginTopic* This, int32_t Index);
    int32_t(MV_PLUGIN_CALL* DotLineIndex)(MvPluginTopic* This);
    const char*(MV_PLUGIN_CALL* DotLine)(MvPluginTopic* This);
    MvPluginMeta*(MV_PLUGIN_CALL* Meta)(MvPluginTopic* This);
} MvPluginTopicVtbl;
struct MvPluginTopic {
    const MvPluginTopicVtbl* Vtbl;
};

typedef struct MvPluginCommandVtbl {
    const char*(MV_PLUGIN_CALL* Name)(MvPluginCommand* This);
    const char*(MV_PLUGIN_CALL* Caption)(MvPluginCommand* This);
    const char*(MV_PLUGIN_CALL* Hint)(MvPluginCommand* This);
    const char*(MV_PLUGIN_CALL* Data)(MvPluginCommand* This);
    int32_t(MV_PLUGIN_CALL* ShortCut)(MvPluginCommand* This);
    const uint32_t*(MV_PLUGIN_CALL* Bitmap)(MvPluginCommand* This, int32_t* Width, int32_t* Height);
    int32_t(MV_PLUGIN_CALL* HasExecute)(MvPluginCommand* This);
    int32_t(MV_PLUGIN_CALL* Execute)(MvPluginCommand* This, MvPluginMeta* Meta);
    /* Since 1.1. */
    int32_t(MV_PLUGIN_CALL* ExecuteOnTopic)(MvPluginCommand* This, MvPluginTopic* Topic);
} MvPluginCommandVtbl;
struct MvPluginCommand {
    const MvPluginCommandVtbl* Vtbl;
};

typedef struct MvPluginVtbl {
    int32_t(MV_PLUGIN_CALL* AbiVersion)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* Name)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* Author)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* PluginID)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* Copyright)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* Description)(MvPlugin* This);
    const char*(MV_PLUGIN_CALL* PluginVersion)(MvPlugin* This);
    int32_t(MV_PLUGIN_CALL* InstanceCount)(MvPlugin* This);
    int32_t(MV_PLUGIN_CALL* CommandCount)(MvPlugin* This);
    MvPluginCommand*(MV_PLUGIN_CALL* Command)(MvPlugin* This, int32_t Index);
    int32_t(MV_PLUGIN_CALL* Initialize)(MvPlugin* This, MvPluginHost* Host, const char* FileName,
                                        int32_t* AllowLoad);
    int32_t(MV_PLUGIN_CALL* Configure)(MvPlugin* This);
    int32_t(MV_PLUGIN_CALL* PluginMessage)(MvPlugin* This, int32_t Message, const char* Text);
    const char*(MV_PLUGIN_CALL* LastErrorText)(MvPlugin* This);
    void(MV_PLUGIN_CALL* Destroy)(MvPlugin* This);
} MvPluginVtbl;
struct MvPlugin {
    const MvPluginVtbl* Vtbl;
};

/* The module's entry point, exported undecorated: a cdecl function without
 * arguments, named "RegisterPlugin". */
typedef MvPlugin* (*MvRegisterPluginProc)(void);

#ifdef __cplusplus
}
#endif

#endif /* MV_PLUGIN_ABI_C_H */
