// Following a link with a real double-click: the word under the mouse opens its
// note and is the word marked as a link, at the end of a line or paragraph as
// inside one.
#include "app/Note.h"
#include "app/TopicViewer.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ScreenShots.h"
#include "tests/app/UserInput.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>
#include <richedit.h>

using namespace mv::app::test;

namespace {

// Double-clicks the middle of the first occurrence of Word with the mouse.
void DoubleClickWord(TTopicViewer& Editor, const std::string& Word) {
    const auto At = Editor.TextInPositions().find(Word);
    ASSERT_NE(At, std::string::npos) << Word;
    POINTL Where{};
    SendMessageA(Editor.Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&Where), At + Word.size() / 2);
    DoubleClickAt(Editor.Handle(), Where.x + 2, Where.y + 4);
}

// Whether the first occurrence of Word is marked as a link all through: blue, dotted underline.
bool MarkedAsLink(TTopicViewer& Editor, const std::string& Word) {
    const auto At = static_cast<int>(Editor.TextInPositions().find(Word));
    Editor.SetSelection(At, At + static_cast<int>(Word.size()), false);
    CHARFORMAT2A Format{};
    Format.cbSize = sizeof Format;
    SendMessageA(Editor.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
    Editor.SetSelection(0, 0, false);
    return (Format.dwMask & CFM_COLOR) && !(Format.dwEffects & CFE_AUTOCOLOR) &&
           Format.crTextColor == RGB(0, 0, 255) && (Format.dwMask & CFM_UNDERLINETYPE) &&
           Format.bUnderlineType == CFU_UNDERLINEDOTTED;
}

} // namespace

TEST(FollowLink, ADoubleClickOpensTheWordUnderTheMouseAtTheEndOfALineToo) {
    TAppFixture App("followlink");
    App.Start();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    TTopicViewer& Editor = *Home->Editor();
    ASSERT_TRUE(BringToFront(Home->Handle()));

    // The Home note's invitation: the last word before the full stop of its paragraph.
    DoubleClickWord(Editor, "Ideas");
    EXPECT_EQ(Home->Caption(), ":Ideas");
    Home->aBackward->Execute();
    ASSERT_EQ(Home->Caption(), ":Home");
    EXPECT_TRUE(MarkedAsLink(Editor, "Ideas"));

    // The last word of each line of a list, of a sentence, and a word inside a line.
    Editor.SetText("");
    Editor.SetSelText("Apples\rPears\rPlums\rSee also Reading.\rWords inside a line");
    for (const char* Word : {"Apples", "Pears", "Plums", "Reading", "inside"}) {
        SCOPED_TRACE(Word);
        DoubleClickWord(Editor, Word);
        EXPECT_EQ(Home->Caption(), std::string(":") + Word);
        Home->aBackward->Execute();
        ASSERT_EQ(Home->Caption(), ":Home");
        EXPECT_TRUE(MarkedAsLink(Editor, Word));
    }
    for (const char* Word : {"See", "also", "Words", "line"})
        EXPECT_FALSE(MarkedAsLink(Editor, Word)) << Word;

    ASSERT_TRUE(mv::test::RepaintAndWaitUntilShown(Home->Handle()));
    SaveWindowPng(Home->Handle(), "note-followed-links");
}
