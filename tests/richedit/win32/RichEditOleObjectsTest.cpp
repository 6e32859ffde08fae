// Objects with verbs, links and in-place activation in the rich edit, driven
// with a real OLE object made through the process's class registration.
#include "tests/richedit/win32/RichEditFixture.h"
#include "tests/richedit/win32/TestOleObject.h"

#include "gui/GraphicImages.h"
#include "gui/Menus.h"
#include "gui/Responder.h"
#include "richedit/MvComRef.h"
#include "richedit/MvOleForm.h"
#include "richedit/MvOleUIInfo.h"

#include <string>
#include <vector>

namespace {

struct TMessageSeen {
    std::string Text, Caption;
    UINT Flags;
};

class RichEditOleObjectsTest : public TRichEditFixture {
protected:
    void SetUp() override { ASSERT_TRUE(Registration.Registered()); }

    // Makes a test object through OLE at the caret of R, selects it and returns
    // it (the control holds it; the pointer is borrowed).
    TTestOleObject* InsertTestObject(TMvRichEdit& R, bool Linked = false) {
        IRichEditOle* Ole = R.RichEditOle();
        if (!Ole) return nullptr;
        TComRef<IOleClientSite> Site;
        TComRef<IStorage> Storage;
        TRichEditOleCallback Storages;
        if (FAILED(Ole->GetClientSite(Site.put())) || FAILED(Storages.GetNewStorage(Storage.put())))
            return nullptr;
        TComRef<IOleObject> Object;
        const HRESULT Hr = OleCreate(CLSID_TestOleObject, IID_IOleObject, OLERENDER_NONE, nullptr, Site.get(),
                                     Storage.get(), reinterpret_cast<void**>(Object.put()));
        EXPECT_EQ(Hr, S_OK);
        TTestOleObject* Made = TTestOleClassRegistration::LastMade();
        if (FAILED(Hr) || !Made) return nullptr;
        Made->Linked = Linked;
        Made->Verbs = {{0, L"&Edit", OLEVERBATTRIB_ONCONTAINERMENU},
                       {1, L"&Open", OLEVERBATTRIB_ONCONTAINERMENU},
                       {2, L"Hidden", 0},
                       {3, L"After", OLEVERBATTRIB_ONCONTAINERMENU}};
        REOBJECT Record{};
        Record.cbStruct = sizeof Record;
        Record.cp = REO_CP_SELECTION;
        Record.clsid = CLSID_TestOleObject;
        Record.poleobj = Object.get();
        Record.pstg = Storage.get();
        Record.polesite = Site.get();
        Record.dvaspect = DVASPECT_CONTENT;
        Record.dwFlags = REO_RESIZABLE | (Linked ? REO_LINK : 0);
        const CHARRANGE At = R.GetSelection();
        EXPECT_EQ(Ole->InsertObject(&Record), S_OK);
        R.SetSelection(At.cpMin, At.cpMin + 1, true);
        return Made;
    }

    // The selected object's record with its object and site (released by the caller).
    static REOBJECT SelectedRecord(TMvRichEdit& R) {
        REOBJECT Record{};
        Record.cbStruct = sizeof Record;
        R.RichEditOle()->GetObject(REO_IOB_SELECTION, &Record, REO_GETOBJ_POLEOBJ | REO_GETOBJ_POLESITE);
        return Record;
    }
    static void Release(REOBJECT& Record) {
        if (Record.poleobj) Record.poleobj->Release();
        if (Record.polesite) Record.polesite->Release();
    }

    // Shows R's context menu through the responder and returns the menu shown.
    TPopupMenu* ContextMenu(TMvRichEdit& R) {
        TPopupMenu* Shown = nullptr;
        Responder.Popup = [&Shown](TPopupMenu& Menu, int, int) { Shown = &Menu; };
        POINT At{5, 5};
        ClientToScreen(R.Handle(), &At);
        R.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(R.Handle()), MAKELPARAM(At.x, At.y));
        return Shown;
    }

    static std::vector<std::string> Captions(TMenuItem& Items) {
        std::vector<std::string> Result;
        for (int I = 0; I < Items.Count(); ++I)
            Result.push_back(Items.Items(I)->Caption());
        return Result;
    }

    TTestOleClassRegistration Registration;
    TDialogResponder Responder;
    TDialogResponderScope ResponderScope{Responder};
    std::vector<TMessageSeen> Messages;
    void CollectMessages() {
        Responder.MessageBox = [this](const std::string& Text, const std::string& Caption, UINT Flags) {
            Messages.push_back({Text, Caption, Flags});
            return IDOK;
        };
    }
};

TEST_F(RichEditOleObjectsTest, TheVerbMenuListsTheContainerVerbsUpToTheFirstHiddenOne) {
    TMvRichEdit* R = MakeEdit();
    R->SetSelText("ab");
    R->SetSelStart(1);
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    ASSERT_EQ(R->SelLength(), 1);

    TPopupMenu* Menu = ContextMenu(*R);
    ASSERT_NE(Menu, nullptr);
    const std::vector<std::string> Expected{"Test Object Properties", "&Edit", "&Open"};
    EXPECT_EQ(Captions(Menu->Items()), Expected);
    EXPECT_TRUE(Menu->Items().Items(1)->Default());
    EXPECT_FALSE(Menu->Items().Items(2)->Default());
    EXPECT_EQ(Menu->Items().Items(2)->Tag(), 1);

    // A click runs that verb in the control's window and client rectangle.
    Menu->Items().Items(2)->Click();
    ASSERT_EQ(Object->VerbCalls.size(), 1u);
    EXPECT_EQ(Object->VerbCalls[0].Verb, 1);
    EXPECT_TRUE(Object->VerbCalls[0].HadSite);
    EXPECT_EQ(Object->VerbCalls[0].Parent, R->Handle());
    const RECT Client = R->ClientRect();
    EXPECT_TRUE(EqualRect(&Object->VerbCalls[0].Rect, &Client));

    // A verb the object refuses is an error the caller sees.
    Object->VerbResult = E_ACCESSDENIED;
    Menu = ContextMenu(*R);
    ASSERT_NE(Menu, nullptr);
    EXPECT_THROW(Menu->Items().Items(1)->Click(), EOleError);
    EXPECT_EQ(Object->VerbCalls.back().Verb, 0);
}

TEST_F(RichEditOleObjectsTest, AnOwnMenuGetsTheVerbsAsASubmenuNamedAfterTheObject) {
    TMvRichEdit* R = MakeEdit();
    auto* Own = new TPopupMenu(FHolder.Owner());
    auto* Mine = new TMenuItem(Own);
    Mine->SetCaption("Mine");
    Own->Items().Add(Mine);
    R->SetPopupMenu(Own);
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);

    for (int Time = 0; Time < 2; ++Time) {
        TPopupMenu* Menu = ContextMenu(*R);
        ASSERT_EQ(Menu, Own);
        const std::vector<std::string> Expected{"Mine", "-", "Test Object Properties", "Test Object"};
        ASSERT_EQ(Captions(Menu->Items()), Expected);
        TMenuItem* Sub = Menu->Items().Items(3);
        const std::vector<std::string> Verbs{"&Edit", "&Open"};
        EXPECT_EQ(Captions(*Sub), Verbs);
        Sub->Items(0)->Click();
    }
    ASSERT_EQ(Object->VerbCalls.size(), 2u);
    EXPECT_EQ(Object->VerbCalls[1].Verb, 0);
    R->SetPopupMenu(nullptr);
}

TEST_F(RichEditOleObjectsTest, ClearAndDestructionCloseObjectsWithoutSaving) {
    const ULONG Live = TTestOleObject::LiveObjects();
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    Object->AddRef(); // keep it to look at after the control let go
    R->Clear();
    ASSERT_FALSE(Object->CloseCalls.empty());
    EXPECT_EQ(Object->CloseCalls.back(), static_cast<DWORD>(OLECLOSE_NOSAVE));
    EXPECT_EQ(R->RichEditOle()->GetObjectCount(), 0);
    Object->Release();

    TTestOleObject* Second = InsertTestObject(*R);
    ASSERT_NE(Second, nullptr);
    Second->AddRef();
    delete R;
    ASSERT_FALSE(Second->CloseCalls.empty());
    EXPECT_EQ(Second->CloseCalls.back(), static_cast<DWORD>(OLECLOSE_NOSAVE));
    Second->Release();
    // Nothing of either object is kept alive by the control.
    EXPECT_EQ(TTestOleObject::LiveObjects(), Live);
}

TEST_F(RichEditOleObjectsTest, TheLinkPageSeesOneLinkAndChangesItsOptionsAndSource) {
    CollectMessages();
    TMvRichEdit* R = MakeEdit();
    R->SetTitle("Plans");
    TTestOleObject* Object = InsertTestObject(*R, true);
    ASSERT_NE(Object, nullptr);
    Object->SourceName = L"C:\\notes\\budget.xls";
    Object->SourceItem = L"Sheet1";
    REOBJECT Record = SelectedRecord(*R);
    ASSERT_NE(Record.poleobj, nullptr);
    TComRef<IOleLink> Link;
    ASSERT_EQ(Record.poleobj->QueryInterface(IID_IOleLink, reinterpret_cast<void**>(Link.put())), S_OK);
    TComRef<TOleUILinkInfo> Info(new TOleUILinkInfo(*R, Record, Link.get()));
    Release(Record);

    // One link: the object's, then nothing.
    const DWORD Id = Info->GetNextLink(0);
    EXPECT_NE(Id, 0u);
    EXPECT_EQ(Info->GetNextLink(Id), 0u);

    // Update options go to the link and mark the text modified.
    R->SetModified(false);
    DWORD Options = 0;
    EXPECT_EQ(Info->GetLinkUpdateOptions(Id, &Options), S_OK);
    EXPECT_EQ(Options, static_cast<DWORD>(OLEUPDATE_ALWAYS));
    EXPECT_EQ(Info->SetLinkUpdateOptions(Id, OLEUPDATE_ONCALL), S_OK);
    EXPECT_EQ(Object->UpdateOptions, static_cast<DWORD>(OLEUPDATE_ONCALL));
    EXPECT_TRUE(R->Modified());
    R->SetModified(false);
    EXPECT_EQ(Info->SetLinkUpdateOptions(Id, 77), E_INVALIDARG); // refused by the link
    EXPECT_FALSE(R->Modified());
    EXPECT_EQ(Info->GetLinkUpdateOptions(Id + 1, &Options), E_INVALIDARG); // not our link

    // The source: its name, the length of its file part, and the type names.
    LPSTR Name = nullptr, Full = nullptr, Short = nullptr;
    ULONG FilePart = 99;
    WINBOOL Available = FALSE, Selected = FALSE;
    ASSERT_EQ(Info->GetLinkSource(Id, &Name, &FilePart, &Full, &Short, &Available, &Selected), S_OK);
    EXPECT_STREQ(Name, "C:\\notes\\budget.xls!Sheet1");
    EXPECT_EQ(FilePart, std::string("C:\\notes\\budget.xls").size());
    EXPECT_STREQ(Full, "Test Object");
    EXPECT_STREQ(Short, "Tester");
    EXPECT_TRUE(Available);
    EXPECT_TRUE(Selected);
    for (LPSTR Text : {Name, Full, Short})
        CoTaskMemFree(Text);

    // A new source is set, counted and brought up to date.
    char NewSource[] = "C:\\notes\\other.txt";
    ULONG Eaten = 0;
    const int Updates = Object->ObjectUpdates;
    EXPECT_EQ(Info->SetLinkSource(Id, NewSource, 0, &Eaten, TRUE), S_OK);
    EXPECT_EQ(Eaten, std::string(NewSource).size());
    EXPECT_EQ(Object->SourceName, L"C:\\notes\\other.txt");
    EXPECT_EQ(Object->ObjectUpdates, Updates + 1);
    ASSERT_EQ(Info->GetLinkSource(Id, &Name, &FilePart, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(Name, NewSource);
    EXPECT_EQ(FilePart, std::string(NewSource).size()); // a plain file moniker is all file
    CoTaskMemFree(Name);
    EXPECT_TRUE(Messages.empty());

    // No name, or one the link cannot take: the error box, and the old source stays.
    char Empty[] = "";
    char Bad[] = "bad source";
    EXPECT_EQ(Info->SetLinkSource(Id, Empty, 0, &Eaten, TRUE), E_FAIL);
    EXPECT_EQ(Eaten, 0u);
    EXPECT_EQ(Info->SetLinkSource(Id, Bad, 0, &Eaten, TRUE), MK_E_SYNTAX);
    EXPECT_EQ(Object->SourceName, L"C:\\notes\\other.txt");
    ASSERT_EQ(Messages.size(), 2u);
    for (const TMessageSeen& Seen : Messages) {
        EXPECT_EQ(Seen.Text, "Cannot link to an invalid source.");
        EXPECT_EQ(Seen.Caption, "Link Properties");
        EXPECT_EQ(Seen.Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
    Messages.clear();

    // Breaking the link is not offered; opening and updating go to the object.
    EXPECT_EQ(Info->CancelLink(Id), E_NOTIMPL);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Break link operation is not supported.");
    EXPECT_EQ(Messages[0].Caption, "Link Properties");
    EXPECT_EQ(Info->UpdateLink(Id, TRUE, FALSE), S_OK);
    EXPECT_EQ(Object->LinkUpdates, 1);
    EXPECT_EQ(Info->OpenLinkSource(Id), S_OK);
    ASSERT_FALSE(Object->VerbCalls.empty());
    EXPECT_EQ(Object->VerbCalls.back().Verb, OLEIVERB_SHOW);
    EXPECT_EQ(Object->VerbCalls.back().Parent, R->Handle());
    FILETIME When{};
    EXPECT_EQ(Info->GetLastUpdate(Id, &When), S_OK);
}

TEST_F(RichEditOleObjectsTest, TheObjectPageDescribesTheObjectInItsDocument) {
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    REOBJECT Record = SelectedRecord(*R);
    ASSERT_NE(Record.poleobj, nullptr);
    TComRef<TOleUIObjInfo> Info(new TOleUIObjInfo(*R, Record));
    Release(Record);
    const std::string App = Application->Title();
    for (const std::string& Title : {std::string("Plans"), std::string("  ")}) {
        R->SetTitle(Title);
        DWORD Size = 0;
        LPSTR Type = nullptr, Label = nullptr, Short = nullptr, Location = nullptr;
        ASSERT_EQ(Info->GetObjectInfo(0, &Size, &Type, &Label, &Short, &Location), S_OK);
        EXPECT_EQ(Size, static_cast<DWORD>(-1));
        EXPECT_STREQ(Type, "Test Object");
        EXPECT_STREQ(Label, "Test Object");
        EXPECT_STREQ(Short, "Tester");
        EXPECT_EQ(std::string(Location), Title == "Plans" ? "Plans - " + App : App);
        for (LPSTR Text : {Type, Label, Short, Location})
            CoTaskMemFree(Text);
    }
    CLSID Clsid{};
    EXPECT_EQ(Info->GetConvertInfo(0, &Clsid, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_TRUE(IsEqualCLSID(Clsid, CLSID_TestOleObject));
    EXPECT_EQ(Info->ConvertObject(0, CLSID_TestOleObject), E_NOTIMPL);
    DWORD Aspect = 0;
    int Scale = -1;
    HGLOBAL Icon = nullptr;
    EXPECT_EQ(Info->GetViewInfo(0, &Icon, &Aspect, &Scale), S_OK);
    EXPECT_EQ(Aspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(Scale, 0);
    mv::richedit::FreeMetafilePicture(Icon);
}

// A METAFILEPICT block with a small recorded metafile, as the dialog hands one over.
HGLOBAL MakeIconPicture() {
    HDC Dc = CreateMetaFileA(nullptr);
    Rectangle(Dc, 0, 0, 32, 32);
    HMETAFILE Mf = CloseMetaFile(Dc);
    HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    auto* Pict = static_cast<METAFILEPICT*>(GlobalLock(Block));
    *Pict = METAFILEPICT{MM_ANISOTROPIC, 847, 847, Mf};
    GlobalUnlock(Block);
    return Block;
}

// The view page switches a picture to its icon (the one the dialog gives)
// and back; while the icon shows, the page gets a copy of the cached icon,
// and the picture itself is kept (a static object cannot draw it again).
TEST_F(RichEditOleObjectsTest, TheViewPageSwitchesAPictureToTheGivenIconAndBack) {
    TMvRichEdit* R = MakeEdit();
    TBitmap Picture(32, 16);
    R->InsertGraphic(Picture, true);
    REOBJECT Record = SelectedRecord(*R);
    ASSERT_NE(Record.poleobj, nullptr);
    TComRef<TOleUIObjInfo> Info(new TOleUIObjInfo(*R, Record));
    Release(Record);

    HGLOBAL Given = MakeIconPicture();
    ASSERT_EQ(Info->SetViewInfo(0, Given, DVASPECT_ICON, 0, FALSE), S_OK);
    HGLOBAL Icon = nullptr;
    DWORD Aspect = 0;
    ASSERT_EQ(Info->GetViewInfo(0, &Icon, &Aspect, nullptr), S_OK);
    EXPECT_EQ(Aspect, static_cast<DWORD>(DVASPECT_ICON));
    ASSERT_NE(Icon, nullptr);
    EXPECT_NE(Icon, Given); // the page's own copy: both are freed
    const auto* Pict = static_cast<const METAFILEPICT*>(GlobalLock(Icon));
    ASSERT_NE(Pict, nullptr);
    EXPECT_EQ(Pict->xExt, 847);
    EXPECT_NE(Pict->hMF, nullptr);
    GlobalUnlock(Icon);
    mv::richedit::FreeMetafilePicture(Icon);
    mv::richedit::FreeMetafilePicture(Given);

    ASSERT_EQ(Info->SetViewInfo(0, nullptr, DVASPECT_CONTENT, 0, FALSE), S_OK);
    ASSERT_EQ(Info->GetViewInfo(0, nullptr, &Aspect, nullptr), S_OK);
    EXPECT_EQ(Aspect, static_cast<DWORD>(DVASPECT_CONTENT));
    // An aspect the page does not know keeps the current one.
    EXPECT_EQ(Info->SetViewInfo(0, nullptr, DVASPECT_THUMBNAIL, 0, FALSE), S_OK);
    ASSERT_EQ(Info->GetViewInfo(0, nullptr, &Aspect, nullptr), S_OK);
    EXPECT_EQ(Aspect, static_cast<DWORD>(DVASPECT_CONTENT));
    // The picture is still there to be saved and loaded again.
    TStringStream Out;
    R->Lines().SaveToStream(Out);
    EXPECT_NE(Out.DataString().find("\\pict"), std::string::npos);
    TMvRichEdit* Copy = MakeEdit();
    Load(*Copy, Out.DataString());
    EXPECT_EQ(Copy->RichEditOle()->GetObjectCount(), 1);
}

// The platform here has no Object Properties dialog; building its records for
// a linked object (object and link pages) must still hand back every reference.
TEST_F(RichEditOleObjectsTest, ThePropertiesDialogOfALinkLetsGoOfWhatItTook) {
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R, true);
    ASSERT_NE(Object, nullptr);
    Object->SourceName = L"C:\\notes\\budget.xls";
    const ULONG Before = Object->RefCount();
    EXPECT_FALSE(R->ObjectPropertiesDialog());
    EXPECT_EQ(Object->RefCount(), Before);
    R->SetSelLength(0);
    EXPECT_FALSE(R->ObjectPropertiesDialog()); // nothing selected
}

} // namespace
