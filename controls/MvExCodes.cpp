// Dialog-code, clipboard-command and key-data mappings of the base-class layer.
#include "controls/MvExCodes.h"

namespace mv::controls {

namespace {
struct TDlgcPair {
    TDialogCode Code;
    std::uint32_t Flag;
};
constexpr TDlgcPair kDlgcPairs[] = {
    {dgWantAllKeys, dlgc::WantAllKeys}, {dgWantArrows, dlgc::WantArrows}, {dgWantChars, dlgc::WantChars},
    {dgButton, dlgc::Button},           {dgHasSetSel, dlgc::HasSetSel},   {dgWantTab, dlgc::WantTab},
};
} // namespace

TDialogCodeSet DlgcToDialogCodes(std::uint32_t Flags) {
    TDialogCodeSet Codes;
    for (const TDlgcPair& P : kDlgcPairs)
        if (Flags & P.Flag) Codes.Include(P.Code);
    return Codes;
}

std::uint32_t DialogCodesToDlgc(TDialogCodeSet Codes) {
    std::uint32_t Flags = 0;
    for (const TDlgcPair& P : kDlgcPairs)
        if (Codes.Contains(P.Code)) Flags |= P.Flag;
    return Flags;
}

bool ClipboardCommandForMessage(std::uint32_t Msg, TMvClipboardCommand& Command) {
    switch (Msg) {
    case 0x0300:
        Command = caCut;
        return true; // WM_CUT
    case 0x0301:
        Command = caCopy;
        return true; // WM_COPY
    case 0x0302:
        Command = caPaste;
        return true; // WM_PASTE
    case 0x0303:
        Command = caClear;
        return true; // WM_CLEAR
    case 0x0304:     // WM_UNDO
    case 0x00C7:
        Command = caUndo;
        return true; // EM_UNDO
    default:
        return false;
    }
}

std::uint32_t KeyDataFromShiftFlags(bool Shift, bool Alt, bool Ctrl) {
    return (Alt ? keydata::Alt : 0u) | (Ctrl ? keydata::Ctrl : 0u) | (Shift ? keydata::Shift : 0u);
}

} // namespace mv::controls
