// The log view's bound: like the log file, it keeps the newest lines that
// first make up a given number of characters (each line counted with its
// CR LF), so that a long session's view, and its memory, stay the same size.
// Trimming waits until the lines exceed the limit by a slack, so that the
// oldest lines go a batch at a time (the edit control lays out all the lines
// after a change at the start). Plain C++, no windows: the log view asks it
// what to drop.
#pragma once

#include <cstddef>
#include <deque>

namespace mv::app {

class TBoundedLines {
public:
    TBoundedLines(std::size_t Limit, std::size_t Slack) : FLimit(Limit), FSlack(Slack) {}

    // What must go from the start of the text: so many of the oldest lines,
    // which with their line breaks are so many characters.
    struct TDrop {
        std::size_t Lines = 0;
        std::size_t Characters = 0;
    };
    // Notes a new line of Length characters (without its line break); returns
    // what of the oldest lines must go now. The newest line always stays.
    TDrop Add(std::size_t Length);

    std::size_t Lines() const { return FLengths.size(); }
    // The characters of the kept lines, line breaks included.
    std::size_t Characters() const { return FTotal; }

private:
    std::size_t FLimit;
    std::size_t FSlack;
    std::deque<std::size_t> FLengths;
    std::size_t FTotal = 0;
};

} // namespace mv::app
