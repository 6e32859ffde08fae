// Quoting of statement parts and reading of "title=id" lines.
#include <gtest/gtest.h>

#include "store/StoreLists.h"
#include "store/StoreSQL.h"

namespace {

struct TQuoteCase {
    const char* Text;
    const char* Quoted;
    const char* Like;
};

TEST(StoreSQL, QuotesTextAndEscapesLikePatterns) {
    const TQuoteCase cases[] = {
        {"abc", "'abc'", "'abc' ESCAPE '\\'"},
        {"O'Neil", "'O''Neil'", "'O''Neil' ESCAPE '\\'"},
        {"a_c", "'a_c'", "'a\\_c' ESCAPE '\\'"},
        {"100%", "'100%'", "'100\\%' ESCAPE '\\'"},
        {"back\\slash", "'back\\slash'", "'back\\\\slash' ESCAPE '\\'"},
        {"", "''", "'' ESCAPE '\\'"},
        {"what?", "'what?'", "'what?' ESCAPE '\\'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlText(c.Text), c.Quoted) << c.Text;
        EXPECT_EQ(SqlLike(c.Text), c.Like) << c.Text;
    }
    EXPECT_EQ(SqlLikeContains("50%'s"), "'%50\\%''s%' ESCAPE '\\'");
    EXPECT_EQ(SqlInt(-1), "-1");
    EXPECT_EQ(SqlInt(2147483648LL), "2147483648");
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
