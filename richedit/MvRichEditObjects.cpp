// Objects and pictures in the rich edit's text: inserting a picture as a
// static object, the Insert Object and Object Properties dialogs, and the verb
// menu of a selected object.
#include "richedit/MvRichEdit.h"

#include "base/StrUtils.h"
#include "gui/Application.h"
#include "gui/GdiGuards.h"
#include "gui/Menus.h"

#include "richedit/MvComRef.h"
#include "richedit/MvOleUIInfo.h"

#include <oledlg.h>

#include <cstring>
#include <memory>

using namespace mv::richedit;

namespace {

constexpr IID kIID_IUnknown = {0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kIID_IDataObject = {0x0000010E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kIID_IOleObject = {0x00000112, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

} // namespace

// ---- the picture's data object ---------------------------------------------------

TImageDataObject::TImageDataObject(TGraphic& graphic) : graphic_(graphic) {}

HRESULT TImageDataObject::QueryInterface(REFIID riid, void** obj) {
    if (!obj) return E_POINTER;
    if (IsEqualIID(riid, kIID_IUnknown) || IsEqualIID(riid, kIID_IDataObject)) {
        *obj = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

ULONG TImageDataObject::AddRef() {
    return ++refs_;
}

ULONG TImageDataObject::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

SIZE TImageDataObject::HimetricSize(int width, int height) {
    TWindowDC screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX), dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return SIZE{MulDiv(width, 2540, dpiX), MulDiv(height, 2540, dpiY)};
}

HENHMETAFILE TImageDataObject::RecordPicture() {
    const SIZE size = HimetricSize(graphic_.Width(), graphic_.Height());
    TWindowDC screen(nullptr);
    const RECT frame{0, 0, size.cx, size.cy};
    HDC dc = CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
    if (!dc) return nullptr;
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        const RECT target{0, 0, graphic_.Width(), graphic_.Height()};
        if (auto* icon = dynamic_cast<TIcon*>(&graphic_))
            DrawIconEx(dc, 0, 0, icon->Handle(), target.right, target.bottom, 0, nullptr, DI_NORMAL);
        else
            graphic_.Draw(canvas, target);
        canvas.SetHandle(nullptr);
    }
    return CloseEnhMetaFile(dc);
}

// An enhanced metafile is what the rich edit both draws and writes into its
// RTF; the old metafile picture is still offered to those that ask for it.
HRESULT TImageDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    const bool enhanced = (format->tymed & TYMED_ENHMF) && format->cfFormat == CF_ENHMETAFILE;
    const bool picture = (format->tymed & TYMED_MFPICT) && format->cfFormat == CF_METAFILEPICT;
    if (!enhanced && !picture) return DV_E_FORMATETC;
    HENHMETAFILE emf = RecordPicture();
    if (!emf) return E_UNEXPECTED;
    *medium = STGMEDIUM{};
    if (enhanced) {
        medium->tymed = TYMED_ENHMF;
        medium->hEnhMetaFile = emf;
        return S_OK;
    }
    const SIZE size = HimetricSize(graphic_.Width(), graphic_.Height());
    TWindowDC screen(nullptr);
    const UINT bytes = GetWinMetaFileBits(emf, 0, nullptr, MM_ANISOTROPIC, screen.Get());
    std::string bits(bytes, '\0');
    GetWinMetaFileBits(emf, bytes, reinterpret_cast<BYTE*>(bits.data()), MM_ANISOTROPIC, screen.Get());
    DeleteEnhMetaFile(emf);
    HMETAFILE wmf = bytes ? SetMetaFileBitsEx(bytes, reinterpret_cast<const BYTE*>(bits.data())) : nullptr;
    if (!wmf) return E_UNEXPECTED;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    auto* pict = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
    if (!pict) {
        if (block) GlobalFree(block);
        DeleteMetaFile(wmf);
        return STG_E_MEDIUMFULL;
    }
    *pict = METAFILEPICT{MM_ANISOTROPIC, size.cx, size.cy, wmf};
    GlobalUnlock(block);
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = block;
    return S_OK;
}

HRESULT TImageDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}
HRESULT TImageDataObject::QueryGetData(FORMATETC*) {
    return E_NOTIMPL;
}
HRESULT TImageDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}
HRESULT TImageDataObject::SetData(FORMATETC*, STGMEDIUM*, WINBOOL) {
    return E_NOTIMPL;
}
HRESULT TImageDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
HRESULT TImageDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TImageDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TImageDataObject::EnumDAdvise(IEnumSTATDATA** out) {
    if (out) *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- inserting ---------------------------------------------------------------

void TMvCustomRichEdit::InsertGraphic(TGraphic& Graphic, bool Resizable) {
    if (!HandleAllocated() || !FRichEditOle) return;
    TComRef<IDataObject> data(new TImageDataObject(Graphic));
    data->AddRef();
    TComRef<IOleClientSite> site;
    CheckOle(FRichEditOle->GetClientSite(site.put()), "GetClientSite");
    TComRef<IStorage> storage;
    CheckOle(FOleCallback->GetNewStorage(storage.put()), "GetNewStorage");
    TComRef<IOleObject> object;
    FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    CheckOle(OleCreateStaticFromData(data.get(), kIID_IOleObject, OLERENDER_FORMAT, &format, site.get(),
                                     storage.get(), reinterpret_cast<void**>(object.put())),
             "OleCreateStaticFromData");
    OleSetContainedObject(object.get(), TRUE);
    REOBJECT record{};
    record.cbStruct = sizeof(REOBJECT);
    record.cp = REO_CP_SELECTION;
    object->GetUserClassID(&record.clsid);
    record.poleobj = object.get();
    record.pstg = storage.get();
    record.polesite = site.get();
    record.dvaspect = DVASPECT_CONTENT;
    record.dwFlags = Resizable ? REO_RESIZABLE : 0;
    const CHARRANGE selection = GetSelection();
    CheckOle(FRichEditOle->InsertObject(&record), "InsertObject");
    SetSelection(selection.cpMin, selection.cpMin + 1, true);
    FRichEditOle->SetDvaspect(REO_IOB_SELECTION, record.dvaspect);
}

bool TMvCustomRichEdit::InsertObjectDialog() {
    if (!HandleAllocated() || !FRichEditOle) return false;
    TComRef<IOleClientSite> site;
    CheckOle(FRichEditOle->GetClientSite(site.put()), "GetClientSite");
    TComRef<IStorage> storage;
    CheckOle(FOleCallback->GetNewStorage(storage.put()), "GetNewStorage");
    char fileName[256] = {};
    TComRef<IOleObject> object;
    OLEUIINSERTOBJECTA dialog{};
    dialog.cbStruct = sizeof dialog;
    dialog.dwFlags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT | IOF_CREATELINKOBJECT |
                     IOF_VERIFYSERVERSEXIST;
    dialog.hWndOwner = Handle();
    dialog.lpszFile = fileName;
    dialog.cchFile = sizeof fileName;
    dialog.iid = kIID_IOleObject;
    dialog.oleRender = OLERENDER_DRAW;
    dialog.lpIOleClientSite = site.get();
    dialog.lpIStorage = storage.get();
    dialog.ppvObj = reinterpret_cast<void**>(object.put());
    const UINT result = OleUIInsertObjectA(&dialog);
    // The dialog may hand back an icon picture whatever the answer.
    struct TIconPicture {
        HGLOBAL Block;
        ~TIconPicture() { FreeMetafilePicture(Block); }
    } icon{dialog.hMetaPict};
    if (result != OLEUI_OK || !object) return false;
    const bool createNew = (dialog.dwFlags & IOF_SELECTCREATENEW) != 0;
    REOBJECT record{};
    record.cbStruct = sizeof(REOBJECT);
    record.cp = REO_CP_SELECTION;
    record.clsid = dialog.clsid;
    record.poleobj = object.get();
    record.pstg = storage.get();
    record.polesite = site.get();
    record.dvaspect = DVASPECT_CONTENT;
    record.dwFlags = REO_RESIZABLE | (createNew ? REO_BLANK : 0);
    if (dialog.dwFlags & IOF_CHECKDISPLAYASICON)
        record.dvaspect = SwitchAspect(object.get(), DVASPECT_CONTENT, true, dialog.hMetaPict);
    const CHARRANGE selection = GetSelection();
    CheckOle(FRichEditOle->InsertObject(&record), "InsertObject");
    SetSelection(selection.cpMin, selection.cpMin + 1, true);
    FRichEditOle->SetDvaspect(REO_IOB_SELECTION, record.dvaspect);
    if (createNew) {
        RECT client = ClientRect();
        object->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), 0, Handle(), &client);
    }
    return true;
}

// ---- the selected object ------------------------------------------------------------

bool TMvCustomRichEdit::SelectedObject(REOBJECT& Record) {
    Record = REOBJECT{};
    Record.cbStruct = sizeof(REOBJECT);
    if (!HandleAllocated() || !FRichEditOle) return false;
    if (!(SelectionType() == TMvSelectionType{stObject})) return false;
    if (FAILED(FRichEditOle->GetObject(REO_IOB_SELECTION, &Record, REO_GETOBJ_POLEOBJ | REO_GETOBJ_POLESITE)))
        return false;
    if (!Record.poleobj || (Record.dwFlags & REO_INPLACEACTIVE)) {
        ReleaseObjectRecord(Record);
        return false;
    }
    return true;
}

void TMvCustomRichEdit::ReleaseObjectRecord(REOBJECT& Record) {
    if (Record.poleobj) Record.poleobj->Release();
    if (Record.polesite) Record.polesite->Release();
    if (Record.pstg) Record.pstg->Release();
    Record.poleobj = nullptr;
    Record.polesite = nullptr;
    Record.pstg = nullptr;
}

void TMvCustomRichEdit::RunVerb(LONG Verb) {
    REOBJECT record;
    if (!SelectedObject(record)) return;
    struct TRelease {
        TMvCustomRichEdit* Self;
        REOBJECT& Record;
        ~TRelease() { Self->ReleaseObjectRecord(Record); }
    } release{this, record};
    RECT client = ClientRect();
    CheckOle(record.poleobj->DoVerb(Verb, nullptr, record.polesite, 0, Handle(), &client), "DoVerb");
}

bool TMvCustomRichEdit::ObjectPropertiesDialog() {
    REOBJECT record;
    if (!SelectedObject(record)) return false;
    struct TRelease {
        TMvCustomRichEdit* Self;
        REOBJECT& Record;
        ~TRelease() { Self->ReleaseObjectRecord(Record); }
    } release{this, record};
    TComRef<IOleUIObjInfoA> info(new TOleUIObjInfo(*this, record));
    // A linked object also gets the link page, over its IOleLink.
    TComRef<IOleLink> oleLink;
    if (record.dwFlags & REO_LINK)
        record.poleobj->QueryInterface(IID_IOleLink, reinterpret_cast<void**>(oleLink.put()));
    TComRef<TOleUILinkInfo> linkInfo(oleLink ? new TOleUILinkInfo(*this, record, oleLink.get()) : nullptr);
    const std::string caption = FullTypeName(record.poleobj) + " Properties";

    OLEUIGNRLPROPSA general{};
    general.cbStruct = sizeof general;
    OLEUIVIEWPROPSA view{};
    view.cbStruct = sizeof view;
    view.dwFlags = VPF_DISABLESCALE;
    OLEUILINKPROPSA link{};
    link.cbStruct = sizeof link;
    link.dwFlags = ELF_DISABLECANCELLINK;
    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.hwndParent = Handle();
    sheet.hInstance = GetModuleHandleA(nullptr);
    sheet.pszCaption = caption.c_str();
    OLEUIOBJECTPROPSA props{};
    props.cbStruct = sizeof props;
    props.dwFlags = OPF_DISABLECONVERT | (linkInfo ? OPF_OBJECTISLINK : 0);
    props.lpPS = &sheet;
    props.dwObject = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(record.poleobj));
    props.lpObjInfo = info.get();
    props.dwLink = linkInfo ? linkInfo->LinkId() : 0;
    props.lpLinkInfo = linkInfo.get();
    props.lpGP = &general;
    props.lpVP = &view;
    props.lpLP = &link;
    // A platform without the dialog answers with an error code: that is a plain False.
    return OleUIObjectPropertiesA(&props) == OLEUI_OK;
}

// ---- the verb menu -------------------------------------------------------------------

void TMvCustomRichEdit::FreeVerbMenu() {
    // Items lent to the control's own popup menu go back out of it first
    // (unless that menu is gone, and they with it).
    if (FLentTo && FLentTo == TMvExCustomMemo::GetPopupMenu())
        for (TMenuItem* item : FLentVerbItems)
            delete item;
    FLentTo = nullptr;
    FLentVerbItems.clear();
    FVerbMenu.reset();
}

TPopupMenu* TMvCustomRichEdit::BuildVerbMenu(TPopupMenu* Own) {
    REOBJECT record;
    if (!SelectedObject(record)) return nullptr;
    struct TRelease {
        TMvCustomRichEdit* Self;
        REOBJECT& Record;
        ~TRelease() { Self->ReleaseObjectRecord(Record); }
    } release{this, record};
    const std::string typeName = FullTypeName(record.poleobj);
    FVerbMenu = std::make_unique<TPopupMenu>(nullptr);
    TComRef<IEnumOLEVERB> verbs;
    if (SUCCEEDED(record.poleobj->EnumVerbs(verbs.put())) && verbs) {
        OLEVERB verb{};
        while (verbs->Next(1, &verb, nullptr) == S_OK) {
            const bool usable = verb.lVerb >= 0 && (verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU);
            std::string name;
            if (verb.lpszVerbName) {
                char buffer[128] = {};
                WideCharToMultiByte(CP_ACP, 0, verb.lpszVerbName, -1, buffer, sizeof buffer - 1, nullptr,
                                    nullptr);
                name = buffer;
                CoTaskMemFree(verb.lpszVerbName);
            }
            if (!usable) break;
            auto* item = new TMenuItem(FVerbMenu.get());
            item->SetCaption(name);
            item->SetTag(verb.lVerb);
            item->SetDefault(verb.lVerb == 0);
            const LONG number = verb.lVerb;
            item->OnClick = [this, number](TObject*) { RunVerb(number); };
            FVerbMenu->Items().Add(item);
        }
    }
    const bool hasVerbs = FVerbMenu->Items().Count() > 0;
    auto properties = [this, &typeName](TComponent* owner) {
        auto* item = new TMenuItem(owner);
        item->SetCaption(typeName + " Properties");
        item->OnClick = [this](TObject*) { ObjectPropertiesDialog(); };
        return item;
    };
    if (Own && Own->Items().Count() > 0) {
        FLentTo = Own;
        auto* line = new TMenuItem(nullptr);
        line->SetCaption("-");
        Own->Items().Add(line);
        FLentVerbItems.push_back(line);
        TMenuItem* props = properties(nullptr);
        Own->Items().Add(props);
        FLentVerbItems.push_back(props);
        if (hasVerbs) {
            auto* sub = new TMenuItem(nullptr);
            sub->SetCaption(typeName);
            while (FVerbMenu->Items().Count() > 0) {
                TMenuItem* item = FVerbMenu->Items().Items(0);
                FVerbMenu->Items().Remove(item);
                sub->Add(item);
            }
            Own->Items().Add(sub);
            FLentVerbItems.push_back(sub);
        }
        return Own;
    }
    if (!hasVerbs) return nullptr; // the caller falls back to the edit menu
    FVerbMenu->Items().Insert(0, properties(FVerbMenu.get()));
    return FVerbMenu.get();
}
