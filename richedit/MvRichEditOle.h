// The container side of the rich edit's OLE contract: the callback the window
// asks for storage and context, closing the embedded objects, and host names.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include "base/Exceptions.h"

#include <memory>
#include <string>

class TBitmap;
class TGraphic;
class TMvCustomRichEdit;
class TOleForm;

// A failed OLE call; the message names the call and its result code.
class EOleError : public Exception {
public:
    using Exception::Exception;
};

// IRichEditOleCallback for one control. Its reference count only counts: the
// control owns the object and frees it after its window is gone. An object
// activating in place gets the control's form as its frame (TOleForm).
class TRichEditOleCallback final : public IRichEditOleCallback {
public:
    // Control may be nullptr: such a callback offers no in-place frame.
    explicit TRichEditOleCallback(TMvCustomRichEdit* Control = nullptr) : FControl(Control) {}
    TRichEditOleCallback(const TRichEditOleCallback&) = delete;
    TRichEditOleCallback& operator=(const TRichEditOleCallback&) = delete;
    virtual ~TRichEditOleCallback() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IRichEditOleCallback
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* Storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* Frame, LPOLEINPLACEUIWINDOW* Doc,
                                                LPOLEINPLACEFRAMEINFO FrameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(WINBOOL Show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID Clsid, LPSTORAGE Storage, LONG Cp) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT Object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT Data, CLIPFORMAT* Format, DWORD Reco,
                                              WINBOOL Really, HGLOBAL MetaPict) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL EnterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* Range, DWORD Reco, LPDATAOBJECT* Data) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(WINBOOL Drag, DWORD KeyState, LPDWORD Effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD SelType, LPOLEOBJECT Object, CHARRANGE* Sel,
                                             HMENU* Menu) override;

    ULONG RefCount() const { return FRefs; }
    // The frame handed out by GetInPlaceContext, until the container's user
    // interface comes back (ShowContainerUI True) or the frame's form goes.
    TOleForm* Frame() const { return FFrame; }
    // Forgets the frame without touching it (its form is being destroyed).
    void DropFrame();

private:
    TMvCustomRichEdit* FControl; // the owner; not owned
    TOleForm* FFrame = nullptr;  // a counted reference on the form's frame; the form owns it
    ULONG FRefs = 0;
};

// Closes every embedded object, last first, without saving; in-place active
// objects are deactivated first.
void CloseRichEditObjects(IRichEditOle* Ole);

// Tells the rich-edit OLE interface the container's names: the application
// name, and the document title (or the application name again when blank).
void SetRichEditHostNames(IRichEditOle* Ole, const std::string& AppName, const std::string& Title);

// IDataObject over one picture that the caller owns, for making a static
// object of it: the picture is recorded into a metafile sized in hundredths of
// a millimetre at the screen's resolution. An enhanced metafile (TYMED_ENHMF)
// is offered first, a metafile picture (TYMED_MFPICT) and the bitmap as a
// packed DIB (CF_DIB in TYMED_HGLOBAL) too. Reference counted;
// it frees itself with its last reference.
class TImageDataObject final : public IDataObject {
public:
    explicit TImageDataObject(TGraphic& graphic);
    TImageDataObject(const TImageDataObject&) = delete;
    TImageDataObject& operator=(const TImageDataObject&) = delete;
    virtual ~TImageDataObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, WINBOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

    // A picture of Width × Height screen pixels in hundredths of a millimetre.
    static SIZE HimetricSize(int width, int height);

private:
    std::unique_ptr<TBitmap> RenderPixels();
    HGLOBAL PackedDib();
    HENHMETAFILE RecordPicture();

    TGraphic& graphic_;
    ULONG refs_ = 0;
};
