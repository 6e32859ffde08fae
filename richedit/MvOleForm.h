// TOleForm: the in-place frame a form offers to OLE objects that activate
// inside one of its controls. It is the form's frame and document window at
// once, keeps the in-place active object and which control holds it, and
// lends the form's window to the object's shared menu.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "gui/Forms.h"
#include "gui/Messages.h"

// Asks a control to take its in-place object's user interface down (another
// control of the form is about to become the form's active OLE control).
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;

class TOleForm final : public TComponent, public IOleInPlaceFrame {
public:
    // Owned by the form and freed with it; use Of() rather than making one.
    explicit TOleForm(TForm& Form);
    ~TOleForm() override;

    // The form's frame object, made on the first request.
    static TOleForm& Of(TForm& Form);
    // The form's frame object, or nullptr when none was asked for yet.
    static TOleForm* Find(TForm& Form);

    TForm& Form() const { return FForm; }
    // The control whose object is in-place active, or nullptr. Not owned.
    TWinControl* ActiveOleControl() const { return FActiveOleControl; }
    void SetActiveOleControl(TWinControl* Control);
    // What the object last registered through SetActiveObject (a held reference).
    IOleInPlaceActiveObject* ActiveObject() const { return FActiveObject; }
    // The shared menu the object put on the form, or nullptr.
    HMENU SharedMenu() const { return FSharedMenu; }
    // Border space the object holds (always none: see RequestBorderSpace).
    const BORDERWIDTHS& BorderSpace() const { return FBorderSpace; }

    // IUnknown: the count only counts; the form's life decides.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    ULONG RefCount() const { return FRefs; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL EnterMode) override;
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT Border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS Widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS Widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* Object, LPCOLESTR Name) override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU Shared, LPOLEMENUGROUPWIDTHS Widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU Shared, HOLEMENU OleMenu, HWND ActiveObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU Shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR Text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL Enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG Msg, WORD Id) override;

protected:
    void Notification(TComponent* Component, TOperation Operation) override;

private:
    TForm& FForm;
    TWinControl* FActiveOleControl = nullptr;
    IOleInPlaceActiveObject* FActiveObject = nullptr;
    HMENU FSharedMenu = nullptr; // the object's, shown on our form; never destroyed by us
    BORDERWIDTHS FBorderSpace{0, 0, 0, 0};
    ULONG FRefs = 0;
};
