// Draws the editor's images from the readable manifest in resources/art and writes each as a PNG
// file named after it. The output depends only on the manifest: the same manifest gives the same
// bytes, build after build.
//
//     lorimane-artgen <manifest> <output folder>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "tools/artgen/Painter.h"
#include "tools/artgen/Palette.h"
#include "tools/png-writer/PngWriter.h"

namespace {

using gui::Rgba;

struct Entry {
    int line = 0;
    std::string name;
    int width = 0, height = 0;
    std::string base;
    std::map<std::string, std::string> options;
    std::vector<std::vector<std::string>> shapes;
};

struct Failure {
    std::string message;
};

[[noreturn]] void fail(const Entry& e, const std::string& what) {
    throw Failure{"line " + std::to_string(e.line) + " (" + e.name + "): " + what};
}

// Whitespace-separated words; a word in double quotes may hold spaces.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            const size_t end = text.find('"', i + 1);
            out.push_back(text.substr(i + 1, (end == std::string::npos ? text.size() : end) - i - 1));
            i = end == std::string::npos ? text.size() : end + 1;
            continue;
        }
        size_t end = text.find_first_of(" \t", i);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

std::vector<Entry> readManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw Failure{"cannot read " + path};
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        // Comment lines start with '#' (inside a line '#' begins a colour).
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        const size_t colon = text.find(':');
        std::vector<std::string> head = words(text.substr(0, colon));
        if (head.empty()) continue;
        Entry e;
        e.line = number;
        e.name = head[0];
        if (head.size() < 4) fail(e, "expected: name width height kind [option=value ...] [: shapes]");
        e.width = std::atoi(head[1].c_str());
        e.height = std::atoi(head[2].c_str());
        if (e.width < 1 || e.height < 1 || e.width > 4096 || e.height > 4096) fail(e, "bad size");
        e.base = head[3];
        for (size_t i = 4; i < head.size(); ++i) {
            const size_t eq = head[i].find('=');
            if (eq == std::string::npos) fail(e, "option without '=': " + head[i]);
            e.options[head[i].substr(0, eq)] = head[i].substr(eq + 1);
        }
        if (colon != std::string::npos) {
            std::stringstream shapes(text.substr(colon + 1));
            std::string shape;
            while (std::getline(shapes, shape, ';'))
                if (auto w = words(shape); !w.empty()) e.shapes.push_back(w);
        }
        if (!names.insert(e.name).second) fail(e, "name used twice");
        entries.push_back(e);
    }
    return entries;
}

Rgba colourOf(const Entry& e, const std::string& text) {
    Rgba c;
    if (!palette::parse(text, c)) fail(e, "unknown colour " + text);
    return c;
}

std::string option(const Entry& e, const std::string& key, const std::string& fallback) {
    const auto it = e.options.find(key);
    return it == e.options.end() ? fallback : it->second;
}

Rgba optionColour(const Entry& e, const std::string& key, const std::string& fallback) {
    return colourOf(e, option(e, key, fallback));
}

// Face colours (top, bottom) of a button in a state: light falls from above, so raised faces are
// lighter at the top and pressed ones the other way round.
std::pair<Rgba, Rgba> buttonFace(const Entry& e) {
    const std::string state = option(e, "state", "normal"), tone = option(e, "tone", "face");
    auto c = [&](const char* n) { return colourOf(e, n); };
    if (state == "on") return {c("accent"), c("accentdim")};
    if (state == "off") return {c("slate3"), c("slate2")};
    if (tone == "dark") {
        if (state == "active") return {c("slate3"), c("slate2")};
        if (state == "down") return {c("slate1"), c("slate2")};
        return {c("slate2"), c("slate1")};
    }
    if (tone == "teal") {
        if (state == "active") return {c("teal"), c("tealdim")};
        if (state == "down") return {c("tealdim"), c("teal")};
        return {Painter::mix(c("teal"), c("slate2"), 0.45f), Painter::mix(c("tealdim"), c("slate1"), 0.45f)};
    }
    if (state == "active") return {c("slate5"), c("slate4")};
    if (state == "down") return {c("slate2"), c("slate3")};
    return {c("slate4"), c("slate3")};
}

constexpr float kButtonRadius = 3.0f;
constexpr float kPanelRadius = 5.0f;

void drawBase(const Entry& e, gui::Bitmap& b, Painter& p) {
    const float w = static_cast<float>(e.width), h = static_cast<float>(e.height);
    const float cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const std::string state = option(e, "state", "normal");
    auto c = [&](const char* n) { return colourOf(e, n); };
    if (e.base == "none") return;
    if (e.base == "background") {
        // Opaque everywhere: a vertical gradient with a lit top edge.
        b.fillRect(b.bounds(), optionColour(e, "bottom", "slate1"));
        p.cover(
            0, 0, w, h, [](float, float) { return true; },
            Painter::vertical(0, h, optionColour(e, "top", "slate2"), optionColour(e, "bottom", "slate1")));
        p.rect(0, 0, w, 1, Rgba{255, 255, 255, 28});
        p.rect(0, h - 1, w, 1, Rgba{0, 0, 0, 60});
        return;
    }
    if (e.base == "panel" || e.base == "button") {
        const float radius = static_cast<float>(
            std::atof(option(e, "radius",
                             e.base == "panel" ? std::to_string(kPanelRadius) : std::to_string(kButtonRadius))
                          .c_str()));
        auto [top, bottom] = e.base == "button" ? buttonFace(e)
                                                : std::pair{optionColour(e, "top", "slate3"),
                                                            optionColour(e, "bottom", "slate2")};
        p.roundRect(0, 0, w, h, radius, [&](float, float) { return c("slate0"); });
        p.roundRect(1, 1, w - 2, h - 2, std::max(0.0f, radius - 1), Painter::vertical(1, h - 1, top, bottom));
        const bool pressed = state == "down";
        p.rect(radius, pressed ? h - 2 : 1, w - 2 * radius, 1,
               Rgba{255, 255, 255, static_cast<uint8_t>(pressed ? 18 : 40)});
        return;
    }
    if (e.base == "knob") {
        // A disc lit from the upper left, transparent outside so that hit tests follow its outline.
        const bool active = state == "active";
        const Rgba lit = active ? c("edge") : c("slate5"), dark = active ? c("slate3") : c("slate2");
        p.disc(cx, cy, r, [&](float, float) { return c("slate0"); });
        p.disc(cx, cy, r - 1, [&](float x, float y) {
            return Painter::mix(lit, dark, ((y - cy) + 0.4f * (x - cx)) / (2.2f * r) + 0.5f);
        });
        p.arc(cx, cy, r - 1.5f, 1.2f, 300, 60, Rgba{255, 255, 255, 50});
        return;
    }
    if (e.base == "ring") {
        // The outer ring of a concentric pair: a track as wide as the option says, empty inside.
        const float width = static_cast<float>(std::atof(option(e, "width", "8").c_str()));
        p.ring(cx, cy, r, width, c("slate0"));
        p.ring(cx, cy, r - 1, width - 2, state == "active" ? c("slate4") : c("slate3"));
        p.arc(cx, cy, r - 1, 1.0f, 300, 60, Rgba{255, 255, 255, 40});
        return;
    }
    if (e.base == "pointer") {
        // Transparent but for the mark at 12 o'clock; the knob turns it about the centre.
        const std::string style = option(e, "style", "line");
        Rgba ink = c("ink");
        if (state == "active") ink = c("white");
        if (state == "down" || state == "rotate") ink = c("accent");
        if (style == "line") {
            p.line(cx, cy - r * 0.28f, cx, cy - r * 0.82f, std::max(2.0f, r / 9), ink);
        } else if (style == "tick") {
            const float width = static_cast<float>(std::atof(option(e, "width", "8").c_str()));
            p.line(cx, cy - r + 1.5f, cx, cy - r + width - 1.5f, 3.0f, ink);
        } else if (style == "handle") {
            const float width = static_cast<float>(std::atof(option(e, "width", "8").c_str()));
            p.arc(cx, cy, r - 1, width - 2, 330, 30, Painter::mix(ink, c("clear"), 0.55f));
            p.disc(cx, cy - r + width / 2, width / 2, [&](float, float) { return c("slate0"); });
            p.disc(cx, cy - r + width / 2, width / 2 - 1, [&](float, float) { return ink; });
        } else {
            fail(e, "unknown pointer style " + style);
        }
        return;
    }
    if (e.base == "dot") {
        const Rgba fill = optionColour(e, "fill", "ink");
        p.disc(cx, cy, r, [&](float, float) { return c("slate0"); });
        p.disc(cx, cy, r - 1, [&](float, float) { return fill; });
        p.disc(cx - r * 0.3f, cy - r * 0.3f, r * 0.35f, [](float, float) { return Rgba{255, 255, 255, 70}; });
        return;
    }
    if (e.base == "dimmer") {
        b.clear();
        p.rect(0, 0, w, h, optionColour(e, "fill", "#1E2126C8"));
        return;
    }
    if (e.base == "shadow") {
        // Dark at the edges, fading inward over the depth.
        const float depth = static_cast<float>(std::atof(option(e, "depth", "8").c_str()));
        b.clear();
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) {
                const float d = std::min({x + 0.5f, y + 0.5f, w - x - 0.5f, h - y - 0.5f});
                const float t = std::max(0.0f, 1 - d / depth);
                if (t > 0)
                    b.blendPixel({x, y}, Rgba{0, 0, 0, static_cast<uint8_t>(std::lround(120 * t * t))});
            }
        return;
    }
    fail(e, "unknown kind " + e.base);
}

float number(const Entry& e, const std::vector<std::string>& s, size_t i) {
    if (i >= s.size()) fail(e, "too few values for " + s[0]);
    char* end = nullptr;
    const float v = std::strtof(s[i].c_str(), &end);
    if (*end != '\0') fail(e, "not a number: " + s[i]);
    return v;
}

void drawShape(const Entry& e, const std::vector<std::string>& s, Painter& p) {
    const std::string& kind = s[0];
    auto n = [&](size_t i) { return number(e, s, i); };
    auto colourAt = [&](size_t i) {
        if (i >= s.size()) fail(e, "no colour for " + kind);
        return colourOf(e, s[i]);
    };
    if (kind == "rect") return p.rect(n(1), n(2), n(3), n(4), colourAt(5));
    if (kind == "round") {
        const Rgba colour = colourAt(6);
        return p.roundRect(n(1), n(2), n(3), n(4), n(5), [colour](float, float) { return colour; });
    }
    if (kind == "line") return p.line(n(1), n(2), n(3), n(4), n(5), colourAt(6));
    if (kind == "disc") {
        const Rgba colour = colourAt(4);
        return p.disc(n(1), n(2), n(3), [colour](float, float) { return colour; });
    }
    if (kind == "ring") return p.ring(n(1), n(2), n(3), n(4), colourAt(5));
    if (kind == "arc") return p.arc(n(1), n(2), n(3), n(4), n(5), n(6), colourAt(7));
    if (kind == "tri") return p.triangle(n(1), n(2), n(3), n(4), n(5), n(6), colourAt(7));
    if (kind == "text" || kind == "bold") {
        // text x y size colour "string"; x = c centres it.
        if (s.size() < 6) fail(e, "text needs x y size colour \"string\"");
        const float x = s[1] == "c" ? -1.0f : n(1);
        return p.text(x, n(2), static_cast<int>(n(3)), kind == "bold", colourAt(4), s[5]);
    }
    fail(e, "unknown shape " + kind);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lorimane-artgen <manifest> <output folder>\n");
        return 2;
    }
    try {
        const std::vector<Entry> entries = readManifest(argv[1]);
        for (const Entry& e : entries) {
            gui::Bitmap bitmap;
            bitmap.setSize(e.width, e.height);
            bitmap.clear();
            Painter painter(bitmap);
            drawBase(e, bitmap, painter);
            for (const auto& shape : e.shapes) drawShape(e, shape, painter);
            const std::string path = std::string(argv[2]) + "/" + e.name + ".png";
            if (!writePng(bitmap, path)) throw Failure{"cannot write " + path};
        }
    } catch (const Failure& f) {
        std::fprintf(stderr, "lorimane-artgen: %s\n", f.message.c_str());
        return 2;
    }
    return 0;
}
