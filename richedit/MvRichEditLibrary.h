// The process-wide rich-edit library: OLE initialisation, loading RICHED20.DLL
// (or RICHED32.DLL), its version class, and the editor's clipboard formats.
#pragma once

#include <windows.h>

#include <cstdint>

// Version class of the loaded library: 1 = RICHED32.DLL or none, 2 and up =
// RICHED20.DLL by its file version. Loads the library on first use.
std::uint8_t RichEditVersion();
// The module of the loaded library, nullptr when none loaded.
HMODULE RichEditModule();
// The window class the control creates: "RichEdit20A", or "RICHEDIT" for version 1.
const char* RichEditClassName();
// Runs the one-time set-up (OLE for this thread first, then the library and the
// clipboard formats). Every control calls it before its window exists.
void EnsureRichEditLibrary();
// Whether OleInitialize succeeded for the GUI thread.
bool RichEditOleReady();

struct TRichEditClipboardFormats {
    UINT EmbeddedObject = 0; // "Embedded Object"
    UINT LinkSource = 0;     // "Link Source"
    UINT Rtf = 0;            // "Rich Text Format"
    UINT RtfNoObjects = 0;   // "Rich Text Format Without Objects"
};
const TRichEditClipboardFormats& RichEditClipboardFormats();

// For tests: pretend a different library version (0 restores the real one).
void SetRichEditVersionOverride(std::uint8_t Version);
