/* A plug-in written in C against MvPluginAbiC.h that misbehaves in every way
 * the contract lets it: null texts, results that are no result code, an error
 * text of 64 KB, meta lines that try to break out of their line. Built several
 * times with one fault each:
 *   FaultyPlugin.dll       its dot-line handlers fail (and one reads the topic);
 *   FutureMajorPlugin.dll  it speaks interface version 2.0;
 *   BadCountPlugin.dll     it claims 100000 commands;
 *   InitFailPlugin.dll     its initialisation fails without a text. */
#include "sdk/MvPluginAbiC.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#ifndef PLUGIN_NAME
#define PLUGIN_NAME "faultyplugin"
#endif

static void Trace(const char* Name, const char* Entry) {
    char Value[4096];
    DWORD Length = GetEnvironmentVariableA(Name, Value, sizeof Value);
    if (Length >= sizeof Value) Length = 0;
    Value[Length] = '\0';
    if (Length > 0 && Length + 1 < sizeof Value) strcat(Value, ";");
    if (strlen(Value) + strlen(Entry) < sizeof Value) strcat(Value, Entry);
    SetEnvironmentVariableA(Name, Value);
}

/* The error text of the last failure: null, or 64 KB of text. */
static const char* LastError = 0;
static char Huge[65 * 1024 + 1];

enum { NullLoad, NullSave, HugeSave, TopicSave, CommandTotal };
static const char* const Captions[CommandTotal] = {"nulltext", "nulltext", "hugetext", "topic"};
static const char* const Datas[CommandTotal] = {"loadtag", "savetag", "savetag", "savetag"};

typedef struct FaultyCommand {
    MvPluginCommand Base;
    int Kind;
} FaultyCommand;

static int KindOf(MvPluginCommand* This) {
    return ((FaultyCommand*)This)->Kind;
}

static const char* MV_PLUGIN_CALL CommandName(MvPluginCommand* This) {
    (void)This;
    return 0;
}
static const char* MV_PLUGIN_CALL CommandCaption(MvPluginCommand* This) {
    return Captions[KindOf(This)];
}
static const char* MV_PLUGIN_CALL CommandHint(MvPluginCommand* This) {
    (void)This;
    return 0;
}
static const char* MV_PLUGIN_CALL CommandData(MvPluginCommand* This) {
    return Datas[KindOf(This)];
}
static int32_t MV_PLUGIN_CALL CommandShortCut(MvPluginCommand* This) {
    (void)This;
    return 0x7FFFFFFF;
}
static const uint32_t* MV_PLUGIN_CALL CommandBitmap(MvPluginCommand* This, int32_t* Width, int32_t* Height) {
    (void)This;
    /* A size without pixels. */
    *Width = 5000;
    *Height = -3;
    return 0;
}
static int32_t MV_PLUGIN_CALL CommandHasExecute(MvPluginCommand* This) {
    (void)This;
    return 1;
}

static void ReadTopic(MvPluginTopic* Topic) {
    char Entry[1024];
    MvPluginMeta* Meta;
    int32_t Refused;
    if (!Topic) {
        Trace("MV_PLUGIN_TOPIC", "no topic");
        return;
    }
    snprintf(Entry, sizeof Entry, "%s|%s|%d|%s|%d|%s", Topic->Vtbl->Namespace(Topic),
             Topic->Vtbl->Title(Topic), (int)Topic->Vtbl->DotLineIndex(Topic), Topic->Vtbl->DotLine(Topic),
             (int)Topic->Vtbl->LineCount(Topic),
             Topic->Vtbl->Line(Topic, 1000) ? "line 1000" : "no line 1000");
    Trace("MV_PLUGIN_TOPIC", Entry);
    /* Values and names that would make or change other lines are refused. */
    Meta = Topic->Vtbl->Meta(Topic);
    Refused = 0;
    if (Meta->Vtbl->SetValue(Meta, "due", "line1\r\nsplitter_pos=1") != MV_PLUGIN_RESULT_OK) ++Refused;
    if (Meta->Vtbl->SetValue(Meta, "a=b", "x") != MV_PLUGIN_RESULT_OK) ++Refused;
    if (Meta->Vtbl->SetValue(Meta, "x\ny", "x") != MV_PLUGIN_RESULT_OK) ++Refused;
    if (Meta->Vtbl->SetValue(Meta, "", "x") != MV_PLUGIN_RESULT_OK) ++Refused;
    if (Meta->Vtbl->SetValue(Meta, 0, "x") != MV_PLUGIN_RESULT_OK) ++Refused;
    snprintf(Entry, sizeof Entry, "refused %d", (int)Refused);
    Trace("MV_PLUGIN_TOPIC", Entry);
    Meta->Vtbl->SetValue(Meta, "due.line", Topic->Vtbl->DotLine(Topic));
}

static int32_t MV_PLUGIN_CALL CommandExecuteOnTopic(MvPluginCommand* This, MvPluginTopic* Topic) {
    switch (KindOf(This)) {
    case NullLoad:
        LastError = 0;
        return MV_PLUGIN_RESULT_FAILED;
    case NullSave:
        LastError = 0;
        return -7;
    case HugeSave:
        memset(Huge, 'x', sizeof Huge - 1);
        memcpy(Huge, "HUGE:", 5);
        LastError = Huge;
        return 0x1234567;
    default:
        ReadTopic(Topic);
        return MV_PLUGIN_RESULT_OK;
    }
}
static int32_t MV_PLUGIN_CALL CommandExecute(MvPluginCommand* This, MvPluginMeta* Meta) {
    (void)This;
    (void)Meta;
    Trace("MV_PLUGIN_TOPIC", "old slot called");
    return MV_PLUGIN_RESULT_FAILED;
}

static const MvPluginCommandVtbl CommandTable = {CommandName,       CommandCaption,  CommandHint,
                                                 CommandData,       CommandShortCut, CommandBitmap,
                                                 CommandHasExecute, CommandExecute,  CommandExecuteOnTopic};

static FaultyCommand Commands[CommandTotal] = {{{&CommandTable}, NullLoad},
                                               {{&CommandTable}, NullSave},
                                               {{&CommandTable}, HugeSave},
                                               {{&CommandTable}, TopicSave}};

static int32_t MV_PLUGIN_CALL PluginAbiVersion(MvPlugin* This) {
    (void)This;
#ifdef FAULT_MAJOR2
    return 2 << 16;
#else
    return MV_PLUGIN_VERSION;
#endif
}
static const char* MV_PLUGIN_CALL PluginName(MvPlugin* This) {
    (void)This;
    return PLUGIN_NAME;
}
static const char* MV_PLUGIN_CALL PluginNull(MvPlugin* This) {
    (void)This;
    return 0;
}
static const char* MV_PLUGIN_CALL PluginID(MvPlugin* This) {
    (void)This;
    return "test." PLUGIN_NAME;
}
static int32_t MV_PLUGIN_CALL PluginInstanceCount(MvPlugin* This) {
    (void)This;
    return -5;
}
static int32_t MV_PLUGIN_CALL PluginCommandCount(MvPlugin* This) {
    (void)This;
#ifdef FAULT_COUNT
    return 100000;
#else
    return CommandTotal;
#endif
}
static MvPluginCommand* MV_PLUGIN_CALL PluginCommand(MvPlugin* This, int32_t Index) {
    (void)This;
    return Index >= 0 && Index < CommandTotal ? &Commands[Index].Base : &Commands[0].Base;
}
static int32_t MV_PLUGIN_CALL PluginInitialize(MvPlugin* This, MvPluginHost* Host, const char* FileName,
                                               int32_t* AllowLoad) {
    char Entry[600];
    (void)This;
    snprintf(Entry, sizeof Entry, "%s|%s", FileName ? FileName : "(null)",
             Host && Host->Vtbl->ApplicationHandle(Host) ? "window" : "no window");
    Trace("MV_PLUGIN_INITIALIZED", Entry);
    *AllowLoad = 77; /* any value but 0 allows */
#ifdef FAULT_INIT
    LastError = 0;
    return 99;
#else
    return MV_PLUGIN_RESULT_OK;
#endif
}
static int32_t MV_PLUGIN_CALL PluginConfigure(MvPlugin* This) {
    (void)This;
    return MV_PLUGIN_RESULT_OK;
}
static int32_t MV_PLUGIN_CALL PluginMessage(MvPlugin* This, int32_t Message, const char* Text) {
    (void)This;
    (void)Message;
    (void)Text;
    return MV_PLUGIN_RESULT_OK;
}
static const char* MV_PLUGIN_CALL PluginLastErrorText(MvPlugin* This) {
    (void)This;
    return LastError;
}
static void MV_PLUGIN_CALL PluginDestroy(MvPlugin* This) {
    (void)This;
    Trace("MV_PLUGIN_DESTROYED", PLUGIN_NAME);
}

static const MvPluginVtbl PluginTable = {PluginAbiVersion, PluginName,          PluginNull,
                                         PluginID,         PluginNull,          PluginNull,
                                         PluginNull,       PluginInstanceCount, PluginCommandCount,
                                         PluginCommand,    PluginInitialize,    PluginConfigure,
                                         PluginMessage,    PluginLastErrorText, PluginDestroy};

static MvPlugin ThePlugin = {&PluginTable};

MV_PLUGIN_EXPORT MvPlugin* RegisterPlugin(void) {
    return &ThePlugin;
}
