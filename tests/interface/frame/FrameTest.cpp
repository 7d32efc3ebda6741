#include <filesystem>
#include <fstream>

#include "framework/UndoHistory.h"
#include "gui/Button.h"
#include "gui/Light.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "gui/ValueControl.h"
#include "AudioThreadGuard.h"
#include "interface/HelpTexts.h"
#include "interface/ValueDisplay.h"
#include "interface/LorimaneInterface.h"
#include "interface/MidiLearnController.h"
#include "persistence/PresetManager.h"
#include "tests/interface/frame/FrameFixture.h"

namespace frametest {
namespace {

using Strings = std::vector<std::string>;

Strings commands(const Strings& menu) {
    // The items after the preset tree's closing separator.
    Strings tail;
    for (auto it = menu.rbegin(); it != menu.rend() && *it != "-"; ++it) tail.insert(tail.begin(), *it);
    return tail;
}

TEST_F(FrameTest, PresetMenuOffersItsCommandsWithSaveOnlyWhenEnabled) {
    for (bool saveItem : {true, false}) {
        GenericPlugin::sharedSettings()->savePresetItemEnabled = saveItem;
        open();
        Strings expected = {"Save As...", "Options", "  Enable MIDI Program Changes", "Save As Default",
                            "Open Other Preset...", "Change Preset Folder...", "Restore Factory Presets"};
        if (saveItem) expected.insert(expected.begin(), "Save");
        const Strings menu = openMenu(*editor->topBar().presetName);
        EXPECT_EQ(commands(menu), expected);
        // The factory tree comes first.
        EXPECT_GT(menu.size(), expected.size() + 1);
        editor.reset();
        ui.reset();
    }
}

TEST_F(FrameTest, HelpAndMidiMenusShowTheirItems) {
    open();
    EXPECT_EQ(openMenu(*editor->topBar().help),
              (Strings{"Help Topics", "Show Interactive Help Hints [checked]", "Show Component Displays", "-",
                       "Brixholde Web Site", "Brixholde Support"}));
    EXPECT_EQ(openMenu(*editor->topBar().midiMenu),
              (Strings{"Enable MIDI [checked]", "Clear [disabled]", "Revert", "Save"}));
    openMenu(*editor->topBar().help, "Brixholde Support");
    EXPECT_EQ(system.openedWebAddresses(), Strings{"https://www.brixholde.com/support/"});
}

TEST_F(FrameTest, MidiMenuClearsRevertsAndSavesTheControllerMap) {
    open();
    MidiControllerMap& map = globals().controllerMap();
    const int delay = indexOf("Channel Mode");
    map.assignController(7, delay);
    const Strings menu = openMenu(*editor->topBar().midiMenu, "Save");
    EXPECT_EQ(menu[1], "Clear");
    EXPECT_EQ(menu[2], "  7: Channel Mode");
    EXPECT_EQ(menu[3], "  -");
    EXPECT_EQ(menu[4], "  Clear All");
    openMenu(*editor->topBar().midiMenu, "Clear All");
    EXPECT_EQ(map.parameterFor(7), -1);
    openMenu(*editor->topBar().midiMenu, "Revert");
    EXPECT_EQ(map.parameterFor(7), delay);
    openMenu(*editor->topBar().midiMenu, "Enable MIDI");
    EXPECT_EQ(param("Receive Midi").value(), float(GenericPlugin::MidiDisabled));
}

TEST_F(FrameTest, EachFinishedGestureIsOneUndoStepAndUndoRedoWalkThem) {
    open();
    gui::Button* undo = editor->topBar().undo;
    EXPECT_FALSE(undo->interactive.get());
    auto* autoMute = editor->boundControls(indexOf("Auto Mute Self-Osc")).front();
    const float before = param("Auto Mute Self-Osc").value();
    click(*autoMute);
    EXPECT_NE(param("Auto Mute Self-Osc").value(), before);
    EXPECT_EQ(history().undoCount(), 1);
    EXPECT_TRUE(undo->interactive.get());
    EXPECT_EQ(host.events, (Strings{"touch " + std::to_string(indexOf("Auto Mute Self-Osc")),
                                    "release " + std::to_string(indexOf("Auto Mute Self-Osc"))}));

    // A wheel gesture over another control does not keep later gestures from being steps.
    const int modeIndex = indexOf("Channel Mode");
    const gui::Point wheelAt = centre(*editor->boundControls(modeIndex).front());
    window().turnWheel(-1.0f, wheelAt.x, wheelAt.y);
    system.advance(1000);
    click(*autoMute);
    EXPECT_EQ(param("Auto Mute Self-Osc").value(), before);
    EXPECT_GE(history().undoCount(), 2);
    click(*undo);
    EXPECT_NE(param("Auto Mute Self-Osc").value(), before);
    while (history().canUndo()) click(*undo);
    EXPECT_EQ(param("Auto Mute Self-Osc").value(), before);
    EXPECT_FALSE(undo->interactive.get());
    click(*editor->topBar().redo);
    EXPECT_NE(param("Auto Mute Self-Osc").value(), before);
    EXPECT_EQ(history().undoCount(), 1);

    // The ring holds 99 steps back at most.
    const int mode = indexOf("Channel Mode");
    for (int i = 0; i < 120; ++i) {
        editor->beginEdit(mode);
        editor->setNormalized(mode, float(i % 2));
        editor->endEdit(mode);
        processBlock();
    }
    EXPECT_EQ(history().undoCount(), UndoHistory::kMaxSteps);
    EXPECT_EQ(history().redoCount(), 0);
}

TEST_F(FrameTest, ABSwitchesSettingsAndCopyLightsWhileTheyDiffer) {
    open();
    AbstractPluginParameter& mode = param("Channel Mode");
    const float a = mode.value();
    editor->beginEdit(mode.index());
    editor->setNormalized(mode.index(), a >= 1.0f ? 0.0f : 1.0f);
    editor->endEdit(mode.index());
    processBlock();
    const float changed = mode.value();
    EXPECT_EQ(editor->topBar().copy->opacity.get(), 255);
    click(*editor->topBar().ab);
    EXPECT_EQ(mode.value(), a);
    click(*editor->topBar().ab);
    EXPECT_EQ(mode.value(), changed);
    click(*editor->topBar().copy);
    EXPECT_EQ(editor->topBar().copy->opacity.get(), 90);
    click(*editor->topBar().ab);
    EXPECT_EQ(mode.value(), changed);
}

TEST_F(FrameTest, PresetNavigationWrapsWithinTheTree) {
    open();
    PresetManager& presets = globals().mainPresets();
    const std::vector<PresetEntry*> list = presets.flatten();
    ASSERT_GE(presets.mainCount(), 2);
    ASSERT_TRUE(editor->loadPresetFromEditor(list[std::size_t(presets.mainCount() - 1)]->record()));
    click(*editor->topBar().nextPreset);
    EXPECT_EQ(plugin->presetState().record().path, list.front()->path);
    click(*editor->topBar().previousPreset);
    EXPECT_EQ(plugin->presetState().record().path, list[std::size_t(presets.mainCount() - 1)]->path);
    EXPECT_EQ(editor->topBar().presetName->text().text.get(), list[std::size_t(presets.mainCount() - 1)]->name);
}

TEST_F(FrameTest, PresetLoadFailuresShowTheirMessageOnlyWhereTheUserChoseAPreset) {
    GenericPlugin::sharedSettings()->showInteractiveHelp = false;
    open();
    const std::string bad = globals().mainPresets().path() + "Broken.bxp";
    std::ofstream(bad) << "not a preset";
    const int steps = history().undoCount();
    // Through "Open Other Preset...": nothing changes and nothing is said.
    system.scriptFileChoice(bad);
    openMenu(*editor->topBar().presetName, "Open Other Preset...");
    EXPECT_EQ(editor->hintText(), "");
    EXPECT_EQ(history().undoCount(), steps);
    // Chosen from the tree: the message reaches the user although hints are off.
    globals().mainPresets().setFolder(globals().mainPresets().path());
    openMenu(*editor->topBar().presetName, "Broken");
    EXPECT_EQ(editor->hintText(), GenericPluginInterface::kPresetLoadFailed);
    EXPECT_EQ(history().undoCount(), steps);
    std::filesystem::remove(bad);
}

TEST_F(FrameTest, SaveAsRoundTripAndSaveWithoutPathAsksForAFile) {
    open();
    plugin->presetState().setRecord({});
    const std::string path = globals().mainPresets().path() + "Round Trip.bxp";
    system.scriptFileChoice(path);
    openMenu(*editor->topBar().presetName, "Save");  // no current file: acts as "Save As..."
    ASSERT_TRUE(system.lastFileRequest().has_value());
    EXPECT_TRUE(system.lastFileRequest()->save);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(plugin->presetState().record().name, "Round Trip");

    AbstractPluginParameter& mode = param("Channel Mode");
    const float saved = mode.value();
    mode.setValue(saved >= 1.0f ? 0.0f : 1.0f, 0);
    system.scriptFileChoice(path);
    openMenu(*editor->topBar().presetName, "Open Other Preset...");
    EXPECT_EQ(mode.value(), saved);
    std::filesystem::remove(path);
}

TEST_F(FrameTest, RestoreFactoryPresetsAsksFirstAndReportsAFailure) {
    open();
    system.scriptMessageBox(gui::native::ResultCancel);
    openMenu(*editor->topBar().presetName, "Restore Factory Presets");
    ASSERT_EQ(system.messageBoxes().size(), 1u);
    EXPECT_EQ(system.messageBoxes()[0].text, GenericPluginInterface::kRestoreQuestion);
    EXPECT_EQ(system.messageBoxes()[0].caption, "Confirmation");

    system.scriptMessageBox(gui::native::ResultOk);
    openMenu(*editor->topBar().presetName, "Restore Factory Presets");
    EXPECT_EQ(system.messageBoxes().size(), 2u);

    // A preset folder that cannot be written (under a file).
    const std::string file = globals().mainPresets().path() + "plain-file";
    std::ofstream(file) << "x";
    globals().mainPresets().setFolder(file + "/");
    system.scriptMessageBox(gui::native::ResultOk);
    openMenu(*editor->topBar().presetName, "Restore Factory Presets");
    ASSERT_EQ(system.messageBoxes().size(), 4u);
    EXPECT_EQ(system.messageBoxes()[3].text, GenericPluginInterface::kRestoreFailed);
    std::filesystem::remove(file);
}

TEST_F(FrameTest, MidiLearnBindsTheClickedControlMovingAnEarlierBinding) {
    open();
    MidiControllerMap& map = globals().controllerMap();
    const int mode = indexOf("Channel Mode");
    map.assignController(3, mode);
    click(*editor->topBar().midiLearn);
    MidiLearnController* learn = editor->midiLearnController();
    ASSERT_NE(learn, nullptr);
    EXPECT_EQ(learn->labelText(), GenericPluginInterface::kLearnPrompt);
    click(*editor->boundControls(mode).front());
    EXPECT_EQ(editor->learnTarget(), mode);
    EXPECT_EQ(learn->labelText(), std::string(GenericPluginInterface::kLearnTargetShort) + "Channel Mode");
    sendMidi(0xB0, 7, 127);
    EXPECT_EQ(map.parameterFor(7), mode);
    EXPECT_EQ(map.parameterFor(3), -1);
    // Leaving learn mode drops the target: later controllers bind nothing.
    click(*editor->topBar().midiLearn);
    EXPECT_EQ(editor->learnTarget(), -1);
    sendMidi(0xB0, 9, 0);
    EXPECT_EQ(map.parameterFor(9), -1);
}

TEST_F(FrameTest, MidiLightGoesOutAfterAQuarterSecond) {
    open();
    sendMidi(0xB0, 20, 64);
    system.advance(60);
    EXPECT_EQ(editor->midiLight()->level.get(), 255);
    system.advance(300);
    EXPECT_EQ(editor->midiLight()->level.get(), 0);
}

TEST_F(FrameTest, HintsAppearAfterTheDelayAndMessagesStillShowWithHintsOff) {
    open();
    const gui::Point p = centre(*editor->topBar().help);
    window().moveMouse(p.x, p.y);
    system.advance(1000);
    EXPECT_EQ(editor->hintText(), "");
    system.advance(600);
    EXPECT_EQ(editor->hintText(), helptext::kHelp);

    openMenu(*editor->topBar().help, "Show Interactive Help Hints");
    EXPECT_FALSE(GenericPlugin::sharedSettings()->showInteractiveHelp.get());
    window().moveMouse(centre(*editor->topBar().ab).x, p.y);
    system.advance(2000);
    EXPECT_EQ(editor->hintText(), "");
    editor->showMessage("plain", 0);
    EXPECT_EQ(editor->hintText(), "");
    editor->showMessage("must show", GenericPluginInterface::ShowAlways);
    EXPECT_EQ(editor->hintText(), "must show");
}

// The value display follows the pointer over a bound control, shows the value an edit sets, stays
// inside the editor and goes when the pointer leaves.
TEST_F(FrameTest, TheValueDisplayShowsTheHoveredControlsParameterAndFollowsItsEdits) {
    open();
    AbstractPluginParameter& autoMute = param("Auto Mute Self-Osc");
    ASSERT_FALSE(editor->boundControls(autoMute.index()).empty());
    gui::ValueControl& control = *editor->boundControls(autoMute.index()).front();
    ValueDisplay& display = *editor->valueDisplay();
    EXPECT_FALSE(display.visible.get());

    const gui::Point p = centre(control);
    window().moveMouse(p.x, p.y);
    ASSERT_TRUE(display.visible.get());
    EXPECT_EQ(display.valueText(), autoMute.plainToText(autoMute.value()));
    const gui::Rect shown = display.bounds;
    EXPECT_GE(shown.left, 0);
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.right, root().width());
    EXPECT_LE(shown.bottom, root().height());
    EXPECT_FALSE(shown.contains(p)) << "the display never covers the control under the pointer";

    const std::string before = display.valueText();
    click(control);
    EXPECT_NE(display.valueText(), before);
    EXPECT_EQ(display.valueText(), autoMute.plainToText(autoMute.value()));

    // The top bar's empty left end.
    window().moveMouse(4, 4);
    EXPECT_FALSE(display.visible.get());
}

// Notices from the audio thread never allocate or lock, even when the editor stopped draining and
// the queue is full.
TEST_F(FrameTest, AudioThreadNoticesNeverGrowTheEditorsQueue) {
    open();
    GenericPlugin::AudioThreadScope audioThread(*plugin);
    AudioThreadGuard guard;
    for (int i = 0; i < 3 * gui::UserInterface::kQueueNodes; ++i)
        editor->notify(GenericPlugin::kParameterChanged, i % plugin->getParameterCount());
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
}

struct LayoutCase {
    int layout;
    bool modulation;
    int width, height, undoX;
};

TEST_F(FrameTest, ResizeFollowsTheLayoutSettingsOrExplainsARefusal) {
    open();
    auto* lorimane = static_cast<LorimaneInterface*>(editor.get());
    for (const LayoutCase& c : {LayoutCase{1, false, 926, 321, 330}, LayoutCase{1, true, 926, 514, 330},
                                LayoutCase{0, true, 640, 514, 310}, LayoutCase{0, false, 640, 321, 310}}) {
        openMenu(*lorimane->resizeButton(), c.layout ? "Wide" : "Normal");
        if (lorimane->modulationButton()->value.get() != int(c.modulation)) click(*lorimane->modulationButton());
        EXPECT_EQ(root().width(), c.width);
        EXPECT_EQ(root().height(), c.height);
        EXPECT_EQ(editor->topBar().undo->bounds.get().left, c.undoX);
        EXPECT_EQ(editor->midiLight()->bounds.get().top + editor->midiLight()->height() / 2,
                  c.height - LorimaneInterface::kBottomBarHeight / 2);
    }
    host.acceptResize = false;
    openMenu(*lorimane->resizeButton(), "Wide");
    EXPECT_EQ(root().width(), 640);
    EXPECT_EQ(editor->hintText(), GenericPluginInterface::kResizeRefused);
    EXPECT_EQ(plugin->getEditorWidth(), 926);
}

TEST_F(FrameTest, RatioLinkHoldsTheLinkedValueNearTheCentre) {
    open();
    const int moved = indexOf("Channel Mode"), linked = indexOf("Auto Mute Self-Osc");
    struct Case {
        double movedStart, linkedStart, movedEnd, linkedEnd;
    };
    for (const Case& c : {Case{0.75, 0.9, 0.8, 0.98}, Case{0.5 + 1.0 / 4096, 0.9, 0.6, 0.9}}) {
        gui::ValueControl a(ui.get()), b(ui.get());
        a.parent = &root();
        b.parent = &root();
        editor->bindControl(moved, &a);
        editor->bindControl(linked, &b);
        editor->linkControl(moved, &b, GenericPluginInterface::kRatioLink);
        a.value = a.fromNormalized(c.movedStart);
        b.value = b.fromNormalized(c.linkedStart);
        a.edit(gui::ValueControl::Begin, 0);
        a.edit(gui::ValueControl::Change, a.fromNormalized(c.movedEnd) - a.value);
        a.edit(gui::ValueControl::End, 0);
        EXPECT_NEAR(b.toNormalized(), c.linkedEnd, 2.0 / 4096) << c.movedStart;
        editor->unbindControl(moved, &a);
        editor->unbindControl(linked, &b);
        a.parent = nullptr;
        b.parent = nullptr;
    }
}

TEST_F(FrameTest, HousekeepingLoadsProgramChangesUnlessTheHostDoes) {
    GenericPlugin::sharedSettings()->enableMidiProgramChanges = true;
    for (bool hostWorker : {true, false}) {
        host.hostWorker = hostWorker;
        open();
        const std::vector<PresetEntry*> list = globals().mainPresets().flatten();
        ASSERT_GE(list.size(), 2u);
        sendMidi(0xC0, 1, 0);
        system.advance(100);
        EXPECT_EQ(plugin->presetState().record().path == list[1]->path, !hostWorker);
        if (!hostWorker) {
            EXPECT_EQ(editor->topBar().presetName->text().text.get(), list[1]->name);
        }
        if (hostWorker) plugin->performDeferredWork();
        editor.reset();
        ui.reset();
    }
}

TEST_F(FrameTest, ControlsAreFoundByParameterAndByHelpText) {
    open();
    const int mode = indexOf("Channel Mode");
    EXPECT_EQ(editor->parameterAt(centre(*editor->boundControls(mode).front())), mode);
    EXPECT_EQ(editor->parameterAt({5, 5}), -1);
    EXPECT_EQ(find("The Undo button"), editor->topBar().undo);
    EXPECT_EQ(find("MIDI Learn"), editor->topBar().midiLearn);
}

}  // namespace
}  // namespace frametest
