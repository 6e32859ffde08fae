// Shared pieces of the HTML display: MulDiv, attribute lookup, URL-to-path helpers.
#include "htmlview/HtmlUtils.h"

#include "base/StrUtils.h"

int32_t HtmlMulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) return -1;
    int64_t p = static_cast<int64_t>(number) * numerator;
    bool negative = (p < 0) != (denominator < 0);
    uint64_t ap = p < 0 ? static_cast<uint64_t>(-p) : static_cast<uint64_t>(p);
    uint64_t ad = denominator < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(denominator))
                                  : static_cast<uint64_t>(denominator);
    uint64_t q = (ap + ad / 2) / ad;
    if (q > 0x7FFFFFFFull + (negative ? 1 : 0)) return -1;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

const TAttribute* TAttributeList::Find(int sym) const {
    for (const auto& a : items_)
        if (a.Which == sym) return &a;
    return nullptr;
}

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

void DecodePercentEscapes(std::string& s) {
    // One pass, left to right: a character that an escape produced is never read again, so
    // "%2541" stays the literal "%41" it encodes, and a long name costs linear time.
    size_t p = s.find('%');
    if (p == std::string::npos || p == 0) return;
    std::string out = s.substr(0, p);
    while (p < s.size()) {
        if (s[p] != '%') {
            out += s[p++];
            continue;
        }
        int hi = p + 2 < s.size() ? HexValue(s[p + 1]) : -1;
        int lo = hi >= 0 ? HexValue(s[p + 2]) : -1;
        if (lo < 0) { // not an escape: the rest stays as written
            out.append(s, p, std::string::npos);
            break;
        }
        out += static_cast<char>(hi * 16 + lo);
        p += 3;
    }
    s = std::move(out);
}

void ReplaceChar(char oldCh, char newCh, std::string& s) {
    for (char& c : s)
        if (c == oldCh) c = newCh;
}

std::string UrlToDosPath(std::string_view url) {
    std::string s(url);
    DecodePercentEscapes(s);
    if (s.find('/') != std::string::npos) {
        std::string upper = UpperCase(s);
        size_t p = upper.find("FILE:///");
        if (p != std::string::npos)
            s.erase(p, 8);
        else if ((p = upper.find("FILE://")) != std::string::npos)
            s.erase(p, 7);
        ReplaceChar('|', ':', s);
        ReplaceChar('/', '\\', s);
    }
    return s;
}

std::string UrlToServerPath(std::string_view url, std::string_view serverRoot) {
    std::string s = UrlToDosPath(url);
    if (!s.empty() && s[0] == '\\') s = std::string(serverRoot) + s;
    return s;
}

void WriteLine(ITextSink& sink, const char* text, int count) {
    sink.Write(text, count);
    sink.Write("\r\n", 2);
}
