#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericPlugin.h"
#include "gui/Bitmap.h"
#include "gui/RootControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/ParameterEditor.h"
#include "product/ProductPlugin.h"
#include "streams/Resource.h"

namespace interface_test {

// One of the editor's embedded images.
inline std::unique_ptr<gui::Bitmap> image(const std::string& name) {
    auto bitmap = std::make_unique<gui::Bitmap>();
    bitmap->load(*openResource(name + ".png"));
    return bitmap;
}

// The editor frame as controls see it, over a real plug-in: edits land in the parameters at once,
// and every gesture is written down ("begin NAME", "set NAME", "end NAME").
class FakeParameterEditor : public ParameterEditor {
public:
    explicit FakeParameterEditor(GenericPlugin& plugin) : plugin_(plugin) {}

    AbstractPluginParameter* parameter(int index) const override {
        return index >= 0 && index < plugin_.getParameterCount() ? plugin_.getParameter(index) : nullptr;
    }
    void beginEdit(int index) override {
        log.push_back("begin " + name(index));
        ++open[index];
    }
    void setNormalized(int index, float normalized) override {
        if (open[index] <= 0) log.push_back("set outside a gesture " + name(index));
        AbstractPluginParameter* p = parameter(index);
        p->setValue(p->normalizedToPlain(normalized), 0);
        ++sets;
    }
    void endEdit(int index) override {
        log.push_back("end " + name(index));
        --open[index];
    }
    void bindControl(int index, gui::ValueControl* control) override { bound[index] = control; }
    void unbindControl(int index, gui::ValueControl*) override { bound.erase(index); }
    void refreshControls() override { ++refreshes; }
    bool midiLearnActive() const override { return learning; }
    void showHint(const std::string& text) override { hint = text; }

    int index(const std::string& parameterName) const {
        for (int i = 0; i < plugin_.getParameterCount(); ++i)
            if (plugin_.getParameter(i)->name() == parameterName) return i;
        ADD_FAILURE() << "no parameter " << parameterName;
        return -1;
    }
    std::string name(int index) const { return parameter(index) ? parameter(index)->name() : "?"; }
    float normalized(int index) const {
        const AbstractPluginParameter* p = parameter(index);
        return p->plainToNormalized(p->value());
    }
    float value(int index) const { return parameter(index)->value(); }
    std::string text(int index) const { return parameter(index)->plainToText(parameter(index)->value()); }
    void setValue(int index, float plain) { parameter(index)->setValue(plain, 0); }
    // Every gesture begun was ended.
    bool balanced() const {
        for (const auto& [i, n] : open)
            if (n != 0) return false;
        return true;
    }
    std::vector<std::string> takeLog() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    std::vector<std::string> log;
    std::map<int, int> open;
    std::map<int, gui::ValueControl*> bound;
    int sets = 0;
    int refreshes = 0;
    bool learning = false;
    std::string hint;

private:
    GenericPlugin& plugin_;
};

// A headless window of 640 x 320 with a live plug-in and the fake editor over it.
class EditorFixture : public ::testing::Test {
protected:
    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    FakeParameterEditor editor{*plugin};
    std::unique_ptr<gui::WindowInterface> ui =
        std::make_unique<gui::WindowInterface>(system, nullptr, gui::Rect{0, 0, 640, 320});

    gui::native::HeadlessWindow& window() { return *system.windows().front(); }
    gui::RootControl& root() { return *ui->getRootControl(); }
    // Mouse input in window coordinates; keys are the platform's key-state bits.
    void press(int x, int y, int keys = 0) { window().pressButton(0, x, y, keys); }
    void move(int x, int y, int keys = 0) { window().moveMouse(x, y, keys); }
    void release(int x, int y, int keys = 0) { window().releaseButton(0, x, y, keys); }
    void drag(int x1, int y1, int x2, int y2, int steps, int keys = 0) {
        press(x1, y1, keys);
        for (int i = 1; i <= steps; ++i) move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, keys);
        release(x2, y2, keys);
    }
};

}  // namespace interface_test
