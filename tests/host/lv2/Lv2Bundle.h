#pragma once

// The LV2 bundle in the build tree as a host reads it (through lilv), and the helpers the LV2 tests
// share: a URID map, an in-process instance restored from a state file, a shell command's output.

#include <fnmatch.h>
#include <lilv/lilv.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Turtle.h"
#include "product/ProductPlugin.h"

// A URID map and unmap as hosts provide them.
struct TestUrids {
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) {
                         auto* u = static_cast<TestUrids*>(h);
                         auto [it, added] = u->ids.emplace(uri, static_cast<LV2_URID>(u->uris.size() + 1));
                         if (added) u->uris.push_back(uri);
                         return it->second;
                     }};
    LV2_URID_Unmap unmap{this, [](LV2_URID_Unmap_Handle h, LV2_URID id) {
                             auto* u = static_cast<TestUrids*>(h);
                             return id >= 1 && id <= u->uris.size() ? u->uris[id - 1].c_str() : nullptr;
                         }};
    LV2_Feature mapFeature{LV2_URID__map, &map}, unmapFeature{LV2_URID__unmap, &unmap};
    const LV2_Feature* features[3] = {&mapFeature, &unmapFeature, nullptr};
};

struct BundlePort {
    uint32_t index;
    std::string symbol;
    bool controlInput;
    bool integer;
    bool notAutomatic;
    float minimum, maximum;
};

class Lv2Bundle {
public:
    Lv2Bundle() {
        setenv("LV2_PATH", LORIMANE_LV2_PATH, 1);
        world_ = lilv_world_new();
        lilv_world_load_all(world_);
        LilvNode* uri = lilv_new_uri(world_, lv2turtle::kPluginUri);
        plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
        lilv_node_free(uri);
    }
    ~Lv2Bundle() { lilv_world_free(world_); }
    Lv2Bundle(const Lv2Bundle&) = delete;
    Lv2Bundle& operator=(const Lv2Bundle&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }

    // Every port, in index order.
    std::vector<BundlePort> ports() const {
        std::vector<BundlePort> result;
        if (!plugin_) return result;
        uint32_t count = lilv_plugin_get_num_ports(plugin_);
        std::vector<float> minimum(count), maximum(count);
        lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), nullptr);
        LilvNode* input = lilv_new_uri(world_, LV2_CORE__InputPort);
        LilvNode* control = lilv_new_uri(world_, LV2_CORE__ControlPort);
        LilvNode* integer = lilv_new_uri(world_, LV2_CORE__integer);
        LilvNode* notAutomatic = lilv_new_uri(world_, "http://lv2plug.in/ns/ext/port-props#notAutomatic");
        for (uint32_t i = 0; i < count; ++i) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
            result.push_back({i, lilv_node_as_string(lilv_port_get_symbol(plugin_, port)),
                              lilv_port_is_a(plugin_, port, input) && lilv_port_is_a(plugin_, port, control),
                              lilv_port_has_property(plugin_, port, integer),
                              lilv_port_has_property(plugin_, port, notAutomatic), minimum[i], maximum[i]});
        }
        lilv_node_free(notAutomatic);
        lilv_node_free(integer);
        lilv_node_free(control);
        lilv_node_free(input);
        return result;
    }

    // The port index by symbol.
    std::map<std::string, uint32_t> indices() const {
        std::map<std::string, uint32_t> result;
        for (const BundlePort& p : ports()) result[p.symbol] = p.index;
        return result;
    }

    // The port values a preset of the bundle sets, by symbol.
    std::map<std::string, float> presetValues(const std::string& label, TestUrids& urids) const {
        std::map<std::string, float> values;
        LilvNode* uri = lilv_new_uri(world_, lv2turtle::presetUri({label, {}, {}, {}}).c_str());
        lilv_world_load_resource(world_, uri);
        if (LilvState* state = lilv_state_new_from_world(world_, &urids.map, uri)) {
            lilv_state_emit_port_values(state, &collectPortValue, &values);
            lilv_state_free(state);
        }
        lilv_node_free(uri);
        return values;
    }

    // Restores a state file (a folder's state.ttl, as hosts save them) into an in-process instance
    // the way lilv restores one into a loaded plug-in. Answers the port values the state holds.
    std::map<std::string, float> restore(const std::string& path, Lv2Plugin& instance,
                                         TestUrids& urids) const {
        std::map<std::string, float> values;
        LilvState* state = lilv_state_new_from_file(world_, &urids.map, nullptr, path.c_str());
        if (!state) return values;
        static const LV2_Descriptor descriptor = {
            lv2turtle::kPluginUri,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            [](const char* uri) -> const void* {
                return std::strcmp(uri, LV2_STATE__interface) == 0 ? Lv2Plugin::stateInterface() : nullptr;
            }};
        LilvInstance loaded{&descriptor, &instance, nullptr};
        lilv_state_restore(state, &loaded, &collectPortValue, &values, 0, urids.features);
        lilv_state_free(state);
        return values;
    }

private:
    static void collectPortValue(const char* symbol, void* values, const void* value, uint32_t size,
                                 uint32_t) {
        if (size == sizeof(float))
            (*static_cast<std::map<std::string, float>*>(values))[symbol] = *static_cast<const float*>(value);
    }

    LilvWorld* world_;
    const LilvPlugin* plugin_ = nullptr;
};

// An in-process instance of the product's plug-in; null when it cannot start.
inline std::unique_ptr<Lv2Plugin> productInstance(TestUrids& urids) {
    Lv2Plugin::setPluginFactory(&makeProductPlugin);
    std::string error;
    return Lv2Plugin::create(48000.0, urids.features, error);
}

// Each parameter's port value, by the symbol of its port.
inline std::map<std::string, float> parameterPortValues(GenericPlugin& plugin) {
    // Symbols come from the names as constructed; a plug-in in Mid/Side mode has renamed its delays.
    std::vector<std::string> symbols = lv2turtle::parameterSymbols(*makeProductPlugin());
    std::map<std::string, float> values;
    for (int i = 0; i < plugin.getParameterCount() && i < static_cast<int>(symbols.size()); ++i) {
        AbstractPluginParameter& p = *plugin.getParameter(i);
        values[symbols[i]] = Lv2Plugin::portValue(p, p.value());
    }
    return values;
}

// What people automate: every continuous control but the XLFO step tables, the dry switch and
// freeze. Hosts must offer these among the first 512 controls.
inline bool automatedByPeople(const AbstractPluginParameter& p) {
    if (p.name() == "Delay Freeze" || p.name() == "Dry Enabled") return true;
    return p.kind() == AbstractPluginParameter::Continuous &&
           fnmatch("XLFO * Step *", p.name().c_str(), 0) != 0;
}

// Runs a shell command; answers what it wrote to standard output and standard error.
inline std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return "";
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    pclose(pipe);
    return output;
}
