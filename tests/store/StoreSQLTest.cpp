// Statement parts, the NUL check on names, and making and reading of "title=id" lines.
#include <gtest/gtest.h>

#include <random>

#include "base/Streams.h"
#include "base/StringList.h"
#include "store/SQLiteAccess.h"
#include "store/StoreLists.h"
#include "store/StoreSQL.h"

namespace {

struct TQuoteCase {
    const char* Text;
    const char* Quoted;
};

TEST(StoreSQL, QuotesTextAndWritesIds) {
    const TQuoteCase cases[] = {
        {"abc", "'abc'"},     {"O'Neil", "'O''Neil'"},          {"a_c", "'a_c'"},
        {"100%", "'100%'"},   {"back\\slash", "'back\\slash'"}, {"", "''"},
        {"what?", "'what?'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SqlText(c.Text), c.Quoted) << c.Text;
    EXPECT_EQ(SqlInt(-1), "-1");
    EXPECT_EQ(SqlInt(2147483648LL), "2147483648");
}

TEST(StoreSQL, StreamBytesTakesTheWholeStreamWhereverItsPosition) {
    TStringStream stream(std::string("a\0b\xE9"
                                     "c",
                                     5));
    stream.SetPosition(3);
    EXPECT_EQ(StreamBytes(stream), std::string("a\0b\xE9"
                                               "c",
                                               5));
    TStringStream empty;
    EXPECT_EQ(StreamBytes(empty), "");
}

TEST(StoreSQL, NamesWithANulAreRefusedWithTheNulShown) {
    EXPECT_NO_THROW(CheckName("title", "M\xFCller's 100%"));
    EXPECT_NO_THROW(CheckName("title", ""));
    const struct {
        std::string Name;
        const char* Message;
    } cases[] = {
        {std::string("a\0b", 3), "The tag \"a\\0b\" contains a NUL character, which names cannot hold"},
        {std::string("\0", 1), "The tag \"\\0\" contains a NUL character, which names cannot hold"},
        {std::string("x\0\0", 3), "The tag \"x\\0\\0\" contains a NUL character, which names cannot hold"},
    };
    for (const auto& c : cases) {
        try {
            CheckName("tag", c.Name);
            ADD_FAILURE() << "nothing raised";
        } catch (const ESQLiteException& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
}

struct TLineCase {
    const char* Line;
    const char* Title;
    int32_t ID;
};

TEST(StoreLists, SplitsTitleAndIdAtTheLastEquals) {
    const TLineCase cases[] = {
        {"Home=1", "Home", 1},  {"a=b=12", "a=b", 12}, {"x==3", "x=", 3},         {"=7", "", 7},
        {"no id", "no id", -1}, {"bad=id", "bad", -1}, {"1+1=2=42", "1+1=2", 42}, {"", "", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListLineTitle(c.Line), c.Title) << c.Line;
        EXPECT_EQ(ListLineID(c.Line), c.ID) << c.Line;
    }
}

// Titles drawn from the bytes where folding and whole-line comparison matter: letters of both
// cases, the six bytes between 'Z' and 'a' (after the letters once folded to upper case), the
// blank, digits and '=' (a title that is a prefix of another sorts by what follows it), and high
// bytes that never fold.
std::vector<std::string> TrickyTitles(size_t count) {
    static const char Alphabet[] = "aAbBzZ[\\]^_`{ =09-.~\x7F\x80\xC0\xE0\xFF";
    std::mt19937 random(2026);
    std::uniform_int_distribution<size_t> length(0, 6);
    std::uniform_int_distribution<size_t> pick(0, sizeof Alphabet - 2);
    std::vector<std::string> titles = {"", "a", "A", "a b", "ab", "a=1", "Topic 1", "Topic 10", "Topic 1 b"};
    while (titles.size() < count) {
        std::string title;
        for (size_t n = length(random); n > 0; --n)
            title += Alphabet[pick(random)];
        titles.push_back(title);
    }
    return titles;
}

TEST(StoreLists, LinesComeInTheOrderAddedOrAsAStringListSortsThem) {
    const std::vector<std::string> titles = TrickyTitles(3000);
    TListLines withIDs, bare;
    TStringList expected, expectedBare;
    for (size_t i = 0; i < titles.size(); ++i) {
        // Ids repeat now and then, as a topic found through two tags does.
        const int64_t id = i % 97 == 5 ? int64_t(i - 1) : int64_t(i) * 37 % 1000;
        withIDs.Add(titles[i], id);
        bare.Add(titles[i]);
        expected.Add(titles[i] + "=" + std::to_string(id));
        expectedBare.Add(titles[i]);
    }
    auto inOrder = [](std::unique_ptr<TStringList> list) { return list ? list->Text() : "(none)"; };
    EXPECT_EQ(inOrder(TListLines(withIDs).List(false)), expected.Text());
    EXPECT_EQ(inOrder(TListLines(bare).List(false)), expectedBare.Text());
    expected.Sort();
    expectedBare.Sort();
    EXPECT_EQ(inOrder(withIDs.List(true)), expected.Text());
    EXPECT_EQ(inOrder(bare.List(true)), expectedBare.Text());
    EXPECT_EQ(TListLines().List(true), nullptr);

    TListLines one;
    one.Add("", -5);
    EXPECT_EQ(inOrder(one.List(true)), "=-5\r\n");
}

} // namespace
