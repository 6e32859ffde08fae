// Reading the lines of the store's lists.
#include "store/StoreLists.h"

#include "base/StrUtils.h"
#include "base/StringList.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

// CompareText's folding as a table: a-z read as A-Z, every other byte as itself.
constexpr std::array<unsigned char, 256> UpperTable = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return table;
}();

// CompareText(a, b): the order TStringList::Sort gives a list that is not case sensitive.
int CompareFolded(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = UpperTable[static_cast<unsigned char>(a[i])];
        const unsigned char cb = UpperTable[static_cast<unsigned char>(b[i])];
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

std::string ListLineTitle(std::string_view line) {
    const size_t eq = line.rfind('=');
    return std::string(eq == std::string_view::npos ? line : line.substr(0, eq));
}

int32_t ListLineID(std::string_view line) {
    const size_t eq = line.rfind('=');
    int32_t id = -1;
    if (eq == std::string_view::npos || !TryStrToInt(line.substr(eq + 1), id)) return -1;
    return id;
}

void TListLines::Add(std::string_view title) {
    lines_.emplace_back(bytes_.size(), title.size());
    bytes_.append(title);
}

void TListLines::Add(std::string_view title, int64_t id) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, id).ptr;
    const size_t start = bytes_.size();
    bytes_.append(title);
    bytes_ += '=';
    bytes_.append(digits, end);
    lines_.emplace_back(start, bytes_.size() - start);
}

std::unique_ptr<TStringList> TListLines::List(bool sorted) {
    if (lines_.empty()) return nullptr;
    if (sorted) SortLines();
    auto list = std::make_unique<TStringList>();
    std::string line;
    for (const auto& at : lines_) {
        line.assign(Line(at));
        list->Add(line);
    }
    return list;
}

std::vector<std::string> TListLines::Titles(bool sorted) {
    if (sorted) SortLines();
    std::vector<std::string> titles;
    titles.reserve(lines_.size());
    for (const auto& at : lines_) {
        const std::string_view line = Line(at);
        titles.emplace_back(line.substr(0, line.rfind('=')));
    }
    return titles;
}

// A three-way radix quicksort on the folded bytes: each pass splits the lines by their byte at one
// depth, so the long beginnings that titles share ("Topic 1...") are read once per line instead
// of once per comparison. Lines that compare equal keep the order they were added in (they lie
// in the buffer in that order), as TStringList's stable sort keeps them.
void TListLines::SortLines() {
    SortRange(lines_.data(), lines_.size(), 0);
}

// The folded byte at depth plus one; 0 past the end, so that a line comes before those it begins.
int TListLines::ByteAt(const std::pair<size_t, size_t>& line, size_t depth) const {
    return depth < line.second ? UpperTable[static_cast<unsigned char>(bytes_[line.first + depth])] + 1 : 0;
}

void TListLines::SortRange(std::pair<size_t, size_t>* lines, size_t count, size_t depth) {
    const auto byAdding = [](const auto& a, const auto& b) { return a.first < b.first; };
    while (count > 1) {
        if (count < 12) {
            // Few lines: compare what is left of them after the bytes they share.
            std::sort(lines, lines + count, [&](const auto& a, const auto& b) {
                const int order = CompareFolded(Line(a).substr(std::min(depth, a.second)),
                                                Line(b).substr(std::min(depth, b.second)));
                return order != 0 ? order < 0 : a.first < b.first;
            });
            return;
        }
        int pivots[3] = {ByteAt(lines[0], depth), ByteAt(lines[count / 2], depth),
                         ByteAt(lines[count - 1], depth)};
        std::sort(pivots, pivots + 3);
        const int pivot = pivots[1];
        // [0, less) below the pivot, [less, more) equal to it, [more, count) above it.
        size_t less = 0, i = 0, more = count;
        while (i < more) {
            const int byte = ByteAt(lines[i], depth);
            if (byte < pivot)
                std::swap(lines[less++], lines[i++]);
            else if (byte > pivot)
                std::swap(lines[i], lines[--more]);
            else
                ++i;
        }
        // The smaller slices are sorted by a call of their own and the largest in this loop, so
        // that calls nest no deeper than the number of times a count can halve.
        struct TSlice {
            std::pair<size_t, size_t>* Lines;
            size_t Count;
            size_t Depth;
            bool Ended; // lines that ended at this depth: equal, so in the order added
        };
        TSlice slices[3] = {{lines, less, depth, false},
                            {lines + less, more - less, depth + 1, pivot == 0},
                            {lines + more, count - more, depth, false}};
        TSlice* largest = std::max_element(
            slices, slices + 3, [](const TSlice& a, const TSlice& b) { return a.Count < b.Count; });
        for (TSlice& slice : slices) {
            if (&slice == largest) continue;
            if (slice.Ended)
                std::sort(slice.Lines, slice.Lines + slice.Count, byAdding);
            else
                SortRange(slice.Lines, slice.Count, slice.Depth);
        }
        if (largest->Ended) {
            std::sort(largest->Lines, largest->Lines + largest->Count, byAdding);
            return;
        }
        lines = largest->Lines;
        count = largest->Count;
        depth = largest->Depth;
    }
}
