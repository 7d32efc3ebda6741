#include "tools/lorimane-render/RenderCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <strings.h>

#include "engine/LorimanePlugin.h"
#include "persistence/AtomicFile.h"
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

AbstractPluginParameter* findParameter(GenericPlugin& plugin, const std::string& name) {
    AbstractPluginParameter* caseless = nullptr;
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        if (p->name() == name) return p;
        if (!caseless && strcasecmp(p->name().c_str(), name.c_str()) == 0) caseless = p;
    }
    return caseless;
}

std::string fail(std::string& error, const std::string& message) {
    error = message;
    return message;
}

}  // namespace

std::unique_ptr<GenericPlugin> makeRenderPlugin() { return makeProductPlugin(); }

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
        } else if (a.size() > 1 && a[0] == '-') {
            return fail(error, "unknown option '" + a + "'"), false;
        } else {
            positional.push_back(a);
        }
    }
    if ((o.listParameters || !o.savePreset.empty()) && positional.empty()) return true;
    if (positional.size() == 1) {
        o.output = positional[0];
    } else if (positional.size() == 2) {
        o.input = positional[0];
        o.output = positional[1];
    } else {
        return fail(error, positional.empty() ? "no output file given" : "too many files given"), false;
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

int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToTerminal) {
    auto refuse = [&](const std::string& message) {
        err << "lorimane-render: " << message << "\n";
        return 2;
    };
    RenderOptions o;
    std::string error;
    if (!parseRenderOptions(args, o, error)) return refuse(error);

    std::unique_ptr<GenericPlugin> plugin = makeRenderPlugin();
    auto* product = dynamic_cast<LorimanePlugin*>(plugin.get());
    if ((!o.preset.empty() || !o.savePreset.empty()) && !product)
        return refuse("this plug-in does not read or write preset files");
    int kind = -1;
    if (!o.preset.empty() && !loadAnyPreset(*product, o.preset, kind, error)) return refuse("--preset: " + error);
    for (const std::string& s : o.settings)
        if (!applySetting(*plugin, s, error)) return refuse(error);
    // The preset is written last, once everything else succeeded, so a failed run writes nothing.
    std::string presetFile;
    if (!o.savePreset.empty()) presetFile = presetBytes(*product, presetKindOf(*product, o.savePreset, nullptr));
    auto savePreset = [&]() {
        if (o.savePreset.empty() || writeFileAtomically(o.savePreset, presetFile)) return true;
        error = "--save-preset: cannot write '" + o.savePreset + "'";
        return false;
    };
    if (o.listParameters) {
        listParameters(*plugin, out);
        return savePreset() ? 0 : refuse(error);
    }
    if (o.output.empty()) {
        if (!savePreset()) return refuse(error);
        out << "wrote " << o.savePreset << ": preset\n";
        return 0;
    }

    AudioBuffer input, sideChain;
    if (o.input.empty()) {
        input = makeDemoPhrase(o.rate);
    } else if (!readAudioFile(o.input, input, error)) {
        return refuse(error);
    }
    if (!o.sideChain.empty() && !readAudioFile(o.sideChain, sideChain, error)) return refuse(error);

    size_t total = input.frames() + static_cast<size_t>(std::llround(o.tail * input.sampleRate));
    plugin->setSampleRate(static_cast<float>(input.sampleRate));
    plugin->reset();  // the settings take effect at once, without ramps
    BlockRenderer renderer(*plugin, input, o.sideChain.empty() ? nullptr : &sideChain, total, o.block, o.tempo);
    bool showProgress = progressToTerminal && total > input.sampleRate;
    int shown = -1;
    while (renderer.renderNext()) {
        int percent = static_cast<int>(renderer.progress() * 100);
        if (showProgress && percent != shown) {
            err << "\rrendering " << percent << "%" << std::flush;
            shown = percent;
        }
    }
    if (showProgress) err << "\r              \r";

    AudioBuffer& result = renderer.output();
    if (!writeAudioFile(o.output, result, error)) return refuse(error);
    if (!o.plot.empty() && !writeWaveformPlot(o.plot, input, result, error)) {
        std::remove(o.output.c_str());
        return refuse(error);
    }
    if (!savePreset()) {
        std::remove(o.output.c_str());
        if (!o.plot.empty()) std::remove(o.plot.c_str());
        return refuse(error);
    }

    float peak = 0.0f;
    for (const auto& channel : result.channels)
        for (float s : channel) peak = std::max(peak, std::fabs(s));
    char line[256];
    std::snprintf(line, sizeof line, "wrote %s: %zu samples (%.3f s) at %.0f Hz, 2 channels, peak %.6f (%.2f dBFS)\n",
                  o.output.c_str(), result.frames(), result.frames() / result.sampleRate, result.sampleRate, peak,
                  peak > 0.0f ? 20.0 * std::log10(peak) : -INFINITY);
    out << line;
    if (!o.plot.empty()) out << "wrote " << o.plot << ": waveform plot\n";
    if (!o.savePreset.empty()) out << "wrote " << o.savePreset << ": preset\n";
    return 0;
}
