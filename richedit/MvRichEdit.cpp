// The rich-edit control: creation, re-creation, properties and notifications.
#include "richedit/MvRichEdit.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"
#include "gui/Application.h"
#include "richedit/MvFixedEditPopUp.h"
#include "richedit/MvOleForm.h"
#include "richedit/MvRichEditStrings.h"
#include "richedit/MvRichEditText.h"
#include "controls/MvThemes.h"

#include <algorithm>
#include <cstring>

namespace {

// Puts the line list's stream format and mode back when a scope ends.
class TStreamSettingsGuard {
public:
    explicit TStreamSettingsGuard(TMvRichEditStrings& Lines)
        : FLines(Lines), FFormat(Lines.StreamFormat()), FMode(Lines.StreamMode()) {}
    ~TStreamSettingsGuard() {
        FLines.SetStreamFormat(FFormat);
        FLines.SetStreamMode(FMode);
    }
    TStreamSettingsGuard(const TStreamSettingsGuard&) = delete;
    TStreamSettingsGuard& operator=(const TStreamSettingsGuard&) = delete;

private:
    TMvRichEditStrings& FLines;
    TRichStreamFormat FFormat;
    TRichStreamModes FMode;
};

bool WindowsFiveOrLater() {
    // Every system this program runs on is Windows 2000 or later.
    return true;
}

bool FarEastLocaleNotJapanese() {
    return GetSystemMetrics(SM_DBCSENABLED) != 0 && PRIMARYLANGID(GetSystemDefaultLangID()) != LANG_JAPANESE;
}

bool GPaintingVersion1 = false;

} // namespace

// ---- construction ----

TMvCustomRichEdit::TMvCustomRichEdit(TComponent* AOwner) : TMvExCustomMemo(AOwner) {
    // OLE and the library come before any rich-edit window.
    EnsureRichEditLibrary();
    FSelAttributes = std::make_unique<TMvTextAttributes>(*this, TAttributeType::atSelected);
    FDefAttributes = std::make_unique<TMvTextAttributes>(*this, TAttributeType::atDefaultText);
    FWordAttributes = std::make_unique<TMvTextAttributes>(*this, TAttributeType::atWord);
    FParagraph = std::make_unique<TMvParaAttributes>(*this);
    auto Lines = std::make_unique<TMvRichEditStrings>(*this);
    FLines = Lines.get();
    SetLinesObject(std::move(Lines));
    SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csSetCaption));
    IncludeThemeStyle(this, csMvThemedBorder);
    SetTabStop(true);
    SetBounds(Left(), Top(), 185, 89);
    SetScrollBars(TScrollStyle::ssBoth);
    FOleCallback = std::make_unique<TRichEditOleCallback>(this);
}

TMvCustomRichEdit::~TMvCustomRichEdit() {
    // The window goes first, while this object still answers its messages: it
    // closes the objects and lets go of the OLE interface and our callback.
    Destroying();
    FreeVerbMenu();
    try {
        DestroyHandle();
    } catch (...) {
        // A destructor never throws; the window is gone either way.
    }
    ReleaseOle();
}

bool TMvCustomRichEdit::CanCreateHandle() const {
    if (HandleAllocated()) return true;
    if (HasState(csDestroying)) return false;
    return Parent() != nullptr || ParentWindow() != nullptr;
}

void TMvCustomRichEdit::CreateParams(TCreateParams& P) {
    TMvExCustomMemo::CreateParams(P);
    CreateSubClass(P, RichEditClassName());
    P.Style &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    P.Style |= ES_SAVESEL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const TScrollStyle SB = ScrollBars();
    if (SB == TScrollStyle::ssVertical || SB == TScrollStyle::ssBoth) P.Style |= WS_VSCROLL;
    if ((SB == TScrollStyle::ssHorizontal || SB == TScrollStyle::ssBoth) && !WordWrap())
        P.Style |= WS_HSCROLL;
    if (!FOLEDragDrop) P.Style |= ES_NOOLEDRAGDROP;
    if (!FHideScrollBars) P.Style |= ES_DISABLENOSCROLL;
    if (FSelectionBar) P.Style |= ES_SELECTIONBAR;
    if (!FHideSelection) P.Style |= ES_NOHIDESEL;
    P.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TMvCustomRichEdit::CreateWindowHandle(const TCreateParams& Params) {
    FCreateBounds = BoundsRect();
    TMvExCustomMemo::CreateWindowHandle(Params);
    SetBounds(FCreateBounds.left, FCreateBounds.top, FCreateBounds.right - FCreateBounds.left,
              FCreateBounds.bottom - FCreateBounds.top);
}

void TMvCustomRichEdit::CreateWnd() {
    TStreamSettingsGuard Settings(*FLines);
    const bool Advanced = FAdvancedTypography;
    if (!FSavedText) FSavedModified = Modified(); // a flag set while there was no window
    TMvExCustomMemo::CreateWnd();                 // includes MaxLength
    if (FarEastLocaleNotJapanese()) Font().SetCharset(DEFAULT_CHARSET);

    const HWND H = Handle();
    DWORD Mask = ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED;
    if (RichEditVersion() >= 2) Mask |= ENM_LINK;
    SendMessageA(H, EM_SETEVENTMASK, 0, static_cast<LPARAM>(Mask));
    SendMessageA(H, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    ApplyWordSelection();
    if (RichEditVersion() >= 2) {
        SendMessageA(H, EM_AUTOURLDETECT, FAutoURLDetect ? TRUE : FALSE, 0);
        FUndoLimit = static_cast<int>(SendMessageA(H, EM_SETUNDOLIMIT, static_cast<WPARAM>(FUndoLimit), 0));
        ApplyTextMode();
        ApplyLangOptions();
    }
    if (FAllowObjects) {
        SendMessageA(H, EM_SETOLECALLBACK, 0,
                     reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(FOleCallback.get())));
        IRichEditOle* Ole = nullptr;
        SendMessageA(H, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&Ole));
        ReleaseOle();
        FRichEditOle = Ole;
        SetHostNames();
    }
    SetAdvancedTypography(Advanced);

    if (FSavedText) {
        std::unique_ptr<TMemoryStream> Saved = std::move(FSavedText);
        std::uint8_t PlainFlag = 0;
        Saved->ReadBuffer(&PlainFlag, 1);
        if (PlainFlag) {
            FLines->SetStreamFormat(sfPlainText);
            FLines->SetStreamMode({});
        }
        FLines->LoadFromStream(*Saved);
    }
    if (RichEditVersion() == 1) SendMessageA(H, WM_SETFONT, 0, 0);
    SetModified(FSavedModified);
}

void TMvCustomRichEdit::DestroyWnd() {
    if (!HasState(csDestroying) && HandleAllocated()) {
        FSavedModified = Modified();
        auto Saved = std::make_unique<TMemoryStream>();
        const std::uint8_t PlainFlag = HasState(csDesigning) ? 1 : 0;
        Saved->WriteBuffer(&PlainFlag, 1);
        {
            TStreamSettingsGuard Settings(*FLines);
            if (PlainFlag) {
                FLines->SetStreamFormat(sfPlainText);
                FLines->SetStreamMode({});
            }
            FLines->SaveToStream(*Saved);
        }
        Saved->SetPosition(0);
        FSavedText = std::move(Saved);
    }
    TMvExCustomMemo::DestroyWnd();
}

void TMvCustomRichEdit::ReleaseOle() {
    if (FRichEditOle) {
        FRichEditOle->Release();
        FRichEditOle = nullptr;
    }
}

void TMvCustomRichEdit::SetHostNames() {
    if (!HandleAllocated() || !FRichEditOle) return;
    std::string App = Application ? Trim(Application->Title()) : std::string();
    if (App.empty() && Application) App = ExtractFileName(Application->ExeName());
    SetRichEditHostNames(FRichEditOle, App, FTitle);
}

// ---- window settings ----

void TMvCustomRichEdit::ApplyTextMode() {
    if (!HandleAllocated() || RichEditVersion() < 2) return;
    const WPARAM Mode =
        (FPlainText ? TM_PLAINTEXT : TM_RICHTEXT) | (FUndoLimit < 2 ? TM_SINGLELEVELUNDO : TM_MULTILEVELUNDO);
    SendMessageA(Handle(), EM_SETTEXTMODE, Mode, 0);
}

void TMvCustomRichEdit::ApplyLangOptions() {
    if (!HandleAllocated() || RichEditVersion() < 2) return;
    LPARAM Flags = 0;
    if (FLangOptions.Contains(rlAutoKeyboard)) Flags |= IMF_AUTOKEYBOARD;
    if (FLangOptions.Contains(rlAutoFont)) Flags |= IMF_AUTOFONT;
    if (FLangOptions.Contains(rlImeCancelComplete)) Flags |= IMF_IMECANCELCOMPLETE;
    if (FLangOptions.Contains(rlImeAlwaysSendNotify)) Flags |= IMF_IMEALWAYSSENDNOTIFY;
    SendMessageA(Handle(), EM_SETLANGOPTIONS, 0, Flags);
}

void TMvCustomRichEdit::ApplyWordSelection() {
    if (!HandleAllocated()) return;
    LRESULT Options = SendMessageA(Handle(), EM_GETOPTIONS, 0, 0);
    if (FWordSelection)
        Options |= ECO_AUTOWORDSELECTION;
    else
        Options &= ~static_cast<LRESULT>(ECO_AUTOWORDSELECTION);
    SendMessageA(Handle(), EM_SETOPTIONS, ECOOP_SET, Options);
}

void TMvCustomRichEdit::SetEventMaskBit(DWORD Bit, bool On) {
    if (!HandleAllocated()) return;
    DWORD Mask = static_cast<DWORD>(SendMessageA(Handle(), EM_GETEVENTMASK, 0, 0));
    Mask = On ? (Mask | Bit) : (Mask & ~Bit);
    SendMessageA(Handle(), EM_SETEVENTMASK, 0, static_cast<LPARAM>(Mask));
}

void TMvCustomRichEdit::DoSetMaxLength(int Value) {
    SendMessageA(Handle(), EM_EXLIMITTEXT, 0, Value == 0 ? 0xFFFFFF : Value);
}

// ---- properties ----

void TMvCustomRichEdit::SetLines(const TStrings& Value) {
    FLines->Assign(Value);
}

void TMvCustomRichEdit::SetHideScrollBars(bool Value) {
    if (Value == FHideScrollBars) return;
    FHideScrollBars = Value;
    RecreateWnd();
}

void TMvCustomRichEdit::SetSelectionBar(bool Value) {
    if (Value == FSelectionBar) return;
    FSelectionBar = Value;
    RecreateWnd();
}

void TMvCustomRichEdit::SetOLEDragDrop(bool Value) {
    if (Value == FOLEDragDrop) return;
    FOLEDragDrop = Value;
    RecreateWnd();
}

void TMvCustomRichEdit::SetAllowObjects(bool Value) {
    if (Value == FAllowObjects) return;
    FAllowObjects = Value;
    RecreateWnd();
}

bool TMvCustomRichEdit::AutoURLDetect() {
    if (HandleAllocated() && !HasState(csDesigning) && RichEditVersion() >= 2)
        return SendMessageA(Handle(), EM_GETAUTOURLDETECT, 0, 0) != 0;
    return FAutoURLDetect;
}

void TMvCustomRichEdit::SetAutoURLDetect(bool Value) {
    if (Value == FAutoURLDetect) return;
    FAutoURLDetect = Value;
    if (HandleAllocated() && RichEditVersion() >= 2)
        SendMessageA(Handle(), EM_AUTOURLDETECT, Value ? TRUE : FALSE, 0);
}

bool TMvCustomRichEdit::WordSelection() {
    if (HandleAllocated()) return (SendMessageA(Handle(), EM_GETOPTIONS, 0, 0) & ECO_AUTOWORDSELECTION) != 0;
    return FWordSelection;
}

void TMvCustomRichEdit::SetWordSelection(bool Value) {
    FWordSelection = Value;
    ApplyWordSelection();
}

void TMvCustomRichEdit::SetUndoLimit(int Value) {
    if (Value == FUndoLimit) return;
    FUndoLimit = Value;
    if (HandleAllocated() && RichEditVersion() >= 2)
        FUndoLimit = static_cast<int>(SendMessageA(Handle(), EM_SETUNDOLIMIT, static_cast<WPARAM>(Value), 0));
}

void TMvCustomRichEdit::SetHideSelection(bool Value) {
    FHideSelection = Value;
    if (CanCreateHandle()) HandleNeeded();
    if (HandleAllocated()) SendMessageA(Handle(), EM_HIDESELECTION, Value ? TRUE : FALSE, TRUE);
}

TRichLangOptions TMvCustomRichEdit::LangOptions() {
    if (!HandleAllocated() || HasState(csDesigning) || RichEditVersion() < 2) return FLangOptions;
    const LRESULT Flags = SendMessageA(Handle(), EM_GETLANGOPTIONS, 0, 0);
    TRichLangOptions R;
    if (Flags & IMF_AUTOKEYBOARD) R.Include(rlAutoKeyboard);
    if (Flags & IMF_AUTOFONT) R.Include(rlAutoFont);
    if (Flags & IMF_IMECANCELCOMPLETE) R.Include(rlImeCancelComplete);
    if (Flags & IMF_IMEALWAYSSENDNOTIFY) R.Include(rlImeAlwaysSendNotify);
    return R;
}

void TMvCustomRichEdit::SetLangOptions(TRichLangOptions Value) {
    FLangOptions = Value;
    ApplyLangOptions();
}

void TMvCustomRichEdit::SetTitle(const std::string& Value) {
    if (Value == FTitle) return;
    FTitle = Value;
    SetHostNames();
}

bool TMvCustomRichEdit::AdvancedTypography() {
    if (HandleAllocated() && RichEditVersion() >= 3)
        return SendMessageA(Handle(), EM_GETTYPOGRAPHYOPTIONS, 0, 0) == TO_ADVANCEDTYPOGRAPHY;
    return FAdvancedTypography;
}

void TMvCustomRichEdit::SetAdvancedTypography(bool Value) {
    FAdvancedTypography = Value;
    if (HandleAllocated() && RichEditVersion() >= 3)
        SendMessageA(Handle(), EM_SETTYPOGRAPHYOPTIONS, Value ? TO_ADVANCEDTYPOGRAPHY : 0,
                     TO_ADVANCEDTYPOGRAPHY);
}

int TMvCustomRichEdit::Zoom() {
    if (!HandleAllocated() || RichEditVersion() < 3) return 100;
    int Num = 0, Den = 0;
    SendMessageA(Handle(), EM_GETZOOM, reinterpret_cast<WPARAM>(&Num), reinterpret_cast<LPARAM>(&Den));
    return mv::richedit::ZoomPercent(Num, Den);
}

void TMvCustomRichEdit::SetZoom(int Value) {
    if (!HandleAllocated() || RichEditVersion() < 3) return;
    if (Value == 0)
        SendMessageA(Handle(), EM_SETZOOM, 0, 0);
    else
        SendMessageA(Handle(), EM_SETZOOM, static_cast<WPARAM>(Value), 100);
}

TRichStreamFormat TMvCustomRichEdit::StreamFormat() const {
    return FLines->StreamFormat();
}
void TMvCustomRichEdit::SetStreamFormat(TRichStreamFormat Value) {
    FLines->SetStreamFormat(Value);
}
TRichStreamModes TMvCustomRichEdit::StreamMode() const {
    return FLines->StreamMode();
}
void TMvCustomRichEdit::SetStreamMode(TRichStreamModes Value) {
    FLines->SetStreamMode(Value);
}

void TMvCustomRichEdit::SetPlainText(bool Value) {
    if (Value != FPlainText && HandleAllocated() && RichEditVersion() >= 2) {
        TMemoryStream Text;
        TStreamSettingsGuard Settings(*FLines);
        FLines->SetStreamFormat((Value || HasState(csDesigning)) ? sfPlainText : sfRichText);
        FLines->SetStreamMode({});
        FLines->SaveToStream(Text);
        Text.SetPosition(0);
        SetEventMaskBit(ENM_CHANGE, false);
        SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        FPlainText = Value;
        ApplyTextMode();
        SetEventMaskBit(ENM_CHANGE, true);
        FLines->LoadFromStream(Text);
    }
    FPlainText = Value;
}

// ---- selection ----

std::string TMvCustomRichEdit::GetTextRange(int StartPos, int EndPos) {
    if (!HandleAllocated()) return {};
    const int Length = TextLength();
    if (EndPos < 0 || EndPos > Length) EndPos = Length;
    if (StartPos < 0) StartPos = 0;
    const std::uint64_t Size = mv::richedit::TextRangeBufferSize(StartPos, EndPos);
    if (Size == 0) return {};
    std::string Buffer(static_cast<std::size_t>(Size), '\0');
    TEXTRANGEA Range{{StartPos, EndPos}, Buffer.data()};
    const LRESULT Got = SendMessageA(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&Range));
    Buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Got, 0, static_cast<LRESULT>(Size - 1))));
    return Buffer;
}

int TMvCustomRichEdit::TextLength() {
    if (!HandleAllocated()) return 0;
    if (RichEditVersion() >= 2) {
        GETTEXTLENGTHEX G{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        return static_cast<int>(SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&G), 0));
    }
    return GetWindowTextLengthA(Handle());
}

std::wstring TMvCustomRichEdit::TextW() {
    if (!HandleAllocated()) return {};
    if (RichEditVersion() < 2) {
        // The older library holds 8-bit text only: widening it loses nothing.
        const std::string Narrow = Text();
        std::wstring Wide(Narrow.size(), L'\0');
        Wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, Narrow.data(),
                                                                 static_cast<int>(Narrow.size()), Wide.data(),
                                                                 static_cast<int>(Wide.size()))));
        return Wide;
    }
    // Code page 1200 asks for UTF-16 whatever the window's own character set.
    GETTEXTLENGTHEX Length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT Count = SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&Length), 0);
    if (Count <= 0) return {};
    std::wstring Buffer(static_cast<std::size_t>(Count) + 1, L'\0');
    GETTEXTEX Get{static_cast<DWORD>(Buffer.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    const LRESULT Got = SendMessageA(Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&Get),
                                     reinterpret_cast<LPARAM>(Buffer.data()));
    Buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Got, 0, Count)));
    return Buffer;
}

CHARRANGE TMvCustomRichEdit::GetSelection() {
    CHARRANGE R{0, 0};
    if (HandleAllocated()) SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&R));
    return R;
}

void TMvCustomRichEdit::SetSelection(int StartPos, int EndPos, bool ScrollCaret) {
    if (CanCreateHandle()) HandleNeeded();
    if (!HandleAllocated()) return;
    CHARRANGE R{StartPos, EndPos};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&R));
    if (ScrollCaret) SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

int TMvCustomRichEdit::LineFromChar(int CharIndex) {
    if (!HandleAllocated()) return 0;
    return static_cast<int>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, CharIndex));
}

int TMvCustomRichEdit::CharFromPos(POINT ClientPoint) {
    if (!HandleAllocated()) return -1;
    POINTL Where{ClientPoint.x, ClientPoint.y};
    return static_cast<int>(SendMessageA(Handle(), EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&Where)));
}

int TMvCustomRichEdit::GetLineIndex(int Line) {
    if (!HandleAllocated()) return -1;
    return static_cast<int>(SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
}

int TMvCustomRichEdit::GetLineLength(int CharIndex) {
    if (!HandleAllocated()) return 0;
    return static_cast<int>(SendMessageA(Handle(), EM_LINELENGTH, static_cast<WPARAM>(CharIndex), 0));
}

TMvSelectionType TMvCustomRichEdit::SelectionType() {
    if (!HandleAllocated()) return {};
    return TMvSelectionType::FromBits(
        static_cast<std::uint32_t>(SendMessageA(Handle(), EM_SELECTIONTYPE, 0, 0)) & 0xF);
}

int TMvCustomRichEdit::GetSelStart() {
    return GetSelection().cpMin;
}

int TMvCustomRichEdit::GetSelLength() {
    const CHARRANGE R = GetSelection();
    return R.cpMax - R.cpMin;
}

std::string TMvCustomRichEdit::GetSelText() {
    const CHARRANGE R = GetSelection();
    return GetTextRange(R.cpMin, R.cpMax);
}

void TMvCustomRichEdit::SetSelStartValue(int Value) {
    SetSelection(Value, Value, false);
}

void TMvCustomRichEdit::SetSelLengthValue(int Value) {
    const int Start = GetSelection().cpMin;
    SetSelection(Start, Start + Value, true);
}

void TMvCustomRichEdit::SetSelTextValue(const std::string& Text) {
    if (CanCreateHandle()) HandleNeeded();
    if (!HandleAllocated()) return;
    TLineUpdate Guard(*this);
    SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

int TMvCustomRichEdit::GetSelTextBuf(char* Buffer, int BufSize) {
    if (!Buffer || BufSize <= 0) return 0;
    const std::string S = GetSelText();
    const int N = std::min(static_cast<int>(S.size()), BufSize - 1);
    std::memcpy(Buffer, S.data(), static_cast<std::size_t>(N));
    Buffer[N] = '\0';
    return N;
}

POINT TMvCustomRichEdit::CaretPos() {
    if (!HandleAllocated()) return POINT{0, 0};
    const CHARRANGE R = GetSelection();
    const int Line = LineFromChar(R.cpMax);
    const int LineStart = GetLineIndex(-1);
    return POINT{R.cpMax - LineStart, Line};
}

void TMvCustomRichEdit::Clear() {
    CloseRichEditObjects(FRichEditOle);
    if (HandleAllocated()) SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    FObjectCountSeen = 0;
    SetModified(false);
}

// ---- events ----

void TMvCustomRichEdit::TextNotFound(const std::string& FindText) {
    if (OnTextNotFound) OnTextNotFound(this, FindText);
}

void TMvCustomRichEdit::RequestSize(const RECT& Rect) {
    if (OnResizeRequest) OnResizeRequest(this, Rect);
}

void TMvCustomRichEdit::CloseFindDialog(TObject* Dialog) {
    if (OnCloseFindDialog) OnCloseFindDialog(this, Dialog);
}

void TMvCustomRichEdit::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

bool TMvCustomRichEdit::ProtectChange(const TMessage& Msg, int StartPos, int EndPos) {
    bool Allow = false;
    if (OnProtectChangeEx)
        OnProtectChangeEx(this, Msg, StartPos, EndPos, Allow);
    else if (OnProtectChange)
        OnProtectChange(this, StartPos, EndPos, Allow);
    return Allow;
}

bool TMvCustomRichEdit::SaveClipboard(int NumObjects, int NumChars) {
    bool Save = true;
    if (OnSaveClipboard) OnSaveClipboard(this, NumObjects, NumChars, Save);
    return Save;
}

void TMvCustomRichEdit::URLClick(const std::string& URLText, TMouseButton Button) {
    if (OnURLClick) OnURLClick(this, URLText, Button);
}

TPopupMenu* TMvCustomRichEdit::GetPopupMenu() {
    FreeVerbMenu();
    TPopupMenu* Menu = TMvExCustomMemo::GetPopupMenu();
    if (FAutoVerbMenu && FRichEditOle && SelectionType() == TMvSelectionType{stObject}) {
        // An object that offers no verbs still gets a menu: the edit menu below.
        if (TPopupMenu* Verbs = BuildVerbMenu(Menu)) return Verbs;
    }
    if (!Menu && FUseFixedPopup) Menu = GetFixedEditPopup(this, true);
    return Menu;
}

void TMvCustomRichEdit::ColorChanged() {
    TMvExCustomMemo::ColorChanged();
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TMvCustomRichEdit::FontChanged() {
    TMvExCustomMemo::FontChanged();
    FDefAttributes->Assign(Font());
}

// ---- messages ----

void TMvCustomRichEdit::ReplaceSelection(TMessage& M) {
    const CHARRANGE Before = GetSelection();
    if (FUndoLimit > 1 && RichEditVersion() >= 2 && (!FLineUpdating || FForceUndo)) M.WParam = TRUE;
    TMvExCustomMemo::WndProc(M);
    // The window says where the inserted text ended; its length in characters
    // need not be its length in bytes.
    const CHARRANGE After = GetSelection();
    CHARRANGE R = FLineUpdating ? CHARRANGE{After.cpMax, After.cpMax} : CHARRANGE{Before.cpMin, After.cpMax};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&R));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TMvCustomRichEdit::HandleLink(const ENLINK& Link) {
    using mv::richedit::TLinkButton;
    const mv::richedit::TLinkRange Range{Link.chrg.cpMin, Link.chrg.cpMax};
    switch (Link.msg) {
    case WM_LBUTTONDOWN:
        FLinkClick.ButtonDown(Range, TLinkButton::Left);
        break;
    case WM_RBUTTONDOWN:
        FLinkClick.ButtonDown(Range, TLinkButton::Right);
        break;
    case WM_LBUTTONUP:
        if (auto Hit = FLinkClick.ButtonUp(Range, TLinkButton::Left))
            URLClick(GetTextRange(Hit->Min, Hit->Max), TMouseButton::mbLeft);
        break;
    case WM_RBUTTONUP:
        if (auto Hit = FLinkClick.ButtonUp(Range, TLinkButton::Right))
            URLClick(GetTextRange(Hit->Min, Hit->Max), TMouseButton::mbRight);
        break;
    default:
        break;
    }
}

void TMvCustomRichEdit::HandleNotify(TMessage& M) {
    const auto* Header = reinterpret_cast<const NMHDR*>(M.LParam);
    if (!Header) return;
    switch (Header->code) {
    case EN_REQUESTRESIZE:
        RequestSize(reinterpret_cast<const REQRESIZE*>(Header)->rc);
        break;
    case EN_SELCHANGE:
        SelectionChange();
        break;
    case EN_PROTECTED: {
        const auto* P = reinterpret_cast<const ENPROTECTED*>(Header);
        const TMessage Msg{P->msg, P->wParam, P->lParam, 0};
        if (!ProtectChange(Msg, P->chrg.cpMin, P->chrg.cpMax)) M.Result = 1;
        break;
    }
    case EN_SAVECLIPBOARD: {
        const auto* S = reinterpret_cast<const ENSAVECLIPBOARD*>(Header);
        if (!SaveClipboard(S->cObjectCount, S->cch)) M.Result = 1;
        break;
    }
    case EN_LINK:
        HandleLink(*reinterpret_cast<const ENLINK*>(Header));
        break;
    default:
        break;
    }
}

void TMvCustomRichEdit::HandleRightButtonUp(TMessage& M) {
    if (!(RichEditVersion() == 1 && WindowsFiveOrLater()) && HandleAllocated()) {
        FContextMenuShownForClick = false;
        const POINT Screen = ClientToScreen(POINT{MessageX(M.LParam), MessageY(M.LParam)});
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), PointToLParam(Screen.x, Screen.y));
        FContextMenuShownForClick = true;
    }
    if (HandleAllocated()) TMvExCustomMemo::WndProc(M);
}

void TMvCustomRichEdit::PaintVersion1(TMessage& M) {
    const HWND H = Handle();
    RECT Update{};
    if (GetUpdateRect(H, &Update, FALSE) && !IsRectEmpty(&Update)) {
        RECT Client{};
        GetClientRect(H, &Client);
        RECT Strip{Client.right - 3, Client.top, Client.right, Client.bottom};
        RECT Meet{};
        if (IntersectRect(&Meet, &Update, &Strip)) InvalidateRect(H, &Strip, TRUE);
    }
    if (GPaintingVersion1) {
        // Painting inside a paint: take this one as done and ask for another later.
        { TPaintDC Skip(H); }
        InvalidateRect(H, nullptr, TRUE);
        return;
    }
    GPaintingVersion1 = true;
    struct TReset {
        ~TReset() { GPaintingVersion1 = false; }
    } Reset;
    TMvExCustomMemo::WndProc(M);
}

void TMvCustomRichEdit::WndProc(TMessage& M) {
    switch (M.Msg) {
    case EM_REPLACESEL:
        if (HandleAllocated()) {
            ReplaceSelection(M);
            return;
        }
        break;
    case CN_NOTIFY:
        HandleNotify(M);
        return;
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDOWN:
        FContextMenuShownForClick = false;
        break;
    case WM_RBUTTONUP:
        HandleRightButtonUp(M);
        return;
    case WM_CONTEXTMENU:
        // Some rich edits make a WM_CONTEXTMENU of their own from the same
        // button-up that already showed our menu: one click, one menu.
        if (FContextMenuShownForClick && M.LParam != -1) {
            FContextMenuShownForClick = false;
            M.Result = 0;
            return;
        }
        break;
    case WM_PAINT:
        if (RichEditVersion() == 1 && HandleAllocated()) {
            PaintVersion1(M);
            return;
        }
        break;
    case WM_PASTE:
    case EM_PASTESPECIAL:
        // Whatever objects it brings, the change it makes looks at them (see Change).
        FObjectCountSeen = -1;
        break;
    case CM_BIDIMODECHANGED: {
        if (CanCreateHandle()) HandleNeeded();
        TMvExCustomMemo::WndProc(M);
        PARAFORMAT2 F;
        std::memset(&F, 0, sizeof(F));
        F.cbSize = RichEditVersion() >= 2 ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT);
        F.dwMask = PFM_ALIGNMENT;
        F.wAlignment = static_cast<WORD>(static_cast<int>(Alignment()) + 1);
        // The control's own alignment, not a change the text had.
        const bool WasModified = Modified();
        if (HandleAllocated()) FParagraph->SetParaFormat(F);
        SetModified(WasModified);
        return;
    }
    case WM_SETFONT:
        TMvExCustomMemo::WndProc(M);
        FDefAttributes->Assign(Font());
        return;
    case WM_HSCROLL:
        TMvExCustomMemo::WndProc(M);
        if (OnHorizontalScroll) OnHorizontalScroll(this);
        return;
    case WM_VSCROLL:
        TMvExCustomMemo::WndProc(M);
        if (OnVerticalScroll) OnVerticalScroll(this);
        return;
    case CM_UIDEACTIVATE:
        InPlaceDeactivate();
        return;
    case WM_DESTROY:
        // An object still in place ends its activity and gives the form back first.
        if (FOleCallback->Frame()) InPlaceDeactivate();
        CloseRichEditObjects(FRichEditOle);
        ReleaseOle();
        break;
    default:
        break;
    }
    TMvExCustomMemo::WndProc(M);
}
