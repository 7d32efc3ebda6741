#include "tools/lorimane-render/RenderCommand.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <thread>

#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PresetManager.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/PresetFile.h"
#include "tools/lorimane-render/DemoPhrase.h"
#include "tools/lorimane-render/WaveformPlot.h"

namespace {

bool parseNumber(const std::string& text, double minimum, double maximum, double& value) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v) || v < minimum || v > maximum) return false;
    value = v;
    return true;
}

std::string fail(std::string& error, const std::string& message) {
    error = message;
    return message;
}

}  // namespace

std::unique_ptr<GenericPlugin> makeRenderPlugin() { return makeProductPlugin(); }

AbstractPluginParameter* findParameter(GenericPlugin& plugin, const std::string& name) {
    AbstractPluginParameter* caseless = nullptr;
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        if (p->name() == name) return p;
        if (!caseless && strcasecmp(p->name().c_str(), name.c_str()) == 0) caseless = p;
    }
    return caseless;
}

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o, std::string& error) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return fail(error, "option " + a + " needs a value"), false;
            into = args[++i];
            return true;
        };
        auto number = [&](double minimum, double maximum, double& into) {
            std::string text;
            if (!value(text)) return false;
            if (!parseNumber(text, minimum, maximum, into)) return fail(error, "option " + a + ": '" + text + "' is not a valid value"), false;
            return true;
        };
        double n;
        if (a == "--set") {
            std::string s;
            if (!value(s)) return false;
            if (s.find('=') == std::string::npos) return fail(error, "--set '" + s + "': expected NAME=TEXT"), false;
            o.settings.push_back(s);
        } else if (a == "--preset") {
            if (!value(o.preset)) return false;
        } else if (a == "--save-preset") {
            if (!value(o.savePreset)) return false;
        } else if (a == "--block") {
            if (!number(1, 65536, n)) return false;
            o.block = static_cast<int>(n);
            if (o.block != n) return fail(error, "option --block: '" + args[i] + "' is not a whole number"), false;
        } else if (a == "--rate") {
            if (!number(8000, 768000, o.rate)) return false;
        } else if (a == "--tempo") {
            if (!number(1, 999, o.tempo)) return false;
        } else if (a == "--tail") {
            if (!number(0, 600, o.tail)) return false;
        } else if (a == "--side-chain") {
            if (!value(o.sideChain)) return false;
        } else if (a == "--plot") {
            if (!value(o.plot)) return false;
        } else if (a == "--list-parameters") {
            o.listParameters = true;
        } else if (a == "--list-presets") {
            o.listPresets = true;
        } else if (a == "--bits") {
            std::string text;
            if (!value(text)) return false;
            if (!parseSampleBits(text, o.bits)) return fail(error, "option --bits: '" + text + "' is not 16, 24 or 32f"), false;
        } else if (a == "-o") {
            if (!value(o.outputDir)) return false;
        } else if (a.size() > 1 && a[0] == '-') {
            return fail(error, "unknown option '" + a + "'"), false;
        } else {
            positional.push_back(a);
        }
    }
    if ((o.listParameters || o.listPresets || !o.savePreset.empty()) && positional.empty() && o.outputDir.empty())
        return true;
    if (!o.outputDir.empty()) {
        if (positional.empty()) return fail(error, "-o " + o.outputDir + ": no input files given"), false;
        if (!o.plot.empty()) return fail(error, "--plot draws one file: give a single input without -o"), false;
        o.inputs = positional;
        return true;
    }
    if (positional.size() == 1) {
        o.output = positional[0];
    } else if (positional.size() == 2) {
        o.input = positional[0];
        o.output = positional[1];
    } else {
        return fail(error, positional.empty() ? "no output file given" : "too many files given (several inputs need -o DIR)"), false;
    }
    return true;
}

bool applySetting(GenericPlugin& plugin, const std::string& setting, std::string& error) {
    size_t eq = setting.find('=');
    std::string name = setting.substr(0, eq), text = setting.substr(eq + 1);
    AbstractPluginParameter* p = findParameter(plugin, name);
    if (!p) return fail(error, "unknown parameter '" + name + "'"), false;
    float plain;
    if (!p->textToPlain(text, plain)) return fail(error, "parameter '" + p->name() + "' does not accept '" + text + "'"), false;
    p->setValue(plain, 0);
    return true;
}

void listParameters(GenericPlugin& plugin, std::ostream& out) {
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter& p = *plugin.getParameter(i);
        out << i << '\t' << p.name() << '\t' << p.plainToText(p.value()) << '\t' << p.plainToText(p.minValue()) << '\t'
            << p.plainToText(p.maxValue()) << '\t' << p.plainToText(p.defaultValue()) << '\n';
    }
}

BlockRenderer::BlockRenderer(GenericPlugin& plugin, const AudioBuffer& input, const AudioBuffer* sideChain,
                             size_t totalFrames, int blockLength, double tempo)
    : plugin_(plugin), total_(totalFrames), block_(blockLength), tempo_(tempo) {
    // Main channels first, then the side chain; mono feeds both channels.
    auto add = [&](const AudioBuffer* audio, size_t channel) {
        std::vector<float> samples(total_, 0.0f);
        if (audio && !audio->channels.empty()) {
            const auto& from = audio->channels[std::min(channel, audio->channels.size() - 1)];
            std::copy_n(from.begin(), std::min(from.size(), total_), samples.begin());
        }
        in_.push_back(std::move(samples));
    };
    for (size_t c = 0; c < 2; ++c) add(&input, c);
    for (size_t c = 0; c < 2; ++c) add(sideChain, c);
    output_.sampleRate = input.sampleRate;
    output_.channels.assign(2, std::vector<float>(total_, 0.0f));
}

bool BlockRenderer::renderNext() {
    if (position_ >= total_) return false;
    int n = static_cast<int>(std::min<size_t>(block_, total_ - position_));
    const float* ins[4] = {in_[0].data() + position_, in_[1].data() + position_, in_[2].data() + position_,
                           in_[3].data() + position_};
    float* outs[2] = {output_.channels[0].data() + position_, output_.channels[1].data() + position_};
    // A playing transport: the position follows the rendered time.
    double quarters = position_ / output_.sampleRate * tempo_ / 60.0;
    plugin_.setTransport(tempo_, static_cast<float>(std::fmod(quarters, 256.0)));
    plugin_.process(ins, 4, outs, 2, n);
    position_ += n;
    return true;
}

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Edit distance between two names, ignoring case.
size_t distance(const std::string& a, const std::string& b) {
    std::string x = lower(a), y = lower(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// The folder of an entry relative to the preset folder; empty at its top.
std::string categoryOf(const PresetManager& presets, const PresetEntry& entry) {
    std::filesystem::path folder = std::filesystem::path(entry.path).parent_path();
    std::filesystem::path root = std::filesystem::path(presets.path()).parent_path();
    std::string relative = folder.lexically_relative(root).generic_string();
    return relative == "." || relative.empty() || relative.rfind("..", 0) == 0 ? std::string() : relative;
}

}  // namespace

bool findPresetFile(const std::string& name, std::string& path, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(name, ec)) {
        path = name;
        return true;
    }
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    std::vector<PresetEntry*> entries;
    if (globals) entries = globals->mainPresets().flatten();
    for (int pass = 0; pass < 2; ++pass) {  // exact spelling first, then any case
        for (PresetEntry* entry : entries) {
            std::string category = categoryOf(globals->mainPresets(), *entry);
            std::string qualified = category.empty() ? entry->name : category + "/" + entry->name;
            bool same = pass == 0 ? (name == entry->name || name == qualified)
                                  : (strcasecmp(name.c_str(), entry->name.c_str()) == 0 ||
                                     strcasecmp(name.c_str(), qualified.c_str()) == 0);
            if (same) {
                path = entry->path;
                return true;
            }
        }
    }
    error = "no preset file or preset named '" + name + "'";
    // The nearest names, each once, by its distance to the name alone or with its category.
    std::map<std::string, size_t> distances;
    for (PresetEntry* entry : entries) {
        std::string category = categoryOf(globals->mainPresets(), *entry);
        size_t d = std::min(distance(name, entry->name), distance(name, category + "/" + entry->name));
        auto [at, added] = distances.emplace(entry->name, d);
        if (!added) at->second = std::min(at->second, d);
    }
    std::vector<std::pair<size_t, std::string>> nearest;
    for (const auto& [preset, d] : distances) nearest.emplace_back(d, preset);
    std::stable_sort(nearest.begin(), nearest.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (nearest.size() > 3) nearest.resize(3);
    for (size_t i = 0; i < nearest.size(); ++i)
        error += (i == 0 ? "; did you mean '" : i + 1 == nearest.size() ? "' or '" : "', '") + nearest[i].second;
    if (!nearest.empty()) error += "'?";
    return false;
}

void listPresets(std::ostream& out) {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    if (!globals) return;
    for (PresetEntry* entry : globals->mainPresets().flatten()) {
        std::string category = categoryOf(globals->mainPresets(), *entry);
        out << (category.empty() ? "-" : category) << '\t' << entry->name << '\n';
    }
}

namespace {

using Refuse = std::function<int(const std::string&)>;

// A plug-in with the options' preset and settings applied; null with a message on failure.
std::unique_ptr<GenericPlugin> configuredPlugin(const RenderOptions& o, std::string& error) {
    std::unique_ptr<GenericPlugin> plugin = makeRenderPlugin();
    auto* product = dynamic_cast<LorimanePlugin*>(plugin.get());
    if ((!o.preset.empty() || !o.savePreset.empty()) && !product) {
        error = "this plug-in does not read or write preset files";
        return nullptr;
    }
    int kind = -1;
    std::string file;
    if (!o.preset.empty() && (!findPresetFile(o.preset, file, error) || !loadAnyPreset(*product, file, kind, error))) {
        error = "--preset: " + error;
        return nullptr;
    }
    for (const std::string& s : o.settings)
        if (!applySetting(*plugin, s, error)) return nullptr;
    return plugin;
}

// Renders the input (or the demo phrase) through the plug-in; progress gets the fraction done.
AudioBuffer renderAudio(GenericPlugin& plugin, const RenderOptions& o, const AudioBuffer& input, const AudioBuffer* sideChain,
                        const std::function<void(double)>& progress) {
    size_t total = input.frames() + static_cast<size_t>(std::llround(o.tail * input.sampleRate));
    plugin.setSampleRate(static_cast<float>(input.sampleRate));
    plugin.reset();  // the settings take effect at once, without ramps
    BlockRenderer renderer(plugin, input, sideChain, total, o.block, o.tempo);
    while (renderer.renderNext()) progress(renderer.progress());
    return std::move(renderer.output());
}

// "wrote ..." for a rendered file, with a warning when fixed-point samples were clipped.
void reportWritten(const std::string& path, const AudioBuffer& result, bool clipped, std::ostream& out, std::ostream& err) {
    float peak = result.peak();
    char line[512];
    double db = peak > 0.0f ? 20.0 * std::log10(peak) : -INFINITY;
    if (clipped) {
        std::snprintf(line, sizeof line, "lorimane-render: warning: %s peaks at %+.2f dBFS; the samples above full scale were clipped\n",
                      path.c_str(), db);
        err << line;
    }
    std::snprintf(line, sizeof line, "wrote %s: %zu samples (%.3f s) at %.0f Hz, 2 channels, peak %.6f (%.2f dBFS)\n", path.c_str(),
                  result.frames(), result.frames() / result.sampleRate, result.sampleRate, peak, db);
    out << line;
}

// The file an input renders to in the output folder: its own name, as a WAV when its extension
// names no format the renderer writes.
std::string batchOutput(const RenderOptions& o, const std::string& input) {
    std::filesystem::path name = std::filesystem::path(input).filename();
    if (!isWritableAudioName(name.string())) name.replace_extension(".wav");
    return (std::filesystem::path(o.outputDir) / name).string();
}

int renderBatch(const RenderOptions& o, const AudioBuffer* sideChain, std::ostream& out, std::ostream& err, bool progressToTerminal,
                const Refuse& refuse) {
    std::error_code ec;
    std::filesystem::create_directories(o.outputDir, ec);
    if (!std::filesystem::is_directory(o.outputDir, ec)) return refuse("-o: cannot create the folder '" + o.outputDir + "'");
    const size_t count = o.inputs.size();
    std::set<std::string> names;
    std::string error;
    for (const std::string& input : o.inputs) {
        std::string output = batchOutput(o, input);
        int format;
        if (!audioFormatFor(output, o.bits, format, error)) return refuse(error);
        if (!names.insert(output).second) return refuse("two inputs would both be written to '" + output + "'");
    }
    // Instances are made here, one per worker: the first instance sets up process-wide state.
    size_t workers = std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::unique_ptr<GenericPlugin>> plugins;
    for (size_t w = 0; w < workers; ++w) {
        plugins.push_back(configuredPlugin(o, error));
        if (!plugins.back()) return refuse(error);
    }

    struct Outcome {
        bool ok = false, clipped = false;
        std::string message;
        AudioBuffer result;
    };
    std::vector<Outcome> outcomes(count);
    std::unique_ptr<std::atomic<float>[]> done(new std::atomic<float>[count]);
    for (size_t i = 0; i < count; ++i) done[i] = 0.0f;
    std::atomic<size_t> next{0};
    std::atomic<size_t> running{workers};
    auto work = [&](GenericPlugin& plugin) {
        for (size_t i; (i = next++) < count;) {
            Outcome& outcome = outcomes[i];
            AudioBuffer input;
            if (readAudioFile(o.inputs[i], input, outcome.message)) {
                outcome.result = renderAudio(plugin, o, input, sideChain, [&](double f) { done[i] = static_cast<float>(f); });
                outcome.ok = writeAudioFile(batchOutput(o, o.inputs[i]), outcome.result, o.bits, outcome.clipped, outcome.message);
            }
            done[i] = 1.0f;
        }
        --running;
    };
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w) threads.emplace_back(work, std::ref(*plugins[w]));
    int shown = -1;
    while (running > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        float sum = 0.0f;
        for (size_t i = 0; i < count; ++i) sum += done[i];
        int percent = static_cast<int>(100.0f * sum / count);
        if (progressToTerminal && percent != shown) {
            err << "\rrendering " << count << " files: " << percent << "%" << std::flush;
            shown = percent;
        }
    }
    for (std::thread& t : threads) t.join();
    if (progressToTerminal && shown >= 0) err << "\r                                  \r";

    size_t failed = 0;
    for (size_t i = 0; i < count; ++i) {
        if (outcomes[i].ok) {
            reportWritten(batchOutput(o, o.inputs[i]), outcomes[i].result, outcomes[i].clipped, out, err);
        } else {
            ++failed;
            err << "lorimane-render: " << o.inputs[i] << ": " << outcomes[i].message << "\n";
        }
    }
    if (failed) err << "lorimane-render: " << failed << " of " << count << " inputs failed\n";
    return failed ? 2 : 0;
}

}  // namespace

int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToTerminal) {
    Refuse refuse = [&](const std::string& message) {
        err << "lorimane-render: " << message << "\n";
        return 2;
    };
    RenderOptions o;
    std::string error;
    if (!parseRenderOptions(args, o, error)) return refuse(error);
    int format;
    if (!o.output.empty() && !audioFormatFor(o.output, o.bits, format, error)) return refuse(error);

    std::unique_ptr<GenericPlugin> plugin = configuredPlugin(o, error);
    if (!plugin) return refuse(error);
    auto* product = dynamic_cast<LorimanePlugin*>(plugin.get());
    // The preset is written last, once everything else succeeded, so a failed run writes nothing.
    std::string presetFile;
    if (!o.savePreset.empty()) presetFile = presetBytes(*product, presetKindOf(*product, o.savePreset, nullptr));
    auto savePreset = [&]() {
        if (o.savePreset.empty() || writeFileAtomically(o.savePreset, presetFile)) return true;
        error = "--save-preset: cannot write '" + o.savePreset + "'";
        return false;
    };
    if (o.listParameters || o.listPresets || (o.output.empty() && o.inputs.empty())) {
        if (o.listParameters) listParameters(*plugin, out);
        if (o.listPresets) listPresets(out);
        if (!savePreset()) return refuse(error);
        if (!o.savePreset.empty() && !o.listParameters && !o.listPresets) out << "wrote " << o.savePreset << ": preset\n";
        return 0;
    }

    AudioBuffer input, sideChain;
    if (!o.sideChain.empty() && !readAudioFile(o.sideChain, sideChain, error)) return refuse(error);
    const AudioBuffer* sideChainInput = o.sideChain.empty() ? nullptr : &sideChain;
    if (!o.inputs.empty()) {
        int status = renderBatch(o, sideChainInput, out, err, progressToTerminal, refuse);
        if (status == 0 && !savePreset()) return refuse(error);
        if (status == 0 && !o.savePreset.empty()) out << "wrote " << o.savePreset << ": preset\n";
        return status;
    }

    if (o.input.empty()) {
        input = makeDemoPhrase(o.rate);
    } else if (!readAudioFile(o.input, input, error)) {
        return refuse(error);
    }
    bool showProgress = progressToTerminal && input.frames() + o.tail * input.sampleRate > input.sampleRate;
    int shown = -1;
    AudioBuffer result = renderAudio(*plugin, o, input, sideChainInput, [&](double fraction) {
        int percent = static_cast<int>(fraction * 100);
        if (showProgress && percent != shown) {
            err << "\rrendering " << percent << "%" << std::flush;
            shown = percent;
        }
    });
    if (showProgress) err << "\r              \r";

    bool clipped = false;
    if (!writeAudioFile(o.output, result, o.bits, clipped, error)) return refuse(error);
    if (!o.plot.empty() && !writeWaveformPlot(o.plot, std::filesystem::path(o.output).filename().string(), input, result, error)) {
        std::remove(o.output.c_str());
        return refuse(error);
    }
    if (!savePreset()) {
        std::remove(o.output.c_str());
        if (!o.plot.empty()) std::remove(o.plot.c_str());
        return refuse(error);
    }
    reportWritten(o.output, result, clipped, out, err);
    if (!o.plot.empty()) out << "wrote " << o.plot << ": waveform plot\n";
    if (!o.savePreset.empty()) out << "wrote " << o.savePreset << ": preset\n";
    return 0;
}
