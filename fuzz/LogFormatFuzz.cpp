// The log file's reader on arbitrary bytes: whatever a damaged or foreign file
// holds, the records read from it write back as lines that read as the same
// records, and trimming to a size limit keeps exactly the newest records that
// first reach the limit.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "logfile/MvLogFormat.h"

using namespace mv::logfile;

namespace {

void Require(bool Condition) {
    if (!Condition) std::abort();
}

std::string_view WithoutLineBreak(std::string_view Line) {
    Require(Line.size() >= 2 && Line.substr(Line.size() - 2) == "\r\n");
    return Line.substr(0, Line.size() - 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    const std::string_view Text(data ? reinterpret_cast<const char*>(data) : "", size);
    // The first two bytes choose a size limit; the rest is the file.
    const std::size_t Limit = size >= 2 ? (static_cast<std::size_t>(data[0]) << 8 | data[1]) % 2048 : 0;

    TMvLogRecordList Read;
    Read.AppendFromText(Text);
    for (std::size_t I = 0; I < Read.Count(); ++I) {
        const std::string Line = FormatLogLine(Read[I]);
        const std::string_view Bare = WithoutLineBreak(Line);
        Require(Bare.find_first_of("\r\n") == std::string_view::npos);
        TMvLogRecord Again;
        Require(ParseLogLine(Bare, Again));
        Require(Again == Read[I]);
    }

    // Written out and read back, the list is the same list.
    TMvLogRecordList Reread;
    Reread.AppendFromText(Read.ToText());
    Require(Reread.Count() == Read.Count());
    for (std::size_t I = 0; I < Read.Count(); ++I)
        Require(Reread[I] == Read[I]);

    // The size limit keeps a suffix: the fewest newest records whose lines reach it.
    const std::size_t Before = Reread.Count();
    const bool Dropped = Reread.ApplySizeLimit(Limit);
    const std::size_t Kept = Reread.Count();
    Require(Kept <= Before && Dropped == (Kept < Before));
    for (std::size_t I = 0; I < Kept; ++I)
        Require(Reread[I] == Read[Before - Kept + I]);
    std::size_t KeptLength = 0;
    for (std::size_t I = 0; I < Kept; ++I)
        KeptLength += FormatLogLine(Reread[I]).size();
    if (Limit == 0) Require(!Dropped);
    if (Dropped) {
        Require(Kept > 0 && KeptLength >= Limit);
        Require(KeptLength - FormatLogLine(Reread[0]).size() < Limit);
    }
    return 0;
}
