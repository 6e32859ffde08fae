// Enabling rules of the shared edit popup menu.
#include "richedit/MvEditMenuRules.h"

namespace mv::richedit {

TEditMenuState ComputeEditMenuState(const TEditMenuInput& In) {
    TEditMenuState S;
    const bool HasSel = In.SelLength > 0;
    S.Undo = In.Commands.Contains(controls::caUndo) && In.CanUndo;
    S.Cut = HasSel && !In.ReadOnly && In.Commands.Contains(controls::caCut);
    S.Copy = HasSel && In.Commands.Contains(controls::caCopy);
    S.Paste = !In.ReadOnly && In.Commands.Contains(controls::caPaste);
    S.Delete = HasSel && !In.ReadOnly;
    // A rich edit's Select All also takes the final paragraph mark, one more
    // than the text's characters: anything at least as long is everything.
    S.SelectAll = In.TextLength > 0 && In.SelLength < In.TextLength;
    return S;
}

} // namespace mv::richedit
