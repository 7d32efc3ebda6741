// The entry points of the plug-in library. The host starts the library, lets it register its
// effects into a collection, and shuts it down before unloading; nothing throws across them.
#include <exception>

#include "host/aax/AaxPluginAdapter.h"
#include "host/aax/sdk/AAX_Exports.h"
#include "product/ProductPlugin.h"

#define LORIMANE_EXPORT extern "C" __attribute__((visibility("default")))

LORIMANE_EXPORT int32_t ACFGetSDKVersion(uint64_t* version) {
    if (!version) return AAX_ERROR_NULL_OBJECT;
    *version = kAAXInterfaceVersion;
    return AAX_SUCCESS;
}

LORIMANE_EXPORT int32_t ACFStartup(void*) {
    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    return AAX_SUCCESS;
}

LORIMANE_EXPORT int32_t ACFShutdown(void*) { return AAX_SUCCESS; }

LORIMANE_EXPORT int32_t ACFCanUnloadNow(void*) { return GenericPlugin::instanceCount() == 0 ? AAX_SUCCESS : 1; }

LORIMANE_EXPORT int32_t ACFRegisterPlugin(void*, AAX_CCollection* collection) {
    if (!collection) return AAX_ERROR_NULL_OBJECT;
    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    try {
        return GetEffectDescriptions(*collection);
    } catch (...) {
        return AAX_ERROR_NULL_OBJECT;
    }
}

LORIMANE_EXPORT int32_t ACFRegisterComponent(void*, uint32_t, void** component) {
    if (component) *component = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
}

LORIMANE_EXPORT int32_t ACFGetClassFactory(void*, const char*, void** factory) {
    if (factory) *factory = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
}
