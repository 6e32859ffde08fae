// Character and paragraph attributes: each write changes only its own field,
// units and special values map as the records expect, and the objects behave
// sensibly without a window.
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include "base/Streams.h"
#include "tests/support/TestForm.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class RichEditAttributes : public ::testing::Test {
protected:
    void SetUp() override {
        R = new TMvRichEdit(FHolder.Owner());
        R->SetParent(&FHolder.Form());
        R->SetBounds(10, 10, 400, 300);
        TStringStream S("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green128\\blue0;}"
                        "\\pard\\f0\\fs20 {\\b\\cf1 styled} text\\par second\\par}");
        R->Lines().LoadFromStream(S);
        R->SetSelection(0, 6, false); // "styled"
    }
    CHARFORMAT2A Selected() {
        CHARFORMAT2A F;
        R->SelAttributes().GetCharFormat(F);
        return F;
    }
    TTestFormHolder FHolder;
    TMvRichEdit* R = nullptr;
};

} // namespace

TEST_F(RichEditAttributes, SizeChangeKeepsBoldAndColour) {
    R->SelAttributes().SetSize(11);
    EXPECT_EQ(R->SelAttributes().Size(), 11);
    EXPECT_EQ(Selected().yHeight, 220);
    EXPECT_TRUE(R->SelAttributes().Style() & fsBold);
    EXPECT_EQ(R->SelAttributes().Color(), static_cast<TColor>(RGB(0, 128, 0)));
}

TEST_F(RichEditAttributes, WindowTextColourIsTheAutomaticColour) {
    R->SelAttributes().SetColor(clWindowText);
    EXPECT_TRUE(Selected().dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(R->SelAttributes().Color(), clWindowText);
    R->SelAttributes().SetColor(clBlack);
    EXPECT_FALSE(Selected().dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(R->SelAttributes().Color(), clBlack);
    EXPECT_TRUE(R->SelAttributes().Style() & fsBold);
}

TEST_F(RichEditAttributes, StyleAndEffects) {
    R->SelAttributes().SetStyle(fsItalic | fsStrikeOut);
    EXPECT_EQ(R->SelAttributes().Style(), fsItalic | fsStrikeOut);
    R->SelAttributes().SetEffect(CFE_BOLD, true);
    EXPECT_TRUE(R->SelAttributes().HasEffect(CFE_BOLD));
    EXPECT_TRUE(R->SelAttributes().HasEffect(CFE_ITALIC)); // untouched by the bold toggle
    R->SelAttributes().SetEffect(CFE_BOLD, false);
    EXPECT_FALSE(R->SelAttributes().HasEffect(CFE_BOLD));
}

TEST_F(RichEditAttributes, FaceNamesAreCutToTheField) {
    R->SelAttributes().SetName("Courier New");
    EXPECT_EQ(R->SelAttributes().Name(), "Courier New");
    const std::string Long(40, 'F');
    R->SelAttributes().SetName(Long);
    EXPECT_LE(R->SelAttributes().Name().size(), 31u);
    EXPECT_EQ(R->SelAttributes().Size(), 10); // the size stayed
}

TEST_F(RichEditAttributes, UnderlineTypeSetsAndRemovesTheUnderline) {
    R->SelAttributes().SetUnderlineType(CFU_UNDERLINE);
    EXPECT_TRUE(R->SelAttributes().Style() & fsUnderline);
    EXPECT_EQ(R->SelAttributes().UnderlineColor(), 0);
    R->SelAttributes().SetUnderlineType(0);
    EXPECT_FALSE(R->SelAttributes().Style() & fsUnderline);
    EXPECT_TRUE(R->SelAttributes().Style() & fsBold);
}

// Wine's rich edit leaves its modified flag alone for a format: the objects set it.
TEST_F(RichEditAttributes, FormatsWrittenToTheTextMarkItModified) {
    const struct {
        const char* What;
        std::function<void()> Write;
        bool Changes;
    } Cases[] = {
        {"bold on the selection", [&] { R->SelAttributes().SetEffect(CFE_BOLD, true); }, true},
        {"colour on the selection", [&] { R->SelAttributes().SetColor(clRed); }, true},
        {"bullets at the caret",
         [&] {
             R->SetSelection(2, 2, false);
             R->Paragraph().SetNumbering(1);
         },
         true},
        {"indent at the caret",
         [&] {
             R->SetSelection(2, 2, false);
             R->Paragraph().SetFirstIndent(10);
         },
         true},
        {"size of the word at the caret",
         [&] {
             R->SetSelection(2, 2, false);
             R->WordAttributes().SetSize(14);
         },
         true},
        {"italic for what is typed at the caret",
         [&] {
             R->SetSelection(2, 2, false);
             R->SelAttributes().SetEffect(CFE_ITALIC, true);
         },
         false},
        {"the default size", [&] { R->DefAttributes().SetSize(12); }, false},
    };
    for (const auto& C : Cases) {
        R->SetSelection(0, 6, false);
        R->SetModified(false);
        C.Write();
        EXPECT_EQ(R->Modified(), C.Changes) << C.What;
    }
}

TEST_F(RichEditAttributes, AssignFromAFontAndBack) {
    TFont Font;
    Font.SetName("Times New Roman");
    Font.SetSize(16);
    Font.SetStyle(fsItalic);
    Font.SetColor(clRed);
    R->SelAttributes().Assign(Font);
    EXPECT_EQ(R->SelAttributes().Name(), "Times New Roman");
    EXPECT_EQ(R->SelAttributes().Size(), 16);
    EXPECT_EQ(R->SelAttributes().Style(), fsItalic);
    EXPECT_EQ(R->SelAttributes().Color(), clRed);

    TFont Back;
    R->SelAttributes().AssignTo(Back);
    EXPECT_EQ(Back.Name(), "Times New Roman");
    EXPECT_EQ(Back.Size(), 16);
    EXPECT_EQ(Back.Style(), fsItalic);
    EXPECT_EQ(Back.Color(), clRed);

    // Copying one attribute object into another moves the whole format.
    R->SelAttributes().Assign(R->DefAttributes());
    EXPECT_FALSE(R->SelAttributes().Style() & fsBold);
    EXPECT_EQ(R->SelAttributes().Size(), R->DefAttributes().Size());
    EXPECT_EQ(R->SelAttributes().Name(), R->DefAttributes().Name());
}

TEST_F(RichEditAttributes, NumberingAdjustsTheIndent) {
    TMvParaAttributes& P = R->Paragraph();
    P.SetLeftIndent(3);
    P.SetNumbering(1);
    EXPECT_EQ(P.Numbering(), 1);
    EXPECT_EQ(P.LeftIndent(), 10);
    P.SetNumbering(0);
    EXPECT_EQ(P.Numbering(), 0);
    EXPECT_EQ(P.LeftIndent(), 0);

    P.SetNumberingStart(1);
    P.SetNumbering(2);
    P.SetNumberingStyle(1);
    PARAFORMAT2 F;
    P.GetParaFormat(F);
    EXPECT_EQ(F.wNumbering, 2);
    EXPECT_EQ(F.wNumberingStyle, 0x200);
    EXPECT_EQ(F.wNumberingStart, 1);
}

TEST_F(RichEditAttributes, IndentsAreInPoints) {
    TMvParaAttributes& P = R->Paragraph();
    P.SetFirstIndent(10);
    EXPECT_EQ(P.FirstIndent(), 10);
    PARAFORMAT2 F;
    P.GetParaFormat(F);
    EXPECT_EQ(F.dxStartIndent, 200);
    P.SetRightIndent(7);
    EXPECT_EQ(P.RightIndent(), 7);
    EXPECT_EQ(P.FirstIndent(), 10); // untouched
}

TEST_F(RichEditAttributes, AlignmentMapsToTheRecord) {
    TMvParaAttributes& P = R->Paragraph();
    P.SetAlignment(TMvParaAlignment::paCenter);
    EXPECT_EQ(P.Alignment(), TMvParaAlignment::paCenter);
    PARAFORMAT2 F;
    P.GetParaFormat(F);
    EXPECT_EQ(F.wAlignment, PFA_CENTER);
    P.SetAlignment(TMvParaAlignment::paRightJustify);
    EXPECT_EQ(P.Alignment(), TMvParaAlignment::paRightJustify);
}

TEST_F(RichEditAttributes, TabStopsUpToThirtyOne) {
    TMvParaAttributes& P = R->Paragraph();
    P.SetTab(2, 36);
    EXPECT_EQ(P.TabCount(), 3);
    EXPECT_EQ(P.Tab(2), 36);
    P.SetTab(31, 72); // outside the writable range
    EXPECT_EQ(P.TabCount(), 3);
    EXPECT_EQ(P.Tab(31), 0);
    EXPECT_EQ(P.Tab(-1), 0);
    EXPECT_EQ(P.Tab(40), 0);
}

TEST(RichEditAttributesWithoutWindow, ReadZeroAndDropCharacterWrites) {
    TMvRichEdit Orphan(nullptr);
    EXPECT_EQ(Orphan.SelAttributes().Size(), 0);
    EXPECT_EQ(Orphan.SelAttributes().Style(), 0u);
    EXPECT_EQ(Orphan.SelAttributes().Color(), clBlack);
    Orphan.SelAttributes().SetSize(12); // dropped, no crash
    EXPECT_EQ(Orphan.Paragraph().Numbering(), 0);
    Orphan.Paragraph().SetNumbering(1); // needs a window that cannot exist: nothing happens
    EXPECT_FALSE(Orphan.HandleAllocated());
}
