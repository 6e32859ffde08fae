// Topic addresses and the small text rules that go with them.
#include "app/TopicAddress.h"

namespace mv::app {

std::string MakeTopicAddress(std::string_view Namespace, std::string_view Title) {
    std::string Result;
    Result.reserve(Namespace.size() + 1 + Title.size());
    Result.append(Namespace).append(1, ':').append(Title);
    return Result;
}

TTopicAddress SplitTopicAddress(std::string_view Title, std::string_view Namespace) {
    const auto Colon = Title.find(':');
    if (Colon == std::string_view::npos) return {std::string(Namespace), std::string(Title)};
    return {std::string(Title.substr(0, Colon)), std::string(Title.substr(Colon + 1))};
}

std::string NormalizeNamespace(std::string_view Namespace) {
    if (SameText(Namespace, "default")) return {};
    return std::string(Namespace);
}

TTopicAddress ResolveTopicRequest(std::string_view Title, std::string_view Namespace) {
    TTopicAddress Address = SplitTopicAddress(Title, Namespace);
    Address.Namespace = NormalizeNamespace(Address.Namespace);
    return Address;
}

std::string NamespaceDisplayName(std::string_view Namespace) {
    return Namespace.empty() ? std::string("Default") : std::string(Namespace);
}

} // namespace mv::app
