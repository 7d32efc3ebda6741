#include "wave/filters/MultiDesignFilter.h"

namespace {
struct CharacteristicFile {
    const char* file;
    float inputGain;
};
// In the order of the display list.
constexpr CharacteristicFile kFiles[] = {
    {"Prime.fil", 1.8f},  {"Gentle.fil", 1.0f},    {"Raw.fil", 1.0f},    {"Tube.fil", 1.0f},
    {"Metal.fil", 1.0f},  {"EasyGoing.fil", 1.0f}, {"Smooth.fil", 1.0f}, {"Monopoly.fil", 1.4f},
    {"Cheap.fil", 1.0f},  {"Extreme.fil", 1.0f},
};
}  // namespace

std::unique_ptr<MultiDesignFilter::Style> MultiDesignFilter::Style::createCharacteristics() {
    auto list = std::make_unique<Style>();
    for (const CharacteristicFile& f : kFiles) list->add(std::make_unique<DesignFilter::Style>(f.file, f.inputGain));
    return list;
}

MultiDesignFilter::ParallelUnit::ParallelUnit(wave::Environment& environment, const Style& characteristics)
    : environment_(&environment),
      characteristics_(&characteristics),
      group_(std::make_unique<DesignFilter>(environment, characteristics.at(0))) {}

MultiDesignFilter::ParallelUnit::~ParallelUnit() = default;

MultiDesignFilter::MultiDesignFilter(ParallelUnit& parallelUnit)
    : GenericFilter(parallelUnit.environment()),
      characteristic(this, 0),
      slotGroup_(&parallelUnit.group()),
      characteristics_(&parallelUnit.characteristics()) {
    joinGroup(slotGroup_);
    entries_.reserve(characteristics_->size() + 1);
    for (int i = 0; i < characteristics_->size(); ++i) entries_.push_back({nullptr, slotGroup_, i});
}

MultiDesignFilter::~MultiDesignFilter() { leaveGroup(); }

void MultiDesignFilter::addOwnUnit(std::unique_ptr<GenericFilter::FilterUnit> unit) {
    entries_.push_back({unit.get(), nullptr, -1});
    ownUnits_.push_back(std::move(unit));
}

void MultiDesignFilter::propertyChanged(AbstractProperty* property) {
    if (property != &characteristic) return;
    int i = characteristic.get();
    if (i < 0 || i >= entryCount()) return;
    const Entry& e = entries_[i];
    if (e.group) {
        joinGroup(e.group);
    } else {
        leaveGroup();
        setUnit(e.unit);
    }
    if (e.group == slotGroup_ && e.index >= 0) slotGroup_->setCharacteristic(characteristics_->at(e.index));
}
