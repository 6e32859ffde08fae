// The line list of the rich-edit control and its stream-in / stream-out.
#include "richedit/MvRichEditStrings.h"

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "gui/Application.h"
#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditText.h"

#include <richedit.h>

#include <algorithm>
#include <exception>
#include <vector>

namespace {

constexpr char kFailedToLoad[] = "Failed to Load Stream";
constexpr char kFailedToSave[] = "Failed to Save Stream";
constexpr int kLineBuffer = 4096;

LRESULT Send(const TMvCustomRichEdit& R, UINT Msg, WPARAM W = 0, LPARAM L = 0) {
    return SendMessageA(const_cast<TMvCustomRichEdit&>(R).Handle(), Msg, W, L);
}

// What the stream callbacks share with the code that sent EM_STREAMIN/OUT. A C++
// exception must not cross the rich edit's frames: it is parked here and
// raised again once the message has returned.
struct TStreamInContext {
    TStreamInPump Pump;
    std::exception_ptr Error;
};

struct TStreamOutContext {
    TMvConversion& Conversion;
    std::exception_ptr Error;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* Ctx = reinterpret_cast<TStreamInContext*>(Cookie);
    *Done = 0;
    try {
        const int N = Ctx->Pump.Fill(reinterpret_cast<char*>(Buffer), static_cast<int>(Count));
        if (N < 0) return 1;
        *Done = N;
        return 0;
    } catch (...) {
        Ctx->Error = std::current_exception();
        return 1;
    }
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* Ctx = reinterpret_cast<TStreamOutContext*>(Cookie);
    *Done = 0;
    try {
        const int N =
            Ctx->Conversion.ConvertWrite(reinterpret_cast<const char*>(Buffer), static_cast<int>(Count));
        if (N < 0) return 1;
        *Done = N;
        return N < Count ? 1 : 0; // a short write is a failed save, not a shorter text
    } catch (...) {
        Ctx->Error = std::current_exception();
        return 1;
    }
}

// Puts a conversion back in its list state (format, progress hook) however the
// load or save ends.
class TConversionScope {
public:
    TConversionScope(TMvConversion& C, TMvRichEditStrings& Lines, TMvCustomRichEdit& R)
        : FC(C), FLines(Lines), FOldFormat(Lines.StreamFormat()) {
        C.OnProgress = [&R](TMvConversion* Sender) {
            if (R.OnConversionProgress) R.OnConversionProgress(&R, Sender->PercentDone());
        };
    }
    ~TConversionScope() {
        FLines.SetStreamFormat(FOldFormat);
        FC.Done();
        FC.OnProgress = nullptr;
    }
    TConversionScope(const TConversionScope&) = delete;
    TConversionScope& operator=(const TConversionScope&) = delete;

private:
    TMvConversion& FC;
    TMvRichEditStrings& FLines;
    TRichStreamFormat FOldFormat;
};

} // namespace

TMvRichEditStrings::TMvRichEditStrings(TMvCustomRichEdit& RichEdit) : FRichEdit(RichEdit) {}

int TMvRichEditStrings::Count() const {
    if (!FRichEdit.HandleAllocated()) return 0;
    int N = static_cast<int>(Send(FRichEdit, EM_GETLINECOUNT));
    if (N > 0) {
        const LRESULT LastStart = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(N - 1));
        if (LastStart >= 0 && Send(FRichEdit, EM_LINELENGTH, static_cast<WPARAM>(LastStart)) == 0) --N;
    }
    return N;
}

std::string TMvRichEditStrings::Get(int Index) const {
    if (!FRichEdit.HandleAllocated() || Index < 0) return {};
    const LRESULT Start = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index));
    if (Start < 0) return {};
    const int Length = static_cast<int>(Send(FRichEdit, EM_LINELENGTH, static_cast<WPARAM>(Start)));
    if (Length + 2 >= 0xFFFF) {
        // EM_GETLINE's size word cannot describe the line; take it as a range.
        return const_cast<TMvCustomRichEdit&>(FRichEdit).GetTextRange(static_cast<int>(Start),
                                                                      static_cast<int>(Start) + Length);
    }
    // Room for the line, its break and more: the window never writes past the
    // size in the first word, and no NUL is added after it.
    const int Size = std::max(kLineBuffer, Length + 3);
    std::vector<char> Buffer(static_cast<std::size_t>(Size) + 1, '\0');
    *reinterpret_cast<WORD*>(Buffer.data()) = static_cast<WORD>(Size);
    LRESULT Got =
        Send(FRichEdit, EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Buffer.data()));
    Got = std::clamp<LRESULT>(Got, 0, Size);
    return mv::richedit::TrimLineBreak(std::string(Buffer.data(), static_cast<std::size_t>(Got)),
                                       RichEditVersion());
}

void TMvRichEditStrings::Put(int Index, const std::string& S) {
    if (Index < 0 || !FRichEdit.HandleAllocated()) return;
    const LRESULT Start = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index));
    if (Start < 0) return;
    const LRESULT Length = Send(FRichEdit, EM_LINELENGTH, static_cast<WPARAM>(Start));
    FRichEdit.SetSelection(static_cast<int>(Start), static_cast<int>(Start + Length), false);
    TMvCustomRichEdit::TLineUpdate Guard(FRichEdit);
    Send(FRichEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TMvRichEditStrings::Insert(int Index, const std::string& S) {
    if (Index < 0) return;
    FRichEdit.HandleNeeded();
    const bool V1 = RichEditVersion() == 1;
    const std::string Break = V1 ? "\r\n" : "\r";
    LRESULT Pos = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index));
    std::string Text;
    if (Pos >= 0) {
        Text = S + Break;
    } else {
        if (Index == 0) return;
        const LRESULT Prev = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index - 1));
        if (Prev < 0) return;
        const LRESULT PrevLength = Send(FRichEdit, EM_LINELENGTH, static_cast<WPARAM>(Prev));
        if (PrevLength == 0) return;
        Pos = Prev + PrevLength;
        Text = Break + S;
    }
    FRichEdit.SetSelection(static_cast<int>(Pos), static_cast<int>(Pos), false);
    {
        TMvCustomRichEdit::TLineUpdate Guard(FRichEdit);
        Send(FRichEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    if (V1 && FRichEdit.GetSelection().cpMin != Pos + static_cast<LRESULT>(Text.size()))
        throw EOutOfResources("RichEdit line insertion error");
}

void TMvRichEditStrings::Delete(int Index) {
    if (Index < 0 || !FRichEdit.HandleAllocated()) return;
    const LRESULT Start = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index));
    if (Start < 0) return;
    LRESULT End = Send(FRichEdit, EM_LINEINDEX, static_cast<WPARAM>(Index + 1));
    if (End < 0) End = Start + Send(FRichEdit, EM_LINELENGTH, static_cast<WPARAM>(Start));
    FRichEdit.SetSelection(static_cast<int>(Start), static_cast<int>(End), false);
    TMvCustomRichEdit::TLineUpdate Guard(FRichEdit);
    Send(FRichEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMvRichEditStrings::Clear() {
    FRichEdit.Clear();
}

void TMvRichEditStrings::SetText(const std::string& Text) {
    const bool Had = FRichEdit.HandleAllocated();
    if (Had) FRichEdit.SetEventMaskBit(ENM_CHANGE, false);
    struct TRestore {
        TMvCustomRichEdit& R;
        bool On;
        ~TRestore() {
            if (On && R.HandleAllocated()) R.SetEventMaskBit(ENM_CHANGE, true);
        }
    } Restore{FRichEdit, Had};
    TStrings::SetText(Text);
}

void TMvRichEditStrings::AddStrings(const TStrings& Source) {
    TNotifyEvent Saved = std::move(FRichEdit.OnSelectionChange);
    FRichEdit.OnSelectionChange = nullptr;
    struct TRestore {
        TMvCustomRichEdit& R;
        TNotifyEvent& E;
        ~TRestore() { R.OnSelectionChange = std::move(E); }
    } Restore{FRichEdit, Saved};
    TStrings::AddStrings(Source);
}

void TMvRichEditStrings::SetUpdateState(bool Updating) {
    if (FRichEdit.HandleAllocated() && FRichEdit.Showing()) {
        Send(FRichEdit, WM_SETREDRAW, Updating ? FALSE : TRUE);
        if (!Updating) {
            FRichEdit.Refresh();
            FRichEdit.Perform(CM_TEXTCHANGED);
        }
    }
}

std::uintptr_t TMvRichEditStrings::ConversionParent() const {
    if (TForm* Form = GetParentForm(&FRichEdit); Form && Form->HandleAllocated())
        return reinterpret_cast<std::uintptr_t>(Form->Handle());
    return Application && Application->HandleAllocated()
               ? reinterpret_cast<std::uintptr_t>(Application->Handle())
               : 0;
}

TRichStreamFormat TMvRichEditStrings::EffectiveFormat(TMvConversion& Conversion) const {
    if (FRichEdit.PlainText()) return sfPlainText;
    if (FStreamFormat == sfDefault) return StreamFormatOfKind(Conversion.TextKind());
    return FStreamFormat;
}

void TMvRichEditStrings::LoadFromStream(TStream& Stream) {
    if (FRichEdit.CanCreateHandle()) FRichEdit.HandleNeeded();
    if (!FRichEdit.HandleAllocated()) return;
    TMvConversion& C = TConversionFormatList::Instance().ForStream(Stream, false, ConversionParent());
    Load(C, false, &Stream, {});
}

void TMvRichEditStrings::LoadFromFile(const std::string& FileName) {
    if (FRichEdit.CanCreateHandle()) FRichEdit.HandleNeeded();
    if (!FRichEdit.HandleAllocated()) return;
    TMvConversion& C = TConversionFormatList::Instance().ForFile(FileName, false, ConversionParent());
    Load(C, true, nullptr, FileName);
}

void TMvRichEditStrings::Load(TMvConversion& C, bool FromFile, TStream* Stream, const std::string& FileName) {
    TConversionScope Scope(C, *this, FRichEdit);
    const TRichStreamFormat Format = EffectiveFormat(C);
    FStreamFormat = Format;
    const bool Opened = FromFile ? C.OpenFile(FileName, false) : C.OpenStream(*Stream, false);
    if (!Opened) throw EOutOfResources(kFailedToLoad);
    StreamIn(C, Format);
}

void TMvRichEditStrings::SaveToStream(TStream& Stream) const {
    // Saving must never store an empty text for want of a window.
    if (FRichEdit.CanCreateHandle()) FRichEdit.HandleNeeded();
    if (!FRichEdit.HandleAllocated()) throw EOutOfResources(kFailedToSave);
    TMvConversion& C = TConversionFormatList::Instance().ForStream(Stream, true, ConversionParent());
    Save(C, false, &Stream, {});
}

void TMvRichEditStrings::SaveToFile(const std::string& FileName) const {
    if (FRichEdit.CanCreateHandle()) FRichEdit.HandleNeeded();
    if (!FRichEdit.HandleAllocated()) throw EOutOfResources(kFailedToSave);
    TMvConversion& C = TConversionFormatList::Instance().ForFile(FileName, true, ConversionParent());
    Save(C, true, nullptr, FileName);
}

void TMvRichEditStrings::Save(TMvConversion& C, bool FromFile, TStream* Stream,
                              const std::string& FileName) const {
    auto& Self = const_cast<TMvRichEditStrings&>(*this);
    TConversionScope Scope(C, Self, FRichEdit);
    const TRichStreamFormat Format = EffectiveFormat(C);
    Self.FStreamFormat = Format;
    const bool Opened = FromFile ? C.OpenFile(FileName, true) : C.OpenStream(*Stream, true);
    if (!Opened) throw EOutOfResources(kFailedToSave);
    StreamOut(C, Format);
}

void TMvRichEditStrings::StreamIn(TMvConversion& C, TRichStreamFormat Format) {
    const bool Text = Format == sfPlainText || (Format == sfDefault && FRichEdit.PlainText());
    DWORD SF = Text ? SF_TEXT : SF_RTF;
    if (!Text && FStreamMode.Contains(smPlainRtf)) SF |= SFF_PLAINRTF;
    if (Text && FStreamMode.Contains(smUnicode) && RichEditVersion() >= 2) SF |= SF_UNICODE;
    if (FStreamMode.Contains(smSelection)) SF |= SFF_SELECTION;

    auto Run = [&](DWORD Flags) {
        const bool PlainBytes = (Flags & SF_TEXT) && !(Flags & SF_UNICODE);
        TStreamInContext Ctx{TStreamInPump(C, PlainBytes), nullptr};
        EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&Ctx), 0, StreamInCallback};
        Send(FRichEdit, EM_STREAMIN, Flags, reinterpret_cast<LPARAM>(&ES));
        if (Ctx.Error) std::rethrow_exception(Ctx.Error);
        return ES.dwError;
    };

    // The change the stream-in reports makes its pictures drawable (see Change); without one
    // (change events off) it is done below.
    FRichEdit.FObjectCountSeen = -1;
    DWORD Error = Run(SF);
    if (!C.Completed()) {
        if (Error != 0 && C.Retry()) Error = Run(Text ? SF_RTF : SF_TEXT);
        if (C.HasErrorMessage()) throw EOutOfResources(C.GetErrorMessage());
        if (Error != 0) throw EOutOfResources(kFailedToLoad);
    }
    if (!Text && FRichEdit.FObjectCountSeen < 0) FRichEdit.MakePicturesDrawable();
    FRichEdit.SetSelection(0, 0, true);
}

void TMvRichEditStrings::StreamOut(TMvConversion& C, TRichStreamFormat Format) const {
    const bool Text = Format == sfPlainText || (Format == sfDefault && FRichEdit.PlainText());
    DWORD SF;
    if (Text) {
        SF = SF_TEXT;
        if (FStreamMode.Contains(smUnicode) && RichEditVersion() >= 2) SF |= SF_UNICODE;
    } else {
        SF = FStreamMode.Contains(smNoObjects) ? SF_RTFNOOBJS : SF_RTF;
        if (FStreamMode.Contains(smPlainRtf)) SF |= SFF_PLAINRTF;
    }
    if (FStreamMode.Contains(smSelection)) SF |= SFF_SELECTION;

    TStreamOutContext Ctx{C, nullptr};
    EDITSTREAM ES{reinterpret_cast<DWORD_PTR>(&Ctx), 0, StreamOutCallback};
    Send(FRichEdit, EM_STREAMOUT, SF, reinterpret_cast<LPARAM>(&ES));
    if (Ctx.Error) std::rethrow_exception(Ctx.Error);
    if (!C.Completed()) {
        if (C.HasErrorMessage()) throw EOutOfResources(C.GetErrorMessage());
        if (ES.dwError != 0) throw EOutOfResources(kFailedToSave);
    }
    // An RTF text that does not end with its closing brace is a truncated save.
    if (!Text) {
        auto* S = dynamic_cast<TMvStreamConversion*>(&C);
        if (S && !S->WrittenRtfComplete()) throw EOutOfResources(kFailedToSave);
    }
}
