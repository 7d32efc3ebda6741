#include "tests/interface/frame/FrameFixture.h"

#include "gui/Button.h"
#include "gui/Text.h"

namespace frametest {

gui::Control* FrameTest::find(gui::Control& from, const std::string& start) {
    for (gui::Control* c : from.children()) {
        if (c->hint.get().rfind(start, 0) == 0) return c;
        if (auto* b = dynamic_cast<gui::Button*>(c); b && b->text().text.get() == start) return c;
        if (gui::Control* inner = find(*c, start)) return inner;
    }
    return nullptr;
}

std::vector<std::string> FrameTest::openMenu(const gui::Control& c, const std::string& choose) {
    system.scriptMenuChoice(choose.empty() ? std::string("\x01") : choose);
    const int shown = system.menusShown();
    const gui::Point p = centre(c);
    window().pressButton(gui::native::LeftButton, p.x, p.y);
    window().releaseButton(gui::native::LeftButton, p.x, p.y);
    system.advance(60);
    std::vector<std::string> items;
    if (system.menusShown() == shown) return items;
    for (const gui::native::MenuEntry& e : system.lastMenu()) {
        std::string line(static_cast<std::size_t>(2 * e.depth), ' ');
        line += e.separator ? "-" : e.text;
        if (e.checked) line += " [checked]";
        if (!e.enabled) line += " [disabled]";
        items.push_back(line);
    }
    return items;
}

void FrameTest::processBlock() {
    std::vector<float> in(256, 0.0f), out0(256), out1(256);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out0.data(), out1.data()};
    plugin->process(inputs, 2, outputs, 2, 256);
    plugin->deliverParameterReports();
}

void FrameTest::sendMidi(uint8_t status, uint8_t data1, uint8_t data2) {
    MidiMessage m;
    m.status = status;
    m.data1 = data1;
    m.data2 = data2;
    plugin->receiveMidi(m);
    processBlock();
}

}  // namespace frametest
