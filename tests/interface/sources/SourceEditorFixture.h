#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericPlugin.h"
#include "gui/RootControl.h"
#include "gui/ValueControl.h"
#include "gui/ValueControlListener.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindow.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/SourceLayout.h"
#include "product/ProductPlugin.h"

namespace sources::test {

// The editor frame as the source panels see it, over a live plug-in: bound controls follow every
// parameter change and their edits set the parameters; gestures are counted so that a test can
// tell that every begin was ended.
class FakeParameterEditor : public ParameterEditor, public gui::ValueControlListener {
public:
    explicit FakeParameterEditor(GenericPlugin& plugin) : plugin_(plugin) {}

    AbstractPluginParameter* parameter(int index) const override { return plugin_.getParameter(index); }
    void beginEdit(int index) override { ++open[index]; }
    void setNormalized(int index, float normalized) override {
        AbstractPluginParameter* p = parameter(index);
        if (!p) return;
        p->setValue(p->normalizedToPlain(normalized), 0);
        show(index);
    }
    void endEdit(int index) override { --open[index]; }
    void bindControl(int index, gui::ValueControl* control) override {
        bound_[index].push_back(control);
        control->setListener(this);
        control->parameterIndex = index;
        showOn(index, control);
    }
    void unbindControl(int index, gui::ValueControl* control) override {
        std::erase(bound_[index], control);
        if (control->listener() == this) control->setListener(nullptr);
        control->parameterIndex = -1;
    }
    void refreshControls() override {
        for (auto& [index, controls] : bound_) show(index);
    }
    bool midiLearnActive() const override { return false; }
    void showHint(const std::string& text) override { hints.push_back(text); }

    int maxLinkedChange(gui::ValueControl*, int) override { return 0; }
    void valueEdited(gui::ValueControl* control, int phase, int) override {
        const int index = control->parameterIndex;
        if (phase == Begin) beginEdit(index);
        if (phase == Change) setNormalized(index, float(control->toNormalized()));
        if (phase == End) endEdit(index);
    }

    // Plain values.
    float value(int index) const { return parameter(index)->value(); }
    void setPlain(int index, float plain) {
        AbstractPluginParameter* p = parameter(index);
        setNormalized(index, p->plainToNormalized(plain));
    }
    int boundCount() const {
        int n = 0;
        for (const auto& [index, controls] : bound_) n += int(controls.size());
        return n;
    }
    bool allGesturesEnded() const {
        return std::all_of(open.begin(), open.end(), [](const auto& e) { return e.second == 0; });
    }

    std::map<int, int> open;
    std::vector<std::string> hints;

private:
    void show(int index) {
        // A copy: a control's handler may bind or unbind.
        const std::vector<gui::ValueControl*> controls = bound_[index];
        for (gui::ValueControl* c : controls)
            if (!c->isEditing()) showOn(index, c);
    }
    void showOn(int index, gui::ValueControl* c) {
        AbstractPluginParameter* p = parameter(index);
        if (p) c->value = c->fromNormalized(p->plainToNormalized(p->value()));
    }

    GenericPlugin& plugin_;
    std::map<int, std::vector<gui::ValueControl*>> bound_;
};

// A headless window with the live plug-in, its source layout and the fake editor; input arrives
// as platform messages on the manual clock, in root coordinates.
class SourceEditorFixture : public ::testing::Test {
protected:
    static constexpr int kShift = gui::native::KeyShift;
    static constexpr int kCtrl = gui::native::KeyCtrl;

    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    SourceLayout layout{*plugin};
    FakeParameterEditor editor{*plugin};
    std::unique_ptr<gui::WindowInterface> ui =
        std::make_unique<gui::WindowInterface>(system, nullptr, gui::Rect{0, 0, 900, 320});

    ~SourceEditorFixture() override { ui.reset(); }

    gui::native::HeadlessWindow& window() { return *system.windows().front(); }
    gui::RootControl& root() { return *ui->getRootControl(); }

    // Presses are spaced out so that none becomes a double-click.
    void press(gui::Point p, int keys = 0) {
        system.advance(600);
        window().moveMouse(p.x, p.y, keys);
        window().pressButton(gui::native::LeftButton, p.x, p.y, keys);
    }
    void move(gui::Point p, int keys = 0) { window().moveMouse(p.x, p.y, keys); }
    void release(gui::Point p, int keys = 0) { window().releaseButton(gui::native::LeftButton, p.x, p.y, keys); }
    void click(gui::Point p, int keys = 0) {
        press(p, keys);
        release(p, keys);
    }
    // A drag in small steps, as a hand makes it.
    void drag(gui::Point from, gui::Point to, int keys = 0) {
        press(from, keys);
        for (int k = 1; k <= 10; ++k)
            move({from.x + (to.x - from.x) * k / 10, from.y + (to.y - from.y) * k / 10}, keys);
        release(to, keys);
    }
    static gui::Point centreOf(const gui::Control& c) { return c.toRoot({c.width() / 2, c.height() / 2}); }
};

}  // namespace sources::test
