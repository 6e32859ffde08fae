// TMvCustomRichEdit / TMvRichEdit: the text editor control over the Windows
// rich-edit class ("RichEdit20A", or "RICHEDIT" with the older library). It
// configures the window from its properties, keeps the text and Modified across
// re-creation, turns the rich-edit notifications into events, and offers the
// selection, caret, context-menu and printing services.
#pragma once

#include "richedit/MvConversions.h"
#include "controls/MvExStdCtrls.h"
#include "richedit/MvLinkClick.h"
#include "richedit/MvPrintLoop.h"
#include "richedit/MvRichEditAttributes.h"
#include "richedit/MvRichEditLibrary.h"
#include "richedit/MvRichEditOle.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMemoryStream;
class TGraphic;
class TMenuItem;
class TMvRichEditStrings;

enum TRichLangOption : std::uint8_t {
    rlAutoKeyboard,
    rlAutoFont,
    rlImeCancelComplete,
    rlImeAlwaysSendNotify
};
using TRichLangOptions = mv::controls::TMvSet<TRichLangOption>;

enum TMvSelectionTypeFlag : std::uint8_t { stText, stObject, stMultiChar, stMultiObject };
using TMvSelectionType = mv::controls::TMvSet<TMvSelectionTypeFlag>;

using TRichEditProgressEvent = std::function<void(TObject* Sender, int PercentDone)>;
using TRichEditProtectChange =
    std::function<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;
using TRichEditProtectChangeEx =
    std::function<void(TObject* Sender, const TMessage& Msg, int StartPos, int EndPos, bool& AllowChange)>;
using TRichEditResizeEvent = std::function<void(TObject* Sender, RECT Rect)>;
using TRichEditSaveClipboard =
    std::function<void(TObject* Sender, int NumObjects, int NumChars, bool& SaveClipboard)>;
using TRichEditFindErrorEvent = std::function<void(TObject* Sender, const std::string& FindText)>;
using TRichEditFindCloseEvent = std::function<void(TObject* Sender, TObject* Dialog)>;
using TRichEditURLClickEvent =
    std::function<void(TObject* Sender, const std::string& URLText, TMouseButton Button)>;

class TMvCustomRichEdit : public TMvExCustomMemo {
public:
    explicit TMvCustomRichEdit(TComponent* AOwner);
    ~TMvCustomRichEdit() override;

    // ---- text, lines and formatting ----
    TMvRichEditStrings& Lines() { return *FLines; }
    void SetLines(const TStrings& Value);
    TMvTextAttributes& SelAttributes() { return *FSelAttributes; }
    TMvTextAttributes& DefAttributes() { return *FDefAttributes; }
    TMvTextAttributes& WordAttributes() { return *FWordAttributes; }
    TMvParaAttributes& Paragraph() { return *FParagraph; }

    // ---- selection and caret ----
    // Text of [StartPos, EndPos); an EndPos below 0 runs to the end of the text.
    std::string GetTextRange(int StartPos, int EndPos);
    CHARRANGE GetSelection();
    void SetSelection(int StartPos, int EndPos, bool ScrollCaret);
    int LineFromChar(int CharIndex);
    // The character position at a point of the client area (EM_CHARFROMPOS); -1 without a window.
    int CharFromPos(POINT ClientPoint);
    int GetLineIndex(int Line); // -1: the caret's line
    int GetLineLength(int CharIndex);
    TMvSelectionType SelectionType();
    // Copies at most BufSize - 1 characters of SelText and a NUL; returns the count copied.
    int GetSelTextBuf(char* Buffer, int BufSize);
    POINT CaretPos() override;
    // Characters as the selection counts them (a paragraph break is one).
    int TextLength();
    // The whole text as UTF-16, every character the control holds (Text() reads it in the ANSI
    // code page, which loses what that page lacks); a paragraph break is a CR.
    std::wstring TextW();
    void Clear() override;

    // ---- printing ----
    // Prints on the default printer.
    void PrintText(const std::string& Caption);
    // Prints on a printer DC that the caller owns.
    void PrintTextOn(HDC PrinterDC, const std::string& Caption);
    // Formats and renders the whole text on DC page by page (what printing runs).
    mv::richedit::TPrintLoopResult RenderPages(HDC DC, const RECT& PageTwips,
                                               const std::function<void()>& NewPage);
    RECT PageRect() const { return FPageRect; }
    void SetPageRect(const RECT& Value) { FPageRect = Value; }

    // ---- properties ----
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool Value);
    bool AutoURLDetect();
    void SetAutoURLDetect(bool Value);
    bool WordSelection();
    void SetWordSelection(bool Value);
    bool PlainText() const { return FPlainText; }
    virtual void SetPlainText(bool Value);
    int UndoLimit() const { return FUndoLimit; }
    void SetUndoLimit(int Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TRichLangOptions LangOptions();
    void SetLangOptions(TRichLangOptions Value);
    bool AllowObjects() const { return FAllowObjects; }
    void SetAllowObjects(bool Value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    bool AutoVerbMenu() const { return FAutoVerbMenu; }
    void SetAutoVerbMenu(bool Value) { FAutoVerbMenu = Value; }
    bool AllowInPlace() const { return FAllowInPlace; }
    void SetAllowInPlace(bool Value) { FAllowInPlace = Value; }
    bool AutoAdvancedTypography() const { return FAutoAdvancedTypography; }
    void SetAutoAdvancedTypography(bool Value) { FAutoAdvancedTypography = Value; }
    bool AdvancedTypography();
    void SetAdvancedTypography(bool Value);
    bool OLEDragDrop() const { return FOLEDragDrop; }
    void SetOLEDragDrop(bool Value);
    bool ForceUndo() const { return FForceUndo; }
    void SetForceUndo(bool Value) { FForceUndo = Value; }
    bool UseFixedPopup() const { return FUseFixedPopup; }
    void SetUseFixedPopup(bool Value) { FUseFixedPopup = Value; }
    int Zoom();
    void SetZoom(int Value);
    TRichStreamFormat StreamFormat() const;
    void SetStreamFormat(TRichStreamFormat Value);
    TRichStreamModes StreamMode() const;
    void SetStreamMode(TRichStreamModes Value);
    // ---- objects and pictures ----
    // Inserts a picture as a static object at the selection and selects it.
    void InsertGraphic(TGraphic& Graphic, bool Resizable);
    // Gives pictures read from RTF (loaded, pasted or dropped) a presentation this platform can draw.
    void MakePicturesDrawable();
    // The system's Insert Object dialog; true when an object was inserted.
    bool InsertObjectDialog();
    // The Object Properties dialog of the one selected object; false when
    // there is none, on cancel, and when the platform has no such dialog.
    bool ObjectPropertiesDialog();

    // An object of this control took over (Active) or gave back the user
    // interface in place: the control becomes or stops being its form's
    // active OLE control, takes the focus, and fires the matching event.
    void DoInPlaceActivate(bool Active);
    // Ends the in-place activity of this control's object, if any.
    void InPlaceDeactivate();

    // The rich-edit OLE interface while the window exists with objects allowed.
    IRichEditOle* RichEditOle() const { return FRichEditOle; }
    // The callback the window asks for storage and in-place frames (owned here).
    TRichEditOleCallback& OleCallback() const { return *FOleCallback; }

    // ---- events ----
    TRichEditProgressEvent OnConversionProgress;
    TRichEditProtectChange OnProtectChange;
    TRichEditProtectChangeEx OnProtectChangeEx;
    TRichEditResizeEvent OnResizeRequest;
    TRichEditSaveClipboard OnSaveClipboard;
    TNotifyEvent OnSelectionChange;
    TRichEditFindErrorEvent OnTextNotFound;
    TRichEditFindCloseEvent OnCloseFindDialog;
    TRichEditURLClickEvent OnURLClick;
    TNotifyEvent OnHorizontalScroll;
    TNotifyEvent OnVerticalScroll;
    TNotifyEvent OnInPlaceActivate;
    TNotifyEvent OnInPlaceDeactivate;

    void WndProc(TMessage& Message) override;

    // Whether a window exists or can be made now (it needs a parent).
    bool CanCreateHandle() const;
    // True while SelText is assigned or Lines replaces, inserts or deletes a line.
    bool LineUpdating() const { return FLineUpdating; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DoSetMaxLength(int Value) override;
    int GetSelStart() override;
    int GetSelLength() override;
    std::string GetSelText() override;
    void SetSelStartValue(int Value) override;
    void SetSelLengthValue(int Value) override;
    void SetSelTextValue(const std::string& Text) override;
    TPopupMenu* GetPopupMenu() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ColorChanged() override;
    void FontChanged() override;
    void Change() override;

    virtual void TextNotFound(const std::string& FindText);
    virtual void RequestSize(const RECT& Rect);
    virtual void CloseFindDialog(TObject* Dialog);
    virtual void SelectionChange();
    virtual bool ProtectChange(const TMessage& Msg, int StartPos, int EndPos);
    virtual bool SaveClipboard(int NumObjects, int NumChars);
    virtual void URLClick(const std::string& URLText, TMouseButton Button);

private:
    friend class TMvRichEditStrings;
    // A new object showing the picture Data offers (see the definition).
    static IOleObject* CreatePictureObject(IDataObject& Data, IOleClientSite* Site, IStorage* Storage);
    // Sets the line-update flag for a scope.
    class TLineUpdate {
    public:
        explicit TLineUpdate(TMvCustomRichEdit& R) : FR(R), FOld(R.FLineUpdating) { R.FLineUpdating = true; }
        ~TLineUpdate() { FR.FLineUpdating = FOld; }
        TLineUpdate(const TLineUpdate&) = delete;
        TLineUpdate& operator=(const TLineUpdate&) = delete;

    private:
        TMvCustomRichEdit& FR;
        bool FOld;
    };

    void ApplyTextMode();
    void ApplyLangOptions();
    void ApplyWordSelection();
    void SetEventMaskBit(DWORD Bit, bool On);
    void ReplaceSelection(TMessage& Message);
    void HandleNotify(TMessage& Message);
    void HandleLink(const ENLINK& Link);
    void HandleRightButtonUp(TMessage& Message);
    void PaintVersion1(TMessage& Message);
    void SetHostNames();
    void ReleaseOle();
    // The one selected object (not in-place active), with references the
    // caller gives back through ReleaseObjectRecord; false when there is none.
    bool SelectedObject(REOBJECT& Record);
    void ReleaseObjectRecord(REOBJECT& Record);
    void RunVerb(LONG Verb);
    // The verb menu of the selected object, or the control's own popup menu
    // with the object's items added; nullptr when the object offers nothing.
    TPopupMenu* BuildVerbMenu(TPopupMenu* Own);
    void FreeVerbMenu();

    std::unique_ptr<TMvTextAttributes> FSelAttributes;
    std::unique_ptr<TMvTextAttributes> FDefAttributes;
    std::unique_ptr<TMvTextAttributes> FWordAttributes;
    std::unique_ptr<TMvParaAttributes> FParagraph;
    TMvRichEditStrings* FLines = nullptr; // owned by the memo's line-list slot

    bool FHideScrollBars = true;
    bool FSelectionBar = true;
    bool FAutoURLDetect = true;
    bool FWordSelection = true;
    bool FPlainText = false;
    int FUndoLimit = 100;
    bool FHideSelection = true;
    TRichLangOptions FLangOptions{rlAutoFont};
    std::unique_ptr<TMemoryStream> FSavedText; // the text while the window is re-created
    bool FSavedModified = false;
    // The object count after pictures were last made drawable (-1: not known, while a paste or
    // a stream-in runs).
    long FObjectCountSeen = 0;
    bool FMakingPicturesDrawable = false;
    bool FLineUpdating = false;
    mv::richedit::TLinkClickTracker FLinkClick;
    bool FAllowObjects = true;
    std::unique_ptr<TRichEditOleCallback> FOleCallback;
    IRichEditOle* FRichEditOle = nullptr; // a reference we hold from EM_GETOLEINTERFACE
    std::string FTitle;
    std::unique_ptr<TPopupMenu> FVerbMenu;
    std::vector<TMenuItem*> FLentVerbItems; // added to the own popup menu for one showing
    TPopupMenu* FLentTo = nullptr;
    bool FAutoVerbMenu = true;
    bool FAllowInPlace = true;
    bool FAutoAdvancedTypography = true;
    bool FAdvancedTypography = false;
    bool FOLEDragDrop = true;
    bool FForceUndo = true;
    bool FUseFixedPopup = true;
    RECT FPageRect{0, 0, 0, 0};
    RECT FCreateBounds{0, 0, 0, 0};
    // A right-button-up showed its menu; a second, mouse-made WM_CONTEXTMENU for
    // the same click is dropped.
    bool FContextMenuShownForClick = false;
};

// The published form of the control; the topic editor derives from it.
class TMvRichEdit : public TMvCustomRichEdit {
public:
    explicit TMvRichEdit(TComponent* AOwner) : TMvCustomRichEdit(AOwner) {}
};
