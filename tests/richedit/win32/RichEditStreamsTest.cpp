// Loading and saving the rich-edit text: RTF and plain-text round trips, the
// signature rule, line breaks, retry as plain text, re-creation, and saves
// that must fail loudly instead of storing less than the text.
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "tests/richedit/win32/RichEditFixture.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

namespace {

class RichEditStreams : public TRichEditFixture {
protected:
    static std::string Save(TMvRichEdit& R) {
        TStringStream S;
        R.Lines().SaveToStream(S);
        return S.DataString();
    }
    static std::vector<std::string> LinesOf(TMvRichEdit& R) {
        std::vector<std::string> V;
        for (int I = 0; I < R.Lines().Count(); ++I)
            V.push_back(R.Lines()[I]);
        return V;
    }
};

const char kFormatted[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\pard plain {\\b bold} {\\cf1 red} {\\fs28 big}\\par"
    "\\pard\\li400\\ri200 indented\\par"
    "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnindent200{\\pntxtb\\'B7}}\\fi-200\\li400 bullet\\par"
    "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent200{\\pntxta .}}\\fi-200\\li400 "
    "numbered\\par"
    "}";

// Selects the first occurrence of Word and returns where it starts.
int SelectWord(TMvRichEdit& R, const std::string& Word) {
    const std::string All = R.GetTextRange(0, -1);
    const auto Pos = All.find(Word);
    EXPECT_NE(Pos, std::string::npos) << Word;
    R.SetSelection(static_cast<int>(Pos), static_cast<int>(Pos + Word.size()), false);
    return static_cast<int>(Pos);
}

// Wine's RTF writer moves \\fi into \\li on every save, so indents are only
// compared after a single round trip.
void ExpectFormatted(TMvRichEdit& R, bool CheckIndents = true) {
    SelectWord(R, "bold");
    EXPECT_TRUE(R.SelAttributes().Style() & fsBold);
    SelectWord(R, "red");
    EXPECT_EQ(R.SelAttributes().Color(), static_cast<TColor>(RGB(255, 0, 0)));
    EXPECT_FALSE(R.SelAttributes().Style() & fsBold);
    SelectWord(R, "big");
    EXPECT_EQ(R.SelAttributes().Size(), 14);
    SelectWord(R, "indented");
    if (CheckIndents) {
        EXPECT_EQ(R.Paragraph().FirstIndent(), 20);
    }
    EXPECT_EQ(R.Paragraph().RightIndent(), 10);
    SelectWord(R, "bullet");
    EXPECT_EQ(R.Paragraph().Numbering(), 1);
    SelectWord(R, "numbered");
    EXPECT_GE(R.Paragraph().Numbering(), 2);
}

} // namespace

TEST_F(RichEditStreams, RtfRoundTripKeepsCharacterAndParagraphFormats) {
    TMvRichEdit* A = MakeEdit();
    Load(*A, kFormatted);
    ExpectFormatted(*A);
    const std::string Rtf = Save(*A);
    ASSERT_EQ(Rtf.compare(0, 5, "{\\rtf"), 0);

    TMvRichEdit* B = MakeEdit();
    Load(*B, Rtf);
    ExpectFormatted(*B);
    EXPECT_EQ(B->GetTextRange(0, -1), A->GetTextRange(0, -1));
}

TEST_F(RichEditStreams, PlainTextArrivesAsLinesWhateverTheBreaks) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "a\nb\rc\r\nd");
    EXPECT_EQ(LinesOf(*R), (std::vector<std::string>{"a", "b", "c", "d"}));

    Load(*R, "one\ntwo\n");
    EXPECT_EQ(R->Lines().Count(), 2); // the empty last line is not counted
}

TEST_F(RichEditStreams, LoneCrAtAChunkEndIsKept) {
    TMvRichEdit* R = MakeEdit();
    std::string Text(2047, 'x');
    Text += "\rsecond\r";
    Load(*R, Text);
    // The window keeps a paragraph break as one CR.
    EXPECT_EQ(R->GetTextRange(0, -1), std::string(2047, 'x') + "\rsecond\r");
}

TEST_F(RichEditStreams, SignatureDecidesTheFormat) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "{\\rtf1\\ansi Lower}");
    EXPECT_EQ(R->GetTextRange(0, -1).find("Lower"), 0u); // read as RTF: no markup left

    Load(*R, "{\\rt");
    EXPECT_EQ(LinesOf(*R), (std::vector<std::string>{"{\\rt"}));

    Load(*R, " {\\rtf1 x}");
    EXPECT_EQ(LinesOf(*R), (std::vector<std::string>{" {\\rtf1 x}"}));
}

TEST_F(RichEditStreams, ReadsFromTheStreamsPosition) {
    TMvRichEdit* R = MakeEdit();
    TStringStream S("skip{\\rtf1 kept}");
    S.SetPosition(4);
    R->Lines().LoadFromStream(S);
    EXPECT_EQ(LinesOf(*R), (std::vector<std::string>{"kept"}));
}

TEST_F(RichEditStreams, BrokenRtfIsRetriedAsPlainText) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, "{\\rtf1 unterminated \\b bold");
    const std::string Text = R->GetTextRange(0, -1);
    EXPECT_NE(Text.find("unterminated"), std::string::npos);
}

TEST_F(RichEditStreams, PlainTextControlSavesPlainText) {
    TMvRichEdit* R = MakeEdit();
    R->SetPlainText(true);
    Load(*R, "first\nsecond");
    EXPECT_EQ(Save(*R), "first\r\nsecond");
}

TEST_F(RichEditStreams, PlainTextSwitchKeepsTheText) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, kFormatted);
    R->SetPlainText(true);
    EXPECT_TRUE(R->PlainText());
    EXPECT_NE(R->GetTextRange(0, -1).find("indented"), std::string::npos);
    R->SetPlainText(false);
    EXPECT_NE(R->GetTextRange(0, -1).find("numbered"), std::string::npos);
}

TEST_F(RichEditStreams, ProgressIsReportedUpToHundred) {
    TMvRichEdit* R = MakeEdit();
    std::vector<int> Seen;
    R->OnConversionProgress = [&](TObject* Sender, int Percent) {
        EXPECT_EQ(Sender, R);
        Seen.push_back(Percent);
    };
    std::string Big;
    for (int I = 0; I < 2000; ++I)
        Big += "line " + std::to_string(I) + "\n";
    Load(*R, Big);
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen.back(), 100);
}

TEST_F(RichEditStreams, RecreatingTheWindowKeepsTextFormattingAndModified) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, kFormatted);
    R->SetModified(true);
    R->SetSelectionBar(false); // re-creates the window
    ExpectFormatted(*R);
    EXPECT_TRUE(R->Modified());

    R->SetModified(false);
    R->SetHideScrollBars(false);
    EXPECT_FALSE(R->Modified());
    ExpectFormatted(*R, false);
}

TEST_F(RichEditStreams, SavingWithoutAWindowNeverStoresAnEmptyText) {
    // No parent: no window can exist, so a save must fail rather than store "".
    TMvRichEdit Orphan(nullptr);
    TStringStream S;
    EXPECT_THROW(Orphan.Lines().SaveToStream(S), EOutOfResources);
    EXPECT_TRUE(S.DataString().empty());

    // With a parent the window is made on demand and the text saved.
    auto* R = new TMvRichEdit(FHolder.Owner());
    R->SetParent(&FHolder.Form());
    Load(*R, "made on demand");
    R->DestroyHandle();
    const std::string Saved = Save(*R);
    EXPECT_NE(Saved.find("made on demand"), std::string::npos);
}

namespace {
// A stream that takes only so many bytes and then reports short writes.
class TFullStream : public TMemoryStream {
public:
    explicit TFullStream(int64_t Room) : FRoom(Room) {}
    int64_t Write(const void* Buffer, int64_t Count) override {
        const int64_t N = std::min(Count, FRoom - Size());
        if (N <= 0) return 0;
        return TMemoryStream::Write(Buffer, N);
    }

private:
    int64_t FRoom;
};
} // namespace

namespace {
// A rich edit whose library ends its RTF early (its final brace missing)
// without reporting anything: every byte it does hand out is taken, so the
// stream's callback sees no failure; only the completeness check can tell.
class TShortRtfEdit : public TMvRichEdit {
public:
    using TMvRichEdit::TMvRichEdit;
    void WndProc(TMessage& Message) override {
        if (Message.Msg != EM_STREAMOUT || !(Message.WParam & SF_RTF)) {
            TMvRichEdit::WndProc(Message);
            return;
        }
        auto* Outer = reinterpret_cast<EDITSTREAM*>(Message.LParam);
        std::string Rtf;
        EDITSTREAM Inner{reinterpret_cast<DWORD_PTR>(&Rtf), 0, Collect};
        TMessage Whole{Message.Msg, Message.WParam, reinterpret_cast<LPARAM>(&Inner), 0};
        TMvRichEdit::WndProc(Whole);
        Rtf.erase(Rtf.rfind('}'));
        LONG Done = 0;
        Outer->dwError = Outer->pfnCallback(Outer->dwCookie, reinterpret_cast<LPBYTE>(Rtf.data()),
                                            LONG(Rtf.size()), &Done);
        Message.Result = Done;
    }

private:
    static DWORD CALLBACK Collect(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
        reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<char*>(Buffer), Count);
        *Done = Count;
        return 0;
    }
};
} // namespace

TEST_F(RichEditStreams, AnRtfWithoutItsClosingBraceIsAFailedSave) {
    auto* R = new TShortRtfEdit(FHolder.Owner());
    R->SetParent(&FHolder.Form());
    R->HandleNeeded();
    Load(*R, kFormatted);
    TStringStream S;
    try {
        R->Lines().SaveToStream(S);
        FAIL() << "an RTF cut short was reported as saved: " << S.DataString();
    } catch (const EOutOfResources& E) {
        EXPECT_STREQ(E.what(), "Failed to Save Stream");
    }
    // All the bytes did arrive; they are just not the whole text.
    EXPECT_EQ(S.DataString().rfind("{\\rtf", 0), 0u);
}

TEST_F(RichEditStreams, TruncatedSaveRaisesInsteadOfReportingSuccess) {
    TMvRichEdit* R = MakeEdit();
    Load(*R, kFormatted);
    TFullStream Small(40);
    try {
        R->Lines().SaveToStream(Small);
        FAIL() << "a truncated save was reported as a success";
    } catch (const EOutOfResources& E) {
        EXPECT_STREQ(E.what(), "Failed to Save Stream");
    }
}
