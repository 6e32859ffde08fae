// The container side of objects in the rich edit: the callback's answers, and
// pictures inserted into a bare control (without the note window around it).
#include "tests/richedit/win32/RichEditFixture.h"

#include "richedit/MvPictures.h"

#include "tests/support/ScreenPixels.h"

#include <algorithm>
#include <cstring>

namespace {

class RichEditObjectsTest : public TRichEditFixture {};

// The box on screen holding pixels of one colour, in the edit's client area.
RECT ColourBox(TMvRichEdit& R, std::uint32_t Colour) {
    int W = 0, H = 0;
    const std::vector<std::uint32_t> Pixels = CaptureClient(R.Handle(), W, H);
    RECT Box{W, H, -1, -1};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            if (Pixels[static_cast<size_t>(Y) * W + X] == Colour) {
                Box.left = std::min<LONG>(Box.left, X);
                Box.top = std::min<LONG>(Box.top, Y);
                Box.right = std::max<LONG>(Box.right, X + 1);
                Box.bottom = std::max<LONG>(Box.bottom, Y + 1);
            }
    return Box;
}

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

// A picture is drawn at its own size where it was inserted, is saved with
// that size, and is drawn the same after the saved text is loaded again.
TEST_F(RichEditObjectsTest, AnInsertedPictureIsSeenAtItsOwnSizeAndAfterReloading) {
    TMvRichEdit* R = MakeEdit();
    R->SetSelText("Picture: ");
    // Pixels written the way the picture decoders write them; a blue left
    // third shows the picture is not drawn mirrored or stretched.
    TBitmap Picture(60, 30);
    for (int Y = 0; Y < 30; ++Y) {
        auto* Row = static_cast<std::uint8_t*>(Picture.ScanLine(Y));
        for (int X = 0; X < 60; ++X) {
            const std::uint32_t Rgb = X < 20 ? 0x1428D2 : 0xC81E28;
            Row[X * 3] = Rgb & 0xFF;
            Row[X * 3 + 1] = (Rgb >> 8) & 0xFF;
            Row[X * 3 + 2] = (Rgb >> 16) & 0xFF;
        }
    }
    R->InsertGraphic(Picture, true);
    R->SetSelStart(0);

    REOBJECT Record{};
    Record.cbStruct = sizeof Record;
    ASSERT_EQ(R->RichEditOle()->GetObject(0, &Record, REO_GETOBJ_NO_INTERFACES), S_OK);
    EXPECT_GT(Record.sizel.cx, 0);
    EXPECT_GT(Record.sizel.cy, 0);

    const auto ExpectPicture = [](TMvRichEdit& Edit, const char* When) {
        const RECT Red = ColourBox(Edit, 0xC81E28), Blue = ColourBox(Edit, 0x1428D2);
        EXPECT_EQ(Red.right - Red.left, 40) << When;
        EXPECT_EQ(Red.bottom - Red.top, 30) << When;
        EXPECT_EQ(Blue.right - Blue.left, 20) << When;
        EXPECT_EQ(Blue.right, Red.left) << When;
        EXPECT_GT(Blue.left, 10) << When; // after the words
    };
    ExpectPicture(*R, "inserted");
    SaveSettledScreen(FHolder.Form().Handle(), "richedit-picture");

    TStringStream Out;
    R->Lines().SaveToStream(Out);
    const std::string Rtf = Out.DataString();
    EXPECT_NE(Rtf.find("\\pict"), std::string::npos);
    EXPECT_EQ(Rtf.find("\\picwgoal0"), std::string::npos) << Rtf.substr(0, 400);
    EXPECT_EQ(Rtf.find("\\pichgoal0"), std::string::npos);

    R->Clear();
    Load(*R, Rtf);
    R->SetSelStart(0);
    ASSERT_EQ(R->RichEditOle()->GetObjectCount(), 1);
    ExpectPicture(*R, "reloaded");

    // A text saved when pictures were inserted without a size.
    std::string Sizeless = Rtf;
    for (const char* Goal : {"\\picwgoal", "\\pichgoal"}) {
        const size_t At = Sizeless.find(Goal) + std::strlen(Goal);
        Sizeless.replace(At, Sizeless.find_first_not_of("0123456789", At) - At, "0");
    }
    R->Clear();
    Load(*R, Sizeless);
    R->SetSelStart(0);
    ExpectPicture(*R, "saved without a size");
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
