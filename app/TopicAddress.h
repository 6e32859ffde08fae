// Topic addresses ("namespace:title"), namespace names and the word characters
// of link text. Plain C++, no windows.
#pragma once

#include <string>
#include <string_view>

#include "base/StrUtils.h"

namespace mv::app {

// A topic as the windows address it: the empty namespace is the default one.
struct TTopicAddress {
    std::string Namespace;
    std::string Title;

    bool operator==(const TTopicAddress&) const = default;
};

// "namespace:title": the default namespace gives an address that begins with ":".
std::string MakeTopicAddress(std::string_view Namespace, std::string_view Title);

// Splits Title at its first ":" when it has one (the part before is the
// namespace, Namespace is then not used); otherwise the address is
// (Namespace, Title). Either part may come out empty.
TTopicAddress SplitTopicAddress(std::string_view Title, std::string_view Namespace);

// "default" in any case names the default namespace, which is "".
std::string NormalizeNamespace(std::string_view Namespace);

// SplitTopicAddress followed by NormalizeNamespace: how the main window reads a
// request to show a topic.
TTopicAddress ResolveTopicRequest(std::string_view Title, std::string_view Namespace);

// What windows show for a namespace: "Default" for the empty one.
std::string NamespaceDisplayName(std::string_view Namespace);

// Characters of a title or namespace in link text: ASCII letters, digits, "_" and "-".
constexpr bool IsWordChar(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_' || C == '-';
}

} // namespace mv::app
