#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "GuiFixture.h"
#include "TemporaryFolder.h"

namespace gui::test {
namespace {

class WindowSystemTest : public GuiFixture {
protected:
    TemporaryFolder folder;

    std::string touch(const std::string& name) {
        const std::string path = folder / name;
        std::ofstream(path) << "manual";
        return path;
    }
};

TEST_F(WindowSystemTest, DocumentsAndWebAddressesAreCheckedThenHandedToTheDesktop) {
    const std::string manual = touch("Manual.pdf");
    struct DocumentCase {
        std::string path;
        std::optional<std::string> opened;  // none: refused
    };
    const DocumentCase documents[] = {
        {manual, manual},
        {folder / "sub/../Manual.pdf", manual},
        {folder / "Missing.pdf", std::nullopt},
        {folder.path().string(), std::nullopt},  // a folder is no document
        {"", std::nullopt},
    };
    for (const DocumentCase& c : documents) {
        const size_t before = system.openedDocuments().size();
        std::filesystem::create_directories(folder / "sub");
        EXPECT_EQ(ui->openDocument(c.path), c.opened.has_value()) << c.path;
        if (c.opened) {
            ASSERT_EQ(system.openedDocuments().size(), before + 1);
            EXPECT_EQ(system.openedDocuments().back(), *c.opened);
        } else {
            EXPECT_EQ(system.openedDocuments().size(), before) << c.path;
        }
    }
    // A relative name is made absolute, so that one starting with a dash reads as no option.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    touch("-manual.pdf");
    EXPECT_TRUE(ui->openDocument("-manual.pdf"));
    std::filesystem::current_path(cwd);
    EXPECT_EQ(system.openedDocuments().back(), folder / "-manual.pdf");

    struct AddressCase {
        const char* address;
        bool accepted;
    };
    const AddressCase addresses[] = {
        {"https://example.org/support", true},
        {"HTTP://example.org", true},
        {"https://", false},
        {"ftp://example.org/file", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"https://example.org/a b", false},
        {"https://example.org/\nsecond", false},
        {"--help", false},
        {"", false},
    };
    for (const AddressCase& c : addresses) {
        const size_t before = system.openedWebAddresses().size();
        EXPECT_EQ(ui->openWebAddress(c.address), c.accepted) << c.address;
        EXPECT_EQ(system.openedWebAddresses().size(), before + (c.accepted ? 1 : 0)) << c.address;
    }
    EXPECT_EQ(system.openedWebAddresses().front(), "https://example.org/support");
}

// The launcher every backend inherits, run against a stand-in xdg-open that writes down its
// arguments.
TEST_F(WindowSystemTest, DefaultLauncherPassesTheTargetAsOneArgument) {
    const std::string bin = folder / "bin", record = folder / "args";
    std::filesystem::create_directories(bin);
    {
        std::ofstream script(bin + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" END > '" << record << "'\n";
    }
    std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    auto launched = [&]() -> std::string {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(record);
            std::stringstream text;
            text << in.rdbuf();
            if (text.str().size() > 4 && text.str().ends_with("END\n")) {
                std::filesystem::remove(record);
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "(nothing)";
    };

    ::setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
    // Quotes, a command substitution and a separator reach the launcher untouched, and run nothing.
    const std::string tricky = "https://example.org/?a='1'&b=\"$(touch " + (folder / "ran") + ")\";x";
    EXPECT_TRUE(native::launchDesktopOpener(tricky));
    EXPECT_EQ(launched(), "1\n" + tricky + "\nEND\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "ran"));
    // Through the window system's own defaults (the headless backend only records).
    EXPECT_TRUE(system.native::WindowSystem::openWebAddress("https://example.org/manual"));
    EXPECT_EQ(launched(), "1\nhttps://example.org/manual\nEND\n");
    const std::string manual = touch("Manual with spaces.pdf");
    EXPECT_TRUE(system.native::WindowSystem::openDocument(manual));
    EXPECT_EQ(launched(), "1\n" + manual + "\nEND\n");
    EXPECT_FALSE(system.native::WindowSystem::openWebAddress("ftp://example.org"));
    EXPECT_FALSE(native::launchDesktopOpener("--manual"));

    // Without a launcher on the PATH nothing is reported as opened.
    ::setenv("PATH", (folder / "empty").c_str(), 1);
    EXPECT_FALSE(native::launchDesktopOpener("https://example.org"));
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(system.openedWebAddresses().size(), 0u);
}

}  // namespace
}  // namespace gui::test
