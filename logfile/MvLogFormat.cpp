// The log file's line format and the size limit.
#include "logfile/MvLogFormat.h"

#include <stdexcept>

namespace mv::logfile {

namespace {

void AppendField(std::string& Out, std::string_view Field, bool DoubleGreater) {
    for (char C : Field) {
        if (C == '\r' || C == '\n')
            Out += ' ';
        else if (C == '>' && DoubleGreater)
            Out += ">>";
        else
            Out += C;
    }
}

std::size_t FormattedLength(const TMvLogRecord& Record) {
    std::size_t Greater = 0;
    for (char C : Record.Title)
        if (C == '>') ++Greater;
    // "[" + "]" + ">" + CR LF
    return Record.Time.size() + Record.Title.size() + Greater + Record.Description.size() + 5;
}

void AppendLogLine(std::string& Text, const TMvLogRecord& Record) {
    Text += '[';
    AppendField(Text, Record.Time, false);
    Text += ']';
    AppendField(Text, Record.Title, true);
    Text += '>';
    AppendField(Text, Record.Description, false);
    Text += "\r\n";
}

} // namespace

std::string FormatLogLine(const TMvLogRecord& Record) {
    std::string Line;
    Line.reserve(FormattedLength(Record));
    AppendLogLine(Line, Record);
    return Line;
}

bool ParseLogLine(std::string_view Line, TMvLogRecord& Record) {
    std::size_t Open = Line.find('[');
    if (Open == std::string_view::npos) return false;
    std::string_view AfterOpen = Line.substr(Open + 1);
    std::size_t Close = AfterOpen.find(']');
    if (Close == std::string_view::npos) return false;
    Record.Time.assign(AfterOpen.substr(0, Close));
    std::string_view Rest = AfterOpen.substr(Close + 1);

    // The title ends at the first ">" that is not part of a ">>" pair.
    std::size_t TitleEnd = Rest.size();
    for (std::size_t I = 0; I < Rest.size(); ++I) {
        if (Rest[I] != '>') continue;
        if (I + 1 < Rest.size() && Rest[I + 1] == '>') {
            ++I;
            continue;
        }
        TitleEnd = I;
        break;
    }
    std::string_view TitlePart = Rest.substr(0, TitleEnd);
    Record.Description.assign(TitleEnd < Rest.size() ? Rest.substr(TitleEnd + 1) : std::string_view());
    Record.Title.clear();
    for (std::size_t I = 0; I < TitlePart.size(); ++I) {
        Record.Title += TitlePart[I];
        if (TitlePart[I] == '>' && I + 1 < TitlePart.size() && TitlePart[I + 1] == '>') ++I;
    }
    return true;
}

void TMvLogRecordList::Delete(std::size_t Index) {
    if (Index >= FRecords.size()) throw std::out_of_range("Log record index out of range");
    FRecords.erase(FRecords.begin() + static_cast<std::ptrdiff_t>(Index));
}

bool TMvLogRecordList::ApplySizeLimit(std::size_t Limit) {
    if (Limit == 0) return false;
    std::size_t Sum = 0;
    std::size_t Index = FRecords.size();
    while (Index > 0) {
        --Index;
        Sum += FormattedLength(FRecords[Index]);
        if (Sum >= Limit) break;
    }
    if (Sum < Limit || Index == 0) return false;
    FRecords.erase(FRecords.begin(), FRecords.begin() + static_cast<std::ptrdiff_t>(Index));
    return true;
}

std::string TMvLogRecordList::ToText() const {
    // One buffer for the whole file: it is written after every record.
    std::size_t Length = 0;
    for (const TMvLogRecord& Record : FRecords)
        Length += FormattedLength(Record);
    std::string Text;
    Text.reserve(Length);
    for (const TMvLogRecord& Record : FRecords)
        AppendLogLine(Text, Record);
    return Text;
}

void TMvLogRecordList::AppendFromText(std::string_view Text) {
    std::size_t Start = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) End = Text.size();
        TMvLogRecord Record;
        if (ParseLogLine(Text.substr(Start, End - Start), Record)) FRecords.push_back(std::move(Record));
        if (End < Text.size() && Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n') ++End;
        Start = End + 1;
    }
}

} // namespace mv::logfile
