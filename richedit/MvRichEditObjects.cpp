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

// The picture drawn once into 24-bit pixels on white (a transparent picture
// or an icon keeps its shape on the page's colour). Drawing the graphic itself
// into a metafile would record a block transfer from a memory DC, which some
// metafile players leave out; device-independent bits play back everywhere.
std::unique_ptr<TBitmap> TImageDataObject::RenderPixels() {
    const int width = graphic_.Width(), height = graphic_.Height();
    if (width <= 0 || height <= 0) return nullptr;
    auto pixels = std::make_unique<TBitmap>(width, height, TPixelFormat::pf24bit);
    if (pixels->Empty()) return nullptr;
    const RECT target{0, 0, width, height};
    pixels->Canvas().Brush().SetColor(clWhite);
    pixels->Canvas().FillRect(target);
    if (auto* icon = dynamic_cast<TIcon*>(&graphic_))
        DrawIconEx(pixels->Canvas().Handle(), 0, 0, icon->Handle(), width, height, 0, nullptr, DI_NORMAL);
    else
        graphic_.Draw(pixels->Canvas(), target);
    return pixels;
}

HGLOBAL TImageDataObject::PackedDib() {
    std::unique_ptr<TBitmap> pixels = RenderPixels();
    if (!pixels) return nullptr;
    const int height = pixels->Height();
    const size_t stride = static_cast<size_t>(pixels->BytesPerLine());
    const size_t image = stride * static_cast<size_t>(height);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + image);
    auto* header = block ? static_cast<BITMAPINFOHEADER*>(GlobalLock(block)) : nullptr;
    if (!header) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof *header;
    header->biWidth = pixels->Width();
    header->biHeight = height; // bottom-up rows, the form every reader of a packed DIB takes
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(image);
    auto* rows = reinterpret_cast<unsigned char*>(header + 1);
    for (int y = 0; y < height; ++y)
        std::memcpy(rows + stride * static_cast<size_t>(height - 1 - y), pixels->ScanLine(y), stride);
    GlobalUnlock(block);
    return block;
}

HENHMETAFILE TImageDataObject::RecordPicture() {
    HGLOBAL dib = PackedDib();
    if (!dib) return nullptr;
    auto* header = static_cast<BITMAPINFO*>(GlobalLock(dib));
    const int width = header->bmiHeader.biWidth, height = header->bmiHeader.biHeight;
    const SIZE size = HimetricSize(width, height);
    TWindowDC screen(nullptr);
    const RECT frame{0, 0, size.cx, size.cy};
    HDC dc = CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
    HENHMETAFILE emf = nullptr;
    if (dc) {
        StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, &header->bmiColors[0], header,
                      DIB_RGB_COLORS, SRCCOPY);
        emf = CloseEnhMetaFile(dc);
    }
    GlobalUnlock(dib);
    GlobalFree(dib);
    return emf;
}

// An enhanced metafile is what the rich edit writes into its RTF; the old
// metafile picture is offered to those that ask for it, and the bitmap
// (CF_DIB) to presentation caches that cannot draw a metafile.
HRESULT TImageDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    const bool enhanced = (format->tymed & TYMED_ENHMF) && format->cfFormat == CF_ENHMETAFILE;
    const bool picture = (format->tymed & TYMED_MFPICT) && format->cfFormat == CF_METAFILEPICT;
    const bool dib = (format->tymed & TYMED_HGLOBAL) && format->cfFormat == CF_DIB;
    if (!enhanced && !picture && !dib) return DV_E_FORMATETC;
    *medium = STGMEDIUM{};
    if (dib) {
        medium->hGlobal = PackedDib();
        if (!medium->hGlobal) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }
    HENHMETAFILE emf = RecordPicture();
    if (!emf) return E_UNEXPECTED;
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

namespace {

constexpr IID kIID_IViewObject = {0x0000010D, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kIID_IOleCache = {0x0000011E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Whether the object's presentation draws: into one pixel of a memory DC.
bool PresentationDraws(IOleObject* object) {
    TComRef<IViewObject> view;
    if (FAILED(object->QueryInterface(kIID_IViewObject, reinterpret_cast<void**>(view.put()))) || !view)
        return false;
    TMemoryDC dc;
    TBitmap target(1, 1);
    TSelectObject select(dc.Get(), target.Handle());
    const RECTL bounds{0, 0, 1, 1};
    return SUCCEEDED(
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.Get(), &bounds, nullptr, nullptr, 0));
}

// Adds a presentation in Format, taken from Source, to the object's cache.
bool CachePresentation(IOleObject* object, IDataObject& source, CLIPFORMAT format, DWORD tymed) {
    TComRef<IOleCache> cache;
    if (FAILED(object->QueryInterface(kIID_IOleCache, reinterpret_cast<void**>(cache.put()))) || !cache)
        return false;
    FORMATETC want{format, nullptr, DVASPECT_CONTENT, -1, tymed};
    DWORD connection = 0;
    if (FAILED(cache->Cache(&want, 0, &connection))) return false;
    STGMEDIUM medium{};
    if (FAILED(source.GetData(&want, &medium))) return false;
    if (FAILED(cache->SetData(&want, &medium, TRUE))) {
        ReleaseStgMedium(&medium);
        return false;
    }
    return true;
}

} // namespace

// The picture becomes a static metafile object, which Windows draws and which
// the rich edit writes into its RTF as a picture. A presentation cache that
// cannot draw a metafile (Wine's answers OLE_E_BLANK, so the picture was blank
// space) gets the object its own RTF reader makes for a picture instead: a
// plain object caching the metafile (which is saved) and a bitmap (which is
// drawn). The object's size is the picture's own.
IOleObject* TMvCustomRichEdit::CreatePictureObject(IDataObject& Data, IOleClientSite* Site,
                                                   IStorage* Storage) {
    TComRef<IOleObject> object;
    FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    CheckOle(OleCreateStaticFromData(&Data, kIID_IOleObject, OLERENDER_FORMAT, &format, Site, Storage,
                                     reinterpret_cast<void**>(object.put())),
             "OleCreateStaticFromData");
    if (!PresentationDraws(object.get())) {
        TComRef<IOleObject> plain;
        CheckOle(OleCreateDefaultHandler(CLSID_NULL, nullptr, kIID_IOleObject,
                                         reinterpret_cast<void**>(plain.put())),
                 "OleCreateDefaultHandler");
        if (CachePresentation(plain.get(), Data, CF_ENHMETAFILE, TYMED_ENHMF) &&
            CachePresentation(plain.get(), Data, CF_DIB, TYMED_HGLOBAL) && PresentationDraws(plain.get()))
            object = std::move(plain);
    }
    return object.detach();
}

void TMvCustomRichEdit::InsertGraphic(TGraphic& Graphic, bool Resizable) {
    if (!HandleAllocated() || !FRichEditOle) return;
    TComRef<IDataObject> data(new TImageDataObject(Graphic));
    data->AddRef();
    TComRef<IOleClientSite> site;
    CheckOle(FRichEditOle->GetClientSite(site.put()), "GetClientSite");
    TComRef<IStorage> storage;
    CheckOle(FOleCallback->GetNewStorage(storage.put()), "GetNewStorage");
    TComRef<IOleObject> object(CreatePictureObject(*data.get(), site.get(), storage.get()));
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
    record.sizel = TImageDataObject::HimetricSize(Graphic.Width(), Graphic.Height());
    const CHARRANGE selection = GetSelection();
    // This object draws already: the change it makes has no picture to look at.
    if (FObjectCountSeen >= 0) FObjectCountSeen = FRichEditOle->GetObjectCount() + 1;
    CheckOle(FRichEditOle->InsertObject(&record), "InsertObject");
    SetSelection(selection.cpMin, selection.cpMin + 1, true);
    FRichEditOle->SetDvaspect(REO_IOB_SELECTION, record.dvaspect);
}

// Pictures read from RTF are made visible: one whose presentation cannot be
// drawn (a metafile under Wine) gets a bitmap presentation beside it, drawn
// from the metafile, while what is saved stays the metafile; one saved
// without a size (\picwgoal0, as inserted pictures once were) is inserted
// again at its own size. Neither counts as a change of the text.
void TMvCustomRichEdit::MakePicturesDrawable() {
    if (!HandleAllocated() || !FRichEditOle || FMakingPicturesDrawable) return;
    FMakingPicturesDrawable = true;
    struct TDone {
        TMvCustomRichEdit& Edit;
        ~TDone() {
            Edit.FMakingPicturesDrawable = false;
            if (Edit.FRichEditOle) Edit.FObjectCountSeen = Edit.FRichEditOle->GetObjectCount();
        }
    } done{*this};
    const bool wasModified = Modified();
    bool resized = false;
    const LONG count = FRichEditOle->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT record{};
        record.cbStruct = sizeof record;
        if (FAILED(FRichEditOle->GetObject(i, &record, REO_GETOBJ_POLEOBJ))) continue;
        TComRef<IOleObject> object(record.poleobj);
        const bool sizeless = record.sizel.cx == 0 && record.sizel.cy == 0;
        if (!object || (!sizeless && PresentationDraws(object.get()))) continue;
        TComRef<IDataObject> own;
        if (FAILED(object->QueryInterface(kIID_IDataObject, reinterpret_cast<void**>(own.put()))) || !own)
            continue;
        FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
        STGMEDIUM medium{};
        if (FAILED(own->GetData(&format, &medium)) || medium.tymed != TYMED_ENHMF) continue;
        TMetafile picture;
        picture.SetHandle(medium.hEnhMetaFile); // the medium was ours to free; the picture frees it now
        if (picture.Width() <= 0 || picture.Height() <= 0) continue;
        if (sizeless) {
            own.reset();
            object.reset();
            SetSelection(record.cp, record.cp + 1, false);
            SetSelText("");
            InsertGraphic(picture, (record.dwFlags & REO_RESIZABLE) != 0);
            resized = true;
            continue;
        }
        TComRef<IDataObject> data(new TImageDataObject(picture));
        data->AddRef();
        CachePresentation(object.get(), *data.get(), CF_DIB, TYMED_HGLOBAL);
    }
    if (resized) {
        ClearUndo();
        SetModified(wasModified);
    }
}

// A picture that arrives by paste or drop is made as the rich edit's RTF reader
// makes one, which Wine cannot draw: a change that brings or takes objects, and
// any paste, makes the pictures drawable at once.
void TMvCustomRichEdit::Change() {
    if (FRichEditOle && !FMakingPicturesDrawable && FRichEditOle->GetObjectCount() != FObjectCountSeen)
        MakePicturesDrawable();
    TMvExCustomMemo::Change();
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
