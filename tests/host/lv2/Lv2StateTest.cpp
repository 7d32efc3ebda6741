#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "ExternalHosts.h"
#include "Lv2Bundle.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

namespace {

// An instance with every port connected to buffers of its own, as a host runs it.
struct Hosted {
    Hosted(const LilvPlugin* plugin, TestUrids& urids) : plugin(plugin) {
        instance = lilv_plugin_instantiate(plugin, 48000.0, urids.features);
        uint32_t ports = lilv_plugin_get_num_ports(plugin);
        values.assign(ports, 0.0f);
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, values.data());
        audio.assign(6, std::vector<float>(64, 0.0f));
        for (uint32_t p = 0; p < ports; ++p) {
            void* data = &values[p];
            if (p < 6) data = audio[p].data();
            if (p == Lv2Plugin::kEvents) data = nullptr;
            lilv_instance_connect_port(instance, p, data);
        }
        lilv_instance_activate(instance);
    }
    ~Hosted() {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    std::string save(LilvWorld* world, TestUrids& urids) {
        LilvState* state = lilv_state_new_from_instance(
            plugin, instance, &urids.map, nullptr, nullptr, nullptr, nullptr,
            [](const char* symbol, void* self, uint32_t* size, uint32_t* type) -> const void* {
                auto* h = static_cast<Hosted*>(self);
                int index = h->index(symbol);
                static float value;
                if (index < 0) return nullptr;
                value = h->values[index];
                *size = sizeof(float);
                *type = h->floatType;
                return &value;
            },
            this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
        char* text = lilv_state_to_string(world, &urids.map, &urids.unmap, state, "urn:lorimane:test-state", nullptr);
        std::string result = text ? text : "";
        lilv_free(text);
        last = state;
        return result;
    }
    int index(const char* symbol) {
        LilvNode* s = lilv_new_string(world_, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
        lilv_node_free(s);
        return port ? static_cast<int>(lilv_port_get_index(plugin, port)) : -1;
    }
    const LilvPlugin* plugin;
    LilvInstance* instance;
    std::vector<float> values;
    std::vector<std::vector<float>> audio;
    LV2_URID floatType = 0;
    LilvWorld* world_ = nullptr;
    LilvState* last = nullptr;
};

}  // namespace

TEST(Lv2State, SaveRestoreSaveGivesTheSameStateThroughLilv) {
    LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS();
    setenv("LV2_PATH", LORIMANE_LV2_PATH, 1);
    TestUrids urids;
    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    LilvNode* uri = lilv_new_uri(world, lv2turtle::kPluginUri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    ASSERT_NE(plugin, nullptr);

    std::string first, second;
    {
        Hosted a(plugin, urids);
        a.world_ = world;
        a.floatType = urids.map.map(urids.map.handle, LV2_ATOM__Float);
        a.values[a.index("delay_l_time")] = 421.0f;
        a.values[a.index("delay_l_feedback")] = 0.375f;
        lilv_instance_run(a.instance, 64);
        first = a.save(world, urids);
        ASSERT_NE(first.find("preset"), std::string::npos) << first.substr(0, 400);

        Hosted b(plugin, urids);
        b.world_ = world;
        b.floatType = a.floatType;
        lilv_state_restore(a.last, b.instance,
                           [](const char* symbol, void* self, const void* value, uint32_t size, uint32_t) {
                               auto* h = static_cast<Hosted*>(self);
                               int index = h->index(symbol);
                               if (index >= 0 && size == sizeof(float)) h->values[index] = *static_cast<const float*>(value);
                           },
                           &b, 0, nullptr);
        lilv_instance_run(b.instance, 64);
        second = b.save(world, urids);
        lilv_state_free(b.last);
        lilv_state_free(a.last);
    }
    EXPECT_EQ(first, second);
    lilv_world_free(world);
}

TEST(Lv2State, AStateThatCannotBeReadChangesNothing) {
    TestUrids urids;
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    auto lv2 = Lv2Plugin::create(48000.0, urids.features, error);
    ASSERT_TRUE(lv2) << error;
    AbstractPluginParameter& time = *lv2->plugin().getParameter(0);
    time.setValue(time.normalizedToPlain(0.3f), 0);

    struct Store {
        std::map<uint32_t, std::pair<std::string, uint32_t>> values;
    } store;
    auto storeFn = [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t) {
        static_cast<Store*>(h)->values[key] = {std::string(static_cast<const char*>(value), size), type};
        return LV2_STATE_SUCCESS;
    };
    auto retrieveFn = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void* {
        auto& values = static_cast<Store*>(h)->values;
        auto it = values.find(key);
        if (it == values.end()) return nullptr;
        *size = it->second.first.size();
        *type = it->second.second;
        *flags = 0;
        return it->second.first.data();
    };
    ASSERT_EQ(lv2->saveState(storeFn, &store), LV2_STATE_SUCCESS);
    float changed = time.normalizedToPlain(0.6f);
    time.setValue(changed, 0);
    // Cut the preset bytes short: refused, and the value stays where it is.
    for (auto& [key, value] : store.values)
        if (value.first.size() > 16) value.first.resize(value.first.size() / 2);
    EXPECT_NE(lv2->restoreState(retrieveFn, &store), LV2_STATE_SUCCESS);
    EXPECT_FLOAT_EQ(time.value(), changed);
    EXPECT_EQ(lv2->restoreState(retrieveFn, &(store = Store{})), LV2_STATE_ERR_NO_PROPERTY);
}

// A state saved by the build before the control ports were reordered: port values by symbol and the
// plug-in's own bytes. Every port it names still exists, and the plug-in comes back with the values
// those ports showed.
TEST(Lv2State, AStateSavedBeforeThePortOrderChangedRestoresTheSameValues) {
    Lv2Bundle bundle;
    ASSERT_NE(bundle.plugin(), nullptr);
    TestUrids urids;
    auto lv2 = productInstance(urids);
    ASSERT_TRUE(lv2);
    std::map<std::string, float> saved =
        bundle.restore(std::string(LORIMANE_LV2_FIXTURES) + "/state-before-reorder/state.ttl", *lv2, urids);
    ASSERT_FALSE(saved.empty());

    std::map<std::string, uint32_t> indices = bundle.indices();
    for (const auto& [symbol, value] : saved) EXPECT_TRUE(indices.count(symbol)) << symbol;
    for (const BundlePort& port : bundle.ports())
        if (port.controlInput) {
            EXPECT_TRUE(saved.count(port.symbol)) << port.symbol;
        }

    std::map<std::string, float> restored = parameterPortValues(lv2->plugin());
    for (const auto& [symbol, value] : restored)
        EXPECT_NEAR(value, saved.at(symbol), 1e-5f * std::max(1.0f, std::fabs(value))) << symbol;
    // What the state was saved with: early and late controls, selectors among them.
    struct Case {
        const char* symbol;
        float value;
    };
    for (Case c : {Case{"delay_l_time", 421.0f}, Case{"filter_1_response", 2.0f}, Case{"xlfo_2_step_4_value", -0.5f},
                   Case{"eg_5_attack", 1.25f}, Case{"slot_3_level", 0.625f}, Case{"slot_3_source", 4.0f},
                   Case{"num_active_slots", 3.0f}, Case{"dry_enabled", 0.0f}})
        EXPECT_NEAR(restored[c.symbol], c.value, 1e-4f) << c.symbol;
}
