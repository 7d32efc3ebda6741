#include "framework/MidiMultiVirtualPluginParameter.h"

#include <algorithm>
#include <cmath>

#include "core/FloatEpsilon.h"
#include "framework/AbstractPluginParameter.h"

namespace {

float normalizedValue(const AbstractPluginParameter* parameter) {
    return parameter->plainToNormalized(parameter->value());
}
}  // namespace

void MidiMultiVirtualPluginParameter::addMember(AbstractPluginParameter* parameter) {
    removeMember(parameter);
    members_.push_back(parameter);
    learned_.resize(members_.size(), 0.0f);
    observed_.resize(members_.size(), 0.0f);
}

void MidiMultiVirtualPluginParameter::removeMember(AbstractPluginParameter* parameter) {
    auto found = std::find(members_.begin(), members_.end(), parameter);
    if (found == members_.end()) return;
    // The offsets stay with their members.
    std::size_t position = std::size_t(found - members_.begin());
    members_.erase(found);
    learned_.erase(learned_.begin() + long(position));
    observed_.erase(observed_.begin() + long(position));
}

float MidiMultiVirtualPluginParameter::meanNormalized() const {
    float sum = 0.0f;
    for (const AbstractPluginParameter* member : members_) sum += normalizedValue(member);
    return sum / float(members_.size());
}

void MidiMultiVirtualPluginParameter::setNormalized(float normalized) {
    if (members_.empty() || std::isnan(normalized)) return;
    float mean = meanNormalized();
    for (std::size_t i = 0; i < members_.size(); ++i) {
        float current = normalizedValue(members_[i]);
        if (std::fabs(current - mean - observed_[i]) > kFloatEpsilon) learned_[i] = current - mean;
    }
    for (std::size_t i = 0; i < members_.size(); ++i) {
        float target = std::clamp(normalized + learned_[i], 0.0f, 1.0f);
        members_[i]->setValue(members_[i]->normalizedToPlain(target), 0);
    }
    mean = meanNormalized();
    for (std::size_t i = 0; i < members_.size(); ++i) observed_[i] = normalizedValue(members_[i]) - mean;
}
