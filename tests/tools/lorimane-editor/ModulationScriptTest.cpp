#include <gtest/gtest.h>

#include <sstream>

#include "tools/lorimane-editor/EditorSession.h"
#include "tools/lorimane-editor/ScriptRunner.h"

namespace {

// The modulation section driven by a script as a user drives it: the Add Source menu, then a
// drag from the source's handle onto its own frequency knob by press, moves and release.
TEST(ModulationScriptTest, MenuAndDragCreateALoopedSlot) {
    EditorSession::Options options;
    options.modulation = true;
    options.wide = true;
    std::ostringstream out, err;
    std::string error;
    auto session = EditorSession::open(options, out, error);
    ASSERT_TRUE(session) << error;
    ScriptRunner runner(*session, out);
    auto run = [&](const std::string& script) {
        out.str("");
        std::istringstream in(script);
        EXPECT_EQ(runner.runScript(in, err), 0) << err.str();
        return out.str();
    };
    auto place = [&](const std::string& name) {
        std::istringstream words(run("locate " + name + "\n").substr(name.size() + 4));
        int x = 0, y = 0, w = 0, h = 0;
        words >> x >> y >> w >> h;
        return std::to_string(x + w / 2) + " " + std::to_string(y + h / 2);
    };
    const std::string menu = run("menu New XLFO\nclick " + place("Add Source") + "\nwait 50\n");
    EXPECT_NE(menu.find("menu: New XY Controller\nmenu: New XLFO\nmenu: New Envelope Generator\nmenu: New "
                        "Envelope Follower\nmenu: New MIDI Source\nmenu: Sort Slots\n"),
              std::string::npos)
        << menu;
    const std::string handle = place("Drag the source drag button");
    const std::string knob = place("XLFO 1 Frequency");
    EXPECT_EQ(run("press " + handle + "\nmove 300 300\nwait 450\nmove " + knob + "\nrelease " + knob +
                  "\nwait 600\nprint Num Active Slots\nprint Slot 1 Source\nprint Slot 1 Target\nprint Slot 1 Level\n"),
              "Num Active Slots = 1\nSlot 1 Source = XLFO 1\nSlot 1 Target = XLFO 1 Freq\nSlot 1 Level = 0.160\n");
    EXPECT_NE(run("locate Although you can modulate\n").find(" at "), std::string::npos);
}

}  // namespace
