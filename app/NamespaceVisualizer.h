// TNamespaceVisualizer: the side panel of a note window, listing namespaces and
// their topics as links. Until the HTML display exists it stands on a plain
// painted control: each namespace is a bold heading followed by its topics, one
// per line, and a click on a line reports the line's link (namespace:title) to
// OnHotSpotClick as the HTML viewer would.
#pragma once

#include "gui/CustomControl.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// Sender, the link's target, and whether the host handled it.
using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC, bool& Handled)>;

class TNamespaceVisualizer : public TCustomControl {
public:
    explicit TNamespaceVisualizer(TComponent* AOwner);

    // Adds a title under a namespace (a display name: "Default" for the empty
    // one); a title equal to one listed, ignoring case, is not added again. No redraw.
    void AddEntry(const std::string& Namespace, const std::string& Title);
    // Removes a title; a namespace left without titles goes. No redraw.
    void RemoveEntry(const std::string& Namespace, const std::string& Title);
    // Forgets every namespace; what is on screen stays until the next Render.
    void Clear();
    // Rebuilds the list shown from the namespaces and their titles.
    void Render();

    bool ShowRootLinks = false;
    THotSpotClickEvent OnHotSpotClick;

    // What the panel shows, line by line, and the link of each line ("" for a heading).
    struct TLine {
        std::string Text;
        std::string Link;
    };
    const std::vector<TLine>& ShownLines() const { return FLines; }
    // The titles listed under a namespace, in order.
    std::vector<std::string> Titles(const std::string& Namespace) const;
    // Reports the link of a shown line as a click on it would.
    void ClickLine(int Index);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    struct TNoCase {
        bool operator()(const std::string& A, const std::string& B) const;
    };
    int LineHeight();

    std::map<std::string, std::set<std::string, TNoCase>, TNoCase> FMap;
    std::vector<TLine> FLines;
};
