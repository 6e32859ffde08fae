// The data provider framework: identities, extensible objects, items, item lists and their
// facets, and the streaming of lists (contexts, consumers and the view list: MvDataConsumer.cpp).
#include "dataprovider/MvDataProvider.h"

#include "dataprovider/MvGuidSource.h"

#include "base/StrUtils.h"
#include "gui/Component.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>

// ---- identities ----

namespace {

TMvGuidSource& GuidSourceSlot() {
    static TMvGuidSource source = MvPlatformNewGuid;
    return source;
}

std::string HexBytes(const TMvGUID& G) {
    std::string S;
    char Buf[3];
    for (uint8_t B : G.Bytes()) {
        std::snprintf(Buf, sizeof Buf, "%02X", unsigned{B});
        S += Buf;
    }
    return S;
}

} // namespace

TMvGuidSource SetMvGuidSource(TMvGuidSource Source) {
    TMvGuidSource Old = GuidSourceSlot();
    GuidSourceSlot() = Source ? Source : MvPlatformNewGuid;
    return Old;
}

namespace {

// IDs of the items alive now: a source that repeats itself must not make two items
// one. Only live items count, so the set stays as small as the tree.
std::mutex& IssuedLock() {
    static std::mutex lock;
    return lock;
}
std::set<std::string>& Issued() {
    static std::set<std::string> issued;
    return issued;
}

} // namespace

TMvDataItemID NewMvDataItemID() {
    for (int Attempt = 0; Attempt < 4; ++Attempt) {
        TMvGUID G;
        if (!GuidSourceSlot()(G)) throw EMvLibDataProvider("Cannot create a new item ID");
        std::string ID = HexBytes(G);
        const std::lock_guard<std::mutex> Guard(IssuedLock());
        if (Issued().insert(ID).second) return ID;
    }
    throw EMvLibDataProvider("Cannot create a new item ID: the identifier source repeats itself");
}

void ReleaseMvDataItemID(const TMvDataItemID& ID) {
    const std::lock_guard<std::mutex> Guard(IssuedLock());
    Issued().erase(ID);
}

// ---- TExtensibleInterfacedPersistent ----

TExtensibleInterfacedPersistent::TExtensibleInterfacedPersistent() = default;

TExtensibleInterfacedPersistent::~TExtensibleInterfacedPersistent() {
    // Last first: a later extension may lean on an earlier one.
    while (!FExtensions.empty())
        FExtensions.pop_back();
}

void TExtensibleInterfacedPersistent::AfterConstruction() {
    FRefCount.fetch_sub(1);
}

int TExtensibleInterfacedPersistent::AddRef() {
    return FRefCount.fetch_add(1) + 1;
}

int TExtensibleInterfacedPersistent::Release() {
    const int Count = FRefCount.fetch_sub(1) - 1;
    if (Count == 0) delete this;
    return Count;
}

bool TExtensibleInterfacedPersistent::GetInterface(const TMvGUID& IID, void** Obj) {
    (void)IID;
    (void)Obj;
    return false;
}

long TExtensibleInterfacedPersistent::QueryInterface(const TMvGUID& IID, void** Obj) {
    *Obj = nullptr;
    if (GetInterface(IID, Obj) && *Obj) {
        AddRef();
        return kMvOk;
    }
    for (auto It = FExtensions.rbegin(); It != FExtensions.rend(); ++It)
        if ((*It)->GetInterface(IID, Obj) && *Obj) {
            (*It)->InterfaceOwner(IID)->AddRef();
            return kMvOk;
        }
    *Obj = nullptr;
    return kMvNoInterface;
}

TAggregatedPersistent*
TExtensibleInterfacedPersistent::AddExtension(std::unique_ptr<TAggregatedPersistent> Extension) {
    if (FindExtension(Extension->ClassName()))
        throw EMvLibException("Implementation of that class already exists");
    FExtensions.push_back(std::move(Extension));
    return FExtensions.back().get();
}

bool TExtensibleInterfacedPersistent::RemoveExtension(const std::string& ClassName) {
    for (auto It = FExtensions.begin(); It != FExtensions.end(); ++It)
        if (SameText((*It)->ClassName(), ClassName)) {
            FExtensions.erase(It);
            return true;
        }
    return false;
}

TAggregatedPersistent* TExtensibleInterfacedPersistent::FindExtension(const std::string& ClassName) const {
    for (const auto& E : FExtensions)
        if (SameText(E->ClassName(), ClassName)) return E.get();
    return nullptr;
}

void TExtensibleInterfacedPersistent::WriteExtensions(TMvDataWriter& Writer) {
    bool Any = false;
    for (const auto& E : FExtensions)
        Any = Any || MvIsClassRegistered(E->ClassName());
    if (!Any) return;
    Writer.BeginCollection("Extensions");
    for (const auto& E : FExtensions) {
        if (!MvIsClassRegistered(E->ClassName())) continue;
        Writer.BeginElement();
        Writer.WriteString("ClassName", E->ClassName());
        E->WriteProperties(Writer);
        Writer.EndElement();
    }
    Writer.EndCollection();
}

namespace {

// Reads the ClassName that must open every element.
std::string ReadClassName(TMvDataReader& Reader) {
    const std::string First = Reader.ReadName();
    if (!SameText(First, "ClassName")) throw EReadError("Missing ClassName property");
    return Reader.ReadString();
}

void ReadOrSkip(TMvStreamable& Target, TMvDataReader& Reader) {
    while (!Reader.AtElementEnd()) {
        const std::string Name = Reader.ReadName();
        if (!Target.ReadProperty(Name, Reader)) Reader.SkipValue();
    }
}

} // namespace

void TExtensibleInterfacedPersistent::ReadExtensions(TMvDataReader& Reader) {
    Reader.ReadCollectionStart();
    while (!Reader.AtCollectionEnd()) {
        Reader.ReadElementStart();
        const std::string Class = ReadClassName(Reader);
        TAggregatedPersistent* Target = FindExtension(Class);
        if (!Target) {
            std::unique_ptr<TMvStreamable> Made = MvCreateRegistered(Class, this);
            auto* AsExtension = dynamic_cast<TAggregatedPersistentEx*>(Made.get());
            if (!AsExtension) throw EReadError("Invalid class type");
            Made.release();
            Target = AddExtension(std::unique_ptr<TAggregatedPersistent>(AsExtension));
        }
        ReadOrSkip(*Target, Reader);
    }
}

void TExtensibleInterfacedPersistent::WriteProperties(TMvDataWriter& Writer) {
    WriteExtensions(Writer);
}

bool TExtensibleInterfacedPersistent::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (!SameText(Name, "Extensions")) return false;
    ReadExtensions(Reader);
    return true;
}

// ---- facets' owners ----

IMvDataItem* TMvDataItemAggregatedObject::Item() const {
    return dynamic_cast<IMvDataItem*>(Controller());
}

TMvBaseDataItems* TMvDataItemsAggregatedObject::Items() const {
    return dynamic_cast<TMvBaseDataItems*>(Controller());
}

// ---- TMvBaseDataItem ----

TMvBaseDataItem::TMvBaseDataItem() : FID(NewMvDataItemID()), FIssuedID(FID) {}

TMvBaseDataItem::~TMvBaseDataItem() {
    ReleaseMvDataItemID(FIssuedID);
}

bool TMvBaseDataItem::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvDataItem::IID())) {
        *Obj = static_cast<IMvDataItem*>(this);
        return true;
    }
    return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
}

int TMvBaseDataItem::GetIndex() {
    return FItems ? FItems->IndexOf(this) : -1;
}

TMvBaseDataItems* TMvBaseDataItem::SubItems(bool Create) {
    auto* Facet = Extension<TMvBaseDataItemSubItems>();
    if (!Facet && Create) {
        AddExtension(std::make_unique<TMvBaseDataItemSubItems>(this));
        Facet = Extension<TMvBaseDataItemSubItems>();
    }
    return Facet ? Facet->List() : nullptr;
}

void TMvBaseDataItem::WriteProperties(TMvDataWriter& Writer) {
    Writer.WriteString("ID", FID);
    WriteExtensions(Writer);
    if (auto* Children = dynamic_cast<TMvDataItemsList*>(SubItems(false))) {
        Writer.BeginCollection("SubItems");
        for (int i = 0; i < Children->GetCount(); ++i) {
            auto* Child = dynamic_cast<TMvStreamable*>(Children->GetItem(i).Get());
            if (!Child) continue;
            Writer.BeginElement();
            Writer.WriteString("ClassName", Child->ClassName());
            Child->WriteProperties(Writer);
            Writer.EndElement();
        }
        Writer.EndCollection();
    }
}

namespace {

// Reads a collection of items into List (ClassName first in each).
void ReadItems(TMvDataItemsList& List, TMvDataReader& Reader) {
    Reader.ReadCollectionStart();
    while (!Reader.AtCollectionEnd()) {
        Reader.ReadElementStart();
        const std::string Class = ReadClassName(Reader);
        std::unique_ptr<TMvStreamable> Made = MvCreateRegistered(Class);
        auto* Item = dynamic_cast<TMvBaseDataItem*>(Made.get());
        if (!Item) throw EReadError("Invalid class type");
        Made.release();
        Item->AfterConstruction();
        TMvIntf<IMvDataItem> Ref(static_cast<IMvDataItem*>(Item));
        ReadOrSkip(*Item, Reader);
        List.Append(Ref);
    }
}

} // namespace

bool TMvBaseDataItem::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (SameText(Name, "ID")) {
        FID = Reader.ReadString();
        return true;
    }
    if (SameText(Name, "SubItems")) {
        SubItems(true);
        auto* Children = dynamic_cast<TMvDataItemsList*>(SubItems(false));
        ReadItems(*Children, Reader);
        return true;
    }
    return TExtensibleInterfacedPersistent::ReadProperty(Name, Reader);
}

// ---- facets of items ----

void TMvBaseDataItemTextImpl::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    if (IMvDataItem* I = Item())
        if (auto* L = dynamic_cast<TMvBaseDataItems*>(I->GetItems())) {
            L->Changing(pcrUpdate, I);
            L->Changed(pcrUpdate, I);
        }
}

void TMvDataItemTextImpl::WriteProperties(TMvDataWriter& Writer) {
    Writer.WriteString("Caption", FCaption);
}

bool TMvDataItemTextImpl::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (!SameText(Name, "Caption")) return false;
    FCaption = Reader.ReadString();
    return true;
}

// ---- display state ----

int MvItemDisplayState(IMvDataItem* Item) {
    if (!Item) return kMvDefaultDisplayState;
    if (TMvIntf<IMvDataItemState> S = MvQuery<IMvDataItemState>(Item)) return S->GetDisplayState();
    if (TMvIntf<IMvDataItemStateEx> S = MvQuery<IMvDataItemStateEx>(Item)) return S->GetDisplayStateEx();
    return kMvDefaultDisplayState;
}

void TMvDataItemStateImpl::SetDisplayState(int Value) {
    if (Value == FState) return;
    IMvDataItem* I = Item();
    auto* L = I ? dynamic_cast<TMvBaseDataItems*>(I->GetItems()) : nullptr;
    if (L) L->Changing(pcrUpdate, I);
    FState = Value;
    if (L) L->Changed(pcrUpdate, I);
}

void TMvDataItemStateImpl::WriteProperties(TMvDataWriter& Writer) {
    if (FState != kMvDefaultDisplayState) Writer.WriteInteger("State", FState);
}

bool TMvDataItemStateImpl::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (!SameText(Name, "State")) return false;
    const long long V = Reader.ReadInteger();
    if (V < INT32_MIN || V > INT32_MAX) throw EReadError("Invalid property value");
    FState = static_cast<int>(V);
    return true;
}

void TMvBaseDataItemImageImpl::Changed() {
    if (IMvDataItem* I = Item())
        if (auto* L = dynamic_cast<TMvBaseDataItems*>(I->GetItems())) {
            L->Changing(pcrUpdate, I);
            L->Changed(pcrUpdate, I);
        }
}

void TMvBaseDataItemImageImpl::SetAlignment(TMvImageAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
}

void TMvBaseDataItemImageImpl::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TMvBaseDataItemImageImpl::SetSelectedIndex(int Value) {
    if (Value == FSelectedIndex) return;
    FSelectedIndex = Value;
    Changed();
}

void TMvDataItemImageImpl::WriteProperties(TMvDataWriter& Writer) {
    if (FAlignment != TMvImageAlignment::taLeftJustify)
        Writer.WriteInteger("Alignment", static_cast<int>(FAlignment));
    if (FImageIndex != 0) Writer.WriteInteger("ImageIndex", FImageIndex);
    if (FSelectedIndex != 0) Writer.WriteInteger("SelectedIndex", FSelectedIndex);
}

bool TMvDataItemImageImpl::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (SameText(Name, "Alignment")) {
        const long long V = Reader.ReadInteger();
        if (V < 0 || V > 2) throw EReadError("Invalid property value");
        FAlignment = static_cast<TMvImageAlignment>(V);
    } else if (SameText(Name, "ImageIndex")) {
        FImageIndex = static_cast<int>(Reader.ReadInteger());
    } else if (SameText(Name, "SelectedIndex")) {
        FSelectedIndex = static_cast<int>(Reader.ReadInteger());
    } else {
        return false;
    }
    return true;
}

TMvBaseDataItemSubItems::TMvBaseDataItemSubItems(TExtensibleInterfacedPersistent* Controller)
    : TMvDataItemAggregatedObject(Controller) {
    IMvDataItem* Owner = dynamic_cast<IMvDataItem*>(Controller);
    IMvDataProvider* Provider = nullptr;
    if (Owner && Owner->GetItems()) Provider = Owner->GetItems()->GetProvider();
    FList = MvNew<TMvDataItemsList>(Provider, Owner);
}

TMvBaseDataItemSubItems::~TMvBaseDataItemSubItems() {
    // The child list may outlive the item through someone's reference: it forgets its parent.
    if (FList) FList->SetParent(nullptr);
}

void TMvBaseDataItemSubItems::SetList(TMvIntf<TMvBaseDataItems> List) {
    if (FList) FList->SetParent(nullptr);
    FList = std::move(List);
}

bool TMvBaseDataItemSubItems::GetInterface(const TMvGUID& IID, void** Obj) {
    if (!FList || !SameGUID(IID, IMvDataItems::IID())) return false;
    *Obj = static_cast<IMvDataItems*>(FList.Get());
    return true;
}

IMvUnknown* TMvBaseDataItemSubItems::InterfaceOwner(const TMvGUID& IID) {
    // The child list's interface is counted on the list itself.
    if (FList && SameGUID(IID, IMvDataItems::IID())) return static_cast<IMvDataItems*>(FList.Get());
    return Controller();
}

// ---- TMvBaseDataItems ----

IMvDataProvider* TMvBaseDataItems::GetProvider() {
    if (FProvider) return FProvider;
    // A child list belongs to the provider of its parent's list.
    if (FParent && FParent->GetItems()) return FParent->GetItems()->GetProvider();
    return nullptr;
}

bool TMvBaseDataItems::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvDataItems::IID())) {
        *Obj = static_cast<IMvDataItems*>(this);
        return true;
    }
    if (SameGUID(IID, IMvDataIDSearch::IID())) {
        *Obj = static_cast<IMvDataIDSearch*>(this);
        return true;
    }
    return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
}

int TMvBaseDataItems::IndexOf(IMvDataItem* Item) {
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i).Get() == Item) return i;
    return -1;
}

TMvIntf<IMvDataItem> TMvBaseDataItems::FindByIDEx(const TMvDataItemID& ID, bool Recursive) {
    for (int i = GetCount() - 1; i >= 0; --i) {
        TMvIntf<IMvDataItem> Item = GetItem(i);
        if (Item && SameText(Item->GetID(), ID)) return Item;
    }
    if (Recursive)
        for (int i = GetCount() - 1; i >= 0; --i) {
            TMvIntf<IMvDataIDSearch> Children = MvQuery<IMvDataIDSearch>(MvQuery<IMvDataItems>(GetItem(i)));
            if (!Children) continue;
            if (TMvIntf<IMvDataItem> Found = Children->FindByIDEx(ID, true)) return Found;
        }
    return nullptr;
}

void TMvBaseDataItems::Changing(int Reason, IMvUnknown* Source) {
    if (IMvDataProvider* P = GetProvider()) P->Changing(Reason, Source);
}

void TMvBaseDataItems::Changed(int Reason, IMvUnknown* Source) {
    if (IMvDataProvider* P = GetProvider()) P->Changed(Reason, Source);
}

// ---- TMvDataItemsList ----

TMvDataItemsList::TMvDataItemsList(IMvDataProvider* Provider, IMvDataItem* Parent)
    : TMvBaseDataItems(Provider, Parent) {}

TMvDataItemsList::~TMvDataItemsList() {
    ClearItems();
}

TMvIntf<IMvDataItem> TMvDataItemsList::GetItem(int Index) {
    if (Index < 0 || Index >= GetCount())
        throw EMvLibDataItems("List index out of bounds (" + std::to_string(Index) + ")");
    return FList[static_cast<size_t>(Index)];
}

int TMvDataItemsList::Append(const TMvIntf<IMvDataItem>& Item) {
    if (auto* Own = dynamic_cast<TMvBaseDataItem*>(Item.Get())) Own->SetOwnerList(this);
    FList.push_back(Item);
    return GetCount() - 1;
}

void TMvDataItemsList::ClearItems() {
    std::vector<TMvIntf<IMvDataItem>> Old;
    Old.swap(FList);
    for (auto& I : Old)
        if (auto* Own = dynamic_cast<TMvBaseDataItem*>(I.Get())) Own->SetOwnerList(nullptr);
}

void TMvDataItemsList::DeleteAt(int Index) {
    TMvIntf<IMvDataItem> Item = GetItem(Index);
    FList.erase(FList.begin() + Index);
    if (auto* Own = dynamic_cast<TMvBaseDataItem*>(Item.Get())) Own->SetOwnerList(nullptr);
}

void TMvDataItemsList::WriteProperties(TMvDataWriter& Writer) {
    WriteExtensions(Writer);
    Writer.BeginCollection("Items");
    for (auto& I : FList) {
        auto* Item = dynamic_cast<TMvStreamable*>(I.Get());
        if (!Item) continue;
        Writer.BeginElement();
        Writer.WriteString("ClassName", Item->ClassName());
        Item->WriteProperties(Writer);
        Writer.EndElement();
    }
    Writer.EndCollection();
}

bool TMvDataItemsList::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (SameText(Name, "Items")) {
        ReadItems(*this, Reader);
        return true;
    }
    return TMvBaseDataItems::ReadProperty(Name, Reader);
}

// ---- rendering ----

std::string TMvDP_ProviderTextOnlyRender::TextOf(IMvDataItem* Item) {
    TMvIntf<IMvDataItemText> Text = MvQuery<IMvDataItemText>(Item);
    return Text ? Text->GetCaption() : "(item does not support the IMvDataItemText interface)";
}

void TMvDP_ProviderTextOnlyRender::Draw(IMvTextCanvas& Canvas, const TMvRect& R, IMvDataItem* Item) {
    Canvas.TextRect(R, R.Left, R.Top, TextOf(Item));
}

TMvExtent TMvDP_ProviderTextOnlyRender::Measure(IMvTextCanvas& Canvas, IMvDataItem* Item) {
    return Canvas.TextExtent(TextOf(Item));
}

TMvIntf<IMvDataItem> TMvBaseDataItemsRenderer::CheckedItem(int Index) {
    TMvBaseDataItems* L = Items();
    if (!L || Index < 0 || Index >= L->GetCount())
        throw EMvLibDataItems("List index out of bounds (" + std::to_string(Index) + ")");
    return L->GetItem(Index);
}

void TMvBaseDataItemsRenderer::DrawItemByIndex(IMvTextCanvas& Canvas, TMvRect R, int Index) {
    DrawItem(Canvas, R, CheckedItem(Index).Get());
}

void TMvBaseDataItemsRenderer::DrawItem(IMvTextCanvas& Canvas, TMvRect R, IMvDataItem* Item) {
    if (TMvIntf<IMvDataItemRenderer> Self = MvQuery<IMvDataItemRenderer>(Item)) {
        Self->Draw(Canvas, R);
        return;
    }
    MakeRender()->Draw(Canvas, R, Item);
}

TMvExtent TMvBaseDataItemsRenderer::MeasureItemByIndex(IMvTextCanvas& Canvas, int Index) {
    return MeasureItem(Canvas, CheckedItem(Index).Get());
}

TMvExtent TMvBaseDataItemsRenderer::MeasureItem(IMvTextCanvas& Canvas, IMvDataItem* Item) {
    if (TMvIntf<IMvDataItemRenderer> Self = MvQuery<IMvDataItemRenderer>(Item)) return Self->Measure(Canvas);
    return MakeRender()->Measure(Canvas, Item);
}

TMvExtent TMvCustomDataItemsTextRenderer::AvgItemSize(IMvTextCanvas& Canvas) {
    return Canvas.TextExtent("WyWyWyWyWyWyWyWyWyWy");
}

std::unique_ptr<TMvDP_ProviderBaseRender> TMvCustomDataItemsTextRenderer::MakeRender() {
    return std::make_unique<TMvDP_ProviderTextOnlyRender>();
}

// ---- management ----

TMvIntf<IMvDataItem> TMvBaseDataItemsManagement::New() {
    throw EMvLibDataItems("internal error");
}

TMvDataItemsList* TMvBaseDataItemsListManagement::List() const {
    auto* L = dynamic_cast<TMvDataItemsList*>(Controller());
    if (!L) throw EMvLibDataItems("internal error");
    return L;
}

int TMvBaseDataItemsListManagement::Add(const TMvIntf<IMvDataItem>& Item) {
    TMvDataItemsList* L = List();
    L->Changing(pcrAdd, L->AsItems());
    const int Index = L->Append(Item);
    L->Changed(pcrAdd, Item.Get());
    return Index;
}

void TMvBaseDataItemsListManagement::Clear() {
    TMvDataItemsList* L = List();
    L->Changing(pcrListUpdate, L->AsItems());
    L->ClearItems();
    L->Changed(pcrListUpdate, L->AsItems());
}

void TMvBaseDataItemsListManagement::Delete(int Index) {
    TMvDataItemsList* L = List();
    TMvIntf<IMvDataItem> Item = L->GetItem(Index);
    if (!Item->IsDeletable()) throw EMvLibDataItems("Item cannot be deleted");
    L->Changing(pcrDelete, Item.Get());
    L->DeleteAt(Index);
    L->Changed(pcrDelete, nullptr);
}

void TMvBaseDataItemsListManagement::Remove(IMvDataItem* Item) {
    const int Index = List()->IndexOf(Item);
    if (Index >= 0) Delete(Index);
}

// ---- image lists ----

void TMvBaseDataItemsImagesImpl::Replace(TComponent*& Slot, TComponent* Value) {
    if (Slot == Value) return;
    TMvBaseDataItems* L = Items();
    if (L) L->Changing(pcrListUpdate, L->AsItems());
    Slot = Value;
    if (L) L->Changed(pcrListUpdate, L->AsItems());
}

std::function<TComponent*(const std::string&)> TMvCustomDataItemsImages::Resolver;

void TMvCustomDataItemsImages::WriteProperties(TMvDataWriter& Writer) {
    if (FDisabledImages) Writer.WriteString("DisabledImages", FDisabledImages->Name());
    if (FHotImages) Writer.WriteString("HotImages", FHotImages->Name());
    if (FImages) Writer.WriteString("Images", FImages->Name());
}

bool TMvCustomDataItemsImages::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    TComponent** Slot = SameText(Name, "DisabledImages") ? &FDisabledImages
                        : SameText(Name, "HotImages")    ? &FHotImages
                        : SameText(Name, "Images")       ? &FImages
                                                         : nullptr;
    if (!Slot) return false;
    const std::string Wanted = Reader.ReadString();
    *Slot = Resolver ? Resolver(Wanted) : nullptr;
    return true;
}

// ---- streaming of lists and the registry ----

std::string MvWriteItemList(TMvDataItemsList& List) {
    MvRegisterDataProviderClasses();
    TMvDataWriter W;
    W.BeginElement();
    W.WriteString("ClassName", List.ClassName());
    List.WriteProperties(W);
    W.EndElement();
    return W.Text();
}

void MvReadItemList(TMvDataItemsList& List, const std::string& Text) {
    MvRegisterDataProviderClasses();
    auto ReadInto = [&Text](TMvDataItemsList& Target) {
        TMvDataReader R(Text);
        R.ReadElementStart();
        const std::string Class = ReadClassName(R);
        if (!SameText(Class, "TMvDataItemsList")) throw EReadError("Invalid class type");
        ReadOrSkip(Target, R);
        if (!R.AtEnd()) throw EReadError("Invalid stream format: text after the end");
    };
    // A trial read into a fresh list finds every fault first; only then does List
    // change, read the same way, so that a bad stream leaves it as it was.
    {
        TMvIntf<TMvDataItemsList> Trial = MvNew<TMvDataItemsList>(List.GetProvider(), List.GetParent());
        ReadInto(*Trial);
    }
    List.Changing(pcrListUpdate, List.AsItems());
    List.ClearItems();
    ReadInto(List);
    List.Changed(pcrListUpdate, List.AsItems());
}

void MvRegisterDataProviderClasses() {
    static const bool Done = [] {
        using C = TExtensibleInterfacedPersistent*;
        MvRegisterClass("TMvDataItemsList", [](C) { return new TMvDataItemsList(); });
        MvRegisterClass("TMvCustomDataItemsImages",
                        [](C Owner) { return new TMvCustomDataItemsImages(Owner); });
        MvRegisterClass("TMvCustomDataItemsTextRenderer",
                        [](C Owner) { return new TMvCustomDataItemsTextRenderer(Owner); });
        MvRegisterClass("TMvBaseDataItemsListManagement",
                        [](C Owner) { return new TMvBaseDataItemsListManagement(Owner); });
        MvRegisterClass("TMvBaseDataItem", [](C) { return new TMvBaseDataItem(); });
        MvRegisterClass("TMvDataItemTextImpl", [](C Owner) { return new TMvDataItemTextImpl(Owner); });
        MvRegisterClass("TMvDataItemImageImpl", [](C Owner) { return new TMvDataItemImageImpl(Owner); });
        MvRegisterClass("TMvDataItemStateImpl", [](C Owner) { return new TMvDataItemStateImpl(Owner); });
        MvRegisterClass("TMvDataConsumer", [](C) { return new TMvDataConsumer(nullptr); });
        MvRegisterClass("TMvDataConsumerItemSelect",
                        [](C Owner) { return new TMvDataConsumerItemSelect(Owner); });
        MvRegisterClass("TMvDataContexts", [](C) { return new TMvDataContexts(nullptr); });
        // A context is made only inside its contexts list; a stream cannot make one alone.
        MvRegisterClass("TMvDataContext",
                        [](C) -> TMvStreamable* { return new TMvDataContext(nullptr, ""); });
        MvRegisterClass("TMvManagedDataContext",
                        [](C) -> TMvStreamable* { return new TMvManagedDataContext(nullptr, ""); });
        MvRegisterClass("TMvFixedDataContext",
                        [](C) -> TMvStreamable* { return new TMvFixedDataContext(nullptr, ""); });
        return true;
    }();
    (void)Done;
}

namespace {

// The classes are known from start-up on.
const bool kRegisteredAtStartUp = (MvRegisterDataProviderClasses(), true);

} // namespace
