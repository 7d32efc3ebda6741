#include <cstdlib>

#include "X11Fixture.h"
#include "XClient.h"
#include "gui/gl/AcceleratedRenderer.h"
#include "gui/native/x11/GlxContext.h"

namespace gui::test {
namespace {

class X11GlTest : public X11Fixture {};

TEST_F(X11GlTest, GlxWindowShowsTheTreeWithinTwoPerChannelOfTheSoftwareSnapshot) {
    openWindow();
    buildTree(*ui, root());
    if (!native::enableGlxAcceleration(*ui, *system)) GTEST_SKIP() << "no usable OpenGL through GLX";
    auto* renderer = static_cast<AcceleratedRenderer*>(ui->renderer());
    root().invalidateAll();
    ASSERT_TRUE(pumpUntil([&] { return renderer->thread().framesDrawn() >= 1; }));
    settle(100);

    Bitmap expected;
    expected.setSize(200, 100);
    root().enterMessage();
    root().paintTree(expected.canvas());
    root().leaveMessage();
    XClient reader(server.display());
    const std::unique_ptr<Bitmap> shot = reader.grab(window().id(), 200, 100);
    ASSERT_EQ(shot->width(), 200);
    int worst = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(static_cast<int>((shot->pixel(x, y) >> shift) & 0xff) -
                                                 static_cast<int>((expected.pixel(x, y) >> shift) & 0xff)));
    EXPECT_LE(worst, 2);
    ui.reset();
}

}  // namespace
}  // namespace gui::test
