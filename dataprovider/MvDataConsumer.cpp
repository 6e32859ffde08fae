// The data provider framework: contexts, consumers and the view list.
#include "dataprovider/MvDataProvider.h"

#include "base/StrUtils.h"

#include <algorithm>

// ---- contexts ----

bool TMvBaseDataContexts::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvDataContexts::IID())) {
        *Obj = static_cast<IMvDataContexts*>(this);
        return true;
    }
    return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
}

TMvIntf<IMvDataContext> TMvBaseDataContexts::GetContext(int Index) {
    if (Index < 0 || Index >= GetCount())
        throw EMvLibDataContexts("List index out of bounds (" + std::to_string(Index) + ")");
    return FContexts[static_cast<size_t>(Index)];
}

TMvIntf<IMvDataContext> TMvBaseDataContexts::GetContextByName(const std::string& Name) {
    for (auto& C : FContexts)
        if (C->GetName() == Name) return C;
    return nullptr;
}

bool TMvBaseDataContexts::NameTaken(const std::string& Name, IMvDataContext* Except) {
    for (auto& C : FContexts)
        if (C.Get() != Except && C->GetName() == Name) return true;
    return false;
}

void TMvBaseDataContexts::Announce(bool After, int Reason, IMvUnknown* Source) {
    if (!FProvider) return;
    if (After)
        FProvider->Changed(Reason, Source);
    else
        FProvider->Changing(Reason, Source);
}

void TMvBaseDataContexts::Add(const TMvIntf<IMvDataContext>& Context) {
    if (NameTaken(Context->GetName(), Context.Get()))
        throw EMvLibDataContexts("A context with that name already exists");
    Announce(false, pcrContextAdd, static_cast<IMvDataContexts*>(this));
    FContexts.push_back(Context);
    Announce(true, pcrContextAdd, Context.Get());
}

void TMvBaseDataContexts::Delete(int Index) {
    TMvIntf<IMvDataContext> C = GetContext(Index);
    if (!C->IsDeletable()) return;
    Announce(false, pcrContextDelete, C.Get());
    FContexts.erase(FContexts.begin() + Index);
    Announce(true, pcrContextDelete, static_cast<IMvDataContexts*>(this));
}

TMvBaseDataContext::TMvBaseDataContext(IMvDataContexts* Contexts, std::string Name)
    : FContexts(Contexts), FName(std::move(Name)) {
    if (!FContexts) throw EMvLibDataContexts("Cannot create a context without a context list owner");
}

bool TMvBaseDataContext::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvDataContext::IID())) {
        *Obj = static_cast<IMvDataContext*>(this);
        return true;
    }
    return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
}

void TMvBaseDataContext::WriteProperties(TMvDataWriter& Writer) {
    Writer.WriteString("Name", FName);
    WriteExtensions(Writer);
}

bool TMvBaseDataContext::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (SameText(Name, "Name")) {
        FName = Reader.ReadString();
        return true;
    }
    return TExtensibleInterfacedPersistent::ReadProperty(Name, Reader);
}

void TMvManagedDataContext::SetName(const std::string& Value) {
    if (Value == FName) return;
    auto* Owner = dynamic_cast<TMvBaseDataContexts*>(FContexts);
    if (Owner && Owner->NameTaken(Value, this))
        throw EMvLibDataContexts("A context with that name already exists");
    IMvDataProvider* Provider = FContexts->GetProvider();
    if (Provider) Provider->Changing(pcrContextName, static_cast<IMvDataContext*>(this));
    FName = Value;
    if (Provider) Provider->Changed(pcrContextName, static_cast<IMvDataContext*>(this));
}

bool TMvManagedDataContext::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvManagedDataContext::IID())) {
        *Obj = static_cast<IMvManagedDataContext*>(this);
        return true;
    }
    return TMvDataContext::GetInterface(IID, Obj);
}

// ---- consumers ----

TMvDataConsumer* TMvDataConsumerAggregatedObject::Consumer() const {
    return dynamic_cast<TMvDataConsumer*>(Controller());
}

TMvDataConsumer::TMvDataConsumer(TComponent* Owner) : FOwner(Owner) {}

TMvDataConsumer::~TMvDataConsumer() {
    if (FProvider) FProvider->UnregisterChangeNotify(this);
}

bool TMvDataConsumer::GetInterface(const TMvGUID& IID, void** Obj) {
    if (SameGUID(IID, IMvDataConsumer::IID())) {
        *Obj = static_cast<IMvDataConsumer*>(this);
        return true;
    }
    if (SameGUID(IID, IMvDataConsumerClients::IID())) {
        *Obj = static_cast<IMvDataConsumerClients*>(this);
        return true;
    }
    if (SameGUID(IID, IMvDataConsumerProviderLink::IID())) {
        *Obj = static_cast<IMvDataConsumerProviderLink*>(this);
        return true;
    }
    if (SameGUID(IID, IMvDataConsumerChanges::IID())) {
        *Obj = static_cast<IMvDataConsumerChanges*>(this);
        return true;
    }
    return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
}

void TMvDataConsumer::RegisterClientNotify(IMvDataConsumerClientNotify* Client) {
    if (Client && std::find(FClients.begin(), FClients.end(), Client) == FClients.end())
        FClients.push_back(Client);
}

void TMvDataConsumer::UnregisterClientNotify(IMvDataConsumerClientNotify* Client) {
    std::erase(FClients, Client);
}

bool TMvDataConsumer::AttributeApplies(const std::string& ClassName) {
    return FindExtension(ClassName) != nullptr;
}

template <class F> void TMvDataConsumer::ForEachExtension(F Fn) {
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* E = dynamic_cast<TMvDataConsumerAggregatedObject*>(Extensions(i))) Fn(*E);
}

void TMvDataConsumer::Changing(int Reason) {
    ForEachExtension([Reason](TMvDataConsumerAggregatedObject& E) { E.ConsumerChanging(Reason); });
    // A copy: a client may unregister while it is told.
    for (IMvDataConsumerClientNotify* C : std::vector<IMvDataConsumerClientNotify*>(FClients))
        C->ConsumerChanging(this, Reason);
    if (OnChanging) OnChanging(this, Reason);
}

void TMvDataConsumer::Changed(int Reason) {
    ForEachExtension([Reason](TMvDataConsumerAggregatedObject& E) { E.ConsumerChanged(Reason); });
    for (IMvDataConsumerClientNotify* C : std::vector<IMvDataConsumerClientNotify*>(FClients))
        C->ConsumerChanged(this, Reason);
    if (OnInvalidate) OnInvalidate();
    if (OnChanged) OnChanged(this, Reason);
}

TAggregatedPersistent*
TMvDataConsumer::AddExplicitExtension(std::unique_ptr<TAggregatedPersistent> Extension) {
    const std::string Name = Extension->ClassName();
    TAggregatedPersistent* E = AddExtension(std::move(Extension));
    FExplicit.push_back(Name);
    return E;
}

IMvDataItems* TMvDataConsumer::RootItems() {
    return FProvider ? FProvider->GetItems() : nullptr;
}

void TMvDataConsumer::SetProvider(const TMvIntf<IMvDataProvider>& Value) {
    if (Value.Get() == FProvider.Get()) return;
    ProviderChanging();
    if (FProvider) FProvider->UnregisterChangeNotify(this);
    FProvider = Value;
    if (FProvider) FProvider->RegisterChangeNotify(this);
    if (!FLoading) {
        IMvDataContexts* Contexts = FProvider ? FProvider->GetContexts() : nullptr;
        FContext = Contexts && Contexts->GetCount() > 0 ? Contexts->GetContext(0)->GetName() : std::string();
    }
    // Extensions nobody asked for by name go when they no longer apply.
    for (int i = ExtensionCount() - 1; i >= 0; --i) {
        auto* E = dynamic_cast<TMvDataConsumerAggregatedObject*>(Extensions(i));
        if (!E || E->StillApplies()) continue;
        const std::string Name = E->ClassName();
        if (std::find(FExplicit.begin(), FExplicit.end(), Name) == FExplicit.end()) RemoveExtension(Name);
    }
    Changed(dcrProviderChange);
}

void TMvDataConsumer::SetContext(const TMvDataContextID& Value) {
    if (Value == FContext) return;
    if (!FProvider) {
        if (FLoading) {
            FContext = Value;
            return;
        }
        throw EMvLibDataConsumer("You must specify a provider before setting the context");
    }
    IMvDataContexts* Contexts = FProvider->GetContexts();
    if (!Contexts) throw EMvLibDataConsumer("Provider does not support contexts");
    if (!Value.empty() && !Contexts->GetContextByName(Value))
        throw EMvLibDataConsumer("Provider has no context named \"" + Value + "\"");
    Changing(dcrContextChange);
    FContext = Value;
    Changed(dcrContextChange);
}

void TMvDataConsumer::SetContextObject(IMvDataContext* Context) {
    if (!FProvider) throw EMvLibDataConsumer("You must specify a provider before setting the context");
    if (!Context) {
        SetContext(std::string());
        return;
    }
    if (!Context->GetContexts() || Context->GetContexts()->GetProvider() != FProvider.Get())
        throw EMvLibDataConsumer("The specified context is not part of the same provider");
    SetContext(Context->GetName());
}

void TMvDataConsumer::DataProviderChanging(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) {
    if (Provider != FProvider.Get()) return;
    ForEachExtension([&](TMvDataConsumerAggregatedObject& E) { E.ProviderChanging(Reason, Source); });
    if (OnChanging) OnChanging(this, Reason);
}

void TMvDataConsumer::DataProviderChanged(IMvDataProvider* Provider, int Reason, IMvUnknown* Source) {
    if (Provider != FProvider.Get()) return;
    ForEachExtension([&](TMvDataConsumerAggregatedObject& E) { E.ProviderChanged(Reason, Source); });
    if (OnInvalidate) OnInvalidate();
    if (OnChanged) OnChanged(this, Reason);
}

void TMvDataConsumer::WriteProperties(TMvDataWriter& Writer) {
    IMvDataContexts* Contexts = FProvider ? FProvider->GetContexts() : nullptr;
    if (Contexts && Contexts->GetCount() > 0 && Contexts->GetContext(0)->GetName() != FContext)
        Writer.WriteString("Context", FContext);
    WriteExtensions(Writer);
}

bool TMvDataConsumer::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (SameText(Name, "Context")) {
        SetContext(Reader.ReadString());
        return true;
    }
    return TExtensibleInterfacedPersistent::ReadProperty(Name, Reader);
}

void TMvDataConsumerItemSelect::SetItem(const TMvDataItemID& Value) {
    if (Value == FItem) return;
    TMvDataConsumer* C = Consumer();
    if (C) C->Changing(pcrUpdate);
    FItem = Value;
    if (C) C->Changed(pcrUpdate);
}

void TMvDataConsumerItemSelect::WriteProperties(TMvDataWriter& Writer) {
    if (!FItem.empty()) Writer.WriteString("Item", FItem);
}

bool TMvDataConsumerItemSelect::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (!SameText(Name, "Item")) return false;
    FItem = Reader.ReadString();
    return true;
}

// ---- the view list ----

IMvDataItems* TMvCustomDataConsumerViewList::ChildList(IMvDataItem* Item) {
    TMvIntf<IMvDataItems> L = MvQuery<IMvDataItems>(Item);
    return L.Get(); // kept alive by the item's sub-items facet
}

uint32_t TMvCustomDataConsumerViewList::FlagsFor(IMvDataItem* Item, int Level) {
    uint32_t Flags = static_cast<uint32_t>(Level) & vlLevelMask;
    TMvIntf<IMvDataItems> L = MvQuery<IMvDataItems>(Item);
    if (L) {
        Flags |= vlHasChildList;
        if (L->GetCount() > 0) Flags |= vlHasChildren;
    }
    return Flags;
}

void TMvCustomDataConsumerViewList::InsertRows(int At, IMvDataItems* List, int Level, int Depth) {
    for (int i = 0; i < List->GetCount(); ++i) {
        TMvIntf<IMvDataItem> Item = List->GetItem(i);
        if (MvItemDisplayState(Item.Get()) == 0) continue; // hidden, with everything below it
        FRows.insert(FRows.begin() + At, TViewListItem{Item->GetID(), FlagsFor(Item.Get(), Level)});
        const int Row = At++;
        if (Depth > 0 && (FRows[static_cast<size_t>(Row)].Flags & vlHasChildren)) {
            const size_t Before = FRows.size();
            InsertChildren(Row, ChildList(Item.Get()), Depth - 1);
            At += static_cast<int>(FRows.size() - Before);
        }
    }
}

void TMvCustomDataConsumerViewList::InsertChildren(int Index, IMvDataItems* Children, int Depth) {
    if (!Children) return;
    const int ChildLevel = Level(Row(Index)) + 1;
    int At = Index + 1;
    while (At < Count() && Level(Row(At)) >= ChildLevel)
        ++At;
    InsertRows(At, Children, ChildLevel, Depth);
    FRows[static_cast<size_t>(Index)].Flags |= vlExpanded | vlHasChildList | vlHasChildren;
}

void TMvCustomDataConsumerViewList::Rebuild() {
    FRows.clear();
    TMvDataConsumer* C = Consumer();
    IMvDataItems* Root = C ? C->RootItems() : nullptr;
    if (Root) InsertRows(0, Root, 0, FExpandLevel);
}

void TMvCustomDataConsumerViewList::ExpandRow(int Index) {
    const TViewListItem& R = Row(Index);
    if ((R.Flags & vlExpanded) || !(R.Flags & vlHasChildren)) return;
    TMvIntf<IMvDataItem> Item = ItemOfRow(Index);
    if (Item) InsertChildren(Index, ChildList(Item.Get()), 0);
}

void TMvCustomDataConsumerViewList::CollapseRow(int Index) {
    if (!(Row(Index).Flags & vlExpanded)) return;
    const int Level = this->Level(Row(Index));
    int End = Index + 1;
    while (End < Count() && this->Level(Row(End)) > Level)
        ++End;
    FRows.erase(FRows.begin() + Index + 1, FRows.begin() + End);
    FRows[static_cast<size_t>(Index)].Flags &= ~vlExpanded;
}

void TMvCustomDataConsumerViewList::ToggleItem(int Index) {
    if (Row(Index).Flags & vlExpanded)
        CollapseRow(Index);
    else
        ExpandRow(Index);
}

void TMvCustomDataConsumerViewList::DeleteRow(int Index) {
    CollapseRow(Index);
    const int Level = this->Level(Row(Index));
    const int Parent = ParentIndex(Index);
    FRows.erase(FRows.begin() + Index);
    if (Parent >= 0) {
        bool OtherChild = false;
        for (int i = Parent + 1; i < Count() && this->Level(Row(i)) >= Level; ++i)
            OtherChild = OtherChild || this->Level(Row(i)) == Level;
        if (!OtherChild) FRows[static_cast<size_t>(Parent)].Flags &= ~(vlExpanded | vlHasChildren);
    }
}

int TMvCustomDataConsumerViewList::IndexOfID(const TMvDataItemID& ID) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (SameText(Row(i).ItemID, ID)) return i;
    return -1;
}

int TMvCustomDataConsumerViewList::IndexOfItem(IMvDataItem* Item) const {
    return Item ? IndexOfID(Item->GetID()) : -1;
}

int TMvCustomDataConsumerViewList::ParentIndex(int Index) const {
    const int Level = this->Level(Row(Index));
    for (int i = Index - 1; i >= 0; --i)
        if (this->Level(Row(i)) < Level) return i;
    return -1;
}

int TMvCustomDataConsumerViewList::SiblingIndex(int Index) const {
    const int Level = this->Level(Row(Index));
    int N = 0;
    for (int i = Index - 1; i >= 0 && this->Level(Row(i)) >= Level; --i)
        if (this->Level(Row(i)) == Level) ++N;
    return N;
}

TMvIntf<IMvDataItem> TMvCustomDataConsumerViewList::ItemOfRow(int Index) {
    const int Parent = ParentIndex(Index);
    IMvDataItems* List = nullptr;
    TMvIntf<IMvDataItem> ParentItem;
    if (Parent < 0) {
        TMvDataConsumer* C = Consumer();
        List = C ? C->RootItems() : nullptr;
    } else {
        ParentItem = ItemOfRow(Parent);
        List = ParentItem ? ChildList(ParentItem.Get()) : nullptr;
    }
    TMvIntf<IMvDataIDSearch> Search = MvQuery<IMvDataIDSearch>(List);
    return Search ? Search->FindByIDEx(Row(Index).ItemID, false) : nullptr;
}

std::vector<uint32_t> TMvCustomDataConsumerViewList::TreeLineBits(int Index) const {
    const int Level = this->Level(Row(Index));
    std::vector<uint32_t> Bits(static_cast<size_t>((Level + 31) / 32), 0);
    // The ancestor at level K has a following sibling when a later row comes back
    // to level K before anything shallower.
    for (int K = Level - 1; K >= 0; --K) {
        for (int j = Index + 1; j < Count(); ++j) {
            const int L = this->Level(this->Row(j));
            if (L < K) break;
            if (L == K) {
                Bits[static_cast<size_t>(K / 32)] |= 1u << (K % 32);
                break;
            }
        }
    }
    return Bits;
}

void TMvCustomDataConsumerViewList::SetLevelIndent(int Value) {
    if (Value == FLevelIndent) return;
    TMvDataConsumer* C = Consumer();
    if (C) C->Changing(pcrConsumerView);
    FLevelIndent = Value;
    if (C) C->Changed(pcrConsumerView);
}

void TMvCustomDataConsumerViewList::ProviderChanging(int Reason, IMvUnknown* Source) {
    if (Reason != pcrDelete || !Source) return;
    void* P = nullptr;
    if (Source->QueryInterface(IMvDataItem::IID(), &P) != kMvOk) return;
    TMvIntf<IMvDataItem> Item(static_cast<IMvDataItem*>(P), false);
    const int Index = IndexOfItem(Item.Get());
    if (Index >= 0) DeleteRow(Index);
}

void TMvCustomDataConsumerViewList::ProviderChanged(int Reason, IMvUnknown* Source) {
    TMvIntf<IMvDataItem> Item;
    if (Source) {
        void* P = nullptr;
        if (Source->QueryInterface(IMvDataItem::IID(), &P) == kMvOk)
            Item = TMvIntf<IMvDataItem>(static_cast<IMvDataItem*>(P), false);
    }
    switch (Reason) {
    case pcrAdd:
        if (Item && MvItemDisplayState(Item.Get()) != 0) InsertItemRow(Item.Get(), true);
        return;
    case pcrUpdate: {
        if (!Item) return;
        const int Index = IndexOfItem(Item.Get());
        // A change of display state brings the row in or takes it out.
        const bool Shown = MvItemDisplayState(Item.Get()) != 0;
        if (Index < 0) {
            if (Shown) InsertItemRow(Item.Get(), false);
            return;
        }
        if (!Shown) {
            DeleteRow(Index);
            return;
        }
        IMvDataItems* Owner = Item->GetItems();
        IMvDataItem* ParentItem = Owner ? Owner->GetParent() : nullptr;
        const int Parent = ParentIndex(Index);
        const bool Expected =
            ParentItem ? (Parent >= 0 && SameText(Row(Parent).ItemID, ParentItem->GetID())) : Parent < 0;
        if (!Expected) throw EMvLibDataConsumer("ViewList out of sync");
        TViewListItem& R = FRows[static_cast<size_t>(Index)];
        R.Flags = (R.Flags & vlExpanded) | FlagsFor(Item.Get(), Level(R));
        return;
    }
    case pcrListUpdate:
    case pcrFullUpdate:
        Rebuild();
        return;
    default:
        return;
    }
}

void TMvCustomDataConsumerViewList::InsertItemRow(IMvDataItem* Item, bool Added) {
    IMvDataItems* Owner = Item->GetItems();
    IMvDataItem* ParentItem = Owner ? Owner->GetParent() : nullptr;
    int Level = 0;
    int At = Count();
    if (ParentItem) {
        const int Parent = IndexOfItem(ParentItem);
        if (Parent < 0) return;
        TViewListItem& P = FRows[static_cast<size_t>(Parent)];
        if (!(P.Flags & vlExpanded)) {
            if (!Added) return; // an item shown again under a collapsed parent stays folded away
            // A collapsed parent only shows that it has children now; it is expanded
            // when it already had some.
            const bool HadChildren = (P.Flags & vlHasChildren) != 0;
            P.Flags |= vlHasChildList | vlHasChildren;
            if (HadChildren) ExpandRow(Parent);
            return;
        }
        Level = this->Level(P) + 1;
        // Without a later sibling in view, the row goes after the parent's last descendant.
        At = Parent + 1;
        while (At < Count() && this->Level(Row(At)) >= Level)
            ++At;
    } else {
        // Only the items of the list the consumer shows are rows.
        TMvDataConsumer* C = Consumer();
        if (!C || !Owner || C->RootItems() != Owner) return;
    }
    // Rows follow the list's order: the row goes before the first later sibling in view
    // (siblings may be hidden, so the item's index alone does not place it).
    if (Owner)
        for (int i = Item->GetIndex() + 1; i < Owner->GetCount(); ++i) {
            const int Next = IndexOfItem(Owner->GetItem(i).Get());
            if (Next >= 0) {
                At = Next;
                break;
            }
        }
    FRows.insert(FRows.begin() + At, TViewListItem{Item->GetID(), FlagsFor(Item, Level)});
}

void TMvCustomDataConsumerViewList::ConsumerChanged(int Reason) {
    if (Reason == dcrProviderChange || Reason == dcrContextChange) Rebuild();
}

void TMvDataConsumerViewList::WriteProperties(TMvDataWriter& Writer) {
    if (FLevelIndent != 16) Writer.WriteInteger("LevelIndent", FLevelIndent);
}

bool TMvDataConsumerViewList::ReadProperty(const std::string& Name, TMvDataReader& Reader) {
    if (!SameText(Name, "LevelIndent")) return false;
    FLevelIndent = static_cast<int>(Reader.ReadInteger());
    return true;
}
