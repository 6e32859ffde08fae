// Helpers for building the program's forms in code.
#pragma once

#include "gui/ActnList.h"

// A new action of List with its name, caption, shortcut, hint and handler.
inline TAction* NewAction(TActionList* List, const char* Name, const char* Caption, TShortCut Key,
                          const char* Hint, TNotifyEvent Execute) {
    auto* Action = new TAction(List);
    Action->SetName(Name);
    Action->SetActionList(List);
    Action->SetCaption(Caption);
    Action->SetShortCut(Key);
    Action->SetHint(Hint);
    Action->OnExecute = std::move(Execute);
    return Action;
}
