#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "gui/Button.h"
#include "gui/MenuItem.h"
#include "gui/MultiLabel.h"
#include "gui/Text.h"
#include "gui/PopupMenu.h"
#include "gui/RootControl.h"
#include "gui/ValueControl.h"
#include "gui/native/WindowInterface.h"
#include "interface/HelpTexts.h"
#include "persistence/PersistenceGlobals.h"
#include "tools/lorimane-editor/EditorSession.h"
#include "tools/lorimane-editor/ScriptRunner.h"

namespace {

class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { open({}); }

    void open(const EditorSession::Options& options) {
        runner.reset();
        session.reset();
        std::string error;
        session = EditorSession::open(options, out, error);
        ASSERT_TRUE(session) << error;
        runner = std::make_unique<ScriptRunner>(*session, out);
    }

    // Runs the script from a fresh output; answers the exit status.
    int run(const std::string& script) {
        out.str("");
        err.str("");
        std::istringstream in(script);
        return runner->runScript(in, err);
    }

    // A parameter whose text differs across its range, with the text of a value a quarter of the way.
    AbstractPluginParameter& continuousParameter(std::string& quarterText) {
        GenericPlugin& plugin = session->plugin();
        for (int i = 0; i < plugin.getParameterCount(); ++i) {
            AbstractPluginParameter& p = *plugin.getParameter(i);
            quarterText = p.plainToText(p.normalizedToPlain(0.25f));
            if (quarterText != p.plainToText(p.value()) && quarterText != p.plainToText(p.normalizedToPlain(0.3f)))
                return p;
        }
        ADD_FAILURE() << "no continuous parameter";
        return *plugin.getParameter(0);
    }

    gui::Control& root() { return *session->ui().getRootControl(); }

    std::ostringstream out, err;
    std::unique_ptr<EditorSession> session;
    std::unique_ptr<ScriptRunner> runner;
};

TEST_F(ScriptRunnerTest, SetsAndPrintsParametersByNameAsTheirText) {
    std::string text;
    AbstractPluginParameter& p = continuousParameter(text);
    ASSERT_EQ(run("set " + p.name() + "=" + text + "\nprint " + p.name() + "\nprint-normal " + p.name() + "\n"), 0)
        << err.str();
    std::istringstream lines(out.str());
    std::string printed, normal;
    std::getline(lines, printed);
    std::getline(lines, normal);
    EXPECT_EQ(printed, p.name() + " = " + text);
    ASSERT_EQ(normal.rfind(p.name() + " = ", 0), 0u) << normal;
    EXPECT_NEAR(std::stod(normal.substr(p.name().size() + 3)), 0.25, 0.02);

    // Names nothing there is: the script stops at that line.
    for (const char* bad : {"set No Such Parameter=1", "print No Such Parameter", "setting NoSuchKey", "locate Nothing Here"}) {
        EXPECT_EQ(run(std::string("size\n") + bad + "\nsize\n"), 2) << bad;
        EXPECT_NE(err.str().find("line 2:"), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "size 640 321\n") << bad;
    }
}

TEST_F(ScriptRunnerTest, MidiReachesThePlugInThroughItsMidiPath) {
    std::string text;
    AbstractPluginParameter& p = continuousParameter(text);
    int index = 0;
    while (session->plugin().getParameter(index) != &p) ++index;
    PersistenceGlobals::instance()->controllerMap().assignController(20, index);
    // Queued for the next block: nothing changes before time moves.
    ASSERT_EQ(run("midi cc 20 127\nprint-normal " + p.name() + "\nwait 20\nprint-normal " + p.name() + "\n"), 0)
        << err.str();
    std::istringstream lines(out.str());
    std::string before, after;
    std::getline(lines, before);
    std::getline(lines, after);
    EXPECT_NE(before, p.name() + " = 1");
    EXPECT_EQ(after, p.name() + " = 1");
    PersistenceGlobals::instance()->controllerMap().clear(20);
}

TEST_F(ScriptRunnerTest, WaitProcessesBlocksAtTheRealRate) {
    const uint32_t start = session->now();
    const long blocks = session->blocksProcessed();
    ASSERT_EQ(run("wait 300\n"), 0);
    EXPECT_EQ(session->now() - start, 300u);
    EXPECT_EQ(session->blocksProcessed() - blocks, 30);  // 480 samples at 48 kHz each
}

TEST_F(ScriptRunnerTest, QueriesPrintTheEditorAndPlugInState) {
    // An editor opened while the welcome setting is on shows the welcome hint once.
    GenericPlugin::sharedSettings()->showWelcomeHint = true;
    open({});
    GenericPlugin& plugin = session->plugin();
    ASSERT_EQ(run("size\nundo\npreset\nsetting ShowModulation\nsetting EnableMIDIProgramChanges\nhint\n"), 0);
    EXPECT_EQ(out.str(),
              "size 640 321\nundo 0 redo 0\npreset: Default Setting\nShowModulation = 0\n"
              "EnableMIDIProgramChanges = 0\nhint: " + std::string(helptext::kWelcome) + "\n")
        << "a first opening shows the welcome hint";
    EXPECT_FALSE(GenericPlugin::sharedSettings()->showWelcomeHint.get());

    plugin.undoHistory()->record();
    plugin.undoHistory()->record();
    plugin.undoHistory()->undo();
    plugin.presetState().setModified(true);
    ASSERT_EQ(run("undo\npreset\n"), 0);
    EXPECT_EQ(out.str(), "undo 1 redo 1\npreset: Default Setting [modified]\n");

    EditorSession::Options wide;
    wide.wide = true;
    wide.modulation = true;
    open(wide);
    ASSERT_EQ(run("size\nsetting InterfaceLayout\nsetting ShowModulation\n"), 0);
    EXPECT_EQ(out.str(), "size 926 514\nInterfaceLayout = 1\nShowModulation = 1\n");
    // The layout was for that session only; the stored one comes back.
    open({});
    ASSERT_EQ(run("size\n"), 0);
    EXPECT_EQ(out.str(), "size 640 321\n");
}

// A small tree in place of the editor's own: a menu button, a button that shows a message box and
// a value control bound to a parameter.
class ScriptedTreeTest : public ScriptRunnerTest {
protected:
    void SetUp() override {
        ScriptRunnerTest::SetUp();
        gui::UserInterface& ui = session->ui();
        menu = ui.createPopupMenu();
        auto* one = new gui::MenuItem("One");
        one->chosenEvent.addHandler(this, &ScriptedTreeTest::chosen);
        menu->addItem(one);
        menu->addSeparator();
        auto* sub = new gui::MenuItem("Sub & More");
        auto* deep = new gui::MenuItem("Deep");
        deep->checkMark = true;
        deep->chosenEvent.addHandler(this, &ScriptedTreeTest::chosen);
        auto* off = new gui::MenuItem("Off");
        off->enabled = false;
        sub->addItem(deep);
        sub->addItem(off);
        menu->addItem(sub);

        menuButton = make<gui::Button>(gui::Rect::ofSize(20, 20, 60, 20));
        menuButton->setText("Tester");
        menuButton->popupMenu = menu.get();
        boxButton = make<gui::Button>(gui::Rect::ofSize(100, 20, 60, 20));
        boxButton->hint = "Shows a message. Nothing else.";
        boxButton->clickEvent.addHandler(this, &ScriptedTreeTest::showBox);
        knob = make<gui::ValueControl>(gui::Rect::ofSize(200, 40, 30, 30));
        knob->parameterIndex = 1;
    }

    template <typename T>
    T* make(gui::Rect r) {
        auto* c = new T(&session->ui());
        c->bounds = r;
        c->parent = &root();
        return c;
    }

    void chosen(void* sender) { choices.push_back(static_cast<gui::MenuItem*>(sender)->name); }
    void showBox(void*) { answers.push_back(session->ui().showMessage("First line\nSecond line", 3)); }

    std::unique_ptr<gui::PopupMenu> menu;
    gui::Button* menuButton = nullptr;
    gui::Button* boxButton = nullptr;
    gui::ValueControl* knob = nullptr;
    std::vector<std::string> choices;
    std::vector<int> answers;
};

TEST_F(ScriptedTreeTest, MenusPrintEveryItemAndTakeTheScriptedAnswer) {
    const std::string shown =
        "menu: One\nmenu: -\nmenu: Sub & More\nmenu:   Deep [checked]\nmenu:   Off [disabled]\n";
    ASSERT_EQ(run("menu Sub & More>Deep\nclick 30 30\nwait 600\nclick 30 30\nwait 600\nmenu One\nclick 30 30\n"), 0)
        << err.str();
    EXPECT_EQ(out.str(), shown + shown + "unanswered\n" + shown);
    EXPECT_EQ(choices, (std::vector<std::string>{"Deep", "One"}));

    // An answer the menu cannot take stops the script at the line that wrote it.
    for (const char* bad : {"menu Sub & More>Off", "menu Sub & More", "menu Two"}) {
        EXPECT_EQ(run(std::string("wait 600\n") + bad + "\nclick 30 30\nsize\n"), 2) << bad;
        EXPECT_NE(err.str().find("line 2:"), std::string::npos) << err.str();
        EXPECT_EQ(out.str().find("size"), std::string::npos);
    }
}

TEST_F(ScriptedTreeTest, MessageBoxesPrintTheirTextAndTakeTheScriptedAnswer) {
    ASSERT_EQ(run("box ok\nclick 110 30\nwait 600\nclick 110 30\nwait 600\nbox cancel\nclick 110 30\n"), 0) << err.str();
    // The toolkit captions a box by its buttons.
    const std::string shown = "box: Confirmation: First line\\nSecond line\n";
    EXPECT_EQ(out.str(), shown + shown + "unanswered\n" + shown);
    EXPECT_EQ(answers, (std::vector<int>{0, 1, 1}));
}

TEST_F(ScriptedTreeTest, TypedTextAndKeysReachTheOpenEditField) {
    auto* label = new gui::MultiLabel(&session->ui(), 1);
    label->bounds = gui::Rect::ofSize(20, 100, 100, 20);
    label->parent = &root();
    label->text(0).text = "Before";
    label->setSegmentEditable(0, true);
    // Without a field the keys go to the host; a double-click opens the field.
    ASSERT_EQ(run("type Lost\nkey Enter\ndouble-click 50 110\ntype After\nkey Enter\n"), 0) << err.str();
    EXPECT_EQ(label->text(0).text.get(), "After");
}

TEST_F(ScriptedTreeTest, LocateFindsControlsByParameterLabelOrHint) {
    const std::string parameter = session->plugin().getParameter(1)->name();
    ASSERT_EQ(run("locate " + parameter + "\nlocate Tester\nlocate Shows a message\n"), 0) << err.str();
    EXPECT_EQ(out.str(), parameter + " at 200 40 30 30\nTester at 20 20 60 20\nShows a message at 100 20 60 20\n");
    menuButton->visible = false;
    EXPECT_EQ(run("locate Tester\n"), 2);
}

}  // namespace
