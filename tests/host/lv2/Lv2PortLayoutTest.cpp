#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Lv2Bundle.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

// Read from the bundle's Turtle as hosts read it.
TEST(Lv2PortLayout, WhatPeopleAutomateComesWithinTheFirst512ControlsAndSelectorsAreNotAutomatic) {
    Lv2Bundle bundle;
    ASSERT_NE(bundle.plugin(), nullptr);
    std::map<std::string, int> position;  // among the control inputs, as hosts count them
    std::map<std::string, bool> notAutomatic;
    int controls = 0, automatable = 0;
    for (const BundlePort& port : bundle.ports()) {
        if (!port.controlInput) continue;
        position[port.symbol] = controls++;
        notAutomatic[port.symbol] = port.notAutomatic;
        automatable += !port.notAutomatic;
    }
    // Hosts that automate only the first 512 controls they may automate then offer all of them.
    EXPECT_LE(automatable, 512);

    auto plugin = makeProductPlugin();
    std::vector<std::string> symbols = lv2turtle::parameterSymbols(*plugin);
    ASSERT_EQ(position.size(), symbols.size() + 1);  // and "enabled"
    for (int i = 0; i < plugin->getParameterCount(); ++i) {
        const AbstractPluginParameter& p = *plugin->getParameter(i);
        if (!automatedByPeople(p)) continue;
        EXPECT_LT(position[symbols[i]], 512) << p.name();
        EXPECT_FALSE(notAutomatic[symbols[i]]) << p.name();
    }

    struct Case {
        const char* symbol;
        bool notAutomatic;
    };
    for (Case c :
         {Case{"slot_1_source", true}, Case{"slot_24_target", true}, Case{"num_active_slots", true},
          Case{"num_active_xlfo_6_steps", true}, Case{"eg_3_triggering", true}, Case{"ef_4_input", true},
          Case{"midi_source_10_input", true}, Case{"midi_source_1_controller_number", true},
          Case{"xlfo_2_midi_trigger", true}, Case{"xlfo_6_step_16_random", true},
          Case{"slot_24_level", false}, Case{"slot_24_bypassed", false}, Case{"dry_enabled", false},
          Case{"delay_freeze", false}, Case{"xlfo_6_step_16_value", false}, Case{"eg_6_sustain", false},
          Case{"ef_4_release", false}, Case{"filter_2_slope", false}, Case{"receive_midi", false}}) {
        ASSERT_TRUE(notAutomatic.count(c.symbol)) << c.symbol;
        EXPECT_EQ(notAutomatic[c.symbol], c.notAutomatic) << c.symbol;
    }
}

// Distinct values on every control port at once: each parameter must take the value of the port
// its symbol names, whatever the port's index.
TEST(Lv2PortLayout, EveryControlPortDrivesTheParameterItsSymbolNames) {
    Lv2Bundle bundle;
    ASSERT_NE(bundle.plugin(), nullptr);
    TestUrids urids;
    auto lv2 = productInstance(urids);
    ASSERT_TRUE(lv2);

    std::vector<BundlePort> ports = bundle.ports();
    std::vector<float> values(ports.size(), 0.0f);
    std::map<std::string, float> bySymbol;
    for (const BundlePort& port : ports) {
        if (!port.controlInput || port.index == Lv2Plugin::kEnabled) continue;
        float span = port.maximum - port.minimum;
        float& v = values[port.index];
        if (port.integer)
            v = port.minimum + static_cast<float>(port.index % static_cast<uint32_t>(span + 1.0f));
        else
            v = port.minimum + span * static_cast<float>((port.index * 37) % 97 + 1) / 99.0f;
        bySymbol[port.symbol] = v;
        lv2->connectPort(port.index, &values[port.index]);
    }
    // The links would copy one delay's values to the other.
    for (const char* link : {"feedback_link", "delay_link"})
        values[bundle.indices()[link]] = bySymbol[link] = 0.0f;
    std::vector<float> audio(64, 0.0f), out(64);
    for (uint32_t p : {Lv2Plugin::kInputLeft, Lv2Plugin::kInputRight}) lv2->connectPort(p, audio.data());
    lv2->connectPort(Lv2Plugin::kOutputLeft, out.data());
    lv2->connectPort(Lv2Plugin::kOutputRight, out.data());
    lv2->activate();
    lv2->run(64);

    // The same values set directly, parameter by parameter, on a plug-in of its own.
    auto reference = makeProductPlugin();
    std::vector<std::string> symbols = lv2turtle::parameterSymbols(*reference);
    for (int i = 0; i < reference->getParameterCount(); ++i) {
        AbstractPluginParameter& p = *reference->getParameter(i);
        p.setValue(Lv2Plugin::plainValue(p, bySymbol.at(symbols[i])), FromHost);
    }
    for (int i = 0; i < reference->getParameterCount(); ++i)
        EXPECT_FLOAT_EQ(lv2->plugin().getParameter(i)->value(), reference->getParameter(i)->value())
            << symbols[i];
}
