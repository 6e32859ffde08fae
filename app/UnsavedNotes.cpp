// Writing the text of unsaved notes into a file of its own.
#include "app/UnsavedNotes.h"

#include "base/Streams.h"

namespace mv::app {

namespace {

bool Exists(const std::string& Path) {
    try {
        TFileStream Probe(Path, fmOpenRead | fmShareDenyNone);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string FreeName(const std::string& Folder, const std::tm& Time) {
    char Stamp[32] = {};
    std::strftime(Stamp, sizeof Stamp, "%Y-%m-%d %H-%M-%S", &Time);
    const std::string Base = Folder + "\\Unsaved notes " + Stamp;
    std::string Path = Base + ".txt";
    for (int N = 2; Exists(Path); ++N)
        Path = Base + " (" + std::to_string(N) + ").txt";
    return Path;
}

} // namespace

std::string WriteUnsavedNotes(const std::string& Folder, const std::tm& Time,
                              const std::vector<TUnsavedNote>& Notes) {
    std::string Bytes = "These notes could not be saved into the notes file when Miravelund closed. "
                        "Copy their text back into the notes.\r\n";
    for (const TUnsavedNote& Note : Notes) {
        Bytes += "\r\n===== " + Note.Address + " =====\r\n";
        // Every line ends in CR LF, whichever line ends the control gave.
        for (size_t I = 0; I < Note.Text.size(); ++I) {
            const char C = Note.Text[I];
            if (C == '\r' || C == '\n') {
                if (C == '\r' && I + 1 < Note.Text.size() && Note.Text[I + 1] == '\n') ++I;
                Bytes += "\r\n";
            } else {
                Bytes += C;
            }
        }
        if (!Note.Text.empty() && Note.Text.back() != '\r' && Note.Text.back() != '\n') Bytes += "\r\n";
    }
    const std::string Path = FreeName(Folder, Time);
    TFileStream File(Path, fmCreate);
    File.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    return Path;
}

} // namespace mv::app
