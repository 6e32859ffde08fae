// The back/forward history of a note window: topic addresses oldest first, the
// position of the shown topic, and the enabled state of the Backward and
// Forward commands. Plain C++, no windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mv::app {

class TNoteHistory {
public:
    const std::vector<std::string>& Entries() const { return FEntries; }
    std::int32_t Index() const { return FIndex; }
    bool BackEnabled() const { return FBackEnabled; }
    bool ForwardEnabled() const { return FForwardEnabled; }

    // A navigation that adds to the history. Going to the address shown (exact,
    // case-sensitive comparison) changes nothing: no second entry, and Backward
    // and Forward keep going where they went. Any other address drops the
    // entries after the current one and is appended as the current entry;
    // Backward is then enabled exactly when there is an entry before it.
    void Add(const std::string& Address);

    // Backward and forward run only when there is an entry to go to. The window
    // navigates to the target first and, once that has succeeded, commits the
    // step, so a failed navigation leaves the history as it was.
    bool CanGoBack() const { return FIndex > 0; }
    bool CanGoForward() const { return static_cast<std::int32_t>(FEntries.size()) - 1 > FIndex; }
    const std::string& BackTarget() const { return FEntries.at(FIndex - 1); }
    const std::string& ForwardTarget() const { return FEntries.at(FIndex + 1); }
    void CommitBack();
    void CommitForward();

    // The delete command leaves nothing to go forward to.
    void DisableForward() { FForwardEnabled = false; }

private:
    std::vector<std::string> FEntries;
    std::int32_t FIndex = 0;
    bool FBackEnabled = false;
    bool FForwardEnabled = false;
};

} // namespace mv::app
