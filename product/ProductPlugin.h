#pragma once

#include <memory>

#include "framework/GenericPlugin.h"

// The plug-in object the product's programs and host modules build: the renderer, the AAX-style
// library and the LV2 bundle all make their instances here. Host threads; may throw when the
// plug-in cannot start (callers at a host boundary catch).
std::unique_ptr<GenericPlugin> makeProductPlugin();
