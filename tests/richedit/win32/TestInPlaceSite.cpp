// The in-place client site of the tests.
#include "tests/richedit/win32/TestInPlaceSite.h"

#include "richedit/MvRichEdit.h"

TTestInPlaceSite::TTestInPlaceSite(TMvCustomRichEdit& Control, IOleClientSite* Inner)
    : FControl(Control), FInner(Inner) {
    if (FInner) FInner->AddRef();
}

TTestInPlaceSite::~TTestInPlaceSite() {
    if (FInner) FInner->Release();
}

HRESULT TTestInPlaceSite::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    *Obj = nullptr;
    if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IOleClientSite))
        *Obj = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(Riid, IID_IOleInPlaceSite) || IsEqualIID(Riid, IID_IOleWindow))
        *Obj = static_cast<IOleInPlaceSite*>(this);
    if (!*Obj) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TTestInPlaceSite::AddRef() {
    return ++FRefs;
}

ULONG TTestInPlaceSite::Release() {
    const ULONG Left = --FRefs;
    if (!Left) delete this;
    return Left;
}

HRESULT TTestInPlaceSite::SaveObject() {
    return FInner ? FInner->SaveObject() : E_NOTIMPL;
}
HRESULT TTestInPlaceSite::GetMoniker(DWORD Assign, DWORD Which, IMoniker** Mk) {
    return FInner ? FInner->GetMoniker(Assign, Which, Mk) : E_NOTIMPL;
}
HRESULT TTestInPlaceSite::GetContainer(IOleContainer** Container) {
    return FInner ? FInner->GetContainer(Container) : E_NOTIMPL;
}
HRESULT TTestInPlaceSite::ShowObject() {
    return FInner ? FInner->ShowObject() : S_OK;
}
HRESULT TTestInPlaceSite::OnShowWindow(WINBOOL Show) {
    return FInner ? FInner->OnShowWindow(Show) : S_OK;
}
HRESULT TTestInPlaceSite::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

HRESULT TTestInPlaceSite::GetWindow(HWND* Wnd) {
    if (!Wnd) return E_POINTER;
    *Wnd = FControl.Handle();
    return S_OK;
}
HRESULT TTestInPlaceSite::ContextSensitiveHelp(WINBOOL) {
    return S_OK;
}
HRESULT TTestInPlaceSite::CanInPlaceActivate() {
    return S_OK;
}
HRESULT TTestInPlaceSite::OnInPlaceActivate() {
    return S_OK;
}

// The object takes over the user interface: the container's goes away.
HRESULT TTestInPlaceSite::OnUIActivate() {
    FControl.OleCallback().ShowContainerUI(FALSE);
    return S_OK;
}

HRESULT TTestInPlaceSite::GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Doc, LPRECT Pos,
                                           LPRECT Clip, LPOLEINPLACEFRAMEINFO Info) {
    const RECT Client = FControl.ClientRect();
    if (Pos) *Pos = Client;
    if (Clip) *Clip = Client;
    return FControl.OleCallback().GetInPlaceContext(Frame, Doc, Info);
}

HRESULT TTestInPlaceSite::Scroll(SIZE) {
    return S_OK;
}

HRESULT TTestInPlaceSite::OnUIDeactivate(WINBOOL) {
    FControl.OleCallback().ShowContainerUI(TRUE);
    return S_OK;
}

HRESULT TTestInPlaceSite::OnInPlaceDeactivate() {
    return S_OK;
}
HRESULT TTestInPlaceSite::DiscardUndoState() {
    return S_OK;
}
HRESULT TTestInPlaceSite::DeactivateAndUndo() {
    return S_OK;
}
HRESULT TTestInPlaceSite::OnPosRectChange(LPCRECT) {
    return S_OK;
}
