#include "Golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}
}  // namespace

void expectMatchesGolden(const std::string& actual, const std::string& goldenPath) {
    if (const char* update = std::getenv("LORIMANE_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(goldenPath, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(goldenPath, std::ios::binary);
    ASSERT_TRUE(in) << "no golden file " << goldenPath << "; create it with LORIMANE_UPDATE_GOLDEN=1";
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return;
    std::vector<std::string> want = lines(expected.str()), got = lines(actual);
    std::ostringstream diff;
    int shown = 0;
    for (size_t i = 0; i < std::max(want.size(), got.size()) && shown < 20; ++i) {
        std::string w = i < want.size() ? want[i] : "<end>", g = i < got.size() ? got[i] : "<end>";
        if (w == g) continue;
        diff << "line " << i + 1 << ":\n  - " << w << "\n  + " << g << "\n";
        ++shown;
    }
    ADD_FAILURE() << "output differs from " << goldenPath << " (" << want.size() << " lines expected, " << got.size()
                  << " got):\n"
                  << diff.str() << "If the change is intended, regenerate with LORIMANE_UPDATE_GOLDEN=1 and review the diff.";
}
