#include <cstdlib>

#include "SourceEditorFixture.h"
#include "engine/LorimanePlugin.h"
#include "interface/sources/EFSourceInterface.h"
#include "interface/sources/EGController.h"
#include "interface/sources/EGSourceInterface.h"
#include "interface/sources/FloatValueLabel.h"
#include "interface/sources/MidiSourceInterface.h"
#include "interface/sources/XLFOController.h"
#include "interface/sources/XLFOSourceInterface.h"
#include "tools/png-writer/PngWriter.h"

namespace sources::test {
namespace {

// The panels drawn by the software renderer with typical settings. The picture goes to the file
// that LORIMANE_SOURCES_PICTURE names, for a look by eye.
TEST_F(SourceEditorFixture, SourcePanelsDrawTheirSettings) {
    const SourceLayout::XLFO x = layout.xlfo(0);
    auto* xlfo = new XLFOSourceInterface(ui.get(), editor, layout);
    xlfo->parent = &root();
    xlfo->setIndex(0);
    const float values[] = {0.8f, -0.2f, 0.4f, -0.6f, 0.f, 0.6f, -0.9f, 0.3f};
    editor.setPlain(x.stepCount, 8.0f);
    for (int i = 0; i < 8; ++i) {
        const int step = x.firstStep + i * x.stepStride;
        editor.setPlain(step + x.stepValue, values[i]);
        editor.setPlain(step + x.stepGlide, i % 3 == 0 ? 0.6f : 0.2f);
        editor.setPlain(step + x.stepGlideFunction, float(i % 4));
    }
    editor.setPlain(x.firstStep + 4 * x.stepStride + x.stepRandom, 1.0f);
    editor.setPlain(x.phaseOffset, 0.3f);
    editor.setPlain(x.syncMode, 7.0f);
    xlfo->stepEditor().selectStep(2, true);
    xlfo->stepEditor().selectStep(5, true);

    const SourceLayout::EG e = layout.eg(0);
    auto* eg = new EGSourceInterface(ui.get(), editor, layout);
    eg->setPosition({0, 150});
    eg->parent = &root();
    eg->setIndex(0);
    const float stages[] = {0.1f, 0.35f, 0.4f, 0.55f, 0.3f, 0.6f};
    for (int k = 0; k < 6; ++k) editor.setNormalized(e.stage[k], stages[k]);

    auto* ef = new EFSourceInterface(ui.get(), editor, layout);
    ef->setPosition({304, 150});
    ef->parent = &root();
    ef->setIndex(0);
    auto* midi = new MidiSourceInterface(ui.get(), editor, layout);
    midi->setPosition({440, 150});
    midi->parent = &root();
    midi->setIndex(0);
    auto* label = new FloatValueLabel(ui.get(), editor);
    label->setBounds(590, 160, 70, 18);
    label->parent = &root();
    label->bind(dynamic_cast<LorimanePlugin&>(*plugin).delays.set(0).time.index());

    root().invalidateAll();
    system.pump();
    const auto& shot = window().snapshot();
    ASSERT_GT(shot.width(), 0);
    // The selected step's handle is lit, the envelope is filled below its line.
    const XLFOController::StepSlider& selected = xlfo->stepEditor().step(2);
    const gui::Point handle = selected.toRoot({selected.width() / 2, selected.handleCentre()});
    EXPECT_EQ(shot.colourAt(handle.x, handle.y), SourceArt::kAccent);
    const EGController& display = eg->envelope();
    gui::Point underSustain = centreOf(*display.dot(EGController::Sustain));
    underSustain.y = display.toRoot({0, display.plot().bottom - 4}).y;
    EXPECT_NE(shot.colourAt(underSustain.x, underSustain.y), SourceArt::kDeep);

    if (const char* path = std::getenv("LORIMANE_SOURCES_PICTURE")) {
        EXPECT_TRUE(writePng(shot, path));
    }
}

}  // namespace
}  // namespace sources::test
