#include "host/lv2/Lv2Turtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include "framework/FloatPluginParameter.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2PortLayout.h"

namespace lv2turtle {

const char* const kPluginUri = "urn:brixholde:lorimane:2";
const char* const kUiUri = "urn:brixholde:lorimane:2#ui";

namespace {

std::string number(double v) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    std::string s = buffer;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";  // a decimal, as Turtle wants for floats
    return s;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The LV2 unit of a unit label, where one exists.
const char* unitFor(const std::string& label) {
    if (label == "ms") return "units:ms";
    if (label == "Hz") return "units:hz";
    if (label == "dB") return "units:db";
    if (label == "%") return "units:pc";
    if (label == "sec" || label == "s") return "units:s";
    if (label == "semitones") return "units:semitone12TET";
    return nullptr;
}

}  // namespace

std::string symbolFor(const std::string& name) {
    std::string s;
    for (unsigned char c : name) {
        if (std::isalnum(c)) {
            s += static_cast<char>(std::tolower(c));
        } else if (!s.empty() && s.back() != '_') {
            s += '_';
        }
    }
    while (!s.empty() && s.back() == '_') s.pop_back();
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) s = "p_" + s;
    return s;
}

std::vector<std::string> parameterSymbols(GenericPlugin& plugin) {
    std::vector<std::string> symbols;
    std::set<std::string> used = {"in_l", "in_r", "out_l", "out_r", "side_l", "side_r", "events", "enabled"};
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        std::string base = symbolFor(plugin.getParameter(i)->name()), s = base;
        for (int n = 2; used.count(s); ++n) s = base + "_" + std::to_string(n);
        used.insert(s);
        symbols.push_back(s);
    }
    return symbols;
}

namespace {
std::string uriWith(const std::string& kind, const std::string& text) {
    std::string uri = std::string(kPluginUri) + ":" + kind + ":";
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '/') {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}
}  // namespace

std::string presetUri(const Preset& preset) { return uriWith("preset", preset.label); }
std::string bankUri(const std::string& category) { return uriWith("bank", category); }

std::string manifest(const std::string& binary, const std::vector<Preset>& presets, const std::string& uiBinary) {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    if (!uiBinary.empty()) out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n";
    out << "\n<" << kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binary << "> ;\n";
    if (!uiBinary.empty()) out << "    ui:ui <" << kUiUri << "> ;\n";
    out << "    rdfs:seeAlso <lorimane.ttl> .\n";
    // The editor embeds under the host's window (or shows a window of its own) and lives on the
    // host's idle calls; with instance access it edits the running plug-in, without it edits an
    // instance of its own through the control ports. Its sizes are the editor's layouts.
    if (!uiBinary.empty())
        out << "\n<" << kUiUri << ">\n"
            << "    a ui:X11UI ;\n"
            << "    ui:binary <" << uiBinary << "> ;\n"
            << "    lv2:requiredFeature ui:idleInterface ;\n"
            << "    lv2:optionalFeature ui:parent , ui:resize , ui:touch , ui:noUserResize ,\n"
            << "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
            << "    lv2:extensionData ui:idleInterface , ui:showInterface .\n";
    for (const Preset& p : presets)
        out << "\n<" << presetUri(p) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n";
    return out.str();
}

std::string presetDescriptions(GenericPlugin& plugin, const std::vector<Preset>& presets) {
    std::vector<std::string> symbols = parameterSymbols(plugin);
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    std::set<std::string> banks;
    for (const Preset& preset : presets)
        if (!preset.category.empty() && banks.insert(preset.category).second)
            out << "\n<" << bankUri(preset.category) << ">\n"
                << "    a pset:Bank ;\n"
                << "    rdfs:label " << quoted(preset.category) << " .\n";
    for (const Preset& preset : presets) {
        out << "\n<" << presetUri(preset) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:label " << quoted(preset.label) << " ;\n";
        if (!preset.category.empty()) out << "    pset:bank <" << bankUri(preset.category) << "> ;\n";
        if (!preset.description.empty()) out << "    rdfs:comment " << quoted(preset.description) << " ;\n";
        out << "    lv2:port ";
        for (size_t i = 0; i < preset.values.size() && i < symbols.size(); ++i) {
            AbstractPluginParameter& p = *plugin.getParameter(static_cast<int>(i));
            out << (i ? " , " : "") << "[ lv2:symbol \"" << symbols[i] << "\" ; pset:value "
                << number(Lv2Plugin::portValue(p, preset.values[i])) << " ]";
        }
        out << " .\n";
    }
    return out.str();
}

std::string pluginDescription(GenericPlugin& plugin) {
    const GenericPlugin::VersionRecord* v = GenericPlugin::versionRecord();
    std::string name = v ? v->productName + v->suffix() : "Lorimane";
    // The minor version moves on with the product's version and with every change of the port order.
    // LV2 reads an odd minor version as a development build, hence the doubling.
    int minorVersion = 2 * (Lv2PortLayout::kRevision * 100 + (v ? v->minor * 10 + v->revision : 0));
    std::ostringstream out;
    out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
        << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        << "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
        << "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
        << "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
        << "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
        << "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
        << "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
        << "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n\n";
    // The groups name their channels, so hosts know which port of a group is left and which right.
    auto group = [&](const char* symbol, const char* type, const char* label, const std::string& extra) {
        out << "<" << kPluginUri << "#" << symbol << ">\n    a pg:StereoGroup , pg:" << type << " ;\n"
            << "    lv2:symbol \"" << symbol << "\" ;\n    rdfs:label \"" << label << "\" ;\n" << extra
            << "    pg:element [ lv2:index 0 ; lv2:designation pg:left ] , [ lv2:index 1 ; lv2:designation pg:right ] .\n\n";
    };
    group("main_in", "InputGroup", "Input", "");
    group("main_out", "OutputGroup", "Output", "");
    group("side_chain", "InputGroup", "Side Chain", "    pg:sideChainOf <" + std::string(kPluginUri) + "#main_in> ;\n");
    out << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:DelayPlugin , doap:Project ;\n"
        << "    doap:name " << quoted(name) << " ;\n"
        << "    doap:license <https://spdx.org/licenses/LicenseRef-Proprietary> ;\n"
        << "    doap:maintainer [ foaf:name \"Brixholde\" ] ;\n"
        << "    lv2:minorVersion " << minorVersion << " ;\n"
        << "    lv2:microVersion 0 ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , work:schedule ;\n"
        << "    lv2:extensionData state:interface , work:interface ;\n"
        << "    pg:mainInput <" << kPluginUri << "#main_in> ;\n"
        << "    pg:mainOutput <" << kPluginUri << "#main_out> ;\n"
        << "    lv2:port ";

    auto audio = [&](uint32_t index, const char* kind, const char* symbol, const char* label, const char* group,
                     const char* designation, bool sideChain) {
        out << "[\n        a lv2:AudioPort , lv2:" << kind << " ;\n"
            << "        lv2:index " << index << " ;\n"
            << "        lv2:symbol \"" << symbol << "\" ;\n"
            << "        lv2:name \"" << label << "\" ;\n"
            << "        pg:group <" << kPluginUri << "#" << group << "> ;\n"
            << "        lv2:designation " << designation;
        if (sideChain) out << " ;\n        lv2:portProperty lv2:isSideChain , lv2:connectionOptional";
        out << "\n    ] , ";
    };
    audio(Lv2Plugin::kInputLeft, "InputPort", "in_l", "Input Left", "main_in", "pg:left", false);
    audio(Lv2Plugin::kInputRight, "InputPort", "in_r", "Input Right", "main_in", "pg:right", false);
    audio(Lv2Plugin::kOutputLeft, "OutputPort", "out_l", "Output Left", "main_out", "pg:left", false);
    audio(Lv2Plugin::kOutputRight, "OutputPort", "out_r", "Output Right", "main_out", "pg:right", false);
    audio(Lv2Plugin::kSideChainLeft, "InputPort", "side_l", "Side Chain Left", "side_chain", "pg:left", true);
    audio(Lv2Plugin::kSideChainRight, "InputPort", "side_r", "Side Chain Right", "side_chain", "pg:right", true);
    out << "[\n        a atom:AtomPort , lv2:InputPort ;\n"
        << "        lv2:index " << Lv2Plugin::kEvents << " ;\n"
        << "        lv2:symbol \"events\" ;\n        lv2:name \"MIDI and Transport\" ;\n"
        << "        atom:bufferType atom:Sequence ;\n        atom:supports midi:MidiEvent , time:Position ;\n"
        << "        lv2:designation lv2:control ;\n        lv2:portProperty lv2:connectionOptional\n    ] , ";
    out << "[\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << Lv2Plugin::kEnabled << " ;\n"
        << "        lv2:symbol \"enabled\" ;\n        lv2:name \"Enabled\" ;\n"
        << "        lv2:designation lv2:enabled ;\n        lv2:portProperty lv2:toggled , lv2:integer ;\n"
        << "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ]";

    std::vector<std::string> symbols = parameterSymbols(plugin);
    std::vector<int> order = Lv2PortLayout(plugin).parameters();
    for (size_t slot = 0; slot < order.size(); ++slot) {
        int i = order[slot];
        AbstractPluginParameter& p = *plugin.getParameter(i);
        bool indexed = p.kind() == AbstractPluginParameter::Indexed;
        float a = Lv2Plugin::portValue(p, p.minValue()), b = Lv2Plugin::portValue(p, p.maxValue());
        float lo = std::min(a, b), hi = std::max(a, b);
        float def = Lv2Plugin::portValue(p, p.defaultValue());
        out << " , [\n        a lv2:InputPort , lv2:ControlPort ;\n"
            << "        lv2:index " << Lv2Plugin::kFirstParameter + slot << " ;\n"
            << "        lv2:symbol \"" << symbols[i] << "\" ;\n"
            << "        lv2:name " << quoted(p.name()) << " ;\n";
        if (!p.helpText().empty()) out << "        rdfs:comment " << quoted(p.helpText()) << " ;\n";
        out << "        lv2:default " << number(def) << " ;\n"
            << "        lv2:minimum " << number(lo) << " ;\n"
            << "        lv2:maximum " << number(hi);
        std::vector<const char*> properties;
        if (indexed) {
            properties.push_back("lv2:integer");
            if (!p.isNumeric()) properties.push_back("lv2:enumeration");
        } else if (lo > 0.0f && hi >= 100.0f * lo) {
            // Times and frequencies over decades: a linear host slider would crowd the useful values
            // into its first few pixels.
            properties.push_back("pprops:logarithmic");
        }
        if (Lv2PortLayout::notAutomatic(p)) properties.push_back("pprops:notAutomatic");
        for (size_t k = 0; k < properties.size(); ++k)
            out << (k ? " , " : " ;\n        lv2:portProperty ") << properties[k];
        if (indexed && !p.isNumeric()) {
            for (int k = static_cast<int>(p.minValue()); k <= static_cast<int>(p.maxValue()); ++k)
                out << " ;\n        lv2:scalePoint [ rdfs:label " << quoted(p.plainToText(static_cast<float>(k)))
                    << " ; rdf:value " << number(k) << " ]";
        } else if (auto* f = dynamic_cast<FloatPluginParameter*>(&p)) {
            if (const char* unit = unitFor(f->displayMapping().unitLabel)) out << " ;\n        units:unit " << unit;
        }
        out << "\n    ]";
    }
    out << " .\n";
    std::string text = out.str();
    // rdf:value is used by the scale points; declare its prefix only when needed.
    if (text.find("rdf:value") != std::string::npos)
        text = "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n" + text;
    return text;
}

}  // namespace lv2turtle
