#include "modulation/ModulationMatrixPlugin.h"

#include "modulation/ModulationLayout.h"
#include "modulation/ModulationMatrix.h"

ModulationMatrixPlugin::ModulationMatrixPlugin() = default;

void ModulationMatrixPlugin::applyParameterChanges() {
    ModulationMatrix* matrix = getMatrix();
    if (matrix) matrix->beginSlotBatch();
    GenericPlugin::applyParameterChanges();
    if (matrix) matrix->endSlotBatch();
}

ModulationMatrixPlugin::~ModulationMatrixPlugin() = default;

float ModulationMatrixPlugin::getSourceDisplayValue(int) {
    return 0.0f;
}

std::string ModulationMatrixPlugin::sourceNames() { return modulationlayout::sourceNames(); }

std::string ModulationMatrixPlugin::targetNames() { return modulationlayout::targetNames(); }

void ModulationMatrixPlugin::configureMatrix(ModulationMatrix& m) {
    namespace layout = modulationlayout;
    for (int k = 0; k < layout::kKindCount; ++k) {
        const layout::KindLimits& limits = layout::kinds()[std::size_t(k)];
        m.setKind(k, limits.defaultFactor, limits.maximum, limits.minimum);
        for (int e = 0; e < limits.exceptionCount; ++e)
            m.addSourceFactor(k, limits.exceptions[std::size_t(e)].type, limits.exceptions[std::size_t(e)].factor);
    }
    for (int t = 0; t < layout::kTargetCount; ++t) m.setTargetKind(t, layout::kindOf(t));
    for (int i = 0; i < layout::kSlotCount; ++i)
        m.wireSlotLevel(i, layout::target(layout::SlotTargets, i, 0));

    for (int g = 0; g < layout::kSourceGroupCount; ++g) {
        const layout::SourceGroup& group = layout::kSourceGroups[g];
        int perSet = layout::itemCount(group);
        for (int set = 0; set < group.sets; ++set) {
            for (int i = 0; i < perSet; ++i) {
                int source = layout::source(layout::SourceGroupId(g), set, i);
                m.setSourceType(source, group.type);
                if (group.ownTargets < 0) continue;
                auto owned = layout::TargetGroupId(group.ownTargets);
                for (int k = 0; k < layout::targetsPerSet(owned); ++k)
                    m.addOwnTarget(source, layout::target(owned, set, k));
            }
        }
    }
}
