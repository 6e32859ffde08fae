// The links of a shown page in document order, whether a link line is a text section of its own
// or a line of a run kept as data: what a test reads of a side panel or the finder's list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "htmlview/HtmlSections.h"

namespace mv::app::test {

struct TPanelLink {
    std::string Url;
    int32_t TextStart = 0; // the document index of the link's first character
};

std::vector<TPanelLink> PanelLinks(TSectionList& Doc);
// Whether the page links url.
bool Links(TSectionList& Doc, const std::string& Url);

} // namespace mv::app::test
