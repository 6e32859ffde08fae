// The lower half of the HTML parser: characters read with line ends folded, comments and
// include directives skipped or expanded, and the input cut into symbols (tags with their
// attributes, text runs, entities, single characters). Also the colour rule. No windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Exceptions.h"
#include "base/StringList.h"
#include "htmlview/HtmlSymbols.h"
#include "htmlview/HtmlUtils.h"

class EParseError : public Exception {
public:
    EParseError() : Exception("Open Comment at End of HTML File") {}
};

// Sender, command, parameters (NAME="value" lines), the text to read in its place.
using TIncludeType = std::function<void(TObject* sender, const std::string& command, TStrings& params,
                                        std::string& includeText)>;

constexpr char EofChar = 26; // the end-of-input mark
constexpr char CR = 13;

class THtmlScanner {
public:
    THtmlScanner() = default;
    THtmlScanner(const THtmlScanner&) = delete;
    THtmlScanner& operator=(const THtmlScanner&) = delete;
    virtual ~THtmlScanner() = default;

    // Starts scanning a document (Position -1, document source, nothing in script).
    void BeginScan(std::string_view doc);
    // The scan is over: the copy of the document it read goes (a long page's copy is as large as
    // the page, and a viewer keeps its parser).
    void EndScan() {
        std::string().swap(doc_);
        docPos_ = 0;
    }
    void Advance();
    void Next();
    bool ScanTag();
    bool ScanAttribute(TAttribute& attr, std::string* scannedName = nullptr);
    bool ScanEntity();
    bool ScanText();
    static bool ColorFromString(std::string_view s, TColor& color);
    // Skips spaces and CRs.
    void SkipBlanks();

    int Symbol = SymNone;
    char CurrentChar = 0;
    char UpperChar = 0;
    int32_t Position = -1;
    int LineState = 0;
    TokenObj TextToken;
    TAttributeList Attributes;
    int32_t TagStart = 0;
    int HeadingLevel = 0;
    bool InScript = false;
    bool AfterParagraphSpace = false;
    // Whitespace becomes character 5 inside NOBR; kept here because the text scanner reads it.
    bool NoBreak = false;
    // Inside preformatted text spaces and line ends are kept.
    bool InPre = false;
    // Symbols read so far (each Next one more), so a reader can tell nothing came between two.
    uint32_t SymbolCount = 0;
    // The '>' of the last tag (-1 when the tag ran to the end). The quoted HREF value of the last
    // tag read as written ([HrefStart, HrefEnd), the quote at HrefEnd), when it held no entity or
    // line end (else HrefPlain is false).
    int32_t TagEnd = -1;
    int32_t HrefStart = 0, HrefEnd = 0;
    bool HrefPlain = false;

    TIncludeType OnInclude;
    TObject* IncludeSender = nullptr;

protected:
    // The raw reader (no folding) and the basic read (folding, comment end check).
    char ReadRaw();
    char PeekRaw() const;
    void BasicRead();
    bool AtDocumentEnd() const { return source_ == 0 && docPos_ >= doc_.size(); }
    void SkipToGreater();
    void SkipCommentBody();
    void RunInclude();
    // The document as given, and whether the current character is its byte at Position as
    // written (not from an include, not a folded line end or tab).
    std::string_view Source() const { return doc_; }
    bool AtSourceChar() const {
        return source_ == 0 && !inComment_ && Position >= 0 && docPos_ == static_cast<size_t>(Position) + 1 &&
               LineState == 0 && doc_[docPos_ - 1] == CurrentChar;
    }
    // Reads on after the document's character at gt, a tag's '>', as a scan of that tag would.
    void ResumeAfter(int32_t gt) {
        docPos_ = static_cast<size_t>(gt) + 1;
        Position = gt;
        LineState = 0;
        Advance();
    }

private:
    std::string doc_;
    size_t docPos_ = 0;
    std::string inc_;
    size_t incPos_ = 0;
    int source_ = 0;
    int savedSource_ = 0;
    bool inComment_ = false;
};

// Decimal integer of an attribute text: optional sign and digits only, else 0; values
// beyond 32 bits give 0 as well.
int32_t AttributeInteger(std::string_view s);
// A UTF-16 code unit in Windows-1252, or '?' when the code page has no such character.
char UnicodeToAnsi(uint16_t unit);
