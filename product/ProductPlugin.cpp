#include "product/ProductPlugin.h"

#include "engine/LorimanePlugin.h"

std::unique_ptr<GenericPlugin> makeProductPlugin() { return std::make_unique<LorimanePlugin>(); }
