// Page loop of rich-edit printing.
#include "richedit/MvPrintLoop.h"

namespace mv::richedit {

TPrintLoopResult RunPrintLoop(int TextLength, const std::function<int(int From)>& FormatPage,
                              const std::function<void()>& NewPage) {
    TPrintLoopResult R;
    int From = 0;
    for (;;) {
        const int Next = FormatPage(From);
        ++R.Pages;
        if (Next < 0 || Next >= TextLength) break;
        if (Next <= From) {
            // A page that fits nothing (a picture taller than the page, a zero-height
            // rectangle) would come back forever.
            R.Stalled = true;
            break;
        }
        NewPage();
        From = Next;
    }
    return R;
}

} // namespace mv::richedit
