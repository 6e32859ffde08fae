// A page like the side panel's: boxes in a table, each a bold name and one link line per title
// ("» title"), built the same way for the engine's tests of link-line runs.
#pragma once

#include <string>
#include <vector>

struct TLinkBox {
    std::string Name;
    std::vector<std::string> Titles; // as written in the page (entities included); "" the root line
};

inline std::string LinkLinesPage(const std::vector<TLinkBox>& Boxes, int PerRow = 3) {
    std::string Out = "<html><body><nobr>  <table width=\"100%\"><tr>";
    for (size_t b = 0; b < Boxes.size(); ++b) {
        if (b > 0 && b % static_cast<size_t>(PerRow) == 0) Out += "</tr><tr>";
        const TLinkBox& Box = Boxes[b];
        Out += "<td valign=\"top\"><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
               "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td><b><nobr>";
        Out += Box.Name + "</nobr></b><br>";
        for (const std::string& Title : Box.Titles) {
            if (Title.empty())
                Out += "<nobr>\xBB <a href=\"" + Box.Name + ":\">[Root]</a></nobr><br>";
            else
                Out += "<nobr>\xBB <a href=\"" + Box.Name + ":" + Title + "\">" + Title + "</nobr></a><br>";
        }
        Out += "</td></tr></table>";
    }
    return Out + "  </tr></table></nobr></body></html>";
}

// Several boxes, one of them long, with a title holding an entity in the middle of the long one.
inline std::vector<TLinkBox> PanelBoxes(int Long) {
    std::vector<TLinkBox> Boxes = {{"Alpha", {"", "first one", "a somewhat longer title"}},
                                   {"Big", {""}},
                                   {"Gamma", {"g1", "g2 two", "g3 three three"}},
                                   {"Zed", {"z"}}};
    // More boxes than runs keep drawn lines at once.
    for (int b = 0; b < 9; ++b)
        Boxes.push_back({"Small" + std::to_string(b), {"s" + std::to_string(b) + " one", "s two"}});
    for (int i = 0; i < Long; ++i)
        Boxes[1].Titles.push_back(i == Long / 2 ? "salt &amp; pepper" : "topic " + std::to_string(1000 + i));
    return Boxes;
}
