// The UI in a small host of the test's own: offering only the port protocol, where the editor works
// on an instance of its own, writes its edits to the control ports and follows the host's port
// events; without a parent window; and with instance access.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "EditorPlaces.h"
#include "Lv2TestHost.h"
#include "XvfbServer.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2PortLayout.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const std::string kBundle = std::string(LORIMANE_LV2_PATH) + "/Lorimane.lv2/";

// The host: a parent window, the URID map and resize features, and a record of the UI's port writes.
class PortProtocolHost {
public:
    struct Write {
        uint32_t port;
        float value;
    };

    explicit PortProtocolHost(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
        if (!display_) return;
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 400, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    ~PortProtocolHost() {
        close();
        if (display_) XCloseDisplay(display_);
    }

    // Loads the bundle's UI library (kept loaded: the process may still run its code at exit) and
    // opens the UI under the parent window, or without one for a window of its own; with the
    // running instance given, the host offers instance access too.
    bool open(bool embedded, LV2_Handle instance, std::string& error) {
        if (!display_) {
            error = "no display";
            return false;
        }
        void* library = dlopen((kBundle + "lorimane_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        auto entry = library ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor")) : nullptr;
        descriptor_ = entry ? entry(0) : nullptr;
        if (!descriptor_) {
            error = std::string("cannot load the UI library: ") + dlerror();
            return false;
        }
        idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
        show_ = static_cast<const LV2UI_Show_Interface*>(descriptor_->extension_data(LV2_UI__showInterface));
        const LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(parent_)};
        const LV2_Feature resize{LV2_UI__resize, &resize_};
        const LV2_Feature touch{LV2_UI__touch, &touch_};
        const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, instance};
        std::vector<const LV2_Feature*> features = {urids_.features[0], &resize, &touch};
        if (instance) features.push_back(&access);
        if (embedded) features.push_back(&parent);
        features.push_back(nullptr);
        LV2UI_Widget widget = nullptr;
        handle_ = descriptor_->instantiate(descriptor_, lv2turtle::kPluginUri, kBundle.c_str(), &PortProtocolHost::write,
                                           this, &widget, features.data());
        window_ = reinterpret_cast<uintptr_t>(widget);
        if (!handle_ || (embedded && !window_) || !idle_ || !show_) {
            error = "the UI did not open";
            return false;
        }
        return true;
    }
    void close() {
        if (handle_) descriptor_->cleanup(handle_);
        handle_ = nullptr;
    }

    int show() { return show_->show(handle_); }
    int hide() { return show_->hide(handle_); }
    void portEvent(uint32_t port, float value) { descriptor_->port_event(handle_, port, sizeof value, 0, &value); }
    // Runs the UI's idle calls until the condition holds; false after the time is up or once the
    // UI reports its window closed.
    template <typename Condition>
    bool idleUntil(Condition condition, int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if ((closed = idle_->idle(handle_) != 0)) return false;
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }
    // The last value written to the port, or NAN.
    float lastWrite(uint32_t port) const {
        for (auto w = writes.rbegin(); w != writes.rend(); ++w)
            if (w->port == port) return w->value;
        return NAN;
    }

    Window parentWindow() const { return parent_; }
    unsigned long window() const { return window_; }
    Display* display() const { return display_; }
    std::vector<Write> writes;
    // Writes, touches and releases in the order the UI made them ("touch 51", "write 51").
    std::vector<std::string> sequence;
    std::vector<std::pair<int, int>> sizes;
    bool closed = false;

private:
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
        if (protocol != 0 || size != sizeof(float)) return;
        auto* host = static_cast<PortProtocolHost*>(controller);
        host->writes.push_back({port, *static_cast<const float*>(buffer)});
        host->sequence.push_back("write " + std::to_string(port));
    }

    Display* display_ = nullptr;
    Window parent_ = 0;
    UridMap urids_;
    LV2UI_Resize resize_{this, [](LV2UI_Feature_Handle h, int width, int height) {
                             static_cast<PortProtocolHost*>(h)->sizes.emplace_back(width, height);
                             return 0;
                         }};
    LV2UI_Touch touch_{this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                           static_cast<PortProtocolHost*>(h)->sequence.push_back((grabbed ? "touch " : "release ") +
                                                                                 std::to_string(port));
                       }};
    const LV2UI_Descriptor* descriptor_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    const LV2UI_Show_Interface* show_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    unsigned long window_ = 0;
};

class Lv2UiPortProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gui::test::XvfbServer::haveProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
        std::string whyNot;
        if (!x_.start(whyNot, 1024, 480)) GTEST_SKIP() << whyNot;
        setenv("DISPLAY", x_.display().c_str(), 1);  // where the UI opens its connection
        host_ = std::make_unique<PortProtocolHost>(x_.display());
        std::string error;
        ASSERT_TRUE(host_->open(embedded(), instance(), error)) << error;
        plugin_ = makeProductPlugin();
        slots_ = Lv2PortLayout(*plugin_).parameters();
        // Hosts tell a new UI every control port's value.
        for (size_t slot = 0; slot < slots_.size(); ++slot) {
            AbstractPluginParameter& p = *plugin_->getParameter(slots_[slot]);
            host_->portEvent(Lv2Plugin::kFirstParameter + uint32_t(slot), Lv2Plugin::portValue(p, p.defaultValue()));
        }
    }
    virtual bool embedded() const { return true; }
    virtual LV2_Handle instance() { return nullptr; }
    void TearDown() override {
        host_.reset();
        closeInstance();
        unsetenv("DISPLAY");
    }

    virtual void closeInstance() {}
    uint32_t portOf(const std::string& name) const {
        for (size_t slot = 0; slot < slots_.size(); ++slot)
            if (plugin_->getParameter(slots_[slot])->name() == name) return Lv2Plugin::kFirstParameter + uint32_t(slot);
        ADD_FAILURE() << "no port for " << name;
        return 0;
    }
    void click(const EditorPlace& place) {
        ASSERT_TRUE(place.found);
        ASSERT_TRUE(x_.xdotool({"mousemove", "--window", std::to_string(host_->window()), std::to_string(place.x),
                                std::to_string(place.y), "click", "1"}));
    }

    gui::test::XvfbServer x_;
    std::unique_ptr<PortProtocolHost> host_;
    std::unique_ptr<GenericPlugin> plugin_;
    std::vector<int> slots_;
};

}  // namespace

// The editor opens under the host's window at its size, reports that size, and a click on a switch
// writes the switch's port between the host's touch and release. A port event then moves the switch: the next click writes the value
// toggled from the event's, and the event itself is never echoed back to the host.
TEST_F(Lv2UiPortProtocol, AnEditWritesItsPortAndAPortEventMovesTheControl) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(host_->display(), host_->window(), &root, &parent, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(parent, host_->parentWindow());
    ASSERT_FALSE(host_->sizes.empty());
    EXPECT_EQ(host_->sizes.back(), std::make_pair(plugin_->getEditorWidth(), plugin_->getEditorHeight()));

    const uint32_t autoMute = portOf("Auto Mute Self-Osc");
    const EditorPlace place = placeOfParameter("Auto Mute Self-Osc", false);
    // The initial values came from the host: nothing goes back.
    host_->idleUntil([] { return false; }, 1);
    EXPECT_TRUE(host_->writes.empty());

    click(place);
    ASSERT_TRUE(host_->idleUntil([&] { return host_->lastWrite(autoMute) == 1.0f; }, 20));
    EXPECT_EQ(host_->writes.size(), 1u) << "only the edited port is written";
    // The edit is a gesture the host can record: touch, the value, release.
    const std::string port = std::to_string(autoMute);
    EXPECT_EQ(host_->sequence, (std::vector<std::string>{"touch " + port, "write " + port, "release " + port}));

    host_->writes.clear();
    host_->portEvent(autoMute, 0.0f);
    host_->idleUntil([] { return false; }, 1);
    EXPECT_TRUE(host_->writes.empty()) << "a port event is not echoed";
    click(place);
    ASSERT_TRUE(host_->idleUntil([&] { return !host_->writes.empty(); }, 20));
    EXPECT_EQ(host_->lastWrite(autoMute), 1.0f) << "the switch followed the port event to off, the click turned it on";
}

// KNOB DRAG: a drag upwards on a knob writes rising values to its port. Points at the delay strip's
// left feedback knob; skips while the editor has no control for that parameter.
TEST_F(Lv2UiPortProtocol, AKnobDragWritesRisingValues) {
    const std::string knob = "Delay L Feedback";
    const EditorPlace place = placeOfParameter(knob, false);
    if (!place.found) GTEST_SKIP() << "the editor has no control for " << knob;
    const uint32_t port = portOf(knob);
    const std::string window = std::to_string(host_->window());
    ASSERT_TRUE(x_.xdotool({"mousemove", "--window", window, std::to_string(place.x), std::to_string(place.y),
                            "mousedown", "1"}));
    for (int step = 1; step <= 8; ++step)
        ASSERT_TRUE(x_.xdotool({"mousemove", "--window", window, std::to_string(place.x),
                                std::to_string(place.y - 6 * step)}));
    ASSERT_TRUE(x_.xdotool({"mouseup", "1"}));
    AbstractPluginParameter& p = *plugin_->getParameter(slots_[port - Lv2Plugin::kFirstParameter]);
    const float before = Lv2Plugin::portValue(p, p.defaultValue());
    ASSERT_TRUE(host_->idleUntil([&] { return host_->lastWrite(port) > before; }, 20)) << knob;
}

// A host that gives no parent shows the editor in a window of its own: the window comes with show,
// its close box ends it (idle says so), and hide and show bring it back.
class Lv2UiShown : public Lv2UiPortProtocol {
protected:
    bool embedded() const override { return false; }

    // The editor's top-level window, found by its class; 0 when none is shown.
    unsigned long shownWindow() const {
        Display* d = host_->display();
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        unsigned long found = 0;
        if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a;
            XClassHint hint{};
            if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
            if (XGetClassHint(d, children[i], &hint)) {
                if (hint.res_name && std::string(hint.res_name) == "lorimane") found = children[i];
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children) XFree(children);
        return found;
    }
    // What a window manager sends when the user closes the window.
    void askToClose(unsigned long window) const {
        Display* d = host_->display();
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        XSendEvent(d, window, False, NoEventMask, &e);
        XFlush(d);
    }
};

TEST_F(Lv2UiShown, ShowsAWindowOfItsOwnThatTheUserCanClose) {
    EXPECT_EQ(host_->window(), 0u) << "no widget without a parent";
    EXPECT_EQ(shownWindow(), 0u);
    ASSERT_EQ(host_->show(), 0);
    ASSERT_TRUE(host_->idleUntil([&] { return shownWindow() != 0; }, 20));
    EXPECT_TRUE(host_->sizes.empty()) << "a window of its own is not the host's to resize";

    askToClose(shownWindow());
    EXPECT_FALSE(host_->idleUntil([] { return false; }, 20));
    EXPECT_TRUE(host_->closed) << "idle reports the closed window";
    ASSERT_EQ(host_->hide(), 0);
    XSync(host_->display(), False);
    EXPECT_EQ(shownWindow(), 0u);

    ASSERT_EQ(host_->show(), 0);
    EXPECT_TRUE(host_->idleUntil([&] { return shownWindow() != 0; }, 20));
    EXPECT_FALSE(host_->closed);
}

// A host that offers instance access: the editor edits the running plug-in object, and every change
// of its parameters, the editor's or one made inside the plug-in (a preset, MIDI learn), is written
// to the host's ports; a change the host made itself is not written back.
class Lv2UiInstanceAccess : public Lv2UiPortProtocol {
protected:
    LV2_Handle instance() override {
        void* library = dlopen((kBundle + "lorimane.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        auto entry = library ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor")) : nullptr;
        plugInDescriptor_ = entry ? entry(0) : nullptr;
        if (!plugInDescriptor_) return nullptr;
        handle_ = plugInDescriptor_->instantiate(plugInDescriptor_, 48000.0, kBundle.c_str(), worker_.features);
        return handle_;
    }
    void closeInstance() override {
        if (handle_) plugInDescriptor_->cleanup(handle_);
        handle_ = nullptr;
    }
    GenericPlugin& running() const { return static_cast<Lv2Plugin*>(handle_)->plugin(); }
    int parameterIndex(const std::string& name) const {
        for (int i = 0; i < running().getParameterCount(); ++i)
            if (running().getParameter(i)->name() == name) return i;
        return -1;
    }

    UridMap urids_;
    WorkerHost worker_{urids_};
    const LV2_Descriptor* plugInDescriptor_ = nullptr;
    LV2_Handle handle_ = nullptr;
};

TEST_F(Lv2UiInstanceAccess, EditsTheRunningPlugInAndReportsItsChangesToTheHost) {
    ASSERT_NE(handle_, nullptr);
    AbstractPluginParameter& autoMute = *running().getParameter(parameterIndex("Auto Mute Self-Osc"));
    click(placeOfParameter("Auto Mute Self-Osc", false));
    ASSERT_TRUE(host_->idleUntil([&] { return autoMute.value() == 1.0f; }, 20)) << "the click reached the running plug-in";
    EXPECT_TRUE(host_->idleUntil([&] { return host_->lastWrite(portOf("Auto Mute Self-Osc")) == 1.0f; }, 20));

    // A change inside the plug-in reaches the host's port in the next idle call.
    AbstractPluginParameter& feedback = *running().getParameter(parameterIndex("Delay L Feedback"));
    const float inside = feedback.maxValue();
    feedback.setValue(inside, 0);
    const uint32_t feedbackPort = portOf("Delay L Feedback");
    EXPECT_TRUE(host_->idleUntil([&] { return host_->lastWrite(feedbackPort) == Lv2Plugin::portValue(feedback, inside); }, 20));

    // The host moves its port: the instance takes the value; the host hears nothing back.
    host_->writes.clear();
    const float fromHost = feedback.minValue();
    host_->portEvent(feedbackPort, Lv2Plugin::portValue(feedback, fromHost));
    feedback.setValue(fromHost, FromHost);
    host_->idleUntil([] { return false; }, 1);
    EXPECT_TRUE(host_->writes.empty());
}
