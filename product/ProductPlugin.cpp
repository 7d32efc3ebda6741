#include "product/ProductPlugin.h"

#include <cstddef>
#include <string_view>

#include "engine/LorimanePlugin.h"
#include "persistence/PersistenceGlobals.h"

// The factory-content bundle, generated at build time (lorimane_factorycontent).
extern const unsigned char lorimane_factory_content[];
extern const std::size_t lorimane_factory_content_size;

std::unique_ptr<GenericPlugin> makeProductPlugin() {
    PersistenceGlobals::setEmbeddedFactoryBundle(
        std::string_view(reinterpret_cast<const char*>(lorimane_factory_content), lorimane_factory_content_size));
    return std::make_unique<LorimanePlugin>();
}
