// The test OLE object and its class factory.
#include "tests/richedit/win32/TestOleObject.h"

#include <cstring>

namespace {

ULONG LiveCount = 0;
TTestOleObject* Last = nullptr;

LPOLESTR TaskString(const std::wstring& Text) {
    auto* Out = static_cast<LPOLESTR>(CoTaskMemAlloc((Text.size() + 1) * sizeof(wchar_t)));
    if (Out) std::memcpy(Out, Text.c_str(), (Text.size() + 1) * sizeof(wchar_t));
    return Out;
}

class TVerbEnum final : public IEnumOLEVERB {
public:
    explicit TVerbEnum(std::vector<TTestVerb> Verbs) : FVerbs(std::move(Verbs)) {}
    virtual ~TVerbEnum() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override {
        if (!Obj) return E_POINTER;
        *Obj = (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IEnumOLEVERB)) ? this : nullptr;
        if (!*Obj) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG Left = --FRefs;
        if (!Left) delete this;
        return Left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG Count, LPOLEVERB Out, ULONG* Fetched) override {
        ULONG Done = 0;
        for (; Done < Count && FAt < FVerbs.size(); ++Done, ++FAt) {
            const TTestVerb& V = FVerbs[FAt];
            Out[Done] = OLEVERB{V.Number, TaskString(V.Name), 0, V.Attribs};
        }
        if (Fetched) *Fetched = Done;
        return Done == Count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override {
        FAt += Count;
        return FAt <= FVerbs.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        FAt = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumOLEVERB** Out) override {
        if (!Out) return E_POINTER;
        auto* Copy = new TVerbEnum(FVerbs);
        Copy->FAt = FAt;
        *Out = Copy;
        return S_OK;
    }

private:
    std::vector<TTestVerb> FVerbs;
    size_t FAt = 0;
    ULONG FRefs = 1;
};

class TFactory final : public IClassFactory {
public:
    virtual ~TFactory() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override {
        if (!Obj) return E_POINTER;
        *Obj = (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IClassFactory)) ? this : nullptr;
        if (!*Obj) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG Left = --FRefs;
        if (!Left) delete this;
        return Left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID Riid, void** Obj) override {
        if (!Obj) return E_POINTER;
        *Obj = nullptr;
        if (Outer) return CLASS_E_NOAGGREGATION;
        auto* Made = new TTestOleObject;
        const HRESULT Hr = Made->QueryInterface(Riid, Obj);
        if (SUCCEEDED(Hr)) Last = Made;
        Made->Release();
        return Hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

private:
    ULONG FRefs = 1;
};

} // namespace

// ---- registration ------------------------------------------------------------------

TTestOleClassRegistration::TTestOleClassRegistration() : FFactory(new TFactory) {
    if (FAILED(CoRegisterClassObject(CLSID_TestOleObject, FFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                     &FCookie)))
        FCookie = 0;
}

TTestOleClassRegistration::~TTestOleClassRegistration() {
    if (FCookie) CoRevokeClassObject(FCookie);
    FFactory->Release();
    Last = nullptr;
}

TTestOleObject* TTestOleClassRegistration::LastMade() {
    return Last;
}

// ---- the object -------------------------------------------------------------------------

TTestOleObject::TTestOleObject() {
    ++LiveCount;
}

TTestOleObject::~TTestOleObject() {
    if (Site) Site->Release();
    if (FInPlaceSite) FInPlaceSite->Release();
    if (Frame) Frame->Release();
    if (InPlaceWindow) DestroyWindow(InPlaceWindow);
    if (Last == this) Last = nullptr;
    --LiveCount;
}

ULONG TTestOleObject::LiveObjects() {
    return LiveCount;
}

HRESULT TTestOleObject::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    *Obj = nullptr;
    if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, IID_IOleObject))
        *Obj = static_cast<IOleObject*>(this);
    else if (IsEqualIID(Riid, IID_IPersistStorage) || IsEqualIID(Riid, IID_IPersist))
        *Obj = static_cast<IPersistStorage*>(this);
    else if (IsEqualIID(Riid, IID_IOleInPlaceObject) || IsEqualIID(Riid, IID_IOleWindow))
        *Obj = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(Riid, IID_IOleInPlaceActiveObject))
        *Obj = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(Riid, IID_IOleLink) && Linked)
        *Obj = static_cast<IOleLink*>(this);
    else if (IsEqualIID(Riid, IID_IDataObject))
        *Obj = static_cast<IDataObject*>(this);
    if (!*Obj) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TTestOleObject::AddRef() {
    return ++FRefs;
}

ULONG TTestOleObject::Release() {
    const ULONG Left = --FRefs;
    if (!Left) delete this;
    return Left;
}

HRESULT TTestOleObject::SetClientSite(IOleClientSite* ClientSite) {
    if (ClientSite) ClientSite->AddRef();
    if (Site) Site->Release();
    Site = ClientSite;
    return S_OK;
}

HRESULT TTestOleObject::GetClientSite(IOleClientSite** ClientSite) {
    if (!ClientSite) return E_POINTER;
    *ClientSite = Site;
    if (Site) Site->AddRef();
    return S_OK;
}

HRESULT TTestOleObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT TTestOleObject::Close(DWORD SaveOption) {
    CloseCalls.push_back(SaveOption);
    if (InPlaceWindow) InPlaceDeactivate();
    return S_OK;
}

HRESULT TTestOleObject::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::GetMoniker(DWORD, DWORD, IMoniker** Mk) {
    if (Mk) *Mk = nullptr;
    return E_NOTIMPL;
}
HRESULT TTestOleObject::InitFromData(IDataObject*, WINBOOL, DWORD) {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::GetClipboardData(DWORD, IDataObject** Data) {
    if (Data) *Data = nullptr;
    return E_NOTIMPL;
}

HRESULT TTestOleObject::DoVerb(LONG Verb, LPMSG, IOleClientSite* ActiveSite, LONG, HWND Parent,
                               LPCRECT PosRect) {
    VerbCalls.push_back(TTestVerbCall{Verb, ActiveSite != nullptr, Parent, PosRect ? *PosRect : RECT{}});
    if (FAILED(VerbResult)) return VerbResult;
    if (Verb == OLEIVERB_INPLACEACTIVATE || Verb == OLEIVERB_UIACTIVATE)
        return ActivateInPlace(ActiveSite ? ActiveSite : Site, Parent, Verb == OLEIVERB_UIACTIVATE);
    return VerbResult;
}

HRESULT TTestOleObject::ActivateInPlace(IOleClientSite* ActiveSite, HWND Parent, bool WithUI) {
    if (!ActiveSite) return E_INVALIDARG;
    if (!FInPlaceSite &&
        FAILED(ActiveSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&FInPlaceSite))))
        return OLEOBJ_S_INVALIDVERB;
    if (!InPlaceWindow) {
        if (FInPlaceSite->CanInPlaceActivate() != S_OK) return OLEOBJ_S_CANNOT_DOVERB_NOW;
        FInPlaceSite->OnInPlaceActivate();
        IOleInPlaceUIWindow* Doc = nullptr;
        RECT Pos{}, Clip{};
        FrameInfo = OLEINPLACEFRAMEINFO{};
        FrameInfo.cb = sizeof FrameInfo;
        if (Frame) {
            Frame->Release();
            Frame = nullptr;
        }
        WindowContextResult = FInPlaceSite->GetWindowContext(&Frame, &Doc, &Pos, &Clip, &FrameInfo);
        if (Doc) Doc->Release();
        HWND SiteWindow = nullptr;
        if (FAILED(FInPlaceSite->GetWindow(&SiteWindow)) || !SiteWindow) SiteWindow = Parent;
        InPlaceWindow =
            CreateWindowExA(0, "STATIC", "in place", WS_CHILD | WS_VISIBLE | WS_BORDER, Pos.left, Pos.top, 60,
                            20, SiteWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    if (WithUI && !UIActive) {
        UIActive = true;
        FInPlaceSite->OnUIActivate();
        if (Frame) {
            Frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"Test Object");
            SharedMenu = CreateMenu();
            OLEMENUGROUPWIDTHS Widths{};
            Frame->InsertMenus(SharedMenu, &Widths);
            AppendMenuW(SharedMenu, MF_STRING, 100, L"&Tool");
            Widths.width[1] = 1;
            FOleMenu = OleCreateMenuDescriptor(SharedMenu, &Widths);
            Frame->SetMenu(SharedMenu, FOleMenu, InPlaceWindow);
            const BORDERWIDTHS Bar{0, 24, 0, 0};
            BorderRequestResult = Frame->RequestBorderSpace(&Bar);
        }
    }
    return S_OK;
}

void TTestOleObject::DeactivateInPlace() {
    InPlaceDeactivate();
}

HRESULT TTestOleObject::EnumVerbs(IEnumOLEVERB** Enum) {
    if (!Enum) return E_POINTER;
    *Enum = new TVerbEnum(Verbs);
    return S_OK;
}

HRESULT TTestOleObject::Update() {
    ++ObjectUpdates;
    return S_OK;
}
HRESULT TTestOleObject::IsUpToDate() {
    return S_OK;
}
HRESULT TTestOleObject::GetUserClassID(CLSID* Clsid) {
    if (!Clsid) return E_POINTER;
    *Clsid = CLSID_TestOleObject;
    return S_OK;
}

HRESULT TTestOleObject::GetUserType(DWORD Form, LPOLESTR* Type) {
    if (!Type) return E_POINTER;
    *Type = TaskString(Form == USERCLASSTYPE_SHORT ? L"Tester" : L"Test Object");
    return S_OK;
}

HRESULT TTestOleObject::SetExtent(DWORD, SIZEL* Size) {
    if (!Size) return E_POINTER;
    FExtent = *Size;
    return S_OK;
}
HRESULT TTestOleObject::GetExtent(DWORD, SIZEL* Size) {
    if (!Size) return E_POINTER;
    *Size = FExtent;
    return S_OK;
}
HRESULT TTestOleObject::Advise(IAdviseSink*, DWORD* Connection) {
    if (Connection) *Connection = 1;
    return S_OK;
}
HRESULT TTestOleObject::Unadvise(DWORD) {
    return S_OK;
}
HRESULT TTestOleObject::EnumAdvise(IEnumSTATDATA** Enum) {
    if (Enum) *Enum = nullptr;
    return E_NOTIMPL;
}
HRESULT TTestOleObject::GetMiscStatus(DWORD, DWORD* Status) {
    if (Status) *Status = 0;
    return S_OK;
}
HRESULT TTestOleObject::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

HRESULT TTestOleObject::GetClassID(CLSID* Clsid) {
    return GetUserClassID(Clsid);
}
HRESULT TTestOleObject::IsDirty() {
    return S_FALSE;
}
HRESULT TTestOleObject::InitNew(IStorage*) {
    return S_OK;
}
HRESULT TTestOleObject::Load(IStorage*) {
    return S_OK;
}
HRESULT TTestOleObject::Save(IStorage* Stg, WINBOOL) {
    return Stg ? WriteClassStg(Stg, CLSID_TestOleObject) : E_POINTER;
}
HRESULT TTestOleObject::SaveCompleted(IStorage*) {
    return S_OK;
}
HRESULT TTestOleObject::HandsOffStorage() {
    return S_OK;
}

HRESULT TTestOleObject::GetWindow(HWND* Wnd) {
    if (!Wnd) return E_POINTER;
    *Wnd = InPlaceWindow;
    return InPlaceWindow ? S_OK : E_FAIL;
}
HRESULT TTestOleObject::ContextSensitiveHelp(WINBOOL) {
    return S_OK;
}

HRESULT TTestOleObject::InPlaceDeactivate() {
    if (!InPlaceWindow) return S_OK;
    UIDeactivate();
    DestroyWindow(InPlaceWindow);
    InPlaceWindow = nullptr;
    if (Frame) Frame->Release();
    Frame = nullptr;
    if (FInPlaceSite) {
        FInPlaceSite->OnInPlaceDeactivate();
        FInPlaceSite->Release();
        FInPlaceSite = nullptr;
    }
    return S_OK;
}

HRESULT TTestOleObject::UIDeactivate() {
    if (!UIActive) return S_OK;
    UIActive = false;
    if (Frame) {
        Frame->SetActiveObject(nullptr, nullptr);
        Frame->RemoveMenus(SharedMenu);
    }
    if (FInPlaceSite) FInPlaceSite->OnUIDeactivate(FALSE);
    if (FOleMenu) OleDestroyMenuDescriptor(FOleMenu);
    FOleMenu = nullptr;
    if (SharedMenu) DestroyMenu(SharedMenu);
    SharedMenu = nullptr;
    return S_OK;
}

HRESULT TTestOleObject::SetObjectRects(LPCRECT, LPCRECT) {
    return S_OK;
}
HRESULT TTestOleObject::ReactivateAndUndo() {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::TranslateAccelerator(LPMSG) {
    return S_FALSE;
}
HRESULT TTestOleObject::OnFrameWindowActivate(WINBOOL) {
    return S_OK;
}
HRESULT TTestOleObject::OnDocWindowActivate(WINBOOL) {
    return S_OK;
}
HRESULT TTestOleObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) {
    return S_OK;
}
HRESULT TTestOleObject::EnableModeless(WINBOOL) {
    return S_OK;
}

HRESULT TTestOleObject::SetUpdateOptions(DWORD Options) {
    if (Options != OLEUPDATE_ALWAYS && Options != OLEUPDATE_ONCALL) return E_INVALIDARG;
    UpdateOptions = Options;
    return S_OK;
}
HRESULT TTestOleObject::GetUpdateOptions(DWORD* Options) {
    if (!Options) return E_POINTER;
    *Options = UpdateOptions;
    return S_OK;
}
HRESULT TTestOleObject::SetSourceMoniker(IMoniker*, REFCLSID) {
    return E_NOTIMPL;
}

HRESULT TTestOleObject::GetSourceMoniker(IMoniker** Mk) {
    if (!Mk) return E_POINTER;
    *Mk = nullptr;
    if (SourceName.empty()) return MK_E_UNAVAILABLE;
    IMoniker* File = nullptr;
    HRESULT Hr = CreateFileMoniker(SourceName.c_str(), &File);
    if (FAILED(Hr) || SourceItem.empty()) {
        *Mk = File;
        return Hr;
    }
    IMoniker* Item = nullptr;
    Hr = CreateItemMoniker(L"!", SourceItem.c_str(), &Item);
    if (SUCCEEDED(Hr)) Hr = CreateGenericComposite(File, Item, Mk);
    if (Item) Item->Release();
    File->Release();
    return Hr;
}

// A source name the object cannot resolve is refused the way a moniker parser would.
HRESULT TTestOleObject::SetSourceDisplayName(LPCOLESTR Name) {
    if (!Name || std::wcsncmp(Name, L"bad", 3) == 0) return MK_E_SYNTAX;
    SourceName = Name;
    SourceItem.clear();
    return S_OK;
}

HRESULT TTestOleObject::GetSourceDisplayName(LPOLESTR* Name) {
    if (!Name) return E_POINTER;
    std::wstring Full = SourceName;
    if (!SourceItem.empty()) Full += L"!" + SourceItem;
    *Name = TaskString(Full);
    return S_OK;
}

HRESULT TTestOleObject::BindToSource(DWORD, IBindCtx*) {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::BindIfRunning() {
    return S_FALSE;
}
HRESULT TTestOleObject::GetBoundSource(IUnknown** Unk) {
    if (Unk) *Unk = nullptr;
    return E_FAIL;
}
HRESULT TTestOleObject::UnbindSource() {
    return S_OK;
}
HRESULT TTestOleObject::Update(IBindCtx*) {
    ++LinkUpdates;
    return S_OK;
}

HRESULT TTestOleObject::GetData(FORMATETC* Format, STGMEDIUM* Medium) {
    if (!Format || !Medium) return E_INVALIDARG;
    if (Format->cfFormat != CF_ENHMETAFILE || !(Format->tymed & TYMED_ENHMF)) return DV_E_FORMATETC;
    const RECT Frame{0, 0, FExtent.cx, FExtent.cy};
    HDC Dc = CreateEnhMetaFileA(nullptr, nullptr, &Frame, nullptr);
    if (!Dc) return E_OUTOFMEMORY;
    HBRUSH Brush = CreateSolidBrush(RGB(0x20, 0x80, 0xC0));
    const RECT Box{0, 0, 96, 48};
    FillRect(Dc, &Box, Brush);
    DeleteObject(Brush);
    *Medium = STGMEDIUM{};
    Medium->tymed = TYMED_ENHMF;
    Medium->hEnhMetaFile = CloseEnhMetaFile(Dc);
    return Medium->hEnhMetaFile ? S_OK : E_OUTOFMEMORY;
}

HRESULT TTestOleObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::QueryGetData(FORMATETC* Format) {
    return Format && Format->cfFormat == CF_ENHMETAFILE && (Format->tymed & TYMED_ENHMF) ? S_OK
                                                                                         : DV_E_FORMATETC;
}
HRESULT TTestOleObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) {
    if (Out) Out->ptd = nullptr;
    return E_NOTIMPL;
}
HRESULT TTestOleObject::SetData(FORMATETC*, STGMEDIUM*, WINBOOL) {
    return E_NOTIMPL;
}
HRESULT TTestOleObject::EnumFormatEtc(DWORD, IEnumFORMATETC** Enum) {
    if (Enum) *Enum = nullptr;
    return E_NOTIMPL;
}
HRESULT TTestOleObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TTestOleObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TTestOleObject::EnumDAdvise(IEnumSTATDATA** Enum) {
    if (Enum) *Enum = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}
