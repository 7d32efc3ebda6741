// The editor inside jalv.gtk3 (a real LV2 host embedding X11 UIs through its toolkit wrapper), under
// an X server and a JACK server of the test's own, driven with xdotool. What the editor did is read
// back from the state jalv saves.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "EditorPlaces.h"
#include "ExternalHosts.h"
#include "TemporaryFolder.h"
#include "XvfbServer.h"
#include "gui/Bitmap.h"
#include "host/lv2/Lv2Turtle.h"
#include "interface/LorimaneInterface.h"
#include "tools/png-writer/PngWriter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

namespace fs = std::filesystem;

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Polls every 50 ms until the condition holds or the time is up.
bool within(int seconds, const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// The control port values of a state jalv saved, by symbol.
std::map<std::string, float> stateValues(const std::string& stateFile) {
    std::map<std::string, float> values;
    const std::string text = readText(stateFile);
    static const std::regex port(R"re(lv2:symbol "([a-z0-9_]+)" ;\s*pset:value ([-+0-9.eE]+))re");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), port); m != std::sregex_iterator(); ++m)
        values[(*m)[1]] = std::stof((*m)[2]);
    return values;
}

// The share of pixels that differ between two pictures of the same size (1 when the sizes differ).
double difference(const gui::Bitmap& a, const gui::Bitmap& b, int top) {
    if (a.width() != b.width() || a.height() != b.height() || a.height() <= top) return 1.0;
    long differing = 0;
    for (int y = top; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    return double(differing) / (double(a.width()) * (a.height() - top));
}

// The test's own connection to the X server: finds windows and reads their geometry.
class Screen {
public:
    explicit Screen(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~Screen() {
        if (display_) XCloseDisplay(display_);
    }
    bool connected() const { return display_ != nullptr; }

    // The first viewable window whose class hint names the program; 0 when none.
    unsigned long findByClass(const std::string& name) const { return find(DefaultRootWindow(display_), name, true); }
    unsigned long findByTitle(const std::string& title) const { return find(DefaultRootWindow(display_), title, false); }
    unsigned long topLevelOf(unsigned long window) const {
        Window root, parent = window, *children = nullptr;
        unsigned count = 0;
        for (Window w = window; XQueryTree(display_, w, &root, &parent, &children, &count); w = parent) {
            if (children) XFree(children);
            if (parent == root) return w;
        }
        return 0;
    }
    std::pair<int, int> size(unsigned long window) const {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display_, window, &a)) return {0, 0};
        return {a.width, a.height};
    }

private:
    unsigned long find(Window window, const std::string& name, bool byClass) const {
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, window, &a) && a.map_state == IsViewable) {
            if (byClass) {
                XClassHint hint{};
                if (XGetClassHint(display_, window, &hint)) {
                    const bool match = hint.res_name && name == hint.res_name;
                    XFree(hint.res_name);
                    XFree(hint.res_class);
                    if (match) return window;
                }
            } else {
                char* title = nullptr;
                if (XFetchName(display_, window, &title) && title) {
                    const bool match = name == title;
                    XFree(title);
                    if (match) return window;
                }
            }
        }
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        unsigned long found = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) found = find(children[i], name, byClass);
            if (children) XFree(children);
        }
        return found;
    }

    Display* display_;
};

class JalvEditor : public ::testing::Test {
protected:
    void SetUp() override {
        LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
        for (const char* program : {"jalv.gtk3", "jackd", "jack_wait", "xdotool"})
            if (!onPath(program)) GTEST_SKIP() << program << " is not installed";
        std::string whyNot;
        if (!x_.start(whyNot, 1280, 800)) GTEST_SKIP() << whyNot;
        screen_ = std::make_unique<Screen>(x_.display());
        ASSERT_TRUE(screen_->connected());
        fs::create_directories(folder_ / "home");
    }

    // jalv.gtk3 with the plug-in; null when it could not join the JACK server.
    std::unique_ptr<Child> startJalv(const DummyJackServer& jack, const std::vector<std::string>& options,
                                     const std::string& log) {
        std::vector<std::string> environment = jack.environment();
        environment.insert(environment.end(), {"DISPLAY=" + x_.display(), "LV2_PATH=" + std::string(LORIMANE_LV2_PATH),
                                               "HOME=" + (folder_ / "home"), "XDG_CONFIG_HOME=" + (folder_ / "home"),
                                               "NO_AT_BRIDGE=1", "GTK_A11Y=none"});
        std::vector<std::string> args = {"jalv.gtk3"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(lv2turtle::kPluginUri);
        return std::make_unique<Child>(args, environment, "", log);
    }
    // The editor's window once it is shown and painted; 0 after the time is up.
    unsigned long waitForEditor(int seconds) {
        unsigned long editor = 0;
        within(seconds, [&] { return (editor = screen_->findByClass("lorimane")) != 0; });
        return editor;
    }

    bool xdotool(const std::vector<std::string>& args) { return x_.xdotool(args); }
    bool clickIn(unsigned long window, int x, int y) {
        return xdotool({"mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y), "click", "1"});
    }
    bool click(unsigned long window, const EditorPlace& place) { return place.found && clickIn(window, place.x, place.y); }
    // Opens a select of the editor and picks an entry of the menu it pops up.
    bool choose(unsigned long editor, const EditorPlace& select, int entry) {
        if (!click(editor, select)) return false;
        unsigned long menu = 0;
        if (!within(20, [&] { return (menu = screen_->findByTitle("menu")) != 0; })) return false;
        const EditorPlace item = placeOfMenuEntry(entry);
        if (!clickIn(menu, item.x, item.y)) return false;
        return within(20, [&] { return screen_->findByTitle("menu") == 0; });
    }
    // jalv's File > Save into the folder; false when no state appeared.
    bool saveState(unsigned long jalvWindow, const std::string& folder) {
        if (!clickIn(jalvWindow, 15, 12)) return false;  // the File menu
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!xdotool({"key", "Down", "Return"})) return false;  // its first entry: Save
        if (!within(20, [&] { return screen_->findByTitle("Save State") != 0; })) return false;
        const unsigned long dialog = screen_->findByTitle("Save State");
        // The chooser types only with the keyboard focus (no window manager gives it).
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!xdotool({"windowfocus", std::to_string(dialog)})) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!xdotool({"type", "--delay", "20", folder})) return false;
        // The chooser may first answer Return by completing the name; each further Return saves.
        const std::string state = folder + "/state.ttl";
        for (int attempt = 0; attempt < 8 && !fs::exists(state); ++attempt) {
            xdotool({"key", "Return"});
            within(3, [&] { return fs::exists(state); });
        }
        return within(10, [&] { return fs::exists(state) && readText(state).find("pset:value") != std::string::npos; });
    }
    // Writes the picture where LORIMANE_SHOT_DIR says, when it is set.
    void keepShot(unsigned long window, const std::string& name) {
        const char* dir = std::getenv("LORIMANE_SHOT_DIR");
        gui::Bitmap picture;
        if (!dir || !grabWindow(x_.display(), window, picture)) return;
        fs::create_directories(dir);
        EXPECT_TRUE(writePng(picture, std::string(dir) + "/" + name));
    }
    // Waits until the editor's picture stays the same for half a second.
    bool settled(unsigned long editor, gui::Bitmap& picture) {
        gui::Bitmap last;
        return within(20, [&] {
            if (!grabWindow(x_.display(), editor, picture)) return false;
            const bool same = difference(picture, last, 0) == 0.0;
            last.copyFrom(picture);
            if (!same) std::this_thread::sleep_for(std::chrono::milliseconds(450));
            return same;
        });
    }

    gui::test::XvfbServer x_;
    std::unique_ptr<Screen> screen_;
    TemporaryFolder folder_;
};

}  // namespace

// jalv embeds the editor in its window; a click on the auto-mute switch and a choice in the channel
// mode select reach the plug-in (they are in the state jalv saves), the Wide layout resizes the
// embedded window and jalv's with it, and jalv started again from the saved state shows the editor
// as it was left.
TEST_F(JalvEditor, EditsReachThePlugInAndTheEditorComesBackAsItWasLeft) {
    // JACK's clients now and then miss their start on a loaded machine: a fresh session is tried.
    std::unique_ptr<DummyJackServer> jack;
    std::unique_ptr<Child> jalv;
    unsigned long editor = 0;
    std::string failure;
    for (int attempt = 0; attempt < 3 && !editor; ++attempt) {
        jalv.reset();
        jack.reset();
        jack = std::make_unique<DummyJackServer>("ui" + std::to_string(attempt), folder_ / "jackd.log");
        if (!jack->started()) continue;
        const std::string log = folder_ / ("jalv1-" + std::to_string(attempt) + ".log");
        jalv = startJalv(*jack, {}, log);
        editor = waitForEditor(60);
        if (!editor) failure += readText(log);
    }
    ASSERT_NE(editor, 0u) << failure;
    const unsigned long top = screen_->topLevelOf(editor);
    ASSERT_NE(top, 0u);
    EXPECT_NE(top, editor) << "the editor is embedded in jalv's window";
    EXPECT_GE(screen_->size(top).first, LorimaneInterface::kNormalWidth);
    EXPECT_EQ(screen_->size(editor).first, LorimaneInterface::kNormalWidth);

    ASSERT_TRUE(click(editor, placeOfParameter("Auto Mute Self-Osc", false)));
    ASSERT_TRUE(choose(editor, placeOfParameter("Channel Mode", false), 1));
    // KNOB DRAG: a drag upwards on the delay strip's left feedback knob, once the editor has it.
    const EditorPlace knob = placeOfParameter("Delay L Feedback", false);
    if (knob.found) {
        const std::string window = std::to_string(editor);
        ASSERT_TRUE(xdotool({"mousemove", "--window", window, std::to_string(knob.x), std::to_string(knob.y), "mousedown", "1"}));
        for (int step = 1; step <= 8; ++step)
            ASSERT_TRUE(xdotool({"mousemove", "--window", window, std::to_string(knob.x), std::to_string(knob.y - 6 * step)}));
        ASSERT_TRUE(xdotool({"mouseup", "1"}));
    }
    xdotool({"mousemove", "1270", "790"});  // away from the controls: no rollover in the pictures
    gui::Bitmap picture;
    ASSERT_TRUE(settled(editor, picture));
    keepShot(top, "jalv-normal.png");

    ASSERT_TRUE(choose(editor, placeOfLayoutSelect(false), 1));
    ASSERT_TRUE(within(20, [&] { return screen_->size(editor).first == LorimaneInterface::kWideWidth; }))
        << screen_->size(editor).first;
    EXPECT_TRUE(within(20, [&] { return screen_->size(top).first >= LorimaneInterface::kWideWidth; }))
        << "jalv's window makes room for the wide editor";
    xdotool({"mousemove", "1270", "790"});
    gui::Bitmap wide;
    ASSERT_TRUE(settled(editor, wide));
    keepShot(top, "jalv-wide.png");

    const std::string saved = folder_ / "state";
    ASSERT_TRUE(saveState(top, saved)) << "jalv did not save its state";
    std::map<std::string, float> values = stateValues(saved + "/state.ttl");
    EXPECT_EQ(values["auto_mute_self_osc"], 1.0f);
    EXPECT_EQ(values["channel_mode"], 1.0f);
    if (knob.found) {
        EXPECT_GT(values["delay_l_feedback"], 0.0f);
    }
    jalv->stop(5);

    // Opened again, over the saved state: the same editor, pixel for pixel below the top bar (the
    // preset name's modified mark is the instance's, not the state's).
    jalv = startJalv(*jack, {"-l", saved}, folder_ / "jalv2.log");
    editor = waitForEditor(60);
    ASSERT_NE(editor, 0u) << readText(folder_ / "jalv2.log");
    EXPECT_TRUE(within(20, [&] { return screen_->size(editor).first == LorimaneInterface::kWideWidth; }));
    xdotool({"mousemove", "1270", "790"});
    gui::Bitmap again;
    EXPECT_TRUE(within(30, [&] { return settled(editor, again) && difference(again, wide, LorimaneInterface::kStripTop) < 0.001; }))
        << difference(again, wide, LorimaneInterface::kStripTop);
    jalv->stop(5);
}
