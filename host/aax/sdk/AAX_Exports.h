#pragma once

// The entry points a plug-in library exports. A host finds them with dlsym, starts the library,
// asks it to register its effects into a collection, and shuts it down before unloading.

#include <cstdint>

#include "host/aax/sdk/AAX_Descriptors.h"

extern "C" {
using ACFGetSDKVersionFn = int32_t (*)(uint64_t* version);
using ACFStartupFn = int32_t (*)(void* host);
using ACFShutdownFn = int32_t (*)(void* host);
using ACFCanUnloadNowFn = int32_t (*)(void* host);
using ACFRegisterPluginFn = int32_t (*)(void* host, AAX_CCollection* collection);
using ACFRegisterComponentFn = int32_t (*)(void* host, uint32_t index, void** component);
using ACFGetClassFactoryFn = int32_t (*)(void* host, const char* name, void** factory);
}

// Version of this interface, answered by ACFGetSDKVersion.
constexpr uint64_t kAAXInterfaceVersion = 0x0002000200000003ULL;
