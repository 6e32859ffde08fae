// Name=value lists on arbitrary text: the settings file, the store's properties, a topic's meta
// lines and Plugins.ini are all read into them from files the user or another program may have
// damaged. The hashed list must answer every lookup exactly as a plain scan does, before and
// after edits, and its text and delimited forms must read back as the same lines.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/StrUtils.h"
#include "base/StringList.h"

namespace {

void Require(bool Condition) {
    if (!Condition) std::abort();
}

void RequireSameLines(const TStrings& A, const TStrings& B) {
    Require(A.Count() == B.Count());
    for (int I = 0; I < A.Count(); ++I)
        Require(A[I] == B[I]);
}

// The hashed list against the plain one, for every line and name they hold, in both cases.
void RequireSameLookups(const THashedStringList& Hashed, const TStringList& Plain) {
    RequireSameLines(Hashed, Plain);
    for (int I = 0; I < Plain.Count(); ++I) {
        const std::string Line = Plain[I];
        Require(Hashed.IndexOf(Line) == Plain.IndexOf(Line));
        for (const std::string& Name :
             {Plain.Names(I), UpperCase(Plain.Names(I)), LowerCase(Plain.Names(I))}) {
            Require(Hashed.IndexOfName(Name) == Plain.IndexOfName(Name));
            Require(Hashed.Values(Name) == Plain.Values(Name));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    const std::string Text(data ? reinterpret_cast<const char*>(data) : "", size);
    THashedStringList Hashed;
    TStringList Plain;
    Hashed.SetText(Text);
    Plain.SetText(Text);
    RequireSameLookups(Hashed, Plain);

    // Edits by name, as the windows make them: set a value, or remove the line with "".
    const int Edits = Plain.Count() < 16 ? Plain.Count() : 16;
    for (int I = 0; I < Edits && I < Plain.Count(); ++I) {
        const std::string Name = UpperCase(Plain.Names(I));
        if (Name.empty()) continue;
        const std::string Value = I % 2 ? std::string() : "v" + std::to_string(I);
        Hashed.SetValue(Name, Value);
        Plain.SetValue(Name, Value);
        RequireSameLookups(Hashed, Plain);
        if (!Value.empty()) Require(Hashed.Values(Name) == Value);
    }

    // Written as text and read back: the same lines.
    TStringList Reread;
    Reread.SetText(Hashed.Text());
    RequireSameLines(Reread, Hashed);

    // Written as delimited text (dots and double quotes, as dot-lines are) and read back.
    TStringList Dotted;
    Dotted.SetDelimiter('.');
    Dotted.SetQuoteChar('"');
    Dotted.Assign(Hashed);
    Dotted.SetDelimiter('.');
    Dotted.SetQuoteChar('"');
    TStringList Undotted;
    Undotted.SetDelimiter('.');
    Undotted.SetQuoteChar('"');
    Undotted.SetDelimitedText(Dotted.DelimitedText());
    RequireSameLines(Undotted, Dotted);
    return 0;
}
