// The clipboard.
#include "gui/Clipbrd.h"

#include "base/Exceptions.h"

#include <cstring>

namespace {

// OpenClipboard/CloseClipboard; another program may hold it briefly, so retry.
class TOpenClipboard {
public:
    TOpenClipboard() {
        for (int i = 0; i < 10 && !open_; ++i) {
            open_ = OpenClipboard(nullptr) != 0;
            if (!open_) Sleep(10);
        }
        if (!open_) throw Exception("Cannot open clipboard");
    }
    ~TOpenClipboard() {
        if (open_) CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;

private:
    bool open_ = false;
};

} // namespace

UINT RegisterClipboardFormatName(const std::string& name) {
    return RegisterClipboardFormatA(name.c_str());
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

bool TClipboard::HasFormat(UINT format) const {
    return IsClipboardFormatAvailable(format) != 0;
}

std::string TClipboard::AsText() const {
    TOpenClipboard open;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return {};
    const char* text = static_cast<const char*>(GlobalLock(data));
    if (!text) return {};
    size_t limit = GlobalSize(data);
    std::string result(text, strnlen(text, limit));
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const std::string& text) {
    TOpenClipboard open;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem) throw EOutOfMemory();
    char* p = static_cast<char*>(GlobalLock(mem));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_TEXT, mem)) {
        GlobalFree(mem);
        throw Exception("Cannot set clipboard data");
    }
}

void TClipboard::Clear() {
    TOpenClipboard open;
    EmptyClipboard();
}
