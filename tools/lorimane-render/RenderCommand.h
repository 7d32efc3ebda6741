#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"
#include "tools/lorimane-render/AudioFile.h"

// The renderer's command line:
//   lorimane-render [options] [INPUT] OUTPUT
//   lorimane-render [options] INPUT... -o DIR
// renders INPUT (or the built-in demo phrase) through the plug-in into OUTPUT, a stereo file at the
// input's sample rate whose format follows its name (.wav, .flac, .ogg, .aiff, .caf; --bits 16, 24
// or 32f, 24-bit by default). With -o every input is rendered into DIR under its own name, in
// parallel, one plug-in instance per worker. --preset loads a preset file, component preset file or
// a preset of the preset folder by name first, --set then changes single parameters, and
// --save-preset writes the resulting state as a preset (without OUTPUT nothing is rendered). Errors
// print one line on the error stream and answer 2, and then no output file is written; in a batch a
// failing input is reported and the others still render.
struct RenderOptions {
    std::string input, output, sideChain, plot, preset, savePreset, outputDir;
    std::vector<std::string> inputs;    // with -o DIR
    std::vector<std::string> settings;  // "NAME=TEXT"
    SampleBits bits = SampleBits::Default;
    int block = 512;
    double rate = 48000.0;
    double tempo = 120.0;
    double tail = 3.0;
    bool listParameters = false;
    bool listPresets = false;
};

// Parses the arguments (without the program name); false with a message when they are wrong.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

// The parameter of that name, spelled exactly or else in any case; null when there is none.
AbstractPluginParameter* findParameter(GenericPlugin& plugin, const std::string& name);

// Sets a parameter by name from typed text, through the parameter's own text parser.
bool applySetting(GenericPlugin& plugin, const std::string& setting, std::string& error);

// Prints one tab-separated line per parameter: index, name, value, minimum, maximum and default as
// text.
void listParameters(GenericPlugin& plugin, std::ostream& out);

// Feeds audio through a plug-in block by block, as a host does. The caller's render loop is the
// audio thread: renderNext never allocates.
class BlockRenderer {
public:
    BlockRenderer(GenericPlugin& plugin, const AudioBuffer& input, const AudioBuffer* sideChain, size_t totalFrames,
                  int blockLength, double tempo);
    // Renders the next host block; false when every frame is done.
    bool renderNext();
    double progress() const { return total_ ? static_cast<double>(position_) / total_ : 1.0; }
    AudioBuffer& output() { return output_; }

private:
    const float* source(const AudioBuffer& audio, size_t channel, std::vector<float>& silence);

    GenericPlugin& plugin_;
    size_t total_;
    size_t position_ = 0;
    int block_;
    double tempo_;
    std::vector<std::vector<float>> in_;  // input and side chain padded to the full length
    AudioBuffer output_;
};

// The preset file --preset NAME means: NAME itself when it is a file, else the preset of the preset
// folder whose name (or "Category/Name") it is. False with the nearest names suggested.
bool findPresetFile(const std::string& name, std::string& path, std::string& error);

// Prints one tab-separated line per preset of the preset folder: category ("-" at the top), name.
void listPresets(std::ostream& out);

// Makes the plug-in the renderer drives.
std::unique_ptr<GenericPlugin> makeRenderPlugin();

// The whole program; answers the exit status.
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToTerminal);
