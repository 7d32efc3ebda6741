// Renders pictures to PNG files:
//
//     lorimane-snapshot image <name> <out.png>                 one embedded image
//     lorimane-snapshot contact-sheet <out.png> [manifest]     every image (of the manifest), labelled
//     lorimane-snapshot demo <out.png>                         every drawing primitive on one canvas
//     lorimane-snapshot stretch <out.png> <name> <size>...     an image stretched by the three-slice
//                                                              rule; size: WxH, or x,y,w,h:WxH to
//                                                              stretch a part of the image
//     lorimane-snapshot curve-fill <out.png>                   curves with solid and fading fills

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/BitmapFiler.h"
#include "gui/Curve.h"
#include "gui/Text.h"
#include "streams/Resource.h"
#include "tools/png-writer/PngWriter.h"

namespace {

using gui::Bitmap;
using gui::Rect;
using gui::Rgba;

const Rgba kPage{24, 26, 30, 255};
const Rgba kLabel{190, 196, 204, 255};

std::unique_ptr<Bitmap> loadImage(const std::string& name) {
    auto bitmap = std::make_unique<Bitmap>();
    std::unique_ptr<std::istream> stream = openResource(name);
    bitmap->load(*stream);
    return bitmap;
}

// A grey checkerboard, so that transparency shows.
void checker(Bitmap& target, const Rect& r) {
    for (int y = r.top; y < r.bottom; y += 4)
        for (int x = r.left; x < r.right; x += 4) {
            const bool dark = ((x - r.left) / 4 + (y - r.top) / 4) % 2 == 0;
            target.fillRect(Rect{x, y, std::min(x + 4, r.right), std::min(y + 4, r.bottom)},
                            dark ? Rgba{70, 70, 74, 255} : Rgba{96, 96, 100, 255});
        }
}

// The image names in manifest order, or, without a manifest, every embedded PNG resource.
bool imageNames(const std::string& manifest, std::vector<std::string>& names) {
    if (manifest.empty()) {
        const EmbeddedResourceTable& table = embeddedResources();
        for (std::size_t i = 0; i < table.count; ++i)
            if (table.entries[i].size > 8 && table.entries[i].data[1] == 'P' &&
                table.entries[i].data[2] == 'N')
                names.push_back(table.entries[i].name);
        return true;
    }
    std::ifstream in(manifest);
    if (!in) return false;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && std::isalpha(static_cast<unsigned char>(line[0])))
            names.push_back(line.substr(0, line.find_first_of(" \t")));
    return true;
}

int contactSheet(const std::string& out, const std::string& manifest) {
    std::vector<std::string> names;
    if (!imageNames(manifest, names)) {
        std::fprintf(stderr, "lorimane-snapshot: cannot read %s\n", manifest.c_str());
        return 2;
    }
    std::vector<std::unique_ptr<Bitmap>> images;
    for (const std::string& name : names) images.push_back(loadImage(name));

    // Shelves: images left to right, a new shelf when the next would not fit.
    const int sheetWidth = 1360, gap = 10, labelHeight = 14, minimumCell = 96;
    struct Place {
        int x, y, cell;
    };
    std::vector<Place> places;
    int x = gap, y = gap, shelf = 0;
    for (const auto& image : images) {
        const int cell = std::max(image->width(), minimumCell);
        if (x + cell + gap > sheetWidth) {
            x = gap;
            y += shelf + labelHeight + gap;
            shelf = 0;
        }
        places.push_back({x, y, cell});
        x += cell + gap;
        shelf = std::max(shelf, image->height());
    }
    Bitmap sheet;
    sheet.setSize(sheetWidth, y + shelf + labelHeight + gap);
    sheet.fillRect(sheet.bounds(), kPage);
    gui::Text label;
    label.size = 7;
    label.colour = kLabel;
    label.wrapMode = gui::Text::Ellipsis;
    for (size_t i = 0; i < images.size(); ++i) {
        const Bitmap& image = *images[i];
        const Place& p = places[i];
        const Rect r = Rect::ofSize(p.x, p.y, image.width(), image.height());
        checker(sheet, r);
        sheet.canvas().drawBitmap(image, r, {0, 0});
        label.text = names[i];
        label.maximumWidth = p.cell;
        sheet.canvas().drawText(label, {p.x, p.y + image.height() + 1});
    }
    if (!writePng(sheet, out)) {
        std::fprintf(stderr, "lorimane-snapshot: cannot write %s\n", out.c_str());
        return 2;
    }
    std::printf("%zu images on a %d x %d sheet: %s\n", images.size(), sheet.width(), sheet.height(),
                out.c_str());
    return 0;
}

class Wave : public gui::Curve {
public:
    Wave(float middle, float height, float period) : middle_(middle), height_(height), period_(period) {}
    float value(float x) const override { return middle_ - height_ * std::sin(x * 6.2831853f / period_); }

private:
    float middle_, height_, period_;
};

int demo(const std::string& out) {
    Bitmap page;
    page.setSize(480, 320);
    gui::Canvas& c = page.canvas();
    c.fillRect(page.bounds(), kPage);
    // Filled rectangles with opacity, frames, lines.
    c.fillRect({10, 10, 110, 60}, Rgba{242, 164, 52, 255});
    c.fillRect({60, 35, 160, 85}, Rgba{72, 192, 204, 160});
    c.drawFrame({180, 10, 280, 85}, Rgba{226, 229, 233, 255}, 2);
    for (int i = 0; i < 8; ++i)
        c.drawLine(gui::Point{300, 10 + i * 10}, gui::Point{470, 20 + i * 8}, Rgba{226, 229, 233, 255},
                   0.5f + i * 0.5f);
    // Curves with fill and base colour, then the transposed form.
    Wave wave(140, 25, 90), second(150, 15, 50);
    gui::CurveSet set;
    set.base = Rgba{40, 44, 50, 255};
    set.entries.push_back({&wave, Rgba{72, 192, 204, 90}, Rgba{72, 192, 204, 255}, 2.0f});
    set.entries.push_back({&second, Rgba{242, 164, 52, 60}, Rgba{242, 164, 52, 255}, 1.0f});
    c.drawCurves(set, {10, 100, 230, 190});
    gui::CurveSet side;
    Wave across(300, 20, 60);
    side.entries.push_back({&across, Rgba{226, 229, 233, 70}, Rgba{226, 229, 233, 255}, 1.5f});
    c.drawCurves(side, {250, 100, 470, 190}, true);
    // Images: a knob with its pointer turned, stretched buttons, a cross-fade, a tinted text.
    const auto back = loadImage("KnobNormalBackNormal"), pointer = loadImage("KnobNormalOverlayNormal");
    for (int i = 0; i < 5; ++i) {
        const Rect r = Rect::ofSize(10 + i * 48, 205, 40, 40);
        c.drawBitmap(*back, r, {0, 0});
        Bitmap turned;
        turned.setSize(40, 40);
        turned.drawRotated(*pointer, static_cast<float>((-150 + 75 * i) * M_PI / 180));
        c.drawBitmap(turned, r, {0, 0});
    }
    const auto button = loadImage("ButtonGenericNormal"), active = loadImage("ButtonGenericActive");
    c.drawStretched(*button, button->bounds(), Rect::ofSize(260, 205, 120, 18));
    c.drawStretched(*button, button->bounds(), Rect::ofSize(260, 228, 60, 30), 255, 4);
    c.drawBlend(*button, Rect::ofSize(390, 205, 24, 18), {0, 0}, *active, {0, 0}, 128);
    gui::Text text;
    text.text = "Drawn by the toolkit: text with an ellipsis at a width";
    text.size = 9;
    text.colour = Rgba{226, 229, 233, 255};
    text.maximumWidth = 300;
    text.wrapMode = gui::Text::Ellipsis;
    c.drawText(text, {10, 265});
    gui::Text bold;
    bold.text = "Bold, italic and underlined";
    bold.bold = true;
    bold.italic = true;
    bold.underline = true;
    bold.size = 10;
    bold.colour = Rgba{242, 164, 52, 255};
    c.drawText(bold, {10, 288});
    c.setOpacity(128);
    c.drawText(bold, {250, 288});
    if (!writePng(page, out)) {
        std::fprintf(stderr, "lorimane-snapshot: cannot write %s\n", out.c_str());
        return 2;
    }
    return 0;
}

// "WxH" or "x,y,w,h:WxH"; the source defaults to the whole image.
bool parseStretch(const std::string& spec, const Bitmap& image, Rect& source, int& width, int& height) {
    source = image.bounds();
    std::string size = spec;
    if (const size_t colon = spec.find(':'); colon != std::string::npos) {
        int x, y, w, h;
        if (std::sscanf(spec.substr(0, colon).c_str(), "%d,%d,%d,%d", &x, &y, &w, &h) != 4) return false;
        source = Rect::ofSize(x, y, w, h).intersection(image.bounds());
        size = spec.substr(colon + 1);
    }
    return std::sscanf(size.c_str(), "%dx%d", &width, &height) == 2 && width > 0 && height > 0 &&
           width <= 4096 && height <= 4096 && !source.isEmpty();
}

// The stretched pictures one below the other, each on a checkerboard and labelled with its size.
int stretch(const std::string& out, const std::string& name, const std::vector<std::string>& specs) {
    const auto image = loadImage(name);
    struct Item {
        Rect source;
        int width, height;
        std::string spec;
    };
    std::vector<Item> items;
    const int gap = 10, labelHeight = 14;
    int pageWidth = 200, pageHeight = gap;
    for (const std::string& spec : specs) {
        Item item{{}, 0, 0, spec};
        if (!parseStretch(spec, *image, item.source, item.width, item.height)) {
            std::fprintf(stderr, "lorimane-snapshot: bad size %s\n", spec.c_str());
            return 2;
        }
        pageWidth = std::max(pageWidth, item.width + 2 * gap);
        pageHeight += labelHeight + item.height + gap;
        items.push_back(item);
    }
    Bitmap page;
    page.setSize(pageWidth, pageHeight);
    page.fillRect(page.bounds(), kPage);
    gui::Text label;
    label.size = 7;
    label.colour = kLabel;
    int y = gap;
    for (const Item& item : items) {
        label.text = name + " " + item.spec;
        page.canvas().drawText(label, {gap, y});
        y += labelHeight;
        const Rect r = Rect::ofSize(gap, y, item.width, item.height);
        checker(page, r);
        page.canvas().drawStretched(*image, item.source, r);
        y += item.height + gap;
    }
    if (!writePng(page, out)) {
        std::fprintf(stderr, "lorimane-snapshot: cannot write %s\n", out.c_str());
        return 2;
    }
    return 0;
}

// A schematic response: flat at the reference level, a smooth rise to the peak and a fall.
class Bump : public gui::Curve {
public:
    Bump(float centre, float width, float level, float peak)
        : centre_(centre), width_(width), level_(level), peak_(peak) {}
    float value(float x) const override {
        const float d = (x - centre_) / width_;
        return level_ - peak_ / (1 + d * d);
    }

private:
    float centre_, width_, level_, peak_;
};

// The same curves filled solidly and fading out towards the bottom, whole and repainted in two
// halves (the fade must not depend on the part being repainted), over a frequency-display grid.
int curveFill(const std::string& out) {
    const int w = 300, h = 150, gap = 10;
    Bitmap page;
    page.setSize(2 * w + 3 * gap, 2 * h + 3 * gap);
    gui::Canvas& c = page.canvas();
    c.fillRect(page.bounds(), kPage);
    Bump lowPass(80, 30, 75, 40), bandPass(210, 18, 75, 55);
    for (int panel = 0; panel < 4; ++panel) {
        const bool fading = panel % 2 == 1, halves = panel >= 2;
        const Rect area = Rect::ofSize(gap + (panel % 2) * (w + gap), gap + (panel / 2) * (h + gap), w, h);
        const gui::Canvas::State saved = c.saveState();
        c.setOrigin({area.left, area.top});
        c.setClip({0, 0, w, h});
        c.fillRect({0, 0, w, h}, Rgba{20, 22, 26, 255});
        for (int x = 15; x < w; x += 30) c.drawVLine(x, 0, h - 1, Rgba{128, 128, 128, 60});
        gui::CurveSet set;
        const gui::Curve* curves[] = {&lowPass, &bandPass};
        for (const gui::Curve* curve : curves) {
            gui::CurveSet::Entry e{curve, Rgba{72, 192, 204, 196}, Rgba{255, 255, 255, 255}, 1.5f};
            if (fading) e.fadeEnd = static_cast<float>(h);
            set.entries.push_back(e);
        }
        set.entries[1].fill.alpha = 128;  // the inactive dot's curve
        if (halves) {
            c.setClip({0, 0, w, h / 2 + 7});
            c.drawCurves(set, {0, 0, w, h});
            c.setClip({0, h / 2 + 7, w, h});
        }
        c.drawCurves(set, {0, 0, w, h});
        c.restoreState(saved);
    }
    if (!writePng(page, out)) {
        std::fprintf(stderr, "lorimane-snapshot: cannot write %s\n", out.c_str());
        return 2;
    }
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: lorimane-snapshot image <name> <out.png> | contact-sheet <out.png> <manifest> | "
                 "demo <out.png> | stretch <out.png> <name> <WxH | x,y,w,h:WxH>... | curve-fill <out.png>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    try {
        if (mode == "image" && argc == 4) {
            if (!writePng(*loadImage(argv[2]), argv[3])) {
                std::fprintf(stderr, "lorimane-snapshot: cannot write %s\n", argv[3]);
                return 2;
            }
            return 0;
        }
        if (mode == "contact-sheet" && (argc == 3 || argc == 4))
            return contactSheet(argv[2], argc == 4 ? argv[3] : "");
        if (mode == "demo" && argc == 3) return demo(argv[2]);
        if (mode == "stretch" && argc >= 5) return stretch(argv[2], argv[3], {argv + 4, argv + argc});
        if (mode == "curve-fill" && argc == 3) return curveFill(argv[2]);
    } catch (const EResource&) {
        std::fprintf(stderr, "lorimane-snapshot: no embedded image of that name\n");
        return 2;
    } catch (const gui::EBitmap& e) {
        std::fprintf(stderr, "lorimane-snapshot: %s\n", e.what());
        return 2;
    }
    return usage();
}
