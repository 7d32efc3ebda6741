#include "EditorPlaces.h"

#include <memory>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/RootControl.h"
#include "gui/SelectButton.h"
#include "gui/ValueControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/EditorHost.h"
#include "interface/LorimaneEditor.h"
#include "interface/LorimaneInterface.h"
#include "product/ProductPlugin.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

class AcceptingHost : public EditorHost {
public:
    bool resizeRequested(int, int) override { return true; }
};

EditorPlace centreOf(const gui::Control& control) {
    gui::Point centre = control.toRoot({control.width() / 2, control.height() / 2});
    return {true, centre.x, centre.y};
}

const gui::Control* boundTo(const gui::Control& control, int parameter) {
    if (auto* value = dynamic_cast<const gui::ValueControl*>(&control); value && value->parameterIndex == parameter)
        return &control;
    for (const gui::Control* child : control.children())
        if (const gui::Control* found = boundTo(*child, parameter)) return found;
    return nullptr;
}

// Builds the editor in the layout and hands its root and frame to the query.
template <typename Query>
EditorPlace inEditor(bool wide, Query query) {
    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    const int height = plugin->getEditorHeight();
    gui::WindowInterface ui(system, nullptr, gui::Rect(0, 0, plugin->getEditorWidth(), height));
    AcceptingHost host;
    auto editor = createLorimaneEditor(*plugin, ui, host);
    auto* frame = dynamic_cast<LorimaneInterface*>(editor.get());
    gui::RootControl* root = ui.getRootControl();
    if (!frame || !root) return {};
    root->setSize(wide ? LorimaneInterface::kWideWidth : LorimaneInterface::kNormalWidth, height);
    frame->layoutEditor();
    return query(*plugin, *root, *frame);
}

}  // namespace

EditorPlace placeOfParameter(const std::string& parameterName, bool wide) {
    return inEditor(wide, [&](GenericPlugin& plugin, gui::RootControl& root, LorimaneInterface&) {
        for (int i = 0; i < plugin.getParameterCount(); ++i)
            if (plugin.getParameter(i)->name() == parameterName)
                if (const gui::Control* control = boundTo(root, i); control && control->visible) return centreOf(*control);
        return EditorPlace{};
    });
}

EditorPlace placeOfLayoutSelect(bool wide) {
    return inEditor(wide, [](GenericPlugin&, gui::RootControl&, LorimaneInterface& frame) {
        return frame.resizeButton() ? centreOf(*frame.resizeButton()) : EditorPlace{};
    });
}

EditorPlace placeOfMenuEntry(int entry) {
    // The drawn menu: a 2-pixel border, then rows of 20 pixels (no separators in the selects).
    return {true, 40, 2 + 20 * entry + 10};
}

bool grabWindow(const std::string& display, unsigned long window, gui::Bitmap& picture) {
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return false;
    XWindowAttributes attributes;
    bool ok = false;
    if (XGetWindowAttributes(d, window, &attributes) && attributes.map_state == IsViewable) {
        // Read from the root, so that what the server composed (children, OpenGL) is in the picture.
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
        if (XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, unsigned(attributes.width),
                                      unsigned(attributes.height), AllPlanes, ZPixmap)) {
            picture.setSize(attributes.width, attributes.height);
            std::vector<uint8_t> rgba(size_t(attributes.width) * 4);
            for (int row = 0; row < attributes.height; ++row) {
                for (int column = 0; column < attributes.width; ++column) {
                    unsigned long pixel = XGetPixel(image, column, row);
                    uint8_t* p = &rgba[size_t(column) * 4];
                    p[0] = uint8_t((pixel >> 16) & 0xFF);
                    p[1] = uint8_t((pixel >> 8) & 0xFF);
                    p[2] = uint8_t(pixel & 0xFF);
                    p[3] = 255;
                }
                picture.setRow(row, rgba.data());
            }
            XDestroyImage(image);
            ok = true;
        }
    }
    XCloseDisplay(d);
    return ok;
}
