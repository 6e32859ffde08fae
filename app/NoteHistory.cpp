// Back/forward history of a note window.
#include "app/NoteHistory.h"

namespace mv::app {

void TNoteHistory::Add(const std::string& Address) {
    if (!FEntries.empty() && FEntries.at(FIndex) == Address) return;
    while (static_cast<std::int32_t>(FEntries.size()) - 1 > FIndex)
        FEntries.pop_back();
    FEntries.push_back(Address);
    FIndex = static_cast<std::int32_t>(FEntries.size()) - 1;
    FBackEnabled = FIndex > 0;
    FForwardEnabled = false;
}

void TNoteHistory::CommitBack() {
    --FIndex;
    if (FIndex == 0) FBackEnabled = false;
    FForwardEnabled = static_cast<std::int32_t>(FEntries.size()) - 1 != FIndex;
}

void TNoteHistory::CommitForward() {
    ++FIndex;
    FBackEnabled = FIndex != 0;
    if (static_cast<std::int32_t>(FEntries.size()) - 1 == FIndex) FForwardEnabled = false;
}

} // namespace mv::app
