// Which items of the shared edit popup menu are enabled, from the state of the
// edit it serves. Window-free so the rules can be checked directly.
#pragma once

#include "controls/MvExCodes.h"

#include <cstdint>

namespace mv::richedit {

struct TEditMenuInput {
    controls::TMvClipboardCommands Commands = controls::kPlainEditClipboardCommands;
    std::int64_t SelLength = 0;
    std::int64_t TextLength = 0; // in characters
    bool ReadOnly = false;
    bool CanUndo = false;
};

struct TEditMenuState {
    bool Undo = false;
    bool Cut = false;
    bool Copy = false;
    bool Paste = false;
    bool Delete = false;
    bool SelectAll = false;
    friend bool operator==(const TEditMenuState&, const TEditMenuState&) = default;
};

TEditMenuState ComputeEditMenuState(const TEditMenuInput& In);

} // namespace mv::richedit
