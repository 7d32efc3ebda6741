#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/MidiDecoder.h"

namespace {

// Logs every event as text.
class LoggingChannel : public AbstractChannelEventReceiver {
public:
    explicit LoggingChannel(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void channelPressure(float v) override { add("pressure " + std::to_string(v)); }
    void polyPressure(int n, float v) override { add("poly " + std::to_string(n) + " " + std::to_string(v)); }
    void controlChange(int c, int raw, float v) override {
        add("cc " + std::to_string(c) + " " + std::to_string(raw));
        AbstractChannelEventReceiver::controlChange(c, raw, v);
    }
    void noteOff(int n, float v) override { add("off " + std::to_string(n) + " " + std::to_string(v)); }
    void noteOn(int n, float v) override { add("on " + std::to_string(n) + " " + std::to_string(v)); }
    void pitchBend(float v) override { add("bend " + std::to_string(v)); }
    void programChange(int bank, int program) override {
        add("program " + std::to_string(bank) + " " + std::to_string(program));
    }
    void setParameterFromController(int index, float v) override { add("param " + std::to_string(index) + " " + std::to_string(v)); }

private:
    void add(const std::string& s) { log_.push_back(name_ + ": " + s); }
    std::vector<std::string>& log_;
    std::string name_;
};

class Receiver : public AbstractMusicEventReceiver {
public:
    void attached() override {}
};

struct Map : AbstractChannelEventReceiver::ControllerMap {
    int map[128];
    Map() { std::fill(std::begin(map), std::end(map), -1); }
    int parameterFor(int c) const override { return map[c]; }
    void assign(int c, int p) override {
        for (int& m : map)
            if (m == p) m = -1;
        map[c] = p;
    }
};

std::vector<std::string> decode(std::initializer_list<std::array<int, 3>> messages, bool withChannel3 = false) {
    std::vector<std::string> log;
    Receiver receiver;
    LoggingChannel all(log, "all"), third(log, "ch3");
    receiver.channelReceivers[0].set(&all);
    if (withChannel3) receiver.channelReceivers[3].set(&third);
    MidiDecoder decoder(receiver);
    for (auto m : messages) {
        MidiMessage msg;
        msg.status = static_cast<uint8_t>(m[0]);
        msg.data1 = static_cast<uint8_t>(m[1]);
        msg.data2 = static_cast<uint8_t>(m[2]);
        decoder.receiveMidi(msg);
    }
    return log;
}

using Log = std::vector<std::string>;

}  // namespace

TEST(MidiDecoder, DecodesChannelMessages) {
    EXPECT_EQ(decode({{0x90, 60, 127}, {0x90, 60, 0}, {0x80, 61, 0}}),
              (Log{"all: on 60 1.000000", "all: off 60 0.000000", "all: off 61 0.000000"}));
    EXPECT_EQ(decode({{0xE0, 0x00, 0x40}}), Log{"all: bend " + std::to_string(8192 * 6.1038882e-5f - 0.5f)});
    EXPECT_EQ(decode({{0xD0, 127, 0}, {0xA0, 5, 127}}), (Log{"all: pressure 1.000000", "all: poly 5 1.000000"}));
    // Controller 123 releases notes and is not passed on as a controller.
    EXPECT_EQ(decode({{0xB0, 123, 0}, {0xB0, 7, 100}}), (Log{"all: off 0 0.000000", "all: cc 7 100"}));
    // Bank select MSB 1, LSB 5, then a program change asks for bank 133.
    EXPECT_EQ(decode({{0xB0, 0, 1}, {0xB0, 32, 5}, {0xC0, 7, 0}}), Log{"all: program 133 7"});
    // System messages other than reset are ignored.
    EXPECT_TRUE(decode({{0xF8, 0, 0}, {0xF0, 1, 2}}).empty());
}

TEST(MidiDecoder, DataBytesAloneContinueTheLastChannelStatus) {
    // Note on, then two more notes sent with running status (data bytes only), a clock tick between
    // them that keeps the running status, then a system message that cancels it.
    EXPECT_EQ(decode({{0x90, 60, 100}, {62, 100, 0}, {0xF8, 0, 0}, {64, 0, 0}, {0xF2, 0, 0}, {65, 100, 0}}),
              (Log{"all: on 60 " + std::to_string(100 / 127.0f), "all: on 62 " + std::to_string(100 / 127.0f),
                   "all: off 64 0.000000"}));
    EXPECT_TRUE(decode({{40, 50, 0}}).empty());  // no status seen yet: ignored
}

TEST(MidiDecoder, ChannelMessagesReachSlotZeroThenTheirChannelSlot) {
    EXPECT_EQ(decode({{0x92, 64, 127}}), Log{"all: on 64 1.000000"});
    EXPECT_EQ(decode({{0x92, 64, 127}}, true), (Log{"all: on 64 1.000000", "ch3: on 64 1.000000"}));
    EXPECT_EQ(decode({{0x91, 64, 127}}, true), Log{"all: on 64 1.000000"});
}

TEST(MidiDecoder, HooksSeeEveryMessage) {
    Receiver receiver;
    std::vector<int> raw;
    int resets = 0;
    receiver.rawMessageHook = [&](int s, int, int) { raw.push_back(s); };
    receiver.systemResetHook = [&] { ++resets; };
    MidiDecoder decoder(receiver);
    for (uint8_t s : {0x90, 0xFF, 0xF8}) {
        MidiMessage m;
        m.status = s;
        decoder.receiveMidi(m);
    }
    EXPECT_EQ(raw, (std::vector<int>{0x90, 0xFF, 0xF8}));
    EXPECT_EQ(resets, 1);
}

TEST(MidiDecoder, LearnAssignsTheControllerAndControllersDriveMappedParameters) {
    std::vector<std::string> log;
    LoggingChannel channel(log, "all");
    Map map;
    channel.setControllerMap(&map);
    map.assign(20, 5);
    channel.setLearnTarget(5);
    channel.controlChange(21, 127, 1.0f);  // learning moves parameter 5 from controller 20 to 21
    EXPECT_EQ(map.parameterFor(20), -1);
    EXPECT_EQ(map.parameterFor(21), 5);
    channel.setLearnTarget(-1);
    channel.controlChange(21, 0, 0.0f);
    EXPECT_EQ(log, (Log{"all: cc 21 127", "all: param 5 1.000000", "all: cc 21 0", "all: param 5 0.000000"}));
}
