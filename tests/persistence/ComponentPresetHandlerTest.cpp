#include <gtest/gtest.h>

#include "TempHome.h"
#include "TestPlugin.h"
#include "persistence/ComponentPresetHandler.h"

TEST(ComponentPresetHandlerTest, ChoosingAPresetIsOneUndoStepAndAFailureShowsTheMessage) {
    TempHome home;
    TestPlugin plugin;
    std::vector<std::string> messages;
    ComponentPresetHandler handler(plugin, plugin.presets, plugin.delays, 0,
                                   [&](const std::string& m) { messages.push_back(m); });
    EXPECT_EQ(handler.saveFilter(), "Brixholde Component Presets (*.delays)|*.delays|All Files (*.*)|*.*");
    EXPECT_EQ(handler.defaultExtension(), "delays");
    EXPECT_EQ(handler.folder(), home.path("data/Brixholde/Lorimane 2/Component Presets/Delays/"));

    plugin.undoHistory()->setInitialState();
    int steps = plugin.undoHistory()->undoCount();
    EXPECT_FALSE(handler.loadDefault());
    EXPECT_EQ(plugin.undoHistory()->undoCount(), steps + 1)
        << "a new source records its step even without a Default";

    plugin.setAll(-10.0f);
    ASSERT_TRUE(handler.saveAs(handler.folder() + "Slap.delays"));
    std::vector<PresetMenuItem> menu = handler.menu();
    ASSERT_EQ(menu.size(), 3u) << "the saved preset, a separator and Save As...";
    EXPECT_EQ(menu[0].text, "Slap");
    EXPECT_EQ(menu[2].text, "Save As...");

    plugin.setAll(20.0f);
    plugin.compareStates()->setChanged(false);
    PresetEntry slap;
    slap.path = menu[0].path;
    handler.presetSelected(slap);
    EXPECT_FLOAT_EQ(plugin.parameter(0).value(), -10.0f);
    EXPECT_FLOAT_EQ(plugin.parameter(3).value(), 21.5f) << "outside the section";
    EXPECT_TRUE(plugin.compareStates()->changed());
    EXPECT_TRUE(messages.empty());

    PresetEntry broken;
    broken.path = home.path("broken.delays");
    TempHome::writeFile(broken.path, "BLms");
    handler.presetSelected(broken);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], ComponentPresetHandler::kLoadFailed);
}
