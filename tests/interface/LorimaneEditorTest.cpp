#include <gtest/gtest.h>

#include "framework/GenericPlugin.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/EditorHost.h"
#include "interface/LorimaneEditor.h"
#include "product/ProductPlugin.h"

namespace {

class AcceptingHost : public EditorHost {
public:
    bool resizeRequested(int, int) override { return true; }
};

TEST(LorimaneEditor, OpensAndClosesOverALivePlugIn) {
    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    gui::WindowInterface ui(system, nullptr, gui::Rect(0, 0, plugin->getEditorWidth(), plugin->getEditorHeight()));
    AcceptingHost host;
    auto editor = createLorimaneEditor(*plugin, ui, host);
    ASSERT_NE(editor, nullptr);
    system.advance(100);
    editor.reset();
}

}  // namespace
