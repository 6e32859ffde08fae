// Small shared pieces of the HTML display: owning lists, attribute lists, the token
// buffer with one document position per character, link targets, URL-to-path helpers,
// Win32-compatible MulDiv and clamping of attribute integers. No windows.h here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"

// Colours as the rest of the program holds them: $00BBGGRR, system colours with the top
// bit, the two special values.
using TColor = int32_t;
constexpr TColor hvColorNone = 0x1FFFFFFF;
constexpr TColor hvPaletteRelative = 0x02000000;
constexpr TColor hvSysWindow = static_cast<TColor>(0x80000005u);
constexpr TColor hvSysBtnFace = static_cast<TColor>(0x8000000Fu);
constexpr TColor hvSysBtnShadow = static_cast<TColor>(0x80000010u);
constexpr TColor hvSysBtnHighlight = static_cast<TColor>(0x80000014u);
constexpr TColor hvSysWindowText = static_cast<TColor>(0x80000008u);

// HtmlMulDiv: MulDiv with Win32's meaning: 64-bit intermediate, rounded half away from zero, -1 on a
// zero divisor or when the result does not fit 32 bits.
int32_t HtmlMulDiv(int32_t number, int32_t numerator, int32_t denominator);

// Pixel sizes and similar integers taken from attributes are kept to this range before
// any arithmetic touches them.
constexpr int32_t hvMaxPixels = 32000;
inline int32_t ClampInt(int64_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : static_cast<int32_t>(v));
}

// A list that owns (and frees) its items.
template <typename T> class TFreeList {
public:
    TFreeList() = default;
    TFreeList(const TFreeList&) = delete;
    TFreeList& operator=(const TFreeList&) = delete;
    TFreeList(TFreeList&&) noexcept = default;
    TFreeList& operator=(TFreeList&&) noexcept = default;

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    T* operator[](int i) const { return items_[static_cast<size_t>(i)].get(); }
    T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
    T* Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    void Reserve(size_t n) { items_.reserve(n); }
    void ShrinkToFit() { items_.shrink_to_fit(); }
    void Insert(int i, std::unique_ptr<T> item) { items_.insert(items_.begin() + i, std::move(item)); }
    std::unique_ptr<T> Extract(int i) {
        auto p = std::move(items_[static_cast<size_t>(i)]);
        items_.erase(items_.begin() + i);
        return p;
    }
    void Delete(int i) { items_.erase(items_.begin() + i); }
    void Clear() { items_.clear(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// One scanned attribute: its symbol, its integer value and its string value.
struct TAttribute {
    int Which = 0;
    int32_t Value = 0;
    std::string Name;
};

class TAttributeList {
public:
    void Clear() { items_.clear(); }
    void Add(TAttribute a) { items_.push_back(std::move(a)); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TAttribute& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    // The first attribute of that symbol, or nullptr.
    const TAttribute* Find(int sym) const;
    bool Has(int sym) const { return Find(sym) != nullptr; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TAttribute> items_;
};

// Text with one integer (a document position) per character. Both grow geometrically.
class TokenObj {
public:
    void AddChar(char ch, int32_t index) {
        S.push_back(ch);
        I.push_back(index);
    }
    void AddTokenObj(const TokenObj& t) {
        S += t.S;
        I.insert(I.end(), t.I.begin(), t.I.end());
    }
    void Clear() {
        S.clear();
        I.clear();
    }
    int Leng() const { return static_cast<int>(S.size()); }

    std::string S;
    std::vector<int32_t> I;
};

struct TUrlTarget {
    std::string URL;
    std::string Target;
    void Assign(const std::string& url, const std::string& target) {
        URL = url;
        Target = target;
    }
    void Clear() {
        URL.clear();
        Target.clear();
    }
};

// Percent escapes decoded in place, left to right, each once, while a '%' after the first
// character is followed by two hexadecimal digits; the first one that is not stops the decoding.
void DecodePercentEscapes(std::string& s);
// Escapes decoded; with a '/' in the text, "file:///" (or else "file://") removed once, '|' to
// ':' and '/' to '\'.
std::string UrlToDosPath(std::string_view url);
// UrlToDosPath, with the server root put in front of a result that starts with '\'.
std::string UrlToServerPath(std::string_view url, std::string_view serverRoot);
void ReplaceChar(char oldCh, char newCh, std::string& s);

// Where exported text goes: one operation.
class ITextSink {
public:
    virtual ~ITextSink() = default;
    virtual void Write(const char* text, int count) = 0;
};
// The text, then CR LF.
void WriteLine(ITextSink& sink, const char* text, int count);

class TStringSink : public ITextSink {
public:
    void Write(const char* text, int count) override { Text.append(text, static_cast<size_t>(count)); }
    std::string Text;
};
