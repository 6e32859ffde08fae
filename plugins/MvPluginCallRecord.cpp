// The record of the call into a plug-in module that runs now.
#include "plugins/MvPluginCallRecord.h"

namespace {

constexpr char Running = '>';
constexpr char Between = ' ';

// A line break or tab in a module's text must not break the line apart.
std::string OneLine(const std::string& Text) {
    std::string Line = Text;
    for (char& C : Line)
        if (static_cast<unsigned char>(C) < ' ') C = ' ';
    return Line;
}

} // namespace

TMvPluginCallRecord::TLine TMvPluginCallRecord::Line(const std::string& ModuleFileName,
                                                     const std::string& What) {
    std::string Text = Running + OneLine(ModuleFileName) + '\t' + OneLine(What);
    Text.resize(LineLength - 2, ' ');
    return std::make_shared<const std::string>(Text + "\r\n");
}

TMvPluginCallRecord::~TMvPluginCallRecord() {
    Close();
}

void TMvPluginCallRecord::Open(IMvPluginPlatform& Platform, const std::string& FileName) {
    if (FOpened) return;
    FOpened = true;
    FPlatform = &Platform;
    FFileName = FileName;
    FFile = Platform.CreateCallFile(FileName, LineLength);
    if (!FFile) return;
    // Between calls, or (opened while one runs) that call from now on.
    const std::string Blank = std::string(LineLength - 2, ' ') + "\r\n";
    FFile->WriteAt(0, FRunning.empty() ? Blank.data() : FRunning.back()->data(), LineLength);
}

void TMvPluginCallRecord::Close() noexcept {
    if (!FFile) return;
    FFile.reset();
    FPlatform->RemoveFile(FFileName);
}

TMvPluginCallRecord::TCall::TCall(TMvPluginCallRecord* Record, TLine Line) : FRecord(Record) {
    if (FRecord) FRecord->Enter(std::move(Line));
}

void TMvPluginCallRecord::Enter(TLine Line) {
    FRunning.push_back(std::move(Line));
    // A record that cannot be written leaves the call unrecorded; it still runs.
    if (FFile) FFile->WriteAt(0, FRunning.back()->data(), LineLength);
}

void TMvPluginCallRecord::Leave() noexcept {
    if (FRunning.empty()) return;
    FRunning.pop_back();
    if (!FFile) return;
    if (FRunning.empty())
        FFile->WriteAt(0, &Between, 1);
    else
        FFile->WriteAt(0, FRunning.back()->data(), LineLength);
}

std::optional<TMvInterruptedCall> TMvPluginCallRecord::TakeInterrupted(IMvPluginPlatform& Platform,
                                                                       const std::string& FileName) {
    const std::string Bytes = Platform.ReadFileStart(FileName, LineLength);
    Platform.RemoveFile(FileName);
    if (Bytes.empty() || Bytes[0] != Running) return std::nullopt;
    std::string Text = Bytes.substr(1, Bytes.find_first_of("\r\n") - 1);
    Text.erase(Text.find_last_not_of(' ') + 1);
    if (Text.empty()) return std::nullopt;
    const std::size_t Tab = Text.find('\t');
    if (Tab == std::string::npos) return TMvInterruptedCall{Text, {}};
    return TMvInterruptedCall{Text.substr(0, Tab), Text.substr(Tab + 1)};
}
