// TMvPluginCallRecord: which call into a plug-in module runs now, kept in a
// small file in the plug-in folder so that it outlives a process that the
// module ends from inside the call (an access violation, an abort,
// ExitProcess: any way at all). The next start reads it back
// (TakeInterrupted) and the program switches that plug-in off.
//
// The file is one line of LineLength bytes while a call runs: ">", the
// module's path, a tab, what the module was doing, blanks up to the length,
// CR LF. Between calls its first byte is a blank. Entering a call writes its
// line; leaving writes the line of the call it was nested in again (a handler
// that opens another topic, whose handler runs), or the blank byte when no call
// is left. So a call costs two writes into a file held open for the run (on
// Windows, copies into a view of it: no system call), and nothing is flushed:
// the system keeps what was written when the process ends.
#pragma once

#include "plugins/MvPluginPlatform.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A call that was running when a process ended.
struct TMvInterruptedCall {
    std::string FileName; // the module's path
    std::string What;     // what the module was doing ("being loaded", ...)
};

class TMvPluginCallRecord {
public:
    static constexpr uint32_t LineLength = 512;
    // A call's line, made once per call site and shared by its calls. What
    // fits "while it was ...": "being loaded", "running its command ...".
    using TLine = std::shared_ptr<const std::string>;
    static TLine Line(const std::string& ModuleFileName, const std::string& What);

    TMvPluginCallRecord() = default;
    // Close().
    ~TMvPluginCallRecord();
    TMvPluginCallRecord(const TMvPluginCallRecord&) = delete;
    TMvPluginCallRecord& operator=(const TMvPluginCallRecord&) = delete;

    // Creates the file (emptying what an earlier run left there) unless this
    // record was opened before. When it cannot be made, calls run unrecorded.
    void Open(IMvPluginPlatform& Platform, const std::string& FileName);
    bool Opened() const { return FOpened; }
    // Closes the file and removes it when no call runs (a record that a call
    // still needs is left as it is).
    void Close() noexcept;

    // Marks one call as running from its construction to its end, nested in
    // the calls that run already. Record may be null: nothing is recorded.
    class TCall {
    public:
        TCall(TMvPluginCallRecord* Record, TLine Line);
        ~TCall() {
            if (FRecord) FRecord->Leave();
        }
        TCall(const TCall&) = delete;
        TCall& operator=(const TCall&) = delete;

    private:
        TMvPluginCallRecord* FRecord;
    };

    // The call that was running when an earlier process ended, from the file
    // FileName, which is then removed. Nothing when that process ended between
    // calls, or left no file.
    static std::optional<TMvInterruptedCall> TakeInterrupted(IMvPluginPlatform& Platform,
                                                             const std::string& FileName);

private:
    void Enter(TLine Line);
    void Leave() noexcept;

    IMvPluginPlatform* FPlatform = nullptr;
    std::string FFileName;
    std::unique_ptr<IMvPluginCallFile> FFile;
    bool FOpened = false;
    // The lines of the calls running now, outermost first.
    std::vector<TLine> FRunning;
};
