// The data provider framework's classes: extensible reference-counted objects with
// aggregated facets, items and item lists, contexts, consumers and the view list.
// Portable: drawing goes through IMvTextCanvas, image lists are plain components.
#pragma once

#include "dataprovider/MvDataProviderIntf.h"
#include "dataprovider/MvDataStream.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TAggregatedPersistent;

// ---- the root: a counted object that extensions add interfaces to ----

class TExtensibleInterfacedPersistent : public TMvStreamable, public virtual IMvUnknown {
public:
    TExtensibleInterfacedPersistent();
    ~TExtensibleInterfacedPersistent() override;

    long QueryInterface(const TMvGUID& IID, void** Obj) override;
    int AddRef() override;
    int Release() override;
    int RefCount() const { return FRefCount.load(); }

    // Runs once construction is done; the count drops from 1 to 0 afterwards.
    virtual void AfterConstruction();

    // Takes over Extension; raises when one of its class is already there.
    TAggregatedPersistent* AddExtension(std::unique_ptr<TAggregatedPersistent> Extension);
    // Frees the extension of that class; false when there is none.
    bool RemoveExtension(const std::string& ClassName);
    TAggregatedPersistent* FindExtension(const std::string& ClassName) const;
    template <class T> T* Extension() const {
        for (const auto& E : FExtensions)
            if (auto* P = dynamic_cast<T*>(E.get())) return P;
        return nullptr;
    }
    int ExtensionCount() const { return static_cast<int>(FExtensions.size()); }
    TAggregatedPersistent* Extensions(int Index) const {
        return FExtensions.at(static_cast<size_t>(Index)).get();
    }

    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

protected:
    // The object's own interfaces (extensions are asked by QueryInterface).
    virtual bool GetInterface(const TMvGUID& IID, void** Obj);
    void WriteExtensions(TMvDataWriter& Writer);
    void ReadExtensions(TMvDataReader& Reader);

private:
    std::atomic<int> FRefCount{1};
    std::vector<std::unique_ptr<TAggregatedPersistent>> FExtensions;
};

// Creates an object of a framework class and hands out the first reference.
template <class T, class... A> TMvIntf<T> MvNew(A&&... Args) {
    T* P = new T(std::forward<A>(Args)...);
    P->AfterConstruction();
    return TMvIntf<T>(P);
}

// An extension: its reference counting and interface queries go to its controller.
class TAggregatedPersistent : public TMvStreamable, public virtual IMvUnknown {
public:
    explicit TAggregatedPersistent(TExtensibleInterfacedPersistent* Controller) : FController(Controller) {}
    long QueryInterface(const TMvGUID& IID, void** Obj) override {
        return FController->QueryInterface(IID, Obj);
    }
    int AddRef() override { return FController->AddRef(); }
    int Release() override { return FController->Release(); }
    TExtensibleInterfacedPersistent* Controller() const { return FController; }
    // The extension's own interfaces.
    virtual bool GetInterface(const TMvGUID& IID, void** Obj) {
        (void)IID;
        (void)Obj;
        return false;
    }
    // Whose count an interface handed out by GetInterface uses: the controller's,
    // unless the extension hands out another object's interface.
    virtual IMvUnknown* InterfaceOwner(const TMvGUID& IID) {
        (void)IID;
        return FController;
    }

private:
    TExtensibleInterfacedPersistent* FController; // not owned: the controller owns this
};

// An extension that is streamed with its controller; the base of every facet.
class TAggregatedPersistentEx : public TAggregatedPersistent {
public:
    using TAggregatedPersistent::TAggregatedPersistent;
};

// A facet that answers one interface: the interface for its own IID, the base's answer for
// any other, and the controller's count and queries for all.
template <class Base, class Intf> class TMvFacet : public Base, public Intf {
public:
    using Base::Base;
    bool GetInterface(const TMvGUID& IID, void** Obj) override {
        if (!SameGUID(IID, Intf::IID())) return Base::GetInterface(IID, Obj);
        *Obj = static_cast<Intf*>(this);
        return true;
    }
    long QueryInterface(const TMvGUID& IID, void** Obj) override {
        return TAggregatedPersistent::QueryInterface(IID, Obj);
    }
    int AddRef() override { return TAggregatedPersistent::AddRef(); }
    int Release() override { return TAggregatedPersistent::Release(); }
};

class TMvBaseDataItems;

class TMvDataItemAggregatedObject : public TAggregatedPersistentEx {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    // The item this facet belongs to.
    IMvDataItem* Item() const;
};

class TMvDataItemsAggregatedObject : public TAggregatedPersistentEx {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    TMvBaseDataItems* Items() const;
};

// ---- items ----

class TMvBaseDataItem : public TExtensibleInterfacedPersistent, public IMvDataItem {
public:
    TMvBaseDataItem();
    ~TMvBaseDataItem() override;
    std::string ClassName() const override { return "TMvBaseDataItem"; }

    IMvDataItems* GetItems() override { return FItems; }
    int GetIndex() override;
    TMvDataItemID GetID() override { return FID; }
    bool IsDeletable() override { return true; }

    // Set by the list that takes the item (nullptr when it lets go).
    void SetOwnerList(IMvDataItems* Items) { FItems = Items; }
    // The child list, made on demand through the sub-items facet.
    TMvBaseDataItems* SubItems(bool Create);

    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;

private:
    TMvDataItemID FID;
    TMvDataItemID FIssuedID;        // the ID it was made with, given back when it goes
    IMvDataItems* FItems = nullptr; // the list that holds the item: not owned
};

class TMvBaseDataItemTextImpl : public TMvFacet<TMvDataItemAggregatedObject, IMvDataItemText> {
public:
    using TMvFacet::TMvFacet;
    std::string ClassName() const override { return "TMvBaseDataItemTextImpl"; }
    std::string GetCaption() override { return FCaption; }
    void SetCaption(const std::string& Value) override;
    bool Editable() override { return true; }

protected:
    std::string FCaption;
};

class TMvDataItemTextImpl : public TMvBaseDataItemTextImpl {
public:
    using TMvBaseDataItemTextImpl::TMvBaseDataItemTextImpl;
    std::string ClassName() const override { return "TMvDataItemTextImpl"; }
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;
};

class TMvBaseDataItemImageImpl : public TMvFacet<TMvDataItemAggregatedObject, IMvDataItemImage> {
public:
    using TMvFacet::TMvFacet;
    std::string ClassName() const override { return "TMvBaseDataItemImageImpl"; }
    TMvImageAlignment GetAlignment() override { return FAlignment; }
    void SetAlignment(TMvImageAlignment Value) override;
    int GetImageIndex() override { return FImageIndex; }
    void SetImageIndex(int Value) override;
    int GetSelectedIndex() override { return FSelectedIndex; }
    void SetSelectedIndex(int Value) override;

protected:
    void Changed();
    TMvImageAlignment FAlignment = TMvImageAlignment::taLeftJustify;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
};

class TMvDataItemImageImpl : public TMvBaseDataItemImageImpl {
public:
    using TMvBaseDataItemImageImpl::TMvBaseDataItemImageImpl;
    std::string ClassName() const override { return "TMvDataItemImageImpl"; }
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;
};

// The display state of an item: the first of its state interfaces that answers, else
// kMvDefaultDisplayState.
int MvItemDisplayState(IMvDataItem* Item);

// A facet that keeps an item's display state (streamed as "State" when not the default);
// a change is announced as an update of the item.
class TMvDataItemStateImpl : public TMvFacet<TMvDataItemAggregatedObject, IMvDataItemState> {
public:
    using TMvFacet::TMvFacet;
    std::string ClassName() const override { return "TMvDataItemStateImpl"; }
    int GetDisplayState() override { return FState; }
    void SetDisplayState(int Value);
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

private:
    int FState = kMvDefaultDisplayState;
};

// Gives an item a child list.
class TMvBaseDataItemSubItems : public TMvDataItemAggregatedObject {
public:
    explicit TMvBaseDataItemSubItems(TExtensibleInterfacedPersistent* Controller);
    ~TMvBaseDataItemSubItems() override;
    std::string ClassName() const override { return "TMvBaseDataItemSubItems"; }
    bool GetInterface(const TMvGUID& IID, void** Obj) override;
    IMvUnknown* InterfaceOwner(const TMvGUID& IID) override;
    TMvBaseDataItems* List() const { return FList.Get(); }
    void SetList(TMvIntf<TMvBaseDataItems> List);

private:
    TMvIntf<TMvBaseDataItems> FList;
};

// ---- item lists ----

class TMvBaseDataItems : public TExtensibleInterfacedPersistent, public IMvDataItems, public IMvDataIDSearch {
public:
    TMvBaseDataItems(IMvDataProvider* Provider, IMvDataItem* Parent) : FProvider(Provider), FParent(Parent) {}
    IMvDataProvider* GetProvider() override;
    IMvDataItem* GetParent() override { return FParent; }
    void SetParent(IMvDataItem* Parent) { FParent = Parent; }
    void SetProvider(IMvDataProvider* Provider) { FProvider = Provider; }
    int IndexOf(IMvDataItem* Item) override;
    TMvIntf<IMvDataItem> FindByID(const TMvDataItemID& ID) override { return FindByIDEx(ID, false); }
    TMvIntf<IMvDataItem> FindByIDEx(const TMvDataItemID& ID, bool Recursive) override;

    IMvDataItems* AsItems() { return this; }
    // Announces a change to the provider (nothing without one).
    void Changing(int Reason, IMvUnknown* Source);
    void Changed(int Reason, IMvUnknown* Source);

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;

private:
    IMvDataProvider* FProvider; // not owned
    IMvDataItem* FParent;       // not owned: the item whose child list this is
};

class TMvDataItemsList : public TMvBaseDataItems {
public:
    explicit TMvDataItemsList(IMvDataProvider* Provider = nullptr, IMvDataItem* Parent = nullptr);
    ~TMvDataItemsList() override;
    std::string ClassName() const override { return "TMvDataItemsList"; }

    int GetCount() override { return static_cast<int>(FList.size()); }
    TMvIntf<IMvDataItem> GetItem(int Index) override;

    // The list itself, without announcements (the management facet announces).
    int Append(const TMvIntf<IMvDataItem>& Item);
    void ClearItems();
    void DeleteAt(int Index);

    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

private:
    std::vector<TMvIntf<IMvDataItem>> FList;
};

// Draws an item's caption, or says that it has none.
class TMvDP_ProviderBaseRender {
public:
    virtual ~TMvDP_ProviderBaseRender() = default;
    virtual void Draw(IMvTextCanvas& Canvas, const TMvRect& R, IMvDataItem* Item) = 0;
    virtual TMvExtent Measure(IMvTextCanvas& Canvas, IMvDataItem* Item) = 0;
};

class TMvDP_ProviderTextOnlyRender : public TMvDP_ProviderBaseRender {
public:
    void Draw(IMvTextCanvas& Canvas, const TMvRect& R, IMvDataItem* Item) override;
    TMvExtent Measure(IMvTextCanvas& Canvas, IMvDataItem* Item) override;
    static std::string TextOf(IMvDataItem* Item);
};

class TMvBaseDataItemsRenderer : public TMvFacet<TMvDataItemsAggregatedObject, IMvDataItemsRenderer> {
public:
    using TMvFacet::TMvFacet;
    void DrawItemByIndex(IMvTextCanvas& Canvas, TMvRect R, int Index) override;
    void DrawItem(IMvTextCanvas& Canvas, TMvRect R, IMvDataItem* Item) override;
    TMvExtent MeasureItemByIndex(IMvTextCanvas& Canvas, int Index) override;
    TMvExtent MeasureItem(IMvTextCanvas& Canvas, IMvDataItem* Item) override;

protected:
    virtual std::unique_ptr<TMvDP_ProviderBaseRender> MakeRender() = 0;

private:
    TMvIntf<IMvDataItem> CheckedItem(int Index);
};

class TMvCustomDataItemsTextRenderer : public TMvBaseDataItemsRenderer {
public:
    using TMvBaseDataItemsRenderer::TMvBaseDataItemsRenderer;
    std::string ClassName() const override { return "TMvCustomDataItemsTextRenderer"; }
    TMvExtent AvgItemSize(IMvTextCanvas& Canvas) override;

protected:
    std::unique_ptr<TMvDP_ProviderBaseRender> MakeRender() override;
};

class TMvBaseDataItemsManagement : public TMvFacet<TMvDataItemsAggregatedObject, IMvDataItemsManagement> {
public:
    using TMvFacet::TMvFacet;
    TMvIntf<IMvDataItem> New() override;
};

class TMvBaseDataItemsListManagement : public TMvBaseDataItemsManagement {
public:
    using TMvBaseDataItemsManagement::TMvBaseDataItemsManagement;
    std::string ClassName() const override { return "TMvBaseDataItemsListManagement"; }
    int Add(const TMvIntf<IMvDataItem>& Item) override;
    void Clear() override;
    void Delete(int Index) override;
    void Remove(IMvDataItem* Item) override;

private:
    TMvDataItemsList* List() const;
};

class TMvBaseDataItemsImagesImpl : public TMvFacet<TMvDataItemsAggregatedObject, IMvDataItemsImages> {
public:
    using TMvFacet::TMvFacet;
    TComponent* GetDisabledImages() override { return FDisabledImages; }
    void SetDisabledImages(TComponent* Value) override { Replace(FDisabledImages, Value); }
    TComponent* GetHotImages() override { return FHotImages; }
    void SetHotImages(TComponent* Value) override { Replace(FHotImages, Value); }
    TComponent* GetImages() override { return FImages; }
    void SetImages(TComponent* Value) override { Replace(FImages, Value); }

protected:
    void Replace(TComponent*& Slot, TComponent* Value);
    TComponent* FDisabledImages = nullptr; // image lists: not owned
    TComponent* FHotImages = nullptr;
    TComponent* FImages = nullptr;
};

// The image lists are written by component name; reading finds them through the
// resolver (a form's FindComponent in the program).
class TMvCustomDataItemsImages : public TMvBaseDataItemsImagesImpl {
public:
    using TMvBaseDataItemsImagesImpl::TMvBaseDataItemsImagesImpl;
    std::string ClassName() const override { return "TMvCustomDataItemsImages"; }
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;
    static std::function<TComponent*(const std::string&)> Resolver;
};

// ---- contexts ----

class TMvBaseDataContexts : public TExtensibleInterfacedPersistent, public IMvDataContexts {
public:
    explicit TMvBaseDataContexts(IMvDataProvider* Provider, IMvDataContexts* Ancestor = nullptr)
        : FProvider(Provider), FAncestor(Ancestor) {}
    std::string ClassName() const override { return "TMvBaseDataContexts"; }
    IMvDataProvider* GetProvider() override { return FProvider; }
    IMvDataContexts* GetAncestor() override { return FAncestor; }
    int GetCount() override { return static_cast<int>(FContexts.size()); }
    TMvIntf<IMvDataContext> GetContext(int Index) override;
    TMvIntf<IMvDataContext> GetContextByName(const std::string& Name) override;

    void Add(const TMvIntf<IMvDataContext>& Context);
    void Delete(int Index);
    // True when another context than Except has that name.
    bool NameTaken(const std::string& Name, IMvDataContext* Except);

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;

private:
    void Announce(bool After, int Reason, IMvUnknown* Source);
    IMvDataProvider* FProvider; // not owned
    IMvDataContexts* FAncestor; // not owned
    std::vector<TMvIntf<IMvDataContext>> FContexts;
};

class TMvDataContexts : public TMvBaseDataContexts {
public:
    using TMvBaseDataContexts::TMvBaseDataContexts;
    std::string ClassName() const override { return "TMvDataContexts"; }
};

class TMvBaseDataContext : public TExtensibleInterfacedPersistent, public IMvDataContext {
public:
    // Raises when there is no contexts list to belong to.
    TMvBaseDataContext(IMvDataContexts* Contexts, std::string Name);
    std::string ClassName() const override { return "TMvBaseDataContext"; }
    void ContextNotice(int Reason) override { (void)Reason; }
    IMvDataContexts* GetContexts() override { return FContexts; }
    std::string GetName() override { return FName; }
    bool IsDeletable() override { return true; }
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;
    IMvDataContexts* FContexts; // not owned
    std::string FName;
};

class TMvDataContext : public TMvBaseDataContext {
public:
    using TMvBaseDataContext::TMvBaseDataContext;
    std::string ClassName() const override { return "TMvDataContext"; }
};

class TMvManagedDataContext : public TMvDataContext, public IMvManagedDataContext {
public:
    using TMvDataContext::TMvDataContext;
    std::string ClassName() const override { return "TMvManagedDataContext"; }
    void SetName(const std::string& Value) override;

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;
};

class TMvFixedDataContext : public TMvDataContext {
public:
    using TMvDataContext::TMvDataContext;
    std::string ClassName() const override { return "TMvFixedDataContext"; }
    bool IsDeletable() override { return false; }
};

// ---- consumers ----

class TMvDataConsumer;
using TMvDataConsumerChangeEvent = std::function<void(TMvDataConsumer* Sender, int Reason)>;

// Consumer reasons of its own (besides the provider's, which it passes on).
enum TMvDataConsumerReason : int { dcrProviderChange = 0, dcrContextChange = 1 };

class TMvDataConsumerAggregatedObject : public TAggregatedPersistentEx {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    TMvDataConsumer* Consumer() const;
    // Whether the extension still makes sense for the consumer's new provider.
    virtual bool StillApplies() { return true; }
    virtual void ProviderChanging(int Reason, IMvUnknown* Source) {
        (void)Reason;
        (void)Source;
    }
    virtual void ProviderChanged(int Reason, IMvUnknown* Source) {
        (void)Reason;
        (void)Source;
    }
    virtual void ConsumerChanging(int Reason) { (void)Reason; }
    virtual void ConsumerChanged(int Reason) { (void)Reason; }
};

class TMvDataConsumer : public TExtensibleInterfacedPersistent,
                        public IMvDataConsumer,
                        public IMvDataConsumerClients,
                        public IMvDataConsumerProviderLink,
                        public IMvDataConsumerChanges,
                        public IMvDataChangeNotify {
public:
    explicit TMvDataConsumer(TComponent* Owner);
    ~TMvDataConsumer() override;
    std::string ClassName() const override { return "TMvDataConsumer"; }

    TComponent* VCLComponent() override { return FOwner; }
    bool AttributeApplies(const std::string& ClassName) override;

    IMvDataProvider* Provider() const { return FProvider.Get(); }
    void SetProvider(const TMvIntf<IMvDataProvider>& Value);
    const TMvDataContextID& Context() const { return FContext; }
    void SetContext(const TMvDataContextID& Value);
    void SetContextObject(IMvDataContext* Context);
    // While loading, a context name is only stored.
    void SetLoading(bool Value) { FLoading = Value; }
    // The root item list of the provider (nullptr without one).
    IMvDataItems* RootItems();

    // Adds an extension the caller asked for (kept across provider changes).
    TAggregatedPersistent* AddExplicitExtension(std::unique_ptr<TAggregatedPersistent> Extension);

    void DataProviderChanging(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) override;
    void DataProviderChanged(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) override;

    // The consumer's own change notices (reasons above, or a provider's passed on), to its
    // extensions, then its clients and events.
    void Changing(int Reason);
    void Changed(int Reason);

    // The services (IMvDataConsumerClients, ...ProviderLink, ...Changes).
    void ProviderChanging() override { Changing(dcrProviderChange); }
    void RegisterClientNotify(IMvDataConsumerClientNotify* Client) override;
    void UnregisterClientNotify(IMvDataConsumerClientNotify* Client) override;
    IMvDataChangeNotify* ProviderNotify() override { return this; }
    void NotifyChanging(int Reason) override { Changing(Reason); }
    void NotifyChanged(int Reason) override { Changed(Reason); }
    void Invalidate() override {
        if (OnInvalidate) OnInvalidate();
    }

    TMvDataConsumerChangeEvent OnChanging;
    TMvDataConsumerChangeEvent OnChanged;
    // A consumer embedded in a control repaints it through this hook.
    std::function<void()> OnInvalidate;

    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override;

private:
    template <class F> void ForEachExtension(F Fn);
    TComponent* FOwner;                                 // not owned
    std::vector<IMvDataConsumerClientNotify*> FClients; // not owned: each unregisters itself
    TMvIntf<IMvDataProvider> FProvider;
    TMvDataContextID FContext;
    bool FLoading = false;
    std::vector<std::string> FExplicit;
};

class TMvDataConsumerItemSelect
    : public TMvFacet<TMvDataConsumerAggregatedObject, IMvDataConsumerItemSelect> {
public:
    using TMvFacet::TMvFacet;
    std::string ClassName() const override { return "TMvDataConsumerItemSelect"; }
    TMvDataItemID GetItem() override { return FItem; }
    void SetItem(const TMvDataItemID& Value) override;
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;

private:
    TMvDataItemID FItem;
};

// One row of the view list: the item's ID and a word of level and flags.
struct TViewListItem {
    TMvDataItemID ItemID;
    uint32_t Flags = 0;
};
using TViewListItems = std::vector<TViewListItem>;

constexpr uint32_t vlLevelMask = 0x00FFFFFFu;
constexpr uint32_t vlExpanded = 1u << 29;
constexpr uint32_t vlHasChildList = 1u << 30;
constexpr uint32_t vlHasChildren = 1u << 31;

class TMvCustomDataConsumerViewList
    : public TMvFacet<TMvDataConsumerAggregatedObject, IMvDataConsumerViewList> {
public:
    using TMvFacet::TMvFacet;
    std::string ClassName() const override { return "TMvCustomDataConsumerViewList"; }

    // IMvDataConsumerViewList, answered through the consumer.
    int GetRowCount() override { return Count(); }
    TMvDataItemID GetRowItemID(int Index) override { return Row(Index).ItemID; }
    uint32_t GetRowFlags(int Index) override { return Row(Index).Flags; }
    void ToggleRow(int Index) override { ToggleItem(Index); }
    void RebuildRows() override { Rebuild(); }
    int RowOfID(const TMvDataItemID& ID) override { return IndexOfID(ID); }

    void Rebuild();
    int Count() const { return static_cast<int>(FRows.size()); }
    const TViewListItem& Row(int Index) const { return FRows.at(static_cast<size_t>(Index)); }
    static int Level(const TViewListItem& R) { return static_cast<int>(R.Flags & vlLevelMask); }
    // Expands a collapsed row with children, collapses an expanded one.
    void ToggleItem(int Index);
    void ExpandRow(int Index);
    void CollapseRow(int Index);
    void DeleteRow(int Index);
    int IndexOfID(const TMvDataItemID& ID) const;
    int IndexOfItem(IMvDataItem* Item) const;
    int ParentIndex(int Index) const;
    int SiblingIndex(int Index) const;
    TMvIntf<IMvDataItem> ItemOfRow(int Index);
    // Bit k (word k div 32) set when the row's ancestor at level k has a following sibling.
    std::vector<uint32_t> TreeLineBits(int Index) const;

    int ExpandLevel() const { return FExpandLevel; }
    void SetExpandLevel(int Value) { FExpandLevel = Value; }
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    int LevelIndent() const { return FLevelIndent; }
    void SetLevelIndent(int Value);

    void ProviderChanging(int Reason, IMvUnknown* Source) override;
    void ProviderChanged(int Reason, IMvUnknown* Source) override;
    void ConsumerChanged(int Reason) override;

protected:
    int FLevelIndent = 16;

private:
    // Inserts the child rows of row Index (down to Depth more levels).
    void InsertChildren(int Index, IMvDataItems* Children, int Depth);
    void InsertRows(int At, IMvDataItems* List, int Level, int Depth);
    // Puts in the row of an item that has none yet: a new item (Added), or one shown again.
    void InsertItemRow(IMvDataItem* Item, bool Added);
    static uint32_t FlagsFor(IMvDataItem* Item, int Level);
    IMvDataItems* ChildList(IMvDataItem* Item);
    TViewListItems FRows;
    int FExpandLevel = 0;
    bool FAutoExpand = false;
};

class TMvDataConsumerViewList : public TMvCustomDataConsumerViewList {
public:
    using TMvCustomDataConsumerViewList::TMvCustomDataConsumerViewList;
    std::string ClassName() const override { return "TMvDataConsumerViewList"; }
    void WriteProperties(TMvDataWriter& Writer) override;
    bool ReadProperty(const std::string& Name, TMvDataReader& Reader) override;
};

// ---- streaming of item lists ----

// Writes a list (class name first, its extensions, its items with theirs).
std::string MvWriteItemList(TMvDataItemsList& List);
// Reads a stream written by MvWriteItemList into List, replacing its items and
// extensions only when the whole stream was read; on any error List is unchanged.
void MvReadItemList(TMvDataItemsList& List, const std::string& Text);
// Registers the framework's streamable classes (done at start-up; repeating is harmless).
void MvRegisterDataProviderClasses();
