// The data provider framework's interfaces: a provider publishes a tree of items,
// each item has an ID and optional facets (text, image, sub-items, renderer,
// management) aggregated into it; consumers attach to a provider and one of its
// contexts. Reference counting goes through IMvUnknown, our own small interface.
#pragma once

#include "controls/MvGuid.h"
#include "controls/MvLibException.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

using TMvDataItemID = std::string;
using TMvDataContextID = std::string;

constexpr long kMvNoInterface = static_cast<long>(0x80004002); // E_NOINTERFACE
constexpr long kMvOk = 0;

class EMvLibDataProvider : public EMvLibException {
public:
    using EMvLibException::EMvLibException;
};
class EMvLibDataConsumer : public EMvLibDataProvider {
public:
    using EMvLibDataProvider::EMvLibDataProvider;
};
class EMvLibDataItems : public EMvLibDataProvider {
public:
    using EMvLibDataProvider::EMvLibDataProvider;
};
class EMvLibDataContexts : public EMvLibDataProvider {
public:
    using EMvLibDataProvider::EMvLibDataProvider;
};

// Why a structure changes; announced before (Changing) and after (Changed).
enum TMvDataProviderChangeReason : int {
    pcrAdd = 0,           // an item is added
    pcrDelete = 1,        // an item is deleted
    pcrUpdate = 2,        // an item's content changed
    pcrListUpdate = 3,    // a list changed as a whole
    pcrConsumerView = 4,  // a consumer's own view setting (the view list's indent)
    pcrContextAdd = 5,    // a context is added
    pcrContextDelete = 6, // a context is deleted
    pcrContextName = 7,   // a context was renamed
    pcrFullUpdate = 8,    // everything may have changed
};

// ---- reference counting ----

class IMvUnknown {
public:
    virtual long QueryInterface(const TMvGUID& IID, void** Obj) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;

protected:
    ~IMvUnknown() = default;
};

// Each interface names its identity.
#define MV_INTERFACE_ID(Text)                                                                                \
    static const TMvGUID& IID() {                                                                            \
        static const TMvGUID id = TMvGUID::FromString(Text);                                                 \
        return id;                                                                                           \
    }

// A counted reference to an interface (or to a class that implements IMvUnknown).
template <class T> class TMvIntf {
public:
    TMvIntf() = default;
    TMvIntf(std::nullptr_t) {}
    explicit TMvIntf(T* P, bool AddReference = true) : FPtr(P) {
        if (FPtr && AddReference) FPtr->AddRef();
    }
    TMvIntf(const TMvIntf& O) : FPtr(O.FPtr) {
        if (FPtr) FPtr->AddRef();
    }
    TMvIntf(TMvIntf&& O) noexcept : FPtr(std::exchange(O.FPtr, nullptr)) {}
    template <class U> TMvIntf(const TMvIntf<U>& O) : FPtr(O.Get()) {
        if (FPtr) FPtr->AddRef();
    }
    ~TMvIntf() { Reset(); }
    TMvIntf& operator=(TMvIntf O) noexcept {
        std::swap(FPtr, O.FPtr);
        return *this;
    }
    void Reset() {
        if (T* P = std::exchange(FPtr, nullptr)) P->Release();
    }
    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    T& operator*() const { return *FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    bool operator==(const TMvIntf& O) const { return FPtr == O.FPtr; }

private:
    T* FPtr = nullptr;
};

// The interface I of Obj, or an empty reference.
template <class I, class T> TMvIntf<I> MvQuery(T* Obj) {
    if (!Obj) return nullptr;
    void* P = nullptr;
    if (Obj->QueryInterface(I::IID(), &P) != kMvOk || !P) return nullptr;
    return TMvIntf<I>(static_cast<I*>(P), false); // QueryInterface counted it
}
template <class I, class T> TMvIntf<I> MvQuery(const TMvIntf<T>& Obj) {
    return MvQuery<I>(Obj.Get());
}

class IMvDataItem;
class IMvDataItems;
class IMvDataProvider;
class IMvDataContexts;
class IMvDataContext;
class TMvBaseDataItem;
class TComponent;

// ---- items ----

class IMvDataItems : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{93747660-24FB-4294-BF4E-C7F88EA23983}")
    virtual int GetCount() = 0;
    virtual TMvIntf<IMvDataItem> GetItem(int Index) = 0;
    virtual IMvDataProvider* GetProvider() = 0;
    virtual IMvDataItem* GetParent() = 0;
    virtual int IndexOf(IMvDataItem* Item) = 0;
    virtual TMvIntf<IMvDataItem> FindByID(const TMvDataItemID& ID) = 0;

protected:
    ~IMvDataItems() = default;
};

class IMvDataItem : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{C965CF64-A1F2-44A4-B856-3A4EC6B693E1}")
    virtual IMvDataItems* GetItems() = 0; // the list that holds it
    virtual int GetIndex() = 0;
    virtual TMvDataItemID GetID() = 0;
    virtual bool IsDeletable() = 0;

protected:
    ~IMvDataItem() = default;
};

class IMvDataItemText : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{94FA56D9-281B-4252-B46D-15E7BADA70DA}")
    virtual std::string GetCaption() = 0;
    virtual void SetCaption(const std::string& Value) = 0;
    virtual bool Editable() = 0;

protected:
    ~IMvDataItemText() = default;
};

enum class TMvImageAlignment { taLeftJustify, taRightJustify, taCenter };

class IMvDataItemImage : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{6425D73A-90CF-42ED-9AB2-63125A4C0774}")
    virtual TMvImageAlignment GetAlignment() = 0;
    virtual void SetAlignment(TMvImageAlignment Value) = 0;
    virtual int GetImageIndex() = 0;
    virtual void SetImageIndex(int Value) = 0;
    virtual int GetSelectedIndex() = 0;
    virtual void SetSelectedIndex(int Value) = 0;

protected:
    ~IMvDataItemImage() = default;
};

// An item's display state: 0 keeps the item out of views (a view list leaves out its
// row and the rows below it); any other value shows it. An item says nothing by itself
// unless one of its facets answers one of these two, asked in this order.
constexpr int kMvDefaultDisplayState = 3;

class IMvDataItemState : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{09EBDED8-502E-4C2E-9842-312850FF3358}")
    virtual int GetDisplayState() = 0;

protected:
    ~IMvDataItemState() = default;
};

class IMvDataItemStateEx : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{5BD81E0B-DAD2-4560-943A-205E0FF2A97F}")
    virtual int GetDisplayStateEx() = 0;

protected:
    ~IMvDataItemStateEx() = default;
};

class IMvDataIDSearch : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{0F5BDC79-893B-45C9-94E9-C2B2FD4ABFE7}")
    // Finds an item by ID in the list and, with Recursive, in the child lists of
    // its items, depth first, items taken from the last to the first.
    virtual TMvIntf<IMvDataItem> FindByIDEx(const TMvDataItemID& ID, bool Recursive) = 0;

protected:
    ~IMvDataIDSearch() = default;
};

// Where an item is drawn: a rectangle and a canvas that draws and measures text.
struct TMvRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TMvExtent {
    int cx = 0, cy = 0;
};
class IMvTextCanvas {
public:
    virtual ~IMvTextCanvas() = default;
    virtual void TextRect(const TMvRect& R, int X, int Y, const std::string& Text) = 0;
    virtual TMvExtent TextExtent(const std::string& Text) = 0;
};

class IMvDataItemsRenderer : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{4EA490F4-7CCF-44A1-AA26-5320CDE9FAFC}")
    virtual void DrawItemByIndex(IMvTextCanvas& Canvas, TMvRect R, int Index) = 0;
    virtual void DrawItem(IMvTextCanvas& Canvas, TMvRect R, IMvDataItem* Item) = 0;
    virtual TMvExtent MeasureItemByIndex(IMvTextCanvas& Canvas, int Index) = 0;
    virtual TMvExtent MeasureItem(IMvTextCanvas& Canvas, IMvDataItem* Item) = 0;
    virtual TMvExtent AvgItemSize(IMvTextCanvas& Canvas) = 0;

protected:
    ~IMvDataItemsRenderer() = default;
};

// An item that draws and measures itself.
class IMvDataItemRenderer : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{9E877A0D-01C2-4204-AA74-84D6516BBEB9}")
    virtual void Draw(IMvTextCanvas& Canvas, TMvRect R) = 0;
    virtual TMvExtent Measure(IMvTextCanvas& Canvas) = 0;

protected:
    ~IMvDataItemRenderer() = default;
};

class IMvDataItemsManagement : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{76611CC0-9DCD-4394-8B6E-1ADEF1942BC3}")
    virtual int Add(const TMvIntf<IMvDataItem>& Item) = 0;
    virtual TMvIntf<IMvDataItem> New() = 0; // abstract in the framework's own classes
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Remove(IMvDataItem* Item) = 0;

protected:
    ~IMvDataItemsManagement() = default;
};

class IMvDataItemsImages : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{735755A6-AD11-460C-B985-46464D73EDBC}")
    virtual TComponent* GetDisabledImages() = 0;
    virtual void SetDisabledImages(TComponent* Value) = 0;
    virtual TComponent* GetHotImages() = 0;
    virtual void SetHotImages(TComponent* Value) = 0;
    virtual TComponent* GetImages() = 0;
    virtual void SetImages(TComponent* Value) = 0;

protected:
    ~IMvDataItemsImages() = default;
};

// ---- contexts ----

class IMvDataContexts : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{BA5DC787-29C6-40FA-9542-F0A1E92A2B30}")
    virtual IMvDataProvider* GetProvider() = 0;
    virtual IMvDataContexts* GetAncestor() = 0;
    virtual int GetCount() = 0;
    virtual TMvIntf<IMvDataContext> GetContext(int Index) = 0;
    virtual TMvIntf<IMvDataContext> GetContextByName(const std::string& Name) = 0;

protected:
    ~IMvDataContexts() = default;
};

class IMvDataContext : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{F226D92A-3493-4EF8-9CE6-037357EB0CEA}")
    virtual void ContextNotice(int Reason) = 0; // ignored by the framework's classes
    virtual IMvDataContexts* GetContexts() = 0;
    virtual std::string GetName() = 0;
    virtual bool IsDeletable() = 0;

protected:
    ~IMvDataContext() = default;
};

class IMvManagedDataContext : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{530367D8-601C-4E36-B5F0-357160497C50}")
    virtual void SetName(const std::string& Value) = 0;

protected:
    ~IMvManagedDataContext() = default;
};

// ---- the provider and its listeners ----

class IMvDataChangeNotify {
public:
    virtual ~IMvDataChangeNotify() = default;
    virtual void DataProviderChanging(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) = 0;
    virtual void DataProviderChanged(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) = 0;
};

class IMvDataProvider : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{62A7A17D-1E21-427E-861D-C92FBB9B09A6}")
    virtual IMvDataItems* GetItems() = 0;
    virtual IMvDataContexts* GetContexts() = 0; // nullptr: no contexts
    virtual void Changing(int Reason, IMvUnknown* Source) = 0;
    virtual void Changed(int Reason, IMvUnknown* Source) = 0;
    virtual void RegisterChangeNotify(IMvDataChangeNotify* Notify) = 0;
    virtual void UnregisterChangeNotify(IMvDataChangeNotify* Notify) = 0;

protected:
    ~IMvDataProvider() = default;
};

// ---- consumers ----

class IMvDataConsumer : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{B2F18D03-F615-4AA2-A51A-74D330C05C0E}")
    virtual TComponent* VCLComponent() = 0;
    virtual bool AttributeApplies(const std::string& ClassName) = 0;

protected:
    ~IMvDataConsumer() = default;
};

class IMvDataConsumerItemSelect : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{F11554AE-263D-4C04-BCDB-79F04DE89609}")
    virtual TMvDataItemID GetItem() = 0;
    virtual void SetItem(const TMvDataItemID& Value) = 0;

protected:
    ~IMvDataConsumerItemSelect() = default;
};

// A client of a consumer (the control it is embedded in, say), told of the consumer's changes.
class IMvDataConsumerClientNotify {
public:
    virtual ~IMvDataConsumerClientNotify() = default;
    virtual void ConsumerChanging(IMvDataConsumer* Consumer, int Reason) = 0;
    virtual void ConsumerChanged(IMvDataConsumer* Consumer, int Reason) = 0;
};

// The consumer's side of the provider protocol, in three services. The first: its clients'
// registration and removal, and the notice that its provider is about to change.
class IMvDataConsumerClients : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{D1AAAFDF-BEB1-44DB-B8D8-A60080CEF3C7}")
    virtual void ProviderChanging() = 0;
    virtual void RegisterClientNotify(IMvDataConsumerClientNotify* Client) = 0;
    virtual void UnregisterClientNotify(IMvDataConsumerClientNotify* Client) = 0;

protected:
    ~IMvDataConsumerClients() = default;
};

// The second: what the consumer registers with its provider for the provider's notices.
class IMvDataConsumerProviderLink : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{1F01D2E5-2ACB-4B84-AFE6-67E563FB470B}")
    virtual IMvDataChangeNotify* ProviderNotify() = 0;

protected:
    ~IMvDataConsumerProviderLink() = default;
};

// The third: the consumer's own change notices, passed on to each of its extensions and
// clients, and the request to show the consumer again.
class IMvDataConsumerChanges : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{5B9D1847-6D35-4D9C-8BC2-2054997AB120}")
    virtual void NotifyChanging(int Reason) = 0;
    virtual void NotifyChanged(int Reason) = 0;
    virtual void Invalidate() = 0;

protected:
    ~IMvDataConsumerChanges() = default;
};

// The flattened view of the item tree a consumer's view list keeps (see
// TMvCustomDataConsumerViewList for the rows and their flags).
class IMvDataConsumerViewList : public virtual IMvUnknown {
public:
    MV_INTERFACE_ID("{F3A78F68-D998-4877-8C73-1E0D2987808D}")
    virtual int GetRowCount() = 0;
    virtual TMvDataItemID GetRowItemID(int Index) = 0;
    virtual uint32_t GetRowFlags(int Index) = 0;
    virtual void ToggleRow(int Index) = 0;
    virtual void RebuildRows() = 0;
    virtual int RowOfID(const TMvDataItemID& ID) = 0;

protected:
    ~IMvDataConsumerViewList() = default;
};

// Where new item IDs come from; the program puts the platform's GUID maker here.
// A source returns false when it could not make one.
using TMvGuidSource = bool (*)(TMvGUID& Guid);
TMvGuidSource SetMvGuidSource(TMvGuidSource Source);
// A new item ID: 32 hexadecimal digits, two per byte of a new GUID in byte order.
// Raises when the source fails or when it repeats an ID that a live item was given.
TMvDataItemID NewMvDataItemID();
// Gives an ID from NewMvDataItemID back when its item goes.
void ReleaseMvDataItemID(const TMvDataItemID& ID);
