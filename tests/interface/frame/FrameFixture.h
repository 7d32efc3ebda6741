#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericPlugin.h"
#include "gui/Control.h"
#include "gui/RootControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindow.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/EditorHost.h"
#include "interface/GenericPluginInterface.h"
#include "interface/LorimaneEditor.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"

namespace frametest {

// A host that records the edit gestures and answers resize requests as told.
class RecordingHost : public EditorHost {
public:
    bool resizeRequested(int width, int height) override {
        resizes.push_back({width, height});
        return acceptResize;
    }
    void editBegan(int parameter) override { events.push_back("touch " + std::to_string(parameter)); }
    void editEnded(int parameter) override { events.push_back("release " + std::to_string(parameter)); }
    bool performsDeferredWork() const override { return hostWorker; }

    bool acceptResize = true;
    bool hostWorker = false;
    std::vector<std::pair<int, int>> resizes;
    std::vector<std::string> events;
};

// The product's editor over a live plug-in, in a headless window on the manual clock.
class FrameTest : public ::testing::Test {
protected:
    FrameTest() : plugin(makeProductPlugin()) {
        GenericPlugin::SharedSettings* s = GenericPlugin::sharedSettings();
        s->showWelcomeHint = false;
        s->showInteractiveHelp = true;
        s->savePresetItemEnabled = true;
        s->enableMidiProgramChanges = false;
        s->showComponentDisplays = false;
        globals().controllerMap().clearAll();
    }
    ~FrameTest() override {
        editor.reset();
        ui.reset();
    }

    void open() {
        ui = std::make_unique<gui::WindowInterface>(
            system, nullptr, gui::Rect::ofSize(0, 0, plugin->getEditorWidth(), plugin->getEditorHeight()));
        editor = createLorimaneEditor(*plugin, *ui, host);
        system.advance(50);
    }

    static PersistenceGlobals& globals() { return *PersistenceGlobals::instance(); }
    gui::native::HeadlessWindow& window() { return static_cast<gui::native::HeadlessWindow&>(ui->window()); }
    gui::RootControl& root() { return *ui->getRootControl(); }

    int indexOf(const std::string& name) const {
        for (int i = 0; i < plugin->getParameterCount(); ++i)
            if (plugin->getParameter(i)->name() == name) return i;
        ADD_FAILURE() << "no parameter " << name;
        return -1;
    }
    AbstractPluginParameter& param(const std::string& name) const { return *plugin->getParameter(indexOf(name)); }

    // The first control whose hint begins with the text, or whose button text is it.
    gui::Control* find(const std::string& start) { return find(root(), start); }
    static gui::Control* find(gui::Control& from, const std::string& start);
    gui::Point centre(const gui::Control& c) const {
        return c.toRoot({c.width() / 2, c.height() / 2});
    }
    void click(const gui::Control& c, int keys = 0) {
        const gui::Point p = centre(c);
        window().click(p.x, p.y, keys);
        // Past the double-click time, so that the next click is a click of its own.
        system.advance(600);
    }
    // Opens the menu behind a control, choosing the item (or cancelling with an empty text), and
    // answers the items as shown: "text" with " [checked]" / " [disabled]", indented per level.
    std::vector<std::string> openMenu(const gui::Control& c, const std::string& choose = std::string());
    // Runs one silent block so that queued changes and MIDI reach the engine.
    void processBlock();
    void sendMidi(uint8_t status, uint8_t data1, uint8_t data2);
    UndoHistory& history() { return *plugin->undoHistory(); }

    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin;
    RecordingHost host;
    std::unique_ptr<gui::WindowInterface> ui;
    std::unique_ptr<GenericPluginInterface> editor;
};

}  // namespace frametest
