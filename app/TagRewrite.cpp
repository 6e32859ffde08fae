// Tag words on dot-lines, renamed or taken out.
#include "app/TagRewrite.h"

#include "app/DotLines.h"
#include "app/TagEvents.h"
#include "base/StrUtils.h"

#include <algorithm>

namespace mv::app {

namespace {

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

// An item of a dot-line as DotLineTags splits it: where it stands (quotes included) and its
// text (quotes taken off, doubled quotes single).
struct TItem {
    std::size_t Start = 0, End = 0;
    std::string Value;
};

// The line split as delimited text with '.' between items, '"' as the quote and blanks also
// separating items, as DotLineTags splits it.
std::vector<TItem> ItemsOf(std::string_view Line) {
    std::vector<TItem> Items;
    const std::size_t N = Line.size();
    std::size_t Pos = 0;
    auto SkipBlanks = [&] {
        while (Pos < N && IsBlank(Line[Pos]))
            ++Pos;
    };
    SkipBlanks();
    while (Pos < N) {
        TItem Item;
        Item.Start = Pos;
        if (Line[Pos] == '"') {
            ++Pos;
            while (Pos < N) {
                if (Line[Pos] == '"') {
                    if (Pos + 1 < N && Line[Pos + 1] == '"') {
                        Item.Value += '"';
                        Pos += 2;
                        continue;
                    }
                    ++Pos;
                    break;
                }
                Item.Value += Line[Pos++];
            }
        } else {
            while (Pos < N && Line[Pos] != '.' && !IsBlank(Line[Pos]))
                ++Pos;
            Item.Value = std::string(Line.substr(Item.Start, Pos - Item.Start));
        }
        Item.End = Pos;
        Items.push_back(std::move(Item));
        SkipBlanks();
        if (Pos < N && Line[Pos] == '.') {
            if (Pos + 1 == N) Items.push_back({N, N, {}});
            ++Pos;
            SkipBlanks();
        }
    }
    return Items;
}

// A tag word as a dot-line must hold it.
std::string TagWord(std::string_view Tag) {
    bool Quote = Tag.empty() || Tag.front() == '"';
    for (const char C : Tag)
        Quote = Quote || IsBlank(C) || C == '.';
    if (!Quote) return std::string(Tag);
    std::string Word = "\"";
    for (const char C : Tag) {
        if (C == '"') Word += '"';
        Word += C;
    }
    return Word + '"';
}

struct TLine {
    std::size_t Start = 0, End = 0; // the line's text, without its break
    std::size_t BreakEnd = 0;       // after its break (End at the end of the text)
};

std::vector<TLine> LinesOf(std::string_view Text) {
    std::vector<TLine> Lines;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        TLine Line;
        Line.Start = Pos;
        while (Pos < Text.size() && Text[Pos] != '\r' && Text[Pos] != '\n')
            ++Pos;
        Line.End = Pos;
        if (Pos < Text.size())
            Pos += (Text[Pos] == '\r' && Pos + 1 < Text.size() && Text[Pos + 1] == '\n') ? 2 : 1;
        Line.BreakEnd = Pos;
        Lines.push_back(Line);
    }
    return Lines;
}

} // namespace

std::vector<TTextEdit> PlanTagRewrite(std::string_view Text, std::string_view Old, std::string_view New,
                                      const TTagEventTable& Events) {
    struct TTagLine {
        TLine Line;
        std::vector<TItem> Items;
    };
    std::vector<TTagLine> TagLines;
    const std::vector<TLine> Lines = LinesOf(Text);
    for (const TLine& L : Lines) {
        const std::string_view Line = Text.substr(L.Start, L.End - L.Start);
        if (Line.empty() || Line.front() != '.' || Events.Find(DotLineWord(Line))) continue;
        TagLines.push_back({L, ItemsOf(Line)});
    }
    auto Is = [](const TItem& Item, std::string_view Tag) { return SameText(Trim(Item.Value), Trim(Tag)); };
    // A merge: the note lists New already, and keeps that one.
    bool NewListed = false;
    if (!New.empty() && !SameText(Trim(Old), Trim(New)))
        for (const TTagLine& T : TagLines)
            for (std::size_t I = 1; I < T.Items.size(); ++I)
                NewListed = NewListed || Is(T.Items[I], New);

    std::vector<TTextEdit> Edits;
    std::vector<std::size_t> LinesGone; // where the lines that go whole start
    for (std::size_t LineIndex = 0; LineIndex < TagLines.size(); ++LineIndex) {
        const TTagLine& T = TagLines[LineIndex];
        const std::vector<TItem>& Items = T.Items;
        std::vector<bool> Gone(Items.size(), false);
        bool Kept = false; // a tag with a word stays on the line
        std::vector<TTextEdit> LineEdits;
        for (std::size_t I = 1; I < Items.size(); ++I) {
            if (!Is(Items[I], Old)) {
                Kept = Kept || !Trim(Items[I].Value).empty();
                continue;
            }
            if (New.empty() || NewListed) {
                Gone[I] = true;
                continue;
            }
            LineEdits.push_back({T.Line.Start + Items[I].Start, Items[I].End - Items[I].Start, TagWord(New)});
            Kept = true;
        }
        if (!Kept && std::find(Gone.begin(), Gone.end(), true) != Gone.end()) {
            // Nothing left to list: the line goes with its break.
            Edits.push_back({T.Line.Start, T.Line.BreakEnd - T.Line.Start, {}});
            LinesGone.push_back(T.Line.Start);
            continue;
        }
        // A gone tag takes the separator before it; in the run of gone tags that opens the
        // line, each takes the separator after it instead, so the line keeps its dot.
        bool Leading = true;
        for (std::size_t I = 1; I < Items.size(); ++I) {
            if (!Gone[I]) {
                Leading = false;
                continue;
            }
            const std::size_t From = Leading ? Items[I].Start : Items[I - 1].End;
            const std::size_t To =
                Leading ? (I + 1 < Items.size() ? Items[I + 1].Start : Items[I].End) : Items[I].End;
            LineEdits.push_back({T.Line.Start + From, To - From, {}});
        }
        std::sort(LineEdits.begin(), LineEdits.end(),
                  [](const TTextEdit& A, const TTextEdit& B) { return A.Offset < B.Offset; });
        Edits.insert(Edits.end(), LineEdits.begin(), LineEdits.end());
    }
    // Deletions that meet become one (whole lines going one after the other).
    std::vector<TTextEdit> Merged;
    for (TTextEdit& E : Edits) {
        if (!Merged.empty() && E.Text.empty() && Merged.back().Text.empty() &&
            E.Offset <= Merged.back().Offset + Merged.back().Length) {
            TTextEdit& Last = Merged.back();
            Last.Length = std::max(Last.Offset + Last.Length, E.Offset + E.Length) - Last.Offset;
            continue;
        }
        Merged.push_back(std::move(E));
    }
    // Lines gone at the end of the text, which has no break after them: the break before them
    // goes instead.
    if (!Merged.empty()) {
        TTextEdit& Last = Merged.back();
        const bool Whole = std::find(LinesGone.begin(), LinesGone.end(), Last.Offset) != LinesGone.end();
        if (Whole && Last.Offset > 0 && Last.Offset + Last.Length == Text.size()) {
            std::size_t Break = Text[Last.Offset - 1] == '\n' || Text[Last.Offset - 1] == '\r' ? 1 : 0;
            if (Break && Last.Offset >= 2 && Text[Last.Offset - 2] == '\r' && Text[Last.Offset - 1] == '\n')
                Break = 2;
            Last.Offset -= Break;
            Last.Length += Break;
        }
    }
    return Merged;
}

std::string ApplyTextEdits(std::string_view Text, const std::vector<TTextEdit>& Edits) {
    std::string Result;
    std::size_t Pos = 0;
    for (const TTextEdit& E : Edits) {
        Result.append(Text.substr(Pos, E.Offset - Pos));
        Result += E.Text;
        Pos = E.Offset + E.Length;
    }
    Result.append(Text.substr(Pos));
    return Result;
}

} // namespace mv::app
