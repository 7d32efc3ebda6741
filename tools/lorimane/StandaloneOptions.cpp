#include "tools/lorimane/StandaloneOptions.h"

#include <cmath>
#include <cstdlib>

const char* const kStandaloneUsage =
    "usage: lorimane [--name CLIENT] [--preset NAME|FILE] [--fresh] [--tempo BPM] [--connect] [--no-editor]\n";

bool parseStandaloneOptions(const std::vector<std::string>& args, StandaloneOptions& o, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "--connect") {
            o.connect = true;
        } else if (a == "--no-editor") {
            o.editor = false;
        } else if (a == "--fresh") {
            o.fresh = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--name") {
            if (!value(o.clientName)) return false;
        } else if (a == "--preset") {
            if (!value(o.preset)) return false;
        } else if (a == "--tempo") {
            std::string text;
            if (!value(text)) return false;
            char* end = nullptr;
            double bpm = std::strtod(text.c_str(), &end);
            if (*end != '\0' || !std::isfinite(bpm) || bpm < 20.0 || bpm > 999.0) {
                error = "--tempo: '" + text + "' is not a tempo from 20 to 999 BPM";
                return false;
            }
            o.tempo = bpm;
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    if (o.fresh && !o.preset.empty()) {
        error = "--fresh and --preset cannot be used together";
        return false;
    }
    return true;
}
