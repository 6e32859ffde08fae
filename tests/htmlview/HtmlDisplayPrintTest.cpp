// The viewer under Wine: drawn into DCs it is handed (a memory bitmap, an enhanced metafile, a
// printer when the prefix has one), Repaint, the CharSet / OnScript / OnInclude properties, and
// drags over the paint panel reaching the viewer's events.
#include "htmlview/HtmlDisplay.h"
#include "htmlview/HtmlDisplayPrint.h"

#include "base/Exceptions.h"
#include "gui/Application.h"
#include "gui/DragDrop.h"
#include "gui/Forms.h"
#include "gui/GraphicImages.h"
#include "htmlview/HtmlFormControls.h"
#include "htmlview/HtmlTextSection.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdio>
#include <direct.h>
#include <stdexcept>
#include <vector>

namespace {

const char* const ColourPage =
    "<html><body bgcolor=\"#FFFFFF\" text=\"#000000\">"
    "<h2>Printed page</h2>"
    "<p><a href=\"other.htm\">A link in blue</a> and plain text.</p>"
    "<table border=2 bgcolor=\"#00FF00\"><tr><td>Green cell</td><td>second cell</td></tr></table>"
    "<p>Line after the table</p></body></html>";

std::string TallPage() {
    std::string s = "<html><body>";
    for (int i = 0; i < 120; ++i)
        s += "<p>Paragraph " + std::to_string(i) + " of a page to print</p>";
    return s + "</body></html>";
}

uint32_t PixelAt(TBitmap& b, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(b.ScanLine(y));
    return row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
}

int ColourDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d,
                     std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return d;
}

// Pixels of the rectangle that differ between two pictures by more than a little.
int DifferingPixels(TBitmap& a, TBitmap& b, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (ColourDistance(PixelAt(a, x, y), PixelAt(b, x, y)) > 24) ++n;
    return n;
}

int DarkPixels(TBitmap& b, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (ColourDistance(PixelAt(b, x, y), 0) < 80) ++n;
    return n;
}

void SavePicture(TBitmap& b, const std::string& name) {
    const std::string dir = MV_SCREENS_DIR;
    _mkdir(dir.c_str());
    const std::string bytes = EncodePng(b);
    FILE* f = std::fopen((dir + "/" + name + ".png").c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + name);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class HtmlDisplayPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 440, 340);
        Viewer = new THtmlDisplay(Form.get());
        Viewer->SetParent(Form.get());
        Viewer->SetBounds(0, 0, 400, 280);
        Viewer->SetBorderStyle(THTMLBorderStyle::htSingle);
        Viewer->SetDefBackground(0xFFFFFF);
        Viewer->SetDefFontColor(0);
        Viewer->SetDefFontName("Arial");
        Viewer->SetDefFontSize(10);
    }
    void TearDown() override { Form.reset(); }
    void ShowAndPaint() {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }
    // What the viewer shows on screen, in the viewer's own coordinates.
    void CaptureViewer(TBitmap& shot) { CaptureWindow(Viewer->Handle(), shot); }
    // The viewer's WM_PRINT into a fresh bitmap first filled with Fill.
    void PrintInto(TBitmap& out, LPARAM flags, COLORREF fill = 0x00FF00FF) {
        out.SetSize(Viewer->Width(), Viewer->Height());
        RECT all{0, 0, Viewer->Width(), Viewer->Height()};
        TGdiObject<HBRUSH> brush(CreateSolidBrush(fill));
        FillRect(out.Canvas().Handle(), &all, brush.Get());
        SendMessageA(Viewer->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(out.Canvas().Handle()), flags);
    }
    RECT PanelRect() {
        TPaintPanel& p = Viewer->PaintPanel();
        return RECT{p.Left(), p.Top(), p.Left() + p.Width(), p.Top() + p.Height()};
    }
    std::string DocumentText() {
        auto& list = Viewer->SectionList();
        list.SelFrom = 0;
        list.SelTo = 1 << 30;
        std::string text = list.SelectedText();
        list.SelFrom = list.SelTo = 0;
        return text;
    }

    std::unique_ptr<TForm> Form;
    THtmlDisplay* Viewer = nullptr;
};

TEST_F(HtmlDisplayPrintTest, APrintedViewerMatchesTheScreenAtItsScrollPosition) {
    Viewer->LoadHtmlText(ColourPage + TallPage(), "printed");
    ShowAndPaint();
    Viewer->ScrollTo(37);
    ShowAndPaint();
    ASSERT_EQ(Viewer->VScrollPos(), 37);
    TBitmap screen(1, 1), printed(1, 1);
    CaptureViewer(screen);
    PrintInto(printed, PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    SavePicture(printed, "html-display-printed");
    const RECT panel = PanelRect();
    ASSERT_GT(DarkPixels(screen, panel), 200) << "the page shows text on screen";
    EXPECT_EQ(DifferingPixels(screen, printed, panel), 0);
    // The frame is the viewer's own surface.
    EXPECT_EQ(ColourDistance(PixelAt(printed, 0, 0), PixelAt(screen, 0, 0)), 0);
    // The vertical bar is a child too, its thumb where the screen has it.
    ASSERT_TRUE(Viewer->VScrollBar().Visible());
    EXPECT_EQ(DifferingPixels(screen, printed, Viewer->VScrollBar().BoundsRect()), 0);
}

TEST_F(HtmlDisplayPrintTest, WithoutChildrenOnlyTheViewersOwnSurfaceIsPrinted) {
    Viewer->LoadHtmlText(ColourPage, "surface");
    ShowAndPaint();
    TBitmap printed(1, 1);
    PrintInto(printed, PRF_CLIENT);
    EXPECT_EQ(DarkPixels(printed, PanelRect()), 0) << "the document is the paint panel's";
    // The frame (htSingle) is drawn.
    EXPECT_LT(ColourDistance(PixelAt(printed, 0, 5), GetSysColor(COLOR_WINDOWFRAME)), 8);
    // A hidden viewer asked to check visibility prints nothing at all.
    Viewer->SetVisible(false);
    PrintInto(printed, PRF_CLIENT | PRF_CHILDREN | PRF_CHECKVISIBLE);
    EXPECT_EQ(PixelAt(printed, 0, 5), 0xFF00FFu);
    EXPECT_EQ(PixelAt(printed, 200, 100), 0xFF00FFu);
}

TEST_F(HtmlDisplayPrintTest, ThePanelPaintsOnlyItsOwnRectangleOfALargerDC) {
    Viewer->LoadHtmlText(ColourPage, "panel only");
    ShowAndPaint();
    TPaintPanel& panel = Viewer->PaintPanel();
    TBitmap big(panel.Width() + 60, panel.Height() + 60);
    RECT all{0, 0, big.Width(), big.Height()};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(0x00FF00FF));
    FillRect(big.Canvas().Handle(), &all, brush.Get());
    SendMessageA(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(big.Canvas().Handle()), PRF_CLIENT);
    EXPECT_NE(PixelAt(big, 5, 5), 0xFF00FFu);
    for (const POINT p : {POINT{panel.Width() + 10, 5}, POINT{5, panel.Height() + 10},
                          POINT{panel.Width() + 30, panel.Height() + 30}})
        EXPECT_EQ(PixelAt(big, p.x, p.y), 0xFF00FFu) << p.x << "," << p.y;
}

TEST_F(HtmlDisplayPrintTest, AMetafileRecordsThePage) {
    Viewer->LoadHtmlText(ColourPage, "metafile");
    ShowAndPaint();
    TBitmap screen(1, 1);
    CaptureViewer(screen);

    const int w = Viewer->Width(), h = Viewer->Height();
    TWindowDC reference(nullptr);
    const int mmX = GetDeviceCaps(reference.Get(), HORZSIZE) * 100,
              pxX = GetDeviceCaps(reference.Get(), HORZRES);
    const int mmY = GetDeviceCaps(reference.Get(), VERTSIZE) * 100,
              pxY = GetDeviceCaps(reference.Get(), VERTRES);
    RECT frame{0, 0, w * mmX / pxX, h * mmY / pxY};
    HDC record = CreateEnhMetaFileA(reference.Get(), nullptr, &frame, nullptr);
    ASSERT_NE(record, nullptr);
    ASSERT_FALSE(IsRasterSurface(record));
    SendMessageA(Viewer->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(record),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    HENHMETAFILE meta = CloseEnhMetaFile(record);
    ASSERT_NE(meta, nullptr);

    TBitmap played(w, h);
    RECT all{0, 0, w, h};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(0x00FF00FF));
    FillRect(played.Canvas().Handle(), &all, brush.Get());
    // Played at its recorded bounds, one recorded unit to one pixel.
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(meta, sizeof header, &header);
    RECT bounds{header.rclBounds.left, header.rclBounds.top, header.rclBounds.right + 1,
                header.rclBounds.bottom + 1};
    PlayEnhMetaFile(played.Canvas().Handle(), meta, &bounds);
    DeleteEnhMetaFile(meta);
    SavePicture(played, "html-display-metafile");

    const RECT panel = PanelRect();
    ASSERT_GT(DarkPixels(screen, panel), 100);
    EXPECT_LT(DifferingPixels(screen, played, panel),
              (panel.right - panel.left) * (panel.bottom - panel.top) / 100);
}

TEST_F(HtmlDisplayPrintTest, AnOldStyleMetafileRecordsThePageToo) {
    // A Windows metafile DC has no device of its own: the off-screen picture is made for the screen.
    Viewer->LoadHtmlText(ColourPage, "old metafile");
    ShowAndPaint();
    TBitmap screen(1, 1);
    CaptureViewer(screen);
    HDC record = CreateMetaFileA(nullptr);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(IsRasterSurface(record));
    SendMessageA(Viewer->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(record), PRF_CLIENT | PRF_CHILDREN);
    HMETAFILE meta = CloseMetaFile(record);
    ASSERT_NE(meta, nullptr);
    TBitmap played(Viewer->Width(), Viewer->Height());
    RECT all{0, 0, played.Width(), played.Height()};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(0x00FF00FF));
    FillRect(played.Canvas().Handle(), &all, brush.Get());
    PlayMetaFile(played.Canvas().Handle(), meta);
    DeleteMetaFile(meta);
    SavePicture(played, "html-display-old-metafile");
    SavePicture(screen, "html-display-old-metafile-screen");
    const RECT panel = PanelRect();
    EXPECT_LT(DifferingPixels(screen, played, panel),
              (panel.right - panel.left) * (panel.bottom - panel.top) / 100);
    // The surfaces an off-screen picture can be made for directly.
    TWindowDC display(nullptr);
    TBitmap memory(4, 4);
    EXPECT_TRUE(IsRasterSurface(display.Get()));
    EXPECT_TRUE(IsRasterSurface(memory.Canvas().Handle()));
}

TEST_F(HtmlDisplayPrintTest, APrinterOfThePrefixGetsThePage) {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (needed == 0 ||
        !EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed,
                       &needed, &count) ||
        count == 0)
        GTEST_SKIP() << "no printer in this Wine prefix";
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    HDC printer = CreateDCA(nullptr, info->pPrinterName, nullptr, nullptr);
    if (!printer) GTEST_SKIP() << "the printer gives no DC";
    Viewer->LoadHtmlText(ColourPage, "printer");
    ShowAndPaint();
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string output = std::string(path) + "mv-viewer-print.prn";
    DeleteFileA(output.c_str());
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "Viewer";
    doc.lpszOutput = output.c_str();
    EXPECT_FALSE(IsRasterSurface(printer));
    ASSERT_GT(StartDocA(printer, &doc), 0);
    StartPage(printer);
    SendMessageA(Viewer->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(printer), PRF_CLIENT | PRF_CHILDREN);
    EndPage(printer);
    EndDoc(printer);
    DeleteDC(printer);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(output.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow, 1000u);
    DeleteFileA(output.c_str());
}

TEST_F(HtmlDisplayPrintTest, RepaintRestoresAStaleSurfaceAtOnce) {
    Viewer->LoadHtmlText(ColourPage, "repaint");
    ShowAndPaint();
    TPaintPanel& panel = Viewer->PaintPanel();
    const RECT all{0, 0, panel.Width(), panel.Height()};
    // What the panel's window holds, read through its own DC.
    auto capture = [&](TBitmap& shot) {
        shot.SetSize(panel.Width(), panel.Height());
        TWindowDC dc(panel.Handle());
        BitBlt(shot.Canvas().Handle(), 0, 0, panel.Width(), panel.Height(), dc.Get(), 0, 0, SRCCOPY);
    };
    TBitmap before(1, 1), stale(1, 1), after(1, 1);
    capture(before);
    {
        TWindowDC dc(panel.Handle());
        TGdiObject<HBRUSH> brush(CreateSolidBrush(0x000000FF));
        FillRect(dc.Get(), &all, brush.Get());
        GdiFlush();
    }
    capture(stale);
    ASSERT_GT(DifferingPixels(before, stale, all), 1000);
    Viewer->Repaint(); // no message loop runs between this and the capture
    capture(after);
    EXPECT_EQ(DifferingPixels(before, after, all), 0);
}

TEST_F(HtmlDisplayPrintTest, RepaintHidesTheFormControlsOutOfViewAndShowsThoseInView) {
    std::string page = "<form><p><input type=text name=top value=\"Top words\"></p>";
    for (int i = 0; i < 60; ++i)
        page += "<p>Line " + std::to_string(i) + "</p>";
    page += "<p><input type=text name=bottom value=\"Bottom words\"></p></form>";
    Viewer->LoadHtmlText(page, "form repaint");
    ShowAndPaint();
    auto& controls = Viewer->SectionList().FormControlList;
    ASSERT_EQ(controls.size(), 2u);
    TWinControl* top = FormControlWindow(*controls[0]);
    TWinControl* bottom = FormControlWindow(*controls[1]);
    ASSERT_TRUE(top && bottom);
    ASSERT_TRUE(IsWindowVisible(top->Handle()));
    ASSERT_FALSE(IsWindowVisible(bottom->Handle()));
    // A window left on screen although its control is out of view goes with a Repaint.
    Viewer->SetFocus();
    ASSERT_EQ(GetFocus(), Viewer->Handle());
    bottom->SetVisible(true);
    ASSERT_TRUE(IsWindowVisible(bottom->Handle()));
    Viewer->Repaint();
    EXPECT_TRUE(IsWindowVisible(top->Handle()));
    EXPECT_FALSE(IsWindowVisible(bottom->Handle()));
    EXPECT_TRUE(controls[0]->IsShown);
    EXPECT_FALSE(controls[1]->IsShown);

    // Printed, the control in view shows its text as on screen.
    TBitmap screen(1, 1), printed(1, 1);
    CaptureViewer(screen);
    PrintInto(printed, PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    SavePicture(printed, "html-display-printed-form");
    SavePicture(screen, "html-display-printed-form-screen");
    RECT r{};
    GetWindowRect(top->Handle(), &r);
    MapWindowPoints(nullptr, Viewer->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(DifferingPixels(screen, printed, r), 0);
}

TEST_F(HtmlDisplayPrintTest, CharSetReachesEveryFontAndKeepsThePosition) {
    EXPECT_EQ(Viewer->CharSet(), DEFAULT_CHARSET);
    Viewer->LoadHtmlText(TallPage(), "charset");
    ShowAndPaint();
    auto fontsHave = [&](uint8_t set) {
        bool all = true;
        int runs = 0;
        for (auto& section : Viewer->SectionList().Sections)
            if (auto* text = dynamic_cast<TSection*>(section.get()))
                for (TFontObj* run : text->Fonts) {
                    ++runs;
                    all = all && run->CurrentFont->Charset == set;
                }
        return runs > 0 && all;
    };
    EXPECT_TRUE(fontsHave(DEFAULT_CHARSET));
    Viewer->ScrollTo(400);
    const int32_t position = Viewer->Position();
    Viewer->SetCharSet(EASTEUROPE_CHARSET);
    EXPECT_EQ(Viewer->SectionList().CharSet, EASTEUROPE_CHARSET);
    EXPECT_TRUE(fontsHave(EASTEUROPE_CHARSET));
    EXPECT_EQ(Viewer->Position(), position);
    // A new document is built with it.
    Viewer->LoadHtmlText("<p>Another page</p>", "charset 2");
    EXPECT_TRUE(fontsHave(EASTEUROPE_CHARSET));
}

TEST_F(HtmlDisplayPrintTest, ScriptsAndIncludesReachTheHost) {
    struct Script {
        TObject* Sender;
        std::string Name, Language, Text;
    };
    std::vector<Script> scripts;
    Viewer->SetOnScript(
        [&](TObject* Sender, const std::string& Name, const std::string& Language, const std::string& Text) {
            scripts.push_back({Sender, Name, Language, Text});
        });
    std::vector<std::string> commands;
    Viewer->OnInclude = [&](TObject* Sender, const std::string& Command, TStrings& Params,
                            std::string& Text) {
        EXPECT_EQ(Sender, Viewer);
        commands.push_back(Command + ":" + (Params.Count() > 0 ? Params.Get(0) : std::string()));
        if (Command == "greeting") Text = "<b>Included words</b>";
    };
    Viewer->LoadHtmlText("<html><head><script language=\"JavaScript\" name=\"first\">var shown = 1;</script>"
                         "</head><body><p>Before <!--#greeting who=\"you\"--> after "
                         "<!--#unknown--> end.</p><!-- a plain comment --></body></html>",
                         "scripts");
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0].Sender, Viewer);
    EXPECT_EQ(scripts[0].Name, "first");
    EXPECT_EQ(scripts[0].Language, "JavaScript");
    EXPECT_EQ(scripts[0].Text, "var shown = 1;");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], "greeting:WHO=\"you\"");
    EXPECT_EQ(commands[1], "unknown:");
    const std::string text = DocumentText();
    EXPECT_NE(text.find("Before Included words after"), std::string::npos) << text;
    EXPECT_EQ(text.find("var shown"), std::string::npos) << text;

    // Without a handler the include is an ordinary comment, and no script is reported.
    Viewer->OnInclude = nullptr;
    Viewer->SetOnScript(nullptr);
    Viewer->LoadHtmlText("<script>x()</script><p>Before <!--#greeting--> after</p>", "scripts 2");
    EXPECT_EQ(scripts.size(), 1u);
    EXPECT_EQ(DocumentText().find("Included"), std::string::npos);
}

TEST_F(HtmlDisplayPrintTest, DragsOverThePanelReachTheViewer) {
    Viewer->LoadHtmlText(ColourPage, "drag");
    ShowAndPaint();
    TObject source;
    const POINT inPanel = Viewer->PaintPanel().ClientToScreen(POINT{30, 40});
    // Nobody listens: the drag is refused and a drop goes nowhere.
    EXPECT_FALSE(DragMessageAt(TDragMessage::dmDragMove, &source, inPanel));
    EXPECT_EQ(FindDragTarget(inPanel), &Viewer->PaintPanel());

    struct Seen {
        TObject* Sender;
        TObject* Source;
        int X, Y;
        TDragState State;
    };
    std::vector<Seen> over;
    std::vector<Seen> dropped;
    bool acceptIt = true;
    Viewer->OnDragOver = [&](TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
        EXPECT_TRUE(Accept) << "accepted unless the handler says no";
        over.push_back({Sender, Source, X, Y, State});
        Accept = acceptIt;
    };
    Viewer->OnDragDrop = [&](TObject* Sender, TObject* Source, int X, int Y) {
        dropped.push_back({Sender, Source, X, Y, TDragState::dsDragMove});
    };
    EXPECT_TRUE(DragMessageAt(TDragMessage::dmDragEnter, &source, inPanel));
    acceptIt = false;
    EXPECT_FALSE(DragMessageAt(TDragMessage::dmDragMove, &source, inPanel));
    EXPECT_TRUE(DragMessageAt(TDragMessage::dmDragDrop, &source, inPanel));
    ASSERT_EQ(over.size(), 2u);
    for (const Seen& s : over) {
        EXPECT_EQ(s.Sender, Viewer);
        EXPECT_EQ(s.Source, &source);
        EXPECT_EQ(s.X, 30);
        EXPECT_EQ(s.Y, 40);
    }
    EXPECT_EQ(over[0].State, TDragState::dsDragEnter);
    EXPECT_EQ(over[1].State, TDragState::dsDragMove);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].Sender, Viewer);
    EXPECT_EQ(dropped[0].X, 30);
    EXPECT_EQ(dropped[0].Y, 40);
}

} // namespace

namespace {

TEST_F(HtmlDisplayPrintTest, AFolderIsReportedLikeAMissingFile) {
    Viewer->LoadHtmlText("<p>Kept</p>", "kept");
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string name = folder;
    if (!name.empty() && name.back() == '\\') name.pop_back();
    for (uint8_t type : {0, 1, 2}) {
        try {
            Viewer->LoadDocumentFile(name, type);
            ADD_FAILURE() << "type " << int(type) << " loaded a folder";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), "Can't locate file: " + name);
        }
        EXPECT_EQ(Viewer->CurrentFile(), "kept");
    }
}

} // namespace
