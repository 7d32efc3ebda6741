#include "product/ProductPlugin.h"

#include "framework/PassThroughPlugin.h"

// Until the delay engine exists the product is the pass-through frame.
std::unique_ptr<GenericPlugin> makeProductPlugin() { return std::make_unique<PassThroughPlugin>(); }
