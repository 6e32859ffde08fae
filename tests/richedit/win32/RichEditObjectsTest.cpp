// The container side of objects in the rich edit: the callback's answers, and
// pictures inserted into a bare control (without the note window around it).
#include "tests/richedit/win32/RichEditFixture.h"

#include "richedit/MvPictures.h"

namespace {

class RichEditObjectsTest : public TRichEditFixture {};

TEST_F(RichEditObjectsTest, TheCallbackOffersStorageButNoInPlaceFrame) {
    TRichEditOleCallback Callback;
    IStorage* Storage = nullptr;
    ASSERT_EQ(Callback.GetNewStorage(&Storage), S_OK);
    ASSERT_NE(Storage, nullptr);
    // The storage is usable: a stream can be made in it.
    IStream* Stream = nullptr;
    EXPECT_EQ(Storage->CreateStream(L"s", STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &Stream),
              S_OK);
    if (Stream) Stream->Release();
    Storage->Release();

    // Objects open in their own window: no in-place context, no container UI.
    auto* Frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    auto* Doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    OLEINPLACEFRAMEINFO Info{};
    EXPECT_EQ(Callback.GetInPlaceContext(&Frame, &Doc, &Info), E_NOTIMPL);
    EXPECT_EQ(Frame, nullptr);
    EXPECT_EQ(Doc, nullptr);
    EXPECT_EQ(Callback.ShowContainerUI(FALSE), E_NOTIMPL);
    EXPECT_EQ(Callback.QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(Callback.QueryAcceptData(nullptr, nullptr, 0, TRUE, nullptr), S_OK);
    HMENU Menu = reinterpret_cast<HMENU>(1);
    EXPECT_EQ(Callback.GetContextMenu(0, nullptr, nullptr, &Menu), E_NOTIMPL);
    EXPECT_EQ(Menu, nullptr);
    EXPECT_EQ(Callback.GetNewStorage(nullptr), E_INVALIDARG);
}

TEST_F(RichEditObjectsTest, APictureIsOneSelectedCharacterAndSurvivesRtf) {
    TMvRichEdit* R = MakeEdit();
    R->SetSelText("ab");
    R->SetSelStart(1);
    R->SetSelLength(0);
    TBitmap Picture(40, 20);
    Picture.Canvas().Brush().SetColor(clGreen);
    Picture.Canvas().FillRect(RECT{0, 0, 40, 20});
    R->InsertGraphic(Picture, true);
    EXPECT_EQ(R->SelStart(), 1);
    EXPECT_EQ(R->SelLength(), 1);
    ASSERT_NE(R->RichEditOle(), nullptr);
    EXPECT_EQ(R->RichEditOle()->GetObjectCount(), 1);
    REOBJECT Record{};
    Record.cbStruct = sizeof Record;
    ASSERT_EQ(R->RichEditOle()->GetObject(0, &Record, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_EQ(Record.cp, 1);
    EXPECT_TRUE(Record.dwFlags & REO_RESIZABLE);
    EXPECT_EQ(Record.dvaspect, static_cast<DWORD>(DVASPECT_CONTENT));

    // Out and into a second control: the picture and both letters come back.
    TStringStream Out;
    R->Lines().SaveToStream(Out);
    EXPECT_NE(Out.DataString().find("\\pict"), std::string::npos);
    TMvRichEdit* Copy = MakeEdit();
    Load(*Copy, Out.DataString());
    EXPECT_EQ(Copy->RichEditOle()->GetObjectCount(), 1);
    const std::string Text = Copy->GetTextRange(0, -1);
    EXPECT_EQ(Text.front(), 'a');
    EXPECT_NE(Text.find('b'), std::string::npos);

    // Clear closes the objects.
    R->Clear();
    EXPECT_EQ(R->RichEditOle()->GetObjectCount(), 0);
}

TEST_F(RichEditObjectsTest, WithoutObjectsAllowedNothingIsInserted) {
    TMvRichEdit* R = MakeEdit();
    R->SetAllowObjects(false);
    R->HandleNeeded();
    TBitmap Picture(8, 8);
    R->InsertGraphic(Picture, false);
    EXPECT_EQ(R->TextLength(), 0);
    EXPECT_FALSE(R->InsertObjectDialog());
    EXPECT_FALSE(R->ObjectPropertiesDialog());
}

} // namespace
