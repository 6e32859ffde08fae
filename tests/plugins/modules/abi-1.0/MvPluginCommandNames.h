// The naming rule for plug-in commands added without a name: "Command%d" with
// the lowest number from 1 that no command of the collection has yet, names
// compared without regard to ASCII case. Shared by the host and the SDK.
#pragma once

#include <string>
#include <string_view>

namespace MvPluginAbi {

inline bool SameCommandName(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I) {
        char X = A[I], Y = B[I];
        if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 'a' + 'A');
        if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 'a' + 'A');
        if (X != Y) return false;
    }
    return true;
}

// NameAt(i) gives the name of item i of Count items.
template <typename NameAtFn> std::string NextCommandName(int Count, NameAtFn NameAt) {
    for (int N = 1;; ++N) {
        std::string Candidate = "Command" + std::to_string(N);
        bool Taken = false;
        for (int I = 0; I < Count && !Taken; ++I)
            Taken = SameCommandName(NameAt(I), Candidate);
        if (!Taken) return Candidate;
    }
}

} // namespace MvPluginAbi
