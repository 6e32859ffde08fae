// The data provider framework: identities, facets and reference counting, the
// stream round trip and its errors, contexts, consumers and the view list.
#include "dataprovider/MvDataProvider.h"

#include "gui/Component.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A provider with a root list, optional contexts and a record of every notice.
class TTestProvider : public TExtensibleInterfacedPersistent, public IMvDataProvider {
public:
    explicit TTestProvider(bool WithContexts) {
        FRoot = MvNew<TMvDataItemsList>(this, nullptr);
        FRoot->AddExtension(std::make_unique<TMvBaseDataItemsListManagement>(FRoot.Get()));
        FRoot->AddExtension(std::make_unique<TMvCustomDataItemsTextRenderer>(FRoot.Get()));
        if (WithContexts) FContexts = MvNew<TMvDataContexts>(this);
    }
    ~TTestProvider() override { FRoot->SetProvider(nullptr); }
    std::string ClassName() const override { return "TTestProvider"; }
    IMvDataItems* GetItems() override { return FRoot.Get(); }
    IMvDataContexts* GetContexts() override { return FContexts.Get(); }
    void Changing(int Reason, IMvUnknown* Source) override {
        for (IMvDataChangeNotify* N : std::vector<IMvDataChangeNotify*>(FNotify))
            N->DataProviderChanging(this, Reason, Source);
    }
    void Changed(int Reason, IMvUnknown* Source) override {
        for (IMvDataChangeNotify* N : std::vector<IMvDataChangeNotify*>(FNotify))
            N->DataProviderChanged(this, Reason, Source);
    }
    void RegisterChangeNotify(IMvDataChangeNotify* N) override { FNotify.push_back(N); }
    void UnregisterChangeNotify(IMvDataChangeNotify* N) override { std::erase(FNotify, N); }

    TMvDataItemsList& Root() { return *FRoot; }
    TMvDataContexts& Contexts() { return *FContexts; }

protected:
    bool GetInterface(const TMvGUID& IID, void** Obj) override {
        if (!SameGUID(IID, IMvDataProvider::IID()))
            return TExtensibleInterfacedPersistent::GetInterface(IID, Obj);
        *Obj = static_cast<IMvDataProvider*>(this);
        return true;
    }

private:
    TMvIntf<TMvDataItemsList> FRoot;
    TMvIntf<TMvDataContexts> FContexts;
    std::vector<IMvDataChangeNotify*> FNotify;
};

// An item with a caption and, optionally, an image facet.
TMvIntf<TMvBaseDataItem> MakeItem(const std::string& Caption, int Image = -1) {
    TMvIntf<TMvBaseDataItem> Item = MvNew<TMvBaseDataItem>();
    auto* Text = static_cast<TMvDataItemTextImpl*>(
        Item->AddExtension(std::make_unique<TMvDataItemTextImpl>(Item.Get())));
    Text->SetCaption(Caption);
    if (Image >= 0) {
        auto* Img = static_cast<TMvDataItemImageImpl*>(
            Item->AddExtension(std::make_unique<TMvDataItemImageImpl>(Item.Get())));
        Img->SetImageIndex(Image);
        Img->SetSelectedIndex(Image + 1);
        Img->SetAlignment(TMvImageAlignment::taCenter);
    }
    return Item;
}

TMvIntf<IMvDataItem> AsItem(const TMvIntf<TMvBaseDataItem>& I) {
    return TMvIntf<IMvDataItem>(static_cast<IMvDataItem*>(I.Get()));
}

std::string CaptionOf(IMvDataItem* Item) {
    TMvIntf<IMvDataItemText> T = MvQuery<IMvDataItemText>(Item);
    return T ? T->GetCaption() : "?";
}

// Adds children to an item's child list (through its management facet).
void AddChildren(TMvBaseDataItem& Parent, const std::vector<std::string>& Captions) {
    auto* Children = static_cast<TMvDataItemsList*>(Parent.SubItems(true));
    if (!Children->FindExtension("TMvBaseDataItemsListManagement"))
        Children->AddExtension(std::make_unique<TMvBaseDataItemsListManagement>(Children));
    TMvIntf<IMvDataItemsManagement> M = MvQuery<IMvDataItemsManagement>(static_cast<IMvDataItems*>(Children));
    for (const std::string& C : Captions)
        M->Add(AsItem(MakeItem(C)));
}

// ---- identities ----

int Counter = 0;
bool CountingSource(TMvGUID& G) {
    G = TMvGUID{};
    G.D1 = static_cast<uint32_t>(++Counter);
    return true;
}
bool FailingSource(TMvGUID&) {
    return false;
}
bool RepeatingSource(TMvGUID& G) {
    G = TMvGUID{};
    G.D1 = 0xABCDEF;
    return true;
}

TEST(DataProviderIds, NewItemsGetDistinct32DigitIds) {
    std::set<std::string> Seen;
    for (int i = 0; i < 200; ++i) {
        TMvIntf<TMvBaseDataItem> Item = MvNew<TMvBaseDataItem>();
        const std::string ID = Item->GetID();
        ASSERT_EQ(ID.size(), 32u);
        EXPECT_EQ(ID.find_first_not_of("0123456789ABCDEF"), std::string::npos) << ID;
        EXPECT_TRUE(Seen.insert(ID).second) << ID;
    }
    // Two digits per byte, in byte order.
    TMvGuidSource Old = SetMvGuidSource(CountingSource);
    Counter = 0x01020304 - 1;
    EXPECT_EQ(MvNew<TMvBaseDataItem>()->GetID(), "04030201000000000000000000000000");
    SetMvGuidSource(Old);
}

TEST(DataProviderIds, AFailingOrRepeatingSourceRaises) {
    TMvGuidSource Old = SetMvGuidSource(FailingSource);
    EXPECT_THROW(MvNew<TMvBaseDataItem>(), EMvLibDataProvider);
    SetMvGuidSource(RepeatingSource);
    {
        TMvIntf<TMvBaseDataItem> First = MvNew<TMvBaseDataItem>();
        // The same GUID again may not make a second item with the first one's ID.
        EXPECT_THROW(MvNew<TMvBaseDataItem>(), EMvLibDataProvider);
    }
    // Once the first item is gone its ID is free again.
    EXPECT_NO_THROW(MvNew<TMvBaseDataItem>());
    SetMvGuidSource(Old);
}

// ---- counting and facets ----

TEST(DataProviderObjects, ReferenceCountsAndInterfaces) {
    TMvIntf<TMvBaseDataItem> Item = MakeItem("caption", 3);
    EXPECT_EQ(Item->RefCount(), 1);
    {
        TMvIntf<IMvDataItemText> Text = MvQuery<IMvDataItemText>(Item);
        ASSERT_TRUE(Text);
        EXPECT_EQ(Item->RefCount(), 2); // the facet counts on its item
        EXPECT_EQ(Text->GetCaption(), "caption");
        // A facet answers for its item and its siblings.
        TMvIntf<IMvDataItemImage> Image = MvQuery<IMvDataItemImage>(Text);
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->GetImageIndex(), 3);
        TMvIntf<IMvDataItem> Back = MvQuery<IMvDataItem>(Image);
        EXPECT_EQ(Back.Get(), static_cast<IMvDataItem*>(Item.Get()));
    }
    EXPECT_EQ(Item->RefCount(), 1);
    void* P = reinterpret_cast<void*>(1);
    EXPECT_EQ(Item->QueryInterface(IMvDataContext::IID(), &P), kMvNoInterface);
    EXPECT_EQ(P, nullptr);
    // One extension per class.
    try {
        Item->AddExtension(std::make_unique<TMvDataItemTextImpl>(Item.Get()));
        ADD_FAILURE() << "no exception";
    } catch (const EMvLibException& E) {
        EXPECT_STREQ(E.what(), "Implementation of that class already exists");
    }
    EXPECT_TRUE(Item->RemoveExtension("TMvDataItemImageImpl"));
    EXPECT_FALSE(MvQuery<IMvDataItemImage>(Item));
    // A child list is the item's IMvDataItems, counted on the list.
    EXPECT_FALSE(MvQuery<IMvDataItems>(Item));
    AddChildren(*Item, {"x"});
    TMvIntf<IMvDataItems> Children = MvQuery<IMvDataItems>(Item);
    ASSERT_TRUE(Children);
    EXPECT_EQ(Children->GetCount(), 1);
    EXPECT_EQ(Children->GetParent(), static_cast<IMvDataItem*>(Item.Get()));
    EXPECT_EQ(Item->RefCount(), 1);
    // The list outlives the item when someone holds it; it forgets its parent.
    Item.Reset();
    EXPECT_EQ(Children->GetParent(), nullptr);
    EXPECT_EQ(CaptionOf(Children->GetItem(0).Get()), "x");
}

TEST(DataProviderObjects, TreesFreeThemselves) {
    // Items, facets and child lists hold no counted references back up the tree, so
    // releasing the root frees everything (the sanitizer's leak check watches).
    TMvIntf<TTestProvider> Provider = MvNew<TTestProvider>(true);
    TMvIntf<IMvDataItemsManagement> M =
        MvQuery<IMvDataItemsManagement>(static_cast<IMvDataItems*>(&Provider->Root()));
    for (int i = 0; i < 5; ++i) {
        TMvIntf<TMvBaseDataItem> Item = MakeItem("item " + std::to_string(i), i);
        AddChildren(*Item, {"a", "b"});
        AddChildren(*static_cast<TMvBaseDataItem*>(Item->SubItems(false)->GetItem(0).Get()), {"deep"});
        M->Add(AsItem(Item));
    }
    TMvIntf<TMvDataConsumer> Consumer = MvNew<TMvDataConsumer>(nullptr);
    Consumer->AddExtension(std::make_unique<TMvDataConsumerViewList>(Consumer.Get()));
    Consumer->SetProvider(TMvIntf<IMvDataProvider>(Provider.Get()));
    TMvIntf<IMvDataItem> Kept = Provider->Root().GetItem(2);
    Provider.Reset();
    Consumer.Reset();
    EXPECT_EQ(CaptionOf(Kept.Get()), "item 2"); // still alive through its own reference
}

// ---- the stream ----

TEST(DataProviderStream, RoundTripKeepsTreeIdsAndFacets) {
    TComponent Form(nullptr);
    TComponent Images(&Form), Hot(&Form);
    Images.SetName("ilNormal");
    Hot.SetName("ilHot");
    TMvCustomDataItemsImages::Resolver = [&](const std::string& Name) { return Form.FindComponent(Name); };

    TMvIntf<TMvDataItemsList> List = MvNew<TMvDataItemsList>();
    List->AddExtension(std::make_unique<TMvBaseDataItemsListManagement>(List.Get()));
    List->AddExtension(std::make_unique<TMvCustomDataItemsTextRenderer>(List.Get()));
    auto* ImagesFacet = static_cast<TMvCustomDataItemsImages*>(
        List->AddExtension(std::make_unique<TMvCustomDataItemsImages>(List.Get())));
    ImagesFacet->SetImages(&Images);
    ImagesFacet->SetHotImages(&Hot);
    TMvIntf<IMvDataItemsManagement> M =
        MvQuery<IMvDataItemsManagement>(static_cast<IMvDataItems*>(List.Get()));
    TMvIntf<TMvBaseDataItem> A = MakeItem("Alpha \"quoted\"", 4), B = MakeItem("Beta");
    AddChildren(*B, {"B1", "B2"});
    AddChildren(*static_cast<TMvBaseDataItem*>(B->SubItems(false)->GetItem(1).Get()), {"B2a"});
    M->Add(AsItem(A));
    M->Add(AsItem(B));
    M->Add(AsItem(MvNew<TMvBaseDataItem>())); // an item without facets

    const std::string Text = MvWriteItemList(*List);
    TMvIntf<TMvDataItemsList> Copy = MvNew<TMvDataItemsList>();
    MvReadItemList(*Copy, Text);
    EXPECT_EQ(MvWriteItemList(*Copy), Text);

    ASSERT_EQ(Copy->GetCount(), 3);
    EXPECT_EQ(Copy->GetItem(0)->GetID(), A->GetID());
    EXPECT_EQ(CaptionOf(Copy->GetItem(0).Get()), "Alpha \"quoted\"");
    TMvIntf<IMvDataItemImage> Img = MvQuery<IMvDataItemImage>(Copy->GetItem(0));
    ASSERT_TRUE(Img);
    EXPECT_EQ(Img->GetImageIndex(), 4);
    EXPECT_EQ(Img->GetSelectedIndex(), 5);
    EXPECT_EQ(Img->GetAlignment(), TMvImageAlignment::taCenter);
    TMvIntf<IMvDataItems> BKids = MvQuery<IMvDataItems>(Copy->GetItem(1));
    ASSERT_TRUE(BKids);
    ASSERT_EQ(BKids->GetCount(), 2);
    EXPECT_EQ(CaptionOf(BKids->GetItem(1).Get()), "B2");
    EXPECT_EQ(BKids->GetParent()->GetID(), B->GetID());
    TMvIntf<IMvDataIDSearch> Search = MvQuery<IMvDataIDSearch>(static_cast<IMvDataItems*>(Copy.Get()));
    const std::string DeepID = MvQuery<IMvDataItems>(B->SubItems(false)->GetItem(1))->GetItem(0)->GetID();
    TMvIntf<IMvDataItem> Deep = Search->FindByIDEx(DeepID, true);
    ASSERT_TRUE(Deep);
    EXPECT_EQ(CaptionOf(Deep.Get()), "B2a");
    EXPECT_FALSE(Search->FindByIDEx(DeepID, false));
    TMvIntf<IMvDataItemsImages> CopyImages =
        MvQuery<IMvDataItemsImages>(static_cast<IMvDataItems*>(Copy.Get()));
    ASSERT_TRUE(CopyImages);
    EXPECT_EQ(CopyImages->GetImages(), &Images);
    EXPECT_EQ(CopyImages->GetHotImages(), &Hot);
    EXPECT_EQ(CopyImages->GetDisabledImages(), nullptr);
    EXPECT_TRUE(MvQuery<IMvDataItemsRenderer>(static_cast<IMvDataItems*>(Copy.Get())));
    TMvCustomDataItemsImages::Resolver = nullptr;
}

TEST(DataProviderStream, BadStreamsRaiseAndLeaveTheListAlone) {
    TMvIntf<TMvDataItemsList> List = MvNew<TMvDataItemsList>();
    List->Append(AsItem(MakeItem("kept")));
    const std::string ID = List->GetItem(0)->GetID();
    struct Case {
        const char* Text;
        const char* Message;
    } cases[] = {
        {R"(< ClassName "TMvDataItemsList" Items [ < ID "1" ClassName "TMvBaseDataItem" > ] >)",
         "Missing ClassName property"},
        {R"(< ClassName "TMvDataItemsList" Items [ < ClassName "TMvBaseDataItem" > < Caption "x" > ] >)",
         "Missing ClassName property"},
        {R"(< ClassName "TMvDataItemsList" Items [ < ClassName "TNoSuchItem" > ] >)",
         "Class TNoSuchItem not found"},
        {R"(< ClassName "TMvDataItemsList" Items "not a list" >)", "Expected collection"},
        {R"(< ClassName "TMvDataItemsList" Extensions [ < ClassName "TMvBaseDataItem" > ] >)",
         "Invalid class type"},
        {R"(< ClassName "TMvDataItemsList" Items [ < ClassName "TMvDataItemsList" > ] >)",
         "Invalid class type"},
        {R"(< ClassName "TMvDataItemsList" Items [ < ClassName "TMvBaseDataItem" ID "unterminated > ] >)",
         "Invalid stream format: unterminated string"},
        {R"(< ClassName "TMvDataItemsList" Items [ )", "Invalid stream format: '<' expected"},
    };
    for (const Case& C : cases) {
        try {
            MvReadItemList(*List, C.Text);
            ADD_FAILURE() << "no exception for " << C.Text;
        } catch (const Exception& E) {
            EXPECT_STREQ(E.what(), C.Message) << C.Text;
        }
        ASSERT_EQ(List->GetCount(), 1) << C.Text;
        EXPECT_EQ(List->GetItem(0)->GetID(), ID);
    }
    // Nesting is capped.
    std::string Deep = R"(< ClassName "TMvDataItemsList" Items [ )";
    for (int i = 0; i < 100; ++i)
        Deep += R"(< ClassName "TMvBaseDataItem" SubItems [ )";
    EXPECT_THROW(MvReadItemList(*List, Deep), EReadError);
    EXPECT_EQ(List->GetCount(), 1);
    // Class names are found without regard to case; unknown properties are skipped.
    MvReadItemList(
        *List,
        R"(< classname "tmvdataitemslist" Items [ < CLASSNAME "TMVBASEDATAITEM" ID "AB" Extra 5 > ] >)");
    ASSERT_EQ(List->GetCount(), 1);
    EXPECT_EQ(List->GetItem(0)->GetID(), "AB");
}

// ---- rendering ----

class TFakeCanvas : public IMvTextCanvas {
public:
    std::vector<std::string> Drawn;
    void TextRect(const TMvRect& R, int X, int Y, const std::string& Text) override {
        EXPECT_EQ(X, R.Left);
        EXPECT_EQ(Y, R.Top);
        Drawn.push_back(Text);
    }
    TMvExtent TextExtent(const std::string& Text) override { return {static_cast<int>(Text.size()) * 7, 13}; }
};

TEST(DataProviderRender, CaptionsOrTheirAbsenceAndBadIndexes) {
    TMvIntf<TTestProvider> P = MvNew<TTestProvider>(false);
    P->Root().Append(AsItem(MakeItem("Hello")));
    P->Root().Append(AsItem(MvNew<TMvBaseDataItem>()));
    TMvIntf<IMvDataItemsRenderer> R = MvQuery<IMvDataItemsRenderer>(P->GetItems());
    ASSERT_TRUE(R);
    TFakeCanvas C;
    R->DrawItemByIndex(C, TMvRect{3, 4, 100, 20}, 0);
    R->DrawItemByIndex(C, TMvRect{0, 0, 100, 20}, 1);
    EXPECT_EQ(C.Drawn,
              (std::vector<std::string>{"Hello", "(item does not support the IMvDataItemText interface)"}));
    EXPECT_EQ(R->MeasureItemByIndex(C, 0).cx, 35);
    EXPECT_EQ(R->AvgItemSize(C).cx, 140);
    try {
        R->DrawItemByIndex(C, TMvRect{}, 5);
        ADD_FAILURE() << "no exception";
    } catch (const EMvLibDataItems& E) {
        EXPECT_STREQ(E.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(R->MeasureItemByIndex(C, -1), EMvLibDataItems);
}

// ---- management, contexts and consumers ----

struct TReasonLog {
    std::map<int, int> Changing, Changed;
};

TEST(DataProviderConsumer, SeesEachChangeReasonOnce) {
    TMvIntf<TTestProvider> P = MvNew<TTestProvider>(true);
    TMvIntf<TMvDataConsumer> Consumer = MvNew<TMvDataConsumer>(nullptr);
    Consumer->SetProvider(TMvIntf<IMvDataProvider>(P.Get()));
    TReasonLog Log;
    Consumer->OnChanging = [&](TMvDataConsumer*, int R) { ++Log.Changing[R]; };
    Consumer->OnChanged = [&](TMvDataConsumer*, int R) { ++Log.Changed[R]; };
    int Repaints = 0;
    Consumer->OnInvalidate = [&] { ++Repaints; };

    TMvIntf<IMvDataItemsManagement> M = MvQuery<IMvDataItemsManagement>(P->GetItems());
    TMvIntf<TMvBaseDataItem> Item = MakeItem("one");
    M->Add(AsItem(Item));                                          // 0
    MvQuery<IMvDataItemText>(Item)->SetCaption("renamed");         // 2
    M->Delete(0);                                                  // 1
    M->Clear();                                                    // 3
    P->Contexts().Add(MvNew<TMvDataContext>(&P->Contexts(), "A")); // 5
    P->Contexts().Delete(0);                                       // 6
    for (int Reason : {pcrAdd, pcrUpdate, pcrDelete, pcrListUpdate, pcrContextAdd, pcrContextDelete}) {
        EXPECT_EQ(Log.Changing[Reason], 1) << Reason;
        EXPECT_EQ(Log.Changed[Reason], 1) << Reason;
    }
    EXPECT_EQ(Repaints, 6);
    EXPECT_EQ(Item->GetItems(), nullptr); // deleted from the list
}

TEST(DataProviderConsumer, ItemsThatMayNotGoStay) {
    class TFixedItem : public TMvBaseDataItem {
    public:
        bool IsDeletable() override { return false; }
    };
    TMvIntf<TTestProvider> P = MvNew<TTestProvider>(false);
    TMvIntf<IMvDataItemsManagement> M = MvQuery<IMvDataItemsManagement>(P->GetItems());
    TMvIntf<TFixedItem> Fixed = MvNew<TFixedItem>();
    M->Add(TMvIntf<IMvDataItem>(static_cast<IMvDataItem*>(Fixed.Get())));
    try {
        M->Delete(0);
        ADD_FAILURE() << "no exception";
    } catch (const EMvLibDataItems& E) {
        EXPECT_STREQ(E.what(), "Item cannot be deleted");
    }
    EXPECT_EQ(P->GetItems()->GetCount(), 1);
    EXPECT_THROW(M->New(), EMvLibDataItems);
}

TEST(DataProviderConsumer, ContextsAndTheirMessages) {
    TMvIntf<TMvDataConsumer> Consumer = MvNew<TMvDataConsumer>(nullptr);
    auto Message = [](const std::function<void()>& Fn) -> std::string {
        try {
            Fn();
        } catch (const EMvLibDataProvider& E) {
            return E.what();
        }
        return "no exception";
    };
    EXPECT_EQ(Message([&] { Consumer->SetContext("A"); }),
              "You must specify a provider before setting the context");
    Consumer->SetLoading(true);
    Consumer->SetContext("Remembered"); // only stored while loading
    EXPECT_EQ(Consumer->Context(), "Remembered");
    Consumer->SetLoading(false);

    TMvIntf<TTestProvider> Plain = MvNew<TTestProvider>(false);
    Consumer->SetProvider(TMvIntf<IMvDataProvider>(Plain.Get()));
    EXPECT_EQ(Consumer->Context(), "");
    EXPECT_EQ(Message([&] { Consumer->SetContext("A"); }), "Provider does not support contexts");

    TMvIntf<TTestProvider> P = MvNew<TTestProvider>(true);
    P->Contexts().Add(MvNew<TMvFixedDataContext>(&P->Contexts(), "Default"));
    TMvIntf<TMvManagedDataContext> Second = MvNew<TMvManagedDataContext>(&P->Contexts(), "Second");
    P->Contexts().Add(TMvIntf<IMvDataContext>(static_cast<IMvDataContext*>(Second.Get())));
    EXPECT_EQ(Message([&] { P->Contexts().Add(MvNew<TMvDataContext>(&P->Contexts(), "Second")); }),
              "A context with that name already exists");
    EXPECT_EQ(Message([&] { Second->SetName("Default"); }), "A context with that name already exists");
    EXPECT_EQ(Message([&] { MvNew<TMvDataContext>(nullptr, "Lonely"); }),
              "Cannot create a context without a context list owner");

    Consumer->SetProvider(TMvIntf<IMvDataProvider>(P.Get()));
    EXPECT_EQ(Consumer->Context(), "Default"); // the first context
    Consumer->SetContext("Second");
    EXPECT_EQ(Consumer->Context(), "Second");
    EXPECT_EQ(Message([&] { Consumer->SetContext("Third"); }), "Provider has no context named \"Third\"");
    EXPECT_EQ(Consumer->Context(), "Second");
    Second->SetName("Renamed");
    EXPECT_TRUE(P->Contexts().GetContextByName("Renamed"));

    TMvIntf<TTestProvider> Other = MvNew<TTestProvider>(true);
    TMvIntf<TMvDataContext> Foreign = MvNew<TMvDataContext>(&Other->Contexts(), "Foreign");
    EXPECT_EQ(Message([&] { Consumer->SetContextObject(Foreign.Get()); }),
              "The specified context is not part of the same provider");
    // The fixed context stays when asked to go.
    P->Contexts().Delete(0);
    EXPECT_EQ(P->Contexts().GetCount(), 2);
    P->Contexts().Delete(1);
    EXPECT_EQ(P->Contexts().GetCount(), 1);
    Consumer->SetProvider(nullptr);
}

TEST(DataProviderConsumer, ItemSelection) {
    TMvIntf<TMvDataConsumer> Consumer = MvNew<TMvDataConsumer>(nullptr);
    Consumer->AddExplicitExtension(std::make_unique<TMvDataConsumerItemSelect>(Consumer.Get()));
    int Changes = 0;
    Consumer->OnChanged = [&](TMvDataConsumer*, int) { ++Changes; };
    TMvIntf<IMvDataConsumerItemSelect> Select = MvQuery<IMvDataConsumerItemSelect>(Consumer);
    ASSERT_TRUE(Select);
    Select->SetItem("0011");
    Select->SetItem("0011");
    EXPECT_EQ(Select->GetItem(), "0011");
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Consumer->AttributeApplies("TMvDataConsumerItemSelect"));
}

// ---- the view list ----

class ViewListTest : public ::testing::Test {
protected:
    void SetUp() override {
        P = MvNew<TTestProvider>(false);
        M = MvQuery<IMvDataItemsManagement>(P->GetItems());
        for (const char* C : {"A", "B", "C"})
            M->Add(AsItem(MakeItem(C)));
        B = static_cast<TMvBaseDataItem*>(P->Root().GetItem(1).Get());
        AddChildren(*B, {"B1", "B2", "B3"});
        AddChildren(*static_cast<TMvBaseDataItem*>(B->SubItems(false)->GetItem(1).Get()), {"B2a"});
        Consumer = MvNew<TMvDataConsumer>(nullptr);
        View = static_cast<TMvDataConsumerViewList*>(
            Consumer->AddExplicitExtension(std::make_unique<TMvDataConsumerViewList>(Consumer.Get())));
        Consumer->SetProvider(TMvIntf<IMvDataProvider>(P.Get()));
    }
    std::string Rows() {
        std::string S;
        for (int i = 0; i < View->Count(); ++i) {
            if (i) S += ' ';
            S += std::string(static_cast<size_t>(View->Level(View->Row(i))), '.') +
                 CaptionOf(View->ItemOfRow(i).Get());
        }
        return S;
    }
    TMvIntf<TTestProvider> P;
    TMvIntf<IMvDataItemsManagement> M;
    TMvBaseDataItem* B = nullptr;
    TMvIntf<TMvDataConsumer> Consumer;
    TMvDataConsumerViewList* View = nullptr;
};

TEST_F(ViewListTest, ExpandAndCollapseRestoreTheRowCount) {
    EXPECT_EQ(Rows(), "A B C");
    const int Row = View->IndexOfID(B->GetID());
    ASSERT_EQ(Row, 1);
    EXPECT_EQ(View->Row(Row).Flags & (vlHasChildList | vlHasChildren | vlExpanded),
              vlHasChildList | vlHasChildren);
    View->ToggleItem(Row);
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 C");
    EXPECT_TRUE(View->Row(Row).Flags & vlExpanded);
    EXPECT_EQ(View->ParentIndex(3), 1);
    EXPECT_EQ(View->SiblingIndex(4), 2);
    View->ToggleItem(3); // B2
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3 C");
    View->ToggleItem(Row);
    EXPECT_EQ(Rows(), "A B C");
    EXPECT_FALSE(View->Row(Row).Flags & vlExpanded);
    // IDs are found without regard to case.
    std::string Lower = B->GetID();
    for (char& Ch : Lower)
        Ch = static_cast<char>(std::tolower(static_cast<unsigned char>(Ch)));
    EXPECT_EQ(View->IndexOfID(Lower), 1);
}

TEST_F(ViewListTest, ExpansionDepthAndTreeLines) {
    View->SetExpandLevel(5);
    View->Rebuild();
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3 C");
    // B2a (level 2): its parent B2 has a following sibling (B3), B has one (C).
    EXPECT_EQ(View->TreeLineBits(4), (std::vector<uint32_t>{0x3}));
    // B3 (level 1): B has a following sibling; B3 itself is last.
    EXPECT_EQ(View->TreeLineBits(5), (std::vector<uint32_t>{0x1}));
    View->SetExpandLevel(1);
    View->Rebuild();
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 C");
}

TEST_F(ViewListTest, ProviderChangesReachTheRows) {
    View->ToggleItem(1);
    TMvIntf<IMvDataItemsManagement> Kids =
        MvQuery<IMvDataItemsManagement>(MvQuery<IMvDataItems>(B->SubItems(false)->GetItem(0)));
    EXPECT_FALSE(Kids); // B1 has no child list yet
    // A new child of an expanded parent appears in its place.
    TMvIntf<IMvDataItemsManagement> BKids =
        MvQuery<IMvDataItemsManagement>(static_cast<IMvDataItems*>(B->SubItems(false)));
    BKids->Add(AsItem(MakeItem("B4")));
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 .B4 C");
    // A new root item too.
    M->Add(AsItem(MakeItem("D")));
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 .B4 C D");
    // Deleting a row's item removes the row; the last child takes the parent's marks.
    BKids->Delete(3);
    BKids->Delete(2);
    BKids->Delete(1);
    EXPECT_EQ(Rows(), "A B .B1 C D");
    BKids->Delete(0);
    EXPECT_EQ(Rows(), "A B C D");
    EXPECT_EQ(View->Row(1).Flags & (vlExpanded | vlHasChildren), 0u);
    // A list changed as a whole is read again.
    M->Clear();
    EXPECT_EQ(View->Count(), 0);
    // The indent is the consumer's own change.
    int Reason = -1;
    Consumer->OnChanged = [&](TMvDataConsumer*, int R) { Reason = R; };
    View->SetLevelIndent(20);
    EXPECT_EQ(Reason, pcrConsumerView);
}

// An extension answering the second state interface only, to see the order they are asked in.
class TStateExFacet : public TMvDataItemAggregatedObject, public IMvDataItemStateEx {
public:
    TStateExFacet(TExtensibleInterfacedPersistent* Controller, int State)
        : TMvDataItemAggregatedObject(Controller), FState(State) {}
    std::string ClassName() const override { return "TStateExFacet"; }
    int GetDisplayStateEx() override { return FState; }
    bool GetInterface(const TMvGUID& IID, void** Obj) override {
        if (!SameGUID(IID, IMvDataItemStateEx::IID())) return false;
        *Obj = static_cast<IMvDataItemStateEx*>(this);
        return true;
    }
    long QueryInterface(const TMvGUID& IID, void** Obj) override {
        return TAggregatedPersistent::QueryInterface(IID, Obj);
    }
    int AddRef() override { return TAggregatedPersistent::AddRef(); }
    int Release() override { return TAggregatedPersistent::Release(); }

private:
    int FState;
};

TMvDataItemStateImpl& StateOf(TMvBaseDataItem& Item) {
    if (auto* S = Item.Extension<TMvDataItemStateImpl>()) return *S;
    return *static_cast<TMvDataItemStateImpl*>(
        Item.AddExtension(std::make_unique<TMvDataItemStateImpl>(&Item)));
}

TEST(DataProviderState, TheFirstStateInterfaceThatAnswersWins) {
    TMvIntf<TMvBaseDataItem> Item = MakeItem("x");
    EXPECT_EQ(MvItemDisplayState(Item.Get()), kMvDefaultDisplayState);
    Item->AddExtension(std::make_unique<TStateExFacet>(Item.Get(), 7));
    EXPECT_EQ(MvItemDisplayState(Item.Get()), 7);
    StateOf(*Item).SetDisplayState(0);
    EXPECT_EQ(MvItemDisplayState(Item.Get()), 0); // asked before the other one
    EXPECT_EQ(MvItemDisplayState(nullptr), kMvDefaultDisplayState);
}

TEST_F(ViewListTest, HiddenItemsHaveNoRowsAndComeBackInPlace) {
    auto* A = static_cast<TMvBaseDataItem*>(P->Root().GetItem(0).Get());
    auto* B2 = static_cast<TMvBaseDataItem*>(B->SubItems(false)->GetItem(1).Get());
    StateOf(*B2).SetDisplayState(0);
    View->SetExpandLevel(5);
    View->Rebuild();
    EXPECT_EQ(Rows(), "A B .B1 .B3 C"); // B2 and B2a below it are left out

    StateOf(*A).SetDisplayState(0);
    EXPECT_EQ(Rows(), "B .B1 .B3 C");
    StateOf(*A).SetDisplayState(1); // any state but 0 shows it, in its place
    EXPECT_EQ(Rows(), "A B .B1 .B3 C");
    StateOf(*B2).SetDisplayState(3);
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 C");
    View->ToggleItem(3);
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3 C");

    // A new item placed before a hidden one goes before the next sibling in view.
    StateOf(*static_cast<TMvBaseDataItem*>(P->Root().GetItem(2).Get())).SetDisplayState(0); // C
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3");
    TMvIntf<TMvBaseDataItem> Hidden = MakeItem("H");
    StateOf(*Hidden).SetDisplayState(0);
    M->Add(AsItem(Hidden));
    M->Add(AsItem(MakeItem("D")));
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3 D");
    StateOf(*Hidden).SetDisplayState(2);
    EXPECT_EQ(Rows(), "A B .B1 .B2 ..B2a .B3 H D");

    // Under a collapsed parent a child shown again stays folded away.
    View->ToggleItem(1);
    StateOf(*B2).SetDisplayState(0);
    StateOf(*B2).SetDisplayState(3);
    EXPECT_EQ(Rows(), "A B H D");
    View->ToggleItem(1);
    EXPECT_EQ(Rows(), "A B .B1 .B2 .B3 H D");
}

TEST(DataProviderStream, TheDisplayStateRoundTrips) {
    TMvIntf<TMvDataItemsList> List = MvNew<TMvDataItemsList>();
    TMvIntf<TMvBaseDataItem> Item = MakeItem("hidden");
    StateOf(*Item).SetDisplayState(0);
    List->Append(AsItem(Item));
    const std::string Text = MvWriteItemList(*List);
    EXPECT_NE(Text.find("TMvDataItemStateImpl"), std::string::npos);
    TMvIntf<TMvDataItemsList> Back = MvNew<TMvDataItemsList>();
    MvReadItemList(*Back, Text);
    ASSERT_EQ(Back->GetCount(), 1);
    EXPECT_EQ(MvItemDisplayState(Back->GetItem(0).Get()), 0);
    EXPECT_EQ(CaptionOf(Back->GetItem(0).Get()), "hidden");
}

// The consumer's services and its view list answer as interfaces of a live consumer: a
// registered client hears each change once, a removed one nothing; the provider notices go
// to what the consumer registered; the view list's rows through its interface.
TEST_F(ViewListTest, TheConsumerServicesAndTheViewListAnswerAsInterfaces) {
    struct TClient : IMvDataConsumerClientNotify {
        std::string Heard;
        void ConsumerChanging(IMvDataConsumer*, int Reason) override {
            Heard += "<" + std::to_string(Reason);
        }
        void ConsumerChanged(IMvDataConsumer*, int Reason) override { Heard += ">" + std::to_string(Reason); }
    } Client;
    IMvUnknown* Unknown = static_cast<IMvDataConsumer*>(Consumer.Get());
    TMvIntf<IMvDataConsumerClients> Clients = MvQuery<IMvDataConsumerClients>(Unknown);
    TMvIntf<IMvDataConsumerProviderLink> Link = MvQuery<IMvDataConsumerProviderLink>(Unknown);
    TMvIntf<IMvDataConsumerChanges> Changes = MvQuery<IMvDataConsumerChanges>(Unknown);
    TMvIntf<IMvDataConsumerViewList> Rows = MvQuery<IMvDataConsumerViewList>(Unknown);
    ASSERT_TRUE(Clients && Link && Changes && Rows);

    Clients->RegisterClientNotify(&Client);
    Clients->RegisterClientNotify(&Client); // once only
    Consumer->SetProvider(nullptr);
    EXPECT_EQ(Client.Heard, "<0>0");
    EXPECT_EQ(Rows->GetRowCount(), 0);
    Consumer->SetProvider(TMvIntf<IMvDataProvider>(P.Get()));
    EXPECT_EQ(Rows->GetRowCount(), 3);
    Client.Heard.clear();
    Changes->NotifyChanged(pcrConsumerView);
    EXPECT_EQ(Client.Heard, ">4");
    int Shown = 0;
    Consumer->OnInvalidate = [&Shown] { ++Shown; };
    Changes->Invalidate();
    EXPECT_EQ(Shown, 1);

    // The provider's notices reach the consumer through what it registered.
    EXPECT_EQ(Link->ProviderNotify(), static_cast<IMvDataChangeNotify*>(Consumer.Get()));
    M->Add(AsItem(MakeItem("D")));
    EXPECT_EQ(Rows->GetRowCount(), 4);

    const int RowB = Rows->RowOfID(B->GetID());
    ASSERT_EQ(RowB, 1);
    EXPECT_EQ(Rows->GetRowItemID(RowB), B->GetID());
    Rows->ToggleRow(RowB);
    EXPECT_EQ(Rows->GetRowCount(), 7);
    EXPECT_TRUE(Rows->GetRowFlags(RowB) & vlExpanded);
    Rows->RebuildRows();
    EXPECT_EQ(Rows->GetRowCount(), 4);

    Clients->UnregisterClientNotify(&Client);
    Client.Heard.clear();
    Changes->NotifyChanging(pcrFullUpdate);
    EXPECT_EQ(Client.Heard, "");
}

} // namespace
