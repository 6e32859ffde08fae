// The probe that decides whether a font's character advances are trusted.
#include "gui/TextAdvances.h"

#include <string>

namespace {

// Pairs and words whose extents the advances must reproduce besides each character alone.
constexpr const char* kProbes[] = {"AV",
                                   "Ty",
                                   "To",
                                   "WA",
                                   "LT",
                                   "fi",
                                   "ff",
                                   "r.",
                                   "Yo",
                                   "\"A\"",
                                   "The quick brown fox jumps over the lazy dog, 0123456789 "
                                   "(\xC0\xC9\xCE\xD5\xDC \xE0\xE9\xEE\xF5\xFC) \xAB\xA0\xBB"};

bool SumMatches(HDC dc, const int32_t (&advances)[256], const char* text, int n) {
    int64_t sum = 0;
    for (int k = 0; k < n; ++k)
        sum += advances[static_cast<unsigned char>(text[k])];
    SIZE size{};
    return GetTextExtentPoint32A(dc, text, n, &size) && size.cx == sum;
}

} // namespace

bool TrustedAdvances(HDC dc, int32_t (&advances)[256]) {
    static_assert(sizeof(INT) == sizeof(int32_t));
    if (!GetCharWidth32A(dc, 0, 255, reinterpret_cast<INT*>(advances))) return false;
    for (int c = 1; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        if (!SumMatches(dc, advances, &ch, 1)) return false;
    }
    std::string codePage;
    for (int c = 0x20; c < 0x100; ++c)
        codePage += static_cast<char>(c);
    if (!SumMatches(dc, advances, codePage.data(), static_cast<int>(codePage.size()))) return false;
    for (const char* probe : kProbes)
        if (!SumMatches(dc, advances, probe, lstrlenA(probe))) return false;
    return true;
}
