#include <gtest/gtest.h>

#include <sstream>

#include "AudioThreadGuard.h"
#include "TempHome.h"
#include "persistence/MidiControllerMap.h"
#include "streams/BinaryDataWriter.h"

namespace {
std::string mapFile(const std::string& tag, const std::vector<int>& entries) {
    std::ostringstream out;
    BinaryDataWriter w(out);
    w.writeHeader(tag, 1);
    for (int e : entries) w.writeInt32(e);
    return out.str();
}

std::vector<int> entriesOf(const MidiControllerMap& map) {
    std::vector<int> v;
    for (int c = 0; c < MidiControllerMap::kControllers; ++c) v.push_back(map.parameterFor(c));
    return v;
}
}  // namespace

TEST(MidiControllerMapTest, AssigningKeepsEachParameterOnOneController) {
    MidiControllerMap map;
    map.assignController(3, 12);
    map.assignController(7, 12);
    EXPECT_EQ(map.parameterFor(3), -1);
    EXPECT_EQ(map.parameterFor(7), 12);

    map.assignController(7, 12);  // already bound: nothing changes
    EXPECT_EQ(map.parameterFor(7), 12);
    map.assignController(7, MidiControllerMap::kVirtualBase + 1);  // the controller takes another parameter
    EXPECT_EQ(map.parameterFor(7), MidiControllerMap::kVirtualBase + 1);
    EXPECT_EQ(map.controllerFor(12), -1);

    map.assignController(5, 12);
    map.assignController(-1, 12);  // -1 unbinds the parameter
    EXPECT_EQ(map.controllerFor(12), -1);
    map.assignController(128, 4);  // out of range: ignored
    EXPECT_EQ(map.controllerFor(4), -1);
    EXPECT_EQ(map.parameterFor(200), -1);

    // Learning on the audio thread: two knobs turned in turn leave the target on the second.
    AudioThreadGuard guard;
    map.assign(20, 30);
    map.assign(21, 30);
    EXPECT_EQ(guard.allocations(), 0);
    if (AudioThreadGuard::countsLocks()) {
        EXPECT_EQ(guard.locks(), 0);
    }
    EXPECT_EQ(map.parameterFor(20), -1);
    EXPECT_EQ(map.parameterFor(21), 30);
}

TEST(MidiControllerMapTest, SaveAndLoadRoundTripAndRevertKeepsTheMapOnBadFiles) {
    TempHome home;
    std::string path = home.path("data/MidiControllerMap.bxm");
    MidiControllerMap map;
    map.assignController(1, 4);
    map.assignController(127, MidiControllerMap::kVirtualBase + 2);
    ASSERT_FALSE(map.save(path)) << "the folder does not exist";
    std::filesystem::create_directories(home.path("data"));
    ASSERT_TRUE(map.save(path));
    std::string bytes = TempHome::readFile(path);
    ASSERT_EQ(bytes.size(), 8u + 512u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("BXCM\x01\0\0\0", 8));

    MidiControllerMap loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(entriesOf(loaded), entriesOf(map));

    std::vector<int> full(128, -1);
    std::vector<int> duplicate = full;
    duplicate[0] = duplicate[9] = 3;
    std::vector<int> invalid = full;
    invalid[5] = -2;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"other tag", mapFile("BXCX", full)},
        {"ten entries", mapFile("BXCM", std::vector<int>(10, 1))},
        {"a parameter twice", mapFile("BXCM", duplicate)},
        {"a negative number", mapFile("BXCM", invalid)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        TempHome::writeFile(path, c.bytes);
        EXPECT_FALSE(loaded.load(path)) << c.what;
        EXPECT_EQ(entriesOf(loaded), entriesOf(map)) << c.what << ": the map is kept";
    }
    EXPECT_FALSE(loaded.load(home.path("missing.bxm")));

    // A parameter number beyond the plug-in's own is not a binding.
    loaded.setLimits(3, 0);
    std::vector<int> far = full;
    far[0] = 3;
    TempHome::writeFile(path, mapFile("BXCM", far));
    EXPECT_FALSE(loaded.load(path));
    far[0] = 2;
    TempHome::writeFile(path, mapFile("BXCM", far));
    EXPECT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.parameterFor(0), 2);
}

TEST(MidiControllerMapTest, TheDefaultMapIsEmptyWithoutAnEmbeddedOne) {
    MidiControllerMap map;
    map.assignController(9, 9);
    map.loadDefault();
    EXPECT_EQ(entriesOf(map), std::vector<int>(128, -1));
}
