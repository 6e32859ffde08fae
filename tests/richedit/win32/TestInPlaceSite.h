// A client site with the in-place part that a rich edit's own site has on
// Windows: it hands the object's requests for a frame and for the user
// interface to the control's callback. The rich edit under Wine offers no
// in-place site, so the tests put this one between object and control.
#pragma once

#include <windows.h>
#include <ole2.h>

class TMvCustomRichEdit;

class TTestInPlaceSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    // Forwards the client-site calls to the control's own site.
    TTestInPlaceSite(TMvCustomRichEdit& Control, IOleClientSite* Inner);
    TTestInPlaceSite(const TTestInPlaceSite&) = delete;
    TTestInPlaceSite& operator=(const TTestInPlaceSite&) = delete;
    virtual ~TTestInPlaceSite();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD Assign, DWORD Which, IMoniker** Mk) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** Container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL Show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL EnterMode) override;
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Doc,
                                               LPRECT Pos, LPRECT Clip, LPOLEINPLACEFRAMEINFO Info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE Extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL Undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT Pos) override;

private:
    TMvCustomRichEdit& FControl;
    IOleClientSite* FInner;
    ULONG FRefs = 1;
};
