#include <gtest/gtest.h>

#include <string>

#include "streams/BinaryResourceReader.h"
#include "streams/Resource.h"

namespace {
const unsigned char kMap[] = {'B', 'X', 'C', 'M', 1, 0, 0, 0};
const unsigned char kDocs[] = {'d'};
const EmbeddedResource kEntries[] = {{"MIDICONTROLLERMAP", kMap, sizeof kMap}, {"WINDOWSSETUPDOCS", kDocs, 1}};
const EmbeddedResourceTable kTable{kEntries, 2};
}  // namespace

TEST(Resource, FoundByFileNameWithoutExtensionIgnoringCase) {
    EXPECT_EQ(findEmbeddedResource(kTable, "MidiControllerMap.bxm"), &kEntries[0]);
    EXPECT_EQ(findEmbeddedResource(kTable, "midicontrollermap"), &kEntries[0]);
    EXPECT_EQ(findEmbeddedResource(kTable, "WindowsSetupDocs"), &kEntries[1]);
    EXPECT_EQ(findEmbeddedResource(kTable, "WindowsSetupDocs.a.b"), nullptr);
    EXPECT_EQ(findEmbeddedResource(kTable, "MidiController"), nullptr);
    EXPECT_EQ(findEmbeddedResource(kTable, ""), nullptr);
}

TEST(Resource, MissingResourceThrowsResourceNotFound) {
    EXPECT_FALSE(resourceExists("NoSuchResource.png"));
    try {
        openResource("NoSuchResource.png");
        FAIL() << "no exception";
    } catch (const EResource& e) {
        EXPECT_STREQ(e.what(), "Resource not found");
    }
    EXPECT_THROW(BinaryResourceReader("NoSuchResource"), std::runtime_error);
}

TEST(Resource, BuildEmbedsTheCharacteristicFiles) {
    for (const char* name : {"Prime.fil", "prime", "EASYGOING.FIL", "Monopoly.fil", "cheap.bin"}) {
        ASSERT_TRUE(resourceExists(name)) << name;
        BinaryResourceReader reader(name);
        EXPECT_EQ(reader.readHeader(), "BXil") << name;
        EXPECT_EQ(reader.version, 1);
        reader.stream().seekg(0, std::ios::end);
        EXPECT_EQ(reader.stream().tellg(), 1484) << name;
    }
}
