// The log file's records and their text form: one line per record,
// "[" Time "]" Title ">" Description CR LF, with ">" in Title doubled.
// Window-free; the component that mirrors the list to disk is MvLogFile.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mv::logfile {

struct TMvLogRecord {
    std::string Time;
    std::string Title;
    std::string Description;
    friend bool operator==(const TMvLogRecord&, const TMvLogRecord&) = default;
};

// The record's line as it goes to the file, CR LF included. A CR or LF inside a
// field would split the record over two lines, so each is written as a blank.
std::string FormatLogLine(const TMvLogRecord& Record);

// Reads one line (without its line break). False when the line holds no
// "[...]" time stamp; text before the first "[" is ignored.
bool ParseLogLine(std::string_view Line, TMvLogRecord& Record);

// The records of a log, oldest first.
class TMvLogRecordList {
public:
    std::size_t Count() const { return FRecords.size(); }
    const TMvLogRecord& operator[](std::size_t Index) const { return FRecords.at(Index); }

    void Add(TMvLogRecord Record) { FRecords.push_back(std::move(Record)); }
    void Delete(std::size_t Index);
    void Clear() { FRecords.clear(); }

    // Drops the oldest records so that the newest ones whose lines first reach
    // Limit characters remain. The record that reaches the limit stays, so a
    // single record longer than Limit is kept. Limit 0 keeps everything.
    // Returns true when records were dropped.
    bool ApplySizeLimit(std::size_t Limit);

    // Every record's line, oldest first.
    std::string ToText() const;
    // Appends the records of Text; CR, LF or CR LF end a line, and lines that
    // do not parse are skipped.
    void AppendFromText(std::string_view Text);

private:
    std::vector<TMvLogRecord> FRecords;
};

} // namespace mv::logfile
