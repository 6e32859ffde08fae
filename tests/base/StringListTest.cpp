// TStringList: name=value lines, sorting and duplicates, text and delimited text, objects, events.
#include "base/StringList.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "tests/base/TempDir.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list[i]);
    return result;
}

using V = std::vector<std::string>;

// Counts its own destructions.
class TCounted : public TObject {
public:
    explicit TCounted(int& deaths) : deaths_(deaths) {}
    ~TCounted() override { ++deaths_; }

private:
    int& deaths_;
};

TEST(StringListNameValue, NamesIgnoreCaseAndSplitAtTheFirstSeparator) {
    TStringList list;
    list.SetText("Version=3\r\nurl=a=b\r\nplain\r\n=orphan\r\n");
    EXPECT_EQ("3", list.Values("VERSION"));
    EXPECT_EQ("a=b", list.Values("URL"));
    EXPECT_EQ("url", list.Names(1));
    EXPECT_EQ("a=b", list.ValueFromIndex(1));
    EXPECT_EQ("", list.Names(2)) << "a line without separator has no name";
    EXPECT_EQ("", list.ValueFromIndex(2)) << "nor a value";
    EXPECT_EQ(-1, list.IndexOfName("plain"));
    EXPECT_EQ(3, list.IndexOfName(""));
    EXPECT_EQ("orphan", list.Values(""));
    EXPECT_EQ("", list.Values("missing"));
}

TEST(StringListNameValue, SettingValues) {
    TStringList list;
    list.SetValue("Splitter_Pos", "120");
    list.SetValue("list.visible", "1");
    list.SetValue("SPLITTER_POS", "80");
    EXPECT_EQ((V{"SPLITTER_POS=80", "list.visible=1"}), Lines(list)) << "replaced in place";
    list.SetValue("splitter_pos", "");
    EXPECT_EQ((V{"list.visible=1"}), Lines(list)) << "an empty value removes the line";
    list.SetValue("absent", "");
    EXPECT_EQ(1, list.Count());
    list.SetValueFromIndex(0, "0");
    EXPECT_EQ("list.visible=0", list[0]);
    list.SetValueFromIndex(0, "");
    EXPECT_EQ(0, list.Count());
}

TEST(StringListNameValue, CustomSeparatorAndCaseSensitivity) {
    TStringList list;
    list.SetNameValueSeparator(':');
    list.SetText("ns:Title\r\nNS:Other");
    EXPECT_EQ("Title", list.Values("NS"));
    list.SetCaseSensitive(true);
    EXPECT_EQ("Other", list.Values("NS"));
    EXPECT_EQ(-1, list.IndexOf("ns:title"));
}

TEST(StringListSorted, CaseInsensitiveAndDuplicatesIgnored) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"beta", "Alpha", "gamma", "ALPHA", "Beta", "alpha2"})
        list.Add(s);
    EXPECT_EQ((V{"Alpha", "alpha2", "beta", "gamma"}), Lines(list));
    EXPECT_EQ(0, list.Add("alpha")) << "an ignored duplicate reports the existing line";
    int index = -1;
    EXPECT_TRUE(list.Find("GAMMA", index));
    EXPECT_EQ(3, index);
    EXPECT_FALSE(list.Find("b", index));
    EXPECT_EQ(2, index) << "where it would go";
    EXPECT_EQ(2, list.IndexOf("BETA"));
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    EXPECT_THROW(list.Move(0, 1), EStringListError);
}

TEST(StringListSorted, DuplicateRules) {
    TStringList accept;
    accept.SetSorted(true);
    accept.SetDuplicates(dupAccept);
    accept.Add("b");
    accept.Add("a");
    accept.Add("B");
    EXPECT_EQ(3, accept.Count());
    EXPECT_EQ(1, accept.IndexOf("b")) << "the first equal line";

    TStringList strict;
    strict.SetSorted(true);
    strict.SetDuplicates(dupError);
    strict.Add("x");
    try {
        strict.Add("X");
        FAIL() << "duplicate accepted";
    } catch (const EStringListError& e) {
        EXPECT_EQ("String list does not allow duplicates", e.Message());
    }
    EXPECT_EQ(1, strict.Count());

    TStringList caseSensitive;
    caseSensitive.SetCaseSensitive(true);
    caseSensitive.SetSorted(true);
    caseSensitive.Add("b");
    caseSensitive.Add("B");
    caseSensitive.Add("a");
    EXPECT_EQ((V{"B", "a", "b"}), Lines(caseSensitive));
    caseSensitive.SetCaseSensitive(false);
    EXPECT_EQ((V{"a", "B", "b"}), Lines(caseSensitive)) << "re-sorted under the new rule";
}

TEST(StringListSorted, PutMovesTheLineAndKeepsItsObject) {
    int deaths = 0;
    TStringList list(true);
    list.SetSorted(true);
    list.AddObject("b", new TCounted(deaths));
    list.Add("c");
    TObject* moved = list.GetObject(0);
    list.Put(0, "d");
    EXPECT_EQ((V{"c", "d"}), Lines(list));
    EXPECT_EQ(moved, list.GetObject(1));
    EXPECT_THROW(list.Put(1, "C"), EStringListError) << "would drop a line";
    EXPECT_EQ((V{"c", "d"}), Lines(list));
    EXPECT_EQ(0, deaths);

    list.Put(1, "d=0");
    list.SetValue("D", "1");
    EXPECT_EQ((V{"c", "D=1"}), Lines(list));
    EXPECT_EQ(moved, list.GetObject(1));
    list.SetValue("a", "9");
    EXPECT_EQ((V{"a=9", "c", "D=1"}), Lines(list)) << "a new value goes to its sorted place";
}

TEST(StringListSorted, SortAndCustomSort) {
    TStringList list;
    list.SetText("pear\r\nApple\r\nfig\r\napple");
    list.Sort();
    EXPECT_EQ((V{"Apple", "apple", "fig", "pear"}), Lines(list)) << "stable for equal lines";
    list.CustomSort([](const TStringList& l, int a, int b) {
        return static_cast<int>(l[a].size()) - static_cast<int>(l[b].size());
    });
    EXPECT_EQ((V{"fig", "pear", "Apple", "apple"}), Lines(list));
}

TEST(StringListText, RoundTripsWithEveryLineBreak) {
    struct Case {
        const char* text;
        V lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"x\r\r\ny", {"x", "", "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(c.lines, Lines(list));
        TStringList again;
        again.SetText(list.Text());
        EXPECT_EQ(c.lines, Lines(again));
    }
    TStringList list;
    list.SetText("a\nb");
    EXPECT_EQ("a\r\nb\r\n", list.Text()) << "CR LF after every line";
}

TEST(StringListDelimited, QuotesAndEmbeddedDelimiters) {
    struct Case {
        V lines;
        const char* text;
    };
    const Case cases[] = {
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y", "z"}, "\"x,y\",z"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{""}, "\"\""},
        {{"a", ""}, "a,"},
        {{"", "b"}, ",b"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TStringList list;
        for (const std::string& s : c.lines)
            list.Add(s);
        EXPECT_EQ(c.text, list.DelimitedText());
        EXPECT_EQ(c.text, list.CommaText());
        TStringList back;
        back.SetDelimitedText(c.text);
        EXPECT_EQ(c.lines, Lines(back));
    }
}

TEST(StringListDelimited, ParsingBlanksAndStrictMode) {
    TStringList list;
    list.SetCommaText("  a , b c,\"d , e\"  ,f");
    EXPECT_EQ((V{"a", "b", "c", "d , e", "f"}), Lines(list)) << "blanks separate without strict mode";

    list.SetDelimiter(';');
    list.SetStrictDelimiter(true);
    list.SetDelimitedText(" a b ;;'q';\"x;y\"");
    EXPECT_EQ((V{" a b ", "", "'q'", "x;y"}), Lines(list));
    EXPECT_EQ(" a b ;;'q';\"x;y\"", list.DelimitedText());

    list.SetQuoteChar('\'');
    list.SetDelimitedText("'it''s';x");
    EXPECT_EQ((V{"it's", "x"}), Lines(list));

    list.SetStrictDelimiter(false);
    list.SetDelimiter(' ');
    list.SetDelimitedText("one  two\tthree ");
    EXPECT_EQ((V{"one", "two", "three"}), Lines(list));

    list.SetCommaText("\"unterminated, rest");
    EXPECT_EQ((V{"unterminated, rest"}), Lines(list));
    list.SetCommaText(std::string("a\0b,c", 5));
    EXPECT_EQ((V{"a", "b", "c"}), Lines(list)) << "a NUL is a blank, not the end";
}

TEST(StringListObjects, OwnedObjectsAreFreed) {
    int deaths = 0;
    {
        TStringList list(true);
        list.AddObject("a", new TCounted(deaths));
        list.AddObject("b", new TCounted(deaths));
        list.AddObject("c", new TCounted(deaths));
        list.Delete(0);
        EXPECT_EQ(1, deaths);
        list.PutObject(0, new TCounted(deaths));
        EXPECT_EQ(2, deaths) << "the replaced object";
        list.Exchange(0, 1);
        list.Move(1, 0);
        EXPECT_EQ(2, deaths) << "moving is not freeing";
        EXPECT_EQ(1, list.IndexOfObject(list.GetObject(1)));
    }
    EXPECT_EQ(4, deaths);

    TCounted kept(deaths);
    {
        TStringList notOwning;
        notOwning.AddObject("k", &kept);
        notOwning.Clear();
    }
    EXPECT_EQ(4, deaths);
}

TEST(StringListErrors, IndexOutOfBounds) {
    TStringList list;
    list.Add("only");
    const std::vector<std::function<void()>> calls = {
        [&] { list.Get(1); },           [&] { list.Get(-1); },        [&] { list.Put(1, "x"); },
        [&] { list.Delete(1); },        [&] { list.Insert(2, "x"); }, [&] { list.GetObject(5); },
        [&] { list.PutObject(1, {}); }, [&] { list.Exchange(0, 1); }, [&] { list.Move(1, 0); },
        [&] { list.Names(3); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            calls[i]();
            ADD_FAILURE() << "no error";
        } catch (const EStringListError& e) {
            EXPECT_EQ(0u, e.Message().find("List index out of bounds ("));
        }
    }
    try {
        list.Get(7);
    } catch (const EListError& e) {
        EXPECT_EQ("List index out of bounds (7)", e.Message());
    }
    EXPECT_EQ((V{"only"}), Lines(list));
}

TEST(StringListEvents, UpdatesAreBatched) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(&list, sender);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("a");
    EXPECT_EQ(1, changing);
    EXPECT_EQ(1, changed);
    list.BeginUpdate();
    list.BeginUpdate();
    list.SetText("x\r\ny\r\nz");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(1, changed) << "still inside the outer update";
    list.EndUpdate();
    EXPECT_EQ(2, changing);
    EXPECT_EQ(2, changed);
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(0, list.UpdateCount());
}

TEST(StringListAssign, CopiesLinesObjectsAndSettings) {
    TStringList source;
    TObject marker;
    source.SetNameValueSeparator(':');
    source.AddObject("a:1", &marker);
    source.Add("b:2");
    TStringList dest;
    dest.Add("old");
    dest.Assign(source);
    EXPECT_EQ((V{"a:1", "b:2"}), Lines(dest));
    EXPECT_EQ(&marker, dest.GetObject(0));
    EXPECT_EQ("2", dest.Values("B"));
    dest.Assign(dest);
    EXPECT_EQ(2, dest.Count());
    dest.AddStrings(dest);
    EXPECT_EQ(4, dest.Count());
}

TEST(StringListFiles, SaveAndLoad) {
    TempDir dir;
    const std::string name = dir.File("Plugins.ini");
    TStringList out;
    out.SetText("sample=True\nother=False");
    out.SaveToFile(name);
    TStringList in;
    in.LoadFromFile(name);
    EXPECT_EQ(Lines(out), Lines(in));
    EXPECT_EQ("True", in.Values("SAMPLE"));
    EXPECT_THROW(in.LoadFromFile(dir.File("none.ini")), EFOpenError);

    TStringStream stream("skip|one\rtwo");
    stream.SetPosition(5);
    in.LoadFromStream(stream);
    EXPECT_EQ((V{"one", "two"}), Lines(in)) << "from the stream's position";
    TStringStream saved;
    in.SaveToStream(saved);
    EXPECT_EQ("one\r\ntwo\r\n", saved.DataString());
}

} // namespace
