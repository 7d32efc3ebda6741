#include <gtest/gtest.h>

#include <filesystem>

#include "TempHome.h"
#include "persistence/PresetMenu.h"

namespace {
// One line per item, submenus indented: "[x] text" for checked items, "(-)" for disabled ones.
void render(const std::vector<PresetMenuItem>& items, std::string& out, int depth = 0) {
    for (const PresetMenuItem& item : items) {
        out += std::string(std::size_t(depth) * 2, ' ');
        if (item.kind == PresetMenuItem::Separator) {
            out += "---\n";
            continue;
        }
        out += item.checked ? "[x] " : "[ ] ";
        out += item.text + (item.enabled ? "" : " (-)") + (item.kind == PresetMenuItem::Submenu ? " >" : "") +
               "\n";
        render(item.items, out, depth + 1);
    }
}
}  // namespace

TEST(PresetMenuTest, TheTreeBecomesSubmenusWithTheCurrentPresetAndItsFoldersChecked) {
    TempHome home;
    std::string root = home.path("p/");
    TempHome::writeFile(root + "_Best Of/Wide.bxp", "x");
    TempHome::writeFile(root + "Dub/Deep/Tape.bxp", "x");
    TempHome::writeFile(root + "Dub/Spring.bxp", "x");
    TempHome::writeFile(root + "Clean.bxp", "x");
    std::filesystem::create_directories(root + "Empty");
    TempHome::writeFile(home.path("old/Former.bxp"), "x");
    PresetManager m("", ".bxp");
    m.setFolder(root);
    m.addExtraFolder(home.path("old"), "V1 Preset Folder");

    std::string menu;
    render(PresetMenu::mainItems(m, root + "Dub/Deep/Tape.bxp", false), menu);
    EXPECT_EQ(menu,
              "[ ] Best Of >\n"
              "  [ ] Wide\n"
              "[x] Dub >\n"
              "  [x] Deep >\n"
              "    [x] Tape\n"
              "  [ ] Spring\n"
              "[ ] Empty >\n"
              "  [ ] (No Presets) (-)\n"
              "[ ] Clean\n"
              "---\n"
              "[ ] V1 Preset Folder >\n"
              "  [ ] Former\n");

    std::string labelled;
    render(PresetMenu::folderItems(m, home.path("old/Former.bxp"), true), labelled);
    EXPECT_NE(labelled.find("[ ] (0/3) Clean\n"), std::string::npos) << labelled;

    PresetManager empty("", ".bxp");
    std::string none;
    render(PresetMenu::mainItems(empty, "", false), none);
    EXPECT_EQ(none, "[ ] (No Presets) (-)\n");
}
