// TMvLogFile: a non-visual component that keeps log records in memory, mirrors
// them to a text file (format in MvLogFormat.h) and trims the oldest records
// past a size limit. The file is rewritten whole on every change; it stays open
// for that between changes (see TInPlaceFile), and readers may open it.
#pragma once

#include "gui/MvComponent.h"
#include "logfile/MvFileReplace.h"
#include "logfile/MvLogFormat.h"

#include <cstdint>
#include <string>
#include <vector>

class TStream;

class TMvLogFile : public TMvComponent {
public:
    explicit TMvLogFile(TComponent* AOwner);
    // Saves when AutoSave is on; a failure then is dropped, never raised.
    ~TMvLogFile() override;

    const std::string& FileName() const { return FFileName; }
    // Stores the name and, when that file exists, loads its records in place
    // of the ones in memory (the file itself is not rewritten).
    void SetFileName(const std::string& Value);
    // Records are added only while Active.
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    // True only when set while FileName is not empty.
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool Value) { FAutoSave = Value && !FFileName.empty(); }
    // In characters of the file; 0 for no limit. Applied after each record.
    int32_t SizeLimit = 0;

    // Not used by the program; kept for forms that assign them.
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    int Count() const { return static_cast<int>(FRecords.Count()); }
    const mv::logfile::TMvLogRecord& Records(int Index) const;

    // The longest title or description of one record, in characters.
    static constexpr std::size_t MaxRecordLength = 1024;

    // Appends a record, trims to SizeLimit and saves (AutoSave). A title or
    // description longer than MaxRecordLength, or than a quarter of
    // SizeLimit, is cut (ending in "..."). A file that
    // cannot be written raises EFCreateError; the record stays in memory.
    void AddLogRecord(const std::string& Time, const std::string& Title, const std::string& Description);
    void ClearLog();
    void DeleteLogRecord(int Index);

    void SaveLogToFile(const std::string& FileName);
    void SaveLogToStream(TStream& Stream);
    // Replaces the records with the file's (EFOpenError when it cannot be
    // opened). Neither the size limit nor AutoSave applies while loading.
    void LoadLogFromFile(const std::string& FileName);
    void LoadLogFromStream(TStream& Stream);
    void AutoSaveLog();

private:
    void ApplySizeLimit();
    std::size_t RecordLimit() const;

    mv::logfile::TMvLogRecordList FRecords;
    TInPlaceFile FFile;
    std::string FFileName;
    bool FActive = true;
    bool FAutoSave = false;
};

// Whether a file can be written in Folder now: a new one can be made there and its disk is not
// full, so a read-only folder, a full disk and a missing folder all say no.
bool CanWriteInFolder(const std::string& Folder);
// The first of Folders that CanWriteInFolder, "" when none can.
std::string FirstWritableFolder(const std::vector<std::string>& Folders);

// Where a program's log goes: its own folder when that can be written, else the first of Elsewhere
// that can (the settings' folder, the temporary folder). A log kept elsewhere opens with FirstLine,
// which says where it is and why; beside the program FirstLine is "" (and so when no folder can be
// written: the log then stays in memory).
struct TLogPlace {
    std::string Folder;
    std::string FirstLine;
};
TLogPlace ChooseLogPlace(const std::string& ProgramFolder, const std::vector<std::string>& Elsewhere);
