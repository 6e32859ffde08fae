// The floor of a note window: a bare top-level window of the note window's size with a bare
// RichEdit20A where the note window has its editor, driven with the platform's messages alone.
#pragma once

#include <windows.h>

#include <string>

class TBareNoteWindow {
public:
    // Shown, in the foreground, the editor focused.
    TBareNoteWindow();
    ~TBareNoteWindow();
    TBareNoteWindow(const TBareNoteWindow&) = delete;
    TBareNoteWindow& operator=(const TBareNoteWindow&) = delete;

    HWND Form() const { return FForm; }
    HWND Editor() const { return FEditor; }
    // The RTF in, drawn once it is all there (as a note window holds its drawing for a load).
    void LoadRtf(const std::string& Rtf);
    std::string SaveRtf();
    // The plain text.
    std::string Text();
    // The OLE objects the text holds.
    long Objects();

private:
    HWND FForm = nullptr;
    HWND FEditor = nullptr;
};
