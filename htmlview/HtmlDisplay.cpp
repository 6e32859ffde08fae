// The HTML viewer control: loading, layout, scroll bars, painting, keys, wheel and properties.
#include "htmlview/HtmlDisplay.h"
#include "htmlview/HtmlDisplayPrint.h"

#include <algorithm>
#include <optional>

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"
#include "gui/Application.h"
#include "gui/Clipbrd.h"
#include "htmlview/HtmlFonts.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlTextSection.h"

namespace {

// Sets a flag for one scope, also while an exception unwinds.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = old_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

std::string ExpandFileName(const std::string& name) {
    if (name.empty()) return name;
    char buffer[MAX_PATH * 2];
    char* filePart = nullptr;
    const DWORD n = GetFullPathNameA(name.c_str(), sizeof buffer, buffer, &filePart);
    if (n == 0 || n >= sizeof buffer) return name;
    return std::string(buffer, n);
}

std::string ExtractFilePath(const std::string& name) {
    const size_t at = name.find_last_of("\\:/");
    return at == std::string::npos ? std::string() : name.substr(0, at + 1);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// T32ScrollBar

T32ScrollBar::T32ScrollBar(TComponent* AOwner, THtmlDisplay* Viewer, bool Vertical)
    : TWinControl(AOwner), FViewer(Viewer), FVertical(Vertical) {
    SmallChange = Vertical ? 16 : 15;
    SetBounds(0, 0, Vertical ? GetSystemMetrics(SM_CXVSCROLL) : 100,
              Vertical ? 100 : GetSystemMetrics(SM_CYHSCROLL));
}

void T32ScrollBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SCROLLBAR");
    Params.Style |= FVertical ? SBS_VERT : SBS_HORZ;
}

void T32ScrollBar::CreateWnd() {
    TWinControl::CreateWnd();
    Send();
}

void T32ScrollBar::SetParams(int32_t Position, int32_t Page, int32_t Min, int32_t Max) {
    if (Position == FPosition && Page == FPage && Min == FMin && Max == FMax) return;
    const bool PositionOnly = Page == FPage && Min == FMin && Max == FMax;
    FPosition = Position;
    FPage = Page;
    FMin = Min;
    FMax = Max;
    Send(PositionOnly);
}

void T32ScrollBar::Send(bool PositionOnly) {
    if (!HandleAllocated()) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = PositionOnly ? SIF_POS : SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (FVertical && (FViewer->htOptions() & htShowVScroll)) si.fMask |= SIF_DISABLENOSCROLL;
    si.nMin = FMin;
    si.nMax = FMax;
    si.nPage = static_cast<UINT>(std::max(FPage, 0));
    si.nPos = FPosition;
    si.nTrackPos = FPosition;
    SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void T32ScrollBar::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_VSCROLL:
    case CN_HSCROLL:
        if (FVertical)
            FViewer->VScrollNotify(LOWORD(Message.WParam));
        else
            FViewer->HScrollNotify(LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case WM_PRINTCLIENT: {
        // The system bar draws into a DC it is handed as WM_PAINT's WParam, not on WM_PRINTCLIENT.
        TMessage paint{WM_PAINT, Message.WParam, 0, 0};
        DefaultHandler(paint);
        Message.Result = 0;
        return;
    }
    default:
        TWinControl::WndProc(Message);
    }
}

// ---------------------------------------------------------------------------------------------
// TPaintPanel

TPaintPanel::TPaintPanel(TComponent* AOwner, THtmlDisplay* Viewer) : TCustomControl(AOwner), FViewer(Viewer) {
    SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
    SetParentFont(false);
}

void TPaintPanel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_PRINT:
        // The document, then the form controls' windows on it.
        PrintWithChildren(Handle(), Message, [this](TMessage& Own) { TCustomControl::WndProc(Own); });
        return;
    case WM_LBUTTONDBLCLK:
        if (Message.WParam & MK_LBUTTON)
            FViewer->HTMLMouseDouble(MouseShiftState(Message.WParam), MessageX(Message.LParam),
                                     MessageY(Message.LParam));
        Message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        FViewer->MouseWheel(static_cast<short>(HIWORD(Message.WParam)));
        Message.Result = 0;
        return;
    case WM_DISPLAYCHANGE:
        // The kept bitmap has the old screen's format.
        FBufferDC.reset();
        FBuffer.Reset();
        FKeptWhole = false;
        FBufferWidth = FBufferHeight = 0;
        TCustomControl::WndProc(Message);
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

void TPaintPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FViewer->HTMLMouseDown(Button, Shift, X, Y);
}

void TPaintPanel::MouseMove(TShiftState Shift, int X, int Y) {
    FViewer->HTMLMouseMove(Shift, X, Y);
}

void TPaintPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FViewer->HTMLMouseUp(Button, Shift, X, Y);
}

void TPaintPanel::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(FViewer->OnDragOver);
    if (FViewer->OnDragOver) FViewer->OnDragOver(FViewer, Source, X, Y, State, Accept);
}

void TPaintPanel::DragDrop(TObject* Source, int X, int Y) {
    if (FViewer->OnDragDrop) FViewer->OnDragDrop(FViewer, Source, X, Y);
}

void TPaintPanel::PaintWindow(HDC DC) {
    if (FViewer->FLayoutActive || FPainting) return;
    TFlagScope painting(FPainting);
    RECT clip{}, client = ClientRect();
    // A Windows metafile keeps no clipping to ask about: it gets the whole panel.
    if (GetClipBox(DC, &clip) == ERROR) clip = client;
    // A DC handed in for printing may reach beyond the panel: never paint over the neighbours.
    if (!IntersectRect(&clip, &clip, &client)) return;
    const int w = clip.right - clip.left, h = clip.bottom - clip.top;
    if (w <= 0 || h <= 0) return; // nothing to paint in an empty clip rectangle
    TSelectPalette palette(DC, FViewer->GetPalette(), true);
    if (HandleAllocated() && WindowFromDC(DC) == Handle()) {
        // A paint of this window: its rectangle drawn into the kept bitmap, then copied.
        const int cw = client.right - client.left, ch = client.bottom - client.top;
        if (!FBufferDC) FBufferDC = std::make_unique<TMemoryDC>(DC);
        if (!FBuffer || FBufferWidth < cw || FBufferHeight < ch) {
            TGdiObject<HBITMAP> grown(CreateCompatibleBitmap(DC, cw, ch));
            if (!grown || !FBufferDC->Get()) throw EOutOfResources("Out of Resources");
            // Selected before the old one is deleted, which a DC must not hold.
            SelectObject(FBufferDC->Get(), grown.Get());
            FBuffer = std::move(grown);
            FBufferWidth = cw;
            FBufferHeight = ch;
            FKeptWhole = false;
        }
        if (cw != FKeptWidth || ch != FKeptHeight) FKeptWhole = false;
        HDC mem = FBufferDC->Get();
        DrawPart(mem, clip);
        BitBlt(DC, clip.left, clip.top, w, h, mem, clip.left, clip.top, SRCCOPY);
        if (EqualRect(&clip, &client)) {
            FKeptWhole = true;
            FKeptWidth = cw;
            FKeptHeight = ch;
        }
        return;
    }
    // A DC handed in for printing gets a bitmap of its own kind, for this paint.
    std::optional<TWindowDC> screen;
    HDC like = DC;
    if (!IsRasterSurface(DC)) like = screen.emplace(nullptr).Get();
    TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(like, w, h));
    TMemoryDC mem(like);
    if (!mem.Get() || !bitmap) throw EOutOfResources("Out of Resources");
    TSelectObject select(mem.Get(), bitmap.Get());
    SetWindowOrgEx(mem.Get(), clip.left, clip.top, nullptr);
    DrawPart(mem.Get(), clip);
    BitBlt(DC, clip.left, clip.top, w, h, mem.Get(), clip.left, clip.top, SRCCOPY);
}

void TPaintPanel::DrawPart(HDC DC, const RECT& R) {
    // Lines reaching out of R are drawn whole: the pixels beyond R stay as they are.
    TSavedDC saved(DC);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    FViewer->PaintBackground(DC, R, Color());
    FViewer->DrawDocument(DC, R);
}

bool TPaintPanel::ScrollKept(int Dy) {
    if (!FKeptWhole || !FBufferDC || !HandleAllocated() || FViewer->FLayoutActive || FPainting) return false;
    const RECT client = ClientRect();
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w != FKeptWidth || h != FKeptHeight || w <= 0 || h <= 0) return false;
    TWindowDC screen(Handle());
    if (!screen.Get()) return false;
    TFlagScope painting(FPainting);
    HDC mem = FBufferDC->Get();
    const int moved = h - std::abs(Dy);
    if (moved > 0) BitBlt(mem, 0, std::max(Dy, 0), w, moved, mem, 0, std::max(-Dy, 0), SRCCOPY);
    const RECT strip = Dy > 0 ? RECT{0, 0, w, std::min(Dy, h)} : RECT{0, std::max(h + Dy, 0), w, h};
    DrawPart(mem, strip);
    TSelectPalette palette(screen.Get(), FViewer->GetPalette(), true);
    BitBlt(screen.Get(), 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

// ---------------------------------------------------------------------------------------------
// THtmlDisplay: construction

THtmlDisplay::THtmlDisplay(TComponent* AOwner) : TCustomControl(AOwner), FMeasureDC(nullptr) {
    SetBounds(Left(), Top(), 150, 150);
    SetTabStop(false);
    FMeasure = std::make_unique<TGdiPainter>(FMeasureDC.Get(), FFonts);
    FParser = std::make_unique<THtmlParser>();
    FParser->Viewer = this;
    FSections = std::make_unique<TSectionList>(static_cast<IDocumentHost*>(this));
    FSections->Viewer = this;
    FSections->Parser = FParser.get();
    FSections->SetMeasure(FMeasure.get());
    FSections->ShowImages = true;
    FSections->OnBackgroundChange = [this](TObject*) { BackgroundChanged(); };

    FPaintPanel = new TPaintPanel(this, this);
    FPaintPanel->SetBounds(1, 1, 148, 148);
    FPaintPanel->SetParent(this);
    FVScroll = new T32ScrollBar(this, this, true);
    FVScroll->SetVisible(false);
    FVScroll->SetParent(this);
    FScrollWidth = FVScroll->Width();
    FHScroll = new T32ScrollBar(this, this, false);
    FHScroll->SetVisible(false);
    FHScroll->SetParent(this);
    InstallFormHooks();

    FNameList.SetSorted(true);
    SetDefBackground(clBtnFace);
    SetDefFontColor(clBtnText);
    SetDefHotSpotColor(0xFF0000);
    SetDefOverLinkColor(0xFF0000);
    SetDefVisitedLinkColor(0x800080);
    SetDefFontSize(12);
    ResetDocumentFonts();

    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(200);
    FTimer->SetOnTimer([this](TObject*) { HoverTimerTick(); });
    StartPictures();
    FCreating = false;
}

THtmlDisplay::~THtmlDisplay() {
    *FAlive = false;
    if (GetCapture() && HandleAllocated() && GetCapture() == FPaintPanel->Handle()) ReleaseCapture();
    // The document's fonts measure through FMeasure: the sections go first.
    FSections->Clear();
    StopPictures();
}

void THtmlDisplay::CreateWnd() {
    TCustomControl::CreateWnd();
    LayoutScrollBars();
}

// ---------------------------------------------------------------------------------------------
// Loading

void THtmlDisplay::SetProcessing(bool Value) {
    if (FProcessing == Value) return;
    FProcessing = Value;
    if (OnProcessing) OnProcessing(this, Value);
}

void THtmlDisplay::LoadHtmlText(const std::string& S, const std::string& Reference) {
    LoadHtmlSource(S, Reference, 0);
}

void THtmlDisplay::LoadHtmlSource(const std::string& S, std::string Reference, uint8_t DocType) {
    if (S.empty()) return;
    const std::string Dest = SplitFragment(Reference);
    FRefreshDelay = 0;
    const std::string OldFile = FCurrentFile;
    // A page handed over as text is known by the name it was given: expanding it against the
    // current directory would make the same page a different one after a directory change.
    FCurrentFile = Reference;
    FFileType = DocType;
    ParseAndLayout(S, DocType);
    MarkVisitedLinks();
    if (Dest.empty() || !PositionTo(Dest)) {
        if (FCurrentFile != OldFile || FCurrentFile.empty()) {
            ScrollTo(0);
            SetHPosition(0);
        } else {
            ScrollTo(FVScroll->Position());
        }
    }
    FPaintPanel->Invalidate();
    SetProcessing(false);
    if (FRefreshDelay > 0 && OnMetaRefresh) OnMetaRefresh(this, FRefreshDelay, FRefreshURL);
}

void THtmlDisplay::LoadDocumentFile(std::string FileName, uint8_t DocType) {
    if (FProcessing) return;
    const std::string Dest = SplitFragment(FileName);
    // A folder is no file to show: it is reported like a missing one, before anything changes.
    const DWORD attributes = GetFileAttributesA(FileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw EInOutError("Can't locate file: " + FileName);
    std::string Source;
    if (DocType == 2) {
        Source = "<img src=\"" + FileName + "\">";
    } else {
        TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
        Source.resize(static_cast<size_t>(Stream.Size()));
        if (!Source.empty()) Stream.ReadBuffer(Source.data(), static_cast<int32_t>(Source.size()));
    }
    FRefreshDelay = 0;
    const std::string OldFile = FCurrentFile;
    FCurrentFile = ExpandFileName(FileName);
    FFileType = DocType;
    ParseAndLayout(Source, DocType == 2 ? 0 : DocType);
    MarkVisitedLinks();
    if (Dest.empty() || !PositionTo(Dest)) {
        if (FCurrentFile != OldFile) {
            ScrollTo(0);
            SetHPosition(0);
        } else {
            ScrollTo(FVScroll->Position());
        }
    }
    FPaintPanel->Invalidate();
    SetProcessing(false);
    if (FRefreshDelay > 0 && OnMetaRefresh) OnMetaRefresh(this, FRefreshDelay, FRefreshURL);
}

void THtmlDisplay::OpenHtmlFile(const std::string& FileName) {
    if (FileName.empty() || FProcessing) return;
    const std::string OldFile = FCurrentFile, OldTitle = FDocumentTitle;
    const int32_t OldPos = Position();
    const uint8_t OldType = FFileType;
    LoadDocumentFile(FileName, 0);
    if (FCurrentFile != OldFile || FFileType != OldType) AddToHistory(OldFile, OldTitle, OldType, OldPos);
}

void THtmlDisplay::OpenImageFile(const std::string& FileName) {
    if (FileName.empty() || FProcessing) return;
    const std::string OldFile = FCurrentFile, OldTitle = FDocumentTitle;
    const int32_t OldPos = Position();
    const uint8_t OldType = FFileType;
    LoadDocumentFile(FileName, 2);
    if (FCurrentFile != OldFile || FFileType != OldType) AddToHistory(OldFile, OldTitle, OldType, OldPos);
}

void THtmlDisplay::ResetDocumentFonts() {
    FSections->SetFonts(FDefFontName, FDefPreFontName, (FOptions & htOverLinksActive) != 0, FDefBackground,
                        FDefOverLinkColor, FDefVisitedLinkColor, FDefHotSpotColor, FDefFontColor,
                        FDefFontSize);
}

void THtmlDisplay::ParseAndLayout(const std::string& S, uint8_t DocType) {
    if (FProcessing) return;
    SetProcessing(true);
    ++FDocumentLoads;
    FRefreshDelay = 0;
    FTimer->SetEnabled(false);
    FHoverURL.clear();
    FHoverTarget.clear();
    FSections->Clear();
    UpdateAnimationTimer();
    // A picture no document uses survives a few loads in the cache, then goes.
    ImageCache().MarkUsedAndPurge();
    ResetDocumentFonts();
    FNameList.Clear();
    FMarginW = FMarginWidth;
    FMarginH = FMarginHeight;
    FDocHeight = 0;
    FCaretPos = 0;
    FSelAnchor = -1;
    if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
    if (DocType == 1) {
        FParser->ParseTextAsPreformatted(S, *FSections, &FNameList);
    } else {
        FParser->ParseHtmlText(
            S, *FSections, &FNameList, OnInclude, OnSoundRequest,
            [this](TObject* Sender, const std::string& HttpEq, const std::string& Name,
                   const std::string& Content) { MetaHandler(Sender, HttpEq, Name, Content); });
    }
    if (FSections->Count() > 0) {
        FDocumentTitle = FParser->Title;
        FBase = FParser->BaseHref;
        FBaseTarget = FParser->BaseTarget;
        FSections->GetBackgroundBitmap();
    }
    DoLayout();
    FPaintPanel->Invalidate();
    SetProcessing(false);
}

void THtmlDisplay::MetaHandler(TObject*, const std::string& HttpEq, const std::string& Name,
                               const std::string& Content) {
    if (OnMeta) OnMeta(this, HttpEq, Name, Content);
    if (!OnMetaRefresh || !SameText(HttpEq, "refresh")) return;
    int32_t Delay = 0;
    std::string URL;
    if (ParseRefresh(Content, Delay, URL)) {
        FRefreshDelay = Delay;
        FRefreshURL = URL;
    }
}

void THtmlDisplay::Clear() {
    if (FProcessing) return;
    ++FDocumentLoads;
    FTimer->SetEnabled(false);
    FSections->Clear();
    UpdateAnimationTimer();
    ResetDocumentFonts();
    FNameList.Clear();
    FBase.clear();
    FBaseTarget.clear();
    FDocumentTitle.clear();
    FDocHeight = FDocWidth = 0;
    FVScroll->SetParams(0, PanelHeight(), 0, 0);
    FVScroll->SetVisible(false);
    FHScroll->SetVisible(false);
    FSections->SetYOffset(0);
    FCaretPos = 0;
    FSelAnchor = -1;
    if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
    FPaintPanel->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Layout and scroll bars

void THtmlDisplay::DoLayout() {
    TFlagScope layout(FLayoutActive);
    HandleNeeded();
    FDocWidth = 0;
    const int32_t F = FBorderStyle == THTMLBorderStyle::htNone ? 1 : 3;
    int32_t W = Width() - F - 2 * FMarginW;
    const bool vert = FScrollBars == THvScrollStyle::ssVertical || FScrollBars == THvScrollStyle::ssBoth;
    if (vert) W -= FScrollWidth;
    int32_t curs = 0, maxWidth = 0;
    const int32_t height = FSections->Layout(Measure(), FMarginH, std::max(W, 1), maxWidth, curs);
    FDocWidth = maxWidth + 2 * FMarginW;
    FDocHeight = height + (vert ? 2 : 1) * FMarginH;
    LayoutScrollBars();
    UpdateAnimationTimer();
}

int32_t THtmlDisplay::PanelHeight() const {
    return FPaintPanel->Height();
}

int32_t THtmlDisplay::PanelWidth() const {
    return FPaintPanel->Width();
}

int32_t THtmlDisplay::MaxVScroll() const {
    return std::max(0, FDocHeight - PanelHeight());
}

void THtmlDisplay::LayoutScrollBars() {
    const int32_t W = Width(), H = Height();
    const int32_t b = FBorderStyle == THTMLBorderStyle::htNone ? 0 : 1;
    const int32_t S = FScrollWidth;
    FDocWidth = std::min(FDocWidth, 6000);
    const bool always = (FOptions & htShowVScroll) != 0;
    const bool vertStyle = FScrollBars == THvScrollStyle::ssVertical || FScrollBars == THvScrollStyle::ssBoth;
    const TBarChoice c = ChooseScrollBars(FScrollBars, always, W, H, b, S, FDocHeight, FDocWidth);
    const int32_t W2 = (c.Vertical || (always && vertStyle)) ? W - S : W;
    const int32_t PH = std::max(0, H - 2 * b - (c.Horizontal ? S : 0));
    FPaintPanel->SetBounds(b, b, std::max(0, W2 - 2 * b), PH);

    FHScroll->LargeChange = HorizontalLargeChange(W2);
    FHScroll->SetBounds(b, H - S - b, std::max(0, W2 - b), S);
    FHScroll->SetParams(std::min(FHScroll->Position(), std::max(0, FDocWidth - PanelWidth())), W2, 0,
                        std::max(FDocWidth, W2 - 2 * b));
    FHScroll->SetVisible(c.Horizontal);

    FVScroll->SetBounds(W - S - b, b, S, PH);
    FVScroll->LargeChange = VerticalLargeChange(PH);
    FVScroll->SetParams(FVScroll->Position(), PH + 1, 0, FDocHeight);
    if (always && vertStyle) {
        FVScroll->SetVisible(true);
        FVScroll->SetEnabled(c.Needed);
        if (FVScroll->HandleAllocated())
            EnableScrollBar(FVScroll->Handle(), SB_CTL, c.Needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    } else {
        FVScroll->SetVisible(c.Vertical);
        FVScroll->SetEnabled(true);
    }
}

void THtmlDisplay::Reformat() {
    if (FSections->Count() == 0 || FProcessing) return;
    const TKeptPlace Place = KeepPlace();
    SetProcessing(true);
    DoLayout();
    SetProcessing(false);
    RestorePlace(Place);
    FPaintPanel->Invalidate();
}

void THtmlDisplay::HandleSize() {
    if (FCreating) return;
    if (FProcessing) {
        LayoutScrollBars();
        return;
    }
    if (FSections->Count() > 0) {
        const TKeptPlace Place = KeepPlace();
        SetProcessing(true);
        DoLayout();
        SetProcessing(false);
        RestorePlace(Place);
    } else {
        LayoutScrollBars();
    }
    if (PanelHeight() <= FDocHeight)
        ScrollTo(FVScroll->Position());
    else
        ScrollTo(0);
    SetHPosition(FHScroll->Position());
}

// ---------------------------------------------------------------------------------------------
// Position and scrolling

void THtmlDisplay::SetVPosition(int32_t Pos, bool ScrollWindowContents) {
    Pos = ClampScroll(Pos, FDocHeight, PanelHeight());
    const int32_t old = FVScroll->Position();
    const bool move = Pos != old && ScrollWindowContents && FPaintPanel->HandleAllocated() &&
                      FSections->FormControlList.empty();
    // Whatever waits to be painted is painted where it is before the pixels move.
    if (move) FPaintPanel->Update();
    FVScroll->SetPosition(Pos);
    FSections->SetYOffset(Pos);
    if (Pos == old) return;
    if (move) {
        if (FPaintPanel->ScrollKept(old - Pos)) return;
        // Nothing to erase (the panel paints every pixel) and no windows on it to move.
        ScrollWindowEx(FPaintPanel->Handle(), 0, old - Pos, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE);
        FPaintPanel->Update();
    } else {
        FPaintPanel->Invalidate();
    }
}

void THtmlDisplay::SetHPosition(int32_t Pos) {
    Pos = std::clamp(Pos, 0, std::max(0, FHScroll->Max() - PanelWidth()));
    if (Pos == FHScroll->Position()) return;
    FHScroll->SetPosition(Pos);
    FPaintPanel->Invalidate();
}

void THtmlDisplay::ScrollTo(int32_t Y) {
    SetVPosition(Y, false);
    FPaintPanel->Invalidate();
}

THtmlDisplay::TKeptPlace THtmlDisplay::KeepPlace() {
    const int32_t y = FVScroll->Position() + FMarginH;
    int32_t top = 0;
    int index = -1;
    if (FSections->FindSectionAtPosition(y, top, index) == nullptr || index < 0) {
        if (FSections->Count() == 0) return {};
        index = FSections->Count() - 1;
        top = FSections->Sections[index]->YValue;
    }
    return {index, std::max(0, y - top)};
}

void THtmlDisplay::RestorePlace(const TKeptPlace& Place) {
    if (Place.Index < 0 || Place.Index >= FSections->Count()) return;
    ScrollTo(FSections->Sections[Place.Index]->YValue - FMarginH + Place.Offset);
}

int32_t THtmlDisplay::Position() {
    const TKeptPlace place = KeepPlace();
    if (place.Index < 0) return 0;
    return (place.Index << 16) | std::min(place.Offset, 0xFFFF);
}

void THtmlDisplay::SetPosition(int32_t Value) {
    if (Value < 0) return;
    const int index = Value >> 16;
    if (index >= FSections->Count()) return;
    ScrollTo(FSections->Sections[index]->YValue - FMarginH + (Value & 0xFFFF));
}

bool THtmlDisplay::PositionTo(std::string Dest) {
    if (!Dest.empty() && Dest[0] == '#') Dest.erase(0, 1);
    if (Dest.empty()) return false;
    const std::string Name = UpperCase(Dest);
    for (int i = 0; i < FNameList.Count(); ++i) {
        if (UpperCase(FNameList.Get(i)) != Name) continue;
        auto* section = dynamic_cast<TSectionBase*>(FNameList.GetObject(i));
        ScrollTo(section ? section->YValue - FMarginH : 0);
        SetHPosition(0);
        AddVisited(FCurrentFile + "#" + Dest);
        return true;
    }
    return false;
}

namespace {
// Where the user holds the thumb: the 32-bit track position, which the message's own 16 bits cut.
int32_t TrackPosition(T32ScrollBar& Bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(Bar.Handle(), SB_CTL, &si);
    return si.nTrackPos;
}
} // namespace

// A click on a bar brings the focus to the viewer (asking the system again at every step of a
// held bar costs much of the step).
void THtmlDisplay::VScrollNotify(int Code) {
    if (!Focused() && CanFocus()) SetFocus();
    ScrollByCode(*FVScroll, Code);
}

void THtmlDisplay::HScrollNotify(int Code) {
    if (!Focused() && CanFocus()) SetFocus();
    ScrollByCode(*FHScroll, Code);
}

// Keys scroll as the codes of the bar they move would.
void THtmlDisplay::KeyDownHandling(WORD Key) {
    if (FPanning) {
        EndPanning();
        return;
    }
    static constexpr struct {
        WORD Key;
        bool Vertical;
        int Code;
    } kKeys[] = {{VK_PRIOR, true, SB_PAGEUP},   {VK_NEXT, true, SB_PAGEDOWN},   {VK_HOME, true, SB_TOP},
                 {VK_END, true, SB_BOTTOM},     {VK_UP, true, SB_LINEUP},       {VK_DOWN, true, SB_LINEDOWN},
                 {VK_LEFT, false, SB_LINELEFT}, {VK_RIGHT, false, SB_LINERIGHT}};
    for (const auto& k : kKeys)
        if (k.Key == Key) ScrollByCode(k.Vertical ? *FVScroll : *FHScroll, k.Code);
}

// A scroll-bar code on either bar (SB_LINEUP is SB_LINELEFT, and so on): by a line or a page,
// to where the thumb is held, or, on the vertical bar, to an end. Other codes do nothing. The
// pixels still in view move; only the strip uncovered is painted.
void THtmlDisplay::ScrollByCode(T32ScrollBar& Bar, int Code) {
    const bool vertical = &Bar == FVScroll;
    int32_t Pos = Bar.Position();
    switch (Code) {
    case SB_LINEUP:
        Pos -= Bar.SmallChange;
        break;
    case SB_LINEDOWN:
        Pos += Bar.SmallChange;
        break;
    case SB_PAGEUP:
        Pos -= Bar.LargeChange;
        break;
    case SB_PAGEDOWN:
        Pos += Bar.LargeChange;
        break;
    case SB_TOP:
        if (!vertical) return;
        Pos = 0;
        break;
    case SB_BOTTOM:
        if (!vertical) return;
        Pos = MaxVScroll();
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        Pos = TrackPosition(Bar);
        break;
    default:
        return;
    }
    if (vertical)
        SetVPosition(Pos, true);
    else
        SetHPosition(Pos);
}

void THtmlDisplay::MouseWheel(int Delta) {
    const int32_t Pos = WheelTarget(FVScroll->Position(), Delta, FDocHeight, PanelHeight());
    if (Pos != FVScroll->Position()) SetVPosition(Pos, true);
}

// ---------------------------------------------------------------------------------------------
// Painting

void THtmlDisplay::Paint() {
    // The control's own surface is the frame around the paint panel.
    RECT r = ClientRect();
    TCanvas& C = Canvas();
    C.Brush().SetColor(FPaintPanel->Color());
    C.FillRect(r);
    const bool framed =
        FBorderStyle == THTMLBorderStyle::htSingle ||
        (FBorderStyle == THTMLBorderStyle::htFocused && HandleAllocated() && GetFocus() == Handle());
    if (framed) {
        C.Brush().SetColor(clWindowFrame);
        C.FrameRect(r);
    }
}

void THtmlDisplay::DrawDocument(HDC DC, const RECT& Clip) {
    if (FLayoutActive) return;
    TGdiPainter painter(DC, FFonts);
    THvRect rect{FMarginW, Clip.top, PanelWidth(), std::min<int32_t>(Clip.bottom, PanelHeight())};
    rect.Top = std::max<int32_t>(Clip.top, 0);
    rect.Left = 0;
    HPALETTE oldPalette = nullptr;
    if (HPALETTE palette = GetPalette()) {
        oldPalette = SelectPalette(DC, palette, TRUE);
        RealizePalette(DC);
    }
    FSections->Draw(painter, rect, 6000, FMarginW - FHScroll->Position(), FMarginH);
    if (oldPalette) SelectPalette(DC, oldPalette, TRUE);
    UpdateAnimationTimer();
}

void THtmlDisplay::Invalidate() {
    TCustomControl::Invalidate();
    if (FPaintPanel) FPaintPanel->Invalidate();
}

int32_t THtmlDisplay::ClientHeight() {
    return PanelHeight();
}

void THtmlDisplay::SetMargins(int32_t Width, int32_t Height) {
    if (Width >= 0) FMarginW = std::min(Width, 200);
    if (Height >= 0) FMarginH = std::min(Height, 200);
}

void THtmlDisplay::BackgroundChanged() {
    if (!FPaintPanel) return;
    TColor c = FSections->Background;
    FPaintPanel->SetColor(c < 0 ? c : (c & 0xFFFFFF));
}

void THtmlDisplay::DoEnter() {
    TCustomControl::DoEnter();
    TCustomControl::Invalidate();
}

void THtmlDisplay::DoExit() {
    TCustomControl::DoExit();
    TCustomControl::Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Messages

void THtmlDisplay::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        // The system sends this from inside WM_WINDOWPOSCHANGED, before the control has read
        // its new bounds: the panel and the bars are laid out for the size the window has now.
        UpdateBoundsFromWindow();
        HandleSize();
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_PRINT:
        // The frame from the system, then the paint panel and the bars.
        PrintWithChildren(Handle(), Message, [this](TMessage& Own) { TCustomControl::WndProc(Own); });
        return;
    case WM_MOUSEWHEEL:
        MouseWheel(static_cast<short>(HIWORD(Message.WParam)));
        Message.Result = 0;
        return;
    case WM_KEYDOWN:
        TCustomControl::WndProc(Message);
        KeyDownHandling(static_cast<WORD>(Message.WParam));
        return;
    case WM_HTMLVIEW_SUBMIT:
        if (FOnFormSubmit && FSubmit.Results) {
            const auto Results = std::move(FSubmit.Results);
            FOnFormSubmit(this, FSubmit.Action, FSubmit.Target, FSubmit.EncType, FSubmit.Method, *Results);
        }
        return;
    case WM_HTMLVIEW_AUTOSCROLL:
        AutoScrollLoop();
        return;
    case WM_HTMLVIEW_OBJECTCLICK:
        FireObjectClick();
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

// ---------------------------------------------------------------------------------------------
// Visited links and history

std::string THtmlDisplay::FullReference(const std::string& URL) {
    if (!URL.empty() && URL[0] == '#') return FCurrentFile + URL;
    return ResolveLinkPath(URL);
}

void THtmlDisplay::AddVisited(const std::string& Ref) {
    if (FVisitedMaxCount <= 0) return;
    const int at = FVisited.IndexOf(Ref);
    if (at == 0) return;
    if (at > 0) {
        FVisited.Delete(at);
    } else {
        FSections->SetVisitedLinks(
            [&](std::string_view URL) { return SameText(FullReference(std::string(URL)), Ref); }, true);
    }
    FVisited.Insert(0, Ref);
    while (FVisited.Count() > FVisitedMaxCount)
        FVisited.Delete(FVisited.Count() - 1);
    FPaintPanel->Invalidate();
}

void THtmlDisplay::MarkVisitedLinks() {
    if (FVisitedMaxCount <= 0 || FVisited.Count() == 0) return;
    FSections->SetVisitedLinks(
        [&](std::string_view URL) {
            const std::string Ref = FullReference(std::string(URL));
            for (int i = 0; i < FVisited.Count(); ++i)
                if (SameText(FVisited.Get(i), Ref)) return true;
            return false;
        },
        true);
}

void THtmlDisplay::AddToHistory(const std::string& OldFile, const std::string& OldTitle, uint8_t OldType,
                                int32_t OldPos) {
    if (FHistoryMaxCount < 1 || FCurrentFile.empty()) return;
    if (OldFile == FCurrentFile && OldType == FFileType && OldPos == Position()) return;
    if (FHistory.Count() > 0 && !OldFile.empty()) {
        FHistory.Put(FHistoryIndex, OldFile);
        FTitleHistory.Put(FHistoryIndex, OldTitle);
        FPositionHistory[static_cast<size_t>(FHistoryIndex)] = {OldPos, OldType};
        for (int i = 0; i < FHistoryIndex; ++i) {
            FHistory.Delete(0);
            FTitleHistory.Delete(0);
            FPositionHistory.erase(FPositionHistory.begin());
        }
    }
    FHistoryIndex = 0;
    FHistory.Insert(0, FCurrentFile);
    FTitleHistory.Insert(0, FDocumentTitle);
    FPositionHistory.insert(FPositionHistory.begin(), {Position(), FFileType});
    if (FHistory.Count() > FHistoryMaxCount) {
        FHistory.Delete(FHistoryMaxCount);
        FTitleHistory.Delete(FHistoryMaxCount);
        FPositionHistory.erase(FPositionHistory.begin() + FHistoryMaxCount);
    }
    if (OnHistoryChange) OnHistoryChange(this);
}

void THtmlDisplay::ClearHistory() {
    const bool had = FHistory.Count() > 0;
    FHistory.Clear();
    FTitleHistory.Clear();
    FPositionHistory.clear();
    FHistoryIndex = 0;
    if (had && OnHistoryChange) OnHistoryChange(this);
}

// ---------------------------------------------------------------------------------------------
// Selection

std::string THtmlDisplay::SelText() {
    if (FSections->SelTo <= FSections->SelFrom) return {};
    return FSections->SelectedText();
}

void THtmlDisplay::CopyToClipboard() {
    const std::string Text = SelText();
    if (!Text.empty()) Clipboard().SetAsText(Text);
}

// ---------------------------------------------------------------------------------------------
// Properties

void THtmlDisplay::SetDefBackground(TColor Value) {
    if (FProcessing) return;
    FDefBackground = Value;
    FSections->SetBackground(Value);
    FPaintPanel->Invalidate();
}

void THtmlDisplay::ChangeFonts(bool Relayout) {
    FSections->FontColor = FDefFontColor;
    FSections->HotSpotColor = FDefHotSpotColor;
    FSections->VisitedColor = FDefVisitedLinkColor;
    FSections->OverColor = FDefOverLinkColor;
    FSections->FontSize = FDefFontSize;
    FSections->CharSet = FCharSet;
    FSections->FontName = FDefFontName.substr(0, 32);
    FSections->PreFontName = FDefPreFontName.substr(0, 32);
    FSections->UpdateFonts();
    if (Relayout) Reformat();
    if (FPaintPanel) FPaintPanel->Invalidate();
}

void THtmlDisplay::SetDefFontColor(TColor Value) {
    FDefFontColor = Value;
    ChangeFonts(false);
}

void THtmlDisplay::SetDefHotSpotColor(TColor Value) {
    FDefHotSpotColor = Value;
    ChangeFonts(false);
}

void THtmlDisplay::SetDefVisitedLinkColor(TColor Value) {
    FDefVisitedLinkColor = Value;
    ChangeFonts(false);
}

void THtmlDisplay::SetDefOverLinkColor(TColor Value) {
    FDefOverLinkColor = Value;
    ChangeFonts(false);
}

void THtmlDisplay::SetDefFontSize(int32_t Value) {
    FDefFontSize = std::max(Value, 6);
    ChangeFonts(true);
}

void THtmlDisplay::SetDefFontName(const std::string& Value) {
    if (SameText(Value.substr(0, 32), FSections->FontName)) return;
    FDefFontName = Value;
    ChangeFonts(true);
}

void THtmlDisplay::SetDefPreFontName(const std::string& Value) {
    if (SameText(Value.substr(0, 32), FSections->PreFontName)) return;
    FDefPreFontName = Value;
    ChangeFonts(true);
}

void THtmlDisplay::SetMarginWidth(int32_t Value) {
    if (Value == FMarginWidth || Value < 0 || FProcessing) return;
    FMarginWidth = FMarginW = std::min(Value, 200);
    Reformat();
}

void THtmlDisplay::SetMarginHeight(int32_t Value) {
    if (Value == FMarginHeight || Value < 0 || FProcessing) return;
    FMarginHeight = FMarginH = std::min(Value, 200);
    Reformat();
}

void THtmlDisplay::SetBorderStyle(THTMLBorderStyle Value) {
    FBorderStyle = Value;
    if (!FCreating) {
        if (HandleAllocated()) LayoutScrollBars();
        Invalidate();
    }
}

void THtmlDisplay::SetScrollBars(THvScrollStyle Value) {
    FScrollBars = Value;
    if (HandleAllocated()) {
        if (FSections->Count() > 0)
            Reformat();
        else
            LayoutScrollBars();
    }
}

void THtmlDisplay::SethtOptions(ThtmlViewerOptions Value) {
    FOptions = Value;
    FSections->LinksActive = (Value & htOverLinksActive) != 0;
    FSections->LinkStyle = (Value & htNoLinkUnderline) ? 0 : static_cast<uint8_t>(fsUnderline);
    FSections->ShowDummyCaret = (Value & htShowDummyCaret) != 0;
    FSections->UpdateFonts();
    if (HandleAllocated()) LayoutScrollBars();
    FPaintPanel->Invalidate();
}

void THtmlDisplay::SetNoSelect(bool Value) {
    FNoSelect = Value;
    if (Value) {
        FSections->SelFrom = FSections->SelTo = -1;
        FPaintPanel->Invalidate();
    }
}

void THtmlDisplay::SetViewImages(bool Value) {
    if (Value == FSections->ShowImages || FProcessing) return;
    FSections->ShowImages = Value;
    if (FSections->Count() > 0) FSections->GetBackgroundBitmap();
    Reformat();
}

void THtmlDisplay::SetHistoryMaxCount(int32_t Value) {
    if (Value < 0 || Value == FHistoryMaxCount) return;
    if (Value < FHistoryMaxCount) ClearHistory();
    FHistoryMaxCount = Value;
}

void THtmlDisplay::SetVisitedMaxCount(int32_t Value) {
    Value = std::max(Value, 0);
    if (Value == FVisitedMaxCount) return;
    FVisitedMaxCount = Value;
    if (Value > 0) {
        while (FVisited.Count() > Value)
            FVisited.Delete(FVisited.Count() - 1);
    } else {
        FVisited.Clear();
        FSections->SetVisitedLinks([](std::string_view) { return true; }, false);
        FPaintPanel->Invalidate();
    }
}

void THtmlDisplay::SetCharSet(uint8_t Value) {
    FCharSet = Value;
    ChangeFonts(true);
}

const TScriptEvent& THtmlDisplay::OnScript() const {
    return FParser->OnScript;
}

void THtmlDisplay::SetOnScript(TScriptEvent Handler) {
    // The parser fires it while it reads the SCRIPT element, the viewer as sender.
    FParser->OnScript = std::move(Handler);
}

void THtmlDisplay::SetServerRoot(const std::string& Value) {
    FServerRoot = Trim(Value);
    if (!FServerRoot.empty() && FServerRoot.back() == '\\') FServerRoot.pop_back();
}

void THtmlDisplay::SetOnFormSubmit(TFormSubmitEvent Handler) {
    FOnFormSubmit = std::move(Handler);
    if (!FOnFormSubmit) {
        FSections->SubmitForm = nullptr;
        return;
    }
    // The submission is kept and handed on from a posted message, so the host never runs
    // inside the form control's own click handling.
    FSections->SubmitForm = [this](TObject*, const std::string& Action, const std::string& Target,
                                   const std::string& EncType, const std::string& Method,
                                   std::unique_ptr<TStringList> Results) {
        FSubmit.Action = Action;
        FSubmit.Target = Target;
        FSubmit.EncType = EncType;
        FSubmit.Method = Method;
        FSubmit.Results = std::move(Results);
        if (HandleAllocated()) PostMessageA(Handle(), WM_HTMLVIEW_SUBMIT, 0, 0);
    };
}

std::string THtmlDisplay::ResolveLinkPath(const std::string& URL) {
    std::string S = UrlToServerPath(Trim(URL), FServerRoot);
    if (!S.empty() && S[0] == '\\') return ExpandFileName(S);
    const bool hasDrive = S.size() >= 2 && S[1] == ':';
    if (!hasDrive && S.rfind("\\\\", 0) != 0 && !SameText(FBase, "DosPath")) {
        if (!FBase.empty()) return ExpandFileName(UrlToDosPath(FBase) + S);
        return ExpandFileName(ExtractFilePath(FCurrentFile) + S);
    }
    return S;
}
