// Fuzz target: the scanner's symbols (tags, attributes, entities, comments) over the input,
// the colour rule and the URL-to-path helpers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "htmlview/HtmlScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string s(reinterpret_cast<const char*>(data), size);
    THtmlScanner scanner;
    scanner.InPre = size > 0 && (data[0] & 1);
    scanner.NoBreak = size > 0 && (data[0] & 2);
    scanner.BeginScan(s);
    try {
        scanner.Advance();
        for (size_t guard = 0; guard <= size + 1; ++guard) {
            scanner.Next();
            if (scanner.Symbol == SymEof) break;
            if (scanner.TextToken.S.size() != scanner.TextToken.I.size()) __builtin_trap();
        }
        if (scanner.Symbol != SymEof) __builtin_trap(); // every step consumes input
    } catch (const EParseError&) {
    }
    TColor c = 0;
    THtmlScanner::ColorFromString(s, c);
    UrlToDosPath(s);
    AttributeInteger(s);
    return 0;
}
