// The clipboard: registering formats, asking for them, plain text in and out.
#pragma once

#include <windows.h>

#include <string>

// RegisterClipboardFormatA; the same name gives the same number for the whole session.
UINT RegisterClipboardFormatName(const std::string& name);

class TClipboard {
public:
    bool HasFormat(UINT format) const;
    // CF_TEXT as 8-bit text ("" when there is none).
    std::string AsText() const;
    void SetAsText(const std::string& text);
    void Clear();
};

TClipboard& Clipboard();
