#include "streams/SettingSerializer.h"

#include <cstdio>
#include <cstdlib>

bool SettingSerializer::boolValue(const std::string& name, bool value, bool defaultValue) {
    return intValue(name, value ? 1 : 0, defaultValue ? 1 : 0) != 0;
}

std::int32_t SettingSerializer::intValue(const std::string& name, std::int32_t value, std::int32_t defaultValue) {
    std::string result = stringValue(name, std::to_string(value), std::to_string(defaultValue));
    int parsed = 0;
    if (std::sscanf(result.c_str(), "%d", &parsed) == 1) return parsed;
    return defaultValue;
}

double SettingSerializer::doubleValue(const std::string& name, double value, double defaultValue) {
    char v[32];
    char d[32];
    std::snprintf(v, sizeof v, "%.15g", value);
    std::snprintf(d, sizeof d, "%.15g", defaultValue);
    std::string result = stringValue(name, v, d);
    const char* begin = result.c_str();
    char* end = nullptr;
    double parsed = std::strtod(begin, &end);
    // Nothing parsed, or characters after the number: not a stored real.
    if (end == begin || *end != '\0') return defaultValue;
    return parsed;
}
