// What the Object Properties dialog asks of the rich edit's selected object:
// its names and view (TOleUIObjInfo) and, for a linked object, its link
// (TOleUILinkInfo); plus the object helpers that insertion shares.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oledlg.h>
#include <richedit.h>
#include <richole.h>

#include <string>

class TMvCustomRichEdit;

namespace mv::richedit {

// Raises EOleError naming the call when Hr is a failure.
void CheckOle(HRESULT Hr, const char* What);
// An OLE (wide) string as 8-bit text in the system code page.
std::string FromOleString(LPCOLESTR Text);
// The object's full ("Paintbrush Picture") or short type name; "Object" when
// the full name is not known, "" for an unknown short name.
std::string FullTypeName(IOleObject* Object);
std::string ShortTypeName(IOleObject* Object);
// Switches an object between showing its content and its icon through its
// cache; IconPicture (a METAFILEPICT block the caller keeps) or the class's
// own icon is cached for the icon. Returns the aspect now shown.
DWORD SwitchAspect(IOleObject* Object, DWORD Current, bool ToIcon, HGLOBAL IconPicture);
// A new METAFILEPICT block with the object's icon: the cached icon picture
// when it shows its icon, else its class's icon; nullptr when neither exists.
HGLOBAL IconPictureOf(IOleObject* Object, DWORD Aspect);
// Frees a METAFILEPICT block and its metafile.
void FreeMetafilePicture(HGLOBAL Block);

} // namespace mv::richedit

// The object part of the properties dialog. Reference counted (starts at 1);
// holds a reference on the object and refers to the control, which outlives
// the dialog.
class TOleUIObjInfo final : public IOleUIObjInfoA {
public:
    TOleUIObjInfo(TMvCustomRichEdit& Control, const REOBJECT& Record);
    TOleUIObjInfo(const TOleUIObjInfo&) = delete;
    TOleUIObjInfo& operator=(const TOleUIObjInfo&) = delete;
    virtual ~TOleUIObjInfo();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetObjectInfo(DWORD Object, DWORD* Size, LPSTR* Type, LPSTR* Label,
                                            LPSTR* ShortType, LPSTR* Location) override;
    HRESULT STDMETHODCALLTYPE GetConvertInfo(DWORD Object, CLSID* Clsid, WORD* Format, CLSID* ConvertDefault,
                                             LPCLSID* ExcludeList, UINT* ExcludeCount) override;
    HRESULT STDMETHODCALLTYPE ConvertObject(DWORD Object, REFCLSID NewClsid) override;
    HRESULT STDMETHODCALLTYPE GetViewInfo(DWORD Object, HGLOBAL* Icon, DWORD* Aspect, int* Scale) override;
    HRESULT STDMETHODCALLTYPE SetViewInfo(DWORD Object, HGLOBAL Icon, DWORD Aspect, int Scale,
                                          WINBOOL RelativeToOrig) override;

private:
    TMvCustomRichEdit& FControl;
    REOBJECT FRecord;
    DWORD FAspect;
    ULONG FRefs = 1;
};

// The link part of the properties dialog for a linked object: one link, the
// selected object's. Reference counted (starts at 1); holds references on the
// object, its client site and its IOleLink.
class TOleUILinkInfo final : public IOleUILinkInfoA {
public:
    // Link is the object's IOleLink (a new reference is taken).
    TOleUILinkInfo(TMvCustomRichEdit& Control, const REOBJECT& Record, IOleLink* Link);
    TOleUILinkInfo(const TOleUILinkInfo&) = delete;
    TOleUILinkInfo& operator=(const TOleUILinkInfo&) = delete;
    virtual ~TOleUILinkInfo();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Obj) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    DWORD STDMETHODCALLTYPE GetNextLink(DWORD Link) override;
    HRESULT STDMETHODCALLTYPE SetLinkUpdateOptions(DWORD Link, DWORD UpdateOpt) override;
    HRESULT STDMETHODCALLTYPE GetLinkUpdateOptions(DWORD Link, DWORD* UpdateOpt) override;
    HRESULT STDMETHODCALLTYPE SetLinkSource(DWORD Link, LPSTR DisplayName, ULONG LenFileName, ULONG* Eaten,
                                            WINBOOL ValidateSource) override;
    HRESULT STDMETHODCALLTYPE GetLinkSource(DWORD Link, LPSTR* DisplayName, ULONG* LenFileName,
                                            LPSTR* FullLinkType, LPSTR* ShortLinkType,
                                            WINBOOL* SourceAvailable, WINBOOL* IsSelected) override;
    HRESULT STDMETHODCALLTYPE OpenLinkSource(DWORD Link) override;
    HRESULT STDMETHODCALLTYPE UpdateLink(DWORD Link, WINBOOL ErrorMessage, WINBOOL Reserved) override;
    HRESULT STDMETHODCALLTYPE CancelLink(DWORD Link) override;
    HRESULT STDMETHODCALLTYPE GetLastUpdate(DWORD Link, FILETIME* LastUpdate) override;

    // The link number GetNextLink hands out for the one link.
    DWORD LinkId() const;

private:
    bool IsOurs(DWORD Link) const { return Link != 0 && Link == LinkId(); }
    // Length of the file part of the link's source: the display name of the
    // source moniker's first element when that is a file moniker, else 0.
    ULONG FilePartLength();

    TMvCustomRichEdit& FControl;
    REOBJECT FRecord;
    IOleLink* FLink;
    ULONG FRefs = 1;
};
