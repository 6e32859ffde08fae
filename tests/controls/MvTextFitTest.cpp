// Text shortening and GUID text, with a fixed-pitch measure (10 pixels a character).
#include "controls/MvGuid.h"
#include "controls/MvTextFit.h"

#include "base/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FitCase {
    const char* Text;
    int MaxWidth;
    const char* Expected;
};

TEST(ShortenTextToWidth, KeepsWhatFitsAndCutsTheRestWithDots) {
    const FitCase cases[] = {
        {"abcdef", 60, "abcdef"},    // fits exactly
        {"abcdef", 200, "abcdef"},   // fits easily
        {"abcdef", 60 - 1, "ab..."}, // "abcd..." and "abc..." are too wide
        {"abcdef", 30, "..."},       // only the dots
        {"abcdef", 5, "..."},        // not even the dots: they stay
        {"", 0, ""},                 // nothing to shorten
        {"a", 0, "..."},             // one character too wide
        {"Find notes", 70, "Find..."},
    };
    for (const FitCase& c : cases) {
        auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
        EXPECT_EQ(ShortenTextToWidthBy(c.Text, c.MaxWidth, width), c.Expected)
            << c.Text << " in " << c.MaxWidth;
    }
}

TEST(ShortenTextToWidth, TriesTheCandidatesFromLongestDown) {
    std::vector<std::string> tried;
    auto width = [&tried](const std::string& s) {
        tried.push_back(s);
        return static_cast<int>(s.size()) * 10;
    };
    EXPECT_EQ(ShortenTextToWidthBy("abcdef", 60, width), "abcdef");
    tried.clear();
    // Only the first three characters and the dots fit.
    EXPECT_EQ(ShortenTextToWidthBy("abcdefg", 60, width), "abc...");
    EXPECT_EQ(tried, (std::vector<std::string>{"abcdefg", "abcde...", "abcd...", "abc..."}));
}

TEST(MvGuid, TextRoundTripAndComparison) {
    const std::string text = "{62A7A17D-1E21-427E-861D-C92FBB9B09A6}";
    TMvGUID g = TMvGUID::FromString(text);
    EXPECT_EQ(g.D1, 0x62A7A17Du);
    EXPECT_EQ(g.D2, 0x1E21);
    EXPECT_EQ(g.D3, 0x427E);
    EXPECT_EQ(g.D4[0], 0x86);
    EXPECT_EQ(g.D4[7], 0xA6);
    EXPECT_EQ(g.ToString(), text);
    EXPECT_TRUE(SameGUID(g, TMvGUID::FromString("{62a7a17d-1e21-427e-861d-c92fbb9b09a6}")));
    TMvGUID other = g;
    other.D4[7] ^= 1;
    EXPECT_FALSE(SameGUID(g, other));
    // Memory order: Data1 little-endian first.
    EXPECT_EQ(g.Bytes()[0], 0x7D);
    EXPECT_EQ(g.Bytes()[3], 0x62);
    EXPECT_EQ(g.Bytes()[8], 0x86);
}

TEST(MvGuid, MalformedTextIsRejected) {
    for (const char* bad :
         {"", "{}", "62A7A17D-1E21-427E-861D-C92FBB9B09A6", "{62A7A17D-1E21-427E-861D-C92FBB9B09AZ}",
          "{62A7A17D+1E21-427E-861D-C92FBB9B09A6}", "{62A7A17D-1E21-427E-861D-C92FBB9B09A6"})
        EXPECT_THROW(TMvGUID::FromString(bad), EConvertError) << bad;
}

} // namespace
