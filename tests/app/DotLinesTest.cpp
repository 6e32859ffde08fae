// Dot-lines: their words, tags, tag synchronisation and plug-in handlers.
#include "app/DotLines.h"
#include "app/TagEvents.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mv::app;
using Strings = std::vector<std::string>;

TEST(DotLines, LogicalLinesAtParagraphBreaks) {
    const std::string LongLine = ".alpha " + std::string(400, 'x') + " omega";
    EXPECT_EQ(DotLinesOf("text\r.a.b\rmore\r\n.c\n" + LongLine + "\r. x"),
              (Strings{".a.b", ".c", LongLine, ". x"}));
    EXPECT_EQ(DotLinesOf(" .not\r\r"), Strings{});
    EXPECT_EQ(DotLineTags(LongLine), (Strings{"alpha", std::string(400, 'x'), "omega"}));
}

TEST(DotLines, WordIsTextAfterTheDotUpToTheFirstBlank) {
    EXPECT_EQ(DotLineWord(".Clock 12:00"), "clock");
    EXPECT_EQ(DotLineWord(".Work.Home"), "work.home");
    EXPECT_EQ(DotLineWord("."), "");
    EXPECT_EQ(DotLineWord(". x"), "");
    EXPECT_EQ(DotLineWord(".x\t"), "x");
}

TEST(DotLines, TagsSplitAtDotsAndBlanks) {
    struct Case {
        const char* Line;
        Strings Tags;
    } Cases[] = {
        {".Work.Home", {"work", "home"}},
        {".work plan.home", {"work", "plan", "home"}},
        {".a b", {"a", "b"}},
        {".a..b", {"a", "", "b"}},
        {".a.", {"a", ""}},
        {".", {""}},
        {".\"two words\".X", {"two words", "x"}},
        {".\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {".\xC4pfel", {"\xC4pfel"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DotLineTags(C.Line), C.Tags) << C.Line;
}

TEST(DotLines, TagChangesAlternateByIndexAndIgnoreCase) {
    using K = TTagChange::TKind;
    EXPECT_EQ(PlanTagChanges({"a", "b"}, {"B", "c", "d"}),
              (std::vector<TTagChange>{{K::Attach, "a"}, {K::Detach, "c"}, {K::Detach, "d"}}));
    EXPECT_EQ(PlanTagChanges({}, {"x"}), (std::vector<TTagChange>{{K::Detach, "x"}}));
    EXPECT_TRUE(PlanTagChanges({"same"}, {"SAME"}).empty());
}

namespace {
class TFakeTags : public ITopicTags {
public:
    Strings Stored;
    Strings Calls;
    std::vector<std::string> ListTopicTags() override { return Stored; }
    void AttachTag(const std::string& T) override {
        Calls.push_back("+" + T);
        Stored.push_back(T);
    }
    void DetachTag(const std::string& T) override {
        Calls.push_back("-" + T);
        std::erase(Stored, T);
    }
};
} // namespace

TEST(DotLines, SavingSyncsTagsAndLoadingLeavesThemAlone) {
    TTagEventTable Events;
    TFakeTags Tags;
    RunDotLines("Title\r.Work.Home\rbody", false, Events, nullptr, &Tags);
    EXPECT_EQ(Tags.Calls, (Strings{"+work", "+home"}));
    Tags.Calls.clear();
    RunDotLines("Title\r.work\rbody", true, Events, nullptr, &Tags);
    EXPECT_TRUE(Tags.Calls.empty());
    RunDotLines("Title\r.work\rbody", false, Events, nullptr, &Tags);
    EXPECT_EQ(Tags.Calls, (Strings{"-home"}));
}

TEST(TagEvents, RegisteredWordsCallTheirHandlersAndNeverBecomeTags) {
    TTagEventTable Events;
    int Plugin = 0;
    Strings Called;
    TObject Sender;
    TObject* Seen = nullptr;
    EXPECT_TRUE(Events.RegisterCommand(
        "Clock", "SaveTag",
        [&](TObject* S) {
            Called.push_back("save");
            Seen = S;
        },
        &Plugin));
    EXPECT_TRUE(Events.RegisterCommand(
        "x", "loadtag", [&](TObject*) { Called.push_back("load x"); }, &Plugin));
    EXPECT_TRUE(Events.RegisterCommand(
        "inert", "sometag", [&](TObject*) { Called.push_back("never"); }, &Plugin));
    EXPECT_FALSE(Events.RegisterCommand(
        "menu", "command", [&](TObject*) {}, &Plugin));
    ASSERT_NE(Events.Find("CLOCK"), nullptr);
    EXPECT_EQ(Events.Find("menu"), nullptr);

    TFakeTags Tags;
    RunDotLines(".clock now\r.x\r.inert y\r.tag", false, Events, &Sender, &Tags);
    EXPECT_EQ(Called, (Strings{"save"}));
    EXPECT_EQ(Seen, &Sender);
    EXPECT_EQ(Tags.Calls, (Strings{"+tag"}));

    Called.clear();
    RunDotLines(".clock now\r.x\r.inert y", true, Events, &Sender, nullptr);
    EXPECT_EQ(Called, (Strings{"load x"}));
}

TEST(TagEvents, UnloadedPluginsHandlersAreDroppedButTheirWordsStayInert) {
    TTagEventTable Events;
    int PluginA = 0, PluginB = 0;
    int CallsA = 0, CallsB = 0;
    Events.RegisterCommand(
        "clock", "savetag", [&](TObject*) { ++CallsA; }, &PluginA);
    Events.RegisterCommand(
        "clock", "loadtag", [&](TObject*) { ++CallsB; }, &PluginB);
    Events.RetirePlugin(&PluginA);
    TFakeTags Tags;
    RunDotLines(".clock work", false, Events, nullptr, &Tags);
    RunDotLines(".clock work", true, Events, nullptr, nullptr);
    EXPECT_EQ(CallsA, 0);
    EXPECT_EQ(CallsB, 1);
    EXPECT_TRUE(Tags.Calls.empty());
    // A later command replaces the handler of its kind.
    Events.RegisterCommand(
        "Clock", "SAVETAG", [&](TObject*) { CallsA += 10; }, &PluginB);
    RunDotLines(".clock", false, Events, nullptr, &Tags);
    EXPECT_EQ(CallsA, 10);
}

TEST(TagEvents, HandlerExceptionStopsTheRemainingLines) {
    TTagEventTable Events;
    int Later = 0;
    Events.RegisterCommand(
        "boom", "savetag", [](TObject*) { throw std::runtime_error("plug-in failed"); }, nullptr);
    Events.RegisterCommand(
        "later", "savetag", [&](TObject*) { ++Later; }, nullptr);
    TFakeTags Tags;
    EXPECT_THROW(RunDotLines(".boom\r.later\r.t", false, Events, nullptr, &Tags), std::runtime_error);
    EXPECT_EQ(Later, 0);
    EXPECT_TRUE(Tags.Calls.empty());
}
