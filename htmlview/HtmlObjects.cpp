// Pictures in the text, image maps and the 3D frame.
#include "htmlview/HtmlObjects.h"

#include <algorithm>
#include <cmath>

#include "base/StrUtils.h"
#include "htmlview/HtmlFonts.h"
#include "htmlview/HtmlSections.h"
#include "htmlview/HtmlSymbols.h"

namespace {
TMyFont AltFont() {
    TMyFont f;
    f.Name = "Arial";
    f.Size = 8;
    return f;
}
} // namespace

TImageObj::TImageObj(TSectionList* owner, int32_t pos, const TAttributeList& attributes)
    : OwnerDocument(owner) {
    Pos = pos;
    bool hspaceGiven = false;
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrSRC:
            Source = a.Name;
            break;
        case AttrALT:
            Alt = a.Name;
            break;
        case AttrBORDER:
            NoBorder = a.Value == 0;
            break;
        case AttrISMAP:
            IsMap = true;
            break;
        case AttrTRANSP:
            Transparent = 1;
            break;
        case AttrACTIVE:
            if (!ActiveImage && owner) ++owner->ActiveImages;
            ActiveImage = true;
            break;
        case AttrUSEMAP: {
            UseMap = true;
            std::string name = Trim(UpperCase(a.Name));
            if (name.size() > 1 && name[0] == '#') name.erase(0, 1);
            MapName = name;
            break;
        }
        case AttrALIGN: {
            std::string v = UpperCase(a.Name);
            if (v == "TOP")
                ImageAlign = 0;
            else if (v == "MIDDLE" || v == "ABSMIDDLE")
                ImageAlign = 1;
            else if (v == "LEFT")
                ImageAlign = 3;
            else if (v == "RIGHT")
                ImageAlign = 4;
            break;
        }
        case AttrWIDTH:
            if (a.Name.find('%') != std::string::npos) {
                if (a.Value >= 1 && a.Value <= 100) {
                    GivenWidth = a.Value;
                    PercentWidth = true;
                }
            } else {
                // Pixel sizes are kept to 0..32000; zero or less means not given.
                GivenWidth = ClampInt(a.Value, 0, hvMaxPixels);
            }
            break;
        case AttrHEIGHT:
            GivenHeight = ClampInt(std::max<int32_t>(1, a.Value), 1, hvMaxPixels);
            break;
        case AttrHSPACE:
            HSpace = std::min<int32_t>(std::abs(ClampInt(a.Value, -1000, 1000)), 40);
            hspaceGiven = true;
            break;
        case AttrVSPACE:
            VSpace = std::min<int32_t>(std::abs(ClampInt(a.Value, -1000, 1000)), 40);
            break;
        default:
            break;
        }
    }
    if (!hspaceGiven) HSpace = IsFloat() ? 5 : 0;
}

IHtmlAnimation* AnimationOf(const std::shared_ptr<IHtmlPicture>& picture) {
    auto* animation = dynamic_cast<IHtmlAnimation*>(picture.get());
    return animation && animation->FrameCount() > 1 ? animation : nullptr;
}

TImageObj::~TImageObj() {
    if (OwnerDocument) {
        auto& missing = OwnerDocument->MissingImages;
        missing.erase(std::remove_if(missing.begin(), missing.end(),
                                     [this](const auto& m) { return m.second == this; }),
                      missing.end());
        auto& animated = OwnerDocument->AnimatedImages;
        animated.erase(std::remove(animated.begin(), animated.end(), this), animated.end());
        if (OwnerDocument->HoverImage == this) OwnerDocument->HoverImage = nullptr;
        if (ActiveImage && OwnerDocument->ActiveImages > 0) --OwnerDocument->ActiveImages;
    }
}

void TImageObj::SetHover(bool value) {
    if (Hover == value) return;
    Hover = value;
    IHtmlAnimation* a = AnimationOf(Image);
    if (!a) return;
    auto& animated = OwnerDocument->AnimatedImages;
    if (value) {
        if (a->FrameCount() == 2) {
            a->SetCurrentFrame(2);
        } else {
            a->SetAnimate(true);
            if (std::find(animated.begin(), animated.end(), this) == animated.end()) animated.push_back(this);
        }
    } else {
        a->SetAnimate(false);
        a->SetCurrentFrame(1);
        animated.erase(std::remove(animated.begin(), animated.end(), this), animated.end());
    }
}

void TImageObj::InsertPicture(std::shared_ptr<IHtmlPicture> picture, uint8_t transparent) {
    if (!picture || picture->Width() <= 0 || picture->Height() <= 0) {
        Missing = StandIn::Error;
    } else {
        Image = std::move(picture);
        Transparent = transparent;
        Missing = StandIn::None;
        AdoptAnimation();
    }
    Fetched = true;
    // The stand-in's size was a guess unless both sizes were given.
    if (!(GivenWidth > 0 && GivenHeight > 0 && !PercentWidth)) SizeKnown = false;
}

void TImageObj::AdoptAnimation() {
    IHtmlAnimation* a = AnimationOf(Image);
    if (!a) return;
    if (ActiveImage) {
        // An ACTIVE picture moves only while the mouse is over it.
        a->SetAnimate(false);
        return;
    }
    auto& animated = OwnerDocument->AnimatedImages;
    if (std::find(animated.begin(), animated.end(), this) == animated.end()) animated.push_back(this);
}

void TImageObj::LayoutImage(ITextMetrics& canvas, TFontObj* font, int32_t availableWidth) {
    TSectionList& doc = *OwnerDocument;
    if (!doc.ShowImages) {
        Missing = StandIn::Pending;
    } else if (Image) {
        Missing = StandIn::None; // pictures switched on again
    } else if (!Fetched && !Source.empty()) {
        Fetched = true;
        std::string name = doc.GetImage || !doc.Host ? Source : doc.Host->ResolveLinkPath(Source);
        std::string key = Trim(UpperCase(name));
        bool later = false;
        for (const auto& m : doc.MissingImages)
            if (m.first == key) later = true;
        if (!later) {
            bool fromCache = false;
            uint8_t transparent = Transparent;
            Image = doc.FetchDocumentImage(name, transparent, later, fromCache);
            Transparent = transparent;
            if (Image && (Image->Width() <= 0 || Image->Height() <= 0))
                Image.reset(); // a picture of no size shows as the error picture
        }
        if (Image) {
            Missing = StandIn::None;
            AdoptAnimation();
        } else if (later) {
            Missing = StandIn::Pending;
            doc.MissingImages.emplace_back(key, this);
        } else {
            Missing = StandIn::Error;
        }
    } else if (!Fetched) {
        Missing = StandIn::Error;
    }
    if (!SizeKnown) {
        int32_t wn = Image && Missing == StandIn::None ? Image->Width() : StandInSize;
        int32_t hn = Image && Missing == StandIn::None ? Image->Height() : StandInSize;
        bool standIn = Missing != StandIn::None;
        if (standIn) {
            if (GivenWidth > 0 && GivenHeight > 0 && !PercentWidth) {
                ObjWidth = GivenWidth;
                ObjHeight = GivenHeight;
                SizeKnown = true;
            } else {
                ObjWidth = wn;
                ObjHeight = hn;
            }
        } else if (PercentWidth) {
            ObjWidth = HtmlMulDiv(std::max(0, availableWidth), GivenWidth, 100);
            ObjHeight = GivenHeight > 0 ? GivenHeight : hn;
        } else if (GivenWidth > 0 && GivenHeight > 0) {
            ObjWidth = GivenWidth;
            ObjHeight = GivenHeight;
            SizeKnown = true;
        } else if (GivenHeight > 0) {
            ObjHeight = GivenHeight;
            ObjWidth = HtmlMulDiv(GivenHeight, wn, hn);
            SizeKnown = true;
        } else if (GivenWidth > 0) {
            ObjWidth = GivenWidth;
            ObjHeight = HtmlMulDiv(GivenWidth, hn, wn);
            SizeKnown = true;
        } else {
            ObjWidth = wn;
            ObjHeight = hn;
            SizeKnown = true;
        }
        if (standIn && !SizeKnown) {
            TMyFont f = AltFont();
            int32_t tw = Alt.empty() ? 0 : canvas.TextWidth(f, Alt.data(), static_cast<int32_t>(Alt.size()));
            int32_t th = Alt.empty() ? 0 : canvas.Metrics(f).Height;
            ObjWidth = std::max(ObjWidth, tw + 2 + 24);
            ObjHeight = std::max({ObjHeight, 24, th});
        }
    }
    ObjWidth = ClampInt(ObjWidth, 0, hvMaxPixels);
    ObjHeight = ClampInt(ObjHeight, 0, hvMaxPixels);
    ImageWidth = ObjWidth;
    ImageHeight = ObjHeight;
    HasBorder = font && !font->UrlTarget.URL().empty() && !NoBorder;
    if (HasBorder) {
        ImageWidth += 2;
        ImageHeight += 2;
    }
}

void TImageObj::Draw(IHtmlPainter& canvas, int32_t x, int32_t topY, int32_t yBaseline, TFontObj* font) {
    TSectionList& doc = *OwnerDocument;
    bool missing = !doc.ShowImages || Missing != StandIn::None;
    int32_t y;
    switch (ImageAlign) {
    case 0:
        y = topY;
        break;
    case 1: {
        int32_t descent = font ? font->Descent(canvas) : 0, fh = font ? font->FontHeight(canvas) : 0;
        y = yBaseline + descent - fh / 2 - ImageHeight / 2;
        break;
    }
    case 3:
    case 4:
        y = topY + VSpace;
        break;
    default:
        y = yBaseline - ImageHeight;
        break;
    }
    int32_t dx = x, dy = y;
    if (HasBorder) {
        ++dx;
        ++dy;
    }
    if (missing) {
        if (ObjWidth >= 24 && ObjHeight >= 24)
            canvas.DrawStandIn(Missing == StandIn::Error ? StandIn::Error : StandIn::Pending, dx + 4, dy + 4);
    } else if (Image) {
        canvas.DrawPicture(*Image, dx, dy, ObjWidth, ObjHeight);
    }
    DrawX = dx; // inside the frame of a linked picture
    DrawY = dy + doc.ScrollOffset;
    TColor color = font ? font->CurrentFont->Color : doc.FontColor;
    if (missing && !Alt.empty()) {
        // The ALT text, word-wrapped into the box: at least one word per line, so a box of no
        // width still ends.
        TMyFont f = AltFont();
        int32_t lineH = canvas.Metrics(f).Height;
        int32_t left = dx + 24, right = dx + ObjWidth - 2, ty = dy + 4 + (IsFloat() ? VSpace : 0);
        size_t i = 0;
        while (i < Alt.size() && ty + lineH <= dy + ObjHeight) {
            size_t lineEnd = Alt.find(' ', i);
            if (lineEnd == std::string::npos) lineEnd = Alt.size();
            for (;;) {
                size_t next = Alt.find(' ', lineEnd + 1);
                if (next == std::string::npos) next = Alt.size();
                if (lineEnd >= Alt.size() ||
                    canvas.TextWidth(f, Alt.data() + i, static_cast<int32_t>(next - i)) > right - left)
                    break;
                lineEnd = next;
            }
            canvas.TextOut(f, left, ty + lineH - canvas.Metrics(f).Descent, Alt.data() + i,
                           static_cast<int32_t>(lineEnd - i), color, false, 0);
            ty += lineH;
            i = lineEnd + 1;
        }
    }
    if (missing && !HasBorder) Draw3DFrame(canvas, doc, dx, dy, dx + ObjWidth, dy + ObjHeight, false);
    if (HasBorder) canvas.FrameRect({x, y, x + ImageWidth, y + ImageHeight}, color);
}

bool TImageObj::Contains(int32_t x, int32_t y, int32_t& ix, int32_t& iy) const {
    int32_t w = ImageWidth - (HasBorder ? 2 : 0), h = ImageHeight - (HasBorder ? 2 : 0);
    if (x >= DrawX && x < DrawX + w && y >= DrawY && y < DrawY + h) {
        ix = x - DrawX;
        iy = y - DrawY;
        return true;
    }
    return false;
}

void TMapItem::AddArea(const TAttributeList& attributes) {
    Area area;
    area.Shape = Area::Rect;
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrHREF:
            area.Href = a.Name;
            break;
        case AttrNOHREF:
            area.Href.clear();
            break;
        case AttrTARGET:
            area.Target = a.Name;
            break;
        case AttrSHAPE: {
            std::string s = LowerCase(a.Name.substr(0, 4));
            area.Shape = s == "circ" ? Area::Circle : s == "poly" ? Area::Poly : Area::Rect;
            break;
        }
        case AttrCOORDS: {
            const std::string& c = a.Name;
            size_t i = 0;
            while (i < c.size() && area.Coords.size() < 301) {
                while (i < c.size() && (c[i] == ',' || c[i] == ' '))
                    ++i;
                size_t j = i;
                while (j < c.size() && c[j] != ',' && c[j] != ' ')
                    ++j;
                if (j > i)
                    area.Coords.push_back(
                        ClampInt(StrToIntDef(c.substr(i, j - i), 0), -hvMaxPixels, hvMaxPixels));
                i = j;
            }
            break;
        }
        default:
            break;
        }
    }
    size_t need = area.Shape == Area::Rect ? 4 : area.Shape == Area::Circle ? 3 : 6;
    if (area.Coords.size() < need) return;
    Areas.push_back(std::move(area));
}

bool TMapItem::Area::Contains(int32_t x, int32_t y) const {
    const auto& c = Coords;
    switch (Shape) {
    case Rect:
        return x >= c[0] && x < c[2] + 1 && y >= c[1] && y < c[3] + 1;
    case Circle: {
        int64_t dx = x - c[0], dy = y - c[1], r = c[2];
        return dx * dx + dy * dy <= r * r;
    }
    case Poly: {
        // Winding rule: a point is inside when the polygon winds around it.
        size_t n = c.size() / 2;
        int winding = 0;
        for (size_t i = 0; i < n; ++i) {
            int64_t x1 = c[2 * i], y1 = c[2 * i + 1];
            int64_t x2 = c[2 * ((i + 1) % n)], y2 = c[2 * ((i + 1) % n) + 1];
            int64_t cross = (x2 - x1) * (y - y1) - (x - x1) * (y2 - y1);
            if (y1 <= y) {
                if (y2 > y && cross > 0) ++winding;
            } else if (y2 <= y && cross < 0) {
                --winding;
            }
        }
        return winding != 0;
    }
    }
    return false;
}

bool TMapItem::LinkAtPoint(int32_t x, int32_t y, TUrlTarget& url) const {
    for (const auto& a : Areas)
        if (a.Contains(x, y)) {
            if (a.Href.empty()) return false;
            url.Assign(a.Href, a.Target);
            return true;
        }
    return false;
}

void Draw3DFrame(IHtmlPainter& canvas, TSectionList& doc, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 bool raised) {
    y1 = std::max(y1, -200);
    y2 = std::min(y2, 3000);
    TColor bg = doc.Background;
    bool white =
        (bg & 0xFFFFFF) == 0xFFFFFF || (bg == hvSysWindow && canvas.ColorToRGB(hvSysWindow) == 0xFFFFFF);
    TColor light = white ? 0xC0C0C0 : hvSysBtnHighlight;
    TColor dark = hvSysBtnShadow;
    TColor topLeft = raised ? light : dark, bottomRight = raised ? dark : light;
    canvas.Line(x1, y2, x1, y1, topLeft);
    canvas.Line(x1, y1, x2, y1, topLeft);
    canvas.Line(x2, y1, x2, y2, bottomRight);
    canvas.Line(x2, y2, x1, y2, bottomRight);
}

// --- the document's picture fetch ---

std::shared_ptr<IHtmlPicture> TSectionList::FetchDocumentImage(const std::string& name, uint8_t& transparent,
                                                               bool& delayed, bool& fromCache) {
    delayed = false;
    fromCache = false;
    if (name.empty() || !GetImage) return nullptr;
    return GetImage(name, transparent, delayed);
}
