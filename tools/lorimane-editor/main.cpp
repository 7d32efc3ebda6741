// Runs the product's editor over a live plug-in instance, as a host shows it, and drives it from a
// script.
//
//     lorimane-editor [--headless] [--layout normal|wide] [--modulation] [--preset FILE]
//                     [--set NAME=TEXT]... [--host-refuses-resize] [--shot FILE.png] [--script FILE|-]
//
// Without --headless and with a display the editor opens in a window; without a script it stays
// until the window is closed. Exit status: 0, 1 when the editor cannot be shown or the shot not
// written, 2 for a bad option or script line.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/lorimane-editor/EditorSession.h"
#include "tools/lorimane-editor/ScriptRunner.h"

namespace {

int usage(const std::string& message) {
    std::cerr << "lorimane-editor: " << message << '\n'
              << "usage: lorimane-editor [--headless] [--layout normal|wide] [--modulation] [--preset FILE]\n"
                 "                       [--set NAME=TEXT]... [--host-refuses-resize] [--shot FILE.png]\n"
                 "                       [--script FILE|-]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    EditorSession::Options options;
    std::string shot, script;
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--headless") {
            headless = true;
        } else if (a == "--modulation") {
            options.modulation = true;
        } else if (a == "--host-refuses-resize") {
            options.hostRefusesResize = true;
        } else if (a == "--layout") {
            if (!value(v) || (v != "normal" && v != "wide")) return usage("--layout takes normal or wide");
            options.wide = v == "wide";
        } else if (a == "--preset") {
            if (!value(options.preset)) return usage("--preset needs a file or a preset's name");
        } else if (a == "--set") {
            if (!value(v) || v.find('=') == std::string::npos) return usage("--set needs NAME=TEXT");
            options.settings.push_back(v);
        } else if (a == "--shot") {
            if (!value(shot)) return usage("--shot needs a file name");
        } else if (a == "--script") {
            if (!value(script)) return usage("--script needs a file, or - for standard input");
        } else {
            return usage("unknown option '" + a + "'");
        }
    }
    const char* display = std::getenv("DISPLAY");
    options.headless = headless || !display || !*display;

    std::ifstream file;
    if (!script.empty() && script != "-") {
        file.open(script);
        if (!file) return usage("cannot read the script " + script);
    }

    std::string error;
    std::unique_ptr<EditorSession> session = EditorSession::open(options, std::cout, error);
    if (!session) {
        std::cerr << "lorimane-editor: " << error << '\n';
        // A preset or setting the plug-in refuses is a bad argument; anything else a failure to run.
        return error.rfind("--", 0) == 0 ? 2 : 1;
    }
    if (!script.empty()) {
        ScriptRunner runner(*session, std::cout);
        if (const int status = runner.runScript(script == "-" ? std::cin : file, std::cerr)) return status;
    } else if (!options.headless && shot.empty()) {
        session->runUntilClosed();
    }
    if (!shot.empty() && !session->writeShot(shot)) {
        std::cerr << "lorimane-editor: cannot write " << shot << '\n';
        return 1;
    }
    return 0;
}
