// Forms of a document without windows: what a submission sends, radio groups, reset, Enter in
// a text input, picture buttons, and how controls reach their windows through a recording peer
// (sizing, placing at draw time, hiding after a scroll, the far-left place while focused).
#include "htmlview/HtmlForms.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/htmlview/HtmlEngineFixture.h"

namespace {

struct TSubmission {
    std::string Action, Method;
    std::vector<std::string> Results;
};

// Records every submission of the document.
std::vector<TSubmission>& CatchSubmissions(TestDoc& d) {
    static std::vector<TSubmission> caught;
    caught.clear();
    d.Doc.SubmitForm = [](TObject*, const std::string& action, const std::string&, const std::string&,
                          const std::string& method, std::unique_ptr<TStringList> results) {
        TSubmission s{action, method, {}};
        for (int i = 0; i < results->Count(); ++i)
            s.Results.push_back(results->Get(i));
        caught.push_back(s);
    };
    return caught;
}

TFormControlObj* Named(TestDoc& d, const std::string& name, int nth = 0) {
    for (TFormControlObj* c : d.Doc.FormControlList)
        if (c->Name == name && nth-- == 0) return c;
    return nullptr;
}

// A window stand-in: it records what the document asks of it, and hands back what a user
// "typed" (Typed) or "checked" (TypedChecked) when the document reads the window.
class TRecordingPeer : public IFormControlPeer {
public:
    explicit TRecordingPeer(TFormControlObj& obj) : obj_(obj) {}
    void ShowValue() override { ++Shows; }
    void ReadValue() override {
        if (Typed) obj_.Text = *Typed;
        if (TypedChecked) obj_.Checked = *TypedChecked;
    }
    void SetSize(int32_t w, int32_t h) override {
        Width = w;
        Height = h;
    }
    void ShowAt(int32_t left, int32_t top, TColor background) override {
        Visible = true;
        Left = left;
        Top = top;
        Background = background;
    }
    void Hide() override { Visible = false; }
    bool Focused() const override { return HasFocus; }

    int Shows = 0;
    int32_t Width = 0, Height = 0, Left = 0, Top = -400;
    TColor Background = 0;
    bool Visible = false, HasFocus = false;
    std::optional<std::string> Typed;
    std::optional<bool> TypedChecked;

private:
    TFormControlObj& obj_;
};

TRecordingPeer& PeerOf(TFormControlObj* c) {
    return *static_cast<TRecordingPeer*>(c->Peer.get());
}

void UseRecordingPeers(TestDoc& d, int* made = nullptr) {
    d.Doc.MakeFormControlPeer = [made](TFormControlObj& c) -> std::unique_ptr<IFormControlPeer> {
        if (made) ++*made;
        return std::make_unique<TRecordingPeer>(c);
    };
}

} // namespace

TEST(HtmlForms, SubmissionsListEveryControlsPairsInOrder) {
    struct Case {
        const char* html;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"<form><input name=q value=v><input type=password name=p value=s></form>", {"q=v", "p=s"}},
        {"<form><input type=checkbox name=a><input type=checkbox name=c checked>"
         "<input type=checkbox name=d value=yes checked></form>",
         {"c=on", "d=yes"}},
        {"<form><input type=hidden name=h value=1><input type=text name=t></form>", {"h=1", "t="}},
        {"<form><select name=s><option>one<option value=2 selected>two</select></form>", {"s=2"}},
        {"<form><select name=m multiple><option selected>a<option>b<option value=c "
         "selected>C</select></form>",
         {"m=a", "m=c"}},
        {"<form><select name=n><option>x<option>y</select></form>", {"n=x"}},
        {"<form><textarea name=ta>one\ntwo</textarea></form>", {"ta=one\r\ntwo"}},
        {"<form><textarea name=ta wrap=hard>one\ntwo</textarea></form>", {"ta=onetwo"}},
        {"<form><input type=radio name=r value=1><input type=radio name=r value=2 checked></form>", {"r=2"}},
    };
    for (const Case& c : cases) {
        TestDoc d(c.html);
        auto& caught = CatchSubmissions(d);
        ASSERT_EQ(d.Doc.FormList.Count(), 1) << c.html;
        d.Doc.FormList[0]->SubmitFormData("");
        ASSERT_EQ(caught.size(), 1u) << c.html;
        EXPECT_EQ(caught[0].Results, c.expected) << c.html;
    }
}

TEST(HtmlForms, ButtonsAddTheirPairLastOnlyWithANameAndResetRestoresTheGivenValues) {
    TestDoc d("<form action=find method=post><input name=q value=start>"
              "<input type=checkbox name=c checked><input type=radio name=r value=1 checked>"
              "<input type=radio name=R value=2><input type=submit name=go value=Search>"
              "<input type=submit><input type=reset></form>");
    auto& caught = CatchSubmissions(d);
    TFormControlObj* go = Named(d, "go");
    ASSERT_NE(go, nullptr);
    Named(d, "q")->Text = "typed";
    Named(d, "c")->Click(); // unchecks
    Named(d, "R")->Click(); // the radio group compares names without case
    EXPECT_FALSE(Named(d, "r")->Checked);
    go->Click();
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].Action, "find");
    EXPECT_EQ(caught[0].Method, "post");
    EXPECT_EQ(caught[0].Results, (std::vector<std::string>{"q=typed", "R=2", "go=Search"}));
    // The unnamed submit button adds nothing of its own.
    for (TFormControlObj* c : d.Doc.FormControlList)
        if (c->Kind == FormControlKind::Submit && c->Name.empty()) c->Click();
    ASSERT_EQ(caught.size(), 2u);
    EXPECT_EQ(caught[1].Results, (std::vector<std::string>{"q=typed", "R=2"}));
    // Reset: the text input has its VALUE again, the boxes their CHECKED state.
    for (TFormControlObj* c : d.Doc.FormControlList)
        if (c->Kind == FormControlKind::Reset) c->Click();
    EXPECT_EQ(Named(d, "q")->Text, "start");
    EXPECT_TRUE(Named(d, "c")->Checked);
    EXPECT_TRUE(Named(d, "r")->Checked);
    EXPECT_FALSE(Named(d, "R")->Checked);
}

TEST(HtmlForms, EnterInAOneLineTextInputSubmitsAndNothingElseDoes) {
    TestDoc d("<input name=a value=1><input type=password name=p><textarea name=t></textarea>"
              "<input type=checkbox name=c>");
    auto& caught = CatchSubmissions(d);
    ASSERT_EQ(d.Doc.FormList.Count(), 1); // controls outside any FORM get a form of their own
    ThtmlForm& form = *d.Doc.FormList[0];
    EXPECT_EQ(form.Method, "Get");
    EXPECT_FALSE(form.FormKeyDown(*Named(d, "a"), 9));
    EXPECT_FALSE(form.FormKeyDown(*Named(d, "t"), 13));
    EXPECT_FALSE(form.FormKeyDown(*Named(d, "c"), 13));
    EXPECT_TRUE(caught.empty());
    EXPECT_TRUE(form.FormKeyDown(*Named(d, "a"), 13));
    EXPECT_TRUE(form.FormKeyDown(*Named(d, "p"), 13));
    ASSERT_EQ(caught.size(), 2u);
    EXPECT_EQ(caught[0].Results, (std::vector<std::string>{"a=1", "p=", "t="}));
}

TEST(HtmlForms, APictureButtonStoresItsPointOnlyWhenClicked) {
    TestDoc d;
    d.Load("<form><input type=image name=map src=x.bmp width=40 height=30><input name=q value=v></form>");
    auto& caught = CatchSubmissions(d);
    d.Draw();
    TFormControlObj* map = Named(d, "map");
    ASSERT_NE(map, nullptr);
    // Hovering over the picture finds the control and stores nothing.
    TUrlTarget url;
    TFormControlObj* hit = nullptr;
    bool found = false;
    for (int32_t y = 0; y < 60 && !found; ++y)
        found = d.Doc.LinkAtPoint(d.Metrics, 10, y, url, hit) && hit == map;
    ASSERT_TRUE(found);
    EXPECT_EQ(map->XPos, -1);
    d.Doc.FormList[0]->SubmitFormData("");
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].Results, (std::vector<std::string>{"q=v"}));
    // A click at (3, 4) submits the point; the next submission without a click does not.
    map->Click(3, 4);
    ASSERT_EQ(caught.size(), 2u);
    EXPECT_EQ(caught[1].Results, (std::vector<std::string>{"map.x=3", "map.y=4", "q=v"}));
    d.Doc.FormList[0]->SubmitFormData("");
    EXPECT_EQ(caught[2].Results, (std::vector<std::string>{"q=v"}));
}

TEST(HtmlForms, WindowsAreMadeOnceSizedShownWithTheirValueAndReadBackOnSubmit) {
    TestDoc d;
    int made = 0;
    UseRecordingPeers(d, &made);
    d.Load("<form><input name=q value=v size=5><input type=hidden name=h value=1>"
           "<input type=image src=a.bmp width=9 height=9><input type=checkbox name=c></form>");
    // Hidden fields and picture buttons have no window.
    EXPECT_EQ(made, 2);
    TFormControlObj* q = Named(d, "q");
    ASSERT_TRUE(q->Peer);
    EXPECT_EQ(PeerOf(q).Shows, 1);
    EXPECT_EQ(PeerOf(q).Width, q->Width);
    EXPECT_EQ(PeerOf(q).Width, 8 * 5 + 5);
    d.Layout(300); // a new layout sizes the same windows again
    EXPECT_EQ(made, 2);
    // What the user typed and checked in the windows is what a submission sends.
    auto& caught = CatchSubmissions(d);
    PeerOf(q).Typed = "hello";
    PeerOf(Named(d, "c")).TypedChecked = true;
    d.Doc.FormList[0]->SubmitFormData("");
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].Results, (std::vector<std::string>{"q=hello", "h=1", "c=on"}));
    // A reset puts the initial value back into the window.
    d.Doc.FormList[0]->ResetControls();
    EXPECT_EQ(q->Text, "v");
    EXPECT_EQ(PeerOf(q).Shows, 2);
}

TEST(HtmlForms, ARadioClickedInItsWindowUnchecksItsGroupsOtherWindows) {
    TestDoc d;
    UseRecordingPeers(d);
    d.Load("<form><input type=radio name=r value=1 checked><input type=radio name=r value=2>"
           "<input type=radio name=other value=3 checked></form>");
    TFormControlObj* one = Named(d, "r", 0);
    TFormControlObj* two = Named(d, "r", 1);
    int clicks = 0;
    std::string message;
    d.Doc.ObjectClick = [&](TObject*, TFormControlObj* c, const std::string& m) {
        clicks += c == two;
        message = m;
    };
    const int shownBefore = PeerOf(one).Shows;
    PeerOf(two).TypedChecked = true; // the user clicked the second button
    two->ControlClick();
    EXPECT_TRUE(two->Checked);
    EXPECT_FALSE(one->Checked);
    EXPECT_EQ(PeerOf(one).Shows, shownBefore + 1); // its window was told
    EXPECT_TRUE(Named(d, "other")->Checked);
    EXPECT_EQ(clicks, 1);
}

TEST(HtmlForms, ControlsArePlacedWhereDrawnAndHiddenOrParkedFarLeftWhenScrolledAway) {
    TestDoc d;
    UseRecordingPeers(d);
    std::string html = "<form><input name=top>";
    for (int i = 0; i < 40; ++i)
        html += "<p>line " + std::to_string(i);
    html += "<p><input name=bottom></form>";
    d.Load(html);
    TFormControlObj* top = Named(d, "top");
    TFormControlObj* bottom = Named(d, "bottom");
    // Nothing is on screen before the first paint.
    EXPECT_FALSE(PeerOf(top).Visible);
    d.Draw(0, 100);
    EXPECT_TRUE(top->IsShown);
    EXPECT_TRUE(PeerOf(top).Visible);
    EXPECT_EQ(PeerOf(top).Left, top->Left);
    EXPECT_EQ(PeerOf(top).Top, top->Top);
    EXPECT_FALSE(bottom->IsShown);
    EXPECT_FALSE(PeerOf(bottom).Visible);
    // Scrolled to the end: the top control is hidden, the bottom one placed on screen.
    d.Doc.SetYOffset(d.Height - 100);
    d.Draw(0, 100);
    EXPECT_FALSE(PeerOf(top).Visible);
    EXPECT_TRUE(PeerOf(bottom).Visible);
    EXPECT_GE(PeerOf(bottom).Top, 0);
    EXPECT_LT(PeerOf(bottom).Top, 100);
    // With the focus in the bottom control, scrolling back parks it far left instead of hiding it.
    PeerOf(bottom).HasFocus = true;
    d.Doc.SetYOffset(0);
    d.Draw(0, 100);
    EXPECT_TRUE(PeerOf(top).Visible);
    EXPECT_TRUE(PeerOf(bottom).Visible);
    EXPECT_EQ(PeerOf(bottom).Left, hvOffScreenLeft);
    // When the focus leaves the document's controls, the parked one is hidden.
    PeerOf(bottom).HasFocus = false;
    bottom->ControlExit();
    EXPECT_FALSE(PeerOf(bottom).Visible);
    EXPECT_TRUE(PeerOf(top).Visible);
}

TEST(HtmlForms, EnteringAControlAsksForItAndShowsEveryOtherControlFarLeft) {
    TestDoc d;
    UseRecordingPeers(d);
    std::string html = "<form><input name=a>";
    for (int i = 0; i < 40; ++i)
        html += "<p>line " + std::to_string(i);
    html += "<p><input name=b><select name=s><option>x</select></form>";
    d.Load(html);
    d.Draw(0, 100);
    TFormControlObj* focused = nullptr;
    d.Doc.OnFormControlFocus = [&](TFormControlObj* c) { focused = c; };
    Named(d, "b")->ControlEnter();
    EXPECT_EQ(focused, Named(d, "b"));
    EXPECT_EQ(PeerOf(Named(d, "s")).Left, hvOffScreenLeft);
    EXPECT_TRUE(PeerOf(Named(d, "s")).Visible);
    EXPECT_NE(PeerOf(Named(d, "a")).Left, hvOffScreenLeft); // on screen: left where it is
    // The focus callback records the control's line: below the first screen.
    EXPECT_GT(Named(d, "b")->YValue, 100);
}

TEST(HtmlForms, RadioPanelsTakeTheirCellsBackgroundElseTheDocuments) {
    TestDoc d;
    UseRecordingPeers(d);
    d.Doc.SetBackground(0x123456);
    d.Load("<form><input type=radio name=a><table><tr><td bgcolor=#ff0000>"
           "<input type=radio name=b></td></tr></table></form>");
    d.Doc.SetBackground(0x123456);
    d.Draw();
    EXPECT_EQ(PeerOf(Named(d, "a")).Background, 0x123456);
    EXPECT_EQ(PeerOf(Named(d, "b")).Background & 0xFFFFFF, 0x0000FF);
}

TEST(HtmlLayout, DocumentPositionsOfSourcePositionsLookBothWays) {
    // Sources: "a" 3, "b" 4, " " 9, "c" 10, "d" 11; a second paragraph "ef" at 15..16.
    TestDoc d("<b>ab</b> cd<p>ef", 400);
    auto t = d.TextSections();
    ASSERT_EQ(t.size(), 2u);
    const int32_t e = t[1]->StartCurs;
    struct Case {
        int32_t source;
        int32_t next, prev;
    };
    const Case cases[] = {
        {3, 0, 0},           // on a character: that character both ways
        {10, 3, 3},          //
        {6, 2, 1},           // inside "</b>": the space after it, or "b" before it
        {0, 0, 0},           // before everything: only a next one, so both give "a"
        {13, e, 4},          // inside "<p>": "e" of the next paragraph, or "d" of this one
        {500, e + 1, e + 1}, // past everything: the last character
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d.Doc.DocPosOf(c.source, false), c.next) << c.source;
        EXPECT_EQ(d.Doc.DocPosOf(c.source, true), c.prev) << c.source;
    }
    // The round trip through the source holds for every character.
    for (int32_t pos = 0; pos < t[1]->StartCurs + t[1]->Len; ++pos) {
        const int32_t src = d.Doc.SourcePosOf(pos);
        if (src < 0) continue;
        EXPECT_EQ(d.Doc.DocPosOf(src, false), pos);
        EXPECT_EQ(d.Doc.DocPosOf(src, true), pos);
    }
}

TEST(HtmlForms, ControlSizesFollowTheirFontAndAttributes) {
    // Fixed metrics: 8 pixels a character; the 10-point control font is 13 high, the 8-point
    // caption font 11.
    std::string twelve;
    for (int i = 1; i <= 12; ++i)
        twelve += "<option>o" + std::to_string(i);
    struct Case {
        std::string html;
        int32_t width, height;
    };
    const Case cases[] = {
        {"<select name=c multiple>" + twelve + "</select>", 8 * 3 + 19, 13 * 8 + 4}, // at most 8 rows
        {"<select name=c multiple></select>", 8 * 3 + 19, 13 + 4},                   // no items: one row
        {"<select name=c size=3><option>a</select>", 8 * 3 + 19, 13 * 3 + 4},
        {"<select name=c><option>longer text</select>", 8 * 11 + 30, 13 + 8},
        {"<input name=c size=5>", 8 * 5 + 5, 13 + 8},
        {"<input name=c size=x>", 8 * 20 + 5, 13 + 8},
        {"<textarea name=c rows=2 cols=10></textarea>", 8 * 10 + 9, 13 * 2 + 9},
        {"<input type=submit name=c value=Go>", 8 * 2 + 20, 11 + 8},
        {"<input type=checkbox name=c>", 16, 16},
    };
    for (const Case& c : cases) {
        TestDoc d("<form>" + c.html + "</form>");
        TFormControlObj* ctrl = Named(d, "c");
        ASSERT_NE(ctrl, nullptr) << c.html;
        EXPECT_EQ(ctrl->Width, c.width) << c.html;
        EXPECT_EQ(ctrl->Height, c.height) << c.html;
    }
}
