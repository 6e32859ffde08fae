// Window-free text rules of the rich-edit control.
#include "richedit/MvRichEditText.h"

#include <algorithm>

namespace mv::richedit {

void TLineBreakNormalizer::Feed(const char* Data, std::size_t Count, std::string& Out) {
    if (Count == 0) return;
    Out.reserve(Out.size() + Count + Count / 8 + 2);
    std::size_t I = 0;
    if (FPendingCR) {
        FPendingCR = false;
        Out += "\r\n";
        if (Data[0] == '\n') I = 1; // the CR LF pair was split across the chunks
    }
    for (; I < Count; ++I) {
        const char C = Data[I];
        if (C == '\r') {
            if (I + 1 == Count) {
                FPendingCR = true;
            } else {
                Out += "\r\n";
                if (Data[I + 1] == '\n') ++I;
            }
        } else if (C == '\n') {
            Out += "\r\n";
        } else {
            Out += C;
        }
    }
}

void TLineBreakNormalizer::Finish(std::string& Out) {
    if (FPendingCR) {
        FPendingCR = false;
        Out += "\r\n";
    }
}

std::string NormalizeLineBreaks(std::string_view Text) {
    std::string Out;
    TLineBreakNormalizer N;
    N.Feed(Text.data(), Text.size(), Out);
    N.Finish(Out);
    return Out;
}

bool HasRtfSignature(const char* Data, std::size_t Count) {
    static constexpr char kSignature[] = "{\\rtf";
    if (Count < 5) return false;
    for (std::size_t I = 0; I < 5; ++I) {
        char C = Data[I];
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
        if (C != kSignature[I]) return false;
    }
    return true;
}

static bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\0';
}

void TRtfTailTracker::Feed(const char* Data, std::size_t Count) {
    FBytes += Count;
    for (std::size_t I = Count; I > 0; --I) {
        if (!IsBlank(Data[I - 1])) {
            FLast = Data[I - 1];
            return;
        }
    }
}

bool IsCompleteRtf(std::string_view Text) {
    TRtfTailTracker T;
    T.Feed(Text.data(), Text.size());
    return T.IsComplete();
}

int ConversionPercent(std::int64_t Count, std::int64_t Size) {
    if (Size < 1) return 0;
    const std::int64_t P = (Count * 100 + Size / 2) / Size;
    return static_cast<int>(std::clamp<std::int64_t>(P, 0, 100));
}

std::string TrimLineBreak(std::string Line, int RichEditVersion) {
    const std::size_t N = Line.size();
    if (N >= 2 && Line[N - 2] == '\r' && Line[N - 1] == '\n') {
        Line.resize(N - 2);
    } else if (RichEditVersion >= 2 && N >= 1 && Line[N - 1] == '\r') {
        Line.resize(N - 1);
    }
    return Line;
}

std::uint64_t TextRangeBufferSize(std::int32_t Start, std::int32_t End) {
    if (End <= Start) return 0;
    const std::uint64_t Chars = static_cast<std::uint64_t>(static_cast<std::int64_t>(End) - Start);
    return Chars * 2 + 1;
}

std::string FitFaceName(std::string_view Name) {
    const std::size_t Nul = Name.find('\0');
    if (Nul != std::string_view::npos) Name = Name.substr(0, Nul);
    return std::string(Name.substr(0, kFaceNameField - 1));
}

std::uint8_t RichEditVersionFromFileVersion(std::uint32_t FileVersionMS) {
    const std::uint8_t V = static_cast<std::uint8_t>((FileVersionMS & 0xFFFFu) / 10u);
    return V == 0 ? 2 : V;
}

int ZoomPercent(int Numerator, int Denominator) {
    if (Denominator < 1) return 100;
    return static_cast<int>((static_cast<std::int64_t>(100) * Numerator + Denominator / 2) / Denominator);
}

int SelectionLengthFromGetSel(std::uint32_t Start, std::uint32_t End, std::uint32_t Reply) {
    const std::int64_t Len = static_cast<std::int64_t>(End) - static_cast<std::int64_t>(Start);
    if (Len > 0) return static_cast<int>(Len);
    const std::int32_t SignedReply = static_cast<std::int32_t>(Reply);
    if (SignedReply > 0) return static_cast<int>(Reply >> 16) - static_cast<int>(Reply & 0xFFFFu);
    return static_cast<int>(Len);
}

} // namespace mv::richedit
