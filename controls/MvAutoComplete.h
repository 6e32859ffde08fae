// TMvAutoComplete: the shell's auto-complete object bound to an edit window, offering
// the strings of a list as the user types.
#pragma once

#include "base/StringList.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct IAutoComplete;

// What the auto-complete object does; the set is a byte. acoAutoComplete binds the
// object at all; the others are passed on to it (its default is to append).
enum TMvAutoCompleteOption : unsigned char {
    acoAutoComplete = 0x01,
    acoAutoSuggest = 0x02,        // a list of matches drops below the edit
    acoAutoAppend = 0x04,         // the first match is appended and selected
    acoSearch = 0x08,             // the list ends with a "Search for" entry
    acoFilterPrefixes = 0x10,     // "www." and "http://" are not matched
    acoUseTab = 0x20,             // Tab walks the list
    acoUpDownKeyDropsList = 0x40, // Up and Down open the list
    acoRtlReading = 0x80,         // the list reads right to left
};
using TMvAutoCompleteOptions = unsigned char;

// The flags the object takes for the options beyond acoAutoComplete (0: leave its default).
DWORD MvAutoCompleteFlags(TMvAutoCompleteOptions Options);

class TMvAutoComplete {
public:
    TMvAutoComplete() = default;
    ~TMvAutoComplete();
    TMvAutoComplete(const TMvAutoComplete&) = delete;
    TMvAutoComplete& operator=(const TMvAutoComplete&) = delete;

    // Binds the object to Edit, offering the strings of Source (8-bit text) as they are
    // whenever the object asks; false, with nothing bound, when the object cannot be made
    // or refuses the window. A binding in place is released first.
    bool Bind(HWND Edit, std::shared_ptr<const TStrings> Source, TMvAutoCompleteOptions Options);
    // Passes new options to a bound object.
    void SetOptions(TMvAutoCompleteOptions Options);
    void Release();
    bool Bound() const { return FObject != nullptr; }

private:
    IAutoComplete* FObject = nullptr; // one reference, released by Release
};
