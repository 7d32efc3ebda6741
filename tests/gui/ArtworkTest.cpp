// The embedded artwork: every image the editor asks for exists with the geometry its layout needs,
// and the generator draws the same bytes every time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "gui/Bitmap.h"
#include "streams/Resource.h"

namespace gui::test {
namespace {

std::vector<std::string> buttonImages() {
    // Style name and the states it has images for.
    const std::pair<const char*, std::vector<const char*>> styles[] = {
        {"Generic", {"Normal", "Active", "Down"}},
        {"Dark", {"Normal"}},
        {"Bar", {"Normal", "Active", "Down", "On"}},
        {"Add", {"Normal", "Active", "Down"}},
        {"AddStep", {"Normal", "Active", "Down"}},
        {"Hide", {"Normal", "Active", "Down"}},
        {"Hotspot", {"Normal", "Active", "Down"}},
        {"XY", {"Normal", "Active", "Down"}},
        {"Save", {"Normal", "Active", "Down"}},
        {"ScrollLeft", {"Normal", "Active"}},  // the active image doubles as the down image
        {"ScrollRight", {"Normal", "Active"}},
        {"SourceDrag", {"Normal", "Active"}},
        {"Component", {"Normal", "Active", "Down"}},
        {"ComponentEnabled", {"Normal", "Active", "Down"}},
        {"SlotLevel", {"Normal", "Active", "Off", "On"}},
        {"SlotInner", {"Active", "Down"}},  // no normal image
        {"Dry", {"Normal", "Active", "Down", "Off", "On"}},
        {"Modulation", {"Normal", "Active", "Down", "On", "Off"}},
    };
    std::vector<std::string> names;
    for (const auto& [style, states] : styles)
        for (const char* state : states) names.push_back(std::string("Button") + style + state);
    return names;
}

std::vector<std::string> allImages() {
    std::vector<std::string> names = buttonImages();
    for (const char* prefix : {"KnobNormal", "KnobOuter", "KnobInner"})
        for (const char* state : {"Normal", "Active"}) names.push_back(std::string(prefix) + "Back" + state);
    for (const char* prefix : {"KnobNormal", "KnobOuter", "KnobLarge"})
        for (const char* state : {"Normal", "Active", "Down", "Rotate"})
            names.push_back(std::string(prefix) + "Overlay" + state);
    for (const char* name :
         {"Background", "HelpHintBackground", "LogoBottom", "InputBackground", "BottomBarSimple",
          "DelayDimmer", "FreezeDimmer", "FilterSerialBack", "FilterParallelBack", "FilterPerChannelBack",
          "SectionFiltersShadow", "DisplayPeak", "DisplayPeakActive", "DisplayMid", "DisplayMidActive",
          "KnobSyncOverlayNormal", "KnobSyncOverlayActive", "KnobSyncOverlayDown", "EGDotNormal",
          "EGDotActive", "EGHorSliderActive", "EGVerSliderActive", "SliderNormal", "SliderActive",
          "SliderSelectedNormal", "SliderSelectedActive", "SliderRandomIndicator", "SourceBackground",
          "SourceSelectorActive", "SourceSelectorNormal", "SourceButtonLevel", "SourceButtonOverlay",
          "SourceButtonActive", "SourceButtonNormal", "SlotWarning", "ModulationIndicatorOverlay",
          "ModulationIndicatorActive", "ModulationIndicatorNormal", "MidiLearnLinkX", "MidiLearnLinkY",
          "XLFOLabels", "XLFOLabelsSync", "XLFOButtonConnector", "XLFOScale", "XLFOPiano",
          "XLFOSourceDivider", "XLFOInterfaceShadow", "CurveDot", "EGLabels", "EFLabels", "IconMenuDark",
          "IconUpDownDark", "IconSave", "IconPositiveDark", "IconNegativeDark", "IconLockOff", "IconLockOn",
          "IconEnabledOff", "IconEnabledOn", "IconAdd", "IconSourceDrag", "IconCloseSmall", "IconPositive",
          "IconNegative", "IconSlotDrop", "IconSlotBypassedOff", "IconSlotBypassedOn", "IconUndo", "IconRedo",
          "IconPrevious", "IconNext", "IconFreezeOff", "IconFreezeOn", "IconMenu", "IconCheck",
          "IconAudition", "IconResize", "IconSourceX", "IconSourceY", "IconMidiOn", "IconMidiOff",
          "IconSnapOn", "IconSnapOff", "IconInputOn", "IconInputOff", "IconSideChainOn", "IconSideChainOff",
          "IconCheckDark",
          // The strip's two backgrounds (Left/Right and Mid/Side) and the filter panel.
          "StripBackgroundLeftRight", "StripBackgroundMidSide", "FilterPanel"})
        names.push_back(name);
    return names;
}

std::unique_ptr<Bitmap> image(const std::string& name) {
    auto bitmap = std::make_unique<Bitmap>();
    std::unique_ptr<std::istream> stream = openResource(name + ".png");
    bitmap->load(*stream);
    return bitmap;
}

TEST(ArtworkTest, EveryImageTheEditorNamesIsEmbedded) {
    const std::vector<std::string> names = allImages();
    EXPECT_GT(names.size(), 160u);
    for (const std::string& name : names) {
        ASSERT_TRUE(resourceExists(name + ".png")) << name;
        EXPECT_FALSE(image(name)->isEmpty()) << name;
    }
}

TEST(ArtworkTest, SizesFollowTheLayout) {
    auto size = [](const std::string& name) {
        const auto b = image(name);
        return std::pair{b->width(), b->height()};
    };
    // Given by the layout: the filter display's shadow covers the 286 x 263 display; the dry switch
    // is two buttons of 22 and 23 pixels sharing one 18-pixel-high picture; the strip and the frame
    // are as wide as the Normal layout.
    EXPECT_EQ(size("SectionFiltersShadow"), std::pair(286, 263));
    for (const char* state : {"Normal", "Active", "Down", "Off", "On"})
        EXPECT_EQ(size(std::string("ButtonDry") + state), std::pair(45, 18)) << state;
    for (const char* name :
         {"Background", "StripBackgroundLeftRight", "StripBackgroundMidSide", "BottomBarSimple"})
        EXPECT_EQ(size(name).first, 640) << name;
    EXPECT_EQ(size("StripBackgroundLeftRight"), size("StripBackgroundMidSide"));
    // Concentric knobs: the level knob sits 8 pixels inside the ring (567 vs 575), the large knob
    // fills the ring it is drawn on, and the sync arc reaches 30 pixels beyond the time knob.
    const auto ring = size("KnobOuterBackNormal"), inner = size("KnobInnerBackNormal");
    EXPECT_EQ(ring.first - inner.first, 16);
    EXPECT_EQ(size("KnobLargeOverlayNormal"), ring);
    EXPECT_EQ(size("KnobSyncOverlayNormal").first, size("KnobLargeOverlayNormal").first + 60);
    // Every state of a picture has one size.
    for (const char* prefix : {"KnobNormalOverlay", "KnobOuterOverlay", "KnobLargeOverlay"})
        for (const char* state : {"Active", "Down", "Rotate"})
            EXPECT_EQ(size(std::string(prefix) + state), size(std::string(prefix) + "Normal"))
                << prefix << state;
    EXPECT_EQ(size("KnobNormalOverlayNormal"), size("KnobNormalBackNormal"));
    EXPECT_EQ(size("KnobNormalOverlayNormal"), size("KnobInnerBackNormal"));
}

TEST(ArtworkTest, KnobBodiesAreDiscsPointersPointUpAndBackgroundsAreOpaque) {
    for (const char* name :
         {"KnobNormalBackNormal", "KnobNormalBackActive", "KnobInnerBackNormal", "KnobOuterBackNormal"}) {
        const auto b = image(name);
        const int w = b->width(), h = b->height();
        for (Point corner :
             {Point{0, 0}, Point{w - 1, 0}, Point{0, h - 1}, Point{w - 1, h - 1}, Point{w / 10, h / 10}})
            EXPECT_EQ(b->getPixel(corner).alpha, 0) << name << " corner";
        EXPECT_EQ(b->getPixel({w / 2, 2}).alpha, 255) << name << " rim";
    }
    // The ring is open in the middle, where the inner knob shows.
    EXPECT_EQ(image("KnobOuterBackNormal")->getPixel({28, 28}).alpha, 0);
    for (const char* name : {"KnobNormalOverlayNormal", "KnobOuterOverlayNormal", "KnobLargeOverlayNormal",
                             "KnobSyncOverlayNormal"}) {
        const auto b = image(name);
        // The mark: ink above the centre on the vertical axis, and the picture balanced left and right.
        long upper = 0, lower = 0, left = 0, right = 0;
        for (int y = 0; y < b->height(); ++y)
            for (int x = 0; x < b->width(); ++x) {
                const int a = b->getPixel({x, y}).alpha * (b->getPixel({x, y}).red + 1);
                (y < b->height() / 2 ? upper : lower) += a;
                if (x < b->width() / 2) left += a;
                if (x >= (b->width() + 1) / 2) right += a;
            }
        EXPECT_GT(upper, lower) << name;
        EXPECT_NEAR(static_cast<double>(left), static_cast<double>(right), 0.02 * (left + right) + 1) << name;
    }
    for (const char* name : {"Background", "StripBackgroundLeftRight", "StripBackgroundMidSide",
                             "InputBackground", "BottomBarSimple"})
        EXPECT_FALSE(image(name)->hasAlpha) << name;
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ArtworkTest, TheGeneratorDrawsTheSameBytesEveryTime) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("artgen-" + std::to_string(getpid()));
    std::vector<std::filesystem::path> runs{root / "a", root / "b"};
    for (const auto& dir : runs) {
        std::filesystem::create_directories(dir);
        const std::string command =
            std::string("'") + LORIMANE_ARTGEN + "' '" + LORIMANE_ART_MANIFEST + "' '" + dir.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    int compared = 0;
    for (const auto& file : std::filesystem::directory_iterator(runs[0])) {
        const std::string first = fileBytes(file.path());
        EXPECT_EQ(first, fileBytes(runs[1] / file.path().filename())) << file.path().filename();
        // And the build embedded exactly these bytes.
        std::unique_ptr<std::istream> embedded = openResource(file.path().filename().string());
        EXPECT_EQ(first, std::string(std::istreambuf_iterator<char>(*embedded), {}))
            << file.path().filename();
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(std::distance(std::filesystem::directory_iterator(runs[1]), {})));
    EXPECT_GT(compared, 160);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace gui::test
