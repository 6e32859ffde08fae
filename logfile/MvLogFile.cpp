// The log file component.
#include "logfile/MvLogFile.h"

#include "base/Exceptions.h"
#include "base/FileInfo.h"
#include "base/Streams.h"
#include "logfile/MvFileReplace.h"

#include <algorithm>

#include <sys/stat.h>

namespace {

bool IsExistingFile(const std::string& FileName) {
    struct stat Info {};
    return !FileName.empty() && stat(FileName.c_str(), &Info) == 0 && (Info.st_mode & S_IFMT) == S_IFREG;
}

} // namespace

using mv::logfile::TMvLogRecord;

TMvLogFile::TMvLogFile(TComponent* AOwner) : TMvComponent(AOwner) {}

TMvLogFile::~TMvLogFile() {
    try {
        AutoSaveLog();
    } catch (...) {
        // A log that cannot be written at the end is not worth a crash.
    }
}

const TMvLogRecord& TMvLogFile::Records(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FRecords[static_cast<std::size_t>(Index)];
}

void TMvLogFile::SetFileName(const std::string& Value) {
    // The file written so far is let go of, whatever comes next.
    FFile.Close();
    FFileName = Value;
    if (IsExistingFile(FFileName)) LoadLogFromFile(FFileName);
}

std::size_t TMvLogFile::RecordLimit() const {
    // A record never takes more than a quarter of the size limit, so one long
    // text cannot push every earlier record out.
    std::size_t Limit = MaxRecordLength;
    if (SizeLimit > 0)
        Limit = std::min(Limit, std::max<std::size_t>(static_cast<std::size_t>(SizeLimit) / 4, 16));
    return Limit;
}

void TMvLogFile::AddLogRecord(const std::string& Time, const std::string& Title,
                              const std::string& Description) {
    if (!FActive) return;
    const std::size_t Limit = RecordLimit();
    auto Cut = [Limit](const std::string& Text) {
        return Text.size() <= Limit ? Text : Text.substr(0, Limit - 3) + "...";
    };
    FRecords.Add({Time, Cut(Title), Cut(Description)});
    ApplySizeLimit();
    AutoSaveLog();
}

void TMvLogFile::ApplySizeLimit() {
    if (SizeLimit > 0) FRecords.ApplySizeLimit(static_cast<std::size_t>(SizeLimit));
}

void TMvLogFile::ClearLog() {
    FRecords.Clear();
    AutoSaveLog();
}

void TMvLogFile::DeleteLogRecord(int Index) {
    Records(Index);
    FRecords.Delete(static_cast<std::size_t>(Index));
    AutoSaveLog();
}

void TMvLogFile::SaveLogToFile(const std::string& FileName) {
    if (FileName == FFileName)
        FFile.Rewrite(FileName, FRecords.ToText());
    else
        SaveFileReplacing(FileName, FRecords.ToText());
}

void TMvLogFile::SaveLogToStream(TStream& Stream) {
    const std::string Text = FRecords.ToText();
    Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void TMvLogFile::LoadLogFromFile(const std::string& FileName) {
    // Reading denies writers, this component's own open file included.
    if (FileName == FFileName) FFile.Close();
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadLogFromStream(File);
}

void TMvLogFile::LoadLogFromStream(TStream& Stream) {
    std::string Text;
    char Buffer[16384];
    for (;;) {
        int64_t Read = Stream.Read(Buffer, sizeof Buffer);
        if (Read <= 0) break;
        Text.append(Buffer, static_cast<std::size_t>(Read));
    }
    // Replaced in memory only: the file on disk is not emptied first.
    FRecords.Clear();
    FRecords.AppendFromText(Text);
}

void TMvLogFile::AutoSaveLog() {
    if (FAutoSave) SaveLogToFile(FFileName);
}

bool CanWriteInFolder(const std::string& Folder) {
    // A full disk takes a new file's name but not its bytes.
    return !Folder.empty() && FolderWriteAccess(Folder) == TWriteAccess::Writable && FreeSpace(Folder) != 0;
}

std::string FirstWritableFolder(const std::vector<std::string>& Folders) {
    for (const std::string& Folder : Folders)
        if (CanWriteInFolder(Folder)) return Folder;
    return {};
}

TLogPlace ChooseLogPlace(const std::string& ProgramFolder, const std::vector<std::string>& Elsewhere) {
    if (CanWriteInFolder(ProgramFolder)) return {ProgramFolder, ""};
    const std::string Folder = FirstWritableFolder(Elsewhere);
    if (Folder.empty()) return {ProgramFolder, ""};
    return {Folder, "This log is kept in " + Folder + " because the program folder " + ProgramFolder +
                        " cannot be written."};
}
