#include "persistence/ParameterCollection.h"

#include <cmath>
#include <sstream>

#include "core/FloatEpsilon.h"
#include "persistence/AtomicFile.h"
#include "streams/BinaryDataWriter.h"

void ParameterCollection::addRange(int first, int count) {
    for (int i = first; i < first + count; ++i)
        if (AbstractPluginParameter* p = owner_.getParameter(i)) parameters_.push_back(p);
}

std::string ParameterCollection::serialize(int version) const {
    std::ostringstream out;
    BinaryDataWriter writer(out);
    writer.writeHeader(tag_, version);
    writer.writeInt32(size());
    for (AbstractPluginParameter* p : parameters_) writer.writeFloat32(p->value());
    return out.str();
}

bool ParameterCollection::saveToFile(const std::string& path, int version) const {
    return writeFileAtomically(path, serialize(version));
}

std::vector<float> ParameterCollection::captureValues() const {
    std::vector<float> values;
    values.reserve(parameters_.size());
    for (AbstractPluginParameter* p : parameters_) values.push_back(p->value());
    return values;
}

void ParameterCollection::applyValues(const std::vector<float>& values) const {
    std::size_t n = std::min(values.size(), parameters_.size());
    for (std::size_t i = 0; i < n; ++i) parameters_[i]->setValue(values[i], 0);
}

bool ParameterCollection::matches(const std::vector<float>& values) const {
    if (values.size() != parameters_.size()) return false;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!(std::fabs(parameters_[i]->value() - values[i]) <= kFloatEpsilon)) return false;
    return true;
}
