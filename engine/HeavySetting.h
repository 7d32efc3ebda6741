#pragma once

#include <string>
#include <vector>

// The heaviest setting the engine is measured and checked with: every modulation source in use, all
// 24 slots modulating engine targets, 48 dB filters in parallel, Stretch reading, audio-rate-ish
// XLFOs. As "NAME=TEXT" settings, applied through each parameter's own text parser.
std::vector<std::string> heavySetting();
