#include <cmath>
#include <filesystem>

#include "engine/LorimanePlugin.h"
#include "engine/LorimaneSettings.h"
#include "framework/UndoHistory.h"
#include "gui/Knob.h"
#include "gui/ScrollArea.h"
#include "gui/ToggleButton.h"
#include "interface/LorimaneInterface.h"
#include "interface/MidiLearnController.h"
#include "interface/controls/ModulationComponentDisplay.h"
#include "interface/delay/AuditionButton.h"
#include "interface/delay/DelaySection.h"
#include "interface/delay/DrySwitch.h"
#include "interface/delay/FilterButton.h"
#include "interface/delay/FilterInterface.h"
#include "interface/delay/FilterSection.h"
#include "interface/delay/SectionPresetButton.h"
#include "interface/delay/HotspotButton.h"
#include "interface/delay/OutputSection.h"
#include "interface/delay/SyncControls.h"
#include "interface/filter/FilterController.h"
#include "interface/sources/FloatValueLabel.h"
#include "tests/interface/frame/FrameFixture.h"

namespace {

using frametest::FrameTest;

class DelayInterfaceTest : public FrameTest {
protected:
    // Opens the editor with the layout settings given.
    void openWith(int layout, bool modulation, int expanded = -1) {
        LorimaneSettings& s = settings();
        s.interfaceLayout = layout;
        s.showModulation = modulation;
        s.expandedSection = expanded;
        open();
    }
    LorimaneSettings& settings() { return dynamic_cast<LorimaneSettings&>(plugin->settings()); }
    LorimanePlugin& product() { return dynamic_cast<LorimanePlugin&>(*plugin); }
    LorimaneInterface& lorimane() { return dynamic_cast<LorimaneInterface&>(*editor); }
    DelaySection& delays() { return *lorimane().delaySection(); }
    FilterSection& filters() { return *lorimane().filterSection(); }
    OutputSection& output() { return *lorimane().outputSection(); }

    // Sets a parameter as the host would and lets the editor hear of it.
    void set(AbstractPluginParameter& p, float plain) {
        p.setValue(plain, 0);
        plugin->deliverParameterReports();
        system.advance(60);
    }
    gui::Point at(const gui::Control& c) const { return c.toRoot({0, 0}); }
    // A drag in steps of a few pixels, with the keys held throughout.
    void drag(gui::Point from, gui::Point to, int keys = 0) {
        window().moveMouse(from.x, from.y, keys);
        window().pressButton(gui::native::LeftButton, from.x, from.y, keys);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            window().moveMouse(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, keys);
        window().releaseButton(gui::native::LeftButton, to.x, to.y, keys);
        system.advance(600);
    }
};

TEST_F(DelayInterfaceTest, EditorSizesFollowTheStoredLayoutSettings) {
    const struct {
        int layout;
        bool modulation;
        int width, height;
    } cases[] = {{0, false, 640, 321}, {1, false, 926, 321}, {0, true, 640, 514}, {1, true, 926, 514}};
    for (const auto& c : cases) {
        editor.reset();
        ui.reset();
        openWith(c.layout, c.modulation);
        EXPECT_EQ(root().width(), c.width) << c.layout << c.modulation;
        EXPECT_EQ(root().height(), c.height) << c.layout << c.modulation;
    }
    // The resize select and the Modulation button store their choice and resize.
    openMenu(*lorimane().resizeButton(), "Normal");
    EXPECT_EQ(settings().interfaceLayout.get(), 0);
    click(*lorimane().modulationButton());
    EXPECT_FALSE(settings().showModulation.get());
    EXPECT_EQ(root().width(), 640);
    EXPECT_EQ(root().height(), 321);
}

TEST_F(DelayInterfaceTest, StripControlsStandAtTheirPlaces) {
    openWith(0, false);
    SyncControls& d1 = delays().sync(0);
    SyncControls& d2 = delays().sync(1);
    const struct {
        const gui::Control* control;
        int x, y, width, height;
    } cases[] = {
        {d1.timeKnob(), 164, 68, 56, 56},           {d2.timeKnob(), 164, 201, 56, 56},
        {d1.offsetKnob(), 164, 68, 56, 56},         {d1.arcPanel(), 221, 54, 44, 92},
        {d2.arcPanel(), 221, 187, 44, 92},          {d1.arc(), 134, 38, 116, 116},
        {d1.label(), 169, 44, 46, 11},              {d2.label(), 169, 266, 46, 11},
        {delays().feedbackKnob(0), 82, 45, 40, 40}, {delays().feedbackKnob(1), 82, 242, 40, 40},
        {delays().crossFeedbackKnob(0), 82, 109, 40, 40}, {delays().crossFeedbackKnob(1), 82, 178, 40, 40},
        {delays().panKnob(0), 272, 76, 40, 40},     {delays().panKnob(1), 272, 208, 40, 40},
        {delays().feedbackDimmer(), 82, 178, 47, 112}, {delays().delayDimmer(), 164, 181, 110, 110},
        {delays().freezeDimmer(), 0, 34, 325, 262}, {filters().filterButton(0), 341, 128, 85, 64},
        {filters().filterButton(1), 430, 128, 85, 64}, {output().dryLevel(), 575, 76, 40, 40},
        {output().wetLevel(), 575, 209, 40, 40},    {output().drySwitch(0), 576, 40, 22, 18},
        {output().drySwitch(1), 598, 40, 23, 18},   {output().dryDimmer(), 562, 66, 74, 86},
    };
    for (const auto& c : cases) {
        const gui::Point p = at(*c.control);
        EXPECT_EQ(p.x, c.x) << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.y) << c.x << "," << c.y;
        EXPECT_EQ(c.control->width(), c.width) << c.x << "," << c.y;
        EXPECT_EQ(c.control->height(), c.height) << c.x << "," << c.y;
    }
    // Bound controls by parameter: the input knob, the output rings, the switches.
    const struct {
        const char* parameter;
        int x, y;
    } bound[] = {{"Input Level", 5, 140},  {"Dry Pan", 567, 68},         {"Wet Pan", 567, 201},
                 {"Feedback Link", 97, 158}, {"Delay Link", 187, 158},   {"Delay Buffer Read Style", 216, 158},
                 {"Delay Freeze", 297, 158}, {"Filter Routing", 398, 40}};
    for (const auto& b : bound) {
        const std::vector<gui::ValueControl*>& controls = editor->boundControls(indexOf(b.parameter));
        ASSERT_FALSE(controls.empty()) << b.parameter;
        EXPECT_EQ(at(*controls[0]), (gui::Point{b.x, b.y})) << b.parameter;
    }
}

TEST_F(DelayInterfaceTest, BarsStandAtTheirPlacesInBothLayouts) {
    const struct {
        int layout;
        int undo, help, presetName, presetWidth, channelMode, autoMute, audition;
    } cases[] = {{0, 310, 597, 446, 125, 264, 370, 532}, {1, 330, 858, 550, 240, 329, 500, 727}};
    for (const auto& c : cases) {
        editor.reset();
        ui.reset();
        openWith(c.layout, false);
        const GenericPluginInterface::TopBar& top = editor->topBar();
        EXPECT_EQ(at(*top.undo).x, c.undo);
        EXPECT_EQ(at(*top.help).x, c.help);
        EXPECT_EQ(at(*top.presetName).x, c.presetName);
        EXPECT_EQ(top.presetName->width(), c.presetWidth);
        EXPECT_EQ(at(*top.midiLearn).x, 24);
        EXPECT_EQ(at(*top.midiMenu).x, 96);
        EXPECT_EQ(at(*editor->boundControls(indexOf("Channel Mode"))[0]).x, c.channelMode);
        EXPECT_EQ(at(*editor->boundControls(indexOf("Auto Mute Self-Osc"))[0]).x, c.autoMute);
        EXPECT_EQ(at(*lorimane().auditionButton()).x, c.audition);
        EXPECT_EQ(at(*lorimane().resizeButton()).x, root().width() - 20);
        const gui::Control& modulation = *lorimane().modulationButton();
        EXPECT_EQ(at(modulation).y, 279);
        EXPECT_EQ(at(modulation).x, (root().width() - modulation.width()) / 2);
    }
}

TEST_F(DelayInterfaceTest, SyncShowsTheOffsetWithItsHotSpotsAndEachHotSpotIsOneUndoStep) {
    openWith(0, false);
    DelayParameterSet& d1 = product().delays.set(0);
    SyncControls& sync = delays().sync(0);
    set(d1.sync, 0.0f);
    EXPECT_TRUE(sync.timeKnob()->visible.get());
    EXPECT_FALSE(sync.offsetKnob()->visible.get());
    EXPECT_NE(sync.label()->text().text.get(), "-");

    set(d1.sync, 2.0f);
    EXPECT_FALSE(sync.timeKnob()->visible.get());
    EXPECT_TRUE(sync.offsetKnob()->visible.get());
    EXPECT_EQ(sync.label()->text().text.get(), "-");
    EXPECT_FALSE(sync.label()->interactive.get());

    // Every hot spot lies just outside the knob, at the knob's angle of its factor.
    const gui::Point centre = sync.offsetKnob()->toRoot(sync.offsetKnob()->centre());
    for (int i = 0; i < 7; ++i) {
        HotspotButton& spot = *sync.hotspot(i);
        ASSERT_TRUE(spot.isShowing());
        const gui::Point c = spot.toRoot({spot.width() / 2, spot.height() / 2});
        EXPECT_NEAR(std::hypot(c.x - centre.x, c.y - centre.y), 28 + 3 + 5, 1.5) << i;
        const int undoBefore = history().undoCount();
        click(spot);
        EXPECT_NEAR(d1.offset.value(), std::log2(SyncControls::kFactors[std::size_t(i)]), 1e-4) << i;
        EXPECT_EQ(history().undoCount(), undoBefore + 1) << i;
    }
    // The one for 1.5 gives an engine factor of 1.5.
    click(*sync.hotspot(5));
    EXPECT_NEAR(std::exp2(d1.offset.value()), 1.5, 1e-4);
    EXPECT_NEAR(d1.offset.value(), 0.585, 1e-3);

    set(d1.sync, 0.0f);
    EXPECT_TRUE(sync.timeKnob()->visible.get());
    EXPECT_FALSE(sync.hotspot(0)->visible.get());
    EXPECT_TRUE(sync.label()->interactive.get());

    // The arc shows through its panel as a curved slider: its middle, at 3 o'clock, is "Note".
    const gui::Point arcCentre = sync.arc()->toRoot(sync.arc()->centre());
    window().moveMouse(arcCentre.x + 53, arcCentre.y);
    window().click(arcCentre.x + 53, arcCentre.y);
    system.advance(600);
    EXPECT_EQ(d1.sync.value(), 2.0f);
    EXPECT_TRUE(sync.offsetKnob()->visible.get());
}

TEST_F(DelayInterfaceTest, DimmersFollowLinksFreezeAndTheDrySwitch) {
    openWith(0, false);
    LorimanePlugin& p = product();
    const struct {
        float feedbackLink, freeze, delayLink;
        bool feedbackDimmer, freezeDimmer, delayDimmer;
    } cases[] = {{0, 0, 0, false, false, false}, {1, 0, 0, true, false, false}, {1, 1, 0, false, true, false},
                 {0, 1, 1, false, true, true},   {0, 0, 1, false, false, true}};
    for (const auto& c : cases) {
        set(p.feedbackLink, c.feedbackLink);
        set(p.delayFreeze, c.freeze);
        set(p.delayLink, c.delayLink);
        EXPECT_EQ(delays().feedbackDimmer()->visible.get(), c.feedbackDimmer) << c.feedbackLink << c.freeze;
        EXPECT_EQ(delays().freezeDimmer()->visible.get(), c.freezeDimmer) << c.feedbackLink << c.freeze;
        EXPECT_EQ(delays().delayDimmer()->visible.get(), c.delayDimmer) << c.delayLink;
    }

    // Either half of the dry switch toggles the dry signal; both show it; the dimmer follows.
    set(p.dryEnabled, 1.0f);
    EXPECT_FALSE(output().dryDimmer()->visible.get());
    click(*output().drySwitch(1));
    EXPECT_EQ(p.dryEnabled.value(), 0.0f);
    EXPECT_FALSE(output().drySwitch(0)->on.get());
    EXPECT_TRUE(output().dryDimmer()->visible.get());
    click(*output().drySwitch(0));
    EXPECT_EQ(p.dryEnabled.value(), 1.0f);
    EXPECT_TRUE(output().drySwitch(1)->on.get());
    EXPECT_FALSE(output().dryDimmer()->visible.get());
}

TEST_F(DelayInterfaceTest, RoutingMovesTheFilterButtonsAndShowsItsDiagram) {
    openWith(0, false);
    const struct {
        float routing;
        gui::Point first, second;
    } cases[] = {{1, {393, 61}, {393, 193}}, {2, {393, 61}, {393, 193}}, {0, {341, 128}, {430, 128}}};
    for (const auto& c : cases) {
        set(product().filterRouting, c.routing);
        EXPECT_EQ(at(*filters().filterButton(0)), c.first) << c.routing;
        EXPECT_EQ(at(*filters().filterButton(1)), c.second) << c.routing;
        for (int r = 0; r < 3; ++r) EXPECT_EQ(filters().routingImage(r)->visible.get(), r == int(c.routing)) << r;
    }
}

TEST_F(DelayInterfaceTest, SideChainCanBeAuditionedOnlyWithASideChainConnected) {
    openWith(0, false);
    plugin->setSideChainEnabled(false);
    std::vector<std::string> items = openMenu(*lorimane().auditionButton());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[2], "Side Chain [disabled]");
    plugin->setSideChainEnabled(true);
    items = openMenu(*lorimane().auditionButton(), "Side Chain");
    EXPECT_EQ(items[2], "Side Chain");
    EXPECT_EQ(param("Audition Signal").value(), 2.0f);
}

TEST_F(DelayInterfaceTest, TheFilterPanelOpensFromTheStoredSettingOnlyInTheWideLayout) {
    openWith(0, false, 1);
    EXPECT_FALSE(lorimane().strip()->isOpen(LorimaneInterface::FilterPanelComponent));
    EXPECT_EQ(settings().expandedSection.get(), 1);
    editor.reset();
    ui.reset();
    openWith(1, false, 1);
    ASSERT_TRUE(lorimane().strip()->isOpen(LorimaneInterface::FilterPanelComponent));
    // The panel sits right after the filter section; the output section follows it.
    EXPECT_EQ(at(*lorimane().filterPanel()), (gui::Point{520, 34}));
    EXPECT_EQ(at(*output().dryLevel()).x, 575 + FilterInterface::kWidth);

    click(*lorimane().filterPanel()->collapseButton());
    EXPECT_FALSE(lorimane().strip()->isOpen(LorimaneInterface::FilterPanelComponent));
    EXPECT_EQ(settings().expandedSection.get(), -1);
    click(*filters().filterButton(1));
    EXPECT_TRUE(lorimane().strip()->isOpen(LorimaneInterface::FilterPanelComponent));
    EXPECT_EQ(settings().expandedSection.get(), 1);
}

TEST_F(DelayInterfaceTest, FilterButtonDragsEditFrequencyPeakPanAndResponse) {
    openWith(0, false);
    FilterParameterSet& f1 = product().filters.set(0);
    FilterParameterSet& f2 = product().filters.set(1);
    auto reset = [&] {
        for (FilterParameterSet* f : {&f1, &f2}) {
            set(f->freq, 0.5f);
            set(f->peak, 0.5f);
            set(f->pan, 0.0f);
            set(f->response, 0.0f);
        }
    };
    const gui::Point c = centre(*filters().filterButton(0));
    using gui::native::KeyAlt;
    using gui::native::KeyCtrl;
    using gui::native::KeyShift;

    // Right and up raise frequency and peak.
    reset();
    drag(c, {c.x + 30, c.y - 20});
    EXPECT_GT(f1.freq.value(), 0.5f);
    EXPECT_GT(f1.peak.value(), 0.5f);
    EXPECT_EQ(f2.freq.value(), 0.5f);

    // With Ctrl, pan and response instead.
    reset();
    drag(c, {c.x + 30, c.y - 60}, KeyCtrl);
    EXPECT_EQ(f1.freq.value(), 0.5f);
    EXPECT_EQ(f1.peak.value(), 0.5f);
    EXPECT_GT(f1.pan.value(), 0.0f);
    EXPECT_GT(f1.response.value(), 0.0f);

    // With Shift only the axis moved further.
    reset();
    drag(c, {c.x + 40, c.y - 10}, KeyShift);
    EXPECT_GT(f1.freq.value(), 0.5f);
    EXPECT_EQ(f1.peak.value(), 0.5f);

    // With Alt the other filter's button follows by the same amount.
    reset();
    drag(c, {c.x + 30, c.y}, KeyAlt);
    EXPECT_GT(f1.freq.value(), 0.5f);
    EXPECT_FLOAT_EQ(f2.freq.value(), f1.freq.value());
}

TEST_F(DelayInterfaceTest, LinkedKnobsFollowWithTheLinkModifierAndPansMirror) {
    openWith(0, false);
    DelayParameterSet& d1 = product().delays.set(0);
    DelayParameterSet& d2 = product().delays.set(1);
    set(d1.feedback, 0.3f);
    set(d2.feedback, 0.3f);
    set(d1.pan, 0.0f);
    set(d2.pan, 0.0f);
    const gui::Point feedback = centre(*delays().feedbackKnob(0));
    drag(feedback, {feedback.x, feedback.y - 30}, gui::native::KeyAlt);
    EXPECT_GT(d1.feedback.value(), 0.3f);
    EXPECT_NEAR(d2.feedback.value(), d1.feedback.value(), 1e-3);
    const gui::Point pan = centre(*delays().panKnob(0));
    drag(pan, {pan.x, pan.y - 30}, gui::native::KeyAlt);
    EXPECT_GT(d1.pan.value(), 0.0f);
    EXPECT_NEAR(d2.pan.value(), -d1.pan.value(), 1e-3);
    // Without the modifier the other line stays.
    const float before = d2.feedback.value();
    drag(feedback, {feedback.x, feedback.y + 20});
    EXPECT_EQ(d2.feedback.value(), before);
}

// The large knobs' body is a ring around a cap drawn by the pointer picture: the cap takes drags.
TEST_F(DelayInterfaceTest, TheTimeKnobTakesADragAtItsCentre) {
    openWith(0, false);
    DelayParameterSet& d1 = product().delays.set(0);
    const float before = d1.time.value();
    const gui::Point c = centre(*delays().sync(0).timeKnob());
    drag(c, {c.x, c.y - 40});
    EXPECT_GT(d1.time.value(), before);
}

TEST_F(DelayInterfaceTest, TheTimeLabelTakesDragsAndTappedTimes) {
    openWith(0, false);
    DelayParameterSet& d1 = product().delays.set(0);
    float plain = 0.0f;
    ASSERT_TRUE(d1.time.textToPlain("350", plain));
    set(d1.time, plain);
    FloatValueLabel& label = *delays().sync(0).label();
    // Up by 20 pixels: about 1 ms per 2 pixels (steps of 2 pixels or less count at the next).
    const gui::Point c = centre(label);
    drag(c, {c.x, c.y - 20});
    EXPECT_NEAR(d1.time.plainToDisplay(d1.time.value()), 360.0f, 3.0f);
    // A quick click arms the tap; the next press 400 ms later sets 400 ms.
    window().click(c.x, c.y);
    ASSERT_TRUE(label.isTapArmed());
    system.advance(400);
    window().click(c.x, c.y);
    EXPECT_NEAR(d1.time.plainToDisplay(d1.time.value()), 400.0f, 0.6f);
}

TEST_F(DelayInterfaceTest, MidiLearnOffersTheFilterLinkTargetsWhileTheFilterPanelShows) {
    openWith(1, false, 1);
    click(*editor->topBar().midiLearn);
    MidiLearnController* overlay = editor->midiLearnController();
    ASSERT_NE(overlay, nullptr);
    const gui::Point link = lorimane().filterPanel()->display()->toRoot(lorimane().filterPanel()->display()->linkPoint());
    const std::string freq = plugin->virtualParameters()[0]->name(), peak = plugin->virtualParameters()[1]->name();
    overlay->choose({link.x - 20, link.y});
    EXPECT_EQ(overlay->selectedParameter(), GenericPlugin::kFirstVirtualParameter);
    overlay->choose({link.x + 20, link.y});
    EXPECT_EQ(overlay->selectedParameter(), GenericPlugin::kFirstVirtualParameter + 1);
    EXPECT_EQ(freq, "Filter Link Freq");
    EXPECT_EQ(peak, "Filter Link Peak");
}

TEST_F(DelayInterfaceTest, SectionPresetsSaveAndLoadOnlyTheirSection) {
    openWith(0, false);
    DelayParameterSet& d1 = product().delays.set(0);
    SectionPresetButton& presets = *delays().presetButton();
    set(d1.feedback, 0.6f);
    const std::string path = presets.handler().folder() + "/Long Tail." + presets.handler().defaultExtension();
    system.scriptFileChoice(path);
    openMenu(presets, "Save As...");
    ASSERT_TRUE(std::filesystem::exists(path));

    set(d1.feedback, 0.1f);
    set(param("Dry Level"), 0.5f);
    const int steps = history().undoCount();
    const std::vector<std::string> items = openMenu(presets, "Long Tail");
    ASSERT_FALSE(items.empty());
    EXPECT_NEAR(d1.feedback.value(), 0.6f, 1e-4);
    EXPECT_EQ(param("Dry Level").value(), 0.5f) << "another section's parameter stays";
    EXPECT_EQ(history().undoCount(), steps + 1);
    std::filesystem::remove(path);
}

TEST_F(DelayInterfaceTest, ChannelModeRenamesTheDelaysWithoutTouchingTheStrip) {
    openWith(0, false);
    set(param("Channel Mode"), 1.0f);
    EXPECT_EQ(plugin->getParameter(0)->name(), "Delay M Time");
    set(param("Channel Mode"), 0.0f);
    EXPECT_EQ(plugin->getParameter(0)->name(), "Delay L Time");
}

}  // namespace
