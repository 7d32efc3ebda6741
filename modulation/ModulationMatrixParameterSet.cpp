#include "modulation/ModulationMatrixParameterSet.h"

#include "framework/IndexedPluginParameter.h"
#include "modulation/ModulationMatrixOwner.h"

namespace {
std::vector<std::string> itemList(const std::string& none, const std::string& names) {
    std::vector<std::string> items{none};
    if (!names.empty()) {
        std::vector<std::string> split = indexed::splitAtCommas(names);
        items.insert(items.end(), split.begin(), split.end());
    }
    return items;
}
}  // namespace

ModulationMatrixParameterSet::ModulationMatrixParameterSet(ModulationMatrixOwner* owner,
                                                           GenericParameterOwner* plugin,
                                                           const std::string& sourceNames,
                                                           const std::string& targetNames)
    : owner_(owner), plugin_(plugin) {
    sourceItems_ = itemList("< Source >", sourceNames);
    targetItems_ = itemList("< Target >", targetNames);
    for (int i = 0; i < kSlotSetCount; ++i)
        slots_.push_back(std::make_unique<ModulationSlotParameterSet>(
            plugin_, owner_, i + 1, firstSlotTarget_ + i, &sourceItems_, &targetItems_));
    if (owner_) owner_->setSlotParameters(this);
}

ModulationMatrixParameterSet::~ModulationMatrixParameterSet() = default;
