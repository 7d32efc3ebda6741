#pragma once

#include <memory>
#include <vector>

#include "GuiFixture.h"
#include "gui/Bitmap.h"
#include "gui/ModifierMap.h"
#include "gui/ValueControl.h"
#include "gui/native/Window.h"

namespace gui::test {

// Records what a value control tells its listener.
class EditRecorder : public ValueControlListener {
public:
    int maxLinkedChange(ValueControl*, int) override { return linkedChange; }
    void valueEdited(ValueControl* control, int phase, int delta) override {
        calls.push_back({control, phase, delta});
    }
    int count(int phase) const {
        int n = 0;
        for (const Call& c : calls) n += c.phase == phase ? 1 : 0;
        return n;
    }

    struct Call {
        ValueControl* control;
        int phase;
        int delta;
    };
    std::vector<Call> calls;
    int linkedChange = 0;
};

// A window with value controls in it, input injected as platform messages on the manual clock.
// Every test starts and ends with the default modifier table.
class ValueControlFixture : public GuiFixture {
protected:
    static constexpr int kShift = native::KeyShift;
    static constexpr int kCtrl = native::KeyCtrl;
    static constexpr int kAlt = native::KeyAlt;

    ValueControlFixture() { ModifierMap::useDefaults(); }
    ~ValueControlFixture() override { ModifierMap::useDefaults(); }

    // A picture of one colour; alpha 0 makes it transparent.
    Bitmap* picture(int width, int height, Rgba colour = {200, 200, 200, 255}) {
        auto b = std::make_unique<Bitmap>();
        b->setSize(width, height);
        b->clear();
        b->fillRect(b->bounds(), colour);
        pictures_.push_back(std::move(b));
        return pictures_.back().get();
    }
    void press(int x, int y, int keys = 0) {
        window().moveMouse(x, y, keys);
        window().pressButton(native::LeftButton, x, y, keys);
    }
    void move(int x, int y, int keys = 0) { window().moveMouse(x, y, keys); }
    void release(int x, int y, int keys = 0) { window().releaseButton(native::LeftButton, x, y, keys); }
    void wait(uint32_t ms) { system.advance(ms); }
    void notch(float notches, int x, int y, int keys = 0) { window().turnWheel(notches, x, y, keys); }

private:
    std::vector<std::unique_ptr<Bitmap>> pictures_;
};

}  // namespace gui::test
