// THtmlDisplay: the windowed control that shows one HTML document (or a text file, or one
// picture) on a paint panel, scrolls it with a 32-bit vertical bar, the wheel and the keys,
// keeps anchors, visited links and history, and reacts to the mouse (HtmlDisplayInput.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "gui/CustomControl.h"
#include "gui/GdiGuards.h"
#include "gui/Timers.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlDisplayRules.h"
#include "htmlview/HtmlImageFetch.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlSections.h"

class THtmlDisplay;

enum class THTMLBorderStyle { htFocused, htNone, htSingle };
enum htOptionEnum : unsigned {
    htOverLinksActive = 1,
    htNoLinkUnderline = 2,
    htShowDummyCaret = 4,
    htShowVScroll = 8,
};
using ThtmlViewerOptions = unsigned;

using THotSpotEvent = std::function<void(TObject* Sender, const std::string& SRC)>;
using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC, bool& Handled)>;
using TProcessingEvent = std::function<void(TObject* Sender, bool ProcessingOn)>;
using TMetaRefreshType = std::function<void(TObject* Sender, int32_t Delay, const std::string& URL)>;
using TFormSubmitEvent =
    std::function<void(TObject* Sender, const std::string& Action, const std::string& Target,
                       const std::string& EncType, const std::string& Method, const TStringList& Results)>;

// What a right click was over.
struct TRightClickParameters {
    std::string URL, Target;
    TObject* Image = nullptr; // the picture under the mouse (a TImageObj), or nullptr
    int ImageX = 0, ImageY = 0;
    std::string ClickWord;
};
using TRightClickEvent = std::function<void(TObject* Sender, const TRightClickParameters& Parameters)>;
// A picture of the document (its TImageObj) and the point inside it.
using TImageClickEvent =
    std::function<void(TObject* Sender, TObject* Obj, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TImageOverEvent = std::function<void(TObject* Sender, TObject* Obj, TShiftState Shift, int X, int Y)>;
// A form control of the document (its TFormControlObj) was clicked; OnClick is its ONCLICK text.
using TObjectClickEvent = std::function<void(TObject* Sender, TObject* Obj, const std::string& OnClick)>;
// A picture of the document is needed: Stream is set to the picture's bytes (kept by the
// application), to ImageLaterStream when it will come later, or left nullptr.
using TGetImageEvent = std::function<void(TObject* Sender, const std::string& SRC, TStream*& Stream)>;

// A scroll bar over the system SCROLLBAR class that keeps its own 32-bit position, page and
// range, so documents taller than 32767 pixels scroll.
class T32ScrollBar : public TWinControl {
public:
    T32ScrollBar(TComponent* AOwner, THtmlDisplay* Viewer, bool Vertical);

    int32_t Position() const { return FPosition; }
    int32_t Max() const { return FMax; }
    int32_t Page() const { return FPage; }
    // Stores the parameters and sends them to the window when any changed.
    void SetParams(int32_t Position, int32_t Page, int32_t Min, int32_t Max);
    void SetPosition(int32_t Position) { SetParams(Position, FPage, FMin, FMax); }
    int32_t SmallChange = 16;
    int32_t LargeChange = 1;
    bool Vertical() const { return FVertical; }
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    // All parameters to the window, or (PositionOnly) just the position: a bar told its range
    // and page again redraws more than one whose thumb only moves.
    void Send(bool PositionOnly = false);
    THtmlDisplay* FViewer;
    bool FVertical;
    int32_t FPosition = 0, FPage = 0, FMin = 0, FMax = 0;
};

// The surface the document is painted on: through an off-screen bitmap, never erased, its mouse
// messages handed to the viewer.
class TPaintPanel : public TCustomControl {
public:
    TPaintPanel(TComponent* AOwner, THtmlDisplay* Viewer);
    void WndProc(TMessage& Message) override;
    // Moves the document shown by Dy pixels (down for positive) in the kept bitmap, draws the
    // strip uncovered there and puts the whole panel on the screen: a scroll with no window
    // machinery around it. False (nothing done) while the kept bitmap does not hold the whole
    // panel as last painted; then the window's pixels are to be scrolled and the strip painted.
    bool ScrollKept(int Dy);

protected:
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Drags over the panel reach the viewer's OnDragOver / OnDragDrop, the viewer as Sender.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;

private:
    THtmlDisplay* FViewer;
    bool FPainting = false;
    // The background and document of R (client pixels) drawn on DC, nothing outside R.
    void DrawPart(HDC DC, const RECT& R);

    // The off-screen bitmap of paints of this window, kept for the next one (creating one the
    // panel's size cost about as much as drawing a page of text), at least the panel's size and
    // in the panel's coordinates: each paint draws its rectangle there and copies it to the screen.
    // It stays selected into the kept memory DC (declared after it: the DC goes first).
    TGdiObject<HBITMAP> FBuffer{nullptr};
    int FBufferWidth = 0, FBufferHeight = 0;
    std::unique_ptr<TMemoryDC> FBufferDC;
    // The bitmap holds every pixel of a panel of this size as last painted (since a paint of the
    // whole panel into this bitmap).
    bool FKeptWhole = false;
    int FKeptWidth = 0, FKeptHeight = 0;
};

class THtmlDisplay : public TCustomControl, private IDocumentHost {
public:
    explicit THtmlDisplay(TComponent* AOwner);
    ~THtmlDisplay() override;

    // Loading.
    void LoadHtmlText(const std::string& S, const std::string& Reference);
    void LoadHtmlSource(const std::string& S, std::string Reference, uint8_t DocType);
    void LoadDocumentFile(std::string FileName, uint8_t DocType);
    void OpenHtmlFile(const std::string& FileName);
    void OpenImageFile(const std::string& FileName);
    virtual void Clear();

    // Navigation and position.
    bool PositionTo(std::string Dest);
    void ScrollTo(int32_t Y);
    int32_t Position();
    void SetPosition(int32_t Value);
    int32_t VScrollPos() const { return FVScroll->Position(); }
    int32_t HScrollPos() const { return FHScroll->Position(); }
    virtual void FollowLink();
    virtual std::string ResolveLinkPath(const std::string& URL);
    virtual bool HotSpotClick();
    void AddVisited(const std::string& Ref);
    void MarkVisitedLinks();
    void AddToHistory(const std::string& OldFile, const std::string& OldTitle, uint8_t OldType,
                      int32_t OldPos);
    void ClearHistory();
    bool GetWordAtCursor(int X, int Y, std::string& Word, int32_t& St, int32_t& En);

    // Selection.
    int32_t SelStart() const { return FSections->SelFrom; }
    int32_t SelLength() const { return FSections->SelTo - FSections->SelFrom; }
    std::string SelText();
    void CopyToClipboard();

    // Properties.
    TColor DefBackground() const { return FDefBackground; }
    void SetDefBackground(TColor Value);
    TColor DefFontColor() const { return FDefFontColor; }
    void SetDefFontColor(TColor Value);
    TColor DefHotSpotColor() const { return FDefHotSpotColor; }
    void SetDefHotSpotColor(TColor Value);
    TColor DefVisitedLinkColor() const { return FDefVisitedLinkColor; }
    void SetDefVisitedLinkColor(TColor Value);
    TColor DefOverLinkColor() const { return FDefOverLinkColor; }
    void SetDefOverLinkColor(TColor Value);
    const std::string& DefFontName() const { return FDefFontName; }
    void SetDefFontName(const std::string& Value);
    const std::string& DefPreFontName() const { return FDefPreFontName; }
    void SetDefPreFontName(const std::string& Value);
    int32_t DefFontSize() const { return FDefFontSize; }
    void SetDefFontSize(int32_t Value);
    int32_t MarginWidth() const { return FMarginWidth; }
    void SetMarginWidth(int32_t Value);
    int32_t MarginHeight() const { return FMarginHeight; }
    void SetMarginHeight(int32_t Value);
    THTMLBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(THTMLBorderStyle Value);
    THvScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(THvScrollStyle Value);
    ThtmlViewerOptions htOptions() const { return FOptions; }
    void SethtOptions(ThtmlViewerOptions Value);
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool Value);
    bool ViewImages() const { return FSections->ShowImages; }
    void SetViewImages(bool Value);
    int32_t HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int32_t Value);
    int32_t VisitedMaxCount() const { return FVisitedMaxCount; }
    void SetVisitedMaxCount(int32_t Value);
    const std::string& ServerRoot() const { return FServerRoot; }
    void SetServerRoot(const std::string& Value);
    // The character set of every font of the document (1, DEFAULT_CHARSET, by default).
    uint8_t CharSet() const { return FCharSet; }
    void SetCharSet(uint8_t Value);

    // Pictures (HtmlDisplayPictures.cpp).
    int32_t ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int32_t Value);
    const TGetImageEvent& OnImageRequest() const { return FOnImageRequest; }
    void SetOnImageRequest(TGetImageEvent Handler);
    // Hands over a picture that the image request promised for later (ImageLaterStream): every
    // image of the document waiting for SRC, and the background, take it, and the document is
    // laid out again keeping its position. False when nothing waits for SRC.
    bool InsertImage(const std::string& SRC, TStream* Stream);
    // The display palette the viewer draws with (palette displays), else nullptr.
    HPALETTE GetPalette() const;
    bool AnimationTimerRunning() const { return FAnimationTimer && FAnimationTimer->Enabled(); }

    // State read by hosts and tests.
    const std::string& CurrentFile() const { return FCurrentFile; }
    uint8_t FileType() const { return FFileType; }
    const std::string& DocumentTitle() const { return FDocumentTitle; }
    const std::string& Base() const { return FBase; }
    const std::string& HoverURL() const { return FHoverURL; }
    bool Processing() const { return FProcessing; }
    // Counts the documents loaded and cleared: a host that edits the document it loaded can tell
    // whether it is still the one shown.
    uint32_t DocumentLoads() const { return FDocumentLoads; }
    int32_t DocumentHeight() const { return FDocHeight; }
    int32_t DocumentWidth() const { return FDocWidth; }
    const TStringList& Visited() const { return FVisited; }
    const TStringList& History() const { return FHistory; }
    int HistoryIndex() const { return FHistoryIndex; }
    bool HoverTimerRunning() const { return FTimer->Enabled(); }
    TSectionList& SectionList() { return *FSections; }
    TPaintPanel& PaintPanel() { return *FPaintPanel; }
    T32ScrollBar& VScrollBar() { return *FVScroll; }
    T32ScrollBar& HScrollBar() { return *FHScroll; }
    // Runs a layout of the loaded document again, keeping the position.
    void Reformat();
    // The vertical place as a section and the pixel offset into it. Position cuts the offset to
    // 16 bits; a layout again keeps the place with the whole offset, so a section taller than
    // 65,535 pixels (the side panel's table) does not jump back on a resize.
    struct TKeptPlace {
        int Index = -1;
        int32_t Offset = 0;
    };
    TKeptPlace KeepPlace();
    void RestorePlace(const TKeptPlace& Place);

    THotSpotEvent OnHotSpotCovered;
    THotSpotClickEvent OnHotSpotClick;
    TNotifyEvent OnHistoryChange;
    TProcessingEvent OnProcessing;
    TMetaRefreshType OnMetaRefresh;
    TMetaType OnMeta;
    TSoundType OnSoundRequest;
    // Include commands of the source ("<!--#command params-->"), answered with text to read.
    TIncludeType OnInclude;
    // Each SCRIPT element of a parsed document (its name, language and text).
    const TScriptEvent& OnScript() const;
    void SetOnScript(TScriptEvent Handler);
    // A form was submitted (fired from a posted message, after the control's own click).
    const TFormSubmitEvent& OnFormSubmit() const { return FOnFormSubmit; }
    void SetOnFormSubmit(TFormSubmitEvent Handler);
    TImageClickEvent OnImageClick;
    TImageOverEvent OnImageOver;
    TRightClickEvent OnRightClick;
    TMouseEvent OnMouseDouble;
    TObjectClickEvent OnObjectClick;

    void WndProc(TMessage& Message) override;
    // Hides the form controls' windows and repaints; the next paint shows those in view.
    void Repaint() override;

    // The paint panel's mouse handling (HtmlDisplayInput.cpp).
    virtual void HTMLMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void HTMLMouseMove(TShiftState Shift, int X, int Y);
    virtual void HTMLMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HTMLMouseDouble(TShiftState Shift, int X, int Y);
    // Draws the document on the panel's off-screen canvas.
    virtual void DrawDocument(HDC DC, const RECT& Clip);

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void CreateWnd() override;

private:
    friend class TPaintPanel;
    friend class T32ScrollBar;

    // Form controls (HtmlDisplayForms.cpp): their windows on the paint panel, the scroll that
    // brings a focused one into view, the click on a picture button.
    void InstallFormHooks();
    void FormControlFocus(TFormControlObj* Control);
    void ImageInputClick(TFormControlObj* Control, int X, int Y);
    void FireObjectClick();

    // IDocumentHost
    void Invalidate() override;
    int32_t ClientHeight() override;
    int32_t MarginHeight() override { return FMarginH; }
    void SetMargins(int32_t Width, int32_t Height) override;
    void BackgroundChanged() override;

    // Pictures (HtmlDisplayPictures.cpp).
    void StartPictures();
    void StopPictures();
    void UpdateAnimationTimer();
    void AnimationTick();
    void PaintBackground(HDC DC, const RECT& Clip, TColor Color);

    void SetProcessing(bool Value);
    void ParseAndLayout(const std::string& S, uint8_t DocType);
    void DoLayout();
    void LayoutScrollBars();
    void ResetDocumentFonts();
    void ChangeFonts(bool Relayout);
    void MetaHandler(TObject* Sender, const std::string& HttpEq, const std::string& Name,
                     const std::string& Content);
    int32_t PanelHeight() const;
    int32_t PanelWidth() const;
    int32_t MaxVScroll() const;
    void SetVPosition(int32_t Pos, bool ScrollWindowContents);
    void SetHPosition(int32_t Pos);
    void VScrollNotify(int Code);
    void HScrollNotify(int Code);
    void KeyDownHandling(WORD Key);
    void ScrollByCode(T32ScrollBar& Bar, int Code);
    void MouseWheel(int Delta);
    void HandleSize();
    void HoverTimerTick();
    void AutoScrollLoop();
    void ExtendSelection(int X, int Y);
    void EndPanning();
    std::string FullReference(const std::string& URL);
    int32_t HitY(int Y) const;
    ITextMetrics& Measure() { return *FMeasure; }

    std::unique_ptr<THtmlParser> FParser;
    std::unique_ptr<TSectionList> FSections;
    THtmlFontCache FFonts;
    TMemoryDC FMeasureDC;
    std::unique_ptr<TGdiPainter> FMeasure;
    TPaintPanel* FPaintPanel = nullptr;
    T32ScrollBar* FVScroll = nullptr;
    T32ScrollBar* FHScroll = nullptr;
    TTimer* FTimer = nullptr;
    TStringList FNameList;

    std::string FCurrentFile, FDocumentTitle, FBase, FBaseTarget;
    uint8_t FFileType = 0;
    std::string FHoverURL, FHoverTarget;
    TStringList FHistory, FTitleHistory;
    std::vector<std::pair<int32_t, uint8_t>> FPositionHistory;
    int FHistoryIndex = 0;
    TStringList FVisited;

    bool FCreating = true;
    bool FProcessing = false;
    bool FLayoutActive = false;
    uint32_t FDocumentLoads = 0;
    bool FLeftButtonDown = false, FSelecting = false, FAutoScrolling = false, FPanning = false;
    bool FLinkClicked = false;
    int32_t FPanAnchorY = 0;
    int32_t FCaretPos = 0, FSelAnchor = -1;
    int32_t FMarginW = 10, FMarginH = 5;
    int32_t FDocWidth = 0, FDocHeight = 0;
    int32_t FScrollWidth = 16;
    int32_t FRefreshDelay = 0;
    std::string FRefreshURL;
    TFormSubmitEvent FOnFormSubmit;
    struct TSubmit {
        std::string Action, Target, EncType, Method;
        std::unique_ptr<TStringList> Results;
    } FSubmit;
    // A clicked form control waiting for OnObjectClick; the weak reference ends with the control.
    struct TObjectClick {
        TFormControlObj* Control = nullptr;
        std::weak_ptr<void> Alive;
        std::string OnClick;
    } FObjectClick;
    // Cleared when the viewer goes, so a loop pumping messages can tell it is gone.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

    TColor FDefBackground = clBtnFace, FDefFontColor = clBtnText, FDefHotSpotColor = 0xFF0000,
           FDefVisitedLinkColor = 0x800080, FDefOverLinkColor = 0xFF0000;
    std::string FDefFontName = "Times New Roman", FDefPreFontName = "Courier New";
    int32_t FDefFontSize = 12;
    int32_t FMarginWidth = 10, FMarginHeight = 5;
    THTMLBorderStyle FBorderStyle = THTMLBorderStyle::htFocused;
    THvScrollStyle FScrollBars = THvScrollStyle::ssBoth;
    ThtmlViewerOptions FOptions = 0;
    bool FNoSelect = false;
    int32_t FHistoryMaxCount = 0, FVisitedMaxCount = 50;
    std::string FServerRoot;
    int32_t FImageCacheCount = 5;
    TGetImageEvent FOnImageRequest;
    std::unique_ptr<THtmlImageFetcher> FFetcher;
    TTimer* FAnimationTimer = nullptr;
    uint8_t FCharSet = 1;
};

// The viewer's private messages: a deferred form submission and the auto-scroll loop.
constexpr UINT WM_HTMLVIEW_SUBMIT = WM_USER + 100;
constexpr UINT WM_HTMLVIEW_AUTOSCROLL = WM_USER + 102;
// A form control's click reported to the host after the control's own click handling.
constexpr UINT WM_HTMLVIEW_OBJECTCLICK = WM_USER + 103;
