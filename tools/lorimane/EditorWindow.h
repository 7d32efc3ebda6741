#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "interface/EditorHost.h"

class GenericPlugin;
class GenericPluginInterface;
class AsyncEventQueue;

namespace gui {
class WindowInterface;
namespace native {
class X11WindowSystem;
}
}  // namespace gui

// The product's editor in a top-level X11 window of its own, drawn through OpenGL unless the
// "GraphicsAcceleration" setting is 0. Runs the UI thread's loop. [ui]
class EditorWindow : public EditorHost {
public:
    // Null with a message when the display cannot be opened.
    static std::unique_ptr<EditorWindow> open(GenericPlugin& plugin, const std::string& title, std::string& error);
    ~EditorWindow() override;

    // The callback runs on the UI thread whenever the descriptor is readable.
    void watch(int fd, std::function<void()> ready);
    // Runs until the window is closed or quit() is called (true), or the display goes away (false).
    bool run();
    void quit();

    bool resizeRequested(int width, int height) override;

    // Runs when the connection to the display breaks; Xlib ends the process once it returns.
    static void setDisplayLostHandler(std::function<void()> handler);

private:
    EditorWindow() = default;

    std::unique_ptr<gui::native::X11WindowSystem> system_;
    std::unique_ptr<AsyncEventQueue> queue_;
    std::unique_ptr<gui::WindowInterface> ui_;
    std::unique_ptr<GenericPluginInterface> editor_;
    std::vector<int> watched_;
};
