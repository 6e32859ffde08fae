// Back/forward history of a note window.
#include "app/NoteHistory.h"

namespace mv::app {

void TNoteHistory::Add(const std::string& Address) {
    FBackEnabled = !FEntries.empty();
    while (static_cast<std::int32_t>(FEntries.size()) - 1 > FIndex)
        FEntries.pop_back();
    if (FEntries.empty() || FEntries.back() != Address) {
        FEntries.push_back(Address);
        if (FEntries.size() >= 2) ++FIndex;
        FForwardEnabled = false;
    }
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
