// Character and paragraph attribute objects of the rich-edit control.
#include "richedit/MvRichEditAttributes.h"

#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditLibrary.h"
#include "richedit/MvRichEditText.h"

#include <cstring>

namespace {

constexpr UINT kCharFormatSize = 60;   // CHARFORMAT
constexpr UINT kCharFormat2Size = 84;  // CHARFORMAT2
constexpr UINT kParaFormatSize = 156;  // PARAFORMAT
constexpr UINT kParaFormat2Size = 188; // PARAFORMAT2
static_assert(sizeof(CHARFORMAT2A) == kCharFormat2Size);
static_assert(sizeof(CHARFORMATA) == kCharFormatSize);
static_assert(sizeof(PARAFORMAT2) == kParaFormat2Size);
static_assert(sizeof(PARAFORMAT) == kParaFormatSize);

constexpr int kTwipsPerPoint = 20;

DWORD EffectsOfStyle(TFontStyles Style) {
    DWORD E = 0;
    if (Style & fsBold) E |= CFE_BOLD;
    if (Style & fsItalic) E |= CFE_ITALIC;
    if (Style & fsUnderline) E |= CFE_UNDERLINE;
    if (Style & fsStrikeOut) E |= CFE_STRIKEOUT;
    return E;
}

void SetColorFields(CHARFORMAT2A& F, TColor Value) {
    if (Value == clWindowText || Value == clDefault) {
        F.dwEffects |= CFE_AUTOCOLOR;
    } else {
        F.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
        F.crTextColor = ColorToRGB(Value);
    }
}

void SetFaceField(CHARFORMAT2A& F, const std::string& Name) {
    const std::string Fit = mv::richedit::FitFaceName(Name);
    std::memset(F.szFaceName, 0, sizeof(F.szFaceName));
    std::memcpy(F.szFaceName, Fit.data(), Fit.size());
}

} // namespace

// ---- TMvTextAttributes ----

TMvTextAttributes::TMvTextAttributes(TMvCustomRichEdit& RichEdit, TAttributeType Kind)
    : FRichEdit(RichEdit), FKind(Kind) {}

WPARAM TMvTextAttributes::FormatScope() const {
    switch (FKind) {
    case TAttributeType::atDefaultText:
        return SCF_DEFAULT;
    case TAttributeType::atSelected:
        return SCF_SELECTION;
    case TAttributeType::atWord:
        return SCF_SELECTION | SCF_WORD;
    }
    return SCF_SELECTION;
}

void TMvTextAttributes::InitFormat(CHARFORMAT2A& Format) const {
    std::memset(&Format, 0, sizeof(Format));
    Format.cbSize = RichEditVersion() >= 2 ? kCharFormat2Size : kCharFormatSize;
}

void TMvTextAttributes::GetCharFormat(CHARFORMAT2A& Format) const {
    InitFormat(Format);
    if (FRichEdit.HandleAllocated())
        SendMessageA(FRichEdit.Handle(), EM_GETCHARFORMAT, FormatScope(), reinterpret_cast<LPARAM>(&Format));
}

// A format written to the text is a change of the text, saved like typing; Wine's rich edit does
// not set its modified flag for one. The default format and the format of an empty selection
// (what typing there takes) change no text.
void TMvTextAttributes::SetCharFormat(CHARFORMAT2A& Format) {
    if (!FRichEdit.HandleAllocated()) return;
    const CHARRANGE Selection = FRichEdit.GetSelection();
    const bool ChangesText = FKind == TAttributeType::atWord ||
                             (FKind == TAttributeType::atSelected && Selection.cpMax != Selection.cpMin);
    if (SendMessageA(FRichEdit.Handle(), EM_SETCHARFORMAT, FormatScope(),
                     reinterpret_cast<LPARAM>(&Format)) &&
        ChangesText)
        FRichEdit.SetModified(true);
}

TColor TMvTextAttributes::Color() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    if (F.dwEffects & CFE_AUTOCOLOR) return clWindowText;
    return static_cast<TColor>(F.crTextColor);
}

void TMvTextAttributes::SetColor(TColor Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_COLOR;
    SetColorFields(F, Value);
    SetCharFormat(F);
}

std::string TMvTextAttributes::Name() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    return std::string(F.szFaceName, strnlen(F.szFaceName, sizeof(F.szFaceName)));
}

void TMvTextAttributes::SetName(const std::string& Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_FACE;
    SetFaceField(F, Value);
    SetCharFormat(F);
}

BYTE TMvTextAttributes::Charset() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    return F.bCharSet;
}

void TMvTextAttributes::SetCharset(BYTE Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_CHARSET;
    F.bCharSet = Value;
    SetCharFormat(F);
}

TFontPitch TMvTextAttributes::Pitch() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    switch (F.bPitchAndFamily & 3) {
    case FIXED_PITCH:
        return TFontPitch::fpFixed;
    case VARIABLE_PITCH:
        return TFontPitch::fpVariable;
    default:
        return TFontPitch::fpDefault;
    }
}

void TMvTextAttributes::SetPitch(TFontPitch Value) {
    // The window takes bPitchAndFamily only together with a face, so the pitch
    // travels with the current face name.
    CHARFORMAT2A F;
    GetCharFormat(F);
    const std::string Face(F.szFaceName, strnlen(F.szFaceName, sizeof(F.szFaceName)));
    InitFormat(F);
    F.dwMask = CFM_FACE;
    SetFaceField(F, Face);
    BYTE Pitch = DEFAULT_PITCH;
    if (Value == TFontPitch::fpFixed) Pitch = FIXED_PITCH;
    if (Value == TFontPitch::fpVariable) Pitch = VARIABLE_PITCH;
    F.bPitchAndFamily = Pitch;
    SetCharFormat(F);
}

int TMvTextAttributes::Size() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    return F.yHeight / kTwipsPerPoint;
}

void TMvTextAttributes::SetSize(int Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_SIZE;
    F.yHeight = Value * kTwipsPerPoint;
    SetCharFormat(F);
}

TFontStyles TMvTextAttributes::Style() const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    TFontStyles S = 0;
    if (F.dwEffects & CFE_BOLD) S |= fsBold;
    if (F.dwEffects & CFE_ITALIC) S |= fsItalic;
    if (F.dwEffects & CFE_UNDERLINE) S |= fsUnderline;
    if (F.dwEffects & CFE_STRIKEOUT) S |= fsStrikeOut;
    return S;
}

void TMvTextAttributes::SetStyle(TFontStyles Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    F.dwEffects = EffectsOfStyle(Value);
    SetCharFormat(F);
}

int TMvTextAttributes::UnderlineColor() const {
    if (RichEditVersion() < 3) return 0;
    CHARFORMAT2A F;
    GetCharFormat(F);
    if (!(F.dwEffects & CFE_UNDERLINE) || !(F.dwMask & CFM_UNDERLINETYPE)) return 0;
    return F.bUnderlineType >> 4;
}

void TMvTextAttributes::SetUnderlineType(BYTE Value) {
    if (RichEditVersion() < 2) return;
    const int ColorIndex = Value != 0 ? UnderlineColor() : 0;
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_UNDERLINETYPE | CFM_UNDERLINE;
    F.bUnderlineType = Value;
    if (Value != 0) {
        F.bUnderlineType = static_cast<BYTE>(Value + ColorIndex * 16);
        F.dwEffects |= CFE_UNDERLINE;
    }
    SetCharFormat(F);
}

bool TMvTextAttributes::HasEffect(DWORD Mask) const {
    CHARFORMAT2A F;
    GetCharFormat(F);
    return (F.dwEffects & Mask) != 0;
}

void TMvTextAttributes::SetEffect(DWORD Mask, bool Value) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = Mask;
    F.dwEffects = Value ? Mask : 0;
    SetCharFormat(F);
}

void TMvTextAttributes::Assign(const TMvTextAttributes& Source) {
    CHARFORMAT2A F;
    Source.GetCharFormat(F);
    F.cbSize = RichEditVersion() >= 2 ? kCharFormat2Size : kCharFormatSize;
    SetCharFormat(F);
}

void TMvTextAttributes::Assign(const TFont& Source) {
    CHARFORMAT2A F;
    InitFormat(F);
    F.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    switch (Source.Pitch()) {
    case TFontPitch::fpVariable:
        F.bPitchAndFamily = VARIABLE_PITCH;
        break;
    case TFontPitch::fpFixed:
        F.bPitchAndFamily = FIXED_PITCH;
        break;
    default:
        F.bPitchAndFamily = DEFAULT_PITCH;
        break;
    }
    F.yHeight = Source.Size() * kTwipsPerPoint;
    F.dwEffects = EffectsOfStyle(Source.Style());
    SetColorFields(F, Source.Color());
    SetFaceField(F, Source.Name());
    F.dwMask |= CFM_CHARSET;
    F.bCharSet = Source.Charset();
    if (RichEditVersion() >= 2) {
        LOGFONTA Lf{};
        if (HFONT H = Source.Handle(); H && GetObjectA(H, sizeof(Lf), &Lf) == sizeof(Lf)) {
            F.dwMask |= CFM_WEIGHT;
            F.wWeight = static_cast<WORD>(Lf.lfWeight);
        }
    }
    SetCharFormat(F);
}

void TMvTextAttributes::AssignTo(TFont& Dest) const {
    Dest.SetColor(Color());
    Dest.SetName(Name());
    Dest.SetCharset(Charset());
    Dest.SetStyle(Style());
    Dest.SetSize(Size());
    Dest.SetPitch(Pitch());
}

// ---- TMvParaAttributes ----

TMvParaAttributes::TMvParaAttributes(TMvCustomRichEdit& RichEdit) : FRichEdit(RichEdit) {}

void TMvParaAttributes::InitFormat(PARAFORMAT2& Format) const {
    std::memset(&Format, 0, sizeof(Format));
    Format.cbSize = RichEditVersion() >= 2 ? kParaFormat2Size : kParaFormatSize;
}

void TMvParaAttributes::GetParaFormat(PARAFORMAT2& Format) const {
    InitFormat(Format);
    if (FRichEdit.HandleAllocated())
        SendMessageA(FRichEdit.Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&Format));
}

// A paragraph format is a change of the text too (see SetCharFormat).
void TMvParaAttributes::SetParaFormat(PARAFORMAT2& Format) {
    if (FRichEdit.CanCreateHandle()) FRichEdit.HandleNeeded();
    if (!FRichEdit.HandleAllocated()) return;
    if (SendMessageA(FRichEdit.Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&Format)))
        FRichEdit.SetModified(true);
}

TMvParaAlignment TMvParaAttributes::Alignment() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    switch (F.wAlignment) {
    case PFA_RIGHT:
        return TMvParaAlignment::paRightJustify;
    case PFA_CENTER:
        return TMvParaAlignment::paCenter;
    case PFA_JUSTIFY:
        return TMvParaAlignment::paJustify;
    default:
        return TMvParaAlignment::paLeftJustify;
    }
}

void TMvParaAttributes::SetAlignment(TMvParaAlignment Value) {
    if (Value == TMvParaAlignment::paJustify && FRichEdit.AutoAdvancedTypography() &&
        RichEditVersion() >= 3) {
        FRichEdit.HandleNeeded();
        FRichEdit.SetAdvancedTypography(true);
    }
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_ALIGNMENT;
    F.wAlignment = static_cast<WORD>(static_cast<int>(Value) + 1);
    SetParaFormat(F);
}

int TMvParaAttributes::FirstIndent() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    return F.dxStartIndent / kTwipsPerPoint;
}

void TMvParaAttributes::SetFirstIndent(int Value) {
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_STARTINDENT;
    F.dxStartIndent = Value * kTwipsPerPoint;
    SetParaFormat(F);
}

int TMvParaAttributes::LeftIndent() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    return F.dxOffset / kTwipsPerPoint;
}

void TMvParaAttributes::SetLeftIndent(int Value) {
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_OFFSET;
    F.dxOffset = Value * kTwipsPerPoint;
    SetParaFormat(F);
}

int TMvParaAttributes::RightIndent() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    return F.dxRightIndent / kTwipsPerPoint;
}

void TMvParaAttributes::SetRightIndent(int Value) {
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_RIGHTINDENT;
    F.dxRightIndent = Value * kTwipsPerPoint;
    SetParaFormat(F);
}

int TMvParaAttributes::Numbering() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    if (RichEditVersion() == 1 && F.wNumbering != 0) return 1;
    return F.wNumbering;
}

void TMvParaAttributes::SetNumbering(int Value) {
    if (RichEditVersion() == 1 && Value != 0) Value = 1;
    if (Value == 0)
        SetLeftIndent(0);
    else if (LeftIndent() < 10)
        SetLeftIndent(10);
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_NUMBERING;
    F.wNumbering = static_cast<WORD>(Value);
    SetParaFormat(F);
}

void TMvParaAttributes::SetNumberingStart(int Value) {
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_NUMBERINGSTART;
    F.wNumberingStart = static_cast<WORD>(Value);
    SetParaFormat(F);
}

void TMvParaAttributes::SetNumberingStyle(int Value) {
    if (RichEditVersion() < 2) return;
    static constexpr WORD kStyles[] = {0x000, 0x200, 0x100, 0x300};
    if (Value < 0 || Value > 3) return;
    PARAFORMAT2 F;
    InitFormat(F);
    F.dwMask = PFM_NUMBERINGSTYLE;
    F.wNumberingStyle = kStyles[Value];
    SetParaFormat(F);
}

int TMvParaAttributes::TabCount() const {
    PARAFORMAT2 F;
    GetParaFormat(F);
    return F.cTabCount;
}

int TMvParaAttributes::Tab(int Index) const {
    if (Index < 0 || Index >= MAX_TAB_STOPS) return 0;
    PARAFORMAT2 F;
    GetParaFormat(F);
    return static_cast<int>(F.rgxTabs[Index] & 0xFFFFFF) / kTwipsPerPoint;
}

void TMvParaAttributes::SetTab(int Index, int Value) {
    if (Index < 0 || Index > 30) return;
    PARAFORMAT2 F;
    GetParaFormat(F);
    if (Index >= F.cTabCount) {
        F.cTabCount = static_cast<SHORT>(Index + 1);
        F.rgxTabs[Index] = 0;
    }
    const LONG Twips = (Value * kTwipsPerPoint) & 0xFFFFFF;
    F.rgxTabs[Index] =
        static_cast<LONG>((static_cast<DWORD>(F.rgxTabs[Index]) & 0xFF000000u) | static_cast<DWORD>(Twips));
    F.dwMask = PFM_TABSTOPS;
    SetParaFormat(F);
}

void TMvParaAttributes::Assign(const TMvParaAttributes& Source) {
    PARAFORMAT2 F;
    Source.GetParaFormat(F);
    F.cbSize = RichEditVersion() >= 2 ? kParaFormat2Size : kParaFormatSize;
    SetParaFormat(F);
}
