// The LV2 plug-in library: one descriptor over the wrapper and the product's plug-in.
#include <lv2/core/lv2.h>

#include <cstring>
#include <exception>

#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

namespace {

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    try {
        return Lv2Plugin::create(rate, features, error).release();
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle h, uint32_t port, void* data) { static_cast<Lv2Plugin*>(h)->connectPort(port, data); }
void activate(LV2_Handle h) { static_cast<Lv2Plugin*>(h)->activate(); }
void run(LV2_Handle h, uint32_t frames) { static_cast<Lv2Plugin*>(h)->run(frames); }
void deactivate(LV2_Handle) {}
void cleanup(LV2_Handle h) { delete static_cast<Lv2Plugin*>(h); }
const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return Lv2Plugin::stateInterface();
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) return Lv2Plugin::workerInterface();
    return nullptr;
}

const LV2_Descriptor descriptor = {lv2turtle::kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup,
                                   extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) { return index == 0 ? &descriptor : nullptr; }
