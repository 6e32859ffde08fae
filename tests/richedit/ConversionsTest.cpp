// Stream conversions: choosing by signature and extension, positions, the
// stream-in pump's line breaks, progress, retry and the RTF tail check.
#include "richedit/MvConversions.h"

#include "base/Streams.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Pumps everything out with window buffers of BufferSize bytes.
std::string PumpAll(TMvConversion& C, bool Normalize, int BufferSize) {
    TStreamInPump Pump(C, Normalize);
    std::string Out;
    std::vector<char> Buf(static_cast<std::size_t>(BufferSize));
    for (;;) {
        const int N = Pump.Fill(Buf.data(), BufferSize);
        EXPECT_GE(N, 0);
        if (N <= 0) break;
        Out.append(Buf.data(), static_cast<std::size_t>(N));
    }
    return Out;
}

} // namespace

TEST(ConversionChoice, LoadUsesRtfOnlyForTheSignature) {
    auto& List = TConversionFormatList::Instance();
    struct Case {
        std::string Data;
        bool Rtf;
    } Cases[] = {{"{\\RTF1 x}", true},
                 {"{\\rtf1\\ansi x}", true},
                 {"{\\rt", false},
                 {" {\\rtf1 x}", false},
                 {"", false}};
    for (const Case& C : Cases) {
        TStringStream S(C.Data);
        TMvConversion& Conv = List.ForStream(S, false, 0);
        EXPECT_EQ(StreamFormatOfKind(Conv.TextKind()), C.Rtf ? sfRichText : sfPlainText) << C.Data;
        EXPECT_EQ(S.Position(), 0) << "the format check must not move the stream";
        Conv.Done();
    }
    TStringStream Empty;
    TMvConversion& Save = List.ForStream(Empty, true, 0);
    EXPECT_EQ(Save.TextKind(), 3);
    Save.Done();
}

TEST(ConversionChoice, ReadsFromTheStreamsPosition) {
    auto& List = TConversionFormatList::Instance();
    TStringStream S("junk{\\rtf1 body}");
    S.SetPosition(4);
    TMvConversion& C = List.ForStream(S, false, 0);
    ASSERT_EQ(C.TextKind(), 3);
    ASSERT_TRUE(C.OpenStream(S, false));
    EXPECT_EQ(PumpAll(C, false, 64), "{\\rtf1 body}");
    C.Done();
}

TEST(ConversionChoice, FileExtensionPicksTheConversion) {
    auto& List = TConversionFormatList::Instance();
    TMvConversion& Txt = List.ForFile("notes/list.TXT", true, 7);
    EXPECT_EQ(Txt.TextKind(), 2);
    EXPECT_EQ(Txt.ParentWindow(), 7u);
    EXPECT_EQ(Txt.GetFilter(), "Plain text (*.txt)|*.txt");
    Txt.Done();
    TMvConversion& Other = List.ForFile("notes/list.doc", true, 0);
    EXPECT_EQ(Other.TextKind(), 3);
    EXPECT_EQ(Other.GetFilter(), "Rich Text Format (*.rtf)|*.rtf");
    Other.Done();
    // Loading a missing .rtf file cannot pass the format check; the default still answers.
    TMvConversion& Missing = List.ForFile("/nonexistent/x.rtf", false, 0);
    EXPECT_EQ(Missing.TextKind(), 3);
    Missing.Done();
}

TEST(StreamInPump, PlainTextArrivesWithUniformBreaksAtAnyBufferSize) {
    const std::string Text = "a\nb\rc\r\nd\r";
    for (int Buffer : {2, 3, 4, 5, 8, 4096}) {
        TMvTextConversion C;
        TStringStream S(Text);
        ASSERT_TRUE(C.OpenStream(S, false));
        EXPECT_EQ(PumpAll(C, true, Buffer), "a\r\nb\r\nc\r\nd\r\n") << "buffer " << Buffer;
        C.Done();
    }
}

TEST(StreamInPump, LoneCrAtTheEndOfA2048ByteChunkSurvives) {
    std::string Text(2047, 'x');
    Text += "\ry";
    TMvTextConversion C;
    TStringStream S(Text);
    ASSERT_TRUE(C.OpenStream(S, false));
    EXPECT_EQ(PumpAll(C, true, 4096), std::string(2047, 'x') + "\r\ny"); // chunk = 2048 bytes
    C.Done();
}

TEST(StreamInPump, ReportsAFailingConversion) {
    TMvConversion Base; // reads fail
    TStreamInPump Pump(Base, true);
    char Buf[16];
    EXPECT_EQ(Pump.Fill(Buf, 16), -1);
}

TEST(StreamConversion, ProgressFiresOnChangeOnlyAndEndsAt100) {
    TMvTextConversion C;
    TStringStream S(std::string(1000, 'q'));
    std::vector<int> Seen;
    C.OnProgress = [&](TMvConversion* Sender) { Seen.push_back(Sender->PercentDone()); };
    C.Init(0);
    ASSERT_TRUE(C.OpenStream(S, false));
    char Buf[100];
    while (C.ConvertRead(Buf, 100) > 0) {
    }
    C.ConvertRead(Buf, 100);
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen.back(), 100);
    for (std::size_t I = 1; I < Seen.size(); ++I)
        EXPECT_GT(Seen[I], Seen[I - 1]);
    C.Done();
}

TEST(StreamConversion, RetryRewindsToTheStartForTextAndRtfOnly) {
    TMvRTFConversion R;
    TStringStream S("ab{\\rtf1 broken");
    S.SetPosition(2);
    ASSERT_TRUE(R.OpenStream(S, false));
    char Buf[64];
    EXPECT_GT(R.ConvertRead(Buf, 64), 0);
    EXPECT_TRUE(R.Retry());
    EXPECT_EQ(S.Position(), 2);
    EXPECT_EQ(R.BytesMoved(), 0);
    R.Done();

    TMvStreamConversion Plain; // kind 1: no retry
    TStringStream S2("x");
    ASSERT_TRUE(Plain.OpenStream(S2, false));
    EXPECT_FALSE(Plain.Retry());
    Plain.Done();
}

TEST(StreamConversion, TracksWhetherWrittenRtfIsComplete) {
    TMvRTFConversion R;
    TStringStream Out;
    ASSERT_TRUE(R.OpenStream(Out, true));
    ASSERT_EQ(R.ConvertWrite("{\\rtf1 abc", 10), 10);
    EXPECT_FALSE(R.WrittenRtfComplete());
    ASSERT_EQ(R.ConvertWrite("}\r\n", 3), 3);
    EXPECT_TRUE(R.WrittenRtfComplete());
    EXPECT_EQ(Out.DataString(), "{\\rtf1 abc}\r\n");
    R.Done();
}
