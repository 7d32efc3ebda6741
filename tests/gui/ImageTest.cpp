#include "GuiFixture.h"
#include "gui/Image.h"
#include "gui/Light.h"
#include "gui/Shape.h"

namespace gui::test {
namespace {

class PictureTest : public GuiFixture {
protected:
    // A picture of one straight colour.
    static void paintBitmap(Bitmap& b, int w, int h, Rgba colour) {
        b.setSize(w, h);
        b.clear();
        b.fillRect(b.bounds(), colour);
    }
    Rgba shown(Point p) {
        system.pump();
        return window().snapshot().colourAt(p.x, p.y);
    }
};

TEST_F(PictureTest, OwnBitmapSizesTheControlAndOpacityFollowsThePicture) {
    auto* image = new Image(ui.get());
    image->parent = &root();
    image->setPosition({10, 10});
    paintBitmap(image->bitmap(), 30, 20, Rgba{200, 0, 0, 255});
    image->bitmap().requestUpdate();
    EXPECT_EQ(image->bounds.get(), Rect::ofSize(10, 10, 30, 20));
    // The picture came through clear() so it may hold alpha; an opaque copy makes the control opaque.
    EXPECT_FALSE(image->opaque);
    Bitmap solid;
    paintBitmap(solid, 30, 20, Rgba{0, 0, 200, 255});
    solid.hasAlpha = false;
    image->bitmap().copyFrom(solid);
    EXPECT_TRUE(image->opaque);
    image->hole = Rect{5, 5, 10, 10};
    EXPECT_FALSE(image->opaque);
    EXPECT_EQ(shown({12, 12}).blue, 200);
    EXPECT_EQ(shown({17, 17}), shown({150, 80}));  // the hole shows what lies below
    EXPECT_EQ(image->hitAlpha({7, 7}), 0);
    EXPECT_EQ(image->hitAlpha({2, 2}), 255);
}

TEST_F(PictureTest, SharedBitmapIsHitOnlyWhereSolidAndStretchesByThreeSlices) {
    Bitmap shared;
    shared.setSize(9, 4);
    shared.clear();
    shared.fillRect({0, 0, 3, 4}, Rgba{255, 0, 0, 255});  // solid left cap, transparent elsewhere
    auto* image = new Image(ui.get(), &shared);
    image->parent = &root();
    image->setBounds(0, 0, 30, 4);
    // Unscaled: solid over the cap, nothing beyond the 9-pixel picture.
    EXPECT_EQ(image->hitAlpha({1, 1}), 255);
    EXPECT_EQ(image->hitAlpha({20, 1}), 0);
    shared.fillRect({6, 0, 9, 4}, Rgba{0, 0, 255, 255});  // and a solid right cap
    image->stretched = true;
    EXPECT_EQ(image->hitAlpha({28, 1}), 255);  // the right cap drawn at the right end
    EXPECT_EQ(image->hitAlpha({1, 1}), 255);
    EXPECT_EQ(image->hitAlpha({15, 1}), 0);
    EXPECT_EQ(shown({1, 1}).red, 255);
    EXPECT_FALSE(image->contains({15, 1}));
    EXPECT_TRUE(image->contains({2, 2}));
    delete image;  // the shared bitmap outlives the control and forgets it
    shared.requestUpdate();
}

TEST_F(PictureTest, ShapeFramesInsideItsBoundsAndFills) {
    auto* shape = new Shape(ui.get());
    shape->parent = &root();
    shape->setBounds(10, 10, 20, 20);
    shape->borderWidth = 2;
    shape->borderColour = Rgba{255, 0, 0, 255};
    shape->fillColour = Rgba{0, 255, 0, 255};
    EXPECT_TRUE(shape->opaque);
    EXPECT_EQ(shown({10, 10}), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(shown({11, 20}), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(shown({29, 29}), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(shown({12, 12}), (Rgba{0, 255, 0, 255}));
    EXPECT_NE(shown({30, 30}), (Rgba{255, 0, 0, 255}));
    shape->fillColour = Rgba{0, 0, 0, 0};
    EXPECT_FALSE(shape->opaque);
}

TEST_F(PictureTest, LightCrossFadesItsStyleImages) {
    Bitmap off, on;
    paintBitmap(off, 4, 4, Rgba{0, 0, 0, 255});
    paintBitmap(on, 4, 4, Rgba{250, 0, 0, 255});
    Light::Style style(ui.get());
    style.off = &off;
    style.on = &on;
    auto* light = new Light(ui.get(), &style);
    light->parent = &root();
    EXPECT_EQ(light->bounds.get(), Rect::ofSize(0, 0, 4, 4));
    EXPECT_EQ(shown({1, 1}).red, 0);
    light->level = 255;
    EXPECT_EQ(shown({1, 1}).red, 250);
    light->level = 128;
    EXPECT_EQ(shown({1, 1}).red, 250 * 129 >> 8);
}

}  // namespace
}  // namespace gui::test
