// Pictures and objects in a note's text: inserted from BMP and JPEG files
// through the note window's command, kept in the topic across navigation and
// in the committed database, refused when the file is no whole picture; the
// data object's metafiles; the Insert Object dialog cancelled; the context
// menu of a selected picture.
#include "app/Note.h"
#include "app/TopicViewer.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "richedit/MvFixedEditPopUp.h"
#include "richedit/MvPictures.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ScreenShots.h"
#include "tests/app/UserInput.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

using namespace mv::app::test;

namespace {

std::string ReadAll(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

void WriteAll(const std::string& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

// Closes the first window with Caption that appears within a few seconds, as a
// user pressing Cancel would; platform dialogs do not ask the responder.
class TDialogCanceller {
public:
    explicit TDialogCanceller(std::string Caption)
        : FThread([this, Caption = std::move(Caption)] {
              for (int I = 0; I < 400 && !FStop; ++I) {
                  if (HWND Dialog = FindWindowA(nullptr, Caption.c_str())) {
                      PostMessageA(Dialog, WM_COMMAND, IDCANCEL, 0);
                      FSeen = true;
                      return;
                  }
                  Sleep(10);
              }
          }) {}
    ~TDialogCanceller() {
        FStop = true;
        FThread.join();
    }
    bool Seen() const { return FSeen; }

private:
    std::atomic<bool> FStop{false}, FSeen{false};
    std::thread FThread;
};

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        App.Start();
        Home = NoteWindowsByNamespace.Find("");
        ASSERT_NE(Home, nullptr);
        Editor = Home->Editor();
        App.Responder.OpenDialog = [this](TOpenDialog& Dialog) {
            Filters.push_back(Dialog.Filter());
            Dialog.SetFileName(NextFile);
            return true;
        };
    }

    std::string File(const std::string& Name) { return App.Folder() + "\\" + Name; }

    // A 96 × 48 bitmap file: red on the left, blue on the right.
    std::string MakeBmp(const std::string& Name) {
        TBitmap Bitmap(96, 48);
        Bitmap.Canvas().Brush().SetColor(clRed);
        Bitmap.Canvas().FillRect(RECT{0, 0, 48, 48});
        Bitmap.Canvas().Brush().SetColor(clBlue);
        Bitmap.Canvas().FillRect(RECT{48, 0, 96, 48});
        Bitmap.SaveToFile(File(Name));
        return File(Name);
    }

    std::string CopyJpeg(const std::string& Name) {
        WriteAll(File(Name), ReadAll(std::string(MV_JPEG_TESTIMAGES) + "/testorig.jpg"));
        return File(Name);
    }

    void InsertAtEnd(const std::string& Path) {
        Editor->SetSelStart(Editor->TextLength());
        Editor->SetSelLength(0);
        NextFile = Path;
        Home->aInsertImage->Execute();
    }

    int ObjectCount() { return Editor->RichEditOle() ? Editor->RichEditOle()->GetObjectCount() : -1; }

    TAppFixture App{"pictures"};
    TfrmNote* Home = nullptr;
    TTopicViewer* Editor = nullptr;
    std::string NextFile;
    std::vector<std::string> Filters;
};

// The test bitmap on screen: its red and its blue half, each 48 pixels square.
void ExpectTheBitmapShown(const std::vector<uint8_t>& Bgr) {
    int Red = 0, Blue = 0;
    for (size_t P = 0; P + 2 < Bgr.size(); P += 3) {
        Red += Bgr[P] == 0 && Bgr[P + 1] == 0 && Bgr[P + 2] == 255;
        Blue += Bgr[P] == 255 && Bgr[P + 1] == 0 && Bgr[P + 2] == 0;
    }
    EXPECT_GE(Red, 48 * 48);
    EXPECT_GE(Blue, 48 * 48);
}

TEST_F(PicturesTest, BmpAndJpegStayInTheTopicWithTheTextAfterThem) {
    Editor->SetText("");
    Editor->SetSelText("before ");
    InsertAtEnd(MakeBmp("red.bmp"));
    ASSERT_EQ(Filters.size(), 1u);
    EXPECT_EQ(Filters[0], "Images (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*");
    // The new object is selected: exactly one character.
    EXPECT_EQ(Editor->SelLength(), 1);
    EXPECT_EQ(Editor->SelStart(), 7);
    EXPECT_TRUE(Editor->SelectionType() == TMvSelectionType{stObject});
    Editor->SetSelStart(Editor->TextLength());
    Editor->SetSelText(" between ");
    InsertAtEnd(CopyJpeg("photo.jpg"));
    Editor->SetSelStart(Editor->TextLength());
    Editor->SetSelText(" after the pictures");
    EXPECT_EQ(ObjectCount(), 2);

    // Away and back: both pictures and every word are still there.
    App.Main().ShowTopic("Elsewhere", "");
    EXPECT_EQ(ObjectCount(), 0);
    Home->aBackward->Execute();
    EXPECT_EQ(Editor->TopicFile(), "Home");
    EXPECT_EQ(ObjectCount(), 2);
    const std::string Text = Editor->TextInPositions();
    EXPECT_NE(Text.find("before "), std::string::npos);
    EXPECT_NE(Text.find(" between "), std::string::npos);
    EXPECT_NE(Text.find(" after the pictures"), std::string::npos);

    // What a restarted program reads: the whole text, pictures inside it.
    Home->aSave->Execute();
    const std::string Stored = CommittedContent(App.Database(), "", "Home");
    const auto Pict = Stored.find("\\pict");
    const auto Second = Stored.find("\\pict", Pict + 1);
    const auto After = Stored.find("after the pictures");
    ASSERT_NE(Pict, std::string::npos);
    ASSERT_NE(Second, std::string::npos);
    ASSERT_NE(After, std::string::npos);
    EXPECT_LT(Second, After);

    // The program quits and starts again on the same database.
    App.Quit();
    App.Start();
    Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    Editor = Home->Editor();
    EXPECT_EQ(ObjectCount(), 2);
    EXPECT_NE(Editor->TextInPositions().find(" after the pictures"), std::string::npos);

    // And the user sees the bitmap in the note window: its red and its blue
    // half, each 48 pixels square.
    Editor->SetSelStart(0);
    SetForegroundWindow(Home->Handle());
    ASSERT_TRUE(mv::test::RepaintAndWaitUntilShown(Home->Handle()));
    int W = 0, H = 0;
    const std::vector<uint8_t> Bgr = SaveWindowPng(Home->Handle(), "note-picture", &W, &H);
    ExpectTheBitmapShown(Bgr);
}

// A picture pasted into another note (Ctrl+C, Ctrl+V) is drawn at once, as an inserted one is.
TEST_F(PicturesTest, APastedPictureIsDrawnAtOnce) {
    using mv::app::test::PressKey;
    Editor->SetText("");
    InsertAtEnd(MakeBmp("paste.bmp"));
    ASSERT_TRUE(BringToFront(Home->Handle()));
    Editor->SetFocus();
    PressKey('C', false, true);
    App.Main().ShowTopic("Pasted", "");
    Editor->SetFocus();
    PressKey('V', false, true);
    ASSERT_EQ(ObjectCount(), 1);
    Editor->SetSelStart(Editor->TextLength());
    ASSERT_TRUE(mv::test::RepaintAndWaitUntilShown(Home->Handle()));
    const std::vector<uint8_t> Bgr = SaveWindowPng(Home->Handle(), "note-pasted-picture");
    ExpectTheBitmapShown(Bgr);
}

TEST_F(PicturesTest, LeavingANoteAsLoadedCommitsNothingAndAnyChangeIsWritten) {
    // SQLite counts the commits in the file's header (bytes 24 to 27).
    auto Commits = [this] {
        const std::string Header = ReadAll(App.Database()).substr(0, 28);
        return Header.size() == 28 ? Header.substr(24) : std::string();
    };
    Editor->SetText("");
    Editor->SetSelText("before the picture ");
    InsertAtEnd(MakeBmp("leave.bmp"));
    App.Main().ShowTopic("Elsewhere", "");
    Editor->SetSelText("a text note");
    App.Main().ShowTopic("Home", "");
    ASSERT_EQ(ObjectCount(), 1);

    // Away and back, twice: nothing is written.
    const std::string Before = Commits();
    ASSERT_FALSE(Before.empty());
    for (int i = 0; i < 2; ++i) {
        App.Main().ShowTopic("Elsewhere", "");
        EXPECT_EQ(Editor->TextInPositions(), "a text note");
        App.Main().ShowTopic("Home", "");
        EXPECT_EQ(ObjectCount(), 1);
    }
    EXPECT_EQ(Commits(), Before);

    // Typing and formatting are written when the note is left; a moved window at the next save.
    const struct {
        const char* What;
        std::function<void()> Change;
        std::string Stored; // in the RTF written, "" for none
        bool ByLeaving;
    } Changes[] = {
        {"typed",
         [&] {
             Editor->SetSelStart(0);
             Editor->SetSelText("typed ");
         },
         "typed before", true},
        {"a word made red",
         [&] {
             Editor->SetSelStart(0);
             Editor->SetSelLength(5);
             Editor->SelAttributes().SetColor(clRed);
         },
         "\\red255\\green0\\blue0", true},
        {"the window moved",
         [&] { Home->SetBounds(Home->Left() + 7, Home->Top(), Home->Width(), Home->Height()); }, "", false},
    };
    for (const auto& Change : Changes) {
        SCOPED_TRACE(Change.What);
        const std::string Last = Commits();
        Change.Change();
        if (Change.ByLeaving)
            App.Main().ShowTopic("Elsewhere", "");
        else
            Home->aSave->Execute();
        EXPECT_NE(Commits(), Last);
        if (!Change.Stored.empty()) {
            EXPECT_NE(CommittedContent(App.Database(), "", "Home").find(Change.Stored), std::string::npos);
        }
        App.Main().ShowTopic("Home", "");
        EXPECT_EQ(ObjectCount(), 1);
        // Written: leaving it now writes nothing more.
        const std::string Saved = Commits();
        App.Main().ShowTopic("Elsewhere", "");
        App.Main().ShowTopic("Home", "");
        EXPECT_EQ(Commits(), Saved);
    }
}

TEST_F(PicturesTest, TheExtensionChoosesTheDecoder) {
    // A bitmap named .BMP in capitals is read as a bitmap; a JPEG named .jpeg
    // or without any extension is read as a JPEG.
    // libjpeg-turbo's own BMP test picture goes in as a bitmap too.
    const std::string RealBmp = File("vgl.bmp");
    WriteAll(RealBmp, ReadAll(std::string(MV_JPEG_TESTIMAGES) + "/vgl_5674_0098.bmp"));
    for (const std::string& Path :
         {MakeBmp("LOUD.BMP"), CopyJpeg("photo.jpeg"), CopyJpeg("photo"), RealBmp}) {
        const int Before = ObjectCount();
        InsertAtEnd(Path);
        EXPECT_EQ(ObjectCount(), Before + 1) << Path;
    }
    // A bitmap under a JPEG's name is refused by the JPEG decoder.
    const std::string Fake = File("bitmap.jpg");
    WriteAll(Fake, ReadAll(MakeBmp("real.bmp")));
    NextFile = Fake;
    EXPECT_THROW(Home->aInsertImage->Execute(), EInvalidGraphic);
}

TEST_F(PicturesTest, UnreadablePictureFilesInsertNothing) {
    Editor->SetText("");
    Editor->SetSelText("unchanged text");
    const std::string Jpeg = ReadAll(std::string(MV_JPEG_TESTIMAGES) + "/testorig.jpg");
    std::string Huge = Jpeg;
    for (size_t I = 2; I + 9 < Huge.size(); ++I)
        if (static_cast<uint8_t>(Huge[I]) == 0xFF && static_cast<uint8_t>(Huge[I + 1]) == 0xC0) {
            Huge[I + 5] = static_cast<char>(30000 >> 8), Huge[I + 6] = static_cast<char>(30000 & 0xFF);
            Huge[I + 7] = static_cast<char>(30000 >> 8), Huge[I + 8] = static_cast<char>(30000 & 0xFF);
            break;
        }
    std::string HugeBmp = ReadAll(MakeBmp("small.bmp"));
    HugeBmp[18] = 0x30, HugeBmp[19] = 0x75, HugeBmp[22] = 0x30, HugeBmp[23] = 0x75; // 30000 × 30000
    struct Case {
        const char* Name;
        std::string Bytes;
        const char* Message;
    };
    const Case Cases[] = {
        {"cut.jpg", Jpeg.substr(0, Jpeg.size() / 2), "The JPEG picture is truncated."},
        {"text.jpg", "just some words, not a picture\r\n",
         "The JPEG picture cannot be read: Not a JPEG file"},
        {"huge.jpg", Huge, "The picture is too large (30000 x 30000 pixels)."},
        {"huge.bmp", HugeBmp, "The picture is too large (30000 x 30000 pixels)."},
        {"empty.bmp", "", "The file is not a BMP picture."},
    };
    for (const Case& C : Cases) {
        WriteAll(File(C.Name), C.Bytes);
        NextFile = File(C.Name);
        Editor->SetSelStart(5);
        Editor->SetSelLength(0);
        try {
            Home->aInsertImage->Execute();
            ADD_FAILURE() << C.Name << " was accepted";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(E.Message().rfind(C.Message, 0), 0u) << C.Name << ": " << E.Message();
        }
        EXPECT_EQ(ObjectCount(), 0) << C.Name;
        EXPECT_EQ(Editor->TextInPositions(), "unchanged text") << C.Name;
    }
    NextFile = File("missing.jpg");
    EXPECT_THROW(Home->aInsertImage->Execute(), EInvalidGraphic);
}

TEST_F(PicturesTest, DataObjectOffersAnEnhancedMetafileAMetafilePictureAndABitmap) {
    const SIZE Size = TImageDataObject::HimetricSize(96, 48);
    HDC Screen = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(Screen, LOGPIXELSX);
    ReleaseDC(nullptr, Screen);
    // 96 pixels are an inch (2,540 hundredths of a millimetre) at 96 dots an inch, and
    // proportionally less or more at the screen's own resolution.
    EXPECT_EQ(Size.cx, MulDiv(2540, 96, Dpi));
    EXPECT_EQ(Size.cy, MulDiv(1270, 96, Dpi));
    TBitmap Bitmap(96, 48);
    auto* Data = new TImageDataObject(Bitmap);
    Data->AddRef();
    FORMATETC Enhanced{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM Medium{};
    ASSERT_EQ(Data->GetData(&Enhanced, &Medium), S_OK);
    EXPECT_EQ(Medium.tymed, static_cast<DWORD>(TYMED_ENHMF));
    ENHMETAHEADER Header{};
    GetEnhMetaFileHeader(Medium.hEnhMetaFile, sizeof Header, &Header);
    EXPECT_NEAR(Header.rclFrame.right - Header.rclFrame.left, Size.cx, 2);
    EXPECT_NEAR(Header.rclFrame.bottom - Header.rclFrame.top, Size.cy, 2);
    ReleaseStgMedium(&Medium);

    FORMATETC Picture{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    ASSERT_EQ(Data->GetData(&Picture, &Medium), S_OK);
    auto* Pict = static_cast<METAFILEPICT*>(GlobalLock(Medium.hMetaFilePict));
    ASSERT_NE(Pict, nullptr);
    EXPECT_EQ(Pict->mm, MM_ANISOTROPIC);
    EXPECT_EQ(Pict->xExt, Size.cx);
    EXPECT_EQ(Pict->yExt, Size.cy);
    GlobalUnlock(Medium.hMetaFilePict);
    ReleaseStgMedium(&Medium);

    // The bitmap for presentation caches that cannot draw a metafile.
    FORMATETC Memory{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    ASSERT_EQ(Data->GetData(&Memory, &Medium), S_OK);
    EXPECT_EQ(Medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    const auto* Dib = static_cast<const BITMAPINFOHEADER*>(GlobalLock(Medium.hGlobal));
    ASSERT_NE(Dib, nullptr);
    EXPECT_EQ(Dib->biWidth, 96);
    EXPECT_EQ(Dib->biHeight, 48);
    EXPECT_EQ(Dib->biBitCount, 24);
    EXPECT_GE(GlobalSize(Medium.hGlobal), sizeof(BITMAPINFOHEADER) + 96 * 3 * 48);
    GlobalUnlock(Medium.hGlobal);
    ReleaseStgMedium(&Medium);

    FORMATETC Text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(Data->GetData(&Text, &Medium), DV_E_FORMATETC);
    EXPECT_EQ(Data->QueryGetData(&Memory), E_NOTIMPL);
    EXPECT_EQ(Data->DAdvise(&Memory, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
    Data->Release();
}

TEST_F(PicturesTest, InsertObjectCancelledLeavesTheTextAlone) {
    Editor->SetText("");
    Editor->SetSelText("plain");
    bool Inserted = true;
    {
        TDialogCanceller Cancel("Insert Object");
        Inserted = Editor->InsertObjectDialog();
    }
    EXPECT_FALSE(Inserted);
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_EQ(Editor->TextInPositions(), "plain");
}

TEST_F(PicturesTest, ASelectedPictureGetsTheEditMenuAndNoPropertiesDialog) {
    Editor->SetText("");
    Editor->SetSelText("x");
    InsertAtEnd(MakeBmp("menu.bmp"));
    ASSERT_EQ(Editor->SelLength(), 1);
    // A static picture has no verbs: the context menu is still the edit menu.
    TPopupMenu* Shown = nullptr;
    App.Responder.Popup = [&Shown](TPopupMenu& Menu, int, int) { Shown = &Menu; };
    POINT At{10, 10};
    ClientToScreen(Editor->Handle(), &At);
    Editor->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor->Handle()), MAKELPARAM(At.x, At.y));
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown, GetFixedEditPopup(Editor, false));
    EXPECT_GT(Shown->Items().Count(), 0);
    // The properties dialog, where the platform has none, answers False.
    Editor->SetSelStart(1);
    Editor->SetSelLength(1);
    {
        TDialogCanceller Cancel("Picture Properties");
        EXPECT_FALSE(Editor->ObjectPropertiesDialog());
    }
    // With nothing selected there is nothing to show.
    Editor->SetSelLength(0);
    EXPECT_FALSE(Editor->ObjectPropertiesDialog());
}

TEST_F(PicturesTest, AnOwnPopupMenuGetsTheObjectsItemsForOneShowingOnly) {
    auto* Own = new TPopupMenu(Home);
    auto* Mine = new TMenuItem(Own);
    Mine->SetCaption("Mine");
    Own->Items().Add(Mine);
    Editor->SetPopupMenu(Own);
    Editor->SetText("");
    InsertAtEnd(MakeBmp("own.bmp"));
    ASSERT_EQ(Editor->SelLength(), 1);
    std::vector<std::vector<std::string>> Shown;
    App.Responder.Popup = [&Shown](TPopupMenu& Menu, int, int) {
        Shown.emplace_back();
        for (int I = 0; I < Menu.Items().Count(); ++I)
            Shown.back().push_back(Menu.Items().Items(I)->Caption());
    };
    POINT At{10, 10};
    ClientToScreen(Editor->Handle(), &At);
    for (int Time = 0; Time < 2; ++Time)
        Editor->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor->Handle()), MAKELPARAM(At.x, At.y));
    ASSERT_EQ(Shown.size(), 2u);
    for (const auto& Captions : Shown) {
        ASSERT_EQ(Captions.size(), 3u);
        EXPECT_EQ(Captions[0], "Mine");
        EXPECT_EQ(Captions[1], "-");
        EXPECT_EQ(Captions[2].substr(Captions[2].size() - 11), " Properties");
    }
    // Without an object selected the menu is the own one, as it was.
    Editor->SetSelLength(0);
    Editor->SetSelStart(0);
    Editor->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Editor->Handle()), MAKELPARAM(At.x, At.y));
    ASSERT_EQ(Shown.size(), 3u);
    EXPECT_EQ(Shown[2], std::vector<std::string>{"Mine"});
    Editor->SetPopupMenu(nullptr);
}

} // namespace
