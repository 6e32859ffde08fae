// Stream conversions of the rich-edit line list.
#include "richedit/MvConversions.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"

#include <algorithm>

TRichStreamFormat StreamFormatOfKind(std::uint8_t Kind) {
    return (Kind == 1 || Kind == 3) ? sfRichText : sfPlainText;
}

// ---- TMvConversion: the do-nothing base ----

bool TMvConversion::CanHandleExtension(const std::string&, bool) {
    return true;
}
bool TMvConversion::CanHandle(bool) {
    return true;
}
std::string TMvConversion::GetFilter() {
    return {};
}
std::uint8_t TMvConversion::TextKind() {
    return 1;
}
bool TMvConversion::IsFormatCorrectFile(const std::string&) {
    return true;
}
bool TMvConversion::IsFormatCorrectStream(TStream&) {
    return true;
}
bool TMvConversion::OpenFile(const std::string&, bool) {
    return false;
}
bool TMvConversion::OpenStream(TStream&, bool) {
    return false;
}
void TMvConversion::Init(std::uintptr_t ParentWindow) {
    FParentWindow = ParentWindow;
    FPercentDone = 0;
}
void TMvConversion::Done() {
    FParentWindow = 0;
}
bool TMvConversion::Retry() {
    return false;
}
int TMvConversion::ConvertRead(char*, int) {
    return -1;
}
int TMvConversion::ConvertWrite(const char*, int) {
    return -1;
}
bool TMvConversion::Completed() {
    return false;
}
bool TMvConversion::HasErrorMessage() {
    return false;
}
std::string TMvConversion::GetErrorMessage() {
    return {};
}

void TMvConversion::SetPercentDone(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (Value == FPercentDone) return;
    FPercentDone = Value;
    if (OnProgress) OnProgress(this);
}

// ---- TMvStreamConversion ----

bool TMvStreamConversion::OpenFile(const std::string& FileName, bool ForSave) {
    Done();
    FOwnedStream =
        std::make_unique<TFileStream>(FileName, ForSave ? fmCreate : (fmOpenRead | fmShareDenyWrite));
    FStream = FOwnedStream.get();
    FStart = 0;
    FSize = FStream->Size();
    FCount = 0;
    FTail = {};
    return true;
}

bool TMvStreamConversion::OpenStream(TStream& Stream, bool) {
    Done();
    FStream = &Stream;
    FStart = Stream.Position();
    FSize = Stream.Seek(0, soEnd);
    Stream.Seek(FStart, soBeginning);
    FCount = 0;
    FTail = {};
    return true;
}

void TMvStreamConversion::Done() {
    FStream = nullptr;
    FOwnedStream.reset();
    TMvConversion::Done();
}

bool TMvStreamConversion::Retry() {
    const std::uint8_t Kind = TextKind();
    if ((Kind != 2 && Kind != 3) || !FStream) return false;
    FStream->Seek(FStart, soBeginning);
    FCount = 0;
    FTail = {};
    return true;
}

void TMvStreamConversion::AddProgress(int Moved) {
    if (FSize < 1 || Moved <= 0) return;
    FCount += Moved;
    SetPercentDone(mv::richedit::ConversionPercent(FCount, FSize));
}

int TMvStreamConversion::ConvertRead(char* Buffer, int Count) {
    if (!FStream || Count < 0) return -1;
    const std::int64_t Got = FStream->Read(Buffer, Count);
    if (Got < 0) return -1;
    AddProgress(static_cast<int>(Got));
    return static_cast<int>(Got);
}

int TMvStreamConversion::ConvertWrite(const char* Buffer, int Count) {
    if (!FStream || Count < 0) return -1;
    const std::int64_t Put = FStream->Write(Buffer, Count);
    if (Put < 0) return -1;
    FTail.Feed(Buffer, static_cast<std::size_t>(Put));
    // Writes grow the stream; progress is only meaningful against a known size.
    AddProgress(static_cast<int>(Put));
    return static_cast<int>(Put);
}

// ---- the two concrete conversions ----

bool TMvRTFConversion::CanHandleExtension(const std::string& Ext, bool) {
    return Ext == "rtf";
}
std::string TMvRTFConversion::GetFilter() {
    return "Rich Text Format (*.rtf)|*.rtf";
}
std::uint8_t TMvRTFConversion::TextKind() {
    return 3;
}

bool TMvRTFConversion::IsFormatCorrectFile(const std::string& FileName) {
    try {
        TFileStream F(FileName, fmOpenRead | fmShareDenyWrite);
        return IsFormatCorrectStream(F);
    } catch (const EStreamError&) {
        return false;
    }
}

bool TMvRTFConversion::IsFormatCorrectStream(TStream& Stream) {
    const std::int64_t Pos = Stream.Position();
    char Head[5] = {};
    const std::int64_t Got = Stream.Read(Head, 5);
    Stream.Seek(Pos, soBeginning);
    return Got == 5 && mv::richedit::HasRtfSignature(Head, 5);
}

bool TMvTextConversion::CanHandleExtension(const std::string& Ext, bool) {
    return Ext == "txt";
}
std::string TMvTextConversion::GetFilter() {
    return "Plain text (*.txt)|*.txt";
}
std::uint8_t TMvTextConversion::TextKind() {
    return 2;
}

// ---- TConversionFormatList ----

TConversionFormatList::TConversionFormatList() {
    FItems.push_back(std::make_unique<TMvRTFConversion>());
    FRtfIndex = 0;
    FItems.push_back(std::make_unique<TMvTextConversion>());
    FTextIndex = 1;
}

TConversionFormatList& TConversionFormatList::Instance() {
    static TConversionFormatList List;
    return List;
}

TMvConversion& TConversionFormatList::ForStream(TStream& Stream, bool ForSave, std::uintptr_t ParentWindow) {
    TMvConversion& R = Rtf();
    R.Init(ParentWindow);
    if (R.CanHandle(ForSave) && (ForSave || R.IsFormatCorrectStream(Stream))) return R;
    R.Done();
    TMvConversion& T = Text();
    T.Init(ParentWindow);
    return T;
}

TMvConversion& TConversionFormatList::ForFile(const std::string& FileName, bool ForSave,
                                              std::uintptr_t ParentWindow) {
    std::string Ext = LowerCase(ExtractFileExt(FileName));
    if (!Ext.empty() && Ext[0] == '.') Ext.erase(0, 1);
    for (auto& C : FItems) {
        C->Init(ParentWindow);
        if (C->CanHandleExtension(Ext, ForSave) && (ForSave || C->IsFormatCorrectFile(FileName))) return *C;
        C->Done();
    }
    TMvConversion& R = Rtf();
    R.Init(ParentWindow);
    return R;
}

// ---- TStreamInPump ----

TStreamInPump::TStreamInPump(TMvConversion& Conversion, bool NormalizeBreaks)
    : FConversion(Conversion), FNormalize(NormalizeBreaks) {}

int TStreamInPump::Fill(char* Buffer, int Count) {
    if (Count <= 0) return 0;
    if (!FNormalize) {
        const int Got = FConversion.ConvertRead(Buffer, Count);
        return Got < 0 ? -1 : Got;
    }
    // Half the buffer's worth per read keeps the converted text near one buffer.
    const int Chunk = std::max(Count / 2, 1);
    while (FOutPos == FOut.size() && !FEnd) {
        FOut.clear();
        FOutPos = 0;
        FScratch.resize(static_cast<std::size_t>(Chunk));
        const int Got = FConversion.ConvertRead(FScratch.data(), Chunk);
        if (Got < 0) return -1;
        if (Got == 0) {
            FEnd = true;
            FNormalizer.Finish(FOut);
        } else {
            FNormalizer.Feed(FScratch.data(), static_cast<std::size_t>(Got), FOut);
        }
    }
    const std::size_t N = std::min(FOut.size() - FOutPos, static_cast<std::size_t>(Count));
    std::copy_n(FOut.data() + FOutPos, N, Buffer);
    FOutPos += N;
    return static_cast<int>(N);
}
