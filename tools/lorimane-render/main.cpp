// lorimane-render [options] [INPUT] OUTPUT: renders audio through the plug-in from a shell.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/lorimane-render/RenderCommand.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: lorimane-render [--set NAME=TEXT]... [--preset FILE] [--save-preset FILE] [--block N] [--rate HZ] [--tempo BPM]\n"
                     "                       [--tail SECONDS] [--side-chain FILE] [--plot FILE.png] [--list-parameters]\n"
                     "                       [INPUT] OUTPUT\n";
        return 0;
    }
    return renderCommand(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
