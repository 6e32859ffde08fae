// Pictures of a document without a window: animated pictures join the document's animations
// (ACTIVE ones only under the mouse), layouts restart them, each paint marks what it drew,
// pictures that come later replace their stand-ins, and the background picture is fetched
// once and waits in MissingImages when it comes later.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "HtmlEngineFixture.h"
#include "htmlview/HtmlObjects.h"

namespace {

// A picture of a given size and frame count that records what the document does with it.
class TFakePicture : public IHtmlPicture, public IHtmlAnimation {
public:
    TFakePicture(int32_t w, int32_t h, int frames) : w_(w), h_(h), frames_(frames) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }
    int FrameCount() const override { return frames_; }
    int CurrentFrame() const override { return frame_; }
    void SetCurrentFrame(int frame) override { frame_ = frame; }
    void SetAnimate(bool animate) override {
        animate_ = animate;
        ++animateCalls_;
    }
    bool Shown() const override { return shown_; }
    void SetShown(bool shown) override { shown_ = shown; }

    bool Animating() const { return animate_; }
    int AnimateCalls() const { return animateCalls_; }

private:
    int32_t w_, h_;
    int frames_;
    int frame_ = 1;
    bool animate_ = false;
    int animateCalls_ = 0;
    bool shown_ = false;
};

struct PictureDoc : TestDoc {
    // Frame counts by picture name; names listed in later come later.
    std::map<std::string, int> Frames;
    std::vector<std::string> Later;
    std::vector<std::string> Requests;
    std::vector<std::shared_ptr<TFakePicture>> Made;

    PictureDoc() {
        Doc.GetImage = [this](const std::string& name, uint8_t&,
                              bool& delayed) -> std::shared_ptr<IHtmlPicture> {
            Requests.push_back(name);
            if (std::find(Later.begin(), Later.end(), name) != Later.end()) {
                delayed = true;
                return nullptr;
            }
            auto it = Frames.find(name);
            if (it == Frames.end()) return nullptr;
            Made.push_back(std::make_shared<TFakePicture>(20, 10, it->second));
            return Made.back();
        };
    }
    std::vector<TImageObj*> Images() {
        std::vector<TImageObj*> out;
        for (TSection* s : TextSections())
            for (const auto& image : s->Images)
                out.push_back(image.get());
        return out;
    }
    static TFakePicture& Fake(TImageObj* image) { return dynamic_cast<TFakePicture&>(*image->Image); }
};

} // namespace

TEST(PictureObjects, AnimatedPicturesJoinTheDocumentAndRestartAtEveryLayout) {
    PictureDoc d;
    d.Frames = {{"still.gif", 1}, {"anim.gif", 4}, {"two.gif", 2}};
    d.Load("<p><img src=\"still.gif\"><img src=\"anim.gif\"><img src=\"anim.gif\">"
           "<img src=\"two.gif\" active><img src=\"anim.gif\" active></p>");
    auto images = d.Images();
    ASSERT_EQ(images.size(), 5u);
    // Still and ACTIVE pictures are not animated by the timer; each animated image is its own.
    ASSERT_EQ(d.Doc.AnimatedImages.size(), 2u);
    EXPECT_EQ(d.Doc.AnimatedImages[0], images[1]);
    EXPECT_EQ(d.Doc.AnimatedImages[1], images[2]);
    EXPECT_TRUE(PictureDoc::Fake(images[1]).Animating());
    EXPECT_FALSE(PictureDoc::Fake(images[4]).Animating());
    EXPECT_EQ(AnimationOf(images[0]->Image), nullptr) << "one frame is not an animation";

    // A new layout starts every animation again at its first frame.
    PictureDoc::Fake(images[1]).SetCurrentFrame(3);
    const int calls = PictureDoc::Fake(images[1]).AnimateCalls();
    d.Layout(300);
    EXPECT_EQ(PictureDoc::Fake(images[1]).CurrentFrame(), 1);
    EXPECT_TRUE(PictureDoc::Fake(images[1]).Animating());
    EXPECT_EQ(PictureDoc::Fake(images[1]).AnimateCalls(), calls + 2); // stopped, then started

    // A paint first forgets which were drawn (the fixed painter draws nothing that sets it).
    PictureDoc::Fake(images[1]).SetShown(true);
    d.Draw();
    EXPECT_FALSE(PictureDoc::Fake(images[1]).Shown());

    // Clearing the document forgets the animations with the images.
    d.Doc.Clear();
    EXPECT_TRUE(d.Doc.AnimatedImages.empty());
}

TEST(PictureObjects, ActivePicturesMoveOnlyUnderTheMouse) {
    PictureDoc d;
    d.Frames = {{"two.gif", 2}, {"many.gif", 5}, {"still.gif", 1}};
    d.Load("<p><img src=\"two.gif\" active></p><p><img src=\"many.gif\" active></p>"
           "<p><img src=\"still.gif\" active></p>");
    d.Draw();
    auto images = d.Images();
    ASSERT_EQ(images.size(), 3u);
    TUrlTarget url;
    TFormControlObj* control = nullptr;
    auto hoverOver = [&](TImageObj* image) {
        d.Doc.LinkAtPoint(d.Metrics, image->DrawX + 2, image->DrawY + 2, url, control);
    };

    // Two frames: the second shows while the mouse is over the picture.
    hoverOver(images[0]);
    EXPECT_EQ(d.Doc.HoverImage, images[0]);
    EXPECT_EQ(PictureDoc::Fake(images[0]).CurrentFrame(), 2);
    EXPECT_TRUE(d.Doc.AnimatedImages.empty());

    // More frames: it animates under the mouse; the first picture goes back to frame 1.
    hoverOver(images[1]);
    EXPECT_EQ(d.Doc.HoverImage, images[1]);
    EXPECT_EQ(PictureDoc::Fake(images[0]).CurrentFrame(), 1);
    EXPECT_TRUE(PictureDoc::Fake(images[1]).Animating());
    ASSERT_EQ(d.Doc.AnimatedImages.size(), 1u);
    EXPECT_EQ(d.Doc.AnimatedImages[0], images[1]);

    // Leaving it (the mouse left the panel) stops it at frame 1 and takes it off the list.
    PictureDoc::Fake(images[1]).SetCurrentFrame(4);
    d.Doc.ClearHover();
    EXPECT_EQ(d.Doc.HoverImage, nullptr);
    EXPECT_FALSE(PictureDoc::Fake(images[1]).Animating());
    EXPECT_EQ(PictureDoc::Fake(images[1]).CurrentFrame(), 1);
    EXPECT_TRUE(d.Doc.AnimatedImages.empty());

    // A still ACTIVE picture is hovered without harm; a point on no picture clears the hover.
    hoverOver(images[2]);
    EXPECT_EQ(d.Doc.HoverImage, images[2]);
    d.Doc.LinkAtPoint(d.Metrics, 5000, 5000, url, control);
    EXPECT_EQ(d.Doc.HoverImage, nullptr);
    EXPECT_FALSE(images[2]->Hover);

    // The document counts its ACTIVE pictures (hover looks for pictures only when it has some).
    EXPECT_EQ(d.Doc.ActiveImages, 3);
    d.Load("<p><img src=\"many.gif\"></p>");
    EXPECT_EQ(d.Doc.ActiveImages, 0);
    d.Draw();
    hoverOver(d.Images()[0]);
    EXPECT_EQ(d.Doc.HoverImage, nullptr) << "not ACTIVE";
    d.Load("<p><img src=\"two.gif\" active></p>");
    d.Draw();
    EXPECT_EQ(d.Doc.ActiveImages, 1);
    hoverOver(d.Images()[0]);
    EXPECT_EQ(d.Doc.HoverImage, d.Images()[0]);
    d.Doc.Clear();
    EXPECT_EQ(d.Doc.ActiveImages, 0);
    EXPECT_EQ(d.Doc.HoverImage, nullptr);
}

TEST(PictureObjects, PicturesThatComeLaterWaitOnceAndReplaceTheirStandIns) {
    PictureDoc d;
    d.Later = {"late.gif"};
    d.Load("<p><img src=\"late.gif\" alt=\"abc\"> <img src=\" LATE.GIF\"> "
           "<img src=\"late.gif\" width=\"50\" height=\"40\"></p>");
    auto images = d.Images();
    ASSERT_EQ(images.size(), 3u);
    // The request is made once; the other images wait for the same (trimmed, upper-cased) name.
    EXPECT_EQ(d.Requests.size(), 1u);
    ASSERT_EQ(d.Doc.MissingImages.size(), 3u);
    for (const auto& m : d.Doc.MissingImages)
        EXPECT_EQ(m.first, "LATE.GIF");
    EXPECT_EQ(images[0]->Missing, StandIn::Pending);
    EXPECT_EQ(images[0]->ObjWidth, 3 * 8 + 26) << "room for the ALT text";
    EXPECT_EQ(images[2]->ObjWidth, 50);

    // The picture arrives: sizes come from it, except where both were given.
    for (TImageObj* image : images)
        image->InsertPicture(std::make_shared<TFakePicture>(20, 10, 3), 0);
    d.Doc.MissingImages.clear();
    d.Layout(400);
    EXPECT_EQ(images[0]->Missing, StandIn::None);
    EXPECT_EQ(images[0]->ObjWidth, 20);
    EXPECT_EQ(images[0]->ObjHeight, 10);
    EXPECT_EQ(images[2]->ObjWidth, 50);
    EXPECT_EQ(images[2]->ObjHeight, 40);
    EXPECT_EQ(d.Doc.AnimatedImages.size(), 3u) << "arrived animations run";
    EXPECT_EQ(d.Requests.size(), 1u) << "no new request after the arrival";

    // A picture that arrives damaged (no picture) shows the error stand-in.
    d.Later = {"bad.gif"};
    d.Load("<p><img src=\"bad.gif\"></p>");
    images = d.Images();
    ASSERT_EQ(images.size(), 1u);
    images[0]->InsertPicture(nullptr, 0);
    d.Layout(400);
    EXPECT_EQ(images[0]->Missing, StandIn::Error);

    // Freeing the document leaves nothing waiting.
    d.Doc.Clear();
    EXPECT_TRUE(d.Doc.MissingImages.empty());
}

TEST(PictureObjects, TheBackgroundIsFetchedOnceAndWaitsWhenItComesLater) {
    PictureDoc d;
    d.Frames = {{"tile.gif", 1}};
    d.Load("<body background=\"tile.gif\"><p>text</p></body>");
    EXPECT_EQ(d.Doc.BackgroundName, "tile.gif");
    ASSERT_NE(d.Doc.GetBackgroundBitmap(), nullptr);
    EXPECT_EQ(d.Doc.GetBackgroundBitmap()->Width(), 20);
    EXPECT_EQ(d.Requests.size(), 1u) << "asked once";
    EXPECT_TRUE(d.Doc.BitmapLoaded);

    // Pictures off: nothing is fetched.
    d.Load("<body background=\"tile.gif\"><p>text</p></body>");
    d.Doc.ShowImages = false;
    EXPECT_EQ(d.Doc.GetBackgroundBitmap(), nullptr);
    EXPECT_FALSE(d.Doc.BitmapLoaded);
    d.Doc.ShowImages = true;

    // Later: the document itself waits for the name (no image object), and is not asked again.
    d.Later = {"slow.gif"};
    d.Requests.clear();
    d.Load("<body background=\"slow.gif\"><p>text</p></body>");
    EXPECT_EQ(d.Doc.GetBackgroundBitmap(), nullptr);
    EXPECT_EQ(d.Doc.GetBackgroundBitmap(), nullptr);
    EXPECT_EQ(d.Requests.size(), 1u);
    ASSERT_EQ(d.Doc.MissingImages.size(), 1u);
    EXPECT_EQ(d.Doc.MissingImages[0].first, "SLOW.GIF");
    EXPECT_EQ(d.Doc.MissingImages[0].second, nullptr);
}

TEST(PictureObjects, PictureHitsUseDocumentCoordinatesAtAnyScroll) {
    PictureDoc d;
    d.Frames = {{"p.gif", 1}};
    std::string html;
    for (int i = 0; i < 40; ++i)
        html += "<p>line " + std::to_string(i) + "</p>";
    html += "<p><img src=\"p.gif\"></p>";
    d.Load(html);
    auto images = d.Images();
    ASSERT_EQ(images.size(), 1u);
    // Drawn scrolled: the picture lands higher on the surface but keeps its document place.
    d.Doc.Draw(d.Metrics, {0, 0, 100000, 100000}, 6000, 0, 0);
    const int32_t unscrolledY = images[0]->DrawY;
    d.Doc.SetYOffset(300);
    d.Doc.Draw(d.Metrics, {0, 0, 100000, 100000}, 6000, 0, 0);
    EXPECT_EQ(images[0]->DrawY, unscrolledY);
    TObject* obj = nullptr;
    int32_t ix = -1, iy = -1;
    ASSERT_TRUE(d.Doc.ObjectAtPoint(images[0]->DrawX + 3, unscrolledY + 4, obj, ix, iy));
    EXPECT_EQ(obj, images[0]);
    EXPECT_EQ(ix, 3);
    EXPECT_EQ(iy, 4);
    EXPECT_FALSE(d.Doc.ObjectAtPoint(images[0]->DrawX + 3, unscrolledY - 300 + 4, obj, ix, iy))
        << "screen y is not document y";
}
