#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A name-keyed settings interface that both loads and stores: one routine assigns to each setting the
// accessor's result, called with the setting's current value as value and default. A reader answers
// the stored value (or the default when nothing of that type is stored) and ignores the value; a
// writer stores the value and answers it. Names and strings are UTF-8. The thread is the caller's.
class SettingSerializer {
public:
    virtual ~SettingSerializer() = default;

    virtual bool isWriting() const = 0;
    // A reader empties bytes and fills it with the stored bytes when present; a writer stores them.
    virtual void binaryValue(const std::string& name, std::vector<std::uint8_t>& bytes) = 0;
    // Through intValue with 1 and 0.
    virtual bool boolValue(const std::string& name, bool value, bool defaultValue);
    // Through stringValue with the numbers formatted as "%.15g"; a stored text with characters after
    // the number answers the default.
    virtual double doubleValue(const std::string& name, double value, double defaultValue);
    // Through stringValue with the numbers as decimal text; a stored text that is not exactly one
    // number answers the default.
    virtual std::int32_t intValue(const std::string& name, std::int32_t value, std::int32_t defaultValue);
    virtual std::string stringValue(const std::string& name, const std::string& value,
                                    const std::string& defaultValue) = 0;
};
