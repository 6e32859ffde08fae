// The registry of note windows by namespace: one window per namespace, looked
// up without regard to (ASCII) case; the default namespace has the empty key.
// Plain C++, no windows: the note window instantiates it with its own class.
#pragma once

#include "app/TopicAddress.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mv::app {

template <class TWindow> class TNamespaceRegistry {
public:
    // The window registered for Namespace in any letter case, or nullptr.
    TWindow* Find(std::string_view Namespace) const {
        for (const auto& [Key, Window] : FLines)
            if (SameText(Key, Namespace)) return Window;
        return nullptr;
    }

    // A window registers once, under the namespace exactly as its first
    // navigation gave it; a second registration of the same window is ignored.
    void Add(std::string_view Namespace, TWindow* Window) {
        if (Window == nullptr || Contains(Window)) return;
        FLines.emplace_back(std::string(Namespace), Window);
    }

    // Removes the window's line, found by the window.
    void Remove(const TWindow* Window) {
        std::erase_if(FLines, [&](const auto& Line) { return Line.second == Window; });
    }

    bool Contains(const TWindow* Window) const {
        return std::any_of(FLines.begin(), FLines.end(),
                           [&](const auto& Line) { return Line.second == Window; });
    }

    std::size_t Count() const { return FLines.size(); }
    const std::string& KeyAt(std::size_t I) const { return FLines.at(I).first; }
    TWindow* WindowAt(std::size_t I) const { return FLines.at(I).second; }

private:
    std::vector<std::pair<std::string, TWindow*>> FLines;
};

} // namespace mv::app
