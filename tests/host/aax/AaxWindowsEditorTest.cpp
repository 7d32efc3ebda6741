#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/LorimaneSettings.h"
#include "gui/ModifierMap.h"
#include "gui/SelectButton.h"
#include "gui/ValueControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "host/aax/AaxPluginAdapter.h"
#include "host/aax/AaxWindowsEditor.h"
#include "interface/GenericPluginInterface.h"
#include "interface/LorimaneInterface.h"
#include "persistence/GlobalSettings.h"
#include "persistence/RegistryWriter.h"
#include "product/ProductPlugin.h"
#include "tools/aax-test-host/AaxTestHost.h"

namespace {

using HostEdit = AaxTestHost::Instance::HostEdit;

// The control the edit tests drag, found by its parameter's name. Any bound value control will
// do; a knob shows the most of a drag.
constexpr const char* kDraggedParameter = "Delay L Feedback";
constexpr const char* kClickedParameter = "Auto Mute Self-Osc";  // a click toggles it

// A container that only says what it is.
class BareContainer : public AAX_IViewContainer {
public:
    explicit BareContainer(int32_t type) : type_(type) {}
    int32_t GetType() override { return type_; }
    void* GetPtr() override { return nullptr; }
    AAX_Result GetModifiers(uint32_t* modifiers) override {
        *modifiers = 0;
        return AAX_SUCCESS;
    }
    AAX_Result SetViewSize(AAX_Point&) override { return AAX_SUCCESS; }
    AAX_Result HandleParameterMouseDown(const AAX_CParamID&, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }

private:
    int32_t type_;
};

class AaxWindowsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
        AaxWindowsEditor::setWindowSystem(&system);
        host = std::make_unique<AaxTestHost>(&GetEffectDescriptions);
        ASSERT_EQ(host->describe(), AAX_SUCCESS);
        std::string error;
        instance = host->createInstance(0, 48000.0f, error);
        ASSERT_TRUE(instance) << error;
        plugin = static_cast<AaxPluginAdapter&>(instance->effect()).plugin();
        settings = dynamic_cast<LorimaneSettings*>(&plugin->settings());
        ASSERT_NE(settings, nullptr);
        setLayout(0, false);
    }
    void TearDown() override {
        view.reset();
        instance.reset();
        AaxWindowsEditor::setWindowSystem(nullptr);
    }

    void setLayout(int layout, bool modulation) {
        settings->interfaceLayout = layout;
        settings->showModulation = modulation;
    }
    void openEditor() {
        view = std::make_unique<AaxTestHost::EditorView>(*instance, system);
        ASSERT_EQ(view->open(), AAX_SUCCESS);
        ASSERT_NE(editor().window(), nullptr);
        system.advance(100);
        instance->clearHostEdits();
    }
    AaxWindowsEditor& editor() { return static_cast<AaxWindowsEditor&>(*view->gui()); }
    GenericPluginInterface& frame() { return *editor().editor(); }
    gui::native::HeadlessWindow& window() {
        return static_cast<gui::native::HeadlessWindow&>(editor().window()->window());
    }
    int indexOf(const std::string& name) const {
        for (int i = 0; i < plugin->getParameterCount(); ++i)
            if (plugin->getParameter(i)->name() == name) return i;
        return -1;
    }
    // The centre of the control bound to the named parameter, in the editor window.
    gui::Point controlOf(const std::string& name) {
        const int index = indexOf(name);
        EXPECT_GE(index, 0) << name;
        const std::vector<gui::ValueControl*>& bound = frame().boundControls(index);
        EXPECT_FALSE(bound.empty()) << "no control shows " << name;
        if (index < 0 || bound.empty()) return {-100, -100};
        const gui::ValueControl& c = *bound.front();
        return c.toRoot({c.width() / 2, c.height() / 2});
    }
    gui::Point centre(const gui::Control& c) const { return c.toRoot({c.width() / 2, c.height() / 2}); }
    // Presses at the point and drags a few pixels upwards, staying on the control and keeping the
    // button held; answers where the pointer stopped.
    gui::Point pressAndDrag(gui::Point p) {
        window().pressButton(gui::native::LeftButton, p.x, p.y);
        for (int i = 1; i <= 4; ++i) window().moveMouse(p.x, p.y - 2 * i, gui::native::ButtonLeft);
        system.advance(20);
        return {p.x, p.y - 8};
    }
    void openMenu(const gui::Control& c, const std::string& choose) {
        system.scriptMenuChoice(choose);
        const gui::Point p = centre(c);
        window().click(p.x, p.y);
        system.advance(600);
    }
    double normalized(int index) const {
        AbstractPluginParameter* p = plugin->getParameter(index);
        return p->plainToNormalized(p->value());
    }

    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<AaxTestHost> host;
    std::unique_ptr<AaxTestHost::Instance> instance;
    std::unique_ptr<AaxTestHost::EditorView> view;
    GenericPlugin* plugin = nullptr;
    LorimaneSettings* settings = nullptr;
};

}  // namespace

TEST_F(AaxWindowsEditorTest, ViewSizeAndWindowFollowTheLayoutSettings) {
    struct Case {
        int layout;
        bool modulation;
        int width, height;
    };
    for (const Case& c : {Case{0, false, 640, 321}, Case{1, false, 926, 321}, Case{0, true, 640, 514},
                          Case{1, true, 926, 514}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        setLayout(c.layout, c.modulation);
        openEditor();
        AAX_Point size;
        ASSERT_EQ(view->gui()->GetViewSize(size), AAX_SUCCESS);
        EXPECT_EQ(size.horz, c.width);
        EXPECT_EQ(size.vert, c.height);
        EXPECT_EQ(window().bounds(), gui::Rect::ofSize(0, 0, c.width, c.height));
        view.reset();
    }
}

// Without a plug-in (the parameters object has no custom data) or in a container that is not a
// native window handle, the editor builds nothing.
TEST_F(AaxWindowsEditorTest, StaysEmptyWithoutAPlugInOrANativeWindowContainer) {
    AAX_CEffectParameters bareParameters;
    struct Case {
        bool plugin;
        int32_t type;
        bool window;
    };
    for (const Case& c : {Case{true, AAX_eViewContainer_Type_HWND, true}, Case{false, AAX_eViewContainer_Type_HWND, false},
                          Case{true, AAX_eViewContainer_Type_NULL, false}, Case{true, AAX_eViewContainer_Type_NSView, false},
                          Case{true, AAX_eViewContainer_Type_UIView, false}, Case{true, 4, false}}) {
        SCOPED_TRACE(testing::Message() << "plug-in " << c.plugin << ", type " << c.type);
        AaxWindowsEditor gui;
        ASSERT_EQ(gui.Initialize(c.plugin ? &instance->effect() : &bareParameters, instance.get()), AAX_SUCCESS);
        AAX_Point size;
        EXPECT_EQ(gui.GetViewSize(size), c.plugin ? AAX_SUCCESS : AAX_ERROR_UNIMPLEMENTED);
        BareContainer container(c.type);
        gui.SetViewContainer(&container);
        EXPECT_EQ(gui.window() != nullptr, c.window);
        EXPECT_EQ(gui.editor() != nullptr, c.window);
        EXPECT_EQ(gui.GetViewContainer(), &container);
        gui.SetViewContainer(nullptr);
        EXPECT_EQ(gui.window(), nullptr);
    }
}

TEST_F(AaxWindowsEditorTest, AnEditReachesTheHostAsTouchValuesAndReleaseWithTheDecimalId) {
    openEditor();
    const int index = indexOf(kDraggedParameter);
    const std::string id = std::to_string(index);
    const gui::Point p = controlOf(kDraggedParameter);
    const gui::Point end = pressAndDrag(p);
    window().releaseButton(gui::native::LeftButton, end.x, end.y);
    system.advance(20);

    // The press was offered to the host first, which declined it.
    ASSERT_EQ(view->mouseDowns().size(), 1u);
    EXPECT_EQ(view->mouseDowns()[0].id, id);

    std::vector<HostEdit> edits;
    for (const HostEdit& e : instance->hostEdits())
        if (e.id == id) edits.push_back(e);
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, HostEdit::Touch);
    EXPECT_EQ(edits.back().kind, HostEdit::Release);
    for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].kind, HostEdit::Value) << i;
    EXPECT_NEAR(edits[edits.size() - 2].value, normalized(index), 1e-6);
    EXPECT_EQ(instance->openTouches(), 0);
    // The host heard the value the plug-in now has (its answer reached the host parameter).
    EXPECT_NEAR(instance->effect().parameters().GetParameterByID(id)->GetNormalizedValue(), normalized(index), 1e-6);
}

TEST_F(AaxWindowsEditorTest, APressOnAParameterGoesToTheHostFirstWithItsModifierBits) {
    openEditor();
    const int index = indexOf(kClickedParameter);
    const gui::Point p = controlOf(kClickedParameter);
    struct Case {
        const char* what;
        AAX_Result hostAnswer;
        int keyState;             // keys the window reports
        uint32_t hostKeys;        // keys the host reports
        uint32_t offered;         // modifier bits the host is offered
    };
    const Case cases[] = {
        {"host takes it, no keys", AAX_SUCCESS, 0, 0, 0},
        {"host takes it, Shift and Ctrl", AAX_SUCCESS, gui::native::KeyShift | gui::native::KeyCtrl, 0,
         AAX_eModifiers_Shift | AAX_eModifiers_Command},
        {"host takes it, Alt", AAX_SUCCESS, gui::native::KeyAlt, 0, AAX_eModifiers_Option},
        // The host's own keys are merged in by the message hook before the press is offered.
        {"host takes it, host's Option and modifier", AAX_SUCCESS, 0, AAX_eModifiers_Option | AAX_eModifiers_Control,
         AAX_eModifiers_Option | AAX_eModifiers_Control},
        {"host declines", AAX_ERROR_UNIMPLEMENTED, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view->setMouseDownResult(c.hostAnswer);
        view->setModifiers(c.hostKeys);
        const size_t offeredBefore = view->mouseDowns().size();
        const double before = normalized(index);
        instance->clearHostEdits();
        window().click(p.x, p.y, c.keyState);
        system.advance(600);
        ASSERT_EQ(view->mouseDowns().size(), offeredBefore + 1);
        EXPECT_EQ(view->mouseDowns().back().id, std::to_string(index));
        EXPECT_EQ(view->mouseDowns().back().modifiers, c.offered);
        if (c.hostAnswer == AAX_SUCCESS) {
            // Taken: the editor never saw the press.
            EXPECT_EQ(normalized(index), before);
            EXPECT_TRUE(instance->hostEdits().empty());
        } else {
            // Declined: the editor handles it as usual; the switch toggles.
            EXPECT_NE(normalized(index), before);
            EXPECT_FALSE(instance->hostEdits().empty());
        }
    }
    // A press on something that shows no parameter is never offered.
    view->setMouseDownResult(AAX_SUCCESS);
    const size_t offered = view->mouseDowns().size();
    const gui::Point undo = centre(*frame().topBar().undo);
    window().click(undo.x, undo.y);
    EXPECT_EQ(view->mouseDowns().size(), offered);
}

TEST_F(AaxWindowsEditorTest, ALayoutChangeAsksTheHostAndARefusalShowsTheFramesMessage) {
    openEditor();
    auto& lorimane = static_cast<LorimaneInterface&>(frame());
    openMenu(*lorimane.resizeButton(), "Wide");
    ASSERT_EQ(view->sizeRequests().size(), 1u);
    EXPECT_EQ(view->sizeRequests()[0].width, 926);
    EXPECT_EQ(view->sizeRequests()[0].height, 321);
    EXPECT_EQ(window().bounds().width(), 926);
    AAX_Point size;
    view->gui()->GetViewSize(size);
    EXPECT_EQ(size.horz, 926);

    view->setResizable(false);
    openMenu(*lorimane.resizeButton(), "Normal");
    ASSERT_EQ(view->sizeRequests().size(), 2u);
    EXPECT_FALSE(view->sizeRequests()[1].accepted);
    EXPECT_EQ(window().bounds().width(), 926);
    EXPECT_EQ(frame().hintText(), GenericPluginInterface::kResizeRefused);
}

// "UseProToolsShortcuts" picks the modifier table when the host reads the description.
TEST_F(AaxWindowsEditorTest, TheShortcutSettingChoosesTheModifierTable) {
    const GenericPlugin::VersionRecord* version = GenericPlugin::versionRecord();
    ASSERT_NE(version, nullptr);
    using gui::ModifierMap;
    using gui::Control;
    struct Case {
        bool hostShortcuts;
        int reset, fine, linked, fineLinked;
    };
    for (const Case& c : {Case{true, Control::Alt, Control::Ctrl, Control::Shift, Control::Ctrl | Control::Shift},
                          Case{false, Control::Ctrl, Control::Shift, Control::Alt, Control::Shift | Control::Alt}}) {
        SCOPED_TRACE(c.hostShortcuts);
        RegistryWriter(productKey(*version)).boolValue("UseProToolsShortcuts", c.hostShortcuts, true);
        AaxTestHost fresh(&GetEffectDescriptions);
        ASSERT_EQ(fresh.describe(), AAX_SUCCESS);
        EXPECT_EQ(ModifierMap::lookupModifierAction(c.reset), ModifierMap::Reset);
        EXPECT_EQ(ModifierMap::lookupModifierAction(c.fine), ModifierMap::Fine);
        EXPECT_EQ(ModifierMap::lookupModifierAction(c.linked), ModifierMap::Linked);
        EXPECT_EQ(ModifierMap::lookupModifierAction(c.fineLinked), ModifierMap::Fine | ModifierMap::Linked);
    }
    RegistryWriter(productKey(*version)).boolValue("UseProToolsShortcuts", true, true);
    ModifierMap::useHostShortcuts();
}

TEST_F(AaxWindowsEditorTest, ClosingTheEditorDuringADragLeavesNoHostEditOpen) {
    openEditor();
    const int index = indexOf(kDraggedParameter);
    pressAndDrag(controlOf(kDraggedParameter));
    ASSERT_EQ(instance->openTouches(), 1);
    view->close();
    EXPECT_EQ(instance->openTouches(), 0);
    ASSERT_FALSE(instance->hostEdits().empty());
    EXPECT_EQ(instance->hostEdits().back().kind, HostEdit::Release);
    EXPECT_EQ(instance->hostEdits().back().id, std::to_string(index));
    // The editor's window went with the container.
    EXPECT_TRUE(system.windows().empty());
}
