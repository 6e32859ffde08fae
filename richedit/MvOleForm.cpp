// The form's in-place frame for OLE objects.
#include "richedit/MvOleForm.h"

namespace {
bool IsAnyOf(REFIID Riid, std::initializer_list<const IID*> Ids) {
    for (const IID* Id : Ids)
        if (IsEqualIID(Riid, *Id)) return true;
    return false;
}
bool IsEmpty(LPCBORDERWIDTHS W) {
    return !W || (W->left == 0 && W->top == 0 && W->right == 0 && W->bottom == 0);
}
} // namespace

TOleForm::TOleForm(TForm& Form) : TComponent(&Form), FForm(Form) {}

TOleForm::~TOleForm() {
    Destroying();
    if (FActiveObject) FActiveObject->Release();
    // The shared menu is the object's: take it off the window, never destroy it.
    // A form that is freeing its components has lost its window (and its
    // window-control part) already; only its component part may be asked.
    if (FSharedMenu && !FForm.HasState(csDestroying) && FForm.HandleAllocated() &&
        ::GetMenu(FForm.Handle()) == FSharedMenu)
        ::SetMenu(FForm.Handle(), nullptr);
}

TOleForm* TOleForm::Find(TForm& Form) {
    for (int I = 0; I < Form.ComponentCount(); ++I)
        if (auto* Frame = dynamic_cast<TOleForm*>(Form.Components(I))) return Frame;
    return nullptr;
}

TOleForm& TOleForm::Of(TForm& Form) {
    if (TOleForm* Frame = Find(Form)) return *Frame;
    return *new TOleForm(Form);
}

void TOleForm::SetActiveOleControl(TWinControl* Control) {
    if (Control == FActiveOleControl) return;
    if (FActiveOleControl) RemoveFreeNotification(FActiveOleControl);
    FActiveOleControl = Control;
    if (Control) FreeNotification(Control);
}

void TOleForm::Notification(TComponent* Component, TOperation Operation) {
    TComponent::Notification(Component, Operation);
    if (Operation == TOperation::opRemove && Component == FActiveOleControl) FActiveOleControl = nullptr;
}

HRESULT TOleForm::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    if (IsAnyOf(Riid, {&IID_IUnknown, &IID_IOleWindow, &IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame})) {
        *Obj = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
}

ULONG TOleForm::AddRef() {
    return ++FRefs;
}

ULONG TOleForm::Release() {
    if (FRefs > 0) --FRefs;
    return FRefs;
}

HRESULT TOleForm::GetWindow(HWND* Wnd) {
    if (!Wnd) return E_POINTER;
    *Wnd = FForm.HandleAllocated() ? FForm.Handle() : nullptr;
    return *Wnd ? S_OK : E_FAIL;
}

HRESULT TOleForm::ContextSensitiveHelp(WINBOOL) {
    return S_OK;
}

HRESULT TOleForm::GetBorder(LPRECT Border) {
    if (!Border) return E_POINTER;
    *Border = FForm.ClientRect();
    return S_OK;
}

// Our forms lay out their own controls edge to edge and keep no room for an
// object's tool bars: only a request for nothing is granted.
HRESULT TOleForm::RequestBorderSpace(LPCBORDERWIDTHS Widths) {
    return IsEmpty(Widths) ? S_OK : INPLACE_E_NOTOOLSPACE;
}

HRESULT TOleForm::SetBorderSpace(LPCBORDERWIDTHS Widths) {
    if (!IsEmpty(Widths)) return OLE_E_INVALIDRECT;
    FBorderSpace = BORDERWIDTHS{0, 0, 0, 0};
    return S_OK;
}

HRESULT TOleForm::SetActiveObject(IOleInPlaceActiveObject* Object, LPCOLESTR) {
    if (Object) Object->AddRef();
    if (FActiveObject) FActiveObject->Release();
    FActiveObject = Object;
    return S_OK;
}

// The form has no menu bar of its own, so it adds no groups to the shared menu.
HRESULT TOleForm::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS Widths) {
    if (!Widths) return E_POINTER;
    Widths->width[0] = Widths->width[2] = Widths->width[4] = 0;
    return S_OK;
}

HRESULT TOleForm::SetMenu(HMENU Shared, HOLEMENU OleMenu, HWND ActiveObject) {
    if (!FForm.HandleAllocated()) return E_FAIL;
    const HWND Wnd = FForm.Handle();
    if (Shared && OleMenu) {
        ::SetMenu(Wnd, Shared);
        FSharedMenu = Shared;
        OleSetMenuDescriptor(OleMenu, Wnd, ActiveObject, this, FActiveObject);
    } else {
        if (FSharedMenu && ::GetMenu(Wnd) == FSharedMenu) ::SetMenu(Wnd, nullptr);
        FSharedMenu = nullptr;
        OleSetMenuDescriptor(nullptr, Wnd, nullptr, nullptr, nullptr);
    }
    DrawMenuBar(Wnd);
    return S_OK;
}

HRESULT TOleForm::RemoveMenus(HMENU) {
    return S_OK; // nothing of ours was inserted
}

HRESULT TOleForm::SetStatusText(LPCOLESTR) {
    return S_OK; // no status line to show it on
}

HRESULT TOleForm::EnableModeless(WINBOOL) {
    return S_OK;
}

// The frame has no accelerators of its own (no menu bar): keys stay with the object.
HRESULT TOleForm::TranslateAccelerator(LPMSG, WORD) {
    return S_FALSE;
}
