// The editor's four layouts drawn by the software renderer and compared with the pictures kept
// beside this test. A small difference per channel is allowed (text and curve edges may move by a
// shade between builds); anything more fails with the paths of the picture drawn and of a
// difference picture. Regenerate deliberately with LORIMANE_UPDATE_GOLDEN=1 and look at the
// pictures before committing them.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/LorimaneSettings.h"
#include "gui/Bitmap.h"
#include "gui/native/WindowControl.h"
#include "tests/interface/frame/FrameFixture.h"
#include "tools/png-writer/PngWriter.h"

namespace {

constexpr int kChannelTolerance = 12;
// Pixels that may differ beyond the tolerance (antialiased edges), out of some 200 000.
constexpr int kAllowedPixels = 40;

class EditorSnapshotTest : public frametest::FrameTest,
                           public ::testing::WithParamInterface<std::tuple<const char*, int, bool>> {};

bool updating() {
    const char* update = std::getenv("LORIMANE_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

// The largest difference of the four channels of two pixels.
int channelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// A pixel's blue, green and red bytes at a third, opaque.
uint32_t faint(uint32_t p) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) out |= (((p >> shift) & 0xFF) / 3) << shift;
    return out;
}

TEST_P(EditorSnapshotTest, LayoutLooksAsRecorded) {
    const auto [name, layout, modulation] = GetParam();
    auto& settings = dynamic_cast<LorimaneSettings&>(plugin->settings());
    settings.interfaceLayout = layout;
    settings.showModulation = modulation;
    settings.expandedSection = -1;
    // The same state for every run: every parameter at its default.
    for (int i = 0; i < plugin->getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin->getParameter(i);
        p->setValue(p->defaultValue(), 0);
    }
    open();
    window().moveCursorOutside();
    system.advance(1000);
    const gui::Bitmap* drawn = ui->windowControl()->backBuffer();
    ASSERT_TRUE(drawn && !drawn->isEmpty());

    const std::filesystem::path golden = std::filesystem::path(LORIMANE_SNAPSHOT_DIR) / (std::string(name) + ".png");
    if (updating()) {
        ASSERT_TRUE(writePng(*drawn, golden.string()));
        return;
    }
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "lorimane-snapshots";
    std::filesystem::create_directories(out);
    const std::string actualPath = (out / (std::string(name) + ".png")).string();
    const std::string diffPath = (out / (std::string(name) + "-diff.png")).string();
    const std::string hint = "\nIf the change is intended, regenerate with LORIMANE_UPDATE_GOLDEN=1 ctest -R "
                             "EditorSnapshot and look at the pictures before committing them.";
    std::ifstream in(golden, std::ios::binary);
    if (!in) {
        writePng(*drawn, actualPath);
        FAIL() << "no snapshot " << golden << "; drawn: " << actualPath << hint;
    }
    gui::Bitmap expected;
    expected.load(in);
    if (expected.width() != drawn->width() || expected.height() != drawn->height()) {
        writePng(*drawn, actualPath);
        FAIL() << name << ": drawn " << drawn->width() << "x" << drawn->height() << ", recorded " << expected.width()
               << "x" << expected.height() << "; drawn: " << actualPath << hint;
    }
    gui::Bitmap diff;
    diff.setSize(drawn->width(), drawn->height());
    int differing = 0, worst = 0;
    for (int y = 0; y < drawn->height(); ++y)
        for (int x = 0; x < drawn->width(); ++x) {
            const int d = channelDistance(drawn->pixel(x, y), expected.pixel(x, y));
            worst = std::max(worst, d);
            const bool off = d > kChannelTolerance;
            differing += off ? 1 : 0;
            // The recorded picture faint, the differences in red (bytes blue, green, red, 255 - alpha).
            diff.setPixel(x, y, off ? 0x00FF0000u : faint(expected.pixel(x, y)));
        }
    if (differing > kAllowedPixels) {
        writePng(*drawn, actualPath);
        writePng(diff, diffPath);
        ADD_FAILURE() << name << ": " << differing << " pixels differ by more than " << kChannelTolerance
                      << " (worst " << worst << ")\n  drawn: " << actualPath << "\n  differences: " << diffPath << hint;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, EditorSnapshotTest,
                         ::testing::Values(std::make_tuple("normal", 0, false), std::make_tuple("wide", 1, false),
                                           std::make_tuple("normal-mod", 0, true),
                                           std::make_tuple("wide-mod", 1, true)),
                         [](const auto& info) {
                             std::string n = std::get<0>(info.param);
                             std::erase(n, '-');
                             return n;
                         });

}  // namespace
