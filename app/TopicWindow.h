// ITopicWindow: what a note window offers to its topic editor and to the
// dialogs that change its topic.
#pragma once

#include <string>

class ITopicWindow {
public:
    // Shows the topic in the window. Title may be a whole address
    // "namespace:title", and then Namespace is not used. Window receives the
    // window that shows it.
    virtual void NavigateTo(const std::string& Title, const std::string& Namespace, ITopicWindow*& Window,
                            bool AddToHistory) = 0;
    // Called after the tag manager changed the topic's tags.
    virtual void RefreshTags() = 0;
    // Steps back in the window's history.
    virtual void GoBack() = 0;

protected:
    ~ITopicWindow() = default;
};
