// THashedStringList: hashed lookups must agree with a plain scan after every kind of change.
#include "base/StringList.h"

#include <gtest/gtest.h>

#include <random>

#include "base/StrUtils.h"

namespace {

// The answer a plain scan gives, to check the hash against.
int ScanIndexOf(const TStrings& list, const std::string& s, bool caseSensitive) {
    for (int i = 0; i < list.Count(); ++i)
        if (caseSensitive ? list[i] == s : SameText(list[i], s)) return i;
    return -1;
}

int ScanIndexOfName(const TStrings& list, const std::string& name, bool caseSensitive) {
    for (int i = 0; i < list.Count(); ++i) {
        const std::string line = list[i];
        const size_t at = line.find(list.NameValueSeparator());
        if (at == std::string::npos) continue;
        const std::string n = line.substr(0, at);
        if (caseSensitive ? n == name : SameText(n, name)) return i;
    }
    return -1;
}

TEST(HashedStringList, LookupsFollowInsertsDeletesAndRenames) {
    THashedStringList list;
    list.SetText("Default=1\r\nwork=2\r\nHome=3");
    EXPECT_EQ(1, list.IndexOfName("WORK"));
    EXPECT_EQ(2, list.IndexOf("home=3"));

    list.Insert(0, "first=0");
    EXPECT_EQ(2, list.IndexOfName("work"));
    list.Delete(2);
    EXPECT_EQ(-1, list.IndexOfName("work"));
    EXPECT_EQ(2, list.IndexOfName("home"));
    list.Put(2, "house=3");
    EXPECT_EQ(-1, list.IndexOfName("home"));
    EXPECT_EQ(2, list.IndexOfName("HOUSE"));
    list.SetValue("house", "");
    EXPECT_EQ(-1, list.IndexOfName("house"));
    list.Exchange(0, 1);
    EXPECT_EQ(1, list.IndexOfName("first"));
    list.Move(1, 0);
    EXPECT_EQ(0, list.IndexOf("FIRST=0"));
    list.Clear();
    EXPECT_EQ(-1, list.IndexOf("first=0"));
}

TEST(HashedStringList, FirstOfEqualLinesWins) {
    THashedStringList list;
    list.SetText("a=1\r\nA=2\r\na=1");
    EXPECT_EQ(0, list.IndexOfName("a"));
    EXPECT_EQ(0, list.IndexOf("A=1"));
    list.Delete(0);
    EXPECT_EQ(0, list.IndexOfName("a"));
    EXPECT_EQ(1, list.IndexOf("a=1"));
}

TEST(HashedStringList, ChangesInsideAnUpdateAreSeen) {
    THashedStringList list;
    list.Add("x=1");
    list.BeginUpdate();
    EXPECT_EQ(0, list.IndexOfName("x"));
    list.Insert(0, "y=2");
    EXPECT_EQ(1, list.IndexOfName("x")) << "the hash is stale inside BeginUpdate";
    list.EndUpdate();
}

TEST(HashedStringList, RuleChangesRebuildTheHash) {
    THashedStringList list;
    list.SetText("Key=v\r\nns:t");
    EXPECT_EQ(0, list.IndexOfName("key"));
    list.SetCaseSensitive(true);
    EXPECT_EQ(-1, list.IndexOfName("key"));
    EXPECT_EQ(-1, list.IndexOf("KEY=v"));
    list.SetNameValueSeparator(':');
    EXPECT_EQ(1, list.IndexOfName("ns"));
    EXPECT_EQ(-1, list.IndexOfName("Key"));
}

TEST(HashedStringList, AgreesWithAScanUnderRandomEdits) {
    std::mt19937 random(12345);
    const char* names[] = {"alpha", "Alpha", "BETA", "gamma", "delta", "x", ""};
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (bool caseSensitive : {false, true}) {
        THashedStringList list;
        list.SetCaseSensitive(caseSensitive);
        for (int step = 0; step < 2000; ++step) {
            const std::string line = std::string(names[pick(7)]) + (pick(4) ? "=" : "") + names[pick(7)];
            switch (pick(6)) {
            case 0:
                list.Add(line);
                break;
            case 1:
                list.Insert(pick(list.Count() + 1), line);
                break;
            case 2:
            case 5:
                if (list.Count() > 0) list.Delete(pick(list.Count()));
                break;
            case 3:
                if (list.Count() > 0) list.Put(pick(list.Count()), line);
                break;
            case 4:
                list.SetValue(names[pick(7)], pick(3) ? names[pick(7)] : "");
                break;
            }
            const std::string probe = names[pick(7)];
            ASSERT_EQ(ScanIndexOfName(list, probe, caseSensitive), list.IndexOfName(probe)) << step;
            ASSERT_EQ(ScanIndexOf(list, line, caseSensitive), list.IndexOf(line)) << step;
        }
    }
}

TEST(HashedStringList, SortedHashedList) {
    THashedStringList list;
    list.SetSorted(true);
    list.SetText("b\r\nA\r\nc\r\na");
    EXPECT_EQ(3, list.Count());
    EXPECT_EQ(0, list.IndexOf("a"));
    EXPECT_EQ(2, list.IndexOf("C"));
}

} // namespace
