#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/eventfd.h>
#include <unistd.h>

#include "X11Fixture.h"
#include "XClient.h"
#include "gui/MenuItem.h"
#include "gui/OpenSaveDialog.h"
#include "gui/PopupMenu.h"
#include "gui/Text.h"
#include "gui/TextEditor.h"

namespace gui::test {
namespace {

// Runs xdotool on another thread while this one sits in a modal call.
class Answer {
public:
    Answer(const XvfbServer& server, std::vector<std::string> args, std::vector<std::string> then = {})
        : thread_([&server, args, then] {
              server.xdotool(args);
              if (!then.empty()) server.xdotool(then);
          }) {}
    ~Answer() { thread_.join(); }

private:
    std::thread thread_;
};

// xdotool arguments that wait for a visible window with the title (and its keyboard focus, unless
// it grabs the keyboard itself), then act on it (%1).
std::vector<std::string> onWindow(const std::string& title, std::vector<std::string> then, bool focus = true) {
    std::vector<std::string> args = {"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"};
    if (focus) args.insert(args.end(), {"windowfocus", "--sync", "%1"});
    args.insert(args.end(), then.begin(), then.end());
    return args;
}

class X11DialogsTest : public X11Fixture {
protected:
    struct Chosen {
        std::string name;
        void chosen(void* sender) { name = static_cast<MenuItem*>(sender)->name; }
    } chosen;

    std::unique_ptr<PopupMenu> menu() {
        auto m = ui->createPopupMenu();
        for (const char* name : {"Copy", "Paste", "-", "Rock & Roll"}) m->addItem(new MenuItem(name));
        auto* more = new MenuItem("More");
        more->addItem(new MenuItem("First"));
        more->addItem(new MenuItem("Second"));
        m->addItem(more);
        for (int i = 0; i < m->itemCount(); ++i) {
            m->itemAt(i)->chosenEvent.addHandler(&chosen, &Chosen::chosen);
            for (int j = 0; j < m->itemAt(i)->itemCount(); ++j)
                m->itemAt(i)->itemAt(j)->chosenEvent.addHandler(&chosen, &Chosen::chosen);
        }
        return m;
    }
};

TEST_F(X11DialogsTest, DrawnMenuIsAnsweredWithTheKeyboardAndThePointer) {
    openWindow();
    auto m = menu();
    const struct {
        std::vector<std::string> input;
        const char* expected;
    } cases[] = {
        {{"key", "Down", "Down", "Return"}, "Paste"},
        // The separator is skipped; Right opens the submenu on its first item.
        {{"key", "Down", "Down", "Down", "Down", "Right", "Down", "Return"}, "Second"},
        {{"key", "Escape"}, ""},
        // The first row: 2 pixels of frame, then rows of 20.
        {{"mousemove", "--window", "%1", "30", "12", "click", "1"}, "Copy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        chosen.name.clear();
        Answer answer(server, onWindow("menu", c.input, false));
        m->show(Rect{10, 10, 60, 30});
        EXPECT_EQ(chosen.name, c.expected);
    }
}

// A window torn down while its menu is open ends the menu from code; nothing is chosen.
TEST_F(X11DialogsTest, DrawnMenuEndsWhenCancelledFromCode) {
    openWindow();
    auto m = menu();
    chosen.name.clear();
    // Once the menu is on screen, a descriptor the loop watches asks it to go away.
    const int fd = eventfd(0, EFD_NONBLOCK);
    ASSERT_GE(fd, 0);
    system->watch(fd, [&] {
        uint64_t n = 0;
        if (read(fd, &n, sizeof n) == sizeof n) m->cancel();
    });
    std::thread notifier([&] {
        server.xdotool(onWindow("menu", {}, false));
        const uint64_t one = 1;
        if (write(fd, &one, sizeof one) != sizeof one) ADD_FAILURE() << "eventfd write";
    });
    m->show(Rect{10, 10, 60, 30});
    notifier.join();
    system->unwatch(fd);
    close(fd);
    EXPECT_EQ(chosen.name, "");
}

TEST_F(X11DialogsTest, MessageBoxAnswersOkAndCancel) {
    openWindow();
    const struct {
        std::vector<std::string> input;
        int expected;
    } cases[] = {
        {{"key", "Return"}, 0},
        {{"key", "Escape"}, 1},
        // The OK button of a two-button box of the smallest size.
        {{"mousemove", "--window", "%1", "110", "70", "click", "1"}, 0},
    };
    for (const auto& c : cases) {
        Answer answer(server, onWindow("Confirmation", c.input));
        EXPECT_EQ(ui->showMessage("Replace?", 3), c.expected);
    }
}

TEST_F(X11DialogsTest, FileChooserTakesATypedPathAndCancelLeavesThePathAlone) {
    openWindow();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lorimane-x11-" + server.display().substr(1));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "one.lmp") << "x";
    auto dialog = ui->createOpenDialog();
    dialog->filter = "Presets|*.lmp";
    dialog->initialFolder = dir.string();
    {
        Answer answer(server, onWindow("Open", {"type", "one.lmp"}), {"key", "Return"});
        ASSERT_TRUE(dialog->run());
    }
    EXPECT_EQ(dialog->path.get(), (dir / "one.lmp").string());
    {
        Answer answer(server, onWindow("Open", {"key", "Escape"}));
        EXPECT_FALSE(dialog->run());
    }
    EXPECT_EQ(dialog->path.get(), (dir / "one.lmp").string());
    std::filesystem::remove_all(dir);
}

TEST_F(X11DialogsTest, EditFieldTakesTypedTextAndCommitsOnEnter) {
    openWindow();
    TextEditor* editor = ui->createTextEditor();
    struct Committed {
        bool done = false;
        void committed(void*) { done = true; }
    } committed;
    editor->committedEvent.addHandler(&committed, &Committed::committed);
    editor->text().text = "old";
    editor->rectangle = Rect{10, 10, 150, 30};
    XClient keyboard(server.display());
    keyboard.mapKeysyms({0xfc, 0xdf});  // u with diaeresis, sharp s
    editor->beginEditing();
    // The field takes the keyboard focus once the server has shown it.
    ASSERT_TRUE(pumpUntil([&] {
        const unsigned long focus = keyboard.focusedWindow();
        return focus > 1 && focus != window().id();
    }));
    // Everything is selected at first: typing replaces it.
    {
        Answer answer(server, {"type", "--delay", "30", "Grüße 2"}, {"key", "BackSpace", "Return"});
        ASSERT_TRUE(pumpUntil([&] { return committed.done; }, 5000));
    }
    EXPECT_EQ(editor->text().text.get(), "Grüße ");
    // The edit ends on the next round of the toolkit's queue.
    EXPECT_TRUE(pumpUntil([&] { return !editor->isEditing(); }));
}

}  // namespace
}  // namespace gui::test
