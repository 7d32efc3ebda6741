// lorimane-lv2-bench: times LV2 plug-ins side by side, as a host runs them.
//
//   lorimane-lv2-bench [--rate HZ] [--block N] [--seconds S] [--passes P] [--settle S]
//                      --plugin LABEL URI [-c SYMBOL VALUE]... [--print SYMBOL]... [--automate SYMBOL]...
//                      [--plugin ...]
//
// --automate moves that control to a seeded random value in its range before every block, as host
// automation does.
// A control VALUE is the label of one of the port's scale points ("48", "Stretch", "XLFO 1") or a
// number in the port's units, so enumerated settings read as the plug-in names them.
//
// Every plug-in gets the same input (a stereo burst-and-silence phrase of seeded noise and tones),
// the same block length, the host features hosts give (URID map and unmap, options with the block
// lengths and sample rate, bounded block length) and flush-to-zero. Passes alternate between the
// plug-ins, so machine noise hits them alike; only the run calls are timed. It prints, per plug-in,
// the median ns per stereo sample, the real-time factor, the worst block, and the ratio to the first
// plug-in, and the output control values asked for with --print.
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct UridMap {
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> uris;
    LV2_URID map(const char* uri) {
        auto [it, added] = ids.emplace(uri, 0);
        if (added) {
            uris.push_back(uri);
            it->second = static_cast<LV2_URID>(uris.size());
        }
        return it->second;
    }
};

struct Spec {
    std::string label, uri;
    std::vector<std::pair<std::string, std::string>> controls;
    std::vector<std::string> print;
    std::vector<std::string> automate;  // controls moved to a random value before every block
};

struct Instance {
    Spec spec;
    LilvInstance* instance = nullptr;
    std::vector<float> controls;              // one value per port
    std::vector<std::vector<float>> audio;    // buffers of audio ports
    std::vector<std::vector<uint8_t>> atoms;  // buffers of atom ports
    std::vector<int> audioIn, audioOut, atomIn, atomOut;
    struct Automated {
        int port;
        float minimum, maximum;
    };
    std::vector<Automated> automated;
    std::vector<double> passNs;
    double worstBlockNs = 0;
};

int usage() {
    std::fprintf(stderr,
                 "usage: lorimane-lv2-bench [--rate HZ] [--block N] [--seconds S] [--passes P] [--settle S]\n"
                 "                          --plugin LABEL URI [-c SYMBOL VALUE]... [--print SYMBOL]... "
                 "[--automate SYMBOL]...\n"
                 "                          [--plugin ...]\n");
    return 2;
}

std::vector<std::vector<float>> makeInput(double rate, double seconds) {
    size_t n = static_cast<size_t>(rate * seconds);
    std::vector<std::vector<float>> in(2, std::vector<float>(n, 0.0f));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    const double pi = std::acos(-1.0);
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double within = std::fmod(t, 1.0);
        // Half a second of material, then half a second of silence in which echoes ring out.
        if (within < 0.5) {
            float tone =
                static_cast<float>(0.3 * std::sin(2 * pi * 220.0 * t) + 0.2 * std::sin(2 * pi * 330.0 * t));
            in[0][i] = tone + noise(random) * 0.3f;
            in[1][i] = tone * 0.8f + noise(random) * 0.3f;
        }
    }
    return in;
}

// The value of the port's scale point with that label ("48" on a slope port is its 48 dB point),
// or else the text read as a number in the port's units.
bool controlValue(const LilvPlugin* plugin, const LilvPort* port, const std::string& text, float& value) {
    bool found = false;
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
    LILV_FOREACH(scale_points, it, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, it);
        if (text == lilv_node_as_string(lilv_scale_point_get_label(point))) {
            value = lilv_node_as_float(lilv_scale_point_get_value(point));
            found = true;
            break;
        }
    }
    lilv_scale_points_free(points);
    if (found) return true;
    char* end = nullptr;
    float number = std::strtof(text.c_str(), &end);
    if (text.empty() || !end || *end != 0) return false;
    value = number;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    double rate = 48000, seconds = 4, settle = 1.0;
    int block = 128, passes = 5;
    std::vector<Spec> specs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--rate")
            rate = std::atof(next() ? argv[i] : "0");
        else if (a == "--block")
            block = std::atoi(next() ? argv[i] : "0");
        else if (a == "--seconds")
            seconds = std::atof(next() ? argv[i] : "0");
        else if (a == "--passes")
            passes = std::atoi(next() ? argv[i] : "0");
        else if (a == "--settle")
            settle = std::atof(next() ? argv[i] : "0");
        else if (a == "--plugin") {
            if (i + 2 >= argc) return usage();
            specs.push_back({argv[i + 1], argv[i + 2], {}, {}, {}});
            i += 2;
        } else if (a == "-c" && !specs.empty() && i + 2 < argc) {
            specs.back().controls.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (a == "--print" && !specs.empty() && next()) {
            specs.back().print.push_back(argv[i]);
        } else if (a == "--automate" && !specs.empty() && next()) {
            specs.back().automate.push_back(argv[i]);
        } else {
            std::fprintf(stderr, "lorimane-lv2-bench: unexpected argument '%s'\n", a.c_str());
            return usage();
        }
    }
    if (specs.empty() || rate <= 0 || block <= 0 || seconds <= 0 || passes <= 0) return usage();

    UridMap urids;
    LV2_URID_Map map{
        &urids, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->map(uri); }};
    LV2_URID_Unmap unmap{&urids, [](LV2_URID_Unmap_Handle h, LV2_URID id) {
                             auto* u = static_cast<UridMap*>(h);
                             return id >= 1 && id <= u->uris.size() ? u->uris[id - 1].c_str() : nullptr;
                         }};
    int32_t blockLength = block;
    float sampleRate = static_cast<float>(rate);
    LV2_URID intType = urids.map(LV2_ATOM__Int), floatType = urids.map(LV2_ATOM__Float);
    LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType,
         &blockLength},
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType,
         &blockLength},
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType,
         &blockLength},
        {LV2_OPTIONS_INSTANCE, 0, urids.map("http://lv2plug.in/ns/ext/parameters#sampleRate"), sizeof(float),
         floatType, &sampleRate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature mapFeature{LV2_URID__map, &map}, unmapFeature{LV2_URID__unmap, &unmap},
        optionsFeature{LV2_OPTIONS__options, options},
        boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* features[] = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature, nullptr};
    LV2_URID sequenceType = urids.map(LV2_ATOM__Sequence), chunkType = urids.map(LV2_ATOM__Chunk);

    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    const LilvPlugins* plugins = lilv_world_get_all_plugins(world);
    LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);

    std::vector<std::unique_ptr<Instance>> instances;
    for (const Spec& spec : specs) {
        LilvNode* uri = lilv_new_uri(world, spec.uri.c_str());
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(plugins, uri);
        lilv_node_free(uri);
        if (!plugin) {
            std::fprintf(stderr, "lorimane-lv2-bench: no plug-in <%s>\n", spec.uri.c_str());
            return 2;
        }
        auto in = std::make_unique<Instance>();
        in->spec = spec;
        uint32_t ports = lilv_plugin_get_num_ports(plugin);
        in->controls.assign(ports, 0.0f);
        std::vector<float> minimums(ports), maximums(ports), defaults(ports);
        lilv_plugin_get_port_ranges_float(plugin, minimums.data(), maximums.data(), defaults.data());
        in->audio.resize(ports);
        in->atoms.resize(ports);
        for (uint32_t p = 0; p < ports; ++p) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
            bool input = lilv_port_is_a(plugin, port, inputClass);
            if (lilv_port_is_a(plugin, port, controlClass)) {
                in->controls[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
            } else if (lilv_port_is_a(plugin, port, audioClass)) {
                in->audio[p].assign(block, 0.0f);
                (input ? in->audioIn : in->audioOut).push_back(static_cast<int>(p));
            } else if (lilv_port_is_a(plugin, port, atomClass)) {
                in->atoms[p].assign(8192, 0);
                (input ? in->atomIn : in->atomOut).push_back(static_cast<int>(p));
            }
        }
        for (const auto& [symbol, value] : spec.controls) {
            LilvNode* s = lilv_new_string(world, symbol.c_str());
            const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
            lilv_node_free(s);
            if (!port) {
                std::fprintf(stderr, "lorimane-lv2-bench: %s has no port '%s'\n", spec.label.c_str(),
                             symbol.c_str());
                return 2;
            }
            float number = 0;
            if (!controlValue(plugin, port, value, number)) {
                std::fprintf(stderr,
                             "lorimane-lv2-bench: %s: '%s' is neither a number nor a label of port '%s'\n",
                             spec.label.c_str(), value.c_str(), symbol.c_str());
                return 2;
            }
            in->controls[lilv_port_get_index(plugin, port)] = number;
        }
        for (const std::string& symbol : spec.automate) {
            LilvNode* s = lilv_new_string(world, symbol.c_str());
            const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
            lilv_node_free(s);
            if (!port || !lilv_port_is_a(plugin, port, controlClass) ||
                !lilv_port_is_a(plugin, port, inputClass)) {
                std::fprintf(stderr, "lorimane-lv2-bench: %s has no control input '%s'\n", spec.label.c_str(),
                             symbol.c_str());
                return 2;
            }
            uint32_t index = lilv_port_get_index(plugin, port);
            in->automated.push_back({static_cast<int>(index),
                                     std::isnan(minimums[index]) ? 0.0f : minimums[index],
                                     std::isnan(maximums[index]) ? 1.0f : maximums[index]});
        }
        in->instance = lilv_plugin_instantiate(plugin, rate, features);
        if (!in->instance) {
            std::fprintf(stderr, "lorimane-lv2-bench: %s cannot be instantiated\n", spec.label.c_str());
            return 2;
        }
        for (uint32_t p = 0; p < ports; ++p) {
            void* data = nullptr;
            if (!in->audio[p].empty())
                data = in->audio[p].data();
            else if (!in->atoms[p].empty())
                data = in->atoms[p].data();
            else
                data = &in->controls[p];
            lilv_instance_connect_port(in->instance, p, data);
        }
        lilv_instance_activate(in->instance);
        instances.push_back(std::move(in));
    }

    _mm_setcsr(_mm_getcsr() | 0x8040);  // flush-to-zero and denormals-are-zero, as hosts set them
    std::vector<std::vector<float>> input = makeInput(rate, seconds);
    size_t frames = input[0].size();

    auto runPass = [&](Instance& in, bool timed) {
        double total = 0;
        std::mt19937 random(5);  // the same automation every pass
        for (size_t pos = 0; pos < frames; pos += block) {
            uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, frames - pos));
            for (size_t k = 0; k < in.audioIn.size(); ++k)
                std::copy_n(input[k % 2].data() + pos, n, in.audio[in.audioIn[k]].data());
            for (int p : in.atomIn) {
                auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(in.atoms[p].data());
                seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
                seq->atom.type = sequenceType;
                seq->body.unit = 0;
                seq->body.pad = 0;
            }
            for (int p : in.atomOut) {
                auto* atom = reinterpret_cast<LV2_Atom*>(in.atoms[p].data());
                atom->size = static_cast<uint32_t>(in.atoms[p].size() - sizeof(LV2_Atom));
                atom->type = chunkType;
            }
            for (const Instance::Automated& a : in.automated)
                in.controls[a.port] = std::uniform_real_distribution<float>(a.minimum, a.maximum)(random);
            auto start = std::chrono::steady_clock::now();
            lilv_instance_run(in.instance, n);
            double ns =
                std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
            total += ns;
            if (timed) in.worstBlockNs = std::max(in.worstBlockNs, ns);
        }
        return total;
    };

    // Let plug-ins that prepare in the background settle, running them as a host would meanwhile.
    auto settleUntil = std::chrono::steady_clock::now() + std::chrono::duration<double>(settle);
    while (std::chrono::steady_clock::now() < settleUntil)
        for (auto& in : instances) runPass(*in, false);
    for (int pass = 0; pass < passes; ++pass)
        for (auto& in : instances) in->passNs.push_back(runPass(*in, true));

    std::printf("%d passes of %.1f s at %.0f Hz, blocks of %d\n", passes, seconds, rate, block);
    std::printf("%-28s %14s %12s %14s %10s\n", "plug-in", "ns/sample", "realtime x", "worst block us",
                "ratio");
    double reference = 0;
    for (auto& in : instances) {
        std::vector<double> v = in->passNs;
        std::sort(v.begin(), v.end());
        double median = v[v.size() / 2] / frames;
        if (reference == 0) reference = median;
        double realtime = 1e9 / rate / median;
        std::printf("%-28s %14.2f %12.0f %14.1f %10.3f\n", in->spec.label.c_str(), median, realtime,
                    in->worstBlockNs / 1000, median / reference);
    }
    for (auto& in : instances) {
        const LilvPlugin* plugin =
            lilv_plugins_get_by_uri(plugins, lilv_new_uri(world, in->spec.uri.c_str()));
        for (const std::string& symbol : in->spec.print) {
            LilvNode* s = lilv_new_string(world, symbol.c_str());
            const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
            lilv_node_free(s);
            if (port)
                std::printf("%s %s = %g\n", in->spec.label.c_str(), symbol.c_str(),
                            in->controls[lilv_port_get_index(plugin, port)]);
        }
        lilv_instance_deactivate(in->instance);
        lilv_instance_free(in->instance);
    }
    lilv_node_free(audioClass);
    lilv_node_free(controlClass);
    lilv_node_free(atomClass);
    lilv_node_free(inputClass);
    lilv_world_free(world);
    return 0;
}
