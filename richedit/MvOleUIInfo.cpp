// The selected object as the Object Properties dialog sees it: names, view
// and link; and the object helpers that insertion shares.
#include "richedit/MvOleUIInfo.h"

#include "base/StrUtils.h"
#include "gui/Application.h"
#include "richedit/MvComRef.h"
#include "richedit/MvRichEdit.h"

#include <cstring>

namespace mv::richedit {

void CheckOle(HRESULT Hr, const char* What) {
    if (FAILED(Hr))
        throw EOleError(std::string(What) + " failed (" + IntToHex(static_cast<uint32_t>(Hr), 8) + ")");
}

std::string FromOleString(LPCOLESTR Text) {
    if (!Text || !*Text) return {};
    const int Bytes = WideCharToMultiByte(CP_ACP, 0, Text, -1, nullptr, 0, nullptr, nullptr);
    if (Bytes <= 1) return {};
    std::string Result(static_cast<size_t>(Bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, Text, -1, Result.data(), Bytes, nullptr, nullptr);
    Result.resize(static_cast<size_t>(Bytes - 1));
    return Result;
}

namespace {

std::wstring ToOleString(const char* Text) {
    const int Chars = MultiByteToWideChar(CP_ACP, 0, Text, -1, nullptr, 0);
    if (Chars <= 1) return {};
    std::wstring Result(static_cast<size_t>(Chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Text, -1, Result.data(), Chars);
    Result.resize(static_cast<size_t>(Chars - 1));
    return Result;
}

std::string UserType(IOleObject* Object, DWORD Form) {
    LPOLESTR Name = nullptr;
    if (!Object || FAILED(Object->GetUserType(Form, &Name)) || !Name) return {};
    std::string Result = FromOleString(Name);
    CoTaskMemFree(Name);
    return Result;
}

// Strings handed to the dialog belong to it: the task allocator's.
LPSTR TaskCopy(const std::string& Text) {
    auto* Out = static_cast<LPSTR>(CoTaskMemAlloc(Text.size() + 1));
    if (Out) std::memcpy(Out, Text.c_str(), Text.size() + 1);
    return Out;
}

HGLOBAL CopyMetafilePicture(HGLOBAL Source) {
    const auto* From = Source ? static_cast<const METAFILEPICT*>(GlobalLock(Source)) : nullptr;
    if (!From) return nullptr;
    METAFILEPICT Pict = *From;
    GlobalUnlock(Source);
    Pict.hMF = CopyMetaFileA(Pict.hMF, nullptr);
    if (!Pict.hMF) return nullptr;
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    auto* To = Block ? static_cast<METAFILEPICT*>(GlobalLock(Block)) : nullptr;
    if (!To) {
        if (Block) GlobalFree(Block);
        DeleteMetaFile(Pict.hMF);
        return nullptr;
    }
    *To = Pict;
    GlobalUnlock(Block);
    return Block;
}

// The link's error messages.
void LinkError(const char* Text) {
    if (Application) Application->MessageBox(Text, "Link Properties", MB_OK | MB_ICONERROR);
}

} // namespace

std::string FullTypeName(IOleObject* Object) {
    std::string Name = UserType(Object, USERCLASSTYPE_FULL);
    return Name.empty() ? "Object" : Name;
}

std::string ShortTypeName(IOleObject* Object) {
    return UserType(Object, USERCLASSTYPE_SHORT);
}

namespace {

// A static object (a picture) has no server to draw it again: its cached
// presentation is all there is of it. So has an object of no class, the form
// a picture read from RTF takes under Wine (and ours there, see InsertGraphic).
bool IsStaticObject(IOleObject* Object) {
    DWORD Status = 0;
    if (SUCCEEDED(Object->GetMiscStatus(DVASPECT_CONTENT, &Status)) && (Status & OLEMISC_STATIC)) return true;
    CLSID Clsid{};
    if (FAILED(Object->GetUserClassID(&Clsid))) return false;
    return IsEqualCLSID(Clsid, CLSID_NULL) || IsEqualCLSID(Clsid, CLSID_Picture_Metafile) ||
           IsEqualCLSID(Clsid, CLSID_Picture_EnhMetafile) || IsEqualCLSID(Clsid, CLSID_Picture_Dib);
}

} // namespace

DWORD SwitchAspect(IOleObject* Object, DWORD Current, bool ToIcon, HGLOBAL IconPicture) {
    const DWORD Wanted = ToIcon ? DVASPECT_ICON : DVASPECT_CONTENT;
    if (Current == Wanted && !ToIcon) return Current;
    TComRef<IOleCache> Cache;
    if (FAILED(Object->QueryInterface(IID_IOleCache, reinterpret_cast<void**>(Cache.put())))) return Current;
    FORMATETC Format{CF_METAFILEPICT, nullptr, Wanted, -1, TYMED_MFPICT};
    DWORD Connection = 0;
    Cache->Cache(&Format, ToIcon ? ADVF_PRIMEFIRST : ADVF_NODATA, &Connection);
    if (ToIcon) {
        HGLOBAL Picture = IconPicture;
        if (!Picture) {
            CLSID Clsid{};
            Object->GetUserClassID(&Clsid);
            Picture = OleGetIconOfClass(Clsid, nullptr, TRUE);
        }
        if (Picture) {
            STGMEDIUM Medium{};
            Medium.tymed = TYMED_MFPICT;
            Medium.hMetaFilePict = Picture;
            // The cache takes a picture we made; the caller's stays the caller's.
            if (FAILED(Cache->SetData(&Format, &Medium, IconPicture == nullptr)) && !IconPicture)
                FreeMetafilePicture(Picture);
        }
    }
    // A static object keeps its picture while it shows its icon: dropping it
    // would lose the picture for good (and the text could no longer be saved).
    const bool Static = IsStaticObject(Object);
    if (Current != Wanted && !Static) {
        TComRef<IEnumSTATDATA> Entries;
        if (SUCCEEDED(Cache->EnumCache(Entries.put())) && Entries) {
            STATDATA Data{};
            while (Entries->Next(1, &Data, nullptr) == S_OK) {
                if (Data.formatetc.dwAspect == Current) Cache->Uncache(Data.dwConnection);
                if (Data.pAdvSink) Data.pAdvSink->Release();
            }
        }
    }
    if (!ToIcon && !Static) Object->Update();
    return Wanted;
}

HGLOBAL IconPictureOf(IOleObject* Object, DWORD Aspect) {
    if (!Object) return nullptr;
    if (Aspect == DVASPECT_ICON) {
        TComRef<IDataObject> Data;
        if (SUCCEEDED(Object->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(Data.put())))) {
            FORMATETC Format{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
            STGMEDIUM Medium{};
            if (SUCCEEDED(Data->GetData(&Format, &Medium))) {
                HGLOBAL Copy =
                    Medium.tymed == TYMED_MFPICT ? CopyMetafilePicture(Medium.hMetaFilePict) : nullptr;
                ReleaseStgMedium(&Medium);
                if (Copy) return Copy;
            }
        }
    }
    CLSID Clsid{};
    if (FAILED(Object->GetUserClassID(&Clsid))) return nullptr;
    return OleGetIconOfClass(Clsid, nullptr, TRUE);
}

void FreeMetafilePicture(HGLOBAL Block) {
    if (!Block) return;
    if (auto* Pict = static_cast<METAFILEPICT*>(GlobalLock(Block))) {
        if (Pict->hMF) DeleteMetaFile(Pict->hMF);
        GlobalUnlock(Block);
    }
    GlobalFree(Block);
}

} // namespace mv::richedit

using namespace mv::richedit;

namespace {
void AddRefRecord(REOBJECT& Record) {
    if (Record.poleobj) Record.poleobj->AddRef();
    if (Record.polesite) Record.polesite->AddRef();
    Record.pstg = nullptr; // not needed by the dialog
}
void ReleaseRecord(REOBJECT& Record) {
    if (Record.poleobj) Record.poleobj->Release();
    if (Record.polesite) Record.polesite->Release();
}
} // namespace

// ---- TOleUIObjInfo --------------------------------------------------------------------

TOleUIObjInfo::TOleUIObjInfo(TMvCustomRichEdit& Control, const REOBJECT& Record)
    : FControl(Control), FRecord(Record), FAspect(Record.dvaspect) {
    AddRefRecord(FRecord);
}

TOleUIObjInfo::~TOleUIObjInfo() {
    ReleaseRecord(FRecord);
}

HRESULT TOleUIObjInfo::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    *Obj = IsEqualIID(Riid, IID_IUnknown) ? this : nullptr;
    if (!*Obj) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TOleUIObjInfo::AddRef() {
    return ++FRefs;
}

ULONG TOleUIObjInfo::Release() {
    const ULONG Left = --FRefs;
    if (Left == 0) delete this;
    return Left;
}

HRESULT TOleUIObjInfo::GetObjectInfo(DWORD, DWORD* Size, LPSTR* Type, LPSTR* Label, LPSTR* ShortType,
                                     LPSTR* Location) {
    const std::string Full = FullTypeName(FRecord.poleobj);
    const std::string App = Application ? Trim(Application->Title()) : std::string();
    const std::string Title = Trim(FControl.Title());
    if (Size) *Size = static_cast<DWORD>(-1); // not known
    if (Type) *Type = TaskCopy(Full);
    if (Label) *Label = TaskCopy(Full);
    if (ShortType) *ShortType = TaskCopy(ShortTypeName(FRecord.poleobj));
    if (Location) *Location = TaskCopy(Title.empty() ? App : Title + " - " + App);
    return S_OK;
}

HRESULT TOleUIObjInfo::GetConvertInfo(DWORD, CLSID* Clsid, WORD*, CLSID*, LPCLSID*, UINT*) {
    if (Clsid) FRecord.poleobj->GetUserClassID(Clsid);
    return S_OK;
}

HRESULT TOleUIObjInfo::ConvertObject(DWORD, REFCLSID) {
    return E_NOTIMPL;
}

HRESULT TOleUIObjInfo::GetViewInfo(DWORD, HGLOBAL* Icon, DWORD* Aspect, int* Scale) {
    if (Icon) *Icon = IconPictureOf(FRecord.poleobj, FAspect);
    if (Aspect) *Aspect = FAspect;
    if (Scale) *Scale = 0;
    return S_OK;
}

HRESULT TOleUIObjInfo::SetViewInfo(DWORD, HGLOBAL Icon, DWORD Aspect, int, WINBOOL) {
    IRichEditOle* Ole = FControl.RichEditOle();
    if (!Ole) return E_NOTIMPL;
    if (Aspect == DVASPECT_ICON || Aspect == DVASPECT_CONTENT)
        FAspect = SwitchAspect(FRecord.poleobj, FAspect, Aspect == DVASPECT_ICON, Icon);
    Ole->SetDvaspect(REO_IOB_SELECTION, FAspect);
    return S_OK;
}

// ---- TOleUILinkInfo -------------------------------------------------------------------

TOleUILinkInfo::TOleUILinkInfo(TMvCustomRichEdit& Control, const REOBJECT& Record, IOleLink* Link)
    : FControl(Control), FRecord(Record), FLink(Link) {
    AddRefRecord(FRecord);
    if (FLink) FLink->AddRef();
}

TOleUILinkInfo::~TOleUILinkInfo() {
    if (FLink) FLink->Release();
    ReleaseRecord(FRecord);
}

HRESULT TOleUILinkInfo::QueryInterface(REFIID Riid, void** Obj) {
    if (!Obj) return E_POINTER;
    *Obj = IsEqualIID(Riid, IID_IUnknown) ? this : nullptr;
    if (!*Obj) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TOleUILinkInfo::AddRef() {
    return ++FRefs;
}

ULONG TOleUILinkInfo::Release() {
    const ULONG Left = --FRefs;
    if (Left == 0) delete this;
    return Left;
}

DWORD TOleUILinkInfo::LinkId() const {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(FRecord.poleobj));
}

DWORD TOleUILinkInfo::GetNextLink(DWORD Link) {
    return Link == 0 ? LinkId() : 0;
}

HRESULT TOleUILinkInfo::SetLinkUpdateOptions(DWORD Link, DWORD UpdateOpt) {
    if (!IsOurs(Link) || !FLink) return E_INVALIDARG;
    const HRESULT Hr = FLink->SetUpdateOptions(UpdateOpt);
    if (SUCCEEDED(Hr)) FControl.SetModified(true);
    return Hr;
}

HRESULT TOleUILinkInfo::GetLinkUpdateOptions(DWORD Link, DWORD* UpdateOpt) {
    if (!UpdateOpt) return E_POINTER;
    *UpdateOpt = 0;
    if (!IsOurs(Link) || !FLink) return E_INVALIDARG;
    return FLink->GetUpdateOptions(UpdateOpt);
}

HRESULT TOleUILinkInfo::SetLinkSource(DWORD Link, LPSTR DisplayName, ULONG, ULONG* Eaten, WINBOOL) {
    if (Eaten) *Eaten = 0;
    if (!IsOurs(Link) || !FLink) return E_INVALIDARG;
    const std::wstring Name = DisplayName ? ToOleString(DisplayName) : std::wstring();
    if (Name.empty()) {
        LinkError("Cannot link to an invalid source.");
        return E_FAIL;
    }
    const HRESULT Hr = FLink->SetSourceDisplayName(Name.c_str());
    if (FAILED(Hr)) {
        LinkError("Cannot link to an invalid source.");
        return Hr;
    }
    if (Eaten) *Eaten = static_cast<ULONG>(std::strlen(DisplayName));
    FRecord.poleobj->Update();
    FControl.SetModified(true);
    return S_OK;
}

ULONG TOleUILinkInfo::FilePartLength() {
    TComRef<IMoniker> Source;
    if (FAILED(FLink->GetSourceMoniker(Source.put())) || !Source) return 0;
    // A composite moniker lists its elements; any other is its own first element.
    TComRef<IMoniker> First;
    TComRef<IEnumMoniker> Elements;
    if (SUCCEEDED(Source->Enum(TRUE, Elements.put())) && Elements) {
        if (Elements->Next(1, First.put(), nullptr) != S_OK) return 0;
    } else {
        Source->AddRef();
        First.reset(Source.get());
    }
    DWORD Kind = MKSYS_NONE;
    if (First->IsSystemMoniker(&Kind) != S_OK || Kind != MKSYS_FILEMONIKER) return 0;
    TComRef<IBindCtx> Context;
    if (FAILED(CreateBindCtx(0, Context.put()))) return 0;
    LPOLESTR Name = nullptr;
    if (FAILED(First->GetDisplayName(Context.get(), nullptr, &Name)) || !Name) return 0;
    const ULONG Length = static_cast<ULONG>(FromOleString(Name).size());
    CoTaskMemFree(Name);
    return Length;
}

HRESULT TOleUILinkInfo::GetLinkSource(DWORD Link, LPSTR* DisplayName, ULONG* LenFileName, LPSTR* FullLinkType,
                                      LPSTR* ShortLinkType, WINBOOL* SourceAvailable, WINBOOL* IsSelected) {
    if (DisplayName) *DisplayName = nullptr;
    if (LenFileName) *LenFileName = 0;
    if (FullLinkType) *FullLinkType = nullptr;
    if (ShortLinkType) *ShortLinkType = nullptr;
    if (!IsOurs(Link) || !FLink) return E_INVALIDARG;
    LPOLESTR Name = nullptr;
    std::string Source;
    if (SUCCEEDED(FLink->GetSourceDisplayName(&Name)) && Name) {
        Source = FromOleString(Name);
        CoTaskMemFree(Name);
    }
    if (DisplayName) *DisplayName = TaskCopy(Source);
    if (LenFileName) *LenFileName = FilePartLength();
    if (FullLinkType) *FullLinkType = TaskCopy(FullTypeName(FRecord.poleobj));
    if (ShortLinkType) *ShortLinkType = TaskCopy(ShortTypeName(FRecord.poleobj));
    if (SourceAvailable) *SourceAvailable = Source.empty() ? FALSE : TRUE;
    if (IsSelected) *IsSelected = TRUE; // the one link is the selected object's
    return S_OK;
}

HRESULT TOleUILinkInfo::OpenLinkSource(DWORD Link) {
    if (!IsOurs(Link)) return E_INVALIDARG;
    if (!FControl.HandleAllocated()) return E_FAIL;
    RECT Client = FControl.ClientRect();
    return FRecord.poleobj->DoVerb(OLEIVERB_SHOW, nullptr, FRecord.polesite, 0, FControl.Handle(), &Client);
}

HRESULT TOleUILinkInfo::UpdateLink(DWORD Link, WINBOOL, WINBOOL) {
    if (!IsOurs(Link) || !FLink) return E_INVALIDARG;
    return FLink->Update(nullptr);
}

HRESULT TOleUILinkInfo::CancelLink(DWORD) {
    LinkError("Break link operation is not supported.");
    return E_NOTIMPL;
}

HRESULT TOleUILinkInfo::GetLastUpdate(DWORD, FILETIME*) {
    return S_OK;
}
