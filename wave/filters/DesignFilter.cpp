#include "wave/filters/DesignFilter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "streams/BinaryDataReader.h"
#include "streams/BinaryResourceReader.h"

namespace {
constexpr float kMinimumDrive = 0.1f;
constexpr char kTag[4] = {'B', 'X', 'i', 'l'};
}  // namespace

DesignFilter::Style::Style(const std::string& fileName, float inputGain)
    : clipShape(this, 0.3f),
      frequencyLow(this, 2.2666f),
      frequencyHigh(this, 16.2064f),
      tableSize(this, kTableSize),
      drive(kTableSize),
      cubic(kTableSize),
      damping(kTableSize),
      clipTable_(0.3f),
      inputGain_(inputGain) {
    updateIndexScale();
    if (fileName.empty()) {
        fillDefaultTables();
        return;
    }
    // The tables stay all zeros if the file is refused.
    BinaryResourceReader reader(fileName);
    load(reader);
}

void DesignFilter::Style::propertyChanged(AbstractProperty* property) {
    if (property == &clipShape) {
        clipTable_.setShape(clipShape.get());
    } else if (property == &frequencyLow || property == &frequencyHigh) {
        updateIndexScale();
        fillDefaultTables();
    } else if (property == &tableSize) {
        int n = std::max(tableSize.get(), 2);
        drive.size.set(n);
        cubic.size.set(n);
        damping.size.set(n);
        updateIndexScale();
        fillDefaultTables();
    }
}

void DesignFilter::Style::updateIndexScale() {
    float span = frequencyHigh.get() - frequencyLow.get();
    indexScale_ = span != 0.0f ? static_cast<float>(tableSize.get() - 1) / span : 0.0f;
}

void DesignFilter::Style::fillDefaultTables() {
    int n = drive.size.get();
    for (int r = 0; r < n; ++r) {
        float peak = std::min(static_cast<float>(r) / static_cast<float>(n - 1), 0.999f);
        for (int c = 0; c < n; ++c) {
            damping.setValue(r, c, peak);
            cubic.setValue(r, c, 0.0f);
            drive.setValue(r, c, kMinimumDrive);
        }
    }
    drive.updateSlopes();
    cubic.updateSlopes();
    damping.updateSlopes();
}

bool DesignFilter::Style::load(BinaryDataReader& reader) {
    char tag[4];
    reader.read(tag, sizeof tag);
    if (!reader.ok() || std::memcmp(tag, kTag, sizeof tag) != 0) return false;
    reader.version = reader.readInt32();  // read, not checked
    float shape = reader.readFloat32();
    float low = reader.readFloat32();
    float high = reader.readFloat32();
    const int n = tableSize.get();
    std::vector<float> driveValues, cubicValues, dampingValues;
    if (!reader.ok() || !FilterSettingTable::readValues(reader, n, driveValues) ||
        !FilterSettingTable::readValues(reader, n, cubicValues) ||
        !FilterSettingTable::readValues(reader, n, dampingValues))
        return false;

    // Everything was read: apply it, header values through their properties.
    clipShape.set(shape);
    frequencyLow.set(low);
    frequencyHigh.set(high);
    drive.assign(n, driveValues);
    cubic.assign(n, cubicValues);
    damping.assign(n, dampingValues);
    return true;
}

void DesignFilter::Style::lookup(float frequency, float peak, float& v, float& k, float& d) const {
    const float last = static_cast<float>(tableSize.get() - 1);
    float x = (frequency - frequencyLow.get()) * indexScale_;
    float y = last * peak;  // the table keeps both positions within its rows and columns
    d = std::max(drive.lookup(x, y), kMinimumDrive);
    k = cubic.lookup(x, y);
    v = damping.lookup(x, y);
}

DesignFilter::DesignFilter(wave::Environment& environment, const Style* characteristic)
    : StateVariableFilter(environment, &characteristic->clipTable()), characteristic_(characteristic) {}

void DesignFilter::stageOneParameters(float frequency, float peak, float& v, float& k, float& d) const {
    characteristic_->lookup(frequency, peak, v, k, d);
}
