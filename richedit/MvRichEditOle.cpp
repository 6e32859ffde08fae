// The rich edit's OLE callback and object housekeeping.
#include "richedit/MvRichEditOle.h"

#include "base/StrUtils.h"
#include "richedit/MvOleForm.h"
#include "richedit/MvRichEdit.h"

namespace {
constexpr IID kIID_IRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kIID_IUnknown = {0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
} // namespace

HRESULT TRichEditOleCallback::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    if (IsEqualIID(Riid, kIID_IUnknown) || IsEqualIID(Riid, kIID_IRichEditOleCallback)) {
        *Obj = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
}

ULONG TRichEditOleCallback::AddRef() {
    return ++FRefs;
}

ULONG TRichEditOleCallback::Release() {
    if (FRefs > 0) --FRefs;
    return FRefs;
}

HRESULT TRichEditOleCallback::GetNewStorage(LPSTORAGE* Storage) {
    if (!Storage) return E_INVALIDARG;
    *Storage = nullptr;
    ILockBytes* Bytes = nullptr;
    HRESULT Hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &Bytes);
    if (FAILED(Hr)) return Hr;
    Hr = StgCreateDocfileOnILockBytes(Bytes, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, Storage);
    Bytes->Release(); // the storage holds its own reference; the memory goes with it
    return Hr;
}

HRESULT TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* Frame, LPOLEINPLACEUIWINDOW* Doc,
                                                LPOLEINPLACEFRAMEINFO FrameInfo) {
    if (Frame) *Frame = nullptr;
    if (Doc) *Doc = nullptr;
    if (!FControl || !FControl->AllowInPlace()) return E_NOTIMPL;
    if (!FFrame) {
        TForm* Form = GetParentForm(FControl);
        if (!Form || !Form->HandleAllocated()) return E_NOTIMPL;
        FFrame = &TOleForm::Of(*Form);
        FFrame->AddRef();
        FControl->FreeNotification(FFrame);
    }
    if (!Frame || !Doc) return E_INVALIDARG;
    // The form is both the frame and the document window.
    FFrame->AddRef();
    *Frame = FFrame;
    FFrame->AddRef();
    *Doc = FFrame;
    if (FrameInfo) {
        FrameInfo->fMDIApp = FALSE;
        FrameInfo->hwndFrame = FFrame->Form().Handle();
        // Our forms carry no menu bar, so there are no menu accelerators to share.
        FrameInfo->haccel = nullptr;
        FrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT TRichEditOleCallback::ShowContainerUI(WINBOOL Show) {
    if (!FFrame || !FControl) return E_NOTIMPL;
    if (Show) {
        FFrame->SetMenu(nullptr, nullptr, nullptr);
        FFrame->SetBorderSpace(nullptr);
    }
    // The control's events run user code; nothing may escape into the object,
    // and a failing handler still lets the frame go.
    try {
        FControl->DoInPlaceActivate(!Show);
    } catch (...) {
        if (Application) Application->HandleException(FControl);
    }
    if (Show) DropFrame();
    return S_OK;
}

void TRichEditOleCallback::DropFrame() {
    if (!FFrame) return;
    TOleForm* Frame = FFrame;
    FFrame = nullptr;
    // A frame in its destructor is past answering calls; its count no longer matters.
    if (Frame->HasState(csDestroying)) return;
    if (FControl) FControl->RemoveFreeNotification(Frame);
    Frame->Release();
}

HRESULT TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) {
    return S_OK;
}

HRESULT TRichEditOleCallback::DeleteObject(LPOLEOBJECT Object) {
    if (Object) Object->Close(OLECLOSE_NOSAVE);
    return S_OK;
}

HRESULT TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) {
    return S_OK;
}
HRESULT TRichEditOleCallback::ContextSensitiveHelp(WINBOOL) {
    return S_OK;
}

HRESULT TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* Data) {
    if (Data) *Data = nullptr;
    return E_NOTIMPL; // the window supplies its own data
}

HRESULT TRichEditOleCallback::GetDragDropEffect(WINBOOL, DWORD, LPDWORD) {
    return E_NOTIMPL;
}

HRESULT TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* Menu) {
    if (Menu) *Menu = nullptr;
    return E_NOTIMPL; // the control's own menu applies
}

void CloseRichEditObjects(IRichEditOle* Ole) {
    if (!Ole) return;
    for (LONG I = Ole->GetObjectCount() - 1; I >= 0; --I) {
        REOBJECT Obj{};
        Obj.cbStruct = sizeof(REOBJECT);
        if (FAILED(Ole->GetObject(I, &Obj, REO_GETOBJ_POLEOBJ)) || !Obj.poleobj) continue;
        if (Obj.dwFlags & REO_INPLACEACTIVE) Ole->InPlaceDeactivate();
        Obj.poleobj->Close(OLECLOSE_NOSAVE);
        Obj.poleobj->Release();
    }
}

void SetRichEditHostNames(IRichEditOle* Ole, const std::string& AppName, const std::string& Title) {
    if (!Ole) return;
    const std::string T = Trim(Title);
    Ole->SetHostNames(AppName.c_str(), T.empty() ? AppName.c_str() : T.c_str());
}
