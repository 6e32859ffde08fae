// The side panel on GDI: titles measured from character advances agree with the platform, and a
// panel brought up to date by edits after store events shows what a fresh panel rendering the
// same namespaces shows (the same page, lines, links under the mouse and pixels).
#include "app/NamespaceVisualizer.h"
#include "app/TitleWidths.h"
#include "gui/Forms.h"
#include "gui/GdiGuards.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TEST(TitleWidths, AgreeWithThePlatformInEveryFont) {
    const std::vector<std::string> Texts = {"",
                                            "a",
                                            "Topic number 1234 about things",
                                            "WWWWWiiiii",
                                            "\xBB \xE9t\xE9 \xC0 la plage",
                                            "tab\there",
                                            "<script>&amp;\"x=y\"",
                                            std::string(300, 'm')};
    struct TFace {
        const char* Name;
        int Height, Weight;
        BYTE Italic;
    };
    for (const TFace& Face : {TFace{"Tahoma", -11, FW_NORMAL, 0}, TFace{"Arial", -13, FW_BOLD, 0},
                              TFace{"Times New Roman", -16, FW_NORMAL, 1},
                              TFace{"Courier New", -12, FW_NORMAL, 0}, TFace{"System", 0, FW_BOLD, 1}}) {
        SCOPED_TRACE(Face.Name);
        TGdiObject<HFONT> Font(CreateFontA(Face.Height, 0, 0, 0, Face.Weight, Face.Italic, 0, 0,
                                           DEFAULT_CHARSET, 0, 0, 0, 0, Face.Name));
        TMemoryDC DC(nullptr);
        TSelectObject Select(DC.Get(), Font.Get());
        const TTitleWidths Widths(DC.Get());
        for (const std::string& Text : Texts) {
            SIZE Size{};
            GetTextExtentPoint32A(DC.Get(), Text.data(), static_cast<int>(Text.size()), &Size);
            EXPECT_EQ(Widths.Width(DC.Get(), Text), Size.cx) << Text;
        }
    }
}

struct TPanelForm {
    std::unique_ptr<TForm> Form;
    TNamespaceVisualizer* Panel = nullptr;
    // Compact false: the panel's document keeps a text section per link line, as before runs of
    // link lines were kept as data: what the user sees must not tell the two apart.
    explicit TPanelForm(bool Compact = true) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 320, 420);
        Panel = new TNamespaceVisualizer(Form.get());
        Panel->SectionList().CompactLinkLines = Compact;
        Panel->SetParent(Form.get());
        Panel->SetBounds(0, 0, 300, 380);
        Panel->SetScrollBars(THvScrollStyle::ssVertical);
        Panel->SetBorderStyle(THTMLBorderStyle::htNone);
        Panel->SetDefBackground(clWindow);
        Panel->SetDefFontName("Tahoma");
        Panel->SetDefFontSize(8);
        Panel->ShowRootLinks = true;
    }
    // The panel's document drawn at a scroll position into a bitmap, as 32-bit pixels.
    std::vector<uint32_t> Pixels(int32_t Scroll) {
        Panel->ScrollTo(Scroll);
        const int W = Panel->PaintPanel().Width(), H = Panel->PaintPanel().Height();
        BITMAPINFO Info{};
        Info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* Bits = nullptr;
        TGdiObject<HBITMAP> Bitmap(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
        TMemoryDC DC(nullptr);
        TSelectObject Select(DC.Get(), Bitmap.Get());
        RECT R{0, 0, W, H};
        FillRect(DC.Get(), &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        Panel->DrawDocument(DC.Get(), R);
        GdiFlush();
        const auto* P = static_cast<const uint32_t*>(Bits);
        return std::vector<uint32_t>(P, P + static_cast<size_t>(W) * H);
    }
};

// Every link line's text and place, in document order.
void Lines(TCell& Cell, std::vector<std::string>& Out) {
    for (const auto& S : Cell.Sections) {
        if (auto* T = dynamic_cast<TSection*>(S.get()))
            Out.push_back(std::to_string(T->YValue) + ":" + std::to_string(T->SectionHeight) + ":" +
                          T->Text());
        else if (auto* Run = dynamic_cast<TLinkLines*>(S.get()))
            for (int L = 0; L < Run->LineCount(); ++L)
                Out.push_back(std::string(Run->Title(L)) + ":" + std::string(Run->Url(L)));
        else if (auto* Table = dynamic_cast<ThtmlTable*>(S.get()))
            for (auto& Row : Table->Rows)
                for (auto& C : Row->Cells)
                    if (C) Lines(C->Cell, Out);
    }
}

} // namespace

TEST(SidePanel, StoreEventsShowWhatAFreshRenderShows) {
    TPanelForm Kept;
    auto Title = [](int i) { return "Topic number " + std::to_string(1000 + i) + " about things"; };
    for (int i = 0; i < 400; ++i)
        Kept.Panel->AddEntry("Big", Title(i));
    Kept.Panel->AddEntry("Other", "a somewhat longer title than the others");
    Kept.Form->Show();
    Kept.Panel->Render();
    const uint32_t Loads = Kept.Panel->DocumentLoads();
    Kept.Panel->ScrollTo(1500);

    // Store events: topics new, deleted, renamed (out and in), in both namespaces.
    Kept.Panel->AddEntry("Big", "Topic number 1100 about things, renamed");
    Kept.Panel->Render();
    Kept.Panel->RemoveEntry("Big", Title(7));
    Kept.Panel->Render();
    Kept.Panel->RemoveEntry("Big", Title(250));
    Kept.Panel->AddEntry("Big", "zzz last one");
    Kept.Panel->AddEntry("Other", "another");
    Kept.Panel->Render();
    // The document was edited, not loaded again, and the view stayed where it was.
    EXPECT_EQ(Kept.Panel->DocumentLoads(), Loads);
    EXPECT_EQ(Kept.Panel->VScrollPos(), 1500);

    TPanelForm Fresh, Plain(false);
    for (const auto& N : Kept.Panel->Namespaces())
        for (const auto& T : Kept.Panel->Titles(N)) {
            Fresh.Panel->AddEntry(N, T);
            Plain.Panel->AddEntry(N, T);
        }
    Fresh.Form->Show();
    Fresh.Panel->Render();
    Plain.Form->Show();
    Plain.Panel->Render();
    ASSERT_EQ(Plain.Panel->DocumentHeight(), Fresh.Panel->DocumentHeight());

    EXPECT_EQ(Kept.Panel->PageText(), Fresh.Panel->PageText());
    EXPECT_EQ(Kept.Panel->DocumentHeight(), Fresh.Panel->DocumentHeight());
    std::vector<std::string> A, B;
    Lines(Kept.Panel->SectionList(), A);
    Lines(Fresh.Panel->SectionList(), B);
    EXPECT_EQ(A, B);
    for (int32_t Scroll : {0, 1500, Fresh.Panel->DocumentHeight()}) {
        SCOPED_TRACE(Scroll);
        const std::vector<uint32_t> Shown = Kept.Pixels(Scroll);
        EXPECT_TRUE(Shown == Fresh.Pixels(Scroll));
        EXPECT_TRUE(Shown == Plain.Pixels(Scroll));
        // The link under the mouse down the panel (hit tests read the last paint).
        for (int32_t Y = 0; Y < Kept.Panel->PaintPanel().Height(); Y += 7) {
            TUrlTarget UA, UB, UC;
            TFormControlObj *CA = nullptr, *CB = nullptr, *CC = nullptr;
            const int32_t DocY = Y + Kept.Panel->VScrollPos();
            ASSERT_EQ(DocY, Y + Fresh.Panel->VScrollPos());
            EXPECT_EQ(
                Kept.Panel->SectionList().LinkAtPoint(Kept.Panel->SectionList().Measure(), 40, DocY, UA, CA),
                Fresh.Panel->SectionList().LinkAtPoint(Fresh.Panel->SectionList().Measure(), 40, DocY, UB,
                                                       CB));
            EXPECT_EQ(UA.URL, UB.URL) << Y;
            Plain.Panel->SectionList().LinkAtPoint(Plain.Panel->SectionList().Measure(), 40, DocY, UC, CC);
            EXPECT_EQ(UA.URL, UC.URL) << Y;
        }
    }
}
