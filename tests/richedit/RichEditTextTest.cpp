// Stream text rules: line breaks across chunks, the RTF signature and
// completeness, progress, line trimming, buffer sizes, face names, versions.
#include "richedit/MvRichEditText.h"

#include <gtest/gtest.h>

#include <string>

using namespace mv::richedit;

namespace {

// Feeds Text in chunks of ChunkSize bytes, the way stream-in reads it.
std::string NormalizeInChunks(const std::string& Text, std::size_t ChunkSize) {
    TLineBreakNormalizer N;
    std::string Out;
    for (std::size_t I = 0; I < Text.size(); I += ChunkSize)
        N.Feed(Text.data() + I, std::min(ChunkSize, Text.size() - I), Out);
    N.Finish(Out);
    return Out;
}

} // namespace

TEST(LineBreakNormalizer, MakesEveryKindOfBreakCrLf) {
    struct Case {
        const char* In;
        const char* Out;
    } Cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"", ""},
        {"\r", "\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"\r\r", "\r\n\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"x\r\n\r\ny", "x\r\n\r\ny"},
        {"end\r", "end\r\n"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(NormalizeLineBreaks(C.In), C.Out) << C.In;
}

TEST(LineBreakNormalizer, GivesTheSameResultForEveryChunking) {
    const std::string Text = "one\rtwo\r\nthree\nfour\r\r\nfive\r";
    const std::string Whole = NormalizeLineBreaks(Text);
    for (std::size_t Chunk = 1; Chunk <= Text.size(); ++Chunk)
        EXPECT_EQ(NormalizeInChunks(Text, Chunk), Whole) << "chunk " << Chunk;
}

TEST(LineBreakNormalizer, KeepsLoneCrAtA2048ByteChunkEnd) {
    std::string Text(2047, 'a');
    Text += '\r';    // the last byte of the first chunk
    Text += "bbb\r"; // and a lone CR at the end of the data
    const std::string Out = NormalizeInChunks(Text, 2048);
    EXPECT_EQ(Out, std::string(2047, 'a') + "\r\nbbb\r\n");

    std::string Split(2047, 'a');
    Split += "\r\nz"; // CR LF split over the chunk boundary stays one break
    EXPECT_EQ(NormalizeInChunks(Split, 2048), std::string(2047, 'a') + "\r\nz");
}

TEST(RtfSignature, FollowsTheFiveByteRule) {
    EXPECT_TRUE(HasRtfSignature("{\\rtf1\\ansi}", 12));
    EXPECT_TRUE(HasRtfSignature("{\\RTF1", 6));
    EXPECT_TRUE(HasRtfSignature("{\\rTf", 5));
    EXPECT_FALSE(HasRtfSignature("{\\rt", 4));
    EXPECT_FALSE(HasRtfSignature(" {\\rtf1", 7));
    EXPECT_FALSE(HasRtfSignature("{\\rtx1", 6));
    EXPECT_FALSE(HasRtfSignature("", 0));
}

TEST(RtfCompleteness, LastNonBlankByteMustCloseTheGroup) {
    EXPECT_TRUE(IsCompleteRtf("{\\rtf1 hello}"));
    EXPECT_TRUE(IsCompleteRtf("{\\rtf1 hello}\r\n\0"));
    EXPECT_FALSE(IsCompleteRtf("{\\rtf1 hello"));
    EXPECT_FALSE(IsCompleteRtf(""));
    EXPECT_FALSE(IsCompleteRtf("  \r\n"));

    // Written in pieces, a blank last piece does not hide the closing brace.
    TRtfTailTracker T;
    T.Feed("{\\rtf1 x}", 9);
    T.Feed("\r\n", 2);
    EXPECT_TRUE(T.IsComplete());
    T.Feed("{\\par", 5);
    EXPECT_FALSE(T.IsComplete());
    EXPECT_EQ(T.BytesSeen(), 16u);
}

TEST(ConversionPercent, RoundsAndClamps) {
    EXPECT_EQ(ConversionPercent(0, 0), 0);
    EXPECT_EQ(ConversionPercent(10, -1), 0);
    EXPECT_EQ(ConversionPercent(1, 3), 33);
    EXPECT_EQ(ConversionPercent(2, 3), 67);
    EXPECT_EQ(ConversionPercent(3, 3), 100);
    EXPECT_EQ(ConversionPercent(5, 3), 100);
    EXPECT_EQ(ConversionPercent(3'000'000'000LL, 4'000'000'000LL), 75); // no 32-bit overflow
}

TEST(TrimLineBreak, DropsTheBreakByVersion) {
    EXPECT_EQ(TrimLineBreak("abc\r\n", 1), "abc");
    EXPECT_EQ(TrimLineBreak("abc\r\n", 2), "abc");
    EXPECT_EQ(TrimLineBreak("abc\r", 2), "abc");
    EXPECT_EQ(TrimLineBreak("abc\r", 1), "abc\r");
    EXPECT_EQ(TrimLineBreak("abc\r\r", 3), "abc\r");
    EXPECT_EQ(TrimLineBreak("", 2), "");
}

TEST(TextRangeBufferSize, IsEmptyForReversedRangesAndRoomyForDoubleBytes) {
    EXPECT_EQ(TextRangeBufferSize(5, 5), 0u);
    EXPECT_EQ(TextRangeBufferSize(7, 3), 0u);
    EXPECT_EQ(TextRangeBufferSize(0, 1), 3u);
    EXPECT_EQ(TextRangeBufferSize(10, 20), 21u);
    EXPECT_EQ(TextRangeBufferSize(-2147483647 - 1, 2147483647), 2ull * 4294967295ull + 1ull);
}

TEST(FitFaceName, LeavesRoomForTheNul) {
    EXPECT_EQ(FitFaceName("Arial"), "Arial");
    const std::string Long(40, 'F');
    EXPECT_EQ(FitFaceName(Long).size(), 31u);
    EXPECT_EQ(FitFaceName(std::string(31, 'G')).size(), 31u);
    EXPECT_EQ(FitFaceName(std::string_view("Ab\0cd", 5)), "Ab");
}

TEST(RichEditVersion, ComesFromTheMinorFileVersion) {
    EXPECT_EQ(RichEditVersionFromFileVersion((5u << 16) | 30u), 3);
    EXPECT_EQ(RichEditVersionFromFileVersion((5u << 16) | 40u), 4);
    EXPECT_EQ(RichEditVersionFromFileVersion((5u << 16) | 0u), 2);
    EXPECT_EQ(RichEditVersionFromFileVersion((5u << 16) | 9u), 2);
}

TEST(ZoomPercent, HandlesBadDenominators) {
    EXPECT_EQ(ZoomPercent(3, 2), 150);
    EXPECT_EQ(ZoomPercent(1, 3), 33);
    EXPECT_EQ(ZoomPercent(5, 0), 100);
    EXPECT_EQ(ZoomPercent(5, -4), 100);
}

TEST(SelectionLength, FallsBackToTheReplyWords) {
    EXPECT_EQ(SelectionLengthFromGetSel(3, 8, 0), 5);
    EXPECT_EQ(SelectionLengthFromGetSel(0, 0, (9u << 16) | 2u), 7);
    EXPECT_EQ(SelectionLengthFromGetSel(4, 4, 0), 0);
    EXPECT_EQ(SelectionLengthFromGetSel(4, 4, 0xFFFFFFFFu), 0); // -1 reply is not positive
}
