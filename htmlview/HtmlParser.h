// The HTML parser: the scanner's symbols built into a document of sections (paragraphs,
// headings, lists, preformatted text, rules, tables, pictures, forms). A parse never lets
// an exception out except a resource failure; bad markup is skipped.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/HtmlScanner.h"
#include "htmlview/HtmlSections.h"

class TSection;
class TLinkLines;
class ThtmlTable;
class TFormControlObj;

using TScriptEvent = std::function<void(TObject* sender, const std::string& name, const std::string& language,
                                        const std::string& script)>;
using TSoundType = std::function<void(TObject* sender, const std::string& src, int32_t loop, bool terminate)>;
using TMetaType = std::function<void(TObject* sender, const std::string& httpEq, const std::string& name,
                                     const std::string& content)>;

class THtmlParser : public THtmlScanner {
public:
    THtmlParser();
    ~THtmlParser() override;

    // anchorNames receives each NAME of an A with its section as the object (may be null).
    void ParseHtmlText(const std::string& text, TSectionList& list, TStringList* anchorNames,
                       TIncludeType onInclude = {}, TSoundType onSound = {}, TMetaType onMeta = {});
    void ParseTextAsPreformatted(const std::string& text, TSectionList& list, TStringList* anchorNames);

    // Build state read by the sections.
    uint8_t StyleBits = 0;
    uint8_t SubSup = 0;
    // After a parse.
    std::string Title, BaseHref, BaseTarget;
    TScriptEvent OnScript;
    TObject* Viewer = nullptr; // the sender of the events
    // Nesting caps: deeper blocks and tables are read as plain content.
    static constexpr int MaxBlockDepth = 64;
    static constexpr int MaxTableDepth = 16;
    // With CompactLinkLines, a link line written exactly as the line before it (title aside) is
    // read straight from the source into the run; off, every line is built as a section first.
    // The document is the same either way.
    bool FastLinkLines = true;
    // Lines the last parse read so (for tests and benchmarks).
    int LinkLinesReadFast = 0;

private:
    // The handler of a tag that may stand anywhere in running text; sym is the tag's symbol.
    using TagHandler = void (THtmlParser::*)(int sym, int level);
    static const std::array<TagHandler, SymCount>& TextTags();

    void InitBuild(TSectionList& list);
    void FinishBuild();
    void ParseBody(int level, const SymSet& closing);
    bool ParseTextTag(int level, const SymSet& closing);
    void ParseCommon(int level);
    void ParseLists(int level, int sym, const SymSet& closing);
    void ParseNestedList(int level, int sym, const SymSet& closing);
    void ParseLoneItem();
    void ParseTable(int level);
    void ParsePre(int level);
    void ParseTextMode();
    bool ParseFont(int sym, bool inPre);
    bool ParseBigSmall(int sym, bool inPre);
    void ParseSelect(TFormControlObj* ctrl);
    void ParseTextArea(TFormControlObj* ctrl);
    void ParseScript();
    void ParseMap();
    void DoMeta();
    void DoBody(int level);
    void AddRule();
    void Anchor(int level);
    void OpenForm();
    void FormControl(int sym, bool noBreak);

    // Tag handlers of running text (see TextTags).
    void TagStyle(int sym, int level);
    void TagFixed(int sym, int level);
    void TagFixedEnd(int sym, int level);
    void TagParagraph(int sym, int level);
    void TagSubSup(int sym, int level);
    void TagSubSupEnd(int sym, int level);
    void TagBreak(int sym, int level);
    void TagHeading(int sym, int level);
    void TagHeadingEnd(int sym, int level);
    void TagAddress(int sym, int level);
    void TagAddressEnd(int sym, int level);
    void TagPre(int sym, int level);
    void TagImage(int sym, int level);
    void TagAnchor(int sym, int level);
    void TagAnchorEnd(int sym, int level);
    void TagText(int sym, int level);
    void TagTable(int sym, int level);
    void TagFormControl(int sym, int level);
    void TagForm(int sym, int level);
    void TagFormEnd(int sym, int level);
    void TagIgnored(int sym, int level);
    void TagFont(int sym, int level);
    void TagBigSmall(int sym, int level);
    void TagMap(int sym, int level);
    void TagScript(int sym, int level);
    void TagNoBreak(int sym, int level);
    void TagWordBreak(int sym, int level);

    void CloseSection();
    // The current section, its line taken into a run of link lines, goes.
    void DropAbsorbedSection();

    // Link lines read straight from the source (HtmlParserLinkLines.cpp). Each BR starts
    // watching the line after it: a line read as NOBR, text, A (a link), text, the ends of NOBR
    // and A, BR, one symbol after the other, and taken into a run, is learned as the pattern of
    // the lines after it; a line that follows the pattern (another title in the same place of
    // the link and the text) is appended to the run without building its section.
    void WatchLine(int sym);
    void StartWatchingLine();
    bool LearnLinkLine();
    bool ReadLinkLine();
    struct TLineWatch {
        int Step = -1; // -1 not a link line
        uint32_t NextSymbol = 0;
        int32_t Start = 0;
        TSection* Section = nullptr;
        size_t FontDepth = 0;
        int32_t HrefStart = 0, HrefEnd = 0;
    };
    struct TLinkLinePattern {
        TLinkLines* Run = nullptr; // the run the lines go to, last in Cell
        TCell* Cell = nullptr;
        std::string Head, Mid, Tail; // the line's source before the link's title, between, after
        std::string UrlPrefix;       // the link before its title
        char Quote = '"';
        int32_t MarkOffset = 0;  // the mark's source from the line's start
        int32_t BreakOffset = 0; // the BR's '<' before the line's last character
    };
    TLineWatch watch_;
    TLinkLinePattern pattern_;
    // The section the last CloseSection took into a run, and the run.
    TSection* absorbed_ = nullptr;
    TLinkLines* absorbedBy_ = nullptr;
    std::string lineTitle_, lineUrl_;
    void EnsureSection(int level);
    void NewSection(uint8_t justify, int level);
    void RefreshFont();
    void EndLink();
    bool PushFont();
    bool PushFixedFont();
    void PopFont();
    TMyFont& Font() { return fontStack_.back(); }
    uint8_t AlignOf(const TAttribute* a, uint8_t dflt) const;
    void StyleSymbol(int sym);
    ThtmlForm* CurrentFormOrNew();

    TSectionList* Document = nullptr;
    TCell* CurrentCell = nullptr;
    std::unique_ptr<TSection> CurrentSection;
    // The fonts open, the current one last; room for the most kept at once is made once, so a
    // push neither allocates nor moves the fonts below it.
    std::vector<TMyFont> fontStack_;
    uint8_t Justify = 1;
    int BaseFontSize = 3;
    TUrlTarget UrlTarget;
    bool InLink = false;
    ThtmlForm* CurrentForm = nullptr;
    TStringList* AnchorNames = nullptr;
    TSoundType onSound_;
    TMetaType onMeta_;
    int blockDepth_ = 0;
    int tableDepth_ = 0;
};
