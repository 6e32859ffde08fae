// A small in-process OLE object for the container tests: it has verbs, can
// be a link, activates in place in its container's window, and records what
// the container asks of it. Its class is registered for this process only.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

// {5C1E4B7A-3D2F-4E11-9A6B-7F0C2D8E4A11}
inline constexpr CLSID CLSID_TestOleObject = {
    0x5C1E4B7A, 0x3D2F, 0x4E11, {0x9A, 0x6B, 0x7F, 0x0C, 0x2D, 0x8E, 0x4A, 0x11}};

struct TTestVerb {
    LONG Number;
    std::wstring Name;
    DWORD Attribs; // OLEVERBATTRIB_*
};

struct TTestVerbCall {
    LONG Verb;
    bool HadSite;
    HWND Parent;
    RECT Rect;
};

class TTestOleObject final : public IOleObject,
                             public IPersistStorage,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IOleLink,
                             public IDataObject {
public:
    TTestOleObject();
    TTestOleObject(const TTestOleObject&) = delete;
    TTestOleObject& operator=(const TTestOleObject&) = delete;
    virtual ~TTestOleObject();

    // ---- what a test sets up ----
    std::vector<TTestVerb> Verbs;
    bool Linked = false;       // answers IOleLink
    HRESULT VerbResult = S_OK; // what DoVerb returns (after recording)
    std::wstring SourceName;   // the link's source display name
    std::wstring SourceItem;   // when set, the source moniker is file!item
    DWORD UpdateOptions = OLEUPDATE_ALWAYS;

    // ---- what the container did ----
    std::vector<TTestVerbCall> VerbCalls;
    std::vector<DWORD> CloseCalls;
    int ObjectUpdates = 0; // IOleObject::Update
    int LinkUpdates = 0;   // IOleLink::Update
    HWND InPlaceWindow = nullptr;
    bool UIActive = false;
    HRESULT WindowContextResult = E_UNEXPECTED; // what the site's GetWindowContext answered
    IOleInPlaceFrame* Frame = nullptr;          // held while in place
    HMENU SharedMenu = nullptr;
    HRESULT BorderRequestResult = E_UNEXPECTED;
    OLEINPLACEFRAMEINFO FrameInfo{};
    IOleClientSite* Site = nullptr;

    // Ends in-place activity the way an object does when the user is done.
    void DeactivateInPlace();
    static ULONG LiveObjects();
    ULONG RefCount() const { return FRefs; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* ClientSite) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ClientSite) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR App, LPCOLESTR Obj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD SaveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD Which, IMoniker* Mk) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD Assign, DWORD Which, IMoniker** Mk) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* Data, WINBOOL Creation, DWORD Reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD Reserved, IDataObject** Data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG Verb, LPMSG Msg, IOleClientSite* ActiveSite, LONG Index,
                                     HWND Parent, LPCRECT PosRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** Enum) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* Clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD Form, LPOLESTR* Type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD Aspect, SIZEL* Size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD Aspect, SIZEL* Size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* Sink, DWORD* Connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD Connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** Enum) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD Aspect, DWORD* Status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* Pal) override;

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* Clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* Stg) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* Stg) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* Stg, WINBOOL SameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* Stg) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

    // IOleWindow (both in-place interfaces)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL EnterMode) override;
    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT Pos, LPCRECT Clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG Msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL Activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL Activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT Border, IOleInPlaceUIWindow* Window,
                                           WINBOOL Frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL Enable) override;

    // IOleLink
    HRESULT STDMETHODCALLTYPE SetUpdateOptions(DWORD Options) override;
    HRESULT STDMETHODCALLTYPE GetUpdateOptions(DWORD* Options) override;
    HRESULT STDMETHODCALLTYPE SetSourceMoniker(IMoniker* Mk, REFCLSID Clsid) override;
    HRESULT STDMETHODCALLTYPE GetSourceMoniker(IMoniker** Mk) override;
    HRESULT STDMETHODCALLTYPE SetSourceDisplayName(LPCOLESTR Name) override;
    HRESULT STDMETHODCALLTYPE GetSourceDisplayName(LPOLESTR* Name) override;
    HRESULT STDMETHODCALLTYPE BindToSource(DWORD Flags, IBindCtx* Ctx) override;
    HRESULT STDMETHODCALLTYPE BindIfRunning() override;
    HRESULT STDMETHODCALLTYPE GetBoundSource(IUnknown** Unk) override;
    HRESULT STDMETHODCALLTYPE UnbindSource() override;
    HRESULT STDMETHODCALLTYPE Update(IBindCtx* Ctx) override;

    // IDataObject: the picture the container draws (an enhanced metafile).
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* Format, STGMEDIUM* Medium, WINBOOL Release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* Format, DWORD Flags, IAdviseSink* Sink,
                                      DWORD* Conn) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD Conn) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** Enum) override;

private:
    HRESULT ActivateInPlace(IOleClientSite* ActiveSite, HWND Parent, bool WithUI);

    ULONG FRefs = 1;
    SIZEL FExtent{2540, 1270};
    IOleInPlaceSite* FInPlaceSite = nullptr;
    HOLEMENU FOleMenu = nullptr;
};

// Registers the test object's class for this process while it lives; the
// last object made is kept for the test to look at.
class TTestOleClassRegistration {
public:
    TTestOleClassRegistration();
    ~TTestOleClassRegistration();
    TTestOleClassRegistration(const TTestOleClassRegistration&) = delete;
    TTestOleClassRegistration& operator=(const TTestOleClassRegistration&) = delete;
    bool Registered() const { return FCookie != 0; }

    // The object the class made last (a borrowed pointer; the container holds it).
    static TTestOleObject* LastMade();

private:
    DWORD FCookie = 0;
    IClassFactory* FFactory = nullptr;
};
