// The namespace visualizer's model, free of windows: the namespaces with their sorted titles,
// and the HTML page written from them (a grey box of links per namespace, boxes in columns).
// Each box's part of the page and each title's width are kept between renders, so a host that
// adds one topic to a big namespace pays for that box's text once, not for measuring every title.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Text written into the page: &, <, > and " become entities (the parser decodes them back,
// also inside attribute values, so an href round-trips).
std::string HtmlEscape(std::string_view text);

class TNamespacePage {
public:
    // Width of a title in pixels, as the host's font measures it.
    using TMeasure = std::function<int32_t(const std::string& text)>;

    // Adds a title under a namespace; a title equal to a listed one, ignoring case, is not added.
    void AddEntry(const std::string& Namespace, const std::string& Title);
    // Removes a title; a namespace left without titles goes. Unknown names change nothing.
    void RemoveEntry(const std::string& Namespace, const std::string& Title);
    void Clear();

    // The namespaces in page order (ignoring case) and a namespace's titles in order.
    std::vector<std::string> Namespaces() const;
    std::vector<std::string> Titles(const std::string& Namespace) const;

    // Writes the page for a control Width pixels wide; Columns receives the boxes per row.
    std::string Build(int32_t Width, const TMeasure& Measure, int32_t& Columns);
    // Forgets every measured width (the measuring font changed).
    void ForgetWidths();

    bool ShowRootLinks = false;
    // The most boxes in one row (the most columns a table of the HTML display lays out).
    static constexpr int32_t MaxBoxesPerRow = 200;

private:
    struct TNoCase {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };
    struct TBox {
        std::string Name;                               // as first added
        std::map<std::string, int32_t, TNoCase> Titles; // title -> measured width, -1 not yet
        std::string Html;                               // this box's part of the page
        int32_t Widest = 1;
        bool Dirty = true;
        bool RootLinks = false; // the ShowRootLinks the Html was written with
    };
    void WriteBox(TBox& Box, const TMeasure& Measure);

    std::map<std::string, TBox, TNoCase> FBoxes;
};
