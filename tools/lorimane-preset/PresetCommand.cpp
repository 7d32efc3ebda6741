#include "tools/lorimane-preset/PresetCommand.h"

#include <ostream>

#include "engine/LorimanePlugin.h"
#include "persistence/ParameterCollection.h"
#include "tools/lorimane-preset/PresetFile.h"

namespace {

void show(LorimanePlugin& plugin, int kind, std::ostream& out) {
    PluginPresets& presets = plugin.presets();
    const ParameterCollection& collection =
        kind >= 0 ? *presets.componentCollection(kind, 0) : presets.allParameters();
    for (AbstractPluginParameter* p : collection.parameters())
        out << p->index() << '\t' << p->name() << '\t' << p->plainToText(p->value()) << '\n';
}

}  // namespace

int presetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto refuse = [&](const std::string& message) {
        err << "lorimane-preset: " << message << "\n";
        return 2;
    };
    if (args.empty()) return refuse("no command given (show FILE or convert IN OUT)");
    const std::string& command = args[0];
    std::size_t files = command == "show" ? 1 : command == "convert" ? 2 : 0;
    if (files == 0) return refuse("unknown command '" + command + "' (show FILE or convert IN OUT)");
    if (args.size() != files + 1) return refuse(command + ": expected " + (files == 1 ? "FILE" : "IN OUT"));

    LorimanePlugin plugin;
    // Start from the parameters' defaults, not from whatever default preset the user keeps.
    for (int i = 0; i < plugin.getParameterCount(); ++i) {
        AbstractPluginParameter* p = plugin.getParameter(i);
        p->setValue(p->defaultValue(), 0);
    }
    std::string error;
    int kind = -1;
    if (!loadAnyPreset(plugin, args[1], kind, error)) return refuse(error);
    if (command == "show") {
        show(plugin, kind, out);
        return 0;
    }
    if (!saveAnyPreset(plugin, args[2], kind, error)) return refuse(error);
    return 0;
}
