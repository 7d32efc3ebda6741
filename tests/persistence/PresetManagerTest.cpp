#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <thread>

#include "TempHome.h"
#include "persistence/PresetManager.h"
#include "platform/IntervalTimer.h"

namespace {
void touch(const std::string& path) {
    TempHome::writeFile(path, "x");
}

std::vector<std::string> names(PresetManager& m) {
    std::vector<std::string> out;
    for (PresetEntry* e : m.flatten()) out.push_back(e->name);
    return out;
}

// Advances by a fixed step on every reading, so a scan's elapsed time grows with the folders read.
class SteppingClock : public MillisecondClock {
public:
    explicit SteppingClock(uint32_t step) : step_(step) {}
    uint32_t nowMs() const override { return now_ += step_; }

private:
    uint32_t step_;
    mutable uint32_t now_ = 0;
};
}  // namespace

TEST(PresetManagerTest, FoldersSortUnderscoreFirstThenByBytesAndFlattenDepthFirst) {
    TempHome home;
    std::string root = home.path("presets/");
    touch(root + "chorus/c1.bxp");
    touch(root + "Basic/b2.bxp");
    touch(root + "Basic/b1.bxp");
    touch(root + "_Best Of/best.bxp");
    touch(root + "Basic/Deep/d.bxp");
    touch(root + "top.bxp");
    touch(root + "ignored.txt");
    std::filesystem::create_directories(root + "Empty");

    PresetManager m("", ".bxp");
    m.setFolder(root);
    ASSERT_EQ(m.subfolders().size(), 4u);
    EXPECT_EQ(m.subfolders()[0]->displayName(), "Best Of");
    EXPECT_TRUE(m.subfolders()[0]->sortsFirst());
    EXPECT_EQ(m.subfolders()[1]->displayName(), "Basic");
    EXPECT_EQ(m.subfolders()[2]->displayName(), "Empty");
    EXPECT_EQ(m.subfolders()[3]->displayName(), "chorus");
    EXPECT_EQ(m.subfolders()[1]->path(), root + "Basic/");
    EXPECT_EQ(names(m), (std::vector<std::string>{"best", "d", "b1", "b2", "c1", "top"}));
    EXPECT_EQ(m.findByName("b2")->path, root + "Basic/b2.bxp");
    EXPECT_EQ(m.findByName("B2"), nullptr) << "names match exactly";
}

TEST(PresetManagerTest, EntriesAreNumberedInBanksOf128) {
    TempHome home;
    std::string root = home.path("many/");
    for (int i = 0; i < 130; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%03d.bxp", i);
        touch(root + name);
    }
    PresetManager m("", ".bxp");
    m.setFolder(root);
    PresetEntry* last = m.flatten()[129];
    EXPECT_EQ(last->bank, 1);
    EXPECT_EQ(last->program, 1);
    EXPECT_EQ(last->label, "(1/1) p129");
    EXPECT_EQ(m.byProgram(1, 1), last);
    EXPECT_EQ(m.byProgram(0, 0)->name, "p000");
    EXPECT_EQ(m.byProgram(1, 2), nullptr);
    EXPECT_EQ(m.byProgram(-1, 0), nullptr);
    EXPECT_EQ(m.byProgram(0, 128), nullptr);

    // Scanned by construction alone, entries stay unnumbered.
    PresetFolder plain(root, ".bxp");
    EXPECT_EQ(plain.entries()[0]->bank, -1);
}

TEST(PresetManagerTest, NeighboursWrapInsideTheRootTreeAndStepThroughExtraFolders) {
    TempHome home;
    touch(home.path("main/a.bxp"));
    touch(home.path("main/b.bxp"));
    touch(home.path("old/x.bxp"));
    touch(home.path("old/y.bxp"));
    PresetManager m("", ".bxp");
    m.setFolder(home.path("main"));
    m.addExtraFolder(home.path("old"), "V1 Preset Folder");
    EXPECT_EQ(m.extraFolders()[0]->displayName(), "V1 Preset Folder");
    EXPECT_EQ(names(m), (std::vector<std::string>{"a", "b", "x", "y"}));
    EXPECT_EQ(m.mainCount(), 2);

    auto step = [&](const char* from, int direction) {
        PresetEntry* e = m.neighbour(home.path(from), direction);
        return e ? e->name : std::string("none");
    };
    EXPECT_EQ(step("main/b.bxp", PresetManager::Next), "a");
    EXPECT_EQ(step("main/a.bxp", PresetManager::Previous), "b");
    EXPECT_EQ(step("main/a.bxp", PresetManager::Same), "a");
    EXPECT_EQ(step("old/y.bxp", PresetManager::Next), "a");
    EXPECT_EQ(step("old/x.bxp", PresetManager::Previous), "b");
    EXPECT_EQ(step("nowhere.bxp", PresetManager::Next), "none");
}

TEST(PresetManagerTest, AScanStopsDescendingWhenItsBudgetIsSpent) {
    TempHome home;
    touch(home.path("t/a/1/deep.bxp"));
    touch(home.path("t/a/top.bxp"));
    SteppingClock clock(1000);
    PresetManager m("", ".bxp", &clock);
    m.scan(home.path("t"), 1500);
    // Each reading of the clock costs a second: "a" is scanned with 500 ms left, which its own
    // first measurement uses up, so "a/1" stays empty.
    std::vector<PresetEntry*> all;
    m.appendEntries(all);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->name, "top");
    ASSERT_EQ(m.subfolders()[0]->subfolders().size(), 1u);
    EXPECT_TRUE(m.subfolders()[0]->subfolders()[0]->empty());

    PresetFolder none(home.path("t"), ".bxp", 0);
    EXPECT_TRUE(none.empty());
    PresetFolder missing(home.path("missing"), ".bxp");
    EXPECT_TRUE(missing.empty());
}

// A host's worker looks up program changes while the editor rescans the folder (after a save): the
// worker's copies never see entries a rescan is replacing. (Without the lock this crashes or, under
// AddressSanitizer, reports a use after free within a few hundred rescans.)
TEST(PresetManagerTest, WorkerLookupsDuringRescansAnswerWholeRecords) {
    TempHome home;
    std::string root = home.path("presets/");
    for (int i = 0; i < 40; ++i) touch(root + "bank/p" + std::to_string(100 + i) + ".bxp");
    PresetManager m("", ".bxp");
    m.setFolder(root);
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0}, wrong{0};
    std::thread worker([&] {
        for (int n = 0; !stop.load(); ++n) {
            std::optional<GenericPlugin::PresetRecord> byProgram = m.recordByProgram(0, n % 40);
            std::optional<GenericPlugin::PresetRecord> byName = m.recordByName("p" + std::to_string(100 + n % 40));
            if (!byProgram || !byName || byProgram->name != byName->name ||
                byProgram->path != root + "bank/" + byProgram->name + ".bxp")
                ++wrong;
            ++answered;
        }
    });
    for (int i = 0; i < 300; ++i) m.setFolder(root);
    while (answered.load() < 100) std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_EQ(wrong.load(), 0);
}
