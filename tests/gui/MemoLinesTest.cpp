// A memo's lines: the same answers whether they come from the text (no window,
// or a wrapping one) or from the edit control's own line messages, and no cut
// at the edit control's default text limit.
#include "GuiTestSupport.h"

#include "gui/StdCtrls.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class MemoLinesTest : public GuiTest {};

enum class TMode { NoWindow, Window, WrappingWindow };

struct TStep {
    const char* What;
    std::function<void(TStrings&)> Do;
    std::vector<std::string> Lines; // the list afterwards
};

std::vector<std::string> LinesOf(TStrings& Lines) {
    std::vector<std::string> Result;
    for (int I = 0; I < Lines.Count(); ++I)
        Result.push_back(Lines.Get(I));
    return Result;
}

TEST_F(MemoLinesTest, EveryWayOfKeepingTheLinesGivesTheSameList) {
    const std::vector<TStep> Steps = {
        {"add to empty", [](TStrings& L) { L.Add("one"); }, {"one"}},
        {"add", [](TStrings& L) { L.Add("two"); }, {"one", "two"}},
        {"insert first", [](TStrings& L) { L.Insert(0, "zero"); }, {"zero", "one", "two"}},
        {"insert middle",
         [](TStrings& L) { L.Insert(2, "one and a half"); },
         {"zero", "one", "one and a half", "two"}},
        {"put", [](TStrings& L) { L.Put(1, "ONE"); }, {"zero", "ONE", "one and a half", "two"}},
        {"delete first", [](TStrings& L) { L.Delete(0); }, {"ONE", "one and a half", "two"}},
        {"delete last", [](TStrings& L) { L.Delete(2); }, {"ONE", "one and a half"}},
        {"add after deleting the last",
         [](TStrings& L) { L.Add("three"); },
         {"ONE", "one and a half", "three"}},
        {"text with LF only", [](TStrings& L) { L.SetText("a\nb\rc\r\n"); }, {"a", "b", "c"}},
        {"add after a final break", [](TStrings& L) { L.Add("d"); }, {"a", "b", "c", "d"}},
        {"empty line inside", [](TStrings& L) { L.Insert(1, ""); }, {"a", "", "b", "c", "d"}},
        {"put empty", [](TStrings& L) { L.Put(4, ""); }, {"a", "", "b", "c"}},
        {"add after it", [](TStrings& L) { L.Add("e"); }, {"a", "", "b", "c", "e"}},
        {"delete all but one",
         [](TStrings& L) {
             while (L.Count() > 1)
                 L.Delete(0);
         },
         {"e"}},
        {"delete the only line", [](TStrings& L) { L.Delete(0); }, {}},
        {"clear",
         [](TStrings& L) {
             L.Add("x");
             L.Clear();
         },
         {}},
    };
    for (TMode Mode : {TMode::NoWindow, TMode::Window, TMode::WrappingWindow}) {
        TForm Form(nullptr);
        auto* Memo = new TMemo(&Form);
        Memo->SetParent(&Form);
        Memo->SetBounds(0, 0, 300, 200);
        Memo->SetWordWrap(Mode == TMode::WrappingWindow);
        if (Mode != TMode::NoWindow) Form.HandleNeeded();
        ASSERT_EQ(Memo->HandleAllocated(), Mode != TMode::NoWindow);
        for (const TStep& Step : Steps) {
            Step.Do(Memo->Lines());
            EXPECT_EQ(LinesOf(Memo->Lines()), Step.Lines) << Step.What << " (mode " << int(Mode) << ")";
        }
        // Out of range is refused as by any list.
        EXPECT_THROW(Memo->Lines().Get(0), EStringListError);
        EXPECT_THROW(Memo->Lines().Delete(0), EStringListError);
        EXPECT_THROW(Memo->Lines().Insert(1, "x"), EStringListError);
    }
}

TEST_F(MemoLinesTest, AReadOnlyMemoTakesLinesFromCode) {
    TForm Form(nullptr);
    auto* Memo = new TMemo(&Form);
    Memo->SetParent(&Form);
    Memo->SetWordWrap(false);
    Memo->SetReadOnly(true);
    Form.HandleNeeded();
    Memo->Lines().Add("first");
    Memo->Lines().Add("second");
    Memo->Lines().Delete(0);
    EXPECT_EQ(Memo->Text(), "second");
}

TEST_F(MemoLinesTest, HoldsFarMoreThanTheEditControlsDefaultLimit) {
    TForm Form(nullptr);
    auto* Memo = new TMemo(&Form);
    Memo->SetParent(&Form);
    Memo->SetWordWrap(false);
    std::string Line(60, 'x');
    std::string Text;
    for (int I = 0; I < 3000; ++I)
        Text += std::to_string(I) + Line + "\r\n";
    Text.resize(Text.size() - 2);
    Memo->SetText(Text); // before the window exists
    Form.HandleNeeded();
    EXPECT_EQ(Memo->Text().size(), Text.size());
    for (int I = 0; I < 1000; ++I)
        Memo->Lines().Add("more " + std::to_string(I));
    EXPECT_EQ(Memo->Lines().Count(), 4000);
    EXPECT_EQ(Memo->Lines().Get(3999), "more 999");
    EXPECT_GT(Memo->Text().size(), 200000u);
}

} // namespace
