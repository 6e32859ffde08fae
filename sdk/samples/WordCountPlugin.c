/* Sample plug-in in plain C on MvPluginAbiC.h: the dot-line ".words" keeps the
 * number of words of the topic's other lines in its meta line "words" when the
 * topic is saved.
 *
 * Build (MinGW-w64, from this folder's parent):
 *   i686-w64-mingw32-gcc -shared -static -I. -o WordCountPlugin.dll samples/WordCountPlugin.c
 */
#include "MvPluginAbiC.h"

#include <stdio.h>

/* --- the one command: word "words", run on saving ------------------------ */

static const char* MV_PLUGIN_CALL CmdName(MvPluginCommand* This) {
    (void)This;
    return "Command1";
}
static const char* MV_PLUGIN_CALL CmdCaption(MvPluginCommand* This) {
    (void)This;
    return "words"; /* the dot-line word */
}
static const char* MV_PLUGIN_CALL CmdHint(MvPluginCommand* This) {
    (void)This;
    return "Counts the words of the topic";
}
static const char* MV_PLUGIN_CALL CmdData(MvPluginCommand* This) {
    (void)This;
    return "savetag"; /* "loadtag" would run it when the topic is loaded */
}
static int32_t MV_PLUGIN_CALL CmdShortCut(MvPluginCommand* This) {
    (void)This;
    return 0;
}
static const uint32_t* MV_PLUGIN_CALL CmdBitmap(MvPluginCommand* This, int32_t* Width, int32_t* Height) {
    (void)This;
    *Width = 0;
    *Height = 0;
    return NULL;
}
static int32_t MV_PLUGIN_CALL CmdHasExecute(MvPluginCommand* This) {
    (void)This;
    return 1;
}
/* Interface 1.0's slot; a host of 1.1 or later calls ExecuteOnTopic instead. */
static int32_t MV_PLUGIN_CALL CmdExecute(MvPluginCommand* This, MvPluginMeta* Meta) {
    (void)This;
    (void)Meta;
    return MV_PLUGIN_RESULT_OK;
}

static const char* LastError = NULL;

static int32_t MV_PLUGIN_CALL CmdExecuteOnTopic(MvPluginCommand* This, MvPluginTopic* Topic) {
    int32_t Count = 0, Index, Lines;
    char Text[32];
    MvPluginMeta* Meta;
    (void)This;
    if (Topic == NULL) return MV_PLUGIN_RESULT_OK; /* run on something that is no topic */
    Lines = Topic->Vtbl->LineCount(Topic);
    for (Index = 0; Index < Lines; ++Index) {
        const char* Line = Topic->Vtbl->Line(Topic, Index);
        int InWord = 0;
        if (Line == NULL || Line[0] == '.') continue; /* dot-lines are no words */
        for (; *Line; ++Line) {
            int Blank = *Line == ' ' || *Line == '\t';
            if (!Blank && !InWord) ++Count;
            InWord = !Blank;
        }
    }
    snprintf(Text, sizeof Text, "%ld", (long)Count);
    Meta = Topic->Vtbl->Meta(Topic);
    if (Meta->Vtbl->SetValue(Meta, "words", Text) != MV_PLUGIN_RESULT_OK) {
        LastError = "the meta line \"words\" was refused";
        return MV_PLUGIN_RESULT_FAILED;
    }
    return MV_PLUGIN_RESULT_OK;
}

static const MvPluginCommandVtbl CommandTable = {CmdName,       CmdCaption,  CmdHint,
                                                 CmdData,       CmdShortCut, CmdBitmap,
                                                 CmdHasExecute, CmdExecute,  CmdExecuteOnTopic};
static MvPluginCommand TheCommand = {&CommandTable};

/* --- the plug-in --------------------------------------------------------- */

static int32_t MV_PLUGIN_CALL PlgAbiVersion(MvPlugin* This) {
    (void)This;
    return MV_PLUGIN_VERSION;
}
static const char* MV_PLUGIN_CALL PlgName(MvPlugin* This) {
    (void)This;
    return "wordcountplugin"; /* the file name without ".dll" */
}
static const char* MV_PLUGIN_CALL PlgAuthor(MvPlugin* This) {
    (void)This;
    return "Miravelund SDK";
}
static const char* MV_PLUGIN_CALL PlgID(MvPlugin* This) {
    (void)This;
    return "sample.wordcount";
}
static const char* MV_PLUGIN_CALL PlgCopyright(MvPlugin* This) {
    (void)This;
    return "";
}
static const char* MV_PLUGIN_CALL PlgDescription(MvPlugin* This) {
    (void)This;
    return "Counts a topic's words into its meta line \"words\".";
}
static const char* MV_PLUGIN_CALL PlgVersion(MvPlugin* This) {
    (void)This;
    return "1.0";
}
static int32_t MV_PLUGIN_CALL PlgInstanceCount(MvPlugin* This) {
    (void)This;
    return 1;
}
static int32_t MV_PLUGIN_CALL PlgCommandCount(MvPlugin* This) {
    (void)This;
    return 1;
}
static MvPluginCommand* MV_PLUGIN_CALL PlgCommand(MvPlugin* This, int32_t Index) {
    (void)This;
    return Index == 0 ? &TheCommand : NULL;
}
static int32_t MV_PLUGIN_CALL PlgInitialize(MvPlugin* This, MvPluginHost* Host, const char* FileName,
                                            int32_t* AllowLoad) {
    (void)This;
    (void)Host;
    (void)FileName;
    *AllowLoad = 1;
    return MV_PLUGIN_RESULT_OK;
}
static int32_t MV_PLUGIN_CALL PlgConfigure(MvPlugin* This) {
    (void)This;
    return MV_PLUGIN_RESULT_OK;
}
static int32_t MV_PLUGIN_CALL PlgMessage(MvPlugin* This, int32_t Message, const char* Text) {
    (void)This;
    (void)Message;
    (void)Text;
    return MV_PLUGIN_RESULT_OK;
}
static const char* MV_PLUGIN_CALL PlgLastErrorText(MvPlugin* This) {
    (void)This;
    return LastError;
}
static void MV_PLUGIN_CALL PlgDestroy(MvPlugin* This) {
    (void)This; /* static objects: nothing to free */
}

static const MvPluginVtbl PluginTable = {PlgAbiVersion,   PlgName,          PlgAuthor,     PlgID,
                                         PlgCopyright,    PlgDescription,   PlgVersion,    PlgInstanceCount,
                                         PlgCommandCount, PlgCommand,       PlgInitialize, PlgConfigure,
                                         PlgMessage,      PlgLastErrorText, PlgDestroy};
static MvPlugin ThePlugin = {&PluginTable};

MV_PLUGIN_EXPORT MvPlugin* RegisterPlugin(void) {
    return &ThePlugin;
}
