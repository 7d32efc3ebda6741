#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ExternalHosts.h"
#include "Lv2Bundle.h"
#include "TemporaryFolder.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string readCompressed(const fs::path& path) {
    std::string text;
    if (gzFile file = gzopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (int n; (n = gzread(file, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<size_t>(n));
        gzclose(file);
    }
    return text;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) result.push_back(field);
    return result;
}

// The attributes of every element of the given name in a session file, in file order.
std::vector<std::map<std::string, std::string>> elements(const std::string& xml, const std::string& name) {
    std::vector<std::map<std::string, std::string>> result;
    static const std::regex attribute(R"re(([\w-]+)="([^"]*)")re");
    std::regex element("<" + name + R"re(\s([^>]*)>)re");
    for (auto e = std::sregex_iterator(xml.begin(), xml.end(), element); e != std::sregex_iterator(); ++e) {
        std::string body = (*e)[1];
        auto& attributes = result.emplace_back();
        for (auto a = std::sregex_iterator(body.begin(), body.end(), attribute); a != std::sregex_iterator();
             ++a)
            attributes[(*a)[1]] = (*a)[2];
    }
    return result;
}

bool near(float a, float b) {
    return std::fabs(a - b) <= 1e-5f * std::max(1.0f, std::fabs(b));
}

// Ardour 7 driven headless by its Lua session host (ardour7-lua) on the dummy audio backend, with
// the bundle from the build tree. Each run has a home of its own in the test's folder, so Ardour's
// configuration and plug-in cache start empty and go with the folder.
class ArdourSession : public ::testing::Test {
protected:
    void SetUp() override {
        LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
        if (run("command -v ardour7-lua").find('/') == std::string::npos)
            GTEST_SKIP() << "Ardour 7 is not installed: its ardour7-lua runs these tests "
                            "(Debian: apt-get install --no-install-recommends ardour)";
        ASSERT_NE(bundle.plugin(), nullptr);
        for (const BundlePort& port : bundle.ports())
            if (port.controlInput) symbols[port.index] = port.symbol;
    }

    struct Run {
        std::string log;
        std::map<std::string, std::vector<std::vector<std::string>>> records;  // by kind, in order
        std::map<std::string, float> values;                                   // control values by symbol
    };

    // Runs the session script on the session in `dir` (creating it first when asked) and collects
    // what it reports.
    Run drive(const fs::path& dir, const std::string& snapshot, bool create,
              const std::map<std::string, float>& sets = {}, const std::string& preset = "") {
        std::ostringstream script;
        script << "SESSION_DIR = [[" << dir.string() << "]]\nSNAPSHOT = [[" << snapshot << "]]\n"
               << "CREATE = " << (create ? "true" : "false") << "\nPLUGIN_URI = [[" << lv2turtle::kPluginUri
               << "]]\nPRESET = [[" << preset << "]]\nSETS = {";
        std::map<std::string, uint32_t> indices = bundle.indices();
        for (const auto& [symbol, value] : sets)
            script << "[" << indices.at(symbol) << "] = " << value << ", ";
        script << "}\n" << readText(std::string(LORIMANE_LV2_FIXTURES) + "/ardour-session.lua");
        std::string scriptPath = folder / "session.lua";
        std::ofstream(scriptPath) << script.str();

        std::string home = folder / "home";
        fs::create_directories(home);
        Run result;
        result.log = run("HOME=" + home + " XDG_CONFIG_HOME=" + home + "/.config XDG_CACHE_HOME=" + home +
                         "/.cache XDG_DATA_HOME=" + home + "/.local/share LV2_PATH=" + LORIMANE_LV2_PATH +
                         ":/usr/lib/lv2 timeout -k 5 120 ardour7-lua " + scriptPath);
        std::istringstream lines(result.log);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> f = fields(line);
            if (f.size() == 3 && f[0] == "VALUE" && symbols.count(std::stoul(f[1])))
                result.values[symbols[std::stoul(f[1])]] = std::stof(f[2]);
            else if (!f.empty() && std::all_of(f[0].begin(), f[0].end(), ::isupper))
                result.records[f[0]].push_back(std::vector<std::string>(f.begin() + 1, f.end()));
        }
        return result;
    }

    // Every control Ardour shows holds the value expected under its symbol.
    void expectValues(const Run& r, const std::map<std::string, float>& expected) {
        for (const auto& [index, symbol] : symbols) {
            auto shown = r.values.find(symbol), wanted = expected.find(symbol);
            ASSERT_NE(shown, r.values.end()) << symbol << "\n" << r.log.substr(0, 4000);
            ASSERT_NE(wanted, expected.end()) << symbol;
            EXPECT_TRUE(near(shown->second, wanted->second))
                << symbol << ": " << shown->second << " instead of " << wanted->second;
        }
    }

    // The plug-in takes the side chain as its own input pair, reports no latency, and processes
    // while the transport rolls; the transport stops cleanly.
    void expectPlayed(Run& r) {
        ASSERT_EQ(r.records["DONE"].size(), 1u)
            << r.log.substr(r.log.size() > 4000 ? r.log.size() - 4000 : 0);
        std::vector<std::vector<std::string>> inputs = {{"0", "Input", "0", "false"},
                                                        {"1", "Input", "1", "false"},
                                                        {"2", "Side Chain", "0", "true"},
                                                        {"3", "Side Chain", "1", "true"}};
        EXPECT_EQ(r.records["INPUT"], inputs);
        EXPECT_EQ(r.records["LATENCY"], (std::vector<std::vector<std::string>>{{"0"}}));
        ASSERT_EQ(r.records["ROLLING"].size(), 1u);
        EXPECT_EQ(r.records["ROLLING"][0][0], "true");
        EXPECT_GT(std::stol(r.records["ROLLING"][0][1]), 0);
        EXPECT_EQ(r.records["STOPPED"], (std::vector<std::vector<std::string>>{{"false"}}));
        EXPECT_EQ(r.records["PROCESSED"], (std::vector<std::vector<std::string>>{{"true"}}));
        ASSERT_EQ(r.records["LEVEL"].size(), 1u);
        EXPECT_GT(std::stof(r.records["LEVEL"][0][0]), -40.0f);  // the input sine came through
    }

    // The plug-in's own state as the session saved it last, restored into an instance of the
    // plug-in: its parameters hold the expected values, not only Ardour's copies of them.
    void expectPluginState(const fs::path& dir, const std::string& sessionText,
                           const std::map<std::string, float>& expected) {
        auto processors = elements(sessionText, "Processor");
        auto plugin =
            std::find_if(processors.begin(), processors.end(), [](auto& p) { return p["type"] == "lv2"; });
        auto states = elements(sessionText, "lv2");
        ASSERT_NE(plugin, processors.end());
        ASSERT_EQ(states.size(), 1u);
        fs::path state = dir / "plugins" / (*plugin)["id"] / states[0]["state-dir"] / "state.ttl";
        auto lv2 = productInstance(urids);
        ASSERT_TRUE(lv2);
        bundle.restore(state, *lv2, urids);
        for (const auto& [symbol, value] : parameterPortValues(lv2->plugin()))
            EXPECT_TRUE(near(value, expected.at(symbol)))
                << symbol << ": " << value << " instead of " << expected.at(symbol);
    }

    TemporaryFolder folder;
    Lv2Bundle bundle;
    TestUrids urids;
    std::map<uint32_t, std::string> symbols;  // of the control inputs, by port index
};

}  // namespace

// A new user's session: a stereo track with the plug-in and a preset, a continuous, an enumerated
// and a late control set, saved, closed and opened again, then played.
TEST_F(ArdourSession, KeepsEveryValueOffersTheAutomationPeopleUseAndPlays) {
    const std::string preset = "Rhythmic/Slapback";
    std::map<std::string, float> expected = bundle.presetValues(preset, urids);
    const std::map<std::string, float> sets = {
        {"delay_l_time", 421.0f}, {"filter_1_response", 2.0f}, {"slot_3_level", 0.625f}};
    for (const auto& [symbol, value] : sets) {
        ASSERT_TRUE(expected.count(symbol)) << "the preset does not set " << symbol;
        EXPECT_NE(expected[symbol], value) << symbol;  // else the set would not show
        expected[symbol] = value;
    }
    expected["enabled"] = 1.0f;

    fs::path dir = folder.path() / "session";
    Run r = drive(dir, "delay", true, sets, preset);
    expectPlayed(r);
    expectValues(r, expected);
    std::string session = readText(dir / "delay.ardour");
    expectPluginState(dir, session, expected);

    // What a user automates is automatable; what the plug-in marks not automatic is not.
    std::map<std::string, std::string> flags;
    for (auto& c : elements(session, "Controllable"))
        if (c.count("symbol")) flags[c["symbol"]] = c["flags"];
    auto plugin = makeProductPlugin();
    std::vector<std::string> parameterSymbols = lv2turtle::parameterSymbols(*plugin);
    std::map<std::string, bool> notAutomatic;
    for (const BundlePort& port : bundle.ports()) notAutomatic[port.symbol] = port.notAutomatic;
    for (int i = 0; i < plugin->getParameterCount(); ++i) {
        const AbstractPluginParameter& p = *plugin->getParameter(i);
        const std::string& symbol = parameterSymbols[i];
        ASSERT_TRUE(flags.count(symbol)) << symbol;
        bool automatable = flags[symbol].find("NotAutomatable") == std::string::npos;
        if (p.kind() == AbstractPluginParameter::Continuous || automatedByPeople(p)) {
            EXPECT_TRUE(automatable) << symbol;
        }
        if (notAutomatic[symbol]) {
            EXPECT_FALSE(automatable) << symbol;
        }
    }

    // The side chain the script added feeds the plug-in's side-chain pair.
    auto maps = std::regex_search(
        session,
        std::regex(
            R"re(<InputMap-0>(\s*<Channelmap type="audio" from="(\d)" to="\2"/>){4}\s*</InputMap-0>)re"));
    EXPECT_TRUE(maps) << "the inputs are not mapped one to one, side chain included";
    EXPECT_NE(session.find("type=\"sidechain\""), std::string::npos);
}

// A session saved with the plug-in before its control ports were reordered opens with every value
// it was saved with: Ardour finds controls and port values by symbol.
TEST_F(ArdourSession, ASessionSavedBeforeThePortOrderChangedOpensWithItsValues) {
    fs::path fixture = fs::path(LORIMANE_LV2_FIXTURES) / "ardour-before-reorder";
    fs::path dir = folder.path() / "before-reorder";
    fs::create_directories(dir);
    fs::copy(fixture / "plugins", dir / "plugins", fs::copy_options::recursive);
    std::string saved = readCompressed(fixture / "before-reorder.ardour.gz");
    ASSERT_FALSE(saved.empty());
    std::ofstream(dir / "before-reorder.ardour") << saved;

    std::map<std::string, float> expected;
    for (auto& port : elements(saved, "Port"))
        if (port.count("symbol")) expected[port["symbol"]] = std::stof(port["value"]);
    // What the session was saved with: the preset, then early and late controls.
    struct Case {
        const char* symbol;
        float value;
    };
    for (Case c : {Case{"delay_l_time", 421.0f}, Case{"filter_1_response", 2.0f},
                   Case{"slot_3_level", 0.625f}, Case{"eg_5_attack", 1.25f}, Case{"dry_enabled", 0.0f}})
        ASSERT_EQ(expected[c.symbol], c.value) << c.symbol;

    Run r = drive(dir, "before-reorder", false);
    expectPlayed(r);
    expectValues(r, expected);
    expectPluginState(dir, readText(dir / "before-reorder.ardour"), expected);
}
