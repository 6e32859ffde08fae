// In-place activation: the frame the rich edit's callback hands an object,
// the control becoming its form's active OLE control, and the way back.
#include "tests/richedit/win32/RichEditFixture.h"
#include "tests/richedit/win32/TestInPlaceSite.h"
#include "tests/richedit/win32/TestOleObject.h"

#include "tests/support/Screens.h"

#include "gui/Responder.h"
#include "richedit/MvComRef.h"
#include "richedit/MvOleForm.h"

#include <string>
#include <vector>

namespace {

class RichEditInPlaceTest : public TRichEditFixture {
protected:
    TTestOleObject* InsertTestObject(TMvRichEdit& R) {
        IRichEditOle* Ole = R.RichEditOle();
        if (!Ole) return nullptr;
        TComRef<IOleClientSite> Site;
        TComRef<IStorage> Storage;
        TRichEditOleCallback Storages;
        if (FAILED(Ole->GetClientSite(Site.put())) || FAILED(Storages.GetNewStorage(Storage.put())))
            return nullptr;
        TComRef<IOleObject> Object;
        if (FAILED(OleCreate(CLSID_TestOleObject, IID_IOleObject, OLERENDER_NONE, nullptr, Site.get(),
                             Storage.get(), reinterpret_cast<void**>(Object.put()))))
            return nullptr;
        REOBJECT Record{};
        Record.cbStruct = sizeof Record;
        Record.cp = REO_CP_SELECTION;
        Record.clsid = CLSID_TestOleObject;
        Record.poleobj = Object.get();
        Record.pstg = Storage.get();
        Record.polesite = Site.get();
        Record.dvaspect = DVASPECT_CONTENT;
        Record.dwFlags = REO_RESIZABLE;
        const CHARRANGE At = R.GetSelection();
        if (FAILED(Ole->InsertObject(&Record))) return nullptr;
        R.SetSelection(At.cpMin, At.cpMin + 1, true);
        return TTestOleClassRegistration::LastMade();
    }

    // UI-activates Object through a site that passes its in-place requests to R's callback.
    HRESULT Activate(TMvRichEdit& R, TTestOleObject& Object) {
        TComRef<IOleClientSite> Inner;
        R.RichEditOle()->GetClientSite(Inner.put());
        TComRef<TTestInPlaceSite> Site(new TTestInPlaceSite(R, Inner.get()));
        RECT Client = R.ClientRect();
        return Object.DoVerb(OLEIVERB_UIACTIVATE, nullptr, Site.get(), 0, R.Handle(), &Client);
    }

    void SetUp() override { ASSERT_TRUE(Registration.Registered()); }

    TTestOleClassRegistration Registration;
};

TEST_F(RichEditInPlaceTest, AnObjectActivatesWithTheFormAsItsFrameAndGivesItBack) {
    TMvRichEdit* R = MakeEdit();
    R->SetSelText("before ");
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    std::vector<std::string> Events;
    R->OnInPlaceActivate = [&Events](TObject*) { Events.push_back("activate"); };
    R->OnInPlaceDeactivate = [&Events](TObject*) { Events.push_back("deactivate"); };
    TForm& Form = FHolder.Form();
    TOleForm& Frame = TOleForm::Of(Form);

    ASSERT_EQ(Activate(*R, *Object), S_OK);
    // The frame and its window are the form's; no MDI, no shared accelerators.
    EXPECT_EQ(Object->WindowContextResult, S_OK);
    EXPECT_EQ(Object->Frame, static_cast<IOleInPlaceFrame*>(&Frame));
    EXPECT_EQ(Object->FrameInfo.hwndFrame, Form.Handle());
    EXPECT_FALSE(Object->FrameInfo.fMDIApp);
    EXPECT_EQ(Object->FrameInfo.haccel, nullptr);
    EXPECT_EQ(R->OleCallback().Frame(), &Frame);
    // The control is the form's active OLE control, focused, and told.
    EXPECT_EQ(Events, std::vector<std::string>{"activate"});
    EXPECT_EQ(Frame.ActiveOleControl(), R);
    EXPECT_EQ(GetFocus(), R->Handle());
    // The object's menu is on the form; it got no room for tool bars.
    ASSERT_NE(Object->SharedMenu, nullptr);
    EXPECT_EQ(GetMenu(Form.Handle()), Object->SharedMenu);
    EXPECT_EQ(Frame.SharedMenu(), Object->SharedMenu);
    EXPECT_EQ(Object->BorderRequestResult, INPLACE_E_NOTOOLSPACE);
    TComRef<IOleInPlaceActiveObject> Expected;
    Object->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(Expected.put()));
    EXPECT_EQ(Frame.ActiveObject(), Expected.get());
    PumpMessages();
    SaveScreen(Form.Handle(), "richedit-inplace-object");

    // The object is done: the form gets its user interface back.
    Object->DeactivateInPlace();
    EXPECT_EQ(Events, (std::vector<std::string>{"activate", "deactivate"}));
    EXPECT_EQ(GetMenu(Form.Handle()), nullptr);
    EXPECT_EQ(Frame.SharedMenu(), nullptr);
    EXPECT_EQ(Frame.ActiveOleControl(), nullptr);
    EXPECT_EQ(Frame.ActiveObject(), nullptr);
    EXPECT_EQ(R->OleCallback().Frame(), nullptr);
    EXPECT_EQ(GetFocus(), R->Handle());
    // Every reference handed out on the way came back.
    EXPECT_EQ(Frame.RefCount(), 0u);
}

TEST_F(RichEditInPlaceTest, AFailingEventHandlerIsReportedAndTheFormStillComesBack) {
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    std::vector<std::string> Shown;
    TDialogResponder Responder;
    Responder.MessageBox = [&Shown](const std::string& Text, const std::string&, UINT) {
        Shown.push_back(Text);
        return IDOK;
    };
    TDialogResponderScope Scope(Responder);
    R->OnInPlaceActivate = [](TObject*) { throw Exception("activation handler failed"); };
    R->OnInPlaceDeactivate = [](TObject*) { throw Exception("deactivation handler failed"); };
    TOleForm& Frame = TOleForm::Of(FHolder.Form());
    ASSERT_EQ(Activate(*R, *Object), S_OK);
    EXPECT_EQ(Frame.ActiveOleControl(), R);
    Object->DeactivateInPlace();
    EXPECT_EQ(Shown,
              (std::vector<std::string>{"activation handler failed.", "deactivation handler failed."}));
    EXPECT_EQ(GetMenu(FHolder.Form().Handle()), nullptr);
    EXPECT_EQ(R->OleCallback().Frame(), nullptr);
    EXPECT_EQ(Frame.RefCount(), 0u);
}

TEST_F(RichEditInPlaceTest, WithoutInPlaceAllowedNoFrameIsOffered) {
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    R->SetAllowInPlace(false);
    int Activations = 0;
    R->OnInPlaceActivate = [&Activations](TObject*) { ++Activations; };
    Activate(*R, *Object);
    EXPECT_EQ(Object->WindowContextResult, E_NOTIMPL);
    EXPECT_EQ(Object->Frame, nullptr);
    EXPECT_EQ(Activations, 0);
    EXPECT_EQ(GetMenu(FHolder.Form().Handle()), nullptr);
    EXPECT_EQ(R->OleCallback().ShowContainerUI(FALSE), E_NOTIMPL);
    Object->DeactivateInPlace();

    // A control on a window that is no form has no frame either.
    R->SetAllowInPlace(true);
    auto* Loose = new TMvRichEdit(FHolder.Owner());
    Loose->SetParentWindow(FHolder.Form().Handle());
    Loose->HandleNeeded();
    IOleInPlaceFrame* Frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    IOleInPlaceUIWindow* Doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    OLEINPLACEFRAMEINFO Info{};
    EXPECT_EQ(Loose->OleCallback().GetInPlaceContext(&Frame, &Doc, &Info), E_NOTIMPL);
    EXPECT_EQ(Frame, nullptr);
    EXPECT_EQ(Doc, nullptr);
}

TEST_F(RichEditInPlaceTest, ASecondControlsObjectTakesTheFormOverFromTheFirst) {
    TMvRichEdit* First = MakeEdit();
    TMvRichEdit* Second = MakeEdit();
    Second->SetBounds(420, 10, 200, 200);
    TTestOleObject* A = InsertTestObject(*First);
    ASSERT_NE(A, nullptr);
    TTestOleObject* B = InsertTestObject(*Second);
    ASSERT_NE(B, nullptr);
    ASSERT_NE(A, B);
    int FirstOff = 0;
    First->OnInPlaceDeactivate = [&FirstOff](TObject*) { ++FirstOff; };
    TOleForm& Frame = TOleForm::Of(FHolder.Form());

    ASSERT_EQ(Activate(*First, *A), S_OK);
    ASSERT_EQ(Frame.ActiveOleControl(), First);
    ASSERT_EQ(Activate(*Second, *B), S_OK);
    // The first object was ended before the second took the form.
    EXPECT_EQ(FirstOff, 1);
    EXPECT_FALSE(A->UIActive);
    EXPECT_EQ(A->InPlaceWindow, nullptr);
    EXPECT_EQ(First->OleCallback().Frame(), nullptr);
    EXPECT_EQ(Frame.ActiveOleControl(), Second);
    EXPECT_EQ(GetMenu(FHolder.Form().Handle()), B->SharedMenu);
    EXPECT_EQ(GetFocus(), Second->Handle());
    B->DeactivateInPlace();
    EXPECT_EQ(Frame.RefCount(), 0u);
}

TEST_F(RichEditInPlaceTest, AControlDestroyedWhileItsObjectIsActiveGivesTheFormBack) {
    TMvRichEdit* R = MakeEdit();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    TOleForm& Frame = TOleForm::Of(FHolder.Form());
    ASSERT_EQ(Activate(*R, *Object), S_OK);
    ASSERT_NE(GetMenu(FHolder.Form().Handle()), nullptr);
    delete R;
    EXPECT_EQ(GetMenu(FHolder.Form().Handle()), nullptr);
    EXPECT_EQ(Frame.ActiveOleControl(), nullptr);
    EXPECT_EQ(Frame.ActiveObject(), nullptr);
    EXPECT_EQ(Frame.RefCount(), 0u);
}

TEST_F(RichEditInPlaceTest, AFormFreedWithAnActiveObjectLeavesNothingBehind) {
    auto* Form = new TForm(Application);
    Form->SetBounds(60, 60, 300, 200);
    Form->Show();
    PumpMessages();
    auto* R = new TMvRichEdit(Form);
    R->SetParent(Form);
    R->SetBounds(5, 5, 200, 120);
    R->HandleNeeded();
    TTestOleObject* Object = InsertTestObject(*R);
    ASSERT_NE(Object, nullptr);
    Object->AddRef();
    ASSERT_EQ(Activate(*R, *Object), S_OK);
    ASSERT_NE(R->OleCallback().Frame(), nullptr);
    delete Form;
    PumpMessages();
    // The control closed its object on the way out.
    EXPECT_FALSE(Object->CloseCalls.empty());
    EXPECT_EQ(Object->InPlaceWindow, nullptr);
    Object->Release();
}

} // namespace
