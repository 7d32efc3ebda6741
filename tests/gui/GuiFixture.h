#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/RootControl.h"
#include "gui/UserInterface.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"

namespace gui::test {

// A control that writes what happens to it into a shared log.
class Probe : public Control {
public:
    Probe(UserInterface* ui, std::string name, std::vector<std::string>* log)
        : Control(ui), name_(std::move(name)), log_(log) {}

    bool handlesWheel = false;
    bool logPaint = false;
    int alpha = 255;
    std::vector<Rect> paintClips;
    std::vector<Rect> passedUp;
    struct WheelCall {
        int phase;
        Point point;
        int flags;
        float speedX, speedY, pixelsX, pixelsY;
    };
    std::vector<WheelCall> wheels;
    int lastFlags = 0;

    void clicked() override {
        note("click");
        Control::clicked();
    }
    void doubleClicked(int b, Point p, int f) override {
        note("double");
        Control::doubleClicked(b, p, f);
    }
    void rightClicked() override {
        note("rightclick");
        Control::rightClicked();
    }
    void mouseDown(int b, Point p, int f) override {
        lastFlags = f;
        note("down" + std::to_string(b) + at(p));
        Control::mouseDown(b, p, f);
    }
    void mouseUp(int b, Point p, int f) override {
        note("up" + std::to_string(b) + at(p));
        Control::mouseUp(b, p, f);
    }
    void mouseEntered() override {
        note("enter");
        Control::mouseEntered();
    }
    void mouseExited() override {
        note("exit");
        Control::mouseExited();
    }
    bool wheel(int phase, Point p, int f, float sx, float sy, float px, float py) override {
        if (!handlesWheel) return Control::wheel(phase, p, f, sx, sy, px, py);
        wheels.push_back({phase, p, f, sx, sy, px, py});
        note("wheel" + std::to_string(phase));
        return true;
    }
    int hitAlpha(Point) const override { return alpha; }
    void paint(Canvas& canvas) override {
        paintClips.push_back(canvas.clip());
        if (logPaint) note("paint");
    }
    void invalidateInParent(const Rect& r) override {
        passedUp.push_back(r);
        Control::invalidateInParent(r);
    }

private:
    static std::string at(Point p) { return "@" + std::to_string(p.x) + "," + std::to_string(p.y); }
    void note(const std::string& what) {
        if (log_) log_->push_back(name_ + ":" + what);
    }
    std::string name_;
    std::vector<std::string>* log_;
};

// One headless window with its user interface; the root is 200 x 100.
class GuiFixture : public ::testing::Test {
protected:
    native::HeadlessWindowSystem system;
    std::unique_ptr<WindowInterface> ui =
        std::make_unique<WindowInterface>(system, nullptr, Rect{0, 0, 200, 100});
    std::vector<std::string> log;

    native::HeadlessWindow& window() { return *system.windows().front(); }
    RootControl& root() { return *ui->getRootControl(); }

    // A probe attached to parent (the root when none); the user interface deletes it.
    Probe* probe(const std::string& name, Rect r, Control* parent = nullptr) {
        auto* p = new Probe(ui.get(), name, &log);
        p->bounds = r;
        p->parent = parent ? parent : &root();
        return p;
    }
    std::vector<std::string> takeLog() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
};

using Log = std::vector<std::string>;

}  // namespace gui::test
