// Pictures in the text (TImageObj, inline or floating) and client-side image maps (TMapItem).
// The picture itself is reached through IHtmlPicture, so sizing and hit tests need no window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlUtils.h"

class TSectionList;
class TFontObj;
class IndentManager;
class TFormControlObj;

// A picture with frames of its own (an animated GIF). The document starts and stops it; the
// viewer's animation timer moves on the ones drawn in the last paint.
class IHtmlAnimation {
public:
    virtual ~IHtmlAnimation() = default;
    virtual int FrameCount() const = 0;
    virtual int CurrentFrame() const = 0;
    virtual void SetCurrentFrame(int frame) = 0;
    virtual void SetAnimate(bool animate) = 0;
    // Set when the picture was drawn; the document clears it before each paint.
    virtual bool Shown() const = 0;
    virtual void SetShown(bool shown) = 0;
};

// The animation of a picture of more than one frame, or nullptr for a still one.
IHtmlAnimation* AnimationOf(const std::shared_ptr<IHtmlPicture>& picture);

class TFloatingObj : public TObject {
public:
    int32_t Pos = 0;
    int32_t ImageHeight = 0, ImageWidth = 0;
    int ImageAlign = 2; // 0 top, 1 middle, 2 bottom, 3 left float, 4 right float
    int32_t Indent = 0;
    int32_t HSpace = 0, VSpace = 0;
    bool IsFloat() const { return ImageAlign == 3 || ImageAlign == 4; }
};

class TImageObj : public TFloatingObj {
public:
    TImageObj(TSectionList* owner, int32_t pos, const TAttributeList& attributes);
    ~TImageObj() override;

    // Fetches the picture when needed and computes the size for the available width.
    void LayoutImage(ITextMetrics& canvas, TFontObj* font, int32_t availableWidth);
    void Draw(IHtmlPainter& canvas, int32_t x, int32_t topY, int32_t yBaseline, TFontObj* font);
    bool Contains(int32_t x, int32_t y, int32_t& ix, int32_t& iy) const;
    // The mouse came over or left an ACTIVE picture: a GIF of two frames shows its second frame,
    // any other animated one runs while the mouse is over it.
    void SetHover(bool value);
    // A picture that was pending arrived: it replaces the stand-in at the next layout.
    void InsertPicture(std::shared_ptr<IHtmlPicture> picture, uint8_t transparent);

    // An animated picture joins the document's animations (an ACTIVE one waits for the mouse).
    void AdoptAnimation();

    TSectionList* OwnerDocument;
    bool Hover = false;
    bool ActiveImage = false;
    int32_t GivenHeight = 0, GivenWidth = 0;
    bool PercentWidth = false;
    int32_t ObjHeight = 0, ObjWidth = 0;
    bool SizeKnown = false;
    std::string Source;
    std::string Alt;
    bool NoBorder = false;
    uint8_t Transparent = 0;
    bool IsMap = false, UseMap = false;
    std::string MapName;
    bool HasBorder = false;
    int32_t DrawX = 0, DrawY = 0;
    std::shared_ptr<IHtmlPicture> Image;
    StandIn Missing = StandIn::None;
    bool Fetched = false;
    // Set for the picture of an INPUT TYPE=image.
    TFormControlObj* FormControl = nullptr;
};

// One MAP: areas in the order added, each a shape with its link.
class TMapItem : public TObject {
public:
    void AddArea(const TAttributeList& attributes);
    // The link of the first area that contains the point; false when none or when that area has
    // no HREF.
    bool LinkAtPoint(int32_t x, int32_t y, TUrlTarget& url) const;

    std::string MapName;
    struct Area {
        enum Kind { Rect, Circle, Poly } Shape;
        std::vector<int32_t> Coords;
        std::string Href;
        std::string Target;
        bool Contains(int32_t x, int32_t y) const;
    };
    std::vector<Area> Areas;
};

// The 3D frame around missing pictures and table cells.
void Draw3DFrame(IHtmlPainter& canvas, TSectionList& doc, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 bool raised);
