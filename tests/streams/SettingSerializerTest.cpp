#include <gtest/gtest.h>

#include <map>
#include <string>

#include "streams/SettingSerializer.h"

namespace {
// A serializer over a map of strings, as the store implementations provide.
class MapSerializer : public SettingSerializer {
public:
    explicit MapSerializer(bool writing) : writing_(writing) {}
    bool isWriting() const override { return writing_; }
    void binaryValue(const std::string&, std::vector<std::uint8_t>&) override {}
    std::string stringValue(const std::string& name, const std::string& value,
                            const std::string& defaultValue) override {
        if (writing_) return values[name] = value;
        auto it = values.find(name);
        return it == values.end() ? defaultValue : it->second;
    }
    std::map<std::string, std::string> values;

private:
    bool writing_;
};
}  // namespace

TEST(SettingSerializer, ReaderAnswersDefaultWriterStoresValue) {
    MapSerializer reader(false);
    EXPECT_EQ(reader.intValue("n", 5, 7), 7);
    EXPECT_EQ(reader.boolValue("b", true, false), false);
    EXPECT_EQ(reader.doubleValue("d", 1.5, 2.5), 2.5);

    MapSerializer writer(true);
    EXPECT_EQ(writer.intValue("n", 5, 7), 5);
    EXPECT_EQ(writer.values["n"], "5");
    EXPECT_TRUE(writer.boolValue("b", true, false));
    EXPECT_EQ(writer.values["b"], "1");
    writer.doubleValue("d1", 0.1, 0.0);
    writer.doubleValue("d2", 1.0, 0.0);
    EXPECT_EQ(writer.values["d1"], "0.1");
    EXPECT_EQ(writer.values["d2"], "1");

    reader.values = writer.values;
    EXPECT_EQ(reader.intValue("n", 0, 7), 5);
    EXPECT_TRUE(reader.boolValue("b", false, false));
    EXPECT_EQ(reader.doubleValue("d1", 0.0, 9.0), 0.1);
}

TEST(SettingSerializer, MalformedStoredNumbersAnswerTheDefault) {
    MapSerializer reader(false);
    reader.values = {{"i", "x12"}, {"d", "1.5kg"}, {"e", ""}, {"i2", " 42"}};
    EXPECT_EQ(reader.intValue("i", 0, -1), -1);
    EXPECT_EQ(reader.doubleValue("d", 0, -1.0), -1.0);
    EXPECT_EQ(reader.doubleValue("e", 0, -1.0), -1.0);
    EXPECT_EQ(reader.intValue("i2", 0, -1), 42);
}
