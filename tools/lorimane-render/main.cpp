// lorimane-render [options] [INPUT] OUTPUT: renders audio through the plug-in from a shell.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/lorimane-render/RenderCommand.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: lorimane-render [--set NAME=TEXT]... [--preset FILE|NAME] [--save-preset FILE] [--block N] [--rate HZ]\n"
                     "                       [--tempo BPM] [--tail SECONDS] [--side-chain FILE] [--plot FILE.png] [--bits 16|24|32f]\n"
                     "                       [--list-parameters] [--list-presets] [INPUT] OUTPUT\n"
                     "       lorimane-render [options] INPUT... -o DIR\n"
                     "OUTPUT's name sets its format: .wav, .flac, .ogg, .aiff or .caf (24-bit unless --bits says otherwise).\n";
        return 0;
    }
    return renderCommand(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
