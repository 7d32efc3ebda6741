#include <gtest/gtest.h>

#include "Golden.h"
#include "host/aax/AaxPluginAdapter.h"
#include "product/ProductPlugin.h"
#include "tools/aax-test-host/AaxTestHost.h"

// The product's description as a host reads it - variants, identifiers, categories, property
// numbers, the parameter list with steps and defaults - pinned by a golden file.
TEST(AaxDescription, MatchesTheGoldenFile) {
    AaxPluginAdapter::setPluginFactory(&makeProductPlugin);
    AaxTestHost host(&GetEffectDescriptions);
    ASSERT_EQ(host.describe(), AAX_SUCCESS);
    expectMatchesGolden(host.descriptionText(), LORIMANE_TEST_DIR "/golden/description.txt");
}
