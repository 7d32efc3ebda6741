#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiFixture.h"
#include "XvfbServer.h"
#include "gui/Label.h"
#include "gui/Shape.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"

namespace gui::test {

// A frame, a label and a translucent shape over the root's background.
inline void buildTree(UserInterface& ui, RootControl& root) {
    auto* frame = new Shape(&ui);
    frame->bounds = Rect{8, 8, 120, 60};
    frame->borderWidth = 2;
    frame->borderColour = Rgba{20, 40, 200, 255};
    frame->fillColour = Rgba{250, 200, 30, 160};
    frame->parent = &root;
    auto* label = new Label(&ui);
    label->bounds = Rect{20, 64, 190, 90};
    label->text().text = "Feedback 42 %";
    label->text().size = 10;
    label->text().colour = Rgba{255, 255, 255, 255};
    label->parent = &root;
    auto* glass = new Shape(&ui);
    glass->bounds = Rect{100, 20, 180, 80};
    glass->fillColour = Rgba{0, 120, 60, 90};
    glass->parent = &root;
}

// A private Xvfb, the X11 window system on it and one top-level window of 200 x 100 at (20, 20).
// Skips when Xvfb or xdotool cannot be had.
class X11Fixture : public ::testing::Test {
protected:
    XvfbServer server;
    std::unique_ptr<native::X11WindowSystem> system;
    std::unique_ptr<WindowInterface> ui;
    std::vector<std::string> log;

    void SetUp() override {
        if (!XvfbServer::haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
        // A modal loop whose answer never arrives ends the test instead of hanging the run.
        alarm(60);
        std::string why;
        if (!server.start(why)) GTEST_SKIP() << why;
        system = native::X11WindowSystem::open(server.display().c_str());
        ASSERT_TRUE(system) << "no connection to " << server.display();
    }
    void TearDown() override {
        alarm(0);
        ui.reset();
        system.reset();
        server.stop();
    }

    void openWindow(Rect bounds = Rect{20, 20, 220, 120}, void* parent = nullptr) {
        ui = std::make_unique<WindowInterface>(*system, parent, bounds);
        // Shown and painted once before anything is injected.
        ASSERT_TRUE(pumpUntil([&] { return window().presentCount() > 0; }));
    }
    native::X11Window& window() { return static_cast<native::X11Window&>(ui->window()); }
    std::string windowId() { return std::to_string(window().id()); }
    RootControl& root() { return *ui->getRootControl(); }

    Probe* probe(const std::string& name, Rect r) {
        auto* p = new Probe(ui.get(), name, &log);
        p->bounds = r;
        p->parent = &root();
        return p;
    }
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
        return system->runUntil(done, timeoutMs);
    }
    // Lets the loop handle what the server has queued for a short while.
    void settle(int ms = 60) {
        system->sync();
        system->runUntil(nullptr, ms);
    }
    bool logHas(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
    bool waitForLog(const std::string& entry) {
        return pumpUntil([&] { return logHas(entry); });
    }
    // xdotool with the pointer placed in our window first.
    bool at(int x, int y, std::vector<std::string> then = {}) {
        std::vector<std::string> args = {"mousemove", "--window", windowId(), std::to_string(x),
                                         std::to_string(y)};
        args.insert(args.end(), then.begin(), then.end());
        const bool ok = server.xdotool(args);
        settle();
        return ok;
    }
};

}  // namespace gui::test
