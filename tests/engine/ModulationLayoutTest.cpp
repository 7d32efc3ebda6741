#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/LorimanePlugin.h"
#include "modulation/ModulationLayout.h"

namespace layout = modulationlayout;

namespace {

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> items;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) items.push_back(item);
    return items;
}

// "Delay L Time" is the delay set 1's "Time" while the channel mode is Left/Right.
std::string withSetNumbers(std::string name) {
    for (const char* letters : {"Delay L", "Delay R"})
        if (name.rfind(letters, 0) == 0) name.replace(6, 1, letters[6] == 'L' ? "1" : "2");
    return name;
}

}  // namespace

// Every target number reaches the parameter the layout names for it, so a change of the table moves
// the matrix, the parameters and the engine's wiring together.
TEST(ModulationLayoutTest, EachTargetNumberBelongsToTheParameterOfThatName) {
    LorimanePlugin plugin;
    std::vector<std::string> names = split(layout::targetNames());
    ASSERT_EQ(int(names.size()), layout::kTargetCount);
    for (int t = 0; t < layout::kFirstSlotLevelTarget; ++t) {
        ModulationTargetParameter* p = plugin.targetParameter(t);
        ASSERT_NE(p, nullptr) << "target " << t;
        // The matrix may shorten an item ("XLFO 1 Freq" for "XLFO 1 Frequency").
        EXPECT_EQ(withSetNumbers(p->name()).rfind(names[std::size_t(t)], 0), 0u)
            << "target " << t << ": " << p->name() << " is not " << names[std::size_t(t)];
    }
    std::vector<std::string> sources = split(layout::sourceNames());
    EXPECT_EQ(int(sources.size()), layout::kSourceCount);
    EXPECT_EQ(sources[std::size_t(XLFOParameterSetList::kFirstSource)], "XLFO 1");
    EXPECT_EQ(sources[std::size_t(MidiSourceParameterSetList::kFirstSource + 9)], "MIDI 10");
}
