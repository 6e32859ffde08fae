// The page loop of printing a rich-edit text: format and render one page after
// another until the text is done, and never loop on a page that makes no progress.
#pragma once

#include <functional>

namespace mv::richedit {

struct TPrintLoopResult {
    int Pages = 0;
    bool Stalled = false; // a page returned no progress; the loop stopped there
};

// FormatPage(From) renders the page that starts at From and returns the first
// character of the next page (or -1 when the window has nothing more). NewPage
// is called between pages.
TPrintLoopResult RunPrintLoop(int TextLength, const std::function<int(int From)>& FormatPage,
                              const std::function<void()>& NewPage);

} // namespace mv::richedit
