// Reading the lines of the store's lists ("title=id"). A title may itself hold '=', so a line is
// split at its last '=' (a string list's Names/Values would split at the first).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TStringList;

// The title of a "title=id" line; the whole line when it holds no '='.
std::string ListLineTitle(std::string_view line);
// The id of a "title=id" line; -1 when the line holds no '=' or no valid id after it.
int32_t ListLineID(std::string_view line);

// The lines of one list as the store reads them: kept in one buffer, so that a row costs no
// allocation of its own, and handed out as a string list in the order read or in the order
// TStringList::Sort gives (ASCII letters folded, every other byte compared as it is).
class TListLines {
public:
    void Add(std::string_view title);
    // A "title=id" line.
    void Add(std::string_view title, int64_t id);
    bool Empty() const { return lines_.empty(); }
    // nullptr when empty.
    std::unique_ptr<TStringList> List(bool sorted);
    // The titles of the "title=id" lines, in the order List gives them.
    std::vector<std::string> Titles(bool sorted);

private:
    void SortLines();
    int ByteAt(const std::pair<size_t, size_t>& line, size_t depth) const;
    void SortRange(std::pair<size_t, size_t>* lines, size_t count, size_t depth);
    std::string_view Line(const std::pair<size_t, size_t>& at) const {
        return std::string_view(bytes_).substr(at.first, at.second);
    }

    std::string bytes_;
    std::vector<std::pair<size_t, size_t>> lines_; // start and length in bytes_
};
