// Writing the text of unsaved notes into files of their own.
#include "app/UnsavedNotes.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"
#include "logfile/MvFileReplace.h"

#include <cstdio>
#include <exception>

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

void AppendUtf8(char32_t Code, std::string& Out) {
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | (Code >> 6));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | (Code >> 12));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Code >> 18));
        Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

// The characters Windows-1252 puts at 0x80..0x9F (0 where it has none).
constexpr char16_t Windows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string Utf8FromWindows1252(const std::string& Text) {
    std::string Out;
    for (const char C : Text) {
        const auto Byte = static_cast<unsigned char>(C);
        char32_t Code = Byte;
        if (Byte >= 0x80 && Byte < 0xA0)
            Code = Windows1252High[Byte - 0x80] ? Windows1252High[Byte - 0x80] : 0xFFFD;
        AppendUtf8(Code, Out);
    }
    return Out;
}

// Every line ends in CR LF, whichever line ends the control gave; a surrogate without its pair
// becomes U+FFFD rather than bytes no reader takes.
void AppendText(const std::u16string& Text, std::string& Out) {
    for (size_t I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I];
        if (C == u'\r' || C == u'\n') {
            if (C == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
            Out += "\r\n";
        } else if (C >= 0xD800 && C < 0xDC00 && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
                   Text[I + 1] < 0xE000) {
            AppendUtf8(0x10000 + ((char32_t(C) - 0xD800) << 10) + (char32_t(Text[I + 1]) - 0xDC00), Out);
            ++I;
        } else {
            AppendUtf8(C >= 0xD800 && C < 0xE000 ? 0xFFFD : C, Out);
        }
    }
    if (!Text.empty() && Text.back() != u'\r' && Text.back() != u'\n') Out += "\r\n";
}

// The names of one set of files: Base + ".txt" and Base + " - N.rtf" for the notes with RTF.
struct TKeptFiles {
    std::string Base;
    std::string Text() const { return Base + ".txt"; }
    std::string Rich(size_t Note) const { return Base + " - " + std::to_string(Note + 1) + ".rtf"; }
};

std::string FileNameOf(const std::string& Path) {
    const size_t Slash = Path.find_last_of("\\/");
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

TKeptFiles FreeNames(const std::string& Folder, const std::tm& Time, const std::vector<TUnsavedNote>& Notes) {
    char Stamp[32] = {};
    std::strftime(Stamp, sizeof Stamp, "%Y-%m-%d %H-%M-%S", &Time);
    const std::string Base = IncludeTrailingPathDelimiter(Folder) + "Unsaved notes " + Stamp;
    auto Taken = [&](const TKeptFiles& Files) {
        if (Exists(Files.Text())) return true;
        for (size_t I = 0; I < Notes.size(); ++I)
            if (!Notes[I].RichText.empty() && Exists(Files.Rich(I))) return true;
        return false;
    };
    TKeptFiles Files{Base};
    for (int N = 2; Taken(Files); ++N)
        Files.Base = Base + " (" + std::to_string(N) + ")";
    return Files;
}

// The text of every note; Rich names each note's .rtf that is there ("" for a note without one).
std::string TextFileBytes(const std::vector<TUnsavedNote>& Notes, const std::vector<std::string>& Rich) {
    std::string Bytes = "\xEF\xBB\xBF"
                        "These notes could not be saved into the notes file when Miravelund closed. "
                        "Copy their text back into the notes.\r\n";
    std::string Named;
    for (size_t I = 0; I < Notes.size(); ++I)
        if (!Rich[I].empty())
            Named += "    " + Utf8FromWindows1252(Notes[I].Address) + ": " + FileNameOf(Rich[I]) + "\r\n";
    if (!Named.empty())
        Bytes += "With their formatting and pictures, they are in files beside this one that a word "
                 "processor opens:\r\n" +
                 Named;
    for (const TUnsavedNote& Note : Notes) {
        Bytes += "\r\n===== " + Utf8FromWindows1252(Note.Address) + " =====\r\n";
        AppendText(Note.Text, Bytes);
    }
    return Bytes;
}

// A write that failed leaves no temporary file behind; a file it was to replace stays as it was.
bool TryWrite(const TWholeFileWriter& Write, const std::string& Path, std::string_view Data) {
    try {
        Write(Path, Data);
        return true;
    } catch (const std::exception&) {
        std::remove(ReplacementFileName(Path).c_str());
        return false;
    }
}

// The plain text first: it is what must not be lost, and on a disk that is nearly full (the usual
// reason a save failed) it is the file most likely to fit. Then each note's RTF as far as there is
// room, and the text again, naming them; should that fail, the first text stays, naming none (the
// RTF files stay beside it, under its name). Raises, leaving nothing, when the text itself cannot
// be written.
TKeptText WriteInFolder(const std::string& Folder, const std::tm& Time,
                        const std::vector<TUnsavedNote>& Notes, const TWholeFileWriter& Write) {
    const TKeptFiles Files = FreeNames(Folder, Time, Notes);
    std::vector<std::string> Rich(Notes.size());
    try {
        Write(Files.Text(), TextFileBytes(Notes, Rich));
    } catch (...) {
        std::remove(ReplacementFileName(Files.Text()).c_str());
        throw;
    }
    TKeptText Kept{Files.Text(), {}};
    bool AnyRich = false;
    for (size_t I = 0; I < Notes.size(); ++I) {
        if (Notes[I].RichText.empty() || !TryWrite(Write, Files.Rich(I), Notes[I].RichText)) continue;
        Rich[I] = Files.Rich(I);
        AnyRich = true;
    }
    if (AnyRich && TryWrite(Write, Files.Text(), TextFileBytes(Notes, Rich))) {
        for (const std::string& File : Rich)
            if (!File.empty()) Kept.RichFiles.push_back(File);
    }
    return Kept;
}

} // namespace

TKeptText WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                            const std::vector<TUnsavedNote>& Notes, const TWholeFileWriter& Write) {
    std::exception_ptr Failure;
    for (const std::string& Folder : Folders) {
        try {
            return WriteInFolder(Folder, Time, Notes, Write);
        } catch (const std::exception&) {
            Failure = std::current_exception();
        }
    }
    if (Failure) std::rethrow_exception(Failure);
    throw EFCreateError("No folder to write the unsaved notes into.");
}

TKeptText WriteUnsavedNotes(const std::vector<std::string>& Folders, const std::tm& Time,
                            const std::vector<TUnsavedNote>& Notes) {
    return WriteUnsavedNotes(Folders, Time, Notes, SaveFileReplacing);
}

} // namespace mv::app
