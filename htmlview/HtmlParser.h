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
