#include <gtest/gtest.h>

#include <cstdlib>

#include "GuiFixture.h"
#include "gui/Bitmap.h"
#include "gui/Curve.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/Shape.h"
#include "gui/gl/AcceleratedRenderer.h"
#include "gui/gl/GlCapabilities.h"
#include "gui/gl/GlRenderer.h"
#include "gui/native/egl/EglContext.h"
#include "streams/Resource.h"

namespace gui::test {
namespace {

// Every primitive the canvas forwards: copies with and without alpha and opacity, fills, a
// cross-fade, lines, curves and text.
class Primitives : public Control {
public:
    explicit Primitives(UserInterface* ui) : Control(ui) {
        a.setSize(40, 30);
        b.setSize(40, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                a.setPixel(x, y, Bitmap::premultiplied(Rgba{static_cast<uint8_t>(x * 6), 90, 200, static_cast<uint8_t>(y * 8 + 10)}));
                b.setPixel(x, y, Bitmap::premultiplied(Rgba{250, static_cast<uint8_t>(y * 8), 40, 255}));
            }
        a.hasAlpha = true;
    }
    void paint(Canvas& canvas) override {
        canvas.fillRect({0, 0, 200, 100}, Rgba{30, 40, 50, 255});
        canvas.drawBitmap(b, {4, 4, 44, 34}, {0, 0});
        canvas.drawBitmap(a, {50, 4, 90, 34}, {0, 0});
        canvas.drawBitmap(a, {96, 4, 136, 34}, {0, 0}, 130);
        canvas.drawBlend(a, {142, 4, 182, 34}, {0, 0}, b, {0, 0}, 100);
        canvas.fillRect({4, 40, 60, 60}, Rgba{255, 255, 255, 77});
        canvas.drawLine(4.0f, 95.0f, 120.0f, 64.0f, Rgba{255, 200, 0, 255}, 2.5f);
        curve = Cubic(0, 90, 0, 60, 70, 0);
        CurveSet set;
        set.entries.push_back({&curve, Rgba{0, 160, 220, 120}, Rgba{255, 255, 255, 255}, 1.5f});
        canvas.drawCurves(set, {130, 40, 196, 96});
    }
    Bitmap a, b;
    Cubic curve;
};

std::unique_ptr<native::EglContext> headlessContext(int w, int h) {
    return native::EglContext::createHeadless(w, h);
}

class GlRendererTest : public GuiFixture {
protected:
    void buildTree() {
        if (resourceExists("Background")) {
            auto* image = new Image(ui.get());
            image->bitmap().load(*openResource("Background"));
            image->parent = &root();
        }
        auto* p = new Primitives(ui.get());
        p->bounds = Rect{0, 0, 200, 100};
        p->opacity = 230;
        p->parent = &root();
        auto* label = new Label(ui.get());
        label->bounds = Rect{60, 40, 200, 62};
        label->text().text = "Time 250 ms";
        label->text().size = 10;
        label->text().colour = Rgba{240, 240, 255, 255};
        label->parent = &root();
        auto* glass = new Shape(ui.get());
        glass->bounds = Rect{20, 20, 180, 80};
        glass->borderWidth = 2;
        glass->borderColour = Rgba{200, 30, 30, 200};
        glass->parent = &root();
    }
};

TEST_F(GlRendererTest, DrawsTheTreeWithinTwoPerChannelOfTheSoftwareRenderer) {
    auto context = headlessContext(200, 100);
    if (!context || !context->makeCurrent()) GTEST_SKIP() << "no headless OpenGL through EGL";
    buildTree();
    Bitmap expected;
    expected.setSize(200, 100);
    root().paintTree(expected.canvas());

    GlRenderer renderer;
    ASSERT_TRUE(renderer.initialise(*context));
    Bitmap drawn;
    // The second frame reuses the textures of the first.
    for (int frame = 0; frame < 2; ++frame) {
        renderer.beginFrame(200, 100);
        Canvas canvas(&renderer);
        canvas.setClip(root().localRect());
        root().paintTree(canvas);
        renderer.endFrame();
        renderer.readPixels(drawn);
    }
    int worst = 0;
    Point at;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(static_cast<int>((drawn.pixel(x, y) >> shift) & 0xff) -
                                       static_cast<int>((expected.pixel(x, y) >> shift) & 0xff));
                if (d > worst) {
                    worst = d;
                    at = {x, y};
                }
            }
    EXPECT_LE(worst, 2) << "at " << at.x << "," << at.y;
    EXPECT_GT(renderer.textureCount(), 0u);
    renderer.releaseTextures();
    context->release();
}

TEST(GlCapabilitiesTest, RefusesAContextThatLacksWhatTheRendererNeeds) {
    GlCapabilities good;
    good.version = "2.1 Mesa 22.3.6";
    good.vendor = "Mesa";
    good.extensions = "GL_ARB_multitexture GL_ARB_texture_non_power_of_two GL_EXT_bgra";
    good.swapControl = true;
    good.multitexture = true;
    EXPECT_TRUE(good.sufficient(1));

    struct Case {
        const char* what;
        void (*change)(GlCapabilities&);
        int setting;
        bool sufficient;
    };
    const Case cases[] = {
        {"version 1.2", [](GlCapabilities& c) { c.version = "1.2"; }, 1, false},
        {"version 1.3", [](GlCapabilities& c) { c.version = "1.3.0"; }, 1, true},
        {"unreadable version", [](GlCapabilities& c) { c.version = "OpenGL"; }, 1, false},
        {"no NPOT textures", [](GlCapabilities& c) { c.extensions = "GL_ARB_texture_non_power_of_two_x"; }, 1, false},
        {"avoided vendor", [](GlCapabilities& c) { c.vendor = "Matrox Graphics"; }, 1, false},
        {"avoided vendor allowed", [](GlCapabilities& c) { c.vendor = "Matrox Graphics"; }, 0x11, true},
        {"no swap control", [](GlCapabilities& c) { c.swapControl = false; }, 1, false},
        {"no multitexture entry points", [](GlCapabilities& c) { c.multitexture = false; }, 1, false},
    };
    for (const Case& c : cases) {
        GlCapabilities caps = good;
        c.change(caps);
        EXPECT_EQ(caps.sufficient(c.setting), c.sufficient) << c.what;
    }
}

// A context that the platform will not make current.
class RefusingContext : public GlContext {
public:
    bool makeCurrent() override { return false; }
    void release() override {}
    void swapBuffers() override {}
    bool disableSwapWait() override { return false; }
    void* procAddress(const char*) override { return nullptr; }
    int width() const override { return 200; }
    int height() const override { return 100; }
};

TEST_F(GlRendererTest, SoftwareTakesOverSilentlyWhenAccelerationIsRefused) {
    EXPECT_FALSE(enableAcceleration(*ui, std::make_unique<RefusingContext>()));
    // A context that works but a setting of 0 keeps the software path too.
    if (auto context = headlessContext(200, 100)) {
        EXPECT_FALSE(enableAcceleration(*ui, std::move(context), 0));
    }
    EXPECT_FALSE(ui->accelerated.get());
    EXPECT_EQ(ui->renderer(), nullptr);
    EXPECT_TRUE(system.messageBoxes().empty());
    const int before = window().presentCount();
    root().invalidateAll();
    system.pump();
    EXPECT_GT(window().presentCount(), before);
}

TEST_F(GlRendererTest, AcceleratedWindowDrawsOnTheRenderThreadAndStopsWithTheWindow) {
    auto context = headlessContext(200, 100);
    if (!context) GTEST_SKIP() << "no headless OpenGL through EGL";
    ASSERT_TRUE(enableAcceleration(*ui, std::move(context)));
    EXPECT_TRUE(ui->accelerated.get());
    auto* renderer = static_cast<AcceleratedRenderer*>(ui->renderer());
    const int presents = window().presentCount();
    root().invalidateAll();
    system.pump();
    for (int i = 0; i < 200 && renderer->thread().framesDrawn() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(renderer->thread().framesDrawn(), 0);
    // The software back buffer is no longer presented.
    EXPECT_EQ(window().presentCount(), presents);
    ui.reset();  // stops the thread with the window
}

}  // namespace
}  // namespace gui::test
