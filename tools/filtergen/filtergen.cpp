// Characteristic generator used by the build.
//
//   lorimane-filtergen RECIPE OUTPUT.fil
//
// A recipe is a text file of lines ('#' starts a comment):
//   intent  <one line saying what the characteristic should sound like>
//   clip    <clip shape>
//   low     <frequency axis low, log2 Hz>
//   high    <frequency axis high, log2 Hz>
//   drive | cubic | damping  [shape <exponent>]   starts a table
//   row <r> <11 values> | row <r> all <value>     one row of the current table (r = 0 .. 10)
//   max-damping <value>                           the damping table's largest value, checked
// Rows between listed rows are interpolated along the peak with the table's shape exponent (1:
// linear). The recipe must keep the ranges the filter relies on: drive 0.1 .. 10, cubic 0 .. 0.1,
// damping from 0 at peak 0 rising with the peak, and damping above 1 (self-oscillation) only where
// max-damping says so. Prints one line naming what was wrong and exits 2 on any error.

#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "streams/BinaryFileWriter.h"

namespace {
constexpr int kN = 11;
using Row = std::array<float, kN>;

struct Table {
    std::map<int, Row> rows;  // the listed rows
    float shape = 1.0f;
    std::array<Row, kN> values{};
};

struct Recipe {
    std::string intent;
    std::optional<float> clip, low, high, maxDamping;
    Table tables[3];  // drive, cubic, damping
};

struct Failure {
    std::string message;
};

[[noreturn]] void fail(const std::string& message) { throw Failure{message}; }

float number(std::istringstream& in, const std::string& what, int line) {
    float v;
    if (!(in >> v) || !std::isfinite(v)) fail("line " + std::to_string(line) + ": expected a number for " + what);
    return v;
}

Recipe parse(const std::string& path) {
    std::ifstream file(path);
    if (!file) fail("cannot read " + path);
    Recipe recipe;
    Table* table = nullptr;
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        std::size_t hash = text.find('#');
        if (hash != std::string::npos) text.erase(hash);
        std::istringstream in(text);
        std::string key;
        if (!(in >> key)) continue;
        if (key == "intent") {
            std::getline(in >> std::ws, recipe.intent);
        } else if (key == "clip") {
            recipe.clip = number(in, "clip", line);
        } else if (key == "low") {
            recipe.low = number(in, "low", line);
        } else if (key == "high") {
            recipe.high = number(in, "high", line);
        } else if (key == "max-damping") {
            recipe.maxDamping = number(in, "max-damping", line);
        } else if (key == "drive" || key == "cubic" || key == "damping") {
            table = &recipe.tables[key == "drive" ? 0 : key == "cubic" ? 1 : 2];
            std::string word;
            if (in >> word) {
                if (word != "shape") fail("line " + std::to_string(line) + ": expected 'shape'");
                table->shape = number(in, "shape", line);
                if (table->shape <= 0.0f) fail("line " + std::to_string(line) + ": shape must be positive");
            }
        } else if (key == "row") {
            if (!table) fail("line " + std::to_string(line) + ": row outside a table");
            int r;
            if (!(in >> r) || r < 0 || r >= kN) fail("line " + std::to_string(line) + ": row number 0 .. 10 expected");
            Row row;
            std::string word;
            std::streampos mark = in.tellg();
            if (in >> word && word == "all") {
                row.fill(number(in, "all", line));
            } else {
                in.clear();
                in.seekg(mark);
                for (float& v : row) v = number(in, "row " + std::to_string(r), line);
            }
            std::string rest;
            if (in >> rest) fail("line " + std::to_string(line) + ": more than 11 values");
            if (!table->rows.emplace(r, row).second) fail("line " + std::to_string(line) + ": row listed twice");
        } else {
            fail("line " + std::to_string(line) + ": unknown key " + key);
        }
    }
    return recipe;
}

void complete(Table& t, const char* name) {
    if (!t.rows.count(0) || !t.rows.count(kN - 1)) fail(std::string(name) + ": rows 0 and 10 are required");
    for (int r = 0; r < kN; ++r) {
        auto upper = t.rows.lower_bound(r);
        if (upper->first == r) {
            t.values[r] = upper->second;
            continue;
        }
        auto lower = std::prev(upper);
        float w = std::pow(static_cast<float>(r - lower->first) / static_cast<float>(upper->first - lower->first),
                           t.shape);
        for (int c = 0; c < kN; ++c) t.values[r][c] = lower->second[c] + (upper->second[c] - lower->second[c]) * w;
    }
}

void check(Recipe& recipe) {
    if (recipe.intent.empty()) fail("the recipe needs a one-line intent");
    if (!recipe.clip || *recipe.clip <= 0.0f) fail("clip shape missing or not positive");
    if (!recipe.low || !recipe.high || *recipe.low >= *recipe.high) fail("frequency axis missing or empty");
    const char* names[3] = {"drive", "cubic", "damping"};
    for (int t = 0; t < 3; ++t) complete(recipe.tables[t], names[t]);
    auto& drive = recipe.tables[0].values;
    auto& cubic = recipe.tables[1].values;
    auto& damping = recipe.tables[2].values;
    float largest = 0.0f;
    for (int r = 0; r < kN; ++r) {
        for (int c = 0; c < kN; ++c) {
            std::string at = " at row " + std::to_string(r) + ", column " + std::to_string(c);
            if (drive[r][c] < 0.1f || drive[r][c] > 10.0f) fail("drive outside 0.1 .. 10" + at);
            if (cubic[r][c] < 0.0f || cubic[r][c] > 0.1f) fail("cubic outside 0 .. 0.1" + at);
            if (damping[r][c] < 0.0f) fail("negative damping" + at);
            if (r == 0 && (damping[r][c] != 0.0f || cubic[r][c] != 0.0f)) fail("row 0 needs damping 0 and cubic 0" + at);
            if (r > 0 && damping[r][c] < damping[r - 1][c]) fail("damping must rise with the peak" + at);
            largest = std::max(largest, damping[r][c]);
        }
    }
    if (recipe.maxDamping) {
        if (std::fabs(largest - *recipe.maxDamping) > 1e-6f)
            fail("largest damping " + std::to_string(largest) + " differs from max-damping");
    } else if (largest > 1.0f) {
        fail("damping above 1 (self-oscillation) needs a max-damping line");
    }
}

void write(const Recipe& recipe, const std::string& path) {
    BinaryFileWriter writer(path);
    writer.writeHeader("BXil", 1);
    writer.writeFloat32(*recipe.clip);
    writer.writeFloat32(*recipe.low);
    writer.writeFloat32(*recipe.high);
    for (const Table& t : recipe.tables) {
        writer.writeInt32(kN);
        for (const Row& row : t.values)
            for (float v : row) writer.writeFloat32(v);
    }
    if (!writer.close()) fail("cannot write " + path);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "lorimane-filtergen: usage: lorimane-filtergen RECIPE OUTPUT.fil\n";
        return 2;
    }
    try {
        Recipe recipe = parse(argv[1]);
        check(recipe);
        write(recipe, argv[2]);
    } catch (const Failure& f) {
        std::cerr << "lorimane-filtergen: " << argv[1] << ": " << f.message << "\n";
        return 2;
    }
    return 0;
}
