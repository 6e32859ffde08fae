// Statement parts, the NUL check on names, and reading of "title=id" lines.
#include <gtest/gtest.h>

#include "base/Streams.h"
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

} // namespace
