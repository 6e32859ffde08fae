// Fuzz target: an HTML text is parsed, laid out at two widths, drawn to the recording painter,
// hit-tested at points and searched; its form controls are clicked, focused, reset and
// submitted through stand-in windows. Input: two bytes of width, then the document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlParser.h"
#include "htmlview/HtmlTable.h"

namespace {
class FuzzPicture : public IHtmlPicture {
public:
    FuzzPicture(int32_t w, int32_t h) : w_(w), h_(h) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }

private:
    int32_t w_, h_;
};

// A window stand-in whose user chose the first, none or the last item, typed a line break, and
// has the focus every other time it is asked.
class FuzzPeer : public IFormControlPeer {
public:
    FuzzPeer(TFormControlObj& obj, uint8_t seed) : obj_(obj), seed_(seed) {}
    void ShowValue() override {}
    void ReadValue() override {
        obj_.Text += "\r\n";
        obj_.Checked = !obj_.Checked;
        const int32_t n = static_cast<int32_t>(obj_.Options.size());
        obj_.ItemIndex = seed_ % 3 == 0 ? -1 : seed_ % 3 == 1 ? 0 : n - 1;
        for (size_t i = 0; i < obj_.ItemSelected.size(); ++i)
            obj_.ItemSelected[i] = (seed_ >> (i % 8)) & 1;
    }
    void SetSize(int32_t, int32_t) override {}
    void ShowAt(int32_t, int32_t, TColor) override {}
    void Hide() override {}
    bool Focused() const override { return (++asked_ & 1) != 0; }

private:
    TFormControlObj& obj_;
    uint8_t seed_;
    mutable unsigned asked_ = 0;
};

void ExerciseForms(TSectionList& doc, const uint8_t* data, size_t size) {
    size_t k = 0;
    // A few dozen controls find what thousands would; each click reads every control.
    std::vector<TFormControlObj*> controls = doc.FormControlList;
    if (controls.size() > 48) controls.resize(48);
    for (TFormControlObj* c : controls) {
        const uint8_t b = size ? data[k++ % size] : 0;
        c->ControlEnter();
        c->ControlExit();
        if (b & 1) c->ControlClick();
        if (b & 2) c->Click(b, b >> 2);
        if (c->OwnerForm) c->OwnerForm->FormKeyDown(*c, b & 4 ? 13 : 9);
    }
    for (const auto& f : doc.FormList) {
        f->SubmitFormData("b=1");
        f->ResetControls();
    }
}

void Exercise(TSectionList& doc, TFixedMetrics& m, int32_t width, const uint8_t* data, size_t size) {
    int32_t curs = 0, maxWidth = 0;
    int32_t height = 0;
    try {
        height = doc.Layout(m, 0, width, maxWidth, curs);
    } catch (const EProcessError&) {
        return; // too many columns: the caller sees it, nothing is drawn
    }
    m.Record = false;
    doc.Draw(m, {0, 0, width + 100, 3000}, 6000, 0, 0);
    doc.SetYOffset(height / 2);
    doc.Draw(m, {0, 0, width + 100, 3000}, 6000, 0, 0);
    for (size_t i = 0; i + 3 < size && i < 64; i += 4) {
        int32_t x = (data[i] | data[i + 1] << 8) % (width + 50);
        int32_t y = height > 0 ? (data[i + 2] | data[i + 3] << 8) * 7 % (height + 20) : 0;
        TUrlTarget url;
        TFormControlObj* ctrl = nullptr;
        doc.LinkAtPoint(m, x, y, url, ctrl);
        int32_t xr, yr, ht;
        bool inText;
        int32_t pos = doc.CharIndexAtPoint(m, x, y, xr, yr, ht, inText);
        TObject* obj = nullptr;
        int32_t ix, iy;
        doc.ObjectAtPoint(x, y, obj, ix, iy);
        if (pos >= 0) {
            char ch;
            doc.CharAtIndex(pos, ch, obj);
            doc.CharIndexToPoint(m, pos, xr, yr);
            doc.SourcePosOf(pos);
            doc.SelFrom = pos;
            doc.SelTo = pos + 10;
            doc.SelectedText();
        }
        doc.DocPosOf(x, (y & 1) != 0);
    }
    if (size > 8)
        doc.FindString(0, std::string(reinterpret_cast<const char*>(data) + 4, 3), (data[0] & 1) != 0);
    ExerciseForms(doc, data, size);
}

// What a parse kept of every run and text section (tables walked): their lines, links, text and
// source positions.
void Fingerprint(TCell& cell, std::string& out) {
    for (const auto& s : cell.Sections) {
        out += std::to_string(s->Len) + ';';
        if (auto* t = dynamic_cast<ThtmlTable*>(s.get())) {
            for (auto& row : t->Rows)
                for (auto& c : row->Cells)
                    if (c) Fingerprint(c->Cell, out);
        } else if (auto* r = dynamic_cast<TLinkLines*>(s.get())) {
            for (int i = 0; i < r->LineCount(); ++i) {
                out.append(r->Title(i));
                out += '|' + r->Url(i) + '|' + std::to_string(r->LineStart(i)) + ',' +
                       std::to_string(r->MarkSource(i)) + ',' + std::to_string(r->TitleSource(i)) + ';';
            }
        } else if (auto* x = dynamic_cast<TSection*>(s.get())) {
            out += x->Text() + '|';
            for (const auto& i : x->SourceIndexList)
                out += std::to_string(i.PosIndex) + '=' + std::to_string(i.SourceIndex) + ',';
            for (const auto* f : x->Fonts) {
                out += std::to_string(f->Pos);
                out.append(f->UrlTarget.URL());
                out += ',';
            }
        }
    }
}

// The page parsed with runs of link lines kept as data must lay out, draw, copy and answer
// points as the page parsed with a section per line (pages with forms are left out: their
// controls want the document's callbacks, and a line with one never joins a run).
void CompareRuns(const std::string& html, int32_t width, const uint8_t* data, size_t size) {
    TFixedMetrics ma(7), mb(7);
    TSectionList a, b;
    a.SetMeasure(&ma);
    b.SetMeasure(&mb);
    b.CompactLinkLines = true;
    THtmlParser pa, pb;
    pa.ParseHtmlText(html, a, nullptr);
    pb.ParseHtmlText(html, b, nullptr);
    if (!a.FormControlList.empty()) return;
    {
        // Lines read straight from the source are the lines built one by one.
        TFixedMetrics mc(7);
        TSectionList c;
        c.SetMeasure(&mc);
        c.CompactLinkLines = true;
        THtmlParser pc;
        pc.FastLinkLines = false;
        pc.ParseHtmlText(html, c, nullptr);
        std::string fb, fc;
        Fingerprint(b, fb);
        Fingerprint(c, fc);
        if (fb != fc) __builtin_trap();
    }
    int32_t ca = 0, cb = 0, wa = 0, wb = 0, ha = 0, hb = 0;
    try {
        ha = a.Layout(ma, 0, width, wa, ca);
        hb = b.Layout(mb, 0, width, wb, cb);
    } catch (const EProcessError&) {
        return;
    }
    auto same = [](bool ok) {
        if (!ok) __builtin_trap();
    };
    same(ha == hb && wa == wb && ca == cb);
    for (int32_t scroll : {0, ha / 2}) {
        ma.Ops.clear();
        mb.Ops.clear();
        a.SetYOffset(scroll);
        b.SetYOffset(scroll);
        a.Draw(ma, {0, 0, width + 100, 3000}, 6000, 0, 0);
        b.Draw(mb, {0, 0, width + 100, 3000}, 6000, 0, 0);
        same(ma.Ops.size() == mb.Ops.size());
        for (size_t i = 0; i < ma.Ops.size(); ++i)
            same(ma.Ops[i].X == mb.Ops[i].X && ma.Ops[i].Y == mb.Ops[i].Y &&
                 ma.Ops[i].Text == mb.Ops[i].Text && ma.Ops[i].Color == mb.Ops[i].Color);
    }
    a.SelFrom = b.SelFrom = size > 2 ? data[2] % (ca + 1) : 0;
    a.SelTo = b.SelTo = ca;
    same(a.SelectedText() == b.SelectedText());
    for (size_t i = 0; i + 3 < size && i < 64; i += 4) {
        const int32_t x = (data[i] | data[i + 1] << 8) % (width + 50);
        const int32_t y = ha > 0 ? (data[i + 2] | data[i + 3] << 8) * 7 % (ha + 20) : 0;
        TUrlTarget ua, ub;
        TFormControlObj *fa = nullptr, *fb = nullptr;
        same(a.LinkAtPoint(ma, x, y, ua, fa) == b.LinkAtPoint(mb, x, y, ub, fb) && ua.URL == ub.URL);
        int32_t xa = 0, ya = 0, ta = 0, xb = 0, yb = 0, tb = 0;
        bool ia = false, ib = false;
        const int32_t pos = a.CharIndexAtPoint(ma, x, y, xa, ya, ta, ia);
        same(pos == b.CharIndexAtPoint(mb, x, y, xb, yb, tb, ib) && xa == xb && ya == yb && ta == tb &&
             ia == ib);
        if (pos >= 0) {
            char cha = 0, chb = 0;
            TObject *oa = nullptr, *ob = nullptr;
            same(a.CharAtIndex(pos, cha, oa) == b.CharAtIndex(pos, chb, ob) && cha == chb);
            same(a.CharIndexToPoint(ma, pos, xa, ya) == b.CharIndexToPoint(mb, pos, xb, yb) && xa == xb &&
                 ya == yb);
            same(a.SourcePosOf(pos) == b.SourcePosOf(pos));
        }
        same(a.DocPosOf(x, (y & 1) != 0) == b.DocPosOf(x, (y & 1) != 0));
    }
    if (size > 8) {
        const std::string what(reinterpret_cast<const char*>(data) + 4, 3);
        same(a.FindString(0, what, (data[0] & 1) != 0) == b.FindString(0, what, (data[0] & 1) != 0));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    int32_t width = (data[0] | data[1] << 8) % 2000;
    std::string html(reinterpret_cast<const char*>(data) + 2, size - 2);
    TFixedMetrics m(7);
    TSectionList doc;
    doc.SetMeasure(&m);
    // Picture names decide: later, missing, or a picture whose size comes from the name.
    doc.GetImage = [](const std::string& name, uint8_t&, bool& delayed) -> std::shared_ptr<IHtmlPicture> {
        unsigned char c = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
        if (c % 5 == 0) {
            delayed = true;
            return nullptr;
        }
        if (c % 3 == 0) return nullptr;
        return std::make_shared<FuzzPicture>(c % 60, static_cast<int32_t>(name.size()) % 50);
    };
    doc.MakeFormControlPeer = [seed = data[0]](TFormControlObj& c) -> std::unique_ptr<IFormControlPeer> {
        return std::make_unique<FuzzPeer>(c, seed);
    };
    size_t submitted = 0;
    doc.SubmitForm = [&submitted](TObject*, const std::string&, const std::string&, const std::string&,
                                  const std::string&, std::unique_ptr<TStringList> results) {
        submitted += static_cast<size_t>(results->Count());
    };
    THtmlParser parser;
    TStringList anchors;
    parser.ParseHtmlText(html, doc, &anchors, [](TObject*, const std::string&, TStrings&, std::string& text) {
        text = "<b>included</b>";
    });
    Exercise(doc, m, width, data, size);
    Exercise(doc, m, width / 3, data, size);
    doc.Clear();
    parser.ParseTextAsPreformatted(html, doc, &anchors);
    Exercise(doc, m, width, data, size);
    doc.Clear();
    CompareRuns(html, width, data, size);
    return 0;
}
