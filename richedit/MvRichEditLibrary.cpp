// Loading of the rich-edit library, once per process.
#include "richedit/MvRichEditLibrary.h"

#include "richedit/MvRichEditText.h"

#include <ole2.h>

#include <vector>

namespace {

// Keeps the process error mode while the libraries are probed.
class TErrorModeGuard {
public:
    explicit TErrorModeGuard(UINT Mode) : FOld(SetErrorMode(Mode)) {}
    ~TErrorModeGuard() { SetErrorMode(FOld); }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    UINT FOld;
};

// LoadLibrary's old failure convention: handles 1..31 are error codes.
HMODULE LoadModule(const char* Name) {
    HMODULE M = LoadLibraryA(Name);
    if (reinterpret_cast<UINT_PTR>(M) < 32) return nullptr;
    return M;
}

bool QueryFileVersionMS(const char* FileName, DWORD& VersionMS) {
    DWORD Handle = 0;
    const DWORD Size = GetFileVersionInfoSizeA(FileName, &Handle);
    if (Size == 0) return false;
    std::vector<char> Info(Size);
    if (!GetFileVersionInfoA(FileName, 0, Size, Info.data())) return false;
    VS_FIXEDFILEINFO* Fixed = nullptr;
    UINT Len = 0;
    if (!VerQueryValueA(Info.data(), "\\", reinterpret_cast<void**>(&Fixed), &Len) || !Fixed ||
        Len < sizeof(VS_FIXEDFILEINFO))
        return false;
    VersionMS = Fixed->dwFileVersionMS;
    return true;
}

class TRichEditLibrary {
public:
    TRichEditLibrary() {
        // OLE comes first: the window asks for its OLE callback as soon as it exists.
        const HRESULT Hr = OleInitialize(nullptr);
        FOleInitialized = SUCCEEDED(Hr);
        {
            TErrorModeGuard Mode(SEM_NOOPENFILEERRORBOX);
            FModule = LoadModule("RICHED20.DLL");
            if (FModule) {
                FVersion = 2;
                DWORD MS = 0;
                if (QueryFileVersionMS("RICHED20.DLL", MS))
                    FVersion = mv::richedit::RichEditVersionFromFileVersion(MS);
            } else {
                FModule = LoadModule("RICHED32.DLL");
                FVersion = 1;
            }
        }
        FFormats.EmbeddedObject = RegisterClipboardFormatA("Embedded Object");
        FFormats.LinkSource = RegisterClipboardFormatA("Link Source");
        FFormats.Rtf = RegisterClipboardFormatA("Rich Text Format");
        FFormats.RtfNoObjects = RegisterClipboardFormatA("Rich Text Format Without Objects");
    }
    // OLE goes first: it hands the clipboard's data to the system then, and a copy made in a rich
    // edit is an object of the rich-edit library, which must still be loaded.
    ~TRichEditLibrary() {
        if (FOleInitialized) OleUninitialize();
        if (FModule) FreeLibrary(FModule);
    }
    TRichEditLibrary(const TRichEditLibrary&) = delete;
    TRichEditLibrary& operator=(const TRichEditLibrary&) = delete;

    HMODULE FModule = nullptr;
    std::uint8_t FVersion = 1;
    bool FOleInitialized = false;
    TRichEditClipboardFormats FFormats;
};

TRichEditLibrary& Library() {
    static TRichEditLibrary Lib;
    return Lib;
}

std::uint8_t GVersionOverride = 0;

} // namespace

void EnsureRichEditLibrary() {
    (void)Library();
}

std::uint8_t RichEditVersion() {
    const std::uint8_t Real = Library().FVersion;
    return GVersionOverride ? GVersionOverride : Real;
}

HMODULE RichEditModule() {
    return Library().FModule;
}

const char* RichEditClassName() {
    return RichEditVersion() == 1 ? "RICHEDIT" : "RichEdit20A";
}

bool RichEditOleReady() {
    return Library().FOleInitialized;
}

const TRichEditClipboardFormats& RichEditClipboardFormats() {
    return Library().FFormats;
}

void SetRichEditVersionOverride(std::uint8_t Version) {
    GVersionOverride = Version;
}
