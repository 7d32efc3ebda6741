// lorimane-preset show FILE | convert IN OUT: reads and converts the plug-in's preset files.
#include <iostream>
#include <string>
#include <vector>

#include "tools/lorimane-preset/PresetCommand.h"
#include "persistence/TemporaryHome.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: lorimane-preset show FILE\n"
                     "       lorimane-preset convert IN OUT\n";
        return 0;
    }
    // The tool reads and writes only the files it is given, never the user's settings or presets.
    TemporaryHome home;
    if (!home.ok()) {
        std::cerr << "lorimane-preset: cannot create a temporary folder\n";
        return 2;
    }
    return presetCommand(args, std::cout, std::cerr);
}
